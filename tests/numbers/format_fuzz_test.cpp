// Any bytes at all: random model texts, records, numbers and texts to read
// go through every format function; each writes only within its width or
// its 22-byte result (the buffers are exactly that large, for the address
// sanitizer to watch) and gives the failure value rather than a crash.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "lnx.h"
#include "lx.h"
#include "num_oracle.hpp"

using namespace numtest;

namespace {

const lxlinfo *handle(int k) {
    static const auto handles = [] {
        std::vector<lxlinfo> v(4);
        lxlfill(&v[0], "AMERICAN", 0);
        lxlfill(&v[1], "GERMAN_GERMANY.AL32UTF8", 0);
        lxlfill(&v[2], "FRENCH_FRANCE.WE8EBCDIC", 0);
        lxlfill(&v[3], "SPANISH_SPAIN.WE8ISO8859P1", 0);
        return v;
    }();
    return k < 0 ? nullptr : &handles[static_cast<size_t>(k % 4)];
}

std::string random_model(Gen &g) {
    static const char *const parts[] = {"9",  "0",  "5",    ",",    ".",  "G",  "D",  "V", "$",
                                        "C",  "L",  "B",    "EEEE", "MI", "PR", "PT", "S", "FM",
                                        "RN", "rn", "date", "e",    "9",  "9",  "0",  "g", "d"};
    std::string m;
    const int n = g.uniform(0, 12);
    for (int i = 0; i < n; ++i) {
        if (g.chance(0.05))
            m += static_cast<char>(g.uniform(0, 255));
        else
            m += parts[g.uniform(0, std::size(parts) - 1)];
    }
    return m;
}

// Random bytes for a number, sometimes a valid number.
Num random_number(Gen &g) {
    if (g.chance(0.7)) return g.number(0.1);
    Num n;
    n.len = g.uniform(1, 21);
    for (int i = 0; i < n.len; ++i) n.b[static_cast<size_t>(i)] = static_cast<uint8_t>(g.bits());
    return n;
}

// The output of a print into a buffer of exactly width bytes.
uint32_t print_exact(const Num &n, const lnxfmt &pf, const lxlinfo *lang) {
    const size_t room = pf.width > 64 ? 64 : pf.width;
    std::unique_ptr<char[]> out(new char[room == 0 ? 1 : room]);
    const uint32_t len = lnxnft(n.b.data(), n.len, &pf, out.get(), lang);
    EXPECT_LE(len, room);
    return len;
}

TEST(FormatFuzz, ModelsAndValues) {
    Gen g(111);
    for (int i = 0; i < 20000; ++i) {
        const std::string model = random_model(g);
        const lxlinfo *lang = handle(g.uniform(-1, 3));
        lnxfmt pf;
        const int32_t rc = lnxpfl(model.data(), static_cast<uint32_t>(model.size()), &pf, lang);
        ASSERT_TRUE(rc == 0 || rc == 1);
        if (rc == 1) {
            ASSERT_EQ(pf.width, 10);
            ASSERT_EQ(pf.flags & LNXFMT_PARSED, 0u);
        } else {
            ASSERT_LE(pf.width, 64);
        }
        for (int k = 0; k < 3; ++k) print_exact(random_number(g), pf, lang);
        // Texts to read: printed ones, edited, and random bytes.
        const Num n = random_number(g);
        char out[64];
        uint32_t len = lnxnft(n.b.data(), n.len, &pf, out, lang);
        std::string text(out, len);
        if (g.chance(0.5) && !text.empty())
            text[static_cast<size_t>(g.uniform(0, static_cast<int>(text.size()) - 1))] =
                static_cast<char>(g.uniform(0, 255));
        if (g.chance(0.2)) text = std::string(static_cast<size_t>(g.uniform(0, 20)), '\0');
        for (char &c : text)
            if (g.chance(0.02)) c = static_cast<char>(g.bits());
        std::unique_ptr<uint8_t[]> dst(new uint8_t[LNXBUFLEN]);
        uint32_t dlen = 99;
        const bool counted = g.chance(0.5);
        const uint32_t used = lnxfcn(text.data(), static_cast<uint32_t>(text.size()), &pf,
                                     dst.get(), counted ? &dlen : nullptr, lang);
        ASSERT_LE(used, text.size());
        const uint32_t result_len = counted ? dlen : dst[0];
        if (used == 0) {
            ASSERT_EQ(result_len, 0u);  // the empty result
        } else {
            ASSERT_TRUE(is_normalised({counted ? dst.get() : dst.get() + 1, result_len}));
        }
    }
}

TEST(FormatFuzz, RecordsFilledByHand) {
    Gen g(112);
    for (int i = 0; i < 20000; ++i) {
        lnxfmt pf;
        auto *bytes = reinterpret_cast<uint8_t *>(&pf);
        for (size_t k = 0; k < sizeof pf; ++k) bytes[k] = static_cast<uint8_t>(g.bits());
        pf.flags |= LNXFMT_PARSED;
        if (g.chance(0.5)) pf.flags &= ~uint32_t{LNXFMT_DATE | LNXFMT_ROMAN};
        if (g.chance(0.5)) pf.width = static_cast<uint8_t>(g.uniform(0, 64));
        const lxlinfo *lang = handle(g.uniform(-1, 3));
        print_exact(random_number(g), pf, lang);
        std::string text;
        const int n = g.uniform(0, 30);
        for (int k = 0; k < n; ++k) text += "0123456789 ,.-+<>()$EeUSD"[g.uniform(0, 24)];
        std::unique_ptr<uint8_t[]> dst(new uint8_t[LNXBUFLEN]);
        lnxfcn(text.data(), static_cast<uint32_t>(text.size()), &pf, dst.get(), nullptr, lang);
    }
}

TEST(FormatFuzz, TextsAndWidths) {
    Gen g(113);
    for (int i = 0; i < 30000; ++i) {
        const lxlinfo *lang = handle(g.uniform(-1, 3));
        std::string text;
        const int n = g.uniform(0, 70);
        for (int k = 0; k < n; ++k)
            text +=
                g.chance(0.8) ? "0123456789 .,eE+-"[g.uniform(0, 16)] : static_cast<char>(g.bits());
        std::unique_ptr<uint8_t[]> dst(new uint8_t[LNXBUFLEN]);
        uint32_t used = 0;
        uint32_t dlen = 0;
        lnxcpn(text.data(), static_cast<uint32_t>(text.size()), dst.get(),
               g.chance(0.5) ? &dlen : nullptr, static_cast<uint8_t>(g.uniform(0, 1)),
               g.uniform(-50, 50), static_cast<uint8_t>(g.uniform(0, 1)), g.uniform(-200, 200),
               &used, lang);
        ASSERT_LE(used, text.size());
        ASSERT_EQ(lnxscn(text.data(), static_cast<uint32_t>(text.size()), lang) <= text.size(),
                  true);
        // Length-prefixed text: the prefix says how much may be read.
        std::unique_ptr<char[]> prefixed(new char[text.size() + 1]);
        prefixed[0] = static_cast<char>(text.size() > 255 ? 255 : text.size());
        std::memcpy(prefixed.get() + 1, text.data(), text.size());
        lnxcpn(prefixed.get(), 0, dst.get(), nullptr, 0, 0, 0, 0, &used, lang);

        const int32_t width = g.uniform(-70, 70);
        const size_t room = static_cast<size_t>(width < 0 ? -width : width);
        std::unique_ptr<char[]> out(new char[room == 0 ? 1 : room]);
        const Num num = random_number(g);
        lnxnuc(num.b.data(), num.len, out.get(), width, lang);
    }
}

}  // namespace
