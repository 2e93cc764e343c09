#pragma once

#include <string>

struct FeedlineLineFacts;

namespace feedline {

// The calling convention of getparam and FetchRSS: stdcall in the 32-bit Windows DLL (where
// other conventions exist), the platform's own elsewhere.
#if defined(_WIN32)
#define FEEDLINE_PLUGIN_CALL __stdcall
#else
#define FEEDLINE_PLUGIN_CALL
#endif

// The plug-in loaded as a display host loads it (dlopen, LoadLibrary), and its three functions
// found by name. The host program, the Windows checker and the tests load it through this class.
class PluginLibrary {
 public:
  using InitFn = const char* (*)();
  using GetParamFn = const char*(FEEDLINE_PLUGIN_CALL*)(const char*);
  using FetchFn = const char*(FEEDLINE_PLUGIN_CALL*)(const char*, const char*, const char*,
                                                      const char*);
  using LineFactsFn = const FeedlineLineFacts* (*)();

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
  // The Linux library's facts of its line (see plugin/exports.h); null where the plug-in does
  // not offer them (another build, the Windows DLL).
  LineFactsFn lineFacts = nullptr;

 private:
  void* handle_ = nullptr;
};

}  // namespace feedline
