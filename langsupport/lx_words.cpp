// Numbers and years in words, ordinal suffixes and Roman numerals. Each
// language builds its words from a few tables by the rules of its own
// grammar; the results are UTF-8 in lower case.
#include <array>

#include "langsupport/lx_internal.h"

namespace tavo::lx {

namespace {

using Table20 = std::array<std::string_view, 20>;
using Table10 = std::array<std::string_view, 10>;

constexpr int64_t kThousand = 1000, kMillion = 1000000, kBillion = 1000000000;

// Replaces the last word (after the last blank or hyphen) by the result
// of fix(word); fix writes through the builder after the word is cut off.
template <typename Fix>
void rewrite_last_word(TextBuilder &out, Fix fix) {
    const std::string_view text = out.view();
    const size_t cut = text.find_last_of(" -");
    const size_t start = cut == std::string_view::npos ? 0 : cut + 1;
    fix(text.substr(start), start);
}

bool ends_with(std::string_view s, std::string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// ---- English ------------------------------------------------------------------

constexpr Table20 kEnUnits = {"zero",    "one",     "two",       "three",    "four",
                              "five",    "six",     "seven",     "eight",    "nine",
                              "ten",     "eleven",  "twelve",    "thirteen", "fourteen",
                              "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
constexpr Table10 kEnTens = {"",      "",      "twenty",  "thirty", "forty",
                             "fifty", "sixty", "seventy", "eighty", "ninety"};

void en_below100(int n, TextBuilder &out) {
    if (n < 20) {
        out.word(kEnUnits[n]);
        return;
    }
    out.word(kEnTens[n / 10]);
    if (n % 10) out.add("-").add(kEnUnits[n % 10]);
}

void en_below1000(int n, TextBuilder &out) {
    if (n >= 100) out.word(kEnUnits[n / 100]).word("hundred");
    if (n % 100) en_below100(n % 100, out);
}

void en_cardinal(int64_t n, TextBuilder &out) {
    if (n == 0) {
        out.word("zero");
        return;
    }
    constexpr std::array<std::pair<int64_t, std::string_view>, 3> scales = {
        {{kBillion, "billion"}, {kMillion, "million"}, {kThousand, "thousand"}}};
    for (const auto &[scale, name] : scales) {
        if (const int q = static_cast<int>(n / scale % 1000); q) {
            en_below1000(q, out);
            out.word(name);
        }
    }
    en_below1000(static_cast<int>(n % 1000), out);
}

void en_ordinal(int64_t n, TextBuilder &out) {
    en_cardinal(n, out);
    rewrite_last_word(out, [&](std::string_view word, size_t start) {
        constexpr std::array<std::pair<std::string_view, std::string_view>, 7> irregular = {
            {{"one", "first"},
             {"two", "second"},
             {"three", "third"},
             {"five", "fifth"},
             {"eight", "eighth"},
             {"nine", "ninth"},
             {"twelve", "twelfth"}}};
        for (const auto &[cardinal, ordinal] : irregular) {
            if (word == cardinal) {
                out.truncate(start);
                out.add(ordinal);
                return;
            }
        }
        if (ends_with(word, "y")) {
            out.truncate(start + word.size() - 1);
            out.add("ieth");
        } else {
            out.add("th");
        }
    });
}

// Years as they are said: 1995 nineteen ninety-five, 1900 nineteen
// hundred, 1905 nineteen oh-five; 2005 two thousand five, 2010 twenty ten.
void en_year(int64_t y, TextBuilder &out) {
    const int hi = static_cast<int>(y / 100), lo = static_cast<int>(y % 100);
    if (y < 1000 || y > 9999 || (hi % 10 == 0 && lo < 10)) {
        en_cardinal(y, out);
        return;
    }
    en_below100(hi, out);
    if (lo == 0) {
        out.word("hundred");
    } else if (lo < 10) {
        out.word("oh-").add(kEnUnits[lo]);
    } else {
        en_below100(lo, out);
    }
}

// ---- German ---------------------------------------------------------------------

constexpr Table20 kDeUnits = {"null",     "eins",     "zwei",     "drei",     "vier",
                              "fünf",     "sechs",    "sieben",   "acht",     "neun",
                              "zehn",     "elf",      "zwölf",    "dreizehn", "vierzehn",
                              "fünfzehn", "sechzehn", "siebzehn", "achtzehn", "neunzehn"};
constexpr Table10 kDeTens = {"",        "",        "zwanzig", "dreißig", "vierzig",
                             "fünfzig", "sechzig", "siebzig", "achtzig", "neunzig"};
constexpr Table20 kDeOrdinals = {
    "nullte",     "erste",      "zweite",     "dritte",     "vierte",     "fünfte",    "sechste",
    "siebte",     "achte",      "neunte",     "zehnte",     "elfte",      "zwölfte",   "dreizehnte",
    "vierzehnte", "fünfzehnte", "sechzehnte", "siebzehnte", "achtzehnte", "neunzehnte"};

// One is "eins" only at the very end of a number: einundzwanzig, hunderteins.
void de_below100(int n, bool final, TextBuilder &out) {
    if (n == 1) {
        out.add(final ? "eins" : "ein");
    } else if (n < 20) {
        out.add(kDeUnits[n]);
    } else {
        if (const int u = n % 10; u) out.add(u == 1 ? "ein" : kDeUnits[u]).add("und");
        out.add(kDeTens[n / 10]);
    }
}

void de_below1000(int n, bool final, TextBuilder &out) {
    if (n >= 100) {
        de_below100(n / 100, false, out);
        out.add("hundert");
    }
    if (n % 100) de_below100(n % 100, final, out);
}

// Numbers below a million are one word.
void de_below_million(int n, bool final, TextBuilder &out) {
    if (n >= 1000) {
        de_below1000(n / 1000, false, out);
        out.add("tausend");
    }
    if (n % 1000) de_below1000(n % 1000, final, out);
}

void de_word_below_million(int n, bool final, TextBuilder &out) {
    if (out.size()) out.add(" ");
    de_below_million(n, final, out);
}

// Millions and milliards are nouns, written apart: zwei millionen.
void de_large(int64_t n, TextBuilder &out) {
    const int b = static_cast<int>(n / kBillion), m = static_cast<int>(n / kMillion % 1000);
    if (b == 1) out.word("eine milliarde");
    if (b > 1) de_word_below_million(b, false, out), out.word("milliarden");
    if (m == 1) out.word("eine million");
    if (m > 1) de_word_below_million(m, false, out), out.word("millionen");
}

void de_cardinal(int64_t n, TextBuilder &out) {
    if (n == 0) {
        out.word("null");
        return;
    }
    de_large(n, out);
    if (n % kMillion) de_word_below_million(static_cast<int>(n % kMillion), true, out);
}

void de_ordinal(int64_t n, TextBuilder &out) {
    const int low = static_cast<int>(n % kMillion);
    if (n == 0) {
        out.word(kDeOrdinals[0]);
        return;
    }
    if (low == 0) {  // eine millionste, zwei milliardste
        de_large(n, out);
        rewrite_last_word(out, [&](std::string_view word, size_t start) {
            out.truncate(start);
            out.add(word.starts_with("milliard") ? "milliardste" : "millionste");
        });
        return;
    }
    de_large(n, out);
    if (out.size()) out.add(" ");
    const int r = low % 100;
    if (r == 0 || r >= 20) {
        de_below_million(low, true, out);
        out.add("ste");
    } else {
        if (low - r) de_below_million(low - r, false, out);
        out.add(kDeOrdinals[r]);
    }
}

// 1100 to 1999 are said in hundreds: neunzehnhundertfünfundneunzig.
void de_year(int64_t y, TextBuilder &out) {
    if (y < 1100 || y > 1999) {
        de_cardinal(y, out);
        return;
    }
    if (out.size()) out.add(" ");
    de_below100(static_cast<int>(y / 100), false, out);
    out.add("hundert");
    if (y % 100) de_below100(static_cast<int>(y % 100), true, out);
}

// ---- French -----------------------------------------------------------------------

constexpr Table20 kFrUnits = {"zéro",   "un",    "deux",     "trois",    "quatre",
                              "cinq",   "six",   "sept",     "huit",     "neuf",
                              "dix",    "onze",  "douze",    "treize",   "quatorze",
                              "quinze", "seize", "dix-sept", "dix-huit", "dix-neuf"};
constexpr Table10 kFrTens = {"",          "",         "vingt", "trente", "quarante",
                             "cinquante", "soixante", "",      "",       ""};

// final: the number ends here, so quatre-vingts and deux cents take their s.
void fr_below100(int n, bool final, TextBuilder &out) {
    if (n < 20) {
        out.word(kFrUnits[n]);
    } else if (n < 70) {
        const int u = n % 10;
        out.word(kFrTens[n / 10]);
        if (u == 1) out.word("et un");
        if (u > 1) out.add("-").add(kFrUnits[u]);
    } else if (n < 80) {
        out.word("soixante");
        if (n == 71)
            out.word("et onze");
        else
            out.add("-").add(kFrUnits[n - 60]);
    } else {
        out.word("quatre-vingt");
        if (n == 80 && final) out.add("s");
        if (n > 80) out.add("-").add(kFrUnits[n - 80]);
    }
}

void fr_below1000(int n, bool final, TextBuilder &out) {
    const int h = n / 100, r = n % 100;
    if (h == 1) out.word("cent");
    if (h > 1) {
        out.word(kFrUnits[h]).word("cent");
        if (r == 0 && final) out.add("s");
    }
    if (r) fr_below100(r, final, out);
}

void fr_cardinal(int64_t n, TextBuilder &out) {
    if (n == 0) {
        out.word(kFrUnits[0]);
        return;
    }
    const int b = static_cast<int>(n / kBillion), m = static_cast<int>(n / kMillion % 1000);
    const int t = static_cast<int>(n / kThousand % 1000), r = static_cast<int>(n % 1000);
    if (b == 1) out.word("un milliard");
    if (b > 1) fr_below1000(b, true, out), out.word("milliards");
    if (m == 1) out.word("un million");
    if (m > 1) fr_below1000(m, true, out), out.word("millions");
    if (t == 1) out.word("mille");
    if (t > 1) fr_below1000(t, false, out), out.word("mille");
    if (r) fr_below1000(r, true, out);
}

void fr_ordinal(int64_t n, TextBuilder &out) {
    if (n == 1) {
        out.word("premier");
        return;
    }
    fr_cardinal(n, out);
    rewrite_last_word(out, [&](std::string_view word, size_t start) {
        if (word == "cinq") {
            out.add("uième");
        } else if (word == "neuf") {
            out.truncate(start + word.size() - 1);
            out.add("vième");
        } else if (word == "vingts" || word == "cents" || word == "millions" ||
                   word == "milliards" || ends_with(word, "e")) {
            out.truncate(start + word.size() - 1);
            out.add("ième");
        } else {
            out.add("ième");
        }
    });
}

// ---- Spanish ------------------------------------------------------------------------

constexpr std::array<std::string_view, 30> kEsUnits = {
    "cero",         "uno",         "dos",        "tres",        "cuatro",     "cinco",
    "seis",         "siete",       "ocho",       "nueve",       "diez",       "once",
    "doce",         "trece",       "catorce",    "quince",      "dieciséis",  "diecisiete",
    "dieciocho",    "diecinueve",  "veinte",     "veintiuno",   "veintidós",  "veintitrés",
    "veinticuatro", "veinticinco", "veintiséis", "veintisiete", "veintiocho", "veintinueve"};
constexpr Table10 kEsTens = {"",          "",        "",        "treinta", "cuarenta",
                             "cincuenta", "sesenta", "setenta", "ochenta", "noventa"};
constexpr Table10 kEsHundreds = {
    "",           "ciento",      "doscientos",  "trescientos", "cuatrocientos",
    "quinientos", "seiscientos", "setecientos", "ochocientos", "novecientos"};

// short: the number stands before mil or millones, where uno is un and
// veintiuno veintiún.
void es_below100(int n, bool short_form, TextBuilder &out) {
    if (n < 30) {
        out.word(short_form && n == 1 ? "un" : short_form && n == 21 ? "veintiún" : kEsUnits[n]);
        return;
    }
    out.word(kEsTens[n / 10]);
    if (const int u = n % 10; u) out.word("y").word(short_form && u == 1 ? "un" : kEsUnits[u]);
}

void es_below1000(int n, bool short_form, TextBuilder &out) {
    const int h = n / 100, r = n % 100;
    if (h) out.word(h == 1 && r == 0 ? "cien" : kEsHundreds[h]);
    if (r) es_below100(r, short_form, out);
}

void es_below_million(int n, bool short_form, TextBuilder &out) {
    const int t = n / 1000;
    if (t == 1) out.word("mil");
    if (t > 1) es_below1000(t, true, out), out.word("mil");
    if (n % 1000) es_below1000(n % 1000, short_form, out);
}

// Spanish counts thousands of millions: dos mil millones.
void es_cardinal(int64_t n, TextBuilder &out) {
    if (n == 0) {
        out.word(kEsUnits[0]);
        return;
    }
    const int m = static_cast<int>(n / kMillion);
    if (m == 1) out.word("un millón");
    if (m > 1) es_below_million(m, true, out), out.word("millones");
    if (n % kMillion) es_below_million(static_cast<int>(n % kMillion), false, out);
}

constexpr Table10 kEsOrdUnits = {"",       "primero", "segundo", "tercero", "cuarto",
                                 "quinto", "sexto",   "séptimo", "octavo",  "noveno"};
constexpr Table10 kEsOrdTens = {
    "",           "décimo",       "vigésimo",   "trigésimo", "cuadragésimo", "quincuagésimo",
    "sexagésimo", "septuagésimo", "octogésimo", "nonagésimo"};
constexpr Table10 kEsOrdHundreds = {"",
                                    "centésimo",
                                    "ducentésimo",
                                    "tricentésimo",
                                    "cuadringentésimo",
                                    "quingentésimo",
                                    "sexcentésimo",
                                    "septingentésimo",
                                    "octingentésimo",
                                    "noningentésimo"};
constexpr Table10 kEsOrdTeens = {"décimo",       "undécimo",     "duodécimo",   "decimotercero",
                                 "decimocuarto", "decimoquinto", "decimosexto", "decimoséptimo",
                                 "decimoctavo",  "decimonoveno"};

// Ordinals below 10000 in their own words (milésimo noningentésimo
// nonagésimo quinto); from 10000 on the cardinal is used, as in speech.
void es_ordinal(int64_t n, TextBuilder &out) {
    if (n == 0 || n >= 10000) {
        es_cardinal(n, out);
        return;
    }
    const int t = static_cast<int>(n / 1000), h = static_cast<int>(n / 100 % 10);
    const int r = static_cast<int>(n % 100);
    if (t == 1) out.word("milésimo");
    if (t > 1) out.word(kEsUnits[t]).add("milésimo");
    if (h) out.word(kEsOrdHundreds[h]);
    if (r >= 10 && r < 20) {
        out.word(kEsOrdTeens[r - 10]);
    } else {
        if (r >= 20) out.word(kEsOrdTens[r / 10]);
        if (r % 10) out.word(kEsOrdUnits[r % 10]);
    }
}

// ---- Italian ------------------------------------------------------------------------

constexpr Table20 kItUnits = {"zero",     "uno",    "due",         "tre",      "quattro",
                              "cinque",   "sei",    "sette",       "otto",     "nove",
                              "dieci",    "undici", "dodici",      "tredici",  "quattordici",
                              "quindici", "sedici", "diciassette", "diciotto", "diciannove"};
constexpr Table10 kItTens = {"",          "",         "venti",    "trenta",  "quaranta",
                             "cinquanta", "sessanta", "settanta", "ottanta", "novanta"};
constexpr Table10 kItOrdinals = {"zeresimo", "primo", "secondo", "terzo",  "quarto",
                                 "quinto",   "sesto", "settimo", "ottavo", "nono"};

// Tens lose their last vowel before uno and otto: ventuno, ventotto.
void it_below100(int n, TextBuilder &out) {
    if (n < 20) {
        out.add(kItUnits[n]);
        return;
    }
    const int u = n % 10;
    std::string_view tens = kItTens[n / 10];
    if (u == 1 || u == 8) tens.remove_suffix(1);
    out.add(tens);
    if (u) out.add(kItUnits[u]);
}

void it_below1000(int n, TextBuilder &out) {
    const int h = n / 100, r = n % 100;
    if (h) {
        if (h > 1) out.add(kItUnits[h]);
        // cento loses its o before otto and ottanta: centotto, centottanta.
        out.add(r == 8 || r / 10 == 8 ? "cent" : "cento");
    }
    if (r) it_below100(r, out);
}

// Numbers below a million are one word; a final tre of a compound is tré.
void it_below_million(int n, TextBuilder &out) {
    if (out.size()) out.add(" ");
    const int t = n / 1000;
    if (t == 1) out.add("mille");
    if (t > 1) it_below1000(t, out), out.add("mila");
    if (n % 1000) it_below1000(n % 1000, out);
    if (n > 3 && n % 10 == 3 && n % 100 != 13) {
        out.truncate(out.size() - 3);
        out.add("tré");
    }
}

void it_cardinal(int64_t n, TextBuilder &out) {
    if (n == 0) {
        out.word(kItUnits[0]);
        return;
    }
    const int b = static_cast<int>(n / kBillion), m = static_cast<int>(n / kMillion % 1000);
    if (b == 1) out.word("un miliardo");
    if (b > 1) it_below_million(b, out), out.word("miliardi");
    if (m == 1) out.word("un milione");
    if (m > 1) it_below_million(m, out), out.word("milioni");
    if (n % kMillion) it_below_million(static_cast<int>(n % kMillion), out);
}

void it_ordinal(int64_t n, TextBuilder &out) {
    if (n < 10) {
        out.word(kItOrdinals[n]);
        return;
    }
    if (n == 10) {
        out.word("decimo");
        return;
    }
    it_cardinal(n, out);
    rewrite_last_word(out, [&](std::string_view word, size_t start) {
        if (ends_with(word, "tré")) {
            out.truncate(start + word.size() - 2);  // the two bytes of the é
            out.add("eesimo");
        } else if (ends_with(word, "sei")) {
            out.add("esimo");
        } else if (ends_with(word, "mila")) {
            out.truncate(start + word.size() - 4);
            out.add("millesimo");
        } else {
            out.truncate(start + word.size() - 1);
            out.add("esimo");
        }
    });
}

}  // namespace

void spell_cardinal(Lang lang, int64_t n, TextBuilder &out) {
    switch (lang) {
        case Lang::German:
            return de_cardinal(n, out);
        case Lang::French:
            return fr_cardinal(n, out);
        case Lang::Spanish:
            return es_cardinal(n, out);
        case Lang::Italian:
            return it_cardinal(n, out);
        default:
            return en_cardinal(n, out);
    }
}

void spell_ordinal(Lang lang, int64_t n, TextBuilder &out) {
    switch (lang) {
        case Lang::German:
            return de_ordinal(n, out);
        case Lang::French:
            return fr_ordinal(n, out);
        case Lang::Spanish:
            return es_ordinal(n, out);
        case Lang::Italian:
            return it_ordinal(n, out);
        default:
            return en_ordinal(n, out);
    }
}

void spell_year(Lang lang, int64_t n, TextBuilder &out) {
    switch (lang) {
        case Lang::German:
            return de_year(n, out);
        case Lang::American:
        case Lang::English:
            return en_year(n, out);
        default:
            return spell_cardinal(lang, n, out);
    }
}

std::string_view ordinal_suffix(Lang lang, int64_t n) {
    if (n < 0) n = -n;
    switch (lang) {
        case Lang::German:
            return ".";
        case Lang::French:
            return n == 1 ? "er" : "e";
        case Lang::Spanish:
        case Lang::Italian:
            return "º";
        default:
            break;
    }
    if (n % 100 >= 11 && n % 100 <= 13) return "th";
    switch (n % 10) {
        case 1:
            return "st";
        case 2:
            return "nd";
        case 3:
            return "rd";
        default:
            return "th";
    }
}

size_t roman_numeral(int32_t value, char *out) {
    if (value < 1 || value > 3999) return 0;
    constexpr std::array<std::pair<int, std::string_view>, 13> steps = {{{1000, "m"},
                                                                         {900, "cm"},
                                                                         {500, "d"},
                                                                         {400, "cd"},
                                                                         {100, "c"},
                                                                         {90, "xc"},
                                                                         {50, "l"},
                                                                         {40, "xl"},
                                                                         {10, "x"},
                                                                         {9, "ix"},
                                                                         {5, "v"},
                                                                         {4, "iv"},
                                                                         {1, "i"}}};
    size_t len = 0;
    for (const auto &[step, letters] : steps) {
        for (; value >= step; value -= step)
            for (char ch : letters) out[len++] = ch;
    }
    return len;
}

}  // namespace tavo::lx
