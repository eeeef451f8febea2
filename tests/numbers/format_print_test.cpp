// Printing numbers under format models: every element, the widths, the
// handle's characters, the date and Roman numeral models, and what invalid
// models and values that do not fit give.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstring>
#include <string>

#include "ldx.h"
#include "lnx.h"
#include "lx.h"
#include "format_test_util.hpp"
#include "num_oracle.hpp"

using namespace numtest;

namespace {

// Prints through lnxnfn; checks that nothing is written past the count.
std::string nfn(const char *model, const Num &n, const lxlinfo *lang = nullptr) {
    char out[80];
    std::memset(out, '@', sizeof out);
    const uint32_t len = lnxnfn(n.b.data(), n.len, model, out, lang);
    EXPECT_LE(len, 64u) << model;
    for (size_t i = len; i < sizeof out; ++i) EXPECT_EQ(out[i], '@') << model;
    return {out, len};
}
std::string nfn(const char *model, const char *value, const lxlinfo *lang = nullptr) {
    return nfn(model, dn(value), lang);
}

struct Case {
    const char *model;
    const char *value;
    const char *text;
};

void check(const Case *cases, size_t count, const lxlinfo *lang = nullptr) {
    for (size_t i = 0; i < count; ++i)
        EXPECT_EQ(nfn(cases[i].model, cases[i].value, lang), cases[i].text)
            << cases[i].model << " " << cases[i].value;
}

TEST(FormatPrint, Examples) {
    const Case cases[] = {
        {"9,990.99", "1234.5", " 1,234.50"},
        {"9,990.99", "-0.5", "    -0.50"},
        {"9,990.99", "12345", "#########"},
        {"FM9,990.99", "1234.5", "1,234.5"},
        {"FM0.00", "0", "0.00"},
        {"FM0.00", "1.5", "1.50"},
        {"99EEEE", "1234", "  1E+03"},
        {"B999", "0", "    "},
        {"FMB999", "0", ""},
        {"999MI", "-12", " 12-"},
        {"999PR", "-12", " <12>"},
        {"S999", "12", " +12"},
        {"9995", "1233", " 1235"},
        {"9995", "1238", " 1240"},
        {"RN", "1994", "        MCMXCIV"},
    };
    check(cases, std::size(cases));
}

TEST(FormatPrint, DigitsAndZeros) {
    const Case cases[] = {
        {"999", "12", "  12"},
        {"999", "0", "   0"},
        {"999", "-0.4", "   0"},  // rounds to zero: no sign
        {"999", "999.5", "####"},
        {"999", "-999.4", "-999"},
        {"0999", "12", " 0012"},
        {"9099", "5", "  005"},
        {"9.99", "0", "  .00"},
        {".99", "0.5", " .50"},
        {".99", "0.996", "####"},
        {"99.90", "1.2", "  1.20"},
        {"FM99.90", "1.2", "1.20"},
        {"FM99.90", "1.234", "1.23"},
        {"FM99.99", "1", "1."},
        {"FM999", "0", "0"},
        {"FM999.99", "0", "0."},
        {"999.999", "0.0012", "    .001"},
        {"9999", "1e3", " 1000"},
        {"99", "-1e-30", "  0"},
        {"9", "inf", "##"},
        {"9", "-inf", "##"},
        {"", "0", " "},
        {"", "1", "#"},
    };
    check(cases, std::size(cases));
}

TEST(FormatPrint, SignsAndCurrency) {
    const Case cases[] = {
        {"999MI", "12", " 12 "},
        {"FM999MI", "12", "12"},
        {"FM999MI", "-12", "12-"},
        {"999PR", "12", "  12 "},
        {"FM999PR", "-12", "<12>"},
        {"999PT", "-12", " (12)"},
        {"999PT", "12", "  12 "},
        {"S999", "-12", " -12"},
        {"999S", "12", " 12+"},
        {"999S", "-12", " 12-"},
        {"FMS9", "0", "+0"},
        {"$999", "12", "  $12"},
        {"FM$999", "-12", "-$12"},
        {"9$99", "1", "   $1"},
        {"C999", "12", "  USD12"},
        {"999C", "12", "  12USD"},
        {"9C99", "1.5", " 1USD50"},
        {"L999", "-12", "          -$12"},
        {"FML999", "-12", "-$12"},
        {"999LMI", "-12", "          12$-"},
        {"FM999CS", "7", "7USD+"},
        {"SC999", "7", "  +USD7"},
        {"999V99", "1.234", "   123"},
        {"999V99", "0.05", "    05"},
        {"FM9V99", "1.5", "150"},
        {"B9,999", "0", "      "},
        {"9,999", "0", "     0"},
        {"9,999", "123", "   123"},
        {"9,999,999", "1234567", " 1,234,567"},
        {"9,999,999", "4567", "     4,567"},
        {"99,99,99", "12345", "  1,23,45"},
    };
    check(cases, std::size(cases));
}

TEST(FormatPrint, Exponents) {
    const Case cases[] = {
        {"9.99EEEE", "1234", "  1.23E+03"},  {"9.99EEEE", "-1234", " -1.23E+03"},
        {"9.99EEEE", "0", "  0.00E+00"},     {"9.9EEEE", "1e-100", " 1.0E-100"},
        {"9.9EEEE", "9.96e99", " 1.0E+100"}, {"9.9EEEE", "1.25e-7", "  1.3E-07"},
        {"FM9.99EEEE", "1234", "1.23E+03"},  {"FM9.99EEEE", "1e120", "1.E+120"},
        {"FM9.90EEEE", "1e5", "1.00E+05"},   {"0.9EEEE", "5", "  5.0E+00"},
        {"S9EEEE", "5", " +5E+00"},          {"9EEEEMI", "-5", " 5E+00-"},
        {"9EEEEPR", "-5", " <5E+00>"},
    };
    check(cases, std::size(cases));
}

// The 5: only the model's last position is rounded to 0 or 5.
TEST(FormatPrint, Five) {
    const Case cases[] = {
        {"9995", "1200", " 1200"},  // the last significant digit lies further left
        {"9995", "1232.4", " 1230"}, {"9995", "1232.5", " 1235"},  {"9995", "1237", " 1235"},
        {"9995", "9998", "#####"},   {"99.95", "1.2", "  1.20"},   {"99.95", "1.23", "  1.25"},
        {"99.95", "1.29", "  1.30"}, {"99.95", "-0.01", "   .00"},  // rounds to zero: no sign,
        {"FM99.95", "0.01", "0."},   {"995MI", "-13", " 15-"},     {"995C", "13", "  15USD"},
    };
    check(cases, std::size(cases));
}

TEST(FormatPrint, HandleCharacters) {
    const lxlinfo german = language("GERMAN");
    const Case cases[] = {
        {"9G990D99", "1234.5", " 1.234,50"},
        {"9,990.99", "1234.5", " 1,234.50"},
        {"FML9G999D99", "1234.5",
         "\xe2\x82\xac"
         "1.234,5"},
        {"C9G999D99", "1234.5", " EUR1.234,50"},
        {"9C99", "1.5", " 1EUR50"},
        {"9.99EEEE", "1234", "  1.23E+03"},
        {"9D99EEEE", "1234", "  1,23E+03"},
    };
    const lxlinfo utf8 = language("GERMAN_GERMANY.AL32UTF8");
    check(cases, std::size(cases), &utf8);
    EXPECT_EQ(nfn("9G990D99", "1234.5", &german), " 1.234,50");
    // The Latin-1 record holds the euro as its ISO code.
    EXPECT_EQ(nfn("FML9", "1", &german), std::string(german.localcur) + "1");

    const lxlinfo ebcdic = language("AMERICAN_AMERICA.WE8EBCDIC");
    // "-1,234.50" in EBCDIC, from the model in EBCDIC ("9,990.99").
    const std::string model = "\xF9\x6B\xF9\xF9\xF0\x4B\xF9\xF9";
    char out[16];
    const uint32_t n =
        lnxnfn(dn("-1234.5").b.data(), dn("-1234.5").len, model.c_str(), out, &ebcdic);
    EXPECT_EQ(std::string(out, n), "\x60\xF1\x6B\xF2\xF3\xF4\x4B\xF5\xF0");
    // Letters in EBCDIC, either case: "fm9D99eeee" and "FM9d99EEEE".
    lnxfmt pf;
    EXPECT_EQ(lnxpfl("\x86\x94\xF9\xC4\xF9\xF9\x85\x85\x85\x85", 10, &pf, &ebcdic), 0);
    EXPECT_EQ(lnxpfl("\xC6\xD4\xF9\x84\xF9\xF9\xC5\xC5\xC5\xC5", 10, &pf, &ebcdic), 0);
    EXPECT_EQ(pf.flags & LNXFMT_EEEE, uint32_t{LNXFMT_EEEE});
}

TEST(FormatPrint, RomanNumerals) {
    const Case cases[] = {
        {"RN", "1994", "        MCMXCIV"},   {"rn", "1994", "        mcmxciv"},
        {"Rn", "4", "             IV"},      {"FMRN", "1994", "MCMXCIV"},
        {"fmrn", "3888", "mmmdccclxxxviii"}, {"RN", "3999.4", "      MMMCMXCIX"},
        {"RN", "0", "###############"},      {"RN", "4000", "###############"},
        {"RN", "-5", "###############"},     {"RN", "1e30", "###############"},
        {"FMRN", "0", "###############"},
    };
    check(cases, std::size(cases));
}

TEST(FormatPrint, Dates) {
    ldxctx ctx;
    ldxini(&ctx, nullptr, nullptr, nullptr);
    const int32_t day = ldxctj(&ctx, 1996, 2, 29);
    const std::string d = std::to_string(day);
    EXPECT_EQ(nfn("date", d.c_str()), "02/29/96");
    EXPECT_EQ(nfn("EDATE", d.c_str()), "29/02/96");
    EXPECT_EQ(nfn("Date", (d + ".75").c_str()), "02/29/96");
    // Day numbers no date has: the date functions' error comes back as #.
    EXPECT_EQ(nfn("date", "0"), "########");
    EXPECT_EQ(nfn("date", "-5"), "########");
    EXPECT_EQ(nfn("date", "1e30"), "########");
    EXPECT_EQ(nfn("date", "inf"), "########");
    const lxlinfo ebcdic = language("AMERICAN_AMERICA.WE8EBCDIC");
    char out[16];
    lnxfmt pf;
    ASSERT_EQ(lnxpfl("\x84\x81\xA3\x85", 4, &pf, &ebcdic), 0);  // "date"
    ASSERT_EQ(lnxnft(dn(d.c_str()).b.data(), dn(d.c_str()).len, &pf, out, &ebcdic), 8u);
    EXPECT_EQ(std::string(out, 8), "\xF0\xF2\x61\xF2\xF9\x61\xF9\xF6");
}

// The error routine jumps to the recovery point kept as the callback
// argument; without one it returns and the date function goes on.
TEST(FormatPrint, ErrorRoutine) {
    static std::jmp_buf recovery;
    ldxctx ctx;
    volatile int jumped = 0;
    if (setjmp(recovery) == 0) {
        ldxini(&ctx, nullptr, lnxnfterf, &recovery);
        int32_t y = 0, m = 0, d = 0;
        ldxjtc(&ctx, 0, &y, &m, &d);  // day 0 does not exist
    } else {
        jumped = 1;
    }
    EXPECT_EQ(jumped, 1);
    ldxini(&ctx, nullptr, lnxnfterf, nullptr);
    int32_t y = 7, m = 7, d = 7;
    ldxjtc(&ctx, 0, &y, &m, &d);
    EXPECT_EQ(y, 7);  // nothing written, and back here
    lnxnfterf(nullptr, 1800);
}

TEST(FormatPrint, Records) {
    struct Expect {
        const char *model;
        uint32_t flags;
        int intpos, fracpos, width, lz, minfrac;
        std::string septab;
    } cases[] = {
        {"9,990.99", 0x40000 | 0x20000 | 0x80, 4, 2, 9, 1, 2, "\x01"},
        {"FM9,990.99", 0x20000 | 0x80, 4, 2, 9, 1, 0, "\x01"},
        {"FM90.9909", 0x20000 | 0x80, 2, 4, 8, 1, 3, ""},
        {"99EEEE", 0x40000 | 0x10000 | 0x40 | 0x80, 1, 0, 7, 0, 0, ""},
        {"0099EEEE", 0x40000 | 0x10000 | 0x40 | 0x80, 1, 0, 7, 1, 0, ""},
        {"9G9G9D9", 0x40000 | 0x80, 3, 1, 8, 0, 1, "\x81\x82"},
        {"L99", 0x40000 | 0x10000 | 0x400 | 0x80, 2, 0, 13, 0, 0, ""},
        {"FM9C99", 0x1000 | 0x8000 | 0x80, 1, 2, 7, 0, 0, ""},
        {"fm999v99", 0x10000 | 0x80, 3, 2, 6, 0, 2, ""},
        {"S999", 0x40000 | 0x10000 | 0x100 | 0x80, 3, 0, 4, 0, 0, ""},
        {"999S", 0x40000 | 0x10000 | 0x200 | 0x80, 3, 0, 4, 0, 0, ""},
        {"$999PT", 0x40000 | 0x10000 | 0x2 | 0x80000 | 0x80, 3, 0, 6, 0, 0, ""},
        {"B999PR", 0x40000 | 0x10000 | 0x8 | 0x4 | 0x80, 3, 0, 5, 0, 0, ""},
        {"9995MI", 0x40000 | 0x10000 | 0x1 | 0x100000 | 0x80, 4, 0, 5, 0, 0, ""},
        {"date", 0x10 | 0x80, 0, 0, 8, 0, 0, ""},
        {"eDaTe", 0x30 | 0x80, 0, 0, 8, 0, 0, ""},
        {"RN", 0x40000 | 0x2000 | 0x80, 0, 0, 15, 0, 0, ""},
        {"FMrn", 0x2000 | 0x4000 | 0x80, 0, 0, 15, 0, 0, ""},
    };
    for (const Expect &e : cases) {
        lnxfmt pf;
        std::memset(&pf, 0xAA, sizeof pf);
        ASSERT_EQ(lnxpfl(e.model, static_cast<uint32_t>(std::strlen(e.model)), &pf, nullptr), 0)
            << e.model;
        EXPECT_EQ(pf.flags, e.flags) << e.model;
        EXPECT_EQ(pf.intpos, e.intpos) << e.model;
        EXPECT_EQ(pf.fracpos, e.fracpos) << e.model;
        EXPECT_EQ(pf.width, e.width) << e.model;
        EXPECT_EQ(pf.lzcount, e.lz) << e.model;
        EXPECT_EQ(pf.minfrac, e.minfrac) << e.model;
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(pf.septab)), e.septab) << e.model;
        EXPECT_EQ(lnxgfs(e.model, nullptr), static_cast<uint32_t>(e.width)) << e.model;
    }
    EXPECT_EQ(sizeof(lnxfmt), 48u);
}

TEST(FormatPrint, InvalidModels) {
    const std::string wide(64, '9');
    const std::string many_commas = "9" + std::string(40, ',');
    const char *models[] = {
        "EEEE",    "9EEE",   "9EEEEE",     "9EEEE9",
        "9.9.9",   "9.9D9",  "9V9.9",      "9,G9",
        "9G,9",    "9G9.9",  "9,9D9",      ",99",
        "G99",     "9S9",    "S999S",      "SS99",
        "MI999",   "9MI9",   "S999MI",     "S99PR",
        "99PRMI",  "9PR9",   "9$9$",       "$C99",
        "99CL",    "99C9C",  "9.9C9",      "9,9C99",
        "95.99",   "959",    "9EEEE5",     "5EEEE",
        "9C5",     "9$EEEE", "BB99",       "B9EEEE",
        "9,9EEEE", "FMFM99", "99FM",       "RN9",
        "RNRN",    "R",      "N",          "date9",
        "dates",   "9x",     "9 9",        "9-",
        "A9",      "99..",   wide.c_str(), many_commas.c_str(),
    };
    for (const char *m : models) {
        lnxfmt pf;
        std::memset(&pf, 0xAA, sizeof pf);
        EXPECT_EQ(lnxpfl(m, static_cast<uint32_t>(std::strlen(m)), &pf, nullptr), 1) << m;
        EXPECT_EQ(pf.width, 10) << m;
        EXPECT_EQ(lnxgfs(m, nullptr), 10u) << m;
        EXPECT_EQ(nfn(m, "1"), "##########") << m;
    }
    // A model of 63 digit positions is the widest.
    EXPECT_EQ(lnxgfs(std::string(63, '9').c_str(), nullptr), 64u);
    // Embedded NUL and the longest texts.
    lnxfmt pf;
    EXPECT_EQ(lnxpfl("9\0"
                     "9",
                     3, &pf, nullptr),
              1);
    const std::string huge(300, '9');
    EXPECT_EQ(lnxpfl(huge.data(), static_cast<uint32_t>(huge.size()), &pf, nullptr), 1);
    EXPECT_EQ(lnxpfl(nullptr, 0, &pf, nullptr), 1);
    lxlinfo blank{};
    EXPECT_EQ(lnxpfl("999", 3, &pf, &blank), 1);
    EXPECT_EQ(pf.width, 10);
    char out[16];
    ASSERT_EQ(lnxpfl("999", 3, &pf, nullptr), 0);
    EXPECT_EQ(lnxnft(dn("1").b.data(), dn("1").len, &pf, out, &blank), 4u);
    EXPECT_EQ(std::string(out, 4), "####");
}

}  // namespace
