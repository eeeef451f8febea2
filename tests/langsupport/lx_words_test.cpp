// Numbers and years in words: English read back by an independent parser
// over 0..9999, every language's words against hand-written expectations,
// and every year from -4712 to 9999 spelled in every language.
#include <climits>
#include <map>
#include <sstream>

#include "lx_test_util.hpp"

using namespace lxtest;

namespace {

std::string words(Env &env, int32_t value, uint32_t flags) {
    return written(
        env, [&](lxcur *out) { lxowords(out, value, flags, &env.w); }, 1024);
}

// Reads English number words back: units and tens add, hundred
// multiplies, thousand, million and billion close a group.
int64_t parse_english(const std::string &text) {
    static const std::map<std::string, int> values = {
        {"zero", 0},     {"one", 1},      {"two", 2},        {"three", 3},     {"four", 4},
        {"five", 5},     {"six", 6},      {"seven", 7},      {"eight", 8},     {"nine", 9},
        {"ten", 10},     {"eleven", 11},  {"twelve", 12},    {"thirteen", 13}, {"fourteen", 14},
        {"fifteen", 15}, {"sixteen", 16}, {"seventeen", 17}, {"eighteen", 18}, {"nineteen", 19},
        {"twenty", 20},  {"thirty", 30},  {"forty", 40},     {"fifty", 50},    {"sixty", 60},
        {"seventy", 70}, {"eighty", 80},  {"ninety", 90}};
    static const std::map<std::string, int64_t> scales = {
        {"thousand", 1000}, {"million", 1000000}, {"billion", 1000000000}};
    std::string spaced = text;
    for (char &ch : spaced)
        if (ch == '-') ch = ' ';
    std::istringstream in(spaced);
    int64_t total = 0, group = 0;
    for (std::string token; in >> token;) {
        if (token == "hundred") {
            group *= 100;
        } else if (auto s = scales.find(token); s != scales.end()) {
            total += group * s->second;
            group = 0;
        } else if (auto v = values.find(token); v != values.end()) {
            group += v->second;
        } else {
            return -1;
        }
    }
    return total + group;
}

// The cardinal words behind English ordinal words.
std::string cardinal_of_ordinal(std::string text) {
    static const std::map<std::string, std::string> irregular = {
        {"first", "one"},    {"second", "two"}, {"third", "three"},   {"fifth", "five"},
        {"eighth", "eight"}, {"ninth", "nine"}, {"twelfth", "twelve"}};
    const size_t cut = text.find_last_of(" -");
    const size_t start = cut == std::string::npos ? 0 : cut + 1;
    std::string last = text.substr(start);
    if (auto it = irregular.find(last); it != irregular.end())
        last = it->second;
    else if (last.size() > 4 && last.ends_with("ieth"))
        last = last.substr(0, last.size() - 4) + "y";
    else if (last.ends_with("th"))
        last = last.substr(0, last.size() - 2);
    return text.substr(0, start) + last;
}

TEST(LxWords, EnglishReadsBackFrom0To9999) {
    Env env("AMERICAN");
    for (int32_t n = 0; n <= 9999; ++n) {
        const std::string cardinal = words(env, n, 0);
        ASSERT_EQ(parse_english(cardinal), n) << cardinal;
        const std::string ordinal = words(env, n, LXO_ORDINAL);
        ASSERT_EQ(parse_english(cardinal_of_ordinal(ordinal)), n) << ordinal;
        ASSERT_NE(ordinal, cardinal);
    }
    for (int32_t n : {10000, 99999, 1000000, 5373484, 86399, 2000000001, INT_MAX})
        EXPECT_EQ(parse_english(words(env, n, 0)), n);
    EXPECT_EQ(words(env, INT_MIN, 0),
              "minus two billion one hundred forty-seven million four hundred eighty-three "
              "thousand six hundred forty-eight");
}

struct Sample {
    const char *lang;
    int32_t value;
    uint32_t flags;
    const char *text;
};

TEST(LxWords, HandWrittenExpectations) {
    const uint32_t O = LXO_ORDINAL, Y = LXO_YEAR;
    const Sample samples[] = {
        {"AMERICAN", 0, 0, "zero"},
        {"AMERICAN", 21, 0, "twenty-one"},
        {"AMERICAN", 101, 0, "one hundred one"},
        {"AMERICAN", 1995, 0, "one thousand nine hundred ninety-five"},
        {"AMERICAN", 5373484, 0,
         "five million three hundred seventy-three thousand four hundred eighty-four"},
        {"AMERICAN", -44, 0, "minus forty-four"},
        {"AMERICAN", 1, O, "first"},
        {"AMERICAN", 12, O, "twelfth"},
        {"AMERICAN", 20, O, "twentieth"},
        {"AMERICAN", 21, O, "twenty-first"},
        {"AMERICAN", 100, O, "one hundredth"},
        {"AMERICAN", 0, O, "zeroth"},
        {"AMERICAN", 21, O | LXO_CAP, "Twenty-First"},
        {"AMERICAN", 21, LXO_UPPER, "TWENTY-ONE"},
        {"ENGLISH", 1995, Y, "nineteen ninety-five"},
        {"ENGLISH", 1900, Y, "nineteen hundred"},
        {"ENGLISH", 1905, Y, "nineteen oh-five"},
        {"ENGLISH", 2000, Y, "two thousand"},
        {"ENGLISH", 2005, Y, "two thousand five"},
        {"ENGLISH", 2010, Y, "twenty ten"},
        {"ENGLISH", 1066, Y, "ten sixty-six"},
        {"ENGLISH", 4712, Y, "forty-seven twelve"},
        {"ENGLISH", 999, Y, "nine hundred ninety-nine"},
        {"ENGLISH", 9999, Y, "ninety-nine ninety-nine"},
        {"ENGLISH", 1, Y, "one"},
        {"GERMAN.AL32UTF8", 1, 0, "eins"},
        {"GERMAN.AL32UTF8", 17, 0, "siebzehn"},
        {"GERMAN.AL32UTF8", 21, 0, "einundzwanzig"},
        {"GERMAN.AL32UTF8", 30, 0, "dreißig"},
        {"GERMAN.AL32UTF8", 101, 0, "einhunderteins"},
        {"GERMAN.AL32UTF8", 1000, 0, "eintausend"},
        {"GERMAN.AL32UTF8", 1995, 0, "eintausendneunhundertfünfundneunzig"},
        {"GERMAN.AL32UTF8", 2000000, 0, "zwei millionen"},
        {"GERMAN.AL32UTF8", 1000001, 0, "eine million eins"},
        {"GERMAN.AL32UTF8", -3, 0, "minus drei"},
        {"GERMAN.AL32UTF8", 1, O, "erste"},
        {"GERMAN.AL32UTF8", 3, O, "dritte"},
        {"GERMAN.AL32UTF8", 7, O, "siebte"},
        {"GERMAN.AL32UTF8", 8, O, "achte"},
        {"GERMAN.AL32UTF8", 19, O, "neunzehnte"},
        {"GERMAN.AL32UTF8", 20, O, "zwanzigste"},
        {"GERMAN.AL32UTF8", 21, O, "einundzwanzigste"},
        {"GERMAN.AL32UTF8", 100, O, "einhundertste"},
        {"GERMAN.AL32UTF8", 101, O, "einhunderterste"},
        {"GERMAN.AL32UTF8", 1000, O, "eintausendste"},
        {"GERMAN.AL32UTF8", 1000000, O, "eine millionste"},
        {"GERMAN.AL32UTF8", 1995, Y, "neunzehnhundertfünfundneunzig"},
        {"GERMAN.AL32UTF8", 1901, Y, "neunzehnhunderteins"},
        {"GERMAN.AL32UTF8", 1100, Y, "elfhundert"},
        {"GERMAN.AL32UTF8", 2005, Y, "zweitausendfünf"},
        {"GERMAN.WE8ISO8859P1", 12, O | LXO_UPPER, "ZWÖLFTE"},
        {"FRENCH.AL32UTF8", 1, 0, "un"},
        {"FRENCH.AL32UTF8", 17, 0, "dix-sept"},
        {"FRENCH.AL32UTF8", 21, 0, "vingt et un"},
        {"FRENCH.AL32UTF8", 22, 0, "vingt-deux"},
        {"FRENCH.AL32UTF8", 71, 0, "soixante et onze"},
        {"FRENCH.AL32UTF8", 77, 0, "soixante-dix-sept"},
        {"FRENCH.AL32UTF8", 80, 0, "quatre-vingts"},
        {"FRENCH.AL32UTF8", 81, 0, "quatre-vingt-un"},
        {"FRENCH.AL32UTF8", 91, 0, "quatre-vingt-onze"},
        {"FRENCH.AL32UTF8", 99, 0, "quatre-vingt-dix-neuf"},
        {"FRENCH.AL32UTF8", 101, 0, "cent un"},
        {"FRENCH.AL32UTF8", 200, 0, "deux cents"},
        {"FRENCH.AL32UTF8", 201, 0, "deux cent un"},
        {"FRENCH.AL32UTF8", 280, 0, "deux cent quatre-vingts"},
        {"FRENCH.AL32UTF8", 1995, 0, "mille neuf cent quatre-vingt-quinze"},
        {"FRENCH.AL32UTF8", 2000, 0, "deux mille"},
        {"FRENCH.AL32UTF8", 80000, 0, "quatre-vingt mille"},
        {"FRENCH.AL32UTF8", 200000, 0, "deux cent mille"},
        {"FRENCH.AL32UTF8", 2000000, 0, "deux millions"},
        {"FRENCH.AL32UTF8", 0, 0, "zéro"},
        {"FRENCH.AL32UTF8", -5, 0, "moins cinq"},
        {"FRENCH.AL32UTF8", 1, O, "premier"},
        {"FRENCH.AL32UTF8", 2, O, "deuxième"},
        {"FRENCH.AL32UTF8", 4, O, "quatrième"},
        {"FRENCH.AL32UTF8", 5, O, "cinquième"},
        {"FRENCH.AL32UTF8", 9, O, "neuvième"},
        {"FRENCH.AL32UTF8", 11, O, "onzième"},
        {"FRENCH.AL32UTF8", 21, O, "vingt et unième"},
        {"FRENCH.AL32UTF8", 80, O, "quatre-vingtième"},
        {"FRENCH.AL32UTF8", 200, O, "deux centième"},
        {"FRENCH.AL32UTF8", 1000, O, "millième"},
        {"FRENCH.AL32UTF8", 1995, Y, "mille neuf cent quatre-vingt-quinze"},
        {"SPANISH.AL32UTF8", 1, 0, "uno"},
        {"SPANISH.AL32UTF8", 16, 0, "dieciséis"},
        {"SPANISH.AL32UTF8", 21, 0, "veintiuno"},
        {"SPANISH.AL32UTF8", 31, 0, "treinta y uno"},
        {"SPANISH.AL32UTF8", 100, 0, "cien"},
        {"SPANISH.AL32UTF8", 101, 0, "ciento uno"},
        {"SPANISH.AL32UTF8", 500, 0, "quinientos"},
        {"SPANISH.AL32UTF8", 1995, 0, "mil novecientos noventa y cinco"},
        {"SPANISH.AL32UTF8", 21000, 0, "veintiún mil"},
        {"SPANISH.AL32UTF8", 101000, 0, "ciento un mil"},
        {"SPANISH.AL32UTF8", 1000000, 0, "un millón"},
        {"SPANISH.AL32UTF8", 2000000, 0, "dos millones"},
        {"SPANISH.AL32UTF8", 1000000000, 0, "mil millones"},
        {"SPANISH.AL32UTF8", 1, O, "primero"},
        {"SPANISH.AL32UTF8", 3, O, "tercero"},
        {"SPANISH.AL32UTF8", 10, O, "décimo"},
        {"SPANISH.AL32UTF8", 11, O, "undécimo"},
        {"SPANISH.AL32UTF8", 13, O, "decimotercero"},
        {"SPANISH.AL32UTF8", 21, O, "vigésimo primero"},
        {"SPANISH.AL32UTF8", 100, O, "centésimo"},
        {"SPANISH.AL32UTF8", 1995, O, "milésimo noningentésimo nonagésimo quinto"},
        {"SPANISH.AL32UTF8", 2000, O, "dosmilésimo"},
        {"SPANISH.AL32UTF8", 10000, O, "diez mil"},
        {"SPANISH", 16, 0, "diecis?is"},
        {"ITALIAN.AL32UTF8", 3, 0, "tre"},
        {"ITALIAN.AL32UTF8", 13, 0, "tredici"},
        {"ITALIAN.AL32UTF8", 21, 0, "ventuno"},
        {"ITALIAN.AL32UTF8", 23, 0, "ventitré"},
        {"ITALIAN.AL32UTF8", 28, 0, "ventotto"},
        {"ITALIAN.AL32UTF8", 108, 0, "centotto"},
        {"ITALIAN.AL32UTF8", 180, 0, "centottanta"},
        {"ITALIAN.AL32UTF8", 1995, 0, "millenovecentonovantacinque"},
        {"ITALIAN.AL32UTF8", 2003, 0, "duemilatré"},
        {"ITALIAN.AL32UTF8", 1000000, 0, "un milione"},
        {"ITALIAN.AL32UTF8", 2000000, 0, "due milioni"},
        {"ITALIAN.AL32UTF8", 1, O, "primo"},
        {"ITALIAN.AL32UTF8", 10, O, "decimo"},
        {"ITALIAN.AL32UTF8", 11, O, "undicesimo"},
        {"ITALIAN.AL32UTF8", 20, O, "ventesimo"},
        {"ITALIAN.AL32UTF8", 21, O, "ventunesimo"},
        {"ITALIAN.AL32UTF8", 23, O, "ventitreesimo"},
        {"ITALIAN.AL32UTF8", 26, O, "ventiseiesimo"},
        {"ITALIAN.AL32UTF8", 100, O, "centesimo"},
        {"ITALIAN.AL32UTF8", 1000, O, "millesimo"},
        {"ITALIAN.AL32UTF8", 2000, O, "duemillesimo"},
    };
    for (const Sample &s : samples) {
        Env env(s.lang);
        EXPECT_EQ(words(env, s.value, s.flags), s.text) << s.lang << " " << s.value;
    }
}

// Every year of the date range in every language and form: words, no
// stray blanks, and in a buffer of the English widths the date code sizes
// for ("year" 42 characters) in English.
TEST(LxWords, EveryYearInEveryLanguage) {
    for (const char *lang : kLanguages) {
        Env env(std::string(lang) + ".AL32UTF8");
        for (int32_t y = -4712; y <= 9999; ++y) {
            for (uint32_t flags : {0u, uint32_t{LXO_ORDINAL}, uint32_t{LXO_YEAR}}) {
                const std::string text = words(env, y, flags);
                ASSERT_EQ(env.w.status, LXS_OK) << lang << " " << y;
                ASSERT_FALSE(text.empty()) << lang << " " << y;
                ASSERT_EQ(text.find("  "), std::string::npos) << text;
                ASSERT_NE(text.front(), ' ') << text;
                ASSERT_NE(text.back(), ' ') << text;
                if ((lang == kLanguages[0] || lang == kLanguages[1]) && flags == LXO_YEAR &&
                    y > 0) {
                    ASSERT_LE(text.size(), 42u) << text;
                }
            }
        }
    }
}

}  // namespace
