// The password verifier against a reference built here: the texts as
// code points, their UTF-16 big-endian form (upper-cased by the Latin-1
// rules for mode 1), zero padding and the two CBC checksums by OpenSSL's
// DES. Random names and passwords in Latin-1 and UTF-8, long texts well past
// what fits a fixed buffer, and bad arguments.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/des.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "lc.h"
#include "lmx.h"
#include "lx.h"

namespace {

using CodePoints = std::vector<uint32_t>;

// ---- The reference ------------------------------------------------------------

// Upper case of the characters the random texts use: ASCII and Latin-1
// letters (y with diaeresis becoming U+0178); the others have no case.
uint32_t upper(uint32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 0x20;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 0x20;
    if (cp == 0xFF) return 0x178;
    return cp;
}

bool has_lower(const CodePoints &text) {
    for (const uint32_t cp : text)
        if (upper(cp) != cp) return true;
    return false;
}

void append_utf16be(std::vector<uint8_t> &out, uint32_t cp) {
    auto unit = [&](uint32_t u) {
        out.push_back(static_cast<uint8_t>(u >> 8));
        out.push_back(static_cast<uint8_t>(u));
    };
    if (cp < 0x10000) {
        unit(cp);
    } else {
        unit(0xD800 + ((cp - 0x10000) >> 10));
        unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
}

using Bytes8 = std::array<uint8_t, 8>;

// v = DES(v xor block) from v = 0: the last block of a CBC encryption.
Bytes8 cbc_mac(const Bytes8 &key, const std::vector<uint8_t> &data) {
    Bytes8 mac{};
    if (data.empty()) return mac;
    DES_cblock k;
    std::memcpy(k, key.data(), 8);
    DES_key_schedule ks;
    DES_set_key_unchecked(&k, &ks);
    DES_cblock iv{};
    std::vector<uint8_t> out(data.size());
    DES_ncbc_encrypt(data.data(), out.data(), static_cast<long>(data.size()), &ks, &iv,
                     DES_ENCRYPT);
    std::memcpy(mac.data(), out.data() + out.size() - 8, 8);
    return mac;
}

std::string reference(const CodePoints &user, const CodePoints &password, bool upper_case) {
    std::vector<uint8_t> bytes;
    for (const CodePoints *text : {&user, &password})
        for (const uint32_t cp : *text) append_utf16be(bytes, upper_case ? upper(cp) : cp);
    bytes.resize((bytes.size() + 7) / 8 * 8, 0);
    constexpr Bytes8 kKey1 = {0x5C, 0x1E, 0x0A, 0x93, 0xD4, 0x7B, 0x2F, 0x68};
    const Bytes8 mac = cbc_mac(cbc_mac(kKey1, bytes), bytes);
    std::string hex;
    for (const uint8_t b : mac) {
        char two[3];
        std::snprintf(two, sizeof two, "%02X", b);
        hex += two;
    }
    return hex;
}

// ---- Texts ------------------------------------------------------------------------

std::string encode_latin1(const CodePoints &text) {
    std::string s;
    for (const uint32_t cp : text) s += static_cast<char>(cp);
    return s;
}

std::string encode_utf8(const CodePoints &text) {
    std::string s;
    for (const uint32_t cp : text) {
        if (cp < 0x80) {
            s += static_cast<char>(cp);
        } else if (cp < 0x800) {
            s += static_cast<char>(0xC0 | cp >> 6);
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            s += static_cast<char>(0xE0 | cp >> 12);
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            s += static_cast<char>(0xF0 | cp >> 18);
            s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return s;
}

// A language record and how its character set spells code points.
struct Language {
    const char *name;
    bool utf8;
    lxlinfo info{};

    explicit Language(const char *n, bool u) : name(n), utf8(u) {
        EXPECT_EQ(lxlfill(&info, name, 0), LXS_OK) << name;
    }
    std::string encode(const CodePoints &text) const {
        return utf8 ? encode_utf8(text) : encode_latin1(text);
    }
};

const Language &latin1() {
    static const Language l("GERMAN_GERMANY.WE8ISO8859P1", false);
    return l;
}
const Language &utf8() {
    static const Language l("FRENCH_FRANCE.AL32UTF8", true);
    return l;
}

// A random character: mostly ASCII (NUL included), then Latin-1 letters and
// signs (not the micro sign, whose upper case lies outside Latin-1), and in
// UTF-8 also the euro sign, CJK and characters beyond U+FFFF.
uint32_t random_char(std::mt19937 &rng, bool utf8_set) {
    const uint32_t pick = rng() % 100;
    if (pick < 2) return 0;
    if (pick < 60) return 0x20 + rng() % 0x5F;
    if (pick < 85 || !utf8_set) {
        const uint32_t cp = 0xA0 + rng() % 0x60;
        return cp == 0xB5 ? 0xB6 : cp;
    }
    if (pick < 90) return 0x20AC;
    if (pick < 95) return 0x4E00 + rng() % 0x100;
    return 0x1F600 + rng() % 0x40;
}

// Lengths mostly short, some around and well past 124 bytes of UTF-16, a
// few past the conversion's input window.
CodePoints random_text(std::mt19937 &rng, bool utf8_set) {
    const uint32_t pick = rng() % 20;
    const uint32_t n = pick < 13 ? rng() % 40 : pick < 18 ? 40 + rng() % 200 : 300 + rng() % 1500;
    CodePoints text(n);
    for (uint32_t &cp : text) cp = random_char(rng, utf8_set);
    return text;
}

// ---- Calls ------------------------------------------------------------------------

uint32_t len32(const std::string &s) {
    return static_cast<uint32_t>(s.size());
}

constexpr int kUpperMode = 1;
constexpr int kEncrypt = -1;  // lmxepwe

// The verifier, after checking the result, the NUL and that nothing past
// it was written; "" when the call returned 0 (and wrote nothing).
std::string verifier(const std::string &user, const std::string &password, const lxlinfo *lang,
                     int mode) {
    char out[LMXEHEXLEN + 4];
    std::memset(out, '#', sizeof out);
    void *unused = out;  // whatever it is, it is not touched
    const int32_t r = mode == kEncrypt ? lmxepwe(out, unused, password.data(), len32(password),
                                                 user.data(), len32(user), lang)
                                       : lmxepw(out, unused, password.data(), len32(password),
                                                user.data(), len32(user), lang, mode);
    if (r == 0) {
        for (const char c : out) EXPECT_EQ(c, '#');
        return "";
    }
    EXPECT_EQ(r, 16);
    EXPECT_EQ(out[16], '\0');
    for (size_t i = 17; i < sizeof out; ++i) EXPECT_EQ(out[i], '#');
    const std::string hex(out, 16);
    EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
    return hex;
}

std::string verifier(const Language &lang, const CodePoints &user, const CodePoints &password,
                     int mode) {
    return verifier(lang.encode(user), lang.encode(password), &lang.info, mode);
}

// ---- Tests ------------------------------------------------------------------------

TEST(PasswordVerifier, EqualsTheReferenceOnRandomTexts) {
    std::mt19937 rng(20261206);
    for (const Language *lang : {&latin1(), &utf8()}) {
        for (const int mode : {0, kUpperMode, 2, -7, kEncrypt}) {
            const bool upper_case = mode == kUpperMode || mode == kEncrypt;
            for (int i = 0; i < 150; ++i) {
                const CodePoints user = random_text(rng, lang->utf8);
                const CodePoints password = random_text(rng, lang->utf8);
                ASSERT_EQ(verifier(*lang, user, password, mode),
                          reference(user, password, upper_case))
                    << lang->name << " mode " << mode << " lengths " << user.size() << ", "
                    << password.size();
            }
        }
    }
}

TEST(PasswordVerifier, KnownTextsAndEmptyOnes) {
    const lxlinfo *lang = &latin1().info;
    // No bytes: both checksums are the initial value.
    EXPECT_EQ(verifier("", "", lang, 0), "0000000000000000");
    EXPECT_EQ(verifier("", "", lang, kUpperMode), "0000000000000000");
    const struct {
        CodePoints user, password;
    } cases[] = {
        {{'S', 'C', 'O', 'T', 'T'}, {'T', 'I', 'G', 'E', 'R'}},
        {{'s', 'c', 'o', 't', 't'}, {}},
        {{}, {'t', 'i', 'g', 'e', 'r'}},
        {{'J', 0xFC, 'r', 'g', 'e', 'n'}, {'p', 0xE4, 0xDF, 0xFF}},
    };
    for (const auto &c : cases)
        for (const int mode : {0, kUpperMode})
            EXPECT_EQ(verifier(latin1(), c.user, c.password, mode),
                      reference(c.user, c.password, mode == kUpperMode));
}

TEST(PasswordVerifier, ExchangingNameAndPasswordChangesIt) {
    std::mt19937 rng(7);
    const CodePoints scott = {'S', 'C', 'O', 'T', 'T'}, tiger = {'T', 'I', 'G', 'E', 'R'};
    EXPECT_NE(verifier(latin1(), scott, tiger, 0), verifier(latin1(), tiger, scott, 0));
    for (int i = 0; i < 200; ++i) {
        const CodePoints a = random_text(rng, true), b = random_text(rng, true);
        // Only texts whose joined bytes differ once exchanged can tell the order.
        CodePoints ab = a, ba = b;
        ab.insert(ab.end(), b.begin(), b.end());
        ba.insert(ba.end(), a.begin(), a.end());
        if (ab == ba) continue;
        EXPECT_NE(verifier(utf8(), a, b, kUpperMode), verifier(utf8(), b, a, kUpperMode));
    }
}

TEST(PasswordVerifier, ModesDifferExactlyWhereCaseDoes) {
    std::mt19937 rng(11);
    for (const Language *lang : {&latin1(), &utf8()}) {
        for (int i = 0; i < 300; ++i) {
            const CodePoints user = random_text(rng, lang->utf8);
            const CodePoints password = random_text(rng, lang->utf8);
            const std::string as_is = verifier(*lang, user, password, 0);
            const std::string upper_case = verifier(*lang, user, password, kUpperMode);
            EXPECT_EQ(as_is != upper_case, has_lower(user) || has_lower(password));
            // Mode 1 is the other modes over upper-cased texts (in UTF-8, which
            // has U+0178, the capital of y with diaeresis).
            CodePoints uu = user, up = password;
            for (uint32_t &cp : uu) cp = upper(cp);
            for (uint32_t &cp : up) cp = upper(cp);
            EXPECT_EQ(upper_case, verifier(utf8(), uu, up, 0));
            EXPECT_EQ(upper_case, verifier(*lang, user, password, kEncrypt));
            // Every mode but 1 keeps the case.
            EXPECT_EQ(as_is, verifier(*lang, user, password, INT32_MAX));
            EXPECT_EQ(as_is, verifier(*lang, user, password, INT32_MIN));
        }
    }
}

TEST(PasswordVerifier, TheSameCharactersInAnySetGiveTheSameVerifier) {
    const char *names[] = {"AMERICAN_AMERICA.US7ASCII", "GERMAN_GERMANY.WE8ISO8859P1",
                           "FRENCH_FRANCE.AL32UTF8", "AMERICAN_AMERICA.WE8EBCDIC"};
    const std::string user = "Scott_99", password = "tiger#Pass word";
    for (const int mode : {0, kUpperMode}) {
        const std::string expected =
            reference(CodePoints(user.begin(), user.end()),
                      CodePoints(password.begin(), password.end()), mode == kUpperMode);
        for (const char *name : names) {
            lxlinfo info{};
            ASSERT_EQ(lxlfill(&info, name, 0), LXS_OK);
            std::string u = user, p = password;
            if (info.charset == LXCS_WE8EBCDIC) {
                lcma2e(u.data(), user.data(), len32(user));
                lcma2e(p.data(), password.data(), len32(password));
            }
            EXPECT_EQ(verifier(u, p, &info, mode), expected) << name;
        }
    }
    // Latin-1 letters spelled in Latin-1 and in UTF-8.
    const CodePoints name = {'j', 0xFC, 'r', 'g', 'e', 'n', 0xFF}, secret = {0xDF, 0xE9, '1'};
    for (const int mode : {0, kUpperMode})
        EXPECT_EQ(verifier(latin1(), name, secret, mode), verifier(utf8(), name, secret, mode));
}

// The fixed-buffer limit of 124 bytes is gone: every byte counts, at the
// limit and far past it, and texts that differ only at their end differ.
TEST(PasswordVerifier, LongTextsCountWhole) {
    std::mt19937 rng(124);
    for (const Language *lang : {&latin1(), &utf8()}) {
        for (const size_t total :
             {size_t{60}, size_t{61}, size_t{62}, size_t{63}, size_t{64}, size_t{65}, size_t{70},
              size_t{130}, size_t{600}, size_t{5000}}) {
            for (const size_t user_chars : {size_t{0}, size_t{1}, total / 2, total}) {
                CodePoints user(user_chars), password(total - user_chars);
                for (uint32_t &cp : user) cp = random_char(rng, lang->utf8);
                for (uint32_t &cp : password) cp = random_char(rng, lang->utf8);
                const std::string v = verifier(*lang, user, password, kUpperMode);
                EXPECT_EQ(v, reference(user, password, true)) << total << " " << user_chars;
                CodePoints &last = password.empty() ? user : password;
                last.back() = last.back() == '1' ? '2' : '1';
                EXPECT_NE(verifier(*lang, user, password, kUpperMode), v) << total;
            }
        }
    }
}

// Characters of four bytes lying across every offset of the pieces the
// texts are converted in, invalid bytes (one replacement character each),
// and a text of 65535 bytes, a length the conversion would otherwise read
// as "up to the NUL".
TEST(PasswordVerifier, PieceBoundariesAndTheLengthThatMeansNul) {
    for (size_t lead = 0; lead < 4; ++lead) {
        CodePoints text(lead, 'a');
        for (int i = 0; i < 700; ++i) text.push_back(0x1F600 + i % 0x40);
        EXPECT_EQ(verifier(utf8(), text, text, 0), reference(text, text, false)) << lead;
    }
    const std::string invalid(3000, '\xFF');
    EXPECT_EQ(verifier(invalid, "x", &utf8().info, 0),
              reference(CodePoints(3000, 0xFFFD), {'x'}, false));
    // A multi-byte character cut short at the end of the user name stays
    // there: it does not join the password's first bytes.
    EXPECT_EQ(verifier("ab\xC3", "\xA9", &utf8().info, 0),
              reference({'a', 'b', 0xFFFD}, {0xFFFD}, false));

    std::string big(0xFFFF, 'q');
    big[1000] = '\0';  // a NUL inside does not end the text
    CodePoints big_cp(big.begin(), big.end());
    EXPECT_EQ(verifier(big, "pw", &latin1().info, 0), reference(big_cp, {'p', 'w'}, false));
    EXPECT_EQ(verifier("u", big, &utf8().info, 0), reference({'u'}, big_cp, false));
}

TEST(PasswordVerifier, BadArgumentsGiveZero) {
    const lxlinfo *lang = &latin1().info;
    char out[LMXEHEXLEN];
    EXPECT_EQ(lmxepw(nullptr, nullptr, "pw", 2, "user", 4, lang, 0), 0);
    EXPECT_EQ(lmxepwe(nullptr, nullptr, "pw", 2, "user", 4, lang), 0);
    EXPECT_EQ(lmxepw(out, nullptr, nullptr, 2, "user", 4, lang, 0), 0);
    EXPECT_EQ(lmxepw(out, nullptr, "pw", 2, nullptr, 4, lang, 1), 0);
    EXPECT_EQ(lmxepwe(out, nullptr, nullptr, 1, nullptr, 1, lang), 0);

    // A null text of length 0 is empty.
    ASSERT_EQ(lmxepw(out, nullptr, nullptr, 0, "user", 4, lang, 0), 16);
    EXPECT_EQ(std::string(out), verifier("user", "", lang, 0));
    ASSERT_EQ(lmxepwe(out, nullptr, "pw", 2, nullptr, 0, lang), 16);
    EXPECT_EQ(std::string(out), verifier("", "pw", lang, kUpperMode));

    // A record never filled, or cleared by a failed fill, has no environment.
    lxlinfo blank{};
    EXPECT_EQ(verifier("user", "pw", &blank, 0), "");
    EXPECT_EQ(verifier("user", "pw", &blank, kEncrypt), "");
    lxlinfo failed;
    ASSERT_EQ(lxlfill(&failed, "KLINGON_QONOS.US7ASCII", 0), LXS_BADNAME);
    EXPECT_EQ(verifier("user", "pw", &failed, kUpperMode), "");

    // A null record is the default language.
    ASSERT_NE(lxldflt(), nullptr);
    EXPECT_EQ(verifier("user", "pw", nullptr, 0), verifier("user", "pw", lxldflt(), 0));
    EXPECT_EQ(verifier("user", "pw", nullptr, kEncrypt),
              reference({'u', 's', 'e', 'r'}, {'p', 'w'}, true));
}

}  // namespace
