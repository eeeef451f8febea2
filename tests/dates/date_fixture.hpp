// A date context whose errors are recorded (and, on request, jumped out of)
// for the date tests.
#ifndef TAVO_TESTS_DATES_DATE_FIXTURE_HPP
#define TAVO_TESTS_DATES_DATE_FIXTURE_HPP

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstring>
#include <ctime>
#include <vector>

#include "ldx.h"

namespace tavo::test {

// A language in each character set, every language at least twice: the
// round-trip and name tests run in all of them.
inline constexpr const char *kAllLanguages[] = {
    "AMERICAN",
    "ENGLISH_UNITED KINGDOM.WE8ISO8859P1",
    "GERMAN_GERMANY.AL32UTF8",
    "GERMAN_GERMANY.WE8EBCDIC",
    "FRENCH_FRANCE.AL32UTF8",
    "FRENCH_FRANCE.WE8ISO8859P1",
    "SPANISH_SPAIN.AL32UTF8",
    "SPANISH_SPAIN.WE8EBCDIC",
    "ITALIAN_ITALY.AL32UTF8",
    "ITALIAN_ITALY.US7ASCII",
};

// Errors raised through a context: the callback records them and returns,
// so that a test sees every error an operation raises.
struct ErrorLog {
    std::vector<int32_t> errors;
};

inline void record_error(ldxctx *ctx, int32_t err) {
    static_cast<ErrorLog *>(ctx->cbarg)->errors.push_back(err);
}

// A context bound to a language (null: the default one).
class DateContext {
  public:
    explicit DateContext(const char *language = nullptr) {
        if (language != nullptr) {
            EXPECT_EQ(lxlfill(&info_, language, 0), LXS_OK) << language;
            ldxini(&ctx, &info_, record_error, &log);
        } else {
            ldxini(&ctx, nullptr, record_error, &log);
        }
    }
    DateContext(const DateContext &) = delete;
    DateContext &operator=(const DateContext &) = delete;

    std::vector<int32_t> take_errors() {
        std::vector<int32_t> e;
        e.swap(log.errors);
        return e;
    }

    ldxctx ctx{};
    ErrorLog log;
    lxlinfo info_{};
};

inline ldxdate make_date(int y, int m, int d, int hh = 0, int mi = 0, int ss = 0) {
    ldxdate r{};
    r.year = static_cast<int16_t>(y);
    r.month = static_cast<int8_t>(m);
    r.day = static_cast<int8_t>(d);
    r.hour = static_cast<int8_t>(hh);
    r.minute = static_cast<int8_t>(mi);
    r.second = static_cast<int8_t>(ss);
    return r;
}

inline bool same_date(const ldxdate &a, const ldxdate &b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

inline ::testing::AssertionResult DateIs(const ldxdate &got, const ldxdate &want) {
    if (same_date(got, want)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got " << got.year << "-" << int(got.month) << "-" << int(got.day) << " "
           << int(got.hour) << ":" << int(got.minute) << ":" << int(got.second) << ", want "
           << want.year << "-" << int(want.month) << "-" << int(want.day) << " " << int(want.hour)
           << ":" << int(want.minute) << ":" << int(want.second);
}

// The calendar written independently of the library: the Julian leap rule
// to 1582 (with -4712 common, as day 1 is its 1 January), the Gregorian
// one after.
inline bool oracle_leap(int y) {
    if (y <= 1582) return y % 4 == 0 && y != -4712;
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

inline int oracle_month_length(int y, int m) {
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && oracle_leap(y) ? 29 : lengths[m - 1];
}

// The date as the C library holds it, with the day of the week and of the
// year filled in (by timegm, which reads the fields as UTC).
inline std::tm c_time(const ldxdate &d) {
    std::tm tm{};
    tm.tm_year = d.year - 1900;
    tm.tm_mon = d.month - 1;
    tm.tm_mday = d.day;
    tm.tm_hour = d.hour;
    tm.tm_min = d.minute;
    tm.tm_sec = d.second;
    timegm(&tm);
    return tm;
}

}  // namespace tavo::test

#endif  // TAVO_TESTS_DATES_DATE_FIXTURE_HPP
