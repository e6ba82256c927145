// A fresh directory for a test's files, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class TempDir {
 public:
  TempDir() : TempDir(std::filesystem::temp_directory_path()) {}
  // A fresh directory inside `parent`.
  explicit TempDir(const std::filesystem::path& parent) {
    std::random_device random;
    path_ = parent / ("kveltar-test-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path File(const std::string& name) const { return path_ / name; }
  // The path of a file in this directory, as the plug-in takes paths.
  std::u16string Wide(const std::string& name) const { return File(name).u16string(); }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(File(name), std::ios::binary);
    out << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(File(name)); }
  // Number of entries in the directory.
  size_t Count() const {
    size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) n += entry.path().empty() ? 0 : 1;
    return n;
  }

 private:
  std::filesystem::path path_;
};
