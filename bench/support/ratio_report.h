#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace px3::bench {

// Console reporter that also keeps each benchmark's CPU time per iteration (nanoseconds) by name,
// so a program can print ratios measured in the same run. CPU time rather than wall time, since
// the machines are shared and a busy neighbour stretches wall time but not our own CPU time.
class CollectingReporter : public benchmark::ConsoleReporter {
  public:
    // Plain text, so that the figure lines printed after the table start clean.
    CollectingReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime() /
                                               benchmark::GetTimeUnitMultiplier(run.time_unit) *
                                               1e9;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Nanoseconds(const std::string& name) const {
        auto it = times_.find(name);
        return it == times_.end() ? 0.0 : it->second;
    }

  private:
    std::map<std::string, double> times_;
};

// Runs every registered benchmark and returns the reporter holding their times.
inline void RunAll(int argc, char** argv, CollectingReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}

inline void PrintRatio(const char* name, double measured, double baseline, double goal) {
    std::printf("%s: ratio=%.3f goal<=%g\n", name, baseline > 0 ? measured / baseline : 0.0, goal);
}

}  // namespace px3::bench
