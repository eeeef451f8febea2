// Date arithmetic: months and days added, months between dates, last days,
// weekdays, ISO 8601 weeks and years, rounding and truncation.
#include "dates/ldx_internal.h"
#include "lnx.h"

namespace tavo::dates {
namespace {

constexpr int32_t first_year = -4712, last_year = 9999;
constexpr int32_t last_jday = 5373484;  // 31 December 9999
constexpr int32_t day_seconds = 86400;
// 2678400 (31 days in seconds), length-prefixed: months between dates
// count every month as 31 days in their fraction.
constexpr uint8_t month_seconds[5] = {4, 0xC4, 0x03, 0x44, 0x55};

bool in_range(int64_t y) noexcept {
    return y >= first_year && y <= last_year;
}

void set_ymd(ldxdate &d, int32_t y, int32_t m, int32_t day) noexcept {
    d.year = static_cast<int16_t>(y);
    d.month = static_cast<int8_t>(m);
    d.day = static_cast<int8_t>(day);
}

void clear_time(ldxdate &d) noexcept {
    d.hour = d.minute = d.second = 0;
}

int32_t jday_of(ldxctx *ctx, const ldxdate &d) noexcept {
    return ldxctj(ctx, d.year, d.month, d.day);
}

// Moves a date by whole days, keeping its time.
void move_days(ldxctx *ctx, ldxdate &d, int32_t days) noexcept {
    ldxitv itv{days, 0};
    ldxads(ctx, &d, &d, &itv);
}

// The language's first day of the week: 0 Sunday, 1 Monday.
int32_t first_day(ldxctx *ctx) noexcept {
    bool acquired = acquire(ctx);
    int32_t f = lxitemn(LXI_FIRSTDAY, &ctx->work);
    release(ctx, acquired);
    return f < 0 ? 0 : f;
}

// Weekday 1..7 counted from day F (0 Sunday); 2445029 is a Sunday.
int32_t weekday(int32_t jday, int32_t f) noexcept {
    int32_t r = static_cast<int32_t>((static_cast<int64_t>(jday) - f - 2445029) % 7);
    return (r < 0 ? r + 7 : r) + 1;
}

struct IsoWeek {
    int32_t week;
    int32_t year;
};

// The ISO week: weeks run Monday to Sunday and belong to the year of their
// Thursday. Computed from the calendar's own weekdays, so it holds in every
// year of the range (a 28-year table of weekday patterns repeats only
// between two century years that are not leap years, 1901 to 2099).
IsoWeek iso_week(const ldxdate &d) noexcept {
    const int32_t y = d.year;
    const int32_t j = ldxctj(nullptr, y, d.month, d.day);
    // 2445030 is a Monday; the floor remainder keeps Monday 0.
    int32_t monday_based = (j - 2445030) % 7;
    if (monday_based < 0) monday_based += 7;
    const int32_t thursday = j - monday_based + 3;
    const int32_t first = ldxctj(nullptr, y, 1, 1);
    if (thursday < first) {
        // The week belongs to the year before: its last week.
        return {(thursday - ldxctj(nullptr, y - 1, 1, 1)) / 7 + 1, y - 1};
    }
    if (thursday >= ldxctj(nullptr, y + 1, 1, 1)) return {1, y + 1};
    return {(thursday - first) / 7 + 1, y};
}

// What a format element means as a unit of truncation and rounding.
enum class Unit {
    century,
    year,
    quarter,
    month,
    iso_week,
    year_week,
    month_week,
    week,
    day,
    hour,
    minute,
    none
};

Unit unit_of(int32_t code) noexcept {
    switch (code) {
        case LDXK_CC:
        case LDXK_SCC:
            return Unit::century;
        case LDXK_I:
        case LDXK_Y:
        case LDXK_IY:
        case LDXK_YY:
        case LDXK_IYY:
        case LDXK_YYY:
        case LDXK_IYYY:
        case LDXK_YYYY:
        case LDXK_SYYYY:
        case LDXK_YEARW:
        case LDXK_SYEARW:
            return Unit::year;
        case LDXK_Q:
            return Unit::quarter;
        case LDXK_MM:
        case LDXK_MONTH:
        case LDXK_MON:
        case LDXK_RM:
            return Unit::month;
        case LDXK_IW:
            return Unit::iso_week;
        case LDXK_WW:
            return Unit::year_week;
        case LDXK_W:
            return Unit::month_week;
        case LDXK_D:
        case LDXK_DAY:
        case LDXK_DY:
            return Unit::week;
        case LDXK_DD:
        case LDXK_DDD:
        case LDXK_J:
            return Unit::day;
        case LDXK_HH24:
        case LDXK_HH:
            return Unit::hour;
        case LDXK_MI:
            return Unit::minute;
        default:
            return Unit::none;
    }
}

// Moves made before truncating, by unit.
void move_for_rounding(ldxctx *ctx, ldxdate &r, const ldxdate &date, Unit unit) noexcept {
    const ldxitv half_week{3, 12 * 3600};
    switch (unit) {
        case Unit::century:
            r.year = static_cast<int16_t>(r.year + (r.year < 0 ? -50 : 50));
            break;
        case Unit::year:
            if (r.month >= 7) ++r.year;
            break;
        case Unit::quarter:
            if (r.month % 3 == 0 || (r.month % 3 == 2 && r.day >= 16)) {
                r.month = static_cast<int8_t>(r.month + 3);
                if (r.month > 12) {
                    r.month = 1;
                    ++r.year;
                }
            }
            break;
        case Unit::month:
            if (r.day >= 16) {
                r.month = static_cast<int8_t>(r.month + 1);
                if (r.month > 12) {
                    r.month = 1;
                    ++r.year;
                }
            }
            break;
        case Unit::iso_week:
        case Unit::year_week:
            ldxads(ctx, &r, &r, &half_week);
            if (r.year != date.year) {  // the last, short week of the year
                r = date;
                r.day = 31;
            }
            break;
        case Unit::month_week:
            ldxads(ctx, &r, &r, &half_week);
            if (r.month != date.month && !(date.month == 2 && !is_leap(date.year))) {
                r = date;  // the short fifth week of the month
                r.day = 29;
            }
            break;
        case Unit::week:
            ldxads(ctx, &r, &r, &half_week);
            break;
        case Unit::day:
            if (r.hour >= 12) move_days(ctx, r, 1);
            break;
        case Unit::hour:
            if (r.minute >= 30) {
                const ldxitv half_hour{0, 1800};
                ldxads(ctx, &r, &r, &half_hour);
            }
            break;
        case Unit::minute:
            if (r.second >= 30) {
                const ldxitv half_minute{0, 30};
                ldxads(ctx, &r, &r, &half_minute);
            }
            break;
        case Unit::none:
            break;  // truncation raises 600 for units without a rule
    }
}

}  // namespace
}  // namespace tavo::dates

using namespace tavo::dates;

extern "C" {

TAVO_API void ldxadm(ldxctx *ctx, ldxdate *out, const ldxdate *date, int32_t months) noexcept {
    ldxdate r = *date;
    int64_t t = 12 * static_cast<int64_t>(date->year) + date->month + months;
    int64_t y, m;
    if (t >= 1) {
        y = t / 12;
        m = t % 12;
        if (m == 0) {
            m = 12;
            --y;
        }
    } else {  // t = 0 is December of year -1
        y = t / 12 - 1;
        m = t % 12 + 12;
    }
    if (!in_range(y)) raise(ctx, LDXE_YEAR);
    int32_t length = month_length(static_cast<int32_t>(y), static_cast<int32_t>(m));
    bool last = date->day == month_length(date->year, date->month);
    int32_t day = last || date->day > length ? length : date->day;
    set_ymd(r, static_cast<int32_t>(y), static_cast<int32_t>(m), day);
    *out = r;
}

TAVO_API void ldxads(ldxctx *ctx, ldxdate *out, const ldxdate *date, const ldxitv *itv) noexcept {
    ldxdate r = *date;
    int64_t days = itv->days;
    if (itv->seconds != 0) {
        int64_t t = r.hour * 3600 + r.minute * 60 + r.second + static_cast<int64_t>(itv->seconds);
        int64_t carry = t / day_seconds, rem = t % day_seconds;
        if (rem < 0) {  // a negative remainder borrows a day
            rem += day_seconds;
            --carry;
        }
        days += carry;
        r.hour = static_cast<int8_t>(rem / 3600);
        r.minute = static_cast<int8_t>(rem % 3600 / 60);
        r.second = static_cast<int8_t>(rem % 60);
    }
    if (days != 0) {
        int64_t j = jday_of(ctx, r) + days;
        if (j < 1 || j > last_jday) raise(ctx, LDXE_YEAR);
        if (j >= 1 && j <= INT32_MAX) {
            int32_t y = r.year, m = r.month, d = r.day;
            ldxjtc(ctx, static_cast<int32_t>(j), &y, &m, &d);
            set_ymd(r, y, m, d);
        }
    }
    *out = r;
}

TAVO_API uint32_t ldxsbm(ldxctx *, uint8_t *num, const ldxdate *d1, const ldxdate *d2) noexcept {
    int32_t months = 12 * (d1->year - d2->year) + d1->month - d2->month;
    bool last1 = d1->day == month_length(d1->year, d1->month);
    bool last2 = d2->day == month_length(d2->year, d2->month);
    uint32_t len;
    if (d1->day == d2->day || (last1 && last2)) {
        lnxmin(&months, 4, 1, num, &len);
        return len;
    }
    int32_t s =
        (((d1->day - d2->day) * 24 + d1->hour - d2->hour) * 60 + d1->minute - d2->minute) * 60 +
        d1->second - d2->second;
    uint8_t whole[LNXMAXLEN], frac[LNXMAXLEN];
    uint32_t wholelen, fraclen;
    lnxmin(&months, 4, 1, whole, &wholelen);
    lnxdiv(nullptr, s, month_seconds, 0, frac, &fraclen);
    lnxadd(whole, static_cast<int32_t>(wholelen), frac, static_cast<int32_t>(fraclen), num, &len);
    return len;
}

TAVO_API void ldxldd(ldxctx *, ldxdate *out, const ldxdate *date) noexcept {
    ldxdate r = *date;
    r.day = static_cast<int8_t>(month_length(r.year, r.month));
    *out = r;
}

TAVO_API int32_t ldxdow(ldxctx *ctx, int32_t jday) noexcept {
    return weekday(jday, first_day(ctx));
}

TAVO_API int32_t ldxdyn(ldxctx *ctx, const void *value, uint32_t len, int32_t mode) noexcept {
    if (value == nullptr) {
        raise(ctx, LDXE_WEEKDAY);
        return 0;
    }
    if (mode == 1) {
        int32_t v = 0;
        lnxsni(static_cast<const uint8_t *>(value), static_cast<int32_t>(len), &v, 4,
               LNXSNI_SIGNED);
        if (v < 1 || v > 7) raise(ctx, LDXE_WEEKDAY);
        return v;
    }
    bool acquired = acquire(ctx);
    lxcur c;
    lxcopen(&c, value, len, &ctx->work);
    int32_t item = lxritem(&c, LXI_DAY, LXI_DAYABBR + 6, &ctx->work);
    int32_t f = lxitemn(LXI_FIRSTDAY, &ctx->work);
    release(ctx, acquired);
    if (item < 0) {
        raise(ctx, LDXE_WEEKDAY);
        return 0;
    }
    int32_t v = item % 7 + 1 - (f < 0 ? 0 : f);
    return v < 1 ? v + 7 : v;
}

TAVO_API void ldxnxd(ldxctx *ctx, ldxdate *out, const ldxdate *date, int32_t day) noexcept {
    if (day < 1 || day > 7) raise(ctx, LDXE_WEEKDAY);
    int32_t j = jday_of(ctx, *date);
    int32_t d = day - ldxdow(ctx, j);
    if (d < 1) d += 7;  // a date already on the weekday moves a full week
    ldxdate r = *date;
    move_days(ctx, r, d);
    *out = r;
}

TAVO_API int32_t ldxisw(ldxctx *, const ldxdate *date) noexcept {
    return iso_week(*date).week;
}
TAVO_API int32_t ldxisy(ldxctx *, const ldxdate *date) noexcept {
    return iso_week(*date).year;
}

TAVO_API void ldxtrn(ldxctx *ctx, ldxdate *out, const ldxdate *date, int32_t unit) noexcept {
    ldxdate r = *date;
    switch (unit_of(unit)) {
        case Unit::century: {
            int32_t y = r.year;
            set_ymd(r, y >= 0 ? y - y % 100 : y + (-y) % 100, 1, 1);
            clear_time(r);
            break;
        }
        case Unit::year:
            set_ymd(r, r.year, 1, 1);
            clear_time(r);
            break;
        case Unit::quarter:
            set_ymd(r, r.year, r.month - (r.month - 1) % 3, 1);
            clear_time(r);
            break;
        case Unit::month:
            r.day = 1;
            clear_time(r);
            break;
        case Unit::iso_week: {
            // ISO weeks begin on Monday whatever the language's first day,
            // so the weekday is counted from Sunday here.
            int32_t d = weekday(jday_of(ctx, r), 0);
            move_days(ctx, r, d == 1 ? -6 : 2 - d);
            clear_time(r);
            break;
        }
        case Unit::year_week: {
            int32_t n = day_of_year(r.year, r.month, r.day);
            int32_t m = r.month, d = r.day;
            ldxdyc(ctx, r.year, n - (n - 1) % 7, &m, &d);
            set_ymd(r, r.year, m, d);
            clear_time(r);
            break;
        }
        case Unit::month_week:
            r.day = static_cast<int8_t>(r.day - (r.day - 1) % 7);
            clear_time(r);
            break;
        case Unit::week:
            move_days(ctx, r, 1 - ldxdow(ctx, jday_of(ctx, r)));
            clear_time(r);
            break;
        case Unit::day:
            clear_time(r);
            break;
        case Unit::hour:
            r.minute = r.second = 0;
            break;
        case Unit::minute:
            r.second = 0;
            break;
        case Unit::none:
            raise(ctx, LDXE_INTERNAL);
            break;
    }
    *out = r;
}

TAVO_API void ldxrnd(ldxctx *ctx, ldxdate *out, const ldxdate *date, int32_t unit) noexcept {
    ldxdate r = *date;
    const Unit u = unit_of(unit);
    move_for_rounding(ctx, r, *date, u);
    ldxtrn(ctx, &r, &r, unit);
    // Units that move by months or years would otherwise reach year 10000
    // silently; those that move by days raised already in ldxads.
    const bool by_months = (unit >= LDXK_CC && unit <= LDXK_Q) || u == Unit::month;
    if (by_months && !in_range(r.year)) raise(ctx, LDXE_YEAR);
    *out = r;
}

}  // extern "C"
