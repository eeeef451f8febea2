// Numbers and plain text: reading a number from text (lnxcpn), measuring
// how much of a text is a number (lnxscn), and the digit conversions that
// the format-model code shares.
#include "numbers/lnx_text.hpp"

#include <algorithm>

#include "lnx.h"
#include "lx.h"

namespace tavo::num::text {

Decimal to_decimal(const Unpacked &u) {
    Decimal r;
    if (!u.is_finite()) return r;
    int n = 0;
    const uint8_t first = u.digit[0];
    if (first >= 10) r.d[n++] = static_cast<uint8_t>(first / 10);
    r.d[n++] = static_cast<uint8_t>(first % 10);
    for (int k = 1; k < u.count; ++k) {
        r.d[n++] = static_cast<uint8_t>(u.digit[k] / 10);
        r.d[n++] = static_cast<uint8_t>(u.digit[k] % 10);
    }
    while (n > 0 && r.d[n - 1] == 0) --n;
    r.n = n;
    r.point = integer_decimal_digits(u);
    return r;
}

Unpacked from_decimal(bool negative, const uint8_t *d, int n, int64_t point) {
    while (n > 0 && d[n - 1] == 0) --n;
    if (n == 0) return make_zero();
    // The scientific exponent: the first digit stands for d[0] x 10^sci.
    const int64_t sci = point - 1;
    if (sci < 2 * kMinExp) return make_zero();
    if (sci > 2 * kMaxExp + 1) return make_inf(negative);
    const int s = static_cast<int>(sci);
    const int exp = s >= 0 ? s / 2 : -((1 - s) / 2);  // floor(s / 2)
    // An even exponent puts the first digit alone in its base-100 digit.
    uint8_t b[kMaxDigits + 2] = {};
    int m = 0;
    int i = 0;
    if ((s & 1) == 0) b[m++] = d[i++];
    for (; i < n; i += 2) b[m++] = static_cast<uint8_t>(d[i] * 10 + (i + 1 < n ? d[i + 1] : 0));
    if (m > kMaxDigits) return from_long_digits(negative, exp, b, m, 50);
    return from_digits(negative, exp, b, m);
}

void scan_number(const uint8_t *text, uint32_t len, const Charset &cs, Scan &s) {
    s = Scan{};
    const uint8_t blank = cs.chars[kBlank];
    uint32_t i = 0;
    while (i < len && text[i] == blank) ++i;
    if (i < len && (text[i] == cs.chars[kPlus] || text[i] == cs.chars[kMinus])) {
        s.negative = text[i] == cs.chars[kMinus];
        ++i;
    }
    bool any = false;
    int d;
    // Integer digits: leading zeros drop, digits past the 40th only move
    // the point.
    while (i < len && (d = digit_of(cs, text[i])) >= 0) {
        any = true;
        if (d != 0 || s.n > 0) {
            if (s.n < 40) s.digits[s.n++] = static_cast<uint8_t>(d);
            ++s.point;
        }
        ++i;
    }
    if (i < len && text[i] == cs.decimal) {
        ++i;
        while (i < len && (d = digit_of(cs, text[i])) >= 0) {
            any = true;
            if (s.n == 0 && d == 0)
                --s.point;
            else if (s.n < 40)
                s.digits[s.n++] = static_cast<uint8_t>(d);
            ++i;
        }
    }
    if (!any) {
        s = Scan{};
        return;
    }
    if (s.n == 0) s.point = 0;
    // An exponent counts only with at least one digit.
    if (i < len && (text[i] == cs.chars[kLowerE] || text[i] == cs.chars[kUpperE])) {
        uint32_t j = i + 1;
        bool negative = false;
        if (j < len && (text[j] == cs.chars[kPlus] || text[j] == cs.chars[kMinus])) {
            negative = text[j] == cs.chars[kMinus];
            ++j;
        }
        if (j < len && digit_of(cs, text[j]) >= 0) {
            int64_t e = 0;
            while (j < len && (d = digit_of(cs, text[j])) >= 0) {
                if (e <= 127) e = e * 10 + d;  // far beyond the range already
                ++j;
            }
            s.exponent = negative ? -e : e;
            i = j;
        }
    }
    while (i < len && text[i] == blank) ++i;
    s.consumed = i;
}

namespace {

// The text of a text argument: length 0 means a length byte first.
void text_view(const char *text, uint32_t textlen, const uint8_t *&p, uint32_t &len) {
    p = reinterpret_cast<const uint8_t *>(text);
    len = textlen;
    if (p == nullptr) {
        len = 0;
    } else if (textlen == 0) {
        len = p[0];
        ++p;
    }
}

}  // namespace

}  // namespace tavo::num::text

using namespace tavo::num;
using namespace tavo::num::text;

extern "C" {

TAVO_API void lnxcpn(const char *text, uint32_t textlen, uint8_t *dst, uint32_t *dstlen,
                     uint8_t hasprec, int32_t precision, uint8_t hasscale, int32_t scale,
                     uint32_t *consumed, const struct lxlinfo *lang) noexcept {
    const uint8_t *p;
    uint32_t len;
    text_view(text, textlen, p, len);
    Scan s;
    if (lang != nullptr && lxenvget(lang) == nullptr) len = 0;  // no usable language
    scan_number(p, len, charset_of(lang), s);
    Unpacked value = from_decimal(s.negative, s.digits, s.n, s.point + s.exponent);
    uint32_t used = s.consumed;
    if (hasprec || hasscale) {
        const int64_t digits = hasprec ? precision : 40;
        const int64_t places = hasscale ? scale : 0;
        value = round_places(value, places, false);
        const bool overflow = value.is_inf() || (value.is_finite() &&
                                                 integer_decimal_digits(value) > digits - places);
        if (hasprec && overflow) used = 0;
    }
    emit(dst, dstlen, value);
    if (consumed != nullptr) *consumed = used;
}

TAVO_API uint32_t lnxscn(const char *text, uint32_t textlen, const struct lxlinfo *lang) noexcept {
    const uint8_t *p = reinterpret_cast<const uint8_t *>(text);
    if (p == nullptr) return 0;
    if (lang != nullptr && lxenvget(lang) == nullptr) return 0;
    Scan s;
    scan_number(p, textlen, charset_of(lang), s);
    return s.consumed;
}

}  // extern "C"
