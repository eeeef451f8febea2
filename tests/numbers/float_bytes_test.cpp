// Stored numbers made from doubles must never change: the bytes lnxren gives
// for a few million fixed doubles and floats, over the whole range and in
// both output forms, are folded into one hash recorded here. Any change to
// the conversion that alters a single byte of any of them fails this test.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "lnx.h"

namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037u;
constexpr uint64_t kFnvPrime = 1099511628211u;

uint64_t fold(uint64_t h, const uint8_t *p, size_t n) {
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * kFnvPrime;
    return h;
}

double from_bits(uint64_t bits) {
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

// Drawn from the generator's raw bits only (no library distributions), so
// the same doubles come out everywhere.
double draw(std::mt19937_64 &rng, uint64_t family) {
    static constexpr std::array<double, 10> kTens{1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const uint64_t r = rng();
    const double sign = (r & 1) != 0 ? -1.0 : 1.0;
    const auto mantissa = static_cast<double>((rng() >> 11) | (uint64_t{1} << 52));
    switch (family) {
        case 0:  // any bit pattern: NaNs, infinities, subnormals, both signs
            return from_bits(rng());
        case 1:  // full mantissas, about 1e-9 to 1e12
            return sign * std::ldexp(mantissa, static_cast<int>((r >> 1) % 71) - 82);
        case 2:  // full mantissas over the whole range, subnormals included
            return sign * std::ldexp(mantissa, static_cast<int>((r >> 1) % 2099) - 1127);
        case 3:  // short decimals as people write them: 12.5, 0.001, 3.14159
            return sign * static_cast<double>((r >> 1) % 10000000) / kTens[(r >> 40) % 10];
        case 4:  // whole numbers up to 2^63
            return sign * static_cast<double>(rng() >> ((r >> 1) % 64));
        default:  // near powers of ten, a few units in the last place away
            return sign *
                   (std::pow(10.0, static_cast<int>((r >> 1) % 640) - 320) +
                    std::ldexp(static_cast<double>(static_cast<int>((r >> 12) % 9) - 4), -52) *
                        std::pow(10.0, static_cast<int>((r >> 1) % 640) - 320));
    }
}

TEST(FloatBytes, ThreeMillionConversionsKeepTheirBytes) {
    std::mt19937_64 rng(61207);
    uint64_t h = kFnvOffset;
    for (uint64_t n = 0; n < 3000000; ++n) {
        const double d = draw(rng, n % 6);
        uint8_t out[LNXBUFLEN + 8];
        std::memset(out, 0xEE, sizeof out);
        uint32_t len = 0;
        // Every third value as a float; every other one in the counted form.
        const bool counted = (n & 1) != 0;
        if (n % 3 == 2) {
            const auto f = static_cast<float>(d);
            lnxren(&f, 4, out, counted ? nullptr : &len);
        } else {
            lnxren(&d, 8, out, counted ? nullptr : &len);
        }
        const size_t n_bytes = counted ? size_t{out[0]} + 1 : len;
        ASSERT_LE(n_bytes, size_t{LNXBUFLEN}) << d;
        for (size_t i = LNXBUFLEN; i < sizeof out; ++i) ASSERT_EQ(out[i], 0xEE) << d;
        h = fold(h, out, n_bytes);
        const auto length = static_cast<uint8_t>(n_bytes);
        h = fold(h, &length, 1);
    }
    EXPECT_EQ(h, 0xeb629b0f015052f9u) << std::hex << h;
}

}  // namespace
