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
constexpr uint64_t kFirstDigit = 1000000;  // a limb at or above this has a non-zero first digit

// Six limbs of the run l moved up by Z digits (constant divisors: the
// compiler turns them into multiplications).
template <int Z>
void shift_left(const uint64_t *l, uint64_t *s) {
    constexpr uint64_t up = kPow100[Z], down = kPow100[4 - Z];
    if constexpr (Z == 0) {
        for (int k = 0; k < 6; ++k) s[k] = l[k];
    } else {
        for (int k = 0; k < 6; ++k) s[k] = (l[k] % down) * up + l[k + 1] / down;
    }
}

// Six limbs of a window from the five limbs at p[1 + W ..] (zeros around
// them) moved down by Z digits.
template <int Z>
void shift_right(const uint64_t *p, uint64_t *y) {
    constexpr uint64_t down = kPow100[Z], up = kPow100[4 - Z];
    if constexpr (Z == 0) {
        for (int i = 0; i < 6; ++i) y[i] = p[i + 1];
    } else {
        for (int i = 0; i < 6; ++i) y[i] = p[i + 1] / down + (p[i] % down) * up;
    }
}

// A run of up to seven limbs with zero limbs after it, so that the digits
// after the first significant one can be read without bounds checks.
using Run = std::array<uint64_t, 14>;

// The number made of the limbs l[0 .. n) (n <= 7), l[0]'s first digit at
// exponent exp: leading zero digits go into the exponent, the 21st
// significant digit rounds the 20th up when at least round_from; an
// exponent below the range gives zero, above it an infinity.
Fixed normalized(const Run &l, int n, int exp, bool negative, uint64_t round_from) {
    Fixed r;
    r.negative = negative;
    int i = 0;
    while (i < n && l[i] == 0) ++i;
    if (i == n) return r;  // zero
    const uint64_t lead = l[i];
    const int z = lead >= kFirstDigit ? 0 : lead >= 10000 ? 1 : lead >= 100 ? 2 : 3;
    exp -= 4 * i + z;
    if (exp < kMinExp) return r;
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
    if (s[5] / kFirstDigit >= round_from) {
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
    if (exp > kMaxExp) {
        r.kind = Kind::pos_inf;
        return r;
    }
    r.kind = Kind::finite;
    r.exp = exp;
    for (int k = 0; k < 5; ++k) r.limb[k] = s[k];
    return r;
}

// The first three digits of a limb, each alone.
uint64_t digit0(uint64_t l) {
    return l / 1000000;
}
uint64_t digit1(uint64_t l) {
    return l / 10000 % 100;
}
uint64_t digit2(uint64_t l) {
    return l / 100 % 100;
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

Fixed product(const Fixed &a, const Factor &f) {
    const Fixed &b = f.value;
    const bool negative = a.negative != b.negative;
    if (a.kind != Kind::finite || b.kind != Kind::finite) return Fixed{};
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
    return normalized(limbs, 7, a.exp + b.exp + 1, negative, 51);
}

Fixed product(const Fixed &a, const Fixed &b) {
    return product(a, Factor(b));
}

Fixed quotient(const Fixed &a, uint32_t n, const Reciprocal &rec) {
    if (a.kind != Kind::finite) return Fixed{};
    using u128 = unsigned __int128;
    Run q{};
    uint64_t r = 0;
    for (size_t l = 0; l < 6; ++l) {
        const uint64_t x = r * kBase + (l < 5 ? a.limb[l] : 0);  // below 10^14
        q[l] = static_cast<uint64_t>((u128{x} * rec.m) >> rec.shift);
        r = x - q[l] * n;
    }
    return normalized(q, 6, a.exp, a.negative, 51);
}

Fixed sum(const Fixed &a, const Fixed &b, bool subtract) {
    Fixed nb = b;
    nb.negative = b.negative != subtract;
    if (b.kind != Kind::finite) return a;
    if (a.kind != Kind::finite) return nb;
    const bool a_bigger = compare_magnitudes(a, nb) >= 0;
    const Fixed &big = a_bigger ? a : nb;
    const Fixed &small = a_bigger ? nb : a;
    const int gap = big.exp - small.exp;
    if (gap >= 21) return big;
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
    y[5] = y[5] / kFirstDigit * kFirstDigit;
    // limbs[0] = 0 .. 0, carry: the carry digit in front of the window.
    Run limbs{};
    uint64_t carry = 0;
    const bool same_sign = big.negative == small.negative;
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
    return normalized(limbs, 7, big.exp + 4, big.negative, 50);
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
bool next_term(Fixed &term, const Factor &q, int32_t k) {
    if (k > kTabledFactors) return false;
    const auto n = static_cast<uint32_t>(k) * static_cast<uint32_t>(k + 1);
    term = quotient(product(term, q), n, kSeriesReciprocals[static_cast<size_t>(k)]);
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

    bool round(const Factor &q) {
        if (!next_term(term_, q, k_)) return false;
        e1 = sum(e1, term_, false);
        if (!next_term(term_, q, k_ + 2)) return false;
        e2 = sum(e2, term_, false);
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

    bool round(const Factor &q) {
        if (!next_term(term_, q, k_)) return false;
        o2 = sum(o2, term_, false);
        if (!next_term(term_, q, k_ + 2)) return false;
        o1 = sum(o1, term_, false);
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

}  // namespace tavo::num::trans::limb
