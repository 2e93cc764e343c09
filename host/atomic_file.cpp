#include "host/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <random>

namespace feedline::host {
namespace {

// A temporary name beside `name` that no one can guess ahead, and that fits in a directory
// entry whatever the length of `name` (at most NAME_MAX bytes: the name's start is enough).
constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kNameMax = 255, kRandom = 8, kAdded = kRandom + 2;  // ".", "." and those

// What every temporary name beside `name` starts with.
std::string TemporaryPrefix(const std::string& name) {
  // Built by appending: GCC 12 warns falsely on literal + temporary string.
  std::string prefix(1, '.');
  prefix.append(name, 0, kNameMax - kAdded);
  prefix += '.';
  return prefix;
}

std::string TemporaryName(const std::string& name) {
  std::random_device random;
  std::string temporary = TemporaryPrefix(name);
  for (std::size_t i = 0; i < kRandom; ++i) temporary += kDigits[random() % 36];
  return temporary;
}

bool IsTemporaryOf(std::string_view entry, const std::string& prefix) {
  if (entry.size() != prefix.size() + kRandom || !entry.starts_with(prefix)) return false;
  return entry.substr(prefix.size()).find_first_not_of(kDigits) == std::string_view::npos;
}

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t n = write(fd, content.data(), content.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

DirectoryHandle::~DirectoryHandle() {
  if (fd_ >= 0) close(fd_);
}

DirectoryHandle& DirectoryHandle::operator=(DirectoryHandle&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

bool ReplaceFileAt(const DirectoryHandle& directory, const std::string& name,
                   std::string_view content, mode_t newFileMode, std::string& error) {
  const int dir = directory.Fd();
  struct stat existing {};
  const bool exists = fstatat(dir, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    error = name + " is not a regular file";
    return false;
  }
  int fd = -1;
  std::string temporary;
  for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
    temporary = TemporaryName(name);
    fd = openat(dir, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                newFileMode);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    error = "cannot create a file beside " + name + ": " + std::strerror(errno);
    return false;
  }
  // The permission bits only: a file this host writes never becomes set-id or sticky.
  bool ok = !exists || fchmod(fd, existing.st_mode & 0777) == 0;
  ok = ok && WriteAll(fd, content);
  int failure = ok ? 0 : errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    failure = errno;
  }
  if (ok && renameat(dir, temporary.c_str(), dir, name.c_str()) != 0) {
    ok = false;
    failure = errno;
  }
  if (!ok) {
    unlinkat(dir, temporary.c_str(), 0);
    error = "cannot write " + name + ": " + std::strerror(failure);
  }
  return ok;
}

void SweepStaleTemporaries(const DirectoryHandle& directory, const std::string& name) {
  constexpr time_t kStaleSeconds = 60;
  const int fd = openat(directory.Fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* listing = fd < 0 ? nullptr : fdopendir(fd);
  if (listing == nullptr) {
    if (fd >= 0) close(fd);
    return;
  }
  const std::string prefix = TemporaryPrefix(name);
  const time_t now = time(nullptr);
  while (const dirent* entry = readdir(listing)) {
    if (!IsTemporaryOf(entry->d_name, prefix)) continue;
    struct stat info {};
    if (fstatat(directory.Fd(), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode) && info.st_uid == geteuid() && now - info.st_mtime > kStaleSeconds) {
      unlinkat(directory.Fd(), entry->d_name, 0);
    }
  }
  closedir(listing);
}

}  // namespace feedline::host
