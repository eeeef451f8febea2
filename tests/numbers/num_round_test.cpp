// Rounding and truncation to decimal places, floor and ceiling, rounding to
// significant digits and the scale check, against exact decimal rounding of
// GMP rationals. None of these drops digits before deciding, so every
// result must be exact: half away from zero for rounding, toward zero for
// truncation; a carry beyond 100^63 gives the infinity of the sign.
#include <gtest/gtest.h>

#include <cstdint>

#include "lnx.h"
#include "num_oracle.hpp"

namespace {

using namespace numtest;

constexpr int kCases = 100000;

// Decimal digits before the point (floor(log10 |x|) + 1: negative below 0.1)
// and after it, down to the last non-zero one (negative for an integer
// ending in zeros).
int integer_digits(const mpq_class &x) {
    return exp10(x) + 1;
}
int fraction_digits(const Num &n) {
    const Layout l = layout_of(n);
    const int last = l.digit[static_cast<size_t>(l.count - 1)];
    return 2 * (l.count - l.exp - 1) - (last % 10 == 0 ? 1 : 0);
}

// A count of places that cuts somewhere inside x (or just outside it), now
// and then one far away or at the ends of the 32-bit range.
int32_t places_for(const Num &x, Gen &g) {
    const Value v = value(x);
    const int r = g.uniform(0, 19);
    if (v.kind != Kind::finite || r == 0) {
        static const int32_t far[] = {INT32_MIN, INT32_MAX, -1000, 1000, -200, 200, 0};
        return far[g.uniform(0, 6)];
    }
    if (r == 1) return g.uniform(-140, 170);
    return g.uniform(-integer_digits(v.q) - 3, fraction_digits(x) + 3);
}

// x rounded or truncated to places as a number: beyond the range an
// infinity.
Num decimal_result(const Num &x, int64_t places, DecimalMode mode) {
    const Value v = value(x);
    if (v.kind != Kind::finite) return x;
    const mpq_class r = round_decimal(v.q, places, mode);
    EXPECT_TRUE(fits(r)) << x << " to " << places;
    return to_num(r, Rule::half_up);
}

TEST(NumberRoundingOracle, RoundToPlaces) {
    Gen g(0x4075);
    for (int i = 0; i < kCases; ++i) {
        const Num x = g.number();
        const int32_t places = places_for(x, g);
        EXPECT_EQ(call(lnxrou, x, places, g), decimal_result(x, places, DecimalMode::half_away))
            << x << " rounded to " << places;
        if (HasFailure()) break;
    }
}

TEST(NumberRoundingOracle, TruncateToPlaces) {
    Gen g(0x7A0C);
    for (int i = 0; i < kCases; ++i) {
        const Num x = g.number();
        const int32_t places = places_for(x, g);
        EXPECT_EQ(call(lnxtru, x, places, g), decimal_result(x, places, DecimalMode::toward_zero))
            << x << " truncated to " << places;
        if (HasFailure()) break;
    }
}

TEST(NumberRoundingOracle, Floor) {
    Gen g(0xF1);
    for (int i = 0; i < kCases; ++i) {
        // Integers and numbers near them matter most.
        const Num x = g.chance(0.6) ? g.near_exp(g.uniform(-2, 19), 2) : g.number();
        EXPECT_EQ(call(lnxflo, x, 0, g), decimal_result(x, 0, DecimalMode::floor)) << x;
        if (HasFailure()) break;
    }
}

TEST(NumberRoundingOracle, Ceiling) {
    Gen g(0xCE1);
    for (int i = 0; i < kCases; ++i) {
        const Num x = g.chance(0.6) ? g.near_exp(g.uniform(-2, 19), 2) : g.number();
        const int32_t flag = g.chance(0.5) ? 1 : static_cast<int32_t>(g.bits() | 1);
        EXPECT_EQ(call(lnxflo, x, flag, g), decimal_result(x, 0, DecimalMode::ceiling)) << x;
        if (HasFailure()) break;
    }
}

// Rounding to significant digits: a number of s significant decimal digits
// and D integer digits stays when s fits, else it is rounded half away to
// (digits - D) places.
TEST(NumberRoundingOracle, RoundToSignificantDigits) {
    Gen g(0x5D);
    for (int i = 0; i < kCases; ++i) {
        const Num x = g.number();
        int32_t digits = g.uniform(-3, 42);
        if (g.chance(0.02)) digits = g.chance(0.5) ? INT32_MIN : INT32_MAX;
        Num expected = x;
        const Value v = value(x);
        if (v.kind == Kind::finite) {
            const int d = integer_digits(v.q);
            if (d + fraction_digits(x) > digits) {
                expected = decimal_result(x, int64_t{digits} - d, DecimalMode::half_away);
            }
        }
        EXPECT_EQ(call(lnxfpr, x, digits, g), expected) << x << " to " << digits << " digits";
        if (HasFailure()) break;
    }
}

// The scale check: rounded to the places when the number has more, and the
// flag set when the result has more integer digits than allowed.
TEST(NumberRoundingOracle, ScaleCheck) {
    Gen g(0x5CA);
    for (int i = 0; i < kCases; ++i) {
        const Num x = g.chance(0.5) ? g.near_exp(g.uniform(-3, 20), 3) : g.number();
        const int32_t places = places_for(x, g);
        const int32_t max_integer =
            g.chance(0.05) ? static_cast<int32_t>(g.bits()) : g.uniform(-5, 45);
        const Value v = value(x);
        Num expected = x;
        if (v.kind == Kind::finite && fraction_digits(x) > places) {
            expected = decimal_result(x, places, DecimalMode::half_away);
        }
        const Value r = value(expected);
        int32_t overflow = 0;
        if (r.kind == Kind::finite) overflow = integer_digits(r.q) > max_integer;
        if (r.kind == Kind::pos_inf || r.kind == Kind::neg_inf) overflow = max_integer < 126;

        const Arg a = pass(x, any_form(g, x));
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        const bool counted = g.chance(0.5);
        int32_t flag = -1;
        lnxsca(a.ptr, a.len, out, counted ? &len : nullptr, max_integer, places, &flag);
        EXPECT_EQ(result(out, counted ? &len : nullptr), expected)
            << x << " into (" << max_integer << ", " << places << ")";
        EXPECT_EQ(flag, overflow) << x << " into (" << max_integer << ", " << places << ")";
        if (HasFailure()) break;
    }
}

}  // namespace
