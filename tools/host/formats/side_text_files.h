// The host's side of the plug-in's hardpoint, emitter and sprite text files: one line
// per record, the name (emitters: then the emitter's name) and the twelve numbers of
// its transform (R0, R1, R2, T, each x y z); every other line is skipped. The plug-in
// writes them on import ("Extract To File") and reads them on export.
#pragma once

#include <string>
#include <vector>

#include "formats/scene_format.h"

namespace host {

enum class MarkerKind { kHardpoint, kEmitter, kSprite };
constexpr MarkerKind kMarkerKinds[] = {MarkerKind::kHardpoint, MarkerKind::kEmitter, MarkerKind::kSprite};

// The names of a kind in the interchange formats: its group node ("hardpoints") and
// its type ("hardpoint", the glTF extras' sod_type).
const char* MarkerGroupName(MarkerKind kind);
const char* MarkerTypeName(MarkerKind kind);

// Whether the game takes a node of this name for a hardpoint: it begins with "hp" in
// any case.
bool IsHardpointName(const std::string& name);

// The file name suffix of a kind ("_hps.txt", "_ems.txt", "_sps.txt"), and the kind a
// file name ends in (hardpoints for any other name).
const char16_t* SideTextSuffix(MarkerKind kind);
MarkerKind SideTextKindOf(const std::u16string& path);

// The list of a kind in `lists`.
std::vector<Marker>& MarkersOf(MarkerLists& lists, MarkerKind kind);
const std::vector<Marker>& MarkersOf(const MarkerLists& lists, MarkerKind kind);

// Appends the records of a side text file to `markers`; false with a reason when the
// file cannot be read. Names are converted from the system's narrow code page.
bool ReadSideTextFile(const std::u16string& path, MarkerKind kind, std::vector<Marker>* markers, std::string* error);

// The lines of a side text file that hold a record which is not read back as written:
// not the kind's names and twelve numbers (a name holding a blank, an empty name), so
// that the record is lost or misread, in UTF-8. Comment and blank lines are no records.
std::vector<std::string> SideTextLinesNotReadBack(const std::u16string& path, MarkerKind kind);

// Writes `markers` as a side text file the plug-in reads back exactly: names in the
// narrow code page (blanks, which would split the name, become underscores), numbers in
// their shortest exact form. Written in full beside the target before it takes its
// place; false with a reason.
bool WriteSideTextFile(const std::u16string& path, MarkerKind kind, const std::vector<Marker>& markers,
                       std::string* error);

}  // namespace host
