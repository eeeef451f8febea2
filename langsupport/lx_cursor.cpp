// Cursors over text: stepping whole characters, classes, case, comparison
// and counting. Single-byte sets step byte by byte; UTF-8 decodes, with a
// fast path over runs of ASCII.
#include <bit>
#include <cstring>

#include "langsupport/lx_cursor.h"

namespace tavo::lx {

int32_t open_cursor(lxcur *c, const void *text, uint32_t len, lxwork *w, uint16_t flags) {
    if (!c) {
        set_status(w, LXS_BADARG);
        return LXS_BADARG;
    }
    std::memset(c, 0, sizeof *c);
    const lxenv *env = begin(w);
    if (!env) return LXS_BADARG;
    if (!text && len != 0) {
        w->status = LXS_BADARG;
        return LXS_BADARG;
    }
    if (text && len == LXNUL && !(flags & kOutputCursor))
        len = static_cast<uint32_t>(strnlen(static_cast<const char *>(text), LXNUL));
    c->text = static_cast<uint8_t *>(const_cast<void *>(text));
    c->len = text ? len : 0;
    c->cs = env->c;
    c->flags = flags;
    return LXS_OK;
}

// Characters in s[0..n) of UTF-8, each invalid byte counting as one.
// ASCII is taken eight bytes at a time (a run ends at the lowest byte
// with its top bit set), and two-byte characters, the common ones in
// European text, are checked inline.
uint32_t utf8_count(const uint8_t *s, size_t n) {
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    uint32_t count = 0;
    size_t i = 0;
    while (i < n) {
        if (i + 8 <= n) {
            uint64_t word;
            std::memcpy(&word, s + i, 8);
            if (const uint64_t high = word & kHighBits; high != kHighBits) {
                const int zeros = std::endian::native == std::endian::little
                                      ? std::countr_zero(high)
                                      : std::countl_zero(high);
                const size_t ascii = high ? static_cast<size_t>(zeros) / 8 : 8;
                if (ascii) {
                    i += ascii;
                    count += static_cast<uint32_t>(ascii);
                    continue;
                }
            }
        }
        const uint8_t b = s[i];
        if (b < 0x80) {
            ++i;
        } else if (b >= 0xC2 && b <= 0xDF && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
            i += 2;
        } else {
            i += utf8_decode(s + i, n - i).len;
        }
        ++count;
    }
    return count;
}

}  // namespace tavo::lx

using namespace tavo::lx;

extern "C" {

TAVO_API int32_t lxcopen(lxcur *c, const void *text, uint32_t len, lxwork *w) noexcept {
    return open_cursor(c, text, len, w, 0);
}

TAVO_API uint32_t lxcnext(lxcur *c) noexcept {
    const Charset *cs = cursor_set(c);
    if (!cs || at_end(c)) return 0;
    const uint32_t n = cs->single_byte() ? 1 : utf8_decode(c->text + c->pos, c->len - c->pos).len;
    c->pos += n;
    ++c->chars;
    return n;
}

TAVO_API uint32_t lxcchar(const lxcur *c) noexcept {
    const Charset *cs = cursor_set(c);
    if (!cs || at_end(c)) return LXCH_END;
    return current(*cs, c).code;
}

TAVO_API uint32_t lxclen(const lxcur *c) noexcept {
    const Charset *cs = cursor_set(c);
    if (!cs || at_end(c)) return 0;
    return current(*cs, c).len;
}

TAVO_API int32_t lxcend(const lxcur *c) noexcept {
    return !cursor_set(c) || at_end(c) ? 1 : 0;
}

TAVO_API int32_t lxcpart(const lxcur *c) noexcept {
    const Charset *cs = cursor_set(c);
    if (!cs || at_end(c) || cs->single_byte()) return 0;
    return utf8_cut_short(c->text + c->pos, c->len - c->pos) ? 1 : 0;
}

TAVO_API int32_t lxcshift(const lxcur *) noexcept {
    return 0;
}

TAVO_API uint32_t lxcclass(const lxcur *c) noexcept {
    const Charset *cs = cursor_set(c);
    if (!cs || at_end(c)) return 0;
    return class_of(*cs, current(*cs, c).code);
}

TAVO_API uint32_t lxcupper(const lxcur *c) noexcept {
    const Charset *cs = cursor_set(c);
    if (!cs || at_end(c)) return LXCH_END;
    return upper_of(*cs, current(*cs, c).code);
}

TAVO_API uint32_t lxclower(const lxcur *c) noexcept {
    const Charset *cs = cursor_set(c);
    if (!cs || at_end(c)) return LXCH_END;
    return lower_of(*cs, current(*cs, c).code);
}

TAVO_API int32_t lxccmp(const lxcur *c, const void *s, uint32_t n, uint32_t flags) noexcept {
    const Charset *cs = cursor_set(c);
    if (n == 0) return 0;
    if (!cs || !s) return 1;
    const auto *p = static_cast<const uint8_t *>(s);
    const uint32_t left = c->len - c->pos;
    if (!(flags & LXCMP_NOCASE)) {
        if (left < n) return -1;
        return std::memcmp(c->text + c->pos, p, n);
    }
    const uint8_t *t = c->text + c->pos;
    uint32_t i = 0, j = 0;
    while (j < n) {
        if (i >= left) return -1;
        const Char a = decode(*cs, t + i, left - i), b = decode(*cs, p + j, n - j);
        // Invalid bytes match only the same byte; they have no case.
        const uint32_t la = a.valid ? lower_of(*cs, a.code) : 0x110000 + t[i];
        const uint32_t lb = b.valid ? lower_of(*cs, b.code) : 0x110000 + p[j];
        if (la != lb) return la < lb ? -1 : 1;
        i += a.len;
        j += b.len;
    }
    return 0;
}

TAVO_API uint32_t lxccount(const lxcur *c) noexcept {
    const Charset *cs = cursor_set(c);
    if (!cs || at_end(c)) return 0;
    if (cs->single_byte()) return c->len - c->pos;
    return utf8_count(c->text + c->pos, c->len - c->pos);
}

TAVO_API uint32_t lxcbytes(const lxcur *c, uint32_t n) noexcept {
    const Charset *cs = cursor_set(c);
    if (!cs || at_end(c)) return 0;
    const uint32_t left = c->len - c->pos;
    if (cs->single_byte()) return n < left ? n : left;
    uint32_t bytes = 0;
    for (; n > 0 && bytes < left; --n)
        bytes += utf8_decode(c->text + c->pos + bytes, left - bytes).len;
    return bytes;
}

}  // extern "C"
