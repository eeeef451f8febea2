// Addition and subtraction, negation, absolute value and increment.
#include <algorithm>

#include "lnx.h"
#include "numbers/number.hpp"

namespace tavo::num {

namespace {

// Both operands are laid into a window of 21 base-100 positions that starts
// at the larger exponent; digits of the smaller operand that fall beyond the
// window are dropped before the operation, and the 21st position of the
// result decides its rounding (50 rounds up).
constexpr int kWindow = 21;

// Window positions 1..21; position 0 takes a carry out of the top.
using Window = std::array<int8_t, kWindow + 1>;

void lay(const Unpacked &u, int shift, Window &w) {
    const int n = std::min(u.count, kWindow - shift);
    for (int i = 0; i < n; ++i) w[1 + shift + i] = static_cast<int8_t>(u.digit[i]);
}

Unpacked finish(bool negative, int exp, const Window &w) {
    uint8_t digits[kWindow + 1];
    for (int i = 0; i <= kWindow; ++i) digits[i] = static_cast<uint8_t>(w[i]);
    // digits[0] carries the exponent exp + 1.
    return from_long_digits(negative, exp + 1, digits, kWindow + 1, 50);
}

}  // namespace

Unpacked add(const Unpacked &a, const Unpacked &b_in, bool subtract) {
    const Unpacked b = subtract ? negate(b_in) : b_in;
    if (a.is_inf()) return a;
    if (b.is_inf()) return b;
    if (b.is_zero()) return a;
    if (a.is_zero()) return b;

    // big has the larger magnitude (a on a tie: the result is then zero or
    // a doubled).
    const bool a_bigger = compare_magnitude(a, b) >= 0;
    const Unpacked &big = a_bigger ? a : b;
    const Unpacked &small = a_bigger ? b : a;
    const int shift = big.exp - small.exp;
    if (shift >= kWindow) return big;

    Window x{}, y{};
    lay(big, 0, x);
    lay(small, shift, y);
    if (big.negative == small.negative) {
        int carry = 0;
        for (int i = kWindow; i >= 0; --i) {
            int s = x[i] + y[i] + carry;
            carry = s >= 100;
            x[i] = static_cast<int8_t>(carry ? s - 100 : s);
        }
    } else {
        int borrow = 0;
        for (int i = kWindow; i >= 1; --i) {
            int s = x[i] - y[i] - borrow;
            borrow = s < 0;
            x[i] = static_cast<int8_t>(borrow ? s + 100 : s);
        }
    }
    return finish(big.negative, big.exp, x);
}

}  // namespace tavo::num

using namespace tavo::num;

extern "C" {

TAVO_API void lnxadd(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
    emit(dst, dstlen, add(load(num1, len1), load(num2, len2), false));
}

TAVO_API void lnxsub(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
    emit(dst, dstlen, add(load(num1, len1), load(num2, len2), true));
}

TAVO_API void lnxqaos(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                      uint8_t *dst, uint32_t *dstlen, int32_t flag) noexcept {
    emit(dst, dstlen, add(load(num1, len1), load(num2, len2), flag != 0));
}

TAVO_API void lnxqIAdd(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst,
                       uint32_t *dstlen) noexcept {
    emit(dst, dstlen, add(load(num, len), from_int(n), false));
}

TAVO_API void lnxqISub(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst,
                       uint32_t *dstlen) noexcept {
    emit(dst, dstlen, add(load(num, len), from_int(n), true));
}

TAVO_API void lnxneg(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen) noexcept {
    emit(dst, dstlen, negate(load(num, len)));
}

TAVO_API void lnxabs(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen) noexcept {
    const Unpacked u = load(num, len);
    emit(dst, dstlen, u.is_negative() ? negate(u) : u);
}

TAVO_API void lnxinc(uint8_t *num, uint32_t *len) noexcept {
    if (num == nullptr) return;
    const int32_t counted = len == nullptr ? 0 : static_cast<int32_t>(std::min<uint32_t>(*len, kMaxLen));
    // A 21-byte counted operand (len 0 would mean length-prefixed here) is
    // never a positive integer of at most 19 digits.
    const Unpacked u = (len != nullptr && counted == 0) ? make_zero() : load(num, counted);
    // Positive integers of 1 to 19 base-100 digits count up; anything else
    // restarts at 1.
    const bool counts_up = u.is_finite() && !u.negative && u.exp >= 0 && u.exp <= 18;
    emit(num, len, counts_up ? add(u, from_int(1), false) : from_int(1));
}

}  // extern "C"
