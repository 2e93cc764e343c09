#include "host/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace feedline::host {
namespace {

// A temporary name beside `name` that no one can guess ahead, and that fits in a directory
// entry whatever the length of `name` (at most NAME_MAX bytes: the name's start is enough).
std::string TemporaryName(const std::string& name) {
  static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  constexpr std::size_t kNameMax = 255, kAdded = 10;  // ".", ".", 8 random characters
  std::random_device random;
  // Built by appending: GCC 12 warns falsely on literal + temporary string.
  std::string temporary(1, '.');
  temporary.append(name, 0, kNameMax - kAdded);
  temporary += '.';
  for (int i = 0; i < 8; ++i) temporary += kDigits[random() % 36];
  return temporary;
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
  bool ok = !exists || fchmod(fd, existing.st_mode & 07777) == 0;
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

}  // namespace feedline::host
