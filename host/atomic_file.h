#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace feedline::host {

// An open directory that the host writes into: every create, rename and open goes relative to
// this handle, so that renaming or replacing the directory's path afterwards changes nothing.
class DirectoryHandle {
 public:
  DirectoryHandle() = default;
  explicit DirectoryHandle(int fd) : fd_(fd) {}
  ~DirectoryHandle();
  DirectoryHandle(DirectoryHandle&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  DirectoryHandle& operator=(DirectoryHandle&& other) noexcept;
  DirectoryHandle(const DirectoryHandle&) = delete;
  DirectoryHandle& operator=(const DirectoryHandle&) = delete;

  int Fd() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Replaces the regular file `name` in `directory` with `content` so that a reader sees either
// the old or the new file whole: written to a new temporary file beside it, then renamed over
// it. A new file gets `newFileMode` less the umask; an existing one keeps its permission bits,
// never its set-user-id, set-group-id or sticky bit. Refuses
// anything but a regular file at `name` (a link, a FIFO, a device). Returns false with `error`
// set (and no temporary file left) when any step fails.
bool ReplaceFileAt(const DirectoryHandle& directory, const std::string& name,
                   std::string_view content, mode_t newFileMode, std::string& error);

// Removes the temporary files ReplaceFileAt made beside `name` in `directory` and left behind
// (its writer was killed mid-write): regular files of this user with the temporary name
// pattern, untouched for over a minute, so that a write going on now keeps its file.
void SweepStaleTemporaries(const DirectoryHandle& directory, const std::string& name);

}  // namespace feedline::host
