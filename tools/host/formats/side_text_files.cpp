#include "formats/side_text_files.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "interface/host_json.h"
#include "interface/host_text.h"
#include "interface/temp_folder.h"

namespace host {

namespace fs = std::filesystem;

namespace {

constexpr size_t kNameBytes = 255;
constexpr size_t kEmitterNameBytes = 127;

struct KindText {
  const char16_t* suffix;
  const char* plural;
  const char* singular;
  const char* format;
};

const KindText kKinds[] = {
    {u"_hps.txt", "hardpoints", "hardpoint", "<node name> <3x4 transformation matrix>"},
    {u"_ems.txt", "emitters", "emitter", "<node name> <identifier name> <3x4 transformation matrix>"},
    {u"_sps.txt", "sprites", "sprite", "<node name> <3x4 transformation matrix>"},
};

const KindText& TextOf(MarkerKind kind) { return kKinds[static_cast<int>(kind)]; }

// The words of a line, split at blanks, tabs and line breaks.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

bool Number(const std::string& word, float* value) {
  char* end = nullptr;
  *value = std::strtof(word.c_str(), &end);
  return end != word.c_str() && *end == 0;
}

// A record from the words of a line; false for a line that is no record.
bool RecordOf(const std::vector<std::string>& words, MarkerKind kind, Marker* marker) {
  const size_t names = kind == MarkerKind::kEmitter ? 2 : 1;
  if (words.size() < names + 12) return false;
  for (size_t i = 0; i < 12; ++i) {
    if (!Number(words[names + i], &marker->rows[i / 3][i % 3])) return false;
  }
  marker->name = Utf16ToUtf8(FromAnsi(words[0]));
  if (names == 2) marker->emitterName = Utf16ToUtf8(FromAnsi(words[1]));
  return true;
}

// A name as one word of the narrow code page, cut to `limit` bytes.
std::string Word(const std::string& utf8, const std::string& fallback, size_t limit) {
  std::string word = ToAnsi(Utf8ToUtf16(utf8.empty() ? fallback : utf8));
  for (char& c : word) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') c = '_';
  }
  if (word.size() > limit) word.resize(limit);
  return word.empty() ? std::string("unnamed") : word;
}

// A number as the plug-in's reader takes it back: an infinity, which it refuses as
// "inf", as a number beyond the float range, which it reads as that infinity.
std::string NumberText(float value) {
  if (std::isinf(value)) return value > 0 ? "1e39" : "-1e39";
  Json number = JsonFloat(value);
  return number.is_string() ? number.get<std::string>() : JsonText(number);
}

std::string RecordLine(const Marker& marker, MarkerKind kind) {
  std::string line = Word(marker.name, "", kNameBytes) + " ";
  if (kind == MarkerKind::kEmitter) line += " " + Word(marker.emitterName, marker.name, kEmitterNameBytes) + " ";
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 3; ++c) line += " " + NumberText(marker.rows[r][c]);
    if (r < 3) line += " ";
  }
  return line + "\r\n";
}

}  // namespace

const char16_t* SideTextSuffix(MarkerKind kind) { return TextOf(kind).suffix; }
const char* MarkerGroupName(MarkerKind kind) { return TextOf(kind).plural; }
const char* MarkerTypeName(MarkerKind kind) { return TextOf(kind).singular; }

bool IsHardpointName(const std::string& name) {
  return name.size() >= 2 && (name[0] == 'h' || name[0] == 'H') && (name[1] == 'p' || name[1] == 'P');
}

MarkerKind SideTextKindOf(const std::u16string& path) {
  for (MarkerKind kind : {MarkerKind::kEmitter, MarkerKind::kSprite}) {
    std::u16string suffix = SideTextSuffix(kind);
    if (path.size() >= suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0) {
      return kind;
    }
  }
  return MarkerKind::kHardpoint;
}

std::vector<Marker>& MarkersOf(MarkerLists& lists, MarkerKind kind) {
  return kind == MarkerKind::kHardpoint ? lists.hardpoints
         : kind == MarkerKind::kEmitter ? lists.emitters
                                        : lists.sprites;
}

const std::vector<Marker>& MarkersOf(const MarkerLists& lists, MarkerKind kind) {
  return MarkersOf(const_cast<MarkerLists&>(lists), kind);
}

bool ReadSideTextFile(const std::u16string& path, MarkerKind kind, std::vector<Marker>* markers, std::string* error) {
  std::ifstream in{fs::path(path), std::ios::binary};
  if (!in) {
    *error = "cannot open " + Utf16ToUtf8(path);
    return false;
  }
  for (std::string line; std::getline(in, line);) {
    Marker marker;
    if (RecordOf(Words(line), kind, &marker)) markers->push_back(marker);
  }
  if (in.bad()) {
    *error = "cannot read " + Utf16ToUtf8(path);
    return false;
  }
  return true;
}

std::vector<std::string> SideTextLinesNotReadBack(const std::u16string& path, MarkerKind kind) {
  const size_t words = kind == MarkerKind::kEmitter ? 14 : 13;
  std::vector<std::string> lines;
  std::ifstream in{fs::path(path), std::ios::binary};
  for (std::string line; std::getline(in, line);) {
    const std::vector<std::string> found = Words(line);
    Marker marker;
    if (found.empty() || found[0][0] == '#') continue;
    if (found.size() != words || !RecordOf(found, kind, &marker))
      lines.push_back(Utf16ToUtf8(FromAnsi(TrimmedEnd(line))));
  }
  return lines;
}

bool WriteSideTextFile(const std::u16string& path, MarkerKind kind, const std::vector<Marker>& markers,
                       std::string* error) {
  const KindText& text = TextOf(kind);
  std::string body = std::string("# ST Armada SOD ") + text.plural + " extracted by kveltar-host " +
                     KVELTAR_VERSION_TEXT + ".\r\n# num_" + text.plural + ": " + std::to_string(markers.size()) +
                     "\r\n\r\n# Format: " + text.format + "\r\n\r\n";
  for (const Marker& marker : markers) body += RecordLine(marker, kind);
  return WriteWholeFile(fs::path(path), body, error);
}

}  // namespace host
