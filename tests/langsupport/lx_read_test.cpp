// Reading: integers, items, Roman numerals, eras and currency symbols;
// what is written reads back, in every language and character set.
#include <climits>
#include <cstring>

#include "lx_test_util.hpp"

using namespace lxtest;

namespace {

struct IntCase {
    const char *name;
    const char *text;  // UTF-8, converted into the set
    uint32_t maxdigits, flags;
    int32_t status, value;
    uint32_t consumed;
};

TEST(LxRead, Integers) {
    const IntCase cases[] = {
        {"AMERICAN", "1995", 4, 0, LXS_OK, 1995, 4},
        {"AMERICAN", "05031995", 2, 0, LXS_OK, 5, 2},  // DDMMYYYY: the day stops after two
        {"AMERICAN", "12345", 4, LXR_WHOLE, LXS_DIGITS, 0, 0},
        {"AMERICAN", "1234x", 4, LXR_WHOLE, LXS_OK, 1234, 4},
        {"AMERICAN", "-44", 5, LXR_SIGN, LXS_OK, -44, 3},
        {"AMERICAN", "+7", 5, LXR_SIGN, LXS_OK, 7, 2},
        {"AMERICAN", "-44", 5, 0, LXS_NOMATCH, 0, 0},
        {"AMERICAN", "-x", 5, LXR_SIGN, LXS_NOMATCH, 0, 0},
        {"AMERICAN", "abc", 5, 0, LXS_NOMATCH, 0, 0},
        {"AMERICAN", "", 5, 0, LXS_NOMATCH, 0, 0},
        {"AMERICAN", "1,995", 4, LXR_GROUP, LXS_OK, 1995, 5},
        {"AMERICAN", "1,995", 4, 0, LXS_OK, 1, 1},
        {"AMERICAN", ",995", 4, LXR_GROUP, LXS_NOMATCH, 0, 0},
        {"AMERICAN", "1,", 4, LXR_GROUP, LXS_OK, 1, 1},
        {"AMERICAN", "12,345", 4, LXR_GROUP | LXR_WHOLE, LXS_DIGITS, 0, 0},
        {"AMERICAN", "12,345", 4, LXR_GROUP, LXS_OK, 1234, 5},
        {"GERMAN", "1.995", 4, LXR_GROUP, LXS_OK, 1995, 5},
        {"FRENCH", "1 995", 4, LXR_GROUP, LXS_OK, 1995, 5},
        {"AMERICAN", "2147483647", 10, 0, LXS_OK, INT_MAX, 10},
        {"AMERICAN", "-2147483648", 10, LXR_SIGN, LXS_OK, INT_MIN, 11},
        {"AMERICAN", "2147483648", 10, 0, LXS_DIGITS, 0, 0},
        {"AMERICAN", "9999999999", 10, 0, LXS_DIGITS, 0, 0},
        {"AMERICAN", "1", 0, 0, LXS_BADARG, 0, 0},
        {"AMERICAN", "1", 11, 0, LXS_BADARG, 0, 0},
        {"AMERICAN.WE8EBCDIC", "0042", 4, 0, LXS_OK, 42, 4},
        {"GERMAN.WE8EBCDIC", "-1.995", 5, LXR_SIGN | LXR_GROUP, LXS_OK, -1995, 6},
        {"AMERICAN.AL32UTF8", "٣", 4, 0, LXS_NOMATCH, 0, 0},  // only 0-9 are digits
    };
    for (const IntCase &c : cases) {
        Env env(c.name);
        const std::string text = from_utf8(c.text, env.cs());
        lxcur cur;
        lxcopen(&cur, text.data(), static_cast<uint32_t>(text.size()), &env.w);
        int32_t value = -999;
        EXPECT_EQ(lxrint(&cur, c.maxdigits, c.flags, &value, &env.w), c.status)
            << c.name << " " << c.text;
        EXPECT_EQ(env.w.status, c.status);
        EXPECT_EQ(env.w.consumed, c.consumed) << c.text;
        EXPECT_EQ(cur.chars, c.consumed) << c.text;
        if (c.status == LXS_OK) {
            EXPECT_EQ(value, c.value) << c.text;
        } else {
            EXPECT_EQ(cur.pos, 0u) << c.text;
        }
    }
    Env env("AMERICAN");
    lxcur cur;
    lxcopen(&cur, "12", 2, &env.w);
    EXPECT_EQ(lxrint(&cur, 2, 0, nullptr, &env.w), LXS_BADARG);
    EXPECT_EQ(lxrint(&cur, 2, 0, nullptr, nullptr), LXS_BADARG);
}

// Every name item written in every set, in every case, reads back as
// itself when matched against its range.
TEST(LxRead, ItemsReadBackInEveryLanguageAndSet) {
    struct Range {
        int32_t first, last;
    };
    const Range ranges[] = {{LXI_DAY, LXI_DAY + 6},
                            {LXI_DAYABBR, LXI_DAYABBR + 6},
                            {LXI_MONTH, LXI_MONTH + 11},
                            {LXI_MONTHABBR, LXI_MONTHABBR + 11},
                            {LXI_AM, LXI_PM},
                            {LXI_AD, LXI_BC},
                            {LXI_DAY, LXI_DAYABBR + 6}};
    for (const char *lang : kLanguages) {
        for (const char *set : kCharsets) {
            Env env(std::string(lang) + "." + set);
            for (const Range &r : ranges) {
                for (int32_t item = r.first; item <= r.last; ++item) {
                    for (uint32_t flags : {0u, uint32_t{LXO_UPPER}, uint32_t{LXO_CAP}}) {
                        char buf[64];
                        lxcur out, in;
                        lxoopen(&out, buf, sizeof buf, &env.w);
                        const uint32_t chars = lxoitem(&out, item, flags, &env.w);
                        lxoopen(&out, buf, sizeof buf, &env.w);
                        lxoitem(&out, item, flags, &env.w);
                        lxochar(&out, env.cs() == LXCS_WE8EBCDIC ? 0x40 : ' ', &env.w);
                        lxcopen(&in, buf, out.pos, &env.w);
                        const int32_t got = lxritem(&in, r.first, r.last, &env.w);
                        const uint32_t consumed = env.w.consumed;
                        // Abbreviations that equal a name (mai, mars) may read as the name.
                        char a[64], b[64];
                        const uint32_t la = lxitem(got < 0 ? 0 : got, a, sizeof a, &env.w);
                        const uint32_t lb = lxitem(item, b, sizeof b, &env.w);
                        EXPECT_TRUE(got == item || std::string(a, la) == std::string(b, lb))
                            << lang << "." << set << " item " << item << " read " << got;
                        if (got == item) {
                            EXPECT_EQ(consumed, chars);
                        }
                    }
                }
            }
        }
    }
}

TEST(LxRead, LongestMatchWinsAndNoMatch) {
    Env french("FRENCH.AL32UTF8");
    lxcur c;
    lxcopen(&c, "JUILLET 1995", LXNUL, &french.w);
    EXPECT_EQ(lxritem(&c, LXI_MONTH, LXI_MONTH + 11, &french.w), LXI_MONTH + 6);
    EXPECT_EQ(french.w.consumed, 7u);
    EXPECT_EQ(c.pos, 7u);
    lxcopen(&c, "juil. 1995", LXNUL, &french.w);
    EXPECT_EQ(lxritem(&c, LXI_MONTHABBR, LXI_MONTHABBR + 11, &french.w), LXI_MONTHABBR + 6);
    EXPECT_EQ(french.w.consumed, 5u);
    Env english("ENGLISH");
    // "sun" and "sunday" are both in range: the longer match wins.
    lxcopen(&c, "Sunday", LXNUL, &english.w);
    EXPECT_EQ(lxritem(&c, LXI_DAY, LXI_DAYABBR + 6, &english.w), LXI_DAY);
    lxcopen(&c, "Sunny", LXNUL, &english.w);
    EXPECT_EQ(lxritem(&c, LXI_DAY, LXI_DAYABBR + 6, &english.w), LXI_DAYABBR);
    lxcopen(&c, "Xmas", LXNUL, &english.w);
    EXPECT_EQ(lxritem(&c, LXI_MONTH, LXI_MONTH + 11, &english.w), -1);
    EXPECT_EQ(english.w.status, LXS_NOMATCH);
    EXPECT_EQ(c.pos, 0u);
    EXPECT_EQ(lxritem(&c, 38, 39, &english.w), -1);
    EXPECT_EQ(english.w.status, LXS_NOITEM);
    EXPECT_EQ(lxritem(&c, 5, 2, &english.w), -1);
    EXPECT_EQ(lxritem(&c, INT_MIN, INT_MAX, &english.w), -1);
    // German in 7-bit ASCII prints März as m?rz, which reads back.
    Env ascii("GERMAN");
    lxcopen(&c, "M?RZ", LXNUL, &ascii.w);
    EXPECT_EQ(lxritem(&c, LXI_MONTH, LXI_MONTH + 11, &ascii.w), LXI_MONTH + 2);
}

TEST(LxRead, RomanMonths) {
    Env env("AMERICAN");
    const char *const months[] = {"i",   "ii",   "iii", "iv", "v",  "vi",
                                  "vii", "viii", "ix",  "x",  "xi", "xii"};
    for (int m = 1; m <= 12; ++m) {
        for (bool upper : {false, true}) {
            std::string text = months[m - 1];
            if (upper)
                for (char &ch : text) ch = static_cast<char>(std::toupper(ch));
            text += "-1995";
            lxcur c;
            lxcopen(&c, text.data(), static_cast<uint32_t>(text.size()), &env.w);
            EXPECT_EQ(lxrroman(&c, 12, &env.w), m) << text;
            EXPECT_EQ(env.w.consumed, std::strlen(months[m - 1]));
        }
    }
    struct Case {
        const char *text;
        int32_t max, value;
        uint32_t consumed;
    } cases[] = {{"xiii", 12, 0, 0},         {"iiii", 12, 3, 3},
                 {"mcmxciv", 3999, 1994, 7}, {"MMMCMXCIX", 3999, 3999, 9},
                 {"ic", 3999, 1, 1},         {"", 12, 0, 0},
                 {"abc", 12, 0, 0},          {"vx", 12, 5, 1},
                 {"\xC3\xAF", 12, 0, 0}};
    for (const Case &k : cases) {
        Env utf8("AMERICAN.AL32UTF8");
        lxcur c;
        lxcopen(&c, k.text, LXNUL, &utf8.w);
        EXPECT_EQ(lxrroman(&c, k.max, &utf8.w), k.value) << k.text;
        EXPECT_EQ(utf8.w.consumed, k.consumed) << k.text;
        if (!k.value) {
            EXPECT_EQ(utf8.w.status, LXS_NOMATCH);
        }
    }
    Env ebcdic("AMERICAN.WE8EBCDIC");
    lxcur c;
    lxcopen(&c, "\xA7\x89\x89", 3, &ebcdic.w);  // xii
    EXPECT_EQ(lxrroman(&c, 12, &ebcdic.w), 12);
}

TEST(LxRead, ErasAndCurrencies) {
    struct Case {
        const char *name;
        const char *text;
        int32_t era;
    } eras[] = {{"AMERICAN", "AD 1995", LXERA_AD},
                {"AMERICAN", "Before Christ", LXERA_BC},
                {"AMERICAN", "bc", LXERA_BC},
                {"GERMAN", "v. Chr.", LXERA_BC},
                {"FRENCH.AL32UTF8", "Après Jésus-Christ", LXERA_AD},
                {"SPANISH", "a. c.", LXERA_BC},
                {"ITALIAN", "dopo cristo", LXERA_AD},
                {"AMERICAN", "CE", LXERA_NONE}};
    for (const Case &k : eras) {
        Env env(k.name);
        const std::string text = from_utf8(k.text, env.cs());
        lxcur c;
        lxcopen(&c, text.data(), static_cast<uint32_t>(text.size()), &env.w);
        EXPECT_EQ(lxrera(&c, &env.w), k.era) << k.name << " " << k.text;
    }
    Env utf8("GERMAN_GERMANY.AL32UTF8");
    lxcur c;
    lxcopen(&c,
            "\xE2\x82\xAC"
            "12",
            LXNUL, &utf8.w);
    EXPECT_EQ(lxrcur(&c, LXI_LOCALCUR, &utf8.w), 1);
    EXPECT_EQ(c.pos, 3u);
    lxcopen(&c, "eur12", LXNUL, &utf8.w);
    EXPECT_EQ(lxrcur(&c, LXI_LOCALCUR, &utf8.w), 0);
    EXPECT_EQ(utf8.w.status, LXS_NOMATCH);
    EXPECT_EQ(lxrcur(&c, LXI_ISOCUR, &utf8.w), 1);
    EXPECT_EQ(utf8.w.consumed, 3u);
    EXPECT_EQ(lxrcur(&c, LXI_AM, &utf8.w), 0);
    EXPECT_EQ(utf8.w.status, LXS_BADARG);
    Env latin1("GERMAN_GERMANY.WE8ISO8859P1");  // no euro sign: the local symbol is EUR
    lxcopen(&c, "EUR", LXNUL, &latin1.w);
    EXPECT_EQ(lxrcur(&c, LXI_LOCALCUR, &latin1.w), 1);
}

TEST(LxRead, BadCursors) {
    Env env("AMERICAN");
    char buf[8];
    lxcur out;
    lxoopen(&out, buf, sizeof buf, &env.w);
    int32_t v;
    EXPECT_EQ(lxrint(&out, 2, 0, &v, &env.w), LXS_BADARG);
    EXPECT_EQ(lxritem(nullptr, 0, 6, &env.w), -1);
    EXPECT_EQ(env.w.status, LXS_BADARG);
    EXPECT_EQ(lxrroman(nullptr, 12, &env.w), 0);
    EXPECT_EQ(lxrera(nullptr, &env.w), LXERA_NONE);
    lxcur c;
    lxcopen(&c, "jan", 3, &env.w);
    lxwork unbound{};
    EXPECT_EQ(lxritem(&c, 26, 37, &unbound), -1);
    EXPECT_EQ(unbound.status, LXS_BADARG);
}

}  // namespace
