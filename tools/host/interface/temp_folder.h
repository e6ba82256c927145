// A fresh folder under the system's temporary folder for the files of one command
// (copies the plug-in reads, side text files it writes or reads), removed with
// everything in it when the command is done.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>

namespace host {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // False when no folder could be made; `Error` says why.
  bool Made() const { return !path_.empty(); }
  const std::string& Error() const { return error_; }
  std::filesystem::path File(const std::u16string& name) const { return path_ / std::filesystem::path(name); }
  // Removes everything in the folder, which stays for the next files.
  void Empty();

 private:
  std::filesystem::path path_;
  std::string error_;
};

// Opens the file `path` as a C stream for reading or writing in binary (by its wide
// name on Windows); null when it cannot be opened.
std::FILE* OpenFile(const std::filesystem::path& path, bool forWriting);

// Writes `bytes` as the file `target`: in full under a name of its own in the same
// folder first, which then takes the target's place in one rename, so that a failure
// leaves no half-written file and any older file as it was. False with a reason.
bool WriteWholeFile(const std::filesystem::path& target, const void* bytes, size_t size, std::string* error);
inline bool WriteWholeFile(const std::filesystem::path& target, const std::string& bytes, std::string* error) {
  return WriteWholeFile(target, bytes.data(), bytes.size(), error);
}

// Copies the file `source` to `target` in one read and one write (the standard
// library's copy goes a character at a time where the system offers no faster way, and
// its file streams in blocks of a few KiB, as in the in-memory file system of the
// WebAssembly build, where every block is a call out of the module and may grow the
// file's storage); false when it could not.
bool CopyWholeFile(const std::filesystem::path& source, const std::filesystem::path& target);

// Gives a file that is only to be read a second name `target` (a hard link, which
// costs no copy), or copies it where the file system cannot link; false when neither
// could be done.
bool LinkOrCopyFile(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace host
