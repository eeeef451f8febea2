// The transcendental functions: their special results exactly, the edge
// cases where a fault would show, and their accuracy against MPFR at 256
// bits over random arguments spread across each function's domain.
//
// Accuracy is held per domain: a relative error bound where the result is
// well conditioned, an absolute one where the result sits near a zero of the
// function (a logarithm near 1, a sine near a multiple of pi), which no
// 40-digit computation can hit relatively. The worst error of every domain
// is printed, so that the figures in docs/accuracy.md can be checked.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "lnx.h"
#include "num_oracle.hpp"
#include "numbers/transcendental.hpp"

namespace {

using namespace numtest;

#ifdef TAVO_TEST_SANITIZED
constexpr int kSamples = 2000;  // instrumented code is many times slower
#else
constexpr int kSamples = 10000;
#endif

// ---- Calling the functions ------------------------------------------------------

Num unary(void (*fn)(const uint8_t *, int32_t, uint8_t *, uint32_t *), const Num &a) {
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    fn(a.b.data(), a.len, out, &len);
    return result(out, &len);
}
Num sqr(const Num &a) {
    return unary(lnxsqr, a);
}
Num ln(const Num &a) {
    return unary(lnxln, a);
}
Num tra(const Num &a, int32_t code) {
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    lnxqtra(a.b.data(), a.len, out, &len, code);
    return result(out, &len);
}
Num pow(const Num &a, int32_t n) {
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    lnxpow(a.b.data(), a.len, out, &len, n);
    return result(out, &len);
}
Num bex(const Num &a, const Num &y) {
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    lnxbex(a.b.data(), a.len, y.b.data(), y.len, out, &len);
    return result(out, &len);
}
Num log(const Num &base, const Num &a) {
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    lnxlog(base.b.data(), base.len, a.b.data(), a.len, out, &len);
    return result(out, &len);
}
// The status and, when it is 0, the result; a status of -1 must leave the
// destination untouched.
struct Status {
    int32_t status;
    Num value;
};
Status tri(const Num &a, int32_t code) {
    uint8_t out[LNXBUFLEN];
    std::memset(out, 0xAB, sizeof out);
    uint32_t len = 77;
    const int32_t s = lnxqtri(a.b.data(), a.len, out, &len, code);
    if (s != 0) {
        EXPECT_EQ(len, 77u);
        for (uint8_t b : out) EXPECT_EQ(b, 0xAB);
        return {s, Num{}};
    }
    return {s, result(out, &len)};
}
Status atn2(const Num &y, const Num &x) {
    uint8_t out[LNXBUFLEN];
    std::memset(out, 0xAB, sizeof out);
    uint32_t len = 77;
    const int32_t s = lnxatn2(y.b.data(), y.len, x.b.data(), x.len, out, &len);
    if (s != 0) {
        EXPECT_EQ(len, 77u);
        for (uint8_t b : out) EXPECT_EQ(b, 0xAB);
        return {s, Num{}};
    }
    return {s, result(out, &len)};
}

// ---- MPFR at 256 bits ---------------------------------------------------------------

class Big {
  public:
    Big() { mpfr_init2(v_, 256); }
    explicit Big(const Num &n) : Big() { set(n); }
    explicit Big(const mpq_class &q) : Big() { mpfr_set_q(v_, q.get_mpq_t(), MPFR_RNDN); }
    Big(const Big &) = delete;
    Big &operator=(const Big &) = delete;
    ~Big() { mpfr_clear(v_); }
    void set(const Num &n) {
        const Value v = value(n);
        switch (v.kind) {
            case Kind::zero:
                mpfr_set_zero(v_, 1);
                break;
            case Kind::pos_inf:
                mpfr_set_inf(v_, 1);
                break;
            case Kind::neg_inf:
                mpfr_set_inf(v_, -1);
                break;
            case Kind::finite:
                mpfr_set_q(v_, v.q.get_mpq_t(), MPFR_RNDN);
                break;
        }
    }
    mpfr_ptr get() { return v_; }

  private:
    mpfr_t v_;
};

// |got - exact| / |exact| (relative) or |got - exact| (absolute). A result
// of the wrong kind (an infinity or zero for a finite non-zero value) counts
// as an error of 1.
double error(const Num &got, mpfr_ptr exact, bool relative) {
    const Kind k = kind(got);
    if (k == Kind::pos_inf || k == Kind::neg_inf) return 1.0;
    Big g(got), d;
    mpfr_sub(d.get(), g.get(), exact, MPFR_RNDN);
    mpfr_abs(d.get(), d.get(), MPFR_RNDN);
    if (relative) {
        if (mpfr_zero_p(exact)) return mpfr_zero_p(d.get()) ? 0.0 : 1.0;
        mpfr_div(d.get(), d.get(), exact, MPFR_RNDN);
        mpfr_abs(d.get(), d.get(), MPFR_RNDN);
    }
    return mpfr_get_d(d.get(), MPFR_RNDU);
}

// ---- Random arguments -----------------------------------------------------------

// A random fraction in [0, 1) of 40 decimal digits.
mpq_class fraction(Gen &g) {
    mpz_class r = 0;
    for (int i = 0; i < 3; ++i) {
        r <<= 63;
        r += mpz_class(std::to_string(g.bits() >> 1));
    }
    const mpz_class ten40 = pow100z(20);
    r %= ten40;
    return mpq_class(r, ten40);
}
// Uniform in [lo, hi], rounded to a number.
Num uniform(Gen &g, const mpq_class &lo, const mpq_class &hi) {
    return to_num(lo + (hi - lo) * fraction(g), Rule::half_up);
}
// Magnitude 10^u for u uniform in [lo10, hi10), a random sign when asked.
Num log_uniform(Gen &g, int lo10, int hi10, bool any_sign = false) {
    const int k = g.uniform(lo10, hi10 - 1);
    mpq_class m = 1 + 9 * fraction(g);
    m *= pow10(k);
    if (any_sign && g.chance(0.5)) m = -m;
    return to_num(m, Rule::half_up);
}
// c + d with d = +-10^-k x a random fraction, k in [k_lo, k_hi].
Num near(Gen &g, const mpq_class &c, int k_lo, int k_hi) {
    mpq_class d = (1 + 9 * fraction(g)) * pow10(-g.uniform(k_lo, k_hi));
    if (g.chance(0.5)) d = -d;
    return to_num(c + d, Rule::half_up);
}
mpq_class q_of(const char *text) {
    return dq(text);
}
// pi to 60 digits, for arguments near its multiples.
const mpq_class &pi60() {
    static const mpq_class p = dq("3.14159265358979323846264338327950288419716939937510582097494");
    return p;
}

// ---- Special results and edge cases ------------------------------------------------

// a is within rel x |b| of b (both finite).
::testing::AssertionResult close(const Num &a, const char *b, double rel = 1e-36) {
    if (kind(a) != Kind::finite) return ::testing::AssertionFailure() << hex(a) << " is not finite";
    const mpq_class x = value(a).q, y = dq(b);
    const mpq_class d = abs(x - y), bound = abs(y) * mpq_class(rel);
    if (d <= bound) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << hex(a) << " is " << mpq_class(d / abs(y)).get_d() << " away from " << b;
}
::testing::AssertionResult tiny(const Num &a, double bound = 1e-37) {
    if (kind(a) == Kind::zero) return ::testing::AssertionSuccess();
    if (kind(a) == Kind::finite && abs(value(a).q) <= mpq_class(bound))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << hex(a) << " is not within " << bound << " of zero";
}

const char *const kPi = "3.14159265358979323846264338327950288419716939937510582";
const char *const kHalfPi = "1.57079632679489661923132169163975144209858469968755291";
const char *const kThreeQuarterPi = "2.35619449019234492884698253745962716314787704953132936";

TEST(Transcendental, SquareRootSpecialResults) {
    EXPECT_EQ(sqr(dn("4")), hx("C1 03"));
    EXPECT_EQ(sqr(dn("0")), zero());
    EXPECT_EQ(sqr(dn("-4")), neg_inf());
    EXPECT_EQ(sqr(neg_inf()), neg_inf());
    EXPECT_EQ(sqr(pos_inf()), pos_inf());
    EXPECT_EQ(sqr(dn("2.25")), dn("1.5"));
    EXPECT_EQ(sqr(dn("0.0001")), dn("0.01"));
    EXPECT_EQ(sqr(dn("1e-130")), dn("1e-65"));
    EXPECT_TRUE(close(sqr(dn("2")), "1.41421356237309504880168872420969807856967187537694807"));
    EXPECT_TRUE(close(sqr(dn("10")), "3.16227766016837933199889354443271853371955513932521682"));
}

// The root of a perfect square of up to 40 digits is exact.
TEST(Transcendental, SquareRootOfPerfectSquaresIsExact) {
    Gen g(41);
    for (int i = 0; i < kSamples / 10; ++i) {
        mpz_class k(std::to_string(g.bits() % 10000000000000000000ull));
        if (k == 0) k = 7;
        const mpq_class scale = pow100(g.uniform(-30, 30));
        const Num root = to_num(k * scale, Rule::half_up);
        const mpq_class r = value(root).q;
        const Num square = to_num(r * r, Rule::half_up);
        if (value(square).q != r * r) continue;  // more than 20 digits
        EXPECT_EQ(sqr(square), root) << square;
    }
}

TEST(Transcendental, IntegerPowerSpecialResults) {
    EXPECT_EQ(pow(dn("2"), 10), dn("1024"));
    EXPECT_EQ(pow(dn("2"), -2), dn("0.25"));
    EXPECT_EQ(pow(dn("0"), 0), dn("1"));
    EXPECT_EQ(pow(pos_inf(), 0), dn("1"));
    EXPECT_EQ(pow(dn("0"), 3), zero());
    EXPECT_EQ(pow(dn("0"), -1), pos_inf());
    EXPECT_EQ(pow(dn("-1"), INT32_MIN), dn("1"));
    EXPECT_EQ(pow(dn("-1"), INT32_MAX), dn("-1"));
    EXPECT_EQ(pow(dn("10"), 200), pos_inf());
    EXPECT_EQ(pow(dn("-10"), 201), neg_inf());
    EXPECT_EQ(pow(dn("10"), -200), zero());
    EXPECT_EQ(pow(dn("-3"), 3), dn("-27"));
}

TEST(Transcendental, NumberPowerSpecialResults) {
    EXPECT_TRUE(close(bex(dn("-2"), dn("3")), "-8"));
    EXPECT_TRUE(close(bex(dn("-2"), dn("2")), "4"));
    EXPECT_EQ(bex(dn("-2"), dn("0.5")), neg_inf());
    EXPECT_EQ(bex(dn("-2"), pos_inf()), neg_inf());
    EXPECT_EQ(bex(dn("0"), dn("-1")), zero());
    EXPECT_EQ(bex(dn("0"), dn("0")), dn("1"));
    EXPECT_EQ(bex(dn("0"), dn("0.5")), zero());
    EXPECT_EQ(bex(dn("5"), dn("0")), dn("1"));
    EXPECT_EQ(bex(dn("-5"), dn("0")), dn("1"));
    EXPECT_TRUE(
        close(bex(dn("2"), dn("0.5")), "1.41421356237309504880168872420969807856967187537694807"));
    EXPECT_EQ(bex(dn("10"), dn("300")), pos_inf());
    EXPECT_EQ(bex(dn("10"), dn("-300")), zero());
    EXPECT_EQ(bex(dn("2"), pos_inf()), pos_inf());
    EXPECT_EQ(bex(dn("0.5"), pos_inf()), zero());
}

TEST(Transcendental, LogarithmSpecialResults) {
    EXPECT_EQ(ln(dn("1")), zero());
    EXPECT_EQ(ln(dn("0")), neg_inf());
    EXPECT_EQ(ln(dn("-1")), neg_inf());
    EXPECT_EQ(ln(neg_inf()), neg_inf());
    EXPECT_EQ(ln(pos_inf()), pos_inf());
    EXPECT_TRUE(close(ln(result(lnxe, nullptr)), "1"));
    EXPECT_TRUE(close(ln(dn("10")), "2.30258509299404568401799145468436420760110148862877298"));

    EXPECT_TRUE(close(log(dn("10"), dn("1000")), "3"));
    EXPECT_TRUE(close(log(dn("2"), dn("1024")), "10"));
    EXPECT_EQ(log(dn("1"), dn("5")), pos_inf());
    EXPECT_EQ(log(dn("0"), dn("5")), neg_inf());
    EXPECT_EQ(log(dn("-10"), dn("5")), neg_inf());
    // No logarithm of zero or of a negative number, whatever the base.
    for (const char *base : {"10", "2", "0.5", "1"}) {
        EXPECT_EQ(log(dn(base), dn("-3")), neg_inf()) << base;
        EXPECT_EQ(log(dn(base), dn("0")), neg_inf()) << base;
    }
}

TEST(Transcendental, SeriesSpecialResults) {
    EXPECT_EQ(tra(dn("0"), LNXTRA_COS), dn("1"));
    EXPECT_EQ(tra(dn("0"), LNXTRA_SIN), zero());
    EXPECT_EQ(tra(dn("0"), LNXTRA_TAN), zero());
    EXPECT_EQ(tra(dn("0"), LNXTRA_COSH), dn("1"));
    EXPECT_EQ(tra(dn("0"), LNXTRA_SINH), zero());
    EXPECT_EQ(tra(dn("0"), LNXTRA_TANH), zero());
    EXPECT_EQ(tra(dn("0"), LNXTRA_EXP), dn("1"));
    EXPECT_TRUE(tiny(tra(result(lnxpi, nullptr), LNXTRA_SIN)));
    EXPECT_TRUE(
        close(tra(dn("1"), LNXTRA_EXP), "2.71828182845904523536028747135266249775724709369995957"));
    EXPECT_EQ(tra(dn("1000000"), LNXTRA_EXP), pos_inf());
    EXPECT_EQ(tra(dn("-1000000"), LNXTRA_EXP), zero());
    EXPECT_EQ(tra(dn("300"), LNXTRA_EXP), pos_inf());
    EXPECT_EQ(tra(dn("-300"), LNXTRA_EXP), zero());
    EXPECT_EQ(tra(pos_inf(), LNXTRA_EXP), pos_inf());
    EXPECT_EQ(tra(neg_inf(), LNXTRA_EXP), zero());
    EXPECT_EQ(tra(dn("5"), 7), neg_inf());
    EXPECT_EQ(tra(dn("5"), -1), neg_inf());
}

// Where the hyperbolic series overflow before the result does, the result
// still comes out; tanh of a large argument is 1 or -1.
TEST(Transcendental, HyperbolicFunctionsOfLargeArguments) {
    EXPECT_TRUE(close(tra(dn("285"), LNXTRA_COSH),
                      "2.9709637085414840393019832520812663067318382924375713012663e123"));
    EXPECT_TRUE(close(tra(dn("-285"), LNXTRA_SINH),
                      "-2.9709637085414840393019832520812663067318382924375713012663e123"));
    EXPECT_TRUE(close(tra(dn("290.7"), LNXTRA_COSH),
                      "8.87924201939251982209960375967137304117286879476084279159418e125", 1e-35));
    EXPECT_EQ(tra(dn("291"), LNXTRA_COSH), pos_inf());
    EXPECT_EQ(tra(dn("-291"), LNXTRA_SINH), neg_inf());
    EXPECT_EQ(tra(dn("1e100"), LNXTRA_COSH), pos_inf());
    EXPECT_EQ(tra(neg_inf(), LNXTRA_COSH), pos_inf());
    EXPECT_TRUE(close(tra(dn("100"), LNXTRA_TANH), "1", 1e-37));
    EXPECT_TRUE(close(tra(dn("-100"), LNXTRA_TANH), "-1", 1e-37));
    for (const char *x : {"290.9", "300", "1e100", "inf"}) {
        EXPECT_EQ(tra(dn(x), LNXTRA_TANH), dn("1")) << x;
        const Num minus = to_num(-dq(x[0] == 'i' ? "1" : x), Rule::half_up);
        EXPECT_EQ(tra(x[0] == 'i' ? neg_inf() : minus, LNXTRA_TANH), dn("-1")) << x;
    }
}

// Sine, cosine and the hyperbolic tangent never leave [-1, 1].
TEST(Transcendental, BoundedFunctionsStayInUnitInterval) {
    Gen g(7);
    for (int i = 0; i < kSamples / 5; ++i) {
        const Num x = g.chance(0.5) ? uniform(g, -400, 400) : g.finite_any();
        for (int32_t code : {LNXTRA_COS, LNXTRA_SIN, LNXTRA_TANH}) {
            const Num r = tra(x, code);
            ASSERT_EQ(kind(r) == Kind::finite || kind(r) == Kind::zero, true) << x << " " << code;
            EXPECT_LE(value(r).q, 1) << x << " " << code;
            EXPECT_GE(value(r).q, -1) << x << " " << code;
        }
    }
}

TEST(Transcendental, InverseSpecialResults) {
    // pi / 2 from the library's pi, as a quotient rounds it.
    const mpq_class pi = value(result(lnxpi, nullptr)).q;
    const Num half_pi = to_num(pi / 2, Rule::above_50);
    EXPECT_EQ(tri(dn("1"), LNXTRI_ACOS).value, zero());
    EXPECT_TRUE(close(tri(dn("1"), LNXTRI_ASIN).value, kHalfPi));
    EXPECT_TRUE(close(tri(dn("-1"), LNXTRI_ASIN).value,
                      "-1.57079632679489661923132169163975144209858469968755291"));
    EXPECT_TRUE(close(tri(dn("-1"), LNXTRI_ACOS).value, kPi));
    EXPECT_EQ(tri(dn("0"), LNXTRI_ASIN).value, zero());
    EXPECT_EQ(tri(dn("0"), LNXTRI_ACOS).value, half_pi);
    EXPECT_EQ(tri(dn("0"), LNXTRI_ATAN).value, zero());
    EXPECT_EQ(tri(pos_inf(), LNXTRI_ATAN).value, half_pi);
    EXPECT_EQ(tri(neg_inf(), LNXTRI_ATAN).value, to_num(-pi / 2, Rule::above_50));
    EXPECT_TRUE(close(tri(dn("1"), LNXTRI_ATAN).value,
                      "0.785398163397448309615660845819875721049292349843776455"));
    // Arc sine of a tiny argument is the argument.
    EXPECT_EQ(tri(dn("1e-20"), LNXTRI_ASIN).value, dn("1e-20"));
    for (const char *bad :
         {"1.5", "-1.5", "1.0000000000000000000000000000000000001", "inf", "-inf"}) {
        EXPECT_EQ(tri(dn(bad), LNXTRI_ASIN).status, -1) << bad;
        EXPECT_EQ(tri(dn(bad), LNXTRI_ACOS).status, -1) << bad;
    }
    EXPECT_EQ(tri(dn("0.5"), 3).status, -1);
    EXPECT_EQ(tri(dn("0.5"), -1).status, -1);
}

TEST(Transcendental, AngleOfAPoint) {
    EXPECT_TRUE(close(atn2(dn("1"), dn("-1")).value, kThreeQuarterPi));
    EXPECT_TRUE(close(atn2(dn("-1"), dn("-1")).value,
                      "-2.35619449019234492884698253745962716314787704953132936"));
    EXPECT_EQ(atn2(dn("0"), dn("0")).status, -1);
    EXPECT_TRUE(close(atn2(dn("0"), dn("-1")).value, kPi));
    EXPECT_EQ(atn2(dn("0"), dn("1")).value, zero());
    EXPECT_TRUE(close(atn2(dn("1"), dn("0")).value, kHalfPi));
    EXPECT_TRUE(close(atn2(dn("-1"), dn("0")).value,
                      "-1.57079632679489661923132169163975144209858469968755291"));
    EXPECT_TRUE(close(atn2(dn("1"), dn("1")).value,
                      "0.785398163397448309615660845819875721049292349843776455"));
}

// Every way of passing a number: counted, length-prefixed, a machine
// integer behind a null pointer; the result over the argument.
TEST(Transcendental, FormsOfPassingAndAliasing) {
    uint8_t buf[LNXBUFLEN];
    uint32_t len = 0;
    lnxsqr(nullptr, 4, buf, &len);
    EXPECT_EQ(result(buf, &len), dn("2"));
    lnxln(nullptr, 1, buf, nullptr);
    EXPECT_EQ(result(buf, nullptr), zero());
    const Num x = dn("0.75");
    const Arg prefixed = pass(x, Form::prefixed);
    for (int32_t code = 0; code <= 6; ++code) {
        lnxqtra(prefixed.ptr, 0, buf, nullptr, code);
        EXPECT_EQ(result(buf, nullptr), tra(x, code)) << code;
        std::copy_n(x.b.begin(), x.len, buf);
        lnxqtra(buf, x.len, buf, &len, code);
        EXPECT_EQ(result(buf, &len), tra(x, code)) << code;
    }
    for (int32_t code = 0; code <= 2; ++code) {
        std::copy_n(x.b.begin(), x.len, buf);
        EXPECT_EQ(lnxqtri(buf, x.len, buf, &len, code), 0);
        EXPECT_EQ(result(buf, &len), tri(x, code).value) << code;
    }
    std::copy_n(x.b.begin(), x.len, buf);
    lnxsqr(buf, x.len, buf, &len);
    EXPECT_EQ(result(buf, &len), sqr(x));
    std::copy_n(x.b.begin(), x.len, buf);
    lnxpow(buf, x.len, buf, &len, 3);
    EXPECT_EQ(result(buf, &len), dn("0.421875"));
    std::copy_n(x.b.begin(), x.len, buf);
    lnxbex(buf, x.len, buf, x.len, buf, &len);
    EXPECT_EQ(result(buf, &len), bex(x, x));
    std::copy_n(x.b.begin(), x.len, buf);
    lnxlog(buf, x.len, buf, x.len, buf, &len);
    EXPECT_TRUE(close(result(buf, &len), "1"));
    const Num y = dn("-2");
    std::copy_n(y.b.begin(), y.len, buf);
    EXPECT_EQ(lnxatn2(buf, y.len, x.b.data(), x.len, buf, &len), 0);
    EXPECT_EQ(result(buf, &len), atn2(y, x).value);
}

// Any bytes at all give a normalised number (or a status), never a crash.
TEST(Transcendental, MalformedBytesGiveSomeNumber) {
    Gen g(99);
    for (int i = 0; i < kSamples / 20; ++i) {
        uint8_t in[21], in2[21];
        const int32_t n = g.uniform(1, 21), n2 = g.uniform(1, 21);
        for (uint8_t &b : in) b = static_cast<uint8_t>(g.bits());
        for (uint8_t &b : in2) b = static_cast<uint8_t>(g.bits());
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        const auto check = [&] { EXPECT_TRUE(is_normalised({out, len})); };
        lnxsqr(in, n, out, &len);
        check();
        lnxln(in, n, out, &len);
        check();
        lnxpow(in, n, out, &len, g.uniform(-50, 50));
        check();
        lnxbex(in, n, in2, n2, out, &len);
        check();
        lnxlog(in, n, in2, n2, out, &len);
        check();
        for (int32_t code = 0; code <= 6; ++code) {
            lnxqtra(in, n, out, &len, code);
            check();
        }
        for (int32_t code = 0; code <= 2; ++code)
            if (lnxqtri(in, n, out, &len, code) == 0) check();
        if (lnxatn2(in, n, in2, n2, out, &len) == 0) check();
    }
}

// The series divide by small integers in a shortcut of their own: it must
// give the general division's digits exactly.
TEST(Transcendental, SmallDivisionMatchesTheGeneralDivision) {
    Gen g(5);
    for (int i = 0; i < kSamples * 5; ++i) {
        const Num a = g.number(0.01);
        const int64_t pick[] = {g.uniform(1, 99),
                                g.uniform(100, 9999),
                                g.uniform(10000, 999999),
                                999999,
                                1,
                                2,
                                100,
                                10000};
        const auto n = static_cast<int32_t>(pick[g.uniform(0, 7)]);
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxdiv(a.b.data(), a.len, nullptr, n, out, &len);
        const tavo::num::Unpacked q = tavo::num::trans::divide_by_small(
            tavo::num::decode({a.b.data(), static_cast<size_t>(a.len)}), static_cast<uint32_t>(n));
        Num got;
        got.len = tavo::num::encode(q, got.b.data());
        ASSERT_EQ(got, result(out, &len)) << a << " / " << n;
    }
}

// The series multiply in a shortcut of their own: it must give the general
// multiplication's digits exactly.
TEST(Transcendental, SeriesProductMatchesTheGeneralMultiplication) {
    Gen g(6);
    for (int i = 0; i < kSamples * 5; ++i) {
        const Num a = g.number(0.01),
                  b = g.chance(0.2) ? g.near_exp(g.uniform(-62, 62), 3) : g.number(0.01);
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxmul(a.b.data(), a.len, b.b.data(), b.len, out, &len);
        const tavo::num::Unpacked p =
            tavo::num::trans::product(tavo::num::decode({a.b.data(), static_cast<size_t>(a.len)}),
                                      tavo::num::decode({b.b.data(), static_cast<size_t>(b.len)}));
        Num got;
        got.len = tavo::num::encode(p, got.b.data());
        ASSERT_EQ(got, result(out, &len)) << a << " x " << b;
    }
}

// And add in a shortcut of their own too.
TEST(Transcendental, SeriesSumMatchesTheGeneralAddition) {
    Gen g(8);
    for (int i = 0; i < kSamples * 5; ++i) {
        const Num a = g.number(0.01);
        const Layout la = kind(a) == Kind::finite ? layout_of(a) : Layout{};
        // Often close in exponent, so that the window and the carries matter.
        const Num b = g.chance(0.6) ? g.near_exp(la.exp, 21) : g.number(0.01);
        const bool subtract = g.chance(0.5);
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        (subtract ? lnxsub : lnxadd)(a.b.data(), a.len, b.b.data(), b.len, out, &len);
        const tavo::num::Unpacked s = tavo::num::trans::sum(
            tavo::num::decode({a.b.data(), static_cast<size_t>(a.len)}),
            tavo::num::decode({b.b.data(), static_cast<size_t>(b.len)}), subtract);
        Num got;
        got.len = tavo::num::encode(s, got.b.data());
        ASSERT_EQ(got, result(out, &len)) << a << (subtract ? " - " : " + ") << b;
    }
}

// The series in limbs: each step must give the general operation's digits.
TEST(Transcendental, LimbStepsMatchTheGeneralOperations) {
    namespace limb = tavo::num::trans::limb;
    using tavo::num::Unpacked;
    Gen g(9);
    const auto unpack = [](const Num &n) {
        return tavo::num::decode({n.b.data(), static_cast<size_t>(n.len)});
    };
    const auto bytes = [](const limb::Fixed &f) {
        Num n;
        n.len = tavo::num::encode(limb::to_unpacked(f), n.b.data());
        return n;
    };
    // Operands in the range the series use, zero among them, and near the
    // bottom of the range where results vanish.
    const auto operand = [&] {
        if (g.chance(0.03)) return zero();
        return g.chance(0.1) ? g.near_exp(-60, 5) : g.near_exp(0, 25);
    };
    for (int i = 0; i < kSamples * 5; ++i) {
        const Num a = operand(), b = g.chance(0.5) ? g.near_exp(g.uniform(-25, 5), 2) : operand();
        const limb::Fixed fa = limb::from_unpacked(unpack(a)), fb = limb::from_unpacked(unpack(b));
        ASSERT_EQ(bytes(fa), a);
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxmul(a.b.data(), a.len, b.b.data(), b.len, out, &len);
        ASSERT_EQ(bytes(limb::product(fa, fb)), result(out, &len)) << a << " x " << b;
        for (const bool subtract : {false, true}) {
            (subtract ? lnxsub : lnxadd)(a.b.data(), a.len, b.b.data(), b.len, out, &len);
            ASSERT_EQ(bytes(limb::sum(fa, fb, subtract)), result(out, &len))
                << a << (subtract ? " - " : " + ") << b;
        }
        const auto k = static_cast<uint32_t>(g.uniform(1, tavo::num::trans::kTabledFactors));
        const uint32_t n = k * (k + 1);
        lnxdiv(a.b.data(), a.len, nullptr, static_cast<int32_t>(n), out, &len);
        ASSERT_EQ(bytes(limb::series_quotient(fa, tavo::num::trans::kSeriesDivisors[k])),
                  result(out, &len))
            << a << " / " << n;
        ASSERT_EQ(bytes(limb::quotient(fa, n, tavo::num::trans::make_reciprocal(n))),
                  result(out, &len))
            << a << " / " << n;
    }
}

// ---- The accuracy table ---------------------------------------------------------

// One domain of one function: arguments, the oracle, the bound.
struct Domain {
    const char *function;
    const char *name;
    bool relative;
    double bound;
    std::function<std::vector<Num>(Gen &)> args;  // one call gives one sample's arguments
    std::function<Num(const std::vector<Num> &)> ours;
    // Sets exact to the true value; false when the sample is to be skipped
    // (its true result lies outside the number range).
    std::function<bool(const std::vector<Num> &, mpfr_ptr)> exact;
};

bool in_range(mpfr_ptr v) {
    if (mpfr_zero_p(v)) return true;
    if (!mpfr_number_p(v)) return false;
    // 100^-65 .. 9.99..e125 with a margin for the rounding of the last digit
    Big lo, hi, a;
    mpfr_set_str(lo.get(), "1.0000001e-130", 10, MPFR_RNDN);
    mpfr_set_str(hi.get(), "9.99999e125", 10, MPFR_RNDN);
    mpfr_abs(a.get(), v, MPFR_RNDN);
    return mpfr_cmp(a.get(), lo.get()) >= 0 && mpfr_cmp(a.get(), hi.get()) <= 0;
}

using MpfrUnary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
std::function<bool(const std::vector<Num> &, mpfr_ptr)> oracle(MpfrUnary f) {
    return [f](const std::vector<Num> &a, mpfr_ptr out) {
        Big x(a[0]);
        f(out, x.get(), MPFR_RNDN);
        return in_range(out);
    };
}
std::function<Num(const std::vector<Num> &)> series(int32_t code) {
    return [code](const std::vector<Num> &a) { return tra(a[0], code); };
}
std::function<Num(const std::vector<Num> &)> inverse(int32_t code) {
    return [code](const std::vector<Num> &a) {
        const Status s = tri(a[0], code);
        EXPECT_EQ(s.status, 0) << a[0];
        return s.value;
    };
}
std::function<std::vector<Num>(Gen &)> one(std::function<Num(Gen &)> f) {
    return [f](Gen &g) { return std::vector<Num>{f(g)}; };
}

int mpfr_pow_int_wrapper(mpfr_ptr out, const std::vector<Num> &a) {
    Big x(a[0]);
    mpq_class n = value(a[1]).q;
    return mpfr_pow_si(out, x.get(), mpz_class(n).get_si(), MPFR_RNDN);
}

std::vector<Domain> domains() {
    const auto pi = [](int k) -> mpq_class { return pi60() * k / 2; };
    std::vector<Domain> d;
    // Square root.
    d.push_back({"lnxsqr", "whole range", true, 1.5e-38,
                 one([](Gen &g) { return log_uniform(g, -130, 126); }),
                 [](auto &a) { return sqr(a[0]); }, oracle(mpfr_sqrt)});
    d.push_back({"lnxsqr", "short digit strings", true, 1.5e-38,
                 one([](Gen &g) { return g.finite(false, g.exponent(), g.uniform(1, 20)); }),
                 [](auto &a) { return sqr(a[0]); }, oracle(mpfr_sqrt)});
    // Natural logarithm.
    d.push_back({"lnxln", "whole range", true, 1e-37, one([](Gen &g) {
                     Num x;
                     do x = log_uniform(g, -130, 126);
                     while (std::abs(mpq_class(value(x).q - 1).get_d()) < 0.5);
                     return x;
                 }),
                 [](auto &a) { return ln(a[0]); }, oracle(mpfr_log)});
    d.push_back({"lnxln", "near 1", false, 1e-37, one([](Gen &g) { return near(g, 1, 1, 38); }),
                 [](auto &a) { return ln(a[0]); }, oracle(mpfr_log)});
    // Logarithm to a base.
    d.push_back({"lnxlog", "bases 10, 2, 0.5, 1e5 and random", true, 3e-37,
                 [](Gen &g) {
                     static const char *const bases[] = {"10", "2", "0.5", "100000"};
                     const int pick = g.uniform(0, 4);
                     Num base = pick < 4 ? dn(bases[pick]) : log_uniform(g, -20, 20);
                     while (std::abs(mpq_class(value(base).q - 1).get_d()) < 0.1)
                         base = log_uniform(g, -20, 20);
                     Num x;
                     do x = log_uniform(g, -130, 126);
                     while (std::abs(mpq_class(value(x).q - 1).get_d()) < 0.5);
                     return std::vector<Num>{base, x};
                 },
                 [](auto &a) { return log(a[0], a[1]); },
                 [](auto &a, mpfr_ptr out) {
                     Big b(a[0]), x(a[1]);
                     mpfr_log(out, x.get(), MPFR_RNDN);
                     mpfr_log(b.get(), b.get(), MPFR_RNDN);
                     mpfr_div(out, out, b.get(), MPFR_RNDN);
                     return true;
                 }});
    // Exponential.
    d.push_back({"exp", "[-299, 290]", true, 1.5e-36,
                 one([](Gen &g) { return uniform(g, -299, 290); }), series(LNXTRA_EXP),
                 oracle(mpfr_exp)});
    d.push_back({"exp", "(-1, 1)", true, 1.5e-37, one([](Gen &g) { return uniform(g, -1, 1); }),
                 series(LNXTRA_EXP), oracle(mpfr_exp)});
    d.push_back({"exp", "tiny", true, 5e-38,
                 one([](Gen &g) { return log_uniform(g, -130, -2, true); }), series(LNXTRA_EXP),
                 oracle(mpfr_exp)});
    d.push_back({"exp", "near overflow and underflow", true, 1.5e-36, one([](Gen &g) {
                     return g.chance(0.5) ? uniform(g, q_of("289.9"), q_of("290.13"))
                                          : uniform(g, q_of("-299.33"), q_of("-298.9"));
                 }),
                 series(LNXTRA_EXP), oracle(mpfr_exp)});
    // Sine, cosine, tangent.
    const struct {
        const char *name;
        int32_t code;
        MpfrUnary f;
    } circular[] = {{"sin", LNXTRA_SIN, mpfr_sin},
                    {"cos", LNXTRA_COS, mpfr_cos},
                    {"tan", LNXTRA_TAN, mpfr_tan}};
    for (const auto &c : circular) {
        d.push_back({c.name, "[-10, 10], 0.1 <= |result| <= 10", true, 1e-36,
                     one([](Gen &g) { return uniform(g, -10, 10); }), series(c.code),
                     [f = c.f](auto &a, mpfr_ptr out) {
                         Big x(a[0]);
                         f(out, x.get(), MPFR_RNDN);
                         return mpfr_cmpabs(out, Big(mpq_class(1, 10)).get()) >= 0 &&
                                mpfr_cmpabs(out, Big(mpq_class(10)).get()) <= 0;
                     }});
        d.push_back({c.name, "tiny", true, 4e-38,
                     one([](Gen &g) { return log_uniform(g, -130, -3, true); }), series(c.code),
                     oracle(c.f)});
        d.push_back({c.name, "within 1e-1 .. 1e-30 of k pi/2, |k| <= 40, |result| <= 1", false,
                     3e-37, one([pi](Gen &g) { return near(g, pi(g.uniform(-40, 40)), 1, 30); }),
                     series(c.code), [f = c.f](auto &a, mpfr_ptr out) {
                         Big x(a[0]);
                         f(out, x.get(), MPFR_RNDN);
                         // tan near its poles: measured as the error of the
                         // cotangent below
                         return mpfr_cmpabs(out, Big(mpq_class(1)).get()) <= 0;
                     }});
        d.push_back({c.name, "[-1e6, 1e6], |result| <= 1", false, 6e-33,
                     one([](Gen &g) { return uniform(g, -1000000, 1000000); }), series(c.code),
                     [f = c.f](auto &a, mpfr_ptr out) {
                         Big x(a[0]);
                         f(out, x.get(), MPFR_RNDN);
                         return mpfr_cmpabs(out, Big(mpq_class(1)).get()) <= 0;
                     }});
    }
    d.push_back({"tan", "cotangent near odd multiples of pi/2", false, 3e-37,
                 one([pi](Gen &g) { return near(g, pi(2 * g.uniform(-20, 19) + 1), 3, 30); }),
                 [](auto &a) {
                     // 1 / tan, computed from our tangent in exact arithmetic
                     const Num t = tra(a[0], LNXTRA_TAN);
                     return to_num(1 / value(t).q, Rule::half_up);
                 },
                 [](auto &a, mpfr_ptr out) {
                     Big x(a[0]);
                     mpfr_cot(out, x.get(), MPFR_RNDN);
                     return true;
                 }});
    // Hyperbolic functions.
    const struct {
        const char *name;
        int32_t code;
        MpfrUnary f;
    } hyperbolic[] = {{"cosh", LNXTRA_COSH, mpfr_cosh},
                      {"sinh", LNXTRA_SINH, mpfr_sinh},
                      {"tanh", LNXTRA_TANH, mpfr_tanh}};
    for (const auto &c : hyperbolic) {
        d.push_back({c.name, "[-5, 5]", true, 1e-37, one([](Gen &g) { return uniform(g, -5, 5); }),
                     series(c.code), oracle(c.f)});
        d.push_back({c.name, "[-290.8, 290.8]", true, 4e-36,
                     one([](Gen &g) { return uniform(g, q_of("-290.8"), q_of("290.8")); }),
                     series(c.code), oracle(c.f)});
        d.push_back({c.name, "tiny", true, 4e-38,
                     one([](Gen &g) { return log_uniform(g, -130, -3, true); }), series(c.code),
                     oracle(c.f)});
    }
    // Integer powers.
    d.push_back({"lnxpow", "|n| <= 64", true, 8e-37,
                 [](Gen &g) {
                     const Num b = log_uniform(g, -3, 3, true);
                     return std::vector<Num>{b, dn(std::to_string(g.uniform(-64, 64)).c_str())};
                 },
                 [](auto &a) { return pow(a[0], *as_int32(a[1])); },
                 [](auto &a, mpfr_ptr out) {
                     mpfr_pow_int_wrapper(out, a);
                     return in_range(out);
                 }});
    d.push_back(
        {"lnxpow", "near 1, |n| up to 10^6", true, 2e-32,
         [](Gen &g) {
             const Num b = near(g, 1, 7, 30);
             return std::vector<Num>{b, dn(std::to_string(g.uniform(-1000000, 1000000)).c_str())};
         },
         [](auto &a) { return pow(a[0], *as_int32(a[1])); },
         [](auto &a, mpfr_ptr out) {
             mpfr_pow_int_wrapper(out, a);
             return in_range(out);
         }});
    // Powers with a number exponent.
    d.push_back({"lnxbex", "positive base", true, 4e-36,
                 [](Gen &g) {
                     return std::vector<Num>{log_uniform(g, -30, 30), log_uniform(g, -3, 1, true)};
                 },
                 [](auto &a) { return bex(a[0], a[1]); },
                 [](auto &a, mpfr_ptr out) {
                     Big b(a[0]), y(a[1]);
                     mpfr_pow(out, b.get(), y.get(), MPFR_RNDN);
                     return in_range(out);
                 }});
    d.push_back({"lnxbex", "negative base, integral exponent", true, 4e-36,
                 [](Gen &g) {
                     const Num b = log_uniform(g, -3, 3);
                     return std::vector<Num>{to_num(-value(b).q, Rule::half_up),
                                             dn(std::to_string(g.uniform(-40, 40)).c_str())};
                 },
                 [](auto &a) { return bex(a[0], a[1]); },
                 [](auto &a, mpfr_ptr out) {
                     Big b(a[0]), y(a[1]);
                     mpfr_pow(out, b.get(), y.get(), MPFR_RNDN);
                     return in_range(out);
                 }});
    // Arc sine, arc cosine.
    const struct {
        const char *name;
        int32_t code;
        MpfrUnary f;
    } arcs[] = {{"asin", LNXTRI_ASIN, mpfr_asin}, {"acos", LNXTRI_ACOS, mpfr_acos}};
    for (const auto &c : arcs) {
        d.push_back({c.name, "[-1, 1], |result| >= 0.1", true, 6e-37,
                     one([](Gen &g) { return uniform(g, -1, 1); }), inverse(c.code),
                     [f = c.f](auto &a, mpfr_ptr out) {
                         Big x(a[0]);
                         f(out, x.get(), MPFR_RNDN);
                         return mpfr_cmpabs(out, Big(mpq_class(1, 10)).get()) >= 0;
                     }});
        d.push_back({c.name, "near -1, 0 and 1", false, 1e-37, one([](Gen &g) {
                         const int c0 = g.uniform(-1, 1);
                         Num x;
                         do x = near(g, c0, 1, 38);
                         while (std::abs(value(x).q.get_d()) > 1 || kind(x) != Kind::finite);
                         return x;
                     }),
                     inverse(c.code), oracle(c.f)});
    }
    // Arc tangent and the angle of a point.
    d.push_back({"atan", "whole range", true, 1e-37,
                 one([](Gen &g) { return log_uniform(g, -130, 126, true); }), inverse(LNXTRI_ATAN),
                 oracle(mpfr_atan)});
    d.push_back({"atan", "near +-1", true, 1e-37, one([](Gen &g) {
                     Num x = near(g, 1, 1, 38);
                     return g.chance(0.5) ? to_num(-value(x).q, Rule::half_up) : x;
                 }),
                 inverse(LNXTRI_ATAN), oracle(mpfr_atan)});
    d.push_back(
        {"lnxatn2", "all quadrants", true, 1e-37,
         [](Gen &g) {
             return std::vector<Num>{log_uniform(g, -30, 30, true), log_uniform(g, -30, 30, true)};
         },
         [](auto &a) {
             const Status s = atn2(a[0], a[1]);
             EXPECT_EQ(s.status, 0);
             return s.value;
         },
         [](auto &a, mpfr_ptr out) {
             Big y(a[0]), x(a[1]);
             mpfr_atan2(out, y.get(), x.get(), MPFR_RNDN);
             return true;
         }});
    return d;
}

class Accuracy : public ::testing::TestWithParam<int> {};

TEST_P(Accuracy, WithinTheMeasuredBound) {
    static const std::vector<Domain> all = domains();
    const Domain &dom = all[static_cast<size_t>(GetParam())];
    Gen g(0x7a11 + 7919 * static_cast<uint64_t>(GetParam()));
    // kSamples arguments a function, shared among its domains.
    int domains_of_function = 0;
    for (const Domain &other : all)
        domains_of_function += std::strcmp(other.function, dom.function) == 0 ? 1 : 0;
    const int samples = (kSamples + domains_of_function - 1) / domains_of_function;
    double worst = 0;
    std::vector<Num> worst_args;
    int used = 0;
    Big exact;
    for (int i = 0; i < samples; ++i) {
        const std::vector<Num> args = dom.args(g);
        if (!dom.exact(args, exact.get())) continue;
        ++used;
        const double e = error(dom.ours(args), exact.get(), dom.relative);
        if (e > worst) {
            worst = e;
            worst_args = args;
        }
    }
    std::string where;
    for (const Num &n : worst_args) where += " " + hex(n);
    std::printf("accuracy %-8s %-45s %s %.3g over %d (worst at%s)\n", dom.function, dom.name,
                dom.relative ? "relative" : "absolute", worst, used, where.c_str());
    EXPECT_GT(used, samples / 3);
    EXPECT_LE(worst, dom.bound) << dom.function << " " << dom.name << " worst at" << where;
}

INSTANTIATE_TEST_SUITE_P(Transcendental, Accuracy,
                         ::testing::Range(0, static_cast<int>(domains().size())),
                         [](const auto &info) {
                             const Domain d = domains()[static_cast<size_t>(info.param)];
                             std::string name = std::string(d.function) + "_" + d.name;
                             for (char &ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name + "_" + std::to_string(info.param);
                         });

// ---- Stored digits ------------------------------------------------------------------

// Stored results depend on the exact digits of every function, so any
// change to how they are computed must leave the bytes as they are: the
// results over a fixed set of arguments (the accuracy domains' own, with
// their own seeds) are hashed per function and compared with the hashes
// of the digits as first released.
uint64_t fnv1a(uint64_t h, const uint8_t *p, size_t n) {
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001b3ULL;
    return h;
}

using Hashes = std::vector<std::pair<std::string, uint64_t>>;

// The hash of each function's results over n arguments a function.
Hashes result_hashes(int n) {
    const std::vector<Domain> all = domains();
    Hashes got;
    for (size_t i = 0; i < all.size(); ++i) {
        const Domain &dom = all[i];
        int domains_of_function = 0;
        for (const Domain &other : all)
            domains_of_function += std::strcmp(other.function, dom.function) == 0 ? 1 : 0;
        const int samples = (n + domains_of_function - 1) / domains_of_function;
        if (got.empty() || got.back().first != dom.function)
            got.emplace_back(dom.function, 0xcbf29ce484222325ULL);
        uint64_t &h = got.back().second;
        Gen g(0x6a5e + 104729 * static_cast<uint64_t>(i));
        Big exact;
        for (int k = 0; k < samples; ++k) {
            // Only the arguments that the accuracy test takes.
            const std::vector<Num> args = dom.args(g);
            if (!dom.exact(args, exact.get())) continue;
            const Num r = dom.ours(args);
            const auto len = static_cast<uint8_t>(r.len);
            h = fnv1a(h, &len, 1);
            h = fnv1a(h, r.b.data(), static_cast<size_t>(r.len));
        }
    }
    std::string table;
    for (const auto &[name, h] : got) {
        char line[80];
        std::snprintf(line, sizeof line, "        {\"%s\", 0x%016llxULL},\n", name.c_str(),
                      static_cast<unsigned long long>(h));
        table += line;
    }
    std::printf("result hashes over %d arguments a function:\n%s", n, table.c_str());
    return got;
}

TEST(Transcendental, ResultBytesAreUnchanged) {
    const Hashes few = {
        {"lnxsqr", 0x89fcb71443aa56f8ULL}, {"lnxln", 0x95a0e16a7ec9f75fULL},
        {"lnxlog", 0x3b20ba2f9adcb4edULL}, {"exp", 0xe8ffd7085494dce6ULL},
        {"sin", 0xc6e7226c4049ce9eULL},    {"cos", 0xe7c7f5cf03487563ULL},
        {"tan", 0x43e6cd62309aa2a4ULL},    {"cosh", 0xe23cb3ae8100798eULL},
        {"sinh", 0x5d5466bbd694bad6ULL},   {"tanh", 0x67bde0d6e250e494ULL},
        {"lnxpow", 0x01769ee5e0698e40ULL}, {"lnxbex", 0xc5df0bcf89c86728ULL},
        {"asin", 0x28fffc3550ef6d9bULL},   {"acos", 0xf0a2ab529f4a1a9aULL},
        {"atan", 0x6e14a1ad8786e573ULL},   {"lnxatn2", 0xe1e61e1d432f52f1ULL},
    };
    EXPECT_EQ(result_hashes(1000), few) << "the digits of some function changed";
#ifndef TAVO_TEST_SANITIZED  // instrumented code is many times slower
    const Hashes many = {
        {"lnxsqr", 0x4deb8ccea084df54ULL}, {"lnxln", 0x67da3039266d1c73ULL},
        {"lnxlog", 0x4a5b56d9e4f0e308ULL}, {"exp", 0x3794ce78d357dbdfULL},
        {"sin", 0xa75b71f4be317238ULL},    {"cos", 0xda044cd013250695ULL},
        {"tan", 0x0900df5175eb77f4ULL},    {"cosh", 0xcd1c259b4f8ffdf2ULL},
        {"sinh", 0x90771ea736632912ULL},   {"tanh", 0xfcd4d34a5886d6eaULL},
        {"lnxpow", 0xc420d52fe5630e88ULL}, {"lnxbex", 0xca9b707ca24132e0ULL},
        {"asin", 0x98c91c42d18c599cULL},   {"acos", 0xb7270c24418b0d5cULL},
        {"atan", 0x2f80eb9cb7ae0ba8ULL},   {"lnxatn2", 0xa247e0ddd9be06b9ULL},
    };
    EXPECT_EQ(result_hashes(20000), many) << "the digits of some function changed";
#endif
}

}  // namespace
