// The character sets: classes and case of the characters, the tables of
// the single-byte sets, and UTF-8 text of the language tables rendered in
// a set.
#include <algorithm>
#include <cctype>

#include "chars/ebcdic.hpp"
#include "langsupport/lx_internal.h"

namespace tavo::lx {

namespace {

// ---- Unicode properties: Latin-1 and Latin Extended-A ---------------------

// Latin Extended-A alternates upper and lower case in runs; in the runs
// that start on an even code point the upper-case letter is the even one.
constexpr bool ext_a_upper_is_even(uint32_t cp) {
    return (cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177);
}
constexpr bool ext_a_paired(uint32_t cp) {
    return (cp >= 0x100 && cp <= 0x137) || (cp >= 0x139 && cp <= 0x148) ||
           (cp >= 0x14A && cp <= 0x177) || (cp >= 0x179 && cp <= 0x17E);
}

constexpr uint32_t class_of_cp(uint32_t cp) {
    constexpr uint32_t upper = LXC_UPPER | LXC_ALPHA, lower = LXC_LOWER | LXC_ALPHA;
    if (cp >= '0' && cp <= '9') return LXC_DIGIT;
    if (cp >= 'A' && cp <= 'Z') return upper;
    if (cp >= 'a' && cp <= 'z') return lower;
    if (cp == ' ' || (cp >= 0x09 && cp <= 0x0D)) return LXC_SPACE;
    if (cp == 0xAA || cp == 0xBA) return LXC_ALPHA;  // ordinal indicators: letters without case
    if (cp == 0xB5) return lower;                    // micro sign
    if (cp >= 0xC0 && cp <= 0xDE) return cp == 0xD7 ? 0 : upper;
    if (cp >= 0xDF && cp <= 0xFF) return cp == 0xF7 ? 0 : lower;
    if (cp == 0x130) return upper;  // capital I with dot
    if (cp == 0x131 || cp == 0x138 || cp == 0x149 || cp == 0x17F) return lower;
    if (cp == 0x178) return upper;  // capital Y with diaeresis
    if (ext_a_paired(cp)) return ((cp % 2 == 0) == ext_a_upper_is_even(cp)) ? upper : lower;
    return 0;
}

constexpr uint32_t upper_of_cp(uint32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 32;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 32;
    if (cp == 0xFF) return 0x178;
    if (cp == 0x131) return 'I';
    if (cp == 0x17F) return 'S';
    if (cp == 0x130) return cp;
    // In every pair the lower-case letter follows its capital.
    if (ext_a_paired(cp) && (class_of_cp(cp) & LXC_LOWER)) return cp - 1;
    return cp;
}

constexpr uint32_t lower_of_cp(uint32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
    if (cp == 0x178) return 0xFF;
    if (cp == 0x130) return 'i';
    if (cp == 0x131) return cp;
    if (ext_a_paired(cp) && (class_of_cp(cp) & LXC_UPPER)) return cp + 1;
    return cp;
}

template <typename F>
constexpr std::array<uint16_t, kCaseRange> table_of(F f) {
    std::array<uint16_t, kCaseRange> t{};
    for (uint32_t cp = 0; cp < kCaseRange; ++cp) t[cp] = static_cast<uint16_t>(f(cp));
    return t;
}

constexpr auto kClasses = table_of(class_of_cp);
constexpr auto kUpper = table_of(upper_of_cp);
constexpr auto kLower = table_of(lower_of_cp);

}  // namespace

uint32_t unicode_class(uint32_t cp) {
    return cp < kCaseRange ? kClasses[cp] : 0;
}
uint32_t unicode_upper(uint32_t cp) {
    return cp < kCaseRange ? kUpper[cp] : cp;
}
uint32_t unicode_lower(uint32_t cp) {
    return cp < kCaseRange ? kLower[cp] : cp;
}

// The EBCDIC set is Latin-1 under the table lcma2e translates with.
constexpr const std::array<uint8_t, 256> &kAsciiToEbcdicTable = tavo::chars::kAsciiToEbcdic;
const std::array<uint8_t, 256> kAsciiToEbcdic = kAsciiToEbcdicTable;

namespace {

enum class ByteSet { Ascii7, Latin1, Ebcdic };

constexpr ByteTables make_tables(ByteSet set) {
    ByteTables t{};
    for (uint32_t b = 0; b < 256; ++b) {
        t.to_unicode[b] = kNone;
        t.from_latin1[b] = -1;
    }
    for (uint32_t cp = 0; cp < 256; ++cp) {
        if (set == ByteSet::Ascii7 && cp >= 0x80) continue;
        const uint32_t b = set == ByteSet::Ebcdic ? kAsciiToEbcdicTable[cp] : cp;
        t.to_unicode[b] = cp;
        t.from_latin1[cp] = static_cast<int16_t>(b);
    }
    for (uint32_t b = 0; b < 256; ++b) {
        const uint32_t u = t.to_unicode[b];
        t.upper[b] = t.lower[b] = static_cast<uint8_t>(b);
        if (u == kNone) continue;
        t.classes[b] = static_cast<uint16_t>(class_of_cp(u));
        // A case partner outside the set (y with diaeresis in Latin-1) leaves the byte as it is.
        if (const uint32_t up = upper_of_cp(u); up < 256 && t.from_latin1[up] >= 0)
            t.upper[b] = static_cast<uint8_t>(t.from_latin1[up]);
        if (const uint32_t lo = lower_of_cp(u); lo < 256 && t.from_latin1[lo] >= 0)
            t.lower[b] = static_cast<uint8_t>(t.from_latin1[lo]);
    }
    return t;
}

constexpr ByteTables kAscii7 = make_tables(ByteSet::Ascii7);
constexpr ByteTables kLatin1 = make_tables(ByteSet::Latin1);
constexpr ByteTables kEbcdic = make_tables(ByteSet::Ebcdic);

}  // namespace

constexpr std::array<Charset, kCharsetCount> kCharsets = {{
    {"US7ASCII", LXCS_US7ASCII, 1, true, '?', &kAscii7},
    {"WE8ISO8859P1", LXCS_WE8ISO8859P1, 1, true, '?', &kLatin1},
    {"AL32UTF8", LXCS_AL32UTF8, 4, true, '?', nullptr},
    {"WE8EBCDIC", LXCS_WE8EBCDIC, 1, false, kAsciiToEbcdicTable['?'], &kEbcdic},
}};

namespace {

static_assert(kEbcdic.to_unicode[0xC1] == 'A' && kEbcdic.upper[0x81] == 0xC1);
static_assert(kLatin1.upper[0xE9] == 0xC9 && kLatin1.upper[0xFF] == 0xFF);
static_assert(kAscii7.classes[0xE9] == 0 && kAscii7.to_unicode[0x80] == kNone);

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

const Charset *charset(int32_t id) {
    return id >= 0 && id < kCharsetCount ? &kCharsets[static_cast<size_t>(id)] : nullptr;
}

const Charset *find_charset(std::string_view name) {
    for (const Charset &cs : kCharsets)
        if (same_name(cs.name, name)) return &cs;
    return nullptr;
}

bool utf8_cut_short(const uint8_t *s, size_t n) {
    if (n == 0 || n > 3) return false;
    const uint32_t b0 = s[0];
    uint32_t need;
    uint8_t lo = 0x80, hi = 0xBF;  // range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        return false;
    }
    if (n > need) return false;
    for (size_t i = 1; i < n; ++i) {
        const uint8_t b = s[i];
        if (i == 1 ? (b < lo || b > hi) : (b & 0xC0) != 0x80) return false;
    }
    return true;
}

uint32_t class_of(const Charset &cs, uint32_t code) {
    if (cs.bytes) return code < 256 ? cs.bytes->classes[code] : 0;
    return unicode_class(code);
}

uint32_t upper_of(const Charset &cs, uint32_t code) {
    if (cs.bytes) return code < 256 ? cs.bytes->upper[code] : code;
    return unicode_upper(code);
}

uint32_t lower_of(const Charset &cs, uint32_t code) {
    if (cs.bytes) return code < 256 ? cs.bytes->lower[code] : code;
    return unicode_lower(code);
}

uint32_t through_set(const Charset &cs, uint32_t cp) {
    if (code_of(cs, cp) != kNone) return cp;
    return cs.bytes ? cs.bytes->to_unicode[cs.replacement] : kReplacementChar;
}

namespace {

bool is_ascii(const uint8_t *s, size_t n) {
    uint8_t any = 0;
    for (size_t i = 0; i < n; ++i) any |= s[i];
    return any < 0x80;
}

}  // namespace

uint32_t from_utf8(const Charset &cs, std::string_view text, uint8_t *out, uint32_t size,
                   bool *replaced) {
    const auto *s = reinterpret_cast<const uint8_t *>(text.data());
    // Plain ASCII text is the same bytes in every ASCII-based set (most
    // names of most languages are).
    const size_t n = text.size();
    if (cs.ascii_based && is_ascii(s, n)) {
        if (n > size) return kNone;
        for (size_t i = 0; i < n; ++i) out[i] = s[i];
        return static_cast<uint32_t>(n);
    }
    // Measures first, so that a text that does not fit writes nothing.
    auto render = [&](uint8_t *dst) {
        uint32_t written = 0;
        for (size_t i = 0; i < text.size();) {
            const Decoded d = utf8_decode(s + i, text.size() - i);
            i += d.len;
            uint32_t code = code_of(cs, d.cp);
            if (code == kNone || !d.valid) {
                if (replaced) *replaced = true;
                code = cs.bytes ? cs.replacement : kReplacementChar;
            }
            uint8_t bytes[4];
            const uint32_t len = encode(cs, code, bytes);
            if (dst)
                for (uint32_t k = 0; k < len; ++k) dst[written + k] = bytes[k];
            written += len;
        }
        return written;
    };
    const uint32_t need = render(nullptr);
    if (need > size) return kNone;
    return render(out);
}

}  // namespace tavo::lx
