// DES: published validation vectors, OpenSSL's DES as an oracle on random
// keys and blocks, and the fast cipher against the bit-at-a-time building
// blocks composed round by round.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/des.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "chars/des_core.hpp"
#include "lmx.h"

namespace {

using Pair = std::array<uint32_t, 2>;
using Schedule = std::array<uint32_t, LMXESCHED>;

Pair hex_pair(const char *hex) {
    Pair p;
    lmxehtl(hex, p.data());
    return p;
}

Schedule schedule_of(Pair key, bool encrypt) {
    Schedule ks;
    lmxegks(key.data(), ks.data(), encrypt ? 1 : 0);
    return ks;
}

Pair ecb(const Schedule &ks, Pair in) {
    Pair out;
    lmxeecb(ks.data(), in.data(), out.data());
    return out;
}

// ---- The cipher composed from the building blocks --------------------------

constexpr int kRotations[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

Schedule reference_schedule(Pair key, bool encrypt) {
    uint8_t kb[65], c[29], d[29];
    lmxeltb(key.data(), kb);
    lmxec1c(kb, c);
    lmxec1d(kb, d);
    Schedule ks{};
    for (int round = 0; round < 16; ++round) {
        for (int r = 0; r < kRotations[round]; ++r) {
            lmxerot(c);
            lmxerot(d);
        }
        uint8_t sub[65] = {};  // bits 49..64 stay 0: the low half of word 2
        lmxec2c(c, sub);
        lmxec2d(d, sub);
        const int slot = encrypt ? round : 15 - round;
        lmxebtl(sub, &ks[2 * slot]);
    }
    return ks;
}

Pair reference_ecb(const Schedule &ks, Pair in) {
    uint8_t b[65], l[33], r[33], e[49], k[65], x[49], s[33], p[33];
    lmxeltb(in.data(), b);
    lmxedip(b, b);
    lmxedlr(b, l, r);
    for (int i = 0; i < 16; ++i) {
        lmxede(r, e);
        lmxeltb(&ks[2 * i], k);
        lmxexor(e, k, x, 48);
        lmxedsb(x, s);
        lmxedp(s, p);
        lmxexor(l, p, l, 32);
        lmxeswp(l, r);
    }
    lmxeulr(l, r, b);
    lmxeuip(b, b);
    Pair out;
    lmxebtl(b, out.data());
    return out;
}

// ---- OpenSSL ------------------------------------------------------------------

void to_bytes(Pair p, unsigned char *out) {
    for (int i = 0; i < 8; ++i) out[i] = static_cast<unsigned char>(p[i / 4] >> (24 - 8 * (i % 4)));
}

Pair from_bytes(const unsigned char *in) {
    Pair p{0, 0};
    for (int i = 0; i < 8; ++i) p[i / 4] = p[i / 4] << 8 | in[i];
    return p;
}

struct OpenSslKey {
    DES_key_schedule ks;
    explicit OpenSslKey(Pair key) {
        DES_cblock k;
        to_bytes(key, k);
        DES_set_key_unchecked(&k, &ks);
    }
    Pair ecb(Pair in, bool encrypt) {
        DES_cblock i, o;
        to_bytes(in, i);
        DES_ecb_encrypt(&i, &o, &ks, encrypt ? DES_ENCRYPT : DES_DECRYPT);
        return from_bytes(o);
    }
};

Pair random_pair(std::mt19937 &rng) {
    return {static_cast<uint32_t>(rng()), static_cast<uint32_t>(rng())};
}

// ---- Published vectors ---------------------------------------------------------

struct Vector {
    const char *key, *plain, *cipher;
};

// The validation tables for single-block encryption: the known example of
// the standard's walk-through, the FIPS 81 example, the substitution-table
// test and the start of the variable-plaintext test.
constexpr Vector kVectors[] = {
    {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
    {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "690F5B0D9A26939B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "7A389D10354BD271"},
    {"07A1133E4A0B2686", "0248D43806F67172", "868EBB51CAB4599A"},
    {"3849674C2602319E", "51454B582DDF440A", "7178876E01F19B2A"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "AF37FB421F8C4095"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "86A560F10EC6D85B"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "0CD3DA020021DC09"},
    {"43297FAD38E373FE", "762514B829BF486A", "EA676B2CB7DB2B7A"},
    {"07A7137045DA2A16", "3BDD119049372802", "DFD64A815CAF1A0F"},
    {"04689104C2FD3B2F", "26955F6835AF609A", "5C513C9C4886C088"},
    {"37D06BB516CB7546", "164D5E404F275232", "0A2AEEAE3FF4AB77"},
    {"1F08260D1AC2465E", "6B056E18759F5CCA", "EF1BF03E5DFA575A"},
    {"584023641ABA6176", "004BD6EF09176062", "88BF0DB6D70DEE56"},
    {"025816164629B007", "480D39006EE762F2", "A1F9915541020B56"},
    {"49793EBC79B3258F", "437540C8698F3CFA", "6FBF1CAFCFFD0556"},
    {"4FB05E1515AB73A7", "072D43A077075292", "2F22E49BAB7CA1AC"},
    {"49E95D6D4CA229BF", "02FE55778117F12A", "5A6B612CC26CCE4A"},
    {"018310DC409B26D6", "1D9D5C5018F728C2", "5F4C038ED12B2E41"},
    {"1C587F1C13924FEF", "305532286D6F295A", "63FAC0D034D9F793"},
    {"0101010101010101", "8000000000000000", "95F8A5E5DD31D900"},
    {"0101010101010101", "4000000000000000", "DD7F121CA5015619"},
    {"0101010101010101", "2000000000000000", "2E8653104F3834EA"},
    {"0101010101010101", "1000000000000000", "4BD388FF6CD81D4F"},
    {"0101010101010101", "0800000000000000", "20B9E767B2FB1456"},
    {"0101010101010101", "0400000000000000", "55579380D77138EF"},
    {"0101010101010101", "0200000000000000", "6CC5DEFAAF04512F"},
    {"0101010101010101", "0100000000000000", "0D9F279BA5D87260"},
};

TEST(Des, PublishedVectorsEncryptAndDecrypt) {
    for (const Vector &v : kVectors) {
        SCOPED_TRACE(std::string(v.key) + " " + v.plain);
        const Pair key = hex_pair(v.key), plain = hex_pair(v.plain), cipher = hex_pair(v.cipher);
        EXPECT_EQ(ecb(schedule_of(key, true), plain), cipher);
        EXPECT_EQ(ecb(schedule_of(key, false), cipher), plain);
        EXPECT_EQ(reference_ecb(reference_schedule(key, true), plain), cipher);
    }
}

TEST(Des, ParityBitsOfTheKeyAreIgnored) {
    const Pair key = hex_pair("133457799BBCDFF1");
    const Pair flipped = {key[0] ^ 0x01010101u, key[1] ^ 0x01010101u};
    EXPECT_EQ(schedule_of(key, true), schedule_of(flipped, true));
}

TEST(Des, ScheduleLeavesTheLowHalfOfEachSecondWordZero) {
    std::mt19937 rng(7);
    for (int i = 0; i < 100; ++i) {
        const Schedule ks = schedule_of(random_pair(rng), true);
        for (int r = 0; r < 16; ++r) EXPECT_EQ(ks[2 * r + 1] & 0xFFFF, 0u);
    }
}

TEST(Des, DecryptionScheduleIsTheEncryptionScheduleReversed) {
    std::mt19937 rng(8);
    for (int i = 0; i < 100; ++i) {
        const Pair key = random_pair(rng);
        const Schedule e = schedule_of(key, true), d = schedule_of(key, false);
        for (int r = 0; r < 16; ++r) {
            EXPECT_EQ(e[2 * r], d[2 * (15 - r)]);
            EXPECT_EQ(e[2 * r + 1], d[2 * (15 - r) + 1]);
        }
    }
}

TEST(Des, FastCipherEqualsTheBuildingBlocks) {
    std::mt19937 rng(20240611);
    for (int i = 0; i < 1000; ++i) {
        const Pair key = random_pair(rng);
        const bool encrypt = (i & 1) == 0;
        const Schedule ks = schedule_of(key, encrypt);
        ASSERT_EQ(ks, reference_schedule(key, encrypt));
        for (int j = 0; j < 3; ++j) {
            const Pair block = random_pair(rng);
            ASSERT_EQ(ecb(ks, block), reference_ecb(ks, block));
        }
        // Any schedule, not only one the key schedule made.
        Schedule arbitrary;
        for (uint32_t &w : arbitrary) w = static_cast<uint32_t>(rng());
        const Pair block = random_pair(rng);
        ASSERT_EQ(ecb(arbitrary, block), reference_ecb(arbitrary, block));
    }
}

TEST(Des, FastPermutationsEqualTheBuildingBlocks) {
    for (int bit = 1; bit <= 64; ++bit) {
        Pair x{0, 0};
        x[(bit - 1) / 32] = 1u << (31 - (bit - 1) % 32);
        uint8_t b[65];
        Pair ip, fp;
        lmxeltb(x.data(), b);
        lmxedip(b, b);
        lmxebtl(b, ip.data());
        lmxeltb(x.data(), b);
        lmxeuip(b, b);
        lmxebtl(b, fp.data());
        const auto fast_ip = tavo::des::initial_permutation({x[0], x[1]});
        const auto fast_fp = tavo::des::final_permutation({x[0], x[1]});
        EXPECT_EQ((Pair{fast_ip.hi, fast_ip.lo}), ip) << bit;
        EXPECT_EQ((Pair{fast_fp.hi, fast_fp.lo}), fp) << bit;
    }
}

TEST(Des, MatchesOpenSslOnRandomKeysAndBlocks) {
    std::mt19937 rng(1977);
    for (int i = 0; i < 10000; ++i) {
        const Pair key = random_pair(rng), block = random_pair(rng);
        OpenSslKey peer(key);
        const Pair enciphered = ecb(schedule_of(key, true), block);
        ASSERT_EQ(enciphered, peer.ecb(block, true)) << i;
        ASSERT_EQ(ecb(schedule_of(key, false), block), peer.ecb(block, false)) << i;
        ASSERT_EQ(ecb(schedule_of(key, false), enciphered), block) << i;
    }
}

TEST(Des, EcbOutputMayBeTheInput) {
    const Schedule ks = schedule_of(hex_pair("133457799BBCDFF1"), true);
    Pair b = hex_pair("0123456789ABCDEF");
    lmxeecb(ks.data(), b.data(), b.data());
    EXPECT_EQ(b, hex_pair("85E813540F0AB405"));
}

// ---- CBC checksum -------------------------------------------------------------

Pair openssl_cbc_mac(Pair key, const std::vector<uint32_t> &words, Pair iv) {
    const size_t blocks = words.size() / 2;
    if (blocks == 0) return iv;
    std::vector<unsigned char> in(blocks * 8), out(blocks * 8);
    for (size_t b = 0; b < blocks; ++b) to_bytes({words[2 * b], words[2 * b + 1]}, &in[8 * b]);
    OpenSslKey peer(key);
    DES_cblock ivec;
    to_bytes(iv, ivec);
    DES_ncbc_encrypt(in.data(), out.data(), static_cast<long>(in.size()), &peer.ks, &ivec,
                     DES_ENCRYPT);
    return from_bytes(&out[8 * (blocks - 1)]);
}

TEST(DesChecksum, MatchesOpenSslCbcMac) {
    std::mt19937 rng(99);
    for (int i = 0; i < 500; ++i) {
        const Pair key = random_pair(rng), iv = random_pair(rng);
        std::vector<uint32_t> words(rng() % 41);
        for (uint32_t &w : words) w = static_cast<uint32_t>(rng());
        const Schedule ks = schedule_of(key, true);
        Pair mac;
        lmxechk(ks.data(), words.data(), static_cast<uint32_t>(words.size()), iv.data(),
                mac.data());
        ASSERT_EQ(mac, openssl_cbc_mac(key, words, iv)) << i;
    }
}

TEST(DesChecksum, OddLastWordIsIgnoredAndNoBlockGivesTheInitialValue) {
    const Schedule ks = schedule_of(hex_pair("0123456789ABCDEF"), true);
    const uint32_t data[5] = {1, 2, 3, 4, 0xDEADBEEF};
    const Pair iv = {0x11111111, 0x22222222};
    Pair even, odd, none, single;
    lmxechk(ks.data(), data, 4, iv.data(), even.data());
    lmxechk(ks.data(), data, 5, iv.data(), odd.data());
    lmxechk(ks.data(), data, 0, iv.data(), none.data());
    lmxechk(ks.data(), data, 1, iv.data(), single.data());
    EXPECT_EQ(even, odd);
    EXPECT_EQ(none, iv);
    EXPECT_EQ(single, iv);
    lmxechk(ks.data(), nullptr, 0, iv.data(), none.data());
    EXPECT_EQ(none, iv);
}

TEST(DesChecksum, ResultMayBeTheInitialValue) {
    const Schedule ks = schedule_of(hex_pair("0123456789ABCDEF"), true);
    const uint32_t data[4] = {1, 2, 3, 4};
    Pair v = {5, 6}, expected;
    lmxechk(ks.data(), data, 4, v.data(), expected.data());
    lmxechk(ks.data(), data, 4, v.data(), v.data());
    EXPECT_EQ(v, expected);
}

TEST(DesChecksum, BytesFedInPiecesEqualThePackedWordsZeroPadded) {
    std::mt19937 rng(100);
    for (int i = 0; i < 300; ++i) {
        const Pair key = random_pair(rng), iv = random_pair(rng);
        std::vector<uint8_t> bytes(rng() % 70);
        for (auto &b : bytes) b = static_cast<uint8_t>(rng());
        std::vector<uint8_t> padded = bytes;
        padded.resize((bytes.size() + 7) / 8 * 8, 0);
        std::vector<uint32_t> words(padded.size() / 4);
        for (size_t w = 0; w < words.size(); ++w)
            for (size_t k = 0; k < 4; ++k) words[w] = words[w] << 8 | padded[4 * w + k];
        const Schedule ks = schedule_of(key, true);
        Pair expect;
        lmxechk(ks.data(), words.data(), static_cast<uint32_t>(words.size()), iv.data(),
                expect.data());

        const tavo::des::Cooked cooked = tavo::des::cook(ks.data());
        tavo::des::ByteMac mac(cooked, {iv[0], iv[1]});
        for (size_t at = 0; at < bytes.size();) {
            const size_t piece = std::min<size_t>(rng() % 11, bytes.size() - at);
            mac.add(std::span(bytes).subspan(at, piece));
            at += piece;
        }
        const tavo::des::Block got = mac.finish();
        ASSERT_EQ((Pair{got.hi, got.lo}), expect) << i;
    }
}

// ---- Hexadecimal form -----------------------------------------------------------

TEST(DesHex, WritesSixteenUpperCaseDigitsAndANul) {
    const Pair p = {0x1, 0xABCDEF};
    char text[LMXEHEXLEN + 1];
    std::memset(text, '?', sizeof text);
    lmxelth(p.data(), text);
    EXPECT_STREQ(text, "0000000100ABCDEF");
    EXPECT_EQ(text[17], '?');
}

TEST(DesHex, ReadsBothCasesAndRoundTrips) {
    EXPECT_EQ(hex_pair("00ab00CD0123fFfF"), (Pair{0x00AB00CD, 0x0123FFFF}));
    std::mt19937 rng(5);
    for (int i = 0; i < 10000; ++i) {
        const Pair p = random_pair(rng);
        char text[LMXEHEXLEN];
        lmxelth(p.data(), text);
        ASSERT_EQ(hex_pair(text), p);
        char buf[9];
        std::snprintf(buf, sizeof buf, "%08X", p[0]);
        ASSERT_EQ(std::string(text, 8), buf);
    }
}

TEST(DesHex, OtherBytesCountAsZeroAndANulEndsTheText) {
    EXPECT_EQ(hex_pair("0G0g0z0 11111111"), (Pair{0, 0x11111111}));
    EXPECT_EQ(hex_pair("ABC"), (Pair{0xABC00000, 0}));
    EXPECT_EQ(hex_pair(""), (Pair{0, 0}));
}

// ---- Building blocks ------------------------------------------------------------

TEST(DesBlocks, BitArraysKeepIndexZeroClearAndRoundTrip) {
    std::mt19937 rng(3);
    for (int i = 0; i < 1000; ++i) {
        const Pair p = random_pair(rng);
        uint8_t b[65];
        std::memset(b, 7, sizeof b);
        lmxeltb(p.data(), b);
        EXPECT_EQ(b[0], 0);
        for (int k = 1; k <= 64; ++k) ASSERT_LE(b[k], 1);
        Pair back;
        lmxebtl(b, back.data());
        ASSERT_EQ(back, p);
        uint8_t ip[65], again[65];
        lmxedip(b, ip);
        lmxeuip(ip, again);
        ASSERT_EQ(std::memcmp(again, b, sizeof b), 0);
    }
}

TEST(DesBlocks, SBoxLookupReadsRowFromOuterBitsAndColumnFromInner) {
    // S1, row 1 (bits 0 and 1), column 13 (1101): 5, written 0101.
    uint8_t in[49] = {}, out[33] = {};
    const uint8_t six[6] = {0, 1, 1, 0, 1, 1};
    std::memcpy(in + 1, six, 6);
    lmxesbl(1, in, out);
    EXPECT_EQ(std::vector<uint8_t>(out + 1, out + 5), (std::vector<uint8_t>{0, 1, 0, 1}));
    // Out-of-range S-box numbers write nothing.
    uint8_t untouched[33];
    std::memset(untouched, 9, sizeof untouched);
    lmxesbl(0, in, untouched);
    lmxesbl(9, in, untouched);
    lmxesbl(-1, in, untouched);
    for (uint8_t v : untouched) EXPECT_EQ(v, 9);
}

TEST(DesBlocks, RotateAndSwap) {
    uint8_t half[29] = {};
    half[1] = 1;
    half[5] = 1;
    lmxerot(half);
    EXPECT_EQ(half[28], 1);
    EXPECT_EQ(half[4], 1);
    EXPECT_EQ(half[1], 0);
    uint8_t l[33] = {}, r[33] = {};
    l[3] = 1;
    r[30] = 1;
    lmxeswp(l, r);
    EXPECT_EQ(l[30], 1);
    EXPECT_EQ(r[3], 1);
    EXPECT_EQ(l[3], 0);
}

}  // namespace
