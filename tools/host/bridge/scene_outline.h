// What a viewer shows of a scene document beside the model itself: its meshes with
// their materials, the materials with their colours and textures (and which texture
// files are missing), the markers with their positions, and the figures the plug-in's
// import dialog showed of a SOD file.
#pragma once

#include <string>
#include <vector>

#include "formats/scene_format.h"
#include "interface/host_json.h"

namespace host {

// The document's outline: meshes [{name, triangles, material}], materials [{name,
// diffuse, ambient, specular, power, texture, missing}], markers [{kind, name,
// position, emitter, rows}] (positions and rows, the whole transform R0, R1, R2, T, in
// the SOD file's own coordinates), and the totals triangles and vertices. A material's
// texture is missing when it names one that neither the document's images nor the
// texture folder provide.
Json SceneOutline(SceneDocument& document);

// The markers of an outline's list [{kind, name, emitter, rows}] (rows: R0, R1, R2, T,
// each x y z, as the SOD file stores them; "inf", "-inf", "nan" and "-0" as
// text; a number missing reads as 0), by kind.
MarkerLists MarkersOfJson(const Json& list);

// The file names (NAME.tga, ...) of the outline's missing textures, each once.
std::vector<std::string> MissingTextures(const Json& outline);

// The figures of the first import dialog of a run's `ui` record, as it showed them
// when it opened: {version, materials, nodes, meshes, sprites, lods, emitters,
// hardpoints, meshNames}; null when the run showed no import dialog.
Json ImportDialogFigures(const Json& ui);

}  // namespace host
