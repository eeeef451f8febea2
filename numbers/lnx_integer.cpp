// Conversions between numbers and machine integers of 1, 2 and 4 bytes.
#include <cstring>

#include "lnx.h"
#include "numbers/number.hpp"

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

}  // namespace

extern "C" {

TAVO_API int32_t lnxmin(const void *value, uint32_t size, int32_t signedness, uint8_t *dst,
                        uint32_t *dstlen) noexcept {
    if (value == nullptr || !valid_size(size) || signedness < 0 || signedness > 2) return 3;
    emit(dst, dstlen, from_int(read_integer(value, size, signedness != 0)));
    return 0;
}

TAVO_API int32_t lnxsni(const uint8_t *num, int32_t len, void *value, uint32_t size,
                        uint32_t flags) noexcept {
    const uint32_t mode = flags & 0x7F;
    if (value == nullptr || !valid_size(size) || mode > 2) return 3;
    const Unpacked u = load(num, len);
    if (u.is_zero()) {
        write_integer(value, size, 0);
        return 0;
    }
    if (u.is_finite() && u.exp < 0) {
        write_integer(value, size, 0);
        return 2;
    }
    const bool negative = u.is_negative();
    const bool is_signed = mode != 0;
    const bool clamps = (flags & LNXSNI_NOCLAMP) == 0;
    const Limits lim = limits_for(mode, size, negative);
    // An infinity reads as the digit 100 at the top exponent: it overflows.
    const int exp = u.is_finite() ? u.exp : kMaxExp;
    const int count = u.is_finite() ? u.count : 1;
    uint32_t acc = 0;  // wraps when not clamped: the low bits are kept
    int32_t result = 0;
    for (int i = 0; i <= exp; ++i) {
        const uint32_t d = u.is_finite() ? (i < count ? u.digit[i] : 0) : (i == 0 ? 100 : 0);
        if (d > lim.limit || (lim.limit - d) / 100 < acc) {
            result = 1;
            if (clamps) {
                acc = lim.clamp;
                break;
            }
        }
        acc = acc * 100 + d;
    }
    write_integer(value, size, negative && is_signed ? 0u - acc : acc);
    return result;
}

}  // extern "C"
