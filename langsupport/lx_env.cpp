// Language information records, the shared environment handles, work
// areas and the items of a language and territory.
#include <cstddef>
#include <cstring>

#include "dt_sosd/env.h"
#include "langsupport/lx_internal.h"

namespace tavo::lx {

namespace {

static_assert(sizeof(lxlinfo) == 284);
static_assert(offsetof(lxlinfo, flags) == 0x04);
static_assert(offsetof(lxlinfo, decimal) == 0x8C);
static_assert(offsetof(lxlinfo, group) == 0x8D);
static_assert(offsetof(lxlinfo, localcur) == 0x91);
static_assert(sizeof(lxwork) >= 296 && offsetof(lxwork, consumed) == 4);

constexpr uint32_t kTag = 0x494C584C;  // marks a filled record

struct Triple {
    int l = 0, t = -1, c = LXCS_US7ASCII;
};

// LANGUAGE_TERRITORY.CHARSET, each part optional, or a bare language or
// character-set name.
int32_t parse_name(std::string_view name, Triple &out) {
    if (name.empty() || name.size() > LXNAMEMAX) return LXS_BADNAME;
    Triple r;
    const size_t under = name.find('_'), dot = name.find('.');
    if (under == std::string_view::npos && dot == std::string_view::npos) {
        if ((r.l = find_language(name)) < 0) {
            const Charset *cs = find_charset(name);
            if (!cs) return LXS_BADNAME;
            r.l = 0;
            r.c = cs->id;
        }
    } else {
        const size_t lang_end = under < dot ? under : dot;
        const std::string_view lang = name.substr(0, lang_end);
        std::string_view terr, set;
        if (under < dot)
            terr = name.substr(under + 1, dot == std::string_view::npos ? dot : dot - under - 1);
        if (dot != std::string_view::npos) set = name.substr(dot + 1);
        if (!lang.empty() && (r.l = find_language(lang)) < 0) return LXS_BADNAME;
        if (lang.empty()) r.l = 0;
        if (!terr.empty() && (r.t = find_territory(terr)) < 0) return LXS_BADNAME;
        if (!set.empty()) {
            const Charset *cs = find_charset(set);
            if (!cs) return LXS_BADNAME;
            r.c = cs->id;
        }
    }
    if (r.t < 0) r.t = language(r.l).territory;
    out = r;
    return LXS_OK;
}

struct Default {
    int32_t status;
    Triple triple;
};

// VELMAR_LANG, read once: an empty or missing value means the built-in default.
const Default &default_triple() {
    static const Default d = [] {
        char buf[LXNAMEMAX + 2];
        const int32_t n = sosd::environment_value("VELMAR_LANG", buf, sizeof buf);
        Default r{LXS_OK, Triple{0, 0, LXCS_US7ASCII}};
        if (n > 0) r.status = n > LXNAMEMAX ? LXS_BADNAME : parse_name({buf, size_t(n)}, r.triple);
        return r;
    }();
    return d;
}

struct Environments {
    std::array<lxenv, kLanguageCount * kTerritoryCount * kCharsetCount> all;
};

constexpr Environments make_environments() {
    Environments e{};
    for (int l = 0; l < kLanguageCount; ++l)
        for (int t = 0; t < kTerritoryCount; ++t)
            for (int c = 0; c < kCharsetCount; ++c)
                e.all[static_cast<size_t>((l * kTerritoryCount + t) * kCharsetCount + c)] = {
                    &kLanguages[static_cast<size_t>(l)],
                    &kTerritories[static_cast<size_t>(t)],
                    &kCharsets[static_cast<size_t>(c)],
                    static_cast<uint8_t>(l),
                    static_cast<uint8_t>(t),
                    static_cast<uint8_t>(c)};
    return e;
}

// Made at compile time: checking a handle costs two comparisons.
constinit const Environments kEnvironments = make_environments();

const Environments &environments() {
    return kEnvironments;
}

bool known_environment(const lxenv *env) {
    const auto &all = environments().all;
    return std::less_equal<const lxenv *>{}(all.data(), env) &&
           std::less<const lxenv *>{}(env, all.data() + all.size());
}

bool filled(const lxlinfo *info) {
    return info && info->tag == kTag && info->language < kLanguageCount &&
           info->territory < kTerritoryCount && info->charset < kCharsetCount;
}

void copy_name(char (&field)[32], std::string_view name) {
    std::memcpy(field, name.data(), name.size() < 31 ? name.size() : 31);
}

void fill(lxlinfo *info, const Triple &t) {
    std::memset(info, 0, sizeof *info);
    const lxenv &env = *environment(t.l, t.t, t.c);
    const Charset &cs = *env.cs;
    info->tag = kTag;
    uint32_t flags = LXF_DATEFMT;
    if (cs.ascii_based) flags |= LXF_ASCII;
    if (cs.single_byte()) flags |= LXF_SINGLEBYTE | LXF_BYTESCAN;
    if (env.lang->fixed_periods) flags |= LXF_FIXEDPERIODS;
    info->flags = flags;
    info->language = env.l;
    info->territory = env.t;
    info->charset = env.c;
    info->maxbytes = cs.maxbytes;
    info->firstday = env.terr->firstday;
    copy_name(info->langname, env.lang->name);
    copy_name(info->terrname, env.terr->name);
    copy_name(info->csname, cs.name);
    auto bytes = [](char *p) { return reinterpret_cast<uint8_t *>(p); };
    from_utf8(cs, env.lang->msgcode, bytes(info->msglang), sizeof info->msglang - 1);
    from_utf8(cs, env.terr->isocur, bytes(info->isocur), sizeof info->isocur - 1);
    info->decimal = static_cast<uint8_t>(code_of(cs, static_cast<uint8_t>(env.terr->decimal)));
    info->group = static_cast<uint8_t>(code_of(cs, static_cast<uint8_t>(env.terr->group)));
    from_utf8(cs, local_currency(env), bytes(info->localcur), sizeof info->localcur - 1);
}

}  // namespace

const lxenv *environment(int l, int t, int c) {
    return &environments().all[static_cast<size_t>((l * kTerritoryCount + t) * kCharsetCount + c)];
}

const lxenv *begin(lxwork *w) {
    if (!w) return nullptr;
    w->consumed = 0;
    if (!w->env || !known_environment(w->env)) {
        w->status = LXS_BADARG;
        return nullptr;
    }
    w->status = LXS_OK;
    return w->env;
}

std::string_view local_currency(const lxenv &env) {
    uint8_t scratch[64];
    bool replaced = false;
    from_utf8(*env.cs, env.terr->localcur, scratch, sizeof scratch, &replaced);
    return replaced ? env.terr->isocur : env.terr->localcur;
}

std::string_view item_text(const lxenv &env, int32_t item) {
    if (item >= 0 && item <= LXI_BC) return env.lang->names[static_cast<size_t>(item)];
    switch (item) {
        case LXI_ISOCUR:
            return env.terr->isocur;
        case LXI_MSGLANG:
            return env.lang->msgcode;
        case LXI_DECIMAL:
            return {&env.terr->decimal, 1};
        case LXI_LOCALCUR:
            return local_currency(env);
        case LXI_DATEFMT:
            return env.lang->datefmt;
        default:
            return {};
    }
}

}  // namespace tavo::lx

using namespace tavo::lx;

extern "C" {

TAVO_API int32_t lxlfill(lxlinfo *info, const char *name, uint32_t len) noexcept {
    if (!info) return LXS_BADARG;
    Triple t;
    int32_t status;
    if (!name) {
        const Default &d = default_triple();
        status = d.status;
        t = d.triple;
    } else {
        // A NUL-terminated name is looked at up to one byte past the limit.
        const size_t n = len ? len : strnlen(name, LXNAMEMAX + 1);
        status = parse_name({name, n}, t);
    }
    if (status != LXS_OK) {
        std::memset(info, 0, sizeof *info);
        return status;
    }
    fill(info, t);
    return LXS_OK;
}

TAVO_API const lxlinfo *lxldflt(void) noexcept {
    static const struct Record {
        lxlinfo info;
        bool ok;
    } record = [] {
        Record r{};
        r.ok = lxlfill(&r.info, nullptr, 0) == LXS_OK;
        return r;
    }();
    return record.ok ? &record.info : nullptr;
}

TAVO_API uint32_t lxlname(const lxlinfo *info, char *buf, uint32_t size) noexcept {
    if (!filled(info) || !buf) return 0;
    const lxenv &env = *environment(info->language, info->territory, info->charset);
    const std::string_view parts[] = {env.lang->name, "_", env.terr->name, ".", env.cs->name};
    size_t len = 0;
    for (std::string_view p : parts) len += p.size();
    if (len + 1 > size) return 0;
    char *p = buf;
    for (std::string_view part : parts)
        p = static_cast<char *>(std::memcpy(p, part.data(), part.size())) + part.size();
    *p = '\0';
    return static_cast<uint32_t>(len);
}

TAVO_API const lxenv *lxenvget(const lxlinfo *info) noexcept {
    if (!info) {
        const Default &d = default_triple();
        return d.status == LXS_OK ? environment(d.triple.l, d.triple.t, d.triple.c) : nullptr;
    }
    return filled(info) ? environment(info->language, info->territory, info->charset) : nullptr;
}

TAVO_API int32_t lxwbind(lxwork *w, const lxenv *env) noexcept {
    if (!w) return LXS_BADARG;
    if (!env) env = lxenvget(nullptr);
    w->env = env && known_environment(env) ? env : nullptr;
    w->consumed = 0;
    w->status = w->env ? LXS_OK : (env ? LXS_BADARG : LXS_BADNAME);
    return w->status;
}

TAVO_API void lxwfree(lxwork *w) noexcept {
    if (!w) return;
    w->env = nullptr;
    w->status = LXS_OK;
    w->consumed = 0;
}

TAVO_API uint32_t lxitem(int32_t item, void *buf, uint32_t size, lxwork *w) noexcept {
    const lxenv *env = begin(w);
    if (!env) return 0;
    const std::string_view text = item_text(*env, item);
    if (text.empty()) {
        w->status = LXS_NOITEM;
        return 0;
    }
    if (!buf) {
        w->status = LXS_BADARG;
        return 0;
    }
    auto *out = static_cast<uint8_t *>(buf);
    const uint32_t n = from_utf8(*env->cs, text, out, size);
    if (n == kNone) {
        w->status = LXS_FULL;
        return 0;
    }
    if (n < size) out[n] = 0;
    return n;
}

TAVO_API int32_t lxitemn(int32_t item, lxwork *w) noexcept {
    const lxenv *env = begin(w);
    if (!env) return -1;
    if (item >= LXI_WIDEMONTH && item <= LXI_WIDEDAYABBR)
        return env->lang->widest[static_cast<size_t>(item - LXI_WIDEMONTH)];
    if (item == LXI_FIRSTDAY) return env->terr->firstday;
    w->status = LXS_NOITEM;
    return -1;
}

TAVO_API int32_t lxcsfind(const char *name, uint32_t len) noexcept {
    if (!name) return -1;
    const size_t n = len ? len : strnlen(name, LXNAMEMAX + 1);
    const Charset *cs = find_charset({name, n});
    return cs ? cs->id : -1;
}

TAVO_API int32_t lxcsid(const lxwork *w) noexcept {
    return w && w->env && known_environment(w->env) ? w->env->c : -1;
}

TAVO_API int32_t lxcsascii(int32_t cs) noexcept {
    const Charset *set = charset(cs);
    return set && set->ascii_based ? 1 : 0;
}

TAVO_API int32_t lxcsmax(int32_t cs) noexcept {
    const Charset *set = charset(cs);
    return set ? set->maxbytes : 0;
}

TAVO_API const uint16_t *lxcsclass(int32_t cs) noexcept {
    const Charset *set = charset(cs);
    return set && set->bytes ? set->bytes->classes.data() : nullptr;
}

TAVO_API const uint8_t *lxcscase(int32_t cs, int32_t upper) noexcept {
    const Charset *set = charset(cs);
    if (!set || !set->bytes) return nullptr;
    return upper ? set->bytes->upper.data() : set->bytes->lower.data();
}

}  // extern "C"
