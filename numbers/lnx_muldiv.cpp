// Multiplication, division and remainder.
//
// A product keeps the partial products a[i] x b[j] with i + j <= 22 (23
// positions behind the carry position) and rounds at the 21st significant
// digit, upward only above 50. It is computed on limbs of four base-100
// digits; only the limb pairs on the edge of the kept triangle are split.
//
// A quotient is developed digit by digit over a 24-digit dividend, each
// digit estimated with the divisor's first three digits and the rest of the
// divisor subtracted as the division goes; the 22 signed quotient digits are
// then normalised and rounded like a product. Those digits stay within a unit
// or so of the exact quotient of the operands, so the exact quotient gives
// the same result except next to a rounding boundary, and is what is
// computed first; a divisor of up to three digits is exact long division.
#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "lnx.h"
#include "numbers/digit_vectors.hpp"
#include "numbers/lnx_internal.h"
#include "numbers/number.hpp"
#include "numbers/swar.hpp"

namespace tavo::num {

namespace {

constexpr uint64_t kLimbBase = 100000000;  // four base-100 digits
constexpr int kLimbs = 6;                  // 24 digit slots

using Limbs = std::array<uint64_t, kLimbs>;

Limbs to_limbs(const Unpacked &u) {
    Limbs l;
    for (int w = 0; w < 3; ++w) {
        const uint64_t two = swar::digits_to_limbs(swar::load_le(u.digit.data() + 8 * w));
        l[2 * w] = two & 0xFFFFFFFF;
        l[2 * w + 1] = two >> 32;
    }
    return l;
}

// Limbs below 10^8 as digit bytes, four each (at most eight limbs).
swar::Run limbs_to_run(const uint64_t *limbs, int count) {
    swar::Run r;
    for (int i = 0; i < count; ++i)
        r.w[i / 2] |= uint64_t{swar::limb_to_digits(static_cast<uint32_t>(limbs[i]))}
                      << (32 * (i % 2));
    return r;
}

// A limb divided by these keeps its first one, two or three digits.
constexpr uint64_t kPow100[] = {1000000, 10000, 100, 1};

}  // namespace

void multiply_into(const Unpacked &a, const Unpacked &b, uint8_t *dst, uint32_t *dstlen) {
    const bool negative = a.is_negative() != b.is_negative();
    if (a.is_zero() || b.is_zero()) return emit(dst, dstlen, make_zero());
    if (a.is_inf() || b.is_inf()) return emit(dst, dstlen, make_inf(negative));
    const int exp = a.exp + b.exp + 1;  // of the carry position
    if (exp < kMinExp) return emit(dst, dstlen, make_zero());
    if (exp > kMaxExp + 1) return emit(dst, dstlen, make_inf(negative));

    const Limbs x = to_limbs(a), y = to_limbs(b);
    // col[c] collects the limb products A[i] x B[j] with i + j = c; its units
    // are the product digit at position 4c + 7 behind the carry position.
    uint64_t col[kLimbs] = {};
    for (int i = 0; i < 5; ++i)
        for (int j = 0; i + j < 5; ++j) col[i + j] += x[i] * y[j];
    // Pairs with i + j = 5 reach positions 21 .. 27: only digit pairs p, q
    // of the two limbs with p + q <= 2 land at position 23 or before.
    for (int i = 1; i < 5; ++i) {
        const uint8_t *ad = a.digit.data() + 4 * i;
        const uint64_t bj = y[5 - i];
        col[5] += kLimbBase * (ad[0] * (bj / kPow100[2]) + ad[1] * (bj / kPow100[1]) +
                               ad[2] * (bj / kPow100[0]));
    }
    uint64_t limbs[kLimbs + 1];
    for (int c = kLimbs - 1; c > 0; --c) {
        col[c - 1] += col[c] / kLimbBase;
        limbs[c + 1] = col[c] % kLimbBase;
    }
    limbs[0] = col[0] / kLimbBase;
    limbs[1] = col[0] % kLimbBase;
    // limbs[0] holds the carry position and the three after it.
    emit_digits(negative, exp, limbs_to_run(limbs, kLimbs + 1), 4 * (kLimbs + 1), 51, dst, dstlen);
}

namespace {

constexpr int kQuotientDigits = 22;
constexpr int kShift = 47;

// The quotient digits of a / b as the digit-by-digit division finds them.
//
// The running remainder r is kept as R = r x M with M = 2^47 / D + 1, D the
// trial divisor: trunc(r / D) is then floor(R / 2^47), plus 1 when r < 0,
// exactly, because |r| < 100 D + 2^18 keeps r x D below 2^47. Each step:
//   q(k)   = trunc(r(k) / D)
//   r(k+1) = 100 r(k) + a(k+3) - q(k) (100 D + b3) - sum over j >= 4 of
//            q(k+3-j) b(j)
// which is the division that subtracts q x D from the remainder and the
// divisor's further digits from the dividend words they fall under. The
// arithmetic is done modulo 2^64 (values stay far below 2^63 in magnitude).
// The quotient digits found two or more steps before, against the
// divisor's digits from the sixth on: tail(k) = sum over j = 5 .. 19 of
// q(k+3-j) b(j). A window of the 16 latest quotient digits up to q(k-2)
// slides along; the newest is added one step after it was found, so the
// sum stays off the path from one quotient digit to the next.
class DivisorTail {
  public:
    explicit DivisorTail(const uint8_t *bd) {
        // Lane t of the window holds q(k-17+t), to be weighted by b(20-t):
        // the digits 5 .. 20 last first (digit 20 is always 0).
#if defined(__SSE2__)
        const auto *v = reinterpret_cast<const __m128i *>(bd);
        __m128i w = _mm_or_si128(_mm_srli_si128(_mm_load_si128(v), 5),
                                 _mm_slli_si128(_mm_load_si128(v + 1), 11));
        w = _mm_shuffle_epi32(w, 0x1B);                                // reverse the bytes: dwords,
        w = _mm_shufflehi_epi16(_mm_shufflelo_epi16(w, 0xB1), 0xB1);   // words,
        w = _mm_or_si128(_mm_slli_epi16(w, 8), _mm_srli_epi16(w, 8));  // bytes
        w_lo_ = _mm_unpacklo_epi8(w, _mm_setzero_si128());
        w_hi_ = _mm_unpackhi_epi8(w, _mm_setzero_si128());
#else
        for (int t = 0; t < 16; ++t) w_[t] = bd[20 - t];
#endif
    }
    // The sums for steps k and k + 1 from the window of step k: step k + 1
    // weights each lane as the next lane up is weighted now, and adds its
    // newest quotient digit, q(k-1), times b5 (outside the window).
    void sums(int32_t &now, int32_t &next) const {
#if defined(__SSE2__)
        const __m128i w2_lo = _mm_slli_si128(w_lo_, 2);
        const __m128i w2_hi = _mm_or_si128(_mm_slli_si128(w_hi_, 2), _mm_srli_si128(w_lo_, 14));
        const __m128i a = _mm_add_epi32(_mm_madd_epi16(lo_, w_lo_), _mm_madd_epi16(hi_, w_hi_));
        const __m128i b = _mm_add_epi32(_mm_madd_epi16(lo_, w2_lo), _mm_madd_epi16(hi_, w2_hi));
        __m128i t = _mm_add_epi32(_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b));
        t = _mm_add_epi32(t, _mm_shuffle_epi32(t, 0xB1));  // a a b b
        now = _mm_cvtsi128_si32(t);
        next = _mm_cvtsi128_si32(_mm_shuffle_epi32(t, 0x02));
#else
        now = next = 0;
        for (int t = 0; t < 16; ++t) now += int32_t{window_[t]} * w_[t];
        for (int t = 1; t < 16; ++t) next += int32_t{window_[t]} * w_[t - 1];
#endif
    }
    // Slides the window by two, bringing in q1 and then q2.
    void push2(int64_t q1, int64_t q2) {
#if defined(__SSE2__)
        lo_ = _mm_or_si128(_mm_srli_si128(lo_, 4), _mm_slli_si128(hi_, 12));
        hi_ = _mm_srli_si128(hi_, 4);
        hi_ = _mm_insert_epi16(_mm_insert_epi16(hi_, static_cast<int>(q1), 6), static_cast<int>(q2),
                               7);
#else
        std::copy(window_ + 2, window_ + 16, window_);
        window_[14] = static_cast<int16_t>(q1);
        window_[15] = static_cast<int16_t>(q2);
#endif
    }

  private:
#if defined(__SSE2__)
    __m128i w_lo_, w_hi_;
    __m128i lo_ = _mm_setzero_si128(), hi_ = _mm_setzero_si128();
#else
    int16_t w_[16];
    int16_t window_[16] = {};
#endif
};

// floor(2^47 / d) + 1 for 10^4 <= d < 10^6, by a double division (short
// latency where an integer one is long) set right by one step.
uint64_t reciprocal(uint64_t d) {
    constexpr uint64_t kTop = uint64_t{1} << kShift;
    auto m = static_cast<uint64_t>(static_cast<double>(kTop) / static_cast<double>(d));
    if (m * d > kTop) --m;
    if ((m + 1) * d <= kTop) ++m;
    return m + 1;
}

void quotient_digits(const Unpacked &a, const Unpacked &b, int32_t *q) {
    const uint8_t *ad = a.digit.data();
    const uint8_t *bd = b.digit.data();
    const int64_t d = 10000 * bd[0] + 100 * bd[1] + bd[2];
    const uint64_t m = reciprocal(static_cast<uint64_t>(d));
    const uint64_t step = m * static_cast<uint64_t>(100 * d + bd[3]);
    const int64_t b4 = bd[4];
    DivisorTail tail(bd);
    const bool long_divisor = b.count > 5;
    uint64_t r = m * static_cast<uint64_t>(10000 * ad[0] + 100 * ad[1] + ad[2]);
    const int64_t b5 = bd[5];
    int64_t previous = 0;  // q(k-1)
    // Two quotient digits a round: the divisor tail's sums for both come
    // from one window.
    for (int k = 0; k < kQuotientDigits; k += 2) {
        int32_t tail_now = 0, tail_next = 0;
        if (long_divisor) tail.sums(tail_now, tail_next);
        const auto rs = static_cast<int64_t>(r);
        const int64_t q0 = (rs >> kShift) + (rs < 0);
        q[k] = static_cast<int32_t>(q0);
        // q(k) x step last: the path from one quotient digit to the next
        // is then a multiplication, a subtraction, a shift and an addition.
        int64_t next = ad[k + 3] - previous * b4 - tail_now;
        r = 100 * r + m * static_cast<uint64_t>(next) - static_cast<uint64_t>(q0) * step;
        const auto rs1 = static_cast<int64_t>(r);
        const int64_t q1 = (rs1 >> kShift) + (rs1 < 0);
        q[k + 1] = static_cast<int32_t>(q1);
        if (k + 2 == kQuotientDigits) break;
        next = ad[k + 4] - q0 * b4 - (long_divisor ? tail_next + previous * b5 : 0);
        r = 100 * r + m * static_cast<uint64_t>(next) - static_cast<uint64_t>(q1) * step;
        if (long_divisor) tail.push2(previous, q0);
        previous = q1;
    }
}

// A divisor of at most three digits is its own trial divisor: nothing of it
// is left to subtract, so the digit-by-digit division is exact long
// division, done here six digits at a time. The 24 dividend positions come
// as three words of digit bytes (position i in byte i % 8 of word i / 8);
// the 24 quotient digits go out as four limbs of 10^12.
//
// Each limb's quotient is estimated with the divisor's reciprocal in double
// precision, made a little smaller so that the estimate never exceeds the
// quotient (x < 10^18 and q < 10^12 keep it within one below), and put
// right from the remainder.
class ShortDivision {
  public:
    static constexpr int64_t kLimb = 1000000000000;  // six digits

    explicit ShortDivision(int64_t d)
        : d_(d), inverse_(1.0 / static_cast<double>(d) * (1.0 - 0x1p-50)) {}

    void quotient(uint64_t w0, uint64_t w1, uint64_t w2, int64_t *q) const {
        constexpr uint64_t kSix = 0xFFFFFFFFFFFF;
        int64_t r = 0;
        q[0] = step(r, six_digits(w0 & kSix));
        if (((w0 >> 48) | w1 | w2) == 0) {  // a dividend of up to six digits
            q[1] = step(r, 0);
            q[2] = step(r, 0);
            q[3] = step(r, 0);
            return;
        }
        q[1] = step(r, six_digits(((w0 >> 48) | (w1 << 16)) & kSix));
        q[2] = step(r, six_digits(((w1 >> 32) | (w2 << 32)) & kSix));
        q[3] = step(r, six_digits(w2 >> 16));
    }

    // The quotient limbs as a run of 24 digit bytes.
    static swar::Run digits(const int64_t *q) {
        const uint64_t b0 = digits_of(q[0]), b1 = digits_of(q[1]), b2 = digits_of(q[2]),
                       b3 = digits_of(q[3]);
        return {{b0 | (b1 << 48), (b1 >> 16) | (b2 << 32), (b2 >> 32) | (b3 << 16), 0}};
    }

  private:
    // Six digit bytes (first in the low byte) as their value below 10^12.
    static int64_t six_digits(uint64_t v) {
        constexpr uint64_t kPairs = 0x00FF00FF00FF;
        const uint64_t pairs = (v & kPairs) * 100 + ((v >> 8) & kPairs);
        return static_cast<int64_t>((pairs & 0xFFFF) * 100000000 +
                                    ((pairs >> 16) & 0xFFFF) * 10000 + (pairs >> 32));
    }
    // A limb below 10^12 as six digit bytes, first in the low byte.
    static uint64_t digits_of(int64_t limb) {
        const auto v = static_cast<uint64_t>(limb);
        const uint64_t hi = v / 100000000;  // two digits
        const auto lo = static_cast<uint32_t>(v - hi * 100000000);
        const uint64_t tens = hi / 100;
        return tens | ((hi - tens * 100) << 8) | (uint64_t{swar::limb_to_digits(lo)} << 16);
    }
    // The next limb of the quotient; r, below d, carries the remainder.
    int64_t step(int64_t &r, int64_t limb) const {
        const int64_t x = r * kLimb + limb;
        auto q = static_cast<int64_t>(static_cast<double>(x) * inverse_);
        r = x - q * d_;
        const bool over = r >= d_;
        q += over ? 1 : 0;
        r -= over ? d_ : 0;
        return q;
    }

    int64_t d_;
    double inverse_;
};

// The trial divisor of a divisor of at most three digits.
int64_t short_divisor(uint64_t digits) {
    return static_cast<int64_t>((digits & 0xFF) * 10000 + ((digits >> 8) & 0xFF) * 100 +
                                ((digits >> 16) & 0xFF));
}

void divide_by_short(const Unpacked &a, const Unpacked &b, bool negative, int exp, uint8_t *dst,
                     uint32_t *dstlen) {
    const ShortDivision division(short_divisor(swar::load_le(b.digit.data())));
    const uint8_t *p = a.digit.data();  // zero past the last digit
    int64_t q[4];
    division.quotient(swar::load_le(p), swar::load_le(p + 8), swar::load_le(p + 16), q);
    // The third dividend position holds the first quotient digit.
    emit_digits(negative, exp + 2, ShortDivision::digits(q), 24, 51, dst, dstlen);
}

// The quotient the digit-by-digit division develops, found from the exact
// quotient of the operands wherever that leaves no doubt.
//
// With A and B the operands' digits as 20-digit integers and the quotient
// digits q(k) read as Q = sum of q(k) 100^(21-k), the division leaves
//   100^4 A = sum of q(k) P(k) + r,   |r| < D (the trial divisor),
// P(k) being the divisor digits that fall inside the 24 dividend positions
// at step k: B 100^(4-k) up to step 4, floor(B / 100^(k-4)) from step 5 on.
// Hence Q = 100^21 A / B + 100^17 (E - r) / B, where E sums q(k) times the
// fraction that step k leaves out, over the 17 steps from 5 to 21. Every
// |q(k)| is at most 120 (a remainder below 100 D, and at most 17 pending
// divisor digits of 99 times 120, against D >= 10^4), so |E| < 2040, and
// B >= 100^17 D bounds |Q - 100^21 A / B| by 1 + 2040 / D < 1.21.
//
// So when every integer within 1.25 of 100^21 A / B has the same digits up
// to the one that decides the rounding, and rounds the same way, any of
// them gives the result; otherwise the digits are developed one by one.
struct NearQuotient {
    // Q = 100 (limb[0] 10^40 + limb[1] 10^32 + ... + limb[5]) + last, for
    // every candidate `last` within kSlack of the exact quotient's; limb[1..5]
    // below 10^8. When Q has 21 digits, all candidates are at least 51
    // (rounds_up) or all at most 50.
    int64_t limb[6];
    int last;
    bool rounds_up;
};

constexpr double kSlack = 1.25;  // above the bound of 1.21

// A 10^40 / B in limbs of 10^8, A and B given as five limbs each (B's first
// at least 10^6): false when the integers near 100^21 A / B round apart.
//
// Each limb is estimated from a double and the remainder kept exact, in
// limbs that are not normalised: T, aligned with B (t0 at 10^32 with all
// above it folded in), gives x = T / B within one, R = T - x B keeps R / B
// in (-1, 2), and the next T is 10^8 R. The first estimate takes two limbs
// at once (x < 10^10). The t's stay below 2.1 10^18 in magnitude; the last
// T / B, a double within 10^-5 of exact, gives the last limb and the digit
// after it to within 10^-3.
[[gnu::always_inline]] inline bool near_quotient(const int64_t *a, const int64_t *b,
                                                 NearQuotient &out) {
    const double divisor = static_cast<double>(b[0]) + static_cast<double>(b[1]) * 1e-8 +
                           static_cast<double>(b[2]) * 1e-16;  // B / 10^32
    const double inverse = 1.0 / divisor, inverse8 = inverse * 1e-8;
    const uint64_t top = static_cast<uint64_t>(b[0]) * kLimbBase + static_cast<uint64_t>(b[1]);
    const auto estimate = [&](int64_t t0, int64_t t1) {
        return static_cast<double>(t0) * inverse + static_cast<double>(t1) * inverse8;
    };
    int64_t t0 = a[0] * static_cast<int64_t>(kLimbBase) + a[1], t1 = a[2], t2 = a[3], t3 = a[4],
            t4 = 0;
    int64_t x[5];
    for (int i = 0; i < 4; ++i) {
        // The first by a division, which need not wait for the reciprocal.
        const auto xi = static_cast<int64_t>(
            i == 0 ? (static_cast<double>(t0) + static_cast<double>(t1) * 1e-8) / divisor
                   : estimate(t0, t1));
        x[i] = xi;
        // 10^8 (t0 - x b0) + (t1 - x b1), modulo 2^64 on the way.
        t0 = static_cast<int64_t>(static_cast<uint64_t>(t0) * kLimbBase +
                                  static_cast<uint64_t>(t1) - static_cast<uint64_t>(xi) * top);
        t1 = t2 - xi * b[2];
        t2 = t3 - xi * b[3];
        t3 = t4 - xi * b[4];
        t4 = 0;
    }
    const double rest = estimate(t0, t1);  // in (-1, 2 10^8)
    const auto whole = static_cast<int64_t>(rest);
    const double last = (rest - static_cast<double>(whole)) * 100.0;
    // The integers within kSlack of 100 rest must stay in [0, 99]: a carry
    // out of the last digit would change the limbs (and a negative rest
    // leaves `last` below 0). Those cases go digit by digit.
    if (last <= kSlack - 1.0 || last >= 100.0 - kSlack) return false;
    out.last = static_cast<int>(last);  // one of them
    out.rounds_up = last > 50.0 + kSlack;
    out.limb[0] = x[0] / static_cast<int64_t>(kLimbBase);
    out.limb[1] = x[0] % static_cast<int64_t>(kLimbBase);
    out.limb[2] = x[1];
    out.limb[3] = x[2];
    out.limb[4] = x[3];
    out.limb[5] = whole;
    // Estimates one too high or low leave a limb just outside [0, 10^8).
    const auto outside = [](int64_t v) {
        return static_cast<uint64_t>(v) >= static_cast<uint64_t>(kLimbBase);
    };
    if (outside(x[1]) || outside(x[2]) || outside(x[3]) || outside(whole)) {
        for (int i = 5; i > 0; --i) {
            const int64_t carry =
                (out.limb[i] >= static_cast<int64_t>(kLimbBase)) - (out.limb[i] < 0);
            out.limb[i] -= carry * static_cast<int64_t>(kLimbBase);
            out.limb[i - 1] += carry;
            if (outside(out.limb[i])) return false;  // not for valid operands
        }
    }
    // 100^20 <= Q < 100^22 + 2: Q's first digit is limb[0]'s (at 100^21) or
    // the first of limb[1]; limb[0] is 100 only for Q >= 100^22.
    if (out.limb[0] < 0 || out.limb[0] > 100) return false;
    if (out.limb[0] == 0) {
        // Q has 21 digits: the last decides the rounding.
        if (out.limb[1] < 1000000) return false;
        if (!out.rounds_up && last >= 51.0 - kSlack) return false;
    }
    return true;
}

// The 20 digits of an operand as five limbs of 10^8.
void operand_limbs(const Unpacked &u, int64_t *l) {
    const Limbs limbs = to_limbs(u);
    for (int i = 0; i < 5; ++i) l[i] = static_cast<int64_t>(limbs[i]);
}

// The result from the exact quotient, or false to develop the digits.
bool divide_from_exact(const Unpacked &a, const Unpacked &b, bool negative, int exp, uint8_t *dst,
                       uint32_t *dstlen) {
    int64_t x[5], y[5];
    operand_limbs(a, x);
    operand_limbs(b, y);
    NearQuotient q;
    if (!near_quotient(x, y, q)) return false;
    uint64_t g[6];
    for (int i = 1; i < 6; ++i) g[i] = swar::limb_to_digits(static_cast<uint32_t>(q.limb[i]));
    const auto c = static_cast<uint64_t>(q.limb[0] / 100),
               d = static_cast<uint64_t>(q.limb[0] % 100);
    // As the digit-by-digit division lays Q out: positions 3 and 4 hold its
    // digits of 100^22 and 100^21, position 25 the last.
    const swar::Run run{{(c << 24) | (d << 32) | (g[1] << 40),
                         (g[1] >> 24) | (g[2] << 8) | (g[3] << 40),
                         (g[3] >> 24) | (g[4] << 8) | (g[5] << 40),
                         (g[5] >> 24) | (static_cast<uint64_t>(q.last) << 8)}};
    emit_digits(negative, exp + 4, run, 28, 51, dst, dstlen);
    return true;
}
#if TAVO_DIGIT_VECTORS
// The 20 digits of an operand in registers as five limbs of 10^8: digit
// pairs, then pairs of pairs, by multiply-adds of neighbouring lanes.
void operand_limbs(const vec::Digits &d, int64_t *l) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i by_100 = _mm_set1_epi32(0x00010064);  // 100 d(2i) + d(2i+1)
    const __m128i by_10k = _mm_set1_epi32(0x00012710);  // 10^4 p(2i) + p(2i+1)
    const __m128i p0 = _mm_madd_epi16(_mm_unpacklo_epi8(d.lo, zero), by_100);
    const __m128i p1 = _mm_madd_epi16(_mm_unpackhi_epi8(d.lo, zero), by_100);
    const __m128i p2 = _mm_madd_epi16(_mm_unpacklo_epi8(d.hi, zero), by_100);
    const __m128i first = _mm_madd_epi16(_mm_packs_epi32(p0, p1), by_10k);
    const __m128i last = _mm_madd_epi16(_mm_packs_epi32(p2, zero), by_10k);
    const auto l01 = static_cast<uint64_t>(_mm_cvtsi128_si64(first));
    const auto l23 = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(first, first)));
    l[0] = static_cast<int64_t>(l01 & 0xFFFFFFFF);
    l[1] = static_cast<int64_t>(l01 >> 32);
    l[2] = static_cast<int64_t>(l23 & 0xFFFFFFFF);
    l[3] = static_cast<int64_t>(l23 >> 32);
    l[4] = _mm_cvtsi128_si32(last);
}

// Limbs below 10^8 in the 32-bit lanes as digit bytes, four a limb, first
// digit first: halves of four digits (x / 10^4 as x * 3518437209 >> 45),
// then tens and units of each half.
__m128i limb_digits(__m128i x) {
    const __m128i magic = _mm_set1_epi32(static_cast<int>(3518437209u));
    const __m128i even = _mm_srli_epi64(_mm_mul_epu32(x, magic), 45);
    const __m128i odd = _mm_srli_epi64(_mm_mul_epu32(_mm_srli_epi64(x, 32), magic), 45);
    const __m128i high = _mm_or_si128(even, _mm_slli_epi64(odd, 32));
    const __m128i low = _mm_sub_epi32(x, _mm_madd_epi16(high, _mm_set1_epi32(10000)));
    const __m128i halves = _mm_or_si128(high, _mm_slli_epi32(low, 16));
    const __m128i tens = _mm_srli_epi16(_mm_mulhi_epu16(halves, _mm_set1_epi16(5243)), 3);
    const __m128i units = _mm_sub_epi16(halves, _mm_mullo_epi16(tens, _mm_set1_epi16(100)));
    return _mm_or_si128(tens, _mm_slli_epi16(units, 8));
}

// A divisor of more than three digits, both operands finite and in
// registers: the result from the exact quotient, written from registers
// when no rounding carry leaves the last limb; false leaves everything to
// the general path.
bool divide_long(const vec::Operand &a, const vec::Operand &b, uint8_t *dst, uint32_t *dstlen) {
    const int exp = a.exp - b.exp;  // of Q's digit of 100^21
    if (exp - 1 < kMinExp || exp > kMaxExp) return false;
    int64_t x[5], y[5];
    operand_limbs(a.d, x);
    operand_limbs(b.d, y);
    NearQuotient q;
    if (!near_quotient(x, y, q)) return false;
    // Q's 20 kept digits and the 21st, which decides the rounding: for 21
    // digits, limbs 1 to 5 and the digit after them; for 22, limb 0's digit,
    // limbs 1 to 4 and limb 5, whose own last digit decides.
    int64_t last = q.limb[5];
    const bool long_q = q.limb[0] != 0;
    if (long_q) {
        if (q.limb[0] > 99) return false;
        const int64_t rounding = last % 100;
        last += (rounding >= 51 ? 100 : 0) - rounding;
    } else {
        last += q.rounds_up ? 1 : 0;
    }
    if (last >= static_cast<int64_t>(kLimbBase)) return false;  // a carry into the limbs before
    const __m128i head =
        limb_digits(_mm_set_epi32(static_cast<int>(q.limb[4]), static_cast<int>(q.limb[3]),
                                  static_cast<int>(q.limb[2]), static_cast<int>(q.limb[1])));
    const __m128i tail = limb_digits(_mm_cvtsi32_si128(static_cast<int>(last)));
    vec::Digits digits{head, tail};
    if (long_q)
        digits = {
            _mm_or_si128(_mm_slli_si128(head, 1), _mm_cvtsi32_si128(static_cast<int>(q.limb[0]))),
            _mm_or_si128(_mm_slli_si128(tail, 1), _mm_srli_si128(head, 15))};
    const uint32_t kept = ~vec::zero_mask(digits) & 0xFFFFF;
    vec::write_number(a.negative != b.negative, long_q ? exp : exp - 1, digits,
                      32 - std::countl_zero(kept), dst, dstlen);
    return true;
}

// A divisor of at most three digits, both operands finite and in registers.
void divide_by_short(const vec::Operand &a, const vec::Operand &b, uint8_t *dst, uint32_t *dstlen) {
    const bool negative = a.negative != b.negative;
    const int first_digit = a.exp - b.exp;
    if (first_digit < kMinExp) return emit(dst, dstlen, make_zero());
    if (first_digit > kMaxExp + 1) return emit(dst, dstlen, make_inf(negative));
    const int exp = first_digit + 2;  // of the first quotient position
    const ShortDivision division(short_divisor(static_cast<uint64_t>(_mm_cvtsi128_si64(b.d.lo))));
    int64_t q[4];
    division.quotient(static_cast<uint64_t>(_mm_cvtsi128_si64(a.d.lo)),
                      static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(a.d.lo, a.d.lo))),
                      static_cast<uint64_t>(_mm_cvtsi128_si64(a.d.hi)), q);
    // The quotient is at least 100^20 (a dividend of at least 100^23 over a
    // divisor below 100^3): its first digit is among the first four
    // positions, and the digit that decides the rounding in the last limb.
    constexpr int64_t kPow100[] = {1, 100, 10000, 1000000, 100000000};
    const int first = q[0] >= 10000000000 ? 0 : q[0] >= 100000000 ? 1 : q[0] >= 1000000 ? 2 : 3;
    const int64_t unit = kPow100[4 - first];  // of the 20th significant digit
    const int64_t rounded = (q[3] + 49 * (unit / 100)) / unit * unit;
    const int e = exp - first;
    if (rounded >= ShortDivision::kLimb || e < kMinExp || e > kMaxExp)
        return emit_digits(negative, exp, ShortDivision::digits(q), 24, 51, dst, dstlen);
    q[3] = rounded;
    // Six limbs of 10^8, two of them straddling the limbs of 10^12.
    const int64_t l0 = q[0] / 10000, l3 = q[2] / 10000;
    const int64_t l1 = (q[0] - l0 * 10000) * 10000 + q[1] / 100000000;
    const int64_t l4 = (q[2] - l3 * 10000) * 10000 + q[3] / 100000000;
    const int64_t l2 = q[1] % 100000000, l5 = q[3] % 100000000;
    const vec::Digits all{
        limb_digits(_mm_set_epi32(static_cast<int>(l3), static_cast<int>(l2), static_cast<int>(l1),
                                  static_cast<int>(l0))),
        limb_digits(_mm_set_epi32(0, 0, static_cast<int>(l5), static_cast<int>(l4)))};
    const vec::Digits digits = vec::shift_down(all, first);
    const uint32_t kept = ~vec::zero_mask(digits) & 0xFFFFF;
    vec::write_number(negative, e, digits, 32 - std::countl_zero(kept), dst, dstlen);
}
#endif

}  // namespace

void divide_into(const Unpacked &a, const Unpacked &b, uint8_t *dst, uint32_t *dstlen) {
    const bool negative = a.is_negative() != b.is_negative();
    if (a.is_inf() || b.is_zero()) return emit(dst, dstlen, make_inf(negative));
    if (a.is_zero() || b.is_inf()) return emit(dst, dstlen, make_zero());
    const int exp = a.exp - b.exp;  // of the first quotient digit
    if (exp < kMinExp) return emit(dst, dstlen, make_zero());
    // At exponent 63 the first quotient digit may still be 0.
    if (exp > kMaxExp + 1) return emit(dst, dstlen, make_inf(negative));
    if (b.count <= 3) return divide_by_short(a, b, negative, exp, dst, dstlen);
    if (divide_from_exact(a, b, negative, exp, dst, dstlen)) return;

    int32_t q[kQuotientDigits + 2];  // the last two stay 0: limbs of four
    q[kQuotientDigits] = q[kQuotientDigits + 1] = 0;
    quotient_digits(a, b, q);
    // Signed digits to limbs of four, normalised from the last; limb 0 takes
    // what carries out of the first digit.
    int64_t limbs[kLimbs + 1] = {};
    for (int i = 0; i < kLimbs; ++i)
        limbs[i + 1] = int64_t{q[4 * i]} * 1000000 + int64_t{q[4 * i + 1]} * 10000 +
                       int64_t{q[4 * i + 2]} * 100 + q[4 * i + 3];
    for (int i = kLimbs; i > 0; --i) {
        int64_t carry = limbs[i] / int64_t{kLimbBase};
        limbs[i] -= carry * int64_t{kLimbBase};
        if (limbs[i] < 0) {
            limbs[i] += kLimbBase;
            --carry;
        }
        limbs[i - 1] += carry;
    }
    if (limbs[0] < 0) return emit(dst, dstlen, make_zero());  // not for valid operands
    uint64_t u[kLimbs + 1];
    for (int i = 0; i <= kLimbs; ++i) u[i] = static_cast<uint64_t>(limbs[i]);
    // limbs[0] holds the four positions in front of the first quotient digit.
    emit_digits(negative, exp + 4, limbs_to_run(u, kLimbs + 1), 4 * (kLimbs + 1), 51, dst, dstlen);
}

Unpacked multiply(const Unpacked &a, const Unpacked &b) {
    return computed([&](uint8_t *dst, uint32_t *dstlen) { multiply_into(a, b, dst, dstlen); });
}

Unpacked divide(const Unpacked &a, const Unpacked &b) {
    return computed([&](uint8_t *dst, uint32_t *dstlen) { divide_into(a, b, dst, dstlen); });
}

namespace {

// A non-negative integer below 10^42 in three limbs of 18 decimal digits,
// least significant first: wide enough for a remainder times 100.
struct Wide {
    static constexpr uint64_t kBase = 1000000000000000000ull;
    uint64_t limb[3] = {};

    // this = this x 100 + digit
    void shift_in(uint32_t digit) {
        unsigned __int128 carry = digit;
        for (uint64_t &l : limb) {
            const unsigned __int128 t = static_cast<unsigned __int128>(l) * 100 + carry;
            l = static_cast<uint64_t>(t % kBase);
            carry = t / kBase;
        }
    }
    int compare(const Wide &o) const {
        for (int i = 2; i >= 0; --i)
            if (limb[i] != o.limb[i]) return limb[i] < o.limb[i] ? -1 : 1;
        return 0;
    }
    // this -= o x q, for o x q <= this
    void subtract(const Wide &o, uint32_t q) {
        unsigned __int128 borrow = 0;
        for (int i = 0; i < 3; ++i) {
            const unsigned __int128 take = static_cast<unsigned __int128>(o.limb[i]) * q + borrow;
            const uint64_t low = static_cast<uint64_t>(take % kBase);
            borrow = take / kBase;
            if (limb[i] < low) {
                limb[i] += kBase - low;
                ++borrow;
            } else {
                limb[i] -= low;
            }
        }
    }
    double approx() const {
        return (static_cast<double>(limb[2]) * 1e18 + static_cast<double>(limb[1])) * 1e18 +
               static_cast<double>(limb[0]);
    }
    // this x q <= o, compared exactly
    bool times_at_most(uint32_t q, const Wide &o) const {
        Wide t = o;
        unsigned __int128 carry = 0;
        Wide p;
        for (int i = 0; i < 3; ++i) {
            const unsigned __int128 v = static_cast<unsigned __int128>(limb[i]) * q + carry;
            p.limb[i] = static_cast<uint64_t>(v % kBase);
            carry = v / kBase;
        }
        return carry == 0 && p.compare(t) <= 0;
    }
};

// |a| mod |b| of two finite non-zero numbers with |a| >= 100^eb, exactly:
// the digits of a, then the zeros down to the lower of the two last digit
// positions, are reduced one at a time by the divisor. The result is below
// |b| and ends no lower than either operand, so it has at most 20 digits.
Unpacked exact_remainder(const Unpacked &a, const Unpacked &b) {
    const int low = std::min(a.exp - a.count + 1, b.exp - b.count + 1);
    Wide divisor;
    for (int i = 0; i < b.count; ++i) divisor.shift_in(b.digit[i]);
    for (int i = b.exp - b.count + 1; i > low; --i) divisor.shift_in(0);
    const double divisor_approx = divisor.approx();
    Wide r;
    for (int position = a.exp; position >= low; --position) {
        const int i = a.exp - position;
        r.shift_in(i < a.count ? a.digit[i] : 0);
        if (r.compare(divisor) < 0) continue;
        // The quotient digit from doubles, off by one at most either way.
        auto q = static_cast<uint32_t>(std::min(99.0, r.approx() / divisor_approx));
        while (q > 0 && !divisor.times_at_most(q, r)) --q;
        r.subtract(divisor, q);
        while (r.compare(divisor) >= 0) r.subtract(divisor, 1);
    }
    // Back to base-100 digits, most significant first.
    uint8_t digits[27] = {};
    for (int l = 0; l < 3; ++l) {
        uint64_t v = r.limb[l];
        for (int k = 0; k < 9; ++k) {
            digits[26 - (9 * l + k)] = static_cast<uint8_t>(v % 100);
            v /= 100;
        }
    }
    return from_digits(a.negative, low + 26, digits, 27);
}

}  // namespace

// a - b x trunc(a / b), the sign of a. For finite operands the remainder is
// computed exactly: the quotient rounded to 20 digits may cross an integer
// (5.99..9 mod 3 would come out negative) and b x quotient may need more
// digits than a number keeps, while the exact remainder always fits.
Unpacked remainder(const Unpacked &a, const Unpacked &b) {
    if (a.is_finite() && b.is_finite()) {
        if (a.exp < b.exp) return a;  // |a| < |b|
        return exact_remainder(a, b);
    }
    // Zeros and infinities: x mod 0 is x, infinities stay.
    const Unpacked whole = round_places(divide(a, b), 0, true);
    return add(a, multiply(b, whole), true);
}

}  // namespace tavo::num

using namespace tavo::num;

extern "C" {

TAVO_API void lnxmul(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
#if TAVO_DIGIT_VECTORS
    if (num1 != nullptr && num2 != nullptr) {
        const auto x = counted_view(num1, len1), y = counted_view(num2, len2);
        vec::Operand a, b;
        if (vec::read_operand(x.data(), static_cast<int>(x.size()), a) &&
            vec::read_operand(y.data(), static_cast<int>(y.size()), b)) {
            // Integers whose product stays below 100^9 multiply exactly in 64
            // bits, with nothing to round.
            if (int64_t p, q;
                a.exp + b.exp <= 7 && vec::small_integer(a, p) && vec::small_integer(b, q))
                return emit_integer(p * q, dst, dstlen);
            return multiply_into(vec::to_unpacked(a), vec::to_unpacked(b), dst, dstlen);
        }
    }
#endif
    multiply_into(load(num1, len1), load(num2, len2), dst, dstlen);
}

TAVO_API void lnxdiv(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
#if TAVO_DIGIT_VECTORS
    if (num1 != nullptr && num2 != nullptr) {
        const auto x = counted_view(num1, len1), y = counted_view(num2, len2);
        vec::Operand a, b;
        if (vec::read_operand(x.data(), static_cast<int>(x.size()), a) &&
            vec::read_operand(y.data(), static_cast<int>(y.size()), b)) {
            if (b.count <= 3) return divide_by_short(a, b, dst, dstlen);
            if (divide_long(a, b, dst, dstlen)) return;
            return divide_into(vec::to_unpacked(a), vec::to_unpacked(b), dst, dstlen);
        }
    }
#endif
    divide_into(load(num1, len1), load(num2, len2), dst, dstlen);
}

TAVO_API void lnxmod(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
    emit(dst, dstlen, remainder(load(num1, len1), load(num2, len2)));
}

void lnxqIMul(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst, uint32_t *dstlen) noexcept {
    multiply_into(load(num, len), from_int(n), dst, dstlen);
}

void lnxqIDiv(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst, uint32_t *dstlen) noexcept {
    divide_into(load(num, len), from_int(n), dst, dstlen);
}

void lnxqIMod(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst, uint32_t *dstlen) noexcept {
    emit(dst, dstlen, remainder(load(num, len), from_int(n)));
}

}  // extern "C"
