#include "bridge/mod_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "bridge/conversion.h"
#include "bridge/scene_outline.h"
#include "formats/scene_files.h"
#include "formats/side_text_files.h"
#include "formats/texture_images.h"
#include "interface/host_layout.h"
#include "interface/host_text.h"
#include "interface/plugin_loader.h"
#include "interface/system_path.h"

namespace host {

namespace fs = std::filesystem;

namespace {

const std::vector<ProblemKind> kProblemKinds = {
    {ProblemCode::kUnreadable, "unreadable", Severity::kError,
     "the plug-in does not read the file (its message, or why: damaged or cut short)"},
    {ProblemCode::kNotImported, "not-imported", Severity::kError,
     "the plug-in reads the file but cannot build its scene (a face refers to a vertex its mesh lacks)"},
    {ProblemCode::kMissingTexture, "missing-texture", Severity::kError,
     "a texture the meshes name is neither beside the file, in a texture folder given, nor in Textures/RGB"},
    {ProblemCode::kBadTexture, "bad-texture", Severity::kError,
     "a texture the meshes name is not a readable TGA image"},
    {ProblemCode::kUndefinedMaterial, "undefined-material", Severity::kWarning,
     "faces name a material the file does not define: they get the default material"},
    {ProblemCode::kNonFiniteVertex, "non-finite-vertex", Severity::kError, "vertices that are not finite numbers"},
    {ProblemCode::kDegenerateTriangle, "degenerate-triangle", Severity::kWarning, "triangles without area"},
    {ProblemCode::kDuplicateMarker, "duplicate-marker", Severity::kWarning,
     "hardpoints, emitters or sprites of one kind with the same name: the game finds one of them"},
    {ProblemCode::kUnusedMaterial, "unused-material", Severity::kInfo,
     "a material no face uses (harmless in the game)"},
    {ProblemCode::kMarkerNotRotation, "marker-not-rotation", Severity::kWarning,
     "a hardpoint, emitter or sprite whose direction is not a rotation (sheared, zero or mirrored axes)"},
    {ProblemCode::kReservedMaterialName, "reserved-material-name", Severity::kWarning,
     "a material named like a node the game reserves: the export asks before it writes it"},
    {ProblemCode::kExportRefused, "export-refused", Severity::kError,
     "the plug-in cannot write the model back as SOD 1.8 or 1.93 (with every message of its export)"},
    {ProblemCode::kExportWarning, "export-warning", Severity::kWarning,
     "the plug-in's export writes the model back but warns"},
    {ProblemCode::kMarkerFile, "marker-file", Severity::kWarning,
     "the hardpoints, emitters or sprites the plug-in extracted cannot be read back"},
    {ProblemCode::kNotWalked, "not-walked", Severity::kWarning,
     "an entry of a folder searched that cannot be read or entered (a link to nothing, a loop of links, a folder "
     "without permission): skipped, the rest is checked"},
};

const std::vector<FigureCount> kFigureCounts = {{"materials", "materials", &DialogFigures::materials},
                                                {"nodes", "nullNodes", &DialogFigures::nullNodes},
                                                {"meshes", "meshes", &DialogFigures::meshes},
                                                {"sprites", "sprites", &DialogFigures::sprites},
                                                {"lods", "lods", &DialogFigures::lods},
                                                {"emitters", "emitters", &DialogFigures::emitters},
                                                {"hardpoints", "hardpoints", &DialogFigures::hardpoints}};

// Control ids of the import dialog, as its template numbers them.
constexpr int kSelectAll = 120;
const char kReservedWarning[] = "The following node names are reserved";

// The figures of the import dialog, as the outline of an opened file reads them.
DialogFigures FiguresOf(const Json& ui) {
  DialogFigures figures;
  const Json shown = ImportDialogFigures(ui);
  if (shown.is_null()) return figures;
  figures.version = shown["version"].get<std::string>();
  for (const FigureCount& count : FigureCounts()) figures.*count.field = shown[count.dialogName].get<int>();
  return figures;
}

// The plug-in's messages as one line each: line breaks and tabs become blanks.
std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : TrimmedEnd(text)) {
    const bool blank = c == '\n' || c == '\r' || c == '\t' || c == ' ';
    if (!blank || (!line.empty() && line.back() != ' ')) line += blank ? ' ' : c;
  }
  return line;
}

// The identifier that opens a SOD file the plug-in read: its 10 bytes as text that a
// zero byte ends.
std::string SodIdentifier(const std::u16string& sodPath) {
  char field[10] = {};
  std::ifstream in(fs::path(sodPath), std::ios::binary);
  in.read(field, sizeof field);
  const std::string text(field, static_cast<size_t>(in.gcount()));
  return text.substr(0, text.find('\0'));
}

// The texture file name of a material's map: its path after the last separator; empty
// for no texture (the plug-in's "NULL" for a mesh without one).
std::string TextureName(const uint8_t* map) {
  const std::string path = Utf16ToUtf8(layout::WideField(map, layout::kMapPath));
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name == "NULL" ? "" : name;
}

}  // namespace

const char* SeverityName(Severity severity) {
  return severity == Severity::kError ? "error" : severity == Severity::kWarning ? "warning" : "info";
}

const std::vector<ProblemKind>& ProblemKinds() { return kProblemKinds; }
const std::vector<FigureCount>& FigureCounts() { return kFigureCounts; }
const ProblemKind& KindOf(ProblemCode code) { return kProblemKinds[static_cast<size_t>(code)]; }

size_t FileCheck::Count(Severity severity) const {
  return static_cast<size_t>(std::count_if(problems.begin(), problems.end(), [&](const Problem& problem) {
    return KindOf(problem.code).severity == severity;
  }));
}

FileCheck ModChecker::Check(const std::u16string& sodPath) {
  FileCheck check;
  check.path = AbsolutePath(sodPath);
  SceneDocument document;
  ImportAnswer answer;
  answer.actions.push_back(UiAction{UiAction::kClick, kSelectAll, 0, 0, u""});
  if (!importFolder_.Made()) {
    check.problems.push_back({ProblemCode::kUnreadable, "the file was not read: " + importFolder_.Error()});
    return check;
  }
  importFolder_.Empty();
  UiDriver driver({ImportDialogAnswer(answer, true)}, false);
  const std::u16string readable = SystemPath(check.path).u16string();  // taken at any length
  const PluginRun run = ImportSod(session_, options_, readable, answer, true, &driver, &document, &importFolder_);
  check.figures = FiguresOf(run.ui);
  if (!check.figures.version.empty()) check.figures.identifier = SodIdentifier(check.path);
  if (run.read != 1 || run.imported != 1) {
    std::string refusal = ImportRefusal(check.path, run);
    if (refusal.empty()) refusal = "the plug-in's import stopped without building the scene";
    check.problems.push_back(Problem{run.read == 1 ? ProblemCode::kNotImported : ProblemCode::kUnreadable, refusal});
    return check;
  }
  check.imported = true;
  for (const std::string& warning : document.warnings) check.problems.push_back({ProblemCode::kMarkerFile, warning});
  CheckMarkerFiles(check.path, &check);
  CheckScene(document, check.figures, &check.problems);
  CheckTextures(document, readable, &check);
  // The export gets the scene as the host holds it after an import, with the markers.
  document.scene.TableCornerTexCoords();
  CheckExport(document, readable, &check);
  return check;
}

void ModChecker::CheckMarkerFiles(const std::u16string& sodPath, FileCheck* check) {
  for (MarkerKind kind : kMarkerKinds) {
    const fs::path extracted = ExtractedSideFile(importFolder_, sodPath, kind);
    for (const std::string& line : SideTextLinesNotReadBack(extracted.u16string(), kind)) {
      check->problems.push_back(
          {ProblemCode::kMarkerFile, std::string("the ") + MarkerTypeName(kind) + " line " + JsonQuote(line) +
                                         " is not read back as the plug-in wrote it (a name with a blank, or an empty "
                                         "one): the export loses or misplaces it"});
    }
  }
}

void ModChecker::CheckTextures(SceneDocument& document, const std::u16string& sodPath, FileCheck* check) {
  const fs::path sodFolder = fs::path(sodPath).parent_path();
  std::vector<fs::path> folders = {sodFolder};
  for (const std::u16string& folder : checkOptions_.textureFolders) folders.push_back(fs::path(folder));
  folders.push_back(GameTextureFolder(sodFolder));
  std::vector<std::string> seen;
  HostScene& scene = document.scene;
  for (int m = 0; m < scene.MaterialCount(); ++m) {
    for (int mapIndex : {0, 2}) {
      const uint8_t* map = scene.MaterialMap(m, mapIndex);
      const std::string name = map ? TextureName(map) : "";
      if (name.empty() || std::find(seen.begin(), seen.end(), LowerAscii(name)) != seen.end()) continue;
      seen.push_back(LowerAscii(name));
      const std::string material = Utf16ToUtf8(layout::WideField(scene.Material(m), layout::kMaterialName));
      fs::path found;
      for (size_t f = 0; f < folders.size() && found.empty(); ++f) found = FindInFolder(folders[f], name);
      if (found.empty()) {
        check->problems.push_back({ProblemCode::kMissingTexture,
                                   "texture " + JsonQuote(name) + " of material " + JsonQuote(material) +
                                       " is neither beside the file, in a texture folder given, nor in Textures/RGB"});
        continue;
      }
      auto verdict = textureVerdicts_.find(found.u16string());
      if (verdict == textureVerdicts_.end()) {
        std::string error;
        CheckTgaFile(found, &error);
        verdict = textureVerdicts_.emplace(found.u16string(), error).first;
      }
      if (!verdict->second.empty()) {
        check->problems.push_back({ProblemCode::kBadTexture, "texture " + found.u8string() + " of material " +
                                                                 JsonQuote(material) + ": " + verdict->second});
      }
    }
  }
}

std::vector<Problem> ModChecker::ExportProblems(SceneDocument& document, int game, bool reservedFound,
                                                const ExportAnswer& markerFiles) {
  ExportAnswer answer = markerFiles;
  answer.game = game;
  answer.continueReserved = true;
  answer.snapshots = false;  // the check reads the export's messages alone
  const size_t warnings = document.warnings.size();
  const PluginRun run =
      ExportSod(session_, options_, &document, exportFolder_.File(u"check.sod").u16string(), answer, false);
  ConversionMessages messages;
  messages.FromWindows(run.ui);
  if (run.exported == 1 && run.written != 1) messages.Error(OneLine(Utf16ToUtf8(run.errorText)));
  for (size_t i = warnings; i < document.warnings.size(); ++i) messages.Warning(document.warnings[i]);
  std::vector<Problem> problems;
  std::string refusal;
  for (const Json& message : messages.List()) {
    const std::string text = OneLine(message["text"].get<std::string>());
    if (text.empty() || (reservedFound && text.rfind(kReservedWarning, 0) == 0)) continue;
    if (run.status != kExitOk) {
      refusal += (refusal.empty() ? ": " : "; ") + text;
    } else {
      problems.push_back({ProblemCode::kExportWarning, ": " + text});
    }
  }
  if (run.status != kExitOk) problems.push_back({ProblemCode::kExportRefused, refusal});
  return problems;
}

void ModChecker::CheckExport(SceneDocument& document, const std::u16string& sodPath, FileCheck* check) {
  if (!exportFolder_.Made()) {
    check->problems.push_back({ProblemCode::kExportRefused, "the export was not tried: " + exportFolder_.Error()});
    return;
  }
  const bool reservedFound = std::any_of(check->problems.begin(), check->problems.end(), [](const Problem& problem) {
    return problem.code == ProblemCode::kReservedMaterialName;
  });
  // The markers go to both exports in the side text files their import extracted, as
  // a modder gives them back to the export.
  ExportAnswer markerFiles;
  for (MarkerKind kind : kMarkerKinds) {
    if (!MarkersOf(document.markers, kind).empty()) {
      SideFileOf(markerFiles, kind) = ExtractedSideFile(importFolder_, sodPath, kind).u16string();
    }
  }
  const char* const targets[] = {"SOD 1.8 (ST Armada 1)", "SOD 1.93 (ST Armada 2)"};
  std::vector<Problem> found[2];
  for (int game : {1, 2}) found[game - 1] = ExportProblems(document, game, reservedFound, markerFiles);
  // What both targets say alike is said once.
  for (int game : {1, 2}) {
    for (const Problem& problem : found[game - 1]) {
      const std::vector<Problem>& other = found[2 - game];
      const bool alike = std::any_of(other.begin(), other.end(), [&](const Problem& p) {
        return p.code == problem.code && p.text == problem.text;
      });
      if (alike && game == 2) continue;
      const std::string target = alike ? "SOD 1.8 or 1.93" : targets[game - 1];
      check->problems.push_back(
          {problem.code, problem.code == ProblemCode::kExportRefused
                             ? "the plug-in cannot write the model back as " + target + problem.text
                             : "writing " + target + problem.text});
    }
  }
}

Json FileCheckJson(const FileCheck& check) {
  Json problems = Json::array();
  for (const Problem& problem : check.problems) {
    const ProblemKind& kind = KindOf(problem.code);
    problems.push_back(Json{{"severity", SeverityName(kind.severity)}, {"code", kind.name}, {"text", problem.text}});
  }
  const DialogFigures& f = check.figures;
  return Json{{"path", Utf16ToUtf8(check.path)},
              {"imported", check.imported},
              {"identifier", f.identifier},
              {"version", f.version},
              {"materials", f.materials},
              {"nullNodes", f.nullNodes},
              {"meshes", f.meshes},
              {"sprites", f.sprites},
              {"lods", f.lods},
              {"emitters", f.emitters},
              {"hardpoints", f.hardpoints},
              {"errors", check.Count(Severity::kError)},
              {"warnings", check.Count(Severity::kWarning)},
              {"infos", check.Count(Severity::kInfo)},
              {"problems", std::move(problems)}};
}

}  // namespace host
