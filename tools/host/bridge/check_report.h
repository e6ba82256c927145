// The report of a check as `check --json` prints it (the files' figures and problems,
// and a summary), for the command line and the page alike; and a file's check read
// back from its JSON, so that a report can be made of checks done one at a time.
#pragma once

#include <string>
#include <vector>

#include "bridge/mod_check.h"
#include "interface/host_json.h"

namespace host {

// Whether --only `only` ("", "errors" or "warnings") lists a problem of `severity`.
bool OnlyShows(Severity severity, const std::string& only);

// The counts of files, errors, warnings and infos over `checks`.
Json CheckSummary(const std::vector<FileCheck>& checks);

// {"files": the files with a listed problem (all without --only), "summary"}.
Json CheckReportJson(const std::vector<FileCheck>& checks, const std::string& only);

// The check that FileCheckJson made `json` of; a problem of a code it does not know,
// or a field of the wrong type, throws (nlohmann's type_error or std::invalid_argument).
FileCheck FileCheckOfJson(const Json& json);

}  // namespace host
