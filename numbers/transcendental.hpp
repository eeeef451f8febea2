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
// The series divide by k (k + 1) for k = 1, 2, 3, ...: those are made once.
inline constexpr int kTabledFactors = 400;
inline constexpr auto kSeriesReciprocals = [] {
    std::array<Reciprocal, kTabledFactors + 1> t{};
    for (uint32_t k = 1; k <= kTabledFactors; ++k) t[k] = make_reciprocal(k * (k + 1));
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
Fixed sum(const Fixed &a, const Fixed &b, bool subtract);
int exponent_byte(const Fixed &f);
bool even_sums(const Unpacked &q, EvenSums &out);
bool odd_sums(const Unpacked &r, const Unpacked &q, OddSums &out);
}  // namespace limb

// The functions of lnxqtra by code; an unknown code gives negative
// infinity (no such result).
Unpacked series_function(const Unpacked &x, int32_t code);

// The functions of lnxqtri by code; false (out untouched) for an arc sine
// or arc cosine outside [-1, 1] or an unknown code.
bool inverse_function(const Unpacked &x, int32_t code, Unpacked &out);

}  // namespace tavo::num::trans

#endif  // TAVO_NUMBERS_TRANSCENDENTAL_HPP
