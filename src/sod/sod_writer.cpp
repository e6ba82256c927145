// The write operation and the whole-file writer.
#include "sod/sod_writer.h"

#include "common/host_text.h"
#include "common/safe_file.h"
#include "common/stream_write.h"
#include "common/text_lists.h"
#include "common/wide_text.h"
#include "export/export_options.h"
#include "platform/file_system.h"
#include "plugin/operations.h"
#include "plugin/plugin_state.h"
#include "sidetext/side_text.h"
#include "sod/export_scene.h"
#include "sod/marker_node_writers.h"
#include "sod/mesh_writer.h"
#include "sod/sod_format.h"

float exportVersion = SodVersionFromBits(kSodVersion18);

namespace {

constexpr float kWrittenSpecularPower = 30.0f;

// Loads one ticked side text file into its list; a file that does not open, or holds
// no record, is passed over without a word. 0 only when the file holds records that
// could not be loaded for want of memory: the SOD file would silently lack them.
int LoadSideTextFile(int32_t flag, const char16_t* path, int32_t (*reader)(FILE*)) {
  if (flag != 1) return 1;
  char16_t bounded[kPathUnits];
  WideCopy(bounded, kPathUnits, path);
  FILE* file = OpenFileWide(bounded, "rb");
  if (file == nullptr) return 1;
  const int32_t loaded = reader(file);
  (void)fclose(file);  // read only: nothing is lost when closing fails
  return loaded == 1 || !SideTextListOutOfMemory() ? 1 : 0;
}

void ReleaseTextLists() {
  ReleaseHardpointList();
  ReleaseEmitterList();
  ReleaseSpriteList();
}

int WriteMaterialEntry(FILE* stream, const HostMaterial& m) {
  const float* a = m.ambient;
  const float* d = m.diffuse;
  const float* s = m.specular;
  return WriteSodStringBytes(stream, m.name.narrow, NarrowLengthBounded(m.name.narrow, kPathUnits - 1)) &&
                 WriteSodVector3(stream, a[0], a[1], a[2]) && WriteSodVector3(stream, d[0], d[1], d[2]) &&
                 WriteSodVector3(stream, s[0], s[1], s[2]) && WriteSodF32(stream, kWrittenSpecularPower) &&
                 WriteSodU8(stream, 1) && (!SodWritesNewFormat() || WriteSodU8(stream, 1))
             ? 1
             : 0;
}

int WriteMaterialSection(FILE* stream, const HostContext* context) {
  int32_t first = FirstExportedMaterial(context);
  int32_t count = ExportedMaterialCount(context);
  bool written = exportOptions.exportMaterials == 1;
  if (!WriteSodU16(stream, static_cast<uint16_t>(written ? count : 0))) return 0;
  for (int32_t i = 0; written && i < count; ++i) {
    if (!WriteMaterialEntry(stream, context->materials[first + i])) return 0;
  }
  return 1;
}

// The ticked groups, each with its loaded records, in the order hardpoints, emitters,
// sprites.
int WriteMarkerGroups(FILE* stream) {
  if (exportOptions.useHardpointFile == 1) {
    if (!WriteHardpointGroup(stream)) return 0;
    for (int32_t i = 0; i < textHardpointCount; ++i) {
      if (!WriteHardpointNode(stream, i)) return 0;
    }
  }
  if (exportOptions.useEmitterFile == 1) {
    if (!WriteEmitterGroup(stream)) return 0;
    for (int32_t i = 0; i < textEmitterCount; ++i) {
      if (!WriteEmitterNode(stream, i)) return 0;
    }
  }
  if (exportOptions.useSpriteFile == 1) {
    if (!WriteSpriteGroup(stream)) return 0;
    for (int32_t i = 0; i < textSpriteCount; ++i) {
      if (!WriteSpriteNode(stream, i)) return 0;
    }
  }
  return 1;
}

// Checks, opens the file beside the target, writes it and replaces the target.
int32_t WriteCheckedScene(HostContext* context) {
  if (!CheckSceneFitsSod(context)) return 0;
  DualString path;
  CopyHostFilePath(context, &path);
  SafeFile file;
  if (!HostFilePathIsWhole(context) || !SafeFileOpen(&file, path.wide)) {
    SetErrorText(context, u"Could not open file for writing.");
    return 0;
  }
  exportVersion = SodVersionFromBits(exportOptions.gameVersion == kGameArmada2 ? kSodVersion193 : kSodVersion18);
  // A write that falls short, here or when the last bytes are flushed, leaves no
  // message; the target keeps its old contents either way.
  if (!WriteSodStream(file.stream) || fflush(file.stream) != 0 || ferror(file.stream) != 0) {
    SafeFileAbandon(&file);
    return 0;
  }
  if (!SafeFileCommit(&file)) {
    SetErrorText(context, u"Could not open file for writing.");
    return 0;
  }
  return 1;
}

}  // namespace

bool SodWritesNewFormat() { return SodIsNewFormat(exportVersion); }

const char* SodRootName() { return SodWritesNewFormat() ? "Scene Root" : "root"; }

int WriteRootNode(FILE* stream) {
  return WriteSodNodeStart(stream, kSodNodeNull, SodRootName(), "") && WriteSodIdentityTransform(stream) ? 1 : 0;
}

int WriteSodStream(FILE* stream) {
  HostContext* context = currentContext;
  if (stream == nullptr || context == nullptr) return 0;
  // The node count is a u16: a scene with more nodes is refused before any byte.
  int64_t nodes = SodNodeCount(context);
  if (nodes > kSodMaxCount) return 0;
  if (!(WriteBytes(stream, kSodIdentifier, kSodIdentifierBytes) && WriteSodF32(stream, exportVersion) &&
        WriteMaterialSection(stream, context) && WriteSodU16(stream, static_cast<uint16_t>(nodes)) &&
        WriteRootNode(stream))) {
    return 0;
  }
  int32_t first = FirstExportedMaterial(context);
  int32_t count = ExportedMaterialCount(context);
  for (int32_t i = 0; i < count; ++i) {
    if (!WriteMeshNode(stream, first + i)) return 0;
  }
  return WriteMarkerGroups(stream) && WriteSodU16(stream, 0) && WriteSodU16(stream, 0) ? 1 : 0;
}

int32_t WriteSodFile(HostContext* context) {
  if (context == nullptr) return 0;
  currentContext = context;
  const bool loaded =
      LoadSideTextFile(exportOptions.useHardpointFile, exportOptions.hardpointFilePath, ReadHardpointFile) &&
      LoadSideTextFile(exportOptions.useEmitterFile, exportOptions.emitterFilePath, ReadEmitterFile) &&
      LoadSideTextFile(exportOptions.useSpriteFile, exportOptions.spriteFilePath, ReadSpriteFile);
  int32_t written = loaded ? WriteCheckedScene(context) : 0;
  ReleaseTextLists();
  return written;
}
