#include "literal_arith.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace literal {

using namespace tavo::num;

namespace {

constexpr int kWindow = 21;

Unpacked pack_words(bool negative, int exp, const int32_t *words, int count, int round_from) {
    uint8_t digits[64];
    for (int i = 0; i < count; ++i) digits[i] = static_cast<uint8_t>(words[i]);
    return from_long_digits(negative, exp, digits, count, round_from);
}

}  // namespace

Unpacked add(const Unpacked &a, const Unpacked &b_in, bool subtract) {
    const Unpacked b = subtract ? negate(b_in) : b_in;
    if (a.is_inf()) return a;
    if (b.is_inf()) return b;
    if (b.is_zero()) return a;
    if (a.is_zero()) return b;
    const bool a_bigger = compare_magnitude(a, b) >= 0;
    const Unpacked &big = a_bigger ? a : b;
    const Unpacked &small = a_bigger ? b : a;
    const int shift = big.exp - small.exp;
    if (shift >= kWindow) return big;
    // Position 0 takes the carry; positions 1..21 are the window.
    std::array<int32_t, kWindow + 1> x{}, y{};
    for (int i = 0; i < big.count; ++i) x[1 + i] = big.digit[i];
    for (int i = 0; i < small.count && shift + i < kWindow; ++i) y[1 + shift + i] = small.digit[i];
    const bool same_sign = big.negative == small.negative;
    int carry = 0;
    for (int i = kWindow; i >= 0; --i) {
        int s = same_sign ? x[i] + y[i] + carry : x[i] - y[i] - carry;
        if (same_sign) {
            carry = s >= 100;
            if (carry) s -= 100;
        } else {
            carry = s < 0;
            if (carry) s += 100;
        }
        x[i] = s;
    }
    return pack_words(big.negative, big.exp + 1, x.data(), kWindow + 1, 50);
}

Unpacked multiply(const Unpacked &a, const Unpacked &b) {
    const bool negative = a.is_negative() != b.is_negative();
    if (a.is_zero() || b.is_zero()) return make_zero();
    if (a.is_inf() || b.is_inf()) return make_inf(negative);
    int exp = a.exp + b.exp + 1;
    if (exp < kMinExp) return make_zero();
    if (exp > kMaxExp + 1) return make_inf(negative);
    std::array<int32_t, 24> p{};
    for (int i = 0; i < a.count; ++i)
        for (int j = 0; j < b.count; ++j)
            if (i + j + 1 <= 23) p[i + j + 1] += a.digit[i] * b.digit[j];
    for (int k = 23; k > 0; --k) {
        p[k - 1] += p[k] / 100;
        p[k] %= 100;
    }
    if (p[0] == 0) {
        if (--exp < kMinExp) return make_zero();
        return pack_words(negative, exp, p.data() + 1, 23, 51);
    }
    if (exp > kMaxExp) return make_inf(negative);
    return pack_words(negative, exp, p.data(), 24, 51);
}

Unpacked divide(const Unpacked &a, const Unpacked &b) {
    const bool negative = a.is_negative() != b.is_negative();
    if (a.is_inf() || b.is_zero()) return make_inf(negative);
    if (a.is_zero() || b.is_inf()) return make_zero();
    const int exp = a.exp - b.exp;
    if (exp < kMinExp) return make_zero();
    if (exp > kMaxExp + 1) return make_inf(negative);
    std::array<int32_t, 24> rem{};
    for (int i = 0; i < a.count; ++i) rem[i] = a.digit[i];
    auto bd = [&](int j) { return j < b.count ? int32_t{b.digit[j]} : 0; };
    const int32_t d = 10000 * bd(0) + 100 * bd(1) + bd(2);
    std::array<int32_t, 23> q{};  // q[0] takes a carry out of the first digit
    int32_t r = 100 * rem[0] + rem[1];
    for (int k = 0; k < 22; ++k) {
        const int i = k + 2;
        r = 100 * r + rem[i];
        const int32_t qk = r / d;
        q[k + 1] = qk;
        r -= qk * d;
        for (int j = 3; j < b.count && k + j <= 23; ++j) rem[k + j] -= qk * b.digit[j];
        bool rest_zero = true;
        for (int p = i + 1; p < 24; ++p) rest_zero = rest_zero && rem[p] == 0;
        if (qk == 0 && r == 0 && rest_zero) break;
    }
    for (int k = 22; k > 0; --k) {
        int32_t carry = q[k] / 100;
        q[k] %= 100;
        if (q[k] < 0) {
            q[k] += 100;
            --carry;
        }
        q[k - 1] += carry;
    }
    return pack_words(negative, exp + 1, q.data(), 23, 51);
}

Unpacked from_double(double x, bool is_float) {
    if (std::isnan(x)) return make_zero();
    const bool negative = std::signbit(x);
    if (std::isinf(x)) return make_inf(negative);
    x = std::fabs(x);
    if (x == 0.0) return make_zero();
    const int precision = is_float ? 6 : 15, low_exponent = is_float ? -37 : -307;
    int k = static_cast<int>(static_cast<float>(std::log10(x)));
    if (k / 2 > kMaxExp) {
        if (x >= 1e126) return make_inf(negative);
        k = 2 * kMaxExp + 1;
    }
    int e = k / 2;
    if (std::pow(100.0, e) > x) --e;
    if (e < kMinExp) return make_zero();
    double y =
        k < precision + low_exponent ? x * 1e16 * std::pow(100.0, -e - 8) : x * std::pow(100.0, -e);
    while (y >= 100.0) {
        y /= 100.0;
        ++e;
    }
    while (y < 1.0) {
        y *= 100.0;
        --e;
    }
    int count = is_float ? 5 : 9;
    if (is_float && ((x >= 1.0 && k % 2 != 0) || (x < 1.0 && k % 2 == 0))) count = 4;
    int digits[9];
    for (int i = 0; i < count - 1; ++i) {
        digits[i] = static_cast<int>(std::floor(y));
        y = (y - std::floor(y)) * 100.0;
    }
    digits[count - 1] = static_cast<int>(y + 0.1);
    for (int i = count - 1; i > 0 && digits[i] >= 100; --i) {
        digits[i] -= 100;
        ++digits[i - 1];
    }
    uint8_t bytes[10] = {};
    int first = 0;
    if (digits[0] >= 100) {  // the carry left the first digit
        digits[0] -= 100;
        bytes[0] = 1;
        first = 1;
        ++e;
    }
    for (int i = 0; i < count; ++i) bytes[first + i] = static_cast<uint8_t>(digits[i]);
    return round_significant(from_digits(negative, e, bytes, count + first), precision);
}

}  // namespace literal
