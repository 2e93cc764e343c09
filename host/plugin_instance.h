#pragma once

#include <memory>
#include <string>

#include "common/plugin_library.h"

namespace feedline::host {

// One load of the plug-in with a state of its own. A library keeps one state per load, and the
// dynamic loader hands out the same load for the same file, so every load after the first is of
// a private copy of the file, kept in memory for as long as the load lives.
class PluginInstance {
 public:
  // The file at `path` itself when `first`, otherwise a copy of it; nothing (and `error` set,
  // naming `path`) when it cannot be loaded.
  static std::unique_ptr<PluginInstance> Load(const std::string& path, bool first,
                                              std::string& error);
  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  const feedline::PluginLibrary& Library() const { return library_; }

 private:
  PluginInstance() = default;

  feedline::PluginLibrary library_;
  // The copy's memory file; open while loaded, since the loader knows a load by its path
  // (/proc/self/fd/N) and a number used again would find the old load.
  int copy_ = -1;
};

}  // namespace feedline::host
