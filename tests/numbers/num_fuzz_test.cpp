// Bad input to every number function: random bytes, random lengths in
// both ways of passing a number, machine integers behind a null pointer,
// the result written over an operand. Every operand lives in a heap buffer
// of exactly the size the call may read (a length above 21 reads 21 bytes, a
// negative one nothing) and every result in one of exactly the size it may
// fill, so that AddressSanitizer reports a read or write outside them.
// Results must be normalised numbers; operands not written over must be
// left as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "lmx.h"
#include "lnx.h"
#include "num_oracle.hpp"
#include "numbers/lnx_internal.h"

namespace {

using namespace numtest;

constexpr int kRounds = 300000;

// A heap block of exactly n bytes (n may be 0).
struct Block {
    std::unique_ptr<uint8_t[]> p;
    size_t n = 0;
    explicit Block(size_t size) : p(new uint8_t[size]), n(size) {}
    uint8_t *data() { return p.get(); }
    std::vector<uint8_t> copy() const { return {p.get(), p.get() + n}; }
};

// Bytes that look like a number now and then, or like nothing at all.
void fill(uint8_t *out, size_t n, Gen &g) {
    const int style = g.uniform(0, 2);
    if (style == 0) {
        for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(g.bits());
        return;
    }
    const Num x = g.number(0.1);
    for (size_t i = 0; i < n; ++i) {
        out[i] = i < static_cast<size_t>(x.len) ? x.b[i] : static_cast<uint8_t>(g.uniform(0, 103));
        if (style == 2 && g.chance(0.1)) out[i] = static_cast<uint8_t>(g.uniform(0, 103));
    }
}

// A number argument: counted with any length, length-prefixed with any
// prefix byte, or a machine integer. `room` asks for a 22-byte buffer, so
// that the result may be written over it.
struct Operand {
    std::unique_ptr<Block> block;
    const uint8_t *ptr = nullptr;
    int32_t len = 0;
    uint8_t *buffer() { return block ? block->data() : nullptr; }
};

Operand operand(Gen &g, bool room) {
    Operand op;
    const int form = g.uniform(0, 9);
    if (form == 0) {
        op.len = static_cast<int32_t>(g.bits());  // a machine integer
        return op;
    }
    size_t need = 0;
    uint8_t prefix = 0;
    if (form < 6) {
        // Counted: 1..21 mostly, sometimes more (21 are read) or negative
        // (nothing is read).
        const int r = g.uniform(0, 9);
        op.len = r < 7 ? g.uniform(1, 21) : (r < 9 ? g.uniform(22, 1000) : -g.uniform(1, 1000));
        need = op.len < 0 ? 0 : static_cast<size_t>(std::min(op.len, 21));
    } else {
        prefix = static_cast<uint8_t>(g.chance(0.8) ? g.uniform(0, 21) : g.uniform(22, 255));
        need = 1 + std::min<size_t>(prefix, 21);
        op.len = 0;
    }
    op.block = std::make_unique<Block>(room ? std::max<size_t>(need, LNXBUFLEN) : need);
    fill(op.block->data(), op.block->n, g);
    if (op.len == 0) op.block->data()[0] = prefix;
    op.ptr = op.block->data();
    return op;
}

// A result: with a length pointer 21 bytes, without one 22.
struct Result {
    std::unique_ptr<Block> own;
    uint8_t *dst = nullptr;
    uint32_t len = 0;
    bool counted = false;
    uint32_t *lenp() { return counted ? &len : nullptr; }
};

Result destination(Gen &g, Operand *over) {
    Result r;
    r.counted = g.chance(0.5);
    if (over && over->block) {
        r.dst = over->buffer();
    } else {
        r.own = std::make_unique<Block>(r.counted ? LNXMAXLEN : LNXBUFLEN);
        r.dst = r.own->data();
    }
    return r;
}

void expect_number(Result &r, const char *what) {
    Num n;
    if (r.counted) {
        ASSERT_TRUE(r.len >= 1 && r.len <= 21) << what << ": length " << r.len;
        n.len = static_cast<int>(r.len);
        std::copy_n(r.dst, n.len, n.b.begin());
    } else {
        ASSERT_TRUE(r.dst[0] >= 1 && r.dst[0] <= 21) << what << ": length " << int{r.dst[0]};
        n.len = r.dst[0];
        std::copy_n(r.dst + 1, n.len, n.b.begin());
    }
    EXPECT_TRUE(is_normalised(n.bytes())) << what << " gave " << n;
}

int32_t any_count(Gen &g) {
    switch (g.uniform(0, 3)) {
        case 0:
            return static_cast<int32_t>(g.bits());
        case 1:
            return g.chance(0.5) ? INT32_MIN : INT32_MAX;
        default:
            return g.uniform(-50, 50);
    }
}

// The calls, each with fresh random arguments.
struct Call {
    const char *name;
    std::function<void(Gen &)> run;
};

template <typename Fn>
void binary(Fn fn, const char *name, Gen &g) {
    const int over = g.uniform(0, 3);  // 1 or 2: the result over that operand
    Operand a = operand(g, over == 1), b = operand(g, over == 2);
    const auto a0 = a.block ? a.block->copy() : std::vector<uint8_t>{};
    const auto b0 = b.block ? b.block->copy() : std::vector<uint8_t>{};
    Result r = destination(g, over == 1 ? &a : (over == 2 ? &b : nullptr));
    fn(a.ptr, a.len, b.ptr, b.len, r.dst, r.lenp());
    expect_number(r, name);
    if (a.block && r.dst != a.buffer()) {
        EXPECT_EQ(a.block->copy(), a0) << name << " changed operand 1";
    }
    if (b.block && r.dst != b.buffer()) {
        EXPECT_EQ(b.block->copy(), b0) << name << " changed operand 2";
    }
}

template <typename Fn>
void unary(Fn fn, const char *name, Gen &g, bool normalised = true) {
    const bool over = g.chance(0.3);
    Operand a = operand(g, over);
    const auto a0 = a.block ? a.block->copy() : std::vector<uint8_t>{};
    Result r = destination(g, over ? &a : nullptr);
    fn(a.ptr, a.len, r.dst, r.lenp());
    if (normalised) expect_number(r, name);
    if (a.block && r.dst != a.buffer()) {
        EXPECT_EQ(a.block->copy(), a0) << name << " changed its operand";
    }
}

std::vector<Call> calls() {
    std::vector<Call> c;
    struct {
        BinaryFn fn;
        const char *name;
    } const binaries[] = {{lnxadd, "lnxadd"},
                          {lnxsub, "lnxsub"},
                          {lnxmul, "lnxmul"},
                          {lnxdiv, "lnxdiv"},
                          {lnxmod, "lnxmod"}};
    for (auto [fn, name] : binaries) {
        c.push_back({name, [fn, name](Gen &g) { binary(fn, name, g); }});
    }
    c.push_back({"lnxqaos", [](Gen &g) {
                     const int32_t flag = any_count(g);
                     binary([flag](auto... args) { lnxqaos(args..., flag); }, "lnxqaos", g);
                 }});
    struct {
        MixedFn fn;
        const char *name;
    } const mixed[] = {{lnxqIAdd, "lnxqIAdd"},
                       {lnxqISub, "lnxqISub"},
                       {lnxqIMul, "lnxqIMul"},
                       {lnxqIDiv, "lnxqIDiv"},
                       {lnxqIMod, "lnxqIMod"}};
    for (auto [fn, name] : mixed) {
        c.push_back({name, [fn, name](Gen &g) {
                         const int32_t n = any_count(g);
                         unary([&](const uint8_t *a, int32_t al, uint8_t *d,
                                   uint32_t *dl) { fn(a, al, n, d, dl); },
                               name, g);
                     }});
    }
    struct {
        UnaryFn fn;
        const char *name;
    } const unaries[] = {{lnxneg, "lnxneg"}, {lnxabs, "lnxabs"}};
    for (auto [fn, name] : unaries) {
        c.push_back({name, [fn, name](Gen &g) { unary(fn, name, g); }});
    }
    c.push_back({"lnxqcop", [](Gen &g) { unary(lnxqcop, "lnxqcop", g, false); }});
    struct {
        UnaryIntFn fn;
        const char *name;
    } const roundings[] = {
        {lnxrou, "lnxrou"}, {lnxtru, "lnxtru"}, {lnxfpr, "lnxfpr"}, {lnxflo, "lnxflo"}};
    for (auto [fn, name] : roundings) {
        c.push_back({name, [fn, name](Gen &g) {
                         const int32_t n = any_count(g);
                         unary([&](const uint8_t *a, int32_t al, uint8_t *d,
                                   uint32_t *dl) { fn(a, al, d, dl, n); },
                               name, g);
                     }});
    }
    c.push_back({"lnxsca", [](Gen &g) {
                     const int32_t digits = any_count(g), places = any_count(g);
                     auto flag = std::make_unique<Block>(sizeof(int32_t));
                     const bool with_flag = g.chance(0.8);
                     unary(
                         [&](const uint8_t *a, int32_t al, uint8_t *d, uint32_t *dl) {
                             int32_t *f =
                                 with_flag ? reinterpret_cast<int32_t *>(flag->data()) : nullptr;
                             lnxsca(a, al, d, dl, digits, places, f);
                         },
                         "lnxsca", g);
                 }});
    c.push_back({"tests", [](Gen &g) {
                     Operand a = operand(g, false);
                     const int32_t valid = lnxchk(a.ptr, a.len);
                     EXPECT_TRUE(valid == 0 || valid == 1);
                     const int32_t sign = lnxsgn(a.ptr, a.len);
                     EXPECT_TRUE(sign >= -1 && sign <= 1);
                     const int32_t integer = lnxint(a.ptr, a.len);
                     EXPECT_TRUE(integer >= 1 && integer <= 4);
                 }});
    c.push_back({"lnxqgnm", [](Gen &g) {
                     Operand a = operand(g, false);
                     const auto size = static_cast<uint32_t>(g.uniform(0, 30));
                     Block form(size);
                     const int32_t negative = lnxqgnm(form.data(), size, a.ptr, a.len);
                     EXPECT_TRUE(negative == 0 || negative == 1);
                     if (size >= 2) {
                         EXPECT_LE(form.data()[0], 20);
                     }
                 }});
    c.push_back({"lnxqosb and lnxqsbo", [](Gen &g) {
                     Operand a = operand(g, false);
                     Block words(20 * sizeof(int32_t));
                     auto *w = reinterpret_cast<int32_t *>(words.data());
                     int32_t exponent = 0;
                     int32_t *begin = nullptr, *end = nullptr;
                     const int32_t sign = lnxqosb(a.ptr, a.len, w, &exponent, &begin, &end);
                     ASSERT_TRUE(begin == w && end >= begin && end <= w + 20);
                     Result r = destination(g, nullptr);
                     lnxqsbo(r.dst, r.lenp(), sign, exponent, begin, end);
                     expect_number(r, "lnxqsbo after lnxqosb");
                 }});
    c.push_back({"lnxqsbo", [](Gen &g) {
                     const int n = g.uniform(0, 45);
                     Block words(static_cast<size_t>(n) * sizeof(int32_t));
                     auto *w = reinterpret_cast<int32_t *>(words.data());
                     for (int i = 0; i < n; ++i) {
                         w[i] = g.chance(0.9) ? g.digit() : static_cast<int32_t>(g.bits());
                     }
                     const int32_t exponent =
                         g.chance(0.9) ? g.uniform(-80, 80) : g.uniform(-5000, 5000);
                     Result r = destination(g, nullptr);
                     lnxqsbo(r.dst, r.lenp(), g.uniform(-1, 2), exponent, w, w + n);
                     expect_number(r, "lnxqsbo");
                 }});
    c.push_back({"lnxqnrm", [](Gen &g) {
                     const int32_t len = g.uniform(-3, 30);
                     Block work(static_cast<size_t>(std::max(len, 0)));
                     fill(work.data(), work.n, g);
                     const int32_t n = lnxqnrm(work.data(), len);
                     EXPECT_TRUE(n >= 0 && n <= std::max(len, 0)) << n;
                 }});
    c.push_back({"lnxqprs", [](Gen &g) {
                     const auto len =
                         static_cast<uint8_t>(g.chance(0.8) ? g.uniform(0, 30) : g.uniform(0, 255));
                     Block work(1 + size_t{len});
                     for (size_t i = 1; i < work.n; ++i) {
                         work.data()[i] =
                             static_cast<uint8_t>(g.chance(0.8) ? g.uniform(0, 100) : g.bits());
                     }
                     work.data()[0] = len;
                     Result r = destination(g, nullptr);
                     lnxqprs(work.data(), r.dst, r.lenp(), g.uniform(-1, 1));
                     expect_number(r, "lnxqprs");
                 }});
    c.push_back({"lnxinc", [](Gen &g) {
                     const bool counted = g.chance(0.5);
                     Block buf(counted ? LNXMAXLEN : LNXBUFLEN);
                     fill(buf.data(), buf.n, g);
                     Result r;
                     r.dst = buf.data();
                     r.counted = counted;
                     if (counted) {
                         r.len = g.chance(0.9) ? static_cast<uint32_t>(g.uniform(0, 25))
                                               : static_cast<uint32_t>(g.bits());
                     } else {
                         buf.data()[0] = static_cast<uint8_t>(g.chance(0.9) ? g.uniform(0, 21)
                                                                            : g.uniform(22, 255));
                     }
                     lnxinc(buf.data(), r.lenp());
                     expect_number(r, "lnxinc");
                 }});
    c.push_back({"lnxsni", [](Gen &g) {
                     Operand a = operand(g, false);
                     const auto size = static_cast<uint32_t>(g.chance(0.9) ? 1u << g.uniform(0, 2)
                                                                           : g.uniform(0, 9));
                     Block value(std::max<uint32_t>(size, 1));
                     std::memset(value.data(), 0xA5, value.n);
                     const uint32_t flags = g.chance(0.8) ? static_cast<uint32_t>(g.uniform(0, 3)) |
                                                                (g.chance(0.5) ? 0x8000u : 0u)
                                                          : static_cast<uint32_t>(g.bits());
                     const int32_t r = lnxsni(a.ptr, a.len, value.data(), size, flags);
                     EXPECT_TRUE(r >= 0 && r <= 3) << r;
                     if (r == 3) {
                         EXPECT_EQ(value.copy(), std::vector<uint8_t>(value.n, 0xA5));
                     }
                 }});
    c.push_back({"lnxnur", [](Gen &g) {
                     Operand a = operand(g, false);
                     const auto size = static_cast<uint32_t>(g.chance(0.8) ? 4 * g.uniform(1, 2)
                                                                           : g.uniform(0, 9));
                     Block value(std::max<uint32_t>(size, 1));
                     std::memset(value.data(), 0xA5, value.n);
                     lnxnur(a.ptr, a.len, value.data(), size);
                     if (size != 4 && size != 8) {
                         EXPECT_EQ(value.copy(), std::vector<uint8_t>(value.n, 0xA5));
                     }
                 }});
    c.push_back({"lnxmin", [](Gen &g) {
                     const auto size = static_cast<uint32_t>(g.chance(0.8) ? 1u << g.uniform(0, 2)
                                                                           : g.uniform(0, 9));
                     Block value(size);
                     fill(value.data(), value.n, g);
                     Result r = destination(g, nullptr);
                     const int32_t signedness = g.chance(0.9) ? g.uniform(0, 2) : any_count(g);
                     const int32_t status = lnxmin(value.data(), size, signedness, r.dst, r.lenp());
                     EXPECT_TRUE(status == 0 || status == 3);
                     if (status == 0) expect_number(r, "lnxmin");
                 }});
    c.push_back({"lnxren", [](Gen &g) {
                     const auto size = static_cast<uint32_t>(g.chance(0.8) ? 4 * g.uniform(1, 2)
                                                                           : g.uniform(0, 9));
                     Block value(size);
                     for (size_t i = 0; i < value.n; ++i)
                         value.data()[i] = static_cast<uint8_t>(g.bits());
                     Result r = destination(g, nullptr);
                     lnxren(value.data(), size, r.dst, r.lenp());
                     expect_number(r, "lnxren");
                 }});
    c.push_back({"lmxcmp", [](Gen &g) {
                     Block a(static_cast<size_t>(g.uniform(0, 30))),
                         b(static_cast<size_t>(g.uniform(0, 30)));
                     fill(a.data(), a.n, g);
                     fill(b.data(), b.n, g);
                     if (g.chance(0.3)) std::copy_n(a.data(), std::min(a.n, b.n), b.data());
                     const int32_t r = lmxcmp(a.data(), static_cast<uint32_t>(a.n), b.data(),
                                              static_cast<uint32_t>(b.n));
                     EXPECT_LE(std::abs(r), static_cast<int32_t>(std::min(a.n, b.n)) + 1);
                 }});
    return c;
}

TEST(NumberBadInput, RandomBytesLengthsAndForms) {
    Gen g(0xBAD);
    const std::vector<Call> all = calls();
    std::vector<long> count(all.size());
    for (int i = 0; i < kRounds; ++i) {
        const auto k = static_cast<size_t>(g.uniform(0, static_cast<int>(all.size()) - 1));
        ++count[k];
        all[k].run(g);
        if (HasFailure()) {
            ADD_FAILURE() << "in a call of " << all[k].name << ", round " << i;
            break;
        }
    }
    for (size_t k = 0; k < all.size(); ++k) EXPECT_GT(count[k], 1000) << all[k].name;
}

// A word run with leading zeros at the ends of the exponent range: each
// skipped zero lowers the exponent, which must not wrap around.
TEST(NumberBadInput, PackWordsAtExtremeExponents) {
    struct Case {
        int32_t exponent;
        std::vector<int32_t> words;
        const char *expected;
    } const cases[] = {
        {INT32_MIN, {0, 5}, "80"}, {INT32_MIN, {5}, "80"},       {INT32_MIN + 1, {0, 0, 5}, "80"},
        {INT32_MAX, {5}, "FF 65"}, {INT32_MAX, {0, 5}, "FF 65"},
    };
    for (const auto &c : cases) {
        Block words(c.words.size() * sizeof(int32_t));
        std::memcpy(words.data(), c.words.data(), words.n);
        const auto *w = reinterpret_cast<const int32_t *>(words.data());
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxqsbo(out, &len, 1, c.exponent, w, w + c.words.size());
        EXPECT_EQ(result(out, &len), hx(c.expected)) << "exponent " << c.exponent;
    }
}

}  // namespace
