// Conversions between numbers and binary floating point.
//
// Both directions follow a fixed recipe (scale by powers of 100, peel off
// base-100 digits, round to the type's decimal precision) rather than an
// exact conversion: stored numbers were made this way, and the same double
// must keep giving the same number.
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "lnx.h"
#include "numbers/digit_vectors.hpp"
#include "numbers/number.hpp"
#include "numbers/whole.hpp"

using namespace tavo::num;

namespace {

struct FloatTraits {
    int precision;       // significant decimal digits kept
    int low_exponent;    // smallest decimal exponent of the type
    int base100_digits;  // digits peeled off before rounding
};

constexpr FloatTraits kDouble{15, -307, 9};
constexpr int kPowerRange = 80;  // 100^-80 .. 100^80
constexpr int kTensRange = 320;  // 10^-320 .. 10^321
constexpr FloatTraits kFloat{6, -37, 5};

// Peels base-100 digits off y (1 <= y < 100): each but the last is the
// integer part, the rest scaled by 100; the last is rounded by adding 0.1.
// A last digit of 100 carries upward. Returns the exponent adjustment (1
// when the carry leaves the first digit).
int peel_digits(double y, uint8_t *digits, int count) {
    for (int i = 0; i < count - 1; ++i) {
        // y is in [0, 100): truncation is the floor, without a library call.
        const auto whole = static_cast<double>(static_cast<int64_t>(y));
        digits[i] = static_cast<uint8_t>(whole);
        y = (y - whole) * 100.0;
        if (y < 0) y += 100.0;
    }
    int last = static_cast<int>(y + 0.1);
    int i = count - 1;
    while (last >= 100) {
        digits[i] = static_cast<uint8_t>(last - 100);
        if (i == 0) {
            // The carry leaves the first digit: a leading 1, the rest zeros.
            std::memmove(digits + 1, digits, static_cast<size_t>(count - 1));
            digits[0] = 1;
            return 1;
        }
        --i;
        last = digits[i] + 1;
    }
    digits[i] = static_cast<uint8_t>(last);
    return 0;
}

// The nine digits peel_digits gives for a double, as one integer (10^18
// when the last digit's carry leaves the first).
//
// Every step at least quadruples the granularity of y (100 = 4 x 25, and a
// rounded product is coarser still), so after three steps y is a multiple
// of 2^-46 below 100: from there on every product is exact, and the next
// five digits are those of an integer, computed at once rather than by a
// chain of dependent floating-point steps.
uint64_t peel_double_digits(double y) {
    uint64_t prefix = 0;
    for (int i = 0; i < 3; ++i) {
        const auto whole = static_cast<double>(static_cast<int64_t>(y));
        prefix = prefix * 100 + static_cast<uint64_t>(whole);
        y = (y - whole) * 100.0;
    }
    const auto whole = static_cast<uint64_t>(y);
    prefix = prefix * 100 + whole;
    // y - whole = fraction 2^-46; the five digits after it are those of
    // fraction 10^10 2^-46, the last rounded from its exact remainder.
    const auto fraction = static_cast<uint64_t>((y - static_cast<double>(whole)) * 0x1p46);
    const unsigned __int128 scaled = static_cast<unsigned __int128>(fraction) * 10000000000;
    const auto high = static_cast<uint64_t>(scaled >> 46);
    const uint64_t low = static_cast<uint64_t>(scaled) & ((uint64_t{1} << 46) - 1);
    const uint64_t last_whole = high % 100;
    const double last_y = static_cast<double>((last_whole << 46) | low) * 0x1p-46;
    const auto last = static_cast<uint64_t>(last_y + 0.1);
    return prefix * 10000000000 + (high - last_whole) + last;  // a last 100 carries itself
}

// 100^n as std::pow gives it, for the exponents the conversion uses.
double power_of_100(int n) {
    static const auto kTable = [] {
        std::array<double, 2 * kPowerRange + 1> t{};
        for (int i = -kPowerRange; i <= kPowerRange; ++i) t[i + kPowerRange] = std::pow(100.0, i);
        return t;
    }();
    return n >= -kPowerRange && n <= kPowerRange ? kTable[n + kPowerRange] : std::pow(100.0, n);
}

// log10(x) rounded to single precision and truncated toward zero, for a
// positive finite x. Away from the powers of ten that is the decimal
// exponent found by comparisons; within 1e-4 of one (where rounding log10
// to a float can reach the integer) it is computed as stated.
int decimal_exponent(double x) {
    static const auto kTens = [] {
        std::array<double, 2 * kTensRange + 2> t{};
        for (int i = -kTensRange; i <= kTensRange + 1; ++i) t[i + kTensRange] = std::pow(10.0, i);
        return t;
    }();
    // floor(log10 x) is within one of (binary - 1) log10 2, binary the
    // exponent frexp would give; a subnormal's estimate is far off, which
    // the window below sends to log10.
    uint64_t bits;
    std::memcpy(&bits, &x, 8);
    const int binary = static_cast<int>((bits >> 52) & 0x7FF) - 1022;
    int d = ((binary - 1) * 1233) >> 12;
    if (d < -kTensRange || d >= kTensRange)
        return static_cast<int>(static_cast<float>(std::log10(x)));
    if (x < kTens[d + kTensRange])
        --d;
    else if (x >= kTens[d + 1 + kTensRange])
        ++d;
    if (d < -kTensRange || d >= kTensRange || x < kTens[d + kTensRange] * 1.0001 ||
        x > kTens[d + 1 + kTensRange] * 0.9999)
        return static_cast<int>(static_cast<float>(std::log10(x)));
    return x >= 1.0 ? d : d + 1;  // truncation toward zero of a fraction
}

// ---- Writing fifteen significant digits -------------------------------------

// A double's digits rounded to 15 significant digits, as the integer of
// their first 16 decimal places (eight base-100 digits, the ninth being
// zero): 10^14 <= m < 10^16.
constexpr uint64_t kTen8 = 100000000;
constexpr uint64_t kTen14 = 100000000000000;
constexpr uint64_t kTen16 = 10000000000000000;

// Writes the number of eight base-100 digits m at base-100 exponent e
// (kMinExp < e <= kMaxExp) with its trailing zero digits left out, in the
// form the caller asked for: [length] exponent digits [terminator]. The
// bytes are built in registers without a branch on the sign (random signs
// would defeat the predictor) and stored exactly.
void write_fifteen_digits(bool negative, int e, uint64_t m, uint8_t *dst, uint32_t *dstlen) {
    if (dst == nullptr) return;
    const auto high = static_cast<uint32_t>(m / kTen8);
    const auto low = static_cast<uint32_t>(m - high * kTen8);
    const uint64_t digits =
        swar::limb_to_digits(high) | (uint64_t{swar::limb_to_digits(low)} << 32);
    const unsigned count = 8 - static_cast<unsigned>(std::countl_zero(digits)) / 8;  // [1, 8]
    const uint64_t kept = ~uint64_t{0} >> (64 - 8 * count);
    // Digit bytes: d + 1 for a positive number, 101 - d and a terminator
    // 102 for a negative one (no byte carries into the next).
    const uint64_t sign = 0 - static_cast<uint64_t>(negative);
    const uint64_t body =
        (((digits + 0x0101010101010101) & ~sign) | ((0x6565656565656565 - digits) & sign)) & kept;
    const uint64_t terminator = kTerminator & sign;
    const uint64_t tail = body | ((terminator << 1) << (8 * count - 1));  // none past 8 digits
    const unsigned n = count + 1 + static_cast<unsigned>(negative);       // [2, 10]
    const auto exp_byte = static_cast<uint8_t>(negative ? kNegExpBase - e : kPosExpBase + e);
    uint8_t *p = dst + 1;
    if (dstlen != nullptr) {
        dst[0] = exp_byte;
        *dstlen = n;
    } else {
        dst[0] = static_cast<uint8_t>(n);
        dst[1] = exp_byte;
        ++p;
    }
    const unsigned size = n - 1;  // digits and terminator, [1, 9]
    if (size >= 8) {
        // The eight bytes ending at size: a ninth byte is the terminator
        // (computed, not branched on: it goes with the sign).
        const unsigned ninth = size - 8;  // 0 or 1
        swar::store_le(p, tail);
        swar::store_le(p + ninth, tail >> (8 * ninth) | uint64_t{ninth * kTerminator} << 56);
    } else if (size >= 4) {
        const auto first = static_cast<uint32_t>(tail);
        const auto last = static_cast<uint32_t>(tail >> (8 * (size - 4)));
        std::memcpy(p, &first, 4);
        std::memcpy(p + size - 4, &last, 4);
    } else {
        for (unsigned i = 0; i < size; ++i) p[i] = static_cast<uint8_t>(tail >> (8 * i));
    }
}

// Nine peeled digits of a double (one integer v below 10^18, or 10^18),
// rounded to 15 significant decimal digits (half up) and written. False,
// with nothing written, near the ends of the range (left to the general
// path).
bool write_double_digits(bool negative, int e, uint64_t v, uint8_t *dst, uint32_t *dstlen) {
    if (e <= kMinExp || e >= kMaxExp) return false;
    // 17 or 18 significant digits: drop two or three.
    // (Constant divisors: the compiler turns each into a multiplication.)
    uint64_t m = v < 100000000000000000 ? (v + 50) / 100 : (v + 500) / 1000 * 10;
    if (m >= kTen16) {  // rounded up to a new first digit
        m /= 100;
        ++e;
    }
    write_fifteen_digits(negative, e, m, dst, dstlen);
    return true;
}

// ---- Doubles of the common range --------------------------------------------

// How y 10^16 is rounded to 15 digits, for y below 10 and from 10 up.
struct Rounding {
    uint64_t scale;       // 10^16 / 10^dropped
    uint64_t margin;      // the error bound 1.625 / 10^dropped, in units of 2^-64
    uint64_t to_sixteen;  // from 15 digits to 16 places
};
constexpr std::array<Rounding, 2> kRoundings{
    Rounding{kTen14, 299759591197780224, 1},
    Rounding{kTen14 / 10, 29975959119778020, 10},
};

// The peeled and rounded digits of y (1 <= y < 100) straight from its exact
// value, when that provably gives what the peeling gives; false otherwise.
//
// The peeling's first three products are rounded, each by at most 2^-47
// (they are below 128, where a unit in the last place is at most 2^-46;
// the subtractions of whole parts are exact), and that error grows by 100
// a step: the nine
// digits as one integer v differ from y 10^16 by at most 0.72 from the
// products, and by -0.9 to +0.1 from the last digit's rounding (it adds
// 0.1 and truncates), so |v - y 10^16| < 1.62. Rounding to 15 digits drops
// two or three (17 or 18 significant) and adds half of what it drops: when
// y 10^16 plus that half is farther than 1.62 from a multiple of what it
// drops, v and y 10^16 round alike. Near 10^17, where v and y 10^16 may
// drop a different number of digits, both round to 10^17.
bool round_exactly(double y, uint64_t &m) {
    uint64_t bits;
    std::memcpy(&bits, &y, 8);
    const unsigned shift = 1075 - static_cast<unsigned>(bits >> 52);  // y = mantissa 2^-shift
    const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | uint64_t{1} << 52;
    // Selected by index rather than by a branch: y < 10 is a coin toss.
    const Rounding &r = kRoundings[static_cast<size_t>(y >= 10.0)];
    // y 10^16 / 10^dropped as a fixed-point number of `shift` fraction bits
    // (46 to 52), plus one half: its integer part is the rounded digits.
    const unsigned __int128 scaled =
        static_cast<unsigned __int128>(mantissa) * r.scale + (uint64_t{1} << (shift - 1));
    const auto below = static_cast<uint64_t>(scaled), above = static_cast<uint64_t>(scaled >> 64);
    const uint64_t rounded = below >> shift | above << (64 - shift);
    // The fraction left, in units of 2^-64, must stay clear of 0 by the
    // error bound.
    const uint64_t fraction = below << (64 - shift);
    if (fraction + r.margin < 2 * r.margin) return false;
    m = rounded * r.to_sixteen;
    return true;
}

// For every binary exponent, the window around the one power of ten near
// its range of doubles, and the base-100 exponent above that window (below
// it, one less when the power is one of 100) with the power of 100 that
// scales each side, so that the scale is loaded at once, not after e.
// Positive doubles order as their bit patterns: the bounds are kept as
// bits and compared as integers.
struct Binade {
    uint64_t window_low;          // bits of the window's lower end
    uint64_t window_span;         // high - low; the whole binade: all ones
    uint64_t center;              // bits of the power of ten; none: all ones
    std::array<double, 2> scale;  // 100^-e above and below the window
    int exp_above;
    int step;  // 1 when the power is one of 100
};

constexpr int kBinadeBase = 1023 - 430;  // biased exponents 593 .. 1434: 2^-430 .. 2^412
constexpr int kBinades = 842;

const std::array<Binade, kBinades> &binade_table() {
    static const auto kTable = [] {
        std::array<Binade, kBinades> t{};
        constexpr uint64_t kAll = ~uint64_t{0};
        // Away from powers of ten log10 is exact enough to floor.
        const auto base100 = [](double x) {
            const int tens = static_cast<int>(std::floor(std::log10(x)));
            return tens >= 0 ? tens / 2 : (tens - 1) / 2;
        };
        for (int i = 0; i < kBinades; ++i) {
            const int b = i + kBinadeBase - 1023;
            const double low = std::ldexp(1.0, b), high = std::ldexp(1.0, b + 1);
            Binade &entry = t[static_cast<size_t>(i)];
            entry.window_low = entry.center = kAll;
            entry.window_span = 0;  // bits - (all ones) = bits + 1 > 0
            const int near = static_cast<int>(std::floor(std::log10(low)));
            for (int j = near - 1; j <= near + 2; ++j) {
                const double p = std::pow(10.0, j);
                if (p * 1.0001 >= low && p * 0.9999 < high) {
                    entry.center = std::bit_cast<uint64_t>(p);
                    entry.window_low = std::bit_cast<uint64_t>(p * 0.9999);
                    entry.window_span = std::bit_cast<uint64_t>(p * 1.0001) - entry.window_low;
                }
            }
            entry.exp_above = base100(std::nextafter(high, 0.0));
            entry.step = entry.exp_above - base100(low);
            // As power_of_100 has them (the same call).
            entry.scale = {std::pow(100.0, -entry.exp_above),
                           std::pow(100.0, entry.step - entry.exp_above)};
            if (base100(low) <= kMinExp || entry.exp_above >= kMaxExp) {
                entry.window_low = 0;
                entry.window_span = kAll;
            }
        }
        return t;
    }();
    return kTable;
}

// The base-100 exponent e and the scaled value y = x 100^-e (1 <= y < 100)
// the scaling gives for x > 0, when x is in the common range and away from
// every power of ten; false otherwise.
//
// More than 1e-4 (relative) from a power of ten, log10 x rounded to single
// precision truncates to floor(log10 x) (x < 1: ceil), so the scaling
// settles on e = floor(log100 x) at once (x < 1: after its comparison with
// 100^e takes off one), and the one product y = x 100^-e is in [1, 100)
// whatever its rounding: no step by 100 follows.
bool scale_common(double x, double &y, int &e) {
    uint64_t bits;
    std::memcpy(&bits, &x, 8);
    const auto index = static_cast<uint32_t>(static_cast<int>(bits >> 52) - kBinadeBase);
    if (index >= kBinades) return false;
    const Binade &b = binade_table()[index];
    if (bits - b.window_low <= b.window_span) return false;
    const bool below = bits < b.center;
    e = b.exp_above - (b.step & -static_cast<int>(below));
    y = x * b.scale[below];
    return true;
}

// Writes x (a double that is not a whole number below 10^15) when it is in
// the common range; false, with nothing written, otherwise.
bool write_common_double(double x, uint8_t *dst, uint32_t *dstlen) {
    double y;
    int e;
    if (!scale_common(std::fabs(x), y, e)) return false;
    const bool negative = std::signbit(x);
    if (uint64_t m; round_exactly(y, m)) {
        write_fifteen_digits(negative, e, m, dst, dstlen);
        return true;
    }
    return write_double_digits(negative, e, peel_double_digits(y), dst, dstlen);
}

// The number of x, or (with dst given, when it can) the number written
// straight to dst, *written then set.
Unpacked from_double(double x, const FloatTraits &t, bool is_float, uint8_t *dst = nullptr,
                     uint32_t *dstlen = nullptr, bool *written = nullptr) {
    if (std::isnan(x)) return make_zero();
    const bool negative = std::signbit(x);
    if (std::isinf(x)) return make_inf(negative);
    x = std::fabs(x);
    if (x == 0.0) return make_zero();

    int k = decimal_exponent(x);
    if (k / 2 > kMaxExp) {
        // Single precision rounds log10 of values just below 1e126 up to
        // 126; those values are still in range.
        if (x >= 1e126) return make_inf(negative);
        k = 2 * kMaxExp + 1;
    }
    int e = k / 2;
    if (power_of_100(e) > x) --e;
    if (e < kMinExp) return make_zero();

    // Tiny floats are lifted first so that the power of 100 stays in range.
    double y;
    if (k < t.precision + t.low_exponent) {
        y = x * 1e16 * power_of_100(-e - 8);
    } else {
        y = x * power_of_100(-e);
    }
    // The decimal exponent can be off by one near a power of ten.
    while (y >= 100.0) {
        y /= 100.0;
        ++e;
    }
    while (y < 1.0) {
        y *= 100.0;
        --e;
    }

    int count = t.base100_digits;
    if (is_float && ((x >= 1.0 && k % 2 != 0) || (x < 1.0 && k % 2 == 0))) count = 4;
    if (dst != nullptr && !is_float &&
        write_double_digits(negative, e, peel_double_digits(y), dst, dstlen)) {
        *written = true;
        return {};
    }
    uint8_t digits[kMaxDigits];
    e += peel_digits(y, digits, count);
    const Unpacked u = from_digits(negative, e, digits, count);
    return round_significant(u, t.precision);
}

// The value of the first 19 digits, the 20th rounding the last, scaled by
// 100 (or 0.01) one position at a time.
double to_double(const Unpacked &u, int max_integer_digits, double largest) {
    if (u.is_zero()) return 0.0;
    if (u.is_inf() || u.exp + 1 > max_integer_digits) return largest;
    double v = 0.0;
    const int used = u.count < 19 ? u.count : 19;
    for (int i = 0; i < used; ++i) v = 100.0 * v + u.digit[i];
    if (u.count > used && u.digit[used] >= 50) v += 1.0;
    for (int shift = u.exp + 1 - used; shift > 0; --shift) v *= 100.0;
    for (int shift = u.exp + 1 - used; shift < 0; ++shift) v *= 0.01;
    return v;
}

}  // namespace

extern "C" {

TAVO_API void lnxren(const void *value, uint32_t size, uint8_t *dst, uint32_t *dstlen) noexcept {
    if (value != nullptr && size == 8) {
        double x;
        std::memcpy(&x, value, 8);
        // A whole number below 10^15 is exact as a double and has at most
        // 15 digits: the scaled digits round back to it, so it goes
        // straight to the integer writer.
        if (std::fabs(x) < 1e15) {
            const auto value = static_cast<int64_t>(x);
            if (static_cast<double>(value) == x) return emit_integer(value, dst, dstlen);
        }
        if (dst != nullptr && write_common_double(x, dst, dstlen)) return;
        bool written = false;
        const Unpacked u = from_double(x, kDouble, false, dst, dstlen, &written);
        if (!written) emit(dst, dstlen, u);
        return;
    }
    Unpacked u;
    if (value != nullptr && size == 4) {
        float f;
        std::memcpy(&f, value, 4);
        u = from_double(f, kFloat, true);
    }
    emit(dst, dstlen, u);
}

TAVO_API void lnxnur(const uint8_t *num, int32_t len, void *value, uint32_t size) noexcept {
    if (value == nullptr || (size != 4 && size != 8)) return;
    // A whole number below 10^12 is exact as a double, and so is every
    // step of the digits scaled up by 100 that make it.
    const auto bytes = num != nullptr ? counted_view(num, len) : std::span<const uint8_t>{};
    if (int64_t whole; whole::read_any(bytes, whole)) {
        const auto v = static_cast<double>(whole);
        if (size == 8) {
            std::memcpy(value, &v, 8);
        } else {
            const auto f = static_cast<float>(v);
            std::memcpy(value, &f, 4);
        }
        return;
    }
    Unpacked u;
#if TAVO_DIGIT_VECTORS
    if (vec::Operand a;
        num != nullptr && vec::read_operand(bytes.data(), static_cast<int>(bytes.size()), a))
        u = vec::to_unpacked(a);
    else
#endif
        u = load(num, len);
    if (size == 8) {
        double v = to_double(u, 154, std::numeric_limits<double>::max());
        if (u.is_negative()) v = -v;
        std::memcpy(value, &v, 8);
    } else {
        // Computed as a double, then held to the float range: a number
        // between 10^38 and the largest float converts to its own value,
        // not to the largest float.
        constexpr double kLargest = std::numeric_limits<float>::max();
        double v = to_double(u, 154, kLargest);
        if (v > kLargest) v = kLargest;
        if (u.is_negative()) v = -v;
        const auto f = static_cast<float>(v);
        std::memcpy(value, &f, 4);
    }
}

}  // extern "C"
