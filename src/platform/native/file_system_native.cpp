// Wide-path file functions of the native build: UTF-16 paths are opened as UTF-8.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/file_system.h"
#include "platform/native/utf8_path.h"
#include "platform/utf8_text.h"

std::string Utf16ToUtf8(const char16_t* text) {
  size_t length = 0;
  while (text[length] != 0) ++length;
  return Utf16ToUtf8(text, length);
}

namespace {

// A path as this system's file functions take it: Windows accepts '\' as well as '/'
// between the parts of a path, so a backslash is a separator here too.
std::string NativePath(const char16_t* path) {
  std::string out = Utf16ToUtf8(path);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

}  // namespace

FILE* OpenFileWide(const char16_t* path, const char* mode) {
  if (path == nullptr || mode == nullptr) return nullptr;
  // The C library here has no text mode: drop the 't' that Windows code asks for.
  char plainMode[8] = {};
  size_t used = 0;
  for (size_t i = 0; mode[i] != 0 && used < sizeof plainMode - 1; ++i) {
    if (mode[i] != 't') plainMode[used++] = mode[i];
  }
  return fopen(NativePath(path).c_str(), plainMode);
}

FILE* CreateNewFileWide(const char16_t* path) {
  if (path == nullptr) return nullptr;
  int handle = open(NativePath(path).c_str(), O_CREAT | O_EXCL | O_WRONLY, 0666);
  if (handle < 0) return nullptr;
  FILE* stream = fdopen(handle, "wb");
  if (stream == nullptr) close(handle);
  return stream;
}

int ReplaceFileWide(const char16_t* source, const char16_t* target) {
  if (source == nullptr || target == nullptr) return 0;
  std::string to = NativePath(target);
  struct stat info;
  // Like MoveFileEx, refuse to replace a directory.
  if (stat(to.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return 0;
  return rename(NativePath(source).c_str(), to.c_str()) == 0 ? 1 : 0;
}

int RemoveFileWide(const char16_t* path) {
  if (path == nullptr) return 0;
  return unlink(NativePath(path).c_str()) == 0 ? 1 : 0;
}

int SetCurrentDirectoryWide(const char16_t* path) {
  if (path == nullptr) return 0;
  return chdir(NativePath(path).c_str()) == 0 ? 1 : 0;
}

int64_t StreamSizeBySeeking(FILE* stream) {
  if (stream == nullptr || fseeko(stream, 0, SEEK_END) != 0) return -1;
  return static_cast<int64_t>(ftello(stream));
}
