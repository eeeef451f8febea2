// The common case of the number functions in SSE2 registers: a finite,
// normalised operand of 1 to 20 digits is read straight into two vectors
// of digit bytes, and a result is written from two such vectors. Nothing is
// stored and reloaded at another offset on the way, which would stall
// store-to-load forwarding; whatever the fast path does not handle (zero,
// infinities, malformed or unnormalised bytes, rare carries) goes to the
// general code.
#ifndef TAVO_NUMBERS_DIGIT_VECTORS_HPP
#define TAVO_NUMBERS_DIGIT_VECTORS_HPP

#if defined(__SSE2__)
#define TAVO_DIGIT_VECTORS 1
#include <emmintrin.h>

#include <bit>
#include <cstdint>
#include <cstring>

#include "numbers/number.hpp"

namespace tavo::num::vec {

// 32 digit bytes, position i in byte i % 16 of lo (i < 16) or hi.
struct Digits {
    __m128i lo, hi;
};

// A finite operand read from its bytes.
struct Operand {
    Digits d;
    int exp;
    int count;
    bool negative;
};

inline __m128i lane_index() {
    return _mm_set_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
}

// Bit i set when position i (of 32) is zero.
inline uint32_t zero_mask(const Digits &d) {
    const __m128i z = _mm_setzero_si128();
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(d.lo, z))) |
           (static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(d.hi, z))) << 16);
}

// Reads a finite normalised number of counted bytes p[0 .. n); false for
// anything else (the caller then takes the general path).
inline bool read_operand(const uint8_t *p, int n, Operand &out) {
    if (n < 2 || n > kMaxLen) return false;
    const uint8_t head = p[0];
    const bool negative = (head & 0x80) == 0;
    int count = n - 1;
    if (negative) {
        if (p[n - 1] == kTerminator) --count;
        if (count < 1) return false;
        out.exp = kNegExpBase - head;
    } else {
        if (head == 0xFF && p[1] == 101) return false;  // positive infinity
        out.exp = head - kPosExpBase;
    }
    const uint8_t *src = p + 1;
    __m128i lo, hi;
    if (count >= 16) {
        lo = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src));
        uint32_t tail;  // digits count - 4 .. count - 1
        std::memcpy(&tail, src + count - 4, 4);
        hi = _mm_cvtsi64_si128(static_cast<int64_t>(uint64_t{tail} >> (8 * (20 - count))));
    } else {
        const swar::Run r = swar::read_run(src, count);
        lo = _mm_set_epi64x(static_cast<int64_t>(r.w[1]), static_cast<int64_t>(r.w[0]));
        hi = _mm_setzero_si128();
    }
    // byte - 1 or 101 - byte, zero past count; any digit out of 0..99 means
    // malformed bytes, left to the general path.
    const __m128i limit = _mm_set1_epi8(static_cast<char>(count));
    const __m128i index = lane_index();
    const auto convert = [&](__m128i v, __m128i idx) {
        const __m128i d =
            negative ? _mm_sub_epi8(_mm_set1_epi8(101), v) : _mm_sub_epi8(v, _mm_set1_epi8(1));
        return _mm_and_si128(d, _mm_cmpgt_epi8(limit, idx));
    };
    out.d.lo = convert(lo, index);
    out.d.hi = convert(hi, _mm_add_epi8(index, _mm_set1_epi8(16)));
    const __m128i ninety_nine = _mm_set1_epi8(99);
    const auto in_range = [&](__m128i v) {
        return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(v, ninety_nine), v));
    };
    if ((in_range(out.d.lo) & in_range(out.d.hi)) != 0xFFFF) return false;
    // Normalised: the first and the last digit are not zero.
    const uint32_t zeros = zero_mask(out.d);
    if ((zeros & 1) || ((zeros >> (count - 1)) & 1)) return false;
    out.count = count;
    out.negative = negative;
    return true;
}

// The value of an operand that is an integer below 100^9 (exponent at most
// 8, no fraction); false for any other. Sums and small products of such
// values are exact in 64 bits and need no rounding.
inline bool small_integer(const Operand &a, int64_t &out) {
    if (a.exp > 8 || a.count > a.exp + 1) return false;
    static constexpr int64_t kPow100[] = {
        1,           100,           10000,           1000000,          100000000,
        10000000000, 1000000000000, 100000000000000, 10000000000000000};
    uint64_t digits = static_cast<uint64_t>(_mm_cvtsi128_si64(a.d.lo));
    int64_t v = 0;
    const int n = a.count < 8 ? a.count : 8;
    for (int i = 0; i < n; ++i, digits >>= 8) v = v * 100 + static_cast<int64_t>(digits & 0xFF);
    if (a.count == 9) v = v * 100 + (_mm_extract_epi16(a.d.lo, 4) & 0xFF);
    v *= kPow100[a.exp + 1 - a.count];
    out = a.negative ? -v : v;
    return true;
}

// The operand as the general code holds it.
inline Unpacked to_unpacked(const Operand &a) {
    Unpacked u;
    _mm_store_si128(reinterpret_cast<__m128i *>(u.digit.data()), a.d.lo);
    _mm_store_si128(reinterpret_cast<__m128i *>(u.digit.data() + 16), a.d.hi);
    u.exp = a.exp;
    u.count = a.count;
    u.kind = Kind::finite;
    u.negative = a.negative;
    return u;
}

// A 128-bit value moved up or down by 0 <= bytes < 16: by a whole 64-bit
// lane, then by bits; SSE shifts by 64 or more give zero, so no amount
// needs a case of its own.
inline __m128i bytes_up(__m128i v, int bytes) {
    if (bytes >= 8) {
        v = _mm_slli_si128(v, 8);
        bytes -= 8;
    }
    const __m128i bits = _mm_cvtsi32_si128(8 * bytes);
    const __m128i back = _mm_cvtsi32_si128(64 - 8 * bytes);
    return _mm_or_si128(_mm_sll_epi64(v, bits), _mm_srl_epi64(_mm_slli_si128(v, 8), back));
}
inline __m128i bytes_down(__m128i v, int bytes) {
    if (bytes >= 8) {
        v = _mm_srli_si128(v, 8);
        bytes -= 8;
    }
    const __m128i bits = _mm_cvtsi32_si128(8 * bytes);
    const __m128i back = _mm_cvtsi32_si128(64 - 8 * bytes);
    return _mm_or_si128(_mm_srl_epi64(v, bits), _mm_sll_epi64(_mm_srli_si128(v, 8), back));
}

// Shifts the 32 positions up (toward the end) by k bytes, 0 <= k < 32;
// zeros come in.
inline Digits shift_up(const Digits &d, int k) {
    if (k >= 16) return {_mm_setzero_si128(), bytes_up(d.lo, k - 16)};
    if (k == 0) return d;
    return {bytes_up(d.lo, k), _mm_or_si128(bytes_up(d.hi, k), bytes_down(d.lo, 16 - k))};
}

// Shifts the 32 positions down (toward the start) by k bytes, 0 <= k < 32.
inline Digits shift_down(const Digits &d, int k) {
    if (k >= 16) return {bytes_down(d.hi, k - 16), _mm_setzero_si128()};
    if (k == 0) return d;
    return {_mm_or_si128(bytes_down(d.lo, k), bytes_up(d.hi, 16 - k)), bytes_down(d.hi, k)};
}

inline Digits from_run(const swar::Run &r) {
    return {_mm_set_epi64x(static_cast<int64_t>(r.w[1]), static_cast<int64_t>(r.w[0])),
            _mm_set_epi64x(static_cast<int64_t>(r.w[3]), static_cast<int64_t>(r.w[2]))};
}

// Writes bytes 0 .. n-1 (n <= 32) of lo:hi to dst and nothing else.
inline void write_exact(uint8_t *dst, __m128i lo, __m128i hi, int n) {
    const auto q0 = static_cast<uint64_t>(_mm_cvtsi128_si64(lo));
    const auto q1 = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(lo, lo)));
    const auto q2 = static_cast<uint64_t>(_mm_cvtsi128_si64(hi));
    // The eight bytes ending at n: a funnel of two neighbouring words.
    const auto ending = [](uint64_t below, uint64_t above, int over) {
        const int s = 8 * over;  // bytes of `above` that belong
        return (below >> s) | ((above << 1) << (63 - s));
    };
    if (n >= 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), lo);
        if (n > 16) swar::store_le(dst + n - 8, ending(q1, q2, n - 16));
    } else if (n >= 8) {
        swar::store_le(dst, q0);
        if (n > 8) swar::store_le(dst + n - 8, ending(q0, q1, n - 8));
    } else if (n >= 4) {
        const auto a = static_cast<uint32_t>(q0), b = static_cast<uint32_t>(q0 >> (8 * (n - 4)));
        std::memcpy(dst, &a, 4);
        std::memcpy(dst + n - 4, &b, 4);
    } else {
        for (int i = 0; i < n; ++i) dst[i] = static_cast<uint8_t>(q0 >> (8 * i));
    }
}

// Writes the finite number of digits d[0 .. m) (d[0] non-zero, d zero past
// m, 1 <= m <= 20, exp in range) to the caller in the form it asked for.
inline void write_number(bool negative, int exp, const Digits &d, int m, uint8_t *dst,
                         uint32_t *dstlen) {
    if (dst == nullptr) return;
    __m128i lo, hi;
    if (negative) {
        const __m128i bias = _mm_set1_epi8(101);
        lo = _mm_sub_epi8(bias, d.lo);
        hi = _mm_sub_epi8(bias, d.hi);
        if (m < kMaxDigits) {
            // The terminator right after the last digit.
            const __m128i at = _mm_set1_epi8(static_cast<char>(m));
            const __m128i t = _mm_set1_epi8(static_cast<char>(kTerminator));
            const __m128i in_lo = _mm_cmpeq_epi8(lane_index(), at);
            const __m128i in_hi = _mm_cmpeq_epi8(_mm_add_epi8(lane_index(), _mm_set1_epi8(16)), at);
            lo = _mm_or_si128(_mm_andnot_si128(in_lo, lo), _mm_and_si128(in_lo, t));
            hi = _mm_or_si128(_mm_andnot_si128(in_hi, hi), _mm_and_si128(in_hi, t));
        }
    } else {
        const __m128i one = _mm_set1_epi8(1);
        lo = _mm_add_epi8(d.lo, one);
        hi = _mm_add_epi8(d.hi, one);
    }
    const int n = m + 1 + (negative && m < kMaxDigits ? 1 : 0);
    const int exp_byte = negative ? kNegExpBase - exp : kPosExpBase + exp;
    if (dstlen != nullptr) {
        hi = _mm_or_si128(_mm_slli_si128(hi, 1), _mm_srli_si128(lo, 15));
        lo = _mm_or_si128(_mm_slli_si128(lo, 1), _mm_cvtsi32_si128(exp_byte));
        write_exact(dst, lo, hi, n);
        *dstlen = static_cast<uint32_t>(n);
    } else {
        hi = _mm_or_si128(_mm_slli_si128(hi, 2), _mm_srli_si128(lo, 14));
        lo = _mm_or_si128(_mm_slli_si128(lo, 2), _mm_cvtsi32_si128(n | (exp_byte << 8)));
        write_exact(dst, lo, hi, n + 1);
    }
}

}  // namespace tavo::num::vec

#endif  // __SSE2__
#endif  // TAVO_NUMBERS_DIGIT_VECTORS_HPP
