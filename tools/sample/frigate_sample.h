// The project's own sample model: a small frigate in SOD 1.8, made here from boxes so
// that the demo and the docs have a file to import that nobody else made. It holds a
// bit of everything the import dialog shows: materials with textures, a null root, a
// LOD node, four meshes (one whose name contains "borg", so it starts unselected),
// hardpoints, an emitter and a sprite.
//
// docs/sample/frigate.sod is this function's output; a test keeps the two equal
// (set KVELTAR_UPDATE_SAMPLE=1 when running it to rewrite the file).
#pragma once

#include <string>

#include "support/sod_builder.h"

namespace sample {

// A box centred at (x, y, z) with half sizes (a, b, c): 8 corners, 12 triangles, the
// texture spread once over each side.
inline sodtest::SodMeshSpec Box(float x, float y, float z, float a, float b, float c, const std::string& material,
                                const std::string& texture) {
  sodtest::SodMeshSpec mesh;
  mesh.texture = texture;
  for (int i = 0; i < 8; ++i) {
    mesh.vertices.push_back({x + ((i & 1) ? a : -a), y + ((i & 2) ? b : -b), z + ((i & 4) ? c : -c)});
  }
  mesh.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  // Each side as its four corners, counter-clockwise seen from outside.
  const uint16_t sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  sodtest::SodGroupSpec group;
  group.material = material;
  for (const auto& side : sides) {
    sodtest::SodFace first, second;
    for (int k = 0; k < 3; ++k) {
      first.v[k] = side[k];
      first.t[k] = static_cast<uint16_t>(k);
      second.v[k] = side[k == 0 ? 0 : k + 1];
      second.t[k] = static_cast<uint16_t>(k == 0 ? 0 : k + 1);
    }
    group.faces.push_back(first);
    group.faces.push_back(second);
  }
  mesh.groups.push_back(group);
  return mesh;
}

inline sodtest::SodNodeSpec MeshNode(const std::string& name, const sodtest::SodMeshSpec& mesh) {
  sodtest::SodNodeSpec node = sodtest::NodeOfKind(1, name, "frigate");
  node.mesh = mesh;
  return node;
}

inline sodtest::SodNodeSpec Marker(uint16_t kind, const std::string& name, float x, float y, float z) {
  sodtest::SodNodeSpec node = sodtest::NodeOfKind(kind, name, "frigate");
  node.transform.t = {x, y, z};
  return node;
}

inline sodtest::SodMaterialSpec Paint(const std::string& name, sodtest::SodVec3 diffuse, float power) {
  sodtest::SodMaterialSpec material = sodtest::Material(name);
  material.ambient = {diffuse.x / 4, diffuse.y / 4, diffuse.z / 4};
  material.diffuse = diffuse;
  material.specular = {0.9f, 0.9f, 0.9f};
  material.power = power;
  return material;
}

inline std::string FrigateSampleSod() {
  sodtest::SodFileSpec file;
  file.versionBits = sodtest::kV18;
  file.materials = {Paint("hull", {0.62f, 0.64f, 0.68f}, 40), Paint("engine", {0.25f, 0.45f, 0.95f}, 90),
                    Paint("plating", {0.35f, 0.38f, 0.33f}, 10)};
  file.nodes.push_back(sodtest::NullNode("frigate"));
  file.nodes.push_back(MeshNode("hull", Box(0, 0, 0, 1.5f, 0.6f, 4, "hull", "frigate_hull")));
  file.nodes.push_back(MeshNode("engine_port", Box(-2.2f, 0, -2.5f, 0.5f, 0.5f, 2, "engine", "frigate_engine")));
  file.nodes.push_back(MeshNode("engine_starboard", Box(2.2f, 0, -2.5f, 0.5f, 0.5f, 2, "engine", "frigate_engine")));
  file.nodes.push_back(MeshNode("borg_plating", Box(0, 0.9f, 1, 1, 0.3f, 2, "plating", "frigate_plating")));
  file.nodes.push_back(sodtest::NodeOfKind(11, "lod0", "frigate"));
  file.nodes.push_back(Marker(0, "hp_phaser_fore", 0, 0.7f, 3.5f));
  file.nodes.push_back(Marker(0, "HP_torpedo", 0, -0.7f, 4.2f));
  file.nodes.push_back(Marker(0, "hp_phaser_aft", 0, 0.7f, -3));
  file.nodes.push_back(sodtest::EmitterNode("engine_glow", "frigate_exhaust", "frigate"));
  file.nodes.back().transform.t = {0, 0, -4.6f};
  file.nodes.push_back(Marker(3, "running_light", 0, 1.3f, 0));
  return sodtest::BuildSod(file);
}

}  // namespace sample
