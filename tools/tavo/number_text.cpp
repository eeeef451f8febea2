#include "number_text.hpp"

#include <array>
#include <cstring>

namespace tavo::cli {

namespace {

constexpr int max_digits = 40;        // significant decimal digits of a number
constexpr int max_plain_digits = 40;  // most digits written without an exponent
constexpr int top_exponent = 62;      // base-100 exponent of the largest numbers
constexpr int bottom_exponent = -65;  // and of the smallest

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

void skip_blanks(std::string_view text, size_t &i) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
}

Number infinity(bool negative) {
    Number n{};
    if (negative) {
        n.bytes[0] = 0x00;
        n.len = 1;
    } else {
        n.bytes[0] = 0xFF;
        n.bytes[1] = 0x65;
        n.len = 2;
    }
    return n;
}

// Packs significant decimal digits 0.d1 d2 ... x 10^exp10 (d1 non-zero).
Number pack(const char *digits, int count, int64_t exp10, bool negative) {
    Number out{};
    // An odd decimal exponent puts a zero before the first digit so that
    // the digits pair up into base-100 words.
    bool odd = (exp10 % 2) != 0;
    int64_t word_exp = (odd ? exp10 + 1 : exp10) / 2 - 1;
    if (word_exp > top_exponent) return infinity(negative);
    if (word_exp < bottom_exponent) {
        out.bytes[0] = 0x80;
        out.len = 1;
        return out;
    }
    std::array<int32_t, 21> words{};
    int nwords = 0;
    int pos = odd ? -1 : 0;
    while (pos < count) {
        int hi = pos >= 0 ? digits[pos] - '0' : 0;
        int lo = pos + 1 < count ? digits[pos + 1] - '0' : 0;
        words[nwords++] = hi * 10 + lo;
        pos += 2;
    }
    uint32_t len = 0;
    lnxqsbo(out.bytes, &len, negative ? 0 : 1, static_cast<int32_t>(word_exp), words.data(),
            words.data() + nwords);
    out.len = static_cast<uint8_t>(len);
    return out;
}

}  // namespace

Number number_of(int32_t value) noexcept {
    Number n{};
    uint32_t len = 0;
    lnxmin(&value, 4, 1, n.bytes, &len);
    n.len = static_cast<uint8_t>(len);
    return n;
}

ReadStatus read_number(std::string_view text, Number &out) noexcept {
    size_t i = 0;
    skip_blanks(text, i);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    char digits[max_digits];
    int count = 0;      // significant digits kept (trailing zeros included)
    int64_t exp10 = 0;  // decimal exponent of the first significant digit, plus one
    bool seen_digit = false, seen_point = false, significant = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '.' && !seen_point) {
            seen_point = true;
            continue;
        }
        if (!is_digit(c)) break;
        seen_digit = true;
        if (!significant && c == '0') {
            if (seen_point) --exp10;
            continue;
        }
        significant = true;
        if (!seen_point) ++exp10;
        if (count == max_digits) {
            // Only zeros may follow the fortieth significant digit.
            if (c != '0') return ReadStatus::too_many_digits;
            continue;
        }
        digits[count++] = c;
    }
    if (!seen_digit) return ReadStatus::not_a_number;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool exp_negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) exp_negative = text[i++] == '-';
        if (i >= text.size() || !is_digit(text[i])) return ReadStatus::not_a_number;
        int64_t e = 0;
        for (; i < text.size() && is_digit(text[i]); ++i)
            if (e < 100000) e = e * 10 + (text[i] - '0');  // far beyond any range
        exp10 += exp_negative ? -e : e;
    }
    skip_blanks(text, i);
    if (i != text.size()) return ReadStatus::not_a_number;
    while (count > 0 && digits[count - 1] == '0') --count;
    if (count == 0) {
        out = Number{};
        out.bytes[0] = 0x80;
        out.len = 1;
        return ReadStatus::ok;
    }
    out = pack(digits, count, exp10, negative);
    return ReadStatus::ok;
}

void append_number(std::string &out, const Number &n) {
    uint8_t form[LNXBUFLEN];
    bool negative = lnxqgnm(form, sizeof form, n.bytes, n.len) != 0;
    int words = form[0];
    if (words == 0) {
        out += '0';
        return;
    }
    if (form[2] == 100) {
        out += negative ? "-~" : "~";
        return;
    }
    // Decimal digits of the base-100 words, without the leading zero of the
    // first word and the trailing zero of the last.
    char digits[2 * 20];
    int count = 0;
    for (int w = 0; w < words; ++w) {
        digits[count++] = static_cast<char>('0' + form[2 + w] / 10);
        digits[count++] = static_cast<char>('0' + form[2 + w] % 10);
    }
    int first = digits[0] == '0' ? 1 : 0;
    while (count > first + 1 && digits[count - 1] == '0') --count;
    int sig = count - first;
    // Decimal exponent of the first significant digit.
    int exp100 = static_cast<int>(form[1]) - 65;
    int lead = 2 * exp100 + 1 - first;
    const char *d = digits + first;

    // Digits the plain text writes, not counting the 0 before the point of
    // a value below 1: every 40-digit value prints plainly from 1E-40 up
    // to the integers of 40 digits.
    int plain_digits;
    if (lead >= sig - 1)
        plain_digits = lead + 1;  // an integer
    else if (lead >= 0)
        plain_digits = sig;
    else
        plain_digits = (-lead - 1) + sig;  // zeros after the point, then digits
    if (negative) out += '-';
    if (plain_digits <= max_plain_digits) {
        if (lead >= sig - 1) {
            out.append(d, static_cast<size_t>(sig));
            out.append(static_cast<size_t>(lead + 1 - sig), '0');
        } else if (lead >= 0) {
            out.append(d, static_cast<size_t>(lead + 1));
            out += '.';
            out.append(d + lead + 1, static_cast<size_t>(sig - lead - 1));
        } else {
            out += "0.";
            out.append(static_cast<size_t>(-lead - 1), '0');
            out.append(d, static_cast<size_t>(sig));
        }
        return;
    }
    out += d[0];
    if (sig > 1) {
        out += '.';
        out.append(d + 1, static_cast<size_t>(sig - 1));
    }
    out += 'E';
    out += lead < 0 ? '-' : '+';
    int mag = lead < 0 ? -lead : lead;
    char buf[4];
    int blen = 0;
    do {
        buf[blen++] = static_cast<char>('0' + mag % 10);
        mag /= 10;
    } while (mag != 0);
    if (blen < 2) buf[blen++] = '0';
    while (blen > 0) out += buf[--blen];
}

bool to_int32(const Number &n, int32_t &value) noexcept {
    int32_t v = 0;
    int32_t status = lnxsni(n.bytes, n.len, &v, 4, LNXSNI_SIGNED);
    if (status == 1 || status == 3) return false;
    value = v;  // status 2: a magnitude below 1 stores 0
    return true;
}

}  // namespace tavo::cli
