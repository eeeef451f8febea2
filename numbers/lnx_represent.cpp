// The byte format: reading and writing numbers, validity and classification,
// and the unpacked digit, word and work forms.
#include <algorithm>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "lnx.h"
#include "numbers/digit_vectors.hpp"
#include "numbers/number.hpp"
#include "numbers/swar.hpp"

namespace tavo::num {

namespace {

// A digit byte out of range (malformed input) is clamped into 0..99: the
// result is then some number, never an out-of-range digit.
uint8_t clamp_digit(int d) {
    return static_cast<uint8_t>(d < 0 ? 0 : (d > 99 ? 99 : d));
}

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

namespace {

using swar::Run;

// Turns the raw digit bytes of a number (count of them, zero above) into
// digits 0..99: byte - 1 for a positive number, 101 - byte for a negative
// one, clamped into 0..99 so that a malformed byte still gives a digit.
void raw_to_digits(const Run &raw, int count, bool negative, uint8_t *digits) {
#if defined(__SSE2__)
    const __m128i ninety_nine = _mm_set1_epi8(99);
    const __m128i lanes = _mm_set_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    const __m128i limit = _mm_set1_epi8(static_cast<char>(count));
    const __m128i offset16 = _mm_set1_epi8(16);
    const auto convert = [&](__m128i v, __m128i index) {
        __m128i d =
            negative ? _mm_subs_epu8(_mm_set1_epi8(101), v) : _mm_subs_epu8(v, _mm_set1_epi8(1));
        d = _mm_min_epu8(d, ninety_nine);
        return _mm_and_si128(d, _mm_cmpgt_epi8(limit, index));  // zero past count
    };
    const __m128i lo =
        _mm_set_epi64x(static_cast<int64_t>(raw.w[1]), static_cast<int64_t>(raw.w[0]));
    const __m128i hi = _mm_set_epi64x(0, static_cast<int64_t>(raw.w[2]));
    auto *out = reinterpret_cast<__m128i *>(digits);
    _mm_store_si128(out, convert(lo, lanes));
    _mm_store_si128(out + 1, convert(hi, _mm_add_epi8(lanes, offset16)));
#else
    for (int i = 0; i < 32; ++i) {
        const int b = raw.byte(i & 31);
        const int d = i >= count ? 0 : (negative ? 101 - b : b - 1);
        digits[i] = static_cast<uint8_t>(d < 0 ? 0 : (d > 99 ? 99 : d));
    }
#endif
}

// The count <= 20 digit bytes at p, reading nothing past p + count. Long
// numbers, the common case, take two loads.
Run read_digit_bytes(const uint8_t *p, int count) {
    if (count < 16) return swar::read_run(p, count);
    Run r;
    r.w[0] = swar::load_le(p);
    r.w[1] = swar::load_le(p + 8);
    uint32_t tail;  // digits count - 4 .. count - 1
    std::memcpy(&tail, p + count - 4, 4);
    r.w[2] = uint64_t{tail} >> (8 * (20 - count));
    return r;
}

}  // namespace

Unpacked decode(std::span<const uint8_t> bytes) {
    const int n = static_cast<int>(bytes.size());
    if (n == 0) return make_zero();
    const uint8_t head = bytes[0];
    Unpacked u;
    u.kind = Kind::finite;
    if (head & 0x80) {
        if (n == 1) return make_zero();
        if (head == 0xFF && bytes[1] == 101) return make_inf(false);
        u.count = std::min(n - 1, kMaxDigits);
        u.exp = head - kPosExpBase;
    } else {
        if (n == 1) return head == 0x00 ? make_inf(true) : make_zero();
        int count = n - 1;
        if (bytes[n - 1] == kTerminator) --count;
        u.count = std::min(count, kMaxDigits);
        u.negative = true;
        u.exp = kNegExpBase - head;
    }
    raw_to_digits(read_digit_bytes(bytes.data() + 1, u.count), u.count, u.negative, u.digit.data());
    // Normalised numbers have neither leading nor trailing zero digits.
    if (u.count == 0 || u.digit[0] == 0 || u.digit[u.count - 1] == 0)
        return from_digits(u.negative, u.exp, u.digit.data(), u.count);
    return u;
}

namespace {

// The bytes of a finite number: exponent byte, biased digits d[0 .. m)
// (d zero past m), terminator on a short negative. Returns the length.
int finite_bytes(bool negative, int exp, const Run &d, int m, Run &out) {
    using namespace swar;
    Run biased;
    for (int i = 0; i < 3; ++i) biased.w[i] = negative ? 101 * kOnes - d.w[i] : d.w[i] + kOnes;
    int n = m + 1;
    if (negative && m < kMaxDigits) {
        biased.set_byte(m, kTerminator);
        ++n;
    }
    out = shift_up(biased, 1);
    out.w[0] |= static_cast<uint8_t>(negative ? kNegExpBase - exp : kPosExpBase + exp);
    return n;
}

int special_bytes(Kind kind, Run &out) {
    out = Run{};
    if (kind == Kind::pos_inf) {
        out.w[0] = 0xFF | (101 << 8);
        return 2;
    }
    out.w[0] = kind == Kind::neg_inf ? 0x00 : kZeroByte;
    return 1;
}

int number_bytes(const Unpacked &u, Run &out) {
    if (u.kind != Kind::finite) return special_bytes(u.kind, out);
    if (u.exp > kMaxExp) return special_bytes(u.negative ? Kind::neg_inf : Kind::pos_inf, out);
    if (u.exp < kMinExp || u.count <= 0) return special_bytes(Kind::zero, out);
    // The digit array is zero past count.
    return finite_bytes(u.negative, u.exp, swar::load_run(u.digit.data()),
                        std::min(u.count, kMaxDigits), out);
}

// Writes n bytes of number, held in a run, in the form the caller asked for.
void put(uint8_t *dst, uint32_t *dstlen, const Run &bytes, int n) {
    if (dst == nullptr) return;
    if (dstlen != nullptr) {
        swar::write_run(dst, bytes, n);
        *dstlen = static_cast<uint32_t>(n);
    } else {
        Run prefixed = swar::shift_up(bytes, 1);
        prefixed.w[0] |= static_cast<uint8_t>(n);
        swar::write_run(dst, prefixed, n + 1);
    }
}

}  // namespace

int encode(const Unpacked &u, uint8_t *out) {
    Run bytes;
    const int n = number_bytes(u, bytes);
    for (int i = 0; i < 4; ++i) swar::store_le(out + 8 * i, bytes.w[i]);
    return n;
}

void emit(uint8_t *dst, uint32_t *dstlen, const Unpacked &u) {
#if TAVO_DIGIT_VECTORS
    if (u.kind == Kind::finite && u.exp >= kMinExp && u.exp <= kMaxExp && u.count > 0 &&
        u.count <= kMaxDigits) {
        const auto *v = reinterpret_cast<const __m128i *>(u.digit.data());
        vec::write_number(u.negative, u.exp, {_mm_load_si128(v), _mm_load_si128(v + 1)}, u.count,
                          dst, dstlen);
        return;
    }
#endif
    Run bytes;
    const int n = number_bytes(u, bytes);
    put(dst, dstlen, bytes, n);
}

void emit_digits(bool negative, int exp, const Run &d, int n, int round_from, uint8_t *dst,
                 uint32_t *dstlen) {
#if TAVO_DIGIT_VECTORS
    // In registers unless a rounding carry runs through a 99.
    {
        const vec::Digits all = vec::from_run(d);
        const uint32_t nonzero = ~vec::zero_mask(all);
        const int first = std::countr_zero(nonzero | (1u << 31));
        const int e = exp - first;
        if (first < n && e >= kMinExp) {
            vec::Digits r = vec::shift_down(all, first);
            int rounding = 0;
            if (n - first > kMaxDigits) rounding = _mm_extract_epi16(r.hi, 2) & 0xFF;
            r.hi = _mm_and_si128(r.hi, _mm_set_epi32(0, 0, 0, -1));
            bool settled = true;
            if (rounding >= round_from) {
                if ((_mm_extract_epi16(r.hi, 1) >> 8) == 99) {
                    settled = false;
                } else {
                    r.hi = _mm_add_epi8(r.hi, _mm_set_epi32(0, 0, 0, 1 << 24));
                }
            }
            if (settled && e <= kMaxExp) {
                const uint32_t kept = ~vec::zero_mask(r) & 0xFFFFF;
                vec::write_number(negative, e, r, 32 - std::countl_zero(kept), dst, dstlen);
                return;
            }
        }
    }
#endif
    Run bytes;
    const int first = swar::first_nonzero(d);
    if (first >= n) {
        put(dst, dstlen, bytes, special_bytes(Kind::zero, bytes));
        return;
    }
    exp -= first;
    if (exp < kMinExp) {
        put(dst, dstlen, bytes, special_bytes(Kind::zero, bytes));
        return;
    }
    Run r = swar::shift_down(d, first);
    if (n - first > kMaxDigits) {
        const uint8_t rounding = r.byte(kMaxDigits);
        r.w[2] &= 0xFFFFFFFF;  // keep digits 16..19
        r.w[3] = 0;
        if (rounding >= round_from) {
            // One unit in the 20th digit; 99s become trailing zeros.
            int i = kMaxDigits - 1;
            while (i >= 0 && r.byte(i) == 99) r.set_byte(i--, 0);
            if (i < 0) {
                r.set_byte(0, 1);
                ++exp;
            } else {
                r.set_byte(i, static_cast<uint8_t>(r.byte(i) + 1));
            }
        }
    }
    if (exp > kMaxExp) {
        put(dst, dstlen, bytes, special_bytes(negative ? Kind::neg_inf : Kind::pos_inf, bytes));
        return;
    }
    const int m = swar::end_of_nonzero(r);  // trailing zeros drop
    put(dst, dstlen, bytes, finite_bytes(negative, exp, r, m, bytes));
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
    // Zero padding makes the byte order of the digit arrays the numeric one.
    const int c = std::memcmp(a.digit.data(), b.digit.data(), kDigitSlots);
    return (c > 0) - (c < 0);
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
    const int64_t lowered = int64_t{exp} - (first - 1);
    if (lowered < kMinExp) return make_zero();
    uint8_t digits[kMaxDigits + 1];
    const int count = std::min(len - first, kMaxDigits + 1);
    for (int i = 0; i < count; ++i) digits[i] = clamp_digit(work[first + i]);
    return from_long_digits(negative, static_cast<int>(lowered), digits, count, 50);
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

TAVO_API int32_t lnxqgnm(uint8_t *digits, uint32_t size, const uint8_t *num, int32_t len) noexcept {
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
    int64_t exp = exponent;  // leading zeros may take it below any int
    while (begin != end && *begin == 0) {
        ++begin;
        --exp;
    }
    if (begin == end || exp < kMinExp) return emit(dst, dstlen, make_zero());
    // A rounding carry raises the exponent by one at most.
    if (exp > kMaxExp + 1) return emit(dst, dstlen, make_inf(sign == 0));
    // Only the first 21 words matter: the 21st decides, 50 rounding down.
    uint8_t digits[kMaxDigits + 1];
    int count = 0;
    for (const int32_t *w = begin; w != end && count <= kMaxDigits; ++w)
        digits[count++] = static_cast<uint8_t>(*w < 0 ? 0 : (*w > 99 ? 99 : *w));
    emit(dst, dstlen, from_long_digits(sign == 0, static_cast<int>(exp), digits, count, 51));
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
