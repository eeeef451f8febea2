// Case-insensitive and blank-padded comparison.
#include <climits>
#include <cstring>

#include "chars/case_map.hpp"
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

uint64_t load_word(const uint8_t *p) {
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Eight bytes that agree but for the case of ASCII letters need no look at
// the bytes one by one.
bool words_agree(uint64_t wa, uint64_t wb) {
    if (wa == wb) return true;
    return !has_high_byte(wa | wb) && fold_ascii_word(wa) == fold_ascii_word(wb);
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
    size_t i = 0;
    for (; len - i >= 8; i += 8) {
        if (words_agree(load_word(pa + i), load_word(pb + i))) continue;
        if (const int32_t r = compare_folded(pa + i, pb + i, 8); r != 0) return r;
    }
    return compare_folded(pa + i, pb + i, len - i);
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
