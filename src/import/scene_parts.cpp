// The named parts of a build: one per face group of the selected meshes, then one per
// converted marker, all created before the first polygon set.
#include "common/dual_string.h"
#include "import/scene_steps.h"

namespace {

int32_t CreateNamedPart(HostContext* context, const char* text) {
  DualString name;
  DualStringSetNarrow(&name, text);
  return context->services->CreatePart(context, &name, -1) != nullptr ? 1 : 0;
}

}  // namespace

int32_t CreateParts(const ImportedModel& model, HostContext* context) {
  for (int32_t i = 0; model.nodes != nullptr && i < model.nodeCount; ++i) {
    const NodeRecord& node = model.nodes[i];
    if (!IsSelectedMesh(node)) continue;
    for (uint32_t g = 0; g < BuiltGroupCount(node); ++g) {
      // A group without a material name is named after its node.
      const char* groupName = node.groups[g].materialName;
      if (!CreateNamedPart(context, groupName[0] != 0 ? groupName : node.name)) return 0;
    }
  }
  MarkerView views[kMarkerKinds];
  ConvertedMarkers(model, views);
  for (const MarkerView& view : views) {
    for (int32_t m = 0; m < view.count; ++m) {
      if (!CreateNamedPart(context, view.Name(m))) return 0;
    }
  }
  return 1;
}
