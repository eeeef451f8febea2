// Multiplication, division and remainder, computed on 32-bit words that
// hold one base-100 digit each and may leave 0..99 until normalised.
#include <algorithm>

#include "lnx.h"
#include "numbers/lnx_internal.h"
#include "numbers/number.hpp"

namespace tavo::num {

namespace {

// A product keeps 23 positions after the carry position in front of them;
// partial products that would land further right are never formed.
constexpr int kProductPositions = 23;
// A quotient is developed over a dividend of 24 words: 22 quotient digits.
constexpr int kDividendWords = 24;
constexpr int kQuotientDigits = kDividendWords - 2;

// Packs words that are already 0..99 (the 21st rounds up only above 50).
Unpacked from_words(bool negative, int exp, const int32_t *words, int count) {
    uint8_t digits[kMaxDigits + 1];
    int first = 0;
    while (first < count && words[first] == 0) ++first;
    const int n = std::min(count - first, kMaxDigits + 1);
    for (int i = 0; i < n; ++i) digits[i] = static_cast<uint8_t>(words[first + i]);
    return from_long_digits(negative, exp - first, digits, n, 51);
}

// Quotient of a running remainder by the trial divisor, truncated toward
// zero as integer division would, from a precomputed reciprocal: the
// estimate is off by at most one and corrected with the remainder.
struct TrialDivisor {
    int32_t d;
    double inverse;
    explicit TrialDivisor(int32_t divisor) : d(divisor), inverse(1.0 / divisor) {}
    int32_t quotient(int32_t r) const {
        auto q = static_cast<int32_t>(static_cast<double>(r) * inverse);
        const int32_t rem = r - q * d;
        if (r >= 0) {
            if (rem < 0) --q;
            else if (rem >= d) ++q;
        } else {
            if (rem > 0) ++q;
            else if (rem <= -d) --q;
        }
        return q;
    }
};

}  // namespace

Unpacked multiply(const Unpacked &a, const Unpacked &b) {
    const bool negative = a.is_negative() != b.is_negative();
    if (a.is_zero() || b.is_zero()) return make_zero();
    if (a.is_inf() || b.is_inf()) return make_inf(negative);
    int exp = a.exp + b.exp + 1;
    if (exp < kMinExp) return make_zero();
    if (exp > kMaxExp + 1) return make_inf(negative);

    // p[0] is the carry position; a[i] x b[j] lands in p[i + j + 1].
    int32_t p[kProductPositions + 1] = {};
    int32_t bw[kMaxDigits];
    for (int j = 0; j < b.count; ++j) bw[j] = b.digit[j];
    for (int i = 0; i < a.count; ++i) {
        const int32_t ai = a.digit[i];
        const int jn = std::min(b.count, kProductPositions - i);
        int32_t *row = p + i + 1;
        for (int j = 0; j < jn; ++j) row[j] += ai * bw[j];
    }
    for (int k = kProductPositions; k > 0; --k) {
        p[k - 1] += p[k] / 100;
        p[k] %= 100;
    }
    if (p[0] == 0) {
        if (--exp < kMinExp) return make_zero();
        return from_words(negative, exp, p + 1, kProductPositions);
    }
    if (exp > kMaxExp) return make_inf(negative);
    return from_words(negative, exp, p, kProductPositions + 1);
}

Unpacked divide(const Unpacked &a, const Unpacked &b) {
    const bool negative = a.is_negative() != b.is_negative();
    if (a.is_inf() || b.is_zero()) return make_inf(negative);
    if (a.is_zero() || b.is_inf()) return make_zero();
    const int exp = a.exp - b.exp;
    if (exp < kMinExp) return make_zero();
    // At exponent 63 the first quotient digit may still be 0.
    if (exp > kMaxExp + 1) return make_inf(negative);

    int32_t rem[kDividendWords] = {};
    for (int i = 0; i < a.count; ++i) rem[i] = a.digit[i];
    const auto digit_b = [&b](int j) -> int32_t { return j < b.count ? b.digit[j] : 0; };
    const TrialDivisor trial(10000 * digit_b(0) + 100 * digit_b(1) + digit_b(2));

    // q[0] takes a carry out of the first quotient digit.
    int32_t q[kQuotientDigits + 1] = {};
    int32_t r = 100 * rem[0] + rem[1];
    int last_nonzero = a.count - 1;  // highest dividend word that may be non-zero
    for (int k = 0; k < kQuotientDigits; ++k) {
        const int i = k + 2;
        r = 100 * r + rem[i];
        const int32_t qk = trial.quotient(r);
        q[k + 1] = qk;
        r -= qk * trial.d;
        if (qk != 0) {
            // The divisor's digits past the third, aligned under the dividend.
            const int jn = std::min(b.count, kDividendWords - k);
            for (int j = 3; j < jn; ++j) rem[k + j] -= qk * b.digit[j];
            last_nonzero = std::max(last_nonzero, k + jn - 1);
        } else if (r == 0 && last_nonzero <= i) {
            break;  // nothing left to divide
        }
    }
    for (int k = kQuotientDigits; k > 0; --k) {
        int32_t carry = q[k] / 100;
        q[k] %= 100;
        if (q[k] < 0) {
            q[k] += 100;
            --carry;
        }
        q[k - 1] += carry;
    }
    if (q[0] < 0) return make_zero();  // cannot happen for valid operands
    return from_words(negative, exp + 1, q, kQuotientDigits + 1);
}

Unpacked remainder(const Unpacked &a, const Unpacked &b) {
    const Unpacked whole = round_places(divide(a, b), 0, true);
    return add(a, multiply(b, whole), true);
}

}  // namespace tavo::num

using namespace tavo::num;

extern "C" {

TAVO_API void lnxmul(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
    emit(dst, dstlen, multiply(load(num1, len1), load(num2, len2)));
}

TAVO_API void lnxdiv(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
    emit(dst, dstlen, divide(load(num1, len1), load(num2, len2)));
}

TAVO_API void lnxmod(const uint8_t *num1, int32_t len1, const uint8_t *num2, int32_t len2,
                     uint8_t *dst, uint32_t *dstlen) noexcept {
    emit(dst, dstlen, remainder(load(num1, len1), load(num2, len2)));
}

void lnxqIMul(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst, uint32_t *dstlen) noexcept {
    emit(dst, dstlen, multiply(load(num, len), from_int(n)));
}

void lnxqIDiv(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst, uint32_t *dstlen) noexcept {
    emit(dst, dstlen, divide(load(num, len), from_int(n)));
}

void lnxqIMod(const uint8_t *num, int32_t len, int32_t n, uint8_t *dst, uint32_t *dstlen) noexcept {
    emit(dst, dstlen, remainder(load(num, len), from_int(n)));
}

}  // extern "C"
