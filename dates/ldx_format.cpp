// Compiling date format models: the item scanner, the keyword matcher, the
// output and input compilers, writing a compiled format back as text, and
// single rounding units.
#include <cstring>

#include "dates/ldx_internal.h"

namespace tavo::dates {
namespace {

constexpr uint32_t max_literal = 210;  // bytes of text in one literal item
constexpr uint32_t max_model = 255;    // model lengths and output sizes are 8-bit

// The character set's keyword tables and special characters.
struct Charset {
    int32_t cs;
    bool ascii;
    uint8_t quote;      // '"' or its EBCDIC code
    uint8_t separator;  // '|' or its EBCDIC code
    const ldxkw *keywords;
    const ldxkw *suffixes;
};

Charset charset_of(ldxctx *ctx) noexcept {
    int32_t cs = lxcsid(&ctx->work);
    bool ascii = cs < 0 || lxcsascii(cs) != 0;
    if (ascii) return {cs, true, 0x22, 0x7C, ldxfda, ldxfdx};
    return {cs, false, 0x7F, 0x6A, ldxfde, ldxfdy};
}

const lxlinfo *language_of(const ldxctx *ctx) noexcept {
    return ctx->env != nullptr ? ctx->env : lxldflt();
}

uint32_t language_flags(const ldxctx *ctx) noexcept {
    const lxlinfo *info = language_of(ctx);
    return info != nullptr ? info->flags : 0;
}

// A cursor over model text: byte by byte through the set's class and case
// tables, or character by character through the language services.
struct Text {
    const uint8_t *p;
    uint32_t len;
    uint32_t pos;
    const uint16_t *classes;  // null: the character path
    const uint8_t *lower;
    lxcur cur;
};

Text open_text(ldxctx *ctx, const uint8_t *p, uint32_t len) noexcept {
    Text t{p, len, 0, nullptr, nullptr, {}};
    int32_t cs = lxcsid(&ctx->work);
    if ((language_flags(ctx) & LXF_BYTESCAN) != 0 && lxcsclass(cs) != nullptr) {
        t.classes = lxcsclass(cs);
        t.lower = lxcscase(cs, 0);
    } else {
        lxcopen(&t.cur, p, len, &ctx->work);
    }
    return t;
}

bool at_end(const Text &t) noexcept {
    return t.classes ? t.pos >= t.len : lxcend(&t.cur) != 0;
}
uint32_t offset(const Text &t) noexcept {
    return t.classes ? t.pos : t.cur.pos;
}
uint32_t char_bytes(const Text &t) noexcept {
    return t.classes ? 1 : lxclen(&t.cur);
}
uint32_t char_class(const Text &t) noexcept {
    return t.classes ? t.classes[t.p[t.pos]] : lxcclass(&t.cur);
}
uint32_t lower_code(const Text &t) noexcept {
    return t.classes ? t.lower[t.p[t.pos]] : lxclower(&t.cur);
}
void step(Text &t) noexcept {
    if (t.classes)
        ++t.pos;
    else
        lxcnext(&t.cur);
}
bool is_letter(const Text &t) noexcept {
    return (char_class(t) & LXC_ALPHA) != 0;
}
bool is_alnum(const Text &t) noexcept {
    return (char_class(t) & (LXC_ALPHA | LXC_DIGIT)) != 0;
}
// The first byte of the current character (single-byte characters only
// are compared with quote and separator).
bool is_byte(const Text &t, uint8_t b) noexcept {
    return !at_end(t) && char_bytes(t) == 1 && t.p[offset(t)] == b;
}

// Index a..z of a lower-case letter of the table's set, or -1.
int32_t letter_index(uint32_t code, bool ascii) noexcept {
    if (ascii) return code >= 'a' && code <= 'z' ? static_cast<int32_t>(code - 'a') : -1;
    if (code >= 0x81 && code <= 0x89) return static_cast<int32_t>(code - 0x81);
    if (code >= 0x91 && code <= 0x99) return static_cast<int32_t>(code - 0x91 + 9);
    if (code >= 0xA2 && code <= 0xA9) return static_cast<int32_t>(code - 0xA2 + 18);
    return -1;
}

bool put(uint8_t **out, uint32_t *room, const uint8_t *bytes, uint32_t n) noexcept {
    if (*room < n) return false;
    std::memcpy(*out, bytes, n);
    *out += n;
    *room -= n;
    return true;
}

bool put_element(ldxctx *ctx, uint8_t **out, uint32_t *room, int32_t code,
                 uint32_t flags) noexcept {
    const uint8_t item[2] = {static_cast<uint8_t>(code), static_cast<uint8_t>(flags)};
    if (put(out, room, item, 2)) return true;
    raise(ctx, LDXE_FULL);
    return false;
}

// Literal text collected from the model: its bytes and characters.
struct Literal {
    uint8_t bytes[max_model + 4];
    uint32_t n;
    uint32_t chars;
    uint32_t blank_bytes;  // bytes of the leading run of white space
    uint32_t blank_chars;
    bool leading;  // still inside the leading white space
};

void take_char(Literal &lit, const Text &t) noexcept {
    uint32_t nb = char_bytes(t);
    if (lit.n + nb <= max_model) std::memcpy(lit.bytes + lit.n, t.p + offset(t), nb);
    lit.n += nb;
    ++lit.chars;
    if (lit.leading && (char_class(t) & LXC_SPACE) != 0) {
        lit.blank_bytes += nb;
        ++lit.blank_chars;
    } else {
        lit.leading = false;
    }
}

// Collects literal text up to the next letter or digit outside quotes.
void collect_literal(Text &t, const Charset &set, Literal &lit) noexcept {
    while (!at_end(t) && !is_alnum(t)) {
        if (is_byte(t, set.quote)) {
            step(t);
            while (!at_end(t) && !is_byte(t, set.quote)) {
                take_char(lit, t);
                step(t);
            }
            if (!at_end(t)) step(t);  // the closing quote
        } else {
            take_char(lit, t);
            step(t);
        }
    }
}

void write_literal(ldxctx *ctx, uint8_t **out, uint32_t *room, Literal &lit) noexcept {
    if (lit.n > max_literal) {
        raise(ctx, LDXE_LITERAL);
        return;
    }
    bool split = lit.blank_bytes > 0 && lit.blank_bytes < lit.n;
    // Two items need two count bytes.
    if (*room < lit.n + (split ? 2 : 1)) {
        raise(ctx, LDXE_FULL);
        return;
    }
    uint32_t first = split ? lit.blank_bytes : lit.n;
    uint32_t first_chars = split ? lit.blank_chars : lit.chars;
    uint8_t count = static_cast<uint8_t>(LDXK_LITERAL + first_chars);
    put(out, room, &count, 1);
    put(out, room, lit.bytes, first);
    if (split) {
        count = static_cast<uint8_t>(LDXK_LITERAL + lit.chars - lit.blank_chars);
        put(out, room, &count, 1);
        put(out, room, lit.bytes + first, lit.n - first);
    }
}

// Literal text that ends in a shifted state (character path only) needs
// the set's shift-return byte; no set supported today has shift states.
bool ends_shifted(const ldxctx *ctx, const Text &t) noexcept {
    if (t.classes != nullptr || lxcshift(&t.cur) == 0) return false;
    const lxlinfo *info = language_of(ctx);
    return info != nullptr && info->shiftret != 0;
}

// Case of a keyword from its first letters: upper, capitalised or none.
uint32_t keyword_case(Text t) noexcept {
    if (at_end(t) || (char_class(t) & LXC_UPPER) == 0) return 0;
    step(t);
    if (at_end(t)) return 0;  // a single letter left
    if (!is_letter(t)) {
        step(t);
        if (at_end(t)) return LDXM_UPPER;
    }
    return (char_class(t) & LXC_LOWER) != 0 ? LDXM_CAP : LDXM_UPPER;
}

void skip_chars(Text &t, uint32_t n) noexcept {
    for (uint32_t i = 0; i < n && !at_end(t); ++i) step(t);
}

// Letters, digits, '.' and ',': the characters of keywords and suffixes.
bool keyword_char(uint8_t c, bool ascii) noexcept {
    if (letter_index(c, ascii) >= 0) return true;
    if (ascii) return (c >= '0' && c <= '9') || c == '.' || c == ',';
    return (c >= 0xF0 && c <= 0xF9) || c == 0x4B || c == 0x6B;
}

// The longest keyword from entry first on that the text at t begins with:
// the text is lower-cased into a short buffer and compared with the sorted
// entries.
const ldxkw *match_keyword(Text t, const Charset &set, const ldxkw *first) noexcept {
    uint8_t buf[14];
    uint32_t n = 0;
    // A character that appears in no keyword ends every match there, so
    // the buffer stops at it too (the separator and multi-byte characters
    // among them).
    while (!at_end(t) && n <= 12 && char_bytes(t) == 1) {
        auto c = static_cast<uint8_t>(lower_code(t));
        if (!keyword_char(c, set.ascii)) break;
        buf[n++] = c;
        step(t);
    }
    const ldxkw *best = nullptr;
    for (const ldxkw *kw = first; kw->len != 0; ++kw) {
        uint32_t i = 0;
        while (i < kw->len && i < n && static_cast<uint8_t>(kw->kw[i]) == buf[i]) ++i;
        if (i == kw->len) {
            best = kw;  // wholly matched: a longer one may follow
            continue;
        }
        uint32_t have = i < n ? buf[i] : 0;
        if (static_cast<uint8_t>(kw->kw[i]) > have) break;  // sorted: nothing later matches
    }
    return best;
}

// Scans one item from t into the output; returns its code.
int32_t scan_item(ldxctx *ctx, Text &t, const Charset &set, uint8_t **out,
                  uint32_t *room) noexcept {
    for (;;) {
        uint32_t flags = ctx->cflags;
        if (is_byte(t, set.separator)) step(t);
        if (at_end(t)) {
            const uint8_t end[2] = {0, static_cast<uint8_t>(flags)};
            if (!put(out, room, end, 2)) raise(ctx, LDXE_FULL);
            return 0;
        }
        Literal lit;  // its bytes are read only as far as n
        lit.n = lit.chars = lit.blank_bytes = lit.blank_chars = 0;
        lit.leading = true;
        collect_literal(t, set, lit);
        if (lit.n > 0 && ends_shifted(ctx, t) && lit.n < max_model) {
            lit.bytes[lit.n++] = language_of(ctx)->shiftret;  // back to the unshifted state
        }
        if (lit.n > 0) {
            write_literal(ctx, out, room, lit);
            return LDXK_LITERAL;
        }
        if (at_end(t)) continue;  // only quotes: nothing was collected
        int32_t letter = is_letter(t) ? letter_index(lower_code(t), set.ascii) : -1;
        int32_t first = letter >= 0 ? ldxfdi[letter] : 0x7FFF;
        const ldxkw *kw = first != 0x7FFF ? match_keyword(t, set, set.keywords + first) : nullptr;
        if (kw == nullptr) {
            raise(ctx, LDXE_MODEL);
            step(t);  // when the callback returns, go on past the character
            continue;
        }
        flags |= keyword_case(t);
        skip_chars(t, kw->len);
        if ((ldxfcd[kw->code].kind & 0x80) == 0 && !at_end(t)) {
            const ldxkw *sfx = match_keyword(t, set, set.suffixes);
            if (sfx != nullptr) {
                flags |= static_cast<uint32_t>(sfx->code);
                skip_chars(t, sfx->len);
            }
        }
        if (kw->code == LDXK_FM) {
            ctx->cflags = static_cast<uint8_t>(ctx->cflags ^ LDXM_FILL);
            continue;
        }
        put_element(ctx, out, room, kw->code, flags);
        return kw->code;
    }
}

// In a multi-byte set, a multi-byte character outside quotes is refused.
void check_single_bytes(ldxctx *ctx, const uint8_t *model, uint32_t len,
                        const Charset &set) noexcept {
    if ((language_flags(ctx) & LXF_SINGLEBYTE) != 0) return;
    lxcur c;
    lxcopen(&c, model, len, &ctx->work);
    bool quoted = false;
    while (lxcend(&c) == 0) {
        uint32_t n = lxclen(&c);
        if (n == 1 && model[c.pos] == set.quote) quoted = !quoted;
        if (n > 1 && !quoted) raise(ctx, LDXE_MODEL);
        lxcnext(&c);
    }
}

constexpr bool not_for_input(int32_t code) noexcept {
    switch (code) {
        case LDXK_CC:
        case LDXK_SCC:
        case LDXK_I:
        case LDXK_IY:
        case LDXK_IYY:
        case LDXK_IYYY:
        case LDXK_YEARW:
        case LDXK_SYEARW:
        case LDXK_Q:
        case LDXK_IW:
        case LDXK_WW:
        case LDXK_W:
            return true;
        default:
            return false;
    }
}

uint32_t compile(ldxctx *ctx, const char *model, uint32_t len, uint8_t *out, uint32_t size,
                 bool input) noexcept {
    if (ctx == nullptr || out == nullptr) return 0;
    if (model == nullptr) len = 0;
    if (len > max_model) {
        raise(ctx, LDXE_MODEL);
        return 0;
    }
    if (size > max_model) size = max_model;
    bool acquired = acquire(ctx);
    const auto *text = reinterpret_cast<const uint8_t *>(model);
    Charset set = charset_of(ctx);
    check_single_bytes(ctx, text, len, set);
    ctx->cflags = LDXM_FILL;
    uint8_t counts[47] = {};
    uint8_t *at = out;
    uint32_t room = size;
    // One walk over the model, item by item (as ldxsnf does, without
    // reopening the text for each item).
    Text t = open_text(ctx, text, len);
    int32_t code;
    while ((code = scan_item(ctx, t, set, &at, &room)) != 0) {
        if (!input || code == LDXK_LITERAL || code == LDXK_FX || code == LDXK_FM) continue;
        if (++counts[code] > 1) raise(ctx, LDXE_TWICE);
        if (not_for_input(code)) raise(ctx, LDXE_NOINPUT);
    }
    if (input) {
        for (const ldxpmg *g = ldxpmx; g->err != 0; ++g) {
            uint32_t sum = 0;
            for (const uint8_t *c = g->list; *c != 0; ++c) sum += counts[*c];
            if (sum > 1) raise(ctx, g->err);
        }
    }
    release(ctx, acquired);
    return static_cast<uint32_t>(at - out);
}

// Writing a compiled format back as text.
struct Writer {
    char *out;
    uint32_t size;
    uint32_t n;
    bool full;
};

bool emit(ldxctx *ctx, Writer &w, const uint8_t *bytes, uint32_t len) noexcept {
    if (w.full) return false;
    // Two bytes stay free for a closing quote and the NUL.
    if (w.size < 2 || len > w.size - 2 - w.n) {
        w.full = true;
        raise(ctx, LDXE_FULL);
        return false;
    }
    std::memcpy(w.out + w.n, bytes, len);
    w.n += len;
    return true;
}

uint8_t to_upper(uint8_t c, bool ascii) noexcept {
    if (ascii) return c >= 'a' && c <= 'z' ? static_cast<uint8_t>(c - 32) : c;
    bool letter = (c >= 0x81 && c <= 0x89) || (c >= 0x91 && c <= 0x99) || (c >= 0xA2 && c <= 0xA9);
    return letter ? static_cast<uint8_t>(c + 0x40) : c;
}

void emit_keyword(ldxctx *ctx, Writer &w, const ldxkw &kw, uint32_t flags, bool ascii) noexcept {
    uint8_t text[8];
    for (uint32_t i = 0; i < kw.len; ++i) {
        auto c = static_cast<uint8_t>(kw.kw[i]);
        bool up = (flags & LDXM_UPPER) != 0 || ((flags & LDXM_CAP) != 0 && i == 0);
        text[i] = up ? to_upper(c, ascii) : c;
    }
    emit(ctx, w, text, kw.len);
}

// A literal written bare: one character that is neither a letter nor a
// digit, and not a quote or separator that would read back otherwise.
bool bare_literal(ldxctx *ctx, const uint8_t *item, const Charset &set) noexcept {
    if (item[0] != LDXK_LITERAL + 1) return false;
    uint8_t c = item[1];
    if (c == set.quote || c == set.separator) return false;
    Text t = open_text(ctx, item + 1, 1);
    return !at_end(t) && char_bytes(t) == 1 && !is_alnum(t);
}

// Bytes of a literal item's text: its character count walked in the set.
uint32_t literal_bytes(ldxctx *ctx, const uint8_t *item) noexcept {
    uint32_t chars = item[0] - LDXK_LITERAL;
    if ((language_flags(ctx) & LXF_SINGLEBYTE) != 0) return chars;
    lxcur c;
    lxcopen(&c, item + 1, 4 * chars, &ctx->work);
    for (uint32_t i = 0; i < chars && lxcend(&c) == 0; ++i) lxcnext(&c);
    return c.pos;
}

// Two literal items read back as one text, which splits again only into a
// run of white space and a rest that does not begin with white space.
bool literals_merge(ldxctx *ctx, const uint8_t *a, const uint8_t *b) noexcept {
    Text ta = open_text(ctx, a + 1, literal_bytes(ctx, a));
    bool all_space = true;
    for (; !at_end(ta); step(ta)) all_space = all_space && (char_class(ta) & LXC_SPACE) != 0;
    Text tb = open_text(ctx, b + 1, literal_bytes(ctx, b));
    bool b_space = !at_end(tb) && (char_class(tb) & LXC_SPACE) != 0;
    return !(all_space && !b_space);
}

// Two keywords written together read back as one when the first and the
// start of the second form a longer keyword ("y" and "yyy" as "yyyy").
bool keywords_merge(ldxctx *ctx, const Charset &set, int32_t first, int32_t second) noexcept {
    const ldxkw &a = set.keywords[ldxfdci[first]];
    const ldxkw &b = set.keywords[ldxfdci[second]];
    uint8_t text[16];
    std::memcpy(text, a.kw, a.len);
    std::memcpy(text + a.len, b.kw, b.len);
    int32_t letter = letter_index(static_cast<uint8_t>(a.kw[0]), set.ascii);
    if (letter < 0 || ldxfdi[letter] == 0x7FFF) return false;
    const ldxkw *kw = ldxmfn(ctx, text, a.len + b.len, set.keywords + ldxfdi[letter]);
    return kw == nullptr || kw->len != a.len;
}

// A one-letter keyword in upper case reads back as upper case only when an
// upper-case letter follows it; an empty quoted text ("") after it gives
// the same reading and nothing else.
bool upper_needs_quotes(const Charset &set, const uint8_t *item) noexcept {
    if ((item[1] & LDXM_UPPER) == 0 || set.keywords[ldxfdci[item[0]]].len != 1) return false;
    const uint8_t *next = item + 2;
    bool next_upper = next[0] != 0 && next[0] < LDXK_LITERAL &&
                      (next[1] & (LDXM_UPPER | LDXM_CAP)) != 0 &&
                      (next[1] & LDXM_FILL) == (item[1] & LDXM_FILL);
    return !next_upper;
}

}  // namespace

void compile_default(ldxctx *ctx, const char *model, uint32_t len) noexcept {
    ldxsti(ctx, model, len, ctx->deffmt, sizeof ctx->deffmt);
}

}  // namespace tavo::dates

using namespace tavo::dates;

extern "C" {

TAVO_API const ldxkw *ldxmfn(ldxctx *ctx, const uint8_t *text, uint32_t len,
                             const ldxkw *first) noexcept {
    if (ctx == nullptr || text == nullptr || first == nullptr) return nullptr;
    bool acquired = acquire(ctx);
    const ldxkw *kw = match_keyword(open_text(ctx, text, len), charset_of(ctx), first);
    release(ctx, acquired);
    return kw;
}

TAVO_API int32_t ldxsnf(ldxctx *ctx, const uint8_t **model, uint32_t *len, uint8_t **out,
                        uint32_t *size) noexcept {
    bool acquired = acquire(ctx);
    Charset set = charset_of(ctx);
    Text t = open_text(ctx, *model, *len);
    int32_t code = scan_item(ctx, t, set, out, size);
    uint32_t used = offset(t);
    *model += used;
    *len -= used;
    release(ctx, acquired);
    return code;
}

TAVO_API uint32_t ldxsto(ldxctx *ctx, const char *model, uint32_t len, uint8_t *out,
                         uint32_t size) noexcept {
    return compile(ctx, model, len, out, size, false);
}

TAVO_API uint32_t ldxsti(ldxctx *ctx, const char *model, uint32_t len, uint8_t *out,
                         uint32_t size) noexcept {
    return compile(ctx, model, len, out, size, true);
}

TAVO_API uint32_t ldxifs(ldxctx *ctx, const uint8_t *fmt, char *out, uint32_t size) noexcept {
    if (ctx == nullptr || fmt == nullptr || out == nullptr || size == 0) return 0;
    bool acquired = acquire(ctx);
    Charset set = charset_of(ctx);
    Writer w{out, size, 0, false};
    uint32_t fill = LDXM_FILL;
    bool quoted = false;
    const uint8_t *prev = nullptr;  // the item written last
    bool prev_suffixed = false;
    bool pending_quotes = false;  // an empty quoted text after a one-letter keyword
    const uint8_t quotes[2] = {set.quote, set.quote};
    const uint8_t *item = fmt;
    for (; item[0] != 0 && !w.full;) {
        uint8_t b = item[0];
        bool literal = b > LDXK_LITERAL;
        if (!literal && ldxfdci[b] < 0) {  // 45: no keyword
            raise(ctx, LDXE_INTERNAL);
            break;
        }
        uint32_t flags = literal ? fill : item[1];
        bool fm = !literal && (flags & LDXM_FILL) != fill;
        // Two items that would read back as one get a separator between them.
        bool separate = prev != nullptr && !fm &&
                        (literal ? prev[0] > LDXK_LITERAL && literals_merge(ctx, prev, item)
                                 : prev[0] <= LDXK_LITERAL && !prev_suffixed &&
                                       keywords_merge(ctx, set, prev[0], b));
        if (quoted && (separate || !literal || bare_literal(ctx, item, set))) {
            emit(ctx, w, &set.quote, 1);
            quoted = false;
        }
        if (separate && literal) {
            // Literal text runs on over a separator: a pair of fill
            // toggles ends it and changes nothing.
            emit_keyword(ctx, w, set.keywords[ldxfdci[LDXK_FM]], 0, set.ascii);
            emit_keyword(ctx, w, set.keywords[ldxfdci[LDXK_FM]], 0, set.ascii);
        } else if (separate) {
            emit(ctx, w, &set.separator, 1);
        }
        if (pending_quotes) emit(ctx, w, quotes, 2);
        pending_quotes = false;
        if (literal) {
            uint32_t n = literal_bytes(ctx, item);
            if (bare_literal(ctx, item, set)) {
                emit(ctx, w, item + 1, 1);
            } else {
                if (!quoted) emit(ctx, w, &set.quote, 1);
                quoted = true;
                emit(ctx, w, item + 1, n);
            }
            prev = item;
            item += 1 + n;
            continue;
        }
        if (fm) {
            emit_keyword(ctx, w, set.keywords[ldxfdci[LDXK_FM]], 0, set.ascii);
            fill ^= LDXM_FILL;
        }
        emit_keyword(ctx, w, set.keywords[ldxfdci[b]], flags, set.ascii);
        // Suffixes follow the keyword's upper case, so that a one-letter
        // keyword reads back as upper case rather than capitalised.
        uint32_t suffix_case = flags & LDXM_UPPER;
        if ((flags & LDXM_SP) != 0) emit_keyword(ctx, w, set.suffixes[0], suffix_case, set.ascii);
        if ((flags & LDXM_TH) != 0) emit_keyword(ctx, w, set.suffixes[2], suffix_case, set.ascii);
        prev_suffixed = (flags & (LDXM_SP | LDXM_TH)) != 0;
        pending_quotes = !prev_suffixed && upper_needs_quotes(set, item);
        prev = item;
        item += 2;
    }
    if (pending_quotes) emit(ctx, w, quotes, 2);
    // A fill toggle after the last element is kept too, in the end item.
    if (item[0] == 0 && !w.full && (item[1] & LDXM_FILL) != fill) {
        if (quoted) emit(ctx, w, &set.quote, 1);
        quoted = false;
        emit_keyword(ctx, w, set.keywords[ldxfdci[LDXK_FM]], 0, set.ascii);
    }
    // The two bytes kept back: the closing quote and the NUL.
    if (quoted && w.n + 1 < w.size) out[w.n++] = static_cast<char>(set.quote);
    if (w.n < w.size) out[w.n] = '\0';
    release(ctx, acquired);
    return w.n;
}

TAVO_API int32_t ldxgpc(ldxctx *ctx, const char *model, uint32_t len) noexcept {
    if (ctx == nullptr) return 0;
    bool acquired = acquire(ctx);
    uint8_t work[254];
    uint8_t *at = work;
    uint32_t room = sizeof work;
    const auto *rest = reinterpret_cast<const uint8_t *>(model);
    uint32_t left = model != nullptr ? (len > max_model ? max_model : len) : 0;
    ctx->cflags = LDXM_FILL;
    int32_t code = ldxsnf(ctx, &rest, &left, &at, &room);
    bool unit = (code >= 1 && code <= 10) || code == 12 || (code >= 14 && code <= 26) ||
                (code >= 29 && code <= 33) || code == 38;
    if (!unit) {
        raise(ctx, LDXE_NOTUNIT);
    } else if (ldxsnf(ctx, &rest, &left, &at, &room) != 0) {
        raise(ctx, LDXE_UNITS);
    }
    release(ctx, acquired);
    return code;
}

}  // extern "C"
