// Calls into the date functions, whose errors arrive through the date
// context's callback and leave by longjmp.
#pragma once

#include <csetjmp>
#include <cstdint>

#include "ldx.h"
#include "lx.h"

namespace tavo::cli {

// Where a date error jumps to: one per context, set by every guarded call.
struct Recovery {
    std::jmp_buf where;
    int32_t error;
};

// A language with its date context. It must not move once made: the
// context points at the record and at the recovery point.
struct Language {
    lxlinfo info{};
    ldxctx ctx{};
    Recovery recovery{};
};

// The arguments and results of one date call: plain data only, so that a
// longjmp over the frames that hold it skips no destructor.
struct DateCall {
    const ldxdate *date = nullptr;
    const ldxdate *date2 = nullptr;
    ldxdate out{};
    ldxjul jul{};
    int32_t n = 0;
    int32_t result = 0;
    const char *text = nullptr;
    uint32_t len = 0;
    const uint8_t *fmt = nullptr;
    uint8_t *bytes = nullptr;
    uint32_t size = 0;
    uint32_t outlen = 0;
};

using DateOp = void (*)(ldxctx *, DateCall &);

// Runs op on the language's context; returns 0, or the date error number
// that op raised.
int32_t guarded(Language &lang, DateOp op, DateCall &call) noexcept;

// Fills the record from a name (null: the library's default) and sets up
// its date context. Returns 0, -1 for a name the language services do not
// know, or a date error number.
int32_t open_language(Language &lang, const char *name) noexcept;

}  // namespace tavo::cli
