// Portable 32-byte vectors (GCC vector extensions) for the byte loops that
// must keep pace with the C library's. A kernel marked TAVO_SIMD_CLONES is
// compiled twice on x86-64, for AVX2 and for the baseline (SSE2, where each
// vector operation becomes two), and the loader picks the one the
// processor runs.
#ifndef TAVO_CHARS_SIMD_HPP
#define TAVO_CHARS_SIMD_HPP

#include <cstdint>
#include <cstring>

// An attribute cannot be a function; this is the one macro.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define TAVO_SIMD_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TAVO_SIMD_CLONES
#endif

// The helpers below take and return vectors, whose passing differs between
// AVX and the baseline; they are always inlined, each into the clone that
// uses it, so no vector ever crosses a call and GCC's warning about that
// passing is moot in the files that use them.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace tavo::chars::simd {

inline constexpr size_t kWidth = 32;

typedef uint8_t Bytes32 __attribute__((vector_size(kWidth)));
typedef uint64_t Words4 __attribute__((vector_size(kWidth)));

[[gnu::always_inline]] inline Bytes32 load(const uint8_t *p) {
    Bytes32 v;
    std::memcpy(&v, p, kWidth);
    return v;
}

[[gnu::always_inline]] inline Bytes32 splat(uint8_t c) {
    return Bytes32{} + c;
}

// True when any byte of v is non-zero.
[[gnu::always_inline]] inline bool any(Bytes32 v) {
    Words4 w;
    std::memcpy(&w, &v, kWidth);
    return (w[0] | w[1] | w[2] | w[3]) != 0;
}

// A comparison's mask (signed bytes, 0 or -1) as bytes.
template <typename Mask>
[[gnu::always_inline]] inline Bytes32 as_bytes(Mask m) {
    static_assert(sizeof m == kWidth);
    Bytes32 v;
    std::memcpy(&v, &m, kWidth);
    return v;
}

// 0xFF in each byte where the comparison holds, else 0.
[[gnu::always_inline]] inline Bytes32 equal(Bytes32 a, Bytes32 b) {
    return as_bytes(a == b);
}

// Bytes where a and b differ other than by the case of an ASCII letter: a
// letter's two cases differ in bit 0x20 alone.
[[gnu::always_inline]] inline Bytes32 differ_beyond_case(Bytes32 a, Bytes32 b) {
    const Bytes32 letter = as_bytes((a | splat(0x20)) - splat('a') < splat(26));
    return (a ^ b) & ~(letter & splat(0x20));
}

}  // namespace tavo::chars::simd

#endif  // TAVO_CHARS_SIMD_HPP
