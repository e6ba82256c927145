#include "cli/progress_bar.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define KVELTAR_ISATTY _isatty
#define KVELTAR_FILENO _fileno
#else
#include <unistd.h>
#define KVELTAR_ISATTY isatty
#define KVELTAR_FILENO fileno
#endif

namespace host {

namespace {

constexpr size_t kBarWidth = 30;
constexpr size_t kNameWidth = 40;

}  // namespace

ProgressBar::ProgressBar(size_t total) : total_(total), shown_(total > 1 && KVELTAR_ISATTY(KVELTAR_FILENO(stderr))) {}

ProgressBar::~ProgressBar() { Clear(); }

void ProgressBar::Show(size_t index, const std::string& name) {
  if (!shown_) return;
  const size_t done = total_ == 0 ? 0 : index * kBarWidth / total_;
  std::string bar(done, '#');
  bar.resize(kBarWidth, '.');
  std::string shown = name.size() > kNameWidth ? "..." + name.substr(name.size() - kNameWidth + 3) : name;
  std::fprintf(stderr, "\r[%s] %zu/%zu %-*s", bar.c_str(), index + 1, total_, static_cast<int>(kNameWidth),
               shown.c_str());
  std::fflush(stderr);
}

void ProgressBar::Clear() {
  if (!shown_) return;
  std::fprintf(stderr, "\r%*s\r", static_cast<int>(kBarWidth + kNameWidth + 16), "");
  std::fflush(stderr);
}

}  // namespace host
