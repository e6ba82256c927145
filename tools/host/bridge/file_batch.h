// Many files at once: the files a user names, with the folders among them searched
// for the kinds wanted (keeping the subfolders), and one conversion per file through
// one started plug-in session, into an output folder that mirrors the inputs.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "bridge/conversion.h"
#include "interface/folder_walk.h"

namespace host {

// A file found for a batch: its whole path, and its path under the folder it was
// found in (a file named on its own: its file name).
struct BatchFile {
  std::u16string path;
  std::u16string relative;
};

// The files of `paths`: a file is taken whatever its extension, a folder is searched
// recursively for files whose extension is one of `extensions` (lower case, with the
// dot; matched in any case), in name order; the entries below it that cannot be read or
// entered go to `skipped` with their reason, and the search goes on. False with a
// reason for a path that is neither a file nor a folder.
bool CollectFiles(const std::vector<std::u16string>& paths, const std::vector<std::u16string>& extensions,
                  std::vector<BatchFile>* files, std::vector<SkippedEntry>* skipped, std::string* error);

// The extensions a batch converts to `to` (".glb", ".gltf", ".obj" or ".sod"): SOD
// files to a scene file, scene files to SOD.
std::vector<std::u16string> BatchInputExtensions(const std::u16string& to);

// What one file of a batch became.
struct BatchResult {
  BatchFile file;
  std::u16string output;
  ConversionOutcome conversion;
};

// Called before each file of a batch with its number (0 first) and the total.
using BatchProgress = std::function<void(size_t index, size_t total, const BatchFile& file)>;

// Converts each file to `outDir`/its relative path with the extension `to`, the
// folders made as needed, each with the options of `base`; a failure does not stop
// the others; a file whose output an earlier file of the batch took fails. `results`
// gets one entry per file, in order; returns the number that failed.
size_t ConvertBatch(Session* session, const HostOptions& options, const ConversionRequest& base,
                    const std::vector<BatchFile>& files, const std::u16string& to, const std::u16string& outDir,
                    const BatchProgress& progress, std::vector<BatchResult>* results);

// A skipped entry as a failed file of a batch, with its reason.
BatchResult SkippedResult(const SkippedEntry& entry);

// The first error of a conversion (what the user is told of a failed file).
std::string FailureReason(const ConversionOutcome& conversion);

}  // namespace host
