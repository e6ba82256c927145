#include "interface/system_path.h"

#include <string>
#include <system_error>

namespace host {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
const std::wstring kExtended = L"\\\\?\\";
const std::wstring kExtendedShare = L"\\\\?\\UNC\\";
// A folder's classic limit: MAX_PATH less room for an 8.3 file name.
constexpr size_t kClassicFolderLimit = 248;

bool HasPrefix(const std::wstring& text, const std::wstring& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}
#endif

}  // namespace

fs::path ExtendedPath(const fs::path& path) {
#ifdef _WIN32
  // A share path (\\server\share\...) or one already in the form is not one the
  // library's absolute() keeps as it is.
  const std::wstring raw = path.wstring();
  if (HasPrefix(raw, kExtended)) return path;
  const bool share = raw.size() > 2 && (raw[0] == L'\\' || raw[0] == L'/') && (raw[1] == L'\\' || raw[1] == L'/');
  if (share) return fs::path(kExtendedShare + fs::path(raw.substr(2)).lexically_normal().make_preferred().wstring());
#endif
  std::error_code ignored;
  fs::path absolute = path.is_absolute() ? path : fs::absolute(path, ignored);
  if (absolute.empty()) absolute = path;
#ifdef _WIN32
  return fs::path(kExtended + absolute.lexically_normal().make_preferred().wstring());
#else
  return absolute;
#endif
}

fs::path SystemPath(const fs::path& path) {
#ifdef _WIN32
  if (path.native().size() >= kClassicFolderLimit && !HasPrefix(path.wstring(), kExtended)) return ExtendedPath(path);
#endif
  return path;
}

}  // namespace host
