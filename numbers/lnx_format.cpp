// Number format models: the character tables, the compiled date models,
// parsing a model (lnxpfl) and printing a number under it (lnxnft).
#include <csetjmp>
#include <cstring>

#include "ldx.h"
#include "lnx.h"
#include "numbers/lnx_text.hpp"

extern "C" {

TAVO_API extern const uint8_t lnxqasc_chars[46] = {
    '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '+', '-', ' ', '.', ',', '$',
    '<', '>', '(', ')', '#', '~', 'b', 'c', 'd', 'e', 'f', 'g', 'i', 'l', 'm', 'p',
    'r', 's', 't', 'v', 'B', 'C', 'E', 'I', 'L', 'M', 'P', 'R', 'S', 'T'};

TAVO_API extern const uint8_t lnxqebc_chars[46] = {
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0x4E, 0x60, 0x40, 0x4B, 0x6B, 0x5B,
    0x4C, 0x6E, 0x4D, 0x5D, 0x7B, 0xA1, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x89, 0x93, 0x94, 0x97,
    0x99, 0xA2, 0xA3, 0xA5, 0xC2, 0xC3, 0xC5, 0xC9, 0xD3, 0xD4, 0xD7, 0xD9, 0xE2, 0xE3};

// Writable by callers that want other characters without a handle.
TAVO_API uint8_t lnxqcom_chars[46] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '+', '-',
                                      ' ', '.', ',', '$', '<', '>', '(', ')', '#', '~', 'b', 'c',
                                      'd', 'e', 'f', 'g', 'i', 'l', 'm', 'p', 'r', 's', 't', 'v',
                                      'B', 'C', 'E', 'I', 'L', 'M', 'P', 'R', 'S', 'T'};

// Compiled date models: MM, DD and YY filled to two digits, separated by
// one-character literals (0x2E, then the slash of the set), ended by 0, 0.
TAVO_API extern const uint8_t lnxqdate[16] = {0x11, 0x10, 0x2E, '/',  0x16,
                                              0x10, 0x2E, '/',  0x06, 0x10};
TAVO_API extern const uint8_t lnxqedate[16] = {0x16, 0x10, 0x2E, '/',  0x11,
                                               0x10, 0x2E, '/',  0x06, 0x10};
TAVO_API extern const uint8_t lnxqa_date[16] = {0x11, 0x10, 0x2E, '/',  0x16,
                                                0x10, 0x2E, '/',  0x06, 0x10};
TAVO_API extern const uint8_t lnxqa_edate[16] = {0x16, 0x10, 0x2E, '/',  0x11,
                                                 0x10, 0x2E, '/',  0x06, 0x10};
TAVO_API extern const uint8_t lnxqe_date[16] = {0x11, 0x10, 0x2E, 0x61, 0x16,
                                                0x10, 0x2E, 0x61, 0x06, 0x10};
TAVO_API extern const uint8_t lnxqe_edate[16] = {0x16, 0x10, 0x2E, 0x61, 0x11,
                                                 0x10, 0x2E, 0x61, 0x06, 0x10};

}  // extern "C"

namespace tavo::num::text {

namespace {

constexpr int kMaxWidth = 64;
constexpr int kSeparators = 38;  // the table's 39th entry ends it

// ---- Model characters ---------------------------------------------------------

// A model character as the parser sees it: its lower-case ASCII spelling
// (0 when it is no model character) and whether it was written in upper
// case.
struct ModelChar {
    char c = 0;
    bool upper = false;
};

// The ASCII letter of an EBCDIC letter byte, 0 for any other byte.
char ebcdic_letter(uint8_t b) {
    const uint8_t low = b & 0xBF;  // upper-case letters are 0x40 above the lower
    if (b < 0x80) return 0;
    if (low >= 0x81 && low <= 0x89) return static_cast<char>((b & 0x40 ? 'A' : 'a') + (low - 0x81));
    if (low >= 0x91 && low <= 0x99) return static_cast<char>((b & 0x40 ? 'J' : 'j') + (low - 0x91));
    if (low >= 0xA2 && low <= 0xA9) return static_cast<char>((b & 0x40 ? 'S' : 's') + (low - 0xA2));
    return 0;
}

ModelChar model_char(uint8_t b, const Charset &cs) {
    ModelChar m;
    for (int r = 0; r < kRoles; ++r) {
        if (cs.chars[r] != b) continue;
        const char a = static_cast<char>(lnxqasc_chars[r]);
        m.upper = a >= 'A' && a <= 'Z';
        m.c = m.upper ? static_cast<char>(a - 'A' + 'a') : a;
        return m;
    }
    // Letters the table leaves out (a and n of "date" and "rn", and the
    // upper case of d, f, g and v), in the set's own encoding.
    const char a = cs.ebcdic ? ebcdic_letter(b) : static_cast<char>(b);
    if (a >= 'A' && a <= 'Z') {
        m.upper = true;
        m.c = static_cast<char>(a - 'A' + 'a');
    } else if (a >= 'a' && a <= 'z') {
        m.c = a;
    }
    return m;
}

// ---- Parsing ---------------------------------------------------------------------

class ModelParser {
  public:
    ModelParser(const ModelChar *m, int n, lnxfmt &pf) : m_(m), n_(n), pf_(pf) {}

    bool parse() {
        if (is("date", 0) && n_ == 4) return date(LNXFMT_DATE);
        if (is("edate", 0) && n_ == 5) return date(LNXFMT_DATE | LNXFMT_EDATE);
        uint32_t flags = LNXFMT_NOFM;
        int p = 0;
        if (is("fm", 0)) {
            flags = 0;
            p = 2;
        }
        if (n_ - p == 2 && is("rn", p)) {
            pf_.flags =
                flags | LNXFMT_ROMAN | LNXFMT_PARSED | (m_[p].upper ? 0 : LNXFMT_ROMANLOWER);
            pf_.width = 15;
            return true;
        }
        flags_ = flags;
        if (p < n_ && m_[p].c == 's') {
            flags_ |= LNXFMT_SLEAD;
            ++p;
        }
        while (p < n_) {
            const int step = element(p);
            if (step == 0) return false;
            p += step;
        }
        return finish();
    }

  private:
    bool is(const char *word, int at) const {
        int k = 0;
        for (; word[k] != 0; ++k)
            if (at + k >= n_ || m_[at + k].c != word[k]) return false;
        return true;
    }

    // What may follow a trailing currency symbol: nothing, S, PR, PT, MI.
    bool sign_suffix(int at) const {
        const int left = n_ - at;
        return left == 0 || (left == 1 && m_[at].c == 's') ||
               (left == 2 && (is("pr", at) || is("pt", at) || is("mi", at)));
    }

    bool date(uint32_t flags) {
        pf_.flags = flags | LNXFMT_PARSED;
        pf_.width = 8;
        return true;
    }

    bool any_digit() const { return intpos_ + fracpos_ > 0; }

    // Handles the element at p; returns the characters it takes, 0 when the
    // model is invalid there.
    int element(int p) {
        switch (m_[p].c) {
            case '9':
            case '0':
            case '5':
                return digit(p);
            case ',':
                if (intpos_ == 0 || decimal_ || eeee_ || group_ || dchar_) return 0;
                comma_ = true;
                return separator(0);
            case 'g':
                if (intpos_ == 0 || decimal_ || eeee_ || comma_ || period_) return 0;
                group_ = true;
                return separator(0x80);
            case '.':
                if (decimal_ || eeee_ || group_) return 0;
                decimal_ = period_ = true;
                flags_ |= LNXFMT_PERIOD;
                return 1;
            case 'd':
                if (decimal_ || eeee_ || comma_) return 0;
                decimal_ = dchar_ = true;
                return 1;
            case 'v':
                if (decimal_ || eeee_) return 0;
                decimal_ = true;
                flags_ |= LNXFMT_NODECIMAL;
                return 1;
            case '$':
                if (currency_) return 0;
                currency_ = true;
                flags_ |= LNXFMT_DOLLAR;
                return 1;
            case 'b':
                if (flags_ & LNXFMT_BLANK) return 0;
                flags_ |= LNXFMT_BLANK;
                return 1;
            case 'c':
            case 'l':
                return currency(p);
            case 'e':
                if (eeee_ || !is("eeee", p)) return 0;
                eeee_ = true;
                flags_ |= LNXFMT_EEEE;
                return 4;
            case 'm':
                if (p + 2 != n_ || !is("mi", p) || (flags_ & LNXFMT_SLEAD)) return 0;
                flags_ |= LNXFMT_MI;
                return 2;
            case 'p':
                if (p + 2 != n_ || (flags_ & LNXFMT_SLEAD)) return 0;
                if (is("pr", p))
                    flags_ |= LNXFMT_PR;
                else if (is("pt", p))
                    flags_ |= LNXFMT_PT;
                else
                    return 0;
                return 2;
            case 's':
                if (p + 1 != n_ || (flags_ & LNXFMT_SLEAD)) return 0;
                flags_ |= LNXFMT_STRAIL;
                return 1;
            default:
                return 0;
        }
    }

    int digit(int p) {
        const char c = m_[p].c;
        if (eeee_ || five_) return 0;  // no digit after EEEE or after the 5
        if (c == '5') {
            // The last digit: followed by nothing, S, C or L, PR, PT or MI.
            int q = p + 1;
            if (q < n_ && (m_[q].c == 'c' || m_[q].c == 'l')) ++q;
            if (!sign_suffix(q)) return 0;
            five_ = true;
            flags_ |= LNXFMT_FIVE;
        }
        if (decimal_) {
            ++fracpos_;
            if (c == '0') last_zero_ = fracpos_;
        } else {
            ++intpos_;
            if (c == '0' && first_zero_ < 0) first_zero_ = intpos_ - 1;
        }
        return intpos_ + fracpos_ > 255 ? 0 : 1;
    }

    int separator(uint8_t g) {
        if (nsep_ == kSeparators) return 0;
        pf_.septab[nsep_++] = static_cast<uint8_t>(intpos_ | g);
        return 1;
    }

    int currency(int p) {
        if (currency_) return 0;
        currency_ = true;
        if (m_[p].c == 'c') flags_ |= LNXFMT_ISO;
        cur_width_ = m_[p].c == 'c' ? 3 : 10;
        if (!any_digit() && !decimal_) {
            flags_ |= LNXFMT_CURLEAD;
        } else if (sign_suffix(p + 1)) {
            flags_ |= LNXFMT_CURTRAIL;
        } else {
            // In the decimal position it stands for D.
            if (decimal_ || comma_ || period_) return 0;
            decimal_ = dchar_ = true;
            flags_ |= LNXFMT_CURMID;
        }
        return 1;
    }

    bool finish() {
        if (eeee_ && (intpos_ == 0 || currency_ || (flags_ & LNXFMT_BLANK) || nsep_ > 0 || five_))
            return false;
        if (five_ && (flags_ & LNXFMT_CURMID)) return false;
        int lz = first_zero_ >= 0 ? intpos_ - first_zero_ : 0;
        if (eeee_) {
            intpos_ = 1;
            lz = lz > 1 ? 1 : lz;
        }
        if (!decimal_) flags_ |= LNXFMT_NODECIMAL;
        const bool all_fraction = (flags_ & (LNXFMT_NOFM | LNXFMT_NODECIMAL)) != 0;
        int width = 1 + intpos_ + fracpos_ + nsep_;
        if (period_ || (dchar_ && !(flags_ & LNXFMT_CURMID))) ++width;
        if (flags_ & LNXFMT_DOLLAR) ++width;
        width += cur_width_;
        if (flags_ & (LNXFMT_PR | LNXFMT_PT)) ++width;
        if (eeee_) width += 5;
        if (width > kMaxWidth) return false;
        pf_.flags = flags_ | LNXFMT_PARSED;
        pf_.intpos = static_cast<uint8_t>(intpos_);
        pf_.fracpos = static_cast<uint8_t>(fracpos_);
        pf_.width = static_cast<uint8_t>(width);
        pf_.lzcount = static_cast<uint8_t>(lz);
        pf_.minfrac = static_cast<uint8_t>(all_fraction ? fracpos_ : last_zero_);
        return true;
    }

    const ModelChar *m_;
    int n_;
    lnxfmt &pf_;
    uint32_t flags_ = 0;
    int intpos_ = 0, fracpos_ = 0, nsep_ = 0;
    int first_zero_ = -1, last_zero_ = 0;
    int cur_width_ = 0;
    bool decimal_ = false, period_ = false, dchar_ = false, comma_ = false, group_ = false;
    bool currency_ = false, eeee_ = false, five_ = false;
};

}  // namespace

int32_t parse_model(const uint8_t *text, uint32_t len, lnxfmt &pf, const Charset &cs) {
    std::memset(&pf, 0, sizeof pf);
    pf.width = 10;
    // No valid model comes near this length: every element but FM, S and
    // the sign suffixes widens the output, which stops at 64.
    if (text == nullptr || len > 255) return 1;
    ModelChar m[255];
    for (uint32_t i = 0; i < len; ++i) m[i] = model_char(text[i], cs);
    if (ModelParser(m, static_cast<int>(len), pf).parse()) return 0;
    std::memset(&pf, 0, sizeof pf);
    pf.width = 10;
    return 1;
}

}  // namespace tavo::num::text

namespace tavo::num::text {

namespace {

// ---- Printing ----------------------------------------------------------------------

// The output under construction: bounded, so that a record filled by hand
// cannot make it run over; an overflow makes the field #.
class Field {
  public:
    void put(uint8_t c) {
        if (n_ < kRoom)
            b_[n_++] = c;
        else
            full_ = true;
    }
    void put(uint8_t c, int count) {
        for (int i = 0; i < count; ++i) put(c);
    }
    void put(const uint8_t *s, int len) {
        for (int i = 0; i < len; ++i) put(s[i]);
    }
    int size() const { return n_; }
    bool full() const { return full_; }
    const uint8_t *data() const { return b_; }

  private:
    static constexpr int kRoom = 160;
    uint8_t b_[kRoom];
    int n_ = 0;
    bool full_ = false;
};

struct Symbol {
    const uint8_t *text;
    int len;
};

// What one printing call works with.
struct Printer {
    const lnxfmt &pf;
    const lxlinfo *lang;  // the handle in use, or null
    Charset cs;
    int width;

    uint8_t ch(int role) const { return cs.chars[role]; }

    uint32_t fill(char *out, uint8_t c) const {
        std::memset(out, c, static_cast<size_t>(width));
        return static_cast<uint32_t>(width);
    }
    uint32_t hashes(char *out) const { return fill(out, ch(kHash)); }

    Symbol currency() const {
        static const uint8_t iso[] = "USD";
        static const uint8_t local[] = "$";
        if (pf.flags & LNXFMT_ISO) {
            if (lang == nullptr) return {iso, 3};
            return {reinterpret_cast<const uint8_t *>(lang->isocur),
                    static_cast<int>(strnlen(lang->isocur, 3))};
        }
        if (lang == nullptr) return {local, 1};
        return {reinterpret_cast<const uint8_t *>(lang->localcur),
                static_cast<int>(strnlen(lang->localcur, sizeof lang->localcur))};
    }

    uint32_t print(const Unpacked &value, char *out) const;

  private:
    bool round(const Unpacked &value, Decimal &d) const;
    void emit_integer(Field &f, const Decimal &d, int i, bool zero_digit) const;
    void emit_fraction(Field &f, const Decimal &d) const;
    void emit_exponent(Field &f, int x) const;
    uint32_t finish(const Field &f, char *out) const;
};

// Rounds to the model and applies the 5; false when the value does not fit.
bool Printer::round(const Unpacked &value, Decimal &d) const {
    const uint32_t flags = pf.flags;
    if (flags & LNXFMT_EEEE) {
        d = to_decimal(round_significant(value, pf.intpos + pf.fracpos));
        return true;
    }
    Unpacked r = round_places(value, pf.fracpos, false);
    d = to_decimal(r);
    if (d.point > pf.intpos && d.n > 0) return false;
    if (!(flags & LNXFMT_FIVE) || d.n == 0) return true;
    // Only the model's last position is rounded to 0 or 5: a value whose
    // last digit lies further left already ends in 0 there.
    if (d.n - d.point != pf.fracpos) return true;
    uint8_t &last = d.d[d.n - 1];
    if (last <= 2) {
        last = 0;
        while (d.n > 0 && d.d[d.n - 1] == 0) --d.n;
    } else if (last <= 7) {
        last = 5;
    } else {
        r = round_places(r, pf.fracpos - 1, false);
        d = to_decimal(r);
        if (d.point > pf.intpos && d.n > 0) return false;
    }
    return true;
}

// The integer positions from the first printed one: forced zeros, the
// value's digits, zeros past its last digit, and the separators.
void Printer::emit_integer(Field &f, const Decimal &d, int i, bool zero_digit) const {
    const int lead = i > pf.lzcount ? i : pf.lzcount;
    const int pad = pf.intpos - lead;
    const int forced = lead - i;
    int s = 0;
    while (s < 39 && pf.septab[s] != 0 && (pf.septab[s] & 0x7F) <= pad) ++s;
    for (int j = pad; j < pf.intpos; ++j) {
        const int k = j - pad - forced;
        int digit = 0;
        if (k >= 0 && !zero_digit && k < d.n) digit = d.d[k];
        f.put(ch(digit));
        while (s < 39 && pf.septab[s] != 0 && (pf.septab[s] & 0x7F) == j + 1) {
            f.put((pf.septab[s] & 0x80) ? cs.group : ch(kComma));
            ++s;
        }
    }
}

void Printer::emit_fraction(Field &f, const Decimal &d) const {
    const uint32_t flags = pf.flags;
    if (!(flags & LNXFMT_NODECIMAL)) {
        if (flags & LNXFMT_PERIOD) {
            f.put(ch(kPeriod));
        } else if (flags & LNXFMT_CURMID) {
            const Symbol sym = currency();
            f.put(sym.text, sym.len);
        } else {
            f.put(cs.decimal);
        }
    }
    int printed = 0;
    if (d.n > 0) {
        const int first = d.point > 0 ? d.point : 0;
        if (d.point < 0) {
            f.put(ch(0), -d.point);
            printed = -d.point;
        }
        for (int k = first; k < d.n; ++k) f.put(ch(d.d[k]));
        printed += d.n > first ? d.n - first : 0;
    }
    if (printed < pf.minfrac) f.put(ch(0), pf.minfrac - printed);
}

void Printer::emit_exponent(Field &f, int x) const {
    f.put(ch(kUpperE));
    f.put(ch(x < 0 ? kMinus : kPlus));
    int a = x < 0 ? -x : x;
    if (a >= 100) {
        f.put(ch(1));
        a -= 100;
    }
    f.put(ch(a / 10));
    f.put(ch(a % 10));
}

uint32_t Printer::finish(const Field &f, char *out) const {
    const int n = f.size();
    if (f.full() || n > width) return hashes(out);
    if (pf.flags & LNXFMT_NOFM) {
        std::memset(out, ch(kBlank), static_cast<size_t>(width - n));
        std::memcpy(out + (width - n), f.data(), static_cast<size_t>(n));
        return static_cast<uint32_t>(width);
    }
    std::memcpy(out, f.data(), static_cast<size_t>(n));
    return static_cast<uint32_t>(n);
}

uint32_t Printer::print(const Unpacked &value, char *out) const {
    const uint32_t flags = pf.flags;
    const bool fm = !(flags & LNXFMT_NOFM);
    if (value.is_inf()) return hashes(out);
    Decimal d;
    if (!round(value, d)) return hashes(out);
    const bool zero = d.n == 0;
    if (zero && (flags & LNXFMT_BLANK)) return fm ? 0 : fill(out, ch(kBlank));
    const bool negative = !zero && value.negative;
    const bool eeee = (flags & LNXFMT_EEEE) != 0;

    Field f;
    int i, x = 0;
    bool zero_digit = false;
    Decimal shown = d;
    if (eeee) {
        i = 1;
        if (!zero) {
            x = d.point - 1;
            shown.point = 1;
        } else {
            zero_digit = true;
        }
        if (!fm && x > -100 && x < 100) f.put(ch(kBlank));
    } else {
        i = d.point > 0 ? d.point : 0;
        if (zero && pf.intpos > 0 && pf.minfrac == 0) {
            i = 1;
            zero_digit = true;
        }
    }
    const int lead = i > pf.lzcount ? i : pf.lzcount;
    if (!fm && pf.intpos > lead) f.put(ch(kBlank), pf.intpos - lead);

    if (!(flags & (LNXFMT_MI | LNXFMT_STRAIL))) {
        if (negative)
            f.put(ch((flags & LNXFMT_PR) ? kLess : (flags & LNXFMT_PT) ? kOpen : kMinus));
        else if (flags & LNXFMT_SLEAD)
            f.put(ch(kPlus));
        else if (!fm)
            f.put(ch(kBlank));
    }
    if (flags & LNXFMT_DOLLAR) f.put(ch(kDollar));
    if (flags & LNXFMT_CURLEAD) {
        const Symbol sym = currency();
        f.put(sym.text, sym.len);
    }
    if (i > pf.intpos) return hashes(out);  // a record filled by hand
    emit_integer(f, shown, i, zero_digit);
    emit_fraction(f, shown);
    if (eeee) emit_exponent(f, x);
    if (flags & LNXFMT_CURTRAIL) {
        const Symbol sym = currency();
        f.put(sym.text, sym.len);
    }
    if (negative) {
        if (flags & LNXFMT_PR)
            f.put(ch(kGreater));
        else if (flags & LNXFMT_PT)
            f.put(ch(kClose));
        else if (flags & (LNXFMT_MI | LNXFMT_STRAIL))
            f.put(ch(kMinus));
    } else if (flags & LNXFMT_STRAIL) {
        f.put(ch(kPlus));
    } else if (!fm && (flags & (LNXFMT_MI | LNXFMT_PR | LNXFMT_PT))) {
        f.put(ch(kBlank));
    }
    return finish(f, out);
}

}  // namespace

}  // namespace tavo::num::text

namespace tavo::num::text {

namespace {

// ---- Dates and Roman numerals --------------------------------------------------------

const uint8_t *date_model(const Printer &p) {
    const bool edate = (p.pf.flags & LNXFMT_EDATE) != 0;
    if (p.lang == nullptr) return edate ? lnxqedate : lnxqdate;
    if (p.cs.ebcdic) return edate ? lnxqe_edate : lnxqe_date;
    return edate ? lnxqa_edate : lnxqa_date;
}

// The value as a day number, printed through the date functions. Their
// errors come back here through lnxnfterf's jump: nothing in this frame or
// below it has a destructor to skip.
uint32_t print_date(const Printer &p, const Bytes &num, char *out) {
    ldxctx ctx;
    std::jmp_buf recovery;
    uint8_t text[16];
    if (setjmp(recovery) != 0) return p.hashes(out);
    ldxini(&ctx, const_cast<lxlinfo *>(p.lang), lnxnfterf, &recovery);
    ldxjul jul;
    if (num.len == 0) return p.hashes(out);
    // A day number beyond 32 bits is no date either.
    if (ldxftd(&ctx, num.b.data(), num.len, &jul) == 1) return p.hashes(out);
    ldxdate date;
    ldxdfd(&ctx, &jul, &date);
    const uint32_t n =
        ldxdts(&ctx, reinterpret_cast<char *>(text), sizeof text, &date, date_model(p));
    if (n != static_cast<uint32_t>(p.width)) return p.hashes(out);
    std::memcpy(out, text, n);
    return n;
}

uint32_t print_roman(const Printer &p, const Unpacked &value, char *out) {
    uint8_t bytes[kEncodedRoom];
    const int len = encode(round_places(value, 0, false), bytes);
    int32_t n = 0;
    if (lnxsni(bytes, len, &n, 4, LNXSNI_SIGNED) != 0) return p.hashes(out);
    lxwork w;
    if (lxwbind(&w, lxenvget(p.lang)) != LXS_OK) return p.hashes(out);
    const bool fm = !(p.pf.flags & LNXFMT_NOFM);
    const uint32_t flags = (p.pf.flags & LNXFMT_ROMANLOWER) ? 0 : LXO_UPPER;
    uint8_t text[32];
    lxcur c;
    lxoopen(&c, text, sizeof text, &w);
    lxoroman(&c, n, fm ? 0 : static_cast<uint32_t>(p.width), flags, &w);
    const bool ok = w.status == LXS_OK && c.pos <= static_cast<uint32_t>(p.width);
    lxwfree(&w);
    if (!ok) return p.hashes(out);
    std::memcpy(out, text, c.pos);
    return fm ? c.pos : static_cast<uint32_t>(p.width);
}

}  // namespace

}  // namespace tavo::num::text

using namespace tavo::num;
using namespace tavo::num::text;

extern "C" {

TAVO_API int32_t lnxpfl(const char *fmt, uint32_t fmtlen, lnxfmt *pf,
                        const struct lxlinfo *lang) noexcept {
    if (pf == nullptr) return 1;
    if (lxenvget(lang) == nullptr) {
        std::memset(pf, 0, sizeof *pf);
        pf->width = 10;
        return 1;
    }
    return parse_model(reinterpret_cast<const uint8_t *>(fmt), fmtlen, *pf, charset_of(lang));
}

TAVO_API uint32_t lnxgfs(const char *fmt, const struct lxlinfo *lang) noexcept {
    lnxfmt pf;
    const uint32_t len = fmt == nullptr ? 0 : static_cast<uint32_t>(strnlen(fmt, 256));
    lnxpfl(fmt, len, &pf, lang);
    return pf.width;
}

TAVO_API uint32_t lnxnft(const uint8_t *num, int32_t len, const lnxfmt *pf, char *out,
                         const struct lxlinfo *lang) noexcept {
    if (pf == nullptr || out == nullptr) return 0;
    const lxlinfo *handle = lang != nullptr ? lang : lxldflt();
    Printer p{*pf, handle, charset_of(handle), pf->width > 64 ? 64 : pf->width};
    if (lang != nullptr && lxenvget(lang) == nullptr) return p.hashes(out);
    if (!(pf->flags & LNXFMT_PARSED)) return p.hashes(out);
    if (pf->flags & LNXFMT_DATE) return print_date(p, load_bytes(num, len), out);
    const Unpacked value = load(num, len);
    if (pf->flags & LNXFMT_ROMAN) return print_roman(p, value, out);
    return p.print(value, out);
}

TAVO_API uint32_t lnxnfn(const uint8_t *num, int32_t len, const char *fmt, char *out,
                         const struct lxlinfo *lang) noexcept {
    lnxfmt pf;
    const uint32_t n = fmt == nullptr ? 0 : static_cast<uint32_t>(strnlen(fmt, 256));
    lnxpfl(fmt, n, &pf, lang);
    return lnxnft(num, len, &pf, out, lang);
}

TAVO_API void lnxnfterf(struct ldxctx *ctx, int32_t err) noexcept {
    (void)err;
    // Without a recovery point there is nowhere to go: the date function
    // goes on with the values it holds, as with any callback that returns.
    if (ctx == nullptr || ctx->cbarg == nullptr) return;
    std::longjmp(*static_cast<std::jmp_buf *>(ctx->cbarg), 1);
}

}  // extern "C"
