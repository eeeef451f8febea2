// Search, search-and-copy and in-place replace over counted buffers.
#include <algorithm>
#include <cstring>

#include "chars/byte_search.hpp"
#include "lc.h"

using namespace tavo::chars;

namespace {

const uint8_t *bytes(const void *p) {
    return static_cast<const uint8_t *>(p);
}

}  // namespace

extern "C" {

TAVO_API uint32_t lcmsub(const void *buf, uint32_t len, const void *pat, uint32_t patlen) noexcept {
    if (patlen == 0) return 0;
    return static_cast<uint32_t>(find_bytes(bytes(buf), len, bytes(pat), patlen));
}

TAVO_API uint32_t lcmcpr(void *out, uint32_t outsize, const void *in, uint32_t inlen,
                         const void *pat, uint32_t patlen, const void *rep, uint32_t replen,
                         uint32_t *unread) noexcept {
    auto *dst = static_cast<uint8_t *>(out);
    const uint8_t *src = bytes(in);
    size_t pos = 0;  // input consumed
    size_t w = 0;    // output written
    for (;;) {
        // Everything before the next occurrence goes out as it is, as far as
        // the room allows; an empty pattern never occurs.
        const size_t next =
            patlen == 0 ? inlen : pos + find_bytes(src + pos, inlen - pos, bytes(pat), patlen);
        const size_t plain = std::min(next - pos, size_t{outsize} - w);
        if (plain != 0) std::memcpy(dst + w, src + pos, plain);
        pos += plain;
        w += plain;
        if (pos == inlen || w == outsize) break;
        if (replen > outsize - w) break;  // the replacement would not fit
        if (replen != 0) std::memcpy(dst + w, rep, replen);
        w += replen;
        pos += patlen;
    }
    if (unread) *unread = static_cast<uint32_t>(inlen - pos);
    return static_cast<uint32_t>(w);
}

TAVO_API uint32_t lcmrep(void *buf, uint32_t len, uint32_t cap, const void *pat, uint32_t patlen,
                         const void *rep, uint32_t replen, void **stop) noexcept {
    auto *text = static_cast<uint8_t *>(buf);
    size_t n = len;
    void *stopped_at = nullptr;
    if (patlen != 0) {
        size_t pos = 0;
        while (pos < n) {
            const size_t at = pos + find_bytes(text + pos, n - pos, bytes(pat), patlen);
            if (at >= n) break;
            if (uint64_t{n} - patlen + replen > cap) {
                stopped_at = text + at;
                break;
            }
            // Open (or close) the gap, then write the replacement; the
            // scan goes on after it, so it is never searched itself.
            std::memmove(text + at + replen, text + at + patlen, n - at - patlen);
            if (replen != 0) std::memcpy(text + at, rep, replen);
            n = n - patlen + replen;
            pos = at + replen;
        }
    }
    if (stop) *stop = stopped_at;
    return static_cast<uint32_t>(n);
}

}  // extern "C"
