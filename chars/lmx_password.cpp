// The password verifier: the user name and then the password, two bytes a
// character, go through a DES CBC checksum under a fixed key, and again
// under that checksum as the key; the second checksum, in hexadecimal, is
// the verifier.
//
// The texts are converted piece by piece straight into the checksum, once
// for each pass, so names and passwords of any length take the same small
// stack and no allocation. The bytes are those of one conversion of each
// whole text: pieces end between characters.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "chars/des_core.hpp"
#include "lmx.h"
#include "lx.h"

namespace tavo::chars {
namespace {

using des::Block;

// Key 1. Key 2 is the checksum made under key 1.
constexpr char kFirstKey[] = "5C1E0A93D47B2F68";

// Converted bytes handed to the checksum at a time.
constexpr uint32_t kPieceBytes = 256;

// Input bytes offered to one conversion. Every character gives at least two
// bytes and takes at most four, so a piece is full before the conversion
// reaches a character that this window could cut short. The window also
// stays below LXNUL, the length that would mean "up to the NUL".
constexpr uint32_t kMaxCharBytes = 4;
constexpr uint32_t kInputWindow = 1024;
static_assert(kInputWindow >= (kPieceBytes / 2 + 1) * kMaxCharBytes);
static_assert(kInputWindow < LXNUL);

using Conversion = uint32_t (*)(void *, uint32_t, const void *, uint32_t, lxwork *) noexcept;

struct Text {
    const uint8_t *bytes;
    uint32_t len;
};

struct Credentials {
    Text user;
    Text password;
};

// Adds the two-byte form of text to the checksum. False when the conversion
// refuses or stops making progress, which a bound work area never does.
bool add_converted(des::ByteMac &mac, Text text, Conversion convert, lxwork &w) {
    std::array<uint8_t, kPieceBytes> piece;
    uint32_t done = 0;
    while (done < text.len) {
        const uint32_t window = std::min(text.len - done, kInputWindow);
        const uint32_t n = convert(piece.data(), kPieceBytes, text.bytes + done, window, &w);
        if ((w.status != LXS_OK && w.status != LXS_FULL) || w.consumed == 0 ||
            w.consumed > window || n > kPieceBytes)
            return false;
        mac.add(std::span(piece).first(n));
        done += w.consumed;
    }
    return true;
}

// The CBC checksum, initial value 0, of the user name's bytes followed by
// the password's, zero-padded to whole blocks.
std::optional<Block> checksum(Block key, const Credentials &c, Conversion convert, lxwork &w) {
    const des::Schedule schedule = des::key_schedule(key, true);
    const des::Cooked keys = des::cook(schedule.data());
    des::ByteMac mac(keys, {0, 0});
    if (!add_converted(mac, c.user, convert, w) || !add_converted(mac, c.password, convert, w))
        return std::nullopt;
    return mac.finish();
}

std::optional<Block> verifier(const Credentials &c, Conversion convert, lxwork &w) {
    uint32_t first_key[2];
    lmxehtl(kFirstKey, first_key);
    const std::optional<Block> key2 = checksum({first_key[0], first_key[1]}, c, convert, w);
    if (!key2) return std::nullopt;
    return checksum(*key2, c, convert, w);
}

int32_t password_verifier(char *out, const char *password, uint32_t password_len, const char *user,
                          uint32_t user_len, const lxlinfo *lang, bool upper) {
    if (out == nullptr || (password == nullptr && password_len != 0) ||
        (user == nullptr && user_len != 0))
        return 0;
    // A null record is the default language, as everywhere; a record that
    // is not filled has no environment.
    const lxenv *env = lxenvget(lang);
    lxwork w;
    if (env == nullptr || lxwbind(&w, env) != LXS_OK) return 0;
    const Credentials c{{reinterpret_cast<const uint8_t *>(user), user_len},
                        {reinterpret_cast<const uint8_t *>(password), password_len}};
    const std::optional<Block> v = verifier(c, upper ? lxtou16up : lxtou16, w);
    lxwfree(&w);
    if (!v) return 0;
    const uint32_t words[2] = {v->hi, v->lo};
    lmxelth(words, out);
    return 16;
}

}  // namespace
}  // namespace tavo::chars

extern "C" {

TAVO_API int32_t lmxepw(char *out, void * /*unused*/, const char *password, uint32_t password_len,
                        const char *user, uint32_t user_len, const lxlinfo *lang,
                        int32_t mode) noexcept {
    return tavo::chars::password_verifier(out, password, password_len, user, user_len, lang,
                                          mode == 1);
}

TAVO_API int32_t lmxepwe(char *out, void * /*unused*/, const char *password, uint32_t password_len,
                         const char *user, uint32_t user_len, const lxlinfo *lang) noexcept {
    return tavo::chars::password_verifier(out, password, password_len, user, user_len, lang, true);
}

}  // extern "C"
