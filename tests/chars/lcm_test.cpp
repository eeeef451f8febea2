// Counted-buffer routines: translation, case-insensitive and padded
// comparison, search, replace, tabs and blanks, each against a plain
// reference written here from the routine's description.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "chars/byte_search.hpp"
#include "lc.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytes(const std::string &s) {
    return Bytes(s.begin(), s.end());
}
std::string text(const Bytes &b) {
    return std::string(b.begin(), b.end());
}

Bytes random_bytes(std::mt19937 &rng, size_t n, const std::string &alphabet) {
    Bytes b(n);
    for (auto &c : b) c = static_cast<unsigned char>(alphabet[rng() % alphabet.size()]);
    return b;
}

std::string all_bytes() {
    std::string s;
    for (int c = 0; c < 256; ++c) s += static_cast<char>(c);
    return s;
}

// ---- Translation ----------------------------------------------------------------

TEST(Translate, EbcdicTablesAreInverseOverAllBytes) {
    Bytes in(256), e(256), back(256);
    for (int c = 0; c < 256; ++c) in[c] = static_cast<unsigned char>(c);
    EXPECT_EQ(lcma2e(e.data(), in.data(), 256), e.data());
    EXPECT_EQ(lcme2a(back.data(), e.data(), 256), back.data());
    EXPECT_EQ(back, in);
    lcme2a(e.data(), in.data(), 256);
    lcma2e(back.data(), e.data(), 256);
    EXPECT_EQ(back, in);
    std::sort(e.begin(), e.end());
    EXPECT_EQ(e, in) << "not a permutation";
}

TEST(Translate, KnownEbcdicCodes) {
    const std::string ascii = " A0aZz9.";
    Bytes out(ascii.size());
    lcma2e(out.data(), ascii.data(), static_cast<uint32_t>(ascii.size()));
    EXPECT_EQ(out, (Bytes{0x40, 0xC1, 0xF0, 0x81, 0xE9, 0xA9, 0xF9, 0x4B}));
}

TEST(Translate, OverlappingBuffersTranslateAsIfSeparate) {
    std::mt19937 rng(11);
    using Fn = void *(*)(void *, const void *, uint32_t);
    for (Fn fn : {Fn{lcma2e}, Fn{lcme2a}, Fn{lcmlo}, Fn{lcmup}}) {
        for (int shift = -5; shift <= 5; ++shift) {
            const Bytes src = random_bytes(rng, 40, all_bytes());
            Bytes expect(40);
            fn(expect.data(), src.data(), 40);
            Bytes buf(60, 0);
            std::copy(src.begin(), src.end(), buf.begin() + 10);
            fn(buf.data() + 10 + shift, buf.data() + 10, 40);
            ASSERT_EQ(Bytes(buf.begin() + 10 + shift, buf.begin() + 50 + shift), expect) << shift;
        }
    }
}

TEST(Translate, CaseFollowsTheCLibrary) {
    const std::string all = all_bytes();
    Bytes lo(256), up(256);
    lcmlo(lo.data(), all.data(), 256);
    lcmup(up.data(), all.data(), 256);
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(lo[c], std::tolower(c));
        EXPECT_EQ(up[c], std::toupper(c));
    }
}

// ---- Case-insensitive comparison ---------------------------------------------------

int reference_lcomp(const unsigned char *a, const unsigned char *b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (a[i] == b[i]) continue;
        const int x = std::isupper(a[i]) ? a[i] + 32 : a[i];
        const int y = std::isupper(b[i]) ? b[i] + 32 : b[i];
        if (x != y) return x - y;
    }
    return 0;
}

TEST(CaseInsensitiveCompare, EdgeCases) {
    EXPECT_EQ(lcmlcomp("Hello", "hELLO", 5), 0);
    EXPECT_EQ(lcmlcomp("a", "B", 1), 'a' - 'b');
    EXPECT_EQ(lcmlcomp("A", "_", 1), 'a' - '_');  // the fold, not a collation
    EXPECT_EQ(lcmlcomp("[", "{", 1), '[' - '{');
    EXPECT_EQ(lcmlcomp("abc", "abd", 2), 0);
    EXPECT_EQ(lcmlcomp("x", "y", 0), 0);
    EXPECT_EQ(lcmlcomp("\xC0", "\xE0", 1), 0xC0 - 0xE0);  // not letters in the C locale
    EXPECT_EQ(lcmlcomp("abcdefghiJ", "ABCDEFGHIk", 10), 'j' - 'k');
}

TEST(CaseInsensitiveCompare, MatchesTheReferenceOnRandomBuffers) {
    std::mt19937 rng(12);
    const std::string alphabets[] = {"aAbB", "azAZ@[`{09", all_bytes()};
    for (int i = 0; i < 20000; ++i) {
        const std::string &alphabet = alphabets[i % 3];
        const size_t n = rng() % 70;
        Bytes a = random_bytes(rng, n, alphabet);
        Bytes b = a;
        // Change the case of some letters, and sometimes a byte outright.
        for (auto &c : b)
            if (rng() % 3 == 0)
                c = static_cast<unsigned char>(std::isupper(c) ? std::tolower(c) : std::toupper(c));
        if (n != 0 && rng() % 2)
            b[rng() % n] = static_cast<unsigned char>(alphabet[rng() % alphabet.size()]);
        ASSERT_EQ(lcmlcomp(a.data(), b.data(), static_cast<uint32_t>(n)),
                  reference_lcomp(a.data(), b.data(), n));
    }
}

TEST(CaseInsensitiveCompare, StringsStopAtTheNul) {
    EXPECT_EQ(lcslcomp("HeLLo", "hello"), 0);
    EXPECT_EQ(lcslcomp("ab", "abc"), -'c');
    EXPECT_EQ(lcslcomp("abc", "AB"), 'c');
    EXPECT_EQ(lcslcomp("", ""), 0);
    EXPECT_EQ(lcslcomp("Z", "a"), 'z' - 'a');
    std::mt19937 rng(13);
    for (int i = 0; i < 5000; ++i) {
        Bytes a = random_bytes(rng, rng() % 20, "aAbB\x01\xFF");
        Bytes b = random_bytes(rng, rng() % 20, "aAbB\x01\xFF");
        a.push_back(0);
        b.push_back(0);
        const size_t n = std::min(a.size(), b.size());
        ASSERT_EQ(lcslcomp(reinterpret_cast<char *>(a.data()), reinterpret_cast<char *>(b.data())),
                  reference_lcomp(a.data(), b.data(), n));
    }
}

// ---- Padded comparison --------------------------------------------------------------

int reference_padded(const Bytes &a, const Bytes &b) {
    const size_t n = std::max(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned x = i < a.size() ? a[i] : ' ';
        const unsigned y = i < b.size() ? b[i] : ' ';
        if (x != y) return x > y ? static_cast<int>(i + 1) : -static_cast<int>(i + 1);
    }
    return 0;
}

TEST(PaddedCompare, EdgeCases) {
    EXPECT_EQ(lcmcpp("AB", 2, "AB  ", 4), 0);
    EXPECT_EQ(lcmcpp("AB", 2, "ABC", 3), -3);
    EXPECT_EQ(lcmcpp("AC", 2, "AB", 2), 2);
    EXPECT_EQ(lcmcpp("AB\t", 3, "AB", 2), -3);  // below the blank
    EXPECT_EQ(lcmcpp("AB", 2, "AB \x01", 4), 4);
    EXPECT_EQ(lcmcpp("", 0, "", 0), 0);
    EXPECT_EQ(lcmcpp("", 0, "   ", 3), 0);
    EXPECT_EQ(lcmcpp("\xFF", 1, "a", 1), 1);
}

TEST(PaddedCompare, MatchesTheReferenceOnRandomBuffers) {
    std::mt19937 rng(14);
    for (int i = 0; i < 20000; ++i) {
        const Bytes a = random_bytes(rng, rng() % 12, "a \x1F\x80");
        const Bytes b = random_bytes(rng, rng() % 12, "a \x1F\x80");
        ASSERT_EQ(lcmcpp(a.data(), static_cast<uint32_t>(a.size()), b.data(),
                         static_cast<uint32_t>(b.size())),
                  reference_padded(a, b));
    }
}

// ---- Search ----------------------------------------------------------------------------

size_t reference_find(const Bytes &t, const Bytes &p) {
    if (p.empty()) return 0;
    if (p.size() > t.size()) return t.size();
    for (size_t j = 0; j + p.size() <= t.size(); ++j)
        if (std::equal(p.begin(), p.end(), t.begin() + static_cast<ptrdiff_t>(j))) return j;
    return t.size();
}

uint32_t find(const Bytes &t, const Bytes &p) {
    return lcmsub(t.data(), static_cast<uint32_t>(t.size()), p.data(),
                  static_cast<uint32_t>(p.size()));
}

TEST(Search, EdgeCases) {
    EXPECT_EQ(lcmsub("abc", 3, "", 0), 0u);
    EXPECT_EQ(lcmsub("abc", 3, "abcd", 4), 3u);
    EXPECT_EQ(lcmsub("abc", 3, "c", 1), 2u);
    EXPECT_EQ(lcmsub("abc", 3, "d", 1), 3u);
    EXPECT_EQ(lcmsub("abcabd", 6, "abd", 3), 3u);
    EXPECT_EQ(lcmsub("", 0, "a", 1), 0u);
    EXPECT_EQ(lcmsub("aaaaab", 6, "aab", 3), 3u);
}

TEST(Search, MatchesTheReferenceOnRandomBuffers) {
    std::mt19937 rng(15);
    const std::string alphabets[] = {"ab", "abc", "abcdefgh", all_bytes()};
    for (int i = 0; i < 40000; ++i) {
        const std::string &alphabet = alphabets[i % 4];
        const Bytes t = random_bytes(rng, rng() % 200, alphabet);
        Bytes p;
        if (!t.empty() && rng() % 2) {
            // A piece of the text, sometimes with one byte changed.
            const size_t at = rng() % t.size();
            const size_t len = 1 + rng() % std::min<size_t>(t.size() - at, 30);
            p.assign(t.begin() + static_cast<ptrdiff_t>(at),
                     t.begin() + static_cast<ptrdiff_t>(at + len));
            if (rng() % 3 == 0)
                p[rng() % p.size()] = static_cast<unsigned char>(alphabet[rng() % alphabet.size()]);
        } else {
            // Periodic patterns are the hard case for two-way matching.
            const Bytes unit = random_bytes(rng, 1 + rng() % 4, alphabet);
            for (size_t k = 1 + rng() % 20; k > 0; --k) p.insert(p.end(), unit.begin(), unit.end());
            if (rng() % 2)
                p.push_back(static_cast<unsigned char>(alphabet[rng() % alphabet.size()]));
        }
        ASSERT_EQ(find(t, p), reference_find(t, p)) << text(t) << " / " << text(p);
    }
}

TEST(Search, TwoWayMatchingAloneAndLongPeriodicInput) {
    std::mt19937 rng(151);
    for (int i = 0; i < 3000; ++i) {
        const bool long_input = i % 10 == 0;
        const Bytes t = random_bytes(rng, rng() % (long_input ? 3000 : 100), i % 2 ? "ab" : "abc");
        Bytes p;
        const Bytes unit = random_bytes(rng, 1 + rng() % 5, "ab");
        for (size_t k = 1 + rng() % (long_input ? 40 : 8); k > 0; --k)
            p.insert(p.end(), unit.begin(), unit.end());
        if (rng() % 2) p.push_back(static_cast<unsigned char>("abc"[rng() % 3]));
        if (p.size() < 2) p.push_back('a');
        const size_t expect = reference_find(t, p);
        ASSERT_EQ(find(t, p), expect) << text(t) << " / " << text(p);
        ASSERT_EQ(tavo::chars::two_way_find(t.data(), t.size(), p.data(), p.size()), expect)
            << text(t) << " / " << text(p);
    }
}

TEST(Search, RunsOfOneByteWithAnOddEnd) {
    const Bytes t(100000, 'a');
    for (size_t m : {2u, 3u, 100u, 5000u}) {
        Bytes p(m, 'a');
        p.back() = 'b';
        EXPECT_EQ(find(t, p), t.size());
        p.back() = 'a';
        EXPECT_EQ(find(t, p), 0u);
        p.front() = 'b';
        EXPECT_EQ(find(t, p), t.size());
    }
    Bytes t2 = t;
    t2.push_back('b');
    EXPECT_EQ(find(t2, bytes(std::string(999, 'a') + "b")), t2.size() - 1000);
}

// ---- Copy with replacement ---------------------------------------------------------------

struct CopyResult {
    std::string out;
    uint32_t unread;
    bool operator==(const CopyResult &) const = default;
};

// The description's loop: candidates are bytes equal to the pattern's first
// byte where the whole pattern still fits.
CopyResult reference_copy_replace(const Bytes &in, size_t outsize, const Bytes &pat,
                                  const Bytes &rep) {
    std::string out;
    size_t pos = 0;
    for (;;) {
        size_t c = pos;
        while (!pat.empty() && c < in.size() && !(in[c] == pat[0] && c + pat.size() <= in.size()))
            ++c;
        if (pat.empty() || c >= in.size()) c = in.size();
        while (pos < c && out.size() < outsize) out += static_cast<char>(in[pos++]);
        if (pos == in.size() || out.size() == outsize) break;
        if (std::equal(pat.begin(), pat.end(), in.begin() + static_cast<ptrdiff_t>(pos))) {
            if (rep.size() > outsize - out.size()) break;
            out.append(rep.begin(), rep.end());
            pos += pat.size();
        } else {
            out += static_cast<char>(in[pos++]);
        }
    }
    return {out, static_cast<uint32_t>(in.size() - pos)};
}

CopyResult copy_replace(const Bytes &in, size_t outsize, const Bytes &pat, const Bytes &rep) {
    std::vector<char> out(outsize);  // exact size: the sanitizer sees any overrun
    uint32_t unread = 99999;
    const uint32_t n =
        lcmcpr(out.data(), static_cast<uint32_t>(outsize), in.data(),
               static_cast<uint32_t>(in.size()), pat.data(), static_cast<uint32_t>(pat.size()),
               rep.data(), static_cast<uint32_t>(rep.size()), &unread);
    EXPECT_LE(n, outsize);
    return {std::string(out.data(), n), unread};
}

TEST(CopyReplace, EdgeCases) {
    EXPECT_EQ(copy_replace(bytes("a-b-c"), 20, bytes("-"), bytes("+=")),
              (CopyResult{"a+=b+=c", 0}));
    // No room for the replacement: stop before the occurrence.
    EXPECT_EQ(copy_replace(bytes("ab-cd"), 3, bytes("-"), bytes("==")), (CopyResult{"ab", 3}));
    // The output fills up.
    EXPECT_EQ(copy_replace(bytes("abcdef"), 4, bytes("x"), bytes("y")), (CopyResult{"abcd", 2}));
    EXPECT_EQ(copy_replace(bytes("abc"), 10, Bytes{}, bytes("y")), (CopyResult{"abc", 0}));
    EXPECT_EQ(copy_replace(bytes("aaa"), 10, bytes("aa"), bytes("b")), (CopyResult{"ba", 0}));
    EXPECT_EQ(copy_replace(bytes("xab"), 10, bytes("abc"), bytes("z")), (CopyResult{"xab", 0}));
    EXPECT_EQ(copy_replace(bytes("a.b"), 10, bytes("."), Bytes{}), (CopyResult{"ab", 0}));
    EXPECT_EQ(copy_replace(Bytes{}, 0, bytes("."), Bytes{}), (CopyResult{"", 0}));
    uint32_t n = lcmcpr(nullptr, 0, "abc", 3, "b", 1, "x", 1, nullptr);
    EXPECT_EQ(n, 0u);
}

TEST(CopyReplace, MatchesTheReferenceOnRandomInput) {
    std::mt19937 rng(16);
    for (int i = 0; i < 20000; ++i) {
        const Bytes in = random_bytes(rng, rng() % 40, "abc");
        const Bytes pat = random_bytes(rng, rng() % 4, "abc");
        const Bytes rep = random_bytes(rng, rng() % 5, "xy");
        const size_t outsize = rng() % 60;
        ASSERT_EQ(copy_replace(in, outsize, pat, rep),
                  reference_copy_replace(in, outsize, pat, rep))
            << text(in) << " / " << text(pat) << " / " << text(rep) << " / " << outsize;
    }
}

// ---- In-place replacement -------------------------------------------------------------------

struct ReplaceResult {
    std::string text;
    long stop;  // offset of the stop position, -1 for none
    bool operator==(const ReplaceResult &) const = default;
};

ReplaceResult reference_replace(std::string s, size_t cap, const std::string &pat,
                                const std::string &rep) {
    if (pat.empty()) return {s, -1};
    size_t pos = 0;
    for (;;) {
        const size_t at = s.find(pat, pos);
        if (at == std::string::npos) return {s, -1};
        if (s.size() - pat.size() + rep.size() > cap) return {s, static_cast<long>(at)};
        s.replace(at, pat.size(), rep);
        pos = at + rep.size();
    }
}

ReplaceResult replace(const std::string &s, size_t cap, const std::string &pat,
                      const std::string &rep) {
    std::vector<char> buf(std::max(cap, s.size()) + 1, '#');
    std::copy(s.begin(), s.end(), buf.begin());
    void *stop = &buf;  // anything but null
    const uint32_t n = lcmrep(
        buf.data(), static_cast<uint32_t>(s.size()), static_cast<uint32_t>(cap), pat.data(),
        static_cast<uint32_t>(pat.size()), rep.data(), static_cast<uint32_t>(rep.size()), &stop);
    EXPECT_EQ(buf[std::max(cap, s.size())], '#') << "wrote past the capacity";
    return {std::string(buf.data(), n), stop ? static_cast<char *>(stop) - buf.data() : -1};
}

TEST(ReplaceInPlace, EdgeCases) {
    EXPECT_EQ(replace("a-b-c", 16, "-", ", "), (ReplaceResult{"a, b, c", -1}));
    EXPECT_EQ(replace("a-b-c", 6, "-", ", "), (ReplaceResult{"a, b-c", 4}));
    EXPECT_EQ(replace("aaa", 10, "a", "aa"), (ReplaceResult{"aaaaaa", -1}));  // not rescanned
    EXPECT_EQ(replace("abc", 3, "", "x"), (ReplaceResult{"abc", -1}));
    EXPECT_EQ(replace("abcabc", 6, "bc", ""), (ReplaceResult{"aa", -1}));
    EXPECT_EQ(replace("ab", 2, "abc", "x"), (ReplaceResult{"ab", -1}));
    uint32_t n = lcmrep(nullptr, 0, 0, "a", 1, "b", 1, nullptr);
    EXPECT_EQ(n, 0u);
}

TEST(ReplaceInPlace, MatchesTheReferenceOnRandomInput) {
    std::mt19937 rng(17);
    for (int i = 0; i < 20000; ++i) {
        const std::string s = text(random_bytes(rng, rng() % 30, "abc"));
        const std::string pat = text(random_bytes(rng, rng() % 4, "abc"));
        const std::string rep = text(random_bytes(rng, rng() % 5, "abx"));
        const size_t cap = s.size() + rng() % 20;
        ASSERT_EQ(replace(s, cap, pat, rep), reference_replace(s, cap, pat, rep))
            << s << " / " << pat << " / " << rep << " / " << cap;
    }
}

// ---- Tabs and blanks ----------------------------------------------------------------------------

std::string reference_expand(const std::string &s) {
    std::string out;
    for (char c : s) {
        if (c == '\t') {
            out.append(8 - out.size() % 8, ' ');
        } else {
            out += c;
        }
    }
    return out.substr(0, LCMRTBMAX);
}

std::string expand(const std::string &s) {
    const std::string expect = reference_expand(s);
    std::vector<char> out(expect.size());  // exactly what the caller can expect to need
    const uint32_t n = lcmrtb(out.data(), s.data(), static_cast<uint32_t>(s.size()));
    return std::string(out.data(), std::min<size_t>(n, out.size())) +
           (n > out.size() ? "<overrun>" : "");
}

TEST(ExpandTabs, EdgeCases) {
    EXPECT_EQ(expand("a\tb"), "a       b");
    EXPECT_EQ(expand("\t"), "        ");
    EXPECT_EQ(expand("abcdefgh\tx"), "abcdefgh        x");
    // A newline does not reset the column.
    EXPECT_EQ(expand("abc\n\tx"), "abc\n    x");
    EXPECT_EQ(expand(""), "");
}

TEST(ExpandTabs, StopsAtTheWorkAreaSize) {
    const std::string tabs(600, '\t');  // 4800 blanks' worth
    std::vector<char> out(LCMRTBMAX);
    EXPECT_EQ(lcmrtb(out.data(), tabs.data(), static_cast<uint32_t>(tabs.size())),
              static_cast<uint32_t>(LCMRTBMAX));
    EXPECT_EQ(std::string(out.begin(), out.end()), std::string(LCMRTBMAX, ' '));
    // A tab straddling the limit gives the blanks that fit.
    const std::string s = std::string(LCMRTBMAX - 3, 'x') + "\tyy";
    EXPECT_EQ(lcmrtb(out.data(), s.data(), static_cast<uint32_t>(s.size())),
              static_cast<uint32_t>(LCMRTBMAX));
    EXPECT_EQ(std::string(out.end() - 4, out.end()), "x   ");
    // Long plain text is cut as well.
    const std::string plain(LCMRTBMAX + 100, 'p');
    EXPECT_EQ(lcmrtb(out.data(), plain.data(), static_cast<uint32_t>(plain.size())),
              static_cast<uint32_t>(LCMRTBMAX));
}

TEST(ExpandTabs, InPlaceAndOnRandomText) {
    std::mt19937 rng(18);
    for (int i = 0; i < 5000; ++i) {
        const std::string s = text(random_bytes(rng, rng() % (i % 10 ? 40 : 700), "ab\t\n "));
        ASSERT_EQ(expand(s), reference_expand(s));
        std::vector<char> buf(LCMRTBMAX);
        std::copy(s.begin(), s.end(), buf.begin());
        const uint32_t n = lcmrtb(buf.data(), buf.data(), static_cast<uint32_t>(s.size()));
        ASSERT_EQ(std::string(buf.data(), n), reference_expand(s));
    }
}

// Compression written the other way round: copy, and at each tab stop take
// back the blanks just written when there are two or more.
std::string reference_compress(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    std::string out;
    size_t column = 0, blanks = 0;
    for (char c : s) {
        out += c;
        if (c == '\n' || c == '\t' || c == '\r') {
            column = blanks = 0;
            continue;
        }
        blanks = c == ' ' ? blanks + 1 : 0;
        if (++column == 8) {
            if (blanks >= 2) {
                out.resize(out.size() - blanks);
                out += '\t';
            }
            column = blanks = 0;
        }
    }
    return out;
}

std::string compress(const std::string &s) {
    std::vector<char> out(std::max<size_t>(s.size(), 1));
    const uint32_t n = lcmcps(out.data(), s.data(), static_cast<uint32_t>(s.size()));
    EXPECT_LE(n, s.size());
    return std::string(out.data(), n);
}

TEST(CompressBlanks, EdgeCases) {
    EXPECT_EQ(compress("        x"), "\tx");
    EXPECT_EQ(compress("a       b"), "a\tb");
    EXPECT_EQ(compress("abcdefg b"), "abcdefg b");  // a single blank before the stop stays
    EXPECT_EQ(compress("    "), "");
    EXPECT_EQ(compress("ab  "), "ab");
    EXPECT_EQ(compress("a  \tb"), "a  \tb");
    EXPECT_EQ(compress("ab\n      cd"), "ab\n      cd");  // the last chunk is incomplete
    EXPECT_EQ(compress("ab\n        cd"), "ab\n\tcd");
    EXPECT_EQ(compress("a  b    c"), "a  b\tc");
}

TEST(CompressBlanks, InPlaceAndOnRandomText) {
    std::mt19937 rng(19);
    for (int i = 0; i < 20000; ++i) {
        const std::string s = text(random_bytes(rng, rng() % 40, "a    \t\n\r"));
        const std::string expect = reference_compress(s);
        ASSERT_EQ(compress(s), expect) << s;
        std::string buf = s;
        const uint32_t n = lcmcps(buf.data(), buf.data(), static_cast<uint32_t>(buf.size()));
        ASSERT_EQ(buf.substr(0, n), expect);
    }
}

}  // namespace
