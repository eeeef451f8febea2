// Byte-string comparison: the order of numbers and of raw keys.
#include <bit>
#include <climits>
#include <cstring>

#include "lmx.h"

namespace {

// Index of the first differing byte in [0, n), or n when the ranges agree.
// Eight bytes at a time: the lowest set byte of the XOR (little-endian
// loads) is the first difference.
uint32_t first_difference(const uint8_t *a, const uint8_t *b, uint32_t n) {
    uint32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t wa, wb;
        std::memcpy(&wa, a + i, 8);
        std::memcpy(&wb, b + i, 8);
        if (const uint64_t x = wa ^ wb; x != 0) {
            if constexpr (std::endian::native == std::endian::little)
                return i + static_cast<uint32_t>(std::countr_zero(x) / 8);
            else
                return i + static_cast<uint32_t>(std::countl_zero(x) / 8);
        }
    }
    while (i < n && a[i] == b[i]) ++i;
    return i;
}

int32_t position(uint32_t index) {
    return index >= static_cast<uint32_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(index + 1);
}

}  // namespace

extern "C" TAVO_API int32_t lmxcmp(const void *a, uint32_t alen, const void *b,
                                   uint32_t blen) noexcept {
    const auto *pa = static_cast<const uint8_t *>(a);
    const auto *pb = static_cast<const uint8_t *>(b);
    const uint32_t shorter = alen < blen ? alen : blen;
    const uint32_t i = first_difference(pa, pb, shorter);
    if (i < shorter) return pa[i] > pb[i] ? position(i) : -position(i);
    if (alen == blen) return 0;
    // A proper prefix sorts first; the count is one past the shorter length.
    return alen > blen ? position(shorter) : -position(shorter);
}
