// Load and unload notifications of the DLL. Only memory is touched here: no WinINet and no
// library loading, since the loader lock is held.
#include <windows.h>

#include "plugin/feed_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      feedline::CreateFeedState();
      break;
    case DLL_PROCESS_DETACH:
      feedline::DestroyFeedState();
      break;
    default:  // thread notifications need nothing
      break;
  }
  return TRUE;
}
