// Integers and text, fixed-width hexadecimal, exponent notation, sorting,
// primes, the version string and byte comparison.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "lmx.h"

namespace {

std::string to_text(int32_t value, int32_t base) {
    char buf[LMX42BMAX + 8];
    std::memset(buf, '?', sizeof buf);
    const int32_t n = lmx42b(buf, value, base);
    EXPECT_LE(n, LMX42BMAX);
    EXPECT_EQ(buf[n], '?') << "wrote past its count";
    return std::string(buf, static_cast<size_t>(n));
}

struct Read {
    int32_t consumed;
    int32_t value;
    bool operator==(const Read &) const = default;
};

Read from_text(const std::string &s, int32_t base) {
    // An exact-size copy: reading past the length is caught by the sanitizer.
    std::vector<char> text(s.begin(), s.end());
    int32_t value = 12345;
    const int32_t n = lmxb24(text.data(), static_cast<uint32_t>(text.size()), &value, base);
    return {n, value};
}

// ---- lmx42b ------------------------------------------------------------------

TEST(IntegerToText, EdgeCases) {
    const std::string all_ones(32, '1');
    struct Case {
        int32_t value, base;
        const char *text;
    } cases[] = {
        {255, 16, "ff"},
        {-255, -16, "-ff"},
        {-1, 16, "ffffffff"},
        {0, 0, "0"},
        {0, 2, "0"},
        {-1, 2, all_ones.c_str()},
        {INT32_MIN, 0, "-2147483648"},
        {INT32_MIN, 10, "2147483648"},
        {INT32_MAX, -36, "zik0zj"},
        {35, 36, "z"},
        {-123456, -36, "-2n9c"},
        {7, -1, ""},
        {7, 1, ""},
        {7, 37, ""},
        {7, -37, ""},
        {7, INT32_MIN, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " base " + std::to_string(c.base));
        EXPECT_EQ(to_text(c.value, c.base), std::string(c.text));
    }
}

TEST(IntegerToText, MatchesSnprintfInItsBases) {
    std::mt19937 rng(1);
    std::vector<int32_t> values = {0, 1, -1, INT32_MIN, INT32_MAX, 10, -10};
    for (int i = 0; i < 20000; ++i) values.push_back(static_cast<int32_t>(rng()) >> (rng() % 32));
    for (int32_t v : values) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%d", v);
        ASSERT_EQ(to_text(v, -10), buf);
        ASSERT_EQ(to_text(v, 0), buf);
        std::snprintf(buf, sizeof buf, "%u", static_cast<uint32_t>(v));
        ASSERT_EQ(to_text(v, 10), buf);
        std::snprintf(buf, sizeof buf, "%x", static_cast<uint32_t>(v));
        ASSERT_EQ(to_text(v, 16), buf);
        std::snprintf(buf, sizeof buf, "%o", static_cast<uint32_t>(v));
        ASSERT_EQ(to_text(v, 8), buf);
    }
}

TEST(IntegerToText, ReadsBackWithStrtolInEveryBase) {
    std::mt19937 rng(2);
    for (int32_t base = 2; base <= 36; ++base) {
        for (int i = 0; i < 2000; ++i) {
            const auto v = static_cast<int32_t>(rng()) >> (rng() % 32);
            const std::string u = to_text(v, base);
            ASSERT_EQ(std::strtoul(u.c_str(), nullptr, base), static_cast<uint32_t>(v));
            const std::string s = to_text(v, -base);
            ASSERT_EQ(std::strtol(s.c_str(), nullptr, base), v);
            ASSERT_EQ(s.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
            char w[LMX42BMAX];
            ASSERT_EQ(lmxw2b(w, v, -base), static_cast<int32_t>(s.size()));
            ASSERT_EQ(std::string(w, s.size()), s);
        }
    }
}

// ---- lmx42h --------------------------------------------------------------------

TEST(FixedHex, WritesExactlyNDigits) {
    char buf[16];
    std::memset(buf, '?', sizeof buf);
    EXPECT_EQ(lmx42h(buf, 0x1A2B, 6), 6u);
    EXPECT_EQ(std::string(buf, 7), "001A2B?");
    std::memset(buf, '?', sizeof buf);
    EXPECT_EQ(lmx42h(buf, 0x1A2B, 0), 0u);
    EXPECT_EQ(buf[0], '?');
    EXPECT_EQ(lmx42h(buf, 0xDEADBEEF, 2), 2u);
    EXPECT_EQ(std::string(buf, 2), "EF");
    EXPECT_EQ(lmx42h(buf, 0xDEADBEEF, 10), 10u);
    EXPECT_EQ(std::string(buf, 10), "00DEADBEEF");
    std::mt19937 rng(3);
    for (int i = 0; i < 1000; ++i) {
        const auto v = static_cast<uint32_t>(rng());
        char expect[9];
        std::snprintf(expect, sizeof expect, "%08X", v);
        lmx42h(buf, v, 8);
        ASSERT_EQ(std::string(buf, 8), expect);
    }
}

// ---- lmxb24 --------------------------------------------------------------------

TEST(TextToInteger, EdgeCases) {
    EXPECT_EQ(from_text(" -0x1F", 16), (Read{6, -31}));
    EXPECT_EQ(from_text("12z", 10), (Read{2, 12}));
    EXPECT_EQ(from_text("xyz", 10), (Read{0, 0}));
    EXPECT_EQ(from_text("", 10), (Read{0, 0}));
    EXPECT_EQ(from_text("   ", 10), (Read{0, 0}));
    EXPECT_EQ(from_text("-", 10), (Read{0, 0}));
    EXPECT_EQ(from_text("+7", 0), (Read{2, 7}));
    EXPECT_EQ(from_text("0x", 16), (Read{0, 0}));  // the prefix is taken, no digit follows
    EXPECT_EQ(from_text("0", 16), (Read{1, 0}));
    EXPECT_EQ(from_text("0x1", 10), (Read{1, 0}));
    EXPECT_EQ(from_text("Zz", 36), (Read{2, 35 * 36 + 35}));
    EXPECT_EQ(from_text("4294967296", 10), (Read{10, 0}));  // wraps modulo 2^32
    EXPECT_EQ(from_text("4294967295", 10), (Read{10, -1}));
    EXPECT_EQ(from_text("-2147483648", 10), (Read{11, INT32_MIN}));
    EXPECT_EQ(from_text("77", -8), (Read{0, 0}));  // no digit is below a negative base
    EXPECT_EQ(from_text("0001", 1), (Read{3, 0}));
    // The length bounds the text, not a NUL.
    int32_t v = 0;
    EXPECT_EQ(lmxb24("123456", 3, &v, 10), 3);
    EXPECT_EQ(v, 123);
    EXPECT_EQ(lmxb24("99", 2, nullptr, 10), 2);
    EXPECT_EQ(lmxb24(nullptr, 0, &v, 10), 0);
    EXPECT_EQ(lmxb2w(" 42", 3, &v, 0), 3);
    EXPECT_EQ(v, 42);
}

TEST(TextToInteger, MatchesStrtoullInEveryBase) {
    std::mt19937 rng(4);
    const std::string spaces = " \t\n\v\f\r";
    const std::string digits = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int32_t base = 2; base <= 36; ++base) {
        for (int i = 0; i < 1500; ++i) {
            std::string s;
            for (unsigned k = rng() % 3; k > 0; --k) s += spaces[rng() % spaces.size()];
            if (const unsigned sign = rng() % 3; sign != 0) s += sign == 1 ? '-' : '+';
            if (base == 16 && rng() % 2) s += rng() % 2 ? "0x" : "0X";
            // At most 12 digits: below 2^64 in any base, so strtoull is exact.
            for (unsigned k = 1 + rng() % 12; k > 0; --k) {
                char d = digits[rng() % static_cast<unsigned>(base)];
                if (rng() % 2) d = static_cast<char>(std::toupper(static_cast<unsigned char>(d)));
                s += d;
            }
            if (rng() % 2) s += "#~!"[rng() % 3];
            char *end = nullptr;
            const unsigned long long expect = std::strtoull(s.c_str(), &end, base);
            const Read got = from_text(s, base);
            ASSERT_EQ(got.consumed, end - s.c_str()) << s << " base " << base;
            ASSERT_EQ(static_cast<uint32_t>(got.value), static_cast<uint32_t>(expect))
                << s << " base " << base;
        }
    }
}

TEST(TextToInteger, SkipsMultibyteWhiteSpaceInAMultibyteLocale) {
    const std::string saved = std::setlocale(LC_CTYPE, nullptr);
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8 locale";
    // An ideographic space (3 bytes) and a blank before the digits.
    const std::string text = "\xE3\x80\x80 -42";
    const Read got = from_text(text, 10);
    // A truncated multibyte character is not white space.
    const Read cut = from_text(std::string("\xE3\x80"), 10);
    std::setlocale(LC_CTYPE, saved.c_str());
    EXPECT_EQ(got, (Read{7, -42}));
    EXPECT_EQ(cut, (Read{0, 0}));
}

// ---- lmxd2e ----------------------------------------------------------------------

TEST(ExponentText, PrintsLikePrintfWithClampedPrecision) {
    struct Case {
        double value;
        int32_t a, b;
        int precision;
    } cases[] = {
        {3.14159, 1, 3, 3}, {-1.5e-300, 2, 2, 3}, {1e300, 10, 10, 14}, {0.0, 1, 1, 1},
        {123.0, 0, 0, 0},   {42.0, -5, 1, 0},     {-0.0, 8, 7, 14},    {2.5, INT32_MAX, 10, 14},
    };
    for (const Case &c : cases) {
        char expect[64], got[LMXD2EMAX + 4];
        std::snprintf(expect, sizeof expect, "%.*e", c.precision, c.value);
        std::memset(got, '?', sizeof got);
        const int32_t n = lmxd2e(got, c.value, c.a, c.b);
        EXPECT_STREQ(got, expect);
        EXPECT_EQ(n, static_cast<int32_t>(std::strlen(expect)));
        EXPECT_LT(n, LMXD2EMAX);
    }
    char buf[LMXD2EMAX];
    lmxd2e(buf, -1.2345678901234567e-308, 10, 10);
    EXPECT_STREQ(buf, "-1.23456789012346e-308");
}

// ---- Sorting ----------------------------------------------------------------------

int compare_bytes_of_size(void *context, const void *a, const void *b) {
    return std::memcmp(a, b, *static_cast<size_t *>(context));
}

int compare_ints(const void *a, const void *b) {
    int x, y;
    std::memcpy(&x, a, sizeof x);
    std::memcpy(&y, b, sizeof y);
    return (x > y) - (x < y);
}

TEST(HeapSort, SortsLikeStdSortForManyElementSizes) {
    std::mt19937 rng(6);
    for (size_t size : {1u, 2u, 3u, 4u, 7u, 8u, 12u, 16u, 33u}) {
        for (int trial = 0; trial < 60; ++trial) {
            const size_t count = rng() % 300;
            std::vector<unsigned char> data(count * size);
            // A small alphabet makes equal elements common.
            for (auto &b : data) b = static_cast<unsigned char>(rng() % (trial % 2 ? 3 : 256));
            std::vector<std::string> expect;
            for (size_t i = 0; i < count; ++i)
                expect.emplace_back(reinterpret_cast<char *>(&data[i * size]), size);
            std::sort(expect.begin(), expect.end(), [](const std::string &x, const std::string &y) {
                return std::memcmp(x.data(), y.data(), x.size()) < 0;
            });
            size_t context = size;
            lmxsrx(data.data(), static_cast<uint32_t>(count), static_cast<uint32_t>(size),
                   compare_bytes_of_size, &context);
            for (size_t i = 0; i < count; ++i)
                ASSERT_EQ(std::memcmp(&data[i * size], expect[i].data(), size), 0)
                    << "size " << size << " count " << count << " at " << i;
        }
    }
}

TEST(HeapSort, IntegersWithAQsortComparison) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 50; ++trial) {
        std::vector<int> v(rng() % 2000);
        for (int &x : v) x = static_cast<int>(rng()) % (trial % 3 ? 1000000 : 10);
        std::vector<int> expect = v;
        std::sort(expect.begin(), expect.end());
        lmxsrt(v.data(), static_cast<uint32_t>(v.size()), sizeof(int), compare_ints);
        ASSERT_EQ(v, expect);
    }
}

TEST(HeapSort, FewElementsOrNoComparisonLeaveTheArray) {
    int one[1] = {5};
    lmxsrt(one, 1, sizeof(int), compare_ints);
    lmxsrt(nullptr, 0, sizeof(int), compare_ints);
    int two[2] = {2, 1};
    lmxsrt(two, 2, sizeof(int), nullptr);
    EXPECT_EQ(two[0], 2);
    lmxsrx(two, 2, sizeof(int), nullptr, nullptr);
    EXPECT_EQ(two[0], 2);
    lmxsrt(two, 2, sizeof(int), compare_ints);
    EXPECT_EQ(two[0], 1);
}

// ---- Primes -----------------------------------------------------------------------

TEST(NextPrime, MatchesASieveUpToOneMillion) {
    constexpr uint32_t kLimit = 1000000;
    std::vector<bool> composite(kLimit + 100, false);
    for (uint32_t i = 2; i * i < composite.size(); ++i)
        if (!composite[i])
            for (uint32_t j = i * i; j < composite.size(); j += i) composite[j] = true;
    // Every odd prime is its own answer, and the (even) value after each
    // prime leads to the next one.
    uint32_t previous = 3;
    for (uint32_t p = 5; p < composite.size(); p += 2) {
        if (composite[p]) continue;
        ASSERT_EQ(lmxprim(p), p);
        ASSERT_EQ(lmxprim(previous + 1), p) << previous;
        previous = p;
        if (p > kLimit) break;
    }
    std::mt19937 rng(8);
    for (int i = 0; i < 20000; ++i) {
        uint32_t v = rng() % kLimit + 3;
        uint32_t expect = v;
        while (composite[expect] || expect % 2 == 0) ++expect;
        ASSERT_EQ(lmxprim(v), expect) << v;
    }
}

TEST(NextPrime, EdgeCases) {
    EXPECT_EQ(lmxprim(0), 3u);
    EXPECT_EQ(lmxprim(2), 3u);
    EXPECT_EQ(lmxprim(3), 3u);
    EXPECT_EQ(lmxprim(4), 5u);
    EXPECT_EQ(lmxprim(9), 11u);
    EXPECT_EQ(lmxprim(24), 29u);
    EXPECT_EQ(lmxprim(65521), 65521u);             // the largest prime below 2^16
    EXPECT_EQ(lmxprim(4294967280u), 4294967291u);  // the largest below 2^32
    EXPECT_EQ(lmxprim(4294967291u), 4294967291u);
    EXPECT_EQ(lmxprim(4294967292u), 0u);  // no 32-bit prime left
    EXPECT_EQ(lmxprim(4294967295u), 0u);
    EXPECT_EQ(lmxprim(4294836225u), 4294836241u);  // 65535^2 is not prime
}

// ---- Version, clear, compare --------------------------------------------------------

TEST(Version, NeedsThirtySixBytes) {
    char buf[40];
    std::memset(buf, '?', sizeof buf);
    EXPECT_EQ(lmxver(buf, 35), 0);
    EXPECT_EQ(buf[0], '?');
    EXPECT_EQ(lmxver(buf, 36), 36);
    EXPECT_STREQ(buf, "TAVO Version 3.4.2.2.2 - Production");
    EXPECT_EQ(buf[36], '?');
    EXPECT_EQ(lmxver(nullptr, 100), 0);
}

TEST(Clear, ZeroesExactlyNBytes) {
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    lmxclr(buf + 1, 5);
    EXPECT_EQ(std::string(buf, 8), std::string("x\0\0\0\0\0xx", 8));
    lmxclr(nullptr, 0);
}

TEST(ByteCompare, EdgeCases) {
    EXPECT_EQ(lmxcmp("ab", 2, "abc", 3), -3);
    EXPECT_EQ(lmxcmp("abd", 3, "abc", 3), 3);
    EXPECT_EQ(lmxcmp("abc", 3, "abc", 3), 0);
    EXPECT_EQ(lmxcmp("\xFF", 1, "a", 1), 1);
}

}  // namespace
