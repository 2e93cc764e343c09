#include "host/plugin_instance.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace feedline::host {
namespace {

#ifndef MFD_EXEC
#define MFD_EXEC 0x0010U  // kernels from 6.3 ask for it where executable memory files are limited
#endif

// A memory file holding the bytes of `path`; -1 with `error` set when it cannot be made.
int CopyIntoMemory(const std::string& path, std::string& error) {
  const int source = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) {
    error = "cannot load " + path + ": " + std::strerror(errno);
    return -1;
  }
  int copy = memfd_create("feedline-plugin", MFD_CLOEXEC | MFD_EXEC);
  if (copy < 0 && errno == EINVAL) copy = memfd_create("feedline-plugin", MFD_CLOEXEC);
  bool copied = copy >= 0;
  char buffer[64 * 1024];
  for (ssize_t got; copied && (got = read(source, buffer, sizeof buffer)) != 0;) {
    if (got < 0 && errno == EINTR) continue;
    copied = got > 0 && write(copy, buffer, static_cast<std::size_t>(got)) == got;
  }
  if (!copied) {
    error = "cannot copy " + path + " for a further feed: " + std::strerror(errno);
    if (copy >= 0) close(copy);
    copy = -1;
  }
  close(source);
  return copy;
}

}  // namespace

std::unique_ptr<PluginInstance> PluginInstance::Load(const std::string& path, bool first,
                                                     std::string& error) {
  std::unique_ptr<PluginInstance> instance(new PluginInstance);
  if (first) {
    if (!instance->library_.Load(path, error)) return nullptr;
    return instance;
  }
  instance->copy_ = CopyIntoMemory(path, error);
  if (instance->copy_ < 0) return nullptr;
  const std::string copyPath = "/proc/self/fd/" + std::to_string(instance->copy_);
  if (!instance->library_.Load(copyPath, error)) {
    // Told as the file the user named, not the copy's path.
    const std::string named = path + " (its copy)";
    for (std::size_t at = 0; (at = error.find(copyPath, at)) != std::string::npos;) {
      error.replace(at, copyPath.size(), named);
      at += named.size();
    }
    return nullptr;
  }
  return instance;
}

PluginInstance::~PluginInstance() {
  library_.Unload();
  if (copy_ >= 0) close(copy_);
}

}  // namespace feedline::host
