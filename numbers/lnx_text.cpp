// Numbers and plain text: reading a number from text (lnxcpn), measuring
// how much of a text is a number (lnxscn), writing one in a width (lnxnuc),
// reading text under a parsed model (lnxfcn), and the digit conversions
// that the format-model code shares.
#include "numbers/lnx_text.hpp"

#include <algorithm>
#include <cstring>

#include "lnx.h"
#include "lx.h"

namespace tavo::num::text {

Decimal to_decimal(const Unpacked &u) {
    Decimal r;
    if (!u.is_finite()) return r;
    int n = 0;
    const uint8_t first = u.digit[0];
    if (first >= 10) r.d[n++] = static_cast<uint8_t>(first / 10);
    r.d[n++] = static_cast<uint8_t>(first % 10);
    for (int k = 1; k < u.count; ++k) {
        r.d[n++] = static_cast<uint8_t>(u.digit[k] / 10);
        r.d[n++] = static_cast<uint8_t>(u.digit[k] % 10);
    }
    while (n > 0 && r.d[n - 1] == 0) --n;
    r.n = n;
    r.point = integer_decimal_digits(u);
    return r;
}

Unpacked from_decimal(bool negative, const uint8_t *d, int n, int64_t point) {
    while (n > 0 && d[n - 1] == 0) --n;
    if (n == 0) return make_zero();
    // The scientific exponent: the first digit stands for d[0] x 10^sci.
    const int64_t sci = point - 1;
    if (sci < 2 * kMinExp) return make_zero();
    if (sci > 2 * kMaxExp + 1) return make_inf(negative);
    const int s = static_cast<int>(sci);
    const int exp = s >= 0 ? s / 2 : -((1 - s) / 2);  // floor(s / 2)
    // An even exponent puts the first digit alone in its base-100 digit.
    uint8_t b[kMaxDigits + 2] = {};
    int m = 0;
    int i = 0;
    if ((s & 1) == 0) b[m++] = d[i++];
    for (; i < n; i += 2) b[m++] = static_cast<uint8_t>(d[i] * 10 + (i + 1 < n ? d[i + 1] : 0));
    if (m > kMaxDigits) return from_long_digits(negative, exp, b, m, 50);
    return from_digits(negative, exp, b, m);
}

void scan_number(const uint8_t *text, uint32_t len, const Charset &cs, Scan &s) {
    s = Scan{};
    const uint8_t blank = cs.chars[kBlank];
    uint32_t i = 0;
    while (i < len && text[i] == blank) ++i;
    if (i < len && (text[i] == cs.chars[kPlus] || text[i] == cs.chars[kMinus])) {
        s.negative = text[i] == cs.chars[kMinus];
        ++i;
    }
    bool any = false;
    int d;
    // Integer digits: leading zeros drop, digits past the 40th only move
    // the point.
    while (i < len && (d = digit_of(cs, text[i])) >= 0) {
        any = true;
        if (d != 0 || s.n > 0) {
            if (s.n < 40) s.digits[s.n++] = static_cast<uint8_t>(d);
            ++s.point;
        }
        ++i;
    }
    if (i < len && text[i] == cs.decimal) {
        ++i;
        while (i < len && (d = digit_of(cs, text[i])) >= 0) {
            any = true;
            if (s.n == 0 && d == 0)
                --s.point;
            else if (s.n < 40)
                s.digits[s.n++] = static_cast<uint8_t>(d);
            ++i;
        }
    }
    if (!any) {
        s = Scan{};
        return;
    }
    if (s.n == 0) s.point = 0;
    // An exponent counts only with at least one digit.
    if (i < len && (text[i] == cs.chars[kLowerE] || text[i] == cs.chars[kUpperE])) {
        uint32_t j = i + 1;
        bool negative = false;
        if (j < len && (text[j] == cs.chars[kPlus] || text[j] == cs.chars[kMinus])) {
            negative = text[j] == cs.chars[kMinus];
            ++j;
        }
        if (j < len && digit_of(cs, text[j]) >= 0) {
            int64_t e = 0;
            while (j < len && (d = digit_of(cs, text[j])) >= 0) {
                if (e <= 127) e = e * 10 + d;  // far beyond the range already
                ++j;
            }
            s.exponent = negative ? -e : e;
            i = j;
        }
    }
    while (i < len && text[i] == blank) ++i;
    s.consumed = i;
}

namespace {

// The text of a text argument: length 0 means a length byte first.
void text_view(const char *text, uint32_t textlen, const uint8_t *&p, uint32_t &len) {
    p = reinterpret_cast<const uint8_t *>(text);
    len = textlen;
    if (p == nullptr) {
        len = 0;
    } else if (textlen == 0) {
        len = p[0];
        ++p;
    }
}

}  // namespace

// ---- Number to text in a width -------------------------------------------------

namespace {

void hashes(char *out, int64_t width, const Charset &cs) {
    std::memset(out, cs.chars[kHash], static_cast<size_t>(width));
}

// Writes text right-justified in width characters, or # when it is longer.
void justify(char *out, int64_t width, const uint8_t *text, int n, const Charset &cs) {
    if (n > width) return hashes(out, width, cs);
    std::memset(out, cs.chars[kBlank], static_cast<size_t>(width - n));
    std::memcpy(out + (width - n), text, static_cast<size_t>(n));
}

// Fixed notation: the value rounded so that its integer digits, the point
// and the fraction take at most room characters (the integer digits fit).
// Returns the characters written to t.
int fixed_text(const Unpacked &u, int point, int64_t room, const Charset &cs, uint8_t *t) {
    const int64_t places = point > 0 ? room - point - 1 : room - 1;
    const Decimal d = to_decimal(round_places(u, places < 0 ? 0 : places, false));
    int n = 0;
    if (d.n == 0) {
        t[n++] = cs.chars[0];
        return n;
    }
    if (u.negative) t[n++] = cs.chars[kMinus];
    for (int k = 0; k < d.point; ++k) t[n++] = cs.chars[k < d.n ? d.d[k] : 0];
    if (d.n > d.point) {
        t[n++] = cs.decimal;
        for (int k = d.point; k < 0; ++k) t[n++] = cs.chars[0];
        for (int k = d.point > 0 ? d.point : 0; k < d.n; ++k) t[n++] = cs.chars[d.d[k]];
    }
    return n;
}

// Scientific notation in exactly width characters, written straight into
// out (zeros fill what the digits leave); false when fewer than two digits
// would fit.
bool scientific_text(const Unpacked &u, int point, int64_t width, const Charset &cs, char *out) {
    const int64_t room = width - (u.negative ? 1 : 0);
    const int x0 = point - 1;
    int64_t k = room - 5 - ((x0 >= 100 || x0 <= -100) ? 1 : 0);
    if (k < 2) return false;
    Decimal d = to_decimal(round_significant(u, k > 40 ? 40 : k));
    if (d.n == 0) return false;  // rounded beyond the range
    int x = d.point - 1;
    if ((x >= 100 || x <= -100) && !(x0 >= 100 || x0 <= -100)) {
        // The carry from 99 to 100 needs a third exponent digit.
        if (--k < 2) return false;
        d = to_decimal(round_significant(u, k > 40 ? 40 : k));
        if (d.n == 0) return false;
        x = d.point - 1;
    }
    // Rounding 9.99...E-100 up leaves two exponent digits: a zero more.
    k = room - 5 - ((x >= 100 || x <= -100) ? 1 : 0);
    auto *t = reinterpret_cast<uint8_t *>(out);
    if (u.negative) *t++ = cs.chars[kMinus];
    *t++ = cs.chars[d.d[0]];
    *t++ = cs.decimal;
    const int64_t shown = k - 1 < d.n - 1 ? k - 1 : d.n - 1;
    for (int64_t j = 1; j <= shown; ++j) *t++ = cs.chars[d.d[j]];
    std::memset(t, cs.chars[0], static_cast<size_t>(k - 1 - shown));
    t += k - 1 - shown;
    *t++ = cs.chars[kUpperE];
    *t++ = cs.chars[x < 0 ? kMinus : kPlus];
    int a = x < 0 ? -x : x;
    if (a >= 100) {
        *t++ = cs.chars[1];
        a -= 100;
    }
    *t++ = cs.chars[a / 10];
    *t = cs.chars[a % 10];
    return true;
}

}  // namespace

void number_to_text(const Unpacked &u, char *out, int64_t width, bool scientific,
                    const Charset &cs) {
    if (u.is_zero()) {
        // "0", or "0E+00"
        static constexpr int roles[] = {0, kUpperE, kPlus, 0, 0};
        uint8_t z[5];
        for (int i = 0; i < 5; ++i) z[i] = cs.chars[roles[i]];
        return justify(out, width, z, scientific ? 5 : 1, cs);
    }
    if (u.is_inf()) {
        const uint8_t inf[] = {cs.chars[kMinus], cs.chars[kTilde]};
        const bool neg = u.kind == Kind::neg_inf;
        return justify(out, width, neg ? inf : inf + 1, neg ? 2 : 1, cs);
    }
    const int64_t room = width - (u.negative ? 1 : 0);
    if (room <= 0) return hashes(out, width, cs);
    const Decimal d = to_decimal(u);
    const int x = d.point - 1;
    const int64_t fraction = d.n - d.point;
    if (!scientific && x < room && (x > -5 || fraction + 2 <= room)) {
        // The text is at most a sign, 126 integer digits, the point, 130
        // leading zeros and 40 digits; longer widths are padding.
        uint8_t t[320];
        return justify(out, width, t, fixed_text(u, d.point, room, cs, t), cs);
    }
    if (!scientific_text(u, d.point, width, cs, out)) hashes(out, width, cs);
}

// ---- Text under a model -----------------------------------------------------------

namespace {

// Reads a number under a parsed model; the digits and exponent collected
// as scan_number collects them.
class ModelReader {
  public:
    ModelReader(const uint8_t *t, uint32_t n, const lnxfmt &pf, const lxlinfo &lang)
        : t_(t), n_(n), pf_(pf), lang_(lang), cs_(charset_of(&lang)) {}

    // The characters consumed, 0 when the text does not match.
    uint32_t read(Unpacked &value);

  private:
    bool at(uint8_t c) const { return i_ < n_ && t_[i_] == c; }
    bool take(uint8_t c) {
        if (!at(c)) return false;
        ++i_;
        return true;
    }
    bool take_role(int role) { return take(cs_.chars[role]); }
    void skip_blanks() {
        while (at(cs_.chars[kBlank])) ++i_;
    }
    bool take_symbol();
    bool digits();
    bool separators_fit(int int_count) const;

    const uint8_t *t_;
    uint32_t n_;
    uint32_t i_ = 0;
    const lnxfmt &pf_;
    const lxlinfo &lang_;
    Charset cs_;

    uint8_t sig_[40];
    int nsig_ = 0;
    int64_t point_ = 0;
    int64_t exponent_ = 0;
    int int_count_ = 0, frac_count_ = 0;
    bool decimal_read_ = false;
    uint8_t last_digit_ = 0;
    uint8_t seps_[39];
    int nseps_ = 0;
};

bool ModelReader::take_symbol() {
    const char *sym = (pf_.flags & LNXFMT_ISO) ? lang_.isocur : lang_.localcur;
    const uint32_t len =
        static_cast<uint32_t>(strnlen(sym, (pf_.flags & LNXFMT_ISO) ? 3 : sizeof lang_.localcur));
    if (len == 0 || n_ - i_ < len) return false;
    lxwork w;
    if (lxwbind(&w, lxenvget(&lang_)) != LXS_OK) return false;
    lxcur c;
    lxcopen(&c, t_ + i_, n_ - i_, &w);
    const bool same = lxccmp(&c, sym, len, LXCMP_NOCASE) == 0;
    lxwfree(&w);
    if (same) i_ += len;
    return same;
}

// Every separator read sits where the model has one, once the model's
// unused leading positions are discounted.
bool ModelReader::separators_fit(int int_count) const {
    const int unused = pf_.intpos - int_count;
    for (int k = 0; k < nseps_; ++k) {
        bool found = false;
        for (int s = 0; s < 39 && pf_.septab[s] != 0; ++s)
            if ((pf_.septab[s] & 0x7F) - unused == seps_[k]) found = true;
        if (!found) return false;
    }
    return true;
}

bool ModelReader::digits() {
    const uint32_t flags = pf_.flags;
    bool model_comma = (flags & LNXFMT_PERIOD) != 0;
    for (int s = 0; s < 39 && pf_.septab[s] != 0; ++s)
        if (!(pf_.septab[s] & 0x80)) model_comma = true;
    const uint8_t sep = model_comma ? cs_.chars[kComma] : cs_.group;
    const bool has_decimal = !(flags & LNXFMT_NODECIMAL);
    const uint8_t dec = (flags & LNXFMT_PERIOD) ? cs_.chars[kPeriod] : cs_.decimal;
    int d;
    while (i_ < n_) {
        if ((d = digit_of(cs_, t_[i_])) >= 0) {
            ++i_;
            last_digit_ = static_cast<uint8_t>(d);
            if (decimal_read_) {
                ++frac_count_;
                if (nsig_ == 0 && d == 0)
                    --point_;
                else if (nsig_ < 40)
                    sig_[nsig_++] = static_cast<uint8_t>(d);
            } else {
                ++int_count_;
                if (d != 0 || nsig_ > 0) {
                    if (nsig_ < 40) sig_[nsig_++] = static_cast<uint8_t>(d);
                    ++point_;
                }
            }
            continue;
        }
        if (decimal_read_ || !has_decimal) {
            // no decimal character to come
        } else if ((flags & LNXFMT_CURMID) ? take_symbol() : take(dec)) {
            decimal_read_ = true;
            if (int_count_ < pf_.lzcount || int_count_ > pf_.intpos) return false;
            if (!separators_fit(int_count_)) return false;
            continue;
        }
        if (!decimal_read_ && int_count_ > 0 && at(sep)) {
            if (nseps_ == 39) return false;
            seps_[nseps_++] = static_cast<uint8_t>(int_count_ > 255 ? 255 : int_count_);
            ++i_;
            continue;
        }
        break;
    }
    if ((flags & LNXFMT_EEEE) && int_count_ + frac_count_ > 0 &&
        (at(cs_.chars[kLowerE]) || at(cs_.chars[kUpperE]))) {
        ++i_;
        bool negative = false;
        if (at(cs_.chars[kPlus]) || at(cs_.chars[kMinus])) negative = t_[i_++] == cs_.chars[kMinus];
        if (i_ >= n_ || digit_of(cs_, t_[i_]) < 0) return false;
        int64_t e = 0;
        while (i_ < n_ && (d = digit_of(cs_, t_[i_])) >= 0) {
            if (e <= 127) e = e * 10 + d;
            ++i_;
        }
        exponent_ = negative ? -e : e;
    }
    if (!has_decimal) {
        // V: the last fraction-position digits are the fraction.
        int_count_ -= pf_.fracpos;
        frac_count_ = pf_.fracpos;
        point_ -= pf_.fracpos;
        if (int_count_ < 0) return false;
        if (!separators_fit(int_count_)) return false;
    }
    return int_count_ + frac_count_ > 0 || decimal_read_;
}

uint32_t ModelReader::read(Unpacked &value) {
    const uint32_t flags = pf_.flags;
    const bool fm = !(flags & LNXFMT_NOFM);
    // A zero printed as blanks.
    if ((flags & LNXFMT_BLANK) && n_ == pf_.width) {
        uint32_t k = 0;
        while (k < n_ && t_[k] == cs_.chars[kBlank]) ++k;
        if (k == n_) {
            value = make_zero();
            return n_;
        }
    }
    skip_blanks();
    bool negative = false;
    int bracket = 0;
    if (flags & LNXFMT_SLEAD) {
        if (take_role(kMinus))
            negative = true;
        else if (!take_role(kPlus))
            return 0;
    } else if ((flags & LNXFMT_PR) && take_role(kLess)) {
        negative = true;
        bracket = kGreater;
    } else if ((flags & LNXFMT_PT) && take_role(kOpen)) {
        negative = true;
        bracket = kClose;
    } else if (!(flags & (LNXFMT_MI | LNXFMT_STRAIL)) && take_role(kMinus)) {
        negative = true;
    }
    if ((flags & LNXFMT_DOLLAR) && !take_role(kDollar)) return 0;
    if ((flags & LNXFMT_CURLEAD) && !take_symbol()) return 0;
    if (!digits()) return 0;
    if ((flags & LNXFMT_CURTRAIL) && !take_symbol()) return 0;
    if (flags & LNXFMT_STRAIL) {
        if (take_role(kMinus))
            negative = true;
        else if (!take_role(kPlus))
            return 0;
    } else if (flags & LNXFMT_MI) {
        if (i_ < n_) {
            if (t_[i_] == cs_.chars[kMinus]) negative = true;
            ++i_;
        } else if (!fm) {
            return 0;  // only under FM does a positive value print nothing there
        }
    } else if (bracket != 0 && !take_role(bracket)) {
        return 0;
    }
    // What the printer pads with after a positive value's missing sign.
    skip_blanks();
    if (i_ != n_ || i_ == 0) return 0;
    if (int_count_ < pf_.lzcount || int_count_ > pf_.intpos) return 0;
    if (frac_count_ > pf_.fracpos) return 0;
    if (fm && frac_count_ < pf_.minfrac) return 0;
    if ((flags & LNXFMT_FIVE) && (pf_.fracpos == 0 || frac_count_ == pf_.fracpos) &&
        int_count_ + frac_count_ > 0 && last_digit_ != 0 && last_digit_ != 5)
        return 0;
    if (!decimal_read_ && (flags & LNXFMT_NODECIMAL) == 0 && int_count_ > pf_.intpos) return 0;
    value = from_decimal(negative, sig_, nsig_, point_ + exponent_);
    return i_;
}

}  // namespace

}  // namespace tavo::num::text

using namespace tavo::num;
using namespace tavo::num::text;

extern "C" {

TAVO_API void lnxcpn(const char *text, uint32_t textlen, uint8_t *dst, uint32_t *dstlen,
                     uint8_t hasprec, int32_t precision, uint8_t hasscale, int32_t scale,
                     uint32_t *consumed, const struct lxlinfo *lang) noexcept {
    const uint8_t *p;
    uint32_t len;
    text_view(text, textlen, p, len);
    Scan s;
    if (lang != nullptr && lxenvget(lang) == nullptr) len = 0;  // no usable language
    scan_number(p, len, charset_of(lang), s);
    Unpacked value = from_decimal(s.negative, s.digits, s.n, s.point + s.exponent);
    uint32_t used = s.consumed;
    if (hasprec || hasscale) {
        const int64_t digits = hasprec ? precision : 40;
        const int64_t places = hasscale ? scale : 0;
        value = round_places(value, places, false);
        const bool overflow = value.is_inf() || (value.is_finite() &&
                                                 integer_decimal_digits(value) > digits - places);
        if (hasprec && overflow) used = 0;
    }
    emit(dst, dstlen, value);
    if (consumed != nullptr) *consumed = used;
}

TAVO_API uint32_t lnxscn(const char *text, uint32_t textlen, const struct lxlinfo *lang) noexcept {
    const uint8_t *p = reinterpret_cast<const uint8_t *>(text);
    if (p == nullptr) return 0;
    if (lang != nullptr && lxenvget(lang) == nullptr) return 0;
    Scan s;
    scan_number(p, textlen, charset_of(lang), s);
    return s.consumed;
}

TAVO_API void lnxnuc(const uint8_t *num, int32_t len, char *out, int32_t width,
                     const struct lxlinfo *lang) noexcept {
    if (out == nullptr || width == 0) return;
    const int64_t w = width < 0 ? -static_cast<int64_t>(width) : width;
    const Charset cs = charset_of(lang);
    if (lang != nullptr && lxenvget(lang) == nullptr) {
        std::memset(out, cs.chars[kHash], static_cast<size_t>(w));
        return;
    }
    number_to_text(load(num, len), out, w, width < 0, cs);
}

TAVO_API uint32_t lnxfcn(const char *text, uint32_t textlen, const lnxfmt *pf, uint8_t *dst,
                         uint32_t *dstlen, const struct lxlinfo *lang) noexcept {
    uint32_t used = 0;
    Unpacked value;
    const uint32_t unusable = LNXFMT_DATE | LNXFMT_ROMAN;
    if (text != nullptr && pf != nullptr && lang != nullptr && lxenvget(lang) != nullptr &&
        (pf->flags & LNXFMT_PARSED) && !(pf->flags & unusable))
        used =
            ModelReader(reinterpret_cast<const uint8_t *>(text), textlen, *pf, *lang).read(value);
    if (used == 0) {
        // The empty result.
        if (dst != nullptr) {
            if (dstlen != nullptr)
                *dstlen = 0;
            else
                dst[0] = 0;
        }
        return 0;
    }
    emit(dst, dstlen, value);
    return used;
}

}  // extern "C"
