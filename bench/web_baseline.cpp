// The native side of the web module's speed ratio: the largest legal mesh (65535
// faces) converted from SOD to GLB by the host library's Convert through the native
// plug-in, as the web module's convert does it. Writes the SOD file to the path given,
// for the web side to convert the same bytes, and prints the median seconds per
// conversion.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "bench_models.h"
#include "bridge/conversion.h"
#include "interface/host_text.h"
#include "stopwatch.h"
#include "support/temp_dir.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: web_baseline SOD_FILE\n");
    return 2;
  }
  const std::string sod = bench::LargestMeshSod();
  std::ofstream(argv[1], std::ios::binary).write(sod.data(), static_cast<std::streamsize>(sod.size()));
  TempDir dir;
  dir.Write("largest.sod", sod);
  host::HostOptions options;
  options.pluginPath = host::Utf8ToUtf16(KVELTAR_NATIVE_PLUGIN);
  host::Session session;
  if (!host::StartSession(options, &session)) return 1;
  host::ConversionRequest request;
  request.input = dir.Wide("largest.sod");
  request.output = dir.Wide("largest.glb");
  const std::filesystem::path start = std::filesystem::current_path();
  bool failed = false;
  auto convert = [&] {
    host::Conversion conversion;
    failed = failed || host::Convert(&session, options, request, &conversion) != host::kExitOk;
    std::filesystem::current_path(start);
  };
  convert();
  std::vector<double> seconds;
  for (int round = 0; round < stopwatch::kRounds; ++round) seconds.push_back(stopwatch::OneRound(convert));
  if (failed) return 1;
  std::printf("%.6f\n", stopwatch::Median(seconds));
  return 0;
}
