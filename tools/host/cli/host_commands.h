// The commands of the reference host, what they take from the command line, and what
// they share.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "bridge/conversion.h"
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
};

int CommandDescribe(const HostOptions& options, const std::u16string& plugin, bool refuseExtension);
int CommandRead(const HostOptions& options, const std::u16string& input);
int CommandImport(const HostOptions& options, const ImportCommand& command);
int CommandExport(const HostOptions& options, const ExportCommand& command);
int CommandConvert(const HostOptions& options, const ConvertCommand& command);

}  // namespace host
