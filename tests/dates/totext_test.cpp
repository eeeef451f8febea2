// Dates to text: hand-checked texts of every element, case, fill and
// suffix; full buffers; every language and character set against the
// largest size; and the elements the C library also prints, against
// strftime and strptime.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <ctime>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "date_fixture.hpp"
#include "ldx.h"

namespace {

using tavo::test::DateContext;
using tavo::test::make_date;
using Bytes = std::vector<uint8_t>;

// Model text in ASCII, converted to the context's character set.
std::string in_set(DateContext &c, const std::string &ascii) {
    lxwork w;
    lxwbind(&w, lxenvget(c.ctx.env));
    char buf[512];
    uint32_t n = lxconv(buf, sizeof buf, lxcsid(&w), ascii.data(),
                        static_cast<uint32_t>(ascii.size()), LXCS_US7ASCII, &w);
    lxwfree(&w);
    return std::string(buf, n);
}

std::string to_ascii(DateContext &c, const std::string &text, int32_t to = LXCS_AL32UTF8) {
    lxwork w;
    lxwbind(&w, lxenvget(c.ctx.env));
    char buf[1024];
    uint32_t n = lxconv(buf, sizeof buf, to, text.data(), static_cast<uint32_t>(text.size()),
                        lxcsid(&w), &w);
    lxwfree(&w);
    return std::string(buf, n);
}

Bytes compile(DateContext &c, const std::string &model) {
    uint8_t out[255];
    std::string m = in_set(c, model);
    uint32_t n = ldxsto(&c.ctx, m.data(), static_cast<uint32_t>(m.size()), out, sizeof out);
    return Bytes(out, out + n);
}

std::string print(DateContext &c, const ldxdate &d, const Bytes &fmt, uint32_t size = 512) {
    std::vector<char> out(size + 1, '\x7f');
    uint32_t n = ldxdts(&c.ctx, out.data(), size, &d, fmt.empty() ? nullptr : fmt.data());
    return std::string(out.data(), n);
}

std::string print(DateContext &c, const ldxdate &d, const std::string &model) {
    return print(c, d, compile(c, model));
}

TEST(DateToText, HandCheckedElements) {
    DateContext c("AMERICAN");
    const ldxdate d = make_date(1995, 3, 5, 8, 7, 9);  // a Sunday
    struct Case {
        ldxdate date;
        const char *model;
        const char *want;
    };
    const Case cases[] = {
        {d, "DD-MON-YYYY HH24:MI:SS", "05-MAR-1995 08:07:09"},
        {d, "fmDD-Mon-YYYY", "5-Mar-1995"},
        {d, "Month|dd", "March    05"},
        {d, "fmMonth|dd", "March5"},
        {d, "month", "march    "},
        {make_date(1995, 5, 5), "MONTH", "MAY      "},
        {d, "Day Dy D", "Sunday    Sun 1"},
        {make_date(1995, 3, 8), "DAY", "WEDNESDAY"},
        {make_date(1995, 3, 5, 0), "HH HH12 HH24", "12 12 00"},
        {make_date(1995, 3, 5, 13), "HH HH24 fmHH", "01 13 1"},
        {make_date(1995, 3, 5, 12), "HH AM", "12 PM"},
        {make_date(1995, 3, 5, 11), "HH am Pm", "11 am Am"},
        {make_date(1999, 1, 1), "CC", "20"},
        {make_date(2000, 1, 1), "CC", "21"},
        {make_date(-1, 1, 1), "SCC fmSCC", "-01 -1"},
        {make_date(1995, 1, 1), "SYYYY", " 1995"},
        {make_date(-44, 3, 15), "SYYYY", "-0044"},
        {make_date(-44, 3, 15), "YYYY YYY YY Y", "0044 044 44 4"},
        {make_date(-44, 3, 15), "fmSYYYY BC B.C.", "-44 BC B.C."},
        {make_date(33, 1, 1), "YYYY AD a.d. fmYYYY", "0033 AD a.d. 33"},
        {make_date(1995, 1, 1), "Y,YYY SY,YYY", "1,995  1,995"},
        {make_date(-4712, 1, 1), "SY,YYY J", "-4,712 0000001"},
        {make_date(9999, 12, 31), "J", "5373484"},
        {make_date(1996, 12, 31), "DDD", "366"},
        {make_date(1995, 1, 1), "WW W", "01 1"},
        {make_date(1995, 1, 8), "WW W", "02 2"},
        {make_date(1995, 12, 31), "WW W Q", "53 5 4"},
        {make_date(2004, 12, 31), "IW IYYY IYY IY I", "53 2004 004 04 4"},
        {make_date(2005, 1, 1), "IW IYYY", "53 2004"},
        {make_date(2008, 12, 29), "IW IYYY", "01 2009"},
        {d, "SSSSS", "29229"},
        {make_date(1995, 3, 5, 0, 0, 0), "SSSSS fmSSSSS", "00000 0"},
        {make_date(1995, 3, 1), "DDTH", "01ST"},
        {make_date(1995, 3, 2), "ddth", "02nd"},
        {make_date(1995, 3, 23), "fmddth", "23rd"},
        {make_date(1995, 3, 11), "DDTH", "11TH"},
        {make_date(1995, 3, 21), "DDSP", "TWENTY-ONE"},
        {make_date(1995, 3, 21), "DdSpTh", "Twenty-First"},
        {make_date(1995, 3, 21), "ddspth", "twenty-first"},
        {make_date(1995, 3, 21), "MMSP", "THREE"},
        {make_date(-1, 1, 1), "SCCSP", "-ONE"},
        {make_date(1995, 1, 1), "YEAR", "NINETEEN NINETY-FIVE"},
        {make_date(1995, 1, 1), "Year", "Nineteen Ninety-Five"},
        {make_date(-44, 1, 1), "SYEAR", "-FORTY-FOUR"},
        {make_date(44, 1, 1), "syear", " forty-four"},
        {d, "RM", "III "},
        {d, "fmRm", "Iii"},
        {make_date(1995, 8, 1), "rm", "viii"},
        {make_date(1995, 12, 1), "RM-YYYY", "XII -1995"},
        {d, "fmEEfm|EE", "ANNO DOMINIANNO DOMINI                   "},
        {make_date(-44, 1, 1), "fmE", "bc"},
        {d, "FXDD", "05"},
        {d, "\"Day \"DD\" of \"Month", "Day 05 of March    "},
    };
    for (const Case &k : cases) {
        EXPECT_EQ(print(c, k.date, k.model), k.want) << k.model;
        EXPECT_TRUE(c.take_errors().empty()) << k.model;
    }
}

TEST(DateToText, DefaultFormatAndItsRefresh) {
    DateContext c("AMERICAN");
    const ldxdate d = make_date(1995, 3, 5);
    EXPECT_EQ(print(c, d, Bytes{}), "05-MAR-95");
    EXPECT_EQ(ldxmxsz(&c.ctx, nullptr), 9u);
    // Another language under the same record: the default model follows.
    ASSERT_EQ(lxlfill(&c.info_, "GERMAN", 0), LXS_OK);
    std::string german = print(c, d, Bytes{});
    EXPECT_NE(german, "05-MAR-95");
    EXPECT_EQ(c.info_.flags & LXF_DATEFMT, 0u);
    EXPECT_TRUE(c.take_errors().empty());
    // Without a language record there is no default format.
    DateContext none;
    EXPECT_EQ(print(none, d, Bytes{}), "");
    EXPECT_EQ(none.take_errors(), std::vector<int32_t>{LDXE_INTERNAL});
}

TEST(DateToText, FullBuffers) {
    DateContext c("AMERICAN");
    const ldxdate d = make_date(1995, 3, 5, 8, 7, 9);
    Bytes fmt = compile(c, "DD-MON-YYYY HH24:MI:SS");
    // Exactly the text's length: the text without a NUL.
    char out[32];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(ldxdts(&c.ctx, out, 20, &d, fmt.data()), 20u);
    EXPECT_EQ(std::string(out, 21), "05-MAR-1995 08:07:09x");
    EXPECT_EQ(ldxdts(&c.ctx, out, 21, &d, fmt.data()), 20u);
    EXPECT_EQ(out[20], '\0');
    EXPECT_TRUE(c.take_errors().empty());
    // Every shorter buffer: 1801, and nothing written beyond it.
    for (uint32_t size = 0; size < 20; ++size) {
        std::memset(out, 'x', sizeof out);
        uint32_t n = ldxdts(&c.ctx, out, size, &d, fmt.data());
        EXPECT_LE(n, size);
        EXPECT_EQ(out[size], 'x') << size;
        EXPECT_EQ(c.take_errors(), std::vector<int32_t>{LDXE_FULL}) << size;
    }
    // The words of every kind that do not fit.
    for (const char *model : {"YEAR", "DDSP", "DDTH", "MONTH", "EE", "RM", "A.M.", "SYYYY"}) {
        Bytes f = compile(c, model);
        std::string whole = print(c, d, f);
        print(c, d, f, static_cast<uint32_t>(whole.size() - 1));
        EXPECT_EQ(c.take_errors(), std::vector<int32_t>{LDXE_FULL}) << model;
    }
}

TEST(DateToText, FixedPeriodWords) {
    DateContext c("AMERICAN");
    const ldxdate pm = make_date(-5, 3, 5, 15);
    EXPECT_NE(c.info_.flags & LXF_FIXEDPERIODS, 0u);
    EXPECT_EQ(print(c, pm, "A.M. a.m. B.C. a.d."), "P.M. p.m. B.C. b.c.");
    // Four bytes of room are needed, and are enough.
    Bytes f = compile(c, "A.M.");
    EXPECT_EQ(print(c, pm, f, 4), "P.M.");
    EXPECT_TRUE(c.take_errors().empty());
    print(c, pm, f, 3);
    EXPECT_EQ(c.take_errors(), std::vector<int32_t>{LDXE_FULL});
    c.info_.flags &= ~static_cast<uint32_t>(LXF_FIXEDPERIODS);
    EXPECT_EQ(print(c, pm, "A.M. a.m. B.C. a.d. P.m."), "PM pm BC bc Pm");
    EXPECT_TRUE(c.take_errors().empty());
    DateContext e("AMERICAN_AMERICA.WE8EBCDIC");
    e.info_.flags |= LXF_FIXEDPERIODS;
    EXPECT_EQ(to_ascii(e, print(e, pm, "A.M. b.c.")), "P.M. b.c.");
    EXPECT_TRUE(e.take_errors().empty());
}

TEST(DateToText, UnknownCodesAndBadArguments) {
    DateContext c("AMERICAN");
    const ldxdate d = make_date(1995, 3, 5);
    Bytes f = {LDXK_DD, 0x18, LDXK_FM, 0x10, 0, 0x10};
    EXPECT_EQ(print(c, d, f), "05");
    EXPECT_EQ(c.take_errors(), std::vector<int32_t>{LDXE_INTERNAL});
    char out[8];
    EXPECT_EQ(ldxdts(&c.ctx, out, sizeof out, nullptr, nullptr), 0u);
    EXPECT_EQ(c.take_errors(), std::vector<int32_t>{LDXE_INTERNAL});
    EXPECT_EQ(ldxdts(nullptr, out, sizeof out, &d, nullptr), 0u);
}

TEST(DateToText, LanguagesAndCharacterSets) {
    const ldxdate d = make_date(1995, 3, 1, 20, 7, 9);
    struct Case {
        const char *language;
        const char *model;
        const char *want;  // in UTF-8
    };
    const Case cases[] = {
        {"GERMAN_GERMANY.AL32UTF8", "fmDD. Month YYYY", "1. März 1995"},
        {"GERMAN_GERMANY.WE8ISO8859P1", "DD. MONTH Y,YYY", "01. MÄRZ      1.995"},
        {"GERMAN_GERMANY.AL32UTF8", "fmDDth Day", "1. Mittwoch"},
        {"FRENCH_FRANCE.AL32UTF8", "fmddth Month", "1er Mars"},
        {"SPANISH_SPAIN.AL32UTF8", "fmDDTH", "1º"},
        {"FRENCH_FRANCE.WE8EBCDIC", "fmDD MON YYYY", "1 MARS 1995"},
        {"AMERICAN_AMERICA.WE8EBCDIC", "fmDD-Mon-YYYY HH:MI PM", "1-Mar-1995 8:7 PM"},
    };
    for (const Case &k : cases) {
        DateContext c(k.language);
        EXPECT_EQ(to_ascii(c, print(c, d, k.model)), k.want) << k.language << " " << k.model;
        EXPECT_TRUE(c.take_errors().empty()) << k.language;
    }
}

// Names as the language services write them: each month, day, meridian
// and era word in each case, padded with blanks to the widest name.
TEST(DateToText, NamesAsTheLanguageServicesWriteThem) {
    for (const char *language : tavo::test::kAllLanguages) {
        DateContext c(language);
        lxwork w;
        lxwbind(&w, lxenvget(c.ctx.env));
        auto expected = [&](int32_t item, uint32_t flags, int32_t width) {
            char buf[128];
            lxcur out;
            lxoopen(&out, buf, sizeof buf, &w);
            uint32_t chars = lxoitem(&out, item, flags, &w);
            if (width > static_cast<int32_t>(chars))
                lxopad(&out, lxcsascii(lxcsid(&w)) ? 0x20 : 0x40, width - chars, &w);
            return std::string(buf, out.pos);
        };
        int32_t first = lxitemn(LXI_FIRSTDAY, &w);
        for (int month = 1; month <= 12; ++month) {
            // The 1st of each month of 2001, whose weekdays cover the week.
            ldxdate d = make_date(2001, month, 1, month * 2 - 1);
            int32_t dow = ldxdow(&c.ctx, ldxctj(&c.ctx, 2001, month, 1)) + first;
            if (dow > 7) dow -= 7;
            struct Case {
                const char *model;
                int32_t item;
                uint32_t flags;
                int32_t width;
            };
            const Case cases[] = {
                {"MONTH", LXI_MONTH + month - 1, LXO_UPPER, lxitemn(93, &w)},
                {"Month", LXI_MONTH + month - 1, LXO_CAP, lxitemn(93, &w)},
                {"fmmonth", LXI_MONTH + month - 1, 0, 0},
                {"MON", LXI_MONTHABBR + month - 1, LXO_UPPER, lxitemn(94, &w)},
                {"fmMon", LXI_MONTHABBR + month - 1, LXO_CAP, 0},
                {"DAY", LXI_DAY + dow - 1, LXO_UPPER, lxitemn(95, &w)},
                {"Day", LXI_DAY + dow - 1, LXO_CAP, lxitemn(95, &w)},
                {"dy", LXI_DAYABBR + dow - 1, 0, lxitemn(96, &w)},
                {"Dy", LXI_DAYABBR + dow - 1, LXO_CAP, lxitemn(96, &w)},
                {"PM", d.hour < 12 ? LXI_AM : LXI_PM, LXO_UPPER, 0},
                {"Am", d.hour < 12 ? LXI_AM : LXI_PM, LXO_CAP, 0},
                {"Bc", LXI_AD, LXO_CAP, 0},
                {"ad", LXI_AD, 0, 0},
            };
            for (const Case &k : cases) {
                EXPECT_EQ(print(c, d, k.model), expected(k.item, k.flags, k.width))
                    << language << " " << k.model << " " << month;
            }
        }
        EXPECT_EQ(c.take_errors(), std::vector<int32_t>{}) << language;
        lxwfree(&w);
    }
}

// Models of every output element, with fill on or off and every case and
// suffix (in models short enough to compile), for the largest-size check.
std::vector<std::string> every_element_models() {
    std::vector<std::string> models;
    std::string all, upper, spelled, ordinal;
    int count = 0;
    auto flush = [&] {
        for (const std::string &m :
             {all, "fm" + all, upper, "fm" + upper, spelled, ordinal, "fm" + ordinal})
            if (m.size() > 2) models.push_back(m);
        all.clear();
        upper.clear();
        spelled.clear();
        ordinal.clear();
    };
    for (const ldxkw *kw = ldxfda; kw->len != 0; ++kw) {
        if (kw->code == LDXK_FM) continue;
        std::string k(kw->kw, kw->len);
        all += k + "\"~\"";
        for (char &ch : k) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        upper += k + "|";
        bool numeric = (ldxfcd[kw->code].kind & 0x80) == 0 && kw->code != LDXK_FX;
        if (numeric) {
            spelled += k + "SP ";
            ordinal += k + "SPTH/" + k + "TH ";
        }
        if (++count % 8 == 0) flush();
    }
    flush();
    return models;
}

ldxdate random_date(std::mt19937 &rng, int lo = -4712, int hi = 9999) {
    for (;;) {
        int y = std::uniform_int_distribution<int>(lo, hi)(rng);
        if (y == 0) continue;
        int m = std::uniform_int_distribution<int>(1, 12)(rng);
        int d = std::uniform_int_distribution<int>(1, tavo::test::oracle_month_length(y, m))(rng);
        if (y == 1582 && m == 10 && d >= 5 && d <= 14) continue;
        return make_date(y, m, d, std::uniform_int_distribution<int>(0, 23)(rng),
                         std::uniform_int_distribution<int>(0, 59)(rng),
                         std::uniform_int_distribution<int>(0, 59)(rng));
    }
}

// Whether text is whole UTF-8 characters.
bool whole_utf8(const std::string &s) {
    for (size_t i = 0; i < s.size();) {
        auto b = static_cast<uint8_t>(s[i]);
        size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        if (b >= 0x80 && b < 0xC0) return false;
        if (i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<uint8_t>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

TEST(DateToText, LargestSizeHoldsInEveryLanguage) {
    std::mt19937 rng(1801);
    // The dates with the longest words, beside random ones.
    std::vector<ldxdate> dates = {
        make_date(7777, 9, 27, 23, 57, 57),  make_date(1777, 12, 27, 17, 37, 37),
        make_date(-4712, 9, 30, 23, 59, 59), make_date(3777, 11, 28, 22, 58, 58),
        make_date(9999, 12, 31, 23, 59, 59), make_date(7377, 12, 31, 21, 27, 27)};
    for (int i = 0; i < 40; ++i) dates.push_back(random_date(rng));
    for (const char *language : tavo::test::kAllLanguages) {
        DateContext c(language);
        bool utf8 = std::strstr(language, "UTF8") != nullptr;
        for (const std::string &model : every_element_models()) {
            Bytes f = compile(c, model);
            ASSERT_EQ(c.take_errors(), std::vector<int32_t>{}) << language << " " << model;
            uint32_t most = ldxmxsz(&c.ctx, f.data());
            for (const ldxdate &d : dates) {
                std::string text = print(c, d, f, most);
                ASSERT_EQ(c.take_errors(), std::vector<int32_t>{})
                    << language << " " << model << " " << d.year << "-" << int(d.month);
                ASSERT_LE(text.size(), most) << language << " " << model;
                if (utf8) {
                    ASSERT_TRUE(whole_utf8(text)) << text;
                }
                // One byte short: 1801, and only whole characters written.
                std::string cut = print(c, d, f, static_cast<uint32_t>(text.size() - 1));
                ASSERT_EQ(c.take_errors(), std::vector<int32_t>{LDXE_FULL});
                if (utf8) {
                    ASSERT_TRUE(whole_utf8(cut)) << cut;
                }
                ASSERT_EQ(text.compare(0, cut.size(), cut), 0);
            }
        }
    }
}

TEST(DateToText, LargestSizeOfPlainModels) {
    DateContext c("AMERICAN");
    EXPECT_EQ(ldxmxsz(&c.ctx, compile(c, "DD-MON-YYYY HH24:MI:SS").data()), 20u);
    EXPECT_EQ(ldxmxsz(&c.ctx, compile(c, "Month DDTH").data()), 9u + 1 + 4);
    EXPECT_EQ(ldxmxsz(&c.ctx, compile(c, "E EE").data()), 15u + 1 + 30);
    DateContext u("AMERICAN_AMERICA.AL32UTF8");
    EXPECT_EQ(ldxmxsz(&u.ctx, compile(u, "DD-MON-YYYY").data()), 4u * 11);
    EXPECT_TRUE(c.take_errors().empty());
    Bytes bad = {LDXK_DD, 0x10, LDXK_FM, 0x10, 0, 0x10};
    EXPECT_EQ(ldxmxsz(&c.ctx, bad.data()), 0u);
    EXPECT_EQ(c.take_errors(), std::vector<int32_t>{LDXE_INTERNAL});
}

// strftime in the C locale prints the elements it shares with the date
// models as they print, up to case and the padding of names.
TEST(DateToText, AgreesWithStrftimeAndStrptime) {
    std::setlocale(LC_TIME, "C");
    DateContext c("AMERICAN");
    Bytes f = compile(c,
                      "DD MM YYYY HH24 HH12 MI SS DDD Mon fmMonthfm Dy fmDayfm AM "
                      "fmDD MM HH24");
    Bytes g = compile(c, "DD-MON-YYYY HH24:MI:SS");
    std::mt19937 rng(1900);
    for (int i = 0; i < 3000; ++i) {
        ldxdate d = random_date(rng, 1900, 2100);
        const std::tm tm = tavo::test::c_time(d);
        char want[128];
        size_t n = std::strftime(want, sizeof want, "%d %m %Y %H %I %M %S %j %b %B %a %A %p", &tm);
        std::string extra =
            std::to_string(d.day) + " " + std::to_string(d.month) + " " + std::to_string(d.hour);
        ASSERT_EQ(print(c, d, f), std::string(want, n) + " " + extra);
        // strptime reads the text back to the same fields.
        std::string text = print(c, d, g);
        std::tm back{};
        ASSERT_NE(strptime(text.c_str(), "%d-%b-%Y %H:%M:%S", &back), nullptr) << text;
        ASSERT_EQ(back.tm_year, tm.tm_year);
        ASSERT_EQ(back.tm_mon, tm.tm_mon);
        ASSERT_EQ(back.tm_mday, tm.tm_mday);
        ASSERT_EQ(back.tm_hour, tm.tm_hour);
        ASSERT_EQ(back.tm_min, tm.tm_min);
        ASSERT_EQ(back.tm_sec, tm.tm_sec);
    }
    EXPECT_TRUE(c.take_errors().empty());
}

}  // namespace
