// The check's findings in the scene and markers that the plug-in built from a SOD file.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>

#include "bridge/mod_check.h"
#include "formats/scene_files.h"
#include "formats/side_text_files.h"
#include "interface/host_layout.h"
#include "interface/host_text.h"

namespace host {

namespace {

const char* const kReservedWords[] = {"damage", "crew", "engines", "life", "sensors", "shields", "target", "borg"};
const char* const kReservedPrefixes[] = {"s_", "c_", "e_", "hp"};

// Whether a triangle has no area: a corner repeated, or its sides (nearly) in line.
bool Degenerate(const Vec3& a, const Vec3& b, const Vec3& c) {
  const double u[3] = {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
  const double v[3] = {double(c.x) - a.x, double(c.y) - a.y, double(c.z) - a.z};
  const double cross[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  const double area = std::sqrt(cross[0] * cross[0] + cross[1] * cross[1] + cross[2] * cross[2]);
  const double sides = std::sqrt((u[0] * u[0] + u[1] * u[1] + u[2] * u[2]) * (v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
  return area <= 1e-6 * sides;  // also when a side has no length
}

bool Finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// What the faces of a scene show, per part and per material.
struct FaceFindings {
  std::vector<int> facesOfMaterial;        // by material index
  std::map<int, int> undefinedFaces;       // by material index (-1: none named), faces
  std::map<int, int> nonFiniteVertices;    // by part, vertices
  std::map<int, int> degenerateTriangles;  // by part
};

FaceFindings ScanFaces(HostScene& scene, int undefinedMaterials) {
  FaceFindings found;
  found.facesOfMaterial.assign(static_cast<size_t>(scene.MaterialCount()), 0);
  std::vector<bool> vertexSeen(static_cast<size_t>(scene.VertexCount()), false);
  for (int s = 0; s < scene.PolygonSetCount(); ++s) {
    for (int f = 0; f < scene.FaceCount(s); ++f) {
      const FaceView face = ReadFace(scene, s, f);
      if (face.materialIndex >= 0 && face.materialIndex < scene.MaterialCount()) {
        ++found.facesOfMaterial[static_cast<size_t>(face.materialIndex)];
      }
      if (face.materialIndex < undefinedMaterials) ++found.undefinedFaces[face.materialIndex];
      bool finite = true;
      for (int32_t index : face.vertices) {
        if (index < 0 || index >= scene.VertexCount()) {
          finite = false;  // the plug-in never builds such a face; nothing to measure
          continue;
        }
        const bool ok = Finite(scene.Vertex(index));
        finite = finite && ok;
        if (!ok && !vertexSeen[static_cast<size_t>(index)]) ++found.nonFiniteVertices[face.partIndex];
        vertexSeen[static_cast<size_t>(index)] = true;
      }
      if (finite && face.vertices.size() == 3 &&
          Degenerate(scene.Vertex(face.vertices[0]), scene.Vertex(face.vertices[1]), scene.Vertex(face.vertices[2]))) {
        ++found.degenerateTriangles[face.partIndex];
      }
    }
  }
  return found;
}

std::string MaterialName(HostScene& scene, int index) {
  return Utf16ToUtf8(layout::WideField(scene.Material(index), layout::kMaterialName));
}

std::string PartName(HostScene& scene, int part) {
  return part >= 0 && part < scene.PartCount() ? JsonQuote(Utf16ToUtf8(scene.PartName(part))) : "no part";
}

void MaterialProblems(HostScene& scene, const FaceFindings& found, int undefinedMaterials,
                      std::vector<Problem>* problems) {
  for (const auto& [material, faces] : found.undefinedFaces) {
    const std::string named = material < 0 ? "no material" : "the material " + JsonQuote(MaterialName(scene, material));
    problems->push_back({ProblemCode::kUndefinedMaterial, std::to_string(faces) + " faces name " + named +
                                                              ", which the file does not define: they get the "
                                                              "default material"});
  }
  for (int m = 0; m < scene.MaterialCount(); ++m) {
    const std::string name = MaterialName(scene, m);
    if (IsReservedMaterialName(name)) {
      problems->push_back({ProblemCode::kReservedMaterialName,
                           "material " + JsonQuote(name) +
                               " is named like a node the game reserves: the export asks before it writes it"});
    }
    if (m >= undefinedMaterials && found.facesOfMaterial[static_cast<size_t>(m)] == 0) {
      problems->push_back({ProblemCode::kUnusedMaterial, "material " + JsonQuote(name) + " is used by no face"});
    }
  }
}

void GeometryProblems(HostScene& scene, const FaceFindings& found, std::vector<Problem>* problems) {
  for (const auto& [part, vertices] : found.nonFiniteVertices) {
    problems->push_back({ProblemCode::kNonFiniteVertex, std::to_string(vertices) + " vertices of the faces of " +
                                                            PartName(scene, part) + " are not finite numbers"});
  }
  for (const auto& [part, triangles] : found.degenerateTriangles) {
    problems->push_back({ProblemCode::kDegenerateTriangle,
                         std::to_string(triangles) + " triangles of " + PartName(scene, part) + " have no area"});
  }
}

// Why a marker's axes are not a rotation, or empty: zero, sheared or mirrored axes.
std::string NotRotation(const float rows[4][3]) {
  double length[3];
  for (int r = 0; r < 3; ++r) {
    length[r] =
        std::sqrt(double(rows[r][0]) * rows[r][0] + double(rows[r][1]) * rows[r][1] + double(rows[r][2]) * rows[r][2]);
    if (!(length[r] > 1e-6)) return "an axis of zero length";
  }
  for (int a = 0; a < 3; ++a) {
    const int b = (a + 1) % 3;
    const double dot =
        double(rows[a][0]) * rows[b][0] + double(rows[a][1]) * rows[b][1] + double(rows[a][2]) * rows[b][2];
    if (std::fabs(dot) > 1e-3 * length[a] * length[b]) return "sheared axes";
  }
  const double det = double(rows[0][0]) * (double(rows[1][1]) * rows[2][2] - double(rows[1][2]) * rows[2][1]) -
                     double(rows[0][1]) * (double(rows[1][0]) * rows[2][2] - double(rows[1][2]) * rows[2][0]) +
                     double(rows[0][2]) * (double(rows[1][0]) * rows[2][1] - double(rows[1][1]) * rows[2][0]);
  return det < 0 ? "mirrored axes" : "";
}

void MarkerProblems(const MarkerLists& markers, std::vector<Problem>* problems) {
  for (MarkerKind kind : kMarkerKinds) {
    std::map<std::string, int> names;
    for (const Marker& marker : MarkersOf(markers, kind)) {
      if (++names[marker.name] == 2) {
        problems->push_back({ProblemCode::kDuplicateMarker, std::string("more than one ") + MarkerTypeName(kind) +
                                                                " is named " + JsonQuote(marker.name) +
                                                                ": the game finds only one of them"});
      }
      const std::string why = NotRotation(marker.rows);
      if (!why.empty()) {
        problems->push_back({ProblemCode::kMarkerNotRotation, std::string(MarkerTypeName(kind)) + " " +
                                                                  JsonQuote(marker.name) + " has " + why +
                                                                  ": its direction is not a rotation"});
      }
    }
  }
}

}  // namespace

bool IsReservedMaterialName(const std::string& name) {
  const std::string lower = LowerAscii(name);
  for (const char* word : kReservedWords) {
    if (lower.find(word) != std::string::npos) return true;
  }
  for (const char* prefix : kReservedPrefixes) {
    if (lower.size() >= 2 && lower.compare(0, 2, prefix) == 0) return true;
  }
  return false;
}

void CheckScene(SceneDocument& document, const DialogFigures& figures, std::vector<Problem>* problems) {
  HostScene& scene = document.scene;
  // The reader puts the materials it made for names the file does not define before
  // the file's own.
  const int undefinedMaterials = std::max(0, scene.MaterialCount() - figures.materials);
  const FaceFindings found = ScanFaces(scene, undefinedMaterials);
  MaterialProblems(scene, found, undefinedMaterials, problems);
  GeometryProblems(scene, found, problems);
  MarkerProblems(document.markers, problems);
}

}  // namespace host
