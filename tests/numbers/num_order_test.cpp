// Numbers compare as byte strings: lmxcmp of two encodings orders them as
// their values, infinities at the ends.
#include <gtest/gtest.h>

#include <vector>

#include "lmx.h"
#include "num_oracle.hpp"

namespace {

using namespace numtest;

constexpr int kPairs = 200000;

// -1, 0, 1 as a is below, equal to or above b.
int numeric_order(const Value &a, const Value &b) {
    const auto rank = [](const Value &v) {
        return v.kind == Kind::neg_inf ? 0 : (v.kind == Kind::pos_inf ? 2 : 1);
    };
    if (rank(a) != rank(b)) return rank(a) < rank(b) ? -1 : 1;
    if (rank(a) != 1) return 0;
    const int c = cmp(a.q, b.q);
    return (c > 0) - (c < 0);
}

// b close to a: a digit changed by one, digits appended or cut, the
// exponent moved by one, the sign flipped, or a itself.
Num neighbour(const Num &a, Gen &g) {
    if (kind(a) != Kind::finite) return g.number(0.2);
    const Layout l = layout_of(a);
    std::vector<uint8_t> d(l.digit.begin(), l.digit.begin() + l.count);
    int exp = l.exp;
    bool negative = l.negative;
    switch (g.uniform(0, 5)) {
        case 0: {
            auto &digit = d[static_cast<size_t>(g.uniform(0, l.count - 1))];
            digit = static_cast<uint8_t>(
                digit == 99 ? 98 : (digit == 0 ? 1 : digit + (g.chance(0.5) ? 1 : -1)));
            break;
        }
        case 1:
            while (d.size() < 20 && g.chance(0.7)) d.push_back(g.digit());
            break;
        case 2:
            d.resize(static_cast<size_t>(g.uniform(1, l.count)));
            break;
        case 3:
            exp = std::clamp(exp + (g.chance(0.5) ? 1 : -1), -65, 62);
            break;
        case 4:
            negative = !negative;
            break;
        default:
            return a;
    }
    while (!d.empty() && d.back() == 0) d.pop_back();
    if (d.empty() || d.front() == 0) return a;
    return make(negative, exp, d);
}

TEST(NumberOrderOracle, ByteOrderIsNumericOrder) {
    Gen g(0x0D0);
    long equal = 0;
    for (int i = 0; i < kPairs; ++i) {
        const Num a = g.number(0.05);
        const Num b = g.chance(0.6) ? neighbour(a, g) : g.number(0.05);
        const int expected = numeric_order(value(a), value(b));
        equal += expected == 0;
        const int32_t r = lmxcmp(a.b.data(), static_cast<uint32_t>(a.len), b.b.data(),
                                 static_cast<uint32_t>(b.len));
        ASSERT_EQ((r > 0) - (r < 0), expected) << a << " vs " << b;
    }
    EXPECT_GT(equal, 1000);  // equal pairs were tried too
}

}  // namespace
