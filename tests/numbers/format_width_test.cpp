// Numbers written in a width (lnxnuc): the C library's rounding of the same
// values as the oracle, and the layouts a width forces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "lnx.h"
#include "lx.h"
#include "num_oracle.hpp"

using namespace numtest;

namespace {

std::string nuc(const Num &n, int32_t width, const lxlinfo *lang = nullptr) {
    char out[300];
    std::memset(out, '@', sizeof out);
    lnxnuc(n.b.data(), n.len, out, width, lang);
    const size_t w = static_cast<size_t>(width < 0 ? -width : width);
    for (size_t i = w; i < sizeof out; ++i) EXPECT_EQ(out[i], '@') << width;
    return {out, w};
}

TEST(FormatWidth, Examples) {
    struct Case {
        const char *value;
        int32_t width;
        const char *text;
    } cases[] = {
        {"123456", 5, "#####"},
        {"123456", 7, " 123456"},
        {"123456", 6, "123456"},
        {"123456", -10, "1.2346E+05"},
        {"0.5", 2, ".5"},
        {"0", -7, "  0E+00"},
        {"0", 1, "0"},
        {"0", 3, "  0"},
        {"0", -4, "####"},
        {"inf", 3, "  ~"},
        {"-inf", 3, " -~"},
        {"-inf", 1, "#"},
        {"-5", 1, "#"},
        {"-5", 2, "-5"},
        {"-0.5", 3, "-.5"},
        {"-0.5", 2, "-1"},
        {"2.5", 1, "3"},
        {"0.0001", 3, "  0"},
        {"0.00001234", 10, " .00001234"},
        {"0.00001234", 9, "1.234E-05"},
        {"0.00001234", 7, "1.2E-05"},
        {"0.00001234", 6, "######"},
        {"99.96", 4, " 100"},
        {"99.96", 5, "99.96"},
        {"1e100", 10, "1.000E+100"},
        {"9.99999e99", 9, "1.00E+100"},
        {"9.99999e99", -10, "1.000E+100"},
        {"-1.5e-120", 12, "-1.5000E-120"},
        {"9.9999e-100", -10, "1.0000E-99"},
        {"-9.99999e-100", 10, "-1.000E-99"},
        {"1", 0, ""},
        {"12345678901234567890", 20, "12345678901234567890"},
        {"12345678901234567890", 19, "1.2345678901235E+19"},
    };
    for (const auto &c : cases) {
        if (c.width == 0) {
            char out[4] = {'@', '@', '@', '@'};
            lnxnuc(dn(c.value).b.data(), dn(c.value).len, out, 0, nullptr);
            EXPECT_EQ(out[0], '@');
            continue;
        }
        EXPECT_EQ(nuc(dn(c.value), c.width), c.text) << c.value << " in " << c.width;
    }
}

TEST(FormatWidth, Handles) {
    lxlinfo german{};
    ASSERT_EQ(lxlfill(&german, "GERMAN", 0), LXS_OK);
    EXPECT_EQ(nuc(dn("-1.5"), 6, &german), "  -1,5");
    EXPECT_EQ(nuc(dn("1.5"), -8, &german), "1,50E+00");
    lxlinfo ebcdic{};
    ASSERT_EQ(lxlfill(&ebcdic, "AMERICAN_AMERICA.WE8EBCDIC", 0), LXS_OK);
    EXPECT_EQ(nuc(dn("-1.5"), 5, &ebcdic), "\x40\x60\xF1\x4B\xF5");
    lxlinfo blank{};
    EXPECT_EQ(nuc(dn("1"), 3, &blank), "###");
    // Without a handle the common table is used, which callers may change.
    lnxqcom_chars[13] = ',';
    EXPECT_EQ(nuc(dn("-1.5"), 5, nullptr), " -1,5");
    lnxqcom_chars[13] = '.';
    EXPECT_EQ(nuc(dn("-1.5"), 5, nullptr), " -1.5");
    // Wide fields are padding.
    EXPECT_EQ(nuc(dn("7"), 250), std::string(249, ' ') + "7");
    EXPECT_EQ(nuc(dn("-7"), -250).substr(0, 8), "-7.00000");
}

// The decimal digits of a number text from position `from` on are a
// rounding tie (5 and zeros), where binary and decimal rounding part.
bool tie_at(const std::string &digits, size_t from) {
    if (from >= digits.size() || digits[from] != '5') return false;
    return digits.find_first_not_of('0', from + 1) == std::string::npos;
}

// Random values of up to 15 digits: the text lnxnuc writes reads back to the
// value the C library rounds the same double to, with as many digits as the
// width holds.
TEST(FormatWidth, AgreesWithSnprintf) {
    Gen g(91);
    int fixed = 0, sci = 0;
    for (int i = 0; i < 40000; ++i) {
        std::string digits;
        const int nd = g.uniform(1, 15);
        for (int k = 0; k < nd; ++k)
            digits += static_cast<char>('0' + g.uniform(k == 0 ? 1 : 0, 9));
        while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
        const int x = g.chance(0.7) ? g.uniform(-8, 20) : g.uniform(-125, 125);
        const bool negative = g.chance(0.4);
        const std::string text = (negative ? "-" : "") + digits.substr(0, 1) + "." +
                                 digits.substr(1) + "e" + std::to_string(x);
        const double d = std::strtod(text.c_str(), nullptr);
        Num n;
        uint32_t len = 0;
        lnxcpn(text.data(), static_cast<uint32_t>(text.size()), n.b.data(), &len, 0, 0, 0, 0,
               nullptr, nullptr);
        n.len = static_cast<int>(len);
        const int width = g.uniform(2, 30) * (g.chance(0.2) ? -1 : 1);
        const std::string out = nuc(n, width);
        if (out.find('#') != std::string::npos) continue;
        const size_t start = out.find_first_not_of(' ');
        ASSERT_NE(start, std::string::npos);
        const std::string shown = out.substr(start);
        const int room = std::abs(width) - (negative ? 1 : 0);
        char expect[400];
        if (shown.find('E') == std::string::npos) {
            // Fixed: rounded to the places the width leaves.
            ASSERT_GT(width, 0) << text;
            const int p = x + 1;  // integer digits
            const int places = std::max(p > 0 ? room - p - 1 : room - 1, 0);
            if (tie_at(digits, static_cast<size_t>(p + places))) continue;
            std::snprintf(expect, sizeof expect, "%.*f", places, d);
            ++fixed;
            if (p >= 1 && p + places <= 15) {
                // From 1 on, %g with as many significant digits (as far as a
                // double holds them) writes
                // the same text.
                char g_text[400];
                std::snprintf(g_text, sizeof g_text, "%.*g", p + places, d);
                // (%g turns to an exponent when the rounding carries.)
                if (std::strchr(g_text, 'e') == nullptr) {
                    ASSERT_EQ(shown, g_text) << text << " in " << width;
                }
            }
        } else {
            // Scientific: fills the width exactly.
            ASSERT_EQ(start, 0u) << text;
            const int exp_digits = static_cast<int>(shown.size() - shown.find('E') - 2);
            const int k = room - 3 - exp_digits;
            if (tie_at(digits, static_cast<size_t>(k))) continue;
            std::snprintf(expect, sizeof expect, "%.*e", k - 1, d);
            ++sci;
        }
        ASSERT_EQ(std::strtod(shown.c_str(), nullptr), std::strtod(expect, nullptr))
            << text << " in " << width << ": " << out << " vs " << expect;
    }
    EXPECT_GT(fixed, 10000);
    EXPECT_GT(sci, 5000);
}

}  // namespace
