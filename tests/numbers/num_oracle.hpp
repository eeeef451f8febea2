// The test side of the decimal number: an independent reader and writer of
// the byte format over GMP's exact rationals, the rounding rules the
// operations promise, random operands, and helpers that call the library in
// every way of passing a number.
//
// Nothing here uses the library's own decoding or encoding: a number's
// value is sum d(i) x 100^(e - i), read straight from the bytes.
#ifndef TAVO_TESTS_NUMBERS_NUM_ORACLE_HPP
#define TAVO_TESTS_NUMBERS_NUM_ORACLE_HPP

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <string>

namespace numtest {

// ---- Numbers as bytes --------------------------------------------------------

// A number's bytes (1..21 of them; more only for malformed test input).
struct Num {
    std::array<uint8_t, 32> b{};
    int len = 0;

    std::span<const uint8_t> bytes() const { return {b.data(), static_cast<size_t>(len)}; }
    bool operator==(const Num &o) const;
};

// "C1 02", for messages.
std::string hex(const Num &n);
std::ostream &operator<<(std::ostream &os, const Num &n);
// Bytes from "C1 02" (spaces optional).
Num hx(const char *text);

enum class Kind { zero, finite, pos_inf, neg_inf };

// What a normalised number stands for.
struct Value {
    Kind kind = Kind::zero;
    mpq_class q;  // exact value (0 unless finite)
    bool negative() const { return kind == Kind::neg_inf || (kind == Kind::finite && sgn(q) < 0); }
};

// The layout of a finite number, read from its bytes.
struct Layout {
    bool negative = false;
    int exp = 0;    // base-100 exponent of the first digit
    int count = 0;  // base-100 digits
    std::array<uint8_t, 20> digit{};
};

// Reads a normalised number; nullopt for anything else (wrong digit bytes,
// leading or trailing zero digits, a missing or misplaced terminator).
std::optional<Value> decode(std::span<const uint8_t> bytes);
std::optional<Layout> layout(std::span<const uint8_t> bytes);
inline bool is_normalised(std::span<const uint8_t> bytes) {
    return decode(bytes).has_value();
}

// The value of a number that must be normalised (a test failure otherwise).
Value value(const Num &n);
Kind kind(const Num &n);
// Digits and exponent of a finite normalised number.
Layout layout_of(const Num &n);

Num zero();
Num pos_inf();
Num neg_inf();
Num inf(bool negative);
// The largest finite number, 20 digits of 99 at exponent 62.
Num max_finite(bool negative);
// A finite number from its digits (leading/trailing zeros must not be there).
Num make(bool negative, int exp, std::span<const uint8_t> digits);

// ---- Exact values ------------------------------------------------------------

mpz_class pow100z(int k);  // k >= 0
mpq_class pow100(int k);
mpq_class pow10(int k);

// floor(log100 |x|) for x != 0.
int exp100(const mpq_class &x);
// floor(log10 |x|) for x != 0.
int exp10(const mpq_class &x);
// One unit in the 20th significant base-100 digit of x != 0.
mpq_class unit20(const mpq_class &x);

// How a result longer than 20 base-100 digits is cut.
enum class Rule {
    half_up,   // the 21st digit rounds up at 50 or more (addition, text)
    above_50,  // up only when the 21st digit exceeds 50 (product, quotient)
};

// x as a number: 20 significant base-100 digits rounded by the rule; below
// 100^-65 (before rounding) zero; 100^63 or more (after rounding) an
// infinity of x's sign.
Num to_num(const mpq_class &x, Rule rule);
// x as a number when it needs no rounding (a test failure otherwise).
Num exact_num(const mpq_class &x);
// Whether x has at most 20 significant base-100 digits.
bool fits(const mpq_class &x);

// Decimal rounding of x to `places` places after the point (negative: tens,
// hundreds...).
enum class DecimalMode { half_away, toward_zero, floor, ceiling };
mpq_class round_decimal(const mpq_class &x, int64_t places, DecimalMode mode);

// A decimal literal ("-12.5", "3e-7", "inf", "-inf") as an exact value or
// number.
mpq_class dq(const char *text);
Num dn(const char *text);

// got is within one unit of the 20th base-100 digit of exact: a finite
// result of the same sign, or an infinity or zero when a value that close
// lies beyond the range.
::testing::AssertionResult within_one_unit(const Num &got, const mpq_class &exact);
// |got - exact| in units of the 20th digit of exact, for a finite got and a
// non-zero exact (0 otherwise).
double error_units(const Num &got, const mpq_class &exact);

// Counts of a property test: how many results had to be exact, how many
// only within one unit, and the largest error seen among the latter.
struct Tally {
    const char *what;
    long exact = 0;
    long near = 0;
    double worst = 0;
    void add_near(const Num &got, const mpq_class &exact_value);
    ~Tally();  // prints the counts
};

// ---- Random operands ---------------------------------------------------------

class Gen {
  public:
    explicit Gen(uint64_t seed) : rng_(seed) {}

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    int64_t uniform64(int64_t lo, int64_t hi) {
        return std::uniform_int_distribution<int64_t>(lo, hi)(rng_);
    }
    uint64_t bits() { return rng_(); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

    // A digit, often one of the values that test carries and rounding.
    uint8_t digit();
    // A finite number with this exponent and digit count (1..20).
    Num finite(bool negative, int exp, int count);
    // Any number: mostly finite with 1..20 digits, exponents across the whole
    // range with more weight near 0 and near both ends; now and then a
    // machine-size integer, zero or an infinity (specials_weight: chance of
    // zero or an infinity).
    Num number(double specials_weight = 0.03);
    // A finite number with a random exponent.
    Num finite_any();
    // A number whose exponent lies near exp.
    Num near_exp(int exp, int spread);
    // An integer of at most 9 digits (passable as a machine integer too).
    Num small_integer();
    // A random exponent, weighted as number() does.
    int exponent();

  private:
    std::mt19937_64 rng_;
};

// ---- Calling the library -----------------------------------------------------

// The number operations' shapes.
using BinaryFn = void (*)(const uint8_t *, int32_t, const uint8_t *, int32_t, uint8_t *,
                          uint32_t *);
using UnaryFn = void (*)(const uint8_t *, int32_t, uint8_t *, uint32_t *);
using UnaryIntFn = void (*)(const uint8_t *, int32_t, uint8_t *, uint32_t *, int32_t);
using MixedFn = void (*)(const uint8_t *, int32_t, int32_t, uint8_t *, uint32_t *);

// A number argument in one of the ways of passing it; the buffer holds 22
// bytes so that it can take a result too.
struct Arg {
    std::array<uint8_t, 22> buf{};
    const uint8_t *ptr = nullptr;
    int32_t len = 0;
};
enum class Form { counted, prefixed, integer };
// Lays n out in the given form (integer only for integers that fit 32 bits).
Arg pass(const Num &n, Form form);
// A random form for n, including the machine integer when n is one.
Form any_form(Gen &g, const Num &n);
// Reads a result written with (dstlen given) or without a length pointer.
Num result(const uint8_t *dst, const uint32_t *dstlen);

// Calls the operation with random ways of passing the operands and the
// result, sometimes writing the result over an operand; checks that an
// operand not written over is left unchanged.
Num call(BinaryFn fn, const Num &a, const Num &b, Gen &g);
Num call(UnaryFn fn, const Num &a, Gen &g);
Num call(UnaryIntFn fn, const Num &a, int32_t n, Gen &g);
Num call(MixedFn fn, const Num &a, int32_t n, Gen &g);

// Whether n is an integer within int32_t, and its value.
std::optional<int32_t> as_int32(const Num &n);

}  // namespace numtest

#endif  // TAVO_TESTS_NUMBERS_NUM_ORACLE_HPP
