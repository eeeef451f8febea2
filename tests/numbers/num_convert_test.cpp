// Conversions between numbers and machine integers and floating point, and
// the unpacked digit, word and work forms, against exact values.
//
//   lnxmin: exact for every 1- and 2-byte value and random 4-byte ones.
//   lnxsni: exact, truncating toward zero, with the clamping rules and
//           the 0x8000 flag that keeps the low bits instead.
//   lnxren: the double's exact value rounded half away from zero to 15
//           significant digits (a float's to 6), except that the recipe
//           rounds twice, first to the 9 (or 5) base-100 digits it peels off
//           a double scaled by a power of 100: the result may then be one
//           unit of the last digit away, for values within a quarter of a
//           unit of the halfway point (a hundredth for floats).
//   lnxnur: within a bound of units in the last place that grows with
//           the number of rounding steps of its recipe (see ToDouble); a
//           float's result is the correctly rounded one.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "lnx.h"
#include "num_oracle.hpp"

namespace {

using namespace numtest;

constexpr int kCases = 100000;
constexpr int kFormCases = 20000;

// ---- Machine integers ------------------------------------------------------------

Num from_machine(const void *value, uint32_t size, int32_t signedness, Gen &g) {
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    const bool counted = g.chance(0.5);
    EXPECT_EQ(lnxmin(value, size, signedness, out, counted ? &len : nullptr), 0);
    return result(out, counted ? &len : nullptr);
}

TEST(NumberIntegerOracle, EveryByteAndHalfword) {
    Gen g(0x8);
    for (int32_t signedness = 0; signedness <= 2; ++signedness) {
        for (int v = 0; v < 256; ++v) {
            const auto byte = static_cast<uint8_t>(v);
            const int64_t expected = signedness ? static_cast<int8_t>(byte) : byte;
            EXPECT_EQ(from_machine(&byte, 1, signedness, g), exact_num(mpq_class(expected)))
                << v << " signedness " << signedness;
        }
        for (int v = 0; v < 65536; ++v) {
            const auto half = static_cast<uint16_t>(v);
            const int64_t expected = signedness ? static_cast<int16_t>(half) : half;
            const Num got = from_machine(&half, 2, signedness, g);
            if (got != exact_num(mpq_class(static_cast<long>(expected)))) {
                ADD_FAILURE() << v << " signedness " << signedness << ": " << got;
                break;
            }
        }
    }
}

TEST(NumberIntegerOracle, Words) {
    Gen g(0x32);
    for (int i = 0; i < kCases; ++i) {
        uint32_t word = static_cast<uint32_t>(g.bits());
        if (i < 8) word = (i & 1 ? 0x80000000u : 0x7FFFFFFFu) + static_cast<uint32_t>(i / 2);
        if (g.chance(0.2)) word >>= g.uniform(1, 31);
        const int32_t signedness = g.uniform(0, 2);
        const int64_t expected = signedness ? int64_t{static_cast<int32_t>(word)} : int64_t{word};
        ASSERT_EQ(from_machine(&word, 4, signedness, g),
                  exact_num(mpq_class(mpz_class(std::to_string(expected)))))
            << word << " signedness " << signedness;
    }
}

// A number near the limits of the machine types, or anywhere.
Num integer_candidate(Gen &g) {
    static const int64_t limits[] = {
        0,     1,     127,   128,          255,          256,          32767,
        32768, 65535, 65536, 2147483647LL, 2147483648LL, 4294967295LL, 4294967296LL};
    const int r = g.uniform(0, 9);
    if (r < 5) {
        mpq_class v(mpz_class(std::to_string(limits[g.uniform(0, 13)] + g.uniform(-2, 2))));
        if (g.chance(0.3)) v += mpq_class(g.uniform(1, 99), 100);  // a fraction to drop
        if (g.chance(0.5)) v = -v;
        return exact_num(v);
    }
    if (r < 7) return g.finite(g.chance(0.5), g.uniform(-3, 5), g.uniform(1, 20));
    return g.number(0.05);
}

TEST(NumberIntegerOracle, ToMachineIntegers) {
    Gen g(0x5A1);
    for (int i = 0; i < kCases; ++i) {
        const Num x = integer_candidate(g);
        static const uint32_t sizes[] = {1, 2, 4};
        const uint32_t size = sizes[g.uniform(0, 2)];
        const uint32_t mode = static_cast<uint32_t>(g.uniform(0, 2));
        const bool clamps = g.chance(0.7);
        const uint32_t flags = mode | (clamps ? 0 : 0x8000u);

        const Value v = value(x);
        const int bits = static_cast<int>(size) * 8;
        const mpz_class span = mpz_class(1) << bits;
        const bool negative = v.negative();
        const bool is_signed = mode != 0;
        const mpz_class limit = is_signed ? mpz_class((mpz_class(1) << (bits - 1)) - 1) : span - 1;
        int32_t expected_result = 0;
        mpz_class stored = 0;  // what the bytes hold, as a value in [0, span)
        bool check_bytes = true;
        if (v.kind == Kind::finite && abs(v.q) < 1) {
            expected_result = 2;
        } else if (v.kind != Kind::zero) {
            const bool infinite = v.kind != Kind::finite;
            const mpq_class m = abs(v.q);
            const mpz_class t = infinite ? mpz_class(0) : mpz_class(m.get_num() / m.get_den());
            const bool over = infinite || (negative && !is_signed) || t > limit;
            mpz_class magnitude = t;
            if (over) {
                expected_result = 1;
                if (clamps) {
                    magnitude = !is_signed ? (negative ? mpz_class(0) : limit)
                                           : (negative ? mpz_class(limit + 1) : limit);
                } else {
                    magnitude = t % (mpz_class(1) << 32);  // the low bits go on accumulating
                    check_bytes = !infinite;
                }
            }
            stored = (negative && is_signed) ? mpz_class(-magnitude) : magnitude;
            stored %= span;
            if (stored < 0) stored += span;
        }
        uint8_t raw[5] = {0xA5, 0xA5, 0xA5, 0xA5, 0xA5};
        const Arg a = pass(x, any_form(g, x));
        EXPECT_EQ(lnxsni(a.ptr, a.len, raw, size, flags), expected_result)
            << x << " size " << size << " flags " << flags;
        uint32_t got = 0;
        std::memcpy(&got, raw, size);
        if (check_bytes) {
            EXPECT_EQ(got, stored.get_ui()) << x << " size " << size << " flags " << flags;
        }
        EXPECT_EQ(raw[size], 0xA5) << "wrote past the integer";
        if (HasFailure()) break;
    }
}

// ---- Floating point ---------------------------------------------------------------

// A double anywhere in the type's range, or next to a halfway point of its
// 15-digit rounding, or a short decimal.
double random_double(Gen &g) {
    const int r = g.uniform(0, 9);
    if (r < 5) {
        uint64_t bits = g.bits();
        double d;
        std::memcpy(&d, &bits, 8);
        if (std::isfinite(d)) return d;
        return 1.0;
    }
    char text[64];
    const int k = g.chance(0.2) ? g.uniform(-140, 140) : g.uniform(-20, 20);
    if (r < 8) {
        // d.dddddddddddddd5 e k: a halfway point of the 15-digit rounding.
        std::snprintf(text, sizeof text, "%s%d.%013lld5e%d", g.chance(0.5) ? "-" : "",
                      g.uniform(1, 9), static_cast<long long>(g.uniform64(0, 9999999999999LL)), k);
    } else {
        std::snprintf(text, sizeof text, "%d.%lldE%d", g.uniform(1, 9),
                      static_cast<long long>(g.uniform64(0, 99999)), k);
    }
    return std::strtod(text, nullptr);
}

float random_float(Gen &g) {
    const int r = g.uniform(0, 9);
    if (r < 6) {
        const auto bits = static_cast<uint32_t>(g.bits());
        float f;
        std::memcpy(&f, &bits, 4);
        if (std::isfinite(f)) return f;
        return 1.0f;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%s%d.%04d5e%d", g.chance(0.5) ? "-" : "", g.uniform(1, 9),
                  g.uniform(0, 9999), g.uniform(-44, 38));
    return std::strtof(text, nullptr);
}

// What lnxren must give for x, and how far from a halfway point x is.
struct FloatExpectation {
    Num exact;         // the exact value rounded half away at `precision` digits
    mpq_class unit;    // one unit in the last kept digit
    double from_half;  // |fraction - 1/2| at that digit, in units
};

FloatExpectation expect_from_float(double x, int precision) {
    FloatExpectation e{zero(), 0, 1};
    if (x == 0 || std::isnan(x)) return e;
    if (std::isinf(x)) {
        e.exact = inf(x < 0);
        return e;
    }
    const mpq_class exact(x);
    const mpq_class a = abs(exact);
    if (a < pow100(-65)) return e;
    const int places = precision - (exp10(a) + 1);
    const mpq_class rounded = round_decimal(a, places, DecimalMode::half_away);
    const mpq_class scaled = a * pow10(places);
    const mpq_class frac = scaled - mpq_class(scaled.get_num() / scaled.get_den());
    e.from_half = std::fabs(mpq_class(frac - mpq_class(1, 2)).get_d());
    e.unit = pow10(-places);
    e.exact = to_num(x < 0 ? mpq_class(-rounded) : rounded, Rule::half_up);
    return e;
}

struct TwiceRounded {
    const char *what;
    long checked = 0;
    long off_by_one = 0;
    double farthest = 0;  // the largest distance from halfway among those
    ~TwiceRounded() {
        std::printf("%s: %ld checked, %ld one unit off (within %.3g of a unit of halfway)\n", what,
                    checked, off_by_one, farthest);
    }
};

// A one-unit difference is the double rounding of the recipe: allowed within
// `tolerance` (in units of the last digit) of the halfway point.
void check_from_float(const Num &got, const FloatExpectation &e, double tolerance,
                      TwiceRounded &tally, double x) {
    ++tally.checked;
    if (got == e.exact) return;
    const Value vg = value(got), ve = value(e.exact);
    if (vg.kind == Kind::finite && ve.kind == Kind::finite && abs(vg.q - ve.q) == e.unit &&
        e.from_half <= tolerance) {
        ++tally.off_by_one;
        tally.farthest = std::max(tally.farthest, e.from_half);
        return;
    }
    ADD_FAILURE() << "lnxren(" << std::hexfloat << x << std::defaultfloat << " = " << x << ") gave "
                  << got << ", expected " << e.exact << " (" << e.from_half
                  << " of a unit from halfway)";
}

TEST(NumberFloatOracle, FromDouble) {
    Gen g(0xD0B1E);
    TwiceRounded tally{"lnxren of doubles"};
    for (int i = 0; i < kCases; ++i) {
        const double x = random_double(g);
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        const bool counted = g.chance(0.5);
        lnxren(&x, 8, out, counted ? &len : nullptr);
        check_from_float(result(out, counted ? &len : nullptr), expect_from_float(x, 15), 0.25,
                         tally, x);
        if (HasFailure()) break;
    }
}

TEST(NumberFloatOracle, FromFloat) {
    Gen g(0xF10A7);
    TwiceRounded tally{"lnxren of floats"};
    for (int i = 0; i < kCases; ++i) {
        const float x = random_float(g);
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxren(&x, 4, out, &len);
        check_from_float(result(out, &len), expect_from_float(x, 6), 0.01, tally, x);
        if (HasFailure()) break;
    }
}

// floor(log2 a) for a > 0.
long exp2_of(const mpq_class &a) {
    long e = static_cast<long>(mpz_sizeinbase(a.get_num().get_mpz_t(), 2)) -
             static_cast<long>(mpz_sizeinbase(a.get_den().get_mpz_t(), 2));
    const auto two_to = [](long k) {
        mpq_class p(1);
        if (k >= 0)
            p.get_num() <<= static_cast<mp_bitcnt_t>(k);
        else
            p.get_den() <<= static_cast<mp_bitcnt_t>(-k);
        return p;
    };
    while (a < two_to(e)) --e;
    while (a >= two_to(e + 1)) ++e;
    return e;
}

// |got - exact| in units in the last place of the type at exact (mantissa
// bits, and the smallest exponent below which the type goes subnormal).
double ulps(double got, const mpq_class &exact, int mantissa_bits, long min_exp) {
    const long e = std::max(exp2_of(abs(exact)), min_exp);
    mpq_class err = abs(mpq_class(got) - exact);
    const long shift = mantissa_bits - e;
    if (shift >= 0)
        err.get_num() <<= static_cast<mp_bitcnt_t>(shift);
    else
        err.get_den() <<= static_cast<mp_bitcnt_t>(-shift);
    err.canonicalize();
    return err.get_d();
}

// lnxnur builds the value from at most 19 digits (the 20th rounding the
// 19th), rounding at each step once the value passes 2^53, and then scales
// by 100 or by 0.01 once per base-100 position, each step rounding again
// (and 0.01 itself is not exact). So the error grows with the distance of
// the exponent from the digits: the bound allowed is 1 ulp, plus half an
// ulp per rounding digit step, plus 3/4 ulp per scaling step.
TEST(NumberFloatOracle, ToDouble) {
    Gen g(0x70D);
    double worst = 0, worst_near = 0, worst_share = 0;
    long correctly_rounded = 0, finite = 0;
    for (int i = 0; i < kCases; ++i) {
        const Num x = g.number(0.02);
        const Value v = value(x);
        const Arg a = pass(x, any_form(g, x));
        double d = 42;
        lnxnur(a.ptr, a.len, &d, 8);
        if (v.kind != Kind::finite) {
            EXPECT_EQ(d, v.kind == Kind::zero ? 0.0 : (v.negative() ? -DBL_MAX : DBL_MAX)) << x;
            continue;
        }
        ++finite;
        const Layout l = layout_of(x);
        const int used = std::min(l.count, 19);
        const int scaling = std::abs(l.exp + 1 - used);
        const double bound = 1 + 0.5 * std::max(0, used - 7) + 0.75 * scaling;
        const double err = ulps(d, v.q, 52, -1022);
        worst = std::max(worst, err);
        worst_share = std::max(worst_share, err / bound);
        if (std::abs(l.exp) <= 10) worst_near = std::max(worst_near, err);
        if (err <= 0.5) ++correctly_rounded;
        EXPECT_LE(err, bound) << x << " gave " << d;
        EXPECT_EQ(std::signbit(d), v.negative()) << x;
        if (HasFailure()) break;
    }
    std::printf(
        "lnxnur to double: %ld finite, %ld correctly rounded, largest error %.3f ulp "
        "(%.3f ulp for exponents within 10 of 0), at most %.2f of the bound\n",
        finite, correctly_rounded, worst, worst_near, worst_share);
}

// To a float the conversion is correctly rounded: the value is built in
// double precision and rounded once. Beyond the largest float it gives the
// largest float of the sign; up to it, the value (1e38 .. 3.4e38 have 19
// integer base-100 digits and must not saturate early).
TEST(NumberFloatOracle, ToFloat) {
    Gen g(0x70F);
    constexpr double kBound = 0.51;
    const mpq_class largest(FLT_MAX);
    double worst = 0;
    long checked = 0, top_checked = 0, top_saturated = 0;
    std::string examples;
    for (int i = 0; i < kCases; ++i) {
        const Num x = g.chance(0.7) ? g.near_exp(g.uniform(-24, 19), 1) : g.number(0.02);
        const Value v = value(x);
        const Arg a = pass(x, any_form(g, x));
        float f = 42;
        lnxnur(a.ptr, a.len, &f, 4);
        if (v.kind != Kind::finite || abs(v.q) >= largest) {
            const float expected =
                v.kind == Kind::zero ? 0.0f : (v.negative() ? -FLT_MAX : FLT_MAX);
            EXPECT_EQ(f, expected) << x;
            if (HasFailure()) break;
            continue;
        }
        if (abs(v.q) >= pow100(19)) {
            // Counted apart, so that the rest of the range is still checked.
            ++top_checked;
            if (ulps(f, v.q, 23, -126) > kBound && ++top_saturated <= 3) {
                examples += "\n  " + hex(x) + " gave " + std::to_string(f);
            }
            continue;
        }
        ++checked;
        const double err = ulps(f, v.q, 23, -126);
        worst = std::max(worst, err);
        EXPECT_LE(err, kBound) << x << " gave " << f;
        if (f != 0) {
            EXPECT_EQ(std::signbit(f), v.negative()) << x;
        }
        if (HasFailure()) break;
    }
    std::printf(
        "lnxnur to float: %ld finite below 1e38, largest error %.3f ulp; %ld from 1e38 to "
        "the largest float, %ld of them wrong\n",
        checked, worst, top_checked, top_saturated);
    EXPECT_EQ(top_saturated, 0) << "values from 1e38 to the largest float not converted:"
                                << examples;
}

// ---- The unpacked forms -----------------------------------------------------------------

TEST(NumberFormsOracle, DigitFormAndWordForm) {
    Gen g(0xF0F);
    for (int i = 0; i < kFormCases; ++i) {
        const Num x = g.number(0.1);
        const Value v = value(x);
        const Arg a = pass(x, any_form(g, x));
        uint8_t form[LNXBUFLEN];
        std::memset(form, 0xEE, sizeof form);
        EXPECT_EQ(lnxqgnm(form, sizeof form, a.ptr, a.len), v.negative() ? 1 : 0) << x;
        int32_t words[23];
        int32_t exponent = 0;
        int32_t *begin = nullptr, *end = nullptr;
        EXPECT_EQ(lnxqosb(a.ptr, a.len, words, &exponent, &begin, &end), v.negative() ? 0 : 1);
        ASSERT_TRUE(begin >= words && begin <= end && end <= words + 23) << x;
        if (v.kind == Kind::finite) {
            const Layout l = layout_of(x);
            EXPECT_EQ(form[0], l.count) << x;
            EXPECT_EQ(form[1], 65 + l.exp) << x;
            EXPECT_EQ(std::vector<uint8_t>(form + 2, form + 2 + l.count),
                      std::vector<uint8_t>(l.digit.begin(), l.digit.begin() + l.count))
                << x;
            EXPECT_EQ(exponent, l.exp) << x;
            EXPECT_EQ(std::vector<int32_t>(begin, end),
                      std::vector<int32_t>(l.digit.begin(), l.digit.begin() + l.count))
                << x;
        }
        // Packing the run again gives the number back.
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxqsbo(out, &len, v.negative() ? 0 : 1, exponent, begin, end);
        if (v.kind != Kind::pos_inf && v.kind != Kind::neg_inf) {
            EXPECT_EQ(result(out, &len), x);
        }
        if (HasFailure()) break;
    }
}

// Word runs of up to 40 words: the 21st significant word rounds up only
// above 50.
TEST(NumberFormsOracle, PackWords) {
    Gen g(0x5B0);
    for (int i = 0; i < kFormCases; ++i) {
        std::vector<int32_t> words(static_cast<size_t>(g.uniform(0, 40)));
        for (auto &w : words) w = g.digit();
        const int lead = g.uniform(0, 3);
        for (int k = 0; k < lead && k < static_cast<int>(words.size()); ++k)
            words[static_cast<size_t>(k)] = 0;
        const int32_t exponent = g.chance(0.3) ? g.uniform(-70, 67) : g.uniform(-5, 5);
        const int32_t sign = g.uniform(0, 1);
        mpq_class value = 0;
        for (size_t k = 0; k < words.size(); ++k)
            value += words[k] * pow100(exponent - static_cast<int>(k));
        if (sign == 0) value = -value;
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxqsbo(out, &len, sign, exponent, words.data(), words.data() + words.size());
        EXPECT_EQ(result(out, &len), to_num(value, Rule::above_50))
            << words.size() << " words at exponent " << exponent;
        if (HasFailure()) break;
    }
}

// Work numbers: an exponent byte and up to 30 digits; the 21st significant
// digit rounds half up; a first digit of 100 is an overflow.
TEST(NumberFormsOracle, WorkForm) {
    Gen g(0x3C0);
    for (int i = 0; i < kFormCases; ++i) {
        const int digits = g.uniform(0, 30);
        std::vector<uint8_t> work{
            static_cast<uint8_t>(g.chance(0.3) ? g.uniform(0, 127) : g.uniform(60, 70))};
        for (int k = 0; k < digits; ++k) work.push_back(g.chance(0.2) ? 0 : g.digit());
        const bool overflow = digits > 0 && g.chance(0.03);
        if (overflow) work[1] = 100;
        const int32_t negative = g.uniform(0, 1);
        const int exp = work[0] - 65;
        mpq_class value = 0;
        for (int k = 0; k < digits; ++k)
            value += work[static_cast<size_t>(k + 1)] * pow100(exp - k);
        if (negative) value = -value;
        const Num expected = overflow ? inf(negative != 0) : to_num(value, Rule::half_up);

        std::vector<uint8_t> prefixed{static_cast<uint8_t>(work.size())};
        prefixed.insert(prefixed.end(), work.begin(), work.end());
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxqprs(prefixed.data(), out, &len, negative);
        EXPECT_EQ(result(out, &len), expected) << digits << " digits at exponent " << exp;

        // Normalising in place keeps the value and leaves at most 20
        // digits without leading or trailing zeros.
        std::vector<uint8_t> normal = work;
        const int32_t n = lnxqnrm(normal.data(), static_cast<int32_t>(normal.size()));
        ASSERT_TRUE(n >= 1 && n <= static_cast<int32_t>(normal.size())) << n;
        std::vector<uint8_t> again{static_cast<uint8_t>(n)};
        again.insert(again.end(), normal.begin(), normal.begin() + n);
        lnxqprs(again.data(), out, &len, negative);
        EXPECT_EQ(result(out, &len), expected) << "after normalising";
        if (!overflow && n > 1) {
            EXPECT_LE(n, 21);
            EXPECT_NE(normal[1], 0);
            EXPECT_NE(normal[static_cast<size_t>(n - 1)], 0);
        }
        if (HasFailure()) break;
    }
}

// Validity as the checker defines it: digit bytes in range, a negative
// number terminated or 20 digits long; normalisation and the exponent are
// not looked at.
bool valid_bytes(const std::vector<uint8_t> &b) {
    const size_t n = b.size();
    if (n == 0 || n > 21) return false;
    if (n == 1) return b[0] == 0x80 || b[0] == 0x00;
    if (n == 2 && b[0] == 0xFF && b[1] == 101) return true;
    if (b[0] & 0x80) {
        for (size_t i = 1; i < n; ++i)
            if (b[i] < 1 || b[i] > 100) return false;
        return true;
    }
    for (size_t i = 1; i < n; ++i) {
        if (b[i] == 102 && i != n - 1) return false;
        if (b[i] != 102 && (b[i] < 2 || b[i] > 101)) return false;
    }
    return b[n - 1] == 102 || n == 21;
}

TEST(NumberFormsOracle, ValiditySignAndIntegerClass) {
    Gen g(0xC4C);
    for (int i = 0; i < kFormCases; ++i) {
        const Num x = g.number(0.1);
        const Value v = value(x);
        const Arg a = pass(x, any_form(g, x));
        EXPECT_EQ(lnxchk(a.ptr, a.len), 1) << x;
        EXPECT_EQ(lnxsgn(a.ptr, a.len), v.kind == Kind::zero ? 0 : (v.negative() ? -1 : 1)) << x;
        int32_t integer_class = 1;
        if (v.kind == Kind::pos_inf) integer_class = 3;
        if (v.kind == Kind::neg_inf) integer_class = 4;
        if (v.kind == Kind::finite && v.q.get_den() != 1) integer_class = 2;
        EXPECT_EQ(lnxint(a.ptr, a.len), integer_class) << x;

        // A few bytes changed, or the length changed.
        std::vector<uint8_t> bytes(x.b.begin(), x.b.begin() + x.len);
        const int changes = g.uniform(0, 2);
        for (int k = 0; k < changes; ++k) {
            const auto pos = static_cast<size_t>(g.uniform(0, static_cast<int>(bytes.size()) - 1));
            bytes[pos] = g.chance(0.5) ? static_cast<uint8_t>(g.bits())
                                       : static_cast<uint8_t>(bytes[pos] + g.uniform(-1, 1));
        }
        if (g.chance(0.2))
            bytes.resize(static_cast<size_t>(g.uniform(1, 21)),
                         static_cast<uint8_t>(g.uniform(0, 102)));
        Num changed;
        changed.len = static_cast<int>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), changed.b.begin());
        EXPECT_EQ(lnxchk(bytes.data(), changed.len), valid_bytes(bytes) ? 1 : 0) << changed;
        if (HasFailure()) break;
    }
}

TEST(NumberFormsOracle, CopyBetweenForms) {
    Gen g(0xC0B);
    for (int i = 0; i < kFormCases; ++i) {
        const Num x = g.number(0.1);
        EXPECT_EQ(call(lnxqcop, x, g), x);
        if (HasFailure()) break;
    }
}

}  // namespace
