// The fast arithmetic gives, byte for byte, what the digit-by-digit
// statement of each operation gives, over random operands of every length,
// both signs and all relative exponents.
#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "literal_arith.hpp"
#include "lnx.h"

namespace {

using tavo::num::Unpacked;

struct Operand {
    uint8_t bytes[tavo::num::kEncodedRoom];
    int len;
    Unpacked value;
};

// A random normalised number: 1..20 digits (first and last non-zero),
// digits drawn to favour 0, 50, 99 and their neighbours, where carries and
// rounding decide.
Operand random_operand(std::mt19937_64 &rng, int exp_lo, int exp_hi) {
    std::uniform_int_distribution<int> count_of(1, 20), exp_of(exp_lo, exp_hi), any(0, 99),
        pick(0, 9);
    Unpacked u;
    u.kind = tavo::num::Kind::finite;
    u.negative = rng() & 1;
    u.exp = exp_of(rng);
    u.count = count_of(rng);
    for (int i = 0; i < u.count; ++i) {
        static constexpr uint8_t kEdgy[] = {0, 1, 49, 50, 51, 98, 99};
        const int p = pick(rng);
        u.digit[i] = static_cast<uint8_t>(p < 4 ? kEdgy[rng() % 7] : any(rng));
    }
    if (u.digit[0] == 0) u.digit[0] = 1;
    if (u.digit[u.count - 1] == 0) u.digit[u.count - 1] = 7;
    Operand o;
    o.value = u;
    o.len = tavo::num::encode(u, o.bytes);
    return o;
}

std::vector<uint8_t> encoded(const Unpacked &u) {
    uint8_t out[tavo::num::kEncodedRoom];
    const int n = tavo::num::encode(u, out);
    return {out, out + n};
}

using LibraryOp = void (*)(const uint8_t *, int32_t, const uint8_t *, int32_t, uint8_t *,
                           uint32_t *);
using LiteralOp = Unpacked (*)(const Unpacked &, const Unpacked &);

struct Case {
    const char *name;
    LibraryOp library;
    LiteralOp literal;
    int exp_lo, exp_hi;
};

Unpacked literal_add(const Unpacked &a, const Unpacked &b) {
    return literal::add(a, b, false);
}
Unpacked literal_sub(const Unpacked &a, const Unpacked &b) {
    return literal::add(a, b, true);
}

class ArithmeticEquivalence : public ::testing::TestWithParam<Case> {};

TEST_P(ArithmeticEquivalence, MatchesDigitByDigitStatement) {
    const Case &c = GetParam();
    std::mt19937_64 rng(20261206);
    for (int n = 0; n < 200000; ++n) {
        // Mostly near exponents (overlapping windows), sometimes the whole range.
        const bool wide = n % 8 == 0;
        const Operand a = random_operand(rng, wide ? -65 : -3, wide ? 62 : 3);
        const Operand b = random_operand(rng, wide ? -65 : -3, wide ? 62 : 3);
        uint8_t out[tavo::num::kEncodedRoom];
        uint32_t len = 0;
        c.library(a.bytes, a.len, b.bytes, b.len, out, &len);
        const auto expected = encoded(c.literal(a.value, b.value));
        ASSERT_EQ(std::vector<uint8_t>(out, out + len), expected) << c.name << " case " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, ArithmeticEquivalence,
                         ::testing::Values(Case{"add", lnxadd, literal_add, -3, 3},
                                           Case{"sub", lnxsub, literal_sub, -3, 3},
                                           Case{"mul", lnxmul, literal::multiply, -3, 3},
                                           Case{"div", lnxdiv, literal::divide, -3, 3}),
                         [](const auto &info) { return std::string(info.param.name); });

// Doubles and floats of every kind: any bit pattern, integers, values next
// to powers of ten (where the decimal exponent is decided by rounding), and
// values spread over the whole range.
TEST(FloatEquivalence, MatchesTheRecipeStepByStep) {
    std::mt19937_64 rng(20261206);
    for (int n = 0; n < 400000; ++n) {
        double d;
        switch (n % 5) {
            case 0: {
                const uint64_t bits = rng();
                std::memcpy(&d, &bits, 8);
                break;
            }
            case 1:
                // Whole numbers, small and up to 16 digits.
                d = (n & 8) != 0
                        ? static_cast<double>(static_cast<int64_t>(rng() % 2000001) - 1000000)
                        : static_cast<double>(static_cast<int64_t>(rng() % 20000000000000000) -
                                              10000000000000000) /
                              static_cast<double>(uint64_t{1} << (rng() % 4 == 0 ? rng() % 50 : 0));
                break;
            case 2:
                d = std::nextafter(std::pow(10.0, static_cast<int>(rng() % 600) - 300),
                                   (rng() & 1) ? 1e308 : 0.0);
                break;
            case 3:
                d = std::pow(10.0, static_cast<int>(rng() % 260) - 130) *
                    (1.0 + (static_cast<double>(rng() % 20001) - 10000) * 1e-8);
                break;
            default:
                d = std::ldexp(static_cast<double>(rng() >> 11),
                               static_cast<int>(rng() % 500) - 300);
        }
        for (const bool as_float : {false, true}) {
            uint8_t out[tavo::num::kEncodedRoom];
            uint32_t len = 0;
            if (as_float) {
                const auto f = static_cast<float>(d);
                lnxren(&f, 4, out, &len);
                ASSERT_EQ(std::vector<uint8_t>(out, out + len),
                          encoded(literal::from_double(f, true)))
                    << "float " << f;
            } else {
                lnxren(&d, 8, out, &len);
                ASSERT_EQ(std::vector<uint8_t>(out, out + len),
                          encoded(literal::from_double(d, false)))
                    << "double " << d;
            }
        }
    }
}

// Both output forms of lnxren, each against the recipe's number.
void expect_recipe_bytes(double d) {
    const auto expected = encoded(literal::from_double(d, false));
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    lnxren(&d, 8, out, &len);
    ASSERT_EQ(std::vector<uint8_t>(out, out + len), expected) << std::hexfloat << d;
    std::memset(out, 0, sizeof out);
    lnxren(&d, 8, out, nullptr);
    ASSERT_EQ(out[0], expected.size()) << std::hexfloat << d;
    ASSERT_EQ(std::vector<uint8_t>(out + 1, out + 1 + out[0]), expected) << std::hexfloat << d;
}

// d and its neighbours up to `steps` doubles away on either side.
void expect_around(double d, int steps) {
    double below = d, above = d;
    expect_recipe_bytes(d);
    for (int i = 0; i < steps; ++i) {
        below = std::nextafter(below, 0.0);
        above = std::nextafter(above, INFINITY);
        expect_recipe_bytes(below);
        expect_recipe_bytes(above);
        expect_recipe_bytes(-below);
        expect_recipe_bytes(-above);
    }
}

// Decimal text to the nearest double (strtod rounds correctly).
double parse(const char *text) {
    return std::strtod(text, nullptr);
}

// Most doubles take their scale from a table by binary exponent and their
// digits from one exact product; both are exact only away from powers of
// ten and from the 15th digit's rounding boundaries, and the rest go the
// long way. Every power of ten and two in range, the edges of the windows
// around the powers of ten, and random values in every decade.
TEST(FloatEquivalence, ScaleByBinaryExponentMatchesTheRecipe) {
    for (int j = -140; j <= 130; ++j) {
        const double p = std::pow(10.0, j);
        expect_around(p, 4);
        // The window's edges, and inside it where rounding log10 to a float
        // reaches the power itself.
        for (const double offset : {1e-4, 5e-5, 3e-5, 1e-5, 5e-6, 3e-6, 2e-6, 1e-6, 1e-7, 1e-8}) {
            expect_around(p * (1 - offset), 2);
            expect_around(p * (1 + offset), 2);
        }
    }
    for (int b = -440; b <= 420; ++b) expect_around(std::ldexp(1.0, b), 3);
    std::mt19937_64 rng(7319);
    for (int j = -135; j <= 126; ++j) {
        for (int n = 0; n < 200; ++n) {
            const double mantissa = 1.0 + static_cast<double>(rng() >> 11) * 0x1p-53 * 9.0;
            expect_recipe_bytes(mantissa * std::pow(10.0, j));
        }
    }
}

// Values whose 16th and later significant digits sit at, just below and
// just above the half-way point of the 15th digit's rounding, with 17 and
// 18 peeled digits (odd and even decimal exponents), a few doubles either
// side, and the same near the first digits 1, 9.99.. and 99.99..
TEST(FloatEquivalence, FifteenthDigitBoundariesMatchTheRecipe) {
    std::mt19937_64 rng(90210);
    char text[64];
    for (int n = 0; n < 40000; ++n) {
        const int exponent = static_cast<int>(rng() % 250) - 125;
        const uint64_t head = 100000000000000 + rng() % 900000000000000;  // 15 digits
        static constexpr const char *kTails[] = {"5", "49999", "50001", "4999999", "5000001"};
        std::snprintf(text, sizeof text, "%llu%se%d", static_cast<unsigned long long>(head),
                      kTails[n % 5], exponent);
        expect_around(parse(text), n % 5 == 0 ? 3 : 1);
    }
    for (int exponent = -125; exponent <= 123; ++exponent) {
        for (const char *head : {"9999999999999995", "99999999999999949", "1000000000000005",
                                 "999999999999999", "1000000000000001", "99999999999999995"}) {
            std::snprintf(text, sizeof text, "%se%d", head, exponent);
            expect_around(parse(text), 3);
        }
    }
}

// Subnormals, the ends of the range and floats near the same edges take
// the general path and the float recipe.
TEST(FloatEquivalence, EndsOfTheRangeAndFloatsMatchTheRecipe) {
    for (const double d : {4.9406564584124654e-324, 2.2250738585072009e-308,
                           2.2250738585072014e-308, 1e-300, 1e-200, 1e-131, 1e-130, 1e-129, 1e-128,
                           1e123, 1e124, 1e125, 9.99999e125, 1e126, 1e300, 1.7976931348623157e308})
        expect_around(d, 3);
    std::mt19937_64 rng(4471);
    for (int n = 0; n < 20000; ++n) {
        const float f = std::ldexp(1.0f + static_cast<float>(rng() % 8388608) * 0x1p-23f,
                                   static_cast<int>(rng() % 280) - 150);
        for (const float v : {f, -f, std::nextafter(f, 0.0f), std::nextafter(f, INFINITY)}) {
            uint8_t out[LNXBUFLEN];
            uint32_t len = 0;
            lnxren(&v, 4, out, &len);
            ASSERT_EQ(std::vector<uint8_t>(out, out + len), encoded(literal::from_double(v, true)))
                << std::hexfloat << v;
        }
    }
}

}  // namespace

// Whole doubles take a shortcut past the scaling: every one near a power of
// ten or two, and all the small ones, must still come out as the recipe has
// them.
TEST(FloatEquivalence, WholeNumbersMatchTheRecipe) {
    std::vector<double> values;
    for (int i = -100000; i <= 100000; ++i) values.push_back(i);
    for (double p = 10; p <= 1e16; p *= 10)
        for (double d = -3; d <= 3; ++d) values.insert(values.end(), {p + d, -(p + d)});
    for (int k = 1; k <= 53; ++k)
        for (double d = -2; d <= 2; ++d) values.push_back(std::ldexp(1.0, k) + d);
    for (const double d : values) expect_recipe_bytes(d);  // both output forms
}

namespace {

// lnxdiv of two unpacked numbers, and the division that other number
// functions call (which takes its operands from memory), against the
// digit-by-digit statement.
void expect_division_matches(const Unpacked &a, const Unpacked &b, const char *family, int n) {
    uint8_t x[tavo::num::kEncodedRoom], y[tavo::num::kEncodedRoom], out[tavo::num::kEncodedRoom];
    const int xl = tavo::num::encode(a, x), yl = tavo::num::encode(b, y);
    uint32_t len = 0;
    lnxdiv(x, xl, y, yl, out, &len);
    const auto expected = encoded(literal::divide(a, b));
    ASSERT_EQ(std::vector<uint8_t>(out, out + len), expected) << family << " case " << n;
    ASSERT_EQ(encoded(tavo::num::divide(a, b)), expected) << family << " (unpacked) case " << n;
}

// A finite number of the given base-100 digits (trailing zeros dropped).
Unpacked from_digit_list(bool negative, int exp, const std::vector<int> &digits) {
    std::vector<uint8_t> bytes(digits.begin(), digits.end());
    return tavo::num::from_digits(negative, exp, bytes.data(), static_cast<int>(bytes.size()));
}

mpz_class digits_value(const std::vector<int> &digits) {
    mpz_class v = 0;
    for (const int d : digits) v = v * 100 + d;
    return v;
}

std::vector<int> value_digits(mpz_class v, int count) {
    std::vector<int> digits(static_cast<size_t>(count));
    for (int i = count - 1; i >= 0; --i) {
        const mpz_class r = v % 100;
        digits[static_cast<size_t>(i)] = static_cast<int>(r.get_si());
        v /= 100;
    }
    return digits;
}

// A digit drawn to make carries and rounding decide: any, the edges, or
// runs of 99 and 00.
int edgy_digit(std::mt19937_64 &rng, int mode) {
    static constexpr int kEdgy[] = {0, 1, 49, 50, 51, 98, 99};
    switch (mode) {
        case 0:
            return static_cast<int>(rng() % 100);
        case 1:
            return kEdgy[rng() % 7];
        case 2:
            return (rng() & 1) != 0 ? 99 : 0;
        default:
            return rng() % 4 == 0 ? static_cast<int>(rng() % 100) : 99;
    }
}

}  // namespace

// Quotients steered next to a rounding boundary: the digit that decides
// the rounding is 49 .. 52, with runs of 99 or 00 before it and the digit
// after it near 0 or 99, over divisors of 4 to 20 digits. The dividend is
// the 20-digit integer nearest to the chosen quotient times the divisor,
// so the exact quotient lands within a unit or so of the boundary, where
// the shortcut from the exact quotient must give way to the digits.
TEST(DivisionEquivalence, QuotientsNearARoundingBoundary) {
    std::mt19937_64 rng(71206);
    mpz_class p19, p20, p21;
    mpz_ui_pow_ui(p19.get_mpz_t(), 100, 19);
    mpz_ui_pow_ui(p20.get_mpz_t(), 100, 20);
    mpz_ui_pow_ui(p21.get_mpz_t(), 100, 21);
    int tried = 0;
    for (int n = 0; tried < 150000; ++n) {
        const int divisor_digits = 4 + static_cast<int>(rng() % 17);
        std::vector<int> b(static_cast<size_t>(divisor_digits));
        for (int &d : b) d = edgy_digit(rng, static_cast<int>(rng() % 4));
        // A first digit near 99 lets the dividend reach every quotient.
        b[0] =
            (rng() & 1) != 0 ? 90 + static_cast<int>(rng() % 10) : 1 + static_cast<int>(rng() % 99);
        if (b.back() == 0) b.back() = 1 + static_cast<int>(rng() % 99);
        std::vector<int> b20 = b;
        b20.resize(20, 0);
        // The quotient: 21 or 22 digits, the deciding one the 21st.
        const int q_digits = (rng() & 1) != 0 ? 22 : 21;
        std::vector<int> q(22, 0);
        const int first = 22 - q_digits, mode = 1 + static_cast<int>(rng() % 3);
        for (int i = first; i < 22; ++i) q[static_cast<size_t>(i)] = edgy_digit(rng, mode);
        if (q[static_cast<size_t>(first)] == 0) q[static_cast<size_t>(first)] = 1;
        const int deciding = first + 20;
        q[static_cast<size_t>(deciding)] = 49 + static_cast<int>(rng() % 4);
        if (deciding == 20)
            q[21] =
                (rng() & 1) != 0 ? 99 - static_cast<int>(rng() % 3) : static_cast<int>(rng() % 3);
        if ((rng() & 1) != 0)
            for (int i = deciding - 1; i > first && rng() % 4 != 0; --i)
                q[static_cast<size_t>(i)] = (rng() & 1) != 0 ? 99 : 0;
        const mpz_class a =
            digits_value(q) * digits_value(b20) / p21 + static_cast<long>(rng() % 3) - 1;
        if (a < p19 || a >= p20) continue;
        ++tried;
        const int ea = static_cast<int>(rng() % 7) - 3, eb = static_cast<int>(rng() % 7) - 3;
        expect_division_matches(from_digit_list(rng() & 1, ea, value_digits(a, 20)),
                                from_digit_list(rng() & 1, eb, b), "near boundary", n);
        if (HasFatalFailure()) return;
    }
}

// Divisors of `lo` to `hi` digits against dividends of every length and
// sign, exponents near each other and, one case in `wide_every`, across the
// whole range (quotients near both ends).
void check_divisors_of(int lo, int hi, uint64_t seed, int cases, int wide_every,
                       const char *family) {
    std::mt19937_64 rng(seed);
    for (int n = 0; n < cases; ++n) {
        const bool wide = n % wide_every == 0;
        const Operand a = random_operand(rng, wide ? -65 : -3, wide ? 62 : 3);
        Unpacked b = random_operand(rng, wide ? -65 : -3, wide ? 62 : 3).value;
        b.count = lo + static_cast<int>(rng() % static_cast<uint64_t>(hi - lo + 1));
        for (int i = b.count; i < 20; ++i) b.digit[i] = 0;
        if (b.digit[b.count - 1] == 0) b.digit[b.count - 1] = 3;
        expect_division_matches(a.value, b, family, n);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

// Divisors of one to three digits take exact long division.
TEST(DivisionEquivalence, ShortDivisorsMatchTheStatement) {
    check_divisors_of(1, 3, 61206, 200000, 4, "divisor of 1 to 3 digits");
}

// Divisors of four to six digits: the first ones with digits beyond the
// trial divisor.
TEST(DivisionEquivalence, DivisorsOfFourToSixDigits) {
    check_divisors_of(4, 6, 81206, 150000, 8, "divisor of 4 to 6 digits");
}

// Integers over integers: small ones, larger dividends, exact multiples,
// and dividends that are machine integers passed behind a null pointer.
TEST(DivisionEquivalence, SmallIntegers) {
    std::mt19937_64 rng(91206);
    for (int n = 0; n < 150000; ++n) {
        const int64_t divisor = 1 + static_cast<int64_t>(rng() % (n % 2 == 0 ? 9999 : 999999));
        int64_t dividend = 1 + static_cast<int64_t>(rng() % (n % 3 == 0 ? 999999999 : 9999));
        if (n % 5 == 0) dividend = divisor * (1 + static_cast<int64_t>(rng() % 100000));
        if (n % 7 == 0) dividend = -dividend;
        expect_division_matches(tavo::num::from_int(dividend), tavo::num::from_int(divisor),
                                "small integers", n);
        if (HasFatalFailure()) return;
    }
    for (int32_t x = -300; x <= 300; ++x) {
        for (int32_t y = 1; y <= 300; y += 7) {
            const Unpacked b = tavo::num::from_int(y);
            uint8_t by[tavo::num::kEncodedRoom], out[tavo::num::kEncodedRoom];
            const int yl = tavo::num::encode(b, by);
            uint32_t len = 0;
            lnxdiv(nullptr, x, by, yl, out, &len);
            ASSERT_EQ(std::vector<uint8_t>(out, out + len),
                      encoded(literal::divide(tavo::num::from_int(x), b)))
                << x << " / " << y;
        }
    }
}
