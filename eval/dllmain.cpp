// Module entry of eval.dll: records the module handle, accepts every
// notification.
#include <windows.h>

namespace {
HINSTANCE module_handle = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) module_handle = instance;
  return TRUE;
}
