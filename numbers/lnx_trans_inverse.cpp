// Arc sine, arc cosine, arc tangent and the angle of a point.
//
// All three come from one arc tangent on [0, 1], found by Newton's method
// on the tangent: arc sine and arc cosine through
// arccos(a) = 2 arctan(sqrt((1 - a) / (1 + a))), arguments above 1 through
// arctan(a) = pi/2 - arctan(1/a).
#include "lnx.h"
#include "numbers/number.hpp"
#include "numbers/transcendental.hpp"

namespace tavo::num::trans {

namespace {

// Below 100^-9 the arc sine is its argument to every digit kept.
constexpr int kTinyExponentByte = 0xB7;
constexpr int kMaxCorrections = 15;

// y = arctan(a) for 0 <= a <= 1: y <- y + (a - tan y) / (1 + tan^2 y) from
// y = a. The iteration ends once a correction lies more than 15 base-100
// positions below y, after applying it: convergence is quadratic, so y is
// then good to the last digit the tangent gives.
Unpacked arctan_newton(const Unpacked &a) {
    const Constants &c = constants();
    Unpacked y = a;
    for (int i = 0; i < kMaxCorrections; ++i) {
        const Unpacked t = series_function(y, LNXTRA_TAN);
        const Unpacked d = divide(sum(a, t, true), sum(c.one, product(t, t), false));
        if (d.is_zero()) break;
        const bool last = d.exp + 15 < y.exp;
        y = sum(y, d, false);
        if (last) break;
    }
    return y;
}

}  // namespace

bool inverse_function(const Unpacked &x, int32_t code, Unpacked &out) {
    const Constants &c = constants();
    if (code != LNXTRI_ASIN && code != LNXTRI_ACOS && code != LNXTRI_ATAN) return false;
    if (code == LNXTRI_ATAN && x.is_inf()) {
        out = x.is_negative() ? negate(c.half_pi) : c.half_pi;
        return true;
    }
    Unpacked a = absolute(x);
    if (code != LNXTRI_ATAN) {
        if (compare(a, c.one) > 0) return false;
        if (exponent_byte(a) <= kTinyExponentByte) {
            out = code == LNXTRI_ASIN ? x : sum(c.half_pi, x, true);
            return true;
        }
        // arctan of this is half the arc cosine of a.
        a = square_root(divide(sum(c.one, a, true), sum(c.one, a, false)));
    }
    const bool reflect = compare(a, c.one) > 0;
    if (reflect) a = divide(c.one, a);

    Unpacked y = arctan_newton(a);
    if (reflect) y = sum(c.half_pi, y, true);
    if (y.is_negative()) {
        y = c.zero;
    } else if (compare(y, c.half_pi) > 0) {
        y = c.half_pi;
    }

    const bool negative = x.is_negative();
    switch (code) {
        case LNXTRI_ASIN:
            y = product(y, c.two);  // arccos(a)
            out = negative ? sum(y, c.half_pi, true) : sum(c.half_pi, y, true);
            break;
        case LNXTRI_ACOS:
            y = product(y, c.two);
            out = negative ? sum(c.pi, y, true) : y;
            break;
        default:
            out = negative ? negate(y) : y;
            break;
    }
    return true;
}

}  // namespace tavo::num::trans

using namespace tavo::num;
using namespace tavo::num::trans;

extern "C" {

TAVO_API int32_t lnxqtri(const uint8_t *num, int32_t len, uint8_t *dst, uint32_t *dstlen,
                         int32_t code) noexcept {
    Unpacked result;
    if (!inverse_function(load(num, len), code, result)) return -1;
    emit(dst, dstlen, result);
    return 0;
}

TAVO_API int32_t lnxatn2(const uint8_t *y, int32_t ylen, const uint8_t *x, int32_t xlen,
                         uint8_t *dst, uint32_t *dstlen) noexcept {
    const Constants &c = constants();
    const Unpacked yv = load(y, ylen), xv = load(x, xlen);
    if (yv.is_zero() && xv.is_zero()) return -1;
    // y / 0 is an infinity of the sign of y, whose arc tangent is +-pi/2.
    Unpacked a;
    inverse_function(divide(yv, xv), LNXTRI_ATAN, a);
    if (xv.is_negative()) a = sum(a, c.pi, yv.is_negative());
    emit(dst, dstlen, a);
    return 0;
}

}  // extern "C"
