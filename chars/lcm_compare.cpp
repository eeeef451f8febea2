// Case-insensitive and blank-padded comparison.
#include <algorithm>
#include <climits>
#include <cstring>

#include "chars/case_map.hpp"
#include "chars/simd.hpp"
#include "lc.h"

using namespace tavo::chars;

namespace {

// The comparison of bytes that are known to be few: 0 when they agree but
// for case, else the difference of the first folded pair that differs.
int32_t compare_folded(const uint8_t *a, const uint8_t *b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (a[i] == b[i]) continue;
        const int32_t fa = fold_for_compare(a[i]);
        const int32_t fb = fold_for_compare(b[i]);
        if (fa != fb) return fa - fb;
    }
    return 0;
}

// The length of the prefix of whole 64-byte chunks in which a and b agree
// but for the case of ASCII letters; the chunk where it stops may hold a
// difference.
TAVO_SIMD_CLONES size_t agreeing_prefix(const uint8_t *a, const uint8_t *b, size_t n) {
    using namespace tavo::chars::simd;
    size_t i = 0;
    for (; n - i >= 2 * kWidth; i += 2 * kWidth) {
        const Bytes32 d = differ_beyond_case(load(a + i), load(b + i)) |
                          differ_beyond_case(load(a + i + kWidth), load(b + i + kWidth));
        if (any(d)) break;
    }
    return i;
}

int32_t position(size_t index) {
    return index >= static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(index + 1);
}

// The padded tail of the longer string against blanks: +k when its first
// non-blank byte is above the blank, -k when below, from the tail's view.
int32_t compare_with_blanks(const uint8_t *p, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
        if (p[i] != ' ') return p[i] > ' ' ? position(i) : -position(i);
    return 0;
}

}  // namespace

extern "C" {

TAVO_API int32_t lcmlcomp(const void *a, const void *b, uint32_t len) noexcept {
    const auto *pa = static_cast<const uint8_t *>(a);
    const auto *pb = static_cast<const uint8_t *>(b);
    constexpr size_t kChunk = 2 * tavo::chars::simd::kWidth;
    size_t i = 0;
    for (;;) {
        i += agreeing_prefix(pa + i, pb + i, len - i);
        // A chunk that may hold a difference (bytes above 0x7F ask the
        // locale), or the short tail.
        const size_t n = std::min<size_t>(len - i, kChunk);
        if (const int32_t r = compare_folded(pa + i, pb + i, n); r != 0) return r;
        if (n < kChunk) return 0;
        i += kChunk;
    }
}

TAVO_API int32_t lcslcomp(const char *a, const char *b) noexcept {
    const auto *pa = reinterpret_cast<const uint8_t *>(a);
    const auto *pb = reinterpret_cast<const uint8_t *>(b);
    for (;; ++pa, ++pb) {
        if (*pa == *pb) {
            if (*pa == 0) return 0;
            continue;
        }
        // A NUL folds to itself and so still differs: the shorter string
        // ends the walk here.
        const int32_t fa = fold_for_compare(*pa);
        const int32_t fb = fold_for_compare(*pb);
        if (fa != fb) return fa - fb;
    }
}

TAVO_API int32_t lcmcpp(const void *a, uint32_t alen, const void *b, uint32_t blen) noexcept {
    const auto *pa = static_cast<const uint8_t *>(a);
    const auto *pb = static_cast<const uint8_t *>(b);
    const size_t common = alen < blen ? alen : blen;
    for (size_t i = 0; i < common; ++i)
        if (pa[i] != pb[i]) return pa[i] > pb[i] ? position(i) : -position(i);
    if (alen > blen) return compare_with_blanks(pa, common, alen);
    return -compare_with_blanks(pb, common, blen);
}

}  // extern "C"
