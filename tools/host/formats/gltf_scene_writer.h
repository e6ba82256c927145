// Writes a scene document as glTF 2.0, for Blender and every other glTF tool.
//
// - One mesh per host part, named after it, with one primitive per material: the
//   part's distinct corners (host vertex and texture coordinate) as vertices, the
//   positions as the host holds them, each face's corners in reverse order (see
//   scene_format.h), polygons fanned into triangles.
// - One metallic-roughness material per host material: the diffuse colour as base
//   colour; ambient, specular and specular power in `extras` (sod_ambient,
//   sod_specular, sod_specular_power). The texture NAME.tga, looked for in the
//   document's texture folder, becomes a PNG image (embedded in .glb, beside a .gltf);
//   a texture whose file is missing keeps its name in `extras.sod_texture`, with a
//   warning.
// - The markers as nodes named after them under three group nodes "hardpoints",
//   "emitters" and "sprites", each with its transform and `extras.sod_type`
//   ("hardpoint", "emitter", "sprite"); emitters keep their emitter name in
//   `extras.sod_emitter_name`.
#pragma once

#include <string>

#include "formats/scene_format.h"

namespace host {

// `.glb`: one binary file; any other name: JSON with NAME.bin and the PNG images
// beside it. False with a reason; a failed write leaves no half-written file.
bool WriteGltfScene(SceneDocument& document, const std::u16string& path, std::string* error);

}  // namespace host
