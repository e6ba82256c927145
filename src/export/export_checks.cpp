#include "export/export_checks.h"

#include <cstring>

#include "common/dual_string.h"
#include "common/name_compare.h"
#include "common/text_conversion.h"
#include "common/wide_text.h"
#include "export/export_dialog.h"
#include "platform/win32_api.h"
#include "plugin/operations.h"
#include "plugin/plugin_state.h"
#include "resource_ids.h"

namespace {

constexpr int32_t kMaxVertices = 65535;
constexpr int32_t kMaxFaces = 65535;
constexpr size_t kMessageUnits = 512;

const char* const kReservedWords[] = {"damage", "crew", "engines", "life", "sensors", "shields", "target", "borg"};
const char* const kReservedPrefixes[] = {"s_", "c_", "e_", "hp"};

int ShowMessage(const char16_t* text, const char16_t* caption, UINT style) {
  return MessageBoxW(GetFocus(), WinText(text), WinText(caption), style);
}

bool NameIsReserved(const char* name) {
  char lower[kReservedNameBytes];
  NarrowCopy(lower, sizeof lower, name);
  LowerCaseAscii(lower);
  for (const char* word : kReservedWords) {
    if (std::strstr(lower, word) != nullptr) return true;
  }
  if (NarrowLengthBounded(name, 2) < 2) return false;
  const char start[3] = {name[0], name[1], 0};
  for (const char* prefix : kReservedPrefixes) {
    if (CompareTextNoCase(start, prefix) == 0) return true;
  }
  return false;
}

// The face count tested: that of the first polygon set, 0 without one.
int32_t FirstSetFaceCount(const HostContext* context) {
  if (context->polygonSets == nullptr || context->polygonSetCount < 1) return 0;
  return context->polygonSets[0].faceCount;
}

// Step 9: the host's material query, then the reserved-name warning. 1 to go on.
int CheckMaterialNames(HostContext* context) {
  DualString answer;
  DualStringClear(&answer);
  if (context->services->MaterialQuery(context, &answer) == 0) context->services->MaterialQueryFallback(context);
  char name[kReservedNameBytes];
  std::memset(name, 0, sizeof name);
  if (FindReservedMaterialName(name) != 0) return 1;
  char16_t wideName[kReservedNameBytes];
  NarrowToWide(name, wideName, kReservedNameBytes);
  char16_t message[kMessageUnits];
  FormatWide(
      message, kMessageUnits,
      "The following node names are reserved:\n\ns_, c_, e_, hp, damage, crew, engines, life,\nsensors, shields, "
      "target, and borg.\n\nmaterial found: %s\n\nContinue anyway?\n",
      wideName);
  int answerButton = ShowMessage(message, u"Warning", MB_OKCANCEL | MB_ICONINFORMATION);
  return answerButton == IDCANCEL || answerButton == 0 || answerButton == -1 ? 0 : 1;
}

// Steps 5 to 8: the limits, after triangulation. 1 to go on.
int CheckLimits(HostContext* context) {
  int32_t faces = FirstSetFaceCount(context);
  int32_t vertices = context->vertexCount;
  if (context->materials != nullptr) {
    for (int32_t i = 0; i < context->materialCount; ++i) {
      HostMaterial* material = &context->materials[i];
      if (material->methods != nullptr && material->methods->FindMap != nullptr)
        material->methods->FindMap(material, 0);
    }
  }
  char16_t message[kMessageUnits];
  if (vertices > kMaxVertices) {
    FormatWide(message, kMessageUnits,
               "The SOD file format does not support more than\n%d vertices.\n\nvertices found: %d\n", kMaxVertices,
               vertices);
    ShowMessage(message, u"Error", MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  if (faces > kMaxFaces) {
    FormatWide(message, kMessageUnits, "The SOD file format does not support more than\n%d faces.\n\nfaces found: %d\n",
               kMaxFaces, faces);
    ShowMessage(message, u"Error", MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  return 1;
}

}  // namespace

int32_t FindReservedMaterialName(char* out) {
  const HostContext* context = currentContext;
  if (context == nullptr || context->materials == nullptr || context->materialCount < 1) return 1;
  for (int32_t i = 0; i < context->materialCount; ++i) {
    const char* name = context->materials[i].name.narrow;
    if (NameIsReserved(name)) {
      if (out != nullptr) NarrowCopy(out, kReservedNameBytes, name);
      return 0;
    }
  }
  return 1;
}

int32_t PrepareExport(HostContext* context, void* moduleInstance) {
  if (context == nullptr || moduleInstance == nullptr || context->services == nullptr) return 0;
  currentContext = context;  // the name check reads the scene through it
  if (context->polygonSets == nullptr || context->vertices == nullptr) {
    ShowMessage(u"No geometry to export.\t", u"Error", MB_OK | MB_ICONERROR);
    return 2;
  }
  if (context->services->Triangulate(context) == 0) {
    ShowMessage(u"Failed to triangulate geometry.\t", u"Error", MB_OK | MB_ICONERROR);
    return 0;
  }
  context->services->UpdateGeometry(context, 1);
  if (!CheckLimits(context)) return 2;
  if (context->materialCount > 0 && !CheckMaterialNames(context)) return 2;
  HWND owner = static_cast<HWND>(context->services->GetOwnerWindow(context));
  INT_PTR result =
      DialogBoxParamW(static_cast<HINSTANCE>(moduleInstance), MAKEINTRESOURCEW(IDD_EXPORT), owner, ExportDialogProc, 0);
  return result == IDOK ? 1 : 2;
}
