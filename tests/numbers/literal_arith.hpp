// The arithmetic written step by step as the number format's rules state
// it: digit by digit, one 32-bit word per base-100 digit. The library's own
// code computes the same results by faster means; these slow versions are
// the yardstick the tests hold it to, bit for bit.
#ifndef TAVO_TESTS_NUMBERS_LITERAL_ARITH_HPP
#define TAVO_TESTS_NUMBERS_LITERAL_ARITH_HPP

#include "numbers/number.hpp"

namespace literal {

using tavo::num::Unpacked;

// Window of 21 positions on the larger exponent, 50 rounds up.
Unpacked add(const Unpacked &a, const Unpacked &b, bool subtract);
// Partial products a[i] x b[j] for i + j <= 22 only; above 50 rounds up.
Unpacked multiply(const Unpacked &a, const Unpacked &b);
// 24-word dividend, three-digit trial divisor, 22 quotient digits.
Unpacked divide(const Unpacked &a, const Unpacked &b);
// A double (or a float widened to one) by the conversion recipe: decimal
// exponent from log10 in single precision, scaling by pow(100, -e), base-100
// digits peeled with floor, rounding to 15 (float: 6) significant digits.
Unpacked from_double(double x, bool is_float);

}  // namespace literal

#endif
