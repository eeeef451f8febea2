// The fast DES. The two halves of the block travel rotated left by one bit,
// so that the six bits of E feeding each S-box sit in one byte of either the
// half or the half rotated by four: the expansion costs two rotations, and
// each S-box lookup yields its four bits already permuted by P.
#include "chars/des_core.hpp"

#include <bit>

#include "chars/des_tables.hpp"

namespace tavo::des {
namespace {

// ---- Tables derived from the standard's ------------------------------------

// sp[box][six]: S-box box on the six E bits, placed at the box's output
// bits, permuted by P and rotated left by one.
using SpTables = std::array<std::array<uint32_t, 64>, 8>;

constexpr uint32_t permute_p(uint32_t w) {
    uint32_t p = 0;
    for (int i = 1; i <= 32; ++i)
        if ((w >> (32 - kPermutation[i - 1])) & 1) p |= 1u << (32 - i);
    return p;
}

constexpr SpTables make_sp() {
    SpTables t{};
    for (int box = 0; box < 8; ++box)
        for (unsigned six = 0; six < 64; ++six) {
            const uint32_t placed = uint32_t{sbox(box, six)} << (28 - 4 * box);
            t[box][six] = std::rotl(permute_p(placed), 1);
        }
    return t;
}

constexpr SpTables kSp = make_sp();

// PC-1 by nibbles of the key: pc1[n][v] is what nibble n (key bits 4n + 1
// .. 4n + 4) with value v contributes to C (bits 55..28) and D (27..0).
using Pc1Tables = std::array<std::array<uint64_t, 16>, 16>;

constexpr Pc1Tables make_pc1() {
    Pc1Tables t{};
    for (int o = 0; o < 56; ++o) {
        const int source = (o < 28 ? kChoice1C[o] : kChoice1D[o - 28]) - 1;
        const int nibble = source / 4;
        const int bit = 3 - source % 4;
        for (unsigned v = 0; v < 16; ++v)
            if ((v >> bit) & 1) t[nibble][v] |= uint64_t{1} << (55 - o);
    }
    return t;
}

constexpr Pc1Tables kPc1 = make_pc1();

// PC-2 by 7-bit chunks of C and of D: each gives its share of the 24
// subkey bits that its half feeds.
using Pc2Tables = std::array<std::array<uint32_t, 128>, 4>;

constexpr Pc2Tables make_pc2(int first_output, int source_offset) {
    Pc2Tables t{};
    for (int o = 0; o < 24; ++o) {
        const int source = kChoice2[first_output + o] - source_offset - 1;  // 0 .. 27
        const int chunk = source / 7;
        const int bit = 6 - source % 7;
        for (unsigned v = 0; v < 128; ++v)
            if ((v >> bit) & 1) t[chunk][v] |= 1u << (23 - o);
    }
    return t;
}

constexpr Pc2Tables kPc2C = make_pc2(0, 0);
constexpr Pc2Tables kPc2D = make_pc2(24, 28);

// ---- Permutations by bit exchanges ------------------------------------------

// Exchanges the bits of a >> shift selected by mask with those of b.
inline void exchange(uint32_t &a, uint32_t &b, int shift, uint32_t mask) {
    const uint32_t t = ((a >> shift) ^ b) & mask;
    b ^= t;
    a ^= t << shift;
}

inline void ip(uint32_t &l, uint32_t &r) {
    exchange(l, r, 4, 0x0F0F0F0F);
    exchange(l, r, 16, 0x0000FFFF);
    exchange(r, l, 2, 0x33333333);
    exchange(r, l, 8, 0x00FF00FF);
    exchange(l, r, 1, 0x55555555);
}

// Each exchange is its own inverse: undo them in reverse order.
inline void fp(uint32_t &l, uint32_t &r) {
    exchange(l, r, 1, 0x55555555);
    exchange(r, l, 8, 0x00FF00FF);
    exchange(r, l, 2, 0x33333333);
    exchange(l, r, 16, 0x0000FFFF);
    exchange(l, r, 4, 0x0F0F0F0F);
}

// ---- Rounds -------------------------------------------------------------------

// The subkey of a round regrouped six bits to a byte: the odd S-boxes'
// bits (1, 3, 5, 7) in one word, the even ones' in the other, each S-box's
// six bits in the low six of its byte, S-box 1 and 2 in the top byte.
inline uint32_t odd_boxes(uint32_t w0, uint32_t w1) {
    return ((w0 >> 2) & 0x3F000000) | ((w0 << 2) & 0x003F0000) | ((w0 << 6) & 0x00003F00) |
           ((w1 >> 22) & 0x3F);
}

inline uint32_t even_boxes(uint32_t w0, uint32_t w1) {
    return ((w0 << 4) & 0x3F000000) | ((w0 << 8) & 0x003F0000) | ((w0 << 12) & 0x00003000) |
           ((w1 >> 20) & 0x00000F00) | ((w1 >> 16) & 0x3F);
}

// f(R, K) for a half held rotated left by one: its bytes hold the E bits of
// the even S-boxes, those of the half rotated right by four the odd ones'.
inline uint32_t f(uint32_t x, uint32_t k_odd, uint32_t k_even) {
    const uint32_t u = x ^ k_even;
    const uint32_t t = std::rotr(x, 4) ^ k_odd;
    return kSp[1][(u >> 24) & 63] ^ kSp[3][(u >> 16) & 63] ^ kSp[5][(u >> 8) & 63] ^
           kSp[7][u & 63] ^ kSp[0][(t >> 24) & 63] ^ kSp[2][(t >> 16) & 63] ^
           kSp[4][(t >> 8) & 63] ^ kSp[6][t & 63];
}

}  // namespace

Block initial_permutation(Block b) {
    ip(b.hi, b.lo);
    return b;
}

Block final_permutation(Block b) {
    fp(b.hi, b.lo);
    return b;
}

Schedule key_schedule(Block key, bool encrypt) {
    const uint64_t k = uint64_t{key.hi} << 32 | key.lo;
    uint64_t cd = 0;
    for (int n = 0; n < 16; ++n) cd |= kPc1[n][(k >> (60 - 4 * n)) & 0xF];
    uint32_t c = static_cast<uint32_t>(cd >> 28);
    uint32_t d = static_cast<uint32_t>(cd & 0x0FFFFFFF);

    Schedule s{};
    for (int round = 0; round < 16; ++round) {
        const int n = kRotations[round];
        c = ((c << n) | (c >> (28 - n))) & 0x0FFFFFFF;
        d = ((d << n) | (d >> (28 - n))) & 0x0FFFFFFF;
        const uint32_t kc = kPc2C[0][c >> 21] | kPc2C[1][(c >> 14) & 127] |
                            kPc2C[2][(c >> 7) & 127] | kPc2C[3][c & 127];
        const uint32_t kd = kPc2D[0][d >> 21] | kPc2D[1][(d >> 14) & 127] |
                            kPc2D[2][(d >> 7) & 127] | kPc2D[3][d & 127];
        const uint64_t k48 = uint64_t{kc} << 24 | kd;
        const int slot = encrypt ? round : 15 - round;
        s[2 * slot] = static_cast<uint32_t>(k48 >> 16);
        s[2 * slot + 1] = static_cast<uint32_t>(k48 << 16);
    }
    return s;
}

Cooked cook(const uint32_t *schedule) {
    Cooked k;
    for (int i = 0; i < 16; ++i) {
        k.odd[i] = odd_boxes(schedule[2 * i], schedule[2 * i + 1]);
        k.even[i] = even_boxes(schedule[2 * i], schedule[2 * i + 1]);
    }
    return k;
}

Block crypt_block(const Cooked &keys, Block in) {
    uint32_t l = in.hi, r = in.lo;
    ip(l, r);
    l = std::rotl(l, 1);
    r = std::rotl(r, 1);
    for (int i = 0; i < 16; i += 2) {
        l ^= f(r, keys.odd[i], keys.even[i]);
        r ^= f(l, keys.odd[i + 1], keys.even[i + 1]);
    }
    // The halves leave as (R16, L16).
    l = std::rotr(l, 1);
    r = std::rotr(r, 1);
    fp(r, l);
    return {r, l};
}

Block cbc_mac(const Cooked &keys, std::span<const uint32_t> data, Block iv) {
    Block v = iv;
    for (size_t i = 0; i + 1 < data.size(); i += 2)
        v = crypt_block(keys, {v.hi ^ data[i], v.lo ^ data[i + 1]});
    return v;
}

void ByteMac::add(std::span<const uint8_t> bytes) {
    for (const uint8_t b : bytes) {
        pending_[held_++] = b;
        if (held_ < pending_.size()) continue;
        uint32_t hi = 0, lo = 0;
        for (size_t i = 0; i < 4; ++i) {
            hi = hi << 8 | pending_[i];
            lo = lo << 8 | pending_[i + 4];
        }
        v_ = crypt_block(keys_, {v_.hi ^ hi, v_.lo ^ lo});
        held_ = 0;
    }
}

Block ByteMac::finish() {
    if (held_ != 0) {
        static constexpr std::array<uint8_t, 8> kZeros{};
        add(std::span(kZeros).first(pending_.size() - held_));
    }
    return v_;
}

}  // namespace tavo::des
