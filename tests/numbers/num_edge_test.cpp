// Edge cases of the decimal number, grouped in tables: the byte format,
// validity and classification, the constants, each arithmetic operation at
// its carries, roundings and range limits, the conversions, and the unpacked
// forms. Expected values are written as decimal literals or as bytes.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "lmx.h"
#include "lnx.h"
#include "num_oracle.hpp"
#include "numbers/lnx_internal.h"

namespace {

using namespace numtest;

// A number written as bytes ("x:C1 02") or as a decimal literal ("1.5",
// "-inf").
Num N(const char *text) {
    if (std::strncmp(text, "x:", 2) == 0) return hx(text + 2);
    return dn(text);
}

// The largest finite number and its negative as literals.
const char *const kMax = "9.999999999999999999999999999999999999999e125";
const char *const kMinusMax = "-9.999999999999999999999999999999999999999e125";

// Calls fn with counted operands and a counted result, then again with
// length-prefixed operands and result: both must give the same bytes.
Num both_forms(BinaryFn fn, const Num &a, const Num &b) {
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    fn(a.b.data(), a.len, b.b.data(), b.len, out, &len);
    const Num counted = result(out, &len);
    const Arg x = pass(a, Form::prefixed), y = pass(b, Form::prefixed);
    fn(x.ptr, 0, y.ptr, 0, out, nullptr);
    EXPECT_EQ(result(out, nullptr), counted) << "forms disagree for " << a << ", " << b;
    return counted;
}

Num unary(UnaryFn fn, const Num &a) {
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    fn(a.b.data(), a.len, out, &len);
    return result(out, &len);
}

Num unary_int(UnaryIntFn fn, const Num &a, int32_t n) {
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    fn(a.b.data(), a.len, out, &len, n);
    return result(out, &len);
}

Num mixed(MixedFn fn, const Num &a, int32_t n) {
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    fn(a.b.data(), a.len, n, out, &len);
    return result(out, &len);
}

// ---- The byte format ---------------------------------------------------------

TEST(NumberFormat, IntegersEncodeAsSpecified) {
    struct Case {
        int64_t value;
        uint32_t size;
        int32_t signedness;
        const char *bytes;
    } const cases[] = {
        {0, 4, 2, "80"},
        {1, 4, 2, "C1 02"},
        {-1, 4, 2, "3E 64 66"},
        {100, 4, 2, "C2 02"},
        {2147483647, 4, 2, "C5 16 30 31 25 30"},
        {-2147483648LL, 4, 2, "3A 50 36 35 41 35 66"},
        {4294967295LL, 4, 0, "C5 2B 5F 61 49 60"},
        {255, 1, 0, "C2 03 38"},
        {-128, 1, 1, "3D 64 49 66"},
        {65535, 2, 0, "C3 07 38 24"},
    };
    for (const auto &c : cases) {
        uint8_t raw[4];
        const auto u = static_cast<uint32_t>(c.value);
        std::memcpy(raw, &u, c.size);  // the low bytes of a little-endian value
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        ASSERT_EQ(lnxmin(raw, c.size, c.signedness, out, &len), 0) << c.value;
        EXPECT_EQ(result(out, &len), hx(c.bytes)) << c.value;
    }
}

TEST(NumberFormat, NegativeTerminatorOnlyBelowTwentyDigits) {
    struct Case {
        int digits;
        int length;
        bool terminated;
    } const cases[] = {{1, 3, true}, {19, 21, true}, {20, 21, false}};
    for (const auto &c : cases) {
        std::vector<uint8_t> d(static_cast<size_t>(c.digits), 7);
        const Num positive = make(false, 3, d);
        const Num negative = unary(lnxneg, positive);
        EXPECT_EQ(negative.len, c.length) << c.digits << " digits";
        EXPECT_EQ(negative.b[static_cast<size_t>(negative.len - 1)] == 102, c.terminated);
        EXPECT_EQ(negative, make(true, 3, d));
        EXPECT_EQ(unary(lnxneg, negative), positive);
    }
}

TEST(NumberFormat, ConstantsHoldTheirValues) {
    struct Case {
        const uint8_t *constant;
        const char *value;
    } const cases[] = {
        {lnxqten, "10"}, {lnxqpos1, "1"}, {lnxqneg1, "-1"}, {lnxqtwo, "2"}, {lnxqzero, "0"},
    };
    for (const auto &c : cases) {
        const Num expected = dn(c.value);
        ASSERT_EQ(c.constant[0], expected.len) << c.value;
        EXPECT_EQ(result(c.constant, nullptr), expected) << c.value;
    }
}

// pi, e and ln 10 to 20 base-100 digits, truncated, computed with MPFR.
TEST(NumberFormat, IrrationalConstantsAreTruncatedTo20Digits) {
    mpfr_t x;
    mpfr_init2(x, 400);
    mpz_class scaled;
    const auto truncated = [&] {
        mpfr_mul_z(x, x, pow100z(19).get_mpz_t(), MPFR_RNDZ);
        mpfr_get_z(scaled.get_mpz_t(), x, MPFR_RNDZ);
        return exact_num(mpq_class(scaled) * pow100(-19));
    };
    mpfr_const_pi(x, MPFR_RNDZ);
    EXPECT_EQ(result(lnxpi, nullptr), truncated());
    mpfr_set_ui(x, 1, MPFR_RNDN);
    mpfr_exp(x, x, MPFR_RNDZ);
    EXPECT_EQ(result(lnxe, nullptr), truncated());
    mpfr_set_ui(x, 10, MPFR_RNDN);
    mpfr_log(x, x, MPFR_RNDZ);
    EXPECT_EQ(result(lnxl10, nullptr), truncated());
    mpfr_clear(x);
    mpfr_free_cache();
}

// ---- Validity and classification -----------------------------------------------

TEST(NumberChecks, Validity) {
    struct Case {
        const char *bytes;
        int32_t valid;
    } const cases[] = {
        {"80", 1},
        {"00", 1},
        {"FF 65", 1},
        {"C1 02", 1},
        {"3E 64 66", 1},
        {"81", 0},  // one byte: only zero and negative infinity
        {"3E", 0},
        {"FF", 0},
        {"C1 00", 0},     // positive digit bytes are 1..100
        {"C1 65", 0},     // 101 is the digit of +infinity only
        {"C1 64", 1},     // 100 is the digit 99
        {"3E 01 66", 0},  // negative digit bytes are 2..101
        {"3E 65 66", 1},
        {"3E 66 64 66", 0},                                                  // 102 only at the end
        {"3E 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64", 0},  // 20 bytes, no 102
        {"3E 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64", 1},     // 20 digits
        {"3E 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 64 66", 1},     // 19 digits
        {"C1 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02", 0},  // 22 bytes
    };
    for (const auto &c : cases) {
        const Num n = hx(c.bytes);
        EXPECT_EQ(lnxchk(n.b.data(), n.len), c.valid) << c.bytes;
        const Arg p = pass(n, Form::prefixed);
        EXPECT_EQ(lnxchk(p.ptr, 0), c.valid) << c.bytes << " (length-prefixed)";
    }
    const uint8_t empty_prefix[] = {0};
    EXPECT_EQ(lnxchk(empty_prefix, 0), 0);
    const uint8_t one = 0x80;
    EXPECT_EQ(lnxchk(&one, -1), 0);
    EXPECT_EQ(lnxchk(nullptr, -7), 1);  // a machine integer
}

TEST(NumberChecks, SignAndIntegerClass) {
    struct Case {
        const char *number;
        int32_t sign;
        int32_t integer_class;
    } const cases[] = {
        {"0", 0, 1},
        {"1", 1, 1},
        {"-1", -1, 1},
        {"0.5", 1, 2},
        {"-0.5", -1, 2},
        {"100", 1, 1},
        {"101.01", 1, 2},
        {"1e-130", 1, 2},
        {"1e124", 1, 1},
        {"inf", 1, 3},
        {"-inf", -1, 4},
        {"-123456789012345678901234567890", -1, 1},
        {"1234567890123456789012345678901234567.8", 1, 2},
    };
    for (const auto &c : cases) {
        const Num n = N(c.number);
        EXPECT_EQ(lnxsgn(n.b.data(), n.len), c.sign) << c.number;
        EXPECT_EQ(lnxint(n.b.data(), n.len), c.integer_class) << c.number;
        const Arg p = pass(n, Form::prefixed);
        EXPECT_EQ(lnxsgn(p.ptr, 0), c.sign) << c.number;
        EXPECT_EQ(lnxint(p.ptr, 0), c.integer_class) << c.number;
    }
    EXPECT_EQ(lnxsgn(nullptr, -3), -1);
    EXPECT_EQ(lnxsgn(nullptr, 0), 0);
    EXPECT_EQ(lnxint(nullptr, 12), 1);
}

// Operand lengths outside 1..21: a negative length reads nothing (zero), a
// length or prefix above 21 reads 21 bytes.
TEST(NumberChecks, OddLengthsOfOperands) {
    const Num one = dn("1");
    const Num seven = dn("7");
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    lnxadd(seven.b.data(), -5, one.b.data(), one.len, out, &len);
    EXPECT_EQ(result(out, &len), one);
    // 21 bytes of a 20-digit number passed with length 300.
    const Num long_one = hx("C1 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15");
    lnxadd(long_one.b.data(), 300, nullptr, 0, out, &len);
    EXPECT_EQ(result(out, &len), long_one);
    uint8_t prefixed[LNXBUFLEN];
    prefixed[0] = 200;
    std::memcpy(prefixed + 1, long_one.b.data(), 21);
    lnxneg(prefixed, 0, out, &len);
    EXPECT_EQ(unary(lnxneg, result(out, &len)), long_one);
}

// Digit bytes out of range are clamped into 0..99 when read, and the result
// is a normalised number.
TEST(NumberChecks, MalformedDigitsAreClamped) {
    struct Case {
        const char *bytes;
        const char *read_as;
    } const cases[] = {
        {"C1 00 05", "0.04"},   // digit byte 0 reads as the digit 0
        {"C1 C8", "99"},        // 200 reads as 99
        {"C1 02 00", "1"},      // a trailing 0 digit is dropped
        {"3E 01 66", "-99"},    // 101 - 1 = 100 reads as 99
        {"3E 70 66", "0"},      // 101 - 112 reads as 0: nothing left
        {"3E 64 66 66", "-1"},  // a 102 before the last byte reads as the digit 0
    };
    for (const auto &c : cases) {
        const Num x = hx(c.bytes);
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxadd(x.b.data(), x.len, nullptr, 0, out, &len);
        EXPECT_EQ(result(out, &len), dn(c.read_as)) << c.bytes;
    }
}

// ---- Addition and subtraction --------------------------------------------------

struct BinaryCase {
    const char *what;
    BinaryFn fn;
    const char *a;
    const char *b;
    const char *expected;
};

void run(const std::vector<BinaryCase> &cases) {
    for (const auto &c : cases) {
        EXPECT_EQ(both_forms(c.fn, N(c.a), N(c.b)), N(c.expected))
            << c.what << ": " << c.a << ", " << c.b;
    }
}

TEST(NumberAddition, CarriesSignsAndInfinities) {
    run({
        {"1 + 1", lnxadd, "1", "1", "x:C1 03"},
        {"carry into a new digit", lnxadd, "99", "1", "x:C2 02"},
        {"cancellation", lnxadd, "-1", "1", "x:80"},
        {"borrow", lnxsub, "50", "51", "x:3E 64 66"},
        {"borrow through zeros", lnxsub, "1", "1e-38", "0.99999999999999999999999999999999999999"},
        {"signs of the larger magnitude", lnxadd, "-12.5", "2.25", "-10.25"},
        {"subtract a negative", lnxsub, "-3", "-5", "2"},
        {"x - x", lnxsub, kMax, kMax, "0"},
        {"+inf + -inf is the first", lnxadd, "inf", "-inf", "inf"},
        {"-inf + inf is the first", lnxadd, "-inf", "inf", "-inf"},
        {"inf - inf is the first", lnxsub, "inf", "inf", "inf"},
        {"x + -inf", lnxadd, "5", "-inf", "-inf"},
        {"x - inf", lnxsub, "5", "inf", "-inf"},
        {"x - -inf", lnxsub, "5", "-inf", "inf"},
        {"0 - x", lnxsub, "0", "7.5", "-7.5"},
        {"x + 0", lnxadd, "-7.5", "0", "-7.5"},
    });
}

// The window of 21 positions aligned on the larger exponent, and the 21st
// digit deciding the rounding, 50 rounding up.
TEST(NumberAddition, WindowAndRounding) {
    run({
        {"21 positions lower: unchanged", lnxadd, "1", "99e-42", "1"},
        {"21 positions lower, negative: unchanged", lnxadd, "1", "-6e-41", "1"},
        {"20 positions lower: the 21st digit rounds", lnxadd, "1", "99e-40",
         "1.00000000000000000000000000000000000001"},
        {"21st digit 49 rounds down", lnxadd, "1", "49e-40", "1"},
        {"21st digit exactly 50 rounds up", lnxadd, "1.50000000000000000000000000000000000001",
         "5e-39", "1.50000000000000000000000000000000000002"},
        {"negative, 50 rounds away from zero", lnxadd, "-1.50000000000000000000000000000000000001",
         "-5e-39", "-1.50000000000000000000000000000000000002"},
        {"rounding carries through 99s", lnxadd, "99.99999999999999999999999999999999999999",
         "5e-39", "100"},
        {"carry out of the top", lnxadd, "9999999999999999999999999999999999999999",
         "9999999999999999999999999999999999999999", "2e40"},
    });
}

TEST(NumberAddition, RangeLimits) {
    run({
        {"max + max", lnxadd, kMax, kMax, "inf"},
        {"-max + -max", lnxadd, kMinusMax, kMinusMax, "-inf"},
        {"max - -max", lnxsub, kMax, kMinusMax, "inf"},
        {"max + one unit of the 20th digit", lnxadd, kMax, "1e86", "inf"},
        {"max + half a unit rounds up into infinity", lnxadd, kMax, "5e85", "inf"},
        {"max + 0.49 of a unit stays", lnxadd, kMax, "4.9e85", kMax},
        {"difference below 100^-65", lnxsub, "1.01e-130", "1e-130", "0"},
        {"smallest positive number", lnxsub, "2e-130", "1e-130", "x:80 02"},
    });
}

TEST(NumberAddition, FlagChoosesSubtraction) {
    const Num a = dn("12.5"), b = dn("0.25");
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    lnxqaos(a.b.data(), a.len, b.b.data(), b.len, out, &len, 0);
    EXPECT_EQ(result(out, &len), dn("12.75"));
    lnxqaos(a.b.data(), a.len, b.b.data(), b.len, out, &len, -9);
    EXPECT_EQ(result(out, &len), dn("12.25"));
}

// ---- Multiplication, division, remainder ------------------------------------------

TEST(NumberMultiplication, RoundingAndRange) {
    run({
        {"small product", lnxmul, "-1.5", "4", "-6"},
        {"21st digit exactly 50 rounds down", lnxmul, "1.00000000000000000000000000000000000001",
         "1.5", "1.50000000000000000000000000000000000001"},
        {"21st digit 51 rounds up", lnxmul, "1.00000000000000000000000000000000000001", "1.51",
         "1.51000000000000000000000000000000000002"},
        {"carry position used", lnxmul, "99", "99", "9801"},
        {"zero times infinity", lnxmul, "0", "inf", "0"},
        {"infinity times negative", lnxmul, "inf", "-2", "-inf"},
        {"two negative infinities", lnxmul, "-inf", "-inf", "inf"},
        {"exponent 62", lnxmul, "1e62", "1e62", "x:FF 02"},
        {"exponent 63", lnxmul, "1e62", "1e64", "inf"},
        {"exponent 63, negative", lnxmul, "-1e62", "1e64", "-inf"},
        {"carry into exponent 63", lnxmul, "2e62", "5e63", "inf"},
        {"no carry, exponent 62", lnxmul, "2e62", "4.9e63", "9.8e125"},
        {"exponent -65", lnxmul, "1e-66", "1e-64", "x:80 02"},
        {"exponent -66", lnxmul, "1e-66", "1e-66", "0"},
        {"rounding up at exponent 62 overflows", lnxmul, kMax,
         "1.00000000000000000000000000000000000001", "inf"},
    });
}

TEST(NumberDivision, QuotientsAndSpecialOperands) {
    run({
        {"1 / 3", lnxdiv, "1", "3",
         "x:C0 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22"},
        {"exact", lnxdiv, "-7.5", "2.5", "-3"},
        {"21st digit exactly 50 rounds down", lnxdiv, "2.00000000000000000000000000000000000003",
         "2", "1.00000000000000000000000000000000000001"},
        {"2 / 3 rounds up", lnxdiv, "2", "3", "0.6666666666666666666666666666666666666667"},
        {"x / 0", lnxdiv, "5", "0", "inf"},
        {"-x / 0", lnxdiv, "-5", "0", "-inf"},
        {"0 / 0", lnxdiv, "0", "0", "inf"},
        {"0 / x", lnxdiv, "0", "-5", "0"},
        {"x / inf", lnxdiv, "5", "inf", "0"},
        {"x / -inf", lnxdiv, "5", "-inf", "0"},
        {"inf / x", lnxdiv, "inf", "5", "inf"},
        {"inf / -x", lnxdiv, "inf", "-5", "-inf"},
        {"-inf / 0", lnxdiv, "-inf", "0", "-inf"},
        {"exponent difference 63, first digit 0", lnxdiv, "5e125", "0.99",
         "5.050505050505050505050505050505050505050e125"},
        {"exponent difference 63, first digit non-zero", lnxdiv, "99e124", "0.5", "inf"},
        {"exponent difference 63, exactly 100^63", lnxdiv, "1e124", "0.01", "inf"},
        {"exponent difference 64", lnxdiv, "1e124", "1e-4", "inf"},
        {"negative overflow", lnxdiv, "-99e124", "0.5", "-inf"},
        {"exponent -65", lnxdiv, "1e-66", "1e64", "x:80 02"},
        {"exponent -66", lnxdiv, "1e-66", "1e66", "0"},
    });
}

TEST(NumberDivision, MixedIntegerOperations) {
    struct Case {
        const char *what;
        MixedFn fn;
        const char *a;
        int32_t n;
        const char *expected;
    } const cases[] = {
        {"add", lnxqIAdd, "1", 1, "2"},
        {"subtract the most negative", lnxqISub, "0", INT32_MIN, "2147483648"},
        {"add the most negative", lnxqIAdd, "0.5", INT32_MIN, "-2147483647.5"},
        {"multiply", lnxqIMul, "1.25", -4, "-5"},
        {"multiply by the most negative", lnxqIMul, "-1", INT32_MIN, "2147483648"},
        {"divide", lnxqIDiv, "1", 3,
         "x:C0 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22"},
        {"divide by zero", lnxqIDiv, "-1", 0, "-inf"},
        {"remainder", lnxqIMod, "-7", 3, "-1"},
        {"remainder by the most negative", lnxqIMod, "5000000000", INT32_MIN, "705032704"},
    };
    for (const auto &c : cases) EXPECT_EQ(mixed(c.fn, N(c.a), c.n), N(c.expected)) << c.what;
}

TEST(NumberRemainder, SignOfTheDividend) {
    run({
        {"7 mod -3", lnxmod, "7", "-3", "1"},
        {"-7 mod 3", lnxmod, "-7", "3", "-1"},
        {"-7 mod -3", lnxmod, "-7", "-3", "-1"},
        {"exact multiple", lnxmod, "-9", "3", "0"},
        {"fractions", lnxmod, "7.5", "2", "1.5"},
        {"smaller dividend", lnxmod, "-0.25", "7", "-0.25"},
        {"x mod 0", lnxmod, "7", "0", "7"},
        {"x mod inf", lnxmod, "7", "inf", "7"},
        {"inf mod x", lnxmod, "inf", "3", "inf"},
        {"0 mod x", lnxmod, "0", "3", "0"},
    });
}

// The remainder is exact even where the quotient rounded to 20 digits
// crosses an integer (5.999...9 / 3 = 1.999...97 rounds to 2), where the
// product of divisor and quotient needs more than 20 digits, and where the
// quotient is beyond the range.
TEST(NumberRemainder, ExactWhereTheQuotientIsNot) {
    run({
        {"product of 21 digits", lnxmod, "1000", "3.00000000000000000000000000000000000001",
         "0.99999999999999999999999999999999999667"},
        {"quotient beyond the range", lnxmod, "1e100", "7e-40", "2e-40"},
        {"negative, quotient beyond the range", lnxmod, "-1e100", "7e-40", "-2e-40"},
        {"quotient of 40 digits", lnxmod, "1e39", "7", "6"},
        {"5.99...9 mod 3", lnxmod, "5.99999999999999999999999999999999999999", "3",
         "2.99999999999999999999999999999999999999"},
        {"-5.99...9 mod 3", lnxmod, "-5.99999999999999999999999999999999999999", "3",
         "-2.99999999999999999999999999999999999999"},
    });
}

// ---- Negation, absolute value, increment ------------------------------------------

TEST(NumberSign, NegateAndAbsolute) {
    struct Case {
        const char *x;
        const char *negated;
        const char *absolute;
    } const cases[] = {
        {"0", "0", "0"},
        {"inf", "-inf", "inf"},
        {"-inf", "inf", "inf"},
        {"5", "-5", "5"},
        {"-0.0001", "0.0001", "0.0001"},
        {kMax, kMinusMax, kMax},
        {"1e-130", "-1e-130", "1e-130"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(unary(lnxneg, N(c.x)), N(c.negated)) << c.x;
        EXPECT_EQ(unary(lnxabs, N(c.x)), N(c.absolute)) << c.x;
    }
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    lnxabs(nullptr, INT32_MIN, out, &len);
    EXPECT_EQ(result(out, &len), dn("2147483648"));
}

TEST(NumberSign, Increment) {
    struct Case {
        const char *x;
        const char *expected;
    } const cases[] = {
        {"99", "x:C2 02"},
        {"0", "1"},
        {"-5", "1"},
        {"0.5", "1"},
        {"inf", "1"},
        {"-inf", "1"},
        {"1", "2"},
        {"9999", "10000"},
        {"1000000000000000000000000000000000001", "1000000000000000000000000000000000002"},
        {"99999999999999999999999999999999999999", "1e38"},  // 19 digits of 99
        {"1e38", "1"},                                       // 20 integer digits
        {"1e40", "1"},
    };
    for (const auto &c : cases) {
        const Num x = N(c.x), expected = N(c.expected);
        uint8_t buf[LNXBUFLEN] = {};
        std::memcpy(buf, x.b.data(), static_cast<size_t>(x.len));
        auto len = static_cast<uint32_t>(x.len);
        lnxinc(buf, &len);
        EXPECT_EQ(result(buf, &len), expected) << c.x;
        Arg p = pass(x, Form::prefixed);
        lnxinc(p.buf.data(), nullptr);
        EXPECT_EQ(result(p.buf.data(), nullptr), expected) << c.x << " (length-prefixed)";
    }
}

// ---- Rounding ---------------------------------------------------------------------

struct RoundCase {
    const char *what;
    UnaryIntFn fn;
    const char *x;
    int32_t n;
    const char *expected;
};

TEST(NumberRounding, PlacesDigitsFloorAndCeiling) {
    const RoundCase cases[] = {
        {"round 2.5", lnxrou, "2.5", 0, "3"},
        {"round -2.5", lnxrou, "-2.5", 0, "-3"},
        {"round 0.006 to 2", lnxrou, "0.006", 2, "0.01"},
        {"round 0.004 to 1", lnxrou, "0.004", 1, "0"},
        {"round 1234 to -2", lnxrou, "1234", -2, "1200"},
        {"round 1250 to -2", lnxrou, "1250", -2, "1300"},
        {"round 0.5", lnxrou, "0.5", 0, "1"},
        {"round 0.05", lnxrou, "0.05", 0, "0"},
        {"round -99.5", lnxrou, "-99.5", 0, "-100"},
        {"round 1.25 inside a digit", lnxrou, "1.25", 1, "1.3"},
        {"round 1.249 inside a digit", lnxrou, "1.249", 1, "1.2"},
        {"round 1.2349 between digits", lnxrou, "1.2349", 2, "1.23"},
        {"round 5 to tens", lnxrou, "5", -1, "10"},
        {"round 4 to tens", lnxrou, "4", -1, "0"},
        {"round nothing to cut", lnxrou, "123.25", 5, "123.25"},
        {"round the largest up", lnxrou, kMax, -87, "inf"},
        {"round the smallest negative up", lnxrou, kMinusMax, -87, "-inf"},
        {"round far left", lnxrou, "123", INT32_MIN, "0"},
        {"round far right", lnxrou, "1e-130", INT32_MAX, "1e-130"},
        {"round infinity", lnxrou, "-inf", 2, "-inf"},
        {"truncate -2.75", lnxtru, "-2.75", 1, "-2.7"},
        {"truncate 2.75", lnxtru, "2.75", 0, "2"},
        {"truncate -0.5", lnxtru, "-0.5", 0, "0"},
        {"truncate 199 to hundreds", lnxtru, "199", -2, "100"},
        {"truncate the largest", lnxtru, kMax, -87, "9.99999999999999999999999999999999999999e125"},
        {"truncate far left", lnxtru, "-123", INT32_MIN, "0"},
        {"digits 123.456 to 4", lnxfpr, "123.456", 4, "123.5"},
        {"digits 0.0012345 to 2", lnxfpr, "0.0012345", 2, "0.0012"},
        {"digits 999.5 to 3", lnxfpr, "999.5", 3, "1000"},
        {"digits already few", lnxfpr, "123", 5, "123"},
        {"digits -0.00015 to 1", lnxfpr, "-0.00015", 1, "-0.0002"},
        {"digits infinity", lnxfpr, "inf", 3, "inf"},
        {"digits zero", lnxfpr, "0", 3, "0"},
        {"floor -2.5", lnxflo, "-2.5", 0, "-3"},
        {"ceiling 2.1", lnxflo, "2.1", 1, "3"},
        {"floor 2", lnxflo, "2", 0, "2"},
        {"ceiling -2.1", lnxflo, "-2.1", 1, "-2"},
        {"floor 0.5", lnxflo, "0.5", 0, "0"},
        {"ceiling 0.5", lnxflo, "0.5", 7, "1"},
        {"floor -0.5", lnxflo, "-0.5", 0, "-1"},
        {"ceiling -0.5", lnxflo, "-0.5", 1, "0"},
        {"ceiling of the smallest", lnxflo, "1e-130", 1, "1"},
        {"floor of the smallest negative", lnxflo, "-1e-130", 0, "-1"},
        {"floor -99.5", lnxflo, "-99.5", 0, "-100"},
        {"floor infinity", lnxflo, "inf", 0, "inf"},
        {"ceiling -infinity", lnxflo, "-inf", 1, "-inf"},
    };
    for (const auto &c : cases) EXPECT_EQ(unary_int(c.fn, N(c.x), c.n), N(c.expected)) << c.what;
}

TEST(NumberRounding, ScaleCheck) {
    struct Case {
        const char *x;
        int32_t integer_digits;
        int32_t places;
        const char *expected;
        int32_t overflow;
    } const cases[] = {
        {"123.456", 2, 1, "123.5", 1},
        {"123.456", 3, 1, "123.5", 0},
        {"0", 0, 0, "0", 0},
        {"99.96", 2, 1, "100", 1},  // rounding gains an integer digit
        {"99.94", 2, 1, "99.9", 0},
        {"0.001", 0, 2, "0", 0},
        {"-123.456", 3, 2, "-123.46", 0},
        {"0.05", 0, 1, "0.1", 0},
        {"12345", 5, -2, "12300", 0},
        {"12345", 4, 0, "12345", 1},
        {"inf", 38, 0, "inf", 1},
    };
    for (const auto &c : cases) {
        const Num x = N(c.x);
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        int32_t overflow = -1;
        lnxsca(x.b.data(), x.len, out, &len, c.integer_digits, c.places, &overflow);
        EXPECT_EQ(result(out, &len), N(c.expected)) << c.x;
        EXPECT_EQ(overflow, c.overflow)
            << c.x << " into (" << c.integer_digits << ", " << c.places << ")";
    }
}

// ---- Machine integers ---------------------------------------------------------------

TEST(NumberIntegers, ToMachineIntegers) {
    struct Case {
        const char *x;
        uint32_t size;
        uint32_t flags;
        int64_t value;  // as the stored bytes read back signed or unsigned per mode
        int32_t result;
    } const cases[] = {
        {"0", 4, 2, 0, 0},
        {"0.5", 4, 2, 0, 2},
        {"-0.5", 4, 0, 0, 2},
        {"1.5", 4, 2, 1, 0},
        {"-1.5", 4, 2, -1, 0},
        {"-1", 4, 0, 0, 1},
        {"300", 1, 0, 255, 1},
        {"300", 1, 0x8000, 44, 1},
        {"255", 1, 0, 255, 0},
        {"127", 1, 2, 127, 0},
        {"128", 1, 2, 127, 1},
        {"-127", 1, 2, -127, 0},
        {"-128", 1, 2, -128, 1},  // the limit checked is 127: overflow, the clamp stores -128
        {"-129", 1, 1, -128, 1},  // mode 1 is mode 2
        {"-5", 2, 1, -5, 0},
        {"-2147483648", 4, 2, INT32_MIN, 1},
        {"2147483647.99", 4, 2, INT32_MAX, 0},
        {"4294967295", 4, 0, 4294967295LL, 0},
        {"4294967296", 4, 0, 4294967295LL, 1},
        {"4294967296", 4, 0x8000, 0, 1},
        {"4294967297", 4, 0x8000, 1, 1},
        {"-70000", 2, 0x8002, -4464, 1},  // low 16 bits of -70000
        {"1e100", 4, 2, INT32_MAX, 1},
        {"inf", 2, 0, 65535, 1},
        {"-inf", 4, 2, INT32_MIN, 1},
        {"-inf", 4, 0, 0, 1},
    };
    for (const auto &c : cases) {
        const Num x = N(c.x);
        uint8_t raw[4] = {0xAB, 0xAB, 0xAB, 0xAB};
        EXPECT_EQ(lnxsni(x.b.data(), x.len, raw, c.size, c.flags), c.result) << c.x;
        uint32_t bits = 0;
        std::memcpy(&bits, raw, c.size);
        const bool is_signed = (c.flags & 0x7F) != 0;
        int64_t got = bits;
        if (is_signed) {
            const uint32_t top = 1u << (c.size * 8 - 1);
            got = (bits & top) ? static_cast<int64_t>(bits) - 2 * static_cast<int64_t>(top) : bits;
        }
        EXPECT_EQ(got, c.value) << c.x << " size " << c.size << " flags " << c.flags;
        EXPECT_EQ(c.size == 4 ? 0xAB : raw[c.size], 0xAB) << "wrote past the integer";
    }
}

TEST(NumberIntegers, BadSizesAndModes) {
    const Num x = dn("5");
    uint8_t raw[8] = {};
    EXPECT_EQ(lnxsni(x.b.data(), x.len, raw, 3, 2), 3);
    EXPECT_EQ(lnxsni(x.b.data(), x.len, raw, 8, 2), 3);
    EXPECT_EQ(lnxsni(x.b.data(), x.len, raw, 4, 3), 3);
    EXPECT_EQ(lnxsni(x.b.data(), x.len, raw, 4, 0x7F), 3);
    const int32_t v = 5;
    uint8_t out[LNXBUFLEN] = {};
    uint32_t len = 99;
    EXPECT_EQ(lnxmin(&v, 3, 2, out, &len), 3);
    EXPECT_EQ(lnxmin(&v, 8, 2, out, &len), 3);
    EXPECT_EQ(lnxmin(&v, 4, 3, out, &len), 3);
    EXPECT_EQ(lnxmin(&v, 4, -1, out, &len), 3);
    EXPECT_EQ(len, 99u);  // nothing written
}

// ---- Floating point ---------------------------------------------------------------

TEST(NumberFloating, FromDouble) {
    struct Case {
        double x;
        const char *expected;
    } const cases[] = {
        {0.1, "x:C0 0B"},
        {1e300, "inf"},
        {-1e300, "-inf"},
        {0.0, "0"},
        {-0.0, "0"},
        {1.0, "1"},
        {-2.5, "-2.5"},
        {0.5, "x:C0 33"},
        {123.456, "123.456"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {1e126, "inf"},
        {9.99999999999999e125, "9.99999999999999e125"},
        {9.99995e125, "9.99995e125"},  // log10 rounds to 126 in single precision
        {1e-131, "0"},
        {4.9e-324, "0"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::numeric_limits<double>::quiet_NaN(), "0"},
        {123456789012345678.0, "123456789012346000"},
        {DBL_MAX, "inf"},
    };
    for (const auto &c : cases) {
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxren(&c.x, 8, out, &len);
        EXPECT_EQ(result(out, &len), N(c.expected)) << c.x;
        lnxren(&c.x, 8, out, nullptr);
        EXPECT_EQ(result(out, nullptr), N(c.expected)) << c.x;
    }
    const double one = 1.0;
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    lnxren(&one, 5, out, &len);
    EXPECT_EQ(result(out, &len), zero());
}

TEST(NumberFloating, FromFloat) {
    struct Case {
        float x;
        const char *expected;
    } const cases[] = {
        {0.1f, "0.1"},
        {0.0f, "0"},
        {1.0f, "1"},
        {-2.5f, "-2.5"},
        {1.0f / 3.0f, "0.333333"},
        {123456.7f, "123457"},
        {FLT_MAX, "3.40282e38"},
        {1e-40f, "9.99995e-41"},
        {std::numeric_limits<float>::infinity(), "inf"},
    };
    for (const auto &c : cases) {
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxren(&c.x, 4, out, &len);
        EXPECT_EQ(result(out, &len), N(c.expected)) << c.x;
    }
}

TEST(NumberFloating, ToDoubleAndFloat) {
    struct DoubleCase {
        const char *x;
        double expected;
    } const doubles[] = {
        {"0", 0.0},   {"1", 1.0},       {"-2.5", -2.5},     {"1e20", 1e20},
        {"0.5", 0.5}, {"inf", DBL_MAX}, {"-inf", -DBL_MAX},
    };
    for (const auto &c : doubles) {
        const Num x = N(c.x);
        double d = 42;
        lnxnur(x.b.data(), x.len, &d, 8);
        EXPECT_EQ(d, c.expected) << c.x;
    }
    struct FloatCase {
        const char *x;
        float expected;
    } const floats[] = {
        {"0", 0.0f},
        {"1", 1.0f},
        {"-2.5", -2.5f},
        {"1e20", 1e20f},
        {"inf", FLT_MAX},
        {"-inf", -FLT_MAX},
        // Up to the largest float the value converts; beyond it the
        // largest float of the sign.
        {"1e38", 1e38f},
        {"-2e38", -2e38f},
        {"3.4e38", 3.4e38f},
        {"3.4028235e38", FLT_MAX},
        {"3.5e38", FLT_MAX},
        {"-1e100", -FLT_MAX},
    };
    for (const auto &c : floats) {
        const Num x = N(c.x);
        float f = 42;
        lnxnur(x.b.data(), x.len, &f, 4);
        EXPECT_EQ(f, c.expected) << c.x;
    }
    double d = 42;
    lnxnur(nullptr, -7, &d, 8);
    EXPECT_EQ(d, -7.0);
    const Num one = dn("1");
    lnxnur(one.b.data(), one.len, &d, 2);
    EXPECT_EQ(d, -7.0);  // another size stores nothing
}

// ---- Order of the byte strings ---------------------------------------------------------

TEST(NumberOrder, ByteStringsCompareInNumericOrder) {
    struct Case {
        const char *a;
        const char *b;
        int sign;
    } const cases[] = {
        {"-1.5", "-1", -1},   {"2", "100", -1},        {"-100", "-2", -1},  {"0", "1e-130", -1},
        {"-1e-130", "0", -1}, {"-inf", kMinusMax, -1}, {kMax, "inf", -1},   {"1", "1.01", -1},
        {"-1.01", "-1", -1},  {"5", "5", 0},           {"-inf", "-inf", 0},
    };
    for (const auto &c : cases) {
        const Num a = N(c.a), b = N(c.b);
        const int32_t r = lmxcmp(a.b.data(), static_cast<uint32_t>(a.len), b.b.data(),
                                 static_cast<uint32_t>(b.len));
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
        const int32_t back = lmxcmp(b.b.data(), static_cast<uint32_t>(b.len), a.b.data(),
                                    static_cast<uint32_t>(a.len));
        EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " vs " << c.a;
    }
}

// ---- Unpacked forms ----------------------------------------------------------------------

TEST(NumberForms, DigitForm) {
    struct Case {
        const char *x;
        std::vector<uint8_t> form;  // count, exponent byte, digits
        int32_t negative;
    } const cases[] = {
        {"0", {0, 0}, 0},           {"123", {2, 66, 1, 23}, 0},  {"-0.05", {1, 64, 5}, 1},
        {"inf", {1, 0x7F, 100}, 0}, {"-inf", {1, 0x7F, 100}, 1}, {"1e-130", {1, 0, 1}, 0},
    };
    for (const auto &c : cases) {
        const Num x = N(c.x);
        uint8_t form[LNXBUFLEN];
        std::memset(form, 0xEE, sizeof form);
        EXPECT_EQ(lnxqgnm(form, sizeof form, x.b.data(), x.len), c.negative) << c.x;
        std::vector<uint8_t> expected(LNXBUFLEN, 0);
        std::copy(c.form.begin(), c.form.end(), expected.begin());
        EXPECT_EQ(std::vector<uint8_t>(form, form + LNXBUFLEN), expected) << c.x;
    }
}

TEST(NumberForms, WordFormRun) {
    struct Case {
        const char *x;
        std::vector<int32_t> words;
        int32_t exponent;
        int32_t sign;
    } const cases[] = {
        {"123.45", {1, 23, 45}, 1, 1}, {"-0.05", {5}, -1, 0}, {"0", {}, -65, 1}, {"inf", {}, 62, 1},
        {"-inf", {}, 62, 0},
    };
    for (const auto &c : cases) {
        const Num x = N(c.x);
        int32_t words[23];
        int32_t exponent = 0;
        int32_t *begin = nullptr, *end = nullptr;
        EXPECT_EQ(lnxqosb(x.b.data(), x.len, words, &exponent, &begin, &end), c.sign) << c.x;
        ASSERT_TRUE(begin >= words && end >= begin && end <= words + 23) << c.x;
        EXPECT_EQ(std::vector<int32_t>(begin, end), c.words) << c.x;
        EXPECT_EQ(exponent, c.exponent) << c.x;
    }
}

TEST(NumberForms, PackingWords) {
    std::vector<int32_t> ones(20, 1);
    std::vector<int32_t> nines(20, 99);
    const auto with = [](std::vector<int32_t> v, int32_t last) {
        v.push_back(last);
        return v;
    };
    struct Case {
        const char *what;
        std::vector<int32_t> words;
        int32_t exponent;
        int32_t sign;
        const char *expected;
    } const cases[] = {
        {"leading and trailing zeros", {0, 0, 12, 34, 0}, 3, 1, "1234"},
        {"negative", {5}, -1, 0, "-0.05"},
        {"empty", {}, 0, 1, "0"},
        {"all zero", {0, 0, 0}, 5, 0, "0"},
        {"21st word 50 rounds down", with(ones, 50), 0, 1,
         "x:C1 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02"},
        {"21st word 51 rounds up", with(ones, 51), 0, 1,
         "x:C1 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 03"},
        {"carry through 99s", with(nines, 51), 0, 0, "-100"},
        {"carry out of exponent 62", with(nines, 51), 62, 1, "inf"},
        {"exponent 63", {1}, 63, 0, "-inf"},
        {"exponent below -65", {0, 7}, -65, 1, "0"},
        {"lowest exponent", {7}, -65, 1, "7e-130"},
    };
    for (const auto &c : cases) {
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxqsbo(out, &len, c.sign, c.exponent, c.words.data(), c.words.data() + c.words.size());
        EXPECT_EQ(result(out, &len), N(c.expected)) << c.what;
    }
}

TEST(NumberForms, WorkForm) {
    struct Case {
        const char *what;
        std::vector<uint8_t> work;  // exponent byte and digits
        int32_t negative;
        const char *expected;
        std::vector<uint8_t> normalised;
    } const cases[] = {
        {"plain", {66, 1, 23}, 0, "123", {66, 1, 23}},
        {"negative", {66, 1, 23}, 1, "-123", {66, 1, 23}},
        {"leading and trailing zeros", {67, 0, 12, 34, 0}, 0, "1234", {66, 12, 34}},
        {"all zero", {70, 0, 0}, 1, "0", {0}},
        {"carry flag", {66, 100, 3}, 0, "inf", {}},
        {"carry flag, negative", {66, 100}, 1, "-inf", {}},
        {"21st digit 50 rounds up",
         {65, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 50},
         0,
         "1.00000000000000000000000000000000000002",
         {65, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}},
        {"rounding carries out of exponent 62",
         {127, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 50},
         1,
         "-inf",
         {}},
        {"21st digit 49 rounds down",
         {65, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 49},
         0,
         "1.00000000000000000000000000000000000001",
         {65, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
    };
    for (const auto &c : cases) {
        std::vector<uint8_t> prefixed{static_cast<uint8_t>(c.work.size())};
        prefixed.insert(prefixed.end(), c.work.begin(), c.work.end());
        const std::vector<uint8_t> before = prefixed;
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxqprs(prefixed.data(), out, &len, c.negative);
        EXPECT_EQ(result(out, &len), N(c.expected)) << c.what;
        EXPECT_EQ(prefixed, before) << c.what << ": work buffer changed";

        if (c.normalised.empty()) continue;
        std::vector<uint8_t> work = c.work;
        const int32_t n = lnxqnrm(work.data(), static_cast<int32_t>(work.size()));
        ASSERT_EQ(n, static_cast<int32_t>(c.normalised.size())) << c.what;
        EXPECT_EQ(std::vector<uint8_t>(work.begin(), work.begin() + n), c.normalised) << c.what;
    }
    const uint8_t empty[] = {0};
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    lnxqprs(empty, out, &len, 1);
    EXPECT_EQ(result(out, &len), zero());
}

TEST(NumberForms, CopyBetweenForms) {
    const Num x = dn("-123.456");
    uint8_t prefixed[LNXBUFLEN];
    lnxqcop(x.b.data(), x.len, prefixed, nullptr);
    EXPECT_EQ(prefixed[0], x.len);
    uint8_t counted[LNXBUFLEN];
    uint32_t len = 0;
    lnxqcop(prefixed, 0, counted, &len);
    EXPECT_EQ(result(counted, &len), x);
    lnxqcop(nullptr, -42, counted, &len);
    EXPECT_EQ(result(counted, &len), dn("-42"));
    lnxqcop(prefixed, 0, prefixed, &len);  // in place
    EXPECT_EQ(result(prefixed, &len), x);
}

}  // namespace
