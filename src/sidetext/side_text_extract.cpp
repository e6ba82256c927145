// Writing the imported model's hardpoints, emitters and sprites to text files beside
// the SOD file that was read. A file is written whole or not at all: it goes to a
// temporary file that replaces the target only after its last byte was written.
#include <cmath>
#include <cstdlib>

#include "common/dual_string.h"
#include "common/host_text.h"
#include "common/name_compare.h"
#include "common/paths.h"
#include "common/safe_file.h"
#include "common/wide_text.h"
#include "platform/file_system.h"
#include "sidetext/side_text.h"
#include "sidetext/text_line_writer.h"

namespace {

// The texts that tell the three kinds of file apart.
struct SideFileKind {
  const char16_t* suffix;
  const char* header;  // host name, host version, record count
  const char* formatLine;
};

const SideFileKind kHardpointFile = {u"_hps.txt",
                                     "# ST Armada SOD hardpoints extracted by %s %s.\n# num_hardpoints: %d\n\n",
                                     "# Format: <node name> <3x4 transformation matrix>\n\n"};
const SideFileKind kEmitterFile = {u"_ems.txt", "# ST Armada SOD emitters extracted by %s %s.\n# num_emitters: %d\n\n",
                                   "# Format: <node name> <identifier name> <3x4 transformation matrix>\n\n"};
const SideFileKind kSpriteFile = {u"_sps.txt", "# ST Armada SOD sprites extracted by %s %s.\n# num_sprites: %d\n\n",
                                  "# Format: <node name> <3x4 transformation matrix>\n\n"};

// The names of a record, bounded by their fields.
int NameLength(const char* name, size_t capacity) { return static_cast<int>(NarrowLengthBounded(name, capacity)); }

// A number as "%f" prints it. A NaN loses its sign first: the C libraries of the two
// builds print a negative NaN differently, and the file must not depend on the build.
double Printable(float value) { return value != value ? std::fabs(static_cast<double>(value)) : value; }

// The twelve numbers of a record line: rows 0 to 3, columns 0 to 2, in groups of three.
int WriteTransform(FILE* stream, const Matrix4& t) {
  double n[12];
  for (int i = 0; i < 12; ++i) n[i] = Printable(t.m[i / 3][i % 3]);
  return WriteFormattedCrLf(stream, "  %f %f %f  %f %f %f  %f %f %f  %f %f %f\n", n[0], n[1], n[2], n[3], n[4], n[5],
                            n[6], n[7], n[8], n[9], n[10], n[11]);
}

int WriteRecord(FILE* stream, const MarkerRecord& r) {
  return WriteFormattedCrLf(stream, "%.*s", NameLength(r.name, sizeof r.name), r.name) &&
         WriteTransform(stream, r.transform);
}

int WriteRecord(FILE* stream, const EmitterRecord& r) {
  return WriteFormattedCrLf(stream, "%.*s  %.*s", NameLength(r.name, sizeof r.name), r.name,
                            NameLength(r.emitterName, sizeof r.emitterName), r.emitterName) &&
         WriteTransform(stream, r.transform);
}

// directory + title + suffix of the model's source path; 0 when it does not fit 259
// characters (the path is refused, never cut) or when the model names no source file.
// Makes the directory the current one.
int SideFilePath(const ImportedModel& model, const SideFileKind& kind, char16_t* path) {
  if (model.sourcePath[0] == 0) return 0;
  char16_t directory[kPathUnits];
  char16_t title[kPathUnits];
  if (!DirectoryOfPathBackslash(model.sourcePath, directory) || !FileTitleOfPath(model.sourcePath, title)) return 0;
  if (directory[0] != 0) SetCurrentDirectoryWide(directory);
  path[0] = 0;
  return WideAppend(path, kPathUnits, directory) && WideAppend(path, kPathUnits, title) &&
         WideAppend(path, kPathUnits, kind.suffix);
}

int WriteHeader(FILE* stream, const SideFileKind& kind, HostContext* context, int32_t count) {
  DualString hostName;
  DualString hostVersion;
  DualStringClear(&hostName);
  DualStringClear(&hostVersion);
  CopyHostTextA(context, &hostName);
  CopyHostTextB(context, &hostVersion);
  return WriteFormattedCrLf(stream, kind.header, hostName.narrow, hostVersion.narrow, count);
}

template <typename Record>
int32_t Extract(ImportedModel* model, HostContext* context, const SideFileKind& kind, Record* records, int32_t count) {
  if (model == nullptr || context == nullptr || records == nullptr || count < 1) return 0;
  char16_t path[kPathUnits];
  if (!SideFilePath(*model, kind, path)) return 0;
  SafeFile file;
  if (!SafeFileOpen(&file, path)) return 0;
  int written = WriteHeader(file.stream, kind, context, count);
  if (written) {
    // The model's own list is sorted: the scene builder meets the records in this order.
    qsort(records, static_cast<size_t>(count), sizeof(Record), CompareNamesNoCase);
    written = WriteFormattedCrLf(file.stream, "%s", kind.formatLine);
  }
  for (int32_t i = 0; written && i < count; ++i) written = WriteRecord(file.stream, records[i]);
  if (!written) {
    SafeFileAbandon(&file);
    return 0;
  }
  return SafeFileCommit(&file);
}

}  // namespace

int32_t ExtractHardpoints(ImportedModel* model, HostContext* context) {
  if (model == nullptr) return 0;
  return Extract(model, context, kHardpointFile, model->hardpoints, model->hardpointCount);
}

int32_t ExtractEmitters(ImportedModel* model, HostContext* context) {
  if (model == nullptr) return 0;
  return Extract(model, context, kEmitterFile, model->emitters, model->emitterCount);
}

int32_t ExtractSprites(ImportedModel* model, HostContext* context) {
  if (model == nullptr) return 0;
  return Extract(model, context, kSpriteFile, model->sprites, model->spriteCount);
}
