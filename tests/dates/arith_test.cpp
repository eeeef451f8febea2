// Date arithmetic, weekdays, ISO weeks, rounding and truncation: hand-checked
// tables, and random dates against reference computations written here
// (C++20 chrono for weekdays and ISO weeks).
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "date_fixture.hpp"
#include "ldx.h"
#include "lnx.h"

namespace {

using tavo::test::DateContext;
using tavo::test::DateIs;
using tavo::test::make_date;
using tavo::test::oracle_leap;
using tavo::test::oracle_month_length;
namespace chr = std::chrono;

// A random valid date of the range (not in year 0 or the gap of 1582).
ldxdate random_date(std::mt19937 &rng, int lo = -4712, int hi = 9999) {
    for (;;) {
        int y = lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1));
        int m = static_cast<int>(rng() % 12) + 1;
        int d = static_cast<int>(rng() % static_cast<unsigned>(oracle_month_length(y, m))) + 1;
        if (y == 0 || (y == 1582 && m == 10 && d >= 5 && d <= 14)) continue;
        return make_date(y, m, d, static_cast<int>(rng() % 24), static_cast<int>(rng() % 60),
                         static_cast<int>(rng() % 60));
    }
}

chr::sys_days civil(const ldxdate &d) {
    return chr::sys_days{chr::year{d.year} / chr::month{static_cast<unsigned>(d.month)} /
                         chr::day{static_cast<unsigned>(d.day)}};
}

TEST(AddMonths, HandCheckedCases) {
    DateContext c;
    struct Case {
        ldxdate from;
        int32_t months;
        ldxdate want;
    };
    const Case cases[] = {
        {make_date(1996, 1, 31), 1, make_date(1996, 2, 29)},
        {make_date(1996, 2, 29), 12, make_date(1997, 2, 28)},
        {make_date(1997, 2, 28), 1, make_date(1997, 3, 31)},
        {make_date(1995, 2, 28, 10, 11, 12), 1, make_date(1995, 3, 31, 10, 11, 12)},
        {make_date(1995, 4, 30), 1, make_date(1995, 5, 31)},  // a last day stays last
        {make_date(1995, 4, 29), 1, make_date(1995, 5, 29)},
        {make_date(1, 1, 15), -1, make_date(0, 12, 15)},
        {make_date(9999, 11, 3), 1, make_date(9999, 12, 3)},
        {make_date(-1, 1, 1), -1, make_date(-2, 12, 1)},
        {make_date(1995, 3, 15), -15, make_date(1993, 12, 15)},
        {make_date(1995, 3, 15), 0, make_date(1995, 3, 15)},
    };
    for (const Case &k : cases) {
        ldxdate r;
        ldxadm(&c.ctx, &r, &k.from, k.months);
        EXPECT_TRUE(DateIs(r, k.want)) << k.months;
    }
    EXPECT_TRUE(c.take_errors().empty());
    ldxdate r, d = make_date(9999, 12, 1);
    ldxadm(&c.ctx, &r, &d, 1);
    d = make_date(-4712, 1, 1);
    ldxadm(&c.ctx, &r, &d, -1);
    ldxadm(&c.ctx, &r, &d, INT32_MIN);
    EXPECT_EQ(c.take_errors(), (std::vector<int32_t>{1841, 1841, 1841}));
}

TEST(AddMonths, RandomDatesAgainstAReference) {
    DateContext c;
    std::mt19937 rng(21);
    for (int i = 0; i < 200000; ++i) {
        ldxdate d = random_date(rng, -4000, 9000);
        int32_t months = static_cast<int32_t>(rng() % 6001) - 3000;
        // Months counted from year 0 month 0, floor division.
        int64_t t = 12LL * d.year + (d.month - 1) + months;
        int64_t y = t >= 0 ? t / 12 : -((-t + 11) / 12);
        int m = static_cast<int>(t - 12 * y) + 1;
        int length = oracle_month_length(static_cast<int>(y), m);
        bool last = d.day == oracle_month_length(d.year, d.month);
        int day = last || d.day > length ? length : d.day;
        ldxdate r;
        ldxadm(&c.ctx, &r, &d, months);
        ASSERT_TRUE(DateIs(r, make_date(static_cast<int>(y), m, day, d.hour, d.minute, d.second)))
            << months;
    }
    EXPECT_TRUE(c.take_errors().empty());
}

TEST(AddDays, HandCheckedCases) {
    DateContext c;
    struct Case {
        ldxdate from;
        ldxitv itv;
        ldxdate want;
    };
    const Case cases[] = {
        {make_date(1995, 3, 5, 23, 59, 59), {0, 1}, make_date(1995, 3, 6, 0, 0, 0)},
        {make_date(1995, 3, 5, 0, 0, 0), {0, -1}, make_date(1995, 3, 4, 23, 59, 59)},
        {make_date(1582, 10, 4, 12, 0, 0), {1, 0}, make_date(1582, 10, 15, 12, 0, 0)},
        {make_date(1996, 2, 28), {1, 0}, make_date(1996, 2, 29)},
        {make_date(1995, 1, 1), {0, -86400 * 2 - 1}, make_date(1994, 12, 29, 23, 59, 59)},
        {make_date(1995, 1, 1, 6), {-1, 86400}, make_date(1995, 1, 1, 6)},
        {make_date(-4712, 1, 2), {-1, 0}, make_date(-4712, 1, 1)},
        {make_date(9999, 12, 30), {1, 0}, make_date(9999, 12, 31)},
    };
    for (const Case &k : cases) {
        ldxdate r;
        ldxads(&c.ctx, &r, &k.from, &k.itv);
        EXPECT_TRUE(DateIs(r, k.want)) << k.itv.days << " " << k.itv.seconds;
    }
    EXPECT_TRUE(c.take_errors().empty());
    ldxdate r, d = make_date(9999, 12, 31);
    ldxitv one{1, 0}, back{-1, 0};
    ldxads(&c.ctx, &r, &d, &one);
    d = make_date(-4712, 1, 1);
    ldxads(&c.ctx, &r, &d, &back);
    EXPECT_EQ(c.take_errors(), (std::vector<int32_t>{1841, 1841}));
}

TEST(AddDays, RandomDatesAgainstSecondsCounts) {
    DateContext c;
    std::mt19937 rng(22);
    for (int i = 0; i < 200000; ++i) {
        ldxdate d = random_date(rng, -4000, 9000);
        ldxitv itv{static_cast<int32_t>(rng() % 400001) - 200000,
                   static_cast<int32_t>(rng() % 2000001) - 1000000};
        int64_t t = 86400LL * ldxctj(&c.ctx, d.year, d.month, d.day) + d.hour * 3600 +
                    d.minute * 60 + d.second + 86400LL * itv.days + itv.seconds;
        int64_t j = t / 86400, s = t % 86400;
        int32_t y, m, dd;
        ldxjtc(&c.ctx, static_cast<int32_t>(j), &y, &m, &dd);
        ldxdate r;
        ldxads(&c.ctx, &r, &d, &itv);
        ASSERT_TRUE(
            DateIs(r, make_date(y, m, dd, static_cast<int>(s / 3600),
                                static_cast<int>(s % 3600 / 60), static_cast<int>(s % 60))));
    }
    EXPECT_TRUE(c.take_errors().empty());
}

double months_between(ldxctx *ctx, const ldxdate &a, const ldxdate &b, uint8_t *num,
                      uint32_t *len) {
    *len = ldxsbm(ctx, num, &a, &b);
    double v;
    lnxnur(num, static_cast<int32_t>(*len), &v, 8);
    return v;
}

TEST(MonthsBetween, HandCheckedAndRandom) {
    DateContext c;
    uint8_t num[LNXMAXLEN];
    uint32_t len;
    // Whole months: the same day, or both last days; times ignored.
    EXPECT_EQ(months_between(&c.ctx, make_date(1995, 3, 31), make_date(1995, 2, 28), num, &len),
              1.0);
    EXPECT_EQ(
        months_between(&c.ctx, make_date(1995, 3, 15, 23), make_date(1995, 2, 15, 1), num, &len),
        1.0);
    EXPECT_EQ(len, 2u);
    EXPECT_EQ(num[0], 0xC1);
    EXPECT_EQ(months_between(&c.ctx, make_date(1994, 1, 15), make_date(1995, 2, 15), num, &len),
              -13.0);
    // 1 + 86400 / 2678400 exactly: the number, compared digit by digit.
    months_between(&c.ctx, make_date(1995, 3, 16), make_date(1995, 2, 15), num, &len);
    uint8_t want[LNXMAXLEN];
    uint32_t wantlen;
    uint8_t frac[LNXMAXLEN];
    uint32_t fraclen;
    lnxdiv(nullptr, 1, nullptr, 31, frac, &fraclen);
    lnxadd(nullptr, 1, frac, static_cast<int32_t>(fraclen), want, &wantlen);
    ASSERT_EQ(len, wantlen);
    EXPECT_EQ(std::memcmp(num, want, len), 0);

    std::mt19937 rng(23);
    for (int i = 0; i < 50000; ++i) {
        ldxdate a = random_date(rng, 1, 9999), b = random_date(rng, 1, 9999);
        double got = months_between(&c.ctx, a, b, num, &len);
        double m = 12.0 * (a.year - b.year) + a.month - b.month;
        bool whole = a.day == b.day || (a.day == oracle_month_length(a.year, a.month) &&
                                        b.day == oracle_month_length(b.year, b.month));
        double s = (((a.day - b.day) * 24.0 + a.hour - b.hour) * 60 + a.minute - b.minute) * 60 +
                   a.second - b.second;
        double want_v = whole ? m : m + s / 2678400.0;
        ASSERT_NEAR(got, want_v, 1e-9 * (1 + std::abs(want_v)));
    }
}

TEST(LastDay, EveryMonthOfSomeYears) {
    DateContext c;
    for (int y : {-4712, -4, 1, 1500, 1582, 1900, 1996, 2000, 9999}) {
        for (int m = 1; m <= 12; ++m) {
            ldxdate d = make_date(y, m, 3, 4, 5, 6), r;
            ldxldd(&c.ctx, &r, &d);
            EXPECT_TRUE(DateIs(r, make_date(y, m, oracle_month_length(y, m), 4, 5, 6)));
        }
    }
}

TEST(Weekdays, FirstDayOfTheLanguage) {
    DateContext american("AMERICAN_AMERICA.US7ASCII");  // weeks begin on Sunday
    DateContext german("GERMAN_GERMANY.WE8ISO8859P1");  // on Monday
    EXPECT_EQ(ldxdow(&american.ctx, ldxctj(&american.ctx, 1982, 2, 28)), 1);
    EXPECT_EQ(ldxdow(&german.ctx, ldxctj(&german.ctx, 1982, 2, 28)), 7);
    std::mt19937 rng(24);
    for (int i = 0; i < 100000; ++i) {
        ldxdate d = random_date(rng, 1583, 9999);
        unsigned sunday_first = chr::weekday{civil(d)}.c_encoding() + 1;  // Sunday 1
        unsigned monday_first = chr::weekday{civil(d)}.iso_encoding();    // Monday 1
        int32_t j = ldxctj(&american.ctx, d.year, d.month, d.day);
        ASSERT_EQ(ldxdow(&american.ctx, j), static_cast<int32_t>(sunday_first));
        ASSERT_EQ(ldxdow(&german.ctx, j), static_cast<int32_t>(monday_first));
    }
    // Days one after another advance the weekday over the whole range.
    int32_t prev = ldxdow(&american.ctx, 1);
    for (int32_t j = 1 + 997; j <= 5373484; j += 997) {
        int32_t w = ldxdow(&american.ctx, j);
        ASSERT_EQ(w, (prev - 1 + 997) % 7 + 1);
        prev = w;
    }
}

TEST(Weekdays, FromNamesAndNumbers) {
    DateContext american("AMERICAN_AMERICA.US7ASCII");
    DateContext german("GERMAN_GERMANY.WE8ISO8859P1");
    EXPECT_EQ(ldxdyn(&american.ctx, "sunday", 6, 0), 1);
    EXPECT_EQ(ldxdyn(&american.ctx, "MONDAY", 6, 0), 2);
    EXPECT_EQ(ldxdyn(&american.ctx, "Sat", 3, 0), 7);
    EXPECT_EQ(ldxdyn(&german.ctx, "Montag", 6, 0), 1);
    EXPECT_EQ(ldxdyn(&german.ctx, "so", 2, 0), 7);
    uint8_t three[LNXMAXLEN];
    uint32_t len;
    int32_t v = 3;
    lnxmin(&v, 4, 1, three, &len);
    EXPECT_EQ(ldxdyn(&american.ctx, three, len, 1), 3);
    EXPECT_TRUE(american.take_errors().empty());
    v = 8;
    lnxmin(&v, 4, 1, three, &len);
    ldxdyn(&american.ctx, three, len, 1);
    ldxdyn(&american.ctx, "someday", 7, 0);
    ldxdyn(&american.ctx, nullptr, 0, 0);
    EXPECT_EQ(american.take_errors(), (std::vector<int32_t>{1846, 1846, 1846}));
}

TEST(NextDay, EveryWeekdayFromRandomDates) {
    DateContext c;
    ldxdate sunday = make_date(1982, 2, 28, 9, 8, 7), r;
    ldxnxd(&c.ctx, &r, &sunday, 1);
    EXPECT_TRUE(DateIs(r, make_date(1982, 3, 7, 9, 8, 7)));
    std::mt19937 rng(25);
    for (int i = 0; i < 20000; ++i) {
        ldxdate d = random_date(rng, -4000, 9000);
        int32_t j = ldxctj(&c.ctx, d.year, d.month, d.day);
        for (int32_t w = 1; w <= 7; ++w) {
            ldxnxd(&c.ctx, &r, &d, w);
            int32_t rj = ldxctj(&c.ctx, r.year, r.month, r.day);
            ASSERT_GE(rj - j, 1);
            ASSERT_LE(rj - j, 7);
            ASSERT_EQ(ldxdow(&c.ctx, rj), w);
            ASSERT_EQ(r.hour * 3600 + r.minute * 60 + r.second,
                      d.hour * 3600 + d.minute * 60 + d.second);
        }
    }
    EXPECT_TRUE(c.take_errors().empty());
    ldxnxd(&c.ctx, &r, &sunday, 0);
    ldxdate end = make_date(9999, 12, 31);
    ldxnxd(&c.ctx, &r, &end, 1);
    EXPECT_EQ(c.take_errors(), (std::vector<int32_t>{1846, 1841}));
}

// Every Gregorian day of the range, against std::chrono's weekdays, from
// the first ISO week of 1583 (the last week of 1582 is shorter in this
// calendar, which lost ten days in October, than in chrono's).
TEST(IsoWeeks, EveryDayOf1583To9999) {
    DateContext c;
    for (chr::sys_days sd = chr::sys_days{chr::year{1583} / 1 / 3};
         sd <= chr::sys_days{chr::year{9999} / 12 / 31}; sd += chr::days{1}) {
        chr::year_month_day ymd{sd};
        // The ISO year is the year of the week's Thursday.
        chr::sys_days thursday =
            sd + chr::days{4 - static_cast<int>(chr::weekday{sd}.iso_encoding())};
        chr::year iso_year = chr::year_month_day{thursday}.year();
        int week = static_cast<int>((thursday - chr::sys_days{iso_year / 1 / 1}).count() / 7 + 1);
        ldxdate d = make_date(static_cast<int>(ymd.year()), static_cast<int>(unsigned(ymd.month())),
                              static_cast<int>(unsigned(ymd.day())));
        ASSERT_EQ(ldxisw(&c.ctx, &d), week) << static_cast<int>(ymd.year());
        ASSERT_EQ(ldxisy(&c.ctx, &d), static_cast<int>(iso_year));
    }
    ldxdate d = make_date(1999, 1, 1);
    EXPECT_EQ(ldxisw(&c.ctx, &d), 53);
    EXPECT_EQ(ldxisy(&c.ctx, &d), 1998);
    d = make_date(2003, 12, 31);
    EXPECT_EQ(ldxisw(&c.ctx, &d), 1);
    EXPECT_EQ(ldxisy(&c.ctx, &d), 2004);
}

// Before 1583 the calendar is the Julian one, which chrono does not know:
// walk day by day from a Monday, counting weeks the way a person would
// (a new week each Monday, week 1 once a week's Thursday is in a new year).
TEST(IsoWeeks, JulianYearsCountWeeksFromMondays) {
    DateContext c;
    // 1 January -4712 (day 1) is a Tuesday; its week began on day 0, and
    // its Thursday (day 2) is in -4712: week 1 of -4712.
    int32_t week = 1, iso_year = -4712;
    for (int32_t j = 1; j <= ldxctj(&c.ctx, 1582, 10, 4); ++j) {
        const int32_t monday_based =
            (j - 2445030) % 7 < 0 ? (j - 2445030) % 7 + 7 : (j - 2445030) % 7;
        if (monday_based == 0 && j > 1) {
            int32_t ty, tm, td;
            ldxjtc(&c.ctx, j + 3, &ty, &tm, &td);  // the week's Thursday
            if (ty != iso_year) {
                iso_year = ty;
                week = 1;
            } else {
                ++week;
            }
        }
        int32_t y, m, dd;
        ldxjtc(&c.ctx, j, &y, &m, &dd);
        const ldxdate d = make_date(y, m, dd);
        ASSERT_EQ(ldxisw(&c.ctx, &d), week) << y << "-" << m << "-" << dd;
        ASSERT_EQ(ldxisy(&c.ctx, &d), iso_year) << y;
    }
    // The last day of the range is in the last week of 9999.
    ldxdate last = make_date(9999, 12, 31);
    EXPECT_EQ(ldxisy(&c.ctx, &last), 9999);
    EXPECT_EQ(ldxisw(&c.ctx, &last), 52);
}

struct UnitCase {
    int32_t unit;
    ldxdate from;
    ldxdate want;
};

TEST(Truncate, HandCheckedCases) {
    DateContext c;                                           // Sunday is the first day
    const ldxdate wed = make_date(1995, 3, 15, 10, 29, 59);  // a Wednesday
    const UnitCase cases[] = {
        {LDXK_CC, make_date(1999, 7, 4, 5, 6, 7), make_date(1900, 1, 1)},
        {LDXK_SCC, make_date(-150, 7, 4), make_date(-100, 1, 1)},
        {LDXK_YYYY, wed, make_date(1995, 1, 1)},
        {LDXK_IYYY, wed, make_date(1995, 1, 1)},
        {LDXK_Q, wed, make_date(1995, 1, 1)},
        {LDXK_Q, make_date(1995, 12, 31), make_date(1995, 10, 1)},
        {LDXK_MM, wed, make_date(1995, 3, 1)},
        {LDXK_MON, wed, make_date(1995, 3, 1)},
        {LDXK_RM, wed, make_date(1995, 3, 1)},
        {LDXK_IW, wed, make_date(1995, 3, 13)},
        {LDXK_IW, make_date(1995, 3, 19), make_date(1995, 3, 13)},  // Sunday
        {LDXK_IW, make_date(1995, 3, 13), make_date(1995, 3, 13)},  // Monday
        {LDXK_WW, wed, make_date(1995, 3, 12)},                     // day 74 -> 71
        {LDXK_W, wed, make_date(1995, 3, 15)},
        {LDXK_W, make_date(1995, 3, 14), make_date(1995, 3, 8)},
        {LDXK_D, wed, make_date(1995, 3, 12)},
        {LDXK_DAY, wed, make_date(1995, 3, 12)},
        {LDXK_DD, wed, make_date(1995, 3, 15)},
        {LDXK_J, wed, make_date(1995, 3, 15)},
        {LDXK_HH24, wed, make_date(1995, 3, 15, 10)},
        {LDXK_HH, wed, make_date(1995, 3, 15, 10)},
        {LDXK_MI, wed, make_date(1995, 3, 15, 10, 29)},
    };
    for (const UnitCase &k : cases) {
        ldxdate r;
        ldxtrn(&c.ctx, &r, &k.from, k.unit);
        EXPECT_TRUE(DateIs(r, k.want)) << "unit " << k.unit;
    }
    EXPECT_TRUE(c.take_errors().empty());
    for (int32_t unit : {0, 11, 13, 27, 28, 34, 35, 36, 37, 39, 40, 47, -1}) {
        ldxdate r;
        ldxtrn(&c.ctx, &r, &wed, unit);
        EXPECT_EQ(c.take_errors(), std::vector<int32_t>{600}) << unit;
        EXPECT_TRUE(DateIs(r, wed));
    }
}

TEST(Truncate, RandomDatesAgainstChrono) {
    DateContext american("AMERICAN_AMERICA.US7ASCII");
    DateContext german("GERMAN_GERMANY.WE8ISO8859P1");
    std::mt19937 rng(26);
    for (int i = 0; i < 50000; ++i) {
        ldxdate d = random_date(rng, 1583, 9998);
        chr::sys_days sd = civil(d);
        auto as_date = [](chr::sys_days s) {
            chr::year_month_day y{s};
            return make_date(static_cast<int>(y.year()), static_cast<int>(unsigned(y.month())),
                             static_cast<int>(unsigned(y.day())));
        };
        unsigned iso = chr::weekday{sd}.iso_encoding();
        ldxdate r;
        // "iw": the Monday of the ISO week, whatever the language.
        ldxtrn(&american.ctx, &r, &d, LDXK_IW);
        ASSERT_TRUE(DateIs(r, as_date(sd - chr::days{iso - 1})));
        ldxtrn(&german.ctx, &r, &d, LDXK_IW);
        ASSERT_TRUE(DateIs(r, as_date(sd - chr::days{iso - 1})));
        // "d": the first day of the language's week.
        ldxtrn(&american.ctx, &r, &d, LDXK_D);
        ASSERT_TRUE(DateIs(r, as_date(sd - chr::days{chr::weekday{sd}.c_encoding()})));
        ldxtrn(&german.ctx, &r, &d, LDXK_D);
        ASSERT_TRUE(DateIs(r, as_date(sd - chr::days{iso - 1})));
        // "ww": weeks counted from 1 January.
        chr::sys_days jan1{chr::year{d.year} / 1 / 1};
        ldxtrn(&american.ctx, &r, &d, LDXK_WW);
        ASSERT_TRUE(DateIs(r, as_date(jan1 + chr::days{(sd - jan1).count() / 7 * 7})));
        // "q": the quarter's first day.
        ldxtrn(&american.ctx, &r, &d, LDXK_Q);
        ASSERT_TRUE(DateIs(r, make_date(d.year, (d.month - 1) / 3 * 3 + 1, 1)));
    }
    EXPECT_TRUE(american.take_errors().empty());
    EXPECT_TRUE(german.take_errors().empty());
}

TEST(Round, HandCheckedCases) {
    DateContext c;
    const UnitCase cases[] = {
        {LDXK_CC, make_date(1950, 1, 1), make_date(2000, 1, 1)},
        {LDXK_CC, make_date(1949, 12, 31), make_date(1900, 1, 1)},
        {LDXK_YYYY, make_date(1995, 7, 16), make_date(1996, 1, 1)},
        {LDXK_YYYY, make_date(1995, 6, 30, 23), make_date(1995, 1, 1)},
        {LDXK_Q, make_date(1995, 2, 16), make_date(1995, 4, 1)},
        {LDXK_Q, make_date(1995, 2, 15), make_date(1995, 1, 1)},
        {LDXK_Q, make_date(1995, 12, 1), make_date(1996, 1, 1)},
        {LDXK_Q, make_date(1995, 11, 16), make_date(1996, 1, 1)},
        {LDXK_MM, make_date(1995, 3, 15), make_date(1995, 3, 1)},
        {LDXK_MM, make_date(1995, 3, 16), make_date(1995, 4, 1)},
        {LDXK_MM, make_date(1995, 12, 16), make_date(1996, 1, 1)},
        {LDXK_HH24, make_date(1995, 3, 5, 10, 30, 0), make_date(1995, 3, 5, 11)},
        {LDXK_HH24, make_date(1995, 3, 5, 10, 29, 59), make_date(1995, 3, 5, 10)},
        {LDXK_HH, make_date(1995, 3, 5, 23, 45, 0), make_date(1995, 3, 6, 0)},
        {LDXK_MI, make_date(1995, 3, 5, 10, 29, 30), make_date(1995, 3, 5, 10, 30)},
        {LDXK_DD, make_date(1995, 3, 5, 12), make_date(1995, 3, 6)},
        {LDXK_DD, make_date(1995, 3, 5, 11, 59, 59), make_date(1995, 3, 5)},
        {LDXK_D, make_date(1995, 3, 15, 12), make_date(1995, 3, 19)},  // Wednesday noon
        {LDXK_D, make_date(1995, 3, 15, 11), make_date(1995, 3, 12)},
        {LDXK_WW, make_date(1995, 12, 30), make_date(1995, 12, 31)},  // the short last week
        {LDXK_W, make_date(1995, 3, 28), make_date(1995, 3, 29)},     // the short fifth week
        {LDXK_W, make_date(1995, 2, 26), make_date(1995, 3, 1)},      // February of a common year
        {LDXK_IW, make_date(1995, 3, 16, 12), make_date(1995, 3, 20)},
    };
    for (const UnitCase &k : cases) {
        ldxdate r;
        ldxrnd(&c.ctx, &r, &k.from, k.unit);
        EXPECT_TRUE(DateIs(r, k.want)) << "unit " << k.unit;
    }
    EXPECT_TRUE(c.take_errors().empty());
}

TEST(Round, PastTheLastYearRaises) {
    DateContext c;
    // Rounding up by a century, year, quarter or month unit must not give
    // year 10000 silently.
    const UnitCase cases[] = {
        {LDXK_CC, make_date(9950, 1, 1), {}},       {LDXK_YYYY, make_date(9999, 7, 1), {}},
        {LDXK_Q, make_date(9999, 12, 1), {}},       {LDXK_MM, make_date(9999, 12, 16), {}},
        {LDXK_DD, make_date(9999, 12, 31, 12), {}},
    };
    for (const UnitCase &k : cases) {
        ldxdate r;
        ldxrnd(&c.ctx, &r, &k.from, k.unit);
        EXPECT_EQ(c.take_errors(), std::vector<int32_t>{1841}) << k.unit;
    }
    ldxdate r, d = make_date(9949, 12, 31);
    ldxrnd(&c.ctx, &r, &d, LDXK_CC);
    EXPECT_TRUE(DateIs(r, make_date(9900, 1, 1)));
    d = make_date(-4712, 1, 1);
    ldxrnd(&c.ctx, &r, &d, LDXK_CC);
    EXPECT_TRUE(DateIs(r, make_date(-4700, 1, 1)));
    EXPECT_TRUE(c.take_errors().empty());
    for (int32_t unit : {0, 11, 13, 27, 28, 34, 35, 36, 37, 39}) {
        ldxrnd(&c.ctx, &r, &d, unit);
        EXPECT_EQ(c.take_errors(), std::vector<int32_t>{600}) << unit;
    }
}

TEST(Round, RandomDatesAgainstAReference) {
    DateContext c;
    std::mt19937 rng(27);
    for (int i = 0; i < 50000; ++i) {
        ldxdate d = random_date(rng, 1583, 9998);
        ldxdate r;
        // "dd": the nearest midnight; "hh24": the nearest hour.
        int32_t j = ldxctj(&c.ctx, d.year, d.month, d.day);
        int32_t y, m, dd;
        ldxjtc(&c.ctx, j + (d.hour >= 12 ? 1 : 0), &y, &m, &dd);
        ldxrnd(&c.ctx, &r, &d, LDXK_DD);
        ASSERT_TRUE(DateIs(r, make_date(y, m, dd)));
        int64_t s = 86400LL * j + d.hour * 3600 + d.minute * 60 + d.second;
        int64_t h = (s + 1800) / 3600 * 3600;
        ldxjtc(&c.ctx, static_cast<int32_t>(h / 86400), &y, &m, &dd);
        ldxrnd(&c.ctx, &r, &d, LDXK_HH24);
        ASSERT_TRUE(DateIs(r, make_date(y, m, dd, static_cast<int>(h % 86400 / 3600))));
        // "mm": the first of the nearer month (from the 16th on, the next).
        int mm = d.month + (d.day >= 16 ? 1 : 0), yy = d.year;
        if (mm > 12) mm = 1, ++yy;
        ldxrnd(&c.ctx, &r, &d, LDXK_MM);
        ASSERT_TRUE(DateIs(r, make_date(yy, mm, 1)));
    }
    EXPECT_TRUE(c.take_errors().empty());
}

}  // namespace
