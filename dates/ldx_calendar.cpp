// The calendar: day numbers, days of the year, validity, comparison, and the
// external, Julian and number forms of a date.
#include <cstdint>
#include <cstring>

#include "dates/ldx_internal.h"
#include "lnx.h"

namespace tavo::dates {

int32_t day_of_year(int32_t y, int32_t m, int32_t d) noexcept {
    int32_t before = m >= 1 && m <= 12 ? ldxdom[m] : 0;
    return before + d + (m >= 3 && is_leap(y) ? 1 : 0);
}

namespace {

// 0.5 and -0.5, length-prefixed: the rounding of a fraction of a day to seconds.
constexpr uint8_t half_pos[3] = {2, 0xC0, 0x33};
constexpr uint8_t half_neg[4] = {3, 0x3F, 0x33, 0x66};

// Day, month and the gap of 1582 for internal dates; the day is checked
// against the month whose length is given.
uint32_t check_day(int32_t day, int32_t length) noexcept {
    if (day < 1) return LDXC_DAYLO;
    return day > length ? LDXC_DAYHI : 0;
}

uint32_t check_year(int32_t y) noexcept {
    if (y < -4712) return LDXC_YEARLO;
    return y > 9999 ? LDXC_YEARHI : 0;
}

uint32_t check_calendar_tail(int32_t y, int32_t m, int32_t d) noexcept {
    uint32_t mask = 0;
    if (y == 1582 && m == 10 && d >= 5 && d <= 14) mask |= LDXC_GAP;
    if (y == 0) mask |= LDXC_YEAR0;
    return mask;
}

// A time field: below 0 counts as too small (both bits), above max as too large.
uint32_t check_time(int32_t v, int32_t max, uint32_t hi) noexcept {
    if (v < 0) return hi | (hi << 1);
    return v > max ? hi : 0;
}

uint32_t check_internal(const ldxdate &d) noexcept {
    uint32_t mask = check_year(d.year);
    if (d.month == 0)
        mask |= LDXC_MONTHLO;
    else if (d.month < 1 || d.month > 12)
        mask |= LDXC_MONTHHI;
    else
        mask |= check_day(d.day, month_length(d.year, d.month));
    mask |= check_time(d.hour, 23, LDXC_HOURHI);
    mask |= check_time(d.minute, 59, LDXC_MINUTEHI);
    mask |= check_time(d.second, 59, LDXC_SECONDHI);
    return mask | check_calendar_tail(d.year, d.month, d.day);
}

// Time bytes of the external form hold value + 1: 0 is missing.
uint32_t check_time_byte(uint8_t b, int32_t max, uint32_t hi) noexcept {
    if (b == 0) return hi | (hi << 1);
    return b > max ? hi : 0;
}

int32_t external_year(const uint8_t *e) noexcept {
    return (e[0] - 101) * 100 + e[1];
}

uint32_t check_external(const uint8_t *e) noexcept {
    int32_t y = external_year(e), m = e[2], d = e[3];
    uint32_t mask = check_year(y);
    int32_t length;
    if (m == 0) {
        mask |= LDXC_MONTHLO;
        length = 0;
    } else if (m > 12) {
        mask |= LDXC_MONTHHI;
        length = 31;  // checked as December
    } else {
        length = month_length(y, m);
    }
    mask |= check_day(d, length);
    mask |= check_time_byte(e[4], 24, LDXC_HOURHI);
    mask |= check_time_byte(e[5], 60, LDXC_MINUTEHI);
    mask |= check_time_byte(e[6], 60, LDXC_SECONDHI);
    return mask | check_calendar_tail(y, m, d);
}

uint32_t check_julian(const ldxjul &j) noexcept {
    uint32_t mask = 0;
    if (j.day < 1)
        mask |= LDXC_DAYLO;
    else if (j.day >= 5373485)
        mask |= LDXC_DAYHI;
    return mask | check_time(j.seconds, 86399, LDXC_SECONDHI);
}

template <typename T>
int32_t order(T a, T b) noexcept {
    return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace
}  // namespace tavo::dates

using namespace tavo::dates;

extern "C" {

TAVO_API int32_t ldxctj(ldxctx *, int32_t year, int32_t month, int32_t day) noexcept {
    // 64-bit, so that no argument can overflow; dates of the range give
    // 1..5373484.
    int64_t y = year;
    int64_t j = y == -4712 ? 0 : 365 * (y + 4712) + (y + 4711) / 4;
    if (y >= 1583) j += (y - 1201) / 400 + (1501 - y) / 100 - 10;  // Gregorian correction
    int32_t before = static_cast<uint32_t>(month) <= 13u ? ldxdom[month] : 0;
    j += before + day + (month >= 3 && is_leap(year) ? 1 : 0);
    if (year == 1582 && ((month == 10 && day >= 15) || month >= 11)) j -= 10;  // the lost days
    return static_cast<int32_t>(j);
}

TAVO_API void ldxdyc(ldxctx *ctx, int32_t year, int32_t yday, int32_t *month,
                     int32_t *day) noexcept {
    int32_t leap = is_leap(year) ? 1 : 0;
    if (yday == 366 && leap == 0) raise(ctx, LDXE_DAYOFYEAR);
    // Shift so that March begins the count: then months are 30.55 days.
    int32_t d = yday <= 59 + leap ? yday : yday - leap + 2;  // [1, 367]
    int32_t t = 100 * d + 9100;
    *month = t / 3055 - 2;                      // [1, 12]
    *day = d + 91 - (3055 * (t / 3055)) / 100;  // [1, 31]
}

TAVO_API void ldxjtc(ldxctx *ctx, int32_t jday, int32_t *year, int32_t *month,
                     int32_t *day) noexcept {
    if (jday < 1) {
        raise(ctx, LDXE_JULIAN);
        return;
    }
    if (jday <= 365) {  // -4712 is a common year
        *year = -4712;
        ldxdyc(ctx, -4712, jday, month, day);
        return;
    }
    if (jday < 2299161) {  // Julian calendar: four-year cycles from 1 January -4711
        int32_t q = (jday - 366) / 1461, r = (jday - 366) % 1461;  // r in [0, 1460]
        int32_t k = r / 365, e = r % 365;                          // k in [0, 4]
        int32_t yday = e + 1;
        if (k == 4) {
            yday = 366;
            k = 3;
        }
        *year = 4 * q - 4711 + k;
        ldxdyc(ctx, *year, yday, month, day);
        return;
    }
    // Gregorian calendar: 400-year cycles, years beginning in March.
    int64_t t = 4 * static_cast<int64_t>(jday) - 6884477;
    int64_t c = t / 146097;
    int64_t r = ((t % 146097) / 4) * 4 + 3;
    int64_t yy = r / 1461;  // [0, 99]
    int64_t e = ((r % 1461) / 4) * 5 + 2;
    int32_t d = static_cast<int32_t>((e % 153) / 5 + 1);  // [1, 31]
    int32_t mm = static_cast<int32_t>(e / 153);           // [0, 11], 0 = March
    int32_t y = static_cast<int32_t>(100 * c + yy);
    if (mm >= 10) {
        *month = mm - 9;
        *year = y + 1;
    } else {
        *month = mm + 3;
        *year = y;
    }
    *day = d;
}

TAVO_API uint32_t ldxchk(ldxctx *, const void *date, int32_t form) noexcept {
    if (date == nullptr) return LDXC_FORM;
    switch (form) {
        case LDXF_DATE: {
            ldxdate d;
            std::memcpy(&d, date, sizeof d);
            return check_internal(d);
        }
        case LDXF_JULIAN: {
            ldxjul j;
            std::memcpy(&j, date, sizeof j);
            return check_julian(j);
        }
        case LDXF_EXTERNAL:
            return check_external(static_cast<const uint8_t *>(date));
        default:
            return LDXC_FORM;
    }
}

TAVO_API int32_t ldxcmp(const ldxdate *a, const ldxdate *b) noexcept {
    if (int32_t c = order(a->year, b->year)) return c;
    if (int32_t c = order(a->month, b->month)) return c;
    if (int32_t c = order(a->day, b->day)) return c;
    if (int32_t c = order(a->hour, b->hour)) return c;
    if (int32_t c = order(a->minute, b->minute)) return c;
    return order(a->second, b->second);
}

TAVO_API void ldxdtd(ldxctx *ctx, const ldxdate *date, ldxjul *jul) noexcept {
    jul->day = ldxctj(ctx, date->year, date->month, date->day);
    jul->seconds = date->hour * 3600 + date->minute * 60 + date->second;
}

TAVO_API void ldxdfd(ldxctx *ctx, const ldxjul *jul, ldxdate *date) noexcept {
    int32_t y = date->year, m = date->month, d = date->day;
    ldxjtc(ctx, jul->day, &y, &m, &d);
    date->year = static_cast<int16_t>(y);
    date->month = static_cast<int8_t>(m);
    date->day = static_cast<int8_t>(d);
    int32_t s = jul->seconds;
    date->hour = static_cast<int8_t>(s / 3600);
    date->minute = static_cast<int8_t>(s % 3600 / 60);
    date->second = static_cast<int8_t>(s % 60);
}

TAVO_API void ldxite(ldxctx *, const ldxdate *date, uint8_t *ext) noexcept {
    int32_t y = date->year;
    ext[0] = static_cast<uint8_t>(y / 100 + 100);
    ext[1] = static_cast<uint8_t>(y >= 0 ? y % 100 + 100 : 100 - (-y) % 100);
    ext[2] = static_cast<uint8_t>(date->month);
    ext[3] = static_cast<uint8_t>(date->day);
    ext[4] = static_cast<uint8_t>(date->hour + 1);
    ext[5] = static_cast<uint8_t>(date->minute + 1);
    ext[6] = static_cast<uint8_t>(date->second + 1);
}

TAVO_API void ldxeti(ldxctx *, const uint8_t *ext, ldxdate *date) noexcept {
    ldxdate d{};
    d.year = static_cast<int16_t>(external_year(ext));
    d.month = static_cast<int8_t>(ext[2]);
    d.day = static_cast<int8_t>(ext[3]);
    d.hour = static_cast<int8_t>(ext[4] - 1);
    d.minute = static_cast<int8_t>(ext[5] - 1);
    d.second = static_cast<int8_t>(ext[6] - 1);
    *date = d;
}

TAVO_API uint32_t ldxdyf(ldxctx *, const ldxjul *jul, uint8_t *num) noexcept {
    uint8_t day[LNXMAXLEN], frac[LNXMAXLEN], secs[LNXMAXLEN];
    uint32_t daylen, fraclen, secslen, len;
    lnxmin(&jul->day, 4, 1, day, &daylen);
    lnxmin(&jul->seconds, 4, 1, secs, &secslen);
    lnxdiv(secs, static_cast<int32_t>(secslen), ldxsid, 0, frac, &fraclen);
    lnxadd(day, static_cast<int32_t>(daylen), frac, static_cast<int32_t>(fraclen), num, &len);
    return len;
}

TAVO_API int32_t ldxftd(ldxctx *, const uint8_t *num, int32_t len, ldxjul *jul) noexcept {
    int32_t day = 0, seconds = 0;
    lnxsni(num, len, &day, 4, LNXSNI_SIGNED);
    uint8_t frac[LNXMAXLEN], secs[LNXMAXLEN], rounded[LNXMAXLEN];
    uint32_t fraclen, secslen, roundedlen;
    lnxsub(num, len, nullptr, day, frac, &fraclen);
    lnxmul(frac, static_cast<int32_t>(fraclen), ldxsid, 0, secs, &secslen);
    // The sign is the exponent byte's top bit (after the length byte when
    // the number is length-prefixed); the half then rounds away from zero.
    uint8_t exponent = len == 0 ? num[1] : num[0];
    const uint8_t *half = (exponent & 0x80) != 0 ? half_pos : half_neg;
    lnxadd(secs, static_cast<int32_t>(secslen), half, 0, rounded, &roundedlen);
    int32_t status = lnxsni(rounded, static_cast<int32_t>(roundedlen), &seconds, 4, LNXSNI_SIGNED);
    // A fraction within half a second of the next day rounds to a whole
    // day: carried, so that no time of day reaches 24:00:00.
    // (A day number already at the end of the 32-bit range stays as it is.)
    if (seconds >= 86400 && day < INT32_MAX) {
        ++day;
        seconds -= 86400;
    } else if (seconds <= -86400 && day > INT32_MIN) {
        --day;
        seconds += 86400;
    }
    jul->day = day;
    jul->seconds = seconds;
    return status;
}

}  // extern "C"
