// Lossless marker edits: the hardpoints, emitters and sprites of a SOD file become the
// records of side text files, and every other byte of the file stays as it was. The
// file is walked and the records are read and written with the plug-in's own code
// (its cursor reads, side text readers and marker node writers); the file itself is
// first read by the plug-in, whose refusal is the user's answer.
//
// The markers of a file: null nodes named "hp..." in any case (hardpoints), emitter
// nodes (kind 12) and sprite nodes (kind 3). A record that names a marker of its kind
// with the same twelve numbers to six decimals (emitters: the same emitter name too)
// keeps that node's bytes and place. The other records are written after the last node,
// below the parent of the kind's first marker in the file, else below the null node
// "hardpoints", "emitters" or "sprites", else below the first node; the markers of the
// kind that no record kept are dropped.
#pragma once

#include <string>

#include "formats/side_text_files.h"
#include "interface/host_json.h"
#include "interface/host_session.h"

namespace host {

struct MarkerEdit {
  std::u16string input;         // the SOD file, never changed but by a complete new file when it is `output` too
  std::u16string output;        // written in full beside itself first, then put in place
  std::u16string sideFiles[3];  // by MarkerKind; empty: the markers of that kind stay as they are
  // A scene file (glTF, GLB, OBJ) whose markers stand in for the side text file of every
  // kind not given, as the export writes a scene's markers; empty: none.
  std::u16string markersFrom;
};

// What an edit did: its status (an exit code of host_session.h), why it wrote nothing,
// and per kind (by MarkerKind) the markers kept byte for byte, written anew and dropped.
struct MarkerEditOutcome {
  int status = kExitOk;
  std::string error;
  int kept[3] = {0, 0, 0};
  int written[3] = {0, 0, 0};
  int dropped[3] = {0, 0, 0};
};

// Writes `edit.output`: the input with the markers of each kind given replaced by the
// records of its side text file (one without record lines drops every marker of its
// kind). kExitUsage with the plug-in's message for a file it cannot read, or for a
// scene file that cannot be read; kExitFailed
// with a reason, and no file, for a side text file that cannot be read, a name over 127
// characters, more than 65535 nodes, or an output that cannot be written.
int SetMarkers(Session* session, const HostOptions& options, const MarkerEdit& edit, MarkerEditOutcome* outcome);

// The outcome as `set-markers --json` prints it and the page's request answers it:
// input, output, status, error, and per kind group name its kept, written and dropped.
Json MarkerEditJson(const MarkerEdit& edit, const MarkerEditOutcome& outcome);

// One line for the user, naming the files without their folders: what was kept,
// written and dropped, or the error.
std::string MarkerEditText(const MarkerEdit& edit, const MarkerEditOutcome& outcome);

}  // namespace host
