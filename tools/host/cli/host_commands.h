// The commands of the reference host, what they take from the command line, and what
// they share.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "bridge/conversion.h"
#include "bridge/marker_rewrite.h"
#include "bridge/mod_check.h"
#include "bridge/sod_bridge.h"
#include "interface/host_session.h"

namespace host {

struct ImportCommand {
  std::u16string input;
  ImportAnswer answer;
  int repeat = 1;
  bool json = false;
  std::u16string obj;   // write the scene as OBJ here
  std::u16string gltf;  // write the scene and its markers as glTF here
};

struct ExportCommand {
  std::u16string input;  // .obj, .gltf or .glb
  std::u16string output;
  ExportAnswer answer;
  bool writeTextures = false;
  bool json = false;
};

struct ConvertCommand : ConversionRequest {
  bool json = false;
  bool quiet = false;
  // Many files: the inputs (files and folders), the kind to make ("glb", "gltf", "obj"
  // or "sod"; empty: one file, `input` to `output`) and the folder to write into.
  std::vector<std::u16string> inputs;
  std::string to;
  std::u16string outDir;
};

struct CheckCommand {
  std::vector<std::u16string> paths;  // SOD files and folders
  CheckOptions checkOptions;
  bool json = false;
  std::string only;  // "errors", "warnings" or empty (everything)
};

int CommandDescribe(const HostOptions& options, const std::u16string& plugin, bool refuseExtension);
int CommandRead(const HostOptions& options, const std::u16string& input);
int CommandImport(const HostOptions& options, const ImportCommand& command);
int CommandExport(const HostOptions& options, const ExportCommand& command);
int CommandConvert(const HostOptions& options, const ConvertCommand& command);
int CommandCheck(const HostOptions& options, const CheckCommand& command);
int CommandSetMarkers(const HostOptions& options, const MarkerEdit& edit, bool json);

}  // namespace host
