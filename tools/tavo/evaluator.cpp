#include "evaluator.hpp"

#include <cstring>

#include "messages.hpp"
#include "sosd.h"

namespace tavo::cli {

namespace {

constexpr int32_t first_julian_day = 1;
constexpr int32_t last_julian_day = 5373484;  // 31 December 9999
constexpr size_t arena_bytes = 1 << 20;
constexpr size_t max_prepared = 1024;
constexpr size_t max_languages = 64;
constexpr uint32_t date_text_room = 8192;  // enough for any compiled model

const char *type_name(Type t) {
    switch (t) {
        case Type::number:
            return "a number";
        case Type::date:
            return "a date";
        case Type::text:
            return "text";
    }
    return "a value";
}

[[noreturn]] void fail(uint32_t column, const std::string &message) {
    throw EvalError(0, column, message);
}

[[noreturn]] void fail_date(int32_t err, uint32_t column) {
    throw EvalError(err, column, std::string(date_error_text(err)));
}

std::string fn_name(const Node &n) {
    switch (n.op) {
        case Op::add:
            return "'+'";
        case Op::subtract:
            return "'-'";
        case Op::multiply:
            return "'*'";
        case Op::divide:
            return "'/'";
        case Op::negate:
            return "unary '-'";
        case Op::concat:
            return "'||'";
        default:
            break;
    }
    return std::string(function_name(n.fn));
}

const char *ordinal(int i) {
    static constexpr const char *words[] = {"first", "second", "third"};
    return words[i];
}

void expect_type(const Node &n, const Value *a, int i, Type t) {
    if (a[i].type != t)
        fail(n.column, fn_name(n) + ": the " + ordinal(i) + " argument must be " + type_name(t) +
                           ", not " + type_name(a[i].type));
}

std::string_view text_of(const Value &v) {
    return {v.text, v.size};
}

bool is_infinite(const Number &x) {
    int32_t kind = lnxint(x.bytes, x.len);
    return kind == 3 || kind == 4;
}

int32_t sign_of(const Number &x) {
    return lnxsgn(x.bytes, x.len);
}

Value number_value(const Number &x) {
    Value v;
    v.type = Type::number;
    v.num = x;
    return v;
}

Value date_value(const ldxdate &d) {
    Value v;
    v.type = Type::date;
    v.date = d;
    return v;
}

// Results of the arithmetic: an infinity out of finite operands is an
// overflow, which the library reports only by that infinity.
Value checked(const Node &n, const Number &r) {
    if (is_infinite(r)) fail(n.column, fn_name(n) + ": numeric overflow");
    return number_value(r);
}

using Unary = void (*)(const uint8_t *, int32_t, uint8_t *, uint32_t *);
using Binary = void (*)(const uint8_t *, int32_t, const uint8_t *, int32_t, uint8_t *, uint32_t *);

Number apply(Unary f, const Number &x) {
    Number r{};
    uint32_t len = 0;
    f(x.bytes, x.len, r.bytes, &len);
    r.len = static_cast<uint8_t>(len);
    return r;
}

Number apply(Binary f, const Number &x, const Number &y) {
    Number r{};
    uint32_t len = 0;
    f(x.bytes, x.len, y.bytes, y.len, r.bytes, &len);
    r.len = static_cast<uint8_t>(len);
    return r;
}

int32_t compare(const Number &x, const Number &y) {
    return sign_of(apply(lnxsub, x, y));
}

bool is_integer(const Number &x) {
    return lnxint(x.bytes, x.len) == 1;
}

void append_hex(std::string &out, const uint8_t *bytes, size_t len) {
    static constexpr char hex[] = "0123456789ABCDEF";
    out += "Len=";
    out += std::to_string(len);
    out += ':';
    for (size_t i = 0; i < len; ++i) {
        out += ' ';
        out += hex[bytes[i] >> 4];
        out += hex[bytes[i] & 15];
    }
}

}  // namespace

// A format model prepared once for a call whose model and language are
// literals: the parsed number model and the compiled date models.
struct Evaluator::Prepared {
    Language *lang = nullptr;
    bool number_tried = false, number_ok = false;
    lnxfmt number_fmt{};
    bool out_ready = false, in_ready = false;  // the date models compiled
    uint8_t out_fmt[256];
    uint8_t in_fmt[256];
};

Evaluator::Evaluator(const Settings &settings) : arena_(arena_bytes) {
    default_ = std::make_unique<Language>();
    int32_t err = open_language(*default_, settings.language);
    if (err == -1)
        throw SetupError(std::string("unknown language, territory or character set '") +
                         (settings.language ? settings.language : "") + "'");
    if (err != 0)
        throw SetupError("the language's date format cannot be used: error " + std::to_string(err) +
                         ": " + std::string(date_error_text(err)));
    if (settings.sysdate) ldxfxd(&default_->ctx, &*settings.sysdate);
    fixed_clock_ = settings.sysdate;
    if (settings.date_format != nullptr) {
        std::string_view model(settings.date_format);
        try {
            compile_date_model(*default_, model, false, out_format_, 0);
            compile_date_model(*default_, model, true, in_format_, 0);
        } catch (const EvalError &e) {
            std::string what = "bad date format '" + std::string(model.substr(0, 80)) + "': ";
            if (e.number != 0) what += "error " + std::to_string(e.number) + ": ";
            throw SetupError(what + e.what());
        }
        has_date_format_ = true;
    }
}

Evaluator::~Evaluator() = default;

void Evaluator::date_call(Language &lang, DateOp op, DateCall &call, uint32_t column) {
    int32_t err = guarded(lang, op, call);
    if (err != 0) fail_date(err, column);
}

const uint8_t *Evaluator::compile_date_model(Language &lang, std::string_view model, bool input,
                                             uint8_t *buf, uint32_t column) {
    if (model.size() > 255) fail(column, "date format longer than 255 bytes");
    if (model.empty()) fail(column, "empty date format");
    DateCall c;
    c.text = model.data();
    c.len = static_cast<uint32_t>(model.size());
    c.bytes = buf;
    c.size = 255;
    c.n = input ? 1 : 0;
    date_call(
        lang,
        [](ldxctx *ctx, DateCall &c) {
            if (c.n != 0)
                c.outlen = ldxsti(ctx, c.text, c.len, c.bytes, c.size);
            else
                c.outlen = ldxsto(ctx, c.text, c.len, c.bytes, c.size);
        },
        c, column);
    return buf;
}

Language *Evaluator::find_language(std::string_view name, uint32_t column) {
    for (auto &[key, lang] : languages_)
        if (key == name) return lang.get();
    if (name.size() > LXNAMEMAX) fail(column, "language name too long");
    std::string key(name);
    auto lang = std::make_unique<Language>();
    int32_t err = open_language(*lang, key.c_str());
    if (err == -1) fail(column, "unknown language, territory or character set '" + key + "'");
    if (err != 0) fail_date(err, column);
    if (fixed_clock_) ldxfxd(&lang->ctx, &*fixed_clock_);
    // A few names are all an expression holds; a stream of distinct ones
    // (from data) must not grow without bound. Beyond the cache one spare
    // record serves, which nothing keeps a pointer to across calls.
    if (languages_.size() >= max_languages) {
        spare_language_ = std::move(lang);
        return spare_language_.get();
    }
    languages_.emplace_back(std::move(key), std::move(lang));
    return languages_.back().second.get();
}

Language &Evaluator::language_arg(const Node &n, Args a, int i) {
    if (n.nargs <= i) return *default_;
    expect_type(n, a, i, Type::text);
    return *find_language(text_of(a[i]), n.column);
}

bool Evaluator::model_is_fixed(const Node &n) const {
    for (int i = 1; i < n.nargs; ++i) {
        const Node &m = prog_->nodes[n.args[i]];
        if (m.op != Op::literal || m.value.type != Type::text) return false;
    }
    return true;
}

Evaluator::Prepared &Evaluator::prepared(uint32_t index) {
    uint64_t key = (prog_->id << 20) ^ index;
    auto it = prepared_.find(key);
    if (it != prepared_.end()) return *it->second;
    if (prepared_.size() >= max_prepared) prepared_.clear();
    return *prepared_.emplace(key, std::make_unique<Prepared>()).first->second;
}

Value Evaluator::text_value(const char *text, size_t size, uint32_t column) {
    if (size > max_text_bytes)
        fail(column, "text longer than " + std::to_string(max_text_bytes) + " bytes");
    if (arena_.size() - arena_used_ < size) fail(column, "the expression's texts are too long");
    char *at = arena_.data() + arena_used_;
    if (size != 0) std::memcpy(at, text, size);
    arena_used_ += size;
    Value v;
    v.type = Type::text;
    v.text = at;
    v.size = static_cast<uint32_t>(size);
    return v;
}

void Evaluator::append_date(std::string &out, const ldxdate &d, Language &lang, const uint8_t *fmt,
                            uint32_t column) {
    size_t old = out.size();
    out.resize(old + date_text_room);
    DateCall c;
    c.date = &d;
    c.fmt = fmt;
    c.bytes = reinterpret_cast<uint8_t *>(out.data() + old);
    c.size = date_text_room;
    int32_t err = guarded(
        lang,
        [](ldxctx *ctx, DateCall &c) {
            c.outlen = ldxdts(ctx, reinterpret_cast<char *>(c.bytes), c.size, c.date, c.fmt);
        },
        c);
    if (err != 0) {
        out.resize(old);
        fail_date(err, column);
    }
    out.resize(old + c.outlen);
}

void Evaluator::append_value(std::string &out, const Value &v) {
    switch (v.type) {
        case Type::number:
            append_number(out, v.num);
            break;
        case Type::text:
            out.append(v.text, v.size);
            break;
        case Type::date:
            append_date(out, v.date, *default_, has_date_format_ ? out_format_ : nullptr, 0);
            break;
    }
}

void Evaluator::evaluate(const Program &prog, std::span<const std::string_view> fields,
                         std::string &out) {
    prog_ = &prog;
    fields_ = fields;
    arena_used_ = 0;
    Value v = eval(prog.root, 0);
    size_t old = out.size();
    try {
        append_value(out, v);
    } catch (...) {
        out.resize(old);
        throw;
    }
}

Value Evaluator::eval(uint32_t index, int depth) {
    const Node &n = prog_->nodes[index];
    switch (n.op) {
        case Op::literal: {
            Value v = n.value;
            if (v.type == Type::text) v.text = prog_->pool.data() + n.text_at;
            return v;
        }
        case Op::field: {
            if (n.field > fields_.size())
                fail(n.column, "the line has no field :" + std::to_string(n.field) + " (it has " +
                                   std::to_string(fields_.size()) + ")");
            std::string_view f = fields_[n.field - 1];
            if (f.size() > max_text_bytes)
                fail(n.column, "field :" + std::to_string(n.field) + " longer than " +
                                   std::to_string(max_text_bytes) + " bytes");
            Value v;
            v.type = Type::text;
            v.text = f.data();
            v.size = static_cast<uint32_t>(f.size());
            return v;
        }
        case Op::negate: {
            Value x = eval(n.args[0], depth + 1);
            if (x.type != Type::number)
                fail(n.column, "unary '-' needs a number, not " + std::string(type_name(x.type)));
            return number_value(apply(lnxneg, x.num));
        }
        case Op::call: {
            Value a[3];
            for (int i = 0; i < n.nargs; ++i) a[i] = eval(n.args[i], depth + 1);
            return call(index, n, a);
        }
        default: {
            Value x = eval(n.args[0], depth + 1);
            Value y = eval(n.args[1], depth + 1);
            return arith(n, x, y);
        }
    }
}

Value Evaluator::arith(const Node &n, const Value &x, const Value &y) {
    if (n.op == Op::concat) {
        // Numbers and dates join as they print.
        scratch_.clear();
        append_value(scratch_, x);
        append_value(scratch_, y);
        return text_value(scratch_.data(), scratch_.size(), n.column);
    }
    if (x.type == Type::number && y.type == Type::number) {
        switch (n.op) {
            case Op::add:
                return checked(n, apply(lnxadd, x.num, y.num));
            case Op::subtract:
                return checked(n, apply(lnxsub, x.num, y.num));
            case Op::multiply:
                return checked(n, apply(lnxmul, x.num, y.num));
            case Op::divide:
                if (sign_of(y.num) == 0) fail(n.column, "division by zero");
                return checked(n, apply(lnxdiv, x.num, y.num));
            default:
                break;
        }
    }
    if (x.type == Type::date && y.type == Type::number && (n.op == Op::add || n.op == Op::subtract))
        return date_plus(n, x.date, y.num, n.op == Op::subtract);
    if (x.type == Type::number && y.type == Type::date && n.op == Op::add)
        return date_plus(n, y.date, x.num, false);
    if (x.type == Type::date && y.type == Type::date && n.op == Op::subtract)
        return date_minus_date(n, x.date, y.date);
    fail(n.column,
         fn_name(n) + " cannot combine " + type_name(x.type) + " and " + type_name(y.type));
}

Value Evaluator::date_plus(const Node &n, const ldxdate &d, const Number &days, bool subtract) {
    Language &lang = *default_;
    DateCall c;
    c.date = &d;
    uint8_t buf[LNXMAXLEN];
    c.bytes = buf;
    date_call(
        lang,
        [](ldxctx *ctx, DateCall &c) {
            ldxdtd(ctx, c.date, &c.jul);
            c.outlen = ldxdyf(ctx, &c.jul, c.bytes);
        },
        c, n.column);
    Number start{};
    std::memcpy(start.bytes, buf, c.outlen);
    start.len = static_cast<uint8_t>(c.outlen);
    Number r = apply(subtract ? lnxsub : lnxadd, start, days);
    // The day number must stay within the calendar before it is split.
    if (compare(r, number_of(first_julian_day)) < 0 ||
        compare(r, number_of(last_julian_day + 1)) >= 0)
        fail_date(LDXE_YEAR, n.column);
    c.bytes = r.bytes;
    c.len = r.len;
    date_call(
        lang,
        [](ldxctx *ctx, DateCall &c) {
            ldxftd(ctx, c.bytes, static_cast<int32_t>(c.len), &c.jul);
            // A fraction within half a second of the next day rounds to it.
            if (c.jul.seconds >= 86400) {
                c.jul.seconds -= 86400;
                ++c.jul.day;
            }
            if (c.jul.day > last_julian_day) {
                c.result = 1;
                return;
            }
            ldxdfd(ctx, &c.jul, &c.out);
        },
        c, n.column);
    if (c.result != 0) fail_date(LDXE_YEAR, n.column);
    return date_value(c.out);
}

Value Evaluator::date_minus_date(const Node &n, const ldxdate &a, const ldxdate &b) {
    DateCall c;
    c.date = &a;
    date_call(
        *default_, [](ldxctx *ctx, DateCall &c) { ldxdtd(ctx, c.date, &c.jul); }, c, n.column);
    ldxjul ja = c.jul;
    c.date = &b;
    date_call(
        *default_, [](ldxctx *ctx, DateCall &c) { ldxdtd(ctx, c.date, &c.jul); }, c, n.column);
    ldxjul jb = c.jul;
    // The difference in seconds, exact (at most about 4.6E+11), then one
    // division: a single rounding, at the 40th digit.
    int64_t secs = int64_t{ja.day - jb.day} * 86400 + (ja.seconds - jb.seconds);
    int64_t high = secs / 1000000000, low = secs % 1000000000;
    Number total =
        apply(lnxadd, apply(lnxmul, number_of(static_cast<int32_t>(high)), number_of(1000000000)),
              number_of(static_cast<int32_t>(low)));
    return number_value(apply(lnxdiv, total, number_of(86400)));
}

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
            if (sign_of(x) < 0) domain("a negative base needs an integer exponent");
            return checked(n, apply(lnxbex, x, y));
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
    const lnxfmt *fmt = &local;
    if (p && p->number_tried) {
        if (!p->number_ok) fail(n.column, "to_char: invalid number format model");
        fmt = &p->number_fmt;
    } else {
        lnxfmt &dst = p ? p->number_fmt : local;
        bool ok = model.size() <= 255 &&
                  lnxpfl(model.data(), static_cast<uint32_t>(model.size()), &dst, &lang->info) == 0;
        if (p) {
            p->number_tried = true;
            p->number_ok = ok;
        }
        if (!ok) fail(n.column, "to_char: invalid number format model");
        fmt = &dst;
    }
    char out[80];
    uint32_t len = lnxnft(v.num.bytes, v.num.len, fmt, out, &lang->info);
    if (len > sizeof out) len = sizeof out;
    return text_value(out, len, n.column);
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
    const lnxfmt *fmt = &local;
    if (p && p->number_tried) {
        if (!p->number_ok) fail(n.column, "to_number: invalid number format model");
        fmt = &p->number_fmt;
    } else {
        lnxfmt &dst = p ? p->number_fmt : local;
        bool ok = model.size() <= 255 &&
                  lnxpfl(model.data(), static_cast<uint32_t>(model.size()), &dst, &lang->info) == 0;
        if (p) {
            p->number_tried = true;
            p->number_ok = ok;
        }
        if (!ok) fail(n.column, "to_number: invalid number format model");
        fmt = &dst;
    }
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
            scratch_ = "Typ=number ";
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
            scratch_ = "Typ=date ";
            append_hex(scratch_, ext, sizeof ext);
            break;
        }
        case Type::text:
            if (v.size > 4096) fail(n.column, "dump: text longer than 4096 bytes");
            scratch_ = "Typ=text ";
            append_hex(scratch_, reinterpret_cast<const uint8_t *>(v.text), v.size);
            break;
    }
    return text_value(scratch_.data(), scratch_.size(), n.column);
}

}  // namespace tavo::cli
