// Bit vectors, least significant bit first: bit i is bit i mod 8 of byte
// i / 8.
#include "lc.h"

namespace {

size_t bytes_for(uint32_t nbits) {
    return (size_t{nbits} + 7) / 8;
}

bool bit_at(const uint8_t *bits, size_t i) {
    return (bits[i / 8] >> (i % 8)) & 1;
}

}  // namespace

extern "C" {

TAVO_API void lcbvu(uint8_t *out, const uint8_t *bits, uint32_t nbits, uint8_t mask) noexcept {
    for (size_t i = 0; i < nbits; ++i)
        out[i] = bit_at(bits, i) ? static_cast<uint8_t>(out[i] | mask)
                                 : static_cast<uint8_t>(out[i] & ~mask);
}

TAVO_API void lcbvpk(uint8_t *bits, const uint8_t *in, uint32_t nbits, uint8_t mask) noexcept {
    const size_t whole = nbits / 8;
    for (size_t b = 0; b < whole; ++b) {
        uint8_t v = 0;
        for (unsigned k = 0; k < 8; ++k)
            if (in[b * 8 + k] & mask) v = static_cast<uint8_t>(v | 1u << k);
        bits[b] = v;
    }
    if (const unsigned rest = nbits % 8; rest != 0) {
        // The high bits of a final partial byte are not part of the vector.
        uint8_t v = static_cast<uint8_t>(bits[whole] & (0xFFu << rest));
        for (unsigned k = 0; k < rest; ++k)
            if (in[whole * 8 + k] & mask) v = static_cast<uint8_t>(v | 1u << k);
        bits[whole] = v;
    }
}

TAVO_API void lcbvcp(uint8_t *out, const uint8_t *in, uint32_t offset, uint32_t nbits) noexcept {
    if (nbits == 0) return;
    const size_t b = offset / 8;
    const unsigned s = offset % 8;
    const size_t n = bytes_for(nbits);
    // The last byte of in that holds a requested bit: nothing past it is
    // read.
    const size_t last = (size_t{offset} + nbits - 1) / 8;
    for (size_t i = 0; i < n; ++i) {
        unsigned v = in[b + i] >> s;
        if (s != 0 && b + i + 1 <= last) v |= unsigned{in[b + i + 1]} << (8 - s);
        out[i] = static_cast<uint8_t>(v);
    }
}

TAVO_API void lcbvo(uint8_t *out, const uint8_t *a, const uint8_t *b, uint32_t nbits) noexcept {
    for (size_t i = 0, n = bytes_for(nbits); i < n; ++i) out[i] = static_cast<uint8_t>(a[i] | b[i]);
}

TAVO_API void lcbvx(uint8_t *out, const uint8_t *a, const uint8_t *b, uint32_t nbits) noexcept {
    for (size_t i = 0, n = bytes_for(nbits); i < n; ++i) out[i] = static_cast<uint8_t>(a[i] ^ b[i]);
}

}  // extern "C"
