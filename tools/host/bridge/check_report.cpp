#include "bridge/check_report.h"

#include <algorithm>
#include <stdexcept>

#include "interface/host_text.h"

namespace host {

bool OnlyShows(Severity severity, const std::string& only) {
  return only.empty() || severity == Severity::kError || (only == "warnings" && severity == Severity::kWarning);
}

namespace {

// A file's JSON with the problems --only lists (all without it).
Json ListedJson(const FileCheck& check, const std::string& only) {
  Json file = FileCheckJson(check);
  Json listed = Json::array();
  for (size_t i = 0; i < check.problems.size(); ++i) {
    if (OnlyShows(KindOf(check.problems[i].code).severity, only)) listed.push_back(file["problems"][i]);
  }
  file["problems"] = std::move(listed);
  return file;
}

}  // namespace

Json CheckSummary(const std::vector<FileCheck>& checks) {
  size_t withErrors = 0, withWarnings = 0, counts[3] = {0, 0, 0};
  for (const FileCheck& check : checks) {
    for (Severity severity : {Severity::kError, Severity::kWarning, Severity::kInfo}) {
      counts[static_cast<int>(severity)] += check.Count(severity);
    }
    if (check.Count(Severity::kError) > 0) {
      ++withErrors;
    } else if (check.Count(Severity::kWarning) > 0) {
      ++withWarnings;
    }
  }
  return Json{{"files", checks.size()}, {"filesWithErrors", withErrors}, {"filesWithWarningsOnly", withWarnings},
              {"errors", counts[0]},    {"warnings", counts[1]},         {"infos", counts[2]}};
}

Json CheckReportJson(const std::vector<FileCheck>& checks, const std::string& only) {
  Json list = Json::array();
  for (const FileCheck& check : checks) {
    Json file = ListedJson(check, only);
    if (only.empty() || !file["problems"].empty()) list.push_back(std::move(file));
  }
  return Json{{"files", std::move(list)}, {"summary", CheckSummary(checks)}};
}

FileCheck FileCheckOfJson(const Json& json) {
  FileCheck check;
  check.path = Utf8ToUtf16(json.at("path").get<std::string>());
  check.imported = json.at("imported").get<bool>();
  DialogFigures& f = check.figures;
  f.identifier = json.at("identifier").get<std::string>();
  f.version = json.at("version").get<std::string>();
  for (const FigureCount& count : FigureCounts()) f.*count.field = json.at(count.jsonName).get<int>();
  for (const Json& problem : json.at("problems")) {
    const std::string code = problem.at("code").get<std::string>();
    const auto& kinds = ProblemKinds();
    const auto kind = std::find_if(kinds.begin(), kinds.end(), [&](const ProblemKind& k) { return code == k.name; });
    if (kind == kinds.end()) throw std::invalid_argument("unknown problem code " + code);
    check.problems.push_back({kind->code, problem.at("text").get<std::string>()});
  }
  return check;
}

}  // namespace host
