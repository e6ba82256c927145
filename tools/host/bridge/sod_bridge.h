// The plug-in's two roads between SOD files and scene documents: its read and import
// operations (with the import dialog) from a SOD file to a document, its export and
// write operations (with the export dialog) from a document to a SOD file. The
// dialogs are answered by the host; the markers cross in the plug-in's own side text
// files, in a temporary folder, so that nothing is written beside the files the user
// named but what the user asked for.
#pragma once

#include <string>

#include "formats/scene_format.h"
#include "formats/side_text_files.h"
#include "interface/host_json.h"
#include "interface/host_session.h"
#include "interface/temp_folder.h"
#include "interface/ui_driver.h"

namespace host {

// How the import dialog is answered: the user's actions in the order given, then
// Import (or Cancel).
struct ImportAnswer {
  std::vector<UiAction> actions;
  bool cancel = false;
  bool interactive = false;
};

// How the export dialog and its message boxes are answered.
struct ExportAnswer {
  int game = 1;  // 1: ST Armada 1 (SOD 1.8), 2: ST Armada 2 (SOD 1.93)
  bool exportMaterials = true;
  bool continueReserved = false;  // OK to the reserved-name warning (else Cancel)
  bool interactive = false;
  bool snapshots = true;  // the run's "ui" shows what the dialog showed; off when only its messages matter
  // Side text files for the three boxes; empty: the box stays unticked (or, when the
  // scene came from a file with markers, those markers are used).
  std::u16string hardpoints, emitters, sprites;
};

// The answer's side text file for markers of `kind`.
std::u16string& SideFileOf(ExportAnswer& answer, MarkerKind kind);
const std::u16string& SideFileOf(const ExportAnswer& answer, MarkerKind kind);

// What one road did: the plug-in's answers, its message, and what its windows showed.
struct PluginRun {
  int32_t read = -1;  // -1: not run
  int32_t imported = -1;
  int32_t exported = -1;
  int32_t written = -1;
  std::u16string errorText;  // the plug-in's message in the context after the run
  Json ui = Json::array();   // what the dialogs and message boxes showed
  long calls = 0;            // host services called
  int status = kExitOk;      // the command's exit status for this run
};

// The import dialog's answer: the user's actions in order, then, for a document with
// markers, the three Extract To File boxes ticked; a snapshot; Import or Cancel.
UiAnswer ImportDialogAnswer(const ImportAnswer& answer, bool withMarkers);

// Reads `sodPath` with the plug-in and imports it into `document->scene`, the dialog
// answered by `driver`. With `withMarkers` the plug-in reads a copy in a temporary
// folder, the hardpoints, emitters and sprites it extracts there become the
// document's markers, the texture folder is the SOD file's, and the side files that
// the user's own answer ticked are copied beside the SOD file, as an import in place
// writes them. With a `work` folder the copy goes there and what the plug-in extracted
// stays there for the caller (ExtractedSideFile names it), who empties the folder.
PluginRun ImportSod(Session* session, const HostOptions& options, const std::u16string& sodPath,
                    const ImportAnswer& answer, bool withMarkers, UiDriver* driver, SceneDocument* document,
                    TempFolder* work = nullptr);

// The side text file of one kind that an import with markers of `sodPath` in `work`
// left there, as the plug-in names it.
std::filesystem::path ExtractedSideFile(const TempFolder& work, const std::u16string& sodPath, MarkerKind kind);

// What the user is told of a SOD file that the plug-in refused: its own message, or the
// host's reason where it gives none (a damaged or cut-short file is refused without
// one, and so is a face that refers to a vertex its mesh does not have); empty when
// the file was read and imported, or the user cancelled.
std::string ImportRefusal(const std::u16string& sodPath, const PluginRun& run);

// Exports `document->scene` with the plug-in and writes `sodPath`, the export dialog
// answered from `answer`. The document's markers of a kind go to the dialog's box
// of that kind through a side text file in a temporary folder, unless the answer
// names a file for it. With `writeTextures`, after a complete write, each of the
// document's images is written as NAME.tga beside the SOD file (in the game's
// Textures/RGB folder when the SOD file is in a game's SOD folder beside one).
PluginRun ExportSod(Session* session, const HostOptions& options, SceneDocument* document,
                    const std::u16string& sodPath, const ExportAnswer& answer, bool writeTextures);

}  // namespace host
