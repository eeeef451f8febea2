// Case tests and mappings of single bytes, as the C library classifies them
// in the current locale, and a fast path for the ASCII letters, whose class
// is the same in every locale.
#ifndef TAVO_CHARS_CASE_MAP_HPP
#define TAVO_CHARS_CASE_MAP_HPP

#include <cctype>
#include <cstdint>

namespace tavo::chars {

inline bool is_upper(uint8_t c) {
    return std::isupper(c) != 0;
}
inline bool is_lower(uint8_t c) {
    return std::islower(c) != 0;
}
inline bool is_alpha(uint8_t c) {
    return std::isalpha(c) != 0;
}
inline uint8_t to_lower(uint8_t c) {
    return static_cast<uint8_t>(std::tolower(c));
}
inline uint8_t to_upper(uint8_t c) {
    return static_cast<uint8_t>(std::toupper(c));
}

// The comparison fold: an upper-case byte raised by 32. ASCII bytes are
// decided here; only bytes above 0x7F ask the locale.
inline uint8_t fold_for_compare(uint8_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? static_cast<uint8_t>(c + 32) : c;
    return is_upper(c) ? static_cast<uint8_t>(c + 32) : c;
}

// Changes of case by 32, made only when the locale agrees that the letter's
// other case is 32 away (in Latin-1, the sharp s and y with diaeresis have
// no such partner and are left alone).
inline uint8_t lower_by_32(uint8_t c) {
    return is_upper(c) && to_lower(c) == c + 32 ? static_cast<uint8_t>(c + 32) : c;
}
inline uint8_t upper_by_32(uint8_t c) {
    return is_lower(c) && c >= 32 && to_upper(c) == c - 32 ? static_cast<uint8_t>(c - 32) : c;
}

// Eight ASCII bytes at once: every byte 'A'..'Z' of w raised by 32. Bytes
// with the top bit set are left alone.
inline uint64_t fold_ascii_word(uint64_t w) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    const uint64_t low7 = w & ~kHigh;
    const uint64_t at_least_a = low7 + kOnes * (0x80 - 'A');   // top bit: byte >= 'A'
    const uint64_t above_z = low7 + kOnes * (0x80 - 'Z' - 1);  // top bit: byte > 'Z'
    const uint64_t upper = at_least_a & ~above_z & ~w & kHigh;
    return w | (upper >> 2);
}

inline bool has_high_byte(uint64_t w) {
    return (w & 0x8080808080808080ull) != 0;
}

}  // namespace tavo::chars

#endif  // TAVO_CHARS_CASE_MAP_HPP
