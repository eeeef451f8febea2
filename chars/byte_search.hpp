// Substring search over counted bytes, linear in the text and pattern
// lengths whatever their contents, with no allocation.
#ifndef TAVO_CHARS_BYTE_SEARCH_HPP
#define TAVO_CHARS_BYTE_SEARCH_HPP

#include <cstddef>
#include <cstdint>

namespace tavo::chars {

// Offset of the first occurrence of pat (m bytes, m >= 1) in text (n bytes),
// or n when there is none.
size_t find_bytes(const uint8_t *text, size_t n, const uint8_t *pat, size_t m);

// The same by two-way matching alone (m >= 2): what find_bytes falls back
// on when candidates grow too many.
size_t two_way_find(const uint8_t *text, size_t n, const uint8_t *pat, size_t m);

}  // namespace tavo::chars

#endif  // TAVO_CHARS_BYTE_SEARCH_HPP
