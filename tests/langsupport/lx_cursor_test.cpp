// Cursors: stepping over random valid and invalid UTF-8 never splits a
// character nor runs past the text; counts, byte counts, comparison.
#include <cstring>
#include <random>
#include <vector>

#include "lx_test_util.hpp"

using namespace lxtest;

namespace {

// A character the generator placed: where, how long, which code point.
struct Placed {
    size_t offset;
    size_t len;
    uint32_t cp;
};

// Valid characters of every length among junk: stray continuation bytes,
// lead bytes without their continuations, overlong forms, surrogates.
std::string random_text(std::mt19937 &rng, std::vector<Placed> &placed) {
    static const std::vector<std::string> junk = {"\x80",
                                                  "\xBF",
                                                  "\xC0\xAF",
                                                  "\xC1",
                                                  "\xC3",
                                                  "\xE2\x82",
                                                  "\xED\xA0\x80",
                                                  "\xF0\x82\x82\xAC",
                                                  "\xF4\x90\x80\x80",
                                                  "\xF5",
                                                  "\xFF",
                                                  "\xF0\x9F\x98"};
    std::string s;
    for (int k = static_cast<int>(rng() % 40); k > 0; --k) {
        if (rng() % 4 == 0) {
            s += junk[rng() % junk.size()];
            continue;
        }
        uint32_t cp;
        switch (rng() % 4) {
            case 0:
                cp = rng() % 0x80;
                break;
            case 1:
                cp = 0x80 + rng() % 0x780;
                break;
            case 2:
                cp = 0x800 + rng() % 0xF800;
                break;
            default:
                cp = 0x10000 + rng() % 0x100000;
                break;
        }
        if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xE000;
        const size_t at = s.size();
        append_utf8(s, cp);
        placed.push_back({at, s.size() - at, cp});
    }
    return s;
}

TEST(LxCursor, RandomUtf8NeverSplitsOrOverruns) {
    std::mt19937 rng(7);
    Env env("AMERICAN.AL32UTF8");
    for (int round = 0; round < 2000; ++round) {
        std::vector<Placed> placed;
        const std::string text = random_text(rng, placed);
        // The text sits at the very end of its own allocation, so that a
        // read past it is caught under AddressSanitizer.
        std::vector<char> heap(text.begin(), text.end());
        lxcur c;
        ASSERT_EQ(lxcopen(&c, heap.data(), static_cast<uint32_t>(heap.size()), &env.w), LXS_OK);
        const uint32_t count = lxccount(&c);
        std::vector<size_t> starts;
        std::vector<uint32_t> codes;
        while (!lxcend(&c)) {
            starts.push_back(c.pos);
            codes.push_back(lxcchar(&c));
            const uint32_t len = lxclen(&c);
            ASSERT_EQ(lxcnext(&c), len);
            ASSERT_GE(len, 1u);
            ASSERT_LE(c.pos, heap.size());
        }
        EXPECT_EQ(c.pos, text.size());
        EXPECT_EQ(count, starts.size());
        EXPECT_EQ(c.chars, starts.size());
        EXPECT_EQ(lxcnext(&c), 0u);
        EXPECT_EQ(lxcchar(&c), LXCH_END);
        // Every valid character the generator placed is one step, whole.
        for (const Placed &p : placed) {
            const auto it = std::lower_bound(starts.begin(), starts.end(), p.offset);
            ASSERT_TRUE(it != starts.end() && *it == p.offset) << round;
            const size_t k = static_cast<size_t>(it - starts.begin());
            const size_t next = k + 1 < starts.size() ? starts[k + 1] : text.size();
            EXPECT_EQ(next - p.offset, p.len);
            EXPECT_EQ(codes[k], p.cp);
        }
        // Bytes of n characters agree with stepping.
        lxcopen(&c, heap.data(), static_cast<uint32_t>(heap.size()), &env.w);
        const uint32_t n = starts.empty() ? 0 : static_cast<uint32_t>(rng() % (starts.size() + 2));
        const size_t expected = n < starts.size() ? starts[n] : text.size();
        EXPECT_EQ(lxcbytes(&c, n), expected);
    }
}

TEST(LxCursor, CharacterCutShortByTheEnd) {
    Env env("AMERICAN.AL32UTF8");
    struct Case {
        const char *text;
        uint32_t len;
        int part;
    } cases[] = {
        {"\xE2\x82", 2, 1}, {"\xF0\x9F\x98", 3, 1}, {"\xC3", 1, 1}, {"\xE2\x82\xAC", 3, 0},
        {"\xED\xA0", 2, 0}, {"\xF4\x90", 2, 0},     {"\x80", 1, 0}, {"a", 1, 0},
        {"\xE0\x80", 2, 0}, {"\xF0\x90", 2, 1},
    };
    for (const Case &k : cases) {
        lxcur c;
        lxcopen(&c, k.text, k.len, &env.w);
        EXPECT_EQ(lxcpart(&c), k.part) << k.text;
        EXPECT_EQ(lxcshift(&c), 0);
    }
    Env latin1("AMERICAN.WE8ISO8859P1");
    lxcur c;
    lxcopen(&c, "\xC3", 1, &latin1.w);
    EXPECT_EQ(lxcpart(&c), 0);
    EXPECT_EQ(lxcchar(&c), 0xC3u);
}

TEST(LxCursor, ClassesAndCaseInEverySet) {
    struct Case {
        const char *set;
        const char *text;  // one character in the set
        uint32_t cls, upper, lower;
    };
    const uint32_t up = LXC_UPPER | LXC_ALPHA, low = LXC_LOWER | LXC_ALPHA;
    const Case cases[] = {
        {"US7ASCII", "a", low, 'A', 'a'},
        {"US7ASCII", "7", LXC_DIGIT, '7', '7'},
        {"US7ASCII", "\t", LXC_SPACE, '\t', '\t'},
        {"US7ASCII", "\xE9", 0, 0xE9, 0xE9},
        {"WE8ISO8859P1", "\xE9", low, 0xC9, 0xE9},
        {"WE8ISO8859P1", "\xDF", low, 0xDF, 0xDF},
        {"WE8ISO8859P1", "\xFF", low, 0xFF, 0xFF},
        {"WE8ISO8859P1", "\xD7", 0, 0xD7, 0xD7},
        {"AL32UTF8", "\xC3\xA9", low, 0xC9, 0xE9},
        {"AL32UTF8", "\xC3\xBF", low, 0x178, 0xFF},
        {"AL32UTF8", "\xC5\x92", up, 0x152, 0x153},
        {"AL32UTF8", "\xE2\x82\xAC", 0, 0x20AC, 0x20AC},
        {"WE8EBCDIC", "\x81", low, 0xC1, 0x81},
        {"WE8EBCDIC", "\xF5", LXC_DIGIT, 0xF5, 0xF5},
        {"WE8EBCDIC", "\x40", LXC_SPACE, 0x40, 0x40},
    };
    for (const Case &k : cases) {
        Env env(std::string("AMERICAN.") + k.set);
        lxcur c;
        lxcopen(&c, k.text, static_cast<uint32_t>(std::strlen(k.text)), &env.w);
        EXPECT_EQ(lxcclass(&c), k.cls) << k.set << " " << k.text;
        EXPECT_EQ(lxcupper(&c), k.upper) << k.set << " " << k.text;
        EXPECT_EQ(lxclower(&c), k.lower) << k.set << " " << k.text;
    }
}

TEST(LxCursor, Compare) {
    Env env("GERMAN.AL32UTF8");
    lxcur c;
    const char text[] = "M\xC3\x84RZ 1995";
    lxcopen(&c, text, LXNUL, &env.w);
    EXPECT_EQ(c.len, std::strlen(text));
    EXPECT_EQ(lxccmp(&c, "M\xC3\x84R", 4, 0), 0);
    EXPECT_NE(lxccmp(&c, "m\xC3\xA4r", 4, 0), 0);
    EXPECT_EQ(lxccmp(&c, "m\xC3\xA4r", 4, LXCMP_NOCASE), 0);
    EXPECT_EQ(lxccmp(&c, "m\xC3\xA4rz 1995", 10, LXCMP_NOCASE), 0);
    EXPECT_NE(lxccmp(&c, "m\xC3\xA4rz 19955", 11, LXCMP_NOCASE), 0);  // runs past the text
    EXPECT_NE(lxccmp(&c, "maerz", 5, LXCMP_NOCASE), 0);
    EXPECT_EQ(lxccmp(&c, "", 0, 0), 0);
    EXPECT_NE(lxccmp(&c, nullptr, 3, 0), 0);
    lxcopen(&c, "\xC3(", 2, &env.w);  // an invalid byte matches only itself
    EXPECT_EQ(lxccmp(&c, "\xC3(", 2, LXCMP_NOCASE), 0);
    EXPECT_NE(lxccmp(&c, "\xC4(", 2, LXCMP_NOCASE), 0);
}

TEST(LxCursor, BadCursorsAndEmptyTexts) {
    Env env("AMERICAN");
    EXPECT_EQ(lxcopen(nullptr, "a", 1, &env.w), LXS_BADARG);
    lxcur c;
    EXPECT_EQ(lxcopen(&c, nullptr, 5, &env.w), LXS_BADARG);
    EXPECT_EQ(lxcend(&c), 1);
    EXPECT_EQ(lxcnext(&c), 0u);
    EXPECT_EQ(lxcopen(&c, "abc", 3, nullptr), LXS_BADARG);
    EXPECT_EQ(lxccount(&c), 0u);
    lxwork unbound{};
    EXPECT_EQ(lxcopen(&c, "abc", 3, &unbound), LXS_BADARG);
    EXPECT_EQ(lxcopen(&c, nullptr, 0, &env.w), LXS_OK);
    EXPECT_EQ(lxcend(&c), 1);
    EXPECT_EQ(lxcclass(&c), 0u);
    EXPECT_EQ(lxcupper(&c), LXCH_END);
    EXPECT_EQ(lxcbytes(&c, 3), 0u);
    for (const lxcur *null_cursor : {static_cast<const lxcur *>(nullptr)}) {
        EXPECT_EQ(lxcend(null_cursor), 1);
        EXPECT_EQ(lxcchar(null_cursor), LXCH_END);
        EXPECT_EQ(lxccount(null_cursor), 0u);
        EXPECT_EQ(lxcclass(null_cursor), 0u);
    }
    // A NUL-terminated text is read up to its NUL.
    lxcopen(&c, "ab\0cd", LXNUL, &env.w);
    EXPECT_EQ(lxccount(&c), 2u);
    Env latin1("AMERICAN.WE8ISO8859P1");
    lxcopen(&c, "h\xE9llo", 5, &latin1.w);
    EXPECT_EQ(lxccount(&c), 5u);
    EXPECT_EQ(lxcbytes(&c, 3), 3u);
    EXPECT_EQ(lxcbytes(&c, 30), 5u);
}

}  // namespace
