// What the reference host makes of a built scene: a JSON dump of everything in it
// (for tests and tools) and a Wavefront OBJ file with its MTL material library (to
// look at an imported model in any viewer).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "interface/host_json.h"
#include "interface/host_scene.h"

namespace host {

// One face of a polygon set as the host holds it.
struct FaceView {
  int materialIndex = -1;
  int partIndex = 0;
  std::vector<int32_t> vertices;
  std::vector<std::pair<float, float>> texCoords;  // the per-corner (u, v) records
};

FaceView ReadFace(HostScene& scene, int polygonSet, int face);

// The whole scene as one JSON object: materials (names, colours, maps), vertices,
// parts, polygon sets with faces and corners, and whether the build was finished.
Json SceneJson(HostScene& scene);

// Writes the scene as OBJ at `objPath` and its materials as an MTL file beside it
// (the same name with the extension .mtl): parts become groups, each material keeps
// its colours and its main texture as the diffuse map, named where it is (in
// `textureFolder` when one is given), relative to the OBJ file when it lies in its
// folder or below. A texture that does not exist adds a warning. false with a reason.
bool WriteSceneObj(HostScene& scene, const std::u16string& objPath, std::string* error,
                   const std::u16string& textureFolder = u"", std::vector<std::string>* warnings = nullptr);

// The MTL path that belongs to an OBJ path.
std::u16string MaterialLibraryPath(const std::u16string& objPath);

}  // namespace host
