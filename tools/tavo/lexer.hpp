// The tokens of tavo expressions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavo::cli {

enum class Tok {
    end,
    number,
    text,
    name,
    field,
    plus,
    minus,
    star,
    slash,
    concat,
    lparen,
    rparen,
    comma
};

struct Token {
    Tok kind = Tok::end;
    uint32_t column = 1;
    std::string_view spelling;  // name, number, field digits
    std::string text;           // a text literal with '' made '
};

// Splits an expression into tokens. Throws SyntaxError.
class Lexer {
  public:
    explicit Lexer(std::string_view src) : src_(src) {}
    Token next();

  private:
    Token number(Token &t);
    Token text(Token &t);

    std::string_view src_;
    size_t pos_ = 0;
};

// A token as messages name it.
std::string describe(const Token &t);

}  // namespace tavo::cli
