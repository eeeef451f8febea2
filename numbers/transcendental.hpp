// The transcendental functions on unpacked numbers, shared by the forward
// functions (roots, powers, logarithms, the series) and the inverse ones.
//
// Every step is one of the subsystem's own operations (add, multiply,
// divide, remainder), each rounding to 20 base-100 digits as the exported
// operation does, so that results come out digit for digit the same
// however a function is reached.
#ifndef TAVO_NUMBERS_TRANSCENDENTAL_HPP
#define TAVO_NUMBERS_TRANSCENDENTAL_HPP

#include <array>
#include <bit>
#include <cstdint>

#include "numbers/number.hpp"

namespace tavo::num::trans {

// The constants the functions use, unpacked once.
struct Constants {
    Unpacked zero, one, minus_one, two;
    Unpacked pi, two_pi, half_pi;
    Unpacked e, ln10;
};
const Constants &constants();

// The exponent byte of the encoded number: what the series compare to
// decide that a term no longer counts.
int exponent_byte(const Unpacked &u);

// Numeric order, the order of the encoded byte strings: <0, 0, >0.
int compare(const Unpacked &a, const Unpacked &b);

Unpacked absolute(const Unpacked &u);

// floor(x / n) for x < 2^47 is (x m) >> shift with shift = 47 + the bit
// width of n and m = floor(2^shift / n) + 1 (below 2^49), exactly, since
// x n < 2^shift.
struct Reciprocal {
    uint64_t m;
    int shift;
};
constexpr Reciprocal make_reciprocal(uint32_t n) {
    const int shift = 47 + std::bit_width(n);
    return {static_cast<uint64_t>((static_cast<unsigned __int128>(1) << shift) / n) + 1, shift};
}
// The series divide by n = k (k + 1) for k = 1, 2, 3, ..., two limbs (16
// digits) at a time: with the remainder r < n so far and the next 16
// digits L, r 10^16 + L = r (c n + d) + L for c = floor(10^16 / n),
// d = 10^16 mod n, so the quotient is r c + floor(Y / n) with
// Y = r d + L < 10^16 + n^2 < 2^54. floor(Y / n) is (Y m) >> s with
// s = 62 + the bit width of n and m = floor(2^s / n) + 1 (below 2^63):
// the excess Y (m - 2^s / n) / 2^s < Y / 2^s stays below 1 / n since
// Y n < 2^s. s is at least 64: the high word of Y m, shifted by s - 64.
inline constexpr int kTabledFactors = 400;
struct SeriesDivisor {
    uint64_t n, m, c, d;
    int shift;  // s - 64
};
constexpr SeriesDivisor make_series_divisor(uint64_t n) {
    constexpr uint64_t kTen16 = 10000000000000000;
    const int s = 62 + std::bit_width(n);
    return {n, static_cast<uint64_t>((static_cast<unsigned __int128>(1) << s) / n) + 1, kTen16 / n,
            kTen16 % n, s - 64};
}
inline constexpr auto kSeriesDivisors = [] {
    std::array<SeriesDivisor, kTabledFactors + 1> t{};
    for (uint64_t k = 1; k <= kTabledFactors; ++k) t[k] = make_series_divisor(k * (k + 1));
    return t;
}();

// The two halves of the even and of the odd part of a series in q = r^2:
// E1 = q/2! + q^3/6! + ..., E2 = 1 + q^2/4! + ...; O1 = r + r^5/5! + ...,
// O2 = r^3/3! + r^7/7! + ...
struct EvenSums {
    Unpacked e1, e2;
};
struct OddSums {
    Unpacked o1, o2;
};

// The steps of the series, digit for digit what divide(a, n) (for
// 0 < n < 10^6), multiply(a, b) and add(a, b, subtract) give, without
// writing each result out as bytes and reading it back.
inline constexpr uint32_t kSmallDivisorLimit = 1000000;
Unpacked divide_by_small(const Unpacked &a, uint32_t n);
Unpacked product(const Unpacked &a, const Unpacked &b);
Unpacked sum(const Unpacked &a, const Unpacked &b, bool subtract);

// base to a machine integer by repeated squaring.
Unpacked power(Unpacked base, int32_t exponent);
Unpacked square_root(const Unpacked &x);
Unpacked natural_log(const Unpacked &x);
Unpacked exponential(const Unpacked &x);

// Numbers in limbs of four base-100 digits, the three steps on them, and the
// series with their values kept in limbs from step to step (the same
// digits as the general operations give). The series run here when
// q = r^2 < 100; otherwise they return false and do nothing.
namespace limb {
// A finite number in five limbs, the first with a non-zero first digit
// (its first digit has the exponent exp), or zero, or an infinity.
struct Fixed {
    uint64_t limb[5] = {};
    int exp = 0;
    bool negative = false;
    Kind kind = Kind::zero;
};
// A finite number or zero (an infinity reads as zero: callers keep
// infinities to the general operations).
Fixed from_unpacked(const Unpacked &u);
Unpacked to_unpacked(const Fixed &f);
Fixed product(const Fixed &a, const Fixed &b);
// A second factor used again and again (the q of a series), with the
// leading digits of its limbs that the product's edge needs made once.
struct Factor {
    explicit Factor(const Fixed &b);
    Fixed value;
    uint64_t prefix[5][3] = {};  // limb j / 10^6, / 10^4, / 10^2
};
Fixed product(const Fixed &a, const Factor &b);
Fixed quotient(const Fixed &a, uint32_t n, const Reciprocal &rec);
// The same quotient for a series divisor, kSeriesDivisors[k].
Fixed series_quotient(const Fixed &a, const SeriesDivisor &div);
Fixed sum(const Fixed &a, const Fixed &b, bool subtract);
int exponent_byte(const Fixed &f);
bool even_sums(const Unpacked &q, EvenSums &out);
bool odd_sums(const Unpacked &r, const Unpacked &q, OddSums &out);
// e^f x power for a fraction |f| < 1 and a finite power (of e), summed as
// exponential() sums it; false (out untouched) otherwise.
bool exponential_of_fraction(const Unpacked &f, const Unpacked &power, Unpacked &out);
}  // namespace limb

// The functions of lnxqtra by code; an unknown code gives negative
// infinity (no such result).
Unpacked series_function(const Unpacked &x, int32_t code);

// The functions of lnxqtri by code; false (out untouched) for an arc sine
// or arc cosine outside [-1, 1] or an unknown code.
bool inverse_function(const Unpacked &x, int32_t code, Unpacked &out);

}  // namespace tavo::num::trans

#endif  // TAVO_NUMBERS_TRANSCENDENTAL_HPP
