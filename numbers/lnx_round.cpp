// Rounding and truncation to decimal places and to significant digits,
// floor and ceiling, and the scale check of a column.
#include <algorithm>

#include "lnx.h"
#include "numbers/number.hpp"

namespace tavo::num {

Unpacked round_places(const Unpacked &u, int64_t places, bool truncate) {
    if (!u.is_finite()) return u;
    const int f = fraction_decimal_digits(u);
    const int64_t cut = f - places;  // decimal digits to remove
    if (cut < 1) return u;
    const int significant = integer_decimal_digits(u) + f;
    if (truncate ? cut >= significant : cut > significant) return make_zero();

    // The last kept decimal place is 10^t; cut <= significant keeps t
    // within a digit of the number's own digits.
    const int t = static_cast<int>(-places);
    // w[0] is the position in front of digit 0, for a carry or for the
    // place kept when every digit goes.
    uint8_t w[kMaxDigits + 1] = {};
    std::copy_n(u.digit.begin(), u.count, w + 1);
    bool round_up;
    int unit;  // what one unit of the last kept place adds to its digit
    int keep;  // w[0 .. keep] survive
    if (t % 2 == 0) {
        // The cut falls between base-100 digits.
        keep = u.exp - t / 2 + 1;
        round_up = w[keep + 1] >= 50;
        unit = 1;
    } else {
        // The cut falls inside a digit: its tens stay, its units decide.
        keep = u.exp - (t - 1) / 2 + 1;
        round_up = w[keep] % 10 >= 5;
        w[keep] = static_cast<uint8_t>(w[keep] - w[keep] % 10);
        unit = 10;
    }
    if (round_up && !truncate) {
        int j = keep;
        w[j] = static_cast<uint8_t>(w[j] + unit);
        while (j > 0 && w[j] >= 100) {
            w[j] = static_cast<uint8_t>(w[j] - 100);
            ++w[--j];
        }
    }
    return from_digits(u.negative, u.exp + 1, w, keep + 1);
}

Unpacked round_significant(const Unpacked &u, int64_t digits) {
    if (!u.is_finite()) return u;
    const int integer = integer_decimal_digits(u);
    if (integer + fraction_decimal_digits(u) <= digits) return u;
    return round_places(u, digits - integer, false);
}

namespace {

bool same_number(const Unpacked &a, const Unpacked &b) {
    uint8_t x[kEncodedRoom], y[kEncodedRoom];
    const int nx = encode(a, x);
    return nx == encode(b, y) && std::equal(x, x + nx, y);
}

Unpacked floor_or_ceiling(const Unpacked &u, bool ceiling) {
    const Unpacked whole = round_places(u, 0, true);
    const bool moves = ceiling ? (u.is_finite() && !u.negative) : u.is_negative();
    if (moves && !same_number(whole, u)) return add(whole, from_int(ceiling ? 1 : -1), false);
    return whole;
}

}  // namespace

}  // namespace tavo::num

using namespace tavo::num;

extern "C" {

TAVO_API void lnxrou(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                     int32_t places) noexcept {
    emit(dst, dstlen, round_places(load(num, len), places, false));
}

TAVO_API void lnxtru(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                     int32_t places) noexcept {
    emit(dst, dstlen, round_places(load(num, len), places, true));
}

TAVO_API void lnxfpr(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                     int32_t digits) noexcept {
    emit(dst, dstlen, round_significant(load(num, len), digits));
}

TAVO_API void lnxflo(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                     int32_t ceiling) noexcept {
    emit(dst, dstlen, floor_or_ceiling(load(num, len), ceiling != 0));
}

TAVO_API void lnxsca(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                     int32_t intdigits, int32_t places, int32_t *overflow) noexcept {
    const Unpacked rounded = round_places(load(num, len), places, false);
    int integer = 0;
    if (rounded.is_finite()) integer = integer_decimal_digits(rounded);
    if (rounded.is_inf()) integer = 2 * (kMaxExp + 1);  // as the digit 100 at the top
    if (overflow) *overflow = !rounded.is_zero() && integer > intdigits;
    emit(dst, dstlen, rounded);
}

}  // extern "C"
