#include "host/state_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "host/display_text.h"

namespace feedline::host {
namespace {

constexpr char kDirectoryName[] = "feedline";

// The XDG state directory ($XDG_STATE_HOME, or ~/.local/state), which, unlike /tmp, no other
// user can create first.
std::optional<std::string> StateHome(std::string& error) {
  const char* stateHome = std::getenv("XDG_STATE_HOME");
  if (stateHome != nullptr && stateHome[0] == '/') return std::string(stateHome);
  const char* home = std::getenv("HOME");
  const passwd* user = getpwuid(getuid());
  if (home == nullptr || home[0] != '/') home = user != nullptr ? user->pw_dir : nullptr;
  if (home == nullptr) {
    error = "neither XDG_RUNTIME_DIR nor a home directory is known";
    return std::nullopt;
  }
  return std::string(home) + "/.local/state";
}

// The directory that holds the private directory: the runtime directory when there is one and
// `preferRuntime`, otherwise the state home; made (mode 0700) where it is missing.
std::optional<std::string> ParentDirectory(bool preferRuntime, std::string& error) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (preferRuntime && runtime != nullptr && runtime[0] == '/') return std::string(runtime);
  const auto parent = StateHome(error);
  if (!parent) return std::nullopt;
  for (std::size_t slash = 1; slash != std::string::npos; slash = parent->find('/', slash + 1)) {
    const std::string ancestor = parent->substr(0, parent->find('/', slash + 1));
    if (mkdir(ancestor.c_str(), 0700) != 0 && errno != EEXIST) {
      error = "cannot make " + ancestor + ": " + std::strerror(errno);
      return std::nullopt;
    }
  }
  return parent;
}

// feedline/ in the parent directory, made if missing and checked on its handle.
std::optional<DirectoryHandle> OpenPrivateDirectory(bool preferRuntime, std::string& error) {
  const auto parentPath = ParentDirectory(preferRuntime, error);
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

// What a state file holds: the host that holds the name, and the link it shows.
struct StateRecord {
  std::optional<HostIdentity> owner;
  std::string link;
};

// The state file `name` in `directory`; nothing when there is none, it is not a regular file
// or it holds no whole record.
std::optional<StateRecord> ReadRecord(int directory, const std::string& name) {
  // Not through a link, never blocking on a FIFO, and only from a regular file.
  const int fd = openat(directory, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    if (fd >= 0) close(fd);
    return std::nullopt;
  }
  // A shown link may be as long as display text makes the first kMaxFeedBytes of one (bytes read
  // as Windows-1252 take up to three each), after an owner line of a few dozen bytes.
  constexpr std::size_t kMaxRecordBytes = 3 * kMaxFeedBytes + 128;
  std::string content;
  char buffer[4096];
  const auto whole = [&] {
    const std::size_t first = content.find('\n');
    return first != std::string::npos && content.find('\n', first + 1) != std::string::npos;
  };
  while (content.size() <= kMaxRecordBytes && !whole()) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  if (!whole()) return std::nullopt;
  const std::size_t first = content.find('\n');
  const std::size_t second = content.find('\n', first + 1);
  return StateRecord{ParseOwnerLine(std::string_view(content).substr(0, first)),
                     content.substr(first + 1, second - first - 1)};
}

// The file that holds the record of `name`: a name of its own kind, so that no record is ever a
// log ("NAME.log") when both share one directory.
std::string RecordFile(const std::string& name) { return name + ".link"; }

// An exclusive lock on a directory, held for as long as it lives. The lock goes with the
// process, so a host that dies holding it blocks no one; one that is stopped (a hidden bar's
// process group) holds it, so it is tried without blocking, for a bounded time, and a stop
// signal ends the wait.
class DirectoryLock {
 public:
  DirectoryLock(int directory, const LockWait& wait) : directory_(directory) {
    const auto deadline = std::chrono::steady_clock::now() + wait.atMost;
    for (;;) {
      if (flock(directory_, LOCK_EX | LOCK_NB) == 0) {
        held_ = true;
        return;
      }
      if (errno != EWOULDBLOCK && errno != EINTR) return;
      if ((wait.stopRequested && wait.stopRequested()) ||
          std::chrono::steady_clock::now() >= deadline) {
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~DirectoryLock() {
    if (held_) flock(directory_, LOCK_UN);
  }
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  bool Held() const { return held_; }

 private:
  int directory_;
  bool held_ = false;
};

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
  return OpenPrivateDirectory(true, error);
}

std::optional<DirectoryHandle> OpenLogDirectory(std::string& error) {
  return OpenPrivateDirectory(false, error);
}

std::string LogDirectoryPath() {
  std::string error;
  const auto home = StateHome(error);
  return (home ? *home : std::string("~/.local/state")) + "/" + kDirectoryName;
}

RecordResult WriteShownLink(const DirectoryHandle& directory, const std::string& name,
                            const HostIdentity& host, const std::string& link, pid_t& newer,
                            std::string& error, const LockWait& wait) {
  const DirectoryLock lock(directory.Fd(), wait);
  if (!lock.Held()) {
    error = "another process holds the lock on the state directory";
    return RecordResult::Locked;
  }
  const auto record = ReadRecord(directory.Fd(), RecordFile(name));
  // IsNewer is false for this host itself.
  if (record && record->owner && IsNewer(*record->owner, host) && IsRunning(*record->owner)) {
    newer = record->owner->pid;
    return RecordResult::NewerHostHolds;
  }
  return ReplaceFileAt(directory, RecordFile(name), OwnerLine(host) + "\n" + link + "\n", 0600,
                       error)
             ? RecordResult::Written
             : RecordResult::Failed;
}

void SweepStaleRecordTemporaries(const DirectoryHandle& directory, const std::string& name) {
  SweepStaleTemporaries(directory, RecordFile(name));
}

std::optional<std::string> ReadShownLink(const std::string& name, std::string& error) {
  const auto directory = OpenStateDirectory(error);
  if (!directory) return std::nullopt;
  const auto record = ReadRecord(directory->Fd(), RecordFile(name));
  if (!record) {
    error = "no link recorded yet for --name " + name + ": is a feedline-host --name " + name +
            " running?";
    return std::nullopt;
  }
  return record->link;
}

}  // namespace feedline::host
