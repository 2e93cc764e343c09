#pragma once

#include <string>

namespace feedline {

// The plug-in loaded with dlopen, as a display host loads it, and its three functions found by
// name. The host program and the tests load it through this one class.
class PluginLibrary {
 public:
  using InitFn = const char* (*)();
  using GetParamFn = const char* (*)(const char*);
  using FetchFn = const char* (*)(const char*, const char*, const char*, const char*);

  PluginLibrary() = default;
  ~PluginLibrary() { Unload(); }
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the file and finds init, getparam and FetchRSS; false with `error` set otherwise.
  bool Load(const std::string& path, std::string& error);
  // Releases the library; safe to call when nothing is loaded.
  void Unload();

  InitFn init = nullptr;
  GetParamFn getparam = nullptr;
  FetchFn fetch = nullptr;

 private:
  void* handle_ = nullptr;
};

}  // namespace feedline
