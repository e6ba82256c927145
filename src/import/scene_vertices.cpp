// The one host vertex array of a build: mesh vertices, then marker quads.
#include <cstdint>
#include <cstring>

#include "common/transform.h"
#include "import/scene_steps.h"

namespace {

// The single-precision value nearest to pi/2.
constexpr uint32_t kQuarterTurnBits = 0x3FC90FDB;
constexpr float kMarkerHalfSize = 0.5f;

// The quarter turn about X, made once: its cosine and sine are the same for every
// position of every build.
const Matrix4& QuarterTurn() {
  static const Matrix4 rotation = [] {
    float angle;
    std::memcpy(&angle, &kQuarterTurnBits, sizeof angle);
    Matrix4 m;
    MakeRotationX(&m, angle);
    return m;
  }();
  return rotation;
}

void PutPosition(HostVertex* vertex, float x, float y, float z) {
  vertex->position[0] = x;
  vertex->position[1] = y;
  vertex->position[2] = z;
}

// Four corners around the converted position, in the plane of constant z.
void PutMarkerQuad(HostVertex* vertices, const float* modelPosition) {
  float p[3];
  ConvertPosition(modelPosition, p);
  PutPosition(&vertices[0], p[0] - kMarkerHalfSize, p[1] + kMarkerHalfSize, p[2]);
  PutPosition(&vertices[1], p[0] - kMarkerHalfSize, p[1] - kMarkerHalfSize, p[2]);
  PutPosition(&vertices[2], p[0] + kMarkerHalfSize, p[1] - kMarkerHalfSize, p[2]);
  PutPosition(&vertices[3], p[0] + kMarkerHalfSize, p[1] + kMarkerHalfSize, p[2]);
}

}  // namespace

void ConvertPosition(const float* modelPoint, float* hostPoint) {
  const float mirrored[3] = {-modelPoint[0], modelPoint[2], -modelPoint[1]};
  TransformPoint(hostPoint, mirrored, &QuarterTurn());
}

int32_t WriteSceneVertices(const ImportedModel& model, HostContext* context, int32_t total) {
  if (!context->services->AllocateVertices(context, total)) return 0;
  HostVertex* vertices = context->vertices;
  if (vertices == nullptr || context->vertexCount < total) return 0;
  int32_t next = 0;
  for (int32_t i = 0; model.nodes != nullptr && i < model.nodeCount; ++i) {
    const NodeRecord& node = model.nodes[i];
    if (!IsSelectedMesh(node)) continue;
    for (uint32_t v = 0; v < BuiltVertexCount(node); ++v) {
      ConvertPosition(node.worldVertices + 3 * static_cast<size_t>(v), vertices[next++].position);
    }
  }
  MarkerView views[kMarkerKinds];
  ConvertedMarkers(model, views);
  for (const MarkerView& view : views) {
    for (int32_t m = 0; m < view.count; ++m) {
      PutMarkerQuad(&vertices[next], view.Position(m));
      next += kMarkerCorners;
    }
  }
  return 1;
}
