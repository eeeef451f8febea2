/*
 * Shared by the date code but not exported: the working environment of an
 * operation, raising errors, and the calendar's small rules.
 *
 * Every path from a date function to the error callback holds plain values
 * only, so that a callback may longjmp out of it: no guard objects, nothing
 * allocated, the working environment released before the callback runs.
 */
#ifndef TAVO_DATES_LDX_INTERNAL_H
#define TAVO_DATES_LDX_INTERNAL_H

#include "ldx.h"

namespace tavo::dates {

// Releases any working environment, then calls the callback (if any).
void raise(ldxctx *ctx, int32_t err) noexcept;

// Binds the context's work area to its environment unless an outer call
// already did; returns whether this call did (and so must release).
bool acquire(ldxctx *ctx) noexcept;
void release(ldxctx *ctx, bool acquired) noexcept;

// Compiles an input model into the context's default-format field.
void compile_default(ldxctx *ctx, const char *model, uint32_t len) noexcept;

// Before the default format is compiled into text or read with: when the
// language's default model changed (LXF_DATEFMT), fetch and recompile it
// (600 when it cannot be read) and clear the bit.
void refresh_default_format(ldxctx *ctx) noexcept;

// The compiled format to use: the given one, or the context's default
// (refreshed first); null (600 raised) when there is none.
const uint8_t *format_of(ldxctx *ctx, const uint8_t *fmt) noexcept;

// Leap years: Julian rule up to 1582 (-4712 excepted, so that its first
// day is day 1), Gregorian from 1583.
constexpr bool is_leap(int32_t y) noexcept {
    if (y % 4 != 0) return false;
    if (y <= 1582) return y != -4712;
    return y % 100 != 0 || y % 400 == 0;
}

// A month outside 1..12 counts as 31 days, so that no table is read out
// of bounds on bad input.
constexpr int32_t month_length(int32_t y, int32_t m) noexcept {
    constexpr int8_t lengths[13] = {31, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) return 31;
    return m == 2 && is_leap(y) ? 29 : lengths[m];
}

// Day of the year (1..366) of a month 1..12 and a day.
int32_t day_of_year(int32_t y, int32_t m, int32_t d) noexcept;

}  // namespace tavo::dates

#endif  // TAVO_DATES_LDX_INTERNAL_H
