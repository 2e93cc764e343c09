#include <windows.h>

#include "tests/integration/plugin_loader.h"

#include "common/executable_path.h"

namespace feedline::test {

struct LoadedPlugin::Library {
  HMODULE module = nullptr;
};

LoadedPlugin::LoadedPlugin(std::string file)
    : file_(std::move(file)), library_(std::make_unique<Library>()) {}

LoadedPlugin::~LoadedPlugin() { Unload(); }

bool LoadedPlugin::Load() {
  HMODULE module = LoadLibraryA(file_.c_str());
  library_->module = module;
  if (module == nullptr) {
    error_ = "LoadLibraryA failed with error " + std::to_string(GetLastError());
    return false;
  }
  // GetProcAddress yields a generic pointer; the casts give each function its real signature.
  init = reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(module, "init")));
  getparam =
      reinterpret_cast<GetParamFn>(reinterpret_cast<void*>(GetProcAddress(module, "getparam")));
  fetch = reinterpret_cast<FetchFn>(reinterpret_cast<void*>(GetProcAddress(module, "FetchRSS")));
  if (init == nullptr || getparam == nullptr || fetch == nullptr) error_ = "missing export";
  return error_.empty();
}

void LoadedPlugin::Unload() {
  if (library_->module != nullptr) FreeLibrary(library_->module);
  library_->module = nullptr;
  init = nullptr;
  getparam = nullptr;
  fetch = nullptr;
}

bool LoadedPlugin::IsMapped() const { return GetModuleHandleA(file_.c_str()) != nullptr; }

std::string ExecutableFileName() {
  const std::string full = ExecutablePath();
  return full.substr(full.find_last_of("\\:") + 1);
}

}  // namespace feedline::test
