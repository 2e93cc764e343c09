#include "host/state_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "host/atomic_file.h"

namespace feedline::host {
namespace {

std::string StateDirectory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/feedline";
  return "/tmp/feedline-" + std::to_string(getuid());
}

// Makes the directory if it is missing, and accepts it only as this user's, mode 0700, so that
// no one else can plant a link for --open to start.
bool EnsurePrivateDirectory(const std::string& dir, std::string& error) {
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
    error = "cannot make " + dir + ": " + std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() ||
      (info.st_mode & 0077) != 0) {
    error = dir + " is not a private directory of this user";
    return false;
  }
  return true;
}

}  // namespace

bool IsValidStateName(const std::string& name) {
  if (name.empty() || name[0] == '.' || name.size() > 64) return false;
  for (const char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '.' || c == '_' || c == '-';
    if (!ok) return false;
  }
  return true;
}

std::optional<std::string> StateFilePath(const std::string& name, std::string& error) {
  const std::string dir = StateDirectory();
  if (!EnsurePrivateDirectory(dir, error)) return std::nullopt;
  return dir + "/" + name;
}

bool WriteShownLink(const std::string& path, const std::string& link) {
  return ReplaceFileAtomically(path, link + "\n");
}

std::optional<std::string> ReadShownLink(const std::string& name, std::string& error) {
  const auto path = StateFilePath(name, error);
  if (!path) return std::nullopt;
  std::ifstream in(*path);
  std::string link;
  if (!in || !std::getline(in, link)) {
    error = "no link recorded yet (" + *path + "): is a feedline-host --name " + name +
            " running?";
    return std::nullopt;
  }
  return link;
}

}  // namespace feedline::host
