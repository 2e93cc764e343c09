#include "common/plugin_library.h"

#include <dlfcn.h>

namespace feedline {

bool PluginLibrary::Load(const std::string& path, std::string& error) {
  Unload();
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    error = "cannot load " + path + ": " + dlerror();
    return false;
  }
  init = reinterpret_cast<InitFn>(dlsym(handle_, "init"));
  getparam = reinterpret_cast<GetParamFn>(dlsym(handle_, "getparam"));
  fetch = reinterpret_cast<FetchFn>(dlsym(handle_, "FetchRSS"));
  if (init == nullptr || getparam == nullptr || fetch == nullptr) {
    error = path + " does not offer init, getparam and FetchRSS";
    return false;
  }
  lineFacts = reinterpret_cast<LineFactsFn>(dlsym(handle_, "feedline_line_facts"));
  return true;
}

void PluginLibrary::Unload() {
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
  init = nullptr;
  getparam = nullptr;
  fetch = nullptr;
  lineFacts = nullptr;
}

}  // namespace feedline
