// The transcendental functions on unpacked numbers, shared by the forward
// functions (roots, powers, logarithms, the series) and the inverse ones.
//
// Every step is one of the subsystem's own operations (add, multiply,
// divide, remainder), each rounding to 20 base-100 digits as the exported
// operation does, so that results come out digit for digit the same
// however a function is reached.
#ifndef TAVO_NUMBERS_TRANSCENDENTAL_HPP
#define TAVO_NUMBERS_TRANSCENDENTAL_HPP

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

// base to a machine integer by repeated squaring.
Unpacked power(Unpacked base, int32_t exponent);
Unpacked square_root(const Unpacked &x);
Unpacked natural_log(const Unpacked &x);
Unpacked exponential(const Unpacked &x);

// The functions of lnxqtra by code; an unknown code gives negative
// infinity (no such result).
Unpacked series_function(const Unpacked &x, int32_t code);

// The functions of lnxqtri by code; false (out untouched) for an arc sine
// or arc cosine outside [-1, 1] or an unknown code.
bool inverse_function(const Unpacked &x, int32_t code, Unpacked &out);

}  // namespace tavo::num::trans

#endif  // TAVO_NUMBERS_TRANSCENDENTAL_HPP
