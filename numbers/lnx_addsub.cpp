// Addition and subtraction, negation, absolute value and increment.
//
// Both operands are laid into a window of 21 base-100 positions that starts
// at the larger exponent; digits of the smaller operand that fall beyond the
// window are dropped before the operation, and the 21st significant digit
// of the result rounds it (50 rounds up). The window is added sixteen
// digits at a time, carries resolved on bit masks; a difference is the sum
// with the nines' complement of the smaller magnitude.
#include <algorithm>
#include <array>
#include <bit>

#include "lnx.h"
#include "numbers/digit_vectors.hpp"
#include "numbers/number.hpp"
#include "numbers/swar.hpp"
#include "numbers/whole.hpp"

namespace tavo::num {

namespace {

constexpr int kWindow = 21;

using swar::Run;

// x + y + carry_in over 24 digit positions (most significant first), each
// digit 0..99. Returns the carry out of the first position.
#if TAVO_DIGIT_VECTORS

// The 24 low bits in reverse order.
uint32_t reverse24(uint32_t x) {
    static constexpr auto kReversed = [] {
        std::array<uint8_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            for (int b = 0; b < 8; ++b)
                if (i & (1 << b)) t[i] = static_cast<uint8_t>(t[i] | (0x80 >> b));
        return t;
    }();
    return (uint32_t{kReversed[x & 0xFF]} << 16) | (uint32_t{kReversed[(x >> 8) & 0xFF]} << 8) |
           kReversed[(x >> 16) & 0xFF];
}

// The carry into each position when some enter runs of 99: with the bit
// order reversed, carries move toward the high bits, and a carry entering a
// run of ones in an integer addition ripples through it in one step.
uint32_t ripple(uint32_t generate, uint32_t propagate, uint32_t carry_in) {
    const uint32_t g = reverse24(generate), p = reverse24(propagate);
    const uint32_t sum = ((g << 1) + p + carry_in) & 0xFFFFFF;
    return reverse24(sum ^ p);
}

// The general case: carries resolved on bit masks, however far they run.
uint32_t add_digits_rippling(const vec::Digits &x, const vec::Digits &y, vec::Digits &sum,
                             uint32_t carry_in) {
    const __m128i hundred = _mm_set1_epi8(100);
    const __m128i ninety_nine = _mm_set1_epi8(99);
    const __m128i s0 = _mm_add_epi8(x.lo, y.lo);
    const __m128i s1 = _mm_add_epi8(x.hi, y.hi);
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
    if (carries & propagate) carries = ripple(generate, propagate, carry_in);
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
    sum.lo = settle(s0, carries & 0xFFFF);
    sum.hi = settle(s1, carries >> 16);
    return (generate & 1) | (propagate & carries & 1);
}

uint32_t add_digits(const vec::Digits &x, const vec::Digits &y, vec::Digits &sum,
                    uint32_t carry_in) {
    // Each position's carry moves to the one before it: one byte down. Only
    // a carry into a 99 runs on, and that is left to the masks.
    const __m128i hundred = _mm_set1_epi8(100);
    const __m128i s0 = _mm_add_epi8(x.lo, y.lo);
    const __m128i s1 = _mm_add_epi8(
        _mm_add_epi8(x.hi, y.hi),
        _mm_cvtsi64_si128(static_cast<int64_t>(static_cast<uint64_t>(carry_in) << 56)));
    const auto at_least_100 = [&](__m128i v) {
        return _mm_cmpeq_epi8(_mm_max_epu8(v, hundred), v);
    };
    const __m128i g0 = at_least_100(s0), g1 = at_least_100(s1);
    const __m128i c0 = _mm_or_si128(_mm_srli_si128(g0, 1), _mm_slli_si128(g1, 15));
    const __m128i c1 = _mm_srli_si128(g1, 1);
    // Carries are bytes of -1: subtracting them adds 1.
    const __m128i r0 = _mm_sub_epi8(_mm_sub_epi8(s0, _mm_and_si128(g0, hundred)), c0);
    const __m128i r1 = _mm_sub_epi8(_mm_sub_epi8(s1, _mm_and_si128(g1, hundred)), c1);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(r0, hundred), _mm_cmpeq_epi8(r1, hundred))))
        return add_digits_rippling(x, y, sum, carry_in);
    sum.lo = r0;
    sum.hi = r1;
    return static_cast<uint32_t>(_mm_cvtsi128_si32(g0)) & 1;
}

uint32_t add_digits(const Run &x, const Run &y, Run &sum, uint32_t carry_in) {
    const auto load = [](const Run &r) {
        return vec::Digits{
            _mm_set_epi64x(static_cast<int64_t>(r.w[1]), static_cast<int64_t>(r.w[0])),
            _mm_set_epi64x(0, static_cast<int64_t>(r.w[2]))};
    };
    vec::Digits s;
    const uint32_t carry = add_digits(load(x), load(y), s, carry_in);
    sum.w[0] = static_cast<uint64_t>(_mm_cvtsi128_si64(s.lo));
    sum.w[1] = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(s.lo, s.lo)));
    sum.w[2] = static_cast<uint64_t>(_mm_cvtsi128_si64(s.hi));
    sum.w[3] = 0;
    return carry;
}

// The common case in registers: both operands finite, normalised and within
// 20 positions of each other, no cancellation of the first digit and no
// rounding carry through a 99. False leaves the answer to the general path.
bool add_in_registers(std::span<const uint8_t> pa, std::span<const uint8_t> pb, bool subtract,
                      uint8_t *dst, uint32_t *dstlen) {
    vec::Operand a, b;
    if (!vec::read_operand(pa.data(), static_cast<int>(pa.size()), a) ||
        !vec::read_operand(pb.data(), static_cast<int>(pb.size()), b))
        return false;
    b.negative = b.negative != subtract;
    if (int64_t x, y; vec::small_integer(a, x) && vec::small_integer(b, y)) {
        emit_integer(x + y, dst, dstlen);
        return true;
    }
    bool a_bigger = a.exp > b.exp;
    if (a.exp == b.exp) {
        const uint32_t differ =
            ~(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(a.d.lo, b.d.lo))) |
              (static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(a.d.hi, b.d.hi))) << 16));
        if (differ == 0) return false;  // equal magnitudes: zero or a doubling
        const auto at_least = [](__m128i x, __m128i y) {
            return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(x, y), x)));
        };
        const uint32_t a_ge = at_least(a.d.lo, b.d.lo) | (at_least(a.d.hi, b.d.hi) << 16);
        a_bigger = (a_ge >> std::countr_zero(differ)) & 1;
    }
    const vec::Operand &big = a_bigger ? a : b;
    const vec::Operand &small = a_bigger ? b : a;
    const int shift = big.exp - small.exp;
    if (shift >= kWindow) return false;
    // The smaller operand shifted into the window, cut after position 20.
    vec::Digits y = vec::shift_up(small.d, shift);
    y.hi = _mm_and_si128(y.hi, _mm_set_epi32(0, 0, 0xFF, -1));
    const bool same_sign = big.negative == small.negative;
    if (!same_sign) {
        // The ten's complement of the 21 positions: nines, then one more at
        // the end. Positions 21 to 23 stay zero; in the complement over all
        // 24 they would be nines that the one carries out of, to the same
        // effect on the first 21. (The last can reach 100: no digit, but
        // the addition takes it as a carry.)
        const __m128i nines = _mm_set1_epi8(99);
        y.lo = _mm_sub_epi8(nines, y.lo);
        y.hi = _mm_add_epi8(_mm_and_si128(_mm_sub_epi8(nines, y.hi), _mm_set_epi32(0, 0, 0xFF, -1)),
                            _mm_set_epi32(0, 0, 1, 0));
    }
    vec::Digits r;
    const uint32_t carry = add_digits(big.d, y, r, 0) & (same_sign ? 1 : 0);
    int exp = big.exp;
    if (carry) {
        r.hi = _mm_or_si128(_mm_slli_si128(r.hi, 1), _mm_srli_si128(r.lo, 15));
        r.lo = _mm_or_si128(_mm_slli_si128(r.lo, 1), _mm_cvtsi32_si128(1));
        ++exp;
    } else if ((_mm_cvtsi128_si32(r.lo) & 0xFF) == 0) {
        return false;  // the first digit cancelled
    }
    // The 21st digit rounds: 50 and above add one to the 20th.
    const int rounding = _mm_extract_epi16(r.hi, 2) & 0xFF;
    r.hi = _mm_and_si128(r.hi, _mm_set_epi32(0, 0, 0, -1));
    if (rounding >= 50) {
        if ((_mm_extract_epi16(r.hi, 1) >> 8) == 99) return false;  // the carry runs on
        r.hi = _mm_add_epi8(r.hi, _mm_set_epi32(0, 0, 0, 1 << 24));
    }
    if (exp > kMaxExp) return false;
    const uint32_t nonzero = ~vec::zero_mask(r) & 0xFFFFF;
    vec::write_number(big.negative, exp, r, 32 - std::countl_zero(nonzero), dst, dstlen);
    return true;
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

namespace {

// Two number arguments given as bytes.
[[gnu::noinline]] void add_byte_operands(std::span<const uint8_t> a, std::span<const uint8_t> b,
                                         bool subtract, uint8_t *dst, uint32_t *dstlen) {
    // Whole numbers below 10^12 add exactly in 64 bits: nothing to align or
    // round.
    if (int64_t x, y; whole::read(a, x) && whole::read(b, y))
        return whole::emit_value(subtract ? x - y : x + y, dst, dstlen);
#if TAVO_DIGIT_VECTORS
    if (add_in_registers(a, b, subtract, dst, dstlen)) return;
#endif
    add_into(decode(a), decode(b), subtract, dst, dstlen);
}

// An operand passed as a machine integer.
[[gnu::noinline]] void add_loaded(const uint8_t *num1, int32_t len1, const uint8_t *num2,
                                  int32_t len2, bool subtract, uint8_t *dst, uint32_t *dstlen) {
    add_into(load(num1, len1), load(num2, len2), subtract, dst, dstlen);
}

[[gnu::always_inline]] inline void add_numbers(const uint8_t *num1, int32_t len1,
                                               const uint8_t *num2, int32_t len2, bool subtract,
                                               uint8_t *dst, uint32_t *dstlen) {
    if (num1 == nullptr || num2 == nullptr)
        return add_loaded(num1, len1, num2, len2, subtract, dst, dstlen);
    const auto a = counted_view(num1, len1), b = counted_view(num2, len2);
    // The commonest operands, small whole numbers, first and alone, so that
    // their path stays short.
    if (int32_t x, y; whole::read_short(a, x) && whole::read_short(b, y))
        return whole::emit_small(subtract ? x - y : x + y, dst, dstlen);
    add_byte_operands(a, b, subtract, dst, dstlen);
}

}  // namespace

extern "C" {

TAVO_API void lnxadd(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
    add_numbers(num1, len1, num2, len2, false, dst, dstlen);
}

TAVO_API void lnxsub(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
    add_numbers(num1, len1, num2, len2, true, dst, dstlen);
}

TAVO_API void lnxqaos(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                      uint8_t *dst, uint32_t *dstlen, int32_t flag) noexcept {
    add_numbers(num1, len1, num2, len2, flag != 0, dst, dstlen);
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
