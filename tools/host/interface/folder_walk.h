// The search of a folder and everything below it, which never stops at one entry: an
// entry that cannot be read or entered (a link to nothing, a loop of links, a folder
// without permission, a name the system refuses) is set aside with its reason and the
// rest is searched; links are followed, but a folder reached a second time (the same
// file identity) is searched once; paths of any length are walked.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace host {

// An entry the search could not read or enter, and why (one line).
struct SkippedEntry {
  std::filesystem::path path;
  std::string reason;
};

// The regular files under `folder` (links followed) for which `wanted` holds, as paths
// under `folder`, and the entries skipped, each list in path order. `folder` itself is
// expected to be a folder; when it cannot be listed it is the one entry skipped.
void WalkFolder(const std::filesystem::path& folder, const std::function<bool(const std::filesystem::path&)>& wanted,
                std::vector<std::filesystem::path>* files, std::vector<SkippedEntry>* skipped);

// What a path is once its links are followed, at any length.
enum class EntryKind { kNone, kFile, kFolder, kOther };  // kNone: it cannot be inspected
EntryKind KindOfEntry(const std::filesystem::path& path);

// Makes `folder` and the folders above it that are missing, at any length; `made` tells
// whether `folder` itself was made. False with the system's reason.
bool MakeFolders(const std::filesystem::path& folder, bool* made, std::string* reason);

}  // namespace host
