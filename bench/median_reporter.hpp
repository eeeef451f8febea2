// What the benchmark programs share: a reporter that keeps the CPU time of
// one iteration of every benchmark (the median over repetitions when there
// are some) for the ratio table each program prints, and the start-up that
// puts a program's default flags before the command line's.
#ifndef TAVO_BENCH_MEDIAN_REPORTER_HPP
#define TAVO_BENCH_MEDIAN_REPORTER_HPP

#include <benchmark/benchmark.h>

#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace tavo_bench {

class MedianReporter : public benchmark::ConsoleReporter {
  public:
    // Plain text: the output usually goes to a file.
    MedianReporter() : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type != Run::RT_Iteration && !median) continue;
            Time &t = times_[run.run_name.function_name];
            if (median || !t.is_median) t = {run.GetAdjustedCPUTime(), median};
        }
    }

    // CPU nanoseconds of one iteration of the named benchmark; false when it
    // did not run.
    bool ns(const std::string &name, double &out) const {
        const auto it = times_.find(name);
        if (it == times_.end()) return false;
        out = it->second.ns;
        return true;
    }

  private:
    struct Time {
        double ns = 0;
        bool is_median = false;
    };
    std::map<std::string, Time> times_;
};

// Runs the registered benchmarks with the program's defaults, which flags
// on the command line override (they come later). False on a bad flag.
inline bool run_benchmarks(int argc, char **argv, std::vector<std::string> flags,
                           MedianReporter &reporter) {
    flags.insert(flags.begin(), argv[0]);
    for (int i = 1; i < argc; ++i) flags.emplace_back(argv[i]);
    std::vector<char *> args;
    for (std::string &a : flags) args.push_back(a.data());
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data())) return false;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return true;
}

// Prints, for each operation, the medians of "<op>/ours" and "<op>/peer"
// per call (an iteration making `calls` calls) and their ratio.
inline void print_ratios(const MedianReporter &times, std::initializer_list<const char *> ops,
                         double calls, int name_width = 10) {
    std::printf("\n%-*s %12s %12s %8s\n", name_width, "per call", "ours ns", "peer ns", "ratio");
    for (const char *op : ops) {
        double ours, peer;
        if (!times.ns(std::string(op) + "/ours", ours) ||
            !times.ns(std::string(op) + "/peer", peer))
            continue;
        std::printf("%-*s %12.2f %12.2f %8.2f\n", name_width, op, ours / calls, peer / calls,
                    ours / peer);
    }
}

// The whole main of a program of ours/peer pairs: five repetitions, then
// the ratio table.
inline int run_pairs(int argc, char **argv, std::initializer_list<const char *> ops, double calls,
                     int name_width = 10) {
    MedianReporter reporter;
    if (!run_benchmarks(argc, argv,
                        {"--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true"},
                        reporter))
        return 1;
    print_ratios(reporter, ops, calls, name_width);
    return 0;
}

}  // namespace tavo_bench

#endif  // TAVO_BENCH_MEDIAN_REPORTER_HPP
