#include "host/state_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "host/display_text.h"

namespace feedline::host {
namespace {

constexpr char kDirectoryName[] = "feedline";

// The directory that holds the state directory, made (mode 0700) where it is missing. The
// runtime directory when there is one; otherwise the XDG state directory in the user's home,
// which, unlike /tmp, no other user can create first.
std::optional<std::string> ParentDirectory(std::string& error) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return std::string(runtime);
  const char* stateHome = std::getenv("XDG_STATE_HOME");
  std::string parent;
  if (stateHome != nullptr && stateHome[0] == '/') {
    parent = stateHome;
  } else {
    const char* home = std::getenv("HOME");
    const passwd* user = getpwuid(getuid());
    if (home == nullptr || home[0] != '/') home = user != nullptr ? user->pw_dir : nullptr;
    if (home == nullptr) {
      error = "neither XDG_RUNTIME_DIR nor a home directory is known";
      return std::nullopt;
    }
    parent = std::string(home) + "/.local/state";
  }
  for (std::size_t slash = 1; slash != std::string::npos; slash = parent.find('/', slash + 1)) {
    const std::string ancestor = parent.substr(0, parent.find('/', slash + 1));
    if (mkdir(ancestor.c_str(), 0700) != 0 && errno != EEXIST) {
      error = "cannot make " + ancestor + ": " + std::strerror(errno);
      return std::nullopt;
    }
  }
  return parent;
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

std::optional<DirectoryHandle> OpenStateDirectory(std::string& error) {
  const auto parentPath = ParentDirectory(error);
  if (!parentPath) return std::nullopt;
  const DirectoryHandle parent(open(parentPath->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  const std::string path = *parentPath + "/" + kDirectoryName;
  if (!parent.IsOpen() ||
      (mkdirat(parent.Fd(), kDirectoryName, 0700) != 0 && errno != EEXIST)) {
    error = "cannot make " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  DirectoryHandle directory(
      openat(parent.Fd(), kDirectoryName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  // Checked on the handle, so what is checked is what is used, whatever the path names later.
  struct stat info {};
  if (!directory.IsOpen() || fstat(directory.Fd(), &info) != 0 || !S_ISDIR(info.st_mode) ||
      info.st_uid != getuid() || (info.st_mode & 0077) != 0) {
    error = path + " is not a private directory of this user";
    return std::nullopt;
  }
  return directory;
}

bool WriteShownLink(const DirectoryHandle& directory, const std::string& name,
                    const std::string& link, std::string& error) {
  return ReplaceFileAt(directory, name, link + "\n", 0600, error);
}

std::optional<std::string> ReadShownLink(const std::string& name, std::string& error) {
  const auto directory = OpenStateDirectory(error);
  if (!directory) return std::nullopt;
  // Not through a link, never blocking on a FIFO, and only from a regular file.
  const int fd =
      openat(directory->Fd(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    if (fd >= 0) close(fd);
    error = "no link recorded yet for --name " + name + ": is a feedline-host --name " + name +
            " running?";
    return std::nullopt;
  }
  // A shown link may be as long as display text makes the first kMaxFeedBytes of one (bytes read
  // as Windows-1252 take up to three each): read to the first line's end, within that bound.
  constexpr std::size_t kMaxLinkBytes = 3 * kMaxFeedBytes + 1;
  std::string content;
  char buffer[4096];
  while (content.size() <= kMaxLinkBytes && content.find('\n') == std::string::npos) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  const std::size_t end = content.find('\n');
  if (end == std::string::npos) {
    error = "no whole link recorded for --name " + name;
    return std::nullopt;
  }
  return content.substr(0, end);
}

}  // namespace feedline::host
