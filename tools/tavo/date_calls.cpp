#include "date_calls.hpp"

namespace tavo::cli {

namespace {

// The context's error callback: never returns.
void leave_on_error(ldxctx *ctx, int32_t err) noexcept {
    auto *recovery = static_cast<Recovery *>(ctx->cbarg);
    recovery->error = err != 0 ? err : LDXE_INTERNAL;
    std::longjmp(recovery->where, 1);
}

}  // namespace

int32_t guarded(Language &lang, DateOp op, DateCall &call) noexcept {
    Recovery &recovery = lang.recovery;
    if (setjmp(recovery.where) != 0) return recovery.error;
    op(&lang.ctx, call);
    return 0;
}

int32_t open_language(Language &lang, const char *name) noexcept {
    if (lxlfill(&lang.info, name, 0) != LXS_OK) return -1;
    // ldxini stores the callback before it can raise anything.
    Recovery &recovery = lang.recovery;
    if (setjmp(recovery.where) != 0) return recovery.error;
    ldxini(&lang.ctx, &lang.info, leave_on_error, &lang.recovery);
    return 0;
}

}  // namespace tavo::cli
