// kveltar-host convert IN OUT: a SOD file to glTF (.gltf, .glb) or OBJ, or such a file
// to SOD, always through the plug-in; the messages and a summary are printed.
#include <cstdio>

#include "cli/host_commands.h"
#include "interface/host_json.h"
#include "interface/host_text.h"

namespace host {

int CommandConvert(const HostOptions& options, const ConvertCommand& command) {
  Session session;
  if (!StartSession(options, &session)) return kExitUsage;
  Conversion conversion;
  Convert(&session, options, command, &conversion);
  if (command.json) {
    std::printf("%s\n", JsonText(ConversionJson(command, conversion)).c_str());
    return conversion.status;
  }
  conversion.messages.Print(command.quiet);
  const Json& summary = conversion.summary;
  if (conversion.status == kExitOk && !command.quiet) {
    std::printf(
        "converted %s to %s: %zu meshes, %d triangles, %zu materials, %zu hardpoints, %zu emitters, %zu sprites\n",
        Utf16ToUtf8(command.input).c_str(), Utf16ToUtf8(command.output).c_str(), summary["meshes"].size(),
        summary["triangles"].get<int>(), summary["materials"].size(), summary["hardpoints"].get<size_t>(),
        summary["emitters"].get<size_t>(), summary["sprites"].get<size_t>());
  }
  return conversion.status;
}

}  // namespace host
