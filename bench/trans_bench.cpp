// Speed of the transcendental functions beside two peers, on the same
// arguments in one binary:
//
//   ours                     Boost.Multiprecision         MPFR, 133 bits (about 40 digits)
//   lnxsqr                   sqrt(cpp_dec_float_50)       mpfr_sqrt
//   lnxln                    log(cpp_dec_float_50)        mpfr_log
//   lnxqtra code 6 (exp)     exp(cpp_dec_float_50)        mpfr_exp
//   lnxqtra code 1 (sin)     sin(cpp_dec_float_50)        mpfr_sin
//   lnxqtri code 2 (atan)    atan(cpp_dec_float_50)       mpfr_atan
//
// Arguments: 256 a function (fixed seed), each 38 random significant
// decimal digits scaled into the function's usual domain, read by every
// contender from the same digits (our bytes are encoded here, not by the
// library). Before timing, every result is checked against the peers as a
// double. Each benchmark runs five times; the binary ends with the median
// CPU time per call and the ratios ours / peer.
#include <benchmark/benchmark.h>
#include <mpfr.h>

#include <boost/multiprecision/cpp_dec_float.hpp>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "lnx.h"
#include "median_reporter.hpp"

namespace {

using Dec50 = boost::multiprecision::cpp_dec_float_50;
constexpr size_t kCount = 256;
constexpr int kMpfrBits = 133;

struct Arg {
    uint8_t num[LNXMAXLEN];
    int32_t len;
    std::string text;
};

// 0.digits x 10^point, the digits' first one non-zero, encoded as a number.
Arg make_arg(bool negative, const std::string &digits, int point) {
    Arg a{};
    a.text = (negative ? "-0." : "0.") + digits + "e" + std::to_string(point);
    std::string d = digits;
    if (point % 2 != 0) {  // align on base-100 digit pairs
        d.insert(d.begin(), '0');
        ++point;
    }
    if (d.size() % 2 != 0) d.push_back('0');
    std::vector<int> pairs;
    for (size_t i = 0; i < d.size(); i += 2) pairs.push_back((d[i] - '0') * 10 + (d[i + 1] - '0'));
    while (!pairs.empty() && pairs.back() == 0) pairs.pop_back();
    const int exp = point / 2 - 1;
    a.num[0] = static_cast<uint8_t>(negative ? 0x3E - exp : 0xC1 + exp);
    int n = 1;
    for (int p : pairs) a.num[n++] = static_cast<uint8_t>(negative ? 101 - p : p + 1);
    if (negative && pairs.size() < 20) a.num[n++] = 102;
    a.len = n;
    return a;
}

// 38 random digits scaled to lie near v: v's own 17 digits, then random ones.
Arg near_value(double v, std::mt19937_64 &rng) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.16e", std::fabs(v));
    std::string digits;
    for (const char *p = buf; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits += *p;
    const int exp10 = std::atoi(std::strchr(buf, 'e') + 1);
    while (digits.size() < 38) digits += static_cast<char>('0' + rng() % 10);
    if (digits.back() == '0') digits.back() = '7';
    return make_arg(v < 0, digits, exp10 + 1);
}

enum Fn { kSqrt, kLn, kExp, kSin, kAtan, kFunctions };
const char *const kNames[kFunctions] = {"sqrt", "ln", "exp", "sin", "atan"};

const std::vector<Arg> &args(Fn f) {
    static const auto all = [] {
        std::vector<std::vector<Arg>> v(kFunctions);
        std::mt19937_64 rng(20261206);
        std::uniform_real_distribution<double> unit(0, 1);
        for (size_t i = 0; i < kCount; ++i) {
            v[kSqrt].push_back(near_value(std::pow(10.0, -20 + 40 * unit(rng)), rng));
            v[kLn].push_back(near_value(std::pow(10.0, -20 + 40 * unit(rng)), rng));
            v[kExp].push_back(near_value(-100 + 200 * unit(rng), rng));
            v[kSin].push_back(near_value(-10 + 20 * unit(rng), rng));
            const double t = std::pow(10.0, -5 + 10 * unit(rng));
            v[kAtan].push_back(near_value(unit(rng) < 0.5 ? -t : t, rng));
        }
        return v;
    }();
    return all[f];
}

void ours(Fn f, const Arg &a, uint8_t *out, uint32_t *len) {
    switch (f) {
        case kSqrt:
            return lnxsqr(a.num, a.len, out, len);
        case kLn:
            return lnxln(a.num, a.len, out, len);
        case kExp:
            return lnxqtra(a.num, a.len, out, len, LNXTRA_EXP);
        case kSin:
            return lnxqtra(a.num, a.len, out, len, LNXTRA_SIN);
        default:
            lnxqtri(a.num, a.len, out, len, LNXTRI_ATAN);
    }
}

Dec50 boost_fn(Fn f, const Dec50 &x) {
    switch (f) {
        case kSqrt:
            return sqrt(x);
        case kLn:
            return log(x);
        case kExp:
            return exp(x);
        case kSin:
            return sin(x);
        default:
            return atan(x);
    }
}

void mpfr_fn(Fn f, mpfr_ptr out, mpfr_srcptr x) {
    switch (f) {
        case kSqrt:
            mpfr_sqrt(out, x, MPFR_RNDN);
            break;
        case kLn:
            mpfr_log(out, x, MPFR_RNDN);
            break;
        case kExp:
            mpfr_exp(out, x, MPFR_RNDN);
            break;
        case kSin:
            mpfr_sin(out, x, MPFR_RNDN);
            break;
        default:
            mpfr_atan(out, x, MPFR_RNDN);
    }
}

void bench_ours(benchmark::State &state, Fn f) {
    const std::vector<Arg> &in = args(f);
    uint8_t out[LNXBUFLEN];
    uint32_t len = 0;
    for (auto _ : state) {
        for (const Arg &a : in) {
            ours(f, a, out, &len);
            benchmark::DoNotOptimize(out);
            benchmark::ClobberMemory();
        }
    }
}

void bench_boost(benchmark::State &state, Fn f) {
    std::vector<Dec50> in;
    for (const Arg &a : args(f)) in.emplace_back(a.text);
    for (auto _ : state) {
        for (const Dec50 &x : in) {
            Dec50 r = boost_fn(f, x);
            benchmark::DoNotOptimize(r);
        }
    }
}

void bench_mpfr(benchmark::State &state, Fn f) {
    std::vector<mpfr_t> in(kCount);
    for (size_t i = 0; i < kCount; ++i) {
        mpfr_init2(in[i], kMpfrBits);
        mpfr_set_str(in[i], args(f)[i].text.c_str(), 10, MPFR_RNDN);
    }
    mpfr_t r;
    mpfr_init2(r, kMpfrBits);
    for (auto _ : state) {
        for (const mpfr_t &x : in) {
            mpfr_fn(f, r, x);
            benchmark::DoNotOptimize(r);
        }
    }
    mpfr_clear(r);
    for (mpfr_t &x : in) mpfr_clear(x);
}

// Every contender computes the same values (as doubles: the check is of
// the harness, the accuracy is tested elsewhere).
bool results_agree() {
    bool ok = true;
    mpfr_t x, r;
    mpfr_init2(x, kMpfrBits);
    mpfr_init2(r, kMpfrBits);
    for (int f = 0; f < kFunctions; ++f) {
        for (const Arg &a : args(static_cast<Fn>(f))) {
            uint8_t out[LNXBUFLEN];
            uint32_t len = 0;
            ours(static_cast<Fn>(f), a, out, &len);
            double mine = 0;
            lnxnur(out, static_cast<int32_t>(len), &mine, 8);
            const double peer = boost_fn(static_cast<Fn>(f), Dec50(a.text)).convert_to<double>();
            mpfr_set_str(x, a.text.c_str(), 10, MPFR_RNDN);
            mpfr_fn(static_cast<Fn>(f), r, x);
            const double third = mpfr_get_d(r, MPFR_RNDN);
            const double tol = 1e-13 * std::fabs(peer) + 1e-300;
            if (std::fabs(mine - peer) > tol || std::fabs(mine - third) > tol) {
                std::fprintf(stderr, "%s(%s): ours %.17g, boost %.17g, mpfr %.17g\n", kNames[f],
                             a.text.c_str(), mine, peer, third);
                ok = false;
            }
        }
    }
    mpfr_clear(x);
    mpfr_clear(r);
    return ok;
}

void register_all() {
    for (int f = 0; f < kFunctions; ++f) {
        const Fn fn = static_cast<Fn>(f);
        const std::string name = kNames[f];
        benchmark::RegisterBenchmark((name + "/ours").c_str(),
                                     [fn](benchmark::State &s) { bench_ours(s, fn); });
        benchmark::RegisterBenchmark((name + "/boost").c_str(),
                                     [fn](benchmark::State &s) { bench_boost(s, fn); });
        benchmark::RegisterBenchmark((name + "/mpfr").c_str(),
                                     [fn](benchmark::State &s) { bench_mpfr(s, fn); });
    }
}

void print_table(const tavo_bench::MedianReporter &times) {
    std::printf("\n%-6s %10s %12s %10s %12s %12s\n", "ns", "ours", "dec_float_50", "mpfr-133",
                "ours/boost", "ours/mpfr");
    for (const char *name : kNames) {
        const std::string n = name;
        double o, b, m;
        if (!times.ns(n + "/ours", o) || !times.ns(n + "/boost", b) || !times.ns(n + "/mpfr", m))
            continue;
        std::printf("%-6s %10.0f %12.0f %10.0f %12.2f %12.2f\n", name, o / kCount, b / kCount,
                    m / kCount, o / b, o / m);
    }
}

}  // namespace

int main(int argc, char **argv) {
    if (!results_agree()) return 1;
    register_all();
    tavo_bench::MedianReporter reporter;
    if (!tavo_bench::run_benchmarks(
            argc, argv,
            {"--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true",
             "--benchmark_min_time=0.2"},
            reporter))
        return 1;
    print_table(reporter);
    mpfr_free_cache();
    return 0;
}
