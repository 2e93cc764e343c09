#include "tests/integration/plugin_loader.h"

#include <dlfcn.h>

#include "common/executable_path.h"
#include "common/plugin_library.h"

namespace feedline::test {

struct LoadedPlugin::Library {
  PluginLibrary plugin;
};

LoadedPlugin::LoadedPlugin(std::string file)
    : file_(std::move(file)), library_(std::make_unique<Library>()) {}

LoadedPlugin::~LoadedPlugin() { Unload(); }

bool LoadedPlugin::Load() {
  error_.clear();
  if (!library_->plugin.Load(file_, error_)) return false;
  init = library_->plugin.init;
  getparam = library_->plugin.getparam;
  fetch = library_->plugin.fetch;
  return true;
}

void LoadedPlugin::Unload() {
  library_->plugin.Unload();
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
  const std::string full = ExecutablePath();
  return full.substr(full.rfind('/') + 1);
}

}  // namespace feedline::test
