// Addition, subtraction, multiplication, division and remainder against
// GMP's exact rationals, over random operands of every length from 1 to 20
// digits, both signs, exponents across the whole range and near both ends.
//
// A result must be the exact value rounded at the 21st base-100 digit by
// the operation's rule (addition: 50 rounds up; product and quotient: only
// above 50 rounds up). Three operations drop digits before they round, and
// there the result need only be within one unit of the 20th digit of the
// exact value:
//   - addition, when the smaller operand reaches beyond the 21-position
//     window aligned on the larger exponent;
//   - multiplication, when partial products fall beyond the 23rd product
//     position (more than 24 digits in the two operands together);
//   - division, when the divisor has more than three digits, so that its
//     further digits are subtracted over the 24-word dividend.
// The remainder always fits in 20 digits and must be exact.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "lnx.h"
#include "num_oracle.hpp"
#include "numbers/lnx_internal.h"

namespace {

using namespace numtest;

constexpr int kPairs = 100000;
constexpr int kMixedPairs = 20000;

bool is_inf(const Value &v) {
    return v.kind == Kind::pos_inf || v.kind == Kind::neg_inf;
}

// Whether the window of 21 positions holds every digit of both operands.
bool window_holds_both(const Num &a, const Num &b) {
    const Value va = value(a), vb = value(b);
    if (va.kind != Kind::finite || vb.kind != Kind::finite) return true;
    const bool a_bigger = abs(va.q) >= abs(vb.q);
    const Layout big = layout_of(a_bigger ? a : b), small = layout_of(a_bigger ? b : a);
    return big.exp - small.exp + small.count <= 21;
}

// A number close to a in digits: one digit changed, digits appended or cut,
// the sign chosen anew, so that sums and differences cancel.
Num perturbed(const Num &a, Gen &g) {
    const Layout l = layout_of(a);
    std::vector<uint8_t> d(l.digit.begin(), l.digit.begin() + l.count);
    switch (g.uniform(0, 3)) {
        case 0:
            d[static_cast<size_t>(g.uniform(0, l.count - 1))] = g.digit();
            break;
        case 1:
            while (d.size() < 20 && g.chance(0.8)) d.push_back(g.digit());
            break;
        case 2:
            d.resize(static_cast<size_t>(g.uniform(1, l.count)));
            break;
        default:
            break;
    }
    int exp = l.exp;
    while (!d.empty() && d.front() == 0) {
        d.erase(d.begin());
        --exp;
    }
    while (!d.empty() && d.back() == 0) d.pop_back();
    if (d.empty() || exp < -65) return a;
    return make(g.chance(0.5), exp, d);
}

std::pair<Num, Num> addition_pair(Gen &g) {
    const Num a = g.number();
    if (kind(a) != Kind::finite) return {a, g.number()};
    const int r = g.uniform(0, 9);
    const int exp = layout_of(a).exp;
    if (r < 2) return {a, g.near_exp(exp, 0)};
    if (r < 6) return {a, g.near_exp(exp, 22)};
    if (r < 8) return {a, perturbed(a, g)};
    return {a, g.number()};
}

// Exponents whose sum or difference lies near the ends of the range.
int exponent_towards(int target, int from) {
    return std::clamp(target - from, -65, 62);
}

std::pair<Num, Num> product_pair(Gen &g) {
    const Num a = g.number();
    if (kind(a) != Kind::finite || g.chance(0.6)) return {a, g.number()};
    const int ea = layout_of(a).exp;
    const int target = g.chance(0.5) ? g.uniform(60, 64) : g.uniform(-68, -64);
    return {a, g.finite(g.chance(0.5), exponent_towards(target, ea), g.uniform(1, 20))};
}

std::pair<Num, Num> quotient_pair(Gen &g) {
    const Num a = g.number();
    const int count = g.chance(0.3) ? g.uniform(1, 3) : g.uniform(1, 20);
    if (kind(a) != Kind::finite || g.chance(0.6)) {
        if (g.chance(0.03)) return {a, g.number(1.0)};
        return {a, g.finite(g.chance(0.5), g.exponent(), count)};
    }
    const int ea = layout_of(a).exp;
    const int target = g.chance(0.5) ? g.uniform(61, 64) : g.uniform(-67, -64);
    return {a, g.finite(g.chance(0.5), std::clamp(ea - target, -65, 62), count)};
}

// ---- The oracles -----------------------------------------------------------------

void check_sum(const Num &a, const Num &b, bool subtract, const Num &got, Tally &tally) {
    const Value va = value(a), vb = value(b);
    if (is_inf(va)) {
        EXPECT_EQ(got, a) << a << (subtract ? " - " : " + ") << b;
        return;
    }
    if (is_inf(vb)) {
        EXPECT_EQ(got, inf(vb.negative() != subtract)) << a << (subtract ? " - " : " + ") << b;
        return;
    }
    const mpq_class exact = subtract ? mpq_class(va.q - vb.q) : mpq_class(va.q + vb.q);
    if (window_holds_both(a, b)) {
        ++tally.exact;
        EXPECT_EQ(got, to_num(exact, Rule::half_up)) << a << (subtract ? " - " : " + ") << b;
    } else {
        tally.add_near(got, exact);
        EXPECT_TRUE(within_one_unit(got, exact)) << a << (subtract ? " - " : " + ") << b;
    }
}

void check_product(const Num &a, const Num &b, const Num &got, Tally &tally) {
    const Value va = value(a), vb = value(b);
    if (va.kind == Kind::zero || vb.kind == Kind::zero) {
        EXPECT_EQ(got, zero()) << a << " x " << b;
        return;
    }
    if (is_inf(va) || is_inf(vb)) {
        EXPECT_EQ(got, inf(va.negative() != vb.negative())) << a << " x " << b;
        return;
    }
    const mpq_class exact = va.q * vb.q;
    if (layout_of(a).count + layout_of(b).count <= 24) {
        ++tally.exact;
        EXPECT_EQ(got, to_num(exact, Rule::above_50)) << a << " x " << b;
    } else {
        tally.add_near(got, exact);
        EXPECT_TRUE(within_one_unit(got, exact)) << a << " x " << b;
    }
}

void check_quotient(const Num &a, const Num &b, const Num &got, Tally &tally) {
    const Value va = value(a), vb = value(b);
    if (is_inf(va) || vb.kind == Kind::zero) {
        // Zero counts as positive: x / 0 has the sign of x.
        EXPECT_EQ(got, inf(va.negative() != vb.negative())) << a << " / " << b;
        return;
    }
    if (va.kind == Kind::zero || is_inf(vb)) {
        EXPECT_EQ(got, zero()) << a << " / " << b;
        return;
    }
    const mpq_class exact = va.q / vb.q;
    if (layout_of(b).count <= 3) {
        ++tally.exact;
        EXPECT_EQ(got, to_num(exact, Rule::above_50)) << a << " / " << b;
    } else {
        tally.add_near(got, exact);
        EXPECT_TRUE(within_one_unit(got, exact)) << a << " / " << b;
    }
}

// The remainder a - b x trunc(a / b), computed with the exact quotient: it
// always fits in 20 digits (it lies below |b| and ends no lower than either
// operand), so it must come out exact, with the sign of the dividend,
// however large the quotient (even one beyond 100^63).
struct Mismatches {
    const char *what;
    long checked = 0;
    long wrong = 0;
    std::string examples{};
    void add(const Num &a, const Num &b, const Num &got, const Num &expected) {
        ++checked;
        if (got == expected || ++wrong > 4) return;
        examples +=
            "\n  " + hex(a) + " mod " + hex(b) + " = " + hex(got) + ", not " + hex(expected);
    }
};

struct RemainderTally {
    Mismatches small{"quotient below 10^15"};
    Mismatches large{"quotient from 10^15 to 100^63"};
    Mismatches overflow{"quotient of 100^63 or more"};
    ~RemainderTally() {
        for (const Mismatches *m : {&small, &large, &overflow}) {
            std::printf("remainder, %s: %ld checked, %ld wrong\n", m->what, m->checked, m->wrong);
            EXPECT_EQ(m->wrong, 0) << "remainders wrong, " << m->what << ":" << m->examples;
        }
    }
};

void check_remainder(const Num &a, const Num &b, const Num &got, RemainderTally &rt) {
    const Value va = value(a), vb = value(b);
    if (is_inf(va) || vb.kind == Kind::zero || is_inf(vb)) {
        // inf mod x is inf; x mod 0 and x mod inf are x.
        EXPECT_EQ(got, a) << a << " mod " << b;
        return;
    }
    if (va.kind == Kind::zero) {
        EXPECT_EQ(got, zero()) << a << " mod " << b;
        return;
    }
    const mpq_class quotient = va.q / vb.q;
    const mpq_class exact = va.q - vb.q * round_decimal(quotient, 0, DecimalMode::toward_zero);
    EXPECT_TRUE(fits(exact)) << a << " mod " << b;
    const Num expected = to_num(exact, Rule::half_up);
    const mpq_class size = abs(quotient);
    Mismatches &m = size >= pow100(63) ? rt.overflow : (size >= pow10(15) ? rt.large : rt.small);
    m.add(a, b, got, expected);
}

// ---- The properties ------------------------------------------------------------------

TEST(NumberArithmeticOracle, Addition) {
    Gen g(0xADD1);
    Tally tally{"add"};
    for (int i = 0; i < kPairs; ++i) {
        const auto [a, b] = addition_pair(g);
        check_sum(a, b, false, call(lnxadd, a, b, g), tally);
        if (HasFailure()) break;
    }
}

TEST(NumberArithmeticOracle, Subtraction) {
    Gen g(0x5B7);
    Tally tally{"subtract"};
    for (int i = 0; i < kPairs; ++i) {
        const auto [a, b] = addition_pair(g);
        check_sum(a, b, true, call(lnxsub, a, b, g), tally);
        if (HasFailure()) break;
    }
}

TEST(NumberArithmeticOracle, AddOrSubtractByFlag) {
    Gen g(0xA05);
    Tally tally{"add or subtract by flag"};
    for (int i = 0; i < kMixedPairs; ++i) {
        const auto [a, b] = addition_pair(g);
        const int32_t flag = g.chance(0.5) ? 0 : static_cast<int32_t>(g.bits());
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxqaos(a.b.data(), a.len, b.b.data(), b.len, out, &len, flag);
        check_sum(a, b, flag != 0, result(out, &len), tally);
        if (HasFailure()) break;
    }
}

TEST(NumberArithmeticOracle, Multiplication) {
    Gen g(0x3017);
    Tally tally{"multiply"};
    for (int i = 0; i < kPairs; ++i) {
        const auto [a, b] = product_pair(g);
        check_product(a, b, call(lnxmul, a, b, g), tally);
        if (HasFailure()) break;
    }
}

TEST(NumberArithmeticOracle, Division) {
    Gen g(0xD1F);
    Tally tally{"divide"};
    for (int i = 0; i < kPairs; ++i) {
        const auto [a, b] = quotient_pair(g);
        check_quotient(a, b, call(lnxdiv, a, b, g), tally);
        if (HasFailure()) break;
    }
}

// A quotient that is exactly a number of at most 20 digits comes out exact,
// whatever the divisor's length.
TEST(NumberArithmeticOracle, ExactQuotientsComeOutExact) {
    Gen g(0xE8AC);
    for (int i = 0; i < kMixedPairs; ++i) {
        const int ca = g.uniform(1, 10), cb = g.uniform(1, 20 - ca);
        const Num a = g.finite(g.chance(0.5), g.uniform(-30, 30), ca);
        const Num b = g.finite(g.chance(0.5), g.uniform(-30, 30), cb);
        const Num product = exact_num(value(a).q * value(b).q);
        EXPECT_EQ(call(lnxdiv, product, b, g), a) << product << " / " << b;
        if (HasFailure()) break;
    }
}

TEST(NumberArithmeticOracle, Remainder) {
    Gen g(0x30D);
    RemainderTally rt;
    for (int i = 0; i < kPairs; ++i) {
        auto [a, b] = quotient_pair(g);
        if (g.chance(0.5) && kind(a) == Kind::finite) {
            // Quotients of a few digits: the dividend near a small multiple.
            const int exp = std::max(layout_of(a).exp - g.uniform(0, 7), -65);
            b = g.finite(g.chance(0.5), exp, g.uniform(1, 20));
        }
        check_remainder(a, b, call(lnxmod, a, b, g), rt);
        if (HasFailure()) break;
    }
}

// The mixed operations with a 32-bit machine integer n behave as the number
// operations with n as a number.
int32_t any_int32(Gen &g) {
    switch (g.uniform(0, 3)) {
        case 0:
            return static_cast<int32_t>(g.uniform(-100, 100));
        case 1:
            return static_cast<int32_t>(g.bits());
        case 2:
            return g.chance(0.5) ? INT32_MIN : INT32_MAX;
        default:
            return static_cast<int32_t>(g.uniform(-1000000, 1000000));
    }
}

TEST(NumberArithmeticOracle, MixedIntegerOperations) {
    Gen g(0x1A7);
    Tally sums{"mixed add/subtract"}, products{"mixed multiply"}, quotients{"mixed divide"};
    RemainderTally rt;
    for (int i = 0; i < kMixedPairs; ++i) {
        const Num a = g.chance(0.5) ? g.number() : g.near_exp(g.uniform(-2, 6), 3);
        const int32_t n = any_int32(g);
        const Num bn = exact_num(mpq_class(n));
        check_sum(a, bn, false, call(lnxqIAdd, a, n, g), sums);
        check_sum(a, bn, true, call(lnxqISub, a, n, g), sums);
        check_product(a, bn, call(lnxqIMul, a, n, g), products);
        check_quotient(a, bn, call(lnxqIDiv, a, n, g), quotients);
        check_remainder(a, bn, call(lnxqIMod, a, n, g), rt);
        if (HasFailure()) break;
    }
}

TEST(NumberArithmeticOracle, NegateAndAbsolute) {
    Gen g(0xAB5);
    for (int i = 0; i < kPairs; ++i) {
        const Num a = g.number(0.05);
        const Value v = value(a);
        const Num neg = call(lnxneg, a, g), absolute = call(lnxabs, a, g);
        switch (v.kind) {
            case Kind::zero:
                EXPECT_EQ(neg, zero());
                EXPECT_EQ(absolute, zero());
                break;
            case Kind::pos_inf:
            case Kind::neg_inf:
                EXPECT_EQ(neg, inf(!v.negative()));
                EXPECT_EQ(absolute, pos_inf());
                break;
            case Kind::finite:
                EXPECT_EQ(neg, exact_num(-v.q)) << a;
                EXPECT_EQ(absolute, exact_num(abs(v.q))) << a;
                break;
        }
        if (HasFailure()) break;
    }
}

TEST(NumberArithmeticOracle, Increment) {
    Gen g(0x1AC);
    for (int i = 0; i < kMixedPairs; ++i) {
        Num a;
        if (g.chance(0.7)) {
            // Positive integers of 1 to 20 integer digits.
            const int exp = g.uniform(0, 19);
            a = g.finite(g.chance(0.1), exp, g.uniform(1, exp + 1));
        } else {
            a = g.number(0.1);
        }
        const Value v = value(a);
        // The argument must have no fractional part from 1 on.
        if (v.kind == Kind::finite && v.q >= 1 && v.q.get_den() != 1) continue;
        const bool counts_up =
            v.kind == Kind::finite && sgn(v.q) > 0 && v.q.get_den() == 1 && v.q < pow100(19);
        const Num expected = counts_up ? exact_num(v.q + 1) : exact_num(mpq_class(1));
        uint8_t buf[LNXBUFLEN] = {};
        if (g.chance(0.5)) {
            std::copy_n(a.b.begin(), a.len, buf);
            auto len = static_cast<uint32_t>(a.len);
            lnxinc(buf, &len);
            EXPECT_EQ(result(buf, &len), expected) << a;
        } else {
            buf[0] = static_cast<uint8_t>(a.len);
            std::copy_n(a.b.begin(), a.len, buf + 1);
            lnxinc(buf, nullptr);
            EXPECT_EQ(result(buf, nullptr), expected) << a;
        }
        if (HasFailure()) break;
    }
}

}  // namespace
