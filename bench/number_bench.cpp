// Speed of the decimal number core beside its peers, on the same operands in
// one binary:
//
//   lnxadd lnxsub lnxmul lnxdiv   decimal128 + - * /  (libstdc++ <decimal/decimal>)
//   lnxrou (2 places)             decimal128 (x + 10^31) - 10^31, sign-aware
//   lnxmin (int32 to number)      decimal128(int)
//   lnxsni (number to int32)      std::decimal::decimal_to_long_long
//   lnxren (double to number)     std::to_chars(double), shortest form
//   lnxnur (number to double)     std::from_chars of the number's decimal text
//
// Operands are made once from a fixed seed: 1024 pairs per family, cycled
// through, each held in every contender's own form (our bytes, a
// decimal128 of the same decimal digits, the nearest double, the exact
// text). Before timing, every result of every contender is checked against
// the other's, so both sides are seen to compute the same thing.
//
// The binary runs each benchmark nine times for 0.2 s, interleaved at random
// (--benchmark_repetitions and --benchmark_min_time override that), and
// ends with a table of median CPU times per operation and the ratio
// ours / peer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <decimal/decimal>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "lnx.h"
#include "median_reporter.hpp"

namespace {

using std::decimal::decimal128;

constexpr size_t kPairs = 1024;  // a power of two: the index wraps with a mask

struct Number {
    std::array<uint8_t, LNXMAXLEN> bytes{};
    uint32_t len = 0;
    int32_t arg_len() const { return static_cast<int32_t>(len); }
};

// ---- Operands ----------------------------------------------------------------

// A value +-0.d1d2...dn x 10^k, kept as its decimal digits so that every
// contender's form is made from the same digits.
struct DecimalValue {
    bool negative = false;
    std::string digits;  // no leading zero; empty for zero
    int k = 0;           // decimal exponent of the point
};

DecimalValue from_integer(int64_t v) {
    DecimalValue d;
    d.negative = v < 0;
    const uint64_t magnitude = d.negative ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    if (magnitude != 0) d.digits = std::to_string(magnitude);
    d.k = static_cast<int>(d.digits.size());
    return d;
}

// Our bytes, encoded here from the digits rather than by the library.
Number to_number(const DecimalValue &v) {
    Number n;
    if (v.digits.empty()) {
        n.bytes[0] = 0x80;
        n.len = 1;
        return n;
    }
    // Align on base-100 digits: the first decimal digit sits at 10^(k-1),
    // and a base-100 digit covers an even and the following odd place.
    std::string d = v.digits;
    int k = v.k;
    if (k % 2 != 0) {
        d.insert(0, 1, '0');
        ++k;
    }
    if (d.size() % 2 != 0) d.push_back('0');
    std::vector<int> pairs;
    for (size_t i = 0; i < d.size(); i += 2) pairs.push_back((d[i] - '0') * 10 + (d[i + 1] - '0'));
    while (pairs.back() == 0) pairs.pop_back();
    const int exp = k / 2 - 1;
    n.bytes[0] = static_cast<uint8_t>(v.negative ? 0x3E - exp : 0xC1 + exp);
    for (size_t i = 0; i < pairs.size(); ++i)
        n.bytes[1 + i] = static_cast<uint8_t>(v.negative ? 101 - pairs[i] : pairs[i] + 1);
    n.len = static_cast<uint32_t>(1 + pairs.size());
    if (v.negative && n.len < LNXMAXLEN) n.bytes[n.len++] = 102;
    return n;
}

decimal128 power_of_ten(int n) {
    return std::decimal::make_decimal128(1LL, n);
}

// The same digits as a decimal128: the coefficient's first 19 digits, scaled
// exactly, plus the rest; that one addition rounds to 34 digits (half even).
decimal128 to_decimal128(const DecimalValue &v) {
    if (v.digits.empty()) return decimal128(0);
    const size_t head = std::min<size_t>(19, v.digits.size());
    const std::string tail = v.digits.substr(head);
    decimal128 d(std::stoull(v.digits.substr(0, head)));
    if (!tail.empty()) {
        d = d * power_of_ten(static_cast<int>(tail.size())) + decimal128(std::stoull(tail));
    }
    d = d * power_of_ten(v.k - static_cast<int>(v.digits.size()));
    return v.negative ? -d : d;
}

// Plain decimal text, as a number is written: "-0.00123", "4567.8", "900".
std::string to_text(const DecimalValue &v) {
    if (v.digits.empty()) return "0";
    std::string t = v.negative ? "-" : "";
    const int n = static_cast<int>(v.digits.size());
    if (v.k <= 0) {
        t += "0." + std::string(static_cast<size_t>(-v.k), '0') + v.digits;
    } else if (v.k >= n) {
        t += v.digits + std::string(static_cast<size_t>(v.k - n), '0');
    } else {
        t += v.digits.substr(0, static_cast<size_t>(v.k)) + "." +
             v.digits.substr(static_cast<size_t>(v.k));
    }
    return t;
}

// One side of the operand pairs of a family, in every contender's form.
struct Column {
    std::vector<Number> num;
    std::vector<decimal128> dec;
    std::vector<double> dbl;        // the nearest double
    std::vector<std::string> text;  // the exact value
    std::vector<int32_t> i32;       // the value, when it is an int32

    void add(const DecimalValue &v, int32_t as_int) {
        num.push_back(to_number(v));
        dec.push_back(to_decimal128(v));
        text.push_back(to_text(v));
        dbl.push_back(std::strtod(text.back().c_str(), nullptr));
        i32.push_back(as_int);
    }
};

struct Family {
    const char *name;
    Column x, y;
};

// 38 random digits, a random sign and a point between 10^-8 and 10^12:
// values from about 1e-9 to 1e12.
DecimalValue random_wide(std::mt19937_64 &rng) {
    std::uniform_int_distribution<int> first(1, 9), digit(0, 9), point(-8, 12), sign(0, 1);
    DecimalValue v;
    v.negative = sign(rng) == 1;
    v.digits.push_back(static_cast<char>('0' + first(rng)));
    for (int i = 1; i < 38; ++i) v.digits.push_back(static_cast<char>('0' + digit(rng)));
    v.k = point(rng);
    return v;
}

Family make_wide(std::mt19937_64 &rng) {
    Family f{"38-digit", {}, {}};
    for (size_t i = 0; i < kPairs; ++i) {
        f.x.add(random_wide(rng), 0);
        f.y.add(random_wide(rng), 0);
    }
    return f;
}

Family make_integers(std::mt19937_64 &rng, const char *name, int32_t lo, int32_t hi) {
    std::uniform_int_distribution<int32_t> dist(lo, hi);
    Family f{name, {}, {}};
    for (size_t i = 0; i < kPairs; ++i) {
        const int32_t a = dist(rng), b = dist(rng);
        f.x.add(from_integer(a), a);
        f.y.add(from_integer(b), b);
    }
    return f;
}

// ---- The operations, one step each ------------------------------------------

double to_double(const Number &n) {
    double v = 0;
    lnxnur(n.bytes.data(), n.arg_len(), &v, 8);
    return v;
}

bool sign_bit(decimal128 d) {
    std::array<uint8_t, sizeof(decimal128)> bits;
    std::memcpy(bits.data(), &d, sizeof d);
    return (bits.back() & 0x80) != 0;  // BID: the top bit of the high word
}

// decimal128 has no quantize: adding 10^31 (for a negative value, -10^31)
// leaves 34 - 32 = 2 fraction digits, so the sum is rounded to 2 places
// (half even), and taking 10^31 off again is exact. Holds for |x| < 9e31.
const decimal128 kShift = power_of_ten(31);
const decimal128 kMinusShift = -power_of_ten(31);

decimal128 round_2_places(decimal128 x) {
    const decimal128 shift = sign_bit(x) ? kMinusShift : kShift;
    return (x + shift) - shift;
}

Number tavo_rou(const Number &a) {
    Number r;
    lnxrou(a.bytes.data(), a.arg_len(), r.bytes.data(), &r.len, 2);
    return r;
}

enum class Op { add, sub, mul, div, rou, min, sni, ren, nur };

struct OpInfo {
    Op op;
    const char *name;
    const char *peer;
    const char *target;  // the bound on ours / peer
};

constexpr std::array kOps{
    OpInfo{Op::add, "lnxadd", "decimal128 +", "1.0 (aim 0.5)"},
    OpInfo{Op::sub, "lnxsub", "decimal128 -", "1.0 (aim 0.5)"},
    OpInfo{Op::mul, "lnxmul", "decimal128 *", "1.0 (aim 0.5)"},
    OpInfo{Op::div, "lnxdiv", "decimal128 /", "1.0 (aim 0.5)"},
    OpInfo{Op::rou, "lnxrou", "decimal128 +-1e31", "-"},
    OpInfo{Op::min, "lnxmin", "decimal128(int)", "1.0"},
    OpInfo{Op::sni, "lnxsni", "decimal_to_long_long", "1.0"},
    OpInfo{Op::ren, "lnxren", "to_chars(double)", "1.0"},
    OpInfo{Op::nur, "lnxnur", "from_chars(double)", "1.0"},
};

// A direct call, as the peer's operators make.
template <auto Fn>
Number tavo_binary(const Number &a, const Number &b) {
    Number r;
    Fn(a.bytes.data(), a.arg_len(), b.bytes.data(), b.arg_len(), r.bytes.data(), &r.len);
    return r;
}

// Runs one contender's step over the operand pairs, one pair an iteration.
template <class Step>
void cycle(benchmark::State &state, Step step) {
    size_t i = 0;
    for (auto _ : state) {
        step(i);
        i = (i + 1) & (kPairs - 1);
    }
}

void register_op(const OpInfo &info, const Family &f) {
    const Column &x = f.x, &y = f.y;
    const std::string name = std::string(info.name) + "/" + f.name + "/";
    auto tavo = [&](auto step) {
        benchmark::RegisterBenchmark((name + "tavo").c_str(),
                                     [step](benchmark::State &s) { cycle(s, step); });
    };
    auto peer = [&](auto step) {
        benchmark::RegisterBenchmark((name + "peer").c_str(),
                                     [step](benchmark::State &s) { cycle(s, step); });
    };
    auto dec_binary = [&](auto fn) {
        peer([&x, &y, fn](size_t i) {
            decimal128 r = fn(x.dec[i], y.dec[i]);
            benchmark::DoNotOptimize(r);
        });
    };
    auto tavo_bin = [&](auto fn) {
        tavo([&x, &y, fn](size_t i) {
            Number r = fn(x.num[i], y.num[i]);
            benchmark::DoNotOptimize(r);
        });
    };
    switch (info.op) {
        case Op::add:
            tavo_bin([](const Number &a, const Number &b) { return tavo_binary<lnxadd>(a, b); });
            dec_binary([](decimal128 a, decimal128 b) { return a + b; });
            break;
        case Op::sub:
            tavo_bin([](const Number &a, const Number &b) { return tavo_binary<lnxsub>(a, b); });
            dec_binary([](decimal128 a, decimal128 b) { return a - b; });
            break;
        case Op::mul:
            tavo_bin([](const Number &a, const Number &b) { return tavo_binary<lnxmul>(a, b); });
            dec_binary([](decimal128 a, decimal128 b) { return a * b; });
            break;
        case Op::div:
            tavo_bin([](const Number &a, const Number &b) { return tavo_binary<lnxdiv>(a, b); });
            dec_binary([](decimal128 a, decimal128 b) { return a / b; });
            break;
        case Op::rou:
            tavo([&x](size_t i) {
                Number r = tavo_rou(x.num[i]);
                benchmark::DoNotOptimize(r);
            });
            peer([&x](size_t i) {
                decimal128 r = round_2_places(x.dec[i]);
                benchmark::DoNotOptimize(r);
            });
            break;
        case Op::min:
            tavo([&x](size_t i) {
                Number r;
                lnxmin(&x.i32[i], 4, 2, r.bytes.data(), &r.len);
                benchmark::DoNotOptimize(r);
            });
            peer([&x](size_t i) {
                decimal128 r(x.i32[i]);
                benchmark::DoNotOptimize(r);
            });
            break;
        case Op::sni:
            tavo([&x](size_t i) {
                int32_t v;
                lnxsni(x.num[i].bytes.data(), x.num[i].arg_len(), &v, 4, LNXSNI_SIGNED);
                benchmark::DoNotOptimize(v);
            });
            peer([&x](size_t i) {
                long long v = std::decimal::decimal_to_long_long(x.dec[i]);
                benchmark::DoNotOptimize(v);
            });
            break;
        case Op::ren:
            tavo([&x](size_t i) {
                Number r;
                lnxren(&x.dbl[i], 8, r.bytes.data(), &r.len);
                benchmark::DoNotOptimize(r);
            });
            peer([&x](size_t i) {
                std::array<char, 32> buf;
                const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), x.dbl[i]);
                benchmark::DoNotOptimize(buf);
                benchmark::DoNotOptimize(res.ptr);
            });
            break;
        case Op::nur:
            tavo([&x](size_t i) {
                double v;
                lnxnur(x.num[i].bytes.data(), x.num[i].arg_len(), &v, 8);
                benchmark::DoNotOptimize(v);
            });
            peer([&x](size_t i) {
                double v;
                const std::string &t = x.text[i];
                std::from_chars(t.data(), t.data() + t.size(), v);
                benchmark::DoNotOptimize(v);
            });
            break;
    }
}

// Which family each operation is timed on: everything on 38-digit values
// and small integers, but lnxmin, whose argument is a machine integer, on
// int32 values instead of 38-digit ones; lnxsni on all three.
bool applies(Op op, const Family &f) {
    const bool wide = std::strcmp(f.name, "38-digit") == 0;
    const bool int32 = std::strcmp(f.name, "int32") == 0;
    if (op == Op::min) return !wide;
    if (op == Op::sni) return true;
    return !int32;
}

// ---- Both sides compute the same thing --------------------------------------

bool close(double a, double b, double relative) {
    if (a == b) return true;
    return std::fabs(a - b) <= relative * std::max(std::fabs(a), std::fabs(b));
}

// Every result of ours agrees with the peer's to the precision both carry
// (compared as doubles: a 20-digit and a 34-digit quotient agree to 1e-12).
int count_disagreements(const OpInfo &info, const Family &f) {
    int bad = 0;
    for (size_t i = 0; i < kPairs; ++i) {
        const Column &x = f.x, &y = f.y;
        const decimal128 a = x.dec[i], b = y.dec[i];
        double ours = 0, theirs = 0, tolerance = 1e-12;
        switch (info.op) {
            case Op::add:
                ours = to_double(tavo_binary<lnxadd>(x.num[i], y.num[i]));
                theirs = std::decimal::decimal128_to_double(a + b);
                // A sum that cancels keeps fewer digits on both sides.
                tolerance = 1e-9;
                break;
            case Op::sub:
                ours = to_double(tavo_binary<lnxsub>(x.num[i], y.num[i]));
                theirs = std::decimal::decimal128_to_double(a - b);
                tolerance = 1e-9;
                break;
            case Op::mul:
                ours = to_double(tavo_binary<lnxmul>(x.num[i], y.num[i]));
                theirs = std::decimal::decimal128_to_double(a * b);
                break;
            case Op::div:
                ours = to_double(tavo_binary<lnxdiv>(x.num[i], y.num[i]));
                theirs = std::decimal::decimal128_to_double(a / b);
                break;
            case Op::rou:
                ours = to_double(tavo_rou(x.num[i]));
                theirs = std::decimal::decimal128_to_double(round_2_places(a));
                break;
            case Op::min: {
                Number r;
                lnxmin(&x.i32[i], 4, 2, r.bytes.data(), &r.len);
                ours = to_double(r);
                theirs = std::decimal::decimal128_to_double(decimal128(x.i32[i]));
                tolerance = 0;
                break;
            }
            case Op::sni: {
                int32_t v = 0;
                lnxsni(x.num[i].bytes.data(), x.num[i].arg_len(), &v, 4, LNXSNI_SIGNED);
                ours = v;
                // lnxsni holds a value beyond the int32 range to its limit.
                theirs = static_cast<double>(std::clamp<long long>(
                    std::decimal::decimal_to_long_long(a), INT32_MIN, INT32_MAX));
                tolerance = 0;
                break;
            }
            case Op::ren: {
                // Ours keeps 15 digits; the peer's text reads back exactly.
                Number r;
                lnxren(&x.dbl[i], 8, r.bytes.data(), &r.len);
                ours = to_double(r);
                std::array<char, 32> buf;
                const auto end = std::to_chars(buf.data(), buf.data() + buf.size(), x.dbl[i]).ptr;
                std::from_chars(buf.data(), end, theirs);
                tolerance = 1e-14;
                break;
            }
            case Op::nur:
                ours = to_double(x.num[i]);
                std::from_chars(x.text[i].data(), x.text[i].data() + x.text[i].size(), theirs);
                tolerance = 1e-14;
                break;
        }
        if (!close(ours, theirs, tolerance)) {
            if (bad++ < 3) {
                std::fprintf(stderr, "%s/%s: %s and %s: ours %.17g, peer %.17g\n", info.name,
                             f.name, x.text[i].c_str(), y.text[i].c_str(), ours, theirs);
            }
        }
    }
    return bad;
}

// ---- The ratio table ----------------------------------------------------------

void print_table(const tavo_bench::MedianReporter &times, const std::vector<Family> &families) {
    std::printf("\n%-8s %-9s %-21s %9s %9s %7s  %s\n", "op", "operands", "peer", "tavo ns",
                "peer ns", "ratio", "target");
    for (const OpInfo &info : kOps) {
        for (const Family &f : families) {
            const std::string name = std::string(info.name) + "/" + f.name + "/";
            double ours, theirs;
            if (!times.ns(name + "tavo", ours) || !times.ns(name + "peer", theirs)) continue;
            std::printf("%-8s %-9s %-21s %9.1f %9.1f %7.2f  %s\n", info.name, f.name, info.peer,
                        ours, theirs, ours / theirs, info.target);
        }
    }
}

}  // namespace

int main(int argc, char **argv) {
    std::mt19937_64 rng(20240917);
    std::vector<Family> families;
    families.push_back(make_wide(rng));
    families.push_back(make_integers(rng, "small", 1, 9999));
    families.push_back(make_integers(rng, "int32", INT32_MIN, INT32_MAX));

    int disagreements = 0;
    for (const OpInfo &info : kOps) {
        for (const Family &f : families) {
            if (!applies(info.op, f)) continue;
            disagreements += count_disagreements(info, f);
            register_op(info, f);
        }
    }
    if (disagreements != 0) {
        std::fprintf(stderr, "%d results differ from the peer's\n", disagreements);
        return 1;
    }

    // By default nine short repetitions in random order, so that a drift of
    // the machine's speed or a burst of other work falls on both contenders
    // alike and the median passes over it; flags given on the command line
    // come later and win.
    tavo_bench::MedianReporter reporter;
    if (!tavo_bench::run_benchmarks(argc, argv,
                                    {"--benchmark_repetitions=9", "--benchmark_min_time=0.2",
                                     "--benchmark_enable_random_interleaving=true",
                                     "--benchmark_report_aggregates_only=true"},
                                    reporter))
        return 1;
    print_table(reporter, families);
    return 0;
}
