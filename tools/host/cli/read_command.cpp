// kveltar-host read FILE.sod: runs the plug-in's read operation on a file and prints
// its result and the message it left for the user.
#include <cstdio>

#include "cli/host_commands.h"
#include "interface/host_json.h"
#include "interface/host_text.h"

namespace host {

int CommandRead(const HostOptions& options, const std::u16string& input) {
  Session session;
  if (!StartSession(options, &session)) return kExitUsage;
  HostScene scene;
  scene.SetFilePath(AbsolutePath(input));
  ApplyFailures(options, &scene);
  int32_t result = session.Run(kOperationRead, &scene);
  std::printf("result: %d\n", result);
  std::printf("errorText: wide %s narrow %s\n", JsonQuote(Utf16ToUtf8(scene.ErrorTextWide())).c_str(),
              JsonQuote(Utf16ToUtf8(FromAnsi(scene.ErrorTextNarrow()))).c_str());
  return FinalStatus(scene, result == 1 ? kExitOk : kExitUsage);
}

}  // namespace host
