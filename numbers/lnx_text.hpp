// What the number-to-text and text-to-number code shares: the character
// table of a language handle, numbers as runs of decimal digits, and the
// scanner of plain number texts.
#ifndef TAVO_NUMBERS_LNX_TEXT_HPP
#define TAVO_NUMBERS_LNX_TEXT_HPP

#include <cstdint>

#include "lnx.h"
#include "lx.h"
#include "numbers/number.hpp"

namespace tavo::num::text {

// Roles in the 46-character tables.
enum Role : int {
    kPlus = 10,
    kMinus = 11,
    kBlank = 12,
    kPeriod = 13,
    kComma = 14,
    kDollar = 15,
    kLess = 16,
    kGreater = 17,
    kOpen = 18,
    kClose = 19,
    kHash = 20,
    kTilde = 21,
    kLowerE = 25,
    kUpperE = 38,
};
inline constexpr int kRoles = 46;

// The characters a call works with: the table, and the decimal and group
// characters of the handle (period and comma without one).
struct Charset {
    const uint8_t *chars = nullptr;
    uint8_t decimal = '.';
    uint8_t group = ',';
    bool ebcdic = false;
};

// The table and characters of a handle; without one, the writable common
// table with its period and comma.
inline Charset charset_of(const lxlinfo *lang) {
    Charset cs;
    if (lang == nullptr) {
        cs.chars = lnxqcom_chars;
        cs.decimal = lnxqcom_chars[kPeriod];
        cs.group = lnxqcom_chars[kComma];
        return cs;
    }
    cs.ebcdic = lxcsascii(lang->charset) == 0;
    cs.chars = cs.ebcdic ? lnxqebc_chars : lnxqasc_chars;
    cs.decimal = lang->decimal;
    cs.group = lang->group;
    return cs;
}

// 0..9 for a digit of the table, else -1.
inline int digit_of(const Charset &cs, uint8_t c) {
    const unsigned d = static_cast<unsigned>(c) - cs.chars[0];
    // Every table has its digits in a run.
    return d < 10 ? static_cast<int>(d) : -1;
}

// A number as decimal digits: value = 0.d[0] d[1] ... d[n-1] x 10^point,
// d[0] non-zero and d[n-1] non-zero (n = 0 for zero).
struct Decimal {
    uint8_t d[48];
    int n = 0;
    int point = 0;
};

// The decimal digits of a finite or zero number.
Decimal to_decimal(const Unpacked &u);

// The number 0.d[0..n) x 10^point (d[0] non-zero, n <= 40): the exponent
// range gives zero or an infinity, and a 40th digit that does not fit the
// base-100 digits rounds half up.
Unpacked from_decimal(bool negative, const uint8_t *d, int n, int64_t point);

// The parts of a plain number text: blanks, a sign, digits, the decimal
// character and digits, an exponent, blanks.
struct Scan {
    uint32_t consumed = 0;  // 0: no digit
    bool negative = false;
    uint8_t digits[40];    // significant digits, leading zeros dropped
    int n = 0;             // how many of them
    int64_t point = 0;     // value = 0.digits x 10^(point + exponent)
    int64_t exponent = 0;  // of the text's E part, kept within +-1000
};

// Scans text[0..len) as lnxcpn and lnxscn read it.
void scan_number(const uint8_t *text, uint32_t len, const Charset &cs, Scan &s);

// Writes u in exactly width characters (lnxnuc's layout), right-justified;
// scientific forces scientific notation.
void number_to_text(const Unpacked &u, char *out, int64_t width, bool scientific,
                    const Charset &cs);

}  // namespace tavo::num::text

#endif  // TAVO_NUMBERS_LNX_TEXT_HPP
