// Addition and subtraction, negation, absolute value and increment.
//
// Both operands are laid into a window of 21 base-100 positions that starts
// at the larger exponent; digits of the smaller operand that fall beyond the
// window are dropped before the operation, and the 21st significant digit
// of the result rounds it (50 rounds up). The window is added sixteen
// digits at a time, carries resolved on bit masks; a difference is the sum
// with the nines' complement of the smaller magnitude.
#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "lnx.h"
#include "numbers/number.hpp"
#include "numbers/swar.hpp"

namespace tavo::num {

namespace {

constexpr int kWindow = 21;

using swar::Run;

// x + y + carry_in over 24 digit positions (most significant first), each
// digit 0..99. Returns the carry out of the first position.
#if defined(__SSE2__)
uint32_t add_digits(const Run &x, const Run &y, Run &sum, uint32_t carry_in) {
    const auto vec = [](uint64_t lo, uint64_t hi) {
        return _mm_set_epi64x(static_cast<int64_t>(hi), static_cast<int64_t>(lo));
    };
    const __m128i hundred = _mm_set1_epi8(100);
    const __m128i ninety_nine = _mm_set1_epi8(99);
    const __m128i s0 = _mm_add_epi8(vec(x.w[0], x.w[1]), vec(y.w[0], y.w[1]));
    const __m128i s1 = _mm_add_epi8(vec(x.w[2], 0), vec(y.w[2], 0));
    // Bit i of the masks speaks of position i: a sum of 100 or more makes a
    // carry into position i - 1, a sum of 99 passes one on.
    const auto mask = [](__m128i lo, __m128i hi) {
        return static_cast<uint32_t>(_mm_movemask_epi8(lo)) |
               (static_cast<uint32_t>(_mm_movemask_epi8(hi)) << 16);
    };
    const auto at_least_100 = [&](__m128i v) {
        return _mm_cmpeq_epi8(_mm_max_epu8(v, hundred), v);
    };
    const uint32_t generate = mask(at_least_100(s0), at_least_100(s1)) & 0xFFFFFF;
    const uint32_t propagate =
        mask(_mm_cmpeq_epi8(s0, ninety_nine), _mm_cmpeq_epi8(s1, ninety_nine)) & 0xFFFFFF;
    uint32_t carries = (generate >> 1) | (carry_in << 23);
    // Runs of 99 are rare: ripple through them one position a round.
    for (uint32_t t = carries & propagate; t != 0;) {
        const uint32_t more = (t >> 1) & ~carries;
        carries |= more;
        t = more & propagate;
    }
    // Carries as bytes of -1, so that subtracting them adds 1.
    const __m128i bits = _mm_set_epi8(-128, 64, 32, 16, 8, 4, 2, 1, -128, 64, 32, 16, 8, 4, 2, 1);
    const auto spread = [&](uint32_t m16) {
        __m128i v = _mm_cvtsi32_si128(static_cast<int>(m16));
        v = _mm_unpacklo_epi8(v, v);
        v = _mm_unpacklo_epi16(v, v);
        v = _mm_unpacklo_epi32(v, v);  // byte 0 of m16 in lanes 0..7, byte 1 in 8..15
        return _mm_cmpeq_epi8(_mm_and_si128(v, bits), bits);
    };
    const auto settle = [&](__m128i s, uint32_t m16) {
        const __m128i r = _mm_sub_epi8(s, spread(m16));
        return _mm_sub_epi8(r, _mm_and_si128(at_least_100(r), hundred));
    };
    const __m128i r0 = settle(s0, carries & 0xFFFF);
    const __m128i r1 = settle(s1, carries >> 16);
    sum.w[0] = static_cast<uint64_t>(_mm_cvtsi128_si64(r0));
    sum.w[1] = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(r0, r0)));
    sum.w[2] = static_cast<uint64_t>(_mm_cvtsi128_si64(r1));
    sum.w[3] = 0;
    return (generate & 1) | (propagate & carries & 1);
}
#else
uint32_t add_digits(const Run &x, const Run &y, Run &sum, uint32_t carry_in) {
    uint32_t carry = carry_in;
    sum = Run{};
    for (int i = kDigitSlots - 1; i >= 0; --i) {
        const uint32_t s = x.byte(i) + y.byte(i) + carry;
        carry = s >= 100;
        sum.set_byte(i, static_cast<uint8_t>(carry ? s - 100 : s));
    }
    return carry;
}
#endif

// Writes big + small or big - small (|big| >= |small|, both finite).
void add_magnitudes(const Unpacked &big, const Unpacked &small, bool same_sign, uint8_t *dst,
                    uint32_t *dstlen) {
    const Run x = swar::load_run(big.digit.data());
    // The smaller operand shifted into the window, cut after position 20.
    Run y = swar::shift_up(swar::load_run(small.digit.data()), big.exp - small.exp);
    y.w[2] &= 0xFFFFFFFFFF;
    y.w[3] = 0;
    Run sum;
    uint32_t carry = 0;
    if (same_sign) {
        carry = add_digits(x, y, sum, 0);
    } else {
        // The nines' complement of the window, plus one at its end.
        for (int i = 0; i < 3; ++i) y.w[i] = 99 * swar::kOnes - y.w[i];
        add_digits(x, y, sum, 1);
    }
    // The carry becomes a digit in front of the window.
    Run d = swar::shift_up(sum, 1);
    d.w[0] |= carry;
    emit_digits(big.negative, big.exp + 1, d, 1 + kDigitSlots, 50, dst, dstlen);
}

}  // namespace

void add_into(const Unpacked &a, const Unpacked &b, bool subtract, uint8_t *dst, uint32_t *dstlen) {
    const bool b_negative = b.is_negative() != subtract;
    if (a.is_inf()) return emit(dst, dstlen, a);
    if (b.is_inf()) return emit(dst, dstlen, make_inf(b_negative));
    if (b.is_zero()) return emit(dst, dstlen, a);
    if (a.is_zero()) return emit(dst, dstlen, subtract ? negate(b) : b);
    Unpacked nb;
    const Unpacked *bp = &b;
    if (subtract) {
        nb = negate(b);
        bp = &nb;
    }
    const bool a_bigger = compare_magnitude(a, *bp) >= 0;
    const Unpacked &big = a_bigger ? a : *bp;
    const Unpacked &small = a_bigger ? *bp : a;
    if (big.exp - small.exp >= kWindow) return emit(dst, dstlen, big);
    add_magnitudes(big, small, big.negative == small.negative, dst, dstlen);
}

Unpacked add(const Unpacked &a, const Unpacked &b, bool subtract) {
    return computed([&](uint8_t *dst, uint32_t *dstlen) { add_into(a, b, subtract, dst, dstlen); });
}

}  // namespace tavo::num

using namespace tavo::num;

extern "C" {

TAVO_API void lnxadd(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
    add_into(load(num1, len1), load(num2, len2), false, dst, dstlen);
}

TAVO_API void lnxsub(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
    add_into(load(num1, len1), load(num2, len2), true, dst, dstlen);
}

TAVO_API void lnxqaos(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                      uint8_t *dst, uint32_t *dstlen, int32_t flag) noexcept {
    add_into(load(num1, len1), load(num2, len2), flag != 0, dst, dstlen);
}

TAVO_API void lnxqIAdd(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst,
                       uint32_t *dstlen) noexcept {
    add_into(load(num, len), from_int(n), false, dst, dstlen);
}

TAVO_API void lnxqISub(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst,
                       uint32_t *dstlen) noexcept {
    add_into(load(num, len), from_int(n), true, dst, dstlen);
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
    // A counted length of 0 would read as length-prefixed: it is empty.
    const Unpacked u =
        (len != nullptr && *len == 0)
            ? make_zero()
            : load(num,
                   len == nullptr ? 0 : static_cast<int32_t>(std::min<uint32_t>(*len, kMaxLen)));
    // Positive integers of 1 to 19 base-100 digits count up; anything else
    // restarts at 1.
    const bool counts_up = u.is_finite() && !u.negative && u.exp >= 0 && u.exp <= 18;
    if (counts_up) {
        add_into(u, from_int(1), false, num, len);
    } else {
        emit(num, len, from_int(1));
    }
}

}  // extern "C"
