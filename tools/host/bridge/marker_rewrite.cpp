#include "bridge/marker_rewrite.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <type_traits>
#include <vector>

#include "bridge/sod_bridge.h"
#include "common/byte_buffer.h"
#include "common/text_lists.h"
#include "formats/scene_format.h"
#include "interface/host_text.h"
#include "interface/plugin_loader.h"
#include "interface/temp_folder.h"
#include "sidetext/side_text.h"
#include "sod/marker_node_writers.h"
#include "sod/sod_cursor_read.h"
#include "sod/sod_format.h"
#include "sod/sod_skip.h"

namespace host {

namespace {

namespace fs = std::filesystem;

constexpr int kKinds = 3;
constexpr size_t kTransformFloats = 12;  // R0, R1, R2, T

// One node of the file: where its bytes lie, and what tells whether a record keeps it.
struct NodeSpan {
  size_t begin = 0, end = 0;
  uint16_t kind = 0;
  char name[kSodNameBytes] = {};
  char parent[kSodNameBytes] = {};
  float rows[kTransformFloats] = {};
  char emitterName[kSodNameBytes] = {};
  bool dropped = false;  // a marker of a kind being replaced that no record kept
  bool claimed = false;  // a record stands for it
};

struct SodSpans {
  float version = 0;
  size_t nodeCountAt = 0;  // the node count's offset
  size_t nodesEnd = 0;     // the first byte after the last node
  std::vector<NodeSpan> nodes;
};

// The records of one kind as the plug-in's side text reader loads them.
struct SideRecords {
  std::vector<MarkerRecord> markers;    // hardpoints and sprites
  std::vector<EmitterRecord> emitters;  // emitters
};

int Index(MarkerKind kind) { return static_cast<int>(kind); }

// One node from its kind to the end of its body. false when its bytes are not all there.
bool ReadNodeSpan(ByteCursor* cursor, float version, NodeSpan* node) {
  node->begin = cursor->position;
  if (!CursorReadU16(cursor, &node->kind) || !ReadString(cursor, node->name)) return false;
  if (!ReadString(cursor, node->parent) || !CursorReadFloatArray(cursor, node->rows, kTransformFloats)) return false;
  if (node->kind == kSodNodeMesh && !SkipMeshBody(cursor, version)) return false;
  if (node->kind == kSodNodeEmitter && !ReadString(cursor, node->emitterName)) return false;
  node->end = cursor->position;
  return true;
}

// Header, 1.6 prefix table and materials, then every node, as the plug-in's counting
// pass walks them. false when the bytes do not hold them all.
bool WalkSod(std::vector<uint8_t>& bytes, SodSpans* spans) {
  if (bytes.size() > UINT32_MAX) return false;
  ByteCursor cursor{bytes.data(), 0, static_cast<uint32_t>(bytes.size())};
  uint16_t materials = 0, count = 0;
  if (!CursorSkip(&cursor, kSodIdentifierBytes) || !CursorReadF32(&cursor, &spans->version)) return false;
  if (SodVersionIs(spans->version, kSodVersion16) && !SkipPrefixTable(&cursor)) return false;
  if (!SkipMaterialSection(&cursor, spans->version, &materials)) return false;
  spans->nodeCountAt = cursor.position;
  if (!CursorReadU16(&cursor, &count)) return false;
  spans->nodes.resize(count);
  for (NodeSpan& node : spans->nodes) {
    if (!ReadNodeSpan(&cursor, spans->version, &node)) return false;
  }
  spans->nodesEnd = cursor.position;
  return true;
}

// The kind of marker that set-markers replaces a node as, if any.
std::optional<MarkerKind> ReplaceableKind(const NodeSpan& node) {
  if (node.kind == kSodNodeNull && SodIsHardpointName(node.name)) return MarkerKind::kHardpoint;
  if (node.kind == kSodNodeEmitter) return MarkerKind::kEmitter;
  if (node.kind == kSodNodeSprite) return MarkerKind::kSprite;
  return std::nullopt;
}

template <typename Record>
void TakeList(Record* list, int32_t count, std::vector<Record>* records) {
  if (list != nullptr && count > 0) records->assign(list, list + count);
}

// Loads a side text file with the plug-in's reader of its kind, as the export does;
// false with a reason when the file cannot be opened or read.
bool LoadSideFile(const std::u16string& path, MarkerKind kind, SideRecords* records, std::string* error) {
  FILE* file = OpenFile(fs::path(path), false);
  if (file == nullptr) {
    *error = "cannot open the side text file " + Utf16ToUtf8(path);
    return false;
  }
  if (kind == MarkerKind::kHardpoint) ReadHardpointFile(file);
  if (kind == MarkerKind::kEmitter) ReadEmitterFile(file);
  if (kind == MarkerKind::kSprite) ReadSpriteFile(file);
  const bool failed = std::ferror(file) != 0 || SideTextListOutOfMemory() != 0;
  (void)std::fclose(file);  // only read
  TakeList(textHardpoints, textHardpointCount, &records->markers);
  TakeList(textEmitters, textEmitterCount, &records->emitters);
  TakeList(textSprites, textSpriteCount, &records->markers);
  ReleaseHardpointList();
  ReleaseEmitterList();
  ReleaseSpriteList();
  if (failed) *error = "cannot read the side text file " + Utf16ToUtf8(path);
  return !failed;
}

// A number as the side text files print it; a zero and a negative zero alike.
std::string SixDecimals(float value) {
  char text[64];
  (void)std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
  return std::strcmp(text, "-0.000000") == 0 ? std::string(text + 1) : std::string(text);
}

// Whether the twelve numbers print alike with six decimals, as the side text files hold them.
bool PrintsAlike(const Matrix4& transform, const float* rows) {
  for (size_t i = 0; i < kTransformFloats; ++i) {
    if (SixDecimals(transform.m[i / 3][i % 3]) != SixDecimals(rows[i])) return false;
  }
  return true;
}

// The first node not yet claimed that `record` stands for: a marker of `kind` (with
// `wantKind`) or, for a hardpoint record, any other node of its name that the plug-in
// takes for a hardpoint; null when none.
template <typename Record>
NodeSpan* NodeOfRecord(SodSpans* spans, MarkerKind kind, bool wantKind, const Record& record) {
  for (NodeSpan& node : spans->nodes) {
    if (node.claimed || (ReplaceableKind(node) == kind) != wantKind) continue;
    if (!wantKind && !SodIsHardpointName(node.name)) continue;
    if (std::strcmp(node.name, record.name) != 0 || !PrintsAlike(record.transform, node.rows)) continue;
    if constexpr (std::is_same_v<Record, EmitterRecord>) {
      if (std::strcmp(node.emitterName, record.emitterName) != 0) continue;
    }
    return &node;
  }
  return nullptr;
}

// Claims the nodes the records keep, drops the kind's other markers, and answers the
// records to write anew.
template <typename Record>
std::vector<const Record*> MatchRecords(SodSpans* spans, MarkerKind kind, const std::vector<Record>& records,
                                        MarkerEditOutcome* outcome) {
  std::vector<const Record*> fresh;
  for (const Record& record : records) {
    NodeSpan* node = NodeOfRecord(spans, kind, true, record);
    if (node == nullptr && kind == MarkerKind::kHardpoint) node = NodeOfRecord(spans, kind, false, record);
    if (node != nullptr) {
      node->claimed = true;
      outcome->kept[Index(kind)] += ReplaceableKind(*node) == kind ? 1 : 0;
    } else {
      fresh.push_back(&record);
    }
  }
  for (NodeSpan& node : spans->nodes) {
    if (node.claimed || ReplaceableKind(node) != kind) continue;
    node.dropped = true;
    ++outcome->dropped[Index(kind)];
  }
  return fresh;
}

// The parent of a kind's new markers: that of its first marker in the file, else its
// group node, else the first node.
std::string ParentFor(const SodSpans& spans, MarkerKind kind) {
  for (const NodeSpan& node : spans.nodes) {
    if (ReplaceableKind(node) == kind) return node.parent;
  }
  for (const NodeSpan& node : spans.nodes) {
    if (node.kind == kSodNodeNull && std::strcmp(node.name, MarkerGroupName(kind)) == 0) return node.name;
  }
  return spans.nodes.empty() ? std::string() : spans.nodes.front().name;
}

// Appends a node for each record with the plug-in's marker node writer; false with a
// reason for a name that does not fit a node's name field.
template <typename Record>
bool WriteFresh(const std::vector<const Record*>& records, MarkerKind kind, const std::string& parent, ByteBuffer* out,
                std::string* error) {
  for (const Record* record : records) {
    if (std::strlen(record->name) > kSodKeptStringBytes) {
      *error = std::string(MarkerTypeName(kind)) + " name " + record->name + " is longer than 127 characters";
      return false;
    }
    int done = 0;
    if constexpr (std::is_same_v<Record, EmitterRecord>) {
      done = WriteEmitterMarkerNode(out, *record, parent.c_str());
    } else {
      done = WriteMarkerNode(out, kind == MarkerKind::kSprite ? kSodNodeSprite : kSodNodeNull, *record, parent.c_str());
    }
    if (!done) {
      *error = "out of memory";
      return false;
    }
  }
  return true;
}

// The records of one kind matched against the file, and the fresh ones appended.
bool ReplaceKind(SodSpans* spans, MarkerKind kind, const SideRecords& records, ByteBuffer* fresh,
                 MarkerEditOutcome* outcome) {
  const std::string parent = ParentFor(*spans, kind);
  if (kind == MarkerKind::kEmitter) {
    auto writes = MatchRecords(spans, kind, records.emitters, outcome);
    outcome->written[Index(kind)] = static_cast<int>(writes.size());
    return WriteFresh(writes, kind, parent, fresh, &outcome->error);
  }
  auto writes = MatchRecords(spans, kind, records.markers, outcome);
  outcome->written[Index(kind)] = static_cast<int>(writes.size());
  return WriteFresh(writes, kind, parent, fresh, &outcome->error);
}

// The new file: everything before the node count, the count, the nodes kept in their
// order, the fresh nodes, everything after the last node.
bool Assemble(const std::vector<uint8_t>& bytes, const SodSpans& spans, const ByteBuffer& fresh,
              const MarkerEditOutcome& outcome, std::string* file, std::string* error) {
  size_t count = 0;
  for (const NodeSpan& node : spans.nodes) count += node.dropped ? 0 : 1;
  for (int kind = 0; kind < kKinds; ++kind) count += static_cast<size_t>(outcome.written[kind]);
  if (count > kSodMaxCount) {
    *error = "the file would hold " + std::to_string(count) + " nodes; a SOD file holds at most 65535";
    return false;
  }
  const char* data = reinterpret_cast<const char*>(bytes.data());
  file->assign(data, spans.nodeCountAt);
  file->push_back(static_cast<char>(count & 0xFF));
  file->push_back(static_cast<char>(count >> 8));
  for (const NodeSpan& node : spans.nodes) {
    if (!node.dropped) file->append(data + node.begin, node.end - node.begin);
  }
  if (fresh.size > 0) file->append(reinterpret_cast<const char*>(fresh.data), fresh.size);
  file->append(data + spans.nodesEnd, bytes.size() - spans.nodesEnd);
  return true;
}

// The plug-in's read operation on the file: kExitOk, or kExitUsage with its message.
int ReadWithPlugin(Session* session, const HostOptions& options, const std::u16string& path, std::string* error) {
  HostScene scene;
  scene.SetFilePath(path);
  ApplyFailures(options, &scene);
  PluginRun run;
  run.read = session->Run(kOperationRead, &scene);
  run.imported = 1;
  run.errorText = scene.ErrorTextWide();
  if (run.read == 1) return FinalStatus(scene, kExitOk);
  *error = ImportRefusal(path, run);
  return FinalStatus(scene, kExitUsage);
}

bool ReadBytes(const std::u16string& path, std::vector<uint8_t>* bytes) {
  std::ifstream in(fs::path(path), std::ios::binary);
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// The side text files of `edit`, with those of the kinds not given written into `folder`
// from the markers of its scene file, as the export hands a scene's markers to the
// plug-in. false with a reason.
bool SideFilesOf(const MarkerEdit& edit, std::optional<TempFolder>* folder, std::u16string* files, std::string* error) {
  for (int k = 0; k < kKinds; ++k) files[k] = edit.sideFiles[k];
  if (edit.markersFrom.empty()) return true;
  SceneDocument document;
  if (!ReadSceneDocument(AbsolutePath(edit.markersFrom), &document, error)) return false;
  TempFolder* temp = &folder->emplace();
  for (MarkerKind kind : kMarkerKinds) {
    if (!files[Index(kind)].empty()) continue;
    files[Index(kind)] = temp->File(std::u16string(u"markers") + SideTextSuffix(kind)).u16string();
    *error = temp->Error();
    if (!temp->Made() || !WriteSideTextFile(files[Index(kind)], kind, MarkersOf(document.markers, kind), error)) {
      return false;
    }
  }
  return true;
}

int Fail(MarkerEditOutcome* outcome, int status) {
  outcome->status = status;
  return status;
}

}  // namespace

int SetMarkers(Session* session, const HostOptions& options, const MarkerEdit& edit, MarkerEditOutcome* outcome) {
  *outcome = MarkerEditOutcome();
  const std::u16string input = AbsolutePath(edit.input);
  const int readStatus = ReadWithPlugin(session, options, input, &outcome->error);
  if (readStatus != kExitOk) return Fail(outcome, readStatus);
  std::optional<TempFolder> temp;
  std::u16string sides[kKinds];
  if (!SideFilesOf(edit, &temp, sides, &outcome->error)) return Fail(outcome, kExitUsage);
  SideRecords records[kKinds];
  for (MarkerKind kind : kMarkerKinds) {
    const std::u16string& side = sides[Index(kind)];
    if (!side.empty() && !LoadSideFile(side, kind, &records[Index(kind)], &outcome->error)) {
      return Fail(outcome, kExitFailed);
    }
  }
  std::vector<uint8_t> bytes;
  SodSpans spans;
  if (!ReadBytes(input, &bytes) || !WalkSod(bytes, &spans)) {
    outcome->error = "cannot read " + Utf16ToUtf8(input);
    return Fail(outcome, kExitUsage);
  }
  ByteBuffer fresh = ByteBufferEmpty();
  bool done = true;
  for (MarkerKind kind : kMarkerKinds) {
    if (done && !sides[Index(kind)].empty()) {
      done = ReplaceKind(&spans, kind, records[Index(kind)], &fresh, outcome);
    }
  }
  std::string file;
  done = done && Assemble(bytes, spans, fresh, *outcome, &file, &outcome->error);
  ByteBufferFree(&fresh);
  if (!done || !WriteWholeFile(fs::path(AbsolutePath(edit.output)), file, &outcome->error)) {
    return Fail(outcome, kExitFailed);
  }
  return kExitOk;
}

Json MarkerEditJson(const MarkerEdit& edit, const MarkerEditOutcome& outcome) {
  Json json{{"input", Utf16ToUtf8(edit.input)},
            {"output", Utf16ToUtf8(edit.output)},
            {"status", outcome.status},
            {"error", outcome.error}};
  for (MarkerKind kind : kMarkerKinds) {
    const int k = Index(kind);
    json[MarkerGroupName(kind)] = Json{{"given", !edit.sideFiles[k].empty() || !edit.markersFrom.empty()},
                                       {"kept", outcome.kept[k]},
                                       {"written", outcome.written[k]},
                                       {"dropped", outcome.dropped[k]}};
  }
  return json;
}

std::string MarkerEditText(const MarkerEdit& edit, const MarkerEditOutcome& outcome) {
  if (outcome.status != kExitOk) return outcome.error;
  std::string text = "set markers of " + fs::path(edit.input).filename().u8string() + " into " +
                     fs::path(edit.output).filename().u8string() + " (every other byte kept):";
  for (MarkerKind kind : kMarkerKinds) {
    const int k = Index(kind);
    text += std::string(" ") + MarkerGroupName(kind);
    text += edit.sideFiles[k].empty() && edit.markersFrom.empty()
                ? std::string(" kept as they were;")
                : " " + std::to_string(outcome.kept[k]) + " kept, " + std::to_string(outcome.written[k]) +
                      " written, " + std::to_string(outcome.dropped[k]) + " dropped;";
  }
  text.pop_back();
  return text;
}

}  // namespace host
