// The calendar: day numbers against independent formulas for every day of
// the range, validity masks, the external, Julian and number forms, time
// zones, the clock and errors left by longjmp.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdint>
#include <random>

#include "date_fixture.hpp"
#include "dates/ldx_internal.h"
#include "ldx.h"
#include "lnx.h"
#include "sosd.h"

namespace {

using tavo::test::DateContext;
using tavo::test::DateIs;
using tavo::test::make_date;

// Days from 1 January 1970 in the proleptic Gregorian calendar (Hinnant).
int64_t days_from_civil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);             // [0, 399]
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;  // [0, 365]
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;            // [0, 146096]
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// Julian-calendar day number (astronomical years), valid from -4800 on.
int64_t julian_calendar_jdn(int64_t y, int64_t m, int64_t d) {
    int64_t a = (14 - m) / 12, yy = y + 4800 - a, mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - 32083;
}

// The expected day number: Gregorian from 15 October 1582, Julian before;
// -4712 has no 29 February here, so its January and February are one later.
int64_t oracle_jday(int y, int m, int d) {
    if (y > 1582 || (y == 1582 && (m > 10 || (m == 10 && d >= 15))))
        return days_from_civil(y, m, d) + 2440588;
    int64_t j = julian_calendar_jdn(y, m, d);
    return y == -4712 && m <= 2 ? j + 1 : j;
}

TEST(Calendar, EveryDayOfTheRangeAgainstTheFormulasAndBack) {
    DateContext c;
    int32_t expect = 0;
    for (int y = -4712; y <= 9999; ++y) {
        for (int m = 1; m <= 12; ++m) {
            int length = tavo::test::oracle_month_length(y, m);
            for (int d = 1; d <= length; ++d) {
                if (y == 1582 && m == 10 && d >= 5 && d <= 14) continue;  // never existed
                ++expect;
                int32_t j = ldxctj(&c.ctx, y, m, d);
                if (j != expect || j != oracle_jday(y, m, d)) {
                    FAIL() << y << "-" << m << "-" << d << " gives " << j << ", want " << expect
                           << " and " << oracle_jday(y, m, d);
                }
                int32_t yy = 0, mm = 0, dd = 0;
                ldxjtc(&c.ctx, j, &yy, &mm, &dd);
                if (yy != y || mm != m || dd != d) {
                    FAIL() << j << " gives " << yy << "-" << mm << "-" << dd << ", want " << y
                           << "-" << m << "-" << d;
                }
            }
        }
    }
    EXPECT_EQ(expect, 5373484);
    EXPECT_TRUE(c.take_errors().empty());
}

TEST(Calendar, DayNumbersRoundTripForEveryDay) {
    DateContext c;
    for (int32_t j = 1; j <= 5373484; ++j) {
        int32_t y, m, d;
        ldxjtc(&c.ctx, j, &y, &m, &d);
        ASSERT_EQ(ldxctj(&c.ctx, y, m, d), j);
    }
}

TEST(Calendar, LandmarkDays) {
    DateContext c;
    struct Case {
        int y, m, d;
        int32_t j;
    };
    const Case cases[] = {{-4712, 1, 1, 1},        {-4712, 12, 31, 365},    {-4711, 1, 1, 366},
                          {1582, 10, 4, 2299160},  {1582, 10, 15, 2299161}, {1970, 1, 1, 2440588},
                          {9999, 12, 31, 5373484}, {0, 1, 1, 1721058},      {0, 12, 31, 1721423},
                          {1982, 2, 28, 2445029}};
    for (const Case &k : cases) {
        EXPECT_EQ(ldxctj(&c.ctx, k.y, k.m, k.d), k.j) << k.y << "-" << k.m << "-" << k.d;
        int32_t y, m, d;
        ldxjtc(&c.ctx, k.j, &y, &m, &d);
        EXPECT_EQ(y, k.y) << k.j;
        EXPECT_EQ(m, k.m) << k.j;
        EXPECT_EQ(d, k.d) << k.j;
    }
}

TEST(Calendar, BadDayNumbersAndDaysOfYear) {
    DateContext c;
    int32_t y = 7, m = 7, d = 7;
    ldxjtc(&c.ctx, 0, &y, &m, &d);
    ldxjtc(&c.ctx, -5, &y, &m, &d);
    EXPECT_EQ(y * 100 + m * 10 + d, 777);  // nothing written
    EXPECT_EQ(c.take_errors(), (std::vector<int32_t>{1854, 1854}));
    ldxdyc(&c.ctx, 1995, 366, &m, &d);
    EXPECT_EQ(c.take_errors(), std::vector<int32_t>{1848});
    ldxdyc(&c.ctx, 1996, 366, &m, &d);
    EXPECT_EQ(m * 100 + d, 1231);
    ldxdyc(&c.ctx, 1996, 60, &m, &d);
    EXPECT_EQ(m * 100 + d, 229);
    ldxdyc(&c.ctx, 1995, 60, &m, &d);
    EXPECT_EQ(m * 100 + d, 301);
    EXPECT_TRUE(c.take_errors().empty());
    // No argument, however wild, makes the conversions misbehave.
    (void)ldxctj(&c.ctx, INT32_MAX, 99, -99);
    (void)ldxctj(&c.ctx, INT32_MIN, -1, 127);
    ldxjtc(&c.ctx, INT32_MAX, &y, &m, &d);
}

TEST(Check, InternalDates) {
    DateContext c;
    struct Case {
        ldxdate d;
        uint32_t mask;
    };
    const Case cases[] = {
        {make_date(1995, 3, 5, 8, 7, 9), 0},
        {make_date(1900, 2, 29), 0x0001},
        {make_date(2000, 2, 29), 0},
        {make_date(1500, 2, 29), 0},
        {make_date(-4712, 2, 29), 0x0001},
        {make_date(-4, 2, 29), 0},
        {make_date(1582, 10, 10), 0x1000},
        {make_date(1582, 10, 4), 0},
        {make_date(1582, 10, 15), 0},
        {make_date(0, 6, 1), 0x2000},
        {make_date(1995, 13, 40), 0x0004},
        {make_date(1995, 0, 40), 0x000C},
        {make_date(1995, -3, 1), 0x0004},
        {make_date(1995, 4, 31), 0x0001},
        {make_date(1995, 4, 0), 0x0003},
        {make_date(1995, 4, -2), 0x0003},
        {make_date(-4713, 1, 1), 0x0030},
        {make_date(10000, 1, 1), 0x0010},
        {make_date(1995, 1, 1, 24, 60, 60), 0x0040 | 0x0100 | 0x0400},
        // A negative time field is too small: both bits of its pair.
        {make_date(1995, 1, 1, -1, 0, 0), 0x00C0},
        {make_date(1995, 1, 1, 0, -1, 0), 0x0300},
        {make_date(1995, 1, 1, 0, 0, -1), 0x0C00},
        {make_date(1995, 1, 1, 23, 59, 59), 0},
    };
    for (const Case &k : cases) {
        EXPECT_EQ(ldxchk(&c.ctx, &k.d, LDXF_DATE), k.mask)
            << k.d.year << "-" << int(k.d.month) << "-" << int(k.d.day);
    }
    ldxdate d = make_date(1995, 1, 1);
    EXPECT_EQ(ldxchk(&c.ctx, &d, 3), 0x8000u);
    EXPECT_EQ(ldxchk(&c.ctx, &d, -1), 0x8000u);
}

TEST(Check, JulianForms) {
    DateContext c;
    struct Case {
        ldxjul j;
        uint32_t mask;
    };
    const Case cases[] = {
        {{1, 0}, 0},       {{5373484, 86399}, 0},  {{5373485, 0}, 0x0001}, {{0, 0}, 0x0003},
        {{-7, 0}, 0x0003}, {{100, 86400}, 0x0400}, {{100, -1}, 0x0C00},    {{0, 90000}, 0x0403},
    };
    for (const Case &k : cases) {
        EXPECT_EQ(ldxchk(&c.ctx, &k.j, LDXF_JULIAN), k.mask) << k.j.day << " " << k.j.seconds;
    }
}

TEST(Check, ExternalDates) {
    DateContext c;
    struct Case {
        uint8_t e[7];
        uint32_t mask;
    };
    const Case cases[] = {
        {{119, 195, 3, 5, 9, 8, 10}, 0},
        {{53, 88, 1, 1, 1, 1, 1}, 0},                           // 1 January -4712
        {{119, 195, 3, 5, 0, 0, 0}, 0x00C0 | 0x0300 | 0x0C00},  // time bytes missing
        {{119, 195, 3, 5, 25, 61, 61}, 0x0040 | 0x0100 | 0x0400},
        {{119, 195, 13, 31, 1, 1, 1}, 0x0004},  // checked as December
        {{119, 195, 13, 32, 1, 1, 1}, 0x0005},
        {{119, 195, 0, 1, 1, 1, 1}, 0x000D},  // a month of no days
        {{119, 195, 0, 0, 1, 1, 1}, 0x000F},
        {{119, 195, 2, 29, 1, 1, 1}, 0x0001},
        {{120, 100, 2, 29, 1, 1, 1}, 0},        // 2000
        {{115, 182, 10, 10, 1, 1, 1}, 0x1000},  // 1582
        {{100, 100, 1, 1, 1, 1, 1}, 0x2000},    // year 0
        {{53, 87, 1, 1, 1, 1, 1}, 0x0030},      // -4713
    };
    for (const Case &k : cases) EXPECT_EQ(ldxchk(&c.ctx, k.e, LDXF_EXTERNAL), k.mask);
}

TEST(Compare, FieldByField) {
    ldxdate a = make_date(1995, 3, 5, 8, 7, 9);
    ldxdate b = a;
    EXPECT_EQ(ldxcmp(&a, &b), 0);
    b.second = 10;
    EXPECT_EQ(ldxcmp(&a, &b), -1);
    EXPECT_EQ(ldxcmp(&b, &a), 1);
    b = make_date(-1, 12, 31, 23, 59, 59);
    EXPECT_EQ(ldxcmp(&a, &b), 1);
    b = make_date(1995, 3, 4, 23, 0, 0);
    EXPECT_EQ(ldxcmp(&a, &b), 1);
}

TEST(External, EveryYearRoundTrips) {
    DateContext c;
    std::mt19937 rng(5);
    for (int y = -4712; y <= 9999; ++y) {
        if (y == 0) continue;
        int m = static_cast<int>(rng() % 12) + 1;
        int day = static_cast<int>(rng() % 28) + 1;
        if (y == 1582 && m == 10) day = 4;
        ldxdate d = make_date(y, m, day, static_cast<int>(rng() % 24), static_cast<int>(rng() % 60),
                              static_cast<int>(rng() % 60));
        uint8_t e[7];
        ldxite(&c.ctx, &d, e);
        ASSERT_EQ((e[0] - 101) * 100 + e[1], y);
        ASSERT_EQ(ldxchk(&c.ctx, e, LDXF_EXTERNAL), 0u) << y;
        ldxdate back;
        std::memset(&back, 0xAB, sizeof back);
        ldxeti(&c.ctx, e, &back);
        ASSERT_TRUE(DateIs(back, d));
        ASSERT_EQ(back.spare, 0);
    }
    ldxdate d = make_date(1995, 3, 5, 8, 7, 9);
    uint8_t e[7];
    ldxite(&c.ctx, &d, e);
    EXPECT_EQ(e[0], 119);
    EXPECT_EQ(e[1], 195);
    d = make_date(-4712, 1, 1);
    ldxite(&c.ctx, &d, e);
    EXPECT_EQ(e[0], 53);
    EXPECT_EQ(e[1], 88);
}

TEST(JulianForm, DatesAndNumbers) {
    DateContext c;
    ldxdate d = make_date(1970, 1, 1, 12, 0, 1);
    ldxjul j;
    ldxdtd(&c.ctx, &d, &j);
    EXPECT_EQ(j.day, 2440588);
    EXPECT_EQ(j.seconds, 43201);
    ldxdate back;
    ldxdfd(&c.ctx, &j, &back);
    EXPECT_TRUE(DateIs(back, d));

    // 2440588 + 43201/86400, and back.
    uint8_t num[LNXMAXLEN];
    uint32_t len = ldxdyf(&c.ctx, &j, num);
    double v;
    lnxnur(num, static_cast<int32_t>(len), &v, 8);
    EXPECT_NEAR(v, 2440588.0 + 43201.0 / 86400.0, 1e-9);
    ldxjul r{};
    ldxftd(&c.ctx, num, static_cast<int32_t>(len), &r);
    EXPECT_EQ(r.day, 2440588);
    EXPECT_EQ(r.seconds, 43201);

    // Length-prefixed input, and the fraction rounded to the nearest second.
    std::mt19937 rng(11);
    for (int i = 0; i < 2000; ++i) {
        ldxjul in{static_cast<int32_t>(rng() % 5373484) + 1, static_cast<int32_t>(rng() % 86400)};
        uint8_t pre[LNXBUFLEN];
        uint32_t n = ldxdyf(&c.ctx, &in, pre + 1);
        pre[0] = static_cast<uint8_t>(n);
        ldxjul out{};
        ldxftd(&c.ctx, pre, 0, &out);
        ASSERT_EQ(out.day, in.day);
        ASSERT_EQ(out.seconds, in.seconds);
    }
    // A negative number: the day truncates toward zero and the seconds
    // round away from it.
    double neg = -1.25;
    uint32_t nl;
    lnxren(&neg, 8, num, &nl);
    ldxftd(&c.ctx, num, static_cast<int32_t>(nl), &r);
    EXPECT_EQ(r.day, -1);
    EXPECT_EQ(r.seconds, -21600);
    // Within half a second of midnight: the next day at 00:00:00, never
    // second 86400 of the day before (an hour of 24).
    const uint8_t late[] = {0xC4, 0x03, 0x2E, 0x10, 0x2E, 0x64, 0x64, 0x64, 0x64, 0x64};
    ldxftd(&c.ctx, late, sizeof late, &r);  // 2451545.9999999999999
    EXPECT_EQ(r.day, 2451546);
    EXPECT_EQ(r.seconds, 0);
    ldxdate at;
    ldxdfd(&c.ctx, &r, &at);
    EXPECT_EQ(at.hour, 0);
    EXPECT_TRUE(c.take_errors().empty());
}

TEST(TimeZones, NamesAndLengths) {
    DateContext c;
    EXPECT_EQ(ldxgtz(&c.ctx, "EST", 0), 7);
    EXPECT_EQ(ldxgtz(&c.ctx, "est", 3), 7);
    EXPECT_EQ(ldxgtz(&c.ctx, "Gmt+1", 3), 8);
    EXPECT_EQ(ldxgtz(&c.ctx, "yst", 0), 17);
    EXPECT_TRUE(c.take_errors().empty());
    EXPECT_EQ(ldxgtz(&c.ctx, "es", 2), -1);
    EXPECT_EQ(ldxgtz(&c.ctx, "ESTX", 0), -1);
    EXPECT_EQ(ldxgtz(&c.ctx, "est", 4), -1);
    EXPECT_EQ(ldxgtz(&c.ctx, nullptr, 0), -1);
    EXPECT_EQ(c.take_errors(), (std::vector<int32_t>{1857, 1857, 1857, 1857}));
    EXPECT_EQ(ldxtzn[13].minutes, -210);
    EXPECT_STREQ(ldxtzn[13].name, "nst");
}

TEST(Clock, FixedDateAndWallClock) {
    DateContext c;
    ldxdate fixed = make_date(1995, 3, 5, 8, 7, 9);
    ldxfxd(&c.ctx, &fixed);
    ldxdate now;
    int32_t ms = -1;
    sldxgd(&c.ctx, &now, &ms);
    EXPECT_TRUE(DateIs(now, fixed));
    EXPECT_EQ(ms, 0);
    ldxfxd(&c.ctx, nullptr);
    EXPECT_EQ(c.ctx.fixed.year, 0);
    sldxgd(&c.ctx, &now, &ms);
    EXPECT_EQ(ldxchk(&c.ctx, &now, LDXF_DATE), 0u);
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(ms, 0);
    EXPECT_LT(ms, 1000);
}

TEST(Tables, DaysBeforeMonthsAndSecondsInADay) {
    const int32_t dom[14] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
    for (int i = 0; i < 14; ++i) EXPECT_EQ(ldxdom[i], dom[i]);
    int32_t v = 0;
    EXPECT_EQ(lnxsni(ldxsid, 0, &v, 4, LNXSNI_SIGNED), 0);
    EXPECT_EQ(v, 86400);
}

TEST(Context, LanguagesAndTheirDefaultFormats) {
    DateContext american("AMERICAN_AMERICA.US7ASCII");
    EXPECT_TRUE(american.take_errors().empty());
    // DD-MON-YY: dd, "-", mon, "-", yy, end.
    const uint8_t want[] = {22, 0x18, 46, '-', 31, 0x18, 46, '-', 6, 0x18, 0, 0x10};
    EXPECT_EQ(std::memcmp(american.ctx.deffmt, want, sizeof want), 0);

    DateContext none;
    EXPECT_EQ(none.ctx.deffmt[0], 0);
    EXPECT_EQ(none.ctx.tmpenv, nullptr);

    // Another record of the same language keeps the format; a changed one
    // recompiles it and clears its date-format bit.
    lxlinfo german;
    ASSERT_EQ(lxlfill(&german, "GERMAN_GERMANY.WE8ISO8859P1", 0), LXS_OK);
    ldxsen(&american.ctx, &german);
    EXPECT_EQ(american.ctx.env, &german);
    EXPECT_EQ(german.flags & LXF_DATEFMT, 0u);
    // DD.MM.YY
    const uint8_t want_de[] = {22, 0x18, 46, '.', 17, 0x18, 46, '.', 6, 0x18, 0, 0x10};
    EXPECT_EQ(std::memcmp(american.ctx.deffmt, want_de, sizeof want_de), 0);
    lxlinfo copy = german;
    american.ctx.deffmt[0] = 99;  // only a recompilation would restore it
    ldxsen(&american.ctx, &copy);
    EXPECT_EQ(american.ctx.deffmt[0], 99);
    EXPECT_EQ(american.ctx.env, &copy);
    copy.flags |= LXF_DATEFMT;
    ldxsen(&american.ctx, &copy);
    EXPECT_EQ(american.ctx.deffmt[0], 22);
    EXPECT_TRUE(american.take_errors().empty());
    EXPECT_EQ(american.ctx.tmpenv, nullptr);
}

TEST(Context, DefaultFormatRefreshedWhenTheLanguageChangesIt) {
    DateContext c("AMERICAN_AMERICA.US7ASCII");
    ASSERT_NE(c.info_.flags & LXF_DATEFMT, 0u);  // set by the fill
    c.ctx.deffmt[0] = 99;
    tavo::dates::refresh_default_format(&c.ctx);
    EXPECT_EQ(c.ctx.deffmt[0], 22);
    EXPECT_EQ(c.info_.flags & LXF_DATEFMT, 0u);
    c.ctx.deffmt[0] = 99;
    tavo::dates::refresh_default_format(&c.ctx);  // nothing changed: kept
    EXPECT_EQ(c.ctx.deffmt[0], 99);
    EXPECT_TRUE(c.take_errors().empty());
    EXPECT_EQ(c.ctx.tmpenv, nullptr);
}

// Errors left by longjmp: nothing stays held, and the context works after.
std::jmp_buf recovery;
void jump_out(ldxctx *, int32_t err) {
    std::longjmp(recovery, err);
}

TEST(Errors, CallbackThatJumpsLeavesNothingHeld) {
    lxlinfo info;
    ASSERT_EQ(lxlfill(&info, "AMERICAN_AMERICA.US7ASCII", 0), LXS_OK);
    ldxctx ctx;
    ldxini(&ctx, &info, jump_out, nullptr);
    struct Step {
        int32_t want;
        void (*run)(ldxctx *);
    };
    static const Step steps[] = {
        {1854,
         [](ldxctx *c) {
             int32_t y, m, d;
             ldxjtc(c, 0, &y, &m, &d);
         }},
        {1857, [](ldxctx *c) { ldxgtz(c, "xyz", 0); }},
        {1841,
         [](ldxctx *c) {
             ldxdate d = make_date(9999, 12, 1), r;
             ldxadm(c, &r, &d, 1);
         }},
        {1841,
         [](ldxctx *c) {
             ldxdate d = make_date(9999, 12, 31), r;
             ldxitv one{1, 0};
             ldxads(c, &r, &d, &one);
         }},
        {1846, [](ldxctx *c) { ldxdyn(c, "funday", 6, 0); }},
        {600,
         [](ldxctx *c) {
             ldxdate d = make_date(1995, 1, 1), r;
             ldxtrn(c, &r, &d, 27);
         }},
        {1821,
         [](ldxctx *c) {
             uint8_t out[64];
             ldxsto(c, "DD-GG", 5, out, sizeof out);
         }},
        {1801,
         [](ldxctx *c) {
             uint8_t out[3];
             ldxsto(c, "DD-MM", 5, out, sizeof out);
         }},
        {1810,
         [](ldxctx *c) {
             uint8_t out[64];
             ldxsti(c, "DD-MM-YYYY DD", 13, out, sizeof out);
         }},
        {1899, [](ldxctx *c) { ldxgpc(c, "SS", 2); }},
    };
    for (const Step &s : steps) {
        volatile int32_t got = 0;
        if (int32_t e = setjmp(recovery); e != 0) {
            got = e;
        } else {
            s.run(&ctx);
        }
        EXPECT_EQ(got, s.want);
        EXPECT_EQ(ctx.tmpenv, nullptr) << s.want;
    }
    // A record that was never filled gives no working environment.
    lxlinfo unfilled{};
    ldxctx other;
    volatile int32_t got = 0;
    if (int32_t e = setjmp(recovery); e != 0) {
        got = e;
    } else {
        ldxini(&other, &unfilled, jump_out, nullptr);
    }
    EXPECT_EQ(got, 600);
    EXPECT_EQ(other.tmpenv, nullptr);
    // Still usable.
    uint8_t out[64];
    if (setjmp(recovery) == 0) {
        EXPECT_EQ(ldxsto(&ctx, "DD-MM", 5, out, sizeof out), 8u);
    } else {
        ADD_FAILURE() << "no error expected";
    }
}

}  // namespace
