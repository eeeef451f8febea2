// Square root, powers, logarithms, the exponential and the circular and
// hyperbolic functions.
//
// The series are Taylor series summed in decimal until the next term falls
// 21 base-100 positions below the sum; the square root is found digit by
// digit in exact base-100 arithmetic after a double-precision start; the
// logarithm is a single-precision estimate refined by a short series.
#include <cmath>

#include "lnx.h"
#include "numbers/number.hpp"
#include "numbers/transcendental.hpp"

namespace tavo::num::trans {

const Constants &constants() {
    static const Constants c = [] {
        Constants k;
        k.zero = make_zero();
        k.one = from_int(1);
        k.minus_one = from_int(-1);
        k.two = from_int(2);
        k.pi = load(lnxpi, 0);
        k.two_pi = multiply(k.two, k.pi);
        k.half_pi = divide(k.pi, k.two);
        k.e = load(lnxe, 0);
        k.ln10 = load(lnxl10, 0);
        return k;
    }();
    return c;
}

int exponent_byte(const Unpacked &u) {
    switch (u.kind) {
        case Kind::zero:
            return kZeroByte;
        case Kind::pos_inf:
            return 0xFF;
        case Kind::neg_inf:
            return 0x00;
        case Kind::finite:
            break;
    }
    return u.negative ? kNegExpBase - u.exp : kPosExpBase + u.exp;
}

int compare(const Unpacked &a, const Unpacked &b) {
    // neg_inf < negative < zero < positive < pos_inf
    const auto rank = [](const Unpacked &u) {
        switch (u.kind) {
            case Kind::neg_inf:
                return 0;
            case Kind::zero:
                return 2;
            case Kind::pos_inf:
                return 4;
            case Kind::finite:
                break;
        }
        return u.negative ? 1 : 3;
    };
    const int ra = rank(a), rb = rank(b);
    if (ra != rb) return ra < rb ? -1 : 1;
    if (ra == 1) return compare_magnitude(b, a);
    if (ra == 3) return compare_magnitude(a, b);
    return 0;
}

Unpacked absolute(const Unpacked &u) {
    return u.is_negative() ? negate(u) : u;
}

// The three steps of the series on unpacked numbers: the work is done in
// limbs (lnx_trans_limbs.cpp); infinities and divisors beyond the short
// division take the general operations.
Unpacked divide_by_small(const Unpacked &a, uint32_t n) {
    if (!a.is_finite() || n >= kSmallDivisorLimit || n == 0) return divide(a, from_int(n));
    return limb::to_unpacked(limb::quotient(limb::from_unpacked(a), n, make_reciprocal(n)));
}

Unpacked product(const Unpacked &a, const Unpacked &b) {
    if (a.is_inf() || b.is_inf()) return multiply(a, b);
    return limb::to_unpacked(limb::product(limb::from_unpacked(a), limb::from_unpacked(b)));
}

Unpacked sum(const Unpacked &a, const Unpacked &b, bool subtract) {
    if (a.is_inf() || b.is_inf()) return add(a, b, subtract);
    return limb::to_unpacked(limb::sum(limb::from_unpacked(a), limb::from_unpacked(b), subtract));
}

namespace {

Unpacked plus(const Unpacked &a, const Unpacked &b) {
    return sum(a, b, false);
}
Unpacked minus(const Unpacked &a, const Unpacked &b) {
    return sum(a, b, true);
}
// term x q / (k (k + 1)): the next term of a series in steps of two.
Unpacked next_term(const Unpacked &term, const Unpacked &q, int32_t k) {
    return divide_by_small(product(term, q),
                           static_cast<uint32_t>(k) * static_cast<uint32_t>(k + 1));
}

// The value of an integer below 100^3 in magnitude.
int32_t small_integer(const Unpacked &n) {
    if (!n.is_finite()) return 0;
    int32_t v = 0;
    for (int i = 0; i <= n.exp; ++i) v = 100 * v + (i < n.count ? n.digit[i] : 0);
    return n.negative ? -v : v;
}

// More terms than any finite sum needs (the largest arguments whose terms
// stay in range need a few hundred rounds); a guard against a sum that
// can never settle.
constexpr int32_t kMaxSeriesIndex = 4000;

// 1 + q/2! + q^2/4! + ... split into E1 = q/2! + q^3/6! + ... and
// E2 = 1 + q^2/4! + q^4/8! + ..., summed until a term lies more than 20
// positions below E2 or E1 has overflowed; a round adds a term to each.
class EvenSeries {
  public:
    EvenSums sums{constants().zero, constants().one};
    bool done = false;

    void round(const Unpacked &q) {
        term_ = next_term(term_, q, k_);
        sums.e1 = plus(sums.e1, term_);
        term_ = next_term(term_, q, k_ + 2);
        sums.e2 = plus(sums.e2, term_);
        k_ += 4;
        done = exponent_byte(term_) + 20 < exponent_byte(sums.e2) || sums.e1.is_inf() ||
               k_ >= kMaxSeriesIndex;
    }

  private:
    Unpacked term_ = constants().one;
    int32_t k_ = 1;
};

EvenSums even_sums(const Unpacked &q) {
    if (EvenSums s; limb::even_sums(q, s)) return s;
    EvenSeries even;
    while (!even.done) even.round(q);
    return even.sums;
}

// True when a term lies more than 20 base-100 positions below the sum it
// is added to, on the exponent bytes (complemented for negative terms).
bool negligible(const Unpacked &term, const Unpacked &sum) {
    if (term.is_negative()) return exponent_byte(term) - 20 > exponent_byte(sum);
    return exponent_byte(term) + 20 < exponent_byte(sum);
}

// r + r^3/3! + ... split into O1 = r + r^5/5! + ... and
// O2 = r^3/3! + r^7/7! + ..., with q = r^2, summed until a term is zero or
// lies more than 20 positions below O1, or O2 has overflowed; a round adds
// a term to each.
class OddSeries {
  public:
    explicit OddSeries(const Unpacked &r) : sums{r, constants().zero}, term_(r) {}
    OddSums sums;
    bool done = false;

    void round(const Unpacked &q) {
        term_ = next_term(term_, q, k_);
        sums.o2 = plus(sums.o2, term_);
        term_ = next_term(term_, q, k_ + 2);
        sums.o1 = plus(sums.o1, term_);
        k_ += 4;
        done = term_.is_zero() || negligible(term_, sums.o1) || sums.o2.is_inf() ||
               k_ >= kMaxSeriesIndex;
    }

  private:
    Unpacked term_;
    int32_t k_ = 2;
};

OddSums odd_sums(const Unpacked &r, const Unpacked &q) {
    if (OddSums s; limb::odd_sums(r, q, s)) return s;
    OddSeries odd(r);
    while (!odd.done) odd.round(q);
    return odd.sums;
}

// Both parts, for the functions that need both.
struct AllSums {
    EvenSums even;
    OddSums odd;
};
AllSums all_sums(const Unpacked &r, const Unpacked &q) {
    return {even_sums(q), odd_sums(r, q)};
}

// abs(x) mod 2 pi, moved into (-pi, pi], with the sign of x.
Unpacked reduced_angle(const Unpacked &x) {
    const Constants &c = constants();
    const Unpacked a = absolute(x);
    // Below 2 pi the remainder is the argument itself.
    Unpacked r = compare(a, c.two_pi) < 0 ? a : remainder(a, c.two_pi);
    if (compare(r, c.pi) > 0) r = minus(r, c.two_pi);
    return x.is_negative() ? negate(r) : r;
}

Unpacked clamped_to_unit(const Unpacked &v) {
    const Constants &c = constants();
    if (compare(v, c.one) > 0) return c.one;
    if (compare(v, c.minus_one) < 0) return c.minus_one;
    return v;
}

// x = n + f exactly, n the integral part and f = x mod 1 (the sign of x):
// for a finite x, the digits before and after the point.
void split_at_point(const Unpacked &x, Unpacked &n, Unpacked &f) {
    const Constants &c = constants();
    if (!x.is_finite()) {
        f = remainder(x, c.one);
        n = minus(x, f);
    } else if (x.exp < 0) {
        n = c.zero;
        f = x;
    } else if (x.count <= x.exp + 1) {
        n = x;
        f = c.zero;
    } else {
        n = from_digits(x.negative, x.exp, x.digit.data(), x.exp + 1);
        f = from_digits(x.negative, -1, x.digit.data() + x.exp + 1, x.count - x.exp - 1);
    }
}

// e^n for the integral part of an exponent, |n| < 10^6: lnxpow of e. The
// powers that stay inside the number range are made once; beyond them the
// power is an infinity or zero, as repeated squaring finds it.
constexpr int32_t kPowerTable = 300;
Unpacked power_of_e(int32_t n) {
    static const std::array<Unpacked, 2 *kPowerTable + 1> table = [] {
        std::array<Unpacked, 2 * kPowerTable + 1> t;
        for (int32_t i = -kPowerTable; i <= kPowerTable; ++i)
            t[i + kPowerTable] = power(constants().e, i);
        return t;
    }();
    if (n < -kPowerTable || n > kPowerTable) return power(constants().e, n);
    return table[n + kPowerTable];
}

// e^|x| / 2 as e^(|x| / 2) x (e^(|x| / 2) / 2), which stays in range as
// long as the result does: cosh and sinh of an argument so large that
// e^-|x| no longer counts, where their series overflow before they do.
Unpacked half_exponential_product(const Unpacked &x) {
    const Constants &c = constants();
    const Unpacked half = exponential(divide(absolute(x), c.two));
    return product(half, divide(half, c.two));
}

}  // namespace

Unpacked power(Unpacked base, int32_t exponent) {
    const Constants &c = constants();
    uint32_t n =
        exponent < 0 ? 0u - static_cast<uint32_t>(exponent) : static_cast<uint32_t>(exponent);
    if (exponent < 0) base = divide(c.one, base);
    Unpacked result = c.one;
    while (n != 0) {
        if (n & 1) {
            result = product(result, base);
            // Zero times anything, infinities included, stays zero.
            if (result.is_zero()) break;
        }
        n >>= 1;
        if (n != 0) base = product(base, base);
    }
    return result;
}

// Digit by digit in base 100. The radicand's digits stand in 23 words; the
// root's first three digits come from a double-precision root of the
// leading digits, and each further digit q is the running remainder
// (brought down a word at a time) over twice those three digits. The rest
// of 2 x root x q and q^2 are subtracted from the words they fall on, which
// may leave words negative or above 99 until the root is normalised.
Unpacked square_root(const Unpacked &x) {
    if (x.is_negative()) return make_inf(true);
    if (!x.is_finite()) return x;  // zero, positive infinity

    constexpr int kWords = 23;
    int64_t w[kWords] = {};
    for (int i = 0; i < x.count; ++i) w[i] = x.digit[i];
    // With an odd exponent the first root digit covers two radicand digits.
    const int odd = x.exp & 1;
    int64_t v = 10000 * w[0] + 100 * w[1] + w[2];
    if (odd) v = 100 * v + w[3];
    const auto s = static_cast<int64_t>(std::sqrt(static_cast<double>(v)) * 100.0);

    // root[0] takes a carry out of the first root digit, root[1 + j] is
    // root digit j.
    int64_t root[kWords] = {0, s / 10000, s / 100 % 100, s % 100};
    // The remainder of the words that s^2 covers.
    int64_t rem = 0;
    for (int i = 0; i <= 4 + odd; ++i) rem = 100 * rem + w[i];
    rem -= s * s;

    const int64_t divisor = 2 * s;
    int last = 3;  // root[last] is the last root digit found
    for (int p = 5 + odd; p < kWords; ++p) {
        const int j = p - 2 - odd;  // the root digit this word decides
        rem = 100 * rem + w[p];
        const int64_t q = rem / divisor;
        rem -= q * divisor;
        root[1 + j] = q;
        last = 1 + j;
        for (int k = 3; k < j && j + k + odd < kWords; ++k) w[j + k + odd] -= 2 * q * root[1 + k];
        if (2 * j + odd < kWords) w[2 * j + odd] -= q * q;
        if (q == 0 && rem == 0) {
            bool rest_zero = true;
            for (int i = p + 1; i < kWords; ++i) rest_zero = rest_zero && w[i] == 0;
            if (rest_zero) break;
        }
    }

    // Words above 99 carry into the word before; negative ones borrow.
    for (int i = last; i > 0; --i) {
        int64_t carry = root[i] / 100;
        root[i] -= 100 * carry;
        if (root[i] < 0) {
            root[i] += 100;
            --carry;
        }
        root[i - 1] += carry;
    }
    swar::Run digits;
    for (int i = 0; i <= last; ++i) digits.set_byte(i, static_cast<uint8_t>(root[i]));
    const int exp = (x.exp - odd) / 2 + 1;  // of root[0]
    return computed([&](uint8_t *dst, uint32_t *dstlen) {
        emit_digits(false, exp, digits, last + 1, 51, dst, dstlen);
    });
}

Unpacked exponential(const Unpacked &x) {
    const Constants &c = constants();
    // x = n + f with f the fraction, of the sign of x.
    Unpacked n, f;
    split_at_point(x, n, f);
    const int n_byte = exponent_byte(n);
    if (n_byte < 60) return c.zero;            // n <= -10^6
    if (n_byte > 195) return make_inf(false);  // n >= 10^6
    const Unpacked &power = power_of_e(small_integer(n));
    if (Unpacked r; limb::exponential_of_fraction(f, power, r)) return r;
    const Unpacked q = product(f, f);
    const auto [even, odd] = all_sums(f, q);
    const Unpacked sum = plus(plus(plus(even.e2, even.e1), odd.o1), odd.o2);
    return product(sum, power);
}

// ln x = 2E ln 10 + ln m for x = m x 100^E, 1 <= m < 100. A single-precision
// y0 = ln m makes z = m / e^y0 - 1 small (about 1e-6), and ln(1 + z) is
// summed as z - z^2/2 + z^3/3 - ... while the even power of z counts.
Unpacked natural_log(const Unpacked &x) {
    const Constants &c = constants();
    if (x.is_zero() || x.is_negative()) return make_inf(true);
    if (x.is_inf()) return x;
    Unpacked m = x;
    m.exp = 0;

    uint8_t bytes[kEncodedRoom];
    const int len = encode(m, bytes);
    float mf = 0;
    lnxnur(bytes, len, &mf, 4);
    // ln 2 x log2(m) in extended precision, kept as a float.
    constexpr long double kLn2 = 0.693147180559945309417232121458176568L;
    const auto y0f = static_cast<float>(kLn2 * std::log2(static_cast<long double>(mf)));
    uint8_t y0bytes[kMaxLen];
    uint32_t y0len = 0;
    lnxren(&y0f, 4, y0bytes, &y0len);
    const Unpacked y0 = decode({y0bytes, y0len});

    const Unpacked z = minus(divide(m, exponential(y0)), c.one);
    Unpacked sum = z;
    Unpacked p = product(z, z);
    // p >= 100^-20 while its exponent byte is above 172.
    for (int32_t k = 2; exponent_byte(p) > 172 && k < kMaxSeriesIndex; k += 2) {
        sum = minus(sum, divide(p, from_int(k)));
        p = product(p, z);
        sum = plus(sum, divide(p, from_int(k + 1)));
        p = product(p, z);
    }
    const Unpacked whole = product(c.ln10, from_int(2 * int64_t{x.exp}));
    return plus(plus(whole, y0), sum);
}

Unpacked series_function(const Unpacked &x, int32_t code) {
    const Constants &c = constants();
    switch (code) {
        case LNXTRA_EXP:
            return exponential(x);
        case LNXTRA_COS:
        case LNXTRA_SIN:
        case LNXTRA_TAN: {
            const Unpacked r = reduced_angle(x);
            const Unpacked q = product(r, r);
            if (code == LNXTRA_COS) {
                const EvenSums even = even_sums(q);
                return clamped_to_unit(minus(even.e2, even.e1));
            }
            if (code == LNXTRA_SIN) {
                const OddSums odd = odd_sums(r, q);
                return clamped_to_unit(minus(odd.o1, odd.o2));
            }
            const auto [even, odd] = all_sums(r, q);
            const Unpacked sine = clamped_to_unit(minus(odd.o1, odd.o2));
            return divide(sine, clamped_to_unit(minus(even.e2, even.e1)));
        }
        case LNXTRA_COSH:
        case LNXTRA_SINH:
        case LNXTRA_TANH: {
            const Unpacked q = product(x, x);
            if (code == LNXTRA_COSH) {
                const EvenSums even = even_sums(q);
                const Unpacked cosh = plus(even.e2, even.e1);
                // The series overflows a little before the result does.
                return cosh.is_inf() ? half_exponential_product(x) : cosh;
            }
            if (code == LNXTRA_SINH) {
                const OddSums odd = odd_sums(x, q);
                const Unpacked sinh = plus(odd.o1, odd.o2);
                if (!sinh.is_inf()) return sinh;
                const Unpacked big = half_exponential_product(x);
                return x.is_negative() ? negate(big) : big;
            }
            const auto [even, odd] = all_sums(x, q);
            const Unpacked sinh = plus(odd.o1, odd.o2);
            const Unpacked cosh = plus(even.e2, even.e1);
            // Where either series overflows, the quotient is 1 to far more
            // than 40 digits.
            if (sinh.is_inf() || cosh.is_inf()) return x.is_negative() ? c.minus_one : c.one;
            // Both sums round; their quotient may pass 1 in the last digit.
            return clamped_to_unit(divide(sinh, cosh));
        }
        default:
            return make_inf(true);
    }
}

}  // namespace tavo::num::trans

using namespace tavo::num;
using namespace tavo::num::trans;

extern "C" {

TAVO_API void lnxsqr(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen) noexcept {
    emit(dst, dstlen, square_root(load(num, len)));
}

TAVO_API void lnxpow(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                     int32_t exponent) noexcept {
    emit(dst, dstlen, power(load(num, len), exponent));
}

TAVO_API void lnxbex(const uint8_t *base, int32_t baselen, const uint8_t *exponent, int32_t explen,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
    const Constants &c = constants();
    const Unpacked b = load(base, baselen);
    const Unpacked y = load(exponent, explen);
    if (b.is_zero()) return emit(dst, dstlen, y.is_zero() ? c.one : c.zero);
    if (!b.is_negative()) return emit(dst, dstlen, exponential(product(y, natural_log(b))));
    // A negative base takes integral exponents only; odd ones keep its sign.
    const bool integral = y.is_zero() || (y.is_finite() && y.count <= y.exp + 1);
    if (!integral) return emit(dst, dstlen, make_inf(true));
    const Unpacked r = exponential(product(y, natural_log(negate(b))));
    emit(dst, dstlen, remainder(y, c.two).is_zero() ? r : negate(r));
}

TAVO_API void lnxln(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen) noexcept {
    emit(dst, dstlen, natural_log(load(num, len)));
}

TAVO_API void lnxlog(const uint8_t *base, int32_t baselen, const uint8_t *num, int32_t len,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
    double b = 0;
    lnxnur(base, baselen, &b, 8);
    const Unpacked x = load(num, len);
    // No logarithm of zero or of a negative number exists, whatever the
    // base (a base below 1 would otherwise turn ln's negative infinity
    // positive).
    if (b <= 0 || x.is_zero() || x.is_negative()) return emit(dst, dstlen, make_inf(true));
    const Unpacked lnx = natural_log(x);
    if (b == 10.0) return emit(dst, dstlen, divide(lnx, constants().ln10));
    emit(dst, dstlen, divide(lnx, natural_log(load(base, baselen))));
}

TAVO_API void lnxqtra(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                      int32_t code) noexcept {
    emit(dst, dstlen, series_function(load(num, len), code));
}

}  // extern "C"
