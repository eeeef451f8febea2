// Recursive-descent parser of tavo expressions.
//
//   expr    := term { ("+" | "-" | "||") term }
//   term    := unary { ("*" | "/") unary }
//   unary   := ("-" | "+") unary | primary
//   primary := number | 'text' | DATE 'text' | :n | name [ "(" [expr {"," expr}] ")" ]
//            | "(" expr ")"
#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "lexer.hpp"
#include "program.hpp"

namespace tavo::cli {

namespace {

constexpr std::array functions = {
    FnInfo{"to_char", Fn::to_char, 1, 3},
    FnInfo{"to_number", Fn::to_number, 1, 3},
    FnInfo{"to_date", Fn::to_date, 1, 3},
    FnInfo{"sysdate", Fn::sysdate, 0, 0},
    FnInfo{"add_months", Fn::add_months, 2, 2},
    FnInfo{"months_between", Fn::months_between, 2, 2},
    FnInfo{"last_day", Fn::last_day, 1, 1},
    FnInfo{"next_day", Fn::next_day, 2, 2},
    FnInfo{"round", Fn::round, 1, 2},
    FnInfo{"trunc", Fn::trunc, 1, 2},
    FnInfo{"abs", Fn::abs, 1, 1},
    FnInfo{"ceil", Fn::ceil, 1, 1},
    FnInfo{"floor", Fn::floor, 1, 1},
    FnInfo{"mod", Fn::mod, 2, 2},
    FnInfo{"sign", Fn::sign, 1, 1},
    FnInfo{"power", Fn::power, 2, 2},
    FnInfo{"sqrt", Fn::sqrt, 1, 1},
    FnInfo{"exp", Fn::exp, 1, 1},
    FnInfo{"ln", Fn::ln, 1, 1},
    FnInfo{"log", Fn::log, 2, 2},
    FnInfo{"sin", Fn::sin, 1, 1},
    FnInfo{"cos", Fn::cos, 1, 1},
    FnInfo{"tan", Fn::tan, 1, 1},
    FnInfo{"asin", Fn::asin, 1, 1},
    FnInfo{"acos", Fn::acos, 1, 1},
    FnInfo{"atan", Fn::atan, 1, 1},
    FnInfo{"atan2", Fn::atan2, 2, 2},
    FnInfo{"sinh", Fn::sinh, 1, 1},
    FnInfo{"cosh", Fn::cosh, 1, 1},
    FnInfo{"tanh", Fn::tanh, 1, 1},
    FnInfo{"dump", Fn::dump, 1, 1},
    FnInfo{"iso_week", Fn::iso_week, 1, 1},
    FnInfo{"iso_year", Fn::iso_year, 1, 1},
};

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return true;
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Reads DATE 'YYYY-MM-DD' and DATE 'YYYY-MM-DD HH24:MI:SS' (a year may
// carry a minus sign: years before year 1).
bool read_date_literal(std::string_view s, ldxdate &d) {
    size_t i = 0;
    auto num = [&](int min_digits, int max_digits, int &v) {
        int n = 0;
        v = 0;
        while (i < s.size() && is_digit(s[i]) && n < max_digits) {
            v = v * 10 + (s[i++] - '0');
            ++n;
        }
        return n >= min_digits;
    };
    auto sep = [&](char c) { return i < s.size() && s[i++] == c; };
    bool negative = i < s.size() && s[i] == '-';
    if (negative) ++i;
    int year, month, day, hour = 0, minute = 0, second = 0;
    if (!num(1, 4, year) || !sep('-') || !num(1, 2, month) || !sep('-') || !num(1, 2, day))
        return false;
    if (i < s.size()) {
        if (!sep(' ')) return false;
        while (i < s.size() && s[i] == ' ') ++i;
        if (!num(1, 2, hour) || !sep(':') || !num(1, 2, minute) || !sep(':') || !num(1, 2, second))
            return false;
    }
    if (i != s.size()) return false;
    d = ldxdate{static_cast<int16_t>(negative ? -year : year),
                static_cast<int8_t>(month),
                static_cast<int8_t>(day),
                static_cast<int8_t>(hour),
                static_cast<int8_t>(minute),
                static_cast<int8_t>(second),
                0};
    return ldxchk(nullptr, &d, LDXF_DATE) == 0;
}

class Parser {
  public:
    Parser(std::string_view src, bool fields) : lex_(src), fields_(fields) { advance(); }

    Program run() {
        prog_.root = expr(0);
        if (tok_.kind != Tok::end)
            throw SyntaxError(tok_.column,
                              "unexpected " + describe(tok_) + " after the expression");
        return std::move(prog_);
    }

  private:
    void advance() { tok_ = lex_.next(); }

    void expect(Tok kind, const char *what) {
        if (tok_.kind != kind)
            throw SyntaxError(tok_.column,
                              std::string("expected ") + what + ", found " + describe(tok_));
        advance();
    }

    // Appends a node. The height of the tree bounds the evaluator's
    // recursion: a chain such as 1+1+...+1 is parsed by a loop, not by
    // recursion, so the parser's own depth does not see it.
    uint32_t add(Node n) {
        if (prog_.nodes.size() >= 100000) throw SyntaxError(n.column, "expression too large");
        uint32_t below = 0;
        for (int i = 0; i < n.nargs; ++i) below = std::max(below, heights_[n.args[i]]);
        if (below + 1 > max_height)
            throw SyntaxError(n.column, "expression more than " + std::to_string(max_height) +
                                            " operations deep");
        heights_.push_back(below + 1);
        prog_.nodes.push_back(n);
        return static_cast<uint32_t>(prog_.nodes.size() - 1);
    }

    uint32_t binary(Op op, uint32_t column, uint32_t left, uint32_t right) {
        Node n;
        n.op = op;
        n.column = column;
        n.args[0] = left;
        n.args[1] = right;
        n.nargs = 2;
        return add(n);
    }

    void enter(int depth) {
        if (depth > max_depth)
            throw SyntaxError(tok_.column,
                              "expression nested more than " + std::to_string(max_depth) + " deep");
    }

    uint32_t expr(int depth) {
        enter(depth);
        uint32_t left = term(depth + 1);
        for (;;) {
            Op op;
            if (tok_.kind == Tok::plus)
                op = Op::add;
            else if (tok_.kind == Tok::minus)
                op = Op::subtract;
            else if (tok_.kind == Tok::concat)
                op = Op::concat;
            else
                return left;
            uint32_t column = tok_.column;
            advance();
            left = binary(op, column, left, term(depth + 1));
        }
    }

    uint32_t term(int depth) {
        enter(depth);
        uint32_t left = unary(depth + 1);
        for (;;) {
            Op op;
            if (tok_.kind == Tok::star)
                op = Op::multiply;
            else if (tok_.kind == Tok::slash)
                op = Op::divide;
            else
                return left;
            uint32_t column = tok_.column;
            advance();
            left = binary(op, column, left, unary(depth + 1));
        }
    }

    uint32_t unary(int depth) {
        enter(depth);
        if (tok_.kind == Tok::minus || tok_.kind == Tok::plus) {
            bool negate = tok_.kind == Tok::minus;
            Node n;
            n.column = tok_.column;
            advance();
            uint32_t operand = unary(depth + 1);
            if (!negate) return operand;
            n.op = Op::negate;
            n.args[0] = operand;
            n.nargs = 1;
            return add(n);
        }
        return primary(depth + 1);
    }

    uint32_t literal_text(const Token &t) {
        Node n;
        n.column = t.column;
        n.value.type = Type::text;
        n.text_at = static_cast<uint32_t>(prog_.pool.size());
        n.value.size = static_cast<uint32_t>(t.text.size());
        prog_.pool += t.text;
        return add(n);
    }

    uint32_t primary(int depth) {
        enter(depth);
        Token t = tok_;
        switch (t.kind) {
            case Tok::number: {
                advance();
                Node n;
                n.column = t.column;
                switch (read_number(t.spelling, n.value.num)) {
                    case ReadStatus::ok:
                        break;
                    case ReadStatus::too_many_digits:
                        throw SyntaxError(t.column, "number has more than 40 significant digits");
                    case ReadStatus::not_a_number:
                        throw SyntaxError(t.column, "malformed number");
                }
                if (lnxint(n.value.num.bytes, n.value.num.len) >= 3)
                    throw SyntaxError(t.column, "number out of range (1E+126 and beyond)");
                return add(n);
            }
            case Tok::text:
                advance();
                return literal_text(t);
            case Tok::field: {
                advance();
                if (!fields_)
                    throw SyntaxError(
                        t.column, "fields such as :" + std::string(t.spelling) + " need --fields");
                uint32_t k = 0;
                for (char c : t.spelling) {
                    k = k * 10 + static_cast<uint32_t>(c - '0');
                    if (k > 65535) throw SyntaxError(t.column, "field number too large");
                }
                if (k == 0) throw SyntaxError(t.column, "fields are numbered from :1");
                Node n;
                n.op = Op::field;
                n.column = t.column;
                n.field = k;
                if (k > prog_.max_field) prog_.max_field = k;
                return add(n);
            }
            case Tok::lparen: {
                advance();
                uint32_t inner = expr(depth + 1);
                expect(Tok::rparen, "')'");
                return inner;
            }
            case Tok::name:
                advance();
                return name(t, depth);
            default:
                throw SyntaxError(t.column, "expected a value, found " + describe(t));
        }
    }

    uint32_t name(const Token &t, int depth) {
        if (same_name(t.spelling, "date") && tok_.kind == Tok::text) {
            Token lit = tok_;
            advance();
            Node n;
            n.column = t.column;
            n.value.type = Type::date;
            if (!read_date_literal(lit.text, n.value.date))
                throw SyntaxError(lit.column,
                                  "not a valid date literal: '" + lit.text.substr(0, 40) +
                                      "' (DATE 'YYYY-MM-DD' or DATE 'YYYY-MM-DD HH24:MI:SS')");
            return add(n);
        }
        if (same_name(t.spelling, "date"))
            throw SyntaxError(t.column,
                              "DATE must be followed by a text literal such as "
                              "'2024-02-29' or '2024-02-29 13:45:00'");
        const FnInfo *info = find_function(t.spelling);
        if (info == nullptr)
            throw SyntaxError(t.column,
                              "unknown function '" + std::string(t.spelling.substr(0, 40)) + "'");
        Node n;
        n.op = Op::call;
        n.fn = info->fn;
        n.column = t.column;
        if (tok_.kind == Tok::lparen) {
            advance();
            if (tok_.kind != Tok::rparen) {
                for (;;) {
                    uint32_t a = expr(depth + 1);
                    if (n.nargs == 3 || n.nargs >= info->max_args)
                        throw SyntaxError(t.column, std::string(info->name) + " takes at most " +
                                                        std::to_string(info->max_args) +
                                                        " argument" +
                                                        (info->max_args == 1 ? "" : "s"));
                    n.args[n.nargs++] = a;
                    if (tok_.kind != Tok::comma) break;
                    advance();
                }
            }
            expect(Tok::rparen, "')' or ','");
        } else if (info->min_args > 0) {
            throw SyntaxError(tok_.column, "expected '(' after " + std::string(info->name));
        }
        if (n.nargs < info->min_args)
            throw SyntaxError(t.column, std::string(info->name) + " takes at least " +
                                            std::to_string(info->min_args) + " argument" +
                                            (info->min_args == 1 ? "" : "s"));
        return add(n);
    }

    Lexer lex_;
    std::vector<uint32_t> heights_;
    bool fields_;
    Token tok_;
    Program prog_;
};

}  // namespace

const FnInfo *find_function(std::string_view name) noexcept {
    for (const FnInfo &f : functions)
        if (same_name(name, f.name)) return &f;
    return nullptr;
}

std::string_view function_name(Fn fn) noexcept {
    for (const FnInfo &f : functions)
        if (f.fn == fn) return f.name;
    return "function";
}

Program parse(std::string_view text, bool fields) {
    if (text.size() > max_expression_bytes)
        throw SyntaxError(
            1, "expression longer than " + std::to_string(max_expression_bytes) + " bytes");
    static uint64_t serial = 0;
    Program prog = Parser(text, fields).run();
    prog.id = ++serial;
    return prog;
}

}  // namespace tavo::cli
