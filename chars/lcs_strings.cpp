// NUL-terminated strings: case, capitalisation, padding, justification and
// concatenation; and the small leftovers of the family.
#include <cstdarg>
#include <cstring>

#include "chars/case_map.hpp"
#include "lc.h"

using namespace tavo::chars;

namespace {

template <typename Map>
char *map_string(char *out, const char *in, Map map) {
    size_t i = 0;
    for (; in[i] != '\0'; ++i) out[i] = static_cast<char>(map(static_cast<uint8_t>(in[i])));
    out[i] = '\0';
    return out;
}

// Length of s, looking no further than limit bytes.
size_t bounded_length(const char *s, size_t limit) {
    size_t n = 0;
    while (n < limit && s[n] != '\0') ++n;
    return n;
}

}  // namespace

TAVO_API extern const char lcunulstr[] = "";

extern "C" {

TAVO_API void lcunoop(void) noexcept {}

TAVO_API char *lcslo(char *out, const char *in) noexcept {
    return map_string(out, in, lower_by_32);
}

TAVO_API char *lcsup(char *out, const char *in) noexcept {
    return map_string(out, in, upper_by_32);
}

TAVO_API char *lcscp(char *out, const char *in) noexcept {
    bool in_word = false;
    return map_string(out, in, [&in_word](uint8_t c) {
        const bool letter = is_alpha(c);
        const uint8_t mapped = letter && !in_word ? upper_by_32(c) : c;
        in_word = letter;
        return mapped;
    });
}

TAVO_API char *lcspd(char *out, const char *in, uint32_t width, char pad) noexcept {
    const size_t n = std::strlen(in);
    std::memmove(out, in, n + 1);
    if (n < width) {
        std::memset(out + n, pad, width - n);
        out[width] = '\0';
    }
    return out;
}

TAVO_API char *lcsrj(char *out, const char *in, uint32_t width, char pad) noexcept {
    const size_t n = bounded_length(in, width);
    std::memmove(out + (width - n), in, n);
    std::memset(out, pad, width - n);
    out[width] = '\0';
    return out;
}

TAVO_API char *lcscpn(char *out, ...) noexcept {
    char *p = out;
    va_list args;
    va_start(args, out);
    while (const char *s = va_arg(args, const char *)) {
        while (*s != '\0') *p++ = *s++;
    }
    va_end(args);
    *p = '\0';
    return p;
}

TAVO_API void lcsap(char **pos, const char *end, ...) noexcept {
    if (pos == nullptr || *pos == nullptr || *pos >= end) return;
    char *p = *pos;
    const char *last = end - 1;  // kept for the NUL
    va_list args;
    va_start(args, end);
    while (const char *s = va_arg(args, const char *)) {
        while (*s != '\0' && p < last) *p++ = *s++;
        if (*s != '\0') break;  // out of room: the text is cut here
    }
    va_end(args);
    *p = '\0';
    *pos = p;
}

}  // extern "C"
