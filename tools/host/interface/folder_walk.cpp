#include "interface/folder_walk.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include "interface/system_path.h"
#include "platform/win32_api.h"
#else
#include <sys/stat.h>

#include <cerrno>
#endif

namespace host {

namespace fs = std::filesystem;

namespace {

// A file's identity: its volume or device and its number there.
using Identity = std::pair<uint64_t, uint64_t>;

struct EntryStatus {
  EntryKind kind = EntryKind::kOther;
  Identity identity;
};

// An entry as its folder lists it.
struct Listed {
  fs::path name;
  bool link = false;  // a symbolic link or another reparse point
};

const char kLinkToNothing[] = "a link to nothing";
const char kLoopOfLinks[] = "a loop of links";
const char kSearchedBefore[] = "a link to a folder searched already (the folder is searched once)";

#ifdef _WIN32

std::string SystemReason(DWORD code) { return std::system_category().message(static_cast<int>(code)); }

// The entries of `folder`, without "." and ".."; false with the system's reason.
bool ListFolder(const fs::path& folder, std::vector<Listed>* entries, std::string* reason) {
  WIN32_FIND_DATAW found;
  const std::wstring pattern = (ExtendedPath(folder) / L"*").wstring();
  HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) {
    *reason = SystemReason(GetLastError());
    return false;
  }
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    entries->push_back(Listed{fs::path(name), (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (FindNextFileW(search, &found));
  const DWORD stopped = GetLastError();
  FindClose(search);
  if (stopped == ERROR_NO_MORE_FILES) return true;
  *reason = SystemReason(stopped);
  return false;
}

// What `path` is once its links are followed; false with the system's reason.
bool Inspect(const fs::path& path, bool link, EntryStatus* status, std::string* reason) {
  HANDLE file = CreateFileW(ExtendedPath(path).wstring().c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
  const DWORD failure = GetLastError();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (!known) {
    const bool nothing = failure == ERROR_FILE_NOT_FOUND || failure == ERROR_PATH_NOT_FOUND;
    *reason = link && nothing                          ? kLinkToNothing
              : failure == ERROR_CANT_RESOLVE_FILENAME ? kLoopOfLinks
                                                       : SystemReason(failure);
    return false;
  }
  status->kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::kFolder : EntryKind::kFile;
  status->identity = {info.dwVolumeSerialNumber, (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
  return true;
}

#else

bool ListFolder(const fs::path& folder, std::vector<Listed>* entries, std::string* reason) {
  std::error_code failure;
  fs::directory_iterator it(folder, failure);
  for (; !failure && it != fs::directory_iterator(); it.increment(failure)) {
    std::error_code ignored;
    entries->push_back(Listed{it->path().filename(), it->is_symlink(ignored)});
  }
  if (failure) *reason = failure.message();
  return !failure;
}

bool Inspect(const fs::path& path, bool link, EntryStatus* status, std::string* reason) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    *reason = link && errno == ENOENT ? kLinkToNothing
              : errno == ELOOP        ? kLoopOfLinks
                                      : std::generic_category().message(errno);
    return false;
  }
  status->kind = S_ISDIR(info.st_mode)   ? EntryKind::kFolder
                 : S_ISREG(info.st_mode) ? EntryKind::kFile
                                         : EntryKind::kOther;
  status->identity = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
  return true;
}

#endif

#ifdef _WIN32

// The missing folders of `folder` and above it made from the top down, as the C runtime's
// calls cannot take the extended-length form (its "?" reads as a wildcard).
bool MakeMissingFolders(const fs::path& folder, bool* made, std::string* reason) {
  std::vector<fs::path> missing;
  for (fs::path next = folder; KindOfEntry(next) == EntryKind::kNone && next.has_relative_path();
       next = next.parent_path()) {
    missing.push_back(next);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (!CreateDirectoryW(ExtendedPath(*it).wstring().c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      *reason = SystemReason(GetLastError());
      return false;
    }
  }
  *made = !missing.empty() && missing.front() == folder;
  return true;
}

#endif

// Searches the entries of `folder`: wanted files to `files`, new folders to `pending`,
// the rest that cannot be taken to `skipped`.
void SearchEntries(const fs::path& folder, const std::vector<Listed>& entries,
                   const std::function<bool(const fs::path&)>& wanted, std::set<Identity>* searched,
                   std::vector<fs::path>* pending, std::vector<fs::path>* files, std::vector<SkippedEntry>* skipped) {
  for (const Listed& entry : entries) {
    const fs::path path = folder / entry.name;
    EntryStatus status;
    std::string reason;
    if (!Inspect(path, entry.link, &status, &reason)) {
      skipped->push_back(SkippedEntry{path, reason});
    } else if (status.kind == EntryKind::kFolder) {
      if (searched->insert(status.identity).second) {
        pending->push_back(path);
      } else {
        skipped->push_back(SkippedEntry{path, kSearchedBefore});
      }
    } else if (status.kind == EntryKind::kFile && wanted(path)) {
      files->push_back(path);
    }
  }
}

}  // namespace

EntryKind KindOfEntry(const fs::path& path) {
  EntryStatus status;
  std::string reason;
  if (!Inspect(path, false, &status, &reason)) return EntryKind::kNone;
  return status.kind;
}

bool MakeFolders(const fs::path& folder, bool* made, std::string* reason) {
#ifdef _WIN32
  return MakeMissingFolders(folder, made, reason);
#else
  std::error_code failure;
  *made = fs::create_directories(folder, failure);
  if (failure) *reason = failure.message();
  return !failure;
#endif
}

void WalkFolder(const fs::path& folder, const std::function<bool(const fs::path&)>& wanted,
                std::vector<fs::path>* files, std::vector<SkippedEntry>* skipped) {
  std::set<Identity> searched;
  EntryStatus top;
  std::string reason;
  if (Inspect(folder, false, &top, &reason)) searched.insert(top.identity);
  std::vector<fs::path> pending = {folder}, found;
  std::vector<SkippedEntry> left;
  while (!pending.empty()) {
    const fs::path next = std::move(pending.back());
    pending.pop_back();
    std::vector<Listed> entries;
    if (!ListFolder(next, &entries, &reason)) {
      left.push_back(SkippedEntry{next, reason});
      continue;
    }
    SearchEntries(next, entries, wanted, &searched, &pending, &found, &left);
  }
  for (fs::path& file : found) files->push_back(file.lexically_relative(folder));
  std::sort(files->end() - static_cast<std::ptrdiff_t>(found.size()), files->end());
  std::sort(left.begin(), left.end(), [](const SkippedEntry& a, const SkippedEntry& b) { return a.path < b.path; });
  skipped->insert(skipped->end(), left.begin(), left.end());
}

}  // namespace host
