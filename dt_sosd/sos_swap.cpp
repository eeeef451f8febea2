// Byte exchange between two buffers: the element swap of the sorts.
#include <cstring>

#include "sosd.h"

namespace {

// Exchanges whole chunks of Size bytes from offset i on while at least one
// remains; returns the offset reached. Buffers at least Size bytes apart
// give the same result as the byte walk: within a chunk no byte is touched
// twice, and a byte that two chunks touch is touched in the same order.
template <size_t Size>
size_t swap_chunks(unsigned char *a, unsigned char *b, size_t i, size_t n) {
    for (; n - i >= Size; i += Size) {
        unsigned char ca[Size], cb[Size];
        std::memcpy(ca, a + i, Size);
        std::memcpy(cb, b + i, Size);
        std::memcpy(a + i, cb, Size);
        std::memcpy(b + i, ca, Size);
    }
    return i;
}

}  // namespace

extern "C" TAVO_API void slcswap(void *a, void *b, uint32_t n) noexcept {
    auto *pa = static_cast<unsigned char *>(a);
    auto *pb = static_cast<unsigned char *>(b);
    const auto ua = reinterpret_cast<uintptr_t>(a);
    const auto ub = reinterpret_cast<uintptr_t>(b);
    const uintptr_t distance = ua < ub ? ub - ua : ua - ub;
    size_t i = 0;
    if (distance >= 8) i = swap_chunks<8>(pa, pb, i, n);
    if (distance >= 4) i = swap_chunks<4>(pa, pb, i, n);
    for (; i < n; ++i) {
        const unsigned char t = pa[i];
        pa[i] = pb[i];
        pb[i] = t;
    }
}
