// Whole numbers below 10^12 (six base-100 digits) read and written in
// general-purpose registers: the bytes of such a number fit one 64-bit word
// (exponent byte, up to six digits, the terminator of a negative number), so
// converting it costs a few word operations, with no loop, no vector work and
// no digit array in memory. Machine integers, counters and amounts take this
// path; everything else goes to the general code.
#ifndef TAVO_NUMBERS_WHOLE_HPP
#define TAVO_NUMBERS_WHOLE_HPP

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>

#include "numbers/number.hpp"
#include "numbers/swar.hpp"

namespace tavo::num::whole {

inline constexpr uint64_t kLimit = 1000000000000;  // 10^12: six base-100 digits
inline constexpr int kMaxBytes = 8;

inline constexpr int64_t kPow100[] = {1, 100, 10000, 1000000, 100000000, 10000000000};

// The low n bytes of a word (0 <= n <= 8).
inline uint64_t low_bytes(uint64_t w, int n) {
    return n >= 8 ? w : w & ((uint64_t{1} << (8 * n)) - 1);
}

// The low n bytes of a word set, by n.
inline constexpr auto kLowMask = [] {
    std::array<uint64_t, 9> t{};
    for (int n = 0; n < 8; ++n) t[n] = (uint64_t{1} << (8 * n)) - 1;
    t[8] = ~uint64_t{0};
    return t;
}();

// 0, 1, 101, 10101, ...: the value of k digit bytes that are all 1.
inline constexpr int64_t kRepunit[] = {0, 1, 101, 10101, 1010101, 101010101, 10101010101};

// The value of a well-formed whole number of at most six base-100 digits
// (normalised, exponent 0 to 5, nothing after the point, not zero), read
// from its counted bytes; false for anything else, which the caller then
// hands to the general code. The bytes are taken as one word and nothing
// branches on the sign, which machine integers take at random.
inline bool read_magnitude(std::span<const uint8_t> bytes, uint64_t &magnitude, bool &is_negative) {
    const auto n = static_cast<unsigned>(bytes.size());
    if (n - 2 > kMaxBytes - 2) return false;
    const uint8_t *p = bytes.data();
    uint64_t w;
    if (n >= 4) {
        uint32_t first, last;
        std::memcpy(&first, p, 4);
        std::memcpy(&last, p + n - 4, 4);
        w = first | (uint64_t{last} << (8 * (n - 4)));
    } else {
        w = p[0] | (uint64_t{p[1]} << 8) | (uint64_t{p[n - 1]} << (8 * (n - 1)));
    }
    // A negative number's bytes complement a positive one's: 255 - byte for
    // the exponent, 102 - byte for the digits and the terminator, which
    // becomes 0. (A byte above its complement borrows, and then fails the
    // digit check below.)
    const uint64_t negative = ((w >> 7) & 1) ^ 1;
    const uint64_t complement = (0xFF | ((swar::kOnes * 102) << 8)) & kLowMask[n];
    w ^= (w ^ (complement - w)) & (0 - negative);
    const auto count = static_cast<int>(n - 1 - negative);
    const int exp = static_cast<int>(w & 0xFF) - kPosExpBase;
    const bool shaped = (count >= 1) & (exp >= count - 1) & (exp <= 5) &
                        ((negative == 0) | (((w >> (8 * (n - 1))) & 0xFF) == 0));
    if (!shaped) return false;
    // Digit bytes are 1..100; the first and the last digit are not zero.
    const uint64_t d = (w >> 8) & kLowMask[count];
    const uint64_t ones = swar::kOnes & kLowMask[count];
    const uint64_t out_of_range = (d | (d + 27 * ones) | ~(d + 127 * ones)) & (ones << 7);
    const bool ends_not_zero = ((d & 0xFF) != 1) & ((d >> (8 * (count - 1))) != 1);
    if (out_of_range != 0 || !ends_not_zero) return false;
    // The bytes' own base-100 value, less one for each digit.
    const uint64_t limbs = swar::digits_to_limbs(d << (8 * (8 - count)));
    const auto raw = static_cast<int64_t>((limbs & 0xFFFFFFFF) * 100000000 + (limbs >> 32));
    magnitude = static_cast<uint64_t>((raw - kRepunit[count]) * kPow100[exp + 1 - count]);
    is_negative = negative != 0;
    return true;
}

// The same as a signed value.
inline bool read(std::span<const uint8_t> bytes, int64_t &value) {
    uint64_t magnitude;
    bool negative;
    if (!read_magnitude(bytes, magnitude, negative)) return false;
    const uint64_t sign = 0 - static_cast<uint64_t>(negative);
    value = static_cast<int64_t>((magnitude ^ sign) - sign);
    return true;
}

// The value of a digit byte of a positive number (1..100), with the
// digits that may not come first or last (0) and bytes that are no digit
// far below zero, so that any sum made of them stays negative.
inline constexpr auto kOuterDigit = [] {
    std::array<std::array<int32_t, 256>, 2> t{};
    for (int b = 0; b < 256; ++b) {
        t[0][b] = b >= 2 && b <= 100 ? b - 1 : -1000000;    // positive
        t[1][b] = b >= 2 && b <= 100 ? 101 - b : -1000000;  // negative
    }
    return t;
}();

// The value of a well-formed whole number of one or two digits below 10^4
// (the commonest operands), or false. A handful of instructions: the
// exponent byte says whether the first digit counts hundreds, and a third
// byte is the second digit.
inline bool read_short(std::span<const uint8_t> bytes, int32_t &value) {
    const size_t n = bytes.size();
    const uint8_t *p = bytes.data();
    if (n < 2 || n > 4) return false;
    const uint8_t head = p[0];
    if (head >= 0x80) {
        // C1 d, C2 d (hundreds) or C2 d d: exponent 0 or 1, and at most
        // exponent + 1 digits.
        const unsigned exp = head - unsigned{kPosExpBase};
        if (exp > 1 || n - 2 > exp) return false;
        const int32_t *digit = kOuterDigit[0].data();
        const int32_t v = digit[p[1]] * (exp != 0 ? 100 : 1) + (n == 3 ? digit[p[2]] : 0);
        value = v;
        return v >= 0;
    }
    // 3E d 66, 3D d 66 or 3D d d 66.
    const unsigned exp = unsigned{kNegExpBase} - head;
    if (exp > 1 || n - 3 > exp || p[n - 1] != kTerminator) return false;
    const int32_t *digit = kOuterDigit[1].data();
    const int32_t v = digit[p[1]] * (exp != 0 ? 100 : 1) + (n == 4 ? digit[p[2]] : 0);
    value = -v;
    return v >= 0;
}

// read(), the commonest numbers first: a short number's chain of work is
// short, which lets calls overlap.
inline bool read_any(std::span<const uint8_t> bytes, int64_t &value) {
    if (int32_t small; read_short(bytes, small)) {
        value = small;
        return true;
    }
    return read(bytes, value);
}

// The bytes of a number of `count` digits (most significant in the low byte
// of `digits`, first and last not zero, count + 2 <= 8) and exponent exp,
// low byte first; returns their count.
inline int assemble(bool negative, int exp, uint64_t digits, int count, uint64_t &out) {
    const uint64_t ones = low_bytes(swar::kOnes, count);
    const uint64_t positive = uint64_t(kPosExpBase + exp) | ((digits + ones) << 8);
    // A negative number's bytes complement the positive one's: 255 - byte
    // for the exponent, 102 - byte for the digits; then the terminator.
    // Both are made and one is picked by a mask, because the sign of a
    // difference is as unpredictable as its length.
    const uint64_t complement = 0xFF | ((ones * 102) << 8);
    const uint64_t negated = (complement - positive) | (uint64_t{kTerminator} << (8 * (count + 1)));
    const uint64_t pick = 0 - static_cast<uint64_t>(negative);
    out = positive ^ ((positive ^ negated) & pick);
    return count + 1 + static_cast<int>(negative);
}

// The bytes of a whole number 0 < mag < 10^12, low byte first, and their
// count (2 to 8).
inline int encode(bool negative, uint64_t mag, uint64_t &out) {
    // Leading zero digits are the low zero bytes of the positions, trailing
    // ones the high: no branch on the length, which varies unpredictably.
    // Both ends are found on the positions themselves, side by side (they
    // are never all zero).
    const auto normalise = [&](uint64_t positions, int top_exp) {
        const auto leading = static_cast<unsigned>(__builtin_ctzll(positions)) / 8;
        const auto end = 8 - static_cast<unsigned>(__builtin_clzll(positions)) / 8;
        return assemble(negative, top_exp - static_cast<int>(leading), positions >> (8 * leading),
                        static_cast<int>(end - leading), out);
    };
    if (mag < 1000000) {
        // The three digits from two independent divisions.
        const auto m = static_cast<uint32_t>(mag);
        const uint32_t hundreds = m / 100, top = m / 10000;
        const uint32_t low = m - hundreds * 100, middle = hundreds - top * 100;
        return normalise(top | (middle << 8) | (low << 16), 2);
    }
    if (mag <= 0xFFFFFFFF) {
        // Five digits: the first and two pairs from divisions that do not
        // wait for one another, then both pairs split at once.
        const auto m = static_cast<uint32_t>(mag);
        const uint32_t first = m / 100000000, tenthousands = m / 10000;
        const uint32_t last = m - tenthousands * 10000, middle = tenthousands - first * 10000;
        const uint64_t halves = middle | (uint64_t{last} << 32);
        const uint64_t tens = ((halves * 5243) >> 19) & 0x0000007F0000007F;  // x / 100, x < 10^4
        const uint64_t pairs = tens | ((halves - tens * 100) << 8);
        const uint64_t four = (pairs & 0xFFFF) | ((pairs >> 16) & 0xFFFF0000);
        return normalise(first | (four << 8), 4);
    }
    const auto high = static_cast<uint32_t>(mag / 100000000);  // below 10^4
    const auto low = static_cast<uint32_t>(mag % 100000000);
    // The six positions, most significant in the low byte.
    return normalise(uint64_t{high / 100} | (uint64_t{high % 100} << 8) |
                         (uint64_t{swar::limb_to_digits(low)} << 16),
                     5);
}

// Writes the low n bytes of w (1 <= n <= 8) and nothing else: two
// overlapping stores, so that lengths close together share a branch.
inline void store_exact(uint8_t *dst, uint64_t w, int n) {
    if (n >= 5) {
        const auto a = static_cast<uint32_t>(w), b = static_cast<uint32_t>(w >> (8 * (n - 4)));
        std::memcpy(dst, &a, 4);
        std::memcpy(dst + n - 4, &b, 4);
    } else if (n >= 2) {
        const auto a = static_cast<uint16_t>(w), b = static_cast<uint16_t>(w >> (8 * (n - 2)));
        std::memcpy(dst, &a, 2);
        std::memcpy(dst + n - 2, &b, 2);
    } else {
        dst[0] = static_cast<uint8_t>(w);
    }
}

// Writes the n <= 8 bytes of w in the form the caller asked for.
inline void store_word(uint64_t w, int n, uint8_t *dst, uint32_t *dstlen) {
    if (dstlen != nullptr) {
        store_exact(dst, w, n);
        *dstlen = static_cast<uint32_t>(n);
    } else if (n < 8) {
        store_exact(dst, (w << 8) | uint64_t(n), n + 1);
    } else {
        dst[0] = static_cast<uint8_t>(n);
        store_exact(dst + 1, w, n);
    }
}

// Writes a whole number 0 < mag < 10^4 by its two digits; where such
// values are the rule (conversions of small machine integers) the branches
// on the digits are predictable and cheaper than the general encoding.
inline void emit_short(bool negative, uint32_t mag, uint8_t *dst, uint32_t *dstlen) {
    if (dst == nullptr) return;
    const uint32_t high = mag / 100, low = mag % 100;
    uint64_t w;
    int n;
    if (high == 0) {
        n = assemble(negative, 0, low, 1, w);
    } else if (low == 0) {
        n = assemble(negative, 1, high, 1, w);
    } else {
        n = assemble(negative, 1, high | (low << 8), 2, w);
    }
    store_word(w, n, dst, dstlen);
}

// Writes a whole number 0 < mag < 10^12 in the form the caller asked for.
inline void emit(bool negative, uint64_t mag, uint8_t *dst, uint32_t *dstlen) {
    if (dst == nullptr) return;
    uint64_t w;
    const int n = encode(negative, mag, w);
    store_word(w, n, dst, dstlen);
}

// Writes a whole number below 10^6 in magnitude, zero included: a sum or
// difference of two read_short values.
inline void emit_small(int32_t v, uint8_t *dst, uint32_t *dstlen) {
    if (v == 0) {
        static constexpr uint8_t kZero[1] = {kZeroByte};
        return store(dst, dstlen, kZero, 1);
    }
    const auto sign = static_cast<uint32_t>(v >> 31);  // all ones when negative
    emit(static_cast<bool>(sign & 1), (static_cast<uint32_t>(v) ^ sign) - sign, dst, dstlen);
}

// Writes any 64-bit whole number: below 10^12 from one word, zero as its
// byte, larger ones by the general writer.
inline void emit_value(int64_t v, uint8_t *dst, uint32_t *dstlen) {
    const auto sign = static_cast<uint64_t>(v >> 63);  // all ones when negative
    const uint64_t mag = (static_cast<uint64_t>(v) ^ sign) - sign;
    if (mag - 1 >= kLimit - 1) {
        if (mag != 0) return emit_integer(v, dst, dstlen);
        static constexpr uint8_t kZero[1] = {kZeroByte};
        return store(dst, dstlen, kZero, 1);
    }
    emit(static_cast<bool>(sign & 1), mag, dst, dstlen);
}

}  // namespace tavo::num::whole

#endif  // TAVO_NUMBERS_WHOLE_HPP
