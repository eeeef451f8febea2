// DES on 64-bit blocks as two words, its key schedule, the CBC checksum and
// the hexadecimal form of a block.
#include <span>

#include "chars/des_core.hpp"
#include "lmx.h"

using namespace tavo::des;

namespace {

uint32_t hex_digit(char c) {
    if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
    return 0;
}

constexpr char kHex[] = "0123456789ABCDEF";

}  // namespace

extern "C" {

TAVO_API void lmxegks(const uint32_t key[2], uint32_t schedule[LMXESCHED],
                      int32_t encrypt) noexcept {
    const Schedule s = key_schedule({key[0], key[1]}, encrypt != 0);
    for (size_t i = 0; i < s.size(); ++i) schedule[i] = s[i];
}

TAVO_API void lmxeecb(const uint32_t schedule[LMXESCHED], const uint32_t in[2],
                      uint32_t out[2]) noexcept {
    const Block b = crypt_block(cook(schedule), {in[0], in[1]});
    out[0] = b.hi;
    out[1] = b.lo;
}

TAVO_API void lmxechk(const uint32_t schedule[LMXESCHED], const uint32_t *data, uint32_t nwords,
                      const uint32_t iv[2], uint32_t out[2]) noexcept {
    const std::span<const uint32_t> words(data, data == nullptr ? 0 : nwords);
    const Block v = cbc_mac(cook(schedule), words, {iv[0], iv[1]});
    out[0] = v.hi;
    out[1] = v.lo;
}

TAVO_API void lmxehtl(const char *hex, uint32_t out[2]) noexcept {
    uint32_t words[2] = {0, 0};
    bool ended = false;  // a NUL ends the text; the missing digits are 0
    for (size_t i = 0; i < 16; ++i) {
        ended = ended || hex[i] == '\0';
        words[i / 8] = words[i / 8] << 4 | (ended ? 0 : hex_digit(hex[i]));
    }
    out[0] = words[0];
    out[1] = words[1];
}

TAVO_API void lmxelth(const uint32_t in[2], char *hex) noexcept {
    const uint32_t words[2] = {in[0], in[1]};
    for (size_t i = 0; i < 16; ++i) hex[i] = kHex[(words[i / 8] >> (28 - 4 * (i % 8))) & 0xF];
    hex[16] = '\0';
}

}  // extern "C"
