// A progress bar on stderr for commands that work through many files: drawn only when
// stderr is a terminal and there is more than one file, and wiped when done.
#pragma once

#include <cstddef>
#include <string>

namespace host {

class ProgressBar {
 public:
  explicit ProgressBar(size_t total);
  ~ProgressBar();
  // Shows that file `index` (0 first), named `name`, is under way.
  void Show(size_t index, const std::string& name);
  // Wipes the bar, so that a line printed next starts clean.
  void Clear();

 private:
  size_t total_;
  bool shown_;
};

}  // namespace host
