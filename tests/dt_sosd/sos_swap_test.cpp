// The byte exchange of the OS layer, overlapping buffers included.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "sosd.h"

namespace {

void reference_swap(unsigned char *a, unsigned char *b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const unsigned char t = a[i];
        a[i] = b[i];
        b[i] = t;
    }
}

TEST(ByteSwap, ZeroCountChangesNothing) {
    unsigned char a[4] = {1, 2, 3, 4}, b[4] = {5, 6, 7, 8};
    slcswap(a, b, 0);
    EXPECT_EQ(a[0], 1);
    EXPECT_EQ(b[0], 5);
    slcswap(nullptr, nullptr, 0);
}

TEST(ByteSwap, SeparateBuffers) {
    std::mt19937 rng(31);
    for (size_t n = 0; n < 70; ++n) {
        std::vector<unsigned char> a(n), b(n);
        for (auto &c : a) c = static_cast<unsigned char>(rng());
        for (auto &c : b) c = static_cast<unsigned char>(rng());
        auto a2 = a, b2 = b;
        slcswap(a.data(), b.data(), static_cast<uint32_t>(n));
        EXPECT_EQ(a, b2);
        EXPECT_EQ(b, a2);
    }
}

TEST(ByteSwap, OverlappingBuffersWalkUpByteByByte) {
    std::mt19937 rng(32);
    for (size_t distance = 0; distance < 20; ++distance) {
        for (size_t n = 0; n < 45; ++n) {
            for (bool a_first : {true, false}) {
                std::vector<unsigned char> buf(n + distance + 1), expect;
                for (auto &c : buf) c = static_cast<unsigned char>(rng());
                expect = buf;
                unsigned char *a = buf.data() + (a_first ? 0 : distance);
                unsigned char *b = buf.data() + (a_first ? distance : 0);
                reference_swap(expect.data() + (a - buf.data()), expect.data() + (b - buf.data()),
                               n);
                slcswap(a, b, static_cast<uint32_t>(n));
                ASSERT_EQ(buf, expect) << distance << " " << n;
            }
        }
    }
}

}  // namespace
