// Tab expansion and blank compression, with tab stops every 8 columns.
#include <algorithm>
#include <array>
#include <cstring>

#include "lc.h"

namespace {

constexpr size_t kTabWidth = 8;
constexpr size_t kMaxExpansion = LCMRTBMAX;

// Expands into dst, at most kMaxExpansion bytes. The column is the count
// of bytes written so far: it is never reset, not even by a newline.
size_t expand_tabs(uint8_t *dst, const uint8_t *src, size_t len) {
    size_t w = 0;
    for (size_t i = 0; i < len && w < kMaxExpansion; ++i) {
        if (src[i] != '\t') {
            dst[w++] = src[i];
            continue;
        }
        const size_t blanks = std::min(kTabWidth - w % kTabWidth, kMaxExpansion - w);
        std::memset(dst + w, ' ', blanks);
        w += blanks;
    }
    return w;
}

bool overlaps(const void *a, size_t alen, const void *b, size_t blen) {
    const auto pa = reinterpret_cast<uintptr_t>(a);
    const auto pb = reinterpret_cast<uintptr_t>(b);
    return pa < pb + blen && pb < pa + alen;
}

bool starts_chunk(uint8_t c) {
    return c == '\n' || c == '\t' || c == '\r';
}

}  // namespace

extern "C" {

TAVO_API uint32_t lcmrtb(void *out, const void *in, uint32_t len) noexcept {
    const auto *src = static_cast<const uint8_t *>(in);
    auto *dst = static_cast<uint8_t *>(out);
    if (!overlaps(out, kMaxExpansion, in, len))
        return static_cast<uint32_t>(expand_tabs(dst, src, len));
    // Expanding in place would overwrite input not yet read: build the text
    // in a work area first.
    std::array<uint8_t, kMaxExpansion> work;
    const size_t n = expand_tabs(work.data(), src, len);
    std::memcpy(dst, work.data(), n);
    return static_cast<uint32_t>(n);
}

TAVO_API uint32_t lcmcps(void *out, const void *in, uint32_t len) noexcept {
    const auto *src = static_cast<const uint8_t *>(in);
    auto *dst = static_cast<uint8_t *>(out);
    size_t n = len;
    while (n > 0 && src[n - 1] == ' ') --n;

    // Blanks are held back until it is known whether they end a chunk (and
    // become a tab) or not; output never passes input, so out may be in.
    size_t w = 0, column = 0, pending = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t c = src[i];
        if (c == ' ') {
            ++pending;
        } else {
            std::memset(dst + w, ' ', pending);
            w += pending;
            pending = 0;
            dst[w++] = c;
            if (starts_chunk(c)) {
                column = 0;
                continue;
            }
        }
        if (++column == kTabWidth) {
            if (pending >= 2) {
                dst[w++] = '\t';
            } else if (pending == 1) {
                dst[w++] = ' ';
            }
            pending = 0;
            column = 0;
        }
    }
    return static_cast<uint32_t>(w);
}

}  // extern "C"
