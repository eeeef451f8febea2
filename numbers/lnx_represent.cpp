// The byte format: reading and writing numbers, validity and classification,
// and the unpacked digit, word and work forms.
#include <algorithm>

#include "lnx.h"
#include "numbers/number.hpp"

namespace tavo::num {

namespace {

// A digit byte out of range (malformed input) is clamped into 0..99: the
// result is then some number, never an out-of-range digit.
uint8_t clamp_digit(int d) { return static_cast<uint8_t>(d < 0 ? 0 : (d > 99 ? 99 : d)); }

}  // namespace

Unpacked from_int(int64_t value) {
    if (value == 0) return make_zero();
    const bool negative = value < 0;
    uint64_t mag = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    uint8_t rev[10];
    int k = 0;
    while (mag != 0) {
        rev[k++] = static_cast<uint8_t>(mag % 100);
        mag /= 100;
    }
    uint8_t digits[10];
    for (int i = 0; i < k; ++i) digits[i] = rev[k - 1 - i];
    return from_digits(negative, k - 1, digits, k);
}

Unpacked decode(std::span<const uint8_t> bytes) {
    const int n = static_cast<int>(bytes.size());
    if (n == 0) return make_zero();
    const uint8_t head = bytes[0];
    uint8_t digits[kMaxDigits];
    int count = 0;
    if (head & 0x80) {
        if (n >= 2 && head == 0xFF && bytes[1] == 101) return make_inf(false);
        for (int i = 1; i < n && count < kMaxDigits; ++i) digits[count++] = clamp_digit(bytes[i] - 1);
        return from_digits(false, head - kPosExpBase, digits, count);
    }
    if (n == 1 && head == 0x00) return make_inf(true);
    for (int i = 1; i < n && count < kMaxDigits; ++i) {
        if (bytes[i] == kTerminator && i == n - 1) break;
        digits[count++] = clamp_digit(101 - bytes[i]);
    }
    return from_digits(true, kNegExpBase - head, digits, count);
}

int encode(const Unpacked &u, uint8_t *out) {
    switch (u.kind) {
        case Kind::zero:
            out[0] = kZeroByte;
            return 1;
        case Kind::pos_inf:
            out[0] = 0xFF;
            out[1] = 101;
            return 2;
        case Kind::neg_inf:
            out[0] = 0x00;
            return 1;
        case Kind::finite:
            break;
    }
    if (u.exp > kMaxExp) return encode(make_inf(u.negative), out);
    if (u.exp < kMinExp || u.count <= 0) return encode(make_zero(), out);
    const int n = std::min(u.count, kMaxDigits);
    if (!u.negative) {
        out[0] = static_cast<uint8_t>(kPosExpBase + u.exp);
        for (int i = 0; i < n; ++i) out[i + 1] = static_cast<uint8_t>(u.digit[i] + 1);
        return n + 1;
    }
    out[0] = static_cast<uint8_t>(kNegExpBase - u.exp);
    for (int i = 0; i < n; ++i) out[i + 1] = static_cast<uint8_t>(101 - u.digit[i]);
    if (n < kMaxDigits) {
        out[n + 1] = kTerminator;
        return n + 2;
    }
    return n + 1;
}

Bytes load_bytes(const uint8_t *num, int32_t len) {
    Bytes out;
    if (num == nullptr) {
        out.len = encode(from_int(len), out.b.data());
    } else {
        const auto v = counted_view(num, len);
        std::copy(v.begin(), v.end(), out.b.begin());
        out.len = static_cast<int>(v.size());
    }
    return out;
}

Unpacked from_digits(bool negative, int exp, const uint8_t *digits, int count) {
    int first = 0;
    while (first < count && digits[first] == 0) ++first;
    int last = count;
    while (last > first && digits[last - 1] == 0) --last;
    if (first == last) return make_zero();
    exp -= first;
    if (exp < kMinExp) return make_zero();
    if (exp > kMaxExp) return make_inf(negative);
    Unpacked u;
    u.kind = Kind::finite;
    u.negative = negative;
    u.exp = exp;
    u.count = std::min(last - first, kMaxDigits);
    std::copy_n(digits + first, u.count, u.digit.begin());
    return u;
}

Unpacked from_long_digits(bool negative, int exp, const uint8_t *digits, int count,
                          int round_from) {
    int first = 0;
    while (first < count && digits[first] == 0) ++first;
    if (first == count) return make_zero();
    digits += first;
    count -= first;
    exp -= first;
    if (exp < kMinExp) return make_zero();
    if (count <= kMaxDigits) return from_digits(negative, exp, digits, count);
    uint8_t kept[kMaxDigits];
    std::copy_n(digits, kMaxDigits, kept);
    int n = kMaxDigits;
    if (digits[kMaxDigits] >= round_from) {
        // One unit in the 20th digit; 99s become trailing zeros and drop.
        int i = kMaxDigits - 1;
        while (i >= 0 && kept[i] == 99) --i;
        if (i < 0) {
            kept[0] = 1;
            n = 1;
            ++exp;
        } else {
            ++kept[i];
            n = i + 1;
        }
    }
    return from_digits(negative, exp, kept, n);
}

int compare_magnitude(const Unpacked &a, const Unpacked &b) {
    if (a.exp != b.exp) return a.exp < b.exp ? -1 : 1;
    const int n = std::min(a.count, b.count);
    for (int i = 0; i < n; ++i)
        if (a.digit[i] != b.digit[i]) return a.digit[i] < b.digit[i] ? -1 : 1;
    return a.count == b.count ? 0 : (a.count < b.count ? -1 : 1);
}

Unpacked negate(Unpacked u) {
    switch (u.kind) {
        case Kind::zero:
            return u;
        case Kind::pos_inf:
            return make_inf(true);
        case Kind::neg_inf:
            return make_inf(false);
        case Kind::finite:
            u.negative = !u.negative;
            return u;
    }
    return u;
}

namespace {

// The work form: exponent byte (65 + e) then digits; a first digit of 100
// is a carry out of the top.
Unpacked from_work(const uint8_t *work, int len, bool negative) {
    if (len < 2) return make_zero();
    if (work[1] >= 100) return make_inf(negative);
    const int exp = (work[0] & 0x7F) - 65;
    // Only the first 21 significant digits matter; leading zeros may be many.
    int first = 1;
    while (first < len && work[first] == 0) ++first;
    if (first == len) return make_zero();
    uint8_t digits[kMaxDigits + 1];
    const int count = std::min(len - first, kMaxDigits + 1);
    for (int i = 0; i < count; ++i) digits[i] = clamp_digit(work[first + i]);
    return from_long_digits(negative, exp - (first - 1), digits, count, 50);
}

}  // namespace

}  // namespace tavo::num

using namespace tavo::num;

extern "C" {

TAVO_API int32_t lnxchk(const uint8_t *num, int32_t len) noexcept {
    if (num == nullptr) return 1;  // a machine integer is always a number
    if (len < 0) return 0;
    const uint8_t *p = num;
    int n = len;
    if (len == 0) {
        n = num[0];
        p = num + 1;
        if (n == 0) return 0;
    }
    if (n > kMaxLen) return 0;
    // One byte: zero or negative infinity; anything else has no digits.
    if (n == 1) return p[0] == kZeroByte || p[0] == 0x00;
    if (n == 2 && p[0] == 0xFF && p[1] == 101) return 1;
    if (p[0] & 0x80) {
        for (int i = 1; i < n; ++i)
            if (p[i] < 1 || p[i] > 100) return 0;
        return 1;
    }
    for (int i = 1; i < n; ++i) {
        if (p[i] == kTerminator) {
            if (i != n - 1) return 0;
        } else if (p[i] < 2 || p[i] > 101) {
            return 0;
        }
    }
    return p[n - 1] == kTerminator || n - 1 == kMaxDigits;
}

TAVO_API int32_t lnxsgn(const uint8_t *num, int32_t len) noexcept {
    if (num == nullptr) return len < 0 ? -1 : (len > 0 ? 1 : 0);
    const auto v = counted_view(num, len);
    if (v.empty() || (v.size() == 1 && v[0] == kZeroByte)) return 0;
    return (v[0] & 0x80) ? 1 : -1;
}

TAVO_API int32_t lnxint(const uint8_t *num, int32_t len) noexcept {
    const Unpacked u = load(num, len);
    switch (u.kind) {
        case Kind::zero:
            return 1;
        case Kind::pos_inf:
            return 3;
        case Kind::neg_inf:
            return 4;
        case Kind::finite:
            break;
    }
    return u.count > u.exp + 1 ? 2 : 1;
}

TAVO_API void lnxqcop(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen) noexcept {
    const Bytes b = load_bytes(num, len);
    store(dst, dstlen, b.b.data(), b.len);
}

TAVO_API int32_t lnxqgnm(uint8_t *digits, uint32_t size, const uint8_t *num,
                         int32_t len) noexcept {
    const Unpacked u = load(num, len);
    uint8_t form[kMaxLen + 1] = {};
    if (u.is_inf()) {
        form[0] = 1;
        form[1] = 0x7F;
        form[2] = 100;
    } else if (u.is_finite()) {
        form[0] = static_cast<uint8_t>(u.count);
        form[1] = static_cast<uint8_t>(65 + u.exp);
        std::copy_n(u.digit.begin(), u.count, form + 2);
    }
    if (digits != nullptr && size != 0) {
        std::fill_n(digits, size, 0);
        std::copy_n(form, std::min<uint32_t>(size, sizeof form), digits);
    }
    return u.is_negative() ? 1 : 0;
}

TAVO_API int32_t lnxqosb(const uint8_t *num, int32_t len, int32_t *words, int32_t *exponent,
                         int32_t **begin, int32_t **end) noexcept {
    const Unpacked u = load(num, len);
    int32_t exp = u.is_zero() ? kMinExp : kMaxExp;
    int count = 0;
    if (u.is_finite()) {
        exp = u.exp;
        count = u.count;
        for (int i = 0; i < count; ++i) words[i] = u.digit[i];
    }
    if (exponent) *exponent = exp;
    if (begin) *begin = words;
    if (end) *end = words + count;
    return u.is_negative() ? 0 : 1;
}

TAVO_API void lnxqsbo(uint8_t *dst, uint32_t *dstlen, int32_t sign, int32_t exponent,
                      const int32_t *begin, const int32_t *end) noexcept {
    if (begin == nullptr || end == nullptr || end < begin) begin = end = nullptr;
    while (begin != end && *begin == 0) {
        ++begin;
        --exponent;
    }
    // Only the first 21 words matter: the 21st decides, 50 rounding down.
    uint8_t digits[kMaxDigits + 1];
    int count = 0;
    for (const int32_t *w = begin; w != end && count <= kMaxDigits; ++w)
        digits[count++] = static_cast<uint8_t>(*w < 0 ? 0 : (*w > 99 ? 99 : *w));
    emit(dst, dstlen, from_long_digits(sign == 0, exponent, digits, count, 51));
}

TAVO_API int32_t lnxqnrm(uint8_t *work, int32_t len) noexcept {
    if (work == nullptr || len < 1) return 0;
    if (len >= 2 && work[1] >= 100) return len;  // overflow stays marked
    const Unpacked u = from_work(work, len, false);
    if (u.is_inf()) {
        work[1] = 100;
        return 2;
    }
    if (u.is_zero()) {
        work[0] = 0;
        return 1;
    }
    work[0] = static_cast<uint8_t>(65 + u.exp);
    std::copy_n(u.digit.begin(), u.count, work + 1);
    return u.count + 1;
}

TAVO_API void lnxqprs(const uint8_t *work, uint8_t *dst, uint32_t *dstlen,
                      int32_t negative) noexcept {
    const int len = work == nullptr ? 0 : work[0];
    emit(dst, dstlen, len == 0 ? make_zero() : from_work(work + 1, len, negative != 0));
}

}  // extern "C"
