// Speed of the date calendar beside the algorithms it is measured against,
// on the same inputs in one binary:
//
//   ldxctj (date to day number)    days_from_civil (Hinnant), written here
//   ldxjtc (day number to date)    civil_from_days (Hinnant), written here
//   ldxadm (adding months)         the same month rule on std::chrono::year_month_day
//   ldxsto "DD-MON-YYYY HH24:MI:SS" (reported alone: no peer)
//
// Inputs are 4096 random Gregorian dates of 1583..9999 (fixed seed), so
// that the peers, which know only the Gregorian calendar, do the same work.
// Each benchmark runs five times; the binary ends with the median CPU time
// per call of each pair and the ratio ours / peer.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "ldx.h"
#include "median_reporter.hpp"

namespace {

namespace chr = std::chrono;
constexpr size_t kCount = 4096;

struct Ymd {
    int32_t y, m, d;
};

const std::vector<Ymd> &dates() {
    static const std::vector<Ymd> all = [] {
        std::mt19937 rng(2024);
        std::vector<Ymd> v;
        for (size_t i = 0; i < kCount; ++i) {
            int32_t y = 1583 + static_cast<int32_t>(rng() % (9999 - 1583 + 1));
            int32_t m = 1 + static_cast<int32_t>(rng() % 12);
            auto last = chr::year_month_day_last{chr::year{y}, chr::month_day_last{chr::month(m)}};
            int32_t d = 1 + static_cast<int32_t>(rng() % unsigned(last.day()));
            v.push_back({y, m, d});
        }
        return v;
    }();
    return all;
}

const std::vector<int32_t> &months() {
    static const std::vector<int32_t> all = [] {
        std::mt19937 rng(7);
        std::vector<int32_t> v;
        for (size_t i = 0; i < kCount; ++i) v.push_back(static_cast<int32_t>(rng() % 121) - 60);
        return v;
    }();
    return all;
}

ldxctx *context() {
    static ldxctx ctx;
    static const bool made = (ldxini(&ctx, nullptr, nullptr, nullptr), true);
    (void)made;
    return &ctx;
}

// ---- Peers: Hinnant's algorithms ------------------------------------------------

constexpr int32_t days_from_civil(int32_t y, unsigned m, unsigned d) noexcept {
    y -= m <= 2;
    const int32_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);             // [0, 399]
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;  // [0, 365]
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;            // [0, 146096]
    return era * 146097 + static_cast<int32_t>(doe) - 719468;
}

constexpr Ymd civil_from_days(int32_t z) noexcept {
    z += 719468;
    const int32_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);                // [0, 146096]
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // [0, 399]
    const int32_t y = static_cast<int32_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);  // [0, 365]
    const unsigned mp = (5 * doy + 2) / 153;                       // [0, 11]
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;               // [1, 31]
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;                  // [1, 12]
    return {y + (m <= 2), static_cast<int32_t>(m), static_cast<int32_t>(d)};
}

constexpr int32_t kUnixDay = 2440588;  // 1 January 1970 as a day number

// ---- To day numbers ----------------------------------------------------------------

void ctj_ours(benchmark::State &state) {
    ldxctx *ctx = context();
    for (auto _ : state) {
        int64_t sum = 0;
        for (const Ymd &d : dates()) sum += ldxctj(ctx, d.y, d.m, d.d);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

void ctj_peer(benchmark::State &state) {
    for (auto _ : state) {
        int64_t sum = 0;
        for (const Ymd &d : dates())
            sum += days_from_civil(d.y, static_cast<unsigned>(d.m), static_cast<unsigned>(d.d)) +
                   kUnixDay;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

// ---- From day numbers ---------------------------------------------------------------

const std::vector<int32_t> &day_numbers() {
    static const std::vector<int32_t> all = [] {
        std::vector<int32_t> v;
        for (const Ymd &d : dates())
            v.push_back(
                days_from_civil(d.y, static_cast<unsigned>(d.m), static_cast<unsigned>(d.d)) +
                kUnixDay);
        return v;
    }();
    return all;
}

void jtc_ours(benchmark::State &state) {
    ldxctx *ctx = context();
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t j : day_numbers()) {
            int32_t y, m, d;
            ldxjtc(ctx, j, &y, &m, &d);
            sum += y + m + d;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

void jtc_peer(benchmark::State &state) {
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t j : day_numbers()) {
            Ymd r = civil_from_days(j - kUnixDay);
            sum += r.y + r.m + r.d;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

// ---- Adding months --------------------------------------------------------------------

void adm_ours(benchmark::State &state) {
    ldxctx *ctx = context();
    std::vector<ldxdate> in;
    for (const Ymd &d : dates())
        in.push_back({static_cast<int16_t>(d.y), static_cast<int8_t>(d.m), static_cast<int8_t>(d.d),
                      0, 0, 0, 0});
    for (auto _ : state) {
        int64_t sum = 0;
        for (size_t i = 0; i < kCount; ++i) {
            ldxdate r;
            ldxadm(ctx, &r, &in[i], months()[i]);
            sum += r.year + r.month + r.day;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

// The same rule: a last day, or a day beyond the new month, becomes the
// new month's last day.
void adm_peer(benchmark::State &state) {
    std::vector<chr::year_month_day> in;
    for (const Ymd &d : dates())
        in.emplace_back(chr::year{d.y}, chr::month(static_cast<unsigned>(d.m)),
                        chr::day(static_cast<unsigned>(d.d)));
    for (auto _ : state) {
        int64_t sum = 0;
        for (size_t i = 0; i < kCount; ++i) {
            const chr::year_month_day &from = in[i];
            chr::year_month_day_last from_last{from.year(), chr::month_day_last{from.month()}};
            chr::year_month_day to = from + chr::months{months()[i]};
            chr::year_month_day_last to_last{to.year(), chr::month_day_last{to.month()}};
            chr::day d = from.day() == from_last.day() || !to.ok() ? to_last.day() : to.day();
            sum += static_cast<int>(to.year()) + static_cast<unsigned>(to.month()) +
                   static_cast<unsigned>(d);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

// ---- Compiling a model ------------------------------------------------------------------

void compile_ours(benchmark::State &state) {
    ldxctx *ctx = context();
    const char model[] = "DD-MON-YYYY HH24:MI:SS";
    uint8_t out[64];
    for (auto _ : state) {
        benchmark::DoNotOptimize(ldxsto(ctx, model, sizeof model - 1, out, sizeof out));
        benchmark::ClobberMemory();
    }
}

BENCHMARK(ctj_ours)->Name("ctj/ours");
BENCHMARK(ctj_peer)->Name("ctj/peer");
BENCHMARK(jtc_ours)->Name("jtc/ours");
BENCHMARK(jtc_peer)->Name("jtc/peer");
BENCHMARK(adm_ours)->Name("adm/ours");
BENCHMARK(adm_peer)->Name("adm/peer");
BENCHMARK(compile_ours)->Name("sto/ours");

// ---- The ratio table ------------------------------------------------------------------------

void print_table(const tavo_bench::MedianReporter &times) {
    tavo_bench::print_ratios(times, {"ctj", "jtc", "adm"}, kCount);
    if (double sto; times.ns("sto/ours", sto)) std::printf("%-10s %12.1f\n", "ldxsto", sto);
}

}  // namespace

int main(int argc, char **argv) {
    tavo_bench::MedianReporter reporter;
    if (!tavo_bench::run_benchmarks(
            argc, argv, {"--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true"},
            reporter))
        return 1;
    print_table(reporter);
    return 0;
}
