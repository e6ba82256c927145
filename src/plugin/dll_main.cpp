// The library's entry point on Windows: per-thread notifications are not wanted, and
// an unload gives back what the C++ runtime linked into the library holds.
#include "platform/win32_api.h"

namespace __gnu_cxx {
// The C++ runtime's release of its own buffers (its emergency exception arena).
void __freeres();
}  // namespace __gnu_cxx

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  // The runtime's arena (some 70 KB) is made at every load and never freed by the
  // runtime itself: without this, a host that unloads and loads the library again
  // loses it each time. At process exit (reserved not null) nothing needs freeing.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
  return TRUE;
}
