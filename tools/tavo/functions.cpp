// The functions of the language: conversions, date and number functions.
#include <cstring>

#include "eval_support.hpp"
#include "evaluator.hpp"
#include "sosd.h"

namespace tavo::cli {

using namespace support;

namespace {

void append_hex(std::string &out, const uint8_t *bytes, size_t len) {
    static constexpr char hex[] = "0123456789ABCDEF";
    out += ", ";
    out += std::to_string(len);
    out += len == 1 ? " byte:" : " bytes:";
    for (size_t i = 0; i < len; ++i) {
        out += ' ';
        out += hex[bytes[i] >> 4];
        out += hex[bytes[i] & 15];
    }
}

}  // namespace

Value Evaluator::call(uint32_t index, const Node &n, Args a) {
    switch (n.fn) {
        case Fn::to_char:
            return to_char(index, n, a);
        case Fn::to_number:
            return to_number(index, n, a);
        case Fn::to_date:
            return to_date(index, n, a);
        case Fn::round:
            return round_or_trunc(n, a, true);
        case Fn::trunc:
            return round_or_trunc(n, a, false);
        case Fn::dump:
            return dump(n, a);
        case Fn::sysdate:
        case Fn::add_months:
        case Fn::months_between:
        case Fn::last_day:
        case Fn::next_day:
        case Fn::iso_week:
        case Fn::iso_year:
            return date_function(n, a);
        default:
            return number_function(n, a);
    }
}

Value Evaluator::date_function(const Node &n, Args a) {
    DateCall c;
    Language &lang = *default_;
    if (n.fn == Fn::sysdate) {
        date_call(
            lang, [](ldxctx *ctx, DateCall &c) { sldxgd(ctx, &c.out, nullptr); }, c, n.column);
        return date_value(c.out);
    }
    expect_type(n, a, 0, Type::date);
    c.date = &a[0].date;
    switch (n.fn) {
        case Fn::add_months: {
            expect_type(n, a, 1, Type::number);
            if (!to_int32(a[1].num, c.n))
                fail(n.column, "add_months: the number of months is out of range");
            date_call(
                lang, [](ldxctx *ctx, DateCall &c) { ldxadm(ctx, &c.out, c.date, c.n); }, c,
                n.column);
            return date_value(c.out);
        }
        case Fn::months_between: {
            expect_type(n, a, 1, Type::date);
            c.date2 = &a[1].date;
            Number r{};
            c.bytes = r.bytes;
            date_call(
                lang,
                [](ldxctx *ctx, DateCall &c) { c.outlen = ldxsbm(ctx, c.bytes, c.date, c.date2); },
                c, n.column);
            r.len = static_cast<uint8_t>(c.outlen);
            return number_value(r);
        }
        case Fn::last_day:
            date_call(
                lang, [](ldxctx *ctx, DateCall &c) { ldxldd(ctx, &c.out, c.date); }, c, n.column);
            return date_value(c.out);
        case Fn::next_day: {
            // A day name or abbreviation of the language, or a weekday number.
            if (a[1].type == Type::text) {
                c.text = a[1].text;
                c.len = a[1].size;
                if (c.len == 0) fail_date(LDXE_WEEKDAY, n.column);
                date_call(
                    lang,
                    [](ldxctx *ctx, DateCall &c) {
                        int32_t day = ldxdyn(ctx, c.text, c.len, 0);
                        ldxnxd(ctx, &c.out, c.date, day);
                    },
                    c, n.column);
            } else if (a[1].type == Type::number) {
                c.bytes = const_cast<uint8_t *>(a[1].num.bytes);
                c.len = a[1].num.len;
                date_call(
                    lang,
                    [](ldxctx *ctx, DateCall &c) {
                        int32_t day = ldxdyn(ctx, c.bytes, c.len, 1);
                        ldxnxd(ctx, &c.out, c.date, day);
                    },
                    c, n.column);
            } else {
                expect_type(n, a, 1, Type::text);
            }
            return date_value(c.out);
        }
        case Fn::iso_week:
        case Fn::iso_year:
            c.n = n.fn == Fn::iso_week ? 1 : 0;
            date_call(
                lang,
                [](ldxctx *ctx, DateCall &c) {
                    c.result = c.n != 0 ? ldxisw(ctx, c.date) : ldxisy(ctx, c.date);
                },
                c, n.column);
            return number_value(number_of(c.result));
        default:
            break;
    }
    fail(n.column, "internal: no such date function");
}

Value Evaluator::round_or_trunc(const Node &n, Args a, bool round) {
    if (a[0].type == Type::date) {
        DateCall c;
        c.date = &a[0].date;
        c.n = LDXK_DD;
        c.result = round ? 1 : 0;
        if (n.nargs > 1) {
            expect_type(n, a, 1, Type::text);
            c.text = a[1].text;
            c.len = a[1].size;
            if (c.len == 0 || c.len > 255) fail_date(LDXE_MODEL, n.column);
            date_call(
                *default_, [](ldxctx *ctx, DateCall &c) { c.n = ldxgpc(ctx, c.text, c.len); }, c,
                n.column);
        }
        date_call(
            *default_,
            [](ldxctx *ctx, DateCall &c) {
                if (c.result != 0)
                    ldxrnd(ctx, &c.out, c.date, c.n);
                else
                    ldxtrn(ctx, &c.out, c.date, c.n);
            },
            c, n.column);
        return date_value(c.out);
    }
    expect_type(n, a, 0, Type::number);
    int32_t places = 0;
    if (n.nargs > 1) {
        expect_type(n, a, 1, Type::number);
        if (!to_int32(a[1].num, places))
            fail(n.column, fn_name(n) + ": the number of places is out of range");
    }
    Number r{};
    uint32_t len = 0;
    (round ? lnxrou : lnxtru)(a[0].num.bytes, a[0].num.len, r.bytes, &len, places);
    r.len = static_cast<uint8_t>(len);
    return checked(n, r);
}

Value Evaluator::number_function(const Node &n, Args a) {
    for (int i = 0; i < n.nargs; ++i) expect_type(n, a, i, Type::number);
    const Number &x = a[0].num;
    auto domain = [&](const char *why) { fail(n.column, fn_name(n) + ": " + why); };
    switch (n.fn) {
        case Fn::abs:
            return number_value(apply(lnxabs, x));
        case Fn::ceil:
        case Fn::floor: {
            Number r{};
            uint32_t len = 0;
            lnxflo(x.bytes, x.len, r.bytes, &len, n.fn == Fn::ceil ? 1 : 0);
            r.len = static_cast<uint8_t>(len);
            return checked(n, r);
        }
        case Fn::sign:
            return number_value(number_of(sign_of(x)));
        case Fn::mod:
            // mod(m, 0) is m, as SQL has it.
            if (sign_of(a[1].num) == 0) return number_value(x);
            return checked(n, apply(lnxmod, x, a[1].num));
        case Fn::sqrt:
            if (sign_of(x) < 0) domain("the argument must not be negative");
            return checked(n, apply(lnxsqr, x));
        case Fn::ln:
            if (sign_of(x) <= 0) domain("the argument must be positive");
            return checked(n, apply(lnxln, x));
        case Fn::log: {
            const Number &y = a[1].num;
            if (sign_of(x) <= 0 || compare(x, number_of(1)) == 0)
                domain("the base must be positive and not 1");
            if (sign_of(y) <= 0) domain("the argument must be positive");
            return checked(n, apply(lnxlog, x, y));
        }
        case Fn::power: {
            const Number &y = a[1].num;
            int32_t k = 0;
            if (sign_of(x) == 0 && sign_of(y) < 0) fail(n.column, "division by zero");
            if (is_integer(y) && to_int32(y, k)) {
                Number r{};
                uint32_t len = 0;
                lnxpow(x.bytes, x.len, r.bytes, &len, k);
                r.len = static_cast<uint8_t>(len);
                return checked(n, r);
            }
            if (sign_of(x) >= 0) return checked(n, apply(lnxbex, x, y));
            if (!is_integer(y)) domain("a negative base needs an integer exponent");
            // An integer exponent beyond 32 bits: the magnitude, signed by
            // the exponent's parity.
            Number r = checked(n, apply(lnxbex, apply(lnxabs, x), y)).num;
            bool odd = sign_of(apply(lnxmod, y, number_of(2))) != 0;
            return number_value(odd ? apply(lnxneg, r) : r);
        }
        case Fn::exp:
        case Fn::sin:
        case Fn::cos:
        case Fn::tan:
        case Fn::sinh:
        case Fn::cosh:
        case Fn::tanh: {
            int32_t code = n.fn == Fn::exp    ? LNXTRA_EXP
                           : n.fn == Fn::sin  ? LNXTRA_SIN
                           : n.fn == Fn::cos  ? LNXTRA_COS
                           : n.fn == Fn::tan  ? LNXTRA_TAN
                           : n.fn == Fn::sinh ? LNXTRA_SINH
                           : n.fn == Fn::cosh ? LNXTRA_COSH
                                              : LNXTRA_TANH;
            Number r{};
            uint32_t len = 0;
            lnxqtra(x.bytes, x.len, r.bytes, &len, code);
            r.len = static_cast<uint8_t>(len);
            return checked(n, r);
        }
        case Fn::asin:
        case Fn::acos:
        case Fn::atan: {
            int32_t code = n.fn == Fn::asin   ? LNXTRI_ASIN
                           : n.fn == Fn::acos ? LNXTRI_ACOS
                                              : LNXTRI_ATAN;
            Number r{};
            uint32_t len = 0;
            if (lnxqtri(x.bytes, x.len, r.bytes, &len, code) != 0)
                domain("the argument must be between -1 and 1");
            r.len = static_cast<uint8_t>(len);
            return checked(n, r);
        }
        case Fn::atan2: {
            Number r{};
            uint32_t len = 0;
            if (lnxatn2(x.bytes, x.len, a[1].num.bytes, a[1].num.len, r.bytes, &len) != 0)
                domain("the angle of the point (0, 0) is undefined");
            r.len = static_cast<uint8_t>(len);
            return checked(n, r);
        }
        default:
            break;
    }
    fail(n.column, "internal: no such number function");
}

Value Evaluator::to_char(uint32_t index, const Node &n, Args a) {
    const Value &v = a[0];
    if (v.type == Type::text) {
        if (n.nargs > 1) fail(n.column, "to_char: text takes no format model");
        return v;
    }
    scratch_.clear();
    if (n.nargs == 1) {
        append_value(scratch_, v);
        return text_value(scratch_.data(), scratch_.size(), n.column);
    }
    expect_type(n, a, 1, Type::text);
    std::string_view model = text_of(a[1]);
    bool fixed = model_is_fixed(n);
    Prepared *p = fixed ? &prepared(index) : nullptr;
    Language *lang = p && p->lang ? p->lang : &language_arg(n, a, 2);
    if (lang == spare_language_.get()) p = nullptr;
    if (p) p->lang = lang;
    if (v.type == Type::date) {
        uint8_t local[256];
        const uint8_t *fmt;
        if (p && p->out_ready) {
            fmt = p->out_fmt;
        } else {
            fmt = compile_date_model(*lang, model, false, p ? p->out_fmt : local, n.column);
            if (p) p->out_ready = true;
        }
        append_date(scratch_, v.date, *lang, fmt, n.column);
        return text_value(scratch_.data(), scratch_.size(), n.column);
    }
    lnxfmt local{};
    const lnxfmt *fmt = number_model(p, local, model, lang->info, n.column, "to_char");
    char out[80];
    uint32_t len = lnxnft(v.num.bytes, v.num.len, fmt, out, &lang->info);
    if (len > sizeof out) len = sizeof out;
    return text_value(out, len, n.column);
}

const lnxfmt *Evaluator::number_model(Prepared *p, lnxfmt &local, std::string_view model,
                                      const lxlinfo &info, uint32_t column, const char *fn) {
    const auto invalid = [&] { fail(column, std::string(fn) + ": invalid number format model"); };
    if (p && p->number_tried) {
        if (!p->number_ok) invalid();
        return &p->number_fmt;
    }
    lnxfmt &dst = p ? p->number_fmt : local;
    const bool ok = model.size() <= 255 &&
                    lnxpfl(model.data(), static_cast<uint32_t>(model.size()), &dst, &info) == 0;
    if (p) {
        p->number_tried = true;
        p->number_ok = ok;
    }
    if (!ok) invalid();
    return &dst;
}

Value Evaluator::to_number(uint32_t index, const Node &n, Args a) {
    const Value &v = a[0];
    if (v.type == Type::number && n.nargs == 1) return v;
    expect_type(n, a, 0, Type::text);
    std::string_view text = text_of(v);
    Number r{};
    if (n.nargs == 1) {
        // The language's decimal character; the whole text must be read.
        uint32_t len = 0, consumed = 0;
        if (text.empty()) fail(n.column, "to_number: text is not a number");
        lnxcpn(text.data(), static_cast<uint32_t>(text.size()), r.bytes, &len, 0, 0, 0, 0,
               &consumed, &default_->info);
        if (consumed != text.size()) fail(n.column, "to_number: text is not a number");
        r.len = static_cast<uint8_t>(len);
        if (is_infinite(r)) fail(n.column, "to_number: number out of range");
        return number_value(r);
    }
    expect_type(n, a, 1, Type::text);
    std::string_view model = text_of(a[1]);
    bool fixed = model_is_fixed(n);
    Prepared *p = fixed ? &prepared(index) : nullptr;
    Language *lang = p && p->lang ? p->lang : &language_arg(n, a, 2);
    if (lang == spare_language_.get()) p = nullptr;
    if (p) p->lang = lang;
    lnxfmt local{};
    const lnxfmt *fmt = number_model(p, local, model, lang->info, n.column, "to_number");
    uint32_t len = 0;
    uint32_t consumed =
        lnxfcn(text.data(), static_cast<uint32_t>(text.size()), fmt, r.bytes, &len, &lang->info);
    if (consumed == 0 || len == 0)
        fail(n.column, "to_number: text does not match the number format model");
    r.len = static_cast<uint8_t>(len);
    if (is_infinite(r)) fail(n.column, "to_number: number out of range");
    return number_value(r);
}

Value Evaluator::to_date(uint32_t index, const Node &n, Args a) {
    const Value &v = a[0];
    if (v.type == Type::date && n.nargs == 1) return v;
    expect_type(n, a, 0, Type::text);
    DateCall c;
    c.text = v.text;
    c.len = v.size;
    Language *lang = default_.get();
    c.fmt = has_date_format_ ? in_format_ : nullptr;
    uint8_t local[256];
    if (n.nargs > 1) {
        expect_type(n, a, 1, Type::text);
        bool fixed = model_is_fixed(n);
        Prepared *p = fixed ? &prepared(index) : nullptr;
        lang = p && p->lang ? p->lang : &language_arg(n, a, 2);
        if (lang == spare_language_.get()) p = nullptr;
        if (p) p->lang = lang;
        if (p && p->in_ready) {
            c.fmt = p->in_fmt;
        } else {
            c.fmt = compile_date_model(*lang, text_of(a[1]), true, p ? p->in_fmt : local, n.column);
            if (p) p->in_ready = true;
        }
    }
    date_call(
        *lang, [](ldxctx *ctx, DateCall &c) { ldxstd(ctx, &c.out, nullptr, c.text, c.len, c.fmt); },
        c, n.column);
    return date_value(c.out);
}

Value Evaluator::dump(const Node &n, Args a) {
    const Value &v = a[0];
    scratch_.clear();
    switch (v.type) {
        case Type::number:
            scratch_ = "number";
            append_hex(scratch_, v.num.bytes, v.num.len);
            break;
        case Type::date: {
            // The stored seven-byte form.
            DateCall c;
            c.date = &v.date;
            uint8_t ext[LDXEXTLEN];
            c.bytes = ext;
            date_call(
                *default_, [](ldxctx *ctx, DateCall &c) { ldxite(ctx, c.date, c.bytes); }, c,
                n.column);
            scratch_ = "date";
            append_hex(scratch_, ext, sizeof ext);
            break;
        }
        case Type::text:
            if (v.size > 4096) fail(n.column, "dump: text longer than 4096 bytes");
            scratch_ = "text";
            append_hex(scratch_, reinterpret_cast<const uint8_t *>(v.text), v.size);
            break;
    }
    return text_value(scratch_.data(), scratch_.size(), n.column);
}

}  // namespace tavo::cli
