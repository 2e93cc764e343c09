#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "tests/integration/plugin_loader.h"

namespace feedline::test {

bool LoadedPlugin::Load() {
  handle_ = dlopen(file_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    error_ = dlerror();
    return false;
  }
  init = reinterpret_cast<InitFn>(dlsym(handle_, "init"));
  getparam = reinterpret_cast<GetParamFn>(dlsym(handle_, "getparam"));
  fetch = reinterpret_cast<FetchFn>(dlsym(handle_, "FetchRSS"));
  if (init == nullptr || getparam == nullptr || fetch == nullptr) error_ = "missing export";
  return error_.empty();
}

void LoadedPlugin::Unload() {
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
  init = nullptr;
  getparam = nullptr;
  fetch = nullptr;
}

bool LoadedPlugin::IsMapped() const {
  void* probe = dlopen(file_.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (probe != nullptr) dlclose(probe);
  return probe != nullptr;
}

std::string ExecutableFileName() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  const std::string full(path, length > 0 ? static_cast<size_t>(length) : 0);
  return full.substr(full.rfind('/') + 1);
}

}  // namespace feedline::test
