#pragma once

#include <memory>
#include <string>

#include "plugin/exports.h"

namespace feedline::test {

using InitFn = const char* (*)();
using GetParamFn = const char*(FEEDLINE_CALL*)(const char*);
using FetchFn = const char*(FEEDLINE_CALL*)(const char*, const char*, const char*, const char*);

// The plug-in loaded by file name as a host loads it, with its three functions found by name.
class LoadedPlugin {
 public:
  explicit LoadedPlugin(std::string file);
  ~LoadedPlugin();
  LoadedPlugin(const LoadedPlugin&) = delete;
  LoadedPlugin& operator=(const LoadedPlugin&) = delete;

  bool Load();    // false (with Error() set) when the file or a function is missing
  void Unload();  // releases the library; safe to call when not loaded
  bool IsMapped() const;  // whether the process still has the library mapped
  const std::string& Error() const { return error_; }

  InitFn init = nullptr;
  GetParamFn getparam = nullptr;
  FetchFn fetch = nullptr;

 private:
  std::string file_;
  std::string error_;
  struct Library;  // the platform's loaded library
  std::unique_ptr<Library> library_;
};

// The file name (without directory) of this test executable, the expected user agent.
std::string ExecutableFileName();

}  // namespace feedline::test
