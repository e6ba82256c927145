// kveltar-host check PATH...: every SOD file named, or found in the folders named,
// checked through the plug-in (see bridge/mod_check.h); one line per file with its
// problems below it and a summary, or JSON. Exit 1 when a file has an error.
#include <cstdio>
#include <filesystem>
#include <utility>

#include "bridge/check_report.h"
#include "bridge/file_batch.h"
#include "bridge/mod_check.h"
#include "cli/host_commands.h"
#include "cli/progress_bar.h"
#include "interface/host_text.h"

namespace host {

namespace fs = std::filesystem;

namespace {

// A path as the user is shown it: under the folder the command started in, relative to it.
std::string Shown(const std::u16string& path, const fs::path& start) {
  const fs::path relative = fs::path(path).lexically_relative(start);
  const bool inside = !relative.empty() && relative.begin()->u8string() != "..";
  return inside ? relative.u8string() : fs::path(path).u8string();
}

std::string FiguresText(const FileCheck& check) {
  const DialogFigures& f = check.figures;
  if (!check.imported && f.version.empty()) return "not read";
  char text[256];
  std::snprintf(text, sizeof text,
                "SOD %s (%s), %d materials, %d null nodes, %d meshes, %d sprites, %d LODs, %d emitters, %d hardpoints",
                f.version.c_str(), f.identifier.c_str(), f.materials, f.nullNodes, f.meshes, f.sprites, f.lods,
                f.emitters, f.hardpoints);
  return text;
}

void PrintFile(const FileCheck& check, const std::string& shown, const std::string& only) {
  size_t listed = 0;
  for (const Problem& problem : check.problems) listed += OnlyShows(KindOf(problem.code).severity, only) ? 1 : 0;
  if (!only.empty() && listed == 0) return;
  std::printf("%s: %s: %s\n", shown.c_str(), FiguresText(check).c_str(),
              check.problems.empty() ? "no problems"
                                     : (std::to_string(check.Count(Severity::kError)) + " errors, " +
                                        std::to_string(check.Count(Severity::kWarning)) + " warnings, " +
                                        std::to_string(check.Count(Severity::kInfo)) + " infos")
                                           .c_str());
  for (const Problem& problem : check.problems) {
    const ProblemKind& kind = KindOf(problem.code);
    if (OnlyShows(kind.severity, only)) {
      std::printf("  %s %s: %s\n", SeverityName(kind.severity), kind.name, problem.text.c_str());
    }
  }
}

}  // namespace

int CommandCheck(const HostOptions& options, const CheckCommand& command) {
  const fs::path start = fs::current_path();
  std::vector<BatchFile> files;
  std::vector<SkippedEntry> skipped;
  std::string error;
  if (!CollectFiles(command.paths, {u".sod"}, &files, &skipped, &error)) {
    std::fprintf(stderr, "kveltar-host: %s\n", error.c_str());
    return kExitUsage;
  }
  if (files.empty() && skipped.empty()) {
    std::fprintf(stderr, "kveltar-host: no SOD files to check\n");
    return kExitUsage;
  }
  Session session;
  if (!StartSession(options, &session)) return kExitUsage;
  ModChecker checker(&session, options, command.checkOptions);
  std::vector<FileCheck> checks;
  ProgressBar progress(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    progress.Show(i, files[i].relative.empty() ? "" : Utf16ToUtf8(files[i].relative));
    checks.push_back(checker.Check(files[i].path));
  }
  progress.Clear();
  for (const SkippedEntry& entry : skipped) {
    FileCheck skippedCheck;
    skippedCheck.path = entry.path.u16string();
    skippedCheck.problems.push_back({ProblemCode::kNotWalked, entry.reason});
    checks.push_back(std::move(skippedCheck));
  }
  const Json summary = CheckSummary(checks);
  if (command.json) {
    std::printf("%s\n", JsonText(CheckReportJson(checks, command.only)).c_str());
  } else {
    for (const FileCheck& check : checks) PrintFile(check, Shown(check.path, start), command.only);
    std::printf("checked %zu files: %zu with errors, %zu with warnings only; %zu errors, %zu warnings, %zu infos\n",
                checks.size(), summary["filesWithErrors"].get<size_t>(), summary["filesWithWarningsOnly"].get<size_t>(),
                summary["errors"].get<size_t>(), summary["warnings"].get<size_t>(), summary["infos"].get<size_t>());
  }
  return summary["filesWithErrors"].get<size_t>() > 0 ? kExitFailed : kExitOk;
}

}  // namespace host
