// Welding the corners of one mesh of 65535 triangles (a grid of shared vertices, one
// texture coordinate per vertex): the chained weld against the literal search, both
// measured in this run; prints how many times faster the chained weld is.
#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "ratio_reporter.h"
#include "support/weld_oracle.h"

namespace {

constexpr int kGrid = 181;         // quads per side
constexpr int kTriangles = 65535;  // 2 * 181 * 181 = 65522, and 13 more

std::vector<ExportVertex> MakeCorners() {
  const int side = kGrid + 1;
  auto corner = [side](int x, int y) {
    ExportVertex c;
    std::memset(&c, 0, sizeof c);
    c.hostVertex = y * side + x;
    c.position[0] = static_cast<float>(x) * 0.5f;
    c.position[1] = static_cast<float>(y) * 0.5f;
    c.position[2] = static_cast<float>((x * 7 + y * 3) % 5) * 0.1f;
    c.texCoord.u = static_cast<float>(x) / kGrid;
    c.texCoord.v = static_cast<float>(y) / kGrid;
    return c;
  };
  std::vector<ExportVertex> corners;
  for (int y = 0; y < kGrid; ++y) {
    for (int x = 0; x < kGrid; ++x) {
      for (auto c : {corner(x, y), corner(x + 1, y), corner(x + 1, y + 1), corner(x, y), corner(x + 1, y + 1),
                     corner(x, y + 1)}) {
        corners.push_back(c);
      }
    }
  }
  for (int i = 0; static_cast<int>(corners.size()) < 3 * kTriangles; ++i) {
    for (auto c : {corner(i, 0), corner(i + 1, 1), corner(i, 1)}) corners.push_back(c);
  }
  return corners;
}

const std::vector<ExportVertex>& Corners() {
  static const std::vector<ExportVertex> corners = MakeCorners();
  return corners;
}

void ChainedWeld(benchmark::State& state) {
  const auto& corners = Corners();
  for (auto _ : state) {
    VertexWeld weld;
    VertexWeldCreate(&weld, static_cast<uint32_t>(corners.size()), (kGrid + 1) * (kGrid + 1));
    for (const ExportVertex& c : corners)
      benchmark::DoNotOptimize(VertexWeldAdd(&weld, c.hostVertex, c.position, c.texCoord));
    state.counters["vertices"] = weld.count;
    VertexWeldFree(&weld);
  }
}

void LiteralSearch(benchmark::State& state) {
  const auto& corners = Corners();
  std::vector<ExportVertex> table(corners.size());
  for (auto _ : state) {
    uint32_t count = 0;
    for (const ExportVertex& c : corners) benchmark::DoNotOptimize(LiteralWeldAdd(table.data(), &count, c));
    state.counters["vertices"] = count;
  }
}

BENCHMARK(ChainedWeld)->Unit(benchmark::kMillisecond);
BENCHMARK(LiteralSearch)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const std::string what = "weld of " + std::to_string(kTriangles) + " triangles: literal search / chained weld";
  reporter.PrintRatio(what.c_str(), "LiteralSearch/iterations:1", "ChainedWeld");
  return 0;
}
