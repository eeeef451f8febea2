// Language information records, environments, work areas and items.
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "lx_test_util.hpp"

using namespace lxtest;

namespace {

// Counts the allocations of the C++ heap, to show that environments and
// work areas cost none.
size_t g_allocations = 0;

}  // namespace

// Not inlined: the compiler would otherwise pair malloc and free across
// the operators and warn of a mismatch that is not there.
__attribute__((noinline)) void *operator new(size_t n) {
    ++g_allocations;
    if (void *p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void *p) noexcept {
    std::free(p);
}
__attribute__((noinline)) void operator delete(void *p, size_t) noexcept {
    std::free(p);
}

namespace {

static_assert(sizeof(lxlinfo) == 284);
static_assert(offsetof(lxlinfo, decimal) == 0x8C);
static_assert(offsetof(lxlinfo, group) == 0x8D);
static_assert(offsetof(lxlinfo, localcur) == 0x91);
static_assert(offsetof(lxwork, status) == 0 && offsetof(lxwork, consumed) == 4);

std::string item(Env &env, int32_t number) {
    char buf[128];
    const uint32_t n = lxitem(number, buf, sizeof buf, &env.w);
    return to_utf8({buf, n}, env.cs());
}

struct NameCase {
    const char *name;
    const char *full;  // "" when the name is refused
};

TEST(LxName, PartsAreOptionalAndCaseIsIgnored) {
    const NameCase cases[] = {
        {"AMERICAN_AMERICA.US7ASCII", "AMERICAN_AMERICA.US7ASCII"},
        {"american_america.us7ascii", "AMERICAN_AMERICA.US7ASCII"},
        {"us7ascii", "AMERICAN_AMERICA.US7ASCII"},
        {"Al32Utf8", "AMERICAN_AMERICA.AL32UTF8"},
        {"GERMAN", "GERMAN_GERMANY.US7ASCII"},
        {"english", "ENGLISH_UNITED KINGDOM.US7ASCII"},
        {"FRENCH_FRANCE", "FRENCH_FRANCE.US7ASCII"},
        {"_SPAIN.AL32UTF8", "AMERICAN_SPAIN.AL32UTF8"},
        {".WE8ISO8859P1", "AMERICAN_AMERICA.WE8ISO8859P1"},
        {"ITALIAN.we8ebcdic", "ITALIAN_ITALY.WE8EBCDIC"},
        {"GERMAN_UNITED KINGDOM.AL32UTF8", "GERMAN_UNITED KINGDOM.AL32UTF8"},
        {"SPANISH_.", "SPANISH_SPAIN.US7ASCII"},
        {"_", "AMERICAN_AMERICA.US7ASCII"},
        {"KLINGON", ""},
        {"GERMAN_MARS", ""},
        {"GERMAN.EBCDIC", ""},
        {"GERMANY", ""},  // a bare name is a language or a character set
        {"GERMAN_GERMANY.AL32UTF8.X", ""},
        {"GERMAN GERMANY", ""},
        {"", ""},
    };
    for (const NameCase &c : cases) {
        lxlinfo info;
        std::memset(&info, 0xAB, sizeof info);
        const int32_t status = lxlfill(&info, c.name, 0);
        char full[128] = "";
        lxlname(&info, full, sizeof full);
        if (*c.full) {
            EXPECT_EQ(status, LXS_OK) << c.name;
            EXPECT_STREQ(full, c.full) << c.name;
        } else {
            EXPECT_EQ(status, LXS_BADNAME) << c.name;
            EXPECT_EQ(lxenvget(&info), nullptr) << c.name;  // a refused record is unusable
        }
    }
}

TEST(LxName, LengthsAndBadArguments) {
    lxlinfo info;
    EXPECT_EQ(lxlfill(&info, "GERMANXXXX", 6), LXS_OK);  // a counted name
    EXPECT_STREQ(info.langname, "GERMAN");
    const std::string long_name = "GERMAN_GERMANY." + std::string(200, 'X');
    EXPECT_EQ(lxlfill(&info, long_name.c_str(), 0), LXS_BADNAME);
    EXPECT_EQ(lxlfill(&info, long_name.c_str(), static_cast<uint32_t>(long_name.size())),
              LXS_BADNAME);
    EXPECT_EQ(lxlfill(nullptr, "GERMAN", 0), LXS_BADARG);
    char small[8];
    ASSERT_EQ(lxlfill(&info, "GERMAN", 0), LXS_OK);
    EXPECT_EQ(lxlname(&info, small, sizeof small), 0u);
    EXPECT_EQ(lxlname(nullptr, small, sizeof small), 0u);
}

TEST(LxRecord, FieldsThatCallersRead) {
    struct Case {
        const char *name;
        uint8_t decimal, group;
        const char *localcur;  // bytes in the record's set
        uint32_t flags;
        uint8_t maxbytes, firstday;
    };
    const Case cases[] = {
        {"AMERICAN_AMERICA.US7ASCII", '.', ',', "$", 0x20231, 1, 0},
        {"GERMAN_GERMANY.WE8ISO8859P1", ',', '.', "EUR", 0x231, 1, 1},
        {"GERMAN_GERMANY.AL32UTF8", ',', '.', "\xE2\x82\xAC", 0x21, 4, 1},
        {"ENGLISH_UNITED KINGDOM.WE8ISO8859P1", '.', ',', "\xA3", 0x20231, 1, 1},
        {"ENGLISH_UNITED KINGDOM.US7ASCII", '.', ',', "GBP", 0x20231, 1, 1},
        {"FRENCH_FRANCE.AL32UTF8", ',', ' ', "\xE2\x82\xAC", 0x21, 4, 1},
        {"FRENCH_FRANCE.WE8EBCDIC", 0x6B, 0x40, "\xC5\xE4\xD9", 0x230, 1, 1},
        {"AMERICAN_AMERICA.WE8EBCDIC", 0x4B, 0x6B, "\x5B", 0x20230, 1, 0},
    };
    for (const Case &c : cases) {
        lxlinfo info;
        ASSERT_EQ(lxlfill(&info, c.name, 0), LXS_OK);
        const auto *bytes = reinterpret_cast<const uint8_t *>(&info);
        EXPECT_EQ(bytes[0x8C], c.decimal) << c.name;
        EXPECT_EQ(bytes[0x8D], c.group) << c.name;
        EXPECT_STREQ(reinterpret_cast<const char *>(bytes + 0x91), c.localcur) << c.name;
        EXPECT_EQ(info.flags, c.flags) << c.name;
        EXPECT_EQ(info.maxbytes, c.maxbytes) << c.name;
        EXPECT_EQ(info.firstday, c.firstday) << c.name;
        EXPECT_EQ(info.shiftret, 0) << c.name;
    }
}

TEST(LxRecord, RecordsOfOneNameAreEqualAndShareTheirHandle) {
    lxlinfo a, b, c;
    ASSERT_EQ(lxlfill(&a, "FRENCH_FRANCE.AL32UTF8", 0), LXS_OK);
    ASSERT_EQ(lxlfill(&b, "french_france.al32utf8", 0), LXS_OK);
    ASSERT_EQ(lxlfill(&c, "FRENCH_FRANCE.WE8ISO8859P1", 0), LXS_OK);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
    EXPECT_EQ(lxenvget(&a), lxenvget(&b));
    EXPECT_NE(lxenvget(&a), lxenvget(&c));
    lxlinfo garbage;
    std::memset(&garbage, 0x5A, sizeof garbage);
    EXPECT_EQ(lxenvget(&garbage), nullptr);
}

TEST(LxWork, BindingCostsNoAllocationAndUnboundAreasFail) {
    lxlinfo info;
    lxwork w;
    const size_t before = g_allocations;
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(lxlfill(&info, "SPANISH_SPAIN.AL32UTF8", 0), LXS_OK);
        ASSERT_EQ(lxwbind(&w, lxenvget(&info)), LXS_OK);
        char buf[32];
        ASSERT_GT(lxitem(LXI_MONTH, buf, sizeof buf, &w), 0u);
        lxwfree(&w);
    }
    EXPECT_EQ(g_allocations, before);

    char buf[32];
    EXPECT_EQ(lxitem(LXI_MONTH, buf, sizeof buf, &w), 0u);  // released
    EXPECT_EQ(w.status, LXS_BADARG);
    lxwork garbage;
    std::memset(&garbage, 0x77, sizeof garbage);
    EXPECT_EQ(lxitem(LXI_MONTH, buf, sizeof buf, &garbage), 0u);
    EXPECT_EQ(garbage.status, LXS_BADARG);
    EXPECT_EQ(lxitem(LXI_MONTH, buf, sizeof buf, nullptr), 0u);
    EXPECT_EQ(lxwbind(nullptr, nullptr), LXS_BADARG);
    EXPECT_EQ(lxwbind(&w, reinterpret_cast<const lxenv *>(&garbage)), LXS_BADARG);
    EXPECT_EQ(lxcsid(&w), -1);
}

TEST(LxItems, HandWrittenExpectations) {
    struct Case {
        const char *name;
        int32_t item;
        const char *text;  // UTF-8
    };
    const Case cases[] = {
        {"AMERICAN", LXI_DAY, "sunday"},
        {"AMERICAN", LXI_DAYABBR + 3, "wed"},
        {"AMERICAN", LXI_MONTH, "january"},
        {"AMERICAN", LXI_MONTHABBR + 11, "dec"},
        {"AMERICAN", LXI_AM, "am"},
        {"AMERICAN", LXI_BC, "bc"},
        {"AMERICAN", LXI_DATEFMT, "DD-MON-YY"},
        {"AMERICAN", LXI_MSGLANG, "us"},
        {"AMERICAN", LXI_ISOCUR, "USD"},
        {"AMERICAN", LXI_LOCALCUR, "$"},
        {"AMERICAN", LXI_DECIMAL, "."},
        {"ENGLISH.AL32UTF8", LXI_LOCALCUR, "£"},
        {"ENGLISH", LXI_DATEFMT, "DD/MM/YYYY"},
        {"GERMAN.AL32UTF8", LXI_MONTH + 2, "märz"},
        {"GERMAN.AL32UTF8", LXI_DAY + 6, "samstag"},
        {"GERMAN.AL32UTF8", LXI_DAYABBR + 1, "mo"},
        {"GERMAN.AL32UTF8", LXI_LOCALCUR, "€"},
        {"GERMAN.WE8ISO8859P1", LXI_LOCALCUR, "EUR"},
        {"GERMAN", LXI_DATEFMT, "DD.MM.YY"},
        {"GERMAN", LXI_DECIMAL, ","},
        {"GERMAN", LXI_ISOCUR, "EUR"},
        {"GERMAN", LXI_MSGLANG, "de"},
        {"FRENCH.WE8ISO8859P1", LXI_MONTH + 1, "février"},
        {"FRENCH.AL32UTF8", LXI_MONTHABBR + 6, "juil."},
        {"FRENCH.AL32UTF8", LXI_AD, "ap. j.-c."},
        {"SPANISH.AL32UTF8", LXI_DAY + 3, "miércoles"},
        {"SPANISH.AL32UTF8", LXI_MONTHABBR, "ene"},
        {"ITALIAN.WE8EBCDIC", LXI_DAY + 1, "lunedì"},
        {"ITALIAN.AL32UTF8", LXI_MONTH + 4, "maggio"},
        {"ITALIAN", LXI_DAY + 1, "luned?"},  // US7ASCII has no ì
        {"GERMAN_AMERICA", LXI_DECIMAL, "."},
        {"AMERICAN_FRANCE.AL32UTF8", LXI_LOCALCUR, "€"},
    };
    for (const Case &c : cases) {
        Env env(c.name);
        EXPECT_EQ(item(env, c.item), c.text) << c.name << " item " << c.item;
    }
}

TEST(LxItems, IntegerItems) {
    struct Case {
        const char *name;
        int32_t widest[4];
        int32_t firstday;
    };
    const Case cases[] = {
        {"AMERICAN", {9, 3, 9, 3}, 0}, {"ENGLISH", {9, 3, 9, 3}, 1},  {"GERMAN", {9, 3, 10, 2}, 1},
        {"FRENCH", {9, 5, 8, 4}, 1},   {"SPANISH", {10, 3, 9, 3}, 1}, {"ITALIAN", {9, 3, 9, 3}, 1},
    };
    for (const Case &c : cases) {
        Env env(c.name);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(lxitemn(LXI_WIDEMONTH + k, &env.w), c.widest[k]);
        EXPECT_EQ(lxitemn(LXI_FIRSTDAY, &env.w), c.firstday);
    }
}

// Every language's items in every set: the text of the set, back in UTF-8,
// is the UTF-8 text with the characters the set lacks replaced.
TEST(LxItems, EveryLanguageInEveryCharacterSet) {
    const int32_t items[] = {LXI_ISOCUR, LXI_MSGLANG, LXI_DECIMAL, LXI_LOCALCUR, LXI_DATEFMT};
    for (const char *lang : kLanguages) {
        Env reference(std::string(lang) + ".AL32UTF8");
        for (const char *set : kCharsets) {
            Env env(std::string(lang) + "." + set);
            for (int32_t k = 0; k <= LXI_BC + 5; ++k) {
                const int32_t number = k <= LXI_BC ? k : items[k - LXI_BC - 1];
                if (number == 38 || number == 39) continue;
                const std::string ref = item(reference, number);
                std::string expected = to_utf8(from_utf8(ref, env.cs()), env.cs());
                // A local currency symbol the set cannot show gives way to the ISO one.
                if (number == LXI_LOCALCUR && expected != ref)
                    expected = item(reference, LXI_ISOCUR);
                const std::string got = item(env, number);
                EXPECT_FALSE(got.empty()) << lang << "." << set << " item " << number;
                EXPECT_EQ(got, expected) << lang << "." << set << " item " << number;
            }
        }
    }
}

TEST(LxItems, BadNumbersAndSmallBuffers) {
    Env env("GERMAN_GERMANY.AL32UTF8");
    char buf[16];
    for (int32_t bad : {-1, 38, 39, 44, 93, 97, 200, 0x7FFFFFFF}) {
        EXPECT_EQ(lxitem(bad, buf, sizeof buf, &env.w), 0u) << bad;
        EXPECT_EQ(env.w.status, LXS_NOITEM) << bad;
    }
    for (int32_t bad : {-1, 0, 76, 98}) {
        EXPECT_EQ(lxitemn(bad, &env.w), -1) << bad;
        EXPECT_EQ(env.w.status, LXS_NOITEM) << bad;
    }
    // "märz" is 5 bytes: 4 bytes of room write nothing, 5 write it without a NUL.
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(lxitem(LXI_MONTH + 2, buf, 4, &env.w), 0u);
    EXPECT_EQ(env.w.status, LXS_FULL);
    EXPECT_EQ(std::string(buf, 6), "######");
    EXPECT_EQ(lxitem(LXI_MONTH + 2, buf, 5, &env.w), 5u);
    EXPECT_EQ(env.w.status, LXS_OK);
    EXPECT_EQ(std::string(buf, 6), "m\xC3\xA4rz#");
    EXPECT_EQ(lxitem(LXI_MONTH + 2, buf, 0, &env.w), 0u);
    EXPECT_EQ(env.w.status, LXS_FULL);
    EXPECT_EQ(lxitem(LXI_MONTH + 2, nullptr, 10, &env.w), 0u);
    EXPECT_EQ(env.w.status, LXS_BADARG);
}

TEST(LxCharsets, FindAndDescribe) {
    EXPECT_EQ(lxcsfind("us7ascii", 0), LXCS_US7ASCII);
    EXPECT_EQ(lxcsfind("WE8ISO8859P1", 0), LXCS_WE8ISO8859P1);
    EXPECT_EQ(lxcsfind("al32utf8xyz", 8), LXCS_AL32UTF8);
    EXPECT_EQ(lxcsfind("we8ebcdic", 0), LXCS_WE8EBCDIC);
    EXPECT_EQ(lxcsfind("UTF8", 0), -1);
    EXPECT_EQ(lxcsfind(nullptr, 0), -1);
    EXPECT_EQ(lxcsascii(LXCS_AL32UTF8), 1);
    EXPECT_EQ(lxcsascii(LXCS_WE8EBCDIC), 0);
    EXPECT_EQ(lxcsascii(17), 0);
    EXPECT_EQ(lxcsmax(LXCS_AL32UTF8), 4);
    EXPECT_EQ(lxcsmax(LXCS_WE8ISO8859P1), 1);
    EXPECT_EQ(lxcsmax(-3), 0);
    Env env("ITALIAN.WE8EBCDIC");
    EXPECT_EQ(lxcsid(&env.w), LXCS_WE8EBCDIC);
    // Byte tables of the single-byte sets: EBCDIC a is 0x81, A 0xC1, 5 0xF5.
    const uint16_t *classes = lxcsclass(LXCS_WE8EBCDIC);
    ASSERT_NE(classes, nullptr);
    EXPECT_EQ(classes[0x81], LXC_LOWER | LXC_ALPHA);
    EXPECT_EQ(classes[0xF5], LXC_DIGIT);
    EXPECT_EQ(classes[0x40], LXC_SPACE);
    EXPECT_EQ(lxcscase(LXCS_WE8EBCDIC, 1)[0x81], 0xC1);
    EXPECT_EQ(lxcscase(LXCS_WE8EBCDIC, 0)[0xC1], 0x81);
    EXPECT_EQ(lxcscase(LXCS_WE8ISO8859P1, 1)[0xE9], 0xC9);
    EXPECT_EQ(lxcsclass(LXCS_US7ASCII)[0xE9], 0);
    EXPECT_EQ(lxcsclass(LXCS_AL32UTF8), nullptr);
    EXPECT_EQ(lxcscase(LXCS_AL32UTF8, 1), nullptr);
    EXPECT_EQ(lxcsclass(-1), nullptr);
}

TEST(LxCalendar, GregorianWorkingCopyAndEras) {
    Env env("AMERICAN");
    const lxdate d{-44, 3, 15, 12, 30, 0, 0};
    lxdate local{}, back{};
    int32_t era = 0;
    ASSERT_EQ(lxcalto(&d, &local, &era, &env.w), LXS_OK);
    EXPECT_EQ(std::memcmp(&local, &d, sizeof d), 0);
    EXPECT_EQ(era, LXERA_BC);
    const lxdate positive{44, 3, 15, 0, 0, 0, 0};
    ASSERT_EQ(lxcalfrom(&positive, LXERA_BC, &back, &env.w), LXS_OK);
    EXPECT_EQ(back.year, -44);
    ASSERT_EQ(lxcalfrom(&d, LXERA_NONE, &back, &env.w), LXS_OK);
    EXPECT_EQ(std::memcmp(&back, &d, sizeof d), 0);
    EXPECT_EQ(lxcalfrom(&d, LXERA_AD, &back, &env.w), LXS_BADARG);
    EXPECT_EQ(lxcalfrom(&d, 7, &back, &env.w), LXS_BADARG);
    EXPECT_EQ(lxcalto(nullptr, &local, &era, &env.w), LXS_BADARG);
    const lxdate ad{1995, 3, 5, 0, 0, 0, 0};
    ASSERT_EQ(lxcalto(&ad, &local, &era, &env.w), LXS_OK);
    EXPECT_EQ(era, LXERA_AD);
}

}  // namespace
