// The check of a mod's SOD files before a release: for each file, what the plug-in
// makes of it (whether it reads and imports it, what its import dialog shows) and the
// problems the game or the export will trip over, found in what the plug-in read and
// built (the dialog's figures, the scene, the side text files it extracted) and in
// its export checks and write of that scene into a temporary folder. The file itself
// is read by the plug-in alone, once, and nothing is written beside it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "bridge/sod_bridge.h"
#include "interface/host_json.h"
#include "interface/host_session.h"
#include "interface/temp_folder.h"

namespace host {

enum class Severity { kError, kWarning, kInfo };
const char* SeverityName(Severity severity);

// Every problem the check reports, with its stable code and severity.
enum class ProblemCode {
  kUnreadable,
  kNotImported,
  kMissingTexture,
  kBadTexture,
  kUndefinedMaterial,
  kNonFiniteVertex,
  kDegenerateTriangle,
  kDuplicateMarker,
  kUnusedMaterial,
  kMarkerNotRotation,
  kReservedMaterialName,
  kExportRefused,
  kExportWarning,
  kMarkerFile,
  kNotWalked,
};

struct ProblemKind {
  ProblemCode code;
  const char* name;  // the stable code, e.g. "missing-texture"
  Severity severity;
  const char* meaning;  // one line for the docs and --help
};

// The table of every kind, in the order above.
const std::vector<ProblemKind>& ProblemKinds();
const ProblemKind& KindOf(ProblemCode code);

struct Problem {
  ProblemCode code;
  std::string text;
};

// What the import dialog showed of a file.
struct DialogFigures {
  std::string identifier;  // the file's own, as it spells it: "Storm3D_SW" or "Mad3D_SW"
  std::string version;     // as the dialog shows it, e.g. "1.80"
  int materials = 0, nullNodes = 0, meshes = 0, sprites = 0, lods = 0, emitters = 0, hardpoints = 0;
};

// A count of the import dialog's figures: the name its dialog gives it, the name a file's
// check JSON gives it, and its field.
struct FigureCount {
  const char* dialogName;
  const char* jsonName;
  int DialogFigures::*field;
};
const std::vector<FigureCount>& FigureCounts();

struct FileCheck {
  std::u16string path;
  bool imported = false;  // the plug-in read the file and built its scene
  DialogFigures figures;
  std::vector<Problem> problems;
  size_t Count(Severity severity) const;
};

struct CheckOptions {
  std::vector<std::u16string> textureFolders;  // looked in after the SOD file's own folder
};

// Checks SOD files one after another through one started session; the textures'
// verdicts are kept for the next files.
class ModChecker {
 public:
  ModChecker(Session* session, const HostOptions& options, const CheckOptions& checkOptions)
      : session_(session), options_(options), checkOptions_(checkOptions) {}
  FileCheck Check(const std::u16string& sodPath);

 private:
  // The records of the side text files the import extracted that do not read back.
  void CheckMarkerFiles(const std::u16string& sodPath, FileCheck* check);
  void CheckTextures(SceneDocument& document, const std::u16string& sodPath, FileCheck* check);
  void CheckExport(SceneDocument& document, const std::u16string& sodPath, FileCheck* check);
  // The export's problems for one game, their texts without the target.
  std::vector<Problem> ExportProblems(SceneDocument& document, int game, bool reservedFound,
                                      const ExportAnswer& markerFiles);

  Session* session_;
  HostOptions options_;
  CheckOptions checkOptions_;
  std::map<std::u16string, std::string> textureVerdicts_;  // a texture file found -> "" or why it is not usable
  TempFolder importFolder_;  // the copy the plug-in reads and the side text files it extracts, for one file at a time
  TempFolder exportFolder_;  // where the export checks write
};

// The problems that the scene and markers the plug-in built show (materials, vertices,
// triangles, markers, names), `figures` being what its dialog showed.
void CheckScene(SceneDocument& document, const DialogFigures& figures, std::vector<Problem>* problems);

// The material names that the export warns of (it asks before writing a node so named).
bool IsReservedMaterialName(const std::string& name);

// One file's figures and problems as JSON.
Json FileCheckJson(const FileCheck& check);

}  // namespace host
