// Decimal numbers as the tavo command reads and prints them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lnx.h"

namespace tavo::cli {

// A number in its counted form.
struct Number {
    uint8_t bytes[LNXMAXLEN];
    uint8_t len;
};

Number number_of(int32_t value) noexcept;

// How reading a literal ended.
enum class ReadStatus { ok, not_a_number, too_many_digits };

// Reads the whole of text as a plain decimal number: an optional sign,
// digits with an optional point, an optional exponent; blanks around it are
// allowed. More than 40 significant digits are refused. Beyond the range
// the value becomes an infinity, below it zero, as the arithmetic does.
ReadStatus read_number(std::string_view text, Number &out) noexcept;

// The shortest exact text of a number: every significant digit, in plain
// notation while that takes at most 40 digits (the 0 of 0.5 not counted),
// else as d.dddE+nn. Infinities print as ~ and -~. Appends to out.
void append_number(std::string &out, const Number &n);

// The number as a signed 32-bit integer, truncated toward zero; false when
// it does not fit.
bool to_int32(const Number &n, int32_t &value) noexcept;

}  // namespace tavo::cli
