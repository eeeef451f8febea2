// Byte-for-byte translation of counted buffers: ASCII and EBCDIC, and case.
#include <array>
#include <cstring>

#include "chars/case_map.hpp"
#include "chars/ebcdic.hpp"
#include "lc.h"

using namespace tavo::chars;

namespace {

using ByteTable = std::array<uint8_t, 256>;

constexpr ByteTable inverse(const ByteTable &t) {
    ByteTable inv{};
    for (int i = 0; i < 256; ++i) inv[t[i]] = static_cast<uint8_t>(i);
    return inv;
}

constexpr bool is_permutation(const ByteTable &t) {
    std::array<bool, 256> seen{};
    for (uint8_t v : t) {
        if (seen[v]) return false;
        seen[v] = true;
    }
    return true;
}

static_assert(is_permutation(kAsciiToEbcdic), "the EBCDIC table must be invertible");
constexpr ByteTable kEbcdicToAscii = inverse(kAsciiToEbcdic);

// Maps len bytes from in to out through map. An input that starts below
// the output and reaches into it would be overwritten before it is read, so
// it is first moved to the output and mapped there.
template <typename Map>
void *map_bytes(void *out, const void *in, uint32_t len, Map map) {
    auto *dst = static_cast<uint8_t *>(out);
    const auto *src = static_cast<const uint8_t *>(in);
    const auto s = reinterpret_cast<uintptr_t>(src);
    const auto d = reinterpret_cast<uintptr_t>(dst);
    if (s < d && d - s < len) {
        std::memmove(dst, src, len);
        src = dst;
    }
    for (uint32_t i = 0; i < len; ++i) dst[i] = map(src[i]);
    return out;
}

}  // namespace

extern "C" {

TAVO_API void *lcma2e(void *out, const void *in, uint32_t len) noexcept {
    return map_bytes(out, in, len, [](uint8_t c) { return kAsciiToEbcdic[c]; });
}

TAVO_API void *lcme2a(void *out, const void *in, uint32_t len) noexcept {
    return map_bytes(out, in, len, [](uint8_t c) { return kEbcdicToAscii[c]; });
}

TAVO_API void *lcmlo(void *out, const void *in, uint32_t len) noexcept {
    return map_bytes(out, in, len, to_lower);
}

TAVO_API void *lcmup(void *out, const void *in, uint32_t len) noexcept {
    return map_bytes(out, in, len, to_upper);
}

}  // extern "C"
