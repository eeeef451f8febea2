// The parsed form of a tavo expression: a tree of nodes in one vector.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ldx.h"
#include "number_text.hpp"

namespace tavo::cli {

enum class Type : uint8_t { number, date, text };

// A value during evaluation. Text points into the program's literal pool,
// the current input line or the evaluator's arena, all of which outlive it.
struct Value {
    Type type = Type::number;
    Number num{};
    ldxdate date{};
    const char *text = nullptr;
    uint32_t size = 0;
};

// Functions of the language.
enum class Fn : uint8_t {
    to_char,
    to_number,
    to_date,
    sysdate,
    add_months,
    months_between,
    last_day,
    next_day,
    round,
    trunc,
    abs,
    ceil,
    floor,
    mod,
    sign,
    power,
    sqrt,
    exp,
    ln,
    log,
    sin,
    cos,
    tan,
    asin,
    acos,
    atan,
    atan2,
    sinh,
    cosh,
    tanh,
    dump,
    iso_week,
    iso_year,
};

struct FnInfo {
    std::string_view name;
    Fn fn;
    uint8_t min_args, max_args;
};

// The function of a name (case ignored), or null.
const FnInfo *find_function(std::string_view name) noexcept;
// The name of a function.
std::string_view function_name(Fn fn) noexcept;

enum class Op : uint8_t { literal, field, negate, add, subtract, multiply, divide, concat, call };

struct Node {
    Op op = Op::literal;
    Fn fn = Fn::to_char;
    uint32_t column = 0;           // 1-based, for messages
    uint32_t args[3] = {0, 0, 0};  // operands or arguments (node indices)
    uint8_t nargs = 0;
    Value value{};  // a literal (text: text_at/size into the pool)
    uint32_t text_at = 0;
    uint32_t field = 0;  // :n
};

struct Program {
    std::vector<Node> nodes;
    std::string pool;  // literal texts
    uint32_t root = 0;
    uint32_t max_field = 0;
    uint64_t id = 0;  // distinct for every parse: keys what evaluation prepares
};

// A syntax error, at a 1-based column.
struct SyntaxError : std::runtime_error {
    SyntaxError(uint32_t col, const std::string &what) : std::runtime_error(what), column(col) {}
    uint32_t column;
};

// Limits that keep any input harmless.
inline constexpr size_t max_expression_bytes = 65536;
inline constexpr int max_depth = 200;         // nesting of parentheses and calls
inline constexpr uint32_t max_height = 1000;  // operations below one another
inline constexpr uint32_t max_text_bytes = 32767;

// Parses an expression; fields (:1, :2, ...) are allowed when fields is
// true. Throws SyntaxError.
Program parse(std::string_view text, bool fields);

}  // namespace tavo::cli
