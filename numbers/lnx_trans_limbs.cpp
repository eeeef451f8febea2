// Numbers held in limbs of four base-100 digits, for the transcendental
// functions: a product, a quotient by a small integer and a sum, each
// giving exactly the digits of the subsystem's rounded operation, and the
// series of the circular, hyperbolic and exponential functions with their
// values kept in limbs from one term to the next.
//
// Only the conversion between digit bytes and limbs on both sides of every
// operation is saved. The series run here when their terms cannot leave
// the number range (q = r^2 below 100); otherwise the general operations
// take them.
#include <array>
#include <bit>

#include "numbers/number.hpp"
#include "numbers/swar.hpp"
#include "numbers/transcendental.hpp"

namespace tavo::num::trans::limb {

namespace {

constexpr uint64_t kBase = 100000000;  // a limb: four base-100 digits
constexpr uint64_t kPow100[5] = {1, 100, 10000, 1000000, 100000000};
constexpr uint32_t kFirstDigit = 1000000;  // a limb at or above this has a non-zero first digit

// A limb (below 10^8) split at a constant power of 100. On 32 bits the
// compiler divides by one short multiplication, where 64 bits take a
// double-width one.
template <uint32_t D>
uint32_t limb_div(uint64_t l) {
    return static_cast<uint32_t>(l) / D;
}
template <uint32_t D>
uint32_t limb_mod(uint64_t l) {
    return static_cast<uint32_t>(l) % D;
}

// Six limbs of the run l moved up by Z digits.
template <int Z>
void shift_left(const uint64_t *l, uint64_t *s) {
    constexpr uint64_t up = kPow100[Z];
    constexpr auto down = static_cast<uint32_t>(kPow100[4 - Z]);
    if constexpr (Z == 0) {
        for (int k = 0; k < 6; ++k) s[k] = l[k];
    } else {
        for (int k = 0; k < 6; ++k) s[k] = limb_mod<down>(l[k]) * up + limb_div<down>(l[k + 1]);
    }
}

// Six limbs of a window from the five limbs at p[1 + W ..] (zeros around
// them) moved down by Z digits.
template <int Z>
void shift_right(const uint64_t *p, uint64_t *y) {
    constexpr auto down = static_cast<uint32_t>(kPow100[Z]);
    constexpr uint64_t up = kPow100[4 - Z];
    if constexpr (Z == 0) {
        for (int i = 0; i < 6; ++i) y[i] = p[i + 1];
    } else {
        for (int i = 0; i < 6; ++i) y[i] = limb_div<down>(p[i + 1]) + limb_mod<down>(p[i]) * up;
    }
}

// A run of up to seven limbs with zero limbs after it, so that the digits
// after the first significant one can be read without bounds checks.
using Run = std::array<uint64_t, 14>;

// The number made of the limbs l[0 .. n) (n <= 7), l[0]'s first digit at
// exponent exp: leading zero digits go into the exponent, the 21st
// significant digit rounds the 20th up when at least round_from; an
// exponent below the range gives zero, above it an infinity.
[[gnu::always_inline]] inline void normalize_into(const Run &l, int n, int exp, bool negative,
                                                  uint64_t round_from, Fixed &out) {
    const auto special = [&](Kind kind) {
        out = Fixed{};
        out.negative = negative;
        out.kind = kind;
    };
    int i = 0;
    while (i < n && l[i] == 0) ++i;
    if (i == n) return special(Kind::zero);
    const uint64_t lead = l[i];
    const int z = lead >= kFirstDigit ? 0 : lead >= 10000 ? 1 : lead >= 100 ? 2 : 3;
    exp -= 4 * i + z;
    if (exp < kMinExp) return special(Kind::zero);
    // The digits from the first significant one on, in six limbs.
    const uint64_t *padded = l.data() + i;
    uint64_t s[6];
    switch (z) {
        case 0:
            shift_left<0>(padded, s);
            break;
        case 1:
            shift_left<1>(padded, s);
            break;
        case 2:
            shift_left<2>(padded, s);
            break;
        default:
            shift_left<3>(padded, s);
            break;
    }
    if (limb_div<kFirstDigit>(s[5]) >= round_from) {
        int k = 4;
        ++s[4];
        while (k > 0 && s[k] == kBase) {
            s[k] = 0;
            ++s[--k];
        }
        if (s[0] == kBase) {  // every digit was 99
            s[0] = kFirstDigit;
            ++exp;
        }
    }
    if (exp > kMaxExp) return special(Kind::pos_inf);
    for (int k = 0; k < 5; ++k) out.limb[k] = s[k];
    out.exp = exp;
    out.negative = negative;
    out.kind = Kind::finite;
}

// The first three digits of a limb, each alone.
uint64_t digit0(uint64_t l) {
    return limb_div<1000000>(l);
}
uint64_t digit1(uint64_t l) {
    return limb_div<10000>(l) % 100;
}
uint64_t digit2(uint64_t l) {
    return limb_div<100>(l) % 100;
}

int compare_magnitudes(const Fixed &a, const Fixed &b) {
    if (a.exp != b.exp) return a.exp < b.exp ? -1 : 1;
    for (int k = 0; k < 5; ++k)
        if (a.limb[k] != b.limb[k]) return a.limb[k] < b.limb[k] ? -1 : 1;
    return 0;
}

}  // namespace

Fixed from_unpacked(const Unpacked &u) {
    Fixed f;
    if (!u.is_finite()) return f;
    f.kind = Kind::finite;
    f.negative = u.negative;
    f.exp = u.exp;
    uint64_t limbs[6];
    for (int w = 0; w < 3; ++w) {
        const uint64_t two = swar::digits_to_limbs(swar::load_le(u.digit.data() + 8 * w));
        limbs[2 * w] = two & 0xFFFFFFFF;
        limbs[2 * w + 1] = two >> 32;
    }
    for (int k = 0; k < 5; ++k) f.limb[k] = limbs[k];
    return f;
}

Unpacked to_unpacked(const Fixed &f) {
    if (f.kind == Kind::zero) return make_zero();
    if (f.kind != Kind::finite) return make_inf(f.negative);
    Unpacked u;
    u.kind = Kind::finite;
    u.negative = f.negative;
    u.exp = f.exp;
    for (int w = 0; w < 3; ++w) {
        const uint64_t lo =
            w * 2 < 5 ? swar::limb_to_digits(static_cast<uint32_t>(f.limb[w * 2])) : 0;
        const uint64_t hi =
            w * 2 + 1 < 5 ? swar::limb_to_digits(static_cast<uint32_t>(f.limb[w * 2 + 1])) : 0;
        swar::store_le(u.digit.data() + 8 * w, lo | (hi << 32));
    }
    // The last non-zero digit: in the last non-zero limb, its units decide.
    int k = 4;
    while (f.limb[k] == 0) --k;  // limb 0 is never zero
    const uint64_t l = f.limb[k];
    const int trailing = l % 1000000 == 0 ? 3 : l % 10000 == 0 ? 2 : l % 100 == 0 ? 1 : 0;
    u.count = 4 * k + 4 - trailing;
    return u;
}

// The digit products a(i) b(j) with i + j <= 22, as the general product
// forms them: whole limb pairs below the edge of that triangle, on the
// edge only the digit pairs that reach position 23 or before.
Factor::Factor(const Fixed &b) : value(b) {
    for (int j = 1; j < 5; ++j) {
        const uint64_t bl = b.limb[j];
        prefix[j][0] = bl / 1000000;
        prefix[j][1] = bl / 10000;
        prefix[j][2] = bl / 100;
    }
}

namespace {

// The steps write their result to out, which may be one of the operands.
[[gnu::always_inline]] inline void multiply_into(const Fixed &a, const Factor &f, Fixed &out) {
    const Fixed &b = f.value;
    const bool negative = a.negative != b.negative;
    if (a.kind != Kind::finite || b.kind != Kind::finite) {
        out = Fixed{};
        return;
    }
    // col[c]: the limb products a(i) b(j) with i + j = c, each below 10^16.
    const uint64_t *x = a.limb, *y = b.limb;
    uint64_t col[6];
    col[0] = x[0] * y[0];
    col[1] = x[0] * y[1] + x[1] * y[0];
    col[2] = x[0] * y[2] + x[1] * y[1] + x[2] * y[0];
    col[3] = x[0] * y[3] + x[1] * y[2] + x[2] * y[1] + x[3] * y[0];
    col[4] = x[0] * y[4] + x[1] * y[3] + x[2] * y[2] + x[3] * y[1] + x[4] * y[0];
    uint64_t edge = 0;
    for (int i = 1; i < 5; ++i) {
        const uint64_t al = a.limb[i];
        const uint64_t *bp = f.prefix[5 - i];
        edge += digit0(al) * bp[2] + digit1(al) * bp[1] + digit2(al) * bp[0];
    }
    col[5] = kBase * edge;
    Run limbs{};
    for (int c = 5; c > 0; --c) {
        col[c - 1] += col[c] / kBase;
        limbs[static_cast<size_t>(c + 1)] = col[c] % kBase;
    }
    limbs[0] = col[0] / kBase;
    limbs[1] = col[0] % kBase;
    // limbs[0] holds the carry position and the three after it.
    normalize_into(limbs, 7, a.exp + b.exp + 1, negative, 51, out);
}

}  // namespace

Fixed product(const Fixed &a, const Factor &f) {
    Fixed r;
    multiply_into(a, f, r);
    return r;
}

Fixed product(const Fixed &a, const Fixed &b) {
    return product(a, Factor(b));
}

namespace {

[[gnu::always_inline]] inline void divide_into(const Fixed &a, uint32_t n, const Reciprocal &rec,
                                               Fixed &out) {
    if (a.kind != Kind::finite) {
        out = Fixed{};
        return;
    }
    using u128 = unsigned __int128;
    Run q{};
    uint64_t r = 0;
    for (size_t l = 0; l < 6; ++l) {
        const uint64_t x = r * kBase + (l < 5 ? a.limb[l] : 0);  // below 10^14
        q[l] = static_cast<uint64_t>((u128{x} * rec.m) >> rec.shift);
        r = x - q[l] * n;
    }
    normalize_into(q, 6, a.exp, a.negative, 51, out);
}

}  // namespace

Fixed quotient(const Fixed &a, uint32_t n, const Reciprocal &rec) {
    Fixed r;
    divide_into(a, n, rec, r);
    return r;
}

namespace {

[[gnu::always_inline]] inline void series_divide_into(const Fixed &a, const SeriesDivisor &div,
                                                      Fixed &out) {
    if (a.kind != Kind::finite) {
        out = Fixed{};
        return;
    }
    using u128 = unsigned __int128;
    Run q{};
    uint64_t r = 0;
    for (size_t p = 0; p < 3; ++p) {
        const uint64_t low = 2 * p + 1 < 5 ? a.limb[2 * p + 1] : 0;
        const uint64_t y = r * div.d + a.limb[2 * p] * kBase + low;
        const auto y_n = static_cast<uint64_t>((u128{y} * div.m) >> 64) >> div.shift;
        const uint64_t two = r * div.c + y_n;  // the next two quotient limbs
        r = y - y_n * div.n;
        q[2 * p] = two / kBase;
        q[2 * p + 1] = two % kBase;
    }
    normalize_into(q, 6, a.exp, a.negative, 51, out);
}

}  // namespace

Fixed series_quotient(const Fixed &a, const SeriesDivisor &div) {
    Fixed r;
    series_divide_into(a, div, r);
    return r;
}

namespace {

[[gnu::always_inline]] inline void add_into(const Fixed &a, const Fixed &b, bool subtract,
                                            Fixed &out) {
    const bool b_negative = b.negative != subtract;
    const auto b_signed = [&] {
        out = b;
        out.negative = b_negative;
    };
    const auto a_itself = [&] {
        if (&out != &a) out = a;
    };
    if (b.kind != Kind::finite) return a_itself();
    if (a.kind != Kind::finite) return b_signed();
    const bool a_bigger = compare_magnitudes(a, b) >= 0;
    const Fixed &big = a_bigger ? a : b;
    const Fixed &small = a_bigger ? b : a;
    const bool big_negative = a_bigger ? a.negative : b_negative;
    const bool small_negative = a_bigger ? b_negative : a.negative;
    const int gap = big.exp - small.exp;
    if (gap >= 21) return a_bigger ? a_itself() : b_signed();
    // The smaller magnitude in a window of 24 positions from the larger
    // one's first digit, cut after position 20.
    uint64_t padded[12] = {};
    for (int k = 0; k < 5; ++k) padded[1 + gap / 4 + k] = small.limb[k];
    uint64_t y[6];
    switch (gap % 4) {
        case 0:
            shift_right<0>(padded, y);
            break;
        case 1:
            shift_right<1>(padded, y);
            break;
        case 2:
            shift_right<2>(padded, y);
            break;
        default:
            shift_right<3>(padded, y);
            break;
    }
    y[5] = uint64_t{limb_div<kFirstDigit>(y[5])} * kFirstDigit;
    // limbs[0] = 0 .. 0, carry: the carry digit in front of the window.
    Run limbs{};
    uint64_t carry = 0;
    const bool same_sign = big_negative == small_negative;
    if (same_sign) {
        for (int l = 5; l >= 0; --l) {
            const uint64_t s = (l < 5 ? big.limb[l] : 0) + y[l] + carry;
            carry = s >= kBase ? 1 : 0;
            limbs[static_cast<size_t>(l + 1)] = s - carry * kBase;
        }
    } else {
        for (int l = 5; l >= 0; --l) {
            const uint64_t x = l < 5 ? big.limb[l] : 0, take = y[l] + carry;
            carry = x < take ? 1 : 0;
            limbs[static_cast<size_t>(l + 1)] = x + carry * kBase - take;
        }
    }
    limbs[0] = same_sign ? carry : 0;
    normalize_into(limbs, 7, big.exp + 4, big_negative, 50, out);
}

}  // namespace

Fixed sum(const Fixed &a, const Fixed &b, bool subtract) {
    Fixed r;
    add_into(a, b, subtract, r);
    return r;
}

int exponent_byte(const Fixed &f) {
    if (f.kind == Kind::zero) return kZeroByte;
    if (f.kind != Kind::finite) return f.negative ? 0x00 : 0xFF;
    return f.negative ? kNegExpBase - f.exp : kPosExpBase + f.exp;
}

namespace {

constexpr Fixed kOne{{kFirstDigit, 0, 0, 0, 0}, 0, false, Kind::finite};

// term x q / (k (k + 1)); false when k (k + 1) is too large for the short
// division (not reached while q < 100).
[[gnu::always_inline]] inline bool next_term(Fixed &term, const Factor &q, int32_t k) {
    if (k > kTabledFactors) return false;
    Fixed p;
    multiply_into(term, q, p);
    series_divide_into(p, kSeriesDivisors[static_cast<size_t>(k)], term);
    return true;
}

// The series' terms stay far inside the range when q < 100.
bool applies(const Unpacked &q) {
    return q.is_zero() || (q.is_finite() && q.exp <= 0);
}

}  // namespace

namespace {

// One round of the even part: a term to E1, a term to E2. False when the
// short division cannot take the factors.
class EvenSeries {
  public:
    bool done = false;
    Fixed e1{}, e2 = kOne;

    [[gnu::always_inline]] bool round(const Factor &q) {
        if (!next_term(term_, q, k_)) return false;
        add_into(e1, term_, false, e1);
        if (!next_term(term_, q, k_ + 2)) return false;
        add_into(e2, term_, false, e2);
        k_ += 4;
        done = exponent_byte(term_) + 20 < exponent_byte(e2);
        return true;
    }

  private:
    Fixed term_ = kOne;
    int32_t k_ = 1;
};

// One round of the odd part: a term to O2, a term to O1.
class OddSeries {
  public:
    explicit OddSeries(const Fixed &r) : o1(r), term_(r) {}
    bool done = false;
    Fixed o1, o2{};

    [[gnu::always_inline]] bool round(const Factor &q) {
        if (!next_term(term_, q, k_)) return false;
        add_into(o2, term_, false, o2);
        if (!next_term(term_, q, k_ + 2)) return false;
        add_into(o1, term_, false, o1);
        k_ += 4;
        done = term_.kind == Kind::zero ||
               (term_.negative ? exponent_byte(term_) - 20 > exponent_byte(o1)
                               : exponent_byte(term_) + 20 < exponent_byte(o1));
        return true;
    }

  private:
    Fixed term_;
    int32_t k_ = 2;
};

bool odd_applies(const Unpacked &r, const Unpacked &q) {
    return applies(q) && (r.is_zero() || r.is_finite());
}

}  // namespace

bool even_sums(const Unpacked &q, EvenSums &out) {
    if (!applies(q)) return false;
    const Factor fq(from_unpacked(q));
    EvenSeries even;
    while (!even.done)
        if (!even.round(fq)) return false;
    out = {to_unpacked(even.e1), to_unpacked(even.e2)};
    return true;
}

bool odd_sums(const Unpacked &r, const Unpacked &q, OddSums &out) {
    if (!odd_applies(r, q)) return false;
    const Factor fq(from_unpacked(q));
    OddSeries odd(from_unpacked(r));
    while (!odd.done)
        if (!odd.round(fq)) return false;
    out = {to_unpacked(odd.o1), to_unpacked(odd.o2)};
    return true;
}

bool exponential_of_fraction(const Unpacked &f, const Unpacked &power, Unpacked &out) {
    if (!f.is_zero() && !(f.is_finite() && f.exp < 0)) return false;
    if (!power.is_finite()) return false;
    const Fixed r = from_unpacked(f);
    const Factor fq(product(r, r));
    // The even and the odd chain depend on nothing of each other: run side
    // by side, the one's multiplications and divisions fill the other's
    // waits.
    EvenSeries even;
    OddSeries odd(r);
    while (!even.done && !odd.done)
        if (!even.round(fq) || !odd.round(fq)) return false;
    while (!even.done)
        if (!even.round(fq)) return false;
    while (!odd.done)
        if (!odd.round(fq)) return false;
    const Fixed s = sum(sum(sum(even.e2, even.e1, false), odd.o1, false), odd.o2, false);
    out = to_unpacked(product(s, from_unpacked(power)));
    return true;
}

}  // namespace tavo::num::trans::limb
