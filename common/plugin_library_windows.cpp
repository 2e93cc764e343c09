#include "common/plugin_library.h"

#include <windows.h>

#include "common/system_message_windows.h"

namespace feedline {

bool PluginLibrary::Load(const std::string& path, std::string& error) {
  Unload();
  const HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    error = "cannot load " + path + ": " + ErrorText(GetLastError());
    return false;
  }
  handle_ = module;
  // GetProcAddress yields a generic pointer; the casts give each function its real signature.
  init = reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(module, "init")));
  getparam =
      reinterpret_cast<GetParamFn>(reinterpret_cast<void*>(GetProcAddress(module, "getparam")));
  fetch = reinterpret_cast<FetchFn>(reinterpret_cast<void*>(GetProcAddress(module, "FetchRSS")));
  if (init == nullptr || getparam == nullptr || fetch == nullptr) {
    error = path + " does not offer init, getparam and FetchRSS";
    return false;
  }
  return true;
}

void PluginLibrary::Unload() {
  if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
  init = nullptr;
  getparam = nullptr;
  fetch = nullptr;
}

}  // namespace feedline
