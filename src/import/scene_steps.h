// The steps of one scene build (scene_builder.cpp runs them in order). Every step
// that makes host objects goes through the one shared order: selected mesh nodes in
// node order, then the converted hardpoints, emitters and sprites in array order, so
// that the k-th part, the k-th polygon set and the vertices of one source belong
// together.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/host_records.h"
#include "sod/imported_model.h"

// Vertices of a marker quad.
constexpr int32_t kMarkerCorners = 4;

// What a mesh node brings to the build; arrays the model lacks count as empty, so a
// node can never lead the build outside what it owns.
bool IsSelectedMesh(const NodeRecord& node);
uint32_t BuiltVertexCount(const NodeRecord& node);
uint32_t BuiltGroupCount(const NodeRecord& node);
uint32_t BuiltFaceCount(const FaceGroup& group);

// One kind of marker as the build sees it: its records when the matching
// "Convert To Geometry" option is on, otherwise none.
struct MarkerView {
  int32_t count;
  const MarkerRecord* markers;    // hardpoints or sprites
  const EmitterRecord* emitters;  // or emitters

  const char* Name(int32_t i) const { return markers != nullptr ? markers[i].name : emitters[i].name; }
  const float* Position(int32_t i) const { return markers != nullptr ? markers[i].position : emitters[i].position; }
};

constexpr int kMarkerKinds = 3;

// The converted markers in build order: hardpoints, emitters, sprites.
void ConvertedMarkers(const ImportedModel& model, MarkerView views[kMarkerKinds]);

// Creates every material of the list, from its head, with colours and texture maps
// (the file's directory joined to the texture name). 0 when the host refuses one.
int32_t BuildMaterials(const ImportedModel& model, HostContext* context, const char16_t* directory);

// The number of host vertices the build needs (meshes and marker quads).
int64_t SceneVertexTotal(const ImportedModel& model);

// The host position of a model point: x mirrored, then the quarter turn about X.
void ConvertPosition(const float* modelPoint, float* hostPoint);

// Allocates `total` host vertices and writes every position. 0 when refused.
int32_t WriteSceneVertices(const ImportedModel& model, HostContext* context, int32_t total);

// One named part per face group of the selected meshes, then one per marker.
int32_t CreateParts(const ImportedModel& model, HostContext* context);

// Running values of the face steps: the next part index and the first vertex of the
// current mesh node or marker.
struct FaceCursor {
  int32_t part;
  int32_t vertexBase;
};

// One polygon set of triangles per face group of the selected meshes.
int32_t BuildMeshFaces(const ImportedModel& model, HostContext* context, int32_t total, FaceCursor* cursor);

// One single-quad polygon set per converted marker.
int32_t BuildMarkerFaces(const ImportedModel& model, HostContext* context, FaceCursor* cursor);
