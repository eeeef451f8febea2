// Conversions between numbers and machine integers of 1, 2 and 4 bytes.
#include <bit>
#include <cstring>
#include <span>

#include "lnx.h"
#include "numbers/digit_vectors.hpp"
#include "numbers/number.hpp"
#include "numbers/swar.hpp"
#include "numbers/whole.hpp"

namespace tavo::num {

namespace {

// Zero and whole numbers of 10^12 and more: up to eight base-100 digits
// from vector registers, the rest by the general writer.
[[gnu::noinline]] void emit_other_integer(int64_t value, bool negative, uint64_t mag, uint8_t *dst,
                                          uint32_t *dstlen) {
#if TAVO_DIGIT_VECTORS
    if (mag != 0 && mag < 10000000000000000) {
        // Up to eight base-100 digits, as two limbs of four: the digit bytes
        // of the eight positions, most significant in the low byte.
        const auto high = static_cast<uint32_t>(mag / 100000000);
        const auto low = static_cast<uint32_t>(mag % 100000000);
        const uint64_t eight =
            uint64_t{swar::limb_to_digits(high)} | (uint64_t{swar::limb_to_digits(low)} << 32);
        // Leading zero digits are the low zero bytes, trailing ones the high.
        const int leading = std::countr_zero(eight) / 8;
        const uint64_t word = eight >> (8 * leading);
        const int count = 8 - std::countl_zero(word) / 8;
        const vec::Digits d{_mm_cvtsi64_si128(static_cast<int64_t>(word)), _mm_setzero_si128()};
        vec::write_number(negative, 7 - leading, d, count, dst, dstlen);
        return;
    }
#else
    (void)negative;
    (void)mag;
#endif
    emit(dst, dstlen, from_int(value));
}

}  // namespace

// Writes a machine integer as a number: whole numbers below 10^12 from one
// word, the others apart.
void emit_integer(int64_t value, uint8_t *dst, uint32_t *dstlen) {
    // The sign of machine integers is a coin toss: no branch on it.
    const auto sign = static_cast<uint64_t>(value >> 63);  // all ones when negative
    const uint64_t mag = (static_cast<uint64_t>(value) ^ sign) - sign;
    const bool negative = sign != 0;
    // Below 10^4 by the two digits (the usual small values make those
    // branches predictable), then from one word.
    if (mag - 1 < 9999) return whole::emit_short(negative, static_cast<uint32_t>(mag), dst, dstlen);
    if (mag != 0 && mag < whole::kLimit) return whole::emit(negative, mag, dst, dstlen);
    emit_other_integer(value, negative, mag, dst, dstlen);
}

}  // namespace tavo::num

using namespace tavo::num;

namespace {

bool valid_size(uint32_t size) {
    return size == 1 || size == 2 || size == 4;
}

int64_t read_integer(const void *value, uint32_t size, bool is_signed) {
    switch (size) {
        case 1: {
            uint8_t v;
            std::memcpy(&v, value, 1);
            return is_signed ? int64_t{static_cast<int8_t>(v)} : int64_t{v};
        }
        case 2: {
            uint16_t v;
            std::memcpy(&v, value, 2);
            return is_signed ? int64_t{static_cast<int16_t>(v)} : int64_t{v};
        }
        default: {
            uint32_t v;
            std::memcpy(&v, value, 4);
            return is_signed ? int64_t{static_cast<int32_t>(v)} : int64_t{v};
        }
    }
}

// Stores the low size bytes of bits.
void write_integer(void *value, uint32_t size, uint32_t bits) {
    if (size == 1) {
        const auto v = static_cast<uint8_t>(bits);
        std::memcpy(value, &v, 1);
    } else if (size == 2) {
        const auto v = static_cast<uint16_t>(bits);
        std::memcpy(value, &v, 2);
    } else {
        std::memcpy(value, &bits, 4);
    }
}

struct Limits {
    uint32_t limit;  // largest magnitude that converts
    uint32_t clamp;  // magnitude stored on overflow
};

// Mode 0 takes no negative value; modes 1 and 2 are two's complement, the
// limit checked being the positive one, so the most negative value of the
// type reports overflow (and still stores itself, as the clamp).
Limits limits_for(uint32_t mode, uint32_t size, bool negative) {
    const uint32_t bits = size * 8;
    const uint32_t max_unsigned = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    const uint32_t max_signed = max_unsigned >> 1;
    if (mode == 0) return negative ? Limits{0, 0} : Limits{max_unsigned, max_unsigned};
    return negative ? Limits{max_signed, max_signed + 1} : Limits{max_signed, max_signed};
}

// The integer part of a finite number, digit by digit: acc = acc x 100 + d,
// the digits past the last stored one counting as zeros; a step that would
// pass the limit overflows (the clamp is stored unless told otherwise).
int32_t accumulate(const uint8_t *digits, int count, int exp, bool negative, uint32_t mode,
                   uint32_t size, uint32_t flags, void *value) {
    const bool clamps = (flags & LNXSNI_NOCLAMP) == 0;
    const Limits lim = limits_for(mode, size, negative);
    uint32_t acc = 0;  // wraps when not clamped: the low bits are kept
    int32_t result = 0;
    for (int i = 0; i <= exp; ++i) {
        const uint32_t d = i < count ? digits[i] : 0;
        if (d > lim.limit || (lim.limit - d) / 100 < acc) {
            result = 1;
            if (clamps) {
                acc = lim.clamp;
                break;
            }
        }
        acc = acc * 100 + d;
    }
    write_integer(value, size, negative && mode != 0 ? 0u - acc : acc);
    return result;
}

// The integer part, below 10^12, stored: the
// digit-by-digit limit check overflows exactly when the whole integer part
// passes the limit, and without the clamp keeps its low bits, so one
// comparison does.
int32_t store_whole(uint64_t whole, bool negative, uint32_t mode, uint32_t size, uint32_t flags,
                    void *value) {
    // The same limits as limits_for, picked without branching on the sign,
    // which machine integers take at random.
    const auto max_unsigned = static_cast<uint32_t>((uint64_t{1} << (8 * size)) - 1);
    const uint32_t max_signed = max_unsigned >> 1;
    const uint32_t limit = mode == 0 ? (negative ? 0 : max_unsigned) : max_signed;
    const uint32_t clamp = mode == 0 ? limit : max_signed + (negative ? 1 : 0);
    const bool over = whole > limit;
    uint32_t acc = static_cast<uint32_t>(whole);
    if (over && (flags & LNXSNI_NOCLAMP) == 0) acc = clamp;
    const uint32_t negate = negative && mode != 0 ? ~0u : 0u;
    write_integer(value, size, (acc ^ negate) - negate);
    return over ? 1 : 0;
}

// Number to machine integer for everything but small whole numbers.
[[gnu::noinline]] int32_t number_to_integer(const uint8_t *num, int32_t len, void *value,
                                            uint32_t size, uint32_t mode, uint32_t flags) {
    if (num != nullptr) {
        const auto bytes = counted_view(num, len);
#if TAVO_DIGIT_VECTORS
        vec::Operand a;
        if (vec::read_operand(bytes.data(), static_cast<int>(bytes.size()), a)) {
            if (a.exp < 0) {
                write_integer(value, size, 0);
                return 2;
            }
            if (a.exp <= 4) {
                // At most five integer digits: their value at once.
                const auto q = static_cast<uint64_t>(_mm_cvtsi128_si64(a.d.lo));
                const uint64_t two = swar::digits_to_limbs(q << (8 * (7 - a.exp)));
                const uint64_t whole = (two & 0xFFFFFFFF) * 100000000 + (two >> 32);
                return store_whole(whole, a.negative, mode, size, flags, value);
            }
            alignas(16) uint8_t digits[32];
            _mm_store_si128(reinterpret_cast<__m128i *>(digits), a.d.lo);
            _mm_store_si128(reinterpret_cast<__m128i *>(digits + 16), a.d.hi);
            return accumulate(digits, a.count, a.exp, a.negative, mode, size, flags, value);
        }
#endif
    }
    const Unpacked u = load(num, len);
    if (u.is_zero()) {
        write_integer(value, size, 0);
        return 0;
    }
    if (u.is_finite() && u.exp < 0) {
        write_integer(value, size, 0);
        return 2;
    }
    if (u.is_finite())
        return accumulate(u.digit.data(), u.count, u.exp, u.negative, mode, size, flags, value);
    // An infinity reads as the digit 100 at the top exponent: it overflows.
    static constexpr uint8_t kInfinityDigit[1] = {100};
    return accumulate(kInfinityDigit, 1, kMaxExp, u.is_negative(), mode, size, flags, value);
}

}  // namespace

extern "C" {

TAVO_API int32_t lnxmin(const void *value, uint32_t size, int32_t signedness, uint8_t *dst,
                        uint32_t *dstlen) noexcept {
    if (value == nullptr || !valid_size(size) || signedness < 0 || signedness > 2) return 3;
    emit_integer(read_integer(value, size, signedness != 0), dst, dstlen);
    return 0;
}

TAVO_API int32_t lnxsni(const uint8_t *num, int32_t len, void *value, uint32_t size,
                        uint32_t flags) noexcept {
    const uint32_t mode = flags & 0x7F;
    if (value == nullptr || !valid_size(size) || mode > 2) return 3;
    // Small whole numbers, the common case, on a path of their own.
    if (num == nullptr) return number_to_integer(num, len, value, size, mode, flags);
    const auto bytes = counted_view(num, len);
    if (int32_t v; whole::read_short(bytes, v)) {
        const bool negative = v < 0;
        return store_whole(static_cast<uint32_t>(negative ? -v : v), negative, mode, size, flags,
                           value);
    }
    uint64_t magnitude;
    bool negative;
    if (whole::read_magnitude(bytes, magnitude, negative))
        return store_whole(magnitude, negative, mode, size, flags, value);
    return number_to_integer(num, len, value, size, mode, flags);
}

}  // extern "C"
