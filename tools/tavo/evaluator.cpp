// The evaluator's core: values, operators, date arithmetic, languages and
// the prepared models. The functions are in functions.cpp.
#include <cstring>

#include "eval_support.hpp"
#include "evaluator.hpp"

namespace tavo::cli {

using namespace support;

namespace {

constexpr int32_t first_julian_day = 1;
constexpr int32_t last_julian_day = 5373484;  // 31 December 9999
constexpr size_t arena_bytes = 1 << 20;
constexpr size_t max_prepared = 1024;
constexpr size_t max_languages = 64;
constexpr uint32_t date_text_room = 8192;  // enough for any compiled model

}  // namespace

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

}  // namespace tavo::cli
