// What the language-support tests share: environments by name and UTF-8
// views of what the library writes in other character sets.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "lx.h"

namespace lxtest {

inline constexpr std::array<const char *, 6> kLanguages = {"AMERICAN", "ENGLISH", "GERMAN",
                                                           "FRENCH",   "SPANISH", "ITALIAN"};
inline constexpr std::array<const char *, 6> kTerritories = {"AMERICA", "UNITED KINGDOM", "GERMANY",
                                                             "FRANCE",  "SPAIN",          "ITALY"};
inline constexpr std::array<const char *, 4> kCharsets = {"US7ASCII", "WE8ISO8859P1", "AL32UTF8",
                                                          "WE8EBCDIC"};

// A filled record and a work area bound to its environment.
struct Env {
    lxlinfo info{};
    lxwork w{};
    explicit Env(const std::string &name) {
        EXPECT_EQ(lxlfill(&info, name.c_str(), 0), LXS_OK) << name;
        EXPECT_EQ(lxwbind(&w, lxenvget(&info)), LXS_OK) << name;
    }
    int32_t cs() const { return info.charset; }
};

// Text of a set as UTF-8 (through the library's own conversion).
// Appends the UTF-8 encoding of a code point (written here, independently
// of the component under test).
inline void append_utf8(std::string &s, uint32_t cp) {
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (cp >> 18));
        s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

inline std::string utf8_of(uint32_t cp) {
    std::string s;
    append_utf8(s, cp);
    return s;
}

inline std::string to_utf8(std::string_view text, int32_t cs) {
    std::string out(text.size() * 4 + 4, '\0');
    lxwork w{};
    const uint32_t n = lxconv(out.data(), static_cast<uint32_t>(out.size()), LXCS_AL32UTF8,
                              text.data(), static_cast<uint32_t>(text.size()), cs, &w);
    out.resize(n);
    return out;
}

// UTF-8 text in a set; characters it lacks become its replacement.
inline std::string from_utf8(std::string_view text, int32_t cs) {
    std::string out(text.size() * 4 + 4, '\0');
    lxwork w{};
    const uint32_t n = lxconv(out.data(), static_cast<uint32_t>(out.size()), cs, text.data(),
                              static_cast<uint32_t>(text.size()), LXCS_AL32UTF8, &w);
    out.resize(n);
    return out;
}

// Runs an output function over a buffer and gives what it wrote as UTF-8.
template <typename F>
std::string written(Env &env, F write, uint32_t size = 256) {
    std::string buf(size, '\0');
    lxcur out;
    EXPECT_EQ(lxoopen(&out, buf.data(), size, &env.w), LXS_OK);
    write(&out);
    buf.resize(out.pos);
    return to_utf8(buf, env.cs());
}

}  // namespace lxtest
