// The decimal number taken apart: what every number function computes on.
//
// A number on the wire is an exponent byte, up to 20 base-100 digit bytes
// and, on a short negative number, the terminator 102. Inside, it is an
// Unpacked value: a kind, a sign, the base-100 exponent of the first digit
// and the digits 0..99 without their bias. load() accepts the three ways of
// passing a number (counted, length-prefixed, a machine integer behind a null
// pointer) and any bytes at all; emit() writes a result in either form.
#ifndef TAVO_NUMBERS_NUMBER_HPP
#define TAVO_NUMBERS_NUMBER_HPP

#include <array>
#include <cstdint>
#include <cstring>
#include <span>

#include "numbers/swar.hpp"

namespace tavo::num {

inline constexpr int kMaxDigits = 20;  // base-100 digits in a number
inline constexpr int kMaxLen = 21;     // bytes in a number
inline constexpr int kMinExp = -65;    // base-100 exponent range
inline constexpr int kMaxExp = 62;
inline constexpr uint8_t kTerminator = 102;
inline constexpr uint8_t kZeroByte = 0x80;
inline constexpr uint8_t kPosExpBase = 0xC1;  // exponent byte of 100^0, positive
inline constexpr uint8_t kNegExpBase = 0x3E;  // the same, negative (its complement)
// Room for an encoded result (encode writes whole 8-byte words).
inline constexpr int kEncodedRoom = 32;

enum class Kind : uint8_t { zero, finite, pos_inf, neg_inf };

// Digits are held one a byte in a 32-byte array, zero past the last
// significant one, so that they can be processed eight or sixteen at a
// time; the array comes first so that it is 16-byte aligned.
inline constexpr int kDigitSlots = 24;

struct alignas(16) Unpacked {
    std::array<uint8_t, 32> digit{};
    int exp = 0;    // base-100 exponent of digit[0]
    int count = 0;  // significant digits, 1..20 when finite
    Kind kind = Kind::zero;
    bool negative = false;

    bool is_zero() const { return kind == Kind::zero; }
    bool is_finite() const { return kind == Kind::finite; }
    bool is_inf() const { return kind == Kind::pos_inf || kind == Kind::neg_inf; }
    // The sign of any kind: infinities carry theirs in the kind.
    bool is_negative() const { return kind == Kind::neg_inf || (kind == Kind::finite && negative); }
};

inline Unpacked make_zero() {
    return Unpacked{};
}
inline Unpacked make_inf(bool negative) {
    Unpacked u;
    u.kind = negative ? Kind::neg_inf : Kind::pos_inf;
    u.negative = negative;
    return u;
}

// The bytes of an operand, 0..21 of them, wherever they came from.
struct Bytes {
    std::array<uint8_t, kEncodedRoom> b;
    int len = 0;
    std::span<const uint8_t> view() const { return {b.data(), static_cast<size_t>(len)}; }
};

// ---- Reading ---------------------------------------------------------------

// The counted bytes of a number argument that is not a machine integer.
// A length above 21 (or a prefix byte above 21) reads 21 bytes; a negative
// length or a prefix of 0 reads nothing.
inline std::span<const uint8_t> counted_view(const uint8_t *num, int32_t len) {
    if (len == 0) {
        const int n = num[0] > kMaxLen ? kMaxLen : num[0];
        return {num + 1, static_cast<size_t>(n)};
    }
    if (len < 0) return {};
    return {num, static_cast<size_t>(len > kMaxLen ? kMaxLen : len)};
}

Unpacked from_int(int64_t value);
Unpacked decode(std::span<const uint8_t> bytes);
// Encodes into out (kEncodedRoom bytes); returns the length, 1..21.
int encode(const Unpacked &u, uint8_t *out);

// A number argument: counted, length-prefixed, or the integer len when num
// is null.
inline Unpacked load(const uint8_t *num, int32_t len) {
    return num == nullptr ? from_int(len) : decode(counted_view(num, len));
}

// The bytes of a number argument; a machine integer is encoded first.
Bytes load_bytes(const uint8_t *num, int32_t len);

// ---- Writing ---------------------------------------------------------------

// Writes n bytes of number in the form the caller asked for.
inline void store(uint8_t *dst, uint32_t *dstlen, const uint8_t *bytes, int n) {
    if (dst == nullptr) return;
    if (dstlen != nullptr) {
        std::memmove(dst, bytes, static_cast<size_t>(n));
        *dstlen = static_cast<uint32_t>(n);
    } else {
        std::memmove(dst + 1, bytes, static_cast<size_t>(n));
        dst[0] = static_cast<uint8_t>(n);
    }
}

// Writes a number to the caller's destination.
void emit(uint8_t *dst, uint32_t *dstlen, const Unpacked &u);
// Writes a machine integer as a number.
void emit_integer(int64_t value, uint8_t *dst, uint32_t *dstlen);

// ---- Digit helpers ---------------------------------------------------------

// Builds a finite number from digits that may carry leading and trailing
// zeros (at most 20 after trimming): zeros are absorbed, an empty run or an
// exponent below the range gives zero, one above it an infinity.
Unpacked from_digits(bool negative, int exp, const uint8_t *digits, int count);

// Like from_digits for a longer run: the 21st significant digit rounds the
// 20th up when it is at least `round_from` (50 for half up, 51 for the
// rounding that counts 50 as down).
Unpacked from_long_digits(bool negative, int exp, const uint8_t *digits, int count, int round_from);

// Decimal digits before the point: 2(e + 1), one fewer when the first digit
// is below 10; negative for numbers below 0.1 (it then counts the zeros
// after the point).
inline int integer_decimal_digits(const Unpacked &u) {
    return 2 * (u.exp + 1) - (u.digit[0] < 10 ? 1 : 0);
}
// Decimal digits after the point down to the last non-zero one; negative
// for an integer ending in zeros (-3 for 1000).
inline int fraction_decimal_digits(const Unpacked &u) {
    return 2 * (u.count - u.exp - 1) - (u.digit[u.count - 1] % 10 == 0 ? 1 : 0);
}

// Magnitude comparison of two finite numbers: <0, 0, >0.
int compare_magnitude(const Unpacked &a, const Unpacked &b);

// Writes the number made of the digits d[0 .. n) (d[0] has exponent exp,
// leading zeros allowed, d zero past n, n <= 32) to the caller: leading
// zeros are absorbed, the 21st significant digit rounds the 20th up when it
// is at least round_from, trailing zeros drop, the exponent range gives zero
// or an infinity.
void emit_digits(bool negative, int exp, const swar::Run &d, int n, int round_from, uint8_t *dst,
                 uint32_t *dstlen);

// ---- Operations on unpacked numbers, shared by the whole subsystem ----------

// The same operations writing their result to the caller's destination:
// what the exported functions use.
void add_into(const Unpacked &a, const Unpacked &b, bool subtract, uint8_t *dst, uint32_t *dstlen);
void multiply_into(const Unpacked &a, const Unpacked &b, uint8_t *dst, uint32_t *dstlen);
void divide_into(const Unpacked &a, const Unpacked &b, uint8_t *dst, uint32_t *dstlen);

// Runs an operation that writes to a destination and reads its result back.
template <typename Op>
Unpacked computed(Op op) {
    uint8_t out[kMaxLen];
    uint32_t len = 0;
    op(out, &len);
    return decode({out, len});
}

Unpacked add(const Unpacked &a, const Unpacked &b, bool subtract);
Unpacked multiply(const Unpacked &a, const Unpacked &b);
Unpacked divide(const Unpacked &a, const Unpacked &b);
Unpacked remainder(const Unpacked &a, const Unpacked &b);
Unpacked negate(Unpacked u);
Unpacked round_places(const Unpacked &u, int64_t places, bool truncate);
Unpacked round_significant(const Unpacked &u, int64_t digits);

}  // namespace tavo::num

#endif  // TAVO_NUMBERS_NUMBER_HPP
