// Conversion of text between character sets, and the two-bytes-per-
// character form of the password verifier.
#include <cstring>

#include "langsupport/lx_internal.h"

namespace tavo::lx {

namespace {

uint32_t text_length(const void *text, uint32_t len) {
    return len == LXNUL ? static_cast<uint32_t>(strnlen(static_cast<const char *>(text), LXNUL))
                        : len;
}

// Every byte of Latin-1 and of the EBCDIC set is a character, so text in
// them converts to itself by copying.
bool all_bytes_valid(const Charset &cs) {
    return cs.id == LXCS_WE8ISO8859P1 || cs.id == LXCS_WE8EBCDIC;
}

// Writes the UTF-16 big-endian form of a code point: 2 bytes, or 4 for a
// surrogate pair. Returns the bytes, 0 when they do not fit.
uint32_t put_utf16(uint32_t cp, uint8_t *out, uint32_t room) {
    if (cp < 0x10000) {
        if (room < 2) return 0;
        out[0] = static_cast<uint8_t>(cp >> 8);
        out[1] = static_cast<uint8_t>(cp);
        return 2;
    }
    if (room < 4) return 0;
    const uint32_t v = cp - 0x10000;
    const uint32_t hi = 0xD800 + (v >> 10), lo = 0xDC00 + (v & 0x3FF);
    out[0] = static_cast<uint8_t>(hi >> 8);
    out[1] = static_cast<uint8_t>(hi);
    out[2] = static_cast<uint8_t>(lo >> 8);
    out[3] = static_cast<uint8_t>(lo);
    return 4;
}

uint32_t to_utf16(void *dst, uint32_t size, const void *src, uint32_t len, lxwork *w, bool upper) {
    const lxenv *env = begin(w);
    if (!env) return 0;
    if ((!dst && size) || (!src && len)) {
        w->status = LXS_BADARG;
        return 0;
    }
    if (!src) return 0;
    const auto *s = static_cast<const uint8_t *>(src);
    auto *d = static_cast<uint8_t *>(dst);
    len = text_length(src, len);
    uint32_t written = 0, i = 0;
    while (i < len) {
        const Char ch = decode(*env->cs, s + i, len - i);
        const uint32_t cp = upper ? unicode_upper(ch.cp) : ch.cp;
        const uint32_t n = put_utf16(cp, d + written, size - written);
        if (n == 0) {
            w->status = LXS_FULL;
            break;
        }
        written += n;
        i += ch.len;
    }
    w->consumed = i;
    return written;
}

}  // namespace

}  // namespace tavo::lx

using namespace tavo::lx;

extern "C" {

TAVO_API uint32_t lxconv(void *dst, uint32_t size, int32_t dstcs, const void *src, uint32_t len,
                         int32_t srccs, lxwork *w) noexcept {
    if (!w) return 0;
    w->status = LXS_OK;
    w->consumed = 0;
    const Charset *to = charset(dstcs), *from = charset(srccs);
    if (!to || !from || (!dst && size) || (!src && len)) {
        w->status = LXS_BADARG;
        return 0;
    }
    if (!src) return 0;
    const auto *s = static_cast<const uint8_t *>(src);
    auto *d = static_cast<uint8_t *>(dst);
    len = text_length(src, len);
    if (to == from && all_bytes_valid(*to)) {
        const uint32_t n = len < size ? len : size;
        if (n < len) w->status = LXS_FULL;
        if (n) std::memmove(d, s, n);
        w->consumed = n;
        return n;
    }
    bool replaced = false;
    uint32_t written = 0, i = 0;
    while (i < len) {
        const Char ch = decode(*from, s + i, len - i);
        uint32_t code = ch.valid ? code_of(*to, ch.cp) : kNone;
        if (code == kNone) {
            code = to->bytes ? to->replacement : kReplacementChar;
            replaced = true;
        }
        uint8_t b[4];
        const uint32_t n = encode(*to, code, b);
        if (n > size - written) {
            w->status = LXS_FULL;
            break;
        }
        std::memcpy(d + written, b, n);
        written += n;
        i += ch.len;
    }
    w->consumed = i;
    if (replaced && w->status == LXS_OK) w->status = LXS_REPLACED;
    return written;
}

TAVO_API uint32_t lxtou16up(void *dst, uint32_t size, const void *src, uint32_t len,
                            lxwork *w) noexcept {
    return to_utf16(dst, size, src, len, w, true);
}

TAVO_API uint32_t lxtou16(void *dst, uint32_t size, const void *src, uint32_t len,
                          lxwork *w) noexcept {
    return to_utf16(dst, size, src, len, w, false);
}

}  // extern "C"
