#include "num_oracle.hpp"

#include <cmath>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <sstream>
#include <vector>

namespace numtest {

namespace {

// GMP's memory comes from a pool of size classes: the oracle makes millions
// of short-lived allocations, and under AddressSanitizer every malloc costs
// microseconds. Chunks stay reachable, so nothing here counts as a leak.
namespace pool {

constexpr size_t kSmallest = 16;
constexpr size_t kClasses = 13;  // 16 bytes .. 64 KiB
constexpr size_t kLargest = kSmallest << (kClasses - 1);
constexpr size_t kChunk = 1 << 20;

struct Node {
    Node *next;
};
Node *free_lists[kClasses];
std::vector<void *> *chunks;
uint8_t *cursor = nullptr;
size_t left = 0;

size_t class_of(size_t n) {
    size_t c = 0;
    for (size_t size = kSmallest; size < n; size <<= 1) ++c;
    return c;
}

void *allocate(size_t n) {
    if (n > kLargest) return std::malloc(n);
    const size_t c = class_of(n);
    if (Node *node = free_lists[c]) {
        free_lists[c] = node->next;
        return node;
    }
    const size_t size = kSmallest << c;
    if (left < size) {
        if (!chunks) chunks = new std::vector<void *>;
        cursor = static_cast<uint8_t *>(std::malloc(kChunk));
        chunks->push_back(cursor);
        left = kChunk;
    }
    void *p = cursor;
    cursor += size;
    left -= size;
    return p;
}

void release(void *p, size_t n) {
    if (n > kLargest) {
        std::free(p);
        return;
    }
    const size_t c = class_of(n);
    auto *node = static_cast<Node *>(p);
    node->next = free_lists[c];
    free_lists[c] = node;
}

void *reallocate(void *p, size_t old_size, size_t new_size) {
    if (old_size <= kLargest && new_size <= kLargest && class_of(old_size) == class_of(new_size)) {
        return p;
    }
    void *q = allocate(new_size);
    std::memcpy(q, p, std::min(old_size, new_size));
    release(p, old_size);
    return q;
}

[[maybe_unused]] const bool installed = [] {
    mp_set_memory_functions(allocate, reallocate, release);
    return true;
}();

}  // namespace pool

constexpr int kMinExp = -65;
constexpr int kMaxExp = 62;
constexpr uint8_t kTerminator = 102;

// Powers of 100 and 10, computed once.
const std::vector<mpz_class> &powers(unsigned base, int count) {
    static std::vector<mpz_class> p100, p10;
    std::vector<mpz_class> &v = base == 100 ? p100 : p10;
    if (v.empty()) {
        v.resize(static_cast<size_t>(count));
        v[0] = 1;
        for (int i = 1; i < count; ++i)
            v[static_cast<size_t>(i)] = v[static_cast<size_t>(i - 1)] * base;
    }
    return v;
}

const mpz_class &pow100_ref(int k) {
    return powers(100, 450)[static_cast<size_t>(k)];
}
const mpz_class &pow10_ref(int k) {
    return powers(10, 900)[static_cast<size_t>(k)];
}

// Sign of |a| - base^k (a >= 0).
int cmp_power(const mpq_class &a, int k, const mpz_class &(*power)(int)) {
    if (k >= 0) {
        const mpz_class rhs = a.get_den() * power(k);
        return cmp(a.get_num(), rhs);
    }
    const mpz_class lhs = a.get_num() * power(-k);
    return cmp(lhs, a.get_den());
}

// floor(log_base |x|), base 10 or 100.
int floor_log(const mpq_class &x, unsigned base, const mpz_class &(*power)(int)) {
    const mpq_class a = abs(x);
    const long bits = static_cast<long>(mpz_sizeinbase(a.get_num().get_mpz_t(), 2)) -
                      static_cast<long>(mpz_sizeinbase(a.get_den().get_mpz_t(), 2));
    const double per = base == 100 ? 6.643856189774724 : 3.321928094887362;
    int e = static_cast<int>(std::floor(static_cast<double>(bits) / per));
    while (cmp_power(a, e, power) < 0) --e;
    while (cmp_power(a, e + 1, power) >= 0) ++e;
    return e;
}

// floor(a x 100^k) for a >= 0.
mpz_class floor_scaled100(const mpq_class &a, int k) {
    mpz_class q;
    if (k >= 0) {
        const mpz_class n = a.get_num() * pow100_ref(k);
        mpz_fdiv_q(q.get_mpz_t(), n.get_mpz_t(), a.get_den().get_mpz_t());
    } else {
        const mpz_class d = a.get_den() * pow100_ref(-k);
        mpz_fdiv_q(q.get_mpz_t(), a.get_num().get_mpz_t(), d.get_mpz_t());
    }
    return q;
}

// The 20 base-100 digits of n (100^19 <= n < 100^20) as a number.
Num from_twenty(bool negative, int exp, mpz_class n) {
    std::array<uint8_t, 20> d{};
    for (int i = 19; i >= 0; --i) {
        d[static_cast<size_t>(i)] =
            static_cast<uint8_t>(mpz_fdiv_q_ui(n.get_mpz_t(), n.get_mpz_t(), 100));
    }
    int count = 20;
    while (count > 1 && d[static_cast<size_t>(count - 1)] == 0) --count;
    return make(negative, exp, std::span<const uint8_t>(d.data(), static_cast<size_t>(count)));
}

}  // namespace

// ---- Numbers as bytes --------------------------------------------------------

bool Num::operator==(const Num &o) const {
    return len == o.len && std::equal(b.begin(), b.begin() + len, o.b.begin());
}

std::string hex(const Num &n) {
    std::ostringstream os;
    for (int i = 0; i < n.len; ++i) {
        if (i) os << ' ';
        os << std::uppercase << std::hex << std::setw(2) << std::setfill('0')
           << static_cast<int>(n.b[static_cast<size_t>(i)]);
    }
    if (n.len == 0) os << "(empty)";
    return os.str();
}

std::ostream &operator<<(std::ostream &os, const Num &n) {
    return os << '[' << hex(n) << ']';
}

Num hx(const char *text) {
    Num n;
    int nibbles = 0, acc = 0;
    for (const char *p = text; *p; ++p) {
        int v;
        if (*p >= '0' && *p <= '9')
            v = *p - '0';
        else if (*p >= 'A' && *p <= 'F')
            v = *p - 'A' + 10;
        else if (*p >= 'a' && *p <= 'f')
            v = *p - 'a' + 10;
        else
            continue;
        acc = acc * 16 + v;
        if (++nibbles == 2) {
            n.b[static_cast<size_t>(n.len++)] = static_cast<uint8_t>(acc);
            nibbles = acc = 0;
        }
    }
    return n;
}

std::optional<Layout> layout(std::span<const uint8_t> bytes) {
    const int n = static_cast<int>(bytes.size());
    if (n < 2 || n > 21) return std::nullopt;
    const uint8_t head = bytes[0];
    Layout l;
    if (head & 0x80) {
        if (n == 2 && head == 0xFF && bytes[1] == 101) return std::nullopt;  // +infinity
        l.exp = head - 0xC1;
        l.count = n - 1;
        for (int i = 0; i < l.count; ++i) {
            const uint8_t byte = bytes[static_cast<size_t>(i + 1)];
            if (byte < 1 || byte > 100) return std::nullopt;
            l.digit[static_cast<size_t>(i)] = static_cast<uint8_t>(byte - 1);
        }
    } else {
        l.negative = true;
        l.exp = 0x3E - head;
        // The terminator is there exactly when there are fewer than 20 digits.
        if (bytes[static_cast<size_t>(n - 1)] == kTerminator) {
            l.count = n - 2;
            if (l.count < 1) return std::nullopt;
        } else {
            l.count = n - 1;
            if (l.count != 20) return std::nullopt;
        }
        for (int i = 0; i < l.count; ++i) {
            const uint8_t byte = bytes[static_cast<size_t>(i + 1)];
            if (byte < 2 || byte > 101) return std::nullopt;
            l.digit[static_cast<size_t>(i)] = static_cast<uint8_t>(101 - byte);
        }
    }
    if (l.digit[0] == 0 || l.digit[static_cast<size_t>(l.count - 1)] == 0) return std::nullopt;
    return l;
}

std::optional<Value> decode(std::span<const uint8_t> bytes) {
    Value v;
    if (bytes.size() == 1 && bytes[0] == 0x80) return v;
    if (bytes.size() == 1 && bytes[0] == 0x00) {
        v.kind = Kind::neg_inf;
        return v;
    }
    if (bytes.size() == 2 && bytes[0] == 0xFF && bytes[1] == 101) {
        v.kind = Kind::pos_inf;
        return v;
    }
    const auto l = layout(bytes);
    if (!l) return std::nullopt;
    mpz_class m = 0;
    for (int i = 0; i < l->count; ++i) m = m * 100 + l->digit[static_cast<size_t>(i)];
    v.kind = Kind::finite;
    v.q = mpq_class(m) * pow100(l->exp - l->count + 1);
    if (l->negative) v.q = -v.q;
    return v;
}

Value value(const Num &n) {
    auto v = decode(n.bytes());
    EXPECT_TRUE(v.has_value()) << "not a normalised number: " << n;
    return v ? *v : Value{};
}

Kind kind(const Num &n) {
    return value(n).kind;
}

Layout layout_of(const Num &n) {
    auto l = layout(n.bytes());
    EXPECT_TRUE(l.has_value()) << "not a finite normalised number: " << n;
    return l ? *l : Layout{};
}

Num zero() {
    return hx("80");
}
Num pos_inf() {
    return hx("FF 65");
}
Num neg_inf() {
    return hx("00");
}
Num inf(bool negative) {
    return negative ? neg_inf() : pos_inf();
}

Num max_finite(bool negative) {
    std::array<uint8_t, 20> d;
    d.fill(99);
    return make(negative, kMaxExp, d);
}

Num make(bool negative, int exp, std::span<const uint8_t> digits) {
    Num n;
    const int count = static_cast<int>(digits.size());
    EXPECT_TRUE(count >= 1 && count <= 20 && digits[0] != 0 &&
                digits[static_cast<size_t>(count - 1)] != 0)
        << "bad digits for make()";
    EXPECT_TRUE(exp >= kMinExp && exp <= kMaxExp) << "exponent " << exp;
    n.b[0] = static_cast<uint8_t>(negative ? 0x3E - exp : 0xC1 + exp);
    for (int i = 0; i < count; ++i) {
        const uint8_t d = digits[static_cast<size_t>(i)];
        n.b[static_cast<size_t>(i + 1)] = static_cast<uint8_t>(negative ? 101 - d : d + 1);
    }
    n.len = count + 1;
    if (negative && count < 20) n.b[static_cast<size_t>(n.len++)] = kTerminator;
    return n;
}

// ---- Exact values ------------------------------------------------------------

mpz_class pow100z(int k) {
    return pow100_ref(k);
}

mpq_class pow100(int k) {
    if (k >= 0) return mpq_class(pow100_ref(k));
    return mpq_class(mpz_class(1), pow100_ref(-k));
}

mpq_class pow10(int k) {
    if (k >= 0) return mpq_class(pow10_ref(k));
    return mpq_class(mpz_class(1), pow10_ref(-k));
}

int exp100(const mpq_class &x) {
    return floor_log(x, 100, pow100_ref);
}
int exp10(const mpq_class &x) {
    return floor_log(x, 10, pow10_ref);
}
mpq_class unit20(const mpq_class &x) {
    return pow100(exp100(x) - 19);
}

Num to_num(const mpq_class &x, Rule rule) {
    const int s = sgn(x);
    if (s == 0) return zero();
    const mpq_class a = abs(x);
    int e = exp100(a);
    if (e < kMinExp) return zero();
    if (e > kMaxExp) return inf(s < 0);
    const mpz_class n21 = floor_scaled100(a, 20 - e);
    const unsigned long d21 = mpz_fdiv_ui(n21.get_mpz_t(), 100);
    mpz_class n = n21 / 100;
    const bool up = rule == Rule::half_up ? d21 >= 50 : d21 > 50;
    if (up) {
        ++n;
        if (n == pow100_ref(20)) {
            n = pow100_ref(19);
            if (++e > kMaxExp) return inf(s < 0);
        }
    }
    return from_twenty(s < 0, e, n);
}

bool fits(const mpq_class &x) {
    if (sgn(x) == 0) return true;
    const mpq_class scaled = abs(x) * pow100(19 - exp100(x));
    return scaled.get_den() == 1;
}

Num exact_num(const mpq_class &x) {
    EXPECT_TRUE(fits(x)) << "value needs more than 20 digits: " << x.get_str();
    return to_num(x, Rule::half_up);
}

mpq_class round_decimal(const mpq_class &x, int64_t places, DecimalMode mode) {
    if (sgn(x) == 0) return x;
    const int p = static_cast<int>(std::clamp<int64_t>(places, -400, 400));
    mpz_class num = x.get_num(), den = x.get_den();
    if (p >= 0)
        num *= pow10_ref(p);
    else
        den *= pow10_ref(-p);
    mpz_class q, r;
    mpz_tdiv_qr(q.get_mpz_t(), r.get_mpz_t(), num.get_mpz_t(), den.get_mpz_t());
    switch (mode) {
        case DecimalMode::half_away:
            if (2 * abs(r) >= den) q += sgn(num);
            break;
        case DecimalMode::toward_zero:
            break;
        case DecimalMode::floor:
            if (sgn(r) < 0) --q;
            break;
        case DecimalMode::ceiling:
            if (sgn(r) > 0) ++q;
            break;
    }
    mpq_class out(q);
    out *= pow10(-p);
    return out;
}

mpq_class dq(const char *text) {
    const char *p = text;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    std::string digits;
    int scale = 0;
    bool point = false;
    for (; *p && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            point = true;
        } else {
            digits += *p;
            if (point) --scale;
        }
    }
    if (*p == 'e' || *p == 'E') scale += std::atoi(p + 1);
    mpq_class v(mpz_class(digits.empty() ? "0" : digits, 10));
    v *= pow10(scale);
    return negative ? mpq_class(-v) : v;
}

Num dn(const char *text) {
    if (std::strcmp(text, "inf") == 0) return pos_inf();
    if (std::strcmp(text, "-inf") == 0) return neg_inf();
    return exact_num(dq(text));
}

::testing::AssertionResult within_one_unit(const Num &got, const mpq_class &exact) {
    const auto v = decode(got.bytes());
    if (!v) return ::testing::AssertionFailure() << got << " is not a normalised number";
    if (sgn(exact) == 0) {
        if (v->kind == Kind::zero) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << got << " for an exact zero";
    }
    const mpq_class unit = unit20(exact);
    const mpq_class mag = abs(exact);
    const bool negative = sgn(exact) < 0;
    bool ok = false;
    switch (v->kind) {
        case Kind::zero:
            ok = mag - unit < pow100(kMinExp);
            break;
        case Kind::pos_inf:
        case Kind::neg_inf:
            ok = v->negative() == negative && mag + unit > abs(value(max_finite(false)).q);
            break;
        case Kind::finite:
            ok = v->negative() == negative && abs(v->q - exact) <= unit;
            break;
    }
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << got << " is not within one unit of the 20th digit of " << exact.get_str()
           << " (nearest number " << to_num(exact, Rule::half_up) << ")";
}

double error_units(const Num &got, const mpq_class &exact) {
    const auto v = decode(got.bytes());
    if (!v || v->kind != Kind::finite || sgn(exact) == 0) return 0;
    const mpq_class e = abs(v->q - exact) / unit20(exact);
    return e.get_d();
}

void Tally::add_near(const Num &got, const mpq_class &exact_value) {
    ++near;
    worst = std::max(worst, error_units(got, exact_value));
}

Tally::~Tally() {
    std::printf("%s: %ld exact, %ld within one unit (largest error %.4f of a unit)\n", what, exact,
                near, worst);
}

// ---- Random operands ---------------------------------------------------------

uint8_t Gen::digit() {
    const int r = uniform(0, 99);
    if (r < 60) return static_cast<uint8_t>(uniform(0, 99));
    if (r < 72) return 99;
    if (r < 84) return 0;
    if (r < 90) return 50;
    if (r < 95) return static_cast<uint8_t>(uniform(49, 51));
    return static_cast<uint8_t>(uniform(1, 9));
}

Num Gen::finite(bool negative, int exp, int count) {
    std::array<uint8_t, 20> d{};
    for (int i = 0; i < count; ++i) d[static_cast<size_t>(i)] = digit();
    if (d[0] == 0) d[0] = static_cast<uint8_t>(uniform(1, 99));
    if (d[static_cast<size_t>(count - 1)] == 0)
        d[static_cast<size_t>(count - 1)] = static_cast<uint8_t>(uniform(1, 99));
    return make(negative, exp, std::span<const uint8_t>(d.data(), static_cast<size_t>(count)));
}

int Gen::exponent() {
    const int r = uniform(0, 99);
    if (r < 35) return uniform(kMinExp, kMaxExp);
    if (r < 65) return uniform(-4, 4);
    if (r < 78) return uniform(kMaxExp - 8, kMaxExp);
    if (r < 90) return uniform(kMinExp, kMinExp + 8);
    return 0;
}

Num Gen::number(double specials_weight) {
    if (chance(0.04)) return small_integer();
    if (chance(specials_weight)) {
        switch (uniform(0, 2)) {
            case 0:
                return zero();
            case 1:
                return pos_inf();
            default:
                return neg_inf();
        }
    }
    return finite_any();
}

Num Gen::finite_any() {
    return finite(chance(0.5), exponent(), uniform(1, 20));
}

Num Gen::near_exp(int exp, int spread) {
    const int e = std::clamp(exp + uniform(-spread, spread), kMinExp, kMaxExp);
    return finite(chance(0.5), e, uniform(1, 20));
}

Num Gen::small_integer() {
    static const int64_t tens[] = {1,      10,      100,      1000,      10000,
                                   100000, 1000000, 10000000, 100000000, 1000000000};
    const int64_t bound = tens[uniform(0, 9)];
    return exact_num(mpq_class(mpz_class(std::to_string(uniform64(-bound, bound)))));
}

// ---- Calling the library -----------------------------------------------------

std::optional<int32_t> as_int32(const Num &n) {
    const auto v = decode(n.bytes());
    if (!v || v->kind == Kind::pos_inf || v->kind == Kind::neg_inf) return std::nullopt;
    if (v->q.get_den() != 1) return std::nullopt;
    const mpz_class &z = v->q.get_num();
    if (z < INT32_MIN || z > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(z.get_si());
}

Arg pass(const Num &n, Form form) {
    Arg a;
    switch (form) {
        case Form::counted:
            std::copy_n(n.b.begin(), n.len, a.buf.begin());
            a.ptr = a.buf.data();
            a.len = n.len;
            break;
        case Form::prefixed:
            a.buf[0] = static_cast<uint8_t>(n.len);
            std::copy_n(n.b.begin(), n.len, a.buf.begin() + 1);
            a.ptr = a.buf.data();
            a.len = 0;
            break;
        case Form::integer:
            a.ptr = nullptr;
            a.len = *as_int32(n);
            break;
    }
    return a;
}

Form any_form(Gen &g, const Num &n) {
    if (as_int32(n) && g.chance(0.25)) return Form::integer;
    return g.chance(0.5) ? Form::counted : Form::prefixed;
}

Num result(const uint8_t *dst, const uint32_t *dstlen) {
    Num n;
    if (dstlen != nullptr) {
        EXPECT_GE(*dstlen, 1u);
        EXPECT_LE(*dstlen, 21u);
        n.len = static_cast<int>(std::min<uint32_t>(*dstlen, 21));
        std::copy_n(dst, n.len, n.b.begin());
    } else {
        EXPECT_GE(dst[0], 1);
        EXPECT_LE(dst[0], 21);
        n.len = std::min<int>(dst[0], 21);
        std::copy_n(dst + 1, n.len, n.b.begin());
    }
    return n;
}

namespace {

// Where a result goes: a fresh buffer, or over operand 1 or 2.
struct Target {
    std::array<uint8_t, 22> out;
    uint32_t outlen = 0;
    uint8_t *dst = nullptr;
    uint32_t *dstlen = nullptr;
    int over = 0;  // 0 fresh, 1 or 2 the operand written over
};

Target target(Gen &g, Arg *a, Arg *b) {
    Target t;
    t.out.fill(0xEE);
    const int r = g.uniform(0, 5);
    if (r == 0 && a && a->ptr) {
        t.dst = a->buf.data();
        t.over = 1;
    } else if (r == 1 && b && b->ptr) {
        t.dst = b->buf.data();
        t.over = 2;
    } else {
        t.dst = t.out.data();
    }
    return t;
}

Num finish(Target &t, bool counted_out) {
    return result(t.dst, counted_out ? &t.outlen : nullptr);
}

}  // namespace

Num call(BinaryFn fn, const Num &a, const Num &b, Gen &g) {
    Arg x = pass(a, any_form(g, a)), y = pass(b, any_form(g, b));
    const Arg x0 = x, y0 = y;
    Target t = target(g, &x, &y);
    const bool counted_out = g.chance(0.5);
    fn(x.ptr, x.len, y.ptr, y.len, t.dst, counted_out ? &t.outlen : nullptr);
    const Num r = finish(t, counted_out);
    if (t.over != 1) {
        EXPECT_EQ(x.buf, x0.buf) << "operand 1 changed: " << a;
    }
    if (t.over != 2) {
        EXPECT_EQ(y.buf, y0.buf) << "operand 2 changed: " << b;
    }
    return r;
}

Num call(UnaryFn fn, const Num &a, Gen &g) {
    Arg x = pass(a, any_form(g, a));
    const Arg x0 = x;
    Target t = target(g, &x, nullptr);
    const bool counted_out = g.chance(0.5);
    fn(x.ptr, x.len, t.dst, counted_out ? &t.outlen : nullptr);
    const Num r = finish(t, counted_out);
    if (t.over != 1) {
        EXPECT_EQ(x.buf, x0.buf) << "operand changed: " << a;
    }
    return r;
}

Num call(UnaryIntFn fn, const Num &a, int32_t n, Gen &g) {
    Arg x = pass(a, any_form(g, a));
    const Arg x0 = x;
    Target t = target(g, &x, nullptr);
    const bool counted_out = g.chance(0.5);
    fn(x.ptr, x.len, t.dst, counted_out ? &t.outlen : nullptr, n);
    const Num r = finish(t, counted_out);
    if (t.over != 1) {
        EXPECT_EQ(x.buf, x0.buf) << "operand changed: " << a;
    }
    return r;
}

Num call(MixedFn fn, const Num &a, int32_t n, Gen &g) {
    Arg x = pass(a, any_form(g, a));
    const Arg x0 = x;
    Target t = target(g, &x, nullptr);
    const bool counted_out = g.chance(0.5);
    fn(x.ptr, x.len, n, t.dst, counted_out ? &t.outlen : nullptr);
    const Num r = finish(t, counted_out);
    if (t.over != 1) {
        EXPECT_EQ(x.buf, x0.buf) << "operand changed: " << a;
    }
    return r;
}

}  // namespace numtest
