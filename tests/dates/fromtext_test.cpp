// Text to dates: hand-checked readings, every error of reading by its
// number, dates printed and read back in every language and character
// set, texts of strftime read back, items read one at a time, and models
// checked for what they leave to the reference date.
#include <gtest/gtest.h>

#include <clocale>
#include <csetjmp>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "date_fixture.hpp"
#include "ldx.h"

namespace {

using tavo::test::DateContext;
using tavo::test::DateIs;
using tavo::test::make_date;
using Bytes = std::vector<uint8_t>;
using Errors = std::vector<int32_t>;

std::string convert(DateContext &c, const std::string &text, int32_t from, bool to_set) {
    lxwork w;
    lxwbind(&w, lxenvget(c.ctx.env));
    char buf[1024];
    int32_t cs = lxcsid(&w);
    uint32_t n = lxconv(buf, sizeof buf, to_set ? cs : from, text.data(),
                        static_cast<uint32_t>(text.size()), to_set ? from : cs, &w);
    lxwfree(&w);
    return std::string(buf, n);
}

// Model text in ASCII, compiled in the context's set (as an input model, or
// as an output model for the checks input models would refuse).
Bytes compile(DateContext &c, const std::string &model, bool input = true) {
    uint8_t out[255];
    std::string m = convert(c, model, LXCS_US7ASCII, true);
    auto n = static_cast<uint32_t>(m.size());
    uint32_t got = input ? ldxsti(&c.ctx, m.data(), n, out, sizeof out)
                         : ldxsto(&c.ctx, m.data(), n, out, sizeof out);
    return Bytes(out, out + got);
}

const ldxdate reference = make_date(1995, 3, 5, 8, 7, 9);

ldxdate read(DateContext &c, const Bytes &fmt, const std::string &text,
             const ldxdate &ref = reference) {
    ldxdate out = make_date(1111, 1, 1);
    ldxstd(&c.ctx, &out, &ref, text.data(), static_cast<uint32_t>(text.size()),
           fmt.empty() ? nullptr : fmt.data());
    return out;
}

TEST(TextToDate, HandCheckedReadings) {
    DateContext c("AMERICAN");
    struct Case {
        const char *model;
        const char *text;
        ldxdate want;
    };
    const Case cases[] = {
        {"DD", "17", make_date(1995, 3, 17)},
        {"MM-YY", "07-01", make_date(1901, 7, 1)},
        {"DD-MON-YYYY", "05-MAR-1995", make_date(1995, 3, 5)},
        {"DD-MON-YYYY", "05 MAR 1995", make_date(1995, 3, 5)},
        {"DD-MON-YYYY", "05/mar/1995", make_date(1995, 3, 5)},
        {"DD-MON-YYYY", "  5-Mar-1995  ", make_date(1995, 3, 5)},
        {"YYYY", "2001", make_date(2001, 3, 1)},
        {"DD-MM-YYYY", "10-10-1582", make_date(1582, 10, 15)},
        {"DD-MM-YYYY", "29-02-2000", make_date(2000, 2, 29)},
        {"DD-MM-YYYY", "29-02-1500", make_date(1500, 2, 29)},
        {"HH:MI AM", "12:30 AM", make_date(1995, 3, 1, 0, 30)},
        {"HH:MI AM", "12:30 PM", make_date(1995, 3, 1, 12, 30)},
        {"HH:MI AM", "01:05 pm", make_date(1995, 3, 1, 13, 5)},
        {"HH12:MI:SS A.M.", "11:59:59 p.m.", make_date(1995, 3, 1, 23, 59, 59)},
        {"DD AM", "05 PM", make_date(1995, 3, 5, 12)},  // no hour: the meridian's first
        {"DD AM", "05 AM", make_date(1995, 3, 5, 0)},
        {"RRRR", "95", make_date(1995, 3, 1)},
        {"RRRR", "1949", make_date(1949, 3, 1)},
        {"DDD YYYY", "366 1996", make_date(1996, 12, 31)},
        {"DDD", "064", make_date(1995, 3, 5)},
        {"SSSSS", "29229", make_date(1995, 3, 1, 8, 7, 9)},
        {"SSSSS HH24:MI:SS", "29229 08:07:09", make_date(1995, 3, 1, 8, 7, 9)},
        {"DAY DD-MM-YYYY", "SUNDAY 05-03-1995", make_date(1995, 3, 5)},
        {"Dy DD", "sun 05", make_date(1995, 3, 5)},
        {"D DD", "1 05", make_date(1995, 3, 5)},
        {"SYYYY-MM-DD", "-0044-03-15", make_date(-44, 3, 15)},
        {"SYYYY-MM-DD", " 0044-03-15", make_date(44, 3, 15)},
        {"DD-MM-YYYY BC", "15-03-0044 BC", make_date(-44, 3, 15)},
        {"DD-MM-YYYY B.C.", "15-03-0044 a.d.", make_date(44, 3, 15)},
        {"Month DD, YYYY", "march 5, 1995", make_date(1995, 3, 5)},
        {"RM YYYY", "iii 1995", make_date(1995, 3, 1)},
        {"RM YYYY", "XII 1995", make_date(1995, 12, 1)},
        {"YYYY E", "0044 bc", make_date(-44, 3, 1)},
        {"YYYY EE", "0044 before christ", make_date(-44, 3, 1)},
        {"Y,YYY", "1,995", make_date(1995, 3, 1)},
        {"YYYYMMDDHH24MISS", "19950305080709", reference},
        {"J", "2449782", make_date(1995, 3, 5)},
        {"J SSSSS", "1 0", make_date(-4712, 1, 1)},
        {"FXDD-MM-YYYY", "05-03-1995", make_date(1995, 3, 5)},
        {"FXfmDD-MM-YYYY", "5-3-1995", make_date(1995, 3, 5)},
        {"DDFX-MM", "5-04", make_date(1995, 4, 5)},
        {"DD-SYYYY", "05--0044", make_date(-44, 3, 5)},  // the minus is the literal
        {"DD SYYYY", "05 -0044", make_date(-44, 3, 5)},  // the minus is the sign
    };
    for (const Case &k : cases) {
        EXPECT_TRUE(DateIs(read(c, compile(c, k.model), k.text), k.want))
            << k.model << " / " << k.text;
        EXPECT_EQ(c.take_errors(), Errors{}) << k.model << " / " << k.text;
    }
}

TEST(TextToDate, TwoDigitYearsFollowTheReference) {
    DateContext c("AMERICAN");
    struct Case {
        int ref, digits, want;
    };
    const Case cases[] = {{1995, 49, 2049}, {1995, 50, 1950}, {2010, 49, 2049}, {2010, 50, 1950},
                          {2060, 49, 2149}, {2060, 50, 2050}, {1999, 0, 2000},  {1999, 99, 1999},
                          {2050, 0, 2000},  {2051, 0, 2100},  {2051, 99, 2099}, {1950, 99, 1899}};
    for (const char *model : {"RR", "RRRR"}) {
        Bytes f = compile(c, model);
        for (const Case &k : cases) {
            char text[3] = {static_cast<char>('0' + k.digits / 10),
                            static_cast<char>('0' + k.digits % 10), 0};
            ldxdate got = read(c, f, text, make_date(k.ref, 6, 30));
            EXPECT_EQ(got.year, k.want) << model << " " << k.ref << " " << text;
            EXPECT_EQ(got.month, 6);
        }
    }
    // "yy" keeps the reference century, "y" and "yyy" likewise.
    EXPECT_TRUE(
        DateIs(read(c, compile(c, "YY"), "49", make_date(2060, 1, 1)), make_date(2049, 1, 1)));
    EXPECT_TRUE(
        DateIs(read(c, compile(c, "Y"), "7", make_date(2060, 1, 1)), make_date(2067, 1, 1)));
    EXPECT_TRUE(
        DateIs(read(c, compile(c, "YYY"), "007", make_date(2060, 1, 1)), make_date(2007, 1, 1)));
    EXPECT_EQ(c.take_errors(), Errors{});
}

TEST(TextToDate, EveryErrorByItsNumber) {
    DateContext c("AMERICAN");
    struct Case {
        int32_t err;
        const char *model;
        const char *text;
        bool input;  // compiled as an input model (else as an output model,
                     // for checks an input model would refuse to hold)
    };
    const Case cases[] = {
        {1830, "DD", "05x", true},
        {1830, "FXDD", "05 ", true},
        {1831, "J YYYY", "2449782 1996", true},
        {1832, "J DDD", "2449782 065", false},
        {1833, "DDD MM", "064 04", true},
        {1833, "J MM", "2449782 04", true},
        {1834, "DDD DD", "064 06", true},
        {1834, "J DD", "2449782 06", true},
        {1835, "DAY DD-MM-YYYY", "MONDAY 05-03-1995", true},
        {1835, "D DD", "2 05", true},
        {1836, "SSSSS HH24", "29229 09", true},
        {1837, "SSSSS MI", "29229 08", true},
        {1838, "SSSSS SS", "29229 10", true},
        {1839, "DD-MM-YYYY", "31-02-1995", true},
        {1839, "DD-MM-YYYY", "29-02-1900", true},
        {1839, "DD-MM-YYYY", "31-04-1995", true},
        {1840, "YYYY.", "1995", true},
        {1840, "DD-MM-YYYY", "05-03", true},
        {1841, "YYYY", "0000", true},
        {1841, "SYYYY", "-4713", true},
        {1841, "DD-MM-YYYY BC", "01-01-4713 BC", true},
        {1842, "Q", "5", false},
        {1843, "MM", "13", true},
        {1843, "MON", "xyz", true},
        {1843, "MONTH", "mar", true},
        {1843, "RM", "xiii", true},
        {1844, "WW", "60", false},
        {1845, "W", "6", false},
        {1846, "D", "8", true},
        {1846, "DY", "xyz", true},
        {1847, "DD", "32", true},
        {1847, "DD", "00", true},
        {1848, "DDD", "367", true},
        {1848, "DDD YYYY", "366 1995", true},
        {1849, "HH", "13", true},
        {1849, "HH", "00", true},
        {1850, "HH24", "24", true},
        {1851, "MI", "60", true},
        {1852, "SS", "60", true},
        {1853, "SSSSS", "86400", true},
        {1854, "J", "0", true},
        {1855, "AM", "xm", true},
        {1855, "A.M.", "a.d.", true},
        {1856, "AD", "xd", true},
        {1856, "B.C.", "p.m.", true},
        {1858, "DD MM", "123 04", true},
        {1858, "DD-MM-YYYY", "05-03-19950", true},
        {1860, "IW", "54", false},
        {1861, "FXDD-MM-YYYY", "05/03/1995", true},
        {1861, "DD\"--\"SYYYY", "05-44", true},
        {1862, "FXDD-MM-YYYY", "5-3-1995", true},
        {1862, "FXYYYY", "995", true},
        {LDXE_INTERNAL, "SYYYY EE", "-0044 anno domini", true},
        {LDXE_INTERNAL, "YYYY E", "0044 xx", true},
    };
    for (const Case &k : cases) {
        Bytes f = compile(c, k.model, k.input);
        ASSERT_EQ(c.take_errors(), Errors{}) << k.model;
        read(c, f, k.text);
        EXPECT_EQ(c.take_errors(), Errors{k.err}) << k.model << " / " << k.text;
    }
}

// An error leaves by the callback: nothing is held afterwards, and the
// next reading works.
std::jmp_buf escape;
int32_t jumped_with = 0;
void jump_out(ldxctx *, int32_t err) {
    jumped_with = err;
    std::longjmp(escape, 1);
}

TEST(TextToDate, ErrorsMayJumpOut) {
    lxlinfo info;
    ASSERT_EQ(lxlfill(&info, "AMERICAN", 0), LXS_OK);
    ldxctx ctx;
    ldxini(&ctx, &info, jump_out, nullptr);
    static ldxdate out{};
    uint8_t fmt[64];
    uint32_t n = ldxsti(&ctx, "DD-MM-YYYY", 10, fmt, sizeof fmt);
    ASSERT_GT(n, 0u);
    jumped_with = 0;
    if (setjmp(escape) == 0) ldxstd(&ctx, &out, &reference, "31-02-1995", 10, fmt);
    EXPECT_EQ(jumped_with, 1839);
    EXPECT_EQ(ctx.tmpenv, nullptr);
    jumped_with = 0;
    if (setjmp(escape) == 0) ldxstd(&ctx, &out, &reference, "28-02-1995", 10, fmt);
    EXPECT_EQ(jumped_with, 0);
    EXPECT_TRUE(DateIs(out, make_date(1995, 2, 28)));
}

TEST(TextToDate, DefaultFormatAndMissingArguments) {
    DateContext c("AMERICAN");
    EXPECT_TRUE(DateIs(read(c, Bytes{}, "05-MAR-95"), make_date(1995, 3, 5)));
    EXPECT_EQ(c.take_errors(), Errors{});
    DateContext none;
    read(none, Bytes{}, "05-MAR-95");
    EXPECT_EQ(none.take_errors(), Errors{LDXE_INTERNAL});
    // Without a reference date, today's year and month.
    ldxdate fixed = make_date(2024, 7, 19, 10);
    ldxfxd(&c.ctx, &fixed);
    Bytes f = compile(c, "DD");
    ldxdate out{};
    ldxstd(&c.ctx, &out, nullptr, "03", 2, f.data());
    EXPECT_TRUE(DateIs(out, make_date(2024, 7, 3)));
    ldxstd(&c.ctx, nullptr, nullptr, "03", 2, f.data());
    EXPECT_EQ(c.take_errors(), Errors{LDXE_INTERNAL});
}

TEST(TextToDate, ItemsOneAtATime) {
    DateContext c("AMERICAN");
    Bytes f = compile(c, "FXDD-Month");
    const char text[] = "07-july";
    lxwork w;
    lxwbind(&w, lxenvget(c.ctx.env));
    lxcur cur;
    lxcopen(&cur, text, 7, &w);
    const uint8_t *at = f.data();
    int32_t v = -1;
    c.ctx.tmpenv = nullptr;
    EXPECT_EQ(ldxpv(&c.ctx, &cur, 7, &at, &v), 0);  // fx
    EXPECT_EQ(c.ctx.exact, 1);
    EXPECT_EQ(ldxpv(&c.ctx, &cur, 7, &at, &v), LDXK_DD);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(ldxpv(&c.ctx, &cur, 7, &at, nullptr), 0);  // the literal
    EXPECT_EQ(ldxpv(&c.ctx, &cur, 7, &at, &v), LDXK_MONTH);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(at[0], 0);
    EXPECT_EQ(cur.pos, 7u);
    // The end offset stops a reading.
    lxcopen(&cur, text, 7, &w);
    at = f.data() + 2;
    EXPECT_EQ(ldxpv(&c.ctx, &cur, 1, &at, &v), LDXK_DD);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(c.take_errors(), Errors{1862});
    lxwfree(&w);
}

TEST(TextToDate, WhatModelsLeaveToTheReference) {
    DateContext c("AMERICAN");
    struct Case {
        const char *model;
        int32_t want;
    };
    const Case cases[] = {{"DD-MON-YYYY", 0}, {"DD-MM-YY", 1},    {"DD-MM", 1},
                          {"YYYY", 1},        {"J", 0},           {"DDD YYYY", 0},
                          {"HH24:MI", 1},     {"MONTH SYYYY", 0}, {"Y DD-MM-YYYY", 1},
                          {"RM Y,YYY", 0},    {"DAY AM", 1}};
    for (const Case &k : cases) {
        Bytes f = compile(c, k.model, false);
        EXPECT_EQ(ldxsdd(&c.ctx, nullptr, 0, f.data()), k.want) << k.model;
        EXPECT_EQ(c.take_errors(), Errors{}) << k.model;
    }
    Bytes f = compile(c, "DD-MON-YYYY");
    EXPECT_EQ(ldxsdd(&c.ctx, "05-MAR-1995", 11, f.data()), 0);
    EXPECT_EQ(c.take_errors(), Errors{});
    for (const char *model : {"RR", "RRRR", "E", "EE", "CC", "Q", "WW", "YEAR"}) {
        ldxsdd(&c.ctx, nullptr, 0, compile(c, model, false).data());
        EXPECT_EQ(c.take_errors(), Errors{LDXE_INTERNAL}) << model;
    }
    ldxsdd(&c.ctx, "05-MAR-1995x", 12, f.data());
    EXPECT_EQ(c.take_errors(), Errors{1830});
    ldxsdd(&c.ctx, "05-MAR", 6, f.data());
    EXPECT_EQ(c.take_errors(), Errors{1840});
    ldxsdd(&c.ctx, "05-MAX-1995", 11, f.data());
    EXPECT_EQ(c.take_errors(), Errors{1843});
}

ldxdate random_date(std::mt19937 &rng, int lo, int hi) {
    for (;;) {
        int y = std::uniform_int_distribution<int>(lo, hi)(rng);
        if (y == 0) continue;
        int m = std::uniform_int_distribution<int>(1, 12)(rng);
        int d = std::uniform_int_distribution<int>(1, tavo::test::oracle_month_length(y, m))(rng);
        if (y == 1582 && m == 10 && d >= 5 && d <= 14) continue;
        return make_date(y, m, d, std::uniform_int_distribution<int>(0, 23)(rng),
                         std::uniform_int_distribution<int>(0, 59)(rng),
                         std::uniform_int_distribution<int>(0, 59)(rng));
    }
}

std::string print(DateContext &c, const ldxdate &d, const Bytes &fmt) {
    char out[512];
    uint32_t n = ldxdts(&c.ctx, out, sizeof out, &d, fmt.data());
    return std::string(out, n);
}

TEST(TextToDate, PrintedDatesReadBackInEveryLanguage) {
    // Whole dates, signed or with an era; the "rr" models only near the
    // reference year, "rrrr" from year 100 on.
    struct Model {
        const char *text;
        int lo, hi;
    };
    const Model models[] = {
        {"DD-MM-YYYY BC HH24:MI:SS", -4712, 9999},
        {"DD-MON-SYYYY HH24:MI:SS", -4712, 9999},
        {"fmMonth DD, SYYYY HH12:MI:SS AM", -4712, 9999},
        {"J SSSSS", -4712, 9999},
        {"DDD YYYY A.D. HH:MI:SS P.M.", -4712, 9999},
        {"FXDD-MM-YYYY HH24:MI:SS B.C.", -4712, 9999},
        {"fxfmDD.MM.SYYYY fmHH24.MI.SS", -4712, 9999},
        {"EE YYYY-MM-DD HH24:MI:SS", -4712, 9999},
        {"E Y,YYY-MM-DD HH24:MI:SS", -4712, 9999},
        {"Day DD Month SYYYY HH24:MI:SS", -4712, 9999},
        {"Dy RM DD SY,YYY SSSSS", -4712, 9999},
        {"RR-MM-DD HH24:MI:SS", 1950, 2049},
        {"RRRR/MM/DD HH24:MI:SS", 100, 9999},
        {"YYYYMMDDHH24MISS", 1, 9999},
    };
    std::mt19937 rng(1995);
    const ldxdate ref = make_date(1995, 6, 15);
    for (const char *language : tavo::test::kAllLanguages) {
        DateContext c(language);
        for (const Model &m : models) {
            Bytes in = compile(c, m.text);
            ASSERT_EQ(c.take_errors(), Errors{}) << language << " " << m.text;
            for (int i = 0; i < 150; ++i) {
                ldxdate d = random_date(rng, m.lo, m.hi);
                std::string text = print(c, d, in);
                ASSERT_EQ(c.take_errors(), Errors{});
                ldxdate back = read(c, in, text, ref);
                ASSERT_EQ(c.take_errors(), Errors{})
                    << language << " " << m.text << " / " << convert(c, text, LXCS_AL32UTF8, false);
                ASSERT_TRUE(DateIs(back, d))
                    << language << " " << m.text << " / " << convert(c, text, LXCS_AL32UTF8, false);
            }
        }
    }
}

// Literal text of several bytes a character is matched and skipped by
// characters, never split.
TEST(TextToDate, MultiByteLiterals) {
    DateContext c("SPANISH_SPAIN.AL32UTF8");
    struct Case {
        const char *model;  // UTF-8
        const char *text;
        ldxdate want;
    };
    const Case cases[] = {
        {"DD \"de\" Month \"del año\" YYYY", "05 de marzo del año 1995", make_date(1995, 3, 5)},
        {"FXDD \"de\" fmMonth \"del año\" YYYY", "05 de marzo del año 1995", make_date(1995, 3, 5)},
        {"DD\"→\"MM\"€\"YYYY", "05→03€1995", make_date(1995, 3, 5)},
        {"DD\"→\"MM\"€\"YYYY", "05x03y1995", make_date(1995, 3, 5)},
        {"FXDD\"ñ\"MM", "05ñ03", make_date(1995, 3, 5)},
    };
    for (const Case &k : cases) {
        uint8_t fmt[255];
        uint32_t n =
            ldxsti(&c.ctx, k.model, static_cast<uint32_t>(std::strlen(k.model)), fmt, sizeof fmt);
        Bytes f(fmt, fmt + n);
        ASSERT_EQ(c.take_errors(), Errors{}) << k.model;
        EXPECT_TRUE(DateIs(read(c, f, k.text), k.want)) << k.model << " / " << k.text;
        EXPECT_EQ(c.take_errors(), Errors{}) << k.model << " / " << k.text;
        // And the date printed under the model reads back.
        std::string printed = print(c, k.want, f);
        EXPECT_TRUE(DateIs(read(c, f, printed), k.want)) << printed;
        EXPECT_EQ(c.take_errors(), Errors{}) << printed;
    }
    uint8_t fmt[255];
    const char model[] = "FXDD\"ñ\"MM";
    uint32_t n = ldxsti(&c.ctx, model, sizeof model - 1, fmt, sizeof fmt);
    read(c, Bytes(fmt, fmt + n), "05n03");
    EXPECT_EQ(c.take_errors(), Errors{1861});
}

// strftime's texts in the C locale read to the dates they were made from.
TEST(TextToDate, ReadsWhatStrftimePrints) {
    std::setlocale(LC_TIME, "C");
    DateContext c("AMERICAN");
    Bytes f = compile(c, "DD-MON-YYYY HH24:MI:SS");
    Bytes g = compile(c, "Dy, DD Month YYYY HH12:MI:SS AM DDD");
    std::mt19937 rng(2100);
    for (int i = 0; i < 2000; ++i) {
        ldxdate d = random_date(rng, 1900, 2100);
        std::tm tm = tavo::test::c_time(d);
        char text[128];
        size_t n = std::strftime(text, sizeof text, "%d-%b-%Y %H:%M:%S", &tm);
        ASSERT_TRUE(DateIs(read(c, f, std::string(text, n)), d)) << text;
        n = std::strftime(text, sizeof text, "%a, %d %B %Y %I:%M:%S %p %j", &tm);
        ASSERT_TRUE(DateIs(read(c, g, std::string(text, n)), d)) << text;
    }
    EXPECT_EQ(c.take_errors(), Errors{});
}

}  // namespace
