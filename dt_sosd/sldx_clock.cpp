// The date subsystem's clock: local wall-clock time, unless the date
// context holds a fixed date.
#include <time.h>

#include "sosd.h"

extern "C" TAVO_API void sldxgd(ldxctx *ctx, ldxdate *date, int32_t *ms) noexcept {
    if (ctx != nullptr && ctx->fixed.year != 0) {
        *date = ctx->fixed;
        if (ms != nullptr) *ms = 0;
        return;
    }
    timespec now{};
    tm local{};
    clock_gettime(CLOCK_REALTIME, &now);
    localtime_r(&now.tv_sec, &local);
    ldxdate d{};
    d.year = static_cast<int16_t>(local.tm_year + 1900);
    d.month = static_cast<int8_t>(local.tm_mon + 1);
    d.day = static_cast<int8_t>(local.tm_mday);
    d.hour = static_cast<int8_t>(local.tm_hour);
    d.minute = static_cast<int8_t>(local.tm_min);
    // A leap second (60) is folded into the last second of the minute.
    d.second = static_cast<int8_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    *date = d;
    if (ms != nullptr) *ms = static_cast<int32_t>(now.tv_nsec / 1000000);
}
