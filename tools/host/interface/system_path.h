// Paths as the system's calls take them at any length. Windows' classic calls refuse
// a path of MAX_PATH (260) characters or more unless it has the extended-length form
// (\\?\D:\... for a drive, \\?\UNC\server\share\... for a share); the host gives that
// form itself rather than relying on the application manifest's longPathAware, which
// only serves where the machine's LongPathsEnabled policy is also set, and not in the
// C runtime's own buffers.
#pragma once

#include <filesystem>

namespace host {

// `path` made absolute in the extended-length form on Windows (its separators
// backslashes, no "." or ".." left); elsewhere `path` made absolute.
std::filesystem::path ExtendedPath(const std::filesystem::path& path);

// The extended-length form of `path` where the classic form is too long for the system
// (on Windows, 248 characters or more, a folder's limit); otherwise `path` itself.
std::filesystem::path SystemPath(const std::filesystem::path& path);

}  // namespace host
