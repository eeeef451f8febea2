// Character sets: classes and case against glibc's wide-character
// functions, conversions against iconv, the EBCDIC set against lcma2e.
#include <iconv.h>

#include <clocale>
#include <cstring>
#include <cwctype>
#include <random>

#include "lx_test_util.hpp"

#if __has_include("lc.h")
#include "lc.h"
#define HAVE_LCMA2E 1
#endif

using namespace lxtest;

namespace {

std::string iconv_convert(const std::string &in, const char *to, const char *from) {
    iconv_t cd = iconv_open(to, from);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string out(in.size() * 4 + 8, '\0');
    char *src = const_cast<char *>(in.data());
    char *dst = out.data();
    size_t left = in.size(), room = out.size();
    EXPECT_NE(iconv(cd, &src, &left, &dst, &room), static_cast<size_t>(-1));
    iconv_close(cd);
    out.resize(out.size() - room);
    return out;
}

uint32_t random_scalar(std::mt19937 &rng) {
    switch (rng() % 4) {
        case 0:
            return rng() % 0x80;
        case 1:
            return 0x80 + rng() % 0x780;
        case 2: {
            uint32_t cp = 0x800 + rng() % 0xF800;
            return cp >= 0xD800 && cp <= 0xDFFF ? cp - 0x800 : cp;
        }
        default:
            return 0x10000 + rng() % 0x100000;
    }
}

struct Props {
    uint32_t cls, upper, lower;
};

Props props_of(Env &env, const std::string &text) {
    lxcur c;
    lxcopen(&c, text.data(), static_cast<uint32_t>(text.size()), &env.w);
    return {lxcclass(&c), lxcupper(&c), lxclower(&c)};
}

// glibc's C.UTF-8 differs from ours on purpose in a few places: the micro
// sign's capital is Greek (outside our range), and the ordinal indicators,
// letters without case, are lower case to it.
bool known_difference(uint32_t cp) {
    return cp == 0xB5 || cp == 0xAA || cp == 0xBA;
}

TEST(LxCharset, Utf8ClassesAndCaseAgreeWithGlibc) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    Env env("AMERICAN.AL32UTF8");
    for (uint32_t cp = 0; cp < 0x250; ++cp) {
        if (known_difference(cp) || (cp >= 0x80 && cp < 0xA0)) continue;
        const Props p = props_of(env, utf8_of(cp));
        const auto wc = static_cast<wint_t>(cp);
        const bool ours = cp < 0x180;  // beyond Latin Extended-A we know no letters
        EXPECT_EQ((p.cls & LXC_DIGIT) != 0, iswdigit(wc) != 0) << std::hex << cp;
        EXPECT_EQ((p.cls & LXC_SPACE) != 0, iswspace(wc) != 0) << std::hex << cp;
        if (!ours) {
            EXPECT_EQ(p.cls & (LXC_ALPHA | LXC_UPPER | LXC_LOWER), 0u) << std::hex << cp;
            continue;
        }
        EXPECT_EQ((p.cls & LXC_ALPHA) != 0, iswalpha(wc) != 0) << std::hex << cp;
        EXPECT_EQ((p.cls & LXC_UPPER) != 0, iswupper(wc) != 0) << std::hex << cp;
        EXPECT_EQ((p.cls & LXC_LOWER) != 0, iswlower(wc) != 0) << std::hex << cp;
        EXPECT_EQ(p.upper, static_cast<uint32_t>(towupper(wc))) << std::hex << cp;
        EXPECT_EQ(p.lower, static_cast<uint32_t>(towlower(wc))) << std::hex << cp;
    }
    std::setlocale(LC_CTYPE, "C");
}

// Upper-casing long UTF-8 texts (ASCII runs taken eight bytes at a time,
// the rest character by character) agrees with towupper character by
// character, and so does the count of characters with stepping.
TEST(LxCharset, Utf8UpperAndCountOverLongTexts) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    Env env("FRENCH.AL32UTF8");
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        std::string text, expected;
        for (int k = static_cast<int>(rng() % 400); k > 0; --k) {
            uint32_t cp;
            switch (rng() % 6) {
                case 0:
                    cp = 0xA0 + rng() % 0xE0;
                    break;  // Latin-1 and Extended-A
                case 1:
                    cp = rng() % 3 ? 0x20AC : 0x1F600;
                    break;
                default:
                    cp = 0x20 + rng() % 0x5F;
                    break;
            }
            if (cp == 0xB5) cp = 'u';  // the micro sign's capital is Greek (see above)
            text += utf8_of(cp);
            expected += utf8_of(static_cast<uint32_t>(towupper(static_cast<wint_t>(cp))));
        }
        std::string out(text.size() + 8, '#');
        lxcur c;
        lxoopen(&c, out.data(), static_cast<uint32_t>(text.size()), &env.w);
        lxoupper(&c, text.data(), static_cast<uint32_t>(text.size()), &env.w);
        EXPECT_EQ(out.substr(0, c.pos), expected);
        EXPECT_EQ(out.substr(text.size()), "########");
        if (rng() % 2) text.insert(rng() % (text.size() + 1), "\xE2\x82");  // a cut character
        lxcopen(&c, text.data(), static_cast<uint32_t>(text.size()), &env.w);
        const uint32_t count = lxccount(&c);
        uint32_t steps = 0;
        while (lxcnext(&c)) ++steps;
        EXPECT_EQ(count, steps);
    }
    std::setlocale(LC_CTYPE, "C");
}

// In every single-byte set a byte has the class and case of its Unicode
// character, case mapping staying inside the set.
TEST(LxCharset, SingleByteSetsFollowTheirCharacters) {
    Env utf8("AMERICAN.AL32UTF8");
    for (const char *set : {"US7ASCII", "WE8ISO8859P1", "WE8EBCDIC"}) {
        Env env(std::string("AMERICAN.") + set);
        for (uint32_t b = 0; b < 256; ++b) {
            const std::string byte(1, static_cast<char>(b));
            const Props p = props_of(env, byte);
            const std::string as_utf8 = to_utf8(byte, env.cs());
            const bool valid = !(env.cs() == LXCS_US7ASCII && b >= 0x80);
            if (!valid) {
                EXPECT_EQ(p.cls, 0u) << set << " " << b;
                EXPECT_EQ(p.upper, b) << set << " " << b;
                continue;
            }
            const Props u = props_of(utf8, as_utf8);
            EXPECT_EQ(p.cls, u.cls) << set << " " << b;
            const std::string up = to_utf8(std::string(1, static_cast<char>(p.upper)), env.cs());
            const std::string lo = to_utf8(std::string(1, static_cast<char>(p.lower)), env.cs());
            // A capital outside the set (Y with diaeresis in Latin-1) leaves the byte alone.
            EXPECT_TRUE(up == utf8_of(u.upper) || (u.upper > 0xFF && p.upper == b)) << set << b;
            EXPECT_EQ(lo, utf8_of(u.lower)) << set << " " << b;
        }
    }
}

// The table that ASCII (and Latin-1) text takes into EBCDIC, row by row.
constexpr uint8_t kEbcdicRows[16][16] = {
    {0x00, 0x01, 0x02, 0x03, 0x37, 0x2D, 0x2E, 0x2F, 0x16, 0x05, 0x25, 0x0B, 0x0C, 0x0D, 0x0E,
     0x0F},
    {0x10, 0x11, 0x12, 0x13, 0x3C, 0x3D, 0x32, 0x26, 0x18, 0x19, 0x3F, 0x27, 0x1C, 0x1D, 0x1E,
     0x1F},
    {0x40, 0x4F, 0x7F, 0x7B, 0x5B, 0x6C, 0x50, 0x7D, 0x4D, 0x5D, 0x5C, 0x4E, 0x6B, 0x60, 0x4B,
     0x61},
    {0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0x7A, 0x5E, 0x4C, 0x7E, 0x6E,
     0x6F},
    {0x7C, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5,
     0xD6},
    {0xD7, 0xD8, 0xD9, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0x4A, 0xE0, 0x5A, 0x5F,
     0x6D},
    {0x79, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x91, 0x92, 0x93, 0x94, 0x95,
     0x96},
    {0x97, 0x98, 0x99, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xC0, 0x6A, 0xD0, 0xA1,
     0x07},
    {0x20, 0x21, 0x22, 0x23, 0x24, 0x15, 0x06, 0x17, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x09, 0x0A,
     0x1B},
    {0x30, 0x31, 0x1A, 0x33, 0x34, 0x35, 0x36, 0x08, 0x38, 0x39, 0x3A, 0x3B, 0x04, 0x14, 0x3E,
     0xE1},
    {0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56,
     0x57},
    {0x58, 0x59, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x70, 0x71, 0x72, 0x73, 0x74,
     0x75},
    {0x76, 0x77, 0x78, 0x80, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x9A, 0x9B, 0x9C, 0x9D,
     0x9E},
    {0x9F, 0xA0, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6,
     0xB7},
    {0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xDA,
     0xDB},
    {0xDC, 0xDD, 0xDE, 0xDF, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE,
     0xFF},
};

TEST(LxCharset, EbcdicIsLatin1UnderTheTranslationTable) {
    std::string latin1(256, '\0'), ebcdic(256, '\0');
    for (int b = 0; b < 256; ++b) latin1[b] = static_cast<char>(b);
    lxwork w{};
    ASSERT_EQ(lxconv(ebcdic.data(), 256, LXCS_WE8EBCDIC, latin1.data(), 256, LXCS_WE8ISO8859P1, &w),
              256u);
    EXPECT_EQ(w.status, LXS_OK);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(static_cast<uint8_t>(ebcdic[b]), kEbcdicRows[b / 16][b % 16]) << b;
#ifdef HAVE_LCMA2E
    std::string theirs(256, '\0');
    lcma2e(theirs.data(), latin1.data(), 256);
    EXPECT_EQ(theirs, ebcdic);
#endif
    std::string back(256, '\0');
    ASSERT_EQ(lxconv(back.data(), 256, LXCS_WE8ISO8859P1, ebcdic.data(), 256, LXCS_WE8EBCDIC, &w),
              256u);
    EXPECT_EQ(back, latin1);
}

TEST(LxConv, AgreesWithIconvOnRandomText) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 200; ++round) {
        std::string latin1(rng() % 300, '\0');
        for (char &ch : latin1) ch = static_cast<char>(1 + rng() % 255);
        const std::string utf8 = to_utf8(latin1, LXCS_WE8ISO8859P1);
        EXPECT_EQ(utf8, iconv_convert(latin1, "UTF-8", "ISO-8859-1"));
        EXPECT_EQ(from_utf8(utf8, LXCS_WE8ISO8859P1), latin1);
        const std::string ebcdic = from_utf8(utf8, LXCS_WE8EBCDIC);
        EXPECT_EQ(to_utf8(ebcdic, LXCS_WE8EBCDIC), utf8);

        std::string text;
        std::u32string cps;
        for (int k = static_cast<int>(rng() % 60); k > 0; --k) {
            cps += static_cast<char32_t>(random_scalar(rng));
            text += utf8_of(cps.back());
        }
        EXPECT_EQ(iconv_convert(text, "UTF-32LE", "UTF-8"),
                  std::string(reinterpret_cast<const char *>(cps.data()), cps.size() * 4));
        // Into the single-byte sets: what they have, else the replacement.
        for (int32_t set : {LXCS_US7ASCII, LXCS_WE8ISO8859P1}) {
            std::string expected;
            for (char32_t cp : cps)
                expected +=
                    cp < (set == LXCS_US7ASCII ? 0x80u : 0x100u) ? static_cast<char>(cp) : '?';
            lxwork w{};
            std::string out(text.size() + 1, '\0');
            const uint32_t n =
                lxconv(out.data(), static_cast<uint32_t>(out.size()), set, text.data(),
                       static_cast<uint32_t>(text.size()), LXCS_AL32UTF8, &w);
            EXPECT_EQ(out.substr(0, n), expected);
            EXPECT_EQ(w.consumed, text.size());
            EXPECT_EQ(w.status, expected.find('?') == std::string::npos ? LXS_OK : LXS_REPLACED);
        }
        // UTF-16 big-endian, as it is and upper-cased.
        Env env("AMERICAN.AL32UTF8");
        std::string u16(text.size() * 2 + 2, '\0');
        const uint32_t n = lxtou16(u16.data(), static_cast<uint32_t>(u16.size()), text.data(),
                                   static_cast<uint32_t>(text.size()), &env.w);
        EXPECT_EQ(u16.substr(0, n), iconv_convert(text, "UTF-16BE", "UTF-8"));
    }
}

TEST(LxConv, BadInputFullOutputAndUnknownSets) {
    lxwork w{};
    char out[16];
    // Invalid UTF-8 bytes each become one replacement character.
    const char bad[] = "a\xC3(\xE2\x82\xF5z";
    uint32_t n = lxconv(out, sizeof out, LXCS_WE8ISO8859P1, bad, 7, LXCS_AL32UTF8, &w);
    EXPECT_EQ(std::string(out, n),
              "a?(??"
              "?z");
    EXPECT_EQ(w.status, LXS_REPLACED);
    n = lxconv(out, sizeof out, LXCS_AL32UTF8, "\x80", 1, LXCS_US7ASCII, &w);
    EXPECT_EQ(std::string(out, n), "\xEF\xBF\xBD");
    // A full output stops before the character that does not fit.
    std::memset(out, '#', sizeof out);
    n = lxconv(out, 3, LXCS_AL32UTF8, "ab\xE9", 3, LXCS_WE8ISO8859P1, &w);
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(w.status, LXS_FULL);
    EXPECT_EQ(w.consumed, 2u);
    EXPECT_EQ(std::string(out, 5), "ab###");
    EXPECT_EQ(lxconv(out, 0, LXCS_WE8EBCDIC, "ab", 2, LXCS_WE8ISO8859P1, &w), 0u);
    EXPECT_EQ(w.status, LXS_FULL);
    EXPECT_EQ(lxconv(out, sizeof out, 9, "ab", 2, LXCS_US7ASCII, &w), 0u);
    EXPECT_EQ(w.status, LXS_BADARG);
    EXPECT_EQ(lxconv(nullptr, 4, LXCS_US7ASCII, "ab", 2, LXCS_US7ASCII, &w), 0u);
    EXPECT_EQ(w.status, LXS_BADARG);
    EXPECT_EQ(lxconv(out, sizeof out, LXCS_US7ASCII, "xyz", LXNUL, LXCS_US7ASCII, &w), 3u);
    EXPECT_EQ(lxconv(out, sizeof out, LXCS_US7ASCII, "ab", 2, LXCS_US7ASCII, nullptr), 0u);
}

TEST(LxConv, TwoByteForms) {
    Env latin1("AMERICAN.WE8ISO8859P1");
    uint8_t out[32];
    const char text[] = "Scott\xFF\xE9";  // Scottÿé
    uint32_t n = lxtou16up(out, sizeof out, text, 7, &latin1.w);
    const uint8_t upper[] = {0, 'S', 0, 'C', 0, 'O', 0, 'T', 0, 'T', 0x01, 0x78, 0, 0xC9};
    ASSERT_EQ(n, sizeof upper);
    EXPECT_EQ(std::memcmp(out, upper, n), 0);
    n = lxtou16(out, sizeof out, text, 7, &latin1.w);
    const uint8_t as_is[] = {0, 'S', 0, 'c', 0, 'o', 0, 't', 0, 't', 0, 0xFF, 0, 0xE9};
    ASSERT_EQ(n, sizeof as_is);
    EXPECT_EQ(std::memcmp(out, as_is, n), 0);
    // Room for 2n + 2 bytes always suffices; less gives LXS_FULL and whole units.
    Env utf8("AMERICAN.AL32UTF8");
    const char wide[] = "a\xF0\x9F\x98\x80";  // a and U+1F600
    n = lxtou16(out, 2 * 5 + 2, wide, 5, &utf8.w);
    const uint8_t pair[] = {0, 'a', 0xD8, 0x3D, 0xDE, 0x00};
    ASSERT_EQ(n, sizeof pair);
    EXPECT_EQ(std::memcmp(out, pair, n), 0);
    EXPECT_EQ(lxtou16(out, 5, wide, 5, &utf8.w), 2u);
    EXPECT_EQ(utf8.w.status, LXS_FULL);
    EXPECT_EQ(lxtou16(out, 0, wide, 5, &utf8.w), 0u);
    EXPECT_EQ(lxtou16(out, sizeof out, wide, 5, nullptr), 0u);
    Env ebcdic("AMERICAN.WE8EBCDIC");
    n = lxtou16up(out, sizeof out, "\x81\xC2", 2, &ebcdic.w);  // a, B
    const uint8_t ab[] = {0, 'A', 0, 'B'};
    ASSERT_EQ(n, 4u);
    EXPECT_EQ(std::memcmp(out, ab, 4), 0);
}

}  // namespace
