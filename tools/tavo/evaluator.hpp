// Evaluation of parsed expressions against the library.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "date_calls.hpp"
#include "lnx.h"
#include "program.hpp"

namespace tavo::cli {

// A failed evaluation: the library's error number (0 when it gave none),
// the message, and the column of the operation (0 when none applies).
struct EvalError : std::runtime_error {
    EvalError(int32_t num, uint32_t col, const std::string &what)
        : std::runtime_error(what), number(num), column(col) {}
    int32_t number;
    uint32_t column;
};

struct Settings {
    const char *language = nullptr;     // null: the library's default
    const char *date_format = nullptr;  // null: the language's own
    std::optional<ldxdate> sysdate;     // a fixed clock, for reproducible runs
};

// A setting that cannot be used: an unknown language or a bad date format.
struct SetupError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Evaluator {
  public:
    explicit Evaluator(const Settings &settings);  // throws SetupError
    ~Evaluator();

    // Evaluates the program over the fields of one input line and appends
    // the result's text to out. Throws EvalError; out is then unchanged.
    void evaluate(const Program &prog, std::span<const std::string_view> fields, std::string &out);

  private:
    struct Prepared;

    using Args = const Value *;

    Value eval(uint32_t index, int depth);
    Value call(uint32_t index, const Node &n, Args a);
    Value arith(const Node &n, const Value &x, const Value &y);
    Value number_function(const Node &n, Args a);
    Value date_function(const Node &n, Args a);

    void date_call(Language &lang, DateOp op, DateCall &call, uint32_t column);
    Language *find_language(std::string_view name, uint32_t column);
    Language &language_arg(const Node &n, Args a, int i);

    // The parsed number model of a call: prepared once when the model is a
    // literal (p given), else parsed into local. fn names the call in errors.
    static const lnxfmt *number_model(Prepared *p, lnxfmt &local, std::string_view model,
                                      const lxlinfo &info, uint32_t column, const char *fn);
    Value to_char(uint32_t index, const Node &n, Args a);
    Value to_number(uint32_t index, const Node &n, Args a);
    Value to_date(uint32_t index, const Node &n, Args a);
    Value round_or_trunc(const Node &n, Args a, bool round);
    Value dump(const Node &n, Args a);

    Value date_plus(const Node &n, const ldxdate &d, const Number &days, bool subtract);
    Value date_minus_date(const Node &n, const ldxdate &a, const ldxdate &b);
    Value text_value(const char *text, size_t size, uint32_t column);
    const uint8_t *compile_date_model(Language &lang, std::string_view model, bool input,
                                      uint8_t *buf, uint32_t column);
    void append_date(std::string &out, const ldxdate &d, Language &lang, const uint8_t *fmt,
                     uint32_t column);
    void append_value(std::string &out, const Value &v);
    bool model_is_fixed(const Node &n) const;
    Prepared &prepared(uint32_t index);

    const Program *prog_ = nullptr;
    std::span<const std::string_view> fields_;
    std::unique_ptr<Language> default_;
    std::vector<std::pair<std::string, std::unique_ptr<Language>>> languages_;
    std::unique_ptr<Language> spare_language_;
    std::unordered_map<uint64_t, std::unique_ptr<Prepared>> prepared_;
    std::optional<ldxdate> fixed_clock_;
    bool has_date_format_ = false;
    uint8_t out_format_[256];
    uint8_t in_format_[256];
    std::vector<char> arena_;
    size_t arena_used_ = 0;
    std::string scratch_;
};

}  // namespace tavo::cli
