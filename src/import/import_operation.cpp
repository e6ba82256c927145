// The import operation: the import dialog, the chosen side text files, the scene
// build, and the imported model released on every path.
#include "import/import_dialog.h"
#include "import/import_options.h"
#include "import/scene_builder.h"
#include "plugin/operations.h"
#include "resource_ids.h"
#include "sidetext/side_text.h"
#include "sod/imported_model.h"

namespace {

constexpr INT_PTR kDialogImport = 1;

HWND OwnerWindowOf(HostContext* context) {
  HostServices* services = context->services;
  if (services == nullptr || services->GetOwnerWindow == nullptr) return nullptr;
  return static_cast<HWND>(services->GetOwnerWindow(context));
}

}  // namespace

int32_t RunImport(HostContext* context, void* moduleInstance) {
  if (context == nullptr || moduleInstance == nullptr) return 0;
  HWND owner = OwnerWindowOf(context);
  INT_PTR answer =
      DialogBoxParamW(static_cast<HINSTANCE>(moduleInstance), MAKEINTRESOURCEW(IDD_IMPORT), owner, ImportDialogProc, 0);
  if (answer != kDialogImport) {
    // Cancelled, closed, or the dialog could not be shown.
    FreeImportedModel(&importedModel);
    return 2;
  }
  // The extractors sort the model's marker lists, so the build meets them sorted.
  if (importOptions.extractHardpoints == 1) ExtractHardpoints(&importedModel, context);
  if (importOptions.extractEmitters == 1) ExtractEmitters(&importedModel, context);
  if (importOptions.extractSprites == 1) ExtractSprites(&importedModel, context);
  int32_t built = BuildScene(&importedModel, context);
  FreeImportedModel(&importedModel);
  return built == 1 ? 1 : 0;
}
