#include "web/web_folder.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bridge/check_report.h"
#include "bridge/file_batch.h"
#include "bridge/mod_check.h"
#include "interface/host_text.h"

namespace host {

namespace {

namespace fs = std::filesystem;

// One started plug-in and its checker for the folder's files, kept from file to file as
// the command line keeps them; made anew for another folder or other texture folders.
struct FolderChecker {
  HostOptions options;
  Session session;
  std::vector<std::u16string> textureFolders;
  std::unique_ptr<ModChecker> checker;
};

std::unique_ptr<FolderChecker> folderChecker;

// The checker for `textureFolders`, or null when the plug-in cannot be started.
ModChecker* CheckerFor(const std::vector<std::u16string>& textureFolders) {
  if (folderChecker && folderChecker->textureFolders == textureFolders) return folderChecker->checker.get();
  folderChecker.reset();
  auto made = std::make_unique<FolderChecker>();
  if (!StartSession(made->options, &made->session)) return nullptr;
  made->textureFolders = textureFolders;
  made->checker = std::make_unique<ModChecker>(&made->session, made->options, CheckOptions{textureFolders});
  folderChecker = std::move(made);
  return folderChecker->checker.get();
}

Json Answer(int status, const Json& messages) {
  return Json{{"ok", status == kExitOk}, {"status", status}, {"messages", messages}};
}

Json ErrorMessages(const std::string& text) { return Json::array({Json{{"kind", "error"}, {"text", text}}}); }

// `text` with every path under the folder written from the folder on, as the page names files.
std::string UnderFolder(std::string text, const std::string& prefix) {
  for (size_t at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at))
    text.erase(at, prefix.size());
  return text;
}

}  // namespace

Json FolderRequest(const Json& json) {
  folderChecker.reset();
  std::vector<BatchFile> files;
  std::vector<SkippedEntry> skipped;
  std::string error;
  if (!CollectFiles({fs::u8path(json.value("folder", "")).u16string()}, {u".sod"}, &files, &skipped, &error)) {
    return Answer(kExitFailed, ErrorMessages(error));
  }
  Json models = Json::array();
  for (const BatchFile& file : files) models.push_back(fs::path(file.relative).generic_u8string());
  Json messages = Json::array();
  for (const SkippedEntry& entry : skipped) {
    messages.push_back(Json{{"kind", "warning"}, {"text", entry.path.u8string() + " was skipped: " + entry.reason}});
  }
  Json answer = Answer(kExitOk, messages);
  answer["models"] = std::move(models);
  return answer;
}

Json CheckFileRequest(const Json& json) {
  const fs::path folder = fs::u8path(json.value("folder", ""));
  const fs::path relative = fs::u8path(json.value("path", ""));
  std::vector<std::u16string> textureFolders;
  for (const Json& name : json.value("textureFolders", Json::array())) {
    textureFolders.push_back((folder / fs::u8path(name.get<std::string>())).u16string());
  }
  ModChecker* checker = CheckerFor(textureFolders);
  if (checker == nullptr) return Answer(kExitFailed, ErrorMessages("the plug-in could not be started"));
  FileCheck check = checker->Check((folder / relative).u16string());
  const std::string prefix = folder.generic_u8string() + "/";
  check.path = relative.u16string();
  for (Problem& problem : check.problems) problem.text = UnderFolder(problem.text, prefix);

  const BatchFile file{(folder / relative).u16string(), relative.u16string()};
  std::vector<BatchResult> results;
  ConvertBatch(&folderChecker->session, folderChecker->options, ConversionRequest(), {file}, u".glb",
               fs::u8path(json.value("out", "")).u16string(), nullptr, &results);
  const ConversionOutcome& conversion = results[0].conversion;
  Json messages = Json::array();
  for (Json message : conversion.messages.List()) {
    message["text"] = UnderFolder(message["text"].get<std::string>(), prefix);
    messages.push_back(std::move(message));
  }
  Json answer = Answer(conversion.status, messages);
  answer["check"] = FileCheckJson(check);
  answer["summary"] = conversion.status == kExitOk ? conversion.summary : Json();
  answer["glb"] =
      conversion.status == kExitOk ? Json(fs::path(relative).replace_extension(".glb").generic_u8string()) : Json();
  return answer;
}

Json CheckReportRequest(const Json& json) {
  std::vector<FileCheck> checks;
  for (const Json& check : json.at("checks")) checks.push_back(FileCheckOfJson(check));
  Json answer = Answer(kExitOk, Json::array());
  answer["text"] = JsonText(CheckReportJson(checks, "")) + "\n";
  return answer;
}

}  // namespace host
