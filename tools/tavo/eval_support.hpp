// Helpers shared by the evaluator's files: type checks, errors, and the
// number functions applied to counted numbers.
#pragma once

#include <string>
#include <string_view>

#include "evaluator.hpp"
#include "messages.hpp"

namespace tavo::cli::support {

inline const char *type_name(Type t) {
    switch (t) {
        case Type::number:
            return "a number";
        case Type::date:
            return "a date";
        case Type::text:
            return "text";
    }
    return "a value";
}

[[noreturn]] inline void fail(uint32_t column, const std::string &message) {
    throw EvalError(0, column, message);
}

[[noreturn]] inline void fail_date(int32_t err, uint32_t column) {
    throw EvalError(err, column, std::string(date_error_text(err)));
}

inline std::string fn_name(const Node &n) {
    switch (n.op) {
        case Op::add:
            return "'+'";
        case Op::subtract:
            return "'-'";
        case Op::multiply:
            return "'*'";
        case Op::divide:
            return "'/'";
        case Op::negate:
            return "unary '-'";
        case Op::concat:
            return "'||'";
        default:
            break;
    }
    return std::string(function_name(n.fn));
}

inline const char *ordinal(int i) {
    static constexpr const char *words[] = {"first", "second", "third"};
    return words[i];
}

inline void expect_type(const Node &n, const Value *a, int i, Type t) {
    if (a[i].type != t)
        fail(n.column, fn_name(n) + ": the " + ordinal(i) + " argument must be " + type_name(t) +
                           ", not " + type_name(a[i].type));
}

inline std::string_view text_of(const Value &v) {
    return {v.text, v.size};
}

inline bool is_infinite(const Number &x) {
    int32_t kind = lnxint(x.bytes, x.len);
    return kind == 3 || kind == 4;
}

inline int32_t sign_of(const Number &x) {
    return lnxsgn(x.bytes, x.len);
}

inline Value number_value(const Number &x) {
    Value v;
    v.type = Type::number;
    v.num = x;
    return v;
}

inline Value date_value(const ldxdate &d) {
    Value v;
    v.type = Type::date;
    v.date = d;
    return v;
}

// Results of the arithmetic: an infinity out of finite operands is an
// overflow, which the library reports only by that infinity.
inline Value checked(const Node &n, const Number &r) {
    if (is_infinite(r)) fail(n.column, fn_name(n) + ": numeric overflow");
    return number_value(r);
}

using Unary = void (*)(const uint8_t *, int32_t, uint8_t *, uint32_t *);
using Binary = void (*)(const uint8_t *, int32_t, const uint8_t *, int32_t, uint8_t *, uint32_t *);

inline Number apply(Unary f, const Number &x) {
    Number r{};
    uint32_t len = 0;
    f(x.bytes, x.len, r.bytes, &len);
    r.len = static_cast<uint8_t>(len);
    return r;
}

inline Number apply(Binary f, const Number &x, const Number &y) {
    Number r{};
    uint32_t len = 0;
    f(x.bytes, x.len, y.bytes, y.len, r.bytes, &len);
    r.len = static_cast<uint8_t>(len);
    return r;
}

inline int32_t compare(const Number &x, const Number &y) {
    return sign_of(apply(lnxsub, x, y));
}

inline bool is_integer(const Number &x) {
    return lnxint(x.bytes, x.len) == 1;
}

}  // namespace tavo::cli::support

namespace tavo::cli {

// A format model prepared once for a call whose model and language are
// literals: the parsed number model and the compiled date models.
struct Evaluator::Prepared {
    Language *lang = nullptr;
    bool number_tried = false, number_ok = false;
    lnxfmt number_fmt{};
    bool out_ready = false, in_ready = false;  // the date models compiled
    uint8_t out_fmt[256];
    uint8_t in_fmt[256];
};

}  // namespace tavo::cli
