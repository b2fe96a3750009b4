// Module entry of eval.dll: the library keeps no per-process state, so it
// accepts every notification and does nothing.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
