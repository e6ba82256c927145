// A console reporter that also keeps every benchmark's time per iteration, so that a
// program can print its measurements as ratios against a baseline of the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) seconds_[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }

  // Prints measured / baseline under `what`; nothing when either did not run.
  void PrintRatio(const char* what, const std::string& measured, const std::string& baseline) {
    if (seconds_.count(measured) == 0 || seconds_.count(baseline) == 0 || seconds_[baseline] <= 0) return;
    std::printf("%-66s %8.3f\n", what, seconds_[measured] / seconds_[baseline]);
  }

 private:
  std::map<std::string, double> seconds_;
};
