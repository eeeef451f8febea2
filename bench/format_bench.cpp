// Numbers to text and back beside the C library, on the same values in one
// binary:
//
//   lnxnft under "FM999990.00"   snprintf with "%.2f"
//   lnxnuc in width 20           snprintf with "%.15g"
//   lnxcpn                       strtod
//
// Inputs are 4096 random values of 15 significant digits between 10^5 and
// 10^6 (fixed seed): numbers and doubles made from the same texts, which
// are what the readers read. Each benchmark runs five times; the binary
// ends with the median CPU time per call of each pair and the ratio
// ours / peer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "lnx.h"
#include "median_reporter.hpp"

namespace {

constexpr size_t kCount = 4096;

struct Value {
    uint8_t num[LNXMAXLEN];
    int32_t len;
    double d;
    std::string text;
};

const std::vector<Value> &values() {
    static const std::vector<Value> all = [] {
        std::mt19937_64 rng(1996);
        std::vector<Value> v(kCount);
        for (Value &x : v) {
            const uint64_t digits = 100000000000000 + rng() % 900000000000000;
            char text[32];
            const int n =
                std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(digits));
            x.text.assign(text, 6);
            x.text += '.';
            x.text.append(text + 6, static_cast<size_t>(n - 6));
            uint32_t len = 0;
            lnxcpn(x.text.data(), static_cast<uint32_t>(x.text.size()), x.num, &len, 0, 0, 0, 0,
                   nullptr, nullptr);
            x.len = static_cast<int32_t>(len);
            x.d = std::strtod(x.text.c_str(), nullptr);
        }
        return v;
    }();
    return all;
}

const lnxfmt &model() {
    static const lnxfmt pf = [] {
        lnxfmt f;
        lnxpfl("FM999990.00", 11, &f, nullptr);
        return f;
    }();
    return pf;
}

void nft_ours(benchmark::State &state) {
    const auto &in = values();
    const lnxfmt &pf = model();
    char out[64];
    for (auto _ : state) {
        uint64_t sum = 0;
        for (const Value &v : in) {
            sum += lnxnft(v.num, v.len, &pf, out, nullptr);
            benchmark::DoNotOptimize(out);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

void nft_peer(benchmark::State &state) {
    const auto &in = values();
    char out[64];
    for (auto _ : state) {
        uint64_t sum = 0;
        for (const Value &v : in) {
            sum += static_cast<uint64_t>(std::snprintf(out, sizeof out, "%.2f", v.d));
            benchmark::DoNotOptimize(out);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

void nuc_ours(benchmark::State &state) {
    const auto &in = values();
    char out[64];
    for (auto _ : state) {
        for (const Value &v : in) {
            lnxnuc(v.num, v.len, out, 20, nullptr);
            benchmark::DoNotOptimize(out);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

void nuc_peer(benchmark::State &state) {
    const auto &in = values();
    char out[64];
    for (auto _ : state) {
        uint64_t sum = 0;
        for (const Value &v : in) {
            sum += static_cast<uint64_t>(std::snprintf(out, sizeof out, "%.15g", v.d));
            benchmark::DoNotOptimize(out);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

void cpn_ours(benchmark::State &state) {
    const auto &in = values();
    uint8_t num[LNXMAXLEN];
    for (auto _ : state) {
        uint64_t sum = 0;
        for (const Value &v : in) {
            uint32_t len = 0, used = 0;
            lnxcpn(v.text.data(), static_cast<uint32_t>(v.text.size()), num, &len, 0, 0, 0, 0,
                   &used, nullptr);
            sum += len + used;
            benchmark::DoNotOptimize(num);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

void cpn_peer(benchmark::State &state) {
    const auto &in = values();
    for (auto _ : state) {
        double sum = 0;
        for (const Value &v : in) {
            char *end;
            sum += std::strtod(v.text.c_str(), &end);
            benchmark::DoNotOptimize(end);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

BENCHMARK(nft_ours)->Name("nft/ours");
BENCHMARK(nft_peer)->Name("nft/peer");
BENCHMARK(nuc_ours)->Name("nuc/ours");
BENCHMARK(nuc_peer)->Name("nuc/peer");
BENCHMARK(cpn_ours)->Name("cpn/ours");
BENCHMARK(cpn_peer)->Name("cpn/peer");

}  // namespace

int main(int argc, char **argv) {
    return tavo_bench::run_pairs(argc, argv, {"nft", "nuc", "cpn"}, kCount);
}
