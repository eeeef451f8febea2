// The word-sized path for whole numbers below 10^12: what it writes is the
// exact value's encoding, what it reads is what the general decoder reads,
// and it declines (leaving the number to the general code) every byte
// string that is not a well-formed whole number of its range. Sums and
// conversions to machine integers and floating point that take it are
// checked against exact integers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "lnx.h"
#include "num_oracle.hpp"
#include "numbers/number.hpp"
#include "numbers/whole.hpp"

namespace {

using namespace numtest;
namespace num = tavo::num;

Num exact_integer(int64_t v) {
    return exact_num(mpq_class(mpz_class(std::to_string(v))));
}

Num bytes_of(uint64_t w, int n) {
    Num r;
    for (int i = 0; i < n; ++i) r.b[i] = static_cast<uint8_t>(w >> (8 * i));
    r.len = n;
    return r;
}

// A whole number below 10^12 in magnitude: every length of 1 to 12 decimal
// digits alike, trailing zeros often, either sign.
int64_t random_whole(Gen &g) {
    const int digits = g.uniform(1, 12);
    int64_t v = g.uniform(1, 9);
    for (int i = 1; i < digits; ++i) v = v * 10 + (g.chance(0.3) ? 0 : g.uniform(0, 9));
    return g.chance(0.5) ? -v : v;
}

TEST(WholeNumbers, EncodeAndReadBack) {
    Gen g(0x3E1);
    std::vector<int64_t> values;
    for (int64_t v = 1; v <= 100000; ++v) values.insert(values.end(), {v, -v});
    for (int64_t v : {999999999999LL, 100000000000LL, 990000000000LL, 999999999900LL})
        values.insert(values.end(), {v, -v});
    for (int i = 0; i < 200000; ++i) values.push_back(random_whole(g));
    for (const int64_t v : values) {
        uint64_t w;
        const uint64_t mag = v < 0 ? static_cast<uint64_t>(-v) : static_cast<uint64_t>(v);
        const int n = num::whole::encode(v < 0, mag, w);
        const Num got = bytes_of(w, n);
        ASSERT_EQ(got, exact_integer(v)) << v;
        int64_t back = 0;
        ASSERT_TRUE(num::whole::read({got.b.data(), static_cast<size_t>(n)}, back)) << v;
        ASSERT_EQ(back, v);
    }
}

// Across the whole 32-bit range (a stride prime to every power of ten):
// the bytes, read back digit by digit, are the value, normalised.
TEST(WholeNumbers, EncodesTheMachineIntegerRange) {
    for (uint64_t mag = 1; mag <= 0xFFFFFFFF; mag += 4093) {
        for (const bool negative : {false, true}) {
            uint64_t w;
            const int n = num::whole::encode(negative, mag, w);
            const int count = n - (negative ? 2 : 1);
            const auto head = static_cast<uint8_t>(w);
            const int exp = negative ? 0x3E - head : head - 0xC1;
            uint64_t back = 0;
            for (int i = 1; i <= count; ++i) {
                const auto b = static_cast<uint8_t>(w >> (8 * i));
                back = back * 100 + static_cast<uint64_t>(negative ? 101 - b : b - 1);
            }
            for (int i = count; i <= exp; ++i) back *= 100;
            const auto last = static_cast<uint8_t>(w >> (8 * count));
            ASSERT_EQ(back, mag) << negative;
            ASSERT_NE(last, negative ? 101 : 1) << mag;  // no trailing zero digit
            if (negative) {
                ASSERT_EQ(static_cast<uint8_t>(w >> (8 * (n - 1))), 102) << mag;
            }
        }
    }
}

TEST(WholeNumbers, WritesBothFormsAndNothingMore) {
    Gen g(0x3E2);
    for (int i = 0; i < 20000; ++i) {
        const int64_t v = random_whole(g);
        const uint64_t mag = v < 0 ? static_cast<uint64_t>(-v) : static_cast<uint64_t>(v);
        uint8_t out[32];
        std::fill(std::begin(out), std::end(out), 0xA5);
        uint32_t len = 0;
        const bool counted = g.chance(0.5);
        num::whole::emit(v < 0, mag, out, counted ? &len : nullptr);
        const Num got = result(out, counted ? &len : nullptr);
        ASSERT_EQ(got, exact_integer(v)) << v;
        const int used = counted ? got.len : got.len + 1;
        for (int k = used; k < 32; ++k) ASSERT_EQ(out[k], 0xA5) << v << " byte " << k;
    }
}

// The general decoder's value of a finite number whose digits end before
// the point, or false.
bool general_whole(const Num &n, int64_t &v) {
    const num::Unpacked u = num::decode({n.b.data(), static_cast<size_t>(n.len)});
    if (!u.is_finite() || u.exp < 0 || u.exp > 5 || u.count > u.exp + 1) return false;
    v = 0;
    for (int i = 0; i <= u.exp; ++i) v = v * 100 + (i < u.count ? u.digit[i] : 0);
    if (u.negative) v = -v;
    return true;
}

// Byte strings near well-formed whole numbers: exponent bytes of both signs
// around the range, digit bytes anywhere from 0 to 102 with weight on the
// ends of the valid ranges, terminators present or not.
Num near_whole(Gen &g) {
    Num n;
    n.len = g.uniform(1, 9);
    const bool negative = g.chance(0.5);
    n.b[0] = static_cast<uint8_t>(negative ? 0x3E - g.uniform(-2, 7) : 0xC1 + g.uniform(-2, 7));
    static constexpr uint8_t kEdges[] = {0, 1, 2, 3, 50, 99, 100, 101, 102, 103, 200, 255};
    for (int i = 1; i < n.len; ++i)
        n.b[i] = g.chance(0.4) ? kEdges[g.uniform(0, 11)] : static_cast<uint8_t>(g.uniform(2, 100));
    if (negative && n.len > 1 && g.chance(0.7)) n.b[n.len - 1] = 102;
    return n;
}

// What a reader accepts is canonical and reads as the general decoder
// reads it.
void expect_well_formed(const Num &n, int64_t read) {
    ASSERT_EQ(lnxchk(n.b.data(), n.len), 1) << n;
    int64_t general = 0;
    ASSERT_TRUE(general_whole(n, general)) << n;
    ASSERT_EQ(read, general) << n;
    ASSERT_EQ(n, exact_integer(read)) << n;
}

TEST(WholeNumbers, ReadsOnlyWellFormedWholeNumbers) {
    Gen g(0x3E3);
    int accepted = 0, accepted_short = 0;
    for (int i = 0; i < 400000; ++i) {
        const Num n = near_whole(g);
        const std::span<const uint8_t> bytes{n.b.data(), static_cast<size_t>(n.len)};
        if (int64_t v = 0; num::whole::read(bytes, v)) {
            ++accepted;
            expect_well_formed(n, v);
        }
        if (int32_t v = 0; num::whole::read_short(bytes, v)) {
            ++accepted_short;
            expect_well_formed(n, v);
            ASSERT_LT(std::abs(v), 10000) << n;
        }
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(accepted, 20000);
    EXPECT_GT(accepted_short, 5000);
}

TEST(WholeNumbers, SumsAndConversions) {
    Gen g(0x3E4);
    for (int i = 0; i < 100000; ++i) {
        const int64_t x = random_whole(g), y = random_whole(g);
        const Num a = exact_integer(x), b = exact_integer(y);
        uint8_t out[LNXBUFLEN];
        uint32_t len = 0;
        lnxadd(a.b.data(), a.len, b.b.data(), b.len, out, &len);
        ASSERT_EQ(result(out, &len), exact_integer(x + y)) << x << " + " << y;
        lnxsub(a.b.data(), a.len, b.b.data(), b.len, out, nullptr);
        ASSERT_EQ(result(out, nullptr), exact_integer(x - y)) << x << " - " << y;
        // To a 4-byte integer: exact within range, the clamp beyond.
        int32_t stored = 0;
        const int32_t rc = lnxsni(a.b.data(), a.len, &stored, 4, LNXSNI_SIGNED);
        if (x >= -INT32_MAX && x <= INT32_MAX) {
            ASSERT_EQ(rc, 0) << x;
            ASSERT_EQ(stored, x);
        } else {
            ASSERT_EQ(rc, 1) << x;
            ASSERT_EQ(stored, x < 0 ? INT32_MIN : INT32_MAX) << x;
        }
        // To floating point: exact, as every step of the scaled digits is.
        double d = 0;
        lnxnur(a.b.data(), a.len, &d, 8);
        ASSERT_EQ(d, static_cast<double>(x)) << x;
        float f = 0;
        lnxnur(a.b.data(), a.len, &f, 4);
        ASSERT_EQ(f, static_cast<float>(static_cast<double>(x))) << x;
        // Without the clamp the low 32 bits are kept.
        uint32_t low = 0;
        lnxsni(a.b.data(), a.len, &low, 4, LNXSNI_UNSIGNED | LNXSNI_NOCLAMP);
        if (x >= 0) {
            ASSERT_EQ(low, static_cast<uint32_t>(x)) << x;
        }
    }
}

}  // namespace
