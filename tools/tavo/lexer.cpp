#include "lexer.hpp"

#include <cctype>

#include "program.hpp"

namespace tavo::cli {

namespace {

bool is_name_start(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool is_name_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

Token Lexer::next() {
    while (pos_ < src_.size() && std::isspace(static_cast<unsigned char>(src_[pos_]))) ++pos_;
    Token t;
    t.column = static_cast<uint32_t>(pos_ + 1);
    if (pos_ >= src_.size()) return t;
    char c = src_[pos_];
    if (is_digit(c) || (c == '.' && pos_ + 1 < src_.size() && is_digit(src_[pos_ + 1])))
        return number(t);
    if (is_name_start(c)) {
        size_t start = pos_;
        while (pos_ < src_.size() && is_name_char(src_[pos_])) ++pos_;
        t.kind = Tok::name;
        t.spelling = src_.substr(start, pos_ - start);
        return t;
    }
    if (c == '\'') return text(t);
    if (c == ':') {
        size_t start = ++pos_;
        while (pos_ < src_.size() && is_digit(src_[pos_])) ++pos_;
        if (pos_ == start) throw SyntaxError(t.column, "':' must be followed by a field number");
        t.kind = Tok::field;
        t.spelling = src_.substr(start, pos_ - start);
        return t;
    }
    ++pos_;
    switch (c) {
        case '+':
            t.kind = Tok::plus;
            return t;
        case '-':
            t.kind = Tok::minus;
            return t;
        case '*':
            t.kind = Tok::star;
            return t;
        case '/':
            t.kind = Tok::slash;
            return t;
        case '(':
            t.kind = Tok::lparen;
            return t;
        case ')':
            t.kind = Tok::rparen;
            return t;
        case ',':
            t.kind = Tok::comma;
            return t;
        case '|':
            if (pos_ < src_.size() && src_[pos_] == '|') {
                ++pos_;
                t.kind = Tok::concat;
                return t;
            }
            throw SyntaxError(t.column, "'|' must be doubled: '||' joins texts");
        default:
            break;
    }
    std::string shown = std::isprint(static_cast<unsigned char>(c))
                            ? std::string("'") + c + "'"
                            : "byte " + std::to_string(static_cast<unsigned char>(c));
    throw SyntaxError(t.column, "unexpected character " + shown);
}

Token Lexer::number(Token &t) {
    size_t start = pos_;
    while (pos_ < src_.size() && is_digit(src_[pos_])) ++pos_;
    if (pos_ < src_.size() && src_[pos_] == '.') {
        ++pos_;
        while (pos_ < src_.size() && is_digit(src_[pos_])) ++pos_;
    }
    if (pos_ < src_.size() && (src_[pos_] == 'e' || src_[pos_] == 'E')) {
        size_t at = pos_ + 1;
        if (at < src_.size() && (src_[at] == '+' || src_[at] == '-')) ++at;
        if (at < src_.size() && is_digit(src_[at])) {
            pos_ = at;
            while (pos_ < src_.size() && is_digit(src_[pos_])) ++pos_;
        }
    }
    if (pos_ < src_.size() && (is_name_start(src_[pos_]) || src_[pos_] == '.'))
        throw SyntaxError(static_cast<uint32_t>(pos_ + 1), "malformed number");
    t.kind = Tok::number;
    t.spelling = src_.substr(start, pos_ - start);
    return t;
}

Token Lexer::text(Token &t) {
    ++pos_;
    for (;;) {
        if (pos_ >= src_.size()) throw SyntaxError(t.column, "text literal is not closed");
        char c = src_[pos_++];
        if (c == '\'') {
            if (pos_ < src_.size() && src_[pos_] == '\'') {
                ++pos_;
            } else {
                break;
            }
        }
        if (t.text.size() >= max_text_bytes)
            throw SyntaxError(
                t.column, "text literal longer than " + std::to_string(max_text_bytes) + " bytes");
        t.text += c;
    }
    t.kind = Tok::text;
    return t;
}

std::string describe(const Token &t) {
    switch (t.kind) {
        case Tok::end:
            return "end of expression";
        case Tok::number:
            return std::string("number ").append(t.spelling);
        case Tok::text:
            return "text literal";
        case Tok::name:
            return std::string("'").append(t.spelling).append("'");
        case Tok::field:
            return std::string(":").append(t.spelling);
        case Tok::plus:
            return "'+'";
        case Tok::minus:
            return "'-'";
        case Tok::star:
            return "'*'";
        case Tok::slash:
            return "'/'";
        case Tok::concat:
            return "'||'";
        case Tok::lparen:
            return "'('";
        case Tok::rparen:
            return "')'";
        case Tok::comma:
            return "','";
    }
    return "token";
}

}  // namespace tavo::cli
