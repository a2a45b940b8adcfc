#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

namespace convodesk::bench {

// Prints the runs as the console does and remembers each run's time per iteration (seconds),
// for the ratio tables the benchmark programs print at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // The seconds of the run named `name` ("Test/argument"); 0 if it did not run.
    double secondsOf(const std::string& name) const;

private:
    std::map<std::string, double> seconds_;
};

} // namespace convodesk::bench
