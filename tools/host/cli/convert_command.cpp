// kveltar-host convert IN OUT: a SOD file to glTF (.gltf, .glb) or OBJ, or such a file
// to SOD, always through the plug-in; the messages and a summary are printed. A SOD
// file to SOD is imported and exported again, with the markers of the side text files
// that --hardpoints, --emitters and --sprites name.
// kveltar-host convert IN... --to KIND --out-dir DIR: many files and folders at once,
// through one loaded plug-in; a failure does not stop the others.
#include <cstdio>
#include <filesystem>

#include "bridge/file_batch.h"
#include "cli/host_commands.h"
#include "cli/progress_bar.h"
#include "interface/host_json.h"
#include "interface/host_text.h"

namespace host {

namespace {

void PrintConverted(const std::u16string& input, const std::u16string& output, const Json& summary) {
  std::printf(
      "converted %s to %s: %zu meshes, %d triangles, %zu materials, %zu hardpoints, %zu emitters, %zu sprites\n",
      Utf16ToUtf8(input).c_str(), Utf16ToUtf8(output).c_str(), summary["meshes"].size(),
      summary["triangles"].get<int>(), summary["materials"].size(), summary["hardpoints"].get<size_t>(),
      summary["emitters"].get<size_t>(), summary["sprites"].get<size_t>());
}

// Each file's messages, named after the file; the converted files unless `quiet`.
void PrintBatchFile(const BatchResult& result, bool quiet) {
  const std::string input = Utf16ToUtf8(result.file.path);
  for (const Json& message : result.conversion.messages.List()) {
    if (quiet && message["kind"] != "error") continue;
    std::fprintf(stderr, "kveltar-host: %s: %s%s\n", input.c_str(), message["kind"] == "warning" ? "warning: " : "",
                 message["text"].get<std::string>().c_str());
  }
  if (result.conversion.status == kExitOk && !quiet) {
    PrintConverted(result.file.path, result.output, result.conversion.summary);
  }
}

int ConvertMany(const HostOptions& options, const ConvertCommand& command) {
  const std::u16string to = u"." + Utf8ToUtf16(command.to);
  std::vector<BatchFile> files;
  std::vector<SkippedEntry> skipped;
  std::string error;
  if (!CollectFiles(command.inputs, BatchInputExtensions(to), &files, &skipped, &error) ||
      (files.empty() && skipped.empty())) {
    std::fprintf(stderr, "kveltar-host: %s\n", files.empty() && error.empty() ? "no files to convert" : error.c_str());
    return kExitUsage;
  }
  Session session;
  if (!StartSession(options, &session)) return kExitUsage;
  ProgressBar progress(files.size());
  std::vector<BatchResult> results;
  size_t failed = ConvertBatch(
      &session, options, command, files, to, command.outDir,
      [&](size_t index, size_t, const BatchFile& file) { progress.Show(index, Utf16ToUtf8(file.relative)); }, &results);
  progress.Clear();
  for (const SkippedEntry& entry : skipped) results.push_back(SkippedResult(entry));
  failed += skipped.size();
  if (command.json) {
    Json list = Json::array();
    for (const BatchResult& result : results) {
      ConversionRequest request = command;
      request.input = result.file.path;
      request.output = result.output;
      list.push_back(ConversionJson(request, result.conversion));
    }
    std::printf(
        "%s\n",
        JsonText(Json{{"files", std::move(list)}, {"converted", results.size() - failed}, {"failed", failed}}).c_str());
    return failed > 0 ? kExitFailed : kExitOk;
  }
  for (const BatchResult& result : results) PrintBatchFile(result, command.quiet);
  std::printf("converted %zu files, %zu failed%s\n", results.size() - failed, failed, failed > 0 ? ":" : "");
  for (const BatchResult& result : results) {
    if (result.conversion.status == kExitOk) continue;
    std::printf("  %s: %s\n", Utf16ToUtf8(result.file.path).c_str(), FailureReason(result.conversion).c_str());
  }
  return failed > 0 ? kExitFailed : kExitOk;
}

}  // namespace

int CommandConvert(const HostOptions& options, const ConvertCommand& command) {
  if (!command.to.empty()) return ConvertMany(options, command);
  Session session;
  if (!StartSession(options, &session)) return kExitUsage;
  Conversion conversion;
  Convert(&session, options, command, &conversion);
  if (command.json) {
    std::printf("%s\n", JsonText(ConversionJson(command, conversion)).c_str());
    return conversion.status;
  }
  conversion.messages.Print(command.quiet);
  if (conversion.status == kExitOk && !command.quiet) PrintConverted(command.input, command.output, conversion.summary);
  return conversion.status;
}

}  // namespace host
