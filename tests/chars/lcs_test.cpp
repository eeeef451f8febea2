// NUL-terminated strings, bit vectors and name-value tables.
#include <gtest/gtest.h>

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "lc.h"

namespace {

// ---- Case and capitalisation ------------------------------------------------------

std::string lower(const std::string &s) {
    std::vector<char> out(s.size() + 1);
    EXPECT_EQ(lcslo(out.data(), s.c_str()), out.data());
    return out.data();
}

std::string upper(const std::string &s) {
    std::vector<char> out(s.size() + 1);
    EXPECT_EQ(lcsup(out.data(), s.c_str()), out.data());
    return out.data();
}

std::string capitalised(const std::string &s) {
    std::vector<char> out(s.size() + 1);
    EXPECT_EQ(lcscp(out.data(), s.c_str()), out.data());
    return out.data();
}

TEST(StringCase, Examples) {
    EXPECT_EQ(lower("Hello, WORLD 42"), "hello, world 42");
    EXPECT_EQ(upper("Hello, world 42"), "HELLO, WORLD 42");
    EXPECT_EQ(capitalised("hello world"), "Hello World");
    EXPECT_EQ(capitalised("mARCH"), "MARCH");
    EXPECT_EQ(capitalised("o'neil mc2x"), "O'Neil Mc2X");
    EXPECT_EQ(capitalised(""), "");
    char s[] = "in place";
    EXPECT_STREQ(lcsup(s, s), "IN PLACE");
}

TEST(StringCase, AllBytesInTheCLocaleChangeOnlyAsciiLetters) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    const std::string lo = lower(all), up = upper(all);
    ASSERT_EQ(lo.size(), all.size());
    for (size_t i = 0; i < all.size(); ++i) {
        const auto c = static_cast<unsigned char>(all[i]);
        EXPECT_EQ(static_cast<unsigned char>(lo[i]), c >= 'A' && c <= 'Z' ? c + 32 : c);
        EXPECT_EQ(static_cast<unsigned char>(up[i]), c >= 'a' && c <= 'z' ? c - 32 : c);
    }
}

// A Latin-1 locale for the test: an installed one, or one built for this
// run with localedef when the machine has the locale sources. Returns the
// directory to remove afterwards (empty if none was built), or nothing.
std::optional<std::string> enter_latin1_locale() {
    for (const char *name : {"en_US.ISO-8859-1", "de_DE.ISO-8859-1", "fr_FR.ISO-8859-1"})
        if (std::setlocale(LC_CTYPE, name) != nullptr) return std::string();
    char dir[] = "/tmp/tavo-locale-XXXXXX";
    if (mkdtemp(dir) == nullptr) return std::nullopt;
    const std::string build = std::string("localedef -i en_US -f ISO-8859-1 ") + dir +
                              "/en_US.ISO-8859-1 >/dev/null 2>&1";
    if (std::system(build.c_str()) == 0 && setenv("LOCPATH", dir, 1) == 0 &&
        std::setlocale(LC_CTYPE, "en_US.ISO-8859-1") != nullptr)
        return std::string(dir);
    std::filesystem::remove_all(dir);
    return std::nullopt;
}

TEST(StringCase, LettersWithoutAPartnerThirtyTwoAwayStayInLatin1) {
    const std::string saved = std::setlocale(LC_CTYPE, nullptr);
    const std::optional<std::string> built = enter_latin1_locale();
    if (!built) GTEST_SKIP() << "no Latin-1 locale";
    // The sharp s and the y with diaeresis are lower-case letters whose
    // upper case (if any) is not 32 below; the A with grave is.
    const std::string up = upper("\xDF\xFF\xE0");
    const std::string lo = lower("\xC0");
    const std::string cap = capitalised("\xDFx \xE0x");
    const int folded = lcmlcomp("\xC0", "\xE0", 1);
    std::setlocale(LC_CTYPE, saved.c_str());
    if (!built->empty()) {
        unsetenv("LOCPATH");
        std::filesystem::remove_all(*built);
    }
    EXPECT_EQ(up, "\xDF\xFF\xC0");
    EXPECT_EQ(lo, "\xE0");
    EXPECT_EQ(cap, "\xDFx \xC0x");
    EXPECT_EQ(folded, 0);  // a Latin-1 letter in either case
}

// ---- Padding, justification, concatenation ----------------------------------------

TEST(StringPad, PadsToWidthOrCopiesWhole) {
    char buf[16];
    std::memset(buf, '?', sizeof buf);
    EXPECT_EQ(lcspd(buf, "ab", 5, '*'), buf);
    EXPECT_STREQ(buf, "ab***");
    EXPECT_EQ(buf[6], '?');
    EXPECT_STREQ(lcspd(buf, "abcdef", 3, '*'), "abcdef");
    EXPECT_STREQ(lcspd(buf, "abc", 3, '*'), "abc");
    EXPECT_STREQ(lcspd(buf, "", 0, '*'), "");
    char in_place[8] = "ab";
    EXPECT_STREQ(lcspd(in_place, in_place, 4, '.'), "ab..");
}

TEST(StringRightJustify, EndsAtTheWidth) {
    char buf[16];
    std::memset(buf, '?', sizeof buf);
    EXPECT_STREQ(lcsrj(buf, "abcdef", 3, ' '), "abc");
    EXPECT_EQ(buf[4], '?');
    EXPECT_STREQ(lcsrj(buf, "ab", 5, ' '), "   ab");
    EXPECT_STREQ(lcsrj(buf, "ab", 0, ' '), "");
    EXPECT_STREQ(lcsrj(buf, "", 3, '0'), "000");
    char in_place[8] = "42";
    EXPECT_STREQ(lcsrj(in_place, in_place, 6, '0'), "000042");
    // Only the bytes needed are read: a text without a NUL in reach.
    const char unterminated[3] = {'x', 'y', 'z'};
    EXPECT_STREQ(lcsrj(buf, unterminated, 3, ' '), "xyz");
}

TEST(StringConcatenate, ReturnsTheNul) {
    char buf[32];
    char *end = lcscpn(buf, "ab", "", "cde", static_cast<char *>(nullptr));
    EXPECT_STREQ(buf, "abcde");
    EXPECT_EQ(end, buf + 5);
    EXPECT_EQ(*end, '\0');
    end = lcscpn(buf, static_cast<char *>(nullptr));
    EXPECT_EQ(end, buf);
    EXPECT_STREQ(buf, "");
}

TEST(StringAppend, CutsInsideTheRoom) {
    char buf[8];
    std::memset(buf, '?', sizeof buf);
    char *pos = buf;
    lcsap(&pos, buf + 4, "ab", "cd", static_cast<char *>(nullptr));
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(pos, buf + 3);
    EXPECT_EQ(buf[4], '?');
    // Full: nothing more fits, the NUL stays.
    lcsap(&pos, buf + 4, "x", static_cast<char *>(nullptr));
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(pos, buf + 3);
    // Exact fit, then appending to the end of it.
    pos = buf;
    lcsap(&pos, buf + 8, "abc", "d", static_cast<char *>(nullptr));
    lcsap(&pos, buf + 8, "efg", static_cast<char *>(nullptr));
    EXPECT_STREQ(buf, "abcdefg");
    EXPECT_EQ(pos, buf + 7);
    // No room at all: nothing is written.
    char one = '?';
    pos = &one;
    lcsap(&pos, &one, "a", static_cast<char *>(nullptr));
    EXPECT_EQ(one, '?');
    lcsap(nullptr, buf, "a", static_cast<char *>(nullptr));
}

TEST(EmptyString, IsOneNul) {
    EXPECT_EQ(lcunulstr[0], '\0');
    lcunoop();
}

// ---- Bit vectors -----------------------------------------------------------------------

TEST(BitVector, UnpackSetsAndClearsOnlyMaskBits) {
    const uint8_t bits[2] = {0x05, 0x01};  // bits 0, 2 and 8
    uint8_t out[9];
    std::memset(out, 0xF0, sizeof out);
    lcbvu(out, bits, 9, 0x03);
    const uint8_t expect[9] = {0xF3, 0xF0, 0xF3, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF3};
    EXPECT_EQ(std::memcmp(out, expect, 9), 0);
}

TEST(BitVector, PackKeepsTheHighBitsOfAPartialByte) {
    const uint8_t in[11] = {1, 0, 2, 0, 0, 0, 0, 4, 0, 8, 1};
    uint8_t bits[2] = {0xFF, 0xF0};
    lcbvpk(bits, in, 11, 0x0F);
    EXPECT_EQ(bits[0], 0x85);
    EXPECT_EQ(bits[1], 0xF0 | 0x02 | 0x04);
    bits[1] = 0xFF;
    lcbvpk(bits, in, 8, 0x01);  // whole bytes only
    EXPECT_EQ(bits[0], 0x01);
    EXPECT_EQ(bits[1], 0xFF);
}

TEST(BitVector, PackAndUnpackRoundTrip) {
    std::mt19937 rng(21);
    for (int i = 0; i < 500; ++i) {
        const uint32_t n = rng() % 100;
        std::vector<uint8_t> bits((n + 7) / 8 + 1);
        for (auto &b : bits) b = static_cast<uint8_t>(rng());
        std::vector<uint8_t> unpacked(n + 1, 0);
        lcbvu(unpacked.data(), bits.data(), n, 0x80);
        std::vector<uint8_t> again(bits.size(), 0);
        lcbvpk(again.data(), unpacked.data(), n, 0x80);
        for (uint32_t k = 0; k < n; ++k)
            ASSERT_EQ((again[k / 8] >> (k % 8)) & 1, (bits[k / 8] >> (k % 8)) & 1);
    }
}

TEST(BitVector, ExtractReadsNoFurtherThanTheLastBit) {
    std::mt19937 rng(22);
    for (int i = 0; i < 5000; ++i) {
        const uint32_t offset = rng() % 40, n = 1 + rng() % 40;
        // Exactly the bytes holding the bits: the sanitizer catches more.
        std::vector<uint8_t> in((offset + n + 7) / 8);
        for (auto &b : in) b = static_cast<uint8_t>(rng());
        std::vector<uint8_t> out((n + 7) / 8);
        lcbvcp(out.data(), in.data(), offset, n);
        for (uint32_t k = 0; k < n; ++k) {
            const uint32_t src = offset + k;
            ASSERT_EQ((out[k / 8] >> (k % 8)) & 1, (in[src / 8] >> (src % 8)) & 1)
                << offset << " " << n << " " << k;
        }
        // Whole bytes of the input are extracted as the formula gives.
        if (offset % 8 == 0) {
            ASSERT_EQ(out[0], in[offset / 8]);
        }
    }
    uint8_t out = 0x55;
    lcbvcp(&out, nullptr, 3, 0);
    EXPECT_EQ(out, 0x55);
    const uint8_t two[2] = {0xF0, 0x0F};
    lcbvcp(&out, two, 4, 8);
    EXPECT_EQ(out, 0xFF);
}

TEST(BitVector, OrAndXorWholeBytes) {
    const uint8_t a[2] = {0x0F, 0xF0}, b[2] = {0xFF, 0x0F};
    uint8_t out[3] = {0, 0, 0x77};
    lcbvo(out, a, b, 9);
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(out[1], 0xFF);
    EXPECT_EQ(out[2], 0x77);
    lcbvx(out, a, b, 16);
    EXPECT_EQ(out[0], 0xF0);
    EXPECT_EQ(out[1], 0xFF);
    lcbvx(out, a, b, 0);
}

// ---- Name-value tables ----------------------------------------------------------------------

const lctbent kTable[] = {{"Alpha", 1}, {"beta", 2}, {"delta", 4}, {"gamma", 3}, {"zeta", 6}};

TEST(NameValueTable, FindsEveryNameOfASortedTable) {
    for (const lctbent &e : kTable) {
        EXPECT_EQ(lctbval(kTable, 5, e.name, 0), e.value) << e.name;
        EXPECT_STREQ(lctbnam(kTable, 5, e.value), e.name);
    }
    EXPECT_EQ(lctbval(kTable, 5, "alpha", 0), 0);  // bytewise: case counts
    EXPECT_EQ(lctbval(kTable, 5, "ALPHA", 1), 1);
    EXPECT_EQ(lctbval(kTable, 5, "GAMMA", 1), 3);
    EXPECT_EQ(lctbval(kTable, 5, "eta", 0), 0);
    EXPECT_EQ(lctbval(kTable, 0, "beta", 0), 0);
    EXPECT_EQ(lctbnam(kTable, 5, 5), nullptr);
    EXPECT_EQ(lctbval(nullptr, 5, "beta", 0), 0);
    EXPECT_EQ(lctbval(kTable, 5, nullptr, 0), 0);
    EXPECT_EQ(lctbnam(nullptr, 5, 1), nullptr);
}

TEST(NameValueTable, FirstEntryWithAValueWins) {
    const lctbent twice[] = {{"a", 1}, {"b", 7}, {"c", 7}};
    EXPECT_STREQ(lctbnam(twice, 3, 7), "b");
}

TEST(NameValueTable, AnUnsortedTableMayMiss) {
    const lctbent unsorted[] = {{"m", 1}, {"z", 2}, {"a", 3}};
    EXPECT_EQ(lctbval(unsorted, 3, "m", 0), 1);
    EXPECT_EQ(lctbval(unsorted, 3, "a", 0), 0);
}

}  // namespace
