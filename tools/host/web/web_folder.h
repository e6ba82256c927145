// The page's requests over a mod's folder in the in-memory file system: its SOD files
// listed as `kveltar-host check DIR` finds them, one file checked and converted to GLB
// as `check` and `convert DIR --to glb --out-dir` do it, and the report of the checks.
#pragma once

#include "interface/host_json.h"

namespace host {

// {"op": "folder", "folder"}: forgets the checks of an earlier folder; answers {"ok",
// "status", "messages" (the entries that could not be read), "models" (the SOD files'
// paths under the folder, in the order the command line checks them)}.
Json FolderRequest(const Json& json);

// {"op": "check-file", "folder", "out", "path" (under the folder), "textureFolders"
// (under the folder, looked in after the file's own)}: answers {"ok", "status",
// "messages" (of the conversion), "check" (as check --json lists it, its paths under
// the folder), "glb" (the GLB's path under out, or null), "summary" (what convert
// --json says of the GLB, or null)}.
Json CheckFileRequest(const Json& json);

// {"op": "check-report", "checks": [the files' checks]}: answers {"ok", "status",
// "messages", "text" (what check --json prints of them)}.
Json CheckReportRequest(const Json& json);

}  // namespace host
