// Paths of hostile lengths and characters where the export dialog takes them: typed
// into the side text boxes, and picked with the file dialog whose buffer holds 259
// units and the end. Nothing runs past a field; a picked name too long for the buffer
// is refused with the dialog's message and changes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32_api.h"
#include "resource_ids.h"
#include "support/operation_fixture.h"
#include "support/ui_script.h"
#include "support/written_sod.h"

using namespace fixture;

namespace {

using ui_script::Click;
using ui_script::SetCheck;
using ui_script::SetText;

// A hardpoint file at `path` with one record.
void WriteHardpointFile(const std::u16string& path) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out << "hp_typed  1 0 0  0 1 0  0 0 1  1 2 3\n";
}

// `units` long: the directory, then 'p's and ".txt".
std::u16string PathOfLength(const std::u16string& directory, size_t units) {
  return directory + std::u16string(units - directory.size() - 4, u'p') + u".txt";
}

// Exports the ship through the dialog with `actions`, then writes it; the hardpoint
// nodes written.
std::vector<std::string> ExportAndWrite(const TempDir& dir, std::vector<host::UiAnswer> answers,
                                        std::vector<host::UiRecord>* shown) {
  host::HostScene scene;
  BuildExportScene(scene);
  host::UiDriver driver(std::move(answers), false);
  scene.SetOwnerWindow(driver.OwnerWindow());
  EXPECT_EQ(1, driver.Run([&] { return RunOperation(PLUGIN_OP_EXPORT, scene); }));
  *shown = driver.Records();
  scene.SetFilePath(dir.Wide("ship.sod"));
  EXPECT_EQ(1, RunOperation(PLUGIN_OP_WRITE, scene));
  std::vector<std::string> names;
  for (const WrittenNode& node : ParseWrittenSod(dir.Read("ship.sod")).nodes) {
    if (node.parent == "hardpoints") names.push_back(node.name);
  }
  return names;
}

host::UiAnswer ExportDialog(std::vector<host::UiAction> actions) {
  return ui_script::DialogAnswer(u"Export SOD Model", std::move(actions), IDOK);
}

}  // namespace

// A typed path of 259 units is taken whole and loads its file. A longer one is taken
// as far as the box gives it, 259 units and the end, with nothing past the field; a
// path in characters outside the narrow code page is kept and opened as typed.
TEST(HostileInputDialog, TypedSideTextPaths) {
  const struct {
    const char* what;
    size_t units;  // 0: the folder outside the code page
    bool loads;
  } cases[] = {{"259 units", 259, true},
               {"260 units", 260, false},
               {"1000 units", 1000, false},
               {"outside the code page", 0, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    StateGuard guard;
    TempDir dir;
    std::u16string typed = c.units != 0 ? PathOfLength(dir.Wide(""), c.units) : u"";
    if (c.units == 0) {
      const std::u16string folder = dir.Wide("") + u"\u6a21\u578b" + dir.Wide("").back();
      std::filesystem::create_directories(std::filesystem::path(folder));
      typed = folder + u"\u70b9.txt";
    }
    if (c.loads) WriteHardpointFile(typed);
    std::vector<host::UiRecord> shown;
    const std::vector<std::string> written = ExportAndWrite(
        dir, {ExportDialog({SetCheck(IDC_EXPORT_HARDPOINT_FILE), SetText(IDC_EXPORT_HARDPOINT_PATH, typed)})}, &shown);
    const std::u16string kept(exportOptions.hardpointFilePath);
    EXPECT_EQ(typed.substr(0, kDualStringUnits - 1), kept);
    EXPECT_EQ(c.loads ? std::vector<std::string>{"hp_typed"} : std::vector<std::string>{}, written);
  }
}

// The picker's buffer holds 259 units and the end: a chosen file of 259 units fills
// the path and its box; one of 260 or 1,000 makes the picker fail with a buffer too
// small, which the dialog reports, and the earlier path stays.
TEST(HostileInputDialog, PickedFilesForTheBuffer) {
  for (size_t units : {259u, 260u, 1000u}) {
    SCOPED_TRACE(units);
    StateGuard guard;
    TempDir dir;
    const std::u16string earlier = dir.Wide("earlier.txt");
    WriteHardpointFile(earlier);
    const std::u16string picked = PathOfLength(dir.Wide(""), units);
    if (units < kDualStringUnits) WriteHardpointFile(picked);
    const bool fits = units < kDualStringUnits;
    host::UiAnswer file;
    file.fileDialog = true;
    file.caption = u"Open File";
    file.filePath = picked;
    host::UiAnswer error = ui_script::BoxAnswer(u"Error", IDOK);
    error.optional = true;
    host::UiAnswer dialog =
        ExportDialog({SetCheck(IDC_EXPORT_HARDPOINT_FILE), SetText(IDC_EXPORT_HARDPOINT_PATH, earlier),
                      Click(IDC_EXPORT_HARDPOINT_PICK)});
    std::vector<host::UiRecord> shown;
    const std::vector<std::string> written = ExportAndWrite(dir, {dialog, file, error}, &shown);
    EXPECT_EQ(fits ? picked : earlier, std::u16string(exportOptions.hardpointFilePath));
    EXPECT_EQ(std::vector<std::string>{"hp_typed"}, written);
    std::vector<std::u16string> messages;
    for (const host::UiRecord& r : shown) {
      if (r.kind == "message box") messages.push_back(r.text);
    }
    EXPECT_EQ(
        fits ? std::vector<std::u16string>{} : std::vector<std::u16string>{u"There was an error opening the file."},
        messages);
  }
}
