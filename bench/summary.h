// The render benchmark's goals and the summary printed after its runs: each
// figure as a ratio to the floor, and whether the goals were met.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace qv::bench {

// Keeps every result as it is shown, for the ratios at the end.
class Keeper : public benchmark::ConsoleReporter {
  public:
    struct Result {
        double real_us, cpu_us;
        std::map<std::string, double> counters;
    };
    std::map<std::string, Result> results;

    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration)
                continue;
            const double to_us = 1e6 / benchmark::GetTimeUnitMultiplier(r.time_unit);
            Result &k = results[r.run_name.function_name];
            k.real_us = r.GetAdjustedRealTime() * to_us;
            k.cpu_us = r.GetAdjustedCPUTime() * to_us;
            for (const auto &[name, c] : r.counters)
                k.counters[name] = c.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

// Prints the ratios; false when a goal measured in this run is missed.
bool summarise(const Keeper &k);

} // namespace qv::bench
