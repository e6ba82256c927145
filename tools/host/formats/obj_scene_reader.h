// Fills the reference host's scene from a Wavefront OBJ file and its MTL files, the
// way the modelling host holds a scene it opened:
// - material 0 is the host's default material, "default", which every face without
//   a material uses; its useCount counts those faces (0 when every face has one);
// - then one material per MTL material, in file order, with Ka, Kd (alpha from d),
//   Ks and Ns, its map 0 a bitmap (kind 1) from map_Kd, and the count of its faces;
// - the vertices and texture coordinates as they stand (a corner without one uses an
//   extra (0, 0) coordinate at the end of the table);
// - one named part and one polygon set per OBJ group or object, its faces as polygons
//   of any corner count, untriangulated (the host triangulates on request).
#pragma once

#include <string>

#include "interface/host_scene.h"

namespace host {

// False with a reason when the file cannot be read or names a vertex or texture
// coordinate that it does not have. A missing MTL file only loses the materials.
bool ReadObjScene(const std::u16string& path, HostScene* scene, std::string* error);

}  // namespace host
