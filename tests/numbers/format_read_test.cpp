// Reading numbers from plain text: lnxcpn against strtod and against GMP's
// exact value, lnxscn against lnxcpn, and the cases a user would try first.
#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "lnx.h"
#include "lx.h"
#include "format_test_util.hpp"
#include "num_oracle.hpp"

using namespace numtest;

namespace {

struct Read {
    Num num;
    uint32_t consumed = 0;
};

Read cpn(const std::string &text, const lxlinfo *lang = nullptr, bool hasprec = false,
         int32_t prec = 0, bool hasscale = false, int32_t scale = 0) {
    Read r;
    uint32_t len = 0;
    r.consumed = 12345;
    lnxcpn(text.data(), static_cast<uint32_t>(text.size()), r.num.b.data(), &len, hasprec, prec,
           hasscale, scale, &r.consumed, lang);
    r.num.len = static_cast<int>(len);
    return r;
}

// x truncated to 40 significant decimal digits.
mpq_class first_40(const mpq_class &x) {
    if (sgn(x) == 0) return x;
    return round_decimal(x, 40 - (exp10(x) + 1), DecimalMode::toward_zero);
}

// A number's exact decimal text ("-0.1234e5"), read from its bytes by the
// oracle, for the C library to convert to double.
std::string decimal_text(const Num &n) {
    if (kind(n) == Kind::zero) return "0";
    const Layout l = layout_of(n);
    std::string s = l.negative ? "-0." : "0.";
    for (int i = 0; i < l.count; ++i) {
        s += static_cast<char>('0' + l.digit[i] / 10);
        s += static_cast<char>('0' + l.digit[i] % 10);
    }
    return s + "e" + std::to_string(2 * (l.exp + 1));
}

// A random number text with its exact value and length: blanks, a sign,
// digits around an optional point, an optional exponent, blanks. The
// caller may append anything that does not continue the number.
struct NumberText {
    std::string text;
    mpq_class value;
};

NumberText random_text(Gen &g, int max_digits, int min_exp, int max_exp) {
    NumberText t;
    t.text.append(static_cast<size_t>(g.uniform(0, 2)), ' ');
    const bool negative = g.chance(0.5);
    if (negative)
        t.text += '-';
    else if (g.chance(0.3))
        t.text += '+';
    const int digits = g.uniform(1, max_digits);
    std::string ds;
    for (int i = 0; i < digits; ++i) ds += static_cast<char>('0' + g.uniform(i == 0 ? 1 : 0, 9));
    if (g.chance(0.2)) ds.insert(0, static_cast<size_t>(g.uniform(1, 3)), '0');
    // Where the point goes, and the exponent that keeps the value in range.
    const int point = g.uniform(0, static_cast<int>(ds.size()));
    const int sci = g.uniform(min_exp, max_exp);
    const int lead = static_cast<int>(ds.find_first_not_of('0'));
    const int exponent = sci - (point - lead - 1);
    std::string body = ds;
    if (point < static_cast<int>(ds.size()) || g.chance(0.3)) body.insert(point, ".");
    t.text += body;
    if (exponent != 0 || g.chance(0.3))
        t.text += (g.chance(0.5) ? "e" : "E") + std::to_string(exponent);
    t.value =
        mpq_class(mpz_class(ds, 10)) * pow10(exponent - (static_cast<int>(ds.size()) - point));
    if (negative) t.value = -t.value;
    t.text.append(static_cast<size_t>(g.uniform(0, 2)), ' ');
    return t;
}

TEST(FormatRead, Examples) {
    struct Case {
        const char *text;
        const char *value;
        uint32_t consumed;
    } cases[] = {
        {"  -1.5e3  ", "-1500", 10},
        {"abc", "0", 0},
        {"", "0", 0},
        {"1e200", "inf", 5},
        {"-1e200", "-inf", 6},
        {"1e-200", "0", 6},
        {"12.5xyz", "12.5", 4},
        {"+.5", "0.5", 3},
        {"5.", "5", 2},
        {".", "0", 0},
        {"-", "0", 0},
        {"000", "0", 3},
        {"0.000", "0", 5},
        {"1e", "1", 1},
        {"1e+", "1", 1},
        {"1E-2 ", "0.01", 5},
        {"1 2", "1", 2},
        {"--1", "0", 0},
        {"1e99999999999", "inf", 13},
        {"0.00001e-99999", "0", 14},
        {"9.9999999999999999999999999999999999999999999", "10", 45},
        {"99999999999999999999999999999999999999999999",
         "9999999999999999999999999999999999999999e4", 44},
    };
    for (const Case &c : cases) {
        const Read r = cpn(c.text);
        EXPECT_EQ(r.consumed, c.consumed) << c.text;
        EXPECT_EQ(r.num, dn(c.value)) << c.text;
        EXPECT_EQ(lnxscn(c.text, static_cast<uint32_t>(std::strlen(c.text)), nullptr), c.consumed)
            << c.text;
    }
}

TEST(FormatRead, PrecisionAndScale) {
    struct Case {
        const char *text;
        bool hasprec;
        int32_t prec;
        bool hasscale;
        int32_t scale;
        const char *value;
        uint32_t consumed;
    } cases[] = {
        {"123.456", true, 5, true, 2, "123.46", 7},  {"123.456", true, 4, true, 2, "123.46", 0},
        {"999.996", true, 5, true, 2, "1000", 0},    {"123.456", false, 0, true, 1, "123.5", 7},
        {"123456", false, 0, true, -2, "123500", 6}, {"123.456", true, 3, false, 0, "123", 7},
        {"1e200", true, 38, false, 0, "inf", 0},     {"1e200", false, 0, true, 0, "inf", 5},
        {"0.0004", true, 3, true, 3, "0", 6},
    };
    for (const Case &c : cases) {
        const Read r = cpn(c.text, nullptr, c.hasprec, c.prec, c.hasscale, c.scale);
        EXPECT_EQ(r.consumed, c.consumed) << c.text << " " << c.prec << "," << c.scale;
        EXPECT_EQ(r.num, dn(c.value)) << c.text;
    }
}

TEST(FormatRead, LanguagesAndForms) {
    const lxlinfo german = language("GERMAN");
    EXPECT_EQ(cpn("1,5", &german).num, dn("1.5"));
    EXPECT_EQ(cpn("1.5", &german).consumed, 1u);  // the period is no decimal character there
    EXPECT_EQ(lnxscn("1,5e2", 5, &german), 5u);

    const lxlinfo ebcdic = language("AMERICAN_AMERICA.WE8EBCDIC");
    const std::string text = "\x40\x60\xF1\x4B\xF2\x85\xF3";  // " -1.2e3"
    const Read r = cpn(text, &ebcdic);
    EXPECT_EQ(r.num, dn("-1200"));
    EXPECT_EQ(r.consumed, 7u);
    EXPECT_EQ(cpn("-1.2e3", &ebcdic).consumed, 0u);  // ASCII is not the handle's set

    // Length-prefixed text; a null consumed pointer; a result with a
    // length byte.
    const char prefixed[] = "\x04-2.5junk";
    uint8_t dst[LNXBUFLEN];
    uint32_t used = 0;
    lnxcpn(prefixed, 0, dst, nullptr, 0, 0, 0, 0, &used, nullptr);
    EXPECT_EQ(used, 4u);
    Num n;
    n.len = dst[0];
    std::memcpy(n.b.data(), dst + 1, n.len);
    EXPECT_EQ(n, dn("-2.5"));
    lnxcpn("7", 1, dst, nullptr, 0, 0, 0, 0, nullptr, nullptr);
    EXPECT_EQ(dst[0], 2);

    // An unfilled record is no language: nothing is read.
    lxlinfo blank{};
    EXPECT_EQ(cpn("12", &blank).consumed, 0u);
    EXPECT_EQ(lnxscn("12", 2, &blank), 0u);
    EXPECT_EQ(lnxscn(nullptr, 5, nullptr), 0u);
}

// Up to 15 significant digits a double holds the text's value to the
// nearest, as our number converted to double does.
TEST(FormatRead, AgreesWithStrtod) {
    Gen g(71);
    for (int i = 0; i < 20000; ++i) {
        NumberText t = random_text(g, 15, -100, 100);
        const Read r = cpn(t.text);
        ASSERT_EQ(r.consumed, t.text.size()) << t.text;
        const double ours = std::strtod(decimal_text(r.num).c_str(), nullptr);
        ASSERT_EQ(ours, std::strtod(t.text.c_str(), nullptr)) << t.text;
    }
}

// Longer texts: the first 40 significant digits, rounded half up to the
// number's 20 base-100 digits.
TEST(FormatRead, AgreesWithExactValue) {
    Gen g(72);
    for (int i = 0; i < 20000; ++i) {
        NumberText t = random_text(g, 60, -135, 130);
        std::string tail = g.chance(0.5) ? "" : (g.chance(0.5) ? "x" : "e+");
        const Read r = cpn(t.text + tail);
        ASSERT_EQ(r.consumed, t.text.size()) << t.text;
        ASSERT_EQ(r.num, to_num(first_40(t.value), Rule::half_up)) << t.text;
    }
}

// How much of a text is a number: the scanner and the reader agree on
// texts made of the characters that matter.
TEST(FormatRead, ScannerAgreesWithReader) {
    Gen g(73);
    const char alphabet[] = "0123456789 +-.eE,x";
    for (int i = 0; i < 50000; ++i) {
        std::string s;
        const int n = g.uniform(0, 12);
        for (int k = 0; k < n; ++k) s += alphabet[g.uniform(0, sizeof alphabet - 2)];
        const Read r = cpn(s);
        ASSERT_EQ(lnxscn(s.data(), static_cast<uint32_t>(s.size()), nullptr), r.consumed) << s;
        ASSERT_LE(r.consumed, s.size());
        ASSERT_TRUE(is_normalised(r.num.bytes())) << s;
    }
}

}  // namespace
