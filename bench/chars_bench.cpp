// Speed of the character, byte, sort and DES utilities beside their peers,
// on the same inputs in one binary:
//
//   lmxeecb   one DES block      OpenSSL DES_ecb_encrypt      target <= 2.0
//   lmxegks   key schedule       OpenSSL DES_set_key_unchecked (report)
//   lmxechk   CBC-MAC of 4 KB    OpenSSL DES_ncbc_encrypt     (report)
//   lmxsrt    100,000 ints       qsort                        (report)
//   lcmlcomp  4 KB               strncasecmp                  target <= 1.5
//   lcmsub    4 KB               memmem                       target <= 1.5
//
// Inputs come from a fixed seed. Before timing, every contender's results
// are checked against the peer's, so both are seen to compute the same
// thing. Each benchmark runs five times, interleaved at random
// (--benchmark_repetitions on the command line overrides that); the run
// ends with a table of median CPU times and the ratio ours / peer.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <benchmark/benchmark.h>
#include <openssl/des.h>
#include <strings.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "lc.h"
#include "lmx.h"
#include "median_reporter.hpp"

namespace {

// ---- DES -----------------------------------------------------------------------

constexpr size_t kKeys = 1024;  // a power of two: the index wraps with a mask

struct DesInputs {
    std::vector<std::array<uint32_t, 2>> keys, blocks;
    std::vector<std::array<uint32_t, LMXESCHED>> ours;
    std::vector<DES_key_schedule> theirs;
    std::vector<std::array<unsigned char, 8>> key_bytes, block_bytes;
};

void to_bytes(const std::array<uint32_t, 2> &p, unsigned char *out) {
    for (int i = 0; i < 8; ++i) out[i] = static_cast<unsigned char>(p[i / 4] >> (24 - 8 * (i % 4)));
}

// OpenSSL takes its blocks and schedules through non-const pointers but
// does not write them.
DES_cblock *as_cblock(const std::array<unsigned char, 8> &b) {
    return reinterpret_cast<DES_cblock *>(const_cast<unsigned char *>(b.data()));
}

DES_key_schedule *as_schedule(const DES_key_schedule &ks) {
    return const_cast<DES_key_schedule *>(&ks);
}

const DesInputs &des_inputs() {
    static const DesInputs in = [] {
        DesInputs d;
        std::mt19937 rng(1977);
        for (size_t i = 0; i < kKeys; ++i) {
            d.keys.push_back({static_cast<uint32_t>(rng()), static_cast<uint32_t>(rng())});
            d.blocks.push_back({static_cast<uint32_t>(rng()), static_cast<uint32_t>(rng())});
            d.ours.emplace_back();
            lmxegks(d.keys.back().data(), d.ours.back().data(), 1);
            d.key_bytes.emplace_back();
            to_bytes(d.keys.back(), d.key_bytes.back().data());
            d.block_bytes.emplace_back();
            to_bytes(d.blocks.back(), d.block_bytes.back().data());
            d.theirs.emplace_back();
            DES_set_key_unchecked(as_cblock(d.key_bytes.back()), &d.theirs.back());
        }
        return d;
    }();
    return in;
}

int check_des() {
    const DesInputs &d = des_inputs();
    int bad = 0;
    for (size_t i = 0; i < kKeys; ++i) {
        uint32_t out[2];
        lmxeecb(d.ours[i].data(), d.blocks[i].data(), out);
        DES_cblock peer, mine;
        DES_ecb_encrypt(as_cblock(d.block_bytes[i]), &peer, as_schedule(d.theirs[i]), DES_ENCRYPT);
        to_bytes({out[0], out[1]}, mine);
        bad += std::memcmp(mine, peer, 8) != 0;
    }
    return bad;
}

void des_ecb_tavo(benchmark::State &state) {
    const DesInputs &d = des_inputs();
    size_t i = 0;
    uint32_t out[2];
    for (auto _ : state) {
        lmxeecb(d.ours[i].data(), d.blocks[i].data(), out);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & (kKeys - 1);
    }
}

void des_ecb_peer(benchmark::State &state) {
    const DesInputs &d = des_inputs();
    size_t i = 0;
    DES_cblock out;
    for (auto _ : state) {
        DES_ecb_encrypt(as_cblock(d.block_bytes[i]), &out, as_schedule(d.theirs[i]), DES_ENCRYPT);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & (kKeys - 1);
    }
}

void des_key_tavo(benchmark::State &state) {
    const DesInputs &d = des_inputs();
    size_t i = 0;
    uint32_t ks[LMXESCHED];
    for (auto _ : state) {
        lmxegks(d.keys[i].data(), ks, 1);
        benchmark::DoNotOptimize(ks);
        i = (i + 1) & (kKeys - 1);
    }
}

void des_key_peer(benchmark::State &state) {
    const DesInputs &d = des_inputs();
    size_t i = 0;
    DES_key_schedule ks;
    for (auto _ : state) {
        DES_set_key_unchecked(as_cblock(d.key_bytes[i]), &ks);
        benchmark::DoNotOptimize(ks);
        i = (i + 1) & (kKeys - 1);
    }
}

constexpr size_t kMacBytes = 4096;

std::vector<uint32_t> mac_words() {
    std::mt19937 rng(5);
    std::vector<uint32_t> w(kMacBytes / 4);
    for (uint32_t &x : w) x = static_cast<uint32_t>(rng());
    return w;
}

std::vector<unsigned char> mac_bytes(const std::vector<uint32_t> &w) {
    std::vector<unsigned char> b(w.size() * 4);
    for (size_t i = 0; i < w.size(); ++i)
        for (int k = 0; k < 4; ++k) b[4 * i + k] = static_cast<unsigned char>(w[i] >> (24 - 8 * k));
    return b;
}

int check_mac() {
    const DesInputs &d = des_inputs();
    const std::vector<uint32_t> w = mac_words();
    std::vector<unsigned char> in = mac_bytes(w), out(in.size());
    const uint32_t iv[2] = {0, 0};
    uint32_t mac[2];
    lmxechk(d.ours[0].data(), w.data(), static_cast<uint32_t>(w.size()), iv, mac);
    DES_cblock ivec = {0};
    DES_key_schedule ks = d.theirs[0];
    DES_ncbc_encrypt(in.data(), out.data(), static_cast<long>(in.size()), &ks, &ivec, DES_ENCRYPT);
    unsigned char mine[8];
    to_bytes({mac[0], mac[1]}, mine);
    return std::memcmp(mine, &out[out.size() - 8], 8) != 0;
}

void des_mac_tavo(benchmark::State &state) {
    const DesInputs &d = des_inputs();
    const std::vector<uint32_t> w = mac_words();
    const uint32_t iv[2] = {0, 0};
    uint32_t mac[2];
    for (auto _ : state) {
        lmxechk(d.ours[0].data(), w.data(), static_cast<uint32_t>(w.size()), iv, mac);
        benchmark::DoNotOptimize(mac);
    }
}

void des_mac_peer(benchmark::State &state) {
    DES_key_schedule ks = des_inputs().theirs[0];
    std::vector<unsigned char> in = mac_bytes(mac_words()), out(in.size());
    for (auto _ : state) {
        DES_cblock ivec = {0};
        DES_ncbc_encrypt(in.data(), out.data(), static_cast<long>(in.size()), &ks, &ivec,
                         DES_ENCRYPT);
        benchmark::DoNotOptimize(out.data());
    }
}

// ---- Sorting -------------------------------------------------------------------

constexpr size_t kSortCount = 100000;

const std::vector<int> &sort_input() {
    static const std::vector<int> v = [] {
        std::mt19937 rng(3);
        std::vector<int> r(kSortCount);
        for (int &x : r) x = static_cast<int>(rng());
        return r;
    }();
    return v;
}

int compare_ints(const void *a, const void *b) {
    const int x = *static_cast<const int *>(a), y = *static_cast<const int *>(b);
    return (x > y) - (x < y);
}

int check_sort() {
    std::vector<int> a = sort_input(), b = sort_input();
    lmxsrt(a.data(), static_cast<uint32_t>(a.size()), sizeof(int), compare_ints);
    std::qsort(b.data(), b.size(), sizeof(int), compare_ints);
    return a != b;
}

template <bool Ours>
void sort_ints(benchmark::State &state) {
    std::vector<int> v;
    for (auto _ : state) {
        state.PauseTiming();
        v = sort_input();
        state.ResumeTiming();
        if constexpr (Ours) {
            lmxsrt(v.data(), static_cast<uint32_t>(v.size()), sizeof(int), compare_ints);
        } else {
            std::qsort(v.data(), v.size(), sizeof(int), compare_ints);
        }
        benchmark::DoNotOptimize(v.data());
    }
}

// ---- Case-insensitive comparison and search -------------------------------------

constexpr size_t kTextBytes = 4096;

// Words of letters, digits and punctuation, like text.
std::string make_text(std::mt19937 &rng) {
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyz     ,.0123456789";
    std::string s(kTextBytes, ' ');
    for (char &c : s) c = alphabet[rng() % alphabet.size()];
    return s;
}

struct TextInputs {
    std::string text, same, upper;
    std::string absent8, absent32, tail8, tail32;
};

std::string absent_pattern(std::mt19937 &rng, const std::string &text, size_t m) {
    for (;;) {
        std::string p(m, 'x');
        for (char &c : p) c = static_cast<char>('a' + rng() % 26);
        if (text.find(p) == std::string::npos) return p;
    }
}

const TextInputs &text_inputs() {
    static const TextInputs in = [] {
        std::mt19937 rng(11);
        TextInputs t;
        t.text = make_text(rng);
        t.same = t.text;
        t.upper = t.text;
        for (char &c : t.upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        t.absent8 = absent_pattern(rng, t.text, 8);
        t.absent32 = absent_pattern(rng, t.text, 32);
        t.tail8 = t.text.substr(kTextBytes - 8);
        t.tail32 = t.text.substr(kTextBytes - 32);
        return t;
    }();
    return in;
}

enum class CaseInput { same, upper };

const std::string &other_text(CaseInput which) {
    return which == CaseInput::same ? text_inputs().same : text_inputs().upper;
}

int check_compare() {
    const TextInputs &t = text_inputs();
    int bad = 0;
    for (CaseInput w : {CaseInput::same, CaseInput::upper}) {
        bad += lcmlcomp(t.text.data(), other_text(w).data(), kTextBytes) != 0;
        bad += strncasecmp(t.text.c_str(), other_text(w).c_str(), kTextBytes) != 0;
    }
    return bad;
}

template <bool Ours, CaseInput Which>
void compare_4k(benchmark::State &state) {
    const std::string &a = text_inputs().text;
    const std::string &b = other_text(Which);
    for (auto _ : state) {
        int r;
        if constexpr (Ours) {
            r = lcmlcomp(a.data(), b.data(), kTextBytes);
        } else {
            r = strncasecmp(a.c_str(), b.c_str(), kTextBytes);
        }
        benchmark::DoNotOptimize(r);
    }
}

enum class Needle { absent8, absent32, tail8, tail32 };

const std::string &needle(Needle n) {
    const TextInputs &t = text_inputs();
    switch (n) {
        case Needle::absent8:
            return t.absent8;
        case Needle::absent32:
            return t.absent32;
        case Needle::tail8:
            return t.tail8;
        default:
            return t.tail32;
    }
}

int check_search() {
    const std::string &text = text_inputs().text;
    int bad = 0;
    for (Needle n : {Needle::absent8, Needle::absent32, Needle::tail8, Needle::tail32}) {
        const std::string &p = needle(n);
        const uint32_t ours =
            lcmsub(text.data(), kTextBytes, p.data(), static_cast<uint32_t>(p.size()));
        const void *hit = memmem(text.data(), kTextBytes, p.data(), p.size());
        const size_t theirs =
            hit ? static_cast<size_t>(static_cast<const char *>(hit) - text.data()) : kTextBytes;
        bad += ours != theirs;
    }
    return bad;
}

template <bool Ours, Needle N>
void search_4k(benchmark::State &state) {
    const std::string &text = text_inputs().text;
    const std::string &p = needle(N);
    for (auto _ : state) {
        if constexpr (Ours) {
            benchmark::DoNotOptimize(
                lcmsub(text.data(), kTextBytes, p.data(), static_cast<uint32_t>(p.size())));
        } else {
            benchmark::DoNotOptimize(memmem(text.data(), kTextBytes, p.data(), p.size()));
        }
    }
}

// ---- Registry and the ratio table -------------------------------------------------

struct Pair {
    const char *name, *peer, *target;
    void (*ours)(benchmark::State &);
    void (*theirs)(benchmark::State &);
};

const Pair kPairs[] = {
    {"lmxeecb", "DES_ecb_encrypt", "<= 2.0", des_ecb_tavo, des_ecb_peer},
    {"lmxegks", "DES_set_key_unchecked", "report", des_key_tavo, des_key_peer},
    {"lmxechk/4KB", "DES_ncbc_encrypt", "report", des_mac_tavo, des_mac_peer},
    {"lmxsrt/100k", "qsort", "report", sort_ints<true>, sort_ints<false>},
    {"lcmlcomp/same", "strncasecmp", "<= 1.5", compare_4k<true, CaseInput::same>,
     compare_4k<false, CaseInput::same>},
    {"lcmlcomp/case", "strncasecmp", "<= 1.5", compare_4k<true, CaseInput::upper>,
     compare_4k<false, CaseInput::upper>},
    {"lcmsub/absent8", "memmem", "<= 1.5", search_4k<true, Needle::absent8>,
     search_4k<false, Needle::absent8>},
    {"lcmsub/absent32", "memmem", "<= 1.5", search_4k<true, Needle::absent32>,
     search_4k<false, Needle::absent32>},
    {"lcmsub/tail8", "memmem", "<= 1.5", search_4k<true, Needle::tail8>,
     search_4k<false, Needle::tail8>},
    {"lcmsub/tail32", "memmem", "<= 1.5", search_4k<true, Needle::tail32>,
     search_4k<false, Needle::tail32>},
};

void print_table(const tavo_bench::MedianReporter &times) {
    std::printf("\n%-16s %-22s %12s %12s %7s  %s\n", "ours", "peer", "tavo ns", "peer ns", "ratio",
                "target");
    for (const Pair &p : kPairs) {
        double ours, theirs;
        if (!times.ns(std::string(p.name) + "/tavo", ours) ||
            !times.ns(std::string(p.name) + "/peer", theirs))
            continue;
        std::printf("%-16s %-22s %12.1f %12.1f %7.2f  %s\n", p.name, p.peer, ours, theirs,
                    ours / theirs, p.target);
    }
}

}  // namespace

int main(int argc, char **argv) {
    const int disagreements =
        check_des() + check_mac() + check_sort() + check_compare() + check_search();
    if (disagreements != 0) {
        std::fprintf(stderr, "%d results differ from the peer's\n", disagreements);
        return 1;
    }
    for (const Pair &p : kPairs) {
        benchmark::RegisterBenchmark((std::string(p.name) + "/tavo").c_str(), p.ours);
        benchmark::RegisterBenchmark((std::string(p.name) + "/peer").c_str(), p.theirs);
    }

    tavo_bench::MedianReporter reporter;
    if (!tavo_bench::run_benchmarks(
            argc, argv,
            {"--benchmark_repetitions=5", "--benchmark_enable_random_interleaving=true",
             "--benchmark_report_aggregates_only=true"},
            reporter))
        return 1;
    print_table(reporter);
    return 0;
}
