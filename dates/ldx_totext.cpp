// Dates to text: every element of a compiled format written through the
// language services (names, words, ordinals, numerals, eras), and the
// largest text a compiled format can give.
#include <array>
#include <cstdlib>
#include <cstring>

#include "dates/ldx_internal.h"

extern "C" {

// The fixed period words, sorted, with the value each reads as (0: a.d. or
// a.m., 1: b.c. or p.m.).
TAVO_API extern const ldxkw ldxpaa[5] = {
    {"a.d.", 4, 0}, {"a.m.", 4, 0}, {"b.c.", 4, 1}, {"p.m.", 4, 1}, {"", 0, 0}};
TAVO_API extern const ldxkw ldxpae[5] = {{"\x81\x4B\x84\x4B", 4, 0},
                                         {"\x81\x4B\x94\x4B", 4, 0},
                                         {"\x82\x4B\x83\x4B", 4, 1},
                                         {"\x97\x4B\x94\x4B", 4, 1},
                                         {"", 0, 0}};

}  // extern "C"

namespace tavo::dates {
namespace {

constexpr uint32_t max_text = 0xFFFF;  // output sizes are 16-bit

// Widest spelled number of each element (in characters), cardinal or
// ordinal, over the element's values, in the widest of the languages: the
// French and Spanish words run well beyond the English ones, which alone
// would make buffers sized from these widths too small. A signed element
// counts its sign; "cc" runs to 100 (the years 9900..9999).
constexpr int32_t spelled_width(int32_t code) noexcept {
    switch (code) {
        case LDXK_CC:
            return 25;
        case LDXK_SCC:
            return 26;
        case LDXK_I:
        case LDXK_Y:
        case LDXK_Q:
        case LDXK_W:
        case LDXK_D:
            return 9;
        case LDXK_IY:
        case LDXK_YY:
        case LDXK_RR:
            return 25;
        case LDXK_IYY:
        case LDXK_YYY:
            return 38;
        case LDXK_IYYY:
        case LDXK_YYYY:
        case LDXK_YCYYY:
        case LDXK_RRRR:
            return 53;
        case LDXK_SYYYY:
        case LDXK_SYCYYY:
            return 54;
        case LDXK_MM:
        case LDXK_HH:
            return 10;
        case LDXK_IW:
        case LDXK_WW:
        case LDXK_MI:
        case LDXK_SS:
            return 21;
        case LDXK_DD:
            return 19;
        case LDXK_DDD:
            return 35;
        case LDXK_HH24:
            return 17;
        case LDXK_SSSSS:
            return 63;
        case LDXK_J:
            return 100;  // 93 found; the range is large, so some room
        default:
            return 0;
    }
}

// Widest year in words over 0..9999 in every language (Spanish), without
// its sign.
constexpr int32_t year_words_width = 53;

uint32_t case_of(uint32_t flags) noexcept {
    if ((flags & LDXM_UPPER) != 0) return LXO_UPPER;
    if ((flags & LDXM_CAP) != 0) return LXO_CAP;
    return 0;
}

const lxlinfo *language_of(const ldxctx *ctx) noexcept {
    return ctx->env != nullptr ? ctx->env : lxldflt();
}

// The output of one call: the cursor, and whether an error was raised
// (the working environment is then gone and writing stops).
struct Writer {
    ldxctx *ctx;
    lxcur cur;
    bool ascii;
    bool failed;
    // A single-byte set's class and case tables, for the names written
    // here rather than through the general text output: each fetched when
    // a name first needs it.
    bool single_byte;
    int32_t charset;
    const uint16_t *classes;
    const uint8_t *upper;
    const uint8_t *lower;
};

const uint8_t *upper_table(Writer &w) noexcept {
    if (w.upper == nullptr) w.upper = lxcscase(w.charset, 1);
    return w.upper;
}

// The class and both case tables; false when the set has none.
bool word_tables(Writer &w) noexcept {
    if (w.classes == nullptr) w.classes = lxcsclass(w.charset);
    if (w.lower == nullptr) w.lower = lxcscase(w.charset, 0);
    return w.classes != nullptr && w.lower != nullptr && upper_table(w) != nullptr;
}

// A full output raises 1801, any other refusal of the language services 600.
bool ok(Writer &w) noexcept {
    if (w.failed) return false;
    int32_t s = w.ctx->work.status;
    if (s == LXS_OK || s == LXS_REPLACED) return true;
    w.failed = true;
    raise(w.ctx, s == LXS_FULL ? LDXE_FULL : LDXE_INTERNAL);
    return false;
}

uint32_t blank(const Writer &w) noexcept {
    return w.ascii ? 0x20 : 0x40;
}
uint32_t minus(const Writer &w) noexcept {
    return w.ascii ? 0x2D : 0x60;
}

// Writes bytes straight into the output (text known to be whole
// characters of the set); false when they do not fit.
bool put_bytes(Writer &w, const uint8_t *bytes, uint32_t n, uint32_t chars) noexcept {
    if (w.cur.len - w.cur.pos < n) return false;
    // The character count is raised before the bytes are stored and the
    // position after: kept side by side, the two would be paired into one
    // 64-bit update, whose load stalls behind the single-field stores of
    // the other writers.
    w.cur.chars += chars;
    // Mostly one-character literals and short names: no call for those.
    uint8_t *at = w.cur.text + w.cur.pos;
    if (n <= 8) {
        for (uint32_t i = 0; i < n; ++i) at[i] = bytes[i];
    } else {
        std::memcpy(at, bytes, n);
    }
    w.cur.pos += n;
    return true;
}

// A whole number without group characters: the digits are single bytes in
// every set, so they are written here rather than converted one by one.
// Any value, signed, in any width.
[[gnu::noinline]] bool put_any_digits(Writer &w, int32_t value, uint32_t minwidth) noexcept {
    uint8_t zero = w.ascii ? 0x30 : 0xF0;
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    uint32_t nd = 1;
    for (uint32_t m = magnitude; m >= 10; m /= 10) ++nd;
    uint32_t sign = value < 0 ? 1 : 0;
    uint32_t n = sign + nd < minwidth ? minwidth : sign + nd;
    if (w.cur.len - w.cur.pos < n) {
        w.failed = true;
        raise(w.ctx, LDXE_FULL);
        return false;
    }
    // Written in place, last digits first, two at a time.
    uint8_t *at = w.cur.text + w.cur.pos;
    uint32_t i = n;
    while (magnitude >= 10) {
        const uint32_t pair = magnitude % 100;
        magnitude /= 100;
        at[--i] = static_cast<uint8_t>(zero + pair % 10);
        at[--i] = static_cast<uint8_t>(zero + pair / 10);
    }
    // A lone leading digit, or the padding zero left of a last pair.
    if (magnitude != 0 || i == n) at[--i] = static_cast<uint8_t>(zero + magnitude);
    while (i > sign) at[--i] = zero;
    w.cur.chars += n;  // apart from the position: see put_bytes
    if (sign != 0) at[0] = static_cast<uint8_t>(minus(w));
    w.cur.pos += n;
    return true;
}

// "00" to "99" in ASCII: two digits by one lookup.
constexpr auto kDigitPairs = [] {
    std::array<std::array<uint8_t, 2>, 100> t{};
    for (int i = 0; i < 100; ++i)
        t[static_cast<size_t>(i)] = {static_cast<uint8_t>('0' + i / 10),
                                     static_cast<uint8_t>('0' + i % 10)};
    return t;
}();

bool put_digits(Writer &w, int32_t value, uint32_t minwidth) noexcept {
    const uint8_t zero = w.ascii ? 0x30 : 0xF0;
    // Days, months, years, hours, minutes and seconds: four digits at most.
    if (static_cast<uint32_t>(value) < 10000 && minwidth <= 4) {
        const auto v = static_cast<uint32_t>(value);
        const uint32_t digits = v >= 100 ? (v >= 1000 ? 4 : 3) : (v >= 10 ? 2 : 1);
        const uint32_t n = digits > minwidth ? digits : minwidth;
        if (w.cur.len - w.cur.pos < n) {
            w.failed = true;
            raise(w.ctx, LDXE_FULL);
            return false;
        }
        const auto &high = kDigitPairs[v / 100];
        const auto &low = kDigitPairs[v % 100];
        const auto shift = static_cast<uint8_t>(zero - '0');  // EBCDIC digits are 0xF0..
        // The count is raised apart from the position: see put_bytes.
        w.cur.chars += n;
        uint8_t *at = w.cur.text + w.cur.pos + n;  // written from the last digit back
        *--at = static_cast<uint8_t>(low[1] + shift);
        if (n >= 2) *--at = static_cast<uint8_t>(low[0] + shift);
        if (n >= 3) *--at = static_cast<uint8_t>(high[1] + shift);
        if (n == 4) *--at = static_cast<uint8_t>(high[0] + shift);
        w.cur.pos += n;
        return true;
    }
    return put_any_digits(w, value, minwidth);
}

bool put_char(Writer &w, uint32_t code) noexcept {
    lxochar(&w.cur, code, &w.ctx->work);
    return ok(w);
}

// Pads a name that wrote `wrote` characters to `width` with blanks.
bool pad(Writer &w, uint32_t wrote, int32_t width) noexcept {
    if (width <= 0 || wrote >= static_cast<uint32_t>(width)) return true;
    uint32_t count = static_cast<uint32_t>(width) - wrote;
    uint32_t done = lxopad(&w.cur, blank(w), count, &w.ctx->work);
    if (done < count && w.ctx->work.status == LXS_OK) w.ctx->work.status = LXS_FULL;
    return ok(w);
}

// The fields of the working copy that the elements are computed from.
struct Fields {
    ldxdate date;
    int32_t era;
};

int32_t day_of_year_of(const ldxdate &d) noexcept {
    return day_of_year(d.year, d.month, d.day);
}

// The numeric value of an element.
int32_t numeric_value(ldxctx *ctx, int32_t code, const Fields &f) noexcept {
    const ldxdate &d = f.date;
    int32_t y = d.year;
    switch (code) {
        case LDXK_CC:
        case LDXK_SCC:
            return y >= 1 ? y / 100 + 1 : (y - 1) / 100 - 1;
        case LDXK_Y:
            return y % 10;
        case LDXK_YY:
        case LDXK_RR:
            return y % 100;
        case LDXK_YYY:
            return y % 1000;
        case LDXK_YYYY:
        case LDXK_YCYYY:
        case LDXK_SYYYY:
        case LDXK_SYCYYY:
        case LDXK_RRRR:
            return y;
        case LDXK_I:
            return ldxisy(ctx, &d) % 10;
        case LDXK_IY:
            return ldxisy(ctx, &d) % 100;
        case LDXK_IYY:
            return ldxisy(ctx, &d) % 1000;
        case LDXK_IYYY:
            return ldxisy(ctx, &d);
        case LDXK_Q:
            return (d.month + 2) / 3;
        case LDXK_MM:
            return d.month;
        case LDXK_IW:
            return ldxisw(ctx, &d);
        case LDXK_WW:
            return (day_of_year_of(d) + 6) / 7;
        case LDXK_W:
            return (d.day + 6) / 7;
        case LDXK_D:
            return ldxdow(ctx, ldxctj(ctx, y, d.month, d.day));
        case LDXK_DD:
            return d.day;
        case LDXK_DDD:
            return day_of_year_of(d);
        case LDXK_HH24:
            return d.hour;
        case LDXK_HH:
            return d.hour > 12 ? d.hour - 12 : (d.hour == 0 ? 12 : d.hour);
        case LDXK_MI:
            return d.minute;
        case LDXK_SS:
            return d.second;
        case LDXK_SSSSS:
            return d.hour * 3600 + d.minute * 60 + d.second;
        case LDXK_J:
            return ldxctj(ctx, y, d.month, d.day);
        default:
            return 0;
    }
}

bool put_number(Writer &w, int32_t code, uint32_t flags, int32_t value) noexcept {
    uint8_t kind = ldxfcd[code].kind;
    auto width = static_cast<uint32_t>(kind & 0x0F);
    bool sign = (kind & 0x20) != 0;
    lxwork *work = &w.ctx->work;
    if (!sign) {
        value = std::abs(value);
    } else if (value >= 0) {
        if (!put_char(w, blank(w))) return false;
        --width;
    }
    uint32_t letters = case_of(flags);
    if ((flags & LDXM_SP) != 0) {
        // The words of the magnitude, after the sign character: the minus
        // word of the language would not be a sign.
        if (value < 0 && !put_char(w, minus(w))) return false;
        uint32_t form = (flags & LDXM_TH) != 0 ? LXO_ORDINAL : 0;
        lxowords(&w.cur, std::abs(value), form | letters, work);
        return ok(w);
    }
    uint32_t minwidth = (flags & LDXM_FILL) != 0 ? width : 0;
    if ((kind & 0x10) == 0) {
        if (!put_digits(w, value, minwidth)) return false;
        if ((flags & LDXM_TH) == 0) return true;
        lxoord(&w.cur, std::abs(value), letters, work);
        return ok(w);
    }
    lxoint(&w.cur, value, minwidth, (kind & 0x10) != 0 ? LXO_GROUP : 0, work);
    if (!ok(w)) return false;
    if ((flags & LDXM_TH) != 0) {
        lxoord(&w.cur, std::abs(value), letters, work);
        return ok(w);
    }
    return true;
}

// A language item (names, meridian and era words), padded when asked.
// In a single-byte set: the item with its case applied byte by byte (as
// the text output does: upper case, or the first letter of each word upper
// and the rest lower), and its padding; false when it does not fit, for
// the general path to write what fits and report it.
bool put_item_bytes(Writer &w, int32_t item, uint32_t letters, int32_t width) noexcept {
    // Straight into the output; nothing counts as written unless it all fits.
    uint8_t *text = w.cur.text + w.cur.pos;
    const uint32_t room = w.cur.len - w.cur.pos;
    const uint32_t n = lxitem(item, text, room < 64 ? room : 64, &w.ctx->work);
    if (n == 0) return false;
    const uint32_t total = width > 0 && static_cast<uint32_t>(width) > n ? width : n;
    if (total > room) return false;
    if ((letters == LXO_UPPER && upper_table(w) == nullptr) ||
        (letters == LXO_CAP && !word_tables(w)))
        return false;
    w.cur.chars += total;  // apart from the position: see put_bytes
    if (letters == LXO_UPPER) {
        for (uint32_t i = 0; i < n; ++i) text[i] = w.upper[text[i]];
    } else if (letters == LXO_CAP) {
        bool in_word = false;
        for (uint32_t i = 0; i < n; ++i) {
            bool letter = (w.classes[text[i]] & LXC_ALPHA) != 0;
            text[i] = letter && !in_word ? w.upper[text[i]] : w.lower[text[i]];
            in_word = letter;
        }
    }
    for (uint32_t i = n; i < total; ++i) text[i] = static_cast<uint8_t>(blank(w));
    w.cur.pos += total;
    return true;
}

bool put_item(Writer &w, int32_t item, uint32_t flags, int32_t width) noexcept {
    uint32_t letters = case_of(flags);
    int32_t fill = (flags & LDXM_FILL) != 0 ? width : 0;
    if (w.single_byte && put_item_bytes(w, item, letters, fill)) return true;
    uint32_t wrote = lxoitem(&w.cur, item, letters, &w.ctx->work);
    if (!ok(w)) return false;
    return (flags & LDXM_FILL) == 0 || pad(w, wrote, width);
}

int32_t widest(Writer &w, int32_t item) noexcept {
    int32_t n = lxitemn(item, &w.ctx->work);
    return n < 0 ? 0 : n;
}

// A name padded, when the element asks for it, to the widest name of its
// kind (widest_item).
bool put_name(Writer &w, int32_t item, uint32_t flags, int32_t widest_item) noexcept {
    int32_t width = (flags & LDXM_FILL) != 0 ? widest(w, widest_item) : 0;
    return put_item(w, item, flags, width);
}

// "a.m." and the like: the fixed words of the table, or the language's own.
bool put_period_words(Writer &w, uint32_t flags, int32_t item, int32_t entry) noexcept {
    if ((language_of(w.ctx)->flags & LXF_FIXEDPERIODS) == 0)
        return put_item(w, item, flags & ~LDXM_FILL, 0);
    const ldxkw &kw = (w.ascii ? ldxpaa : ldxpae)[entry];
    lxwork *work = &w.ctx->work;
    if (w.cur.len - w.cur.pos < kw.len) {
        // The words are written whole or the output is too small.
        w.failed = true;
        raise(w.ctx, LDXE_FULL);
        return false;
    }
    uint32_t letters = case_of(flags);
    if (letters == LXO_UPPER)
        lxoupper(&w.cur, kw.kw, kw.len, work);
    else if (letters == LXO_CAP)
        lxocap(&w.cur, kw.kw, kw.len, work);
    else
        lxocopy(&w.cur, kw.kw, kw.len, kw.len, work);
    return ok(w);
}

bool put_year_words(Writer &w, uint32_t flags, int32_t year, bool sign) noexcept {
    if (sign && !put_char(w, year < 0 ? minus(w) : blank(w))) return false;
    lxowords(&w.cur, std::abs(year), LXO_YEAR | case_of(flags), &w.ctx->work);
    return ok(w);
}

// The everyday numbers of a date, neither spelled nor with a suffix: their
// value is a field, never signed or grouped. False when code is another.
bool put_plain_number(Writer &w, int32_t code, uint32_t flags, const ldxdate &d,
                      bool &wrote) noexcept {
    int32_t value;
    switch (code) {
        case LDXK_DD:
            value = d.day;
            break;
        case LDXK_MM:
            value = d.month;
            break;
        case LDXK_HH24:
            value = d.hour;
            break;
        case LDXK_MI:
            value = d.minute;
            break;
        case LDXK_SS:
            value = d.second;
            break;
        case LDXK_YYYY:
            value = std::abs(static_cast<int32_t>(d.year));
            break;
        default:
            return false;
    }
    uint32_t minwidth = (flags & LDXM_FILL) != 0 ? ldxfcd[code].kind & 0x0Fu : 0;
    wrote = put_digits(w, value, minwidth);
    return true;
}

bool put_element(Writer &w, int32_t code, uint32_t flags, const Fields &f) noexcept {
    const ldxdate &d = f.date;
    bool wrote = false;
    if ((flags & (LDXM_SP | LDXM_TH)) == 0 && put_plain_number(w, code, flags, d, wrote))
        return wrote;
    uint32_t letters = case_of(flags);
    lxwork *work = &w.ctx->work;
    switch (code) {
        case LDXK_MONTH:
            return put_name(w, LXI_MONTH - 1 + d.month, flags, 93);
        case LDXK_MON:
            return put_name(w, LXI_MONTHABBR - 1 + d.month, flags, 94);
        case LDXK_DAY:
        case LDXK_DY: {
            int32_t first = widest(w, LXI_FIRSTDAY);
            int32_t n = ldxdow(w.ctx, ldxctj(w.ctx, d.year, d.month, d.day)) + first;
            if (n > 7) n -= 7;
            return code == LDXK_DAY ? put_name(w, LXI_DAY + n - 1, flags, 95)
                                    : put_name(w, LXI_DAYABBR + n - 1, flags, 96);
        }
        case LDXK_AMPM:
            return put_item(w, d.hour < 12 ? LXI_AM : LXI_PM, flags & ~LDXM_FILL, 0);
        case LDXK_ADBC:
            return put_item(w, d.year >= 0 ? LXI_AD : LXI_BC, flags & ~LDXM_FILL, 0);
        case LDXK_AMPMDOT:
            return put_period_words(w, flags, d.hour < 12 ? LXI_AM : LXI_PM, d.hour < 12 ? 1 : 3);
        case LDXK_ADBCDOT:
            return put_period_words(w, flags, d.year >= 0 ? LXI_AD : LXI_BC, d.year >= 0 ? 0 : 2);
        case LDXK_RM: {
            uint32_t wrote = lxoroman(&w.cur, d.month, 0, letters, work);
            if (!ok(w)) return false;
            return (flags & LDXM_FILL) == 0 || pad(w, wrote, 4);
        }
        case LDXK_ERA:
        case LDXK_ERAFULL: {
            bool full = code == LDXK_ERAFULL;
            uint32_t wrote = lxoera(&w.cur, f.era, letters | (full ? LXO_FULL : 0), work);
            if (!ok(w)) return false;
            return (flags & LDXM_FILL) == 0 || pad(w, wrote, full ? 30 : 15);
        }
        case LDXK_YEARW:
            return put_year_words(w, flags, d.year, false);
        case LDXK_SYEARW:
            return put_year_words(w, flags, d.year, true);
        case LDXK_FX:
            return true;
        default:
            if (code < 1 || code > LDXK_ERAFULL || code == LDXK_FM) {
                w.failed = true;
                raise(w.ctx, LDXE_INTERNAL);
                return false;
            }
            return put_number(w, code, flags, numeric_value(w.ctx, code, f));
    }
}

// Bytes of the text of a literal item of `chars` characters.
uint32_t literal_bytes(ldxctx *ctx, const uint8_t *text, uint32_t chars) noexcept {
    if ((language_of(ctx)->flags & LXF_SINGLEBYTE) != 0) return chars;
    lxcur c;
    lxcopen(&c, text, 4 * chars, &ctx->work);
    for (uint32_t i = 0; i < chars && lxcend(&c) == 0; ++i) lxcnext(&c);
    return c.pos;
}

// Writes the date; returns the bytes written.
uint32_t write_date(ldxctx *ctx, uint8_t *out, uint32_t size, const ldxdate &date,
                    const uint8_t *fmt) noexcept {
    const lxlinfo *info = language_of(ctx);
    const bool single_byte = info != nullptr && (info->flags & LXF_SINGLEBYTE) != 0;
    Writer w{ctx, {}, true, false, single_byte, -1, nullptr, nullptr, nullptr};
    w.ascii = info == nullptr || (info->flags & LXF_ASCII) != 0;
    w.charset = info != nullptr ? info->charset : -1;
    Fields f{};
    lxdate local;
    lxdate in;
    std::memcpy(&in, &date, sizeof in);
    if (lxcalto(&in, &local, &f.era, &ctx->work) != LXS_OK) {
        raise(ctx, LDXE_INTERNAL);
        return 0;
    }
    std::memcpy(&f.date, &local, sizeof f.date);
    lxoopen(&w.cur, out, size, &ctx->work);
    const uint8_t *item = fmt;
    while (item[0] != 0) {
        uint8_t code = item[0];
        // The separators of most models: one single-byte character.
        if (code == LDXK_LITERAL + 1 && single_byte && w.cur.pos < w.cur.len) {
            w.cur.text[w.cur.pos++] = item[1];
            ++w.cur.chars;
            item += 2;
            continue;
        }
        if (code >= LDXK_LITERAL) {
            uint32_t chars = code - LDXK_LITERAL;
            uint32_t n = literal_bytes(ctx, item + 1, chars);
            if (put_bytes(w, item + 1, n, chars)) {
                item += 1 + n;
                continue;
            }
            // Whole characters as far as they fit, then 1801.
            uint32_t wrote = lxocopy(&w.cur, item + 1, n, chars, &ctx->work);
            if (wrote < chars && ctx->work.status == LXS_OK) ctx->work.status = LXS_FULL;
            if (!ok(w)) return w.cur.pos;
            item += 1 + n;
            continue;
        }
        if (!put_element(w, code, item[1], f)) return w.cur.pos;
        item += 2;
    }
    if (lxcshift(&w.cur) != 0 && info != nullptr && info->shiftret != 0) {
        // Back to the unshifted state before the end.
        if (w.cur.pos + 1 > size) {
            raise(ctx, LDXE_FULL);
            return w.cur.pos;
        }
        out[w.cur.pos++] = info->shiftret;
    }
    if (w.cur.pos < size) out[w.cur.pos] = 0;
    return w.cur.pos;
}

// Characters of a language item (0 when it is missing).
int32_t item_chars(ldxctx *ctx, int32_t item) noexcept {
    uint8_t buf[128];
    uint32_t n = lxitem(item, buf, sizeof buf, &ctx->work);
    lxcur c;
    lxcopen(&c, buf, n, &ctx->work);
    return static_cast<int32_t>(lxccount(&c));
}

int32_t wider_item(ldxctx *ctx, int32_t first, int32_t width) noexcept {
    int32_t a = item_chars(ctx, first), b = item_chars(ctx, first + 1);
    if (a > width) width = a;
    return b > width ? b : width;
}

// The largest number of characters an element can give.
int32_t element_width(ldxctx *ctx, int32_t code, uint32_t flags) noexcept {
    const ldxfce &e = ldxfcd[code];
    int32_t width = e.kind & 0x0F;
    switch (code) {
        case LDXK_YEARW:
            return year_words_width;
        case LDXK_SYEARW:
            return year_words_width + 1;
        // The century of the years 9900..9999 has three digits.
        case LDXK_CC:
        case LDXK_SCC:
            ++width;
            break;
        case LDXK_ERA:
            width = 15;
            break;
        case LDXK_ERAFULL:
            width = 30;
            break;
        case LDXK_MONTH:
        case LDXK_MON:
        case LDXK_DAY:
        case LDXK_DY: {
            int32_t n = lxitemn(LXI_WIDEMONTH + (e.kind & 0x03), &ctx->work);
            return n < 0 ? 0 : n;
        }
        // The language's own words may be wider than the element's width.
        case LDXK_AMPM:
        case LDXK_AMPMDOT:
            return wider_item(ctx, LXI_AM, width);
        case LDXK_ADBC:
        case LDXK_ADBCDOT:
            return wider_item(ctx, LXI_AD, width);
        default:
            break;
    }
    if ((e.kind & 0x80) == 0 && (flags & LDXM_SP) != 0) width = spelled_width(code);
    if ((flags & LDXM_TH) != 0) width += 2;
    return width;
}

uint32_t max_size(ldxctx *ctx, const uint8_t *fmt) noexcept {
    uint32_t sum = 0;
    const uint8_t *item = fmt;
    while (item[0] != 0) {
        uint8_t code = item[0];
        if (code >= LDXK_LITERAL) {
            uint32_t chars = code - LDXK_LITERAL;
            sum += chars;
            item += 1 + literal_bytes(ctx, item + 1, chars);
            continue;
        }
        if (code == LDXK_FM) {  // never an item
            raise(ctx, LDXE_INTERNAL);
            return 0;
        }
        sum += static_cast<uint32_t>(element_width(ctx, code, item[1]));
        item += 2;
    }
    const lxlinfo *info = language_of(ctx);
    uint32_t per_char = info != nullptr && info->maxbytes != 0 ? info->maxbytes : 1;
    if (info != nullptr && (info->flags & LXF_SHIFTBYTE) != 0) ++per_char;
    return sum * per_char;
}

}  // namespace
}  // namespace tavo::dates

using namespace tavo::dates;

extern "C" {

TAVO_API uint32_t ldxdts(ldxctx *ctx, char *out, uint32_t size, const ldxdate *date,
                         const uint8_t *fmt) noexcept {
    if (ctx == nullptr) return 0;
    if (out == nullptr || date == nullptr) {
        raise(ctx, LDXE_INTERNAL);
        return 0;
    }
    fmt = format_of(ctx, fmt);
    if (fmt == nullptr) return 0;
    bool acquired = acquire(ctx);
    if (ctx->tmpenv == nullptr) return 0;  // 600 raised
    uint32_t n = write_date(ctx, reinterpret_cast<uint8_t *>(out),
                            size > max_text ? max_text : size, *date, fmt);
    release(ctx, acquired);
    return n;
}

TAVO_API uint32_t ldxmxsz(ldxctx *ctx, const uint8_t *fmt) noexcept {
    if (ctx == nullptr) return 0;
    fmt = format_of(ctx, fmt);
    if (fmt == nullptr) return 0;
    bool acquired = acquire(ctx);
    if (ctx->tmpenv == nullptr) return 0;
    uint32_t n = max_size(ctx, fmt);
    release(ctx, acquired);
    return n;
}

}  // extern "C"
