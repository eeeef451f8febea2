// The date context: its working environment, errors, the default format,
// the fixed date and the time-zone table.
#include <cstring>

#include "dates/ldx_internal.h"
#include "lc.h"

extern "C" {

TAVO_API extern const int32_t ldxdom[14] = {0,   0,   31,  59,  90,  120, 151,
                                            181, 212, 243, 273, 304, 334, 365};

// 86400, length-prefixed.
TAVO_API extern const uint8_t ldxsid[4] = {3, 0xC3, 0x09, 0x41};

TAVO_API extern const ldxtz ldxtzn[18] = {
    {"adt", -180}, {"ast", -240}, {"bdt", -600}, {"bst", -660}, {"cdt", -300}, {"cst", -360},
    {"edt", -240}, {"est", -300}, {"gmt", 0},    {"hdt", -540}, {"hst", -600}, {"mdt", -360},
    {"mst", -420}, {"nst", -210}, {"pdt", -420}, {"pst", -480}, {"ydt", -480}, {"yst", -540}};

}  // extern "C"

namespace tavo::dates {

void raise(ldxctx *ctx, int32_t err) noexcept {
    if (ctx == nullptr) return;
    // Nothing may stay held across a callback that never returns.
    if (ctx->tmpenv != nullptr) {
        lxwfree(&ctx->work);
        ctx->tmpenv = nullptr;
    }
    if (ctx->callback != nullptr) ctx->callback(ctx, err);
}

bool acquire(ldxctx *ctx) noexcept {
    if (ctx->tmpenv != nullptr) return false;  // a nested call: the outer one releases
    const lxenv *env = lxenvget(ctx->env);
    if (env == nullptr || lxwbind(&ctx->work, env) != LXS_OK) {
        raise(ctx, LDXE_INTERNAL);
        return false;
    }
    ctx->tmpenv = env;
    return true;
}

void release(ldxctx *ctx, bool acquired) noexcept {
    if (!acquired || ctx->tmpenv == nullptr) return;
    lxwfree(&ctx->work);
    ctx->tmpenv = nullptr;
}

namespace {

// Fetches the language's default model (item 76) and compiles it into the
// default-format field; an empty or unreadable model raises 600.
void load_default_format(ldxctx *ctx, uint32_t bufsize) noexcept {
    char model[80];
    uint32_t len = lxitem(LXI_DATEFMT, model, bufsize, &ctx->work);
    if (len == 0) {
        raise(ctx, LDXE_INTERNAL);
        return;
    }
    compile_default(ctx, model, len);
}

// The record's bytes other than its flags word.
bool same_language(const lxlinfo *a, const lxlinfo *b) noexcept {
    const auto *pa = reinterpret_cast<const unsigned char *>(a);
    const auto *pb = reinterpret_cast<const unsigned char *>(b);
    constexpr size_t flags_at = offsetof(lxlinfo, flags), flags_end = flags_at + 4;
    return std::memcmp(pa, pb, flags_at) == 0 &&
           std::memcmp(pa + flags_end, pb + flags_end, sizeof(lxlinfo) - flags_end) == 0;
}

}  // namespace

void refresh_default_format(ldxctx *ctx) noexcept {
    if (ctx->env == nullptr || (ctx->env->flags & LXF_DATEFMT) == 0) return;
    bool acquired = acquire(ctx);
    load_default_format(ctx, 80);
    ctx->env->flags &= ~static_cast<uint32_t>(LXF_DATEFMT);
    release(ctx, acquired);
}

const uint8_t *format_of(ldxctx *ctx, const uint8_t *fmt) noexcept {
    if (fmt != nullptr) return fmt;
    refresh_default_format(ctx);
    if (ctx->deffmt[0] == 0 && ctx->deffmt[1] == 0) {  // never compiled
        raise(ctx, LDXE_INTERNAL);
        return nullptr;
    }
    return ctx->deffmt;
}

}  // namespace tavo::dates

using namespace tavo::dates;

extern "C" {

TAVO_API void ldxini(ldxctx *ctx, lxlinfo *env, ldxerrcb callback, void *cbarg) noexcept {
    if (ctx == nullptr) return;
    std::memset(static_cast<void *>(ctx), 0, sizeof *ctx);
    ctx->callback = callback;
    ctx->cbarg = cbarg;
    // The record is stored before the working environment is made, so that
    // the default model is the given language's, not the default one's.
    ctx->env = env;
    if (env == nullptr) return;
    bool acquired = acquire(ctx);
    load_default_format(ctx, 32);
    release(ctx, acquired);
}

TAVO_API void ldxsen(ldxctx *ctx, lxlinfo *env) noexcept {
    if (ctx == nullptr) return;
    bool unchanged = env != nullptr && ctx->env != nullptr && same_language(env, ctx->env) &&
                     (env->flags & LXF_DATEFMT) == 0;
    ctx->env = env;
    if (unchanged) return;
    std::memset(ctx->deffmt, 0, sizeof ctx->deffmt);
    if (env == nullptr) return;  // as after ldxini: no default format
    bool acquired = acquire(ctx);
    load_default_format(ctx, 80);
    env->flags &= ~static_cast<uint32_t>(LXF_DATEFMT);
    release(ctx, acquired);
}

TAVO_API void ldxfxd(ldxctx *ctx, const ldxdate *date) noexcept {
    if (ctx == nullptr) return;
    if (date != nullptr)
        ctx->fixed = *date;
    else
        ctx->fixed = ldxdate{};
}

TAVO_API int32_t ldxgtz(ldxctx *ctx, const char *name, uint32_t len) noexcept {
    if (name != nullptr) {
        for (int32_t i = 0; i < 18; ++i) {
            const char *entry = ldxtzn[i].name;
            bool match =
                len == 0 ? lcslcomp(name, entry) == 0
                         : len <= 4 && strnlen(entry, 4) == len && lcmlcomp(name, entry, len) == 0;
            if (match) return i;
        }
    }
    raise(ctx, LDXE_TIMEZONE);
    return -1;
}

}  // extern "C"
