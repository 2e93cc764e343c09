#include "host/install_paths.h"

#include <unistd.h>

#include <initializer_list>

#include "common/executable_path.h"

namespace feedline::host {
namespace {

// The directory this program's executable lies in, links resolved.
std::string ExecutableDirectory() {
  const std::string path = ExecutablePath();
  if (path.empty()) return ".";
  return path.substr(0, path.rfind('/'));
}

// The first of the places (relative to the executable's directory) that holds a readable file;
// the first place when none does, so that the error names where it was expected.
std::string FirstExisting(std::initializer_list<const char*> places) {
  const std::string dir = ExecutableDirectory();
  for (const char* place : places) {
    const std::string full = dir + "/" + place;
    if (access(full.c_str(), R_OK) == 0) return full;
  }
  return dir + "/" + *places.begin();
}

}  // namespace

std::string PluginPath() {
  // Installed: bin/ -> lib/feedline/; build tree: host/ -> plugin/.
  return FirstExisting({FEEDLINE_PLUGIN_DIR_FROM_BIN "/feedline.so", "../plugin/feedline.so"});
}

std::string SampleFeedPath() {
  // Installed: bin/ -> share/feedline/examples/; build tree: host/ -> examples/ (a copy).
  return FirstExisting({FEEDLINE_EXAMPLES_DIR_FROM_BIN "/world-news.xml",
                        "../examples/world-news.xml"});
}

}  // namespace feedline::host
