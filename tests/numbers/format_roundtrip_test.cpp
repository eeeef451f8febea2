// Reading text under a model (lnxfcn): what it accepts and refuses, and
// that everything lnxnft prints reads back as the number lnxnft rounded.
#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lnx.h"
#include "lx.h"
#include "format_test_util.hpp"
#include "num_oracle.hpp"

using namespace numtest;

namespace {

struct Read {
    uint32_t consumed;
    Num num;
};

Read fcn(const char *model, const std::string &text, const lxlinfo &lang) {
    lnxfmt pf;
    EXPECT_EQ(lnxpfl(model, static_cast<uint32_t>(std::strlen(model)), &pf, &lang), 0) << model;
    Read r;
    uint32_t len = 99;
    r.consumed =
        lnxfcn(text.data(), static_cast<uint32_t>(text.size()), &pf, r.num.b.data(), &len, &lang);
    r.num.len = static_cast<int>(len);
    return r;
}

TEST(FormatRoundTrip, Reads) {
    const lxlinfo us = language("AMERICAN");
    struct Case {
        const char *model;
        const char *text;
        const char *value;  // null: refused
    } cases[] = {
        {"9,990.99", " 1,234.50", "1234.5"},
        {"9,990.99", "1234.5", "1234.5"},
        {"9,990.99", "12,34.5", nullptr},
        {"9,990.99", "-0.50", "-0.5"},
        {"9,990.99", ".50", nullptr},  // the 0 asks for a digit
        {"9,990.99", "1.234", nullptr},
        {"9,990.99", "12345", nullptr},
        {"9,990.99", "1,234.50x", nullptr},
        {"9,990.99", "", nullptr},
        {"999MI", " 12-", "-12"},
        {"999MI", " 12 ", "12"},
        {"999MI", "12", nullptr},
        {"999PR", " <12>", "-12"},
        {"999PR", "  12 ", "12"},
        {"999PR", "<12", nullptr},
        {"999PT", "(12)", "-12"},
        {"S999", "+12", "12"},
        {"S999", "-12", "-12"},
        {"S999", "12", nullptr},
        {"999S", "12-", "-12"},
        {"999S", "12", nullptr},
        {"$999", " $12", "12"},
        {"$999", "12", nullptr},
        {"C999", "USD12", "12"},
        {"C999", "usd12", "12"},
        {"C999", "EUR12", nullptr},
        {"999C", "12USD", "12"},
        {"9C99", "1USD50", "1.5"},
        {"L999", "         -$12", "-12"},
        {"B999", "    ", "0"},
        {"B999", "   0", "0"},
        {"999V99", "12345", "123.45"},
        {"9.99EEEE", " 1.23E+03", "1230"},
        {"9.99EEEE", "1.23e-3", "0.00123"},
        {"9.99EEEE", "1.23E", nullptr},
        {"9995", "1235", "1235"},
        {"9995", "1234", nullptr},
        {"99.95", "1.2", "1.2"},
        {"99.95", "1.23", nullptr},
        {"FM99.90", "1.2", nullptr},  // fewer fraction digits than the model's last 0
        {"FM99.90", "1.20", "1.2"},
        {"0999", "0012", "12"},
        {"0999", "12", nullptr},
    };
    for (const Case &c : cases) {
        const Read r = fcn(c.model, c.text, us);
        if (c.value == nullptr) {
            EXPECT_EQ(r.consumed, 0u) << c.model << " '" << c.text << "'";
            EXPECT_EQ(r.num.len, 0) << c.model << " '" << c.text << "'";
        } else {
            EXPECT_EQ(r.consumed, std::strlen(c.text)) << c.model << " '" << c.text << "'";
            EXPECT_EQ(r.num, dn(c.value)) << c.model << " '" << c.text << "'";
        }
    }
    // Without a handle, and for the date and Roman numeral models, nothing
    // is read; the result without a length pointer is an empty prefix.
    lnxfmt pf;
    ASSERT_EQ(lnxpfl("999", 3, &pf, nullptr), 0);
    uint8_t dst[LNXBUFLEN] = {9};
    EXPECT_EQ(lnxfcn("12", 2, &pf, dst, nullptr, nullptr), 0u);
    EXPECT_EQ(dst[0], 0);
    EXPECT_EQ(lnxfcn("12", 2, &pf, dst, nullptr, &us), 2u);
    EXPECT_EQ(dst[0], 2);
    ASSERT_EQ(lnxpfl("RN", 2, &pf, nullptr), 0);
    EXPECT_EQ(lnxfcn("XII", 3, &pf, dst, nullptr, &us), 0u);
    ASSERT_EQ(lnxpfl("date", 4, &pf, nullptr), 0);
    EXPECT_EQ(lnxfcn("01/01/96", 8, &pf, dst, nullptr, &us), 0u);

    const lxlinfo german = language("GERMAN");
    EXPECT_EQ(fcn("9G990D99", " 1.234,50", german).num, dn("1234.5"));
    EXPECT_EQ(fcn("9,990.99", " 1,234.50", german).num, dn("1234.5"));
}

// What lnxnft rounds a value to under a model: the fraction positions (the
// significant digits with EEEE), then the 5.
mpq_class printed_value(const mpq_class &v, const lnxfmt &pf) {
    if (sgn(v) == 0) return v;
    if (pf.flags & LNXFMT_EEEE) {
        const int digits = pf.intpos + pf.fracpos;
        return round_decimal(v, digits - (exp10(v) + 1), DecimalMode::half_away);
    }
    mpq_class r = round_decimal(v, pf.fracpos, DecimalMode::half_away);
    if (!(pf.flags & LNXFMT_FIVE)) return r;
    const mpq_class scale = pow10(pf.fracpos);
    mpz_class units = mpz_class(abs(r) * scale);  // exact: r has fracpos places
    const long last = mpz_class(units % 10).get_si();
    units -= last;
    if (last >= 8)
        units += 10;
    else if (last >= 3)
        units += 5;
    mpq_class out = mpq_class(units) / scale;
    return sgn(r) < 0 ? mpq_class(-out) : out;
}

TEST(FormatRoundTrip, PrintedTextReadsBack) {
    const lxlinfo us = language("AMERICAN");
    const lxlinfo german = language("GERMAN");
    const lxlinfo ebcdic = language("AMERICAN_AMERICA.WE8EBCDIC");
    struct Model {
        const char *model;
        const lxlinfo *lang;
    } models[] = {
        {"9999.99", &us},        {"FM9999.99", &us},
        {"9,999.99", &us},       {"FM9,990.00", &us},
        {"9G999D99", &german},   {"FM9G999D90", &german},
        {"$9999.99", &us},       {"C9999.99", &us},
        {"L9999.99", &us},       {"9999.99C", &us},
        {"FM9999.99L", &german}, {"9C99", &us},
        {"FM9L99", &german},     {"S9999.99", &us},
        {"9999.99S", &us},       {"FM9999.99S", &us},
        {"9999.99MI", &us},      {"FM9999.99MI", &us},
        {"9999.99PR", &us},      {"FM9999.99PT", &us},
        {"B9999.99", &us},       {"9999V99", &us},
        {"FM99V999", &us},       {"9.999EEEE", &us},
        {"FM9.99EEEE", &us},     {"S9.9EEEE", &us},
        {"9.9EEEEMI", &us},      {"9EEEE", &us},
        {"0000.00", &us},        {"FM0000.00", &us},
        {"99995", &us},          {"99.95", &us},
        {"FM99.95MI", &us},      {"FM9,999,999", &us},
        {"999,999.999PR", &us},  {"FML9G999D99MI", &german},
        {"99999", &us},          {".9999", &us},
        {"FM.9990", &us},        {"9,990.99", &ebcdic},
        {"9.99EEEE", &ebcdic},   {"FM999,999,999,999,999,999,999.99999999", &us},
    };
    Gen g(101);
    long checked = 0;
    for (const Model &m : models) {
        // For the EBCDIC handle the model text is in EBCDIC too.
        std::string model = m.model;
        if (m.lang == &ebcdic) {
            for (char &c : model) {
                const char *from = "9,.0EMIFS";
                const char *to = "\xF9\x6B\x4B\xF0\xC5\xD4\xC9\xC6\xE2";
                c = to[std::strchr(from, c) - from];
            }
        }
        lnxfmt pf;
        ASSERT_EQ(lnxpfl(model.data(), static_cast<uint32_t>(model.size()), &pf, m.lang), 0)
            << m.model;
        const bool eeee = (pf.flags & LNXFMT_EEEE) != 0;
        for (int i = 0; i < 600; ++i) {
            // Values from well below the model's last place to its full
            // width, now and then zero.
            mpq_class v = 0;
            if (!g.chance(0.05)) {
                const int top =
                    eeee ? g.uniform(-120, 120) : g.uniform(-pf.fracpos - 3, pf.intpos - 1);
                const int digits = g.uniform(1, 30);
                mpz_class z = 0;
                for (int k = 0; k < digits; ++k) z = z * 10 + g.uniform(k == 0 ? 1 : 0, 9);
                v = mpq_class(z) * pow10(top - digits + 1);
                if (g.chance(0.5)) v = -v;
            }
            const Num n = to_num(v, Rule::half_up);
            char out[80];
            const uint32_t len = lnxnft(n.b.data(), n.len, &pf, out, m.lang);
            ASSERT_LE(len, pf.width);
            const std::string text(out, len);
            if (text.find(static_cast<char>(m.lang == &ebcdic ? 0x7B : '#')) != std::string::npos)
                continue;
            Num back;
            uint32_t blen = 0;
            const uint32_t used = lnxfcn(text.data(), len, &pf, back.b.data(), &blen, m.lang);
            back.len = static_cast<int>(blen);
            if (len == 0) continue;  // FM with B: zero prints as nothing
            ASSERT_EQ(used, len) << m.model << " '" << text << "' from " << n;
            ASSERT_EQ(back, to_num(printed_value(value(n).q, pf), Rule::half_up))
                << m.model << " '" << text << "' from " << n;
            ++checked;
        }
    }
    EXPECT_GT(checked, 15000);
}

}  // namespace
