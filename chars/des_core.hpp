// The fast DES: whole words, combined S-box and P tables, permutations by
// bit exchanges. It works on the same key schedule format as the exported
// routines and gives the results of the bit-at-a-time building blocks.
#ifndef TAVO_CHARS_DES_CORE_HPP
#define TAVO_CHARS_DES_CORE_HPP

#include <array>
#include <cstdint>
#include <span>

namespace tavo::des {

// A block or key: word 0 holds bits 1..32 (bit 1 most significant), word 1
// bits 33..64.
struct Block {
    uint32_t hi;
    uint32_t lo;
};

// The key schedule as stored: 16 pairs, each 48-bit subkey in bits 1..48.
using Schedule = std::array<uint32_t, 32>;

// The schedule rearranged for the round function: per round, the subkey
// bits of the odd S-boxes and of the even S-boxes, six to a byte.
struct Cooked {
    std::array<uint32_t, 16> odd;
    std::array<uint32_t, 16> even;
};

Schedule key_schedule(Block key, bool encrypt);
Cooked cook(const uint32_t *schedule);
Block crypt_block(const Cooked &keys, Block in);
// v = DES(v xor block) over the pairs of words of data; an odd last word
// is ignored.
Block cbc_mac(const Cooked &keys, std::span<const uint32_t> data, Block iv);

// A CBC checksum over bytes fed in pieces, each 8 bytes making a block of
// two words, the first byte most significant; finish() pads the last block
// with zero bytes. Text of any length goes through in constant space.
class ByteMac {
  public:
    ByteMac(const Cooked &keys, Block iv) : keys_(keys), v_(iv) {}
    void add(std::span<const uint8_t> bytes);
    Block finish();

  private:
    const Cooked &keys_;
    Block v_;
    std::array<uint8_t, 8> pending_{};
    size_t held_ = 0;  // bytes of pending_ in use
};

// The permutations alone, for tests: the initial permutation maps a block
// to its two halves, the inverse maps (R16, L16) back to a block.
Block initial_permutation(Block b);
Block final_permutation(Block b);

}  // namespace tavo::des

#endif  // TAVO_CHARS_DES_CORE_HPP
