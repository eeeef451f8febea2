// Text to dates: reading the items of a compiled format from text through
// the language services (numbers, names, numerals, eras), assembling a
// date from them with a reference date for what the text leaves out, and
// checking text against a model.
#include <cstring>

#include "dates/ldx_internal.h"
#include "sosd.h"

namespace tavo::dates {
namespace {

const lxlinfo *language_of(const ldxctx *ctx) noexcept {
    return ctx->env != nullptr ? ctx->env : lxldflt();
}

uint32_t language_flags(const ldxctx *ctx) noexcept {
    const lxlinfo *info = language_of(ctx);
    return info != nullptr ? info->flags : 0;
}

bool ascii_set(ldxctx *ctx) noexcept {
    int32_t cs = lxcsid(&ctx->work);
    return cs < 0 || lxcsascii(cs) != 0;
}

// Bytes of the text of a literal item of `chars` characters.
uint32_t literal_bytes(ldxctx *ctx, const uint8_t *text, uint32_t chars) noexcept {
    if ((language_flags(ctx) & LXF_SINGLEBYTE) != 0) return chars;
    lxcur c;
    lxcopen(&c, text, 4 * chars, &ctx->work);
    for (uint32_t i = 0; i < chars && lxcend(&c) == 0; ++i) lxcnext(&c);
    return c.pos;
}

// The item after the one at item.
const uint8_t *next_item(ldxctx *ctx, const uint8_t *item) noexcept {
    if (item[0] == 0) return item;
    if (item[0] < LDXK_LITERAL) return item + 2;
    uint32_t chars = item[0] - LDXK_LITERAL;
    return item + 1 + literal_bytes(ctx, item + 1, chars);
}

bool is_space(const lxcur &c) noexcept {
    return (lxcclass(&c) & LXC_SPACE) != 0;
}

uint32_t skip_spaces(lxcur &c) noexcept {
    uint32_t n = 0;
    // Single-byte sets: one byte a character, classes from the set's table.
    if (const uint16_t *classes = lxcsclass(c.cs)) {
        while (c.pos < c.len && (classes[c.text[c.pos]] & LXC_SPACE) != 0) ++c.pos, ++n;
        c.chars += n;
        return n;
    }
    while (lxcend(&c) == 0 && is_space(c)) {
        lxcnext(&c);
        ++n;
    }
    return n;
}

void skip_chars(lxcur &c, uint32_t n) noexcept {
    if (lxcsclass(c.cs) != nullptr) {
        uint32_t k = c.len - c.pos < n ? c.len - c.pos : n;
        c.pos += k;
        c.chars += k;
        return;
    }
    for (uint32_t i = 0; i < n && lxcend(&c) == 0; ++i) lxcnext(&c);
}

bool is_minus(const lxcur &c, bool ascii) noexcept {
    return lxcchar(&c) == (ascii ? 0x2Du : 0x60u);
}

bool digit_follows(lxcur c) noexcept {
    lxcnext(&c);
    return (lxcclass(&c) & LXC_DIGIT) != 0;
}

// A literal item of text: matched exactly, or skipped leniently.
void read_literal(ldxctx *ctx, lxcur &c, const uint8_t *item, uint32_t skipped) noexcept {
    uint32_t n = item[0] - LDXK_LITERAL;
    if (ctx->exact != 0) {
        uint32_t bytes = literal_bytes(ctx, item + 1, n);
        if (lxccmp(&c, item + 1, bytes, 0) != 0) {
            raise(ctx, 1861);
            return;
        }
        skip_chars(c, n);
        return;
    }
    const uint8_t *next = next_item(ctx, item);
    bool element_next = next[0] < LDXK_LITERAL;
    bool at_punct = lxcend(&c) == 0 && (lxcclass(&c) & (LXC_ALPHA | LXC_DIGIT)) == 0;
    if (element_next && at_punct) {
        bool signed_next = next[0] != 0 && (ldxfcd[next[0]].kind & 0xA0) == 0x20;
        if (signed_next && is_minus(c, ascii_set(ctx)) && digit_follows(c)) {
            // The minus is the literal, or the number's sign.
            if (n - skipped == 1 && n > skipped)
                skip_chars(c, 1);
            else if (n > skipped)
                raise(ctx, 1861);
            return;
        }
        skip_chars(c, n);
        return;
    }
    if (n > skipped) skip_chars(c, n - skipped);
}

// A numeric element: digits (a sign for signed elements, group characters
// for the comma forms), at most the element's width. Unless another number
// follows at once in the model ("YYYYMMDD"), the digits must end within
// that width: a digit more is too many (1858), not the start of the next
// field or a character a literal would skip.
int32_t read_number(ldxctx *ctx, lxcur &c, int32_t code, uint32_t flags, bool whole) noexcept {
    const ldxfce &e = ldxfcd[code];
    uint32_t width = e.kind & 0x0F;
    bool sign = (e.kind & 0x20) != 0;
    uint32_t chars = 0;
    if (sign && ctx->exact != 0 && lxcend(&c) == 0 && is_space(c)) {
        // The blank written in place of a plus sign.
        lxcnext(&c);
        chars = 1;
    }
    // The width counts the sign and the group character, which are no digits.
    bool group = (e.kind & 0x10) != 0;
    uint32_t digits = width - (sign ? 1 : 0) - (group ? 1 : 0);
    uint32_t left = lxccount(&c);
    if (digits > left) digits = left;
    uint32_t rflags = (sign ? LXR_SIGN : 0) | (group ? LXR_GROUP : 0) |
                      (whole && !group ? LXR_WHOLE : 0);  // a blank may group digits
    int32_t value = 0;
    int32_t status = digits == 0 ? LXS_NOMATCH : lxrint(&c, digits, rflags, &value, &ctx->work);
    if (status != LXS_OK) {
        raise(ctx, status == LXS_DIGITS ? 1858 : e.err);
        return 0;
    }
    chars += ctx->work.consumed;
    if (ctx->exact != 0 && (flags & LDXM_FILL) != 0 && chars != width) {
        raise(ctx, 1862);
        return value;
    }
    if (value < e.min || value > e.max) raise(ctx, e.err);
    return value;
}

// One of the language's words for the element: months 1..12, weekdays as
// ldxdow counts them, 0 or 1 for the meridian and era words.
int32_t read_word(ldxctx *ctx, lxcur &c, int32_t code) noexcept {
    const ldxfce &e = ldxfcd[code];
    int32_t item = lxritem(&c, e.min, static_cast<int32_t>(e.max), &ctx->work);
    if (item < 0) {
        raise(ctx, e.err);
        return 0;
    }
    int32_t pos = item - e.min;
    switch (code) {
        case LDXK_MONTH:
        case LDXK_MON:
            return pos + 1;
        case LDXK_DAY:
        case LDXK_DY: {
            int32_t first = lxitemn(LXI_FIRSTDAY, &ctx->work);
            int32_t v = pos + 1 - (first < 0 ? 0 : first);
            return v < 1 ? v + 7 : v;
        }
        default:
            return pos;
    }
}

// "a.m." and "a.d." forms: the fixed words when the language uses them
// (each element reads only its own two words), else the language's own.
int32_t read_period_words(ldxctx *ctx, lxcur &c, int32_t code) noexcept {
    bool meridian = code == LDXK_AMPMDOT;
    if ((language_flags(ctx) & LXF_FIXEDPERIODS) == 0)
        return read_word(ctx, c, meridian ? LDXK_AMPM : LDXK_ADBC);
    const ldxkw *table = ascii_set(ctx) ? ldxpaa : ldxpae;
    uint32_t bytes = lxcbytes(&c, 4);
    const ldxkw *kw = ldxmfn(ctx, c.text + c.pos, bytes, table);
    bool own = kw != nullptr &&
               (meridian ? kw == table + 1 || kw == table + 3 : kw == table || kw == table + 2);
    if (!own) {
        raise(ctx, ldxfcd[code].err);
        return 0;
    }
    skip_chars(c, 4);
    return kw->code;
}

int32_t read_element(ldxctx *ctx, lxcur &c, int32_t code, uint32_t flags, bool whole) noexcept {
    switch (code) {
        case LDXK_MONTH:
        case LDXK_MON:
        case LDXK_DAY:
        case LDXK_DY:
        case LDXK_AMPM:
        case LDXK_ADBC:
            return read_word(ctx, c, code);
        case LDXK_AMPMDOT:
        case LDXK_ADBCDOT:
            return read_period_words(ctx, c, code);
        case LDXK_RM: {
            int32_t m = lxrroman(&c, 12, &ctx->work);
            if (m == 0) raise(ctx, ldxfcd[code].err);
            return m;
        }
        case LDXK_ERA:
        case LDXK_ERAFULL: {
            int32_t era = lxrera(&c, &ctx->work);
            if (era == LXERA_NONE) raise(ctx, LDXE_INTERNAL);
            return era;
        }
        default:
            if (code < 1 || code > LDXK_ERAFULL || code == LDXK_FM ||
                (ldxfcd[code].kind & 0x80) != 0) {
                raise(ctx, LDXE_INTERNAL);
                return 0;
            }
            return read_number(ctx, c, code, flags, whole);
    }
}

// Reads the item at *fmt and steps over it; returns the element code, or
// 0 for a literal and for "fx".
int32_t read_item(ldxctx *ctx, lxcur &c, const uint8_t **fmt, int32_t *value) noexcept {
    const uint8_t *item = *fmt;
    int32_t v = 0;
    int32_t code = item[0];
    if (code == 0) {
        if (value != nullptr) *value = 0;
        return 0;
    }
    *fmt = next_item(ctx, item);
    if (code == LDXK_FX) {
        ctx->exact = ctx->exact != 0 ? 0 : 1;
        code = 0;
    } else {
        uint32_t skipped = ctx->exact != 0 ? 0 : skip_spaces(c);
        if (code >= LDXK_LITERAL) {
            read_literal(ctx, c, item, skipped);
            code = 0;
        } else {
            uint8_t next = (*fmt)[0];
            bool number_next = next != 0 && next < LDXK_LITERAL && (ldxfcd[next].kind & 0x80) == 0;
            v = read_element(ctx, c, code, item[1], !number_next);
        }
    }
    if (value != nullptr) *value = v;
    return code;
}

constexpr int32_t unset_year = 32767;
constexpr int32_t unset_time = 127;
constexpr int32_t unset_seconds = 2147483647;
constexpr int32_t unset_meridian = 32767;

// The fields read so far, each with its unset marker.
struct Slots {
    int32_t year = unset_year;
    int32_t month = 0, day = 0;
    int32_t hour = unset_time, minute = unset_time, second = unset_time;
    int32_t seconds = unset_seconds;
    int32_t julian = 0, yday = 0, weekday = 0;
    int32_t meridian = unset_meridian;
    int32_t era = 0;  // 0 AD, 1 BC
    int32_t era_value = LXERA_NONE;
};

// Two digits placed in the century of the reference year or next to it.
int32_t two_digit_year(int32_t ref, int32_t v) noexcept {
    int32_t r = ref % 100;
    if (r < 0) r = -r;
    if (r < 51) return v < 50 ? ref - r + v : ref - r + v - 100;
    return v >= 50 ? ref - r + v : ref - r + v + 100;
}

void store(Slots &s, int32_t code, int32_t v, int32_t ref_year) noexcept {
    switch (code) {
        case LDXK_Y:
            s.year = ref_year - ref_year % 10 + v;
            break;
        case LDXK_YY:
            s.year = ref_year - ref_year % 100 + v;
            break;
        case LDXK_YYY:
            s.year = ref_year - ref_year % 1000 + v;
            break;
        case LDXK_YYYY:
        case LDXK_YCYYY:
        case LDXK_SYYYY:
        case LDXK_SYCYYY:
            s.year = v;
            break;
        case LDXK_RR:
            s.year = two_digit_year(ref_year, v);
            break;
        case LDXK_RRRR:
            s.year = v < 100 ? two_digit_year(ref_year, v) : v;
            break;
        case LDXK_MM:
        case LDXK_MONTH:
        case LDXK_MON:
        case LDXK_RM:
            s.month = v;
            break;
        case LDXK_D:
        case LDXK_DAY:
        case LDXK_DY:
            s.weekday = v;
            break;
        case LDXK_DD:
            s.day = v;
            break;
        case LDXK_DDD:
            s.yday = v;
            break;
        case LDXK_HH24:
        case LDXK_HH:
            s.hour = v;
            break;
        case LDXK_MI:
            s.minute = v;
            break;
        case LDXK_SS:
            s.second = v;
            break;
        case LDXK_SSSSS:
            s.seconds = v;
            break;
        case LDXK_J:
            s.julian = v;
            break;
        case LDXK_AMPM:
        case LDXK_AMPMDOT:
            s.meridian = v;
            break;
        case LDXK_ADBC:
        case LDXK_ADBCDOT:
            s.era = v;
            break;
        case LDXK_ERA:
        case LDXK_ERAFULL:
            s.era_value = v;
            break;
        default:
            break;
    }
}

// Builds the date from the slots and the reference; false once an error
// was raised.
bool assemble(ldxctx *ctx, Slots &s, int32_t ref_year, int32_t ref_month, ldxdate &out) noexcept {
    int32_t ref_day = 1;
    if (s.meridian != unset_meridian) {
        // Without an hour, the meridian gives the first hour of its half
        // of the day, as an unset hour gives midnight.
        if (s.hour == unset_time) {
            if (s.seconds == unset_seconds) s.hour = 12 * s.meridian;
        } else {
            s.hour = 12 * s.meridian + (s.hour == 12 ? 0 : s.hour);
        }
    }
    // An era name given beside the year signs it before the checks, as the
    // calendar rules of negative years differ from those of positive ones.
    if (s.era_value == LXERA_BC && s.year != unset_year && s.year > 0) s.era = 1;
    if (s.julian != 0) {
        int32_t y = 0, m = 0, d = 0;
        ldxjtc(ctx, s.julian, &y, &m, &d);
        ref_year = y;
        ref_month = m;
        ref_day = d;
    }
    int32_t year = ref_year;
    if (s.year != unset_year) {
        year = s.era == 1 ? -s.year : s.year;
        if (s.julian != 0 && year != ref_year) {
            raise(ctx, 1831);
            return false;
        }
    }
    if (year == 0 || year < -4712 || year > 9999) {
        raise(ctx, LDXE_YEAR);
        return false;
    }
    if (s.yday != 0) {
        int32_t m = 0, d = 0;
        ldxdyc(ctx, year, s.yday, &m, &d);
        if (s.yday > 365 + (is_leap(year) ? 1 : 0)) return false;  // 1848 raised
        if (s.julian != 0 && (m != ref_month || d != ref_day)) {
            raise(ctx, 1832);
            return false;
        }
        ref_month = m;
        ref_day = d;
    }
    bool fixed = s.julian != 0 || s.yday != 0;
    int32_t month = ref_month;
    if (s.month != 0) {
        if (fixed && s.month != ref_month) {
            raise(ctx, 1833);
            return false;
        }
        month = s.month;
    }
    int32_t day = ref_day;
    if (s.day != 0) {
        if (fixed && s.day != ref_day) {
            raise(ctx, 1834);
            return false;
        }
        day = s.day;
    }
    if (month < 1 || month > 12 || day < 1 || day > month_length(year, month)) {
        raise(ctx, 1839);
        return false;
    }
    if (s.weekday != 0 && s.weekday != ldxdow(ctx, ldxctj(ctx, year, month, day))) {
        raise(ctx, 1835);
        return false;
    }
    int32_t hour = s.hour, minute = s.minute, second = s.second;
    if (s.seconds == unset_seconds) {
        if (hour == unset_time) hour = 0;
        if (minute == unset_time) minute = 0;
        if (second == unset_time) second = 0;
    } else {
        int32_t h = s.seconds / 3600, m = s.seconds % 3600 / 60, sec = s.seconds % 60;
        int32_t err = hour != unset_time && hour != h         ? 1836
                      : minute != unset_time && minute != m   ? 1837
                      : second != unset_time && second != sec ? 1838
                                                              : 0;
        if (err != 0) {
            raise(ctx, err);
            return false;
        }
        hour = h;
        minute = m;
        second = sec;
    }
    if (hour < 0 || hour > 23) {
        raise(ctx, 1849);
        return false;
    }
    if (year == 1582 && month == 10 && day >= 5 && day <= 14) day = 15;
    out = ldxdate{static_cast<int16_t>(year),
                  static_cast<int8_t>(month),
                  static_cast<int8_t>(day),
                  static_cast<int8_t>(hour),
                  static_cast<int8_t>(minute),
                  static_cast<int8_t>(second),
                  0};
    return true;
}

// Which of year and month a model leaves to the reference date; 600 for
// an element a date cannot be read with.
struct Needs {
    bool year = true, month = true;
    bool any() const noexcept { return year || month; }
};

bool note_needs(ldxctx *ctx, Needs &n, int32_t code) noexcept {
    switch (code) {
        case LDXK_Y:
        case LDXK_YY:
        case LDXK_YYY:
            return false;  // the answer is yes at once
        case LDXK_YYYY:
        case LDXK_YCYYY:
        case LDXK_SYYYY:
        case LDXK_SYCYYY:
            n.year = false;
            return true;
        case LDXK_MM:
        case LDXK_MONTH:
        case LDXK_MON:
        case LDXK_RM:
        case LDXK_DDD:
            n.month = false;
            return true;
        case LDXK_J:
            n.year = n.month = false;
            return true;
        case LDXK_D:
        case LDXK_DD:
        case LDXK_HH24:
        case LDXK_HH:
        case LDXK_MI:
        case LDXK_SS:
        case LDXK_SSSSS:
        case LDXK_DAY:
        case LDXK_DY:
        case LDXK_AMPM:
        case LDXK_AMPMDOT:
        case LDXK_ADBC:
        case LDXK_ADBCDOT:
        case LDXK_FX:
            return true;
        default:
            if (code >= LDXK_LITERAL) return true;
            raise(ctx, LDXE_INTERNAL);
            return true;
    }
}

// After the last item: trailing blanks (unless exact), then nothing.
bool text_done(ldxctx *ctx, lxcur &c) noexcept {
    if (ctx->exact == 0) skip_spaces(c);
    if (lxcend(&c) == 0) {
        raise(ctx, 1830);
        return false;
    }
    return true;
}

// Reads every item of the format; false once an error was raised (the
// callback returned).
template <typename Each>
bool read_all(ldxctx *ctx, lxcur &c, const uint8_t *fmt, Each &&each) noexcept {
    while (fmt[0] != 0) {
        if (lxcend(&c) != 0) {
            raise(ctx, 1840);
            return false;
        }
        int32_t value = 0;
        int32_t code = read_item(ctx, c, &fmt, &value);
        if (ctx->tmpenv == nullptr) return false;  // an error was raised
        if (!each(code, value)) return true;
    }
    return true;
}

}  // namespace
}  // namespace tavo::dates

using namespace tavo::dates;

extern "C" {

TAVO_API int32_t ldxpv(ldxctx *ctx, lxcur *text, uint32_t end, const uint8_t **fmt,
                       int32_t *value) noexcept {
    if (ctx == nullptr) return 0;
    if (text == nullptr || fmt == nullptr || *fmt == nullptr) {
        raise(ctx, LDXE_INTERNAL);
        return 0;
    }
    bool acquired = acquire(ctx);
    uint32_t len = text->len;
    if (end < len) text->len = end;
    int32_t code = read_item(ctx, *text, fmt, value);
    text->len = len;
    release(ctx, acquired);
    return code;
}

TAVO_API void ldxstd(ldxctx *ctx, ldxdate *out, const ldxdate *ref, const char *text, uint32_t len,
                     const uint8_t *fmt) noexcept {
    if (ctx == nullptr) return;
    if (out == nullptr || (text == nullptr && len != 0)) {
        raise(ctx, LDXE_INTERNAL);
        return;
    }
    fmt = format_of(ctx, fmt);
    if (fmt == nullptr) return;
    ldxdate now{};
    if (ref == nullptr) {
        int32_t ms = 0;
        sldxgd(ctx, &now, &ms);
        ref = &now;
    }
    int32_t ref_year = ref->year, ref_month = ref->month;
    bool acquired = acquire(ctx);
    if (ctx->tmpenv == nullptr) return;
    ctx->exact = 0;
    lxcur c;
    lxcopen(&c, text, text != nullptr ? len : 0, &ctx->work);
    Slots s;
    bool read = read_all(ctx, c, fmt, [&](int32_t code, int32_t value) {
        store(s, code, value, ref_year);
        return true;
    });
    if (!read || !text_done(ctx, c)) return;
    ldxdate local{};
    if (!assemble(ctx, s, ref_year, ref_month, local)) return;
    lxdate from, to;
    std::memcpy(&from, &local, sizeof from);
    if (lxcalfrom(&from, s.era_value, &to, &ctx->work) != LXS_OK) {
        raise(ctx, LDXE_INTERNAL);
        return;
    }
    std::memcpy(out, &to, sizeof *out);
    release(ctx, acquired);
}

TAVO_API int32_t ldxsdd(ldxctx *ctx, const char *text, uint32_t len, const uint8_t *fmt) noexcept {
    if (ctx == nullptr) return 0;
    fmt = format_of(ctx, fmt);
    if (fmt == nullptr) return 0;
    bool acquired = acquire(ctx);
    if (ctx->tmpenv == nullptr) return 0;
    Needs needs;
    for (const uint8_t *item = fmt; item[0] != 0; item = next_item(ctx, item)) {
        if (item[0] >= LDXK_LITERAL) continue;
        if (!note_needs(ctx, needs, item[0])) {
            // A year of one to three digits: the reference decides.
            release(ctx, acquired);
            return 1;
        }
        if (ctx->tmpenv == nullptr) return 0;  // 600 raised
    }
    if (text != nullptr) {
        ctx->exact = 0;
        lxcur c;
        lxcopen(&c, text, len, &ctx->work);
        if (!read_all(ctx, c, fmt, [](int32_t, int32_t) { return true; })) return 0;
        if (!text_done(ctx, c)) return 0;
    }
    release(ctx, acquired);
    return needs.any() ? 1 : 0;
}

}  // extern "C"
