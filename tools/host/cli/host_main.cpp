// kveltar-host, the reference host: it loads the kveltar plug-in the way the modelling
// host does, plays the host's side of every call with a real in-memory scene, and
// drives the plug-in's operations from the command line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/host_commands.h"
#include "interface/host_text.h"
#include "interface/process_memory.h"

namespace host {

namespace {

// Control ids of the import dialog, as its template numbers them.
constexpr int kMeshList = 117;
constexpr int kSelectAll = 120;
constexpr int kSelectNone = 121;
constexpr int kInvertAll = 122;

struct BoxOption {
  const char* name;
  int id;
};

const BoxOption kImportBoxes[] = {{"extract-hardpoints", 1002}, {"extract-emitters", 1003},
                                  {"extract-sprites", 1004},    {"convert-emitters", 1005},
                                  {"convert-hardpoints", 1006}, {"convert-sprites", 1007}};

// The import dialog's options of one command, turned into dialog actions in the order
// the user gave them.
class DialogOptions {
 public:
  void AddSelection(CLI::App* command) {
    AddValue(command, "--select", "select the mesh entry NAME", 1);
    AddValue(command, "--deselect", "deselect the mesh entry NAME", 0);
    AddButton(command, "--select-all", "press Select All", kSelectAll);
    AddButton(command, "--select-none", "press Select None", kSelectNone);
    AddButton(command, "--invert", "press Invert All", kInvertAll);
  }

  void AddBoxes(CLI::App* command) {
    for (const BoxOption& box : kImportBoxes) {
      std::string name = box.name;
      Add(command->add_flag("--" + name)->description("tick " + name),
          UiAction{UiAction::kSetCheck, box.id, 1, 0, u""});
      Add(command->add_flag("--no-" + name)->description("untick " + name),
          UiAction{UiAction::kSetCheck, box.id, 0, 0, u""});
    }
  }

  std::vector<UiAction> Actions(const CLI::App& command) const {
    std::vector<UiAction> actions;
    std::map<const CLI::Option*, size_t> occurrences;
    for (const CLI::Option* option : command.parse_order()) {
      auto found = actions_.find(option);
      if (found == actions_.end()) continue;
      UiAction action = found->second;
      if (action.kind == UiAction::kSelectText) {
        size_t n = occurrences[option]++;
        if (n < option->results().size()) action.text = Utf8ToUtf16(option->results()[n]);
      }
      actions.push_back(action);
    }
    return actions;
  }

 private:
  void Add(CLI::Option* option, const UiAction& action) { actions_[option] = action; }
  void AddValue(CLI::App* command, const std::string& name, const std::string& help, int select) {
    Add(command->add_option(name, values_[name], help)
            ->type_name("NAME")
            ->expected(1)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll),
        UiAction{UiAction::kSelectText, kMeshList, select, 0, u""});
  }
  void AddButton(CLI::App* command, const std::string& name, const std::string& help, int id) {
    Add(command->add_flag(name)->description(help), UiAction{UiAction::kClick, id, 0, 0, u""});
  }

  std::map<const CLI::Option*, UiAction> actions_;
  std::map<std::string, std::vector<std::string>> values_;
};

// A path option or argument: UTF-8 on the command line, UTF-16 for the host.
struct PathText {
  std::string text;
  std::u16string Wide() const { return Utf8ToUtf16(text); }
};

bool ParseFailure(const std::string& text, HostOptions* options) {
  size_t colon = text.find(':');
  long nth = 1;
  if (colon != std::string::npos) nth = std::strtol(text.c_str() + colon + 1, nullptr, 10);
  if (nth < 1) return false;
  options->failServices.emplace_back(text.substr(0, colon), nth);
  return true;
}

// The export dialog's options, shared by export and convert.
struct ExportTexts {
  PathText hardpoints, emitters, sprites;
  bool noMaterials = false;

  void Add(CLI::App* command, ExportAnswer* answer, int defaultGame) {
    answer->game = defaultGame;
    command->add_option("--game", answer->game, "1: ST Armada 1 (SOD 1.8), 2: ST Armada 2 (SOD 1.93)")
        ->check(CLI::IsMember({1, 2}))
        ->capture_default_str();
    command->add_flag("--no-materials", noMaterials, "untick Export materials");
    command->add_option("--hardpoints", hardpoints.text, "tick the hardpoint box with this side text file");
    command->add_option("--emitters", emitters.text, "tick the emitter box with this side text file");
    command->add_option("--sprites", sprites.text, "tick the sprite box with this side text file");
    command->add_flag("--continue-reserved", answer->continueReserved,
                      "answer the reserved-name warning with OK (default: Cancel)");
  }

  void Finish(ExportAnswer* answer) const {
    answer->exportMaterials = !noMaterials;
    // Whole paths before the plug-in runs: it may move the process to another folder.
    answer->hardpoints = hardpoints.text.empty() ? u"" : AbsolutePath(hardpoints.Wide());
    answer->emitters = emitters.text.empty() ? u"" : AbsolutePath(emitters.Wide());
    answer->sprites = sprites.text.empty() ? u"" : AbsolutePath(sprites.Wide());
  }
};

int Run(std::vector<std::string> args) {
  CLI::App app("kveltar-host: the reference host of the kveltar plug-in", "kveltar-host");
  app.allow_windows_style_options(false);  // a path may start with '/'
  app.require_subcommand(1);
  HostOptions options;
  PathText plugin;
  std::vector<std::string> failures;
  app.add_option("--plugin", plugin.text, "the plug-in to load (default: beside kveltar-host)");
  app.add_option("--fail", failures, "make the Nth call (default 1) of a host service fail")->type_name("SERVICE[:N]");
  app.add_option("--fail-call", options.failCallNumber, "make the Nth call of any host service fail");

  PathText describePlugin;
  bool refuseExtension = false;
  CLI::App* describe = app.add_subcommand("describe", "print what the plug-in answers and registers");
  describe->add_option("PLUGIN", describePlugin.text, "the plug-in module")->required();
  describe->add_flag("--refuse-extension", refuseExtension, "answer the extension's registration with failure");

  PathText readInput;
  CLI::App* read = app.add_subcommand("read", "run the read operation on a SOD file and print its result");
  read->add_option("FILE", readInput.text, "the SOD file")->required();

  ImportCommand import;
  PathText importInput, importObj, importGltf;
  DialogOptions importDialog;
  CLI::App* importApp = app.add_subcommand(
      "import",
      "read a SOD file, import it through the import dialog (answered in the order the options are given, "
      "then Import) and show the scene the plug-in built");
  importApp->add_option("FILE", importInput.text, "the SOD file")->required();
  importDialog.AddSelection(importApp);
  importDialog.AddBoxes(importApp);
  importApp->add_flag("--cancel", import.answer.cancel, "press Cancel instead of Import");
  importApp->add_flag("--interactive", import.answer.interactive, "show the dialog and let the user answer it");
  importApp->add_option("--repeat", import.repeat, "import N times in one process")->check(CLI::Range(1, 100));
  importApp->add_flag("--json", import.json, "print the read result, the scene and the dialogs as JSON");
  importApp->add_option("--obj", importObj.text, "write the scene as OBJ, with its MTL library beside it");
  importApp->add_option("--gltf", importGltf.text, "write the scene and its markers as glTF (.gltf or .glb)");

  ExportCommand exportCommand;
  PathText exportInput, exportOutput;
  ExportTexts exportTexts;
  CLI::App* exportApp =
      app.add_subcommand("export", "export an OBJ or glTF scene through the export dialog, then write the SOD file");
  exportApp->add_option("IN", exportInput.text, "the scene: .obj, .gltf or .glb")->required();
  exportApp->add_option("OUT", exportOutput.text, "the SOD file to write")->required();
  exportTexts.Add(exportApp, &exportCommand.answer, 1);
  exportApp->add_flag(
      "--write-textures", exportCommand.writeTextures,
      "write the scene's images as NAME.tga beside the SOD file (in a game's SOD folder: in Textures/RGB)");
  exportApp->add_flag("--interactive", exportCommand.answer.interactive,
                      "show the dialogs and let the user answer them");
  exportApp->add_flag("--json", exportCommand.json, "print the results and what the dialogs showed as JSON");

  ConvertCommand convert;
  std::vector<std::string> convertFiles;
  PathText textureFolder, outDir;
  ExportTexts convertTexts;
  DialogOptions convertDialog;
  CLI::App* convertApp = app.add_subcommand(
      "convert",
      "convert SOD to glTF (.gltf, .glb) or OBJ, glTF or OBJ to SOD, or SOD to SOD with other markers, through the "
      "plug-in: IN OUT, or many files and folders with --to and --out-dir");
  convertApp
      ->add_option("FILES", convertFiles,
                   "IN OUT: the file to convert (.sod, .gltf, .glb or .obj) and the file to write; with --to: the "
                   "files and folders to convert")
      ->required();
  convertApp->add_option("--to", convert.to, "convert many files to this kind")
      ->check(CLI::IsMember({"glb", "gltf", "obj", "sod"}));
  convertApp->add_option("--out-dir", outDir.text, "with --to: the folder to write into, keeping the subfolders");
  convertDialog.AddSelection(convertApp);
  convertTexts.Add(convertApp, &convert.exportAnswer, 2);
  convertApp->add_option(
      "--texture-folder", textureFolder.text,
      "reading SOD: look for the textures NAME.tga here (default: beside the SOD file, then in the game's "
      "Textures/RGB beside a SOD folder)");
  convertApp->add_flag(
      "--write-textures", convert.writeTextures,
      "writing SOD: also write each image of the scene as NAME.tga beside the SOD file (in a game's SOD "
      "folder: in Textures/RGB)");
  convertApp->add_flag("--json", convert.json, "print what was converted as JSON");
  convertApp->add_flag("--quiet", convert.quiet, "print nothing but errors");

  CheckCommand check;
  std::vector<std::string> checkPaths, checkTextures;
  CLI::App* checkApp = app.add_subcommand(
      "check", "check SOD files (folders: every *.sod in them) for what the game or the export will trip over");
  checkApp->add_option("PATH", checkPaths, "SOD files and folders")->required();
  checkApp->add_option("--textures", checkTextures, "look for textures in this folder too (repeatable)")
      ->type_name("DIR")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  checkApp->add_flag("--json", check.json, "print every file's figures and problems as JSON");
  checkApp->add_option("--only", check.only, "list only errors, or errors and warnings")
      ->check(CLI::IsMember({"errors", "warnings"}));

  PathText markersInput, markersOutput, markerFiles[3], markersScene;
  bool markersJson = false;
  CLI::App* setMarkersApp = app.add_subcommand(
      "set-markers",
      "write a SOD file again with its hardpoints, emitters or sprites taken from side text files, every other byte "
      "kept");
  setMarkersApp->add_option("IN", markersInput.text, "the SOD file")->required();
  setMarkersApp->add_option("OUT", markersOutput.text, "the SOD file to write (may be IN)")->required();
  for (MarkerKind kind : kMarkerKinds) {
    const std::string group = MarkerGroupName(kind);
    setMarkersApp->add_option("--" + group, markerFiles[static_cast<int>(kind)].text,
                              "the " + group + " become this side text file's records");
  }
  setMarkersApp->add_option("--markers-from", markersScene.text,
                            "the markers of every kind not given become those of this scene file (.gltf, .glb, .obj)");
  setMarkersApp->add_flag("--json", markersJson, "print what was kept, written and dropped as JSON");

  for (CLI::App* command : {describe, read, importApp, exportApp, convertApp, checkApp, setMarkersApp}) {
    command->fallthrough();
  }
  const bool noArguments = args.empty();
  try {
    std::reverse(args.begin(), args.end());
    app.parse(args);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    if (noArguments) {
      std::fprintf(stderr, "%s", app.help().c_str());
    } else {
      app.exit(e);
    }
    return kExitUsage;
  }
  options.pluginPath = plugin.Wide();
  for (const std::string& failure : failures) {
    if (!ParseFailure(failure, &options)) return kExitUsage;
  }
  if (*describe) return CommandDescribe(options, describePlugin.Wide(), refuseExtension);
  if (*read) return CommandRead(options, readInput.Wide());
  if (*importApp) {
    import.input = importInput.Wide();
    import.obj = importObj.Wide();
    import.gltf = importGltf.Wide();
    import.answer.actions = importDialog.Actions(*importApp);
    return CommandImport(options, import);
  }
  if (*exportApp) {
    exportCommand.input = exportInput.Wide();
    exportCommand.output = exportOutput.Wide();
    exportTexts.Finish(&exportCommand.answer);
    return CommandExport(options, exportCommand);
  }
  if (*checkApp) {
    for (const std::string& path : checkPaths) check.paths.push_back(Utf8ToUtf16(path));
    for (const std::string& folder : checkTextures) {
      check.checkOptions.textureFolders.push_back(AbsolutePath(Utf8ToUtf16(folder)));
    }
    return CommandCheck(options, check);
  }
  if (*setMarkersApp) {
    MarkerEdit edit;
    edit.input = markersInput.Wide();
    edit.output = markersOutput.Wide();
    for (int k = 0; k < 3; ++k) edit.sideFiles[k] = markerFiles[k].Wide();
    edit.markersFrom = markersScene.Wide();
    return CommandSetMarkers(options, edit, markersJson);
  }
  if (convert.to.empty() != outDir.text.empty() || (convert.to.empty() && convertFiles.size() != 2)) {
    std::fprintf(stderr, "kveltar-host: convert takes IN OUT, or IN... with both --to and --out-dir\n");
    return kExitUsage;
  }
  for (const std::string& file : convertFiles) convert.inputs.push_back(AbsolutePath(Utf8ToUtf16(file)));
  if (convert.to.empty()) {
    convert.input = Utf8ToUtf16(convertFiles[0]);
    convert.output = Utf8ToUtf16(convertFiles[1]);
  }
  convert.outDir = outDir.text.empty() ? u"" : AbsolutePath(outDir.Wide());
  convert.textureFolder = textureFolder.text.empty() ? u"" : AbsolutePath(textureFolder.Wide());
  convert.importAnswer.actions = convertDialog.Actions(*convertApp);
  convertTexts.Finish(&convert.exportAnswer);
  return CommandConvert(options, convert);
}

}  // namespace

}  // namespace host

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(host::Utf16ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
  return host::Run(std::move(args));
}
#else
int main(int argc, char** argv) {
  host::KeepFreedMemoryForNextFiles();
  std::vector<std::string> args(argv + 1, argv + argc);
  return host::Run(std::move(args));
}
#endif
