// The write operation and the whole-file writer.
#include "sod/sod_writer.h"

#include <cstring>

#include "common/host_text.h"
#include "common/safe_file.h"
#include "common/text_lists.h"
#include "common/wide_text.h"
#include "export/export_options.h"
#include "platform/file_system.h"
#include "plugin/operations.h"
#include "plugin/plugin_state.h"
#include "sidetext/side_text.h"
#include "sod/export_memory.h"
#include "sod/export_scene.h"
#include "sod/marker_node_writers.h"
#include "sod/mesh_writer.h"
#include "sod/sod_format.h"

float exportVersion = SodVersionFromBits(kSodVersion18);

namespace {

constexpr float kWrittenSpecularPower = 30.0f;

constexpr size_t kMessageUnits = 512;

// Loads one ticked side text file into its list; a file that does not open, or holds
// no record, is passed over without a word. 0 only when the file could not be loaded
// for want of memory (the SOD file would silently lack its records), with the file's
// path in errorText.
int LoadSideTextFile(HostContext* context, int32_t flag, const char16_t* path, int32_t (*reader)(FILE*)) {
  if (flag != 1) return 1;
  char16_t bounded[kPathUnits];
  WideCopy(bounded, kPathUnits, path);
  FILE* file = OpenFileWide(bounded, "rb");
  if (file == nullptr) return 1;
  const int32_t loaded = reader(file);
  (void)fclose(file);  // read only: nothing is lost when closing fails
  if (loaded == 1 || !SideTextListOutOfMemory()) return 1;
  char16_t message[kMessageUnits];
  FormatWide(message, kMessageUnits, "Not enough memory to read the text file:\n%s\n", bounded);
  SetErrorText(context, message);
  return 0;
}

void ReleaseTextLists() {
  ReleaseHardpointList();
  ReleaseEmitterList();
  ReleaseSpriteList();
}

int WriteMaterialEntry(ByteBuffer* out, const HostMaterial& m) {
  const float* a = m.ambient;
  const float* d = m.diffuse;
  const float* s = m.specular;
  return WriteSodStringBytes(out, m.name.narrow, NarrowLengthBounded(m.name.narrow, kPathUnits - 1)) &&
                 WriteSodVector3(out, a[0], a[1], a[2]) && WriteSodVector3(out, d[0], d[1], d[2]) &&
                 WriteSodVector3(out, s[0], s[1], s[2]) && WriteSodF32(out, kWrittenSpecularPower) &&
                 WriteSodU8(out, 1) && (!SodWritesNewFormat() || WriteSodU8(out, 1))
             ? 1
             : 0;
}

int WriteMaterialSection(ByteBuffer* out, const HostContext* context) {
  int32_t first = FirstExportedMaterial(context);
  int32_t count = ExportedMaterialCount(context);
  bool written = exportOptions.exportMaterials == 1;
  if (!WriteSodU16(out, static_cast<uint16_t>(written ? count : 0))) return 0;
  for (int32_t i = 0; written && i < count; ++i) {
    if (!WriteMaterialEntry(out, context->materials[first + i])) return 0;
  }
  return 1;
}

// The ticked groups, each with its loaded records, in the order hardpoints, emitters,
// sprites.
int WriteMarkerGroups(ByteBuffer* out) {
  if (exportOptions.useHardpointFile == 1) {
    if (!WriteHardpointGroup(out)) return 0;
    for (int32_t i = 0; i < textHardpointCount; ++i) {
      if (!WriteHardpointNode(out, i)) return 0;
    }
  }
  if (exportOptions.useEmitterFile == 1) {
    if (!WriteEmitterGroup(out)) return 0;
    for (int32_t i = 0; i < textEmitterCount; ++i) {
      if (!WriteEmitterNode(out, i)) return 0;
    }
  }
  if (exportOptions.useSpriteFile == 1) {
    if (!WriteSpriteGroup(out)) return 0;
    for (int32_t i = 0; i < textSpriteCount; ++i) {
      if (!WriteSpriteNode(out, i)) return 0;
    }
  }
  return 1;
}

// The 10 bytes "Storm3D_SW", without length and terminator.
int WriteIdentifier(ByteBuffer* out) {
  uint8_t* at = ByteBufferExtend(out, kSodIdentifierBytes);
  if (at == nullptr) return 0;
  std::memcpy(at, kSodIdentifier, kSodIdentifierBytes);
  return 1;
}

// The mesh nodes, each from its material's faces of the one grouping, in the one
// workspace, which serves the largest of them.
int WriteMeshNodes(ByteBuffer* out, HostContext* context, const MaterialFaces& grouped, MeshWorkspace* workspace) {
  size_t largest = 0;
  for (int32_t i = 0; i < grouped.count; ++i) {
    const size_t faces = grouped.start[i + 1] - grouped.start[i];
    if (faces > largest) largest = faces;
  }
  if (!MeshWorkspaceEnsure(workspace, largest)) return 0;
  int written = 1;
  for (int32_t i = 0; written && i < grouped.count; ++i) {
    const int32_t material = grouped.first + i;
    written = WriteMeshNode(out, context, material, FacesOfMaterial(grouped, material), workspace);
  }
  return written;
}

// A first size for the file in memory, from which it seldom has to grow: each mesh
// node and material entry of at most 256 bytes besides its vertices and faces, about
// one vertex for every two faces (as closed meshes have), a marker node of at most
// 256 bytes.
size_t ForeseenFileBytes(const MaterialFaces& grouped) {
  constexpr size_t kNodeBytes = 256;
  constexpr size_t kFaceBytes = kSodFaceBytes + (kSodVector3Bytes + kSodTexCoordBytes) / 2 + 2;
  const size_t markers = static_cast<size_t>(textHardpointCount) + static_cast<size_t>(textEmitterCount) +
                         static_cast<size_t>(textSpriteCount) + 4;
  return (static_cast<size_t>(grouped.count) + markers) * kNodeBytes + grouped.start[grouped.count] * kFaceBytes;
}

// Writes the assembled file beside the target and replaces the target with it.
int32_t CommitAssembledFile(HostContext* context, const ByteBuffer& assembled) {
  DualString path;
  CopyHostFilePath(context, &path);
  SafeFile file;
  if (!HostFilePathIsWhole(context) || !SafeFileOpen(&file, path.wide)) {
    SetErrorText(context, u"Could not open file for writing.");
    return 0;
  }
  // A write that falls short, here or when the last bytes are flushed, leaves no
  // message; the target keeps its old contents either way.
  if (!ByteBufferWrite(&assembled, file.stream) || fflush(file.stream) != 0 || ferror(file.stream) != 0) {
    SafeFileAbandon(&file);
    return 0;
  }
  if (!SafeFileCommit(&file)) {
    SetErrorText(context, u"Could not open file for writing.");
    return 0;
  }
  return 1;
}

int32_t WriteScene(HostContext* context) {
  exportVersion = SodVersionFromBits(exportOptions.gameVersion == kGameArmada2 ? kSodVersion193 : kSodVersion18);
  ByteBuffer* assembled = &exportMemory.file;
  assembled->size = 0;
  const int32_t written = AssembleSodFile(context, assembled) ? CommitAssembledFile(context, *assembled) : 0;
  TrimExportMemory(&exportMemory);
  return written;
}

}  // namespace

bool SodWritesNewFormat() { return SodIsNewFormat(exportVersion); }

const char* SodRootName() { return SodWritesNewFormat() ? "Scene Root" : "root"; }

int WriteRootNode(ByteBuffer* out) {
  return WriteSodNodeStart(out, kSodNodeNull, SodRootName(), "") && WriteSodIdentityTransform(out) ? 1 : 0;
}

int AssembleSodFile(HostContext* context, ByteBuffer* out) {
  if (context == nullptr || out == nullptr || !CheckSodNodeCount(context)) return 0;
  if (!(WriteIdentifier(out) && WriteSodF32(out, exportVersion) && WriteMaterialSection(out, context) &&
        WriteSodU16(out, static_cast<uint16_t>(SodNodeCount(context))) && WriteRootNode(out))) {
    return 0;
  }
  MaterialFaces& grouped = exportMemory.grouped;
  if (!GroupFacesByMaterial(context, &grouped)) return 0;
  const int meshes = ByteBufferReserve(out, ForeseenFileBytes(grouped)) &&
                     WriteMeshNodes(out, context, grouped, &exportMemory.workspace);
  return meshes && WriteMarkerGroups(out) && WriteSodU16(out, 0) && WriteSodU16(out, 0) ? 1 : 0;
}

int WriteSodStream(FILE* stream) {
  if (stream == nullptr || currentContext == nullptr) return 0;
  ByteBuffer assembled = ByteBufferEmpty();
  const int written = AssembleSodFile(currentContext, &assembled) && ByteBufferWrite(&assembled, stream) ? 1 : 0;
  ByteBufferFree(&assembled);
  return written;
}

int32_t WriteSodFile(HostContext* context) {
  if (context == nullptr) return 0;
  currentContext = context;
  const bool loaded =
      LoadSideTextFile(context, exportOptions.useHardpointFile, exportOptions.hardpointFilePath, ReadHardpointFile) &&
      LoadSideTextFile(context, exportOptions.useEmitterFile, exportOptions.emitterFilePath, ReadEmitterFile) &&
      LoadSideTextFile(context, exportOptions.useSpriteFile, exportOptions.spriteFilePath, ReadSpriteFile);
  int32_t written = loaded ? WriteScene(context) : 0;
  ReleaseTextLists();
  return written;
}
