// Integers to and from text in bases 2 to 36, fixed-width hexadecimal, a
// double in exponent notation, and the small odds and ends of the family.
#include <array>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "lmx.h"

namespace {

constexpr char kLowerDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr uint32_t kMaxBase = 36;

int32_t integer_to_text(char *out, int32_t value, int32_t base) {
    // A positive base reads the value's 32 bits unsigned; zero or a negative
    // base means signed, its magnitude the base.
    const bool is_signed = base <= 0;
    const uint32_t radix = base == 0  ? 10u
                           : base < 0 ? 0u - static_cast<uint32_t>(base)
                                      : static_cast<uint32_t>(base);
    if (radix < 2 || radix > kMaxBase) return 0;
    const bool negative = is_signed && value < 0;
    uint32_t magnitude = static_cast<uint32_t>(value);
    if (negative) magnitude = 0u - magnitude;

    std::array<char, 32> scratch;  // least significant digit first
    size_t n = 0;
    do {
        scratch[n++] = kLowerDigits[magnitude % radix];
        magnitude /= radix;
    } while (magnitude != 0);

    size_t w = 0;
    if (negative) out[w++] = '-';
    while (n > 0) out[w++] = scratch[--n];
    return static_cast<int32_t>(w);
}

// The value of c as a digit in any base up to 36, or 36 for a non-digit.
uint32_t digit_value(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return kMaxBase;
}

// Leading white space: the C library's space class, character by character
// over multibyte characters when the locale has them.
size_t skip_space(const char *text, size_t len) {
    size_t i = 0;
    if (MB_CUR_MAX == 1) {
        while (i < len && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        return i;
    }
    std::mbstate_t state{};
    while (i < len) {
        wchar_t wc;
        const size_t k = std::mbrtowc(&wc, text + i, len - i, &state);
        if (k == 0 || k > len - i || !std::iswspace(static_cast<wint_t>(wc))) break;
        i += k;
    }
    return i;
}

int32_t text_to_integer(const char *text, uint32_t len, int32_t *value, int32_t base) {
    const auto *s = reinterpret_cast<const unsigned char *>(text);
    size_t i = text == nullptr ? len : skip_space(text, len);
    bool negative = false;
    if (i < len && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    if (base == 0) base = 10;
    if (base == 16 && len - i >= 2 && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) i += 2;

    // A base outside 2..36 is taken as it is: no digit is below a base
    // under 1, only 0 is below 1, and every letter is below a larger one.
    uint32_t v = 0;
    const size_t first_digit = i;
    for (; i < len; ++i) {
        const uint32_t d = digit_value(s[i]);
        if (d == kMaxBase || static_cast<int64_t>(d) >= base) break;
        v = v * static_cast<uint32_t>(base) + d;  // wraps modulo 2^32
    }
    const bool any_digit = i > first_digit;
    if (negative) v = 0u - v;
    if (value) *value = any_digit ? static_cast<int32_t>(v) : 0;
    return any_digit ? static_cast<int32_t>(i > INT32_MAX ? INT32_MAX : i) : 0;
}

bool is_prime_odd(uint32_t c) {
    for (uint64_t d = 3; d * d <= c; d += 2)
        if (c % d == 0) return false;
    return true;
}

constexpr uint32_t kLargestPrime = 4294967291u;  // the largest prime below 2^32
constexpr char kVersion[] = "TAVO Version 3.4.2.2.2 - Production";
static_assert(sizeof kVersion == LMXVERLEN);

}  // namespace

extern "C" {

TAVO_API int32_t lmx42b(char *out, int32_t value, int32_t base) noexcept {
    return integer_to_text(out, value, base);
}

TAVO_API int32_t lmxw2b(char *out, int32_t value, int32_t base) noexcept {
    return integer_to_text(out, value, base);
}

TAVO_API uint32_t lmx42h(char *out, uint32_t value, uint32_t n) noexcept {
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t shift = 4 * (n - 1 - i);  // the digit's place
        out[i] = shift < 32 ? kUpperHex[(value >> shift) & 0xF] : '0';
    }
    return n;
}

TAVO_API int32_t lmxb24(const char *text, uint32_t len, int32_t *value, int32_t base) noexcept {
    return text_to_integer(text, len, value, base);
}

TAVO_API int32_t lmxb2w(const char *text, uint32_t len, int32_t *value, int32_t base) noexcept {
    return text_to_integer(text, len, value, base);
}

TAVO_API int32_t lmxd2e(char *out, double value, int32_t a, int32_t b) noexcept {
    const int64_t p = int64_t{a} + b - 1;
    const int precision = p < 0 ? 0 : p > 14 ? 14 : static_cast<int>(p);
    // "-d.<precision digits>e-ddd" and the NUL; a longer text (a locale
    // whose decimal point takes several bytes) is cut to that room.
    const int room = precision + 9;
    const int written = std::snprintf(out, static_cast<size_t>(room), "%.*e", precision, value);
    return written < 0 ? 0 : written < room ? written : room - 1;
}

TAVO_API void lmxclr(void *buf, uint32_t n) noexcept {
    if (n != 0) std::memset(buf, 0, n);
}

TAVO_API uint32_t lmxprim(uint32_t value) noexcept {
    if (value < 3) return 3;
    if (value > kLargestPrime) return 0;  // no 32-bit prime lies above it
    uint32_t c = value | 1u;
    while (!is_prime_odd(c)) c += 2;
    return c;
}

TAVO_API int32_t lmxver(char *buf, uint32_t size) noexcept {
    if (buf == nullptr || size < LMXVERLEN) return 0;
    std::memcpy(buf, kVersion, LMXVERLEN);
    return LMXVERLEN;
}

}  // extern "C"
