// The character sets: classes and case of the characters, the tables of
// the single-byte sets, and UTF-8 text of the language tables rendered in
// a set.
#include <algorithm>
#include <cctype>

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

// The ASCII-to-EBCDIC table (a permutation of the 256 byte values) that
// lcma2e translates with; the EBCDIC set is Latin-1 under it.
constexpr std::array<uint8_t, 256> kAsciiToEbcdicTable = {
    0x00, 0x01, 0x02, 0x03, 0x37, 0x2D, 0x2E, 0x2F, 0x16, 0x05, 0x25, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
    0x10, 0x11, 0x12, 0x13, 0x3C, 0x3D, 0x32, 0x26, 0x18, 0x19, 0x3F, 0x27, 0x1C, 0x1D, 0x1E, 0x1F,
    0x40, 0x4F, 0x7F, 0x7B, 0x5B, 0x6C, 0x50, 0x7D, 0x4D, 0x5D, 0x5C, 0x4E, 0x6B, 0x60, 0x4B, 0x61,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0x7A, 0x5E, 0x4C, 0x7E, 0x6E, 0x6F,
    0x7C, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6,
    0xD7, 0xD8, 0xD9, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0x4A, 0xE0, 0x5A, 0x5F, 0x6D,
    0x79, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96,
    0x97, 0x98, 0x99, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xC0, 0x6A, 0xD0, 0xA1, 0x07,
    0x20, 0x21, 0x22, 0x23, 0x24, 0x15, 0x06, 0x17, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x09, 0x0A, 0x1B,
    0x30, 0x31, 0x1A, 0x33, 0x34, 0x35, 0x36, 0x08, 0x38, 0x39, 0x3A, 0x3B, 0x04, 0x14, 0x3E, 0xE1,
    0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57,
    0x58, 0x59, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x70, 0x71, 0x72, 0x73, 0x74, 0x75,
    0x76, 0x77, 0x78, 0x80, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E,
    0x9F, 0xA0, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7,
    0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xDA, 0xDB,
    0xDC, 0xDD, 0xDE, 0xDF, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,
};
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

constexpr std::array<Charset, kCharsetCount> kCharsets = {{
    {"US7ASCII", LXCS_US7ASCII, 1, true, '?', &kAscii7},
    {"WE8ISO8859P1", LXCS_WE8ISO8859P1, 1, true, '?', &kLatin1},
    {"AL32UTF8", LXCS_AL32UTF8, 4, true, '?', nullptr},
    {"WE8EBCDIC", LXCS_WE8EBCDIC, 1, false, kAsciiToEbcdicTable['?'], &kEbcdic},
}};

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

uint32_t from_utf8(const Charset &cs, std::string_view text, uint8_t *out, uint32_t size,
                   bool *replaced) {
    const auto *s = reinterpret_cast<const uint8_t *>(text.data());
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
