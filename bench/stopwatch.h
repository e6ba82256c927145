// A small timing harness for measurements that both builds make (Google Benchmark is
// at hand for the native build only): an operation and its baseline are timed in
// alternating rounds in the same process, and the ratio of their median times is
// printed. Nothing here ever fails on time.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace stopwatch {

constexpr int kRounds = 7;
constexpr double kRoundSeconds = 0.3;  // a round repeats its call until this much time passed

// Seconds per call of `work` in one round: as many calls as fit kRoundSeconds, at least one.
template <typename Work>
double OneRound(Work& work) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  long calls = 0;
  double elapsed = 0;
  do {
    work();
    ++calls;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  } while (elapsed < kRoundSeconds);
  return elapsed / static_cast<double>(calls);
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Times `measured` and `baseline` in alternating rounds after one call of each to warm
// up, and prints both median times and measured / baseline under `what`.
template <typename Measured, typename Baseline>
double PrintRatio(const char* what, Measured measured, Baseline baseline) {
  measured();
  baseline();
  std::vector<double> measuredSeconds, baselineSeconds;
  for (int round = 0; round < kRounds; ++round) {
    measuredSeconds.push_back(OneRound(measured));
    baselineSeconds.push_back(OneRound(baseline));
  }
  const double m = Median(measuredSeconds), b = Median(baselineSeconds);
  std::printf("%s\n  %9.3f ms / %9.3f ms = %7.3f\n", what, m * 1e3, b * 1e3, m / b);
  std::fflush(stdout);
  return m / b;
}

}  // namespace stopwatch
