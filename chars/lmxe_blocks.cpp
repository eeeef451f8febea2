// The DES round, one byte per bit: arrays indexed from 1 whose index 0
// holds 0. Slow and plain on purpose; the fast cipher in des_core.cpp is
// checked against these.
#include <algorithm>
#include <array>
#include <cstring>

#include "chars/des_tables.hpp"
#include "lmx.h"

using namespace tavo::des;

namespace {

using Block = std::array<uint8_t, 65>;

uint8_t bit_of(const uint32_t *words, size_t i) {  // i = 1 .. 64
    return static_cast<uint8_t>((words[(i - 1) / 32] >> (31 - (i - 1) % 32)) & 1);
}

// out[i] = in[table[i - 1]] for i = 1 .. n, through a copy so that out may
// be in.
template <size_t N>
void gather(const uint8_t *in, size_t in_bits, const std::array<uint8_t, N> &table, uint8_t *out) {
    Block copy{};
    std::memcpy(copy.data(), in, in_bits + 1);
    out[0] = 0;
    for (size_t i = 1; i <= N; ++i) out[i] = copy[table[i - 1]];
}

}  // namespace

extern "C" {

TAVO_API void lmxeltb(const uint32_t in[2], uint8_t bits[65]) noexcept {
    const uint32_t words[2] = {in[0], in[1]};
    bits[0] = 0;
    for (size_t i = 1; i <= 64; ++i) bits[i] = bit_of(words, i);
}

TAVO_API void lmxebtl(const uint8_t bits[65], uint32_t out[2]) noexcept {
    uint32_t words[2] = {0, 0};
    for (size_t i = 1; i <= 64; ++i)
        if (bits[i] != 0) words[(i - 1) / 32] |= 1u << (31 - (i - 1) % 32);
    out[0] = words[0];
    out[1] = words[1];
}

// The initial permutation scatters bit i to position IP^-1[i]; its inverse
// gathers from the same table.
TAVO_API void lmxedip(const uint8_t in[65], uint8_t out[65]) noexcept {
    Block copy;
    std::memcpy(copy.data(), in, copy.size());
    out[0] = 0;
    for (size_t i = 1; i <= 64; ++i) out[kInverseIP[i - 1]] = copy[i];
}

TAVO_API void lmxeuip(const uint8_t in[65], uint8_t out[65]) noexcept {
    gather(in, 64, kInverseIP, out);
}

TAVO_API void lmxedlr(const uint8_t in[65], uint8_t left[33], uint8_t right[33]) noexcept {
    Block copy;
    std::memcpy(copy.data(), in, copy.size());
    left[0] = right[0] = 0;
    std::memcpy(left + 1, copy.data() + 1, 32);
    std::memcpy(right + 1, copy.data() + 33, 32);
}

TAVO_API void lmxeulr(const uint8_t left[33], const uint8_t right[33], uint8_t out[65]) noexcept {
    Block joined{};
    std::memcpy(joined.data() + 1, right + 1, 32);
    std::memcpy(joined.data() + 33, left + 1, 32);
    std::memcpy(out, joined.data(), joined.size());
}

TAVO_API void lmxeswp(uint8_t left[33], uint8_t right[33]) noexcept {
    std::swap_ranges(left + 1, left + 33, right + 1);
}

TAVO_API void lmxede(const uint8_t in[33], uint8_t out[49]) noexcept {
    gather(in, 32, kExpansion, out);
}

TAVO_API void lmxesbl(int32_t box, const uint8_t in[49], uint8_t out[33]) noexcept {
    if (box < 1 || box > 8) return;
    const size_t first_in = 6 * static_cast<size_t>(box) - 5;
    const size_t first_out = 4 * static_cast<size_t>(box) - 3;
    unsigned six = 0;
    for (size_t k = 0; k < 6; ++k) six = six << 1 | (in[first_in + k] != 0 ? 1u : 0u);
    const unsigned s = sbox(box - 1, six);
    for (size_t k = 0; k < 4; ++k) out[first_out + k] = static_cast<uint8_t>((s >> (3 - k)) & 1);
}

TAVO_API void lmxedsb(const uint8_t in[49], uint8_t out[33]) noexcept {
    std::array<uint8_t, 49> copy;
    std::memcpy(copy.data(), in, copy.size());
    out[0] = 0;
    for (int32_t box = 1; box <= 8; ++box) lmxesbl(box, copy.data(), out);
}

TAVO_API void lmxedp(const uint8_t in[33], uint8_t out[33]) noexcept {
    gather(in, 32, kPermutation, out);
}

TAVO_API void lmxexor(const uint8_t *a, const uint8_t *b, uint8_t *out, uint32_t n) noexcept {
    for (size_t i = 1; i <= n; ++i) out[i] = static_cast<uint8_t>(a[i] ^ b[i]);
}

TAVO_API void lmxerot(uint8_t half[29]) noexcept {
    std::rotate(half + 1, half + 2, half + 29);
}

TAVO_API void lmxec1c(const uint8_t key[65], uint8_t c[29]) noexcept {
    gather(key, 64, kChoice1C, c);
}

TAVO_API void lmxec1d(const uint8_t key[65], uint8_t d[29]) noexcept {
    gather(key, 64, kChoice1D, d);
}

TAVO_API void lmxec2c(const uint8_t c[29], uint8_t subkey[49]) noexcept {
    subkey[0] = 0;
    for (size_t i = 1; i <= 24; ++i) subkey[i] = c[kChoice2[i - 1]];
}

TAVO_API void lmxec2d(const uint8_t d[29], uint8_t subkey[49]) noexcept {
    subkey[0] = 0;
    for (size_t i = 25; i <= 48; ++i) subkey[i] = d[kChoice2[i - 1] - 28];
}

}  // extern "C"
