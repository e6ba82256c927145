// kveltar-host set-markers IN.sod OUT.sod [--hardpoints FILE] [--emitters FILE]
// [--sprites FILE] [--markers-from SCENE]: writes IN again as OUT with the markers of
// each kind given replaced by a side text file's records, every other byte kept.
#include <cstdio>

#include "bridge/marker_rewrite.h"
#include "cli/host_commands.h"
#include "interface/host_json.h"

namespace host {

int CommandSetMarkers(const HostOptions& options, const MarkerEdit& edit, bool json) {
  Session session;
  if (!StartSession(options, &session)) return kExitUsage;
  MarkerEditOutcome outcome;
  const int status = SetMarkers(&session, options, edit, &outcome);
  if (json) {
    std::printf("%s\n", JsonText(MarkerEditJson(edit, outcome)).c_str());
  } else if (status == kExitOk) {
    std::printf("%s\n", MarkerEditText(edit, outcome).c_str());
  }
  if (status != kExitOk) std::fprintf(stderr, "kveltar-host: %s\n", outcome.error.c_str());
  return status;
}

}  // namespace host
