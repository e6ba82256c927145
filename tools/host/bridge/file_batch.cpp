#include "bridge/file_batch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "interface/host_text.h"
#include "interface/system_path.h"

namespace host {

namespace fs = std::filesystem;

namespace {

bool Wanted(const fs::path& file, const std::vector<std::u16string>& extensions) {
  const std::u16string extension = LowerCaseExtension(file.u16string());
  return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

// The wanted files under `folder`, in name order, and the entries skipped.
void SearchFolder(const fs::path& folder, const std::vector<std::u16string>& extensions, std::vector<BatchFile>* files,
                  std::vector<SkippedEntry>* skipped) {
  std::vector<fs::path> found;
  WalkFolder(
      folder, [&](const fs::path& file) { return Wanted(file, extensions); }, &found, skipped);
  for (const fs::path& relative : found)
    files->push_back(BatchFile{(folder / relative).u16string(), relative.u16string()});
}

}  // namespace

bool CollectFiles(const std::vector<std::u16string>& paths, const std::vector<std::u16string>& extensions,
                  std::vector<BatchFile>* files, std::vector<SkippedEntry>* skipped, std::string* error) {
  for (const std::u16string& given : paths) {
    const fs::path path(AbsolutePath(given));
    const EntryKind kind = KindOfEntry(path);
    if (kind == EntryKind::kFolder) {
      SearchFolder(path, extensions, files, skipped);
    } else if (kind == EntryKind::kFile) {
      files->push_back(BatchFile{path.u16string(), path.filename().u16string()});
    } else {
      *error = "no such file or folder: " + Utf16ToUtf8(given);
      return false;
    }
  }
  return true;
}

std::vector<std::u16string> BatchInputExtensions(const std::u16string& to) {
  if (to == u".sod") return {u".gltf", u".glb", u".obj"};
  return {u".sod"};
}

size_t ConvertBatch(Session* session, const HostOptions& options, const ConversionRequest& base,
                    const std::vector<BatchFile>& files, const std::u16string& to, const std::u16string& outDir,
                    const BatchProgress& progress, std::vector<BatchResult>* results) {
  size_t failed = 0;
  const fs::path out(AbsolutePath(outDir));
  results->resize(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    if (progress) progress(i, files.size(), files[i]);
    BatchResult& result = (*results)[i];
    result.file = files[i];
    result.output = (out / fs::path(files[i].relative).replace_extension(fs::path(to))).u16string();
    ConversionRequest request = base;
    request.input = SystemPath(files[i].path).u16string();
    request.output = SystemPath(result.output).u16string();
    std::error_code failure;
    const fs::path folder = fs::path(result.output).parent_path();
    const auto earlier = std::find_if(results->begin(), results->begin() + static_cast<std::ptrdiff_t>(i),
                                      [&](const BatchResult& r) { return r.output == result.output; });
    if (earlier != results->begin() + static_cast<std::ptrdiff_t>(i)) {
      // Two inputs of the same relative name: the first keeps its file.
      result.conversion.messages.Error(Utf16ToUtf8(earlier->file.path) + " was already converted to " +
                                       Utf16ToUtf8(result.output));
      result.conversion.status = kExitFailed;
      ++failed;
      continue;
    }
    bool made = false;
    std::string reason;
    if (!MakeFolders(folder, &made, &reason)) {
      result.conversion.messages.Error("cannot make the folder of " + Utf16ToUtf8(result.output) + ": " + reason);
      result.conversion.status = kExitFailed;
    } else {
      Conversion conversion;
      Convert(session, options, request, &conversion);
      result.conversion = std::move(static_cast<ConversionOutcome&>(conversion));
      // Nothing is left behind for a file that failed, not even its new folder.
      if (made && result.conversion.status != kExitOk) fs::remove(SystemPath(folder), failure);
    }
    if (result.conversion.status != kExitOk) ++failed;
  }
  return failed;
}

BatchResult SkippedResult(const SkippedEntry& entry) {
  BatchResult result;
  result.file = BatchFile{entry.path.u16string(), u""};
  result.conversion.messages.Error("skipped: " + entry.reason);
  result.conversion.status = kExitFailed;
  return result;
}

std::string FailureReason(const ConversionOutcome& conversion) {
  for (const Json& message : conversion.messages.List()) {
    if (message["kind"] == "error") return message["text"].get<std::string>();
  }
  return "the conversion failed (status " + std::to_string(conversion.status) + ")";
}

}  // namespace host
