// The series of the circular, hyperbolic and exponential functions summed
// with their values held in limbs of four base-100 digits from one term to
// the next.
//
// Each step is one of the subsystem's rounded operations (a product, a
// quotient by a small integer, a sum) and gives exactly its digits; only
// the conversion between digit bytes and limbs on both sides of every
// operation is saved. The series run here when their terms cannot leave
// the number range (q = r^2 below 100); otherwise the general operations
// take them.
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
    for (int k = 0; k < 6; ++k) s[k] = (l[k] % down) * up + l[k + 1] / down;
}

// Five limbs moved down by Z digits into six, the first W limbs zero.
template <int Z>
void shift_right(const uint64_t *l, int whole, uint64_t *y) {
    constexpr uint64_t down = kPow100[Z], up = kPow100[4 - Z];
    for (int i = 0; i < 6; ++i) {
        const int j = i - whole;
        const uint64_t hi = j >= 0 && j < 5 ? l[j] / down : 0;
        const uint64_t lo = j >= 1 && j <= 5 ? (l[j - 1] % down) * up : 0;
        y[i] = hi + lo;
    }
}

// The number made of the limbs l[0 .. n) (n <= 7), l[0]'s first digit at
// exponent exp: leading zero digits go into the exponent, the 21st
// significant digit rounds the 20th up when at least round_from; an
// exponent below the range gives zero, above it an infinity.
Fixed normalized(const uint64_t *l, int n, int exp, bool negative, uint64_t round_from) {
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
    uint64_t padded[8] = {};
    for (int k = 0; k + i < n; ++k) padded[k] = l[i + k];
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
    int count = 0;
    for (int k = 0; k < 5; ++k) {
        const uint32_t four = swar::limb_to_digits(static_cast<uint32_t>(f.limb[k]));
        for (int j = 0; j < 4; ++j) {
            const auto d = static_cast<uint8_t>(four >> (8 * j));
            u.digit[static_cast<size_t>(4 * k + j)] = d;
            if (d != 0) count = 4 * k + j + 1;
        }
    }
    u.count = count;
    return u;
}

// The digit products a(i) b(j) with i + j <= 22, as the general product
// forms them: whole limb pairs below the edge of that triangle, on the
// edge only the digit pairs that reach position 23 or before.
Fixed product(const Fixed &a, const Fixed &b) {
    const bool negative = a.negative != b.negative;
    if (a.kind != Kind::finite || b.kind != Kind::finite) return Fixed{};
    uint64_t col[6] = {};
    for (int i = 0; i < 5; ++i)
        for (int j = 0; i + j < 5; ++j) col[i + j] += a.limb[i] * b.limb[j];
    for (int i = 1; i < 5; ++i) {
        const uint64_t al = a.limb[i], bl = b.limb[5 - i];
        col[5] += kBase * (digit0(al) * (bl / 100) + digit1(al) * (bl / 10000) +
                           digit2(al) * (bl / 1000000));
    }
    uint64_t limbs[7];
    for (int c = 5; c > 0; --c) {
        col[c - 1] += col[c] / kBase;
        limbs[c + 1] = col[c] % kBase;
    }
    limbs[0] = col[0] / kBase;
    limbs[1] = col[0] % kBase;
    // limbs[0] holds the carry position and the three after it.
    return normalized(limbs, 7, a.exp + b.exp + 1, negative, 51);
}

Fixed quotient(const Fixed &a, uint32_t n, const Reciprocal &rec) {
    if (a.kind != Kind::finite) return Fixed{};
    using u128 = unsigned __int128;
    uint64_t q[6];
    uint64_t r = 0;
    for (int l = 0; l < 6; ++l) {
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
    const int whole = gap / 4;
    uint64_t y[6];
    switch (gap % 4) {
        case 0:
            shift_right<0>(small.limb, whole, y);
            break;
        case 1:
            shift_right<1>(small.limb, whole, y);
            break;
        case 2:
            shift_right<2>(small.limb, whole, y);
            break;
        default:
            shift_right<3>(small.limb, whole, y);
            break;
    }
    y[5] = y[5] / kFirstDigit * kFirstDigit;
    // limbs[0] = 0 .. 0, carry: the carry digit in front of the window.
    uint64_t limbs[7];
    uint64_t carry = 0;
    const bool same_sign = big.negative == small.negative;
    for (int l = 5; l >= 0; --l) {
        const uint64_t x = l < 5 ? big.limb[l] : 0;
        if (same_sign) {
            uint64_t s = x + y[l] + carry;
            carry = s >= kBase ? 1 : 0;
            limbs[l + 1] = s - carry * kBase;
        } else {
            const uint64_t take = y[l] + carry;
            carry = x < take ? 1 : 0;
            limbs[l + 1] = x + carry * kBase - take;
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
bool next_term(Fixed &term, const Fixed &q, int32_t k) {
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

bool even_sums(const Unpacked &q, EvenSums &out) {
    if (!applies(q)) return false;
    const Fixed fq = from_unpacked(q);
    Fixed term = kOne, e1{}, e2 = kOne;
    for (int32_t k = 1;; k += 4) {
        if (!next_term(term, fq, k)) return false;
        e1 = sum(e1, term, false);
        if (!next_term(term, fq, k + 2)) return false;
        e2 = sum(e2, term, false);
        if (exponent_byte(term) + 20 < exponent_byte(e2)) break;
    }
    out = {to_unpacked(e1), to_unpacked(e2)};
    return true;
}

bool odd_sums(const Unpacked &r, const Unpacked &q, OddSums &out) {
    if (!applies(q) || !(r.is_zero() || r.is_finite())) return false;
    const Fixed fq = from_unpacked(q);
    Fixed term = from_unpacked(r), o1 = term, o2{};
    for (int32_t k = 2;; k += 4) {
        if (!next_term(term, fq, k)) return false;
        o2 = sum(o2, term, false);
        if (!next_term(term, fq, k + 2)) return false;
        o1 = sum(o1, term, false);
        if (term.kind == Kind::zero) break;
        const bool negligible = term.negative ? exponent_byte(term) - 20 > exponent_byte(o1)
                                              : exponent_byte(term) + 20 < exponent_byte(o1);
        if (negligible) break;
    }
    out = {to_unpacked(o1), to_unpacked(o2)};
    return true;
}

}  // namespace tavo::num::trans::limb
