#pragma once

#include <string>

namespace feedline::host {

// The plug-in loaded with dlopen, as a display host loads it, and its three functions.
class PluginLibrary {
 public:
  using InitFn = const char* (*)();
  using GetParamFn = const char* (*)(const char*);
  using FetchFn = const char* (*)(const char*, const char*, const char*, const char*);

  PluginLibrary() = default;
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the file and finds init, getparam and FetchRSS; false with `error` set otherwise.
  bool Load(const std::string& path, std::string& error);

  InitFn init = nullptr;
  GetParamFn getparam = nullptr;
  FetchFn fetch = nullptr;

 private:
  void* handle_ = nullptr;
};

}  // namespace feedline::host
