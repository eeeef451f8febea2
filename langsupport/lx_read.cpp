// Reading through cursors: integers, items, Roman numerals, era names and
// currency symbols. A reader moves the cursor only when it succeeds.
#include <string_view>

#include "langsupport/lx_cursor.h"

namespace tavo::lx {

namespace {

struct Match {
    uint32_t bytes = 0;
    uint32_t chars = 0;
    bool ok = false;
};

// The Unicode character at byte offset i of the cursor's text, in lower
// case; kNone for an invalid byte. len receives its length.
uint32_t folded_at(const Charset &cs, const lxcur *c, uint32_t i, uint32_t *len) {
    const Char ch = decode(cs, c->text + i, c->len - i);
    *len = ch.len;
    return ch.valid ? unicode_lower(ch.cp) : kNone;
}

// Does the text at the cursor begin with the UTF-8 text, without regard
// to case? The text is compared as the set shows it, so that what was
// printed with replacement characters reads back.
Match match_text(const Charset &cs, const lxcur *c, std::string_view utf8) {
    Match m;
    const auto *s = reinterpret_cast<const uint8_t *>(utf8.data());
    uint32_t i = c->pos;
    for (size_t j = 0; j < utf8.size();) {
        if (i >= c->len) return {};
        const Decoded d = utf8_decode(s + j, utf8.size() - j);
        j += d.len;
        uint32_t len;
        if (folded_at(cs, c, i, &len) != unicode_lower(through_set(cs, d.cp))) return {};
        i += len;
        ++m.chars;
    }
    m.bytes = i - c->pos;
    m.ok = !utf8.empty();
    return m;
}

void advance(lxcur *c, const Match &m, lxwork *w) {
    c->pos += m.bytes;
    c->chars += m.chars;
    w->consumed = m.chars;
}

const Charset *begin_read(lxcur *c, lxwork *w, const lxenv **env = nullptr) {
    const lxenv *e = begin(w);
    if (!e) return nullptr;
    const Charset *cs = cursor_set(c);
    if (!cs || (c->flags & kOutputCursor)) {
        w->status = LXS_BADARG;
        return nullptr;
    }
    if (env) *env = e;
    return cs;
}

// The longest of several texts at the cursor; index -1 when none matches.
template <size_t N>
std::pair<int, Match> longest(const Charset &cs, const lxcur *c,
                              const std::array<std::string_view, N> &texts) {
    std::pair<int, Match> best{-1, {}};
    for (size_t k = 0; k < N; ++k) {
        const Match m = match_text(cs, c, texts[k]);
        if (m.ok && m.chars > best.second.chars) best = {static_cast<int>(k), m};
    }
    return best;
}

// ---- Roman numerals ----------------------------------------------------------------

// The longest canonical numeral at the start of letters (lower-case
// ASCII): thousands, then hundreds, tens and units, each place read
// greedily. Returns the value and the letters used.
std::pair<int, uint32_t> parse_roman(std::string_view letters) {
    struct Place {
        char one, five, ten;
        int unit;
    };
    constexpr std::array<Place, 3> places = {
        {{'c', 'd', 'm', 100}, {'x', 'l', 'c', 10}, {'i', 'v', 'x', 1}}};
    size_t i = 0;
    int value = 0;
    for (; i < letters.size() && letters[i] == 'm' && value < 3000; ++i) value += 1000;
    for (const Place &p : places) {
        const char o = p.one, f = p.five, t = p.ten;
        // The forms of the digits 1..9, longest first.
        const std::array<std::pair<std::array<char, 5>, int>, 9> forms = {{{{f, o, o, o}, 8},
                                                                           {{f, o, o}, 7},
                                                                           {{o, o, o}, 3},
                                                                           {{o, t}, 9},
                                                                           {{o, f}, 4},
                                                                           {{f, o}, 6},
                                                                           {{o, o}, 2},
                                                                           {{f}, 5},
                                                                           {{o}, 1}}};
        for (const auto &[form, digit] : forms) {
            const std::string_view spelled(form.data());
            if (letters.substr(i).starts_with(spelled)) {
                value += digit * p.unit;
                i += spelled.size();
                break;
            }
        }
    }
    return {value, static_cast<uint32_t>(i)};
}

}  // namespace

}  // namespace tavo::lx

using namespace tavo::lx;

extern "C" {

TAVO_API int32_t lxrint(lxcur *c, uint32_t maxdigits, uint32_t flags, int32_t *value,
                        lxwork *w) noexcept {
    const lxenv *env;
    const Charset *cs = begin_read(c, w, &env);
    if (!cs) return w ? w->status : LXS_BADARG;
    if (!value || maxdigits == 0 || maxdigits > 10) return w->status = LXS_BADARG;
    const uint32_t plus = code_of(*cs, '+'), minus = code_of(*cs, '-');
    const uint32_t group = code_of(*cs, static_cast<uint8_t>(env->terr->group));
    auto digit_at = [&](uint32_t i, uint32_t *len) -> int {
        if (i >= c->len) return -1;
        const Char ch = decode(*cs, c->text + i, c->len - i);
        *len = ch.len;
        return (class_of(*cs, ch.code) & LXC_DIGIT) ? static_cast<int>(ch.cp - '0') : -1;
    };
    uint32_t i = c->pos, chars = 0, len = 0;
    bool negative = false;
    if ((flags & LXR_SIGN) && !at_end(c)) {
        const Char ch = current(*cs, c);
        if (ch.code == plus || ch.code == minus) {
            negative = ch.code == minus;
            i += ch.len;
            ++chars;
        }
    }
    int64_t v = 0;
    uint32_t ndigits = 0;
    while (i < c->len) {
        int d = digit_at(i, &len);
        uint32_t sep_len = 0;
        if (d < 0 && (flags & LXR_GROUP) && ndigits > 0 &&
            decode(*cs, c->text + i, c->len - i).code == group) {
            sep_len = len;
            d = digit_at(i + sep_len, &len);  // a group character stands between digits
        }
        if (d < 0) break;
        if (ndigits == maxdigits) {
            if (flags & LXR_WHOLE) return w->status = LXS_DIGITS;
            break;
        }
        v = v * 10 + d;
        ++ndigits;
        chars += sep_len ? 2 : 1;
        i += sep_len + len;
    }
    if (ndigits == 0) return w->status = LXS_NOMATCH;
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return w->status = LXS_DIGITS;
    *value = static_cast<int32_t>(v);
    c->pos = i;
    c->chars += chars;
    w->consumed = chars;
    return LXS_OK;
}

TAVO_API int32_t lxritem(lxcur *c, int32_t first, int32_t last, lxwork *w) noexcept {
    const lxenv *env;
    const Charset *cs = begin_read(c, w, &env);
    if (!cs) return -1;
    int32_t best = -1;
    Match best_match;
    bool any = false;
    // Item numbers are small; the clamp keeps a wild range from looping long.
    for (int32_t item = first < 0 ? 0 : first; item <= last && item <= 255; ++item) {
        const std::string_view text = item_text(*env, item);
        if (text.empty()) continue;
        any = true;
        const Match m = match_text(*cs, c, text);
        if (m.ok && m.chars > best_match.chars) best = item, best_match = m;
    }
    if (best < 0) {
        w->status = any ? LXS_NOMATCH : LXS_NOITEM;
        return -1;
    }
    advance(c, best_match, w);
    return best;
}

TAVO_API int32_t lxrroman(lxcur *c, int32_t max, lxwork *w) noexcept {
    const Charset *cs = begin_read(c, w);
    if (!cs) return 0;
    // Collect the Roman letters at the cursor in lower-case ASCII.
    char letters[16];
    uint32_t offsets[17];
    size_t n = 0;
    uint32_t i = c->pos;
    while (n < sizeof letters && i < c->len) {
        uint32_t len;
        const uint32_t cp = folded_at(*cs, c, i, &len);
        if (cp > 0x7F ||
            std::string_view("ivxlcdm").find(static_cast<char>(cp)) == std::string_view::npos)
            break;
        offsets[n] = i;
        letters[n++] = static_cast<char>(cp);
        i += len;
    }
    offsets[n] = i;
    const auto [value, used] = parse_roman({letters, n});
    if (value < 1 || value > max) {
        w->status = LXS_NOMATCH;
        return 0;
    }
    advance(c, Match{offsets[used] - c->pos, used, true}, w);
    return value;
}

TAVO_API int32_t lxrera(lxcur *c, lxwork *w) noexcept {
    const lxenv *env;
    const Charset *cs = begin_read(c, w, &env);
    if (!cs) return LXERA_NONE;
    const std::array<std::string_view, 4> names = {
        env->lang->eras[0], env->lang->eras[1], env->lang->names[LXI_AD], env->lang->names[LXI_BC]};
    const auto [k, m] = longest(*cs, c, names);
    if (k < 0) {
        w->status = LXS_NOMATCH;
        return LXERA_NONE;
    }
    advance(c, m, w);
    return k % 2 == 0 ? LXERA_AD : LXERA_BC;
}

TAVO_API int32_t lxrcur(lxcur *c, int32_t item, lxwork *w) noexcept {
    const lxenv *env;
    const Charset *cs = begin_read(c, w, &env);
    if (!cs) return 0;
    if (item != LXI_ISOCUR && item != LXI_LOCALCUR) {
        w->status = LXS_BADARG;
        return 0;
    }
    const Match m = match_text(*cs, c, item_text(*env, item));
    if (!m.ok) {
        w->status = LXS_NOMATCH;
        return 0;
    }
    advance(c, m, w);
    return 1;
}

}  // extern "C"
