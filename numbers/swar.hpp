// Eight base-100 digits at a time: loads, stores and byte-lane arithmetic
// on 64-bit words, and the conversion between digit bytes and limbs of
// eight decimal digits.
#ifndef TAVO_NUMBERS_SWAR_HPP
#define TAVO_NUMBERS_SWAR_HPP

#include <bit>
#include <cstdint>
#include <cstring>

namespace tavo::num::swar {

inline constexpr uint64_t kOnes = 0x0101010101010101ull;
inline constexpr uint64_t kHigh = 0x8080808080808080ull;
inline constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;

// Eight bytes with byte i of memory in bits 8i .. 8i + 7.
inline uint64_t load_le(const uint8_t *p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
    return v;
}
inline void store_le(uint8_t *p, uint64_t v) {
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
    std::memcpy(p, &v, 8);
}
// Eight bytes with byte 0 of memory in the top bits: digits stored most
// significant first then carry upward through the word.
inline uint64_t load_be(const uint8_t *p) {
    return __builtin_bswap64(load_le(p));
}
inline void store_be(uint8_t *p, uint64_t v) {
    store_le(p, __builtin_bswap64(v));
}

// 0x80 in every byte that is zero, exactly (no false positives).
inline uint64_t zero_bytes(uint64_t v) {
    return ~(((v & kLow7) + kLow7) | v | kLow7) & kHigh;
}
// 0x80 in every byte of at least 100 (bytes at most 227).
inline uint64_t bytes_from_100(uint64_t v) {
    return (v + 28 * kOnes) & kHigh;
}

// Copies n <= 24 bytes without touching any byte past src + n.
inline void copy_small(uint8_t *dst, const uint8_t *src, int n) {
    if (n >= 8) {
        const int tail = n - 8;
        uint64_t a, b, c;
        std::memcpy(&a, src, 8);
        std::memcpy(&c, src + tail, 8);
        if (n > 16) {
            std::memcpy(&b, src + 8, 8);
            std::memcpy(dst + 8, &b, 8);
        }
        std::memcpy(dst, &a, 8);
        std::memcpy(dst + tail, &c, 8);
        return;
    }
    if (n >= 4) {
        uint32_t a, c;
        std::memcpy(&a, src, 4);
        std::memcpy(&c, src + n - 4, 4);
        std::memcpy(dst, &a, 4);
        std::memcpy(dst + n - 4, &c, 4);
        return;
    }
    for (int i = 0; i < n; ++i) dst[i] = src[i];
}

// Up to 32 bytes held in four 64-bit words, byte i in word i / 8 (bits
// 8 (i % 8) and up): a run of digits that moves through the arithmetic in
// registers, never stored and reloaded at another offset (which would stall
// store-to-load forwarding).
struct Run {
    uint64_t w[4] = {};
    uint8_t byte(int i) const { return static_cast<uint8_t>(w[i >> 3] >> (8 * (i & 7))); }
    void set_byte(int i, uint8_t v) {
        const int s = 8 * (i & 7);
        w[i >> 3] = (w[i >> 3] & ~(uint64_t{0xFF} << s)) | (uint64_t{v} << s);
    }
};

// The n <= 8 bytes at p, zero above.
inline uint64_t load_partial(const uint8_t *p, int n) {
    if (n >= 8) return load_le(p);
    if (n >= 4) {
        uint32_t lo, hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + n - 4, 4);
        return uint64_t{lo} | (uint64_t{hi} << (8 * (n - 4)));
    }
    if (n <= 0) return 0;
    return uint64_t{p[0]} | (uint64_t{p[n / 2]} << (8 * (n / 2))) |
           (uint64_t{p[n - 1]} << (8 * (n - 1)));
}

// The n <= 24 bytes at p, reading nothing past p + n.
inline Run read_run(const uint8_t *p, int n) {
    Run r;
    r.w[0] = load_partial(p, n);
    if (n > 8) r.w[1] = load_partial(p + 8, n - 8);
    if (n > 16) r.w[2] = load_partial(p + 16, n - 16);
    return r;
}

inline Run load_run(const uint8_t *p) {
    return {{load_le(p), load_le(p + 8), load_le(p + 16), load_le(p + 24)}};
}

// Byte i of the result is byte i + k of r (0 <= k < 32); zeros come in.
inline Run shift_down(const Run &r, int k) {
    const uint64_t padded[9] = {r.w[0], r.w[1], r.w[2], r.w[3], 0, 0, 0, 0, 0};
    const int q = k >> 3, s = 8 * (k & 7);
    Run out;
    // (x << 1) << (63 - s) is x << (64 - s), and 0 when s is 0.
    for (int i = 0; i < 4; ++i)
        out.w[i] = (padded[i + q] >> s) | ((padded[i + q + 1] << 1) << (63 - s));
    return out;
}

// Byte i + k of the result is byte i of r (0 <= k < 32); zeros come in.
inline Run shift_up(const Run &r, int k) {
    const uint64_t padded[9] = {0, 0, 0, 0, 0, r.w[0], r.w[1], r.w[2], r.w[3]};
    const int q = k >> 3, s = 8 * (k & 7);
    Run out;
    for (int i = 0; i < 4; ++i)
        out.w[i] = (padded[i + 5 - q] << s) | ((padded[i + 4 - q] >> 1) >> (63 - s));
    return out;
}

// Writes bytes 0 .. n-1 of r (n <= 32) to dst and nothing else.
inline void write_run(uint8_t *dst, const Run &r, int n) {
    if (n >= 8) {
        int i = 0;
        for (; 8 * i + 8 <= n; ++i) store_le(dst + 8 * i, r.w[i]);
        if (8 * i < n) store_le(dst + n - 8, shift_down(r, n - 8).w[0]);
        return;
    }
    if (n >= 4) {
        const auto lo = static_cast<uint32_t>(r.w[0]);
        const auto hi = static_cast<uint32_t>(r.w[0] >> (8 * (n - 4)));
        std::memcpy(dst, &lo, 4);
        std::memcpy(dst + n - 4, &hi, 4);
        return;
    }
    for (int i = 0; i < n; ++i) dst[i] = r.byte(i);
}

// Index of the first non-zero byte among 0 .. 31, or 32.
inline int first_nonzero(const Run &r) {
    for (int i = 0; i < 4; ++i)
        if (r.w[i] != 0) return 8 * i + std::countr_zero(r.w[i]) / 8;
    return 32;
}

// One past the last non-zero byte, or 0.
inline int end_of_nonzero(const Run &r) {
    for (int i = 3; i >= 0; --i)
        if (r.w[i] != 0) return 8 * i + 8 - std::countl_zero(r.w[i]) / 8;
    return 0;
}

// Eight digit bytes (most significant first) as two limbs of four digits:
// the first limb in the low half.
inline uint64_t digits_to_limbs(uint64_t le) {
    constexpr uint64_t kPairs = 0x00FF00FF00FF00FFull;
    constexpr uint64_t kQuads = 0x0000FFFF0000FFFFull;
    const uint64_t pairs = (le & kPairs) * 100 + ((le >> 8) & kPairs);
    return (pairs & kQuads) * 10000 + ((pairs >> 16) & kQuads);
}

// A limb below 10^8 as four digit bytes, most significant first, in the
// low 32 bits (memory order).
inline uint32_t limb_to_digits(uint32_t limb) {
    const uint32_t hi = limb / 10000;
    const uint32_t lo = limb - hi * 10000;
    const uint64_t halves = hi | (uint64_t{lo} << 32);
    const uint64_t tens = ((halves * 5243) >> 19) & 0x0000007F0000007Full;
    const uint64_t units = halves - tens * 100;
    const uint64_t bytes = tens | (units << 8);
    return static_cast<uint32_t>((bytes & 0xFFFF) | ((bytes >> 16) & 0xFFFF0000));
}

}  // namespace tavo::num::swar

#endif  // TAVO_NUMBERS_SWAR_HPP
