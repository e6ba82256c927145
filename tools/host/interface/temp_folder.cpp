#include "interface/temp_folder.h"

#include <cerrno>
#include <random>
#include <system_error>

namespace host {

namespace fs = std::filesystem;

namespace {

std::string RandomSuffix() {
  std::random_device random;
  return std::to_string(random()) + std::to_string(random() % 10000);
}

}  // namespace

TempFolder::TempFolder() {
  std::error_code failure;
  fs::path base = fs::temp_directory_path(failure);
  for (int attempt = 0; !failure && attempt < 8; ++attempt) {
    fs::path candidate = base / ("kveltar-host-" + RandomSuffix());
    if (fs::create_directory(candidate, failure) && !failure) {
      path_ = candidate;
      return;
    }
  }
  error_ = "cannot make a temporary folder" + (failure ? ": " + failure.message() : std::string());
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  if (!path_.empty()) fs::remove_all(path_, ignored);
}

void TempFolder::Empty() {
  std::error_code failure;
  if (path_.empty()) return;
  for (fs::directory_iterator it(path_, failure); !failure && it != fs::directory_iterator(); it.increment(failure)) {
    std::error_code ignored;
    fs::remove_all(it->path(), ignored);
  }
}

std::FILE* OpenFile(const fs::path& path, bool forWriting) {
#ifdef _WIN32
  return _wfopen(path.c_str(), forWriting ? L"wb" : L"rb");
#else
  return std::fopen(path.c_str(), forWriting ? "wb" : "rb");
#endif
}

bool WriteWholeFile(const fs::path& target, const void* bytes, size_t size, std::string* error) {
  fs::path staged = target;
  staged += fs::u8path(".kveltar-" + RandomSuffix() + ".tmp");
  std::error_code failure;
  errno = 0;
  std::FILE* out = OpenFile(staged, true);
  bool written = out != nullptr && std::fwrite(bytes, 1, size, out) == size;
  if (out != nullptr) written = std::fclose(out) == 0 && written;
  if (!written) failure = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
  if (!failure) fs::rename(staged, target, failure);
  if (!failure) return true;
  *error = "cannot write " + target.u8string() + ": " + failure.message();
  std::error_code ignored;
  fs::remove(staged, ignored);
  return false;
}

bool CopyWholeFile(const fs::path& source, const fs::path& target) {
  std::error_code failure;
  const uintmax_t size = fs::file_size(source, failure);
  // Past size_t (the WebAssembly build's 4 GiB) the buffer would be cut to the low bits.
  if (failure || static_cast<size_t>(size) != size) return false;
  std::string bytes(static_cast<size_t>(size), '\0');
  std::FILE* in = OpenFile(source, false);
  if (in == nullptr) return false;
  const bool read = std::fread(bytes.data(), 1, bytes.size(), in) == bytes.size();
  (void)std::fclose(in);  // only read
  std::FILE* out = read ? OpenFile(target, true) : nullptr;
  if (out == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written;
}

bool LinkOrCopyFile(const fs::path& source, const fs::path& target) {
  std::error_code failure;
  fs::create_hard_link(source, target, failure);
  return !failure || CopyWholeFile(source, target);
}

}  // namespace host
