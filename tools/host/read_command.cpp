// kveltar-host read FILE.sod: runs the plug-in's read operation on a file and prints
// its result and the message it left for the user.
#include <cstdio>

#include "host_commands.h"
#include "host_text.h"

namespace host {

int CommandRead(const HostOptions& options) {
  if (options.positional.size() != 1) {
    std::fprintf(stderr, "usage: kveltar-host read FILE.sod\n");
    return kExitUsage;
  }
  Session session;
  if (!StartSession(options, &session)) return kExitUsage;
  HostScene scene;
  scene.SetFilePath(AbsolutePath(options.positional[0]));
  ApplyFailures(options, &scene);
  int32_t result = session.Run(kOperationRead, &scene);
  std::printf("result: %d\n", result);
  std::printf("errorText: wide %s narrow %s\n", JsonQuote(Utf16ToUtf8(scene.ErrorTextWide())).c_str(),
              JsonQuote(Utf16ToUtf8(FromAnsi(scene.ErrorTextNarrow()))).c_str());
  return FinalStatus(scene, result == 1 ? kExitOk : kExitFailed);
}

}  // namespace host
