// Output cursors: items with case, whole numbers, Roman numerals, ordinal
// suffixes, eras, copies and padding, and never a byte past the buffer.
#include <climits>
#include <cstring>
#include <functional>

#include "lx_test_util.hpp"

using namespace lxtest;

namespace {

TEST(LxOutput, ItemsWithCase) {
    struct Case {
        const char *name;
        int32_t item;
        uint32_t flags;
        const char *text;
    };
    const Case cases[] = {
        {"GERMAN.WE8ISO8859P1", LXI_MONTH + 2, LXO_UPPER, "MÄRZ"},
        {"GERMAN.AL32UTF8", LXI_MONTH + 2, LXO_CAP, "März"},
        {"GERMAN.AL32UTF8", LXI_MONTH + 2, 0, "märz"},
        {"GERMAN.WE8EBCDIC", LXI_AD, LXO_CAP, "N. Chr."},
        {"FRENCH.AL32UTF8", LXI_AD, LXO_CAP, "Ap. J.-C."},
        {"FRENCH.AL32UTF8", LXI_MONTH + 7, LXO_UPPER, "AOÛT"},
        {"SPANISH.AL32UTF8", LXI_DAYABBR + 6, LXO_UPPER, "SÁB"},
        {"AMERICAN", LXI_MONTHABBR + 2, LXO_UPPER, "MAR"},
        {"AMERICAN.WE8EBCDIC", LXI_DAY + 3, LXO_CAP, "Wednesday"},
        {"ITALIAN", LXI_DAY + 1, LXO_UPPER, "LUNED?"},
        {"AMERICAN", LXI_DATEFMT, 0, "DD-MON-YY"},
    };
    for (const Case &c : cases) {
        Env env(c.name);
        uint32_t chars = 0;
        const std::string got =
            written(env, [&](lxcur *out) { chars = lxoitem(out, c.item, c.flags, &env.w); });
        EXPECT_EQ(got, c.text) << c.name << " " << c.item;
        EXPECT_EQ(env.w.status, LXS_OK) << c.name;
        uint32_t expected_chars = 0;
        for (const char *p = c.text; *p; ++p) expected_chars += (*p & 0xC0) != 0x80;
        EXPECT_EQ(chars, expected_chars) << c.name;
    }
    Env env("AMERICAN");
    written(env, [&](lxcur *out) { EXPECT_EQ(lxoitem(out, 39, 0, &env.w), 0u); });
    EXPECT_EQ(env.w.status, LXS_NOITEM);
}

TEST(LxOutput, WholeNumbers) {
    struct Case {
        const char *name;
        int32_t value;
        uint32_t minwidth, flags;
        const char *text;
    };
    const Case cases[] = {
        {"AMERICAN", 5, 2, 0, "05"},
        {"AMERICAN", 5, 0, 0, "5"},
        {"AMERICAN", 1995, 4, 0, "1995"},
        {"AMERICAN", 12345, 2, 0, "12345"},
        {"AMERICAN", -44, 5, 0, "-0044"},
        {"AMERICAN", -44, 0, 0, "-44"},
        {"AMERICAN", 0, 3, 0, "000"},
        {"AMERICAN", 5, 5, LXO_GROUP, "0,005"},
        {"AMERICAN", 1995, 0, LXO_GROUP, "1,995"},
        {"AMERICAN", -1995, 6, LXO_GROUP, "-1,995"},
        {"AMERICAN", 123, 0, LXO_GROUP, "123"},
        {"AMERICAN", INT_MIN, 0, LXO_GROUP, "-2,147,483,648"},
        {"AMERICAN", INT_MAX, 0, 0, "2147483647"},
        {"FRENCH", 1234567, 0, LXO_GROUP, "1 234 567"},
        {"GERMAN.WE8EBCDIC", 1234567, 0, LXO_GROUP, "1.234.567"},
        {"SPANISH.AL32UTF8", 9999, 0, LXO_GROUP, "9.999"},
    };
    for (const Case &c : cases) {
        Env env(c.name);
        const std::string got =
            written(env, [&](lxcur *out) { lxoint(out, c.value, c.minwidth, c.flags, &env.w); });
        EXPECT_EQ(got, c.text) << c.value << " " << c.minwidth;
    }
    Env ebcdic("AMERICAN.WE8EBCDIC");
    char buf[8];
    lxcur out;
    lxoopen(&out, buf, sizeof buf, &ebcdic.w);
    EXPECT_EQ(lxoint(&out, 907, 0, 0, &ebcdic.w), 3u);
    EXPECT_EQ(std::string(buf, 3), "\xF9\xF0\xF7");
    EXPECT_EQ(lxoint(&out, 1, 101, 0, &ebcdic.w), 0u);
    EXPECT_EQ(ebcdic.w.status, LXS_BADARG);
}

// An independent Roman-numeral writer: one table a decimal place.
std::string roman(int n) {
    static const char *const thousands[] = {"", "M", "MM", "MMM"};
    static const char *const hundreds[] = {"",  "C",  "CC",  "CCC",  "CD",
                                           "D", "DC", "DCC", "DCCC", "CM"};
    static const char *const tens[] = {"", "X", "XX", "XXX", "XL", "L", "LX", "LXX", "LXXX", "XC"};
    static const char *const units[] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
    return std::string(thousands[n / 1000]) + hundreds[n / 100 % 10] + tens[n / 10 % 10] +
           units[n % 10];
}

std::string lower(std::string s) {
    for (char &ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

TEST(LxOutput, RomanNumeralsAgainstAnIndependentWriter) {
    Env env("AMERICAN");
    for (int n = 1; n <= 3999; ++n) {
        EXPECT_EQ(written(env, [&](lxcur *out) { lxoroman(out, n, 0, LXO_UPPER, &env.w); }),
                  roman(n));
        EXPECT_EQ(written(env, [&](lxcur *out) { lxoroman(out, n, 0, 0, &env.w); }),
                  lower(roman(n)));
    }
    EXPECT_EQ(written(env, [&](lxcur *out) { lxoroman(out, 1994, 15, LXO_UPPER, &env.w); }),
              "        MCMXCIV");
    for (int bad : {0, -1, 4000, INT_MIN}) {
        EXPECT_EQ(written(env, [&](lxcur *out) { lxoroman(out, bad, 0, 0, &env.w); }), "");
        EXPECT_EQ(env.w.status, LXS_BADARG);
    }
    EXPECT_EQ(written(env, [&](lxcur *out) { lxoroman(out, 1994, 6, 0, &env.w); }), "");
    EXPECT_EQ(env.w.status, LXS_BADARG);
    Env ebcdic("AMERICAN.WE8EBCDIC");
    EXPECT_EQ(written(ebcdic, [&](lxcur *out) { lxoroman(out, 12, 4, 0, &ebcdic.w); }), " xii");
}

TEST(LxOutput, OrdinalSuffixesAndEras) {
    struct Case {
        const char *name;
        int32_t value;
        uint32_t flags;
        const char *text;
    };
    const Case suffixes[] = {
        {"AMERICAN", 1, 0, "st"},
        {"AMERICAN", 2, 0, "nd"},
        {"AMERICAN", 3, 0, "rd"},
        {"AMERICAN", 4, 0, "th"},
        {"AMERICAN", 11, 0, "th"},
        {"AMERICAN", 12, 0, "th"},
        {"AMERICAN", 13, 0, "th"},
        {"AMERICAN", 21, 0, "st"},
        {"AMERICAN", 22, 0, "nd"},
        {"AMERICAN", 101, 0, "st"},
        {"AMERICAN", 111, 0, "th"},
        {"AMERICAN", 0, 0, "th"},
        {"AMERICAN", 23, LXO_UPPER, "RD"},
        {"ENGLISH", -1, 0, "st"},
        {"GERMAN", 3, 0, "."},
        {"FRENCH", 1, 0, "er"},
        {"FRENCH", 2, 0, "e"},
        {"SPANISH.AL32UTF8", 5, 0, "º"},
        {"ITALIAN.WE8ISO8859P1", 5, 0, "º"},
        {"SPANISH", 5, 0, "?"},
    };
    for (const Case &c : suffixes) {
        Env env(c.name);
        EXPECT_EQ(written(env, [&](lxcur *out) { lxoord(out, c.value, c.flags, &env.w); }), c.text)
            << c.name << " " << c.value;
    }
    const Case eras[] = {
        {"AMERICAN", LXERA_AD, 0, "ad"},
        {"AMERICAN", LXERA_BC, LXO_UPPER, "BC"},
        {"AMERICAN", LXERA_AD, LXO_FULL | LXO_CAP, "Anno Domini"},
        {"GERMAN", LXERA_BC, LXO_FULL, "vor christus"},
        {"FRENCH.AL32UTF8", LXERA_AD, LXO_FULL, "après jésus-christ"},
        {"SPANISH.AL32UTF8", LXERA_BC, LXO_FULL | LXO_UPPER, "ANTES DE CRISTO"},
        {"ITALIAN", LXERA_AD, LXO_UPPER, "D.C."},
    };
    for (const Case &c : eras) {
        Env env(c.name);
        EXPECT_EQ(written(env, [&](lxcur *out) { lxoera(out, c.value, c.flags, &env.w); }), c.text)
            << c.name;
    }
    Env env("AMERICAN");
    EXPECT_EQ(written(env, [&](lxcur *out) { lxoera(out, 0, 0, &env.w); }), "");
    EXPECT_EQ(env.w.status, LXS_BADARG);
}

TEST(LxOutput, CopiesCaseAndPadding) {
    Env utf8("FRENCH.AL32UTF8");
    EXPECT_EQ(
        written(utf8,
                [&](lxcur *out) { lxoupper(out, "\xC3\xA9t\xC3\xA9 \xC3\xBF", LXNUL, &utf8.w); }),
        "ÉTÉ Ÿ");
    EXPECT_EQ(
        written(utf8,
                [&](lxcur *out) { lxocap(out, "JEAN-PAUL \xC3\xA9LO\xC3\xAFSE", LXNUL, &utf8.w); }),
        "Jean-Paul Éloïse");
    EXPECT_EQ(written(utf8, [&](lxcur *out) { lxocopy(out, "a\xC3\xA9z", 4, 2, &utf8.w); }), "aé");
    EXPECT_EQ(written(utf8, [&](lxcur *out) { lxopad(out, 0x20AC, 3, &utf8.w); }), "€€€");
    EXPECT_EQ(written(utf8, [&](lxcur *out) { lxochar(out, 0xE9, &utf8.w); }), "é");
    Env latin1("FRENCH.WE8ISO8859P1");
    EXPECT_EQ(written(latin1, [&](lxcur *out) { lxoupper(out, "\xE9t\xE9 \xFF", 5, &latin1.w); }),
              "ÉTÉ ÿ");
    EXPECT_EQ(written(latin1, [&](lxcur *out) { lxocap(out, "hello WORLD", LXNUL, &latin1.w); }),
              "Hello World");
    written(latin1, [&](lxcur *out) { EXPECT_EQ(lxochar(out, 0x20AC, &latin1.w), 0u); });
    EXPECT_EQ(latin1.w.status, LXS_BADARG);
    written(utf8, [&](lxcur *out) { EXPECT_EQ(lxochar(out, 0xD800, &utf8.w), 0u); });
    EXPECT_EQ(utf8.w.status, LXS_BADARG);
    // Invalid bytes are copied as they are.
    EXPECT_EQ(written(utf8, [&](lxcur *out) { lxocopy(out, "a\xFF", 2, 10, &utf8.w); }),
              to_utf8("a\xFF", LXCS_AL32UTF8));
}

// Every output function, into buffers of every size up to what it needs:
// nothing past the buffer, a full output reported, whole characters only.
TEST(LxOutput, NeverWritesPastTheBuffer) {
    using Write = std::function<uint32_t(lxcur *, lxwork *)>;
    struct Case {
        const char *what;
        Write write;
        bool whole;  // written whole or not at all
    };
    const Case cases[] = {
        {"item", [](lxcur *o, lxwork *w) { return lxoitem(o, LXI_MONTH + 1, LXO_UPPER, w); }, true},
        {"int", [](lxcur *o, lxwork *w) { return lxoint(o, -1234567, 12, LXO_GROUP, w); }, true},
        {"roman", [](lxcur *o, lxwork *w) { return lxoroman(o, 3888, 20, 0, w); }, true},
        {"ordinal", [](lxcur *o, lxwork *w) { return lxoord(o, 1, 0, w); }, true},
        {"words", [](lxcur *o, lxwork *w) { return lxowords(o, 1999, LXO_ORDINAL, w); }, true},
        {"era", [](lxcur *o, lxwork *w) { return lxoera(o, LXERA_BC, LXO_FULL, w); }, true},
        {"pad", [](lxcur *o, lxwork *w) { return lxopad(o, 0xE9, 9, w); }, false},
        {"copy",
         [](lxcur *o, lxwork *w) { return lxocopy(o, "d\xC3\xA9j\xC3\xA0 vu", LXNUL, 99, w); },
         false},
        {"upper",
         [](lxcur *o, lxwork *w) { return lxoupper(o, "d\xC3\xA9j\xC3\xA0 vu", LXNUL, w); }, false},
        {"cap", [](lxcur *o, lxwork *w) { return lxocap(o, "d\xC3\xA9j\xC3\xA0 vu", LXNUL, w); },
         false},
    };
    Env env("FRENCH.AL32UTF8");
    for (const Case &c : cases) {
        std::string full(256, '\0');
        lxcur out;
        lxoopen(&out, full.data(), 256, &env.w);
        const uint32_t chars = c.write(&out, &env.w);
        ASSERT_EQ(env.w.status, LXS_OK) << c.what;
        const uint32_t need = out.pos;
        for (uint32_t size = 0; size < need; ++size) {
            std::string buf(size + 8, '#');
            lxoopen(&out, buf.data(), size, &env.w);
            const uint32_t got = c.write(&out, &env.w);
            EXPECT_EQ(env.w.status, LXS_FULL) << c.what << " " << size;
            EXPECT_EQ(buf.substr(size), "########") << c.what << " " << size;
            EXPECT_LE(out.pos, size);
            if (c.whole) {
                EXPECT_EQ(got, 0u) << c.what;
                EXPECT_EQ(out.pos, 0u) << c.what;
            } else {
                EXPECT_LT(got, chars);
                EXPECT_EQ(buf.substr(0, out.pos), full.substr(0, out.pos)) << c.what << " " << size;
                lxcur check;  // what was written ends on a character boundary
                lxcopen(&check, buf.data(), out.pos, &env.w);
                EXPECT_EQ(lxccount(&check), got) << c.what << " " << size;
            }
        }
    }
}

TEST(LxOutput, BadCursors) {
    Env env("AMERICAN");
    char buf[16];
    lxcur reading;
    lxcopen(&reading, "abc", 3, &env.w);
    EXPECT_EQ(lxochar(&reading, 'x', &env.w), 0u);
    EXPECT_EQ(env.w.status, LXS_BADARG);
    EXPECT_EQ(lxoitem(nullptr, LXI_AM, 0, &env.w), 0u);
    EXPECT_EQ(env.w.status, LXS_BADARG);
    lxcur out;
    EXPECT_EQ(lxoopen(&out, nullptr, 4, &env.w), LXS_BADARG);
    EXPECT_EQ(lxoopen(&out, buf, sizeof buf, nullptr), LXS_BADARG);
    EXPECT_EQ(lxoint(&out, 1, 0, 0, &env.w), 0u);
    EXPECT_EQ(lxoopen(&out, nullptr, 0, &env.w), LXS_OK);  // an empty output is full at once
    EXPECT_EQ(lxopad(&out, ' ', 3, &env.w), 0u);
    EXPECT_EQ(env.w.status, LXS_FULL);
    EXPECT_EQ(lxocopy(&out, nullptr, 3, 3, &env.w), 0u);
    EXPECT_EQ(env.w.status, LXS_BADARG);
    lxoopen(&out, buf, sizeof buf, &env.w);
    lxwork unbound{};
    EXPECT_EQ(lxoitem(&out, LXI_AM, 0, &unbound), 0u);
    EXPECT_EQ(unbound.status, LXS_BADARG);
}

}  // namespace
