// Fills a scene document from a glTF 2.0 file (.gltf with its buffers, or .glb), the
// way the host holds a scene it opened, with the axes of scene_format.h:
// - the default scene (else scene 0; without scenes, every node that is no child) is
//   walked with world transforms; a node reached twice, a missing node, mesh,
//   material, texture, image, accessor, buffer view or buffer, or nesting deeper than
//   kGltfMaxDepth refuse the file;
// - one part and one polygon set per mesh node, named after the node (else its mesh,
//   else "mesh_N"); each triangle, strip and fan primitive adds its vertices (in world
//   space; untouched under an identity transform) and texture coordinates (one shared
//   (0, 0) for primitives without TEXCOORD_0), and its triangles with their corners
//   reversed (once more under a mirroring transform); points and lines are passed over
//   with a warning. Sparse accessors are applied;
// - material 0 is the host's "default" for faces without material; then one material
//   per material name that faces use, in glTF order, from baseColorFactor and the
//   extras sod_ambient, sod_specular, sod_specular_power and sod_diffuse, its map 0 a
//   bitmap <folder>/<texture name>.tga; each image a material uses is kept encoded in
//   document->images under the texture name;
// - markers: mesh-less nodes below a node named hardpoints, emitters or sprites, or
//   whose extras sod_type names their kind, or (when no node is named hardpoints)
//   whose name begins with "hp"; their transform is the node's world transform taken
//   back to the SOD rows (marker_transform.h), or extras sod_rows while the node's
//   world transform is, within 1e-5, the decomposition of those rows that the glTF
//   writer gives such a node (DecomposeMatrix).
// Counts and offsets are checked against the bytes behind them (gltf_accessors.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/scene_format.h"

namespace host {

// The most vertices, and the most faces, a document takes from one file: far more
// than a SOD model holds (65535 vertices per mesh), so that a file that claims or
// instances more cannot exhaust memory.
constexpr size_t kGltfMaxVertices = size_t{1} << 20;
constexpr size_t kGltfMaxFaces = size_t{1} << 20;
constexpr size_t kGltfMaxDepth = 256;

// Fills an empty document from the file at `path`; false with one line, beginning
// with the path, that says why (the document then holds a part of the file). Missing
// or unreadable images are warnings; no exception escapes.
bool ReadGltfScene(const std::u16string& path, SceneDocument* document, std::string* error);

// The same for a file's bytes: `folder` is where external buffers and images are
// looked for and where the texture maps' paths point. The reason does not name a file.
bool ReadGltfSceneFromMemory(const uint8_t* data, size_t size, const std::u16string& folder, SceneDocument* document,
                             std::string* error);

}  // namespace host
