// Speed of the language support's text walks beside plain loops, over the
// same 1 KB of text in one binary:
//
//   lxoupper, Latin-1          a byte loop with toupper
//   lxccount, Latin-1          a byte loop counting bytes up to the length
//   lxoupper, UTF-8            a UTF-8 decode loop with towupper and re-encoding
//   lxccount, UTF-8            a UTF-8 decode loop (lead byte gives the length)
//
// The text is European prose with accented letters (about one character in
// twelve outside ASCII). Environments are made and work areas bound inside
// the timed loop, as the date and number functions do on every call.
//
// Each benchmark runs five times; the binary ends with the median CPU time
// of each pair and the ratio ours / peer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "lx.h"
#include "median_reporter.hpp"

namespace {

constexpr size_t kTextBytes = 1024;

// About 1 KB of UTF-8 whose characters are all in Latin-1.
std::string utf8_text() {
    const std::string prose =
        "Le cœur a ses raisons; l'été à Genève, déjà passé. Über den Brücken "
        "grüßt die Straße. Mañana él comerá piñas. Perché così è più facile. ";
    std::string text;
    while (text.size() < kTextBytes) text += prose;
    // Cut on a character boundary at about 1 KB.
    size_t cut = kTextBytes;
    while ((static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
    std::replace(text.begin(), text.end(), '\0', ' ');
    return text;
}

std::string latin1_text() {
    const std::string utf8 = utf8_text();
    std::string out(utf8.size(), '\0');
    lxwork w{};
    const uint32_t n = lxconv(out.data(), static_cast<uint32_t>(out.size()), LXCS_WE8ISO8859P1,
                              utf8.data(), static_cast<uint32_t>(utf8.size()), LXCS_AL32UTF8, &w);
    out.resize(n);
    while (out.size() < kTextBytes) out += out.substr(0, kTextBytes - out.size());
    return out;
}

const std::string &text_for(int32_t cs) {
    static const std::string latin1 = latin1_text(), utf8 = utf8_text();
    return cs == LXCS_AL32UTF8 ? utf8 : latin1;
}

const lxlinfo &info_for(int32_t cs) {
    static lxlinfo latin1, utf8;
    static const bool filled = lxlfill(&latin1, "FRENCH_FRANCE.WE8ISO8859P1", 0) == LXS_OK &&
                               lxlfill(&utf8, "FRENCH_FRANCE.AL32UTF8", 0) == LXS_OK;
    (void)filled;
    return cs == LXCS_AL32UTF8 ? utf8 : latin1;
}

// ---- Ours ---------------------------------------------------------------------

void upper_ours(benchmark::State &state, int32_t cs) {
    const std::string &text = text_for(cs);
    const lxlinfo &info = info_for(cs);
    std::vector<char> out(text.size() + 16);
    for (auto _ : state) {
        lxwork w;
        lxwbind(&w, lxenvget(&info));
        lxcur c;
        lxoopen(&c, out.data(), static_cast<uint32_t>(out.size()), &w);
        benchmark::DoNotOptimize(lxoupper(&c, text.data(), static_cast<uint32_t>(text.size()), &w));
        benchmark::ClobberMemory();
        lxwfree(&w);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void count_ours(benchmark::State &state, int32_t cs) {
    const std::string &text = text_for(cs);
    const lxlinfo &info = info_for(cs);
    for (auto _ : state) {
        lxwork w;
        lxwbind(&w, lxenvget(&info));
        lxcur c;
        lxcopen(&c, text.data(), static_cast<uint32_t>(text.size()), &w);
        benchmark::DoNotOptimize(lxccount(&c));
        lxwfree(&w);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// ---- Peers --------------------------------------------------------------------------

void upper_bytes_peer(benchmark::State &state) {
    const std::string &text = text_for(LXCS_WE8ISO8859P1);
    std::vector<char> out(text.size() + 16);
    for (auto _ : state) {
        for (size_t i = 0; i < text.size(); ++i)
            out[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void count_bytes_peer(benchmark::State &state) {
    const std::string &text = text_for(LXCS_WE8ISO8859P1);
    for (auto _ : state) {
        const char *p = text.data();
        benchmark::DoNotOptimize(p);
        size_t n = 0;
        for (size_t i = 0; i < text.size(); ++i) n += p[i] != '\0';
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// The usual decoder: the lead byte tells the length, continuations are not checked.
inline size_t utf8_step(const unsigned char *s, size_t left, uint32_t *cp) {
    const unsigned char b = s[0];
    size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    if (n > left) n = left;
    uint32_t v = n == 1 ? b : b & (0x3F >> (n - 1));
    for (size_t k = 1; k < n; ++k) v = (v << 6) | (s[k] & 0x3F);
    *cp = v;
    return n;
}

void count_utf8_peer(benchmark::State &state) {
    const std::string &text = text_for(LXCS_AL32UTF8);
    const auto *s = reinterpret_cast<const unsigned char *>(text.data());
    for (auto _ : state) {
        size_t count = 0;
        uint32_t cp;
        for (size_t i = 0; i < text.size(); ++count) i += utf8_step(s + i, text.size() - i, &cp);
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void upper_utf8_peer(benchmark::State &state) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    const std::string &text = text_for(LXCS_AL32UTF8);
    const auto *s = reinterpret_cast<const unsigned char *>(text.data());
    std::vector<unsigned char> out(text.size() * 2 + 16);
    for (auto _ : state) {
        size_t o = 0;
        uint32_t cp;
        for (size_t i = 0; i < text.size();) {
            i += utf8_step(s + i, text.size() - i, &cp);
            cp = static_cast<uint32_t>(std::towupper(static_cast<wint_t>(cp)));
            if (cp < 0x80) {
                out[o++] = static_cast<unsigned char>(cp);
            } else if (cp < 0x800) {
                out[o++] = static_cast<unsigned char>(0xC0 | (cp >> 6));
                out[o++] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            } else {
                out[o++] = static_cast<unsigned char>(0xE0 | (cp >> 12));
                out[o++] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
                out[o++] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            }
        }
        benchmark::DoNotOptimize(o);
        benchmark::ClobberMemory();
    }
    std::setlocale(LC_CTYPE, "C");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

BENCHMARK_CAPTURE(upper_ours, latin1, LXCS_WE8ISO8859P1)->Name("upper/latin1/ours");
BENCHMARK(upper_bytes_peer)->Name("upper/latin1/peer");
BENCHMARK_CAPTURE(count_ours, latin1, LXCS_WE8ISO8859P1)->Name("count/latin1/ours");
BENCHMARK(count_bytes_peer)->Name("count/latin1/peer");
BENCHMARK_CAPTURE(upper_ours, utf8, LXCS_AL32UTF8)->Name("upper/utf8/ours");
BENCHMARK(upper_utf8_peer)->Name("upper/utf8/peer");
BENCHMARK_CAPTURE(count_ours, utf8, LXCS_AL32UTF8)->Name("count/utf8/ours");
BENCHMARK(count_utf8_peer)->Name("count/utf8/peer");

// ---- The ratio table ---------------------------------------------------------------

void print_table(const tavo_bench::MedianReporter &times) {
    std::printf("\n%-16s %12s %12s %8s\n", "1 KB of text", "ours ns", "peer ns", "ratio");
    for (const char *op : {"upper/latin1", "count/latin1", "upper/utf8", "count/utf8"}) {
        double ours, peer;
        if (!times.ns(std::string(op) + "/ours", ours) ||
            !times.ns(std::string(op) + "/peer", peer))
            continue;
        std::printf("%-16s %12.1f %12.1f %8.2f\n", op, ours, peer, ours / peer);
    }
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
