// Writing through output cursors: characters, copies, case, items,
// numbers, Roman numerals and words. Language texts are rendered from
// their UTF-8 tables into the cursor's set and written whole or not at all.
#include <cstring>

#include "langsupport/lx_cursor.h"

namespace tavo::lx {

namespace {

uint32_t room(const lxcur *out) {
    return out->len - out->pos;
}

// The output cursor and its set, after checking the work area; null (with
// the status set) when either is unusable.
const Charset *begin_output(lxcur *out, lxwork *w, const lxenv **env = nullptr) {
    const lxenv *e = begin(w);
    if (!e) return nullptr;
    const Charset *cs = cursor_set(out);
    if (!cs || !(out->flags & kOutputCursor) || (!out->text && out->len)) {
        w->status = LXS_BADARG;
        return nullptr;
    }
    if (env) *env = e;
    return cs;
}

bool put(lxcur *out, const uint8_t *bytes, uint32_t n) {
    if (n > room(out)) return false;
    std::memcpy(out->text + out->pos, bytes, n);
    out->pos += n;
    ++out->chars;
    return true;
}

// Applies the case flags to the characters of a text, one at a time.
class CaseMapper {
  public:
    explicit CaseMapper(uint32_t flags) : flags_(flags) {}
    uint32_t map(uint32_t cp) {
        const bool letter = unicode_class(cp) & LXC_ALPHA;
        const bool first = letter && !in_word_;
        in_word_ = letter;
        if (flags_ & LXO_UPPER) return unicode_upper(cp);
        if (flags_ & LXO_CAP) return first ? unicode_upper(cp) : unicode_lower(cp);
        return cp;
    }

  private:
    uint32_t flags_;
    bool in_word_ = false;
};

// Writes a UTF-8 text (a language text, or ASCII built here) in the set,
// case applied: all of it, or nothing and LXS_FULL. Characters the set
// lacks come out as its replacement character.
uint32_t put_text(lxcur *out, const Charset &cs, std::string_view text, uint32_t flags, lxwork *w) {
    const auto *s = reinterpret_cast<const uint8_t *>(text.data());
    auto render = [&](bool write) {
        CaseMapper mapper(flags);
        uint32_t bytes = 0, chars = 0;
        for (size_t i = 0; i < text.size();) {
            const Decoded d = utf8_decode(s + i, text.size() - i);
            i += d.len;
            uint32_t code = code_of(cs, mapper.map(d.cp));
            if (code == kNone) code = cs.bytes ? cs.replacement : kReplacementChar;
            uint8_t b[4];
            const uint32_t n = encode(cs, code, b);
            if (write) std::memcpy(out->text + out->pos + bytes, b, n);
            bytes += n;
            ++chars;
        }
        return std::pair{bytes, chars};
    };
    const auto [bytes, chars] = render(false);
    if (bytes > room(out)) {
        w->status = LXS_FULL;
        return 0;
    }
    render(true);
    out->pos += bytes;
    out->chars += chars;
    return chars;
}

// Copies characters of text in the set, each mapped by map (a code to a
// code); whole characters, as many as fit.
template <typename Map>
uint32_t copy_mapped(lxcur *out, const Charset &cs, const uint8_t *s, uint32_t len,
                     uint32_t maxchars, lxwork *w, Map map) {
    uint32_t chars = 0, i = 0;
    while (i < len && chars < maxchars) {
        const Char ch = decode(cs, s + i, len - i);
        uint8_t b[4];
        uint32_t n;
        const uint8_t *bytes = b;
        if (ch.valid) {
            n = encode(cs, map(ch.code), b);
        } else {  // an invalid byte is copied as it is
            n = 1;
            bytes = s + i;
        }
        if (!put(out, bytes, n)) {
            w->status = LXS_FULL;
            break;
        }
        i += ch.len;
        ++chars;
    }
    return chars;
}

// Single-byte sets: a byte table does the whole copy.
uint32_t copy_bytes(lxcur *out, const uint8_t *s, uint32_t len, uint32_t maxchars, lxwork *w,
                    const std::array<uint8_t, 256> *table) {
    uint32_t n = len < maxchars ? len : maxchars;
    if (n > room(out)) {
        n = room(out);
        w->status = LXS_FULL;
    }
    uint8_t *d = out->text + out->pos;
    if (table) {
        for (uint32_t i = 0; i < n; ++i) d[i] = (*table)[s[i]];
    } else if (n) {
        std::memmove(d, s, n);
    }
    out->pos += n;
    out->chars += n;
    return n;
}

// Upper-cases eight ASCII bytes at once: a byte from a to z gets its top
// bit set by both sums' difference, and loses 0x20.
inline uint64_t ascii_upper8(uint64_t word) {
    constexpr uint64_t ones = 0x0101010101010101ull;
    const uint64_t from_a = word + ones * (0x80 - 'a');
    const uint64_t past_z = word + ones * (0x80 - 'z' - 1);
    return word - (((from_a & ~past_z) & (ones * 0x80)) >> 2);
}

// UTF-8 in upper case: ASCII eight bytes at a time, other characters
// decoded, mapped and encoded again; whole characters, as many as fit.
uint32_t upper_utf8(lxcur *out, const uint8_t *s, uint32_t len, lxwork *w) {
    uint8_t *d = out->text + out->pos;
    uint32_t room = out->len - out->pos, i = 0, o = 0, chars = 0;
    while (i < len) {
        if (i + 8 <= len && o + 8 <= room) {
            uint64_t word;
            std::memcpy(&word, s + i, 8);
            if (!(word & 0x8080808080808080ull)) {
                word = ascii_upper8(word);
                std::memcpy(d + o, &word, 8);
                i += 8, o += 8, chars += 8;
                continue;
            }
        }
        const uint8_t b = s[i];
        uint8_t bytes[4];
        uint32_t n, taken;
        if (b < 0x80) {
            bytes[0] = b >= 'a' && b <= 'z' ? static_cast<uint8_t>(b - 0x20) : b;
            n = taken = 1;
        } else {
            const Decoded c = utf8_decode(s + i, len - i);
            taken = c.len;
            if (c.valid) {
                n = utf8_encode(unicode_upper(c.cp), bytes);
            } else {  // an invalid byte is copied as it is
                bytes[0] = b;
                n = 1;
            }
        }
        if (n > room - o) {
            w->status = LXS_FULL;
            break;
        }
        std::memcpy(d + o, bytes, n);
        i += taken, o += n, ++chars;
    }
    out->pos += o;
    out->chars += chars;
    return chars;
}

uint32_t text_length(const void *text, uint32_t len) {
    return len == LXNUL ? static_cast<uint32_t>(strnlen(static_cast<const char *>(text), LXNUL))
                        : len;
}

// Sign, zero-padded digits and group characters of a whole number, in ASCII.
std::string_view format_int(int32_t value, uint32_t minwidth, char group, char (&buf)[160]) {
    const bool negative = value < 0;
    uint64_t magnitude = negative ? uint64_t{0} - static_cast<uint64_t>(int64_t{value})
                                  : static_cast<uint64_t>(value);
    char digits[16];
    uint32_t ndigits = 0;
    do {
        digits[ndigits++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    auto width = [&](uint32_t d) { return (negative ? 1 : 0) + d + (group ? (d - 1) / 3 : 0); };
    uint32_t total_digits = ndigits;
    while (width(total_digits) < minwidth) ++total_digits;
    size_t len = 0;
    if (negative) buf[len++] = '-';
    for (uint32_t k = total_digits; k > 0; --k) {  // k digits are left to write
        buf[len++] = k > ndigits ? '0' : digits[k - 1];
        if (group && k > 1 && (k - 1) % 3 == 0) buf[len++] = group;
    }
    return {buf, len};
}

}  // namespace

}  // namespace tavo::lx

using namespace tavo::lx;

extern "C" {

TAVO_API int32_t lxoopen(lxcur *out, void *buf, uint32_t size, lxwork *w) noexcept {
    return open_cursor(out, buf, size, w, kOutputCursor);
}

TAVO_API uint32_t lxochar(lxcur *out, uint32_t code, lxwork *w) noexcept {
    const Charset *cs = begin_output(out, w);
    if (!cs) return 0;
    uint8_t b[4];
    const uint32_t n = encode(*cs, code, b);
    if (n == 0) {
        w->status = LXS_BADARG;
        return 0;
    }
    if (!put(out, b, n)) {
        w->status = LXS_FULL;
        return 0;
    }
    return 1;
}

TAVO_API uint32_t lxopad(lxcur *out, uint32_t code, uint32_t count, lxwork *w) noexcept {
    const Charset *cs = begin_output(out, w);
    if (!cs) return 0;
    uint8_t b[4];
    const uint32_t n = encode(*cs, code, b);
    if (n == 0) {
        w->status = LXS_BADARG;
        return 0;
    }
    uint32_t fit = room(out) / n;
    if (fit < count) w->status = LXS_FULL;
    if (count < fit) fit = count;
    if (n == 1 && fit) {
        std::memset(out->text + out->pos, b[0], fit);
        out->pos += fit;
        out->chars += fit;
    } else {
        for (uint32_t i = 0; i < fit; ++i) put(out, b, n);
    }
    return fit;
}

TAVO_API uint32_t lxocopy(lxcur *out, const void *text, uint32_t len, uint32_t maxchars,
                          lxwork *w) noexcept {
    const Charset *cs = begin_output(out, w);
    if (!cs) return 0;
    if (!text) {
        if (len) w->status = LXS_BADARG;
        return 0;
    }
    const auto *s = static_cast<const uint8_t *>(text);
    len = text_length(text, len);
    if (cs->single_byte()) return copy_bytes(out, s, len, maxchars, w, nullptr);
    return copy_mapped(out, *cs, s, len, maxchars, w, [](uint32_t code) { return code; });
}

TAVO_API uint32_t lxoupper(lxcur *out, const void *text, uint32_t len, lxwork *w) noexcept {
    const Charset *cs = begin_output(out, w);
    if (!cs) return 0;
    if (!text) {
        if (len) w->status = LXS_BADARG;
        return 0;
    }
    const auto *s = static_cast<const uint8_t *>(text);
    len = text_length(text, len);
    if (cs->single_byte()) return copy_bytes(out, s, len, len, w, &cs->bytes->upper);
    return upper_utf8(out, s, len, w);
}

TAVO_API uint32_t lxocap(lxcur *out, const void *text, uint32_t len, lxwork *w) noexcept {
    const Charset *cs = begin_output(out, w);
    if (!cs) return 0;
    if (!text) {
        if (len) w->status = LXS_BADARG;
        return 0;
    }
    len = text_length(text, len);
    bool in_word = false;
    return copy_mapped(out, *cs, static_cast<const uint8_t *>(text), len, len, w,
                       [&](uint32_t code) {
                           const bool letter = class_of(*cs, code) & LXC_ALPHA;
                           const bool first = letter && !in_word;
                           in_word = letter;
                           return first ? upper_of(*cs, code) : lower_of(*cs, code);
                       });
}

TAVO_API uint32_t lxoitem(lxcur *out, int32_t item, uint32_t flags, lxwork *w) noexcept {
    const lxenv *env;
    const Charset *cs = begin_output(out, w, &env);
    if (!cs) return 0;
    const std::string_view text = item_text(*env, item);
    if (text.empty()) {
        w->status = LXS_NOITEM;
        return 0;
    }
    return put_text(out, *cs, text, flags, w);
}

TAVO_API uint32_t lxoint(lxcur *out, int32_t value, uint32_t minwidth, uint32_t flags,
                         lxwork *w) noexcept {
    const lxenv *env;
    const Charset *cs = begin_output(out, w, &env);
    if (!cs) return 0;
    if (minwidth > 100) {  // wider than any field the library prints
        w->status = LXS_BADARG;
        return 0;
    }
    char buf[160];
    const char group = (flags & LXO_GROUP) ? env->terr->group : '\0';
    return put_text(out, *cs, format_int(value, minwidth, group, buf), 0, w);
}

TAVO_API uint32_t lxoroman(lxcur *out, int32_t value, uint32_t width, uint32_t flags,
                           lxwork *w) noexcept {
    const Charset *cs = begin_output(out, w);
    if (!cs) return 0;
    char numeral[32];
    const size_t len = roman_numeral(value, numeral);
    if (len == 0 || (width && len > width) || width > 64) {
        w->status = LXS_BADARG;
        return 0;
    }
    char text[64];
    const size_t pad = width ? width - len : 0;
    std::memset(text, ' ', pad);
    std::memcpy(text + pad, numeral, len);
    return put_text(out, *cs, {text, pad + len}, flags, w);
}

TAVO_API uint32_t lxoord(lxcur *out, int32_t value, uint32_t flags, lxwork *w) noexcept {
    const lxenv *env;
    const Charset *cs = begin_output(out, w, &env);
    if (!cs) return 0;
    return put_text(out, *cs, ordinal_suffix(env->lang->id, value), flags, w);
}

TAVO_API uint32_t lxowords(lxcur *out, int32_t value, uint32_t flags, lxwork *w) noexcept {
    const lxenv *env;
    const Charset *cs = begin_output(out, w, &env);
    if (!cs) return 0;
    char buf[512];
    TextBuilder words(buf, sizeof buf);
    int64_t n = value;
    if (n < 0) {
        words.word(env->lang->minus);
        n = -n;
    }
    const Lang lang = env->lang->id;
    if (flags & LXO_YEAR)
        spell_year(lang, n, words);
    else if (flags & LXO_ORDINAL)
        spell_ordinal(lang, n, words);
    else
        spell_cardinal(lang, n, words);
    if (words.overflow()) {
        w->status = LXS_BADARG;
        return 0;
    }
    return put_text(out, *cs, words.view(), flags, w);
}

TAVO_API uint32_t lxoera(lxcur *out, int32_t era, uint32_t flags, lxwork *w) noexcept {
    const lxenv *env;
    const Charset *cs = begin_output(out, w, &env);
    if (!cs) return 0;
    if (era != LXERA_AD && era != LXERA_BC) {
        w->status = LXS_BADARG;
        return 0;
    }
    const size_t k = era == LXERA_AD ? 0 : 1;
    const std::string_view name =
        (flags & LXO_FULL) ? env->lang->eras[k] : env->lang->names[LXI_AD + k];
    return put_text(out, *cs, name, flags, w);
}

}  // extern "C"
