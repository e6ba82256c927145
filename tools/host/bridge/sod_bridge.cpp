#include "bridge/sod_bridge.h"

#include <filesystem>
#include <optional>

#include "formats/side_text_files.h"
#include "formats/texture_images.h"
#include "interface/host_layout.h"
#include "interface/host_text.h"
#include "interface/temp_folder.h"

namespace host {

namespace fs = std::filesystem;

namespace {

const char16_t kImportCaption[] = u"Import ST Armada Model";
constexpr int kImportButton = 1;
constexpr int kCancelButton = 2;
// The import dialog's Extract To File boxes, by kind.
constexpr int kExtractBoxes[] = {1002, 1003, 1004};

// Control ids of the export dialog, as its template numbers them.
constexpr int kGameArmada1 = 1000;
constexpr int kGameArmada2 = 1001;
constexpr int kExportMaterials = 1011;
struct SideBox {
  int box;
  int edit;
};
constexpr SideBox kSideBoxes[] = {{1015, 1012}, {1017, 1014}, {1016, 1013}};  // hardpoints, emitters, sprites

int KindIndex(MarkerKind kind) { return static_cast<int>(kind); }

// Whether the user's own answer leaves an Extract To File box ticked.
bool UserTicked(const ImportAnswer& answer, MarkerKind kind) {
  bool ticked = false;
  for (const UiAction& action : answer.actions) {
    if (action.kind == UiAction::kSetCheck && action.id == kExtractBoxes[KindIndex(kind)]) ticked = action.value != 0;
  }
  return ticked;
}

// The markers the plug-in extracted into `work` for the SOD file `source`; the side
// files the user asked for go beside the SOD file too.
void TakeMarkers(const TempFolder& work, const fs::path& source, const ImportAnswer& answer, SceneDocument* document) {
  for (MarkerKind kind : kMarkerKinds) {
    const fs::path extracted = ExtractedSideFile(work, source.u16string(), kind);
    std::error_code missing;
    if (!fs::is_regular_file(extracted, missing)) continue;
    std::string error;
    if (!ReadSideTextFile(extracted.u16string(), kind, &MarkersOf(document->markers, kind), &error)) {
      document->warnings.push_back(error);
    }
    if (!UserTicked(answer, kind)) continue;
    fs::path beside = source.parent_path() / source.stem();
    beside += SideTextSuffix(kind);
    std::error_code failure;
    fs::copy_file(extracted, beside, fs::copy_options::overwrite_existing, failure);
    if (failure) document->warnings.push_back("cannot write " + beside.u8string() + ": " + failure.message());
  }
}

// The plug-in names each texture in the folder of the file it read. After it read a
// copy in a temporary folder, the scene's maps are moved to `folder`, the SOD file's
// own, where the textures are: no temporary path reaches what the user gets. A path
// too long for the map's field keeps the file name alone, never a cut path: the
// textures are then found in the document's texture folder.
void PlaceMapsIn(HostScene& scene, const fs::path& temp, const fs::path& folder) {
  constexpr int kMapSlots = 4;
  for (int m = 0; m < scene.MaterialCount(); ++m) {
    for (int map = 0; map < kMapSlots; ++map) {
      uint8_t* bytes = scene.MaterialMap(m, map);
      if (bytes == nullptr) continue;
      const fs::path file(layout::WideField(bytes, layout::kMapPath));
      if (file.parent_path().lexically_normal() != temp.lexically_normal()) continue;
      std::u16string placed = (folder / file.filename()).u16string();
      if (placed.size() >= layout::kTextUnits) placed = file.filename().u16string();
      layout::PutTextField(bytes, layout::kMapPath, placed, ToAnsi(placed));
    }
  }
}

// The answers to the export's message boxes and dialog: an error box with OK, the
// reserved-name warning as the answer says, the dialog filled and confirmed. The
// boxes may not come.
std::vector<UiAnswer> ExportAnswers(const ExportAnswer& answer) {
  UiAnswer error;
  error.messageBox = true;
  error.optional = true;
  error.caption = u"Error";
  error.button = 1;
  UiAnswer warning = error;
  warning.caption = u"Warning";
  warning.button = answer.continueReserved ? 1 : 2;
  UiAnswer dialog;
  dialog.button = 1;
  dialog.actions.push_back({UiAction::kClick, answer.game == 2 ? kGameArmada2 : kGameArmada1, 0, 0, u""});
  dialog.actions.push_back({UiAction::kSetCheck, kExportMaterials, answer.exportMaterials ? 1 : 0, 0, u""});
  for (MarkerKind kind : kMarkerKinds) {
    const std::u16string& file = SideFileOf(answer, kind);
    const SideBox& box = kSideBoxes[KindIndex(kind)];
    dialog.actions.push_back({UiAction::kSetCheck, box.box, file.empty() ? 0 : 1, 0, u""});
    if (!file.empty()) dialog.actions.push_back({UiAction::kSetText, box.edit, 0, 0, AbsolutePath(file)});
  }
  dialog.actions.push_back({UiAction::kSnapshot, 0, 0, 0, u""});
  return {error, warning, dialog};
}

void WriteTextures(SceneDocument* document, const fs::path& folder) {
  for (const TextureImage& image : document->images) {
    std::string error;
    if (image.encoded.empty()) {
      document->warnings.push_back("texture " + image.name + ": the image is not available, no TGA written");
    } else if (!WriteTgaOfImage(image.encoded, folder / fs::u8path(image.name + ".tga"), &error)) {
      document->warnings.push_back("texture " + image.name + ": " + error);
    }
  }
}

}  // namespace

std::u16string& SideFileOf(ExportAnswer& answer, MarkerKind kind) {
  return kind == MarkerKind::kHardpoint ? answer.hardpoints
         : kind == MarkerKind::kEmitter ? answer.emitters
                                        : answer.sprites;
}

const std::u16string& SideFileOf(const ExportAnswer& answer, MarkerKind kind) {
  return SideFileOf(const_cast<ExportAnswer&>(answer), kind);
}

UiAnswer ImportDialogAnswer(const ImportAnswer& answer, bool withMarkers) {
  UiAnswer dialog;
  dialog.caption = kImportCaption;
  dialog.button = answer.cancel ? kCancelButton : kImportButton;
  dialog.actions = answer.actions;
  for (int box : kExtractBoxes) {
    if (withMarkers) dialog.actions.push_back(UiAction{UiAction::kSetCheck, box, 1, 0, u""});
  }
  // What the dialog shows just before it is closed.
  dialog.actions.push_back(UiAction{UiAction::kSnapshot, 0, 0, 0, u""});
  return dialog;
}

fs::path ExtractedSideFile(const TempFolder& work, const std::u16string& sodPath, MarkerKind kind) {
  fs::path extracted = work.File(fs::path(sodPath).stem().u16string());
  extracted += SideTextSuffix(kind);
  return extracted;
}

PluginRun ImportSod(Session* session, const HostOptions& options, const std::u16string& sodPath,
                    const ImportAnswer& answer, bool withMarkers, UiDriver* driver, SceneDocument* document,
                    TempFolder* work) {
  PluginRun run;
  const fs::path source(sodPath);
  std::u16string readPath = sodPath;
  // Only an import with markers needs a folder: the plug-in extracts them beside the file it reads.
  std::optional<TempFolder> own;
  if (withMarkers && work == nullptr) work = &own.emplace();
  if (withMarkers && work->Made()) {
    // The plug-in only reads the file. One that cannot be put there is read all the
    // same: the plug-in says why it fails.
    LinkOrCopyFile(source, work->File(source.filename().u16string()));
    readPath = work->File(source.filename().u16string()).u16string();
  }
  HostScene& scene = document->scene;
  scene.SetFilePath(readPath);
  scene.SetOwnerWindow(driver->OwnerWindow());
  ApplyFailures(options, &scene);
  const size_t first = driver->Records().size();
  run.read = session->Run(kOperationRead, &scene);
  run.errorText = scene.ErrorTextWide();
  if (run.read == 1) run.imported = driver->Run([&] { return session->Run(kOperationImport, &scene); });
  run.ui = driver->RecordsJson(first);
  run.calls = scene.CallCount();
  // A file the plug-in cannot read is the user's input, as for every other format.
  run.status = run.read != 1       ? kExitUsage
               : run.imported == 0 ? kExitFailed
               : run.imported == 2 ? kExitStopped
                                   : kExitOk;
  if (withMarkers && !work->Made()) {
    document->warnings.push_back(work->Error());
  } else if (withMarkers && run.imported == 1) {
    TakeMarkers(*work, source, answer, document);
    PlaceMapsIn(scene, work->File(source.filename().u16string()).parent_path(), source.parent_path());
    document->textureFolder = source.parent_path().u16string();
  }
  run.status = FinalStatus(scene, run.status);
  return run;
}

std::string ImportRefusal(const std::u16string& sodPath, const PluginRun& run) {
  const std::string path = Utf16ToUtf8(sodPath);
  if (run.read == 1) {
    if (run.imported != 0) return "";
    return "the plug-in read " + path +
           " but could not build its scene: a face refers to a vertex or texture coordinate that its mesh does not "
           "have";
  }
  std::string reason = TrimmedEnd(Utf16ToUtf8(run.errorText));
  if (!reason.empty()) return "the plug-in could not read " + path + ": " + reason;
  std::error_code failure;
  const uintmax_t size = fs::file_size(fs::path(sodPath), failure);
  if (failure) return "the plug-in could not read " + path;
  return "the plug-in could not read " + path + ": the file is damaged or cut short (" + std::to_string(size) +
         " bytes)";
}

PluginRun ExportSod(Session* session, const HostOptions& options, SceneDocument* document,
                    const std::u16string& sodPath, const ExportAnswer& answer, bool writeTextures) {
  PluginRun run;
  for (const Marker& marker : document->markers.hardpoints) {
    if (!IsHardpointName(marker.name)) {
      document->warnings.push_back("hardpoint " + marker.name +
                                   " does not begin with \"hp\": the game takes only such nodes for hardpoints");
    }
  }
  ExportAnswer used = answer;
  // A folder for the markers' side files, made only when one is needed.
  std::optional<TempFolder> temp;
  for (MarkerKind kind : kMarkerKinds) {
    const std::vector<Marker>& markers = MarkersOf(document->markers, kind);
    if (!SideFileOf(used, kind).empty() || markers.empty()) continue;
    if (!temp) temp.emplace();
    std::u16string file = temp->File(std::u16string(u"markers") + SideTextSuffix(kind)).u16string();
    std::string error = temp->Error();
    if (!temp->Made() || !WriteSideTextFile(file, kind, markers, &error)) {
      document->warnings.push_back(error);
      run.status = kExitFailed;
      return run;
    }
    SideFileOf(used, kind) = file;
  }
  HostScene& scene = document->scene;
  UiDriver driver(ExportAnswers(used), used.interactive);
  driver.KeepSnapshots(used.snapshots);
  scene.SetFilePath(AbsolutePath(sodPath));
  scene.SetOwnerWindow(driver.OwnerWindow());
  ApplyFailures(options, &scene);
  run.exported = driver.Run([&] { return session->Run(kOperationExport, &scene); });
  if (run.exported == 1) run.written = session->Run(kOperationWrite, &scene);
  run.errorText = scene.ErrorTextWide();
  run.ui = driver.RecordsJson();
  run.calls = scene.CallCount();
  run.status = run.exported == 2 ? kExitStopped : run.exported == 1 && run.written == 1 ? kExitOk : kExitFailed;
  if (run.status == kExitOk && writeTextures) {
    // Into the game's Textures/RGB when the SOD file goes into a game's SOD folder.
    const fs::path sodFolder = fs::path(AbsolutePath(sodPath)).parent_path();
    const fs::path gameFolder = GameTextureFolder(sodFolder);
    WriteTextures(document, gameFolder.empty() ? sodFolder : gameFolder);
  }
  run.status = FinalStatus(scene, run.status);
  return run;
}

}  // namespace host
