// The languages and territories: calendar names and the other texts, held
// once in UTF-8 and rendered in each caller's character set on the way out.
// Names are in lower case; callers apply the case they print in.
#include <algorithm>
#include <cctype>

#include "langsupport/lx_internal.h"

namespace tavo::lx {

namespace {

using Names = std::array<std::string_view, 44>;

// Items 0-6 days (Sunday first), 7-13 their abbreviations, 14-25 months,
// 26-37 their abbreviations, 38 and 39 unused, 40-43 AM, PM, AD, BC.
constexpr Names kEnglishNames = {
    "sunday",   "monday",   "tuesday", "wednesday", "thursday", "friday", "saturday",  "sun",
    "mon",      "tue",      "wed",     "thu",       "fri",      "sat",    "january",   "february",
    "march",    "april",    "may",     "june",      "july",     "august", "september", "october",
    "november", "december", "jan",     "feb",       "mar",      "apr",    "may",       "jun",
    "jul",      "aug",      "sep",     "oct",       "nov",      "dec",    "",          "",
    "am",       "pm",       "ad",      "bc"};

constexpr Names kGermanNames = {
    "sonntag",  "montag",   "dienstag", "mittwoch", "donnerstag", "freitag", "samstag",   "so",
    "mo",       "di",       "mi",       "do",       "fr",         "sa",      "januar",    "februar",
    "märz",     "april",    "mai",      "juni",     "juli",       "august",  "september", "oktober",
    "november", "dezember", "jan",      "feb",      "mär",        "apr",     "mai",       "jun",
    "jul",      "aug",      "sep",      "okt",      "nov",        "dez",     "",          "",
    "vorm.",    "nachm.",   "n. chr.",  "v. chr."};

constexpr Names kFrenchNames = {
    "dimanche", "lundi",    "mardi",     "mercredi", "jeudi",   "vendredi", "samedi",    "dim.",
    "lun.",     "mar.",     "mer.",      "jeu.",     "ven.",    "sam.",     "janvier",   "février",
    "mars",     "avril",    "mai",       "juin",     "juillet", "août",     "septembre", "octobre",
    "novembre", "décembre", "janv.",     "févr.",    "mars",    "avr.",     "mai",       "juin",
    "juil.",    "août",     "sept.",     "oct.",     "nov.",    "déc.",     "",          "",
    "am",       "pm",       "ap. j.-c.", "av. j.-c."};

constexpr Names kSpanishNames = {
    "domingo",   "lunes",     "martes", "miércoles", "jueves", "viernes", "sábado",     "dom",
    "lun",       "mar",       "mié",    "jue",       "vie",    "sáb",     "enero",      "febrero",
    "marzo",     "abril",     "mayo",   "junio",     "julio",  "agosto",  "septiembre", "octubre",
    "noviembre", "diciembre", "ene",    "feb",       "mar",    "abr",     "may",        "jun",
    "jul",       "ago",       "sep",    "oct",       "nov",    "dic",     "",           "",
    "a.m.",      "p.m.",      "d. c.",  "a. c."};

constexpr Names kItalianNames = {
    "domenica", "lunedì",   "martedì", "mercoledì", "giovedì", "venerdì", "sabato",    "dom",
    "lun",      "mar",      "mer",     "gio",       "ven",     "sab",     "gennaio",   "febbraio",
    "marzo",    "aprile",   "maggio",  "giugno",    "luglio",  "agosto",  "settembre", "ottobre",
    "novembre", "dicembre", "gen",     "feb",       "mar",     "apr",     "mag",       "giu",
    "lug",      "ago",      "set",     "ott",       "nov",     "dic",     "",          "",
    "am",       "pm",       "d.c.",    "a.c."};

constexpr uint8_t utf8_length(std::string_view s) {
    uint8_t n = 0;
    for (char ch : s)
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++n;
    return n;
}

// Items 93..96: characters of the widest month name, month abbreviation,
// day name and day abbreviation.
constexpr std::array<uint8_t, 4> widest(const Names &names) {
    std::array<uint8_t, 4> w{};
    auto widest_of = [&](int first, int count) {
        uint8_t m = 0;
        for (int i = first; i < first + count; ++i) m = std::max(m, utf8_length(names[i]));
        return m;
    };
    w[0] = widest_of(LXI_MONTH, 12);
    w[1] = widest_of(LXI_MONTHABBR, 12);
    w[2] = widest_of(LXI_DAY, 7);
    w[3] = widest_of(LXI_DAYABBR, 7);
    return w;
}

enum TerritoryIndex : uint8_t { kAmerica, kUnitedKingdom, kGermany, kFrance, kSpain, kItaly };

}  // namespace

constexpr std::array<Language, kLanguageCount> kLanguages = {{
    {"AMERICAN",
     Lang::American,
     "us",
     kAmerica,
     kEnglishNames,
     "DD-MON-YY",
     {"anno domini", "before christ"},
     "minus",
     true,
     widest(kEnglishNames)},
    {"ENGLISH",
     Lang::English,
     "gb",
     kUnitedKingdom,
     kEnglishNames,
     "DD/MM/YYYY",
     {"anno domini", "before christ"},
     "minus",
     true,
     widest(kEnglishNames)},
    {"GERMAN",
     Lang::German,
     "de",
     kGermany,
     kGermanNames,
     "DD.MM.YY",
     {"nach christus", "vor christus"},
     "minus",
     false,
     widest(kGermanNames)},
    {"FRENCH",
     Lang::French,
     "fr",
     kFrance,
     kFrenchNames,
     "DD/MM/YY",
     {"après jésus-christ", "avant jésus-christ"},
     "moins",
     false,
     widest(kFrenchNames)},
    {"SPANISH",
     Lang::Spanish,
     "es",
     kSpain,
     kSpanishNames,
     "DD/MM/YY",
     {"después de cristo", "antes de cristo"},
     "menos",
     false,
     widest(kSpanishNames)},
    {"ITALIAN",
     Lang::Italian,
     "it",
     kItaly,
     kItalianNames,
     "DD/MM/YY",
     {"dopo cristo", "avanti cristo"},
     "meno",
     false,
     widest(kItalianNames)},
}};

constexpr std::array<Territory, kTerritoryCount> kTerritories = {{
    {"AMERICA", '.', ',', "$", "USD", 0},
    {"UNITED KINGDOM", '.', ',', "£", "GBP", 1},
    {"GERMANY", ',', '.', "€", "EUR", 1},
    {"FRANCE", ',', ' ', "€", "EUR", 1},
    {"SPAIN", ',', '.', "€", "EUR", 1},
    {"ITALY", ',', '.', "€", "EUR", 1},
}};

static_assert(kLanguages[2].widest[0] == 9 && kLanguages[0].widest[2] == 9);

namespace {

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

const Language &language(int index) {
    return kLanguages[static_cast<size_t>(index)];
}
const Territory &territory(int index) {
    return kTerritories[static_cast<size_t>(index)];
}

int find_language(std::string_view name) {
    for (size_t i = 0; i < kLanguages.size(); ++i)
        if (same_name(kLanguages[i].name, name)) return static_cast<int>(i);
    return -1;
}

int find_territory(std::string_view name) {
    for (size_t i = 0; i < kTerritories.size(); ++i)
        if (same_name(kTerritories[i].name, name)) return static_cast<int>(i);
    return -1;
}

}  // namespace tavo::lx
