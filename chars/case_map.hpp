// Case tests and mappings of single bytes, as the C library classifies them
// in the current locale. The ASCII letters are the same in every locale, so
// they need not ask it.
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

}  // namespace tavo::chars

#endif  // TAVO_CHARS_CASE_MAP_HPP
