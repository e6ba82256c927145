// Wide-path file functions of the Windows build.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "platform/file_system.h"
#include "platform/win32_api.h"

FILE* OpenFileWide(const char16_t* path, const char* mode) {
  if (path == nullptr || mode == nullptr) return nullptr;
  wchar_t wideMode[8] = {};
  for (int i = 0; i < 7 && mode[i] != 0; ++i) wideMode[i] = static_cast<wchar_t>(mode[i]);
  return _wfopen(WinText(path), wideMode);
}

FILE* CreateNewFileWide(const char16_t* path) {
  if (path == nullptr) return nullptr;
  int handle = _wopen(WinText(path), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (handle < 0) return nullptr;
  FILE* stream = _fdopen(handle, "wb");
  if (stream == nullptr) _close(handle);
  return stream;
}

int ReplaceFileWide(const char16_t* source, const char16_t* target) {
  if (source == nullptr || target == nullptr) return 0;
  return MoveFileExW(WinText(source), WinText(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
}

int RemoveFileWide(const char16_t* path) {
  if (path == nullptr) return 0;
  return _wremove(WinText(path)) == 0 ? 1 : 0;
}

int SetCurrentDirectoryWide(const char16_t* path) {
  if (path == nullptr) return 0;
  return SetCurrentDirectoryW(WinText(path)) ? 1 : 0;
}

int64_t StreamSizeBySeeking(FILE* stream) {
  if (stream == nullptr || _fseeki64(stream, 0, SEEK_END) != 0) return -1;
  return _ftelli64(stream);
}
