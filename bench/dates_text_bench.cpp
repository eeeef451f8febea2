// Dates to text and back beside the C library, on the same dates in one
// binary:
//
//   ldxdts under "DD-MON-YYYY HH24:MI:SS"   strftime with "%d-%b-%Y %H:%M:%S"
//   ldxstd of that text                     strptime of that text
//
// Inputs are 4096 random dates of 1900..2100 (fixed seed), printed in the
// C locale and in AMERICAN_AMERICA.US7ASCII (the same text). Each benchmark
// runs five times; the binary ends with the median CPU time per call of
// each pair and the ratio ours / peer.
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "ldx.h"
#include "median_reporter.hpp"

namespace {

constexpr size_t kCount = 4096;

struct Inputs {
    std::vector<ldxdate> dates;
    std::vector<std::tm> tms;
    std::vector<std::string> texts;
};

ldxctx *context() {
    static lxlinfo info;
    static ldxctx ctx;
    static const bool made = [] {
        lxlfill(&info, "AMERICAN_AMERICA.US7ASCII", 0);
        ldxini(&ctx, &info, nullptr, nullptr);
        return true;
    }();
    (void)made;
    return &ctx;
}

const uint8_t *format() {
    static uint8_t fmt[64];
    static const bool made = [] {
        const char model[] = "DD-MON-YYYY HH24:MI:SS";
        ldxsti(context(), model, sizeof model - 1, fmt, sizeof fmt);
        return true;
    }();
    (void)made;
    return fmt;
}

const Inputs &inputs() {
    static const Inputs all = [] {
        std::setlocale(LC_TIME, "C");
        std::mt19937 rng(1995);
        Inputs in;
        for (size_t i = 0; i < kCount; ++i) {
            std::tm tm{};
            tm.tm_year = static_cast<int>(rng() % 201);
            tm.tm_mon = static_cast<int>(rng() % 12);
            tm.tm_mday = 1 + static_cast<int>(rng() % 28);
            tm.tm_hour = static_cast<int>(rng() % 24);
            tm.tm_min = static_cast<int>(rng() % 60);
            tm.tm_sec = static_cast<int>(rng() % 60);
            timegm(&tm);
            in.tms.push_back(tm);
            in.dates.push_back({static_cast<int16_t>(tm.tm_year + 1900),
                                static_cast<int8_t>(tm.tm_mon + 1), static_cast<int8_t>(tm.tm_mday),
                                static_cast<int8_t>(tm.tm_hour), static_cast<int8_t>(tm.tm_min),
                                static_cast<int8_t>(tm.tm_sec), 0});
            char text[32];
            size_t n = std::strftime(text, sizeof text, "%d-%b-%Y %H:%M:%S", &tm);
            in.texts.emplace_back(text, n);
        }
        return in;
    }();
    return all;
}

void dts_ours(benchmark::State &state) {
    ldxctx *ctx = context();
    const uint8_t *fmt = format();
    const Inputs &in = inputs();
    char out[32];
    for (auto _ : state) {
        uint64_t sum = 0;
        for (const ldxdate &d : in.dates) {
            sum += ldxdts(ctx, out, sizeof out, &d, fmt);
            benchmark::DoNotOptimize(out);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

void dts_peer(benchmark::State &state) {
    const Inputs &in = inputs();
    char out[32];
    for (auto _ : state) {
        uint64_t sum = 0;
        for (const std::tm &tm : in.tms) {
            sum += std::strftime(out, sizeof out, "%d-%b-%Y %H:%M:%S", &tm);
            benchmark::DoNotOptimize(out);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

void std_ours(benchmark::State &state) {
    ldxctx *ctx = context();
    const uint8_t *fmt = format();
    const Inputs &in = inputs();
    const ldxdate ref = {1995, 3, 5, 0, 0, 0, 0};
    for (auto _ : state) {
        int64_t sum = 0;
        for (const std::string &t : in.texts) {
            ldxdate d;
            ldxstd(ctx, &d, &ref, t.data(), static_cast<uint32_t>(t.size()), fmt);
            sum += d.year + d.day + d.second;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

void std_peer(benchmark::State &state) {
    const Inputs &in = inputs();
    for (auto _ : state) {
        int64_t sum = 0;
        for (const std::string &t : in.texts) {
            std::tm tm{};
            strptime(t.c_str(), "%d-%b-%Y %H:%M:%S", &tm);
            sum += tm.tm_year + tm.tm_mday + tm.tm_sec;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

BENCHMARK(dts_ours)->Name("dts/ours");
BENCHMARK(dts_peer)->Name("dts/peer");
BENCHMARK(std_ours)->Name("std/ours");
BENCHMARK(std_peer)->Name("std/peer");

}  // namespace

int main(int argc, char **argv) {
    return tavo_bench::run_pairs(argc, argv, {"dts", "std"}, kCount);
}
