// Language support inside: character sets, languages, territories and the
// shared environments built from them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "lx.h"

namespace tavo::lx {

constexpr uint32_t kReplacementChar = 0xFFFD;
constexpr uint32_t kNone = 0xFFFFFFFFu;  // no such character

// ---- Unicode properties of the characters we classify (U+0000..U+017F) ----

constexpr uint32_t kCaseRange = 0x180;  // Latin-1 and Latin Extended-A

uint32_t unicode_class(uint32_t cp);
uint32_t unicode_upper(uint32_t cp);
uint32_t unicode_lower(uint32_t cp);

// ---- UTF-8 -------------------------------------------------------------------

struct Decoded {
    uint32_t cp;   // code point, kReplacementChar for an invalid byte
    uint32_t len;  // bytes taken: 1..4; 1 for an invalid byte
    bool valid;
};

// Decodes one character of s[0..n), n >= 1. Overlong forms, surrogates,
// code points beyond U+10FFFF and cut sequences are one invalid byte.
inline Decoded utf8_decode(const uint8_t *s, size_t n) {
    const uint32_t b0 = s[0];
    if (b0 < 0x80) return {b0, 1, true};
    uint32_t need, cp, min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1, cp = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2, cp = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3, cp = b0 & 0x07, min = 0x10000;
    } else {
        return {kReplacementChar, 1, false};
    }
    if (n <= need) return {kReplacementChar, 1, false};
    for (uint32_t i = 1; i <= need; ++i) {
        const uint32_t b = s[i];
        if ((b & 0xC0) != 0x80) return {kReplacementChar, 1, false};
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return {kReplacementChar, 1, false};
    return {cp, need + 1, true};
}

// True when s[0..n) is the valid beginning of a longer UTF-8 character.
bool utf8_cut_short(const uint8_t *s, size_t n);

// Encodes a code point (U+0000..U+10FFFF, no surrogates); returns 1..4.
inline uint32_t utf8_encode(uint32_t cp, uint8_t *out) {
    if (cp < 0x80) {
        out[0] = static_cast<uint8_t>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<uint8_t>(0xC0 | (cp >> 6));
        out[1] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<uint8_t>(0xE0 | (cp >> 12));
        out[1] = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<uint8_t>(0xF0 | (cp >> 18));
    out[1] = static_cast<uint8_t>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
    return 4;
}

inline bool unicode_scalar(uint32_t cp) {
    return cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

// ---- Character sets -------------------------------------------------------------

// Tables of a single-byte set, indexed by byte.
struct ByteTables {
    std::array<uint32_t, 256> to_unicode;  // kNone: the byte is not a character
    std::array<int16_t, 256> from_latin1;  // byte of U+0000..U+00FF, -1 when absent
    std::array<uint16_t, 256> classes;
    std::array<uint8_t, 256> upper;
    std::array<uint8_t, 256> lower;
};

struct Charset {
    std::string_view name;
    int32_t id;
    uint8_t maxbytes;
    bool ascii_based;
    uint8_t replacement;      // byte written for a missing character (single-byte sets)
    const ByteTables *bytes;  // null for UTF-8
    bool single_byte() const { return bytes != nullptr; }
};

const Charset *charset(int32_t id);  // null for an unknown id
const Charset *find_charset(std::string_view name);
extern const std::array<uint8_t, 256> kAsciiToEbcdic;

// One character of text in a set: its code (byte or code point), its
// Unicode code point (kReplacementChar when invalid) and its length.
struct Char {
    uint32_t code;
    uint32_t cp;
    uint32_t len;
    bool valid;
};

inline Char decode(const Charset &cs, const uint8_t *s, size_t n) {
    if (cs.bytes) {
        const uint32_t u = cs.bytes->to_unicode[s[0]];
        return {s[0], u == kNone ? kReplacementChar : u, 1, u != kNone};
    }
    const Decoded d = utf8_decode(s, n);
    return {d.cp, d.cp, d.len, d.valid};
}

// The code of a Unicode character in the set, kNone when the set lacks it.
inline uint32_t code_of(const Charset &cs, uint32_t cp) {
    if (!cs.bytes) return unicode_scalar(cp) ? cp : kNone;
    if (cp >= 0x100) return kNone;
    const int16_t b = cs.bytes->from_latin1[cp];
    return b < 0 ? kNone : static_cast<uint32_t>(b);
}

// The Unicode character of a code of the set, kNone when it has none.
inline uint32_t unicode_of(const Charset &cs, uint32_t code) {
    if (!cs.bytes) return unicode_scalar(code) ? code : kNone;
    return code < 0x100 ? cs.bytes->to_unicode[code] : kNone;
}

// Bytes of a code (1..4), written to out; 0 when it is not a code of the set.
inline uint32_t encode(const Charset &cs, uint32_t code, uint8_t *out) {
    if (cs.bytes) {
        if (code >= 0x100) return 0;
        out[0] = static_cast<uint8_t>(code);
        return 1;
    }
    if (!unicode_scalar(code)) return 0;
    return utf8_encode(code, out);
}

uint32_t class_of(const Charset &cs, uint32_t code);
uint32_t upper_of(const Charset &cs, uint32_t code);
uint32_t lower_of(const Charset &cs, uint32_t code);

// A Unicode character as seen through the set: itself when the set has it,
// else the set's replacement character. Texts compare this way, so that
// what was printed with replacements reads back.
uint32_t through_set(const Charset &cs, uint32_t cp);

// Converts UTF-8 text (the language tables) into the set, whole characters
// only. Returns bytes written, or kNone when the text does not fit in
// size. replaced is set when a character was replaced.
uint32_t from_utf8(const Charset &cs, std::string_view text, uint8_t *out, uint32_t size,
                   bool *replaced = nullptr);

// ---- Languages and territories ----------------------------------------------------

enum class Lang : uint8_t { American, English, German, French, Spanish, Italian };
constexpr int kLanguageCount = 6;
constexpr int kTerritoryCount = 6;
constexpr int kCharsetCount = 4;

class TextBuilder;

struct Language {
    std::string_view name;
    Lang id;
    std::string_view msgcode;
    uint8_t territory;                       // default territory
    std::array<std::string_view, 44> names;  // items 0..43 (38, 39 empty)
    std::string_view datefmt;                // item 76
    std::array<std::string_view, 2> eras;    // full era names: AD, BC
    std::string_view minus;                  // word for a negative number
    bool fixed_periods;                      // "a.m." is the English fixed form
    std::array<uint8_t, 4> widest;           // items 93..96
};

struct Territory {
    std::string_view name;
    char decimal;
    char group;
    std::string_view localcur;  // UTF-8
    std::string_view isocur;
    uint8_t firstday;
};

// The tables, constant-initialised so that the environments made of them
// need no first-use guard.
extern const std::array<Charset, kCharsetCount> kCharsets;
extern const std::array<Language, kLanguageCount> kLanguages;
extern const std::array<Territory, kTerritoryCount> kTerritories;

const Language &language(int index);
const Territory &territory(int index);
int find_language(std::string_view name);   // -1 when unknown
int find_territory(std::string_view name);  // -1 when unknown

}  // namespace tavo::lx

// The environment handle: one per (language, territory, character set).
struct lxenv {
    const tavo::lx::Language *lang;
    const tavo::lx::Territory *terr;
    const tavo::lx::Charset *cs;
    uint8_t l, t, c;
};

namespace tavo::lx {

const lxenv *environment(int l, int t, int c);

// The UTF-8 text of a text item, empty when the item does not exist.
std::string_view item_text(const lxenv &env, int32_t item);
// The territory's local currency symbol, or its ISO symbol when the set
// cannot show the local one.
std::string_view local_currency(const lxenv &env);

// The bound environment of a work area; sets LXS_BADARG and gives null
// when there is none. Clears the status and the consumed count otherwise.
const lxenv *begin(lxwork *w);

inline void set_status(lxwork *w, int32_t status) {
    if (w) w->status = status;
}

// ---- Text building (words, numbers) in UTF-8 ---------------------------------------

// A fixed buffer that records the first overflow and keeps going harmlessly.
class TextBuilder {
  public:
    TextBuilder(char *buf, size_t size) : buf_(buf), size_(size) {}
    TextBuilder &add(std::string_view s) {
        if (s.size() > size_ - len_) {
            overflow_ = true;
            return *this;
        }
        for (char ch : s) buf_[len_++] = ch;
        return *this;
    }
    // Adds a blank first unless the text is empty.
    TextBuilder &word(std::string_view s) {
        if (len_ > 0) add(" ");
        return add(s);
    }
    void truncate(size_t n) {
        if (n < len_) len_ = n;
    }
    std::string_view view() const { return {buf_, len_}; }
    size_t size() const { return len_; }
    bool overflow() const { return overflow_; }

  private:
    char *buf_;
    size_t size_;
    size_t len_ = 0;
    bool overflow_ = false;
};

// Words of a number in the language (UTF-8, lower case).
void spell_cardinal(Lang lang, int64_t n, TextBuilder &out);
void spell_ordinal(Lang lang, int64_t n, TextBuilder &out);
void spell_year(Lang lang, int64_t n, TextBuilder &out);
// The ordinal suffix of a number (UTF-8).
std::string_view ordinal_suffix(Lang lang, int64_t n);

// Roman numeral of 1..3999 in lower case; returns its length (0 when out of range).
size_t roman_numeral(int32_t value, char *out);

}  // namespace tavo::lx
