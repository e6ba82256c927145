// Lines of a side text file opened in binary mode. A CR LF pair reads as one LF,
// as a text-mode stream on Windows delivers it, so that every build reads the same
// lines; a CR that is not followed by LF stays a character of the line.
#include "sidetext/side_text.h"

namespace {

// The next character with CR LF folded into LF, or EOF.
int NextCharacter(FILE* file) {
  int c = getc(file);
  if (c != '\r') return c;
  int following = getc(file);
  if (following == '\n') return '\n';
  // One character of push-back is always available after a read.
  if (following != EOF) (void)ungetc(following, file);
  return '\r';
}

}  // namespace

int32_t ReadTextLine(FILE* file, char* line) {
  if (file == nullptr || line == nullptr) return 0;
  size_t length = 0;
  bool read = false;
  bool tooLong = false;
  for (int c = NextCharacter(file); c != EOF; c = NextCharacter(file)) {
    read = true;
    if (c == '\n') {
      line[length++] = '\n';  // the buffer keeps room for it after the longest line
      break;
    }
    if (length < kTextLineCharacters) {
      line[length++] = static_cast<char>(c);
    } else {
      tooLong = true;
    }
  }
  line[tooLong ? 0 : length] = 0;
  if (ferror(file)) return 0;
  return read ? 1 : 0;
}
