#include "host/line_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace feedline::host {

std::optional<LineOutput> LineOutput::Open(const std::string& file, std::string& error) {
  LineOutput output;
  if (file.empty()) return output;
  const std::size_t slash = file.rfind('/');
  const std::string directory =
      slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
  output.name_ = slash == std::string::npos ? file : file.substr(slash + 1);
  output.file_ = file;
  if (output.name_.empty() || output.name_ == "." || output.name_ == "..") {
    error = "--output " + file + " does not name a file";
    return std::nullopt;
  }
  output.directory_ = DirectoryHandle(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!output.directory_.IsOpen()) {
    error = "cannot open the directory of --output " + file + ": " + std::strerror(errno);
    return std::nullopt;
  }
  struct stat existing {};
  if (fstatat(output.directory_.Fd(), output.name_.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!S_ISREG(existing.st_mode)) {
      error = "--output " + file + " is not a regular file; it would be replaced";
      return std::nullopt;
    }
    // Replacing it would make another user's file this user's, with its mode.
    if (existing.st_uid != geteuid()) {
      error = "--output " + file + " belongs to another user (uid " +
              std::to_string(existing.st_uid) + "); it would be replaced";
      return std::nullopt;
    }
  }
  SweepStaleTemporaries(output.directory_, output.name_);
  return output;
}

WriteResult LineOutput::Write(const std::string& line, std::string& error) {
  const std::string text = line + "\n";
  if (!file_.empty()) {
    // A new file is made by the umask, as any program's; an existing one keeps its mode.
    if (ReplaceFileAt(directory_, name_, text, 0666, error)) return WriteResult::Written;
    error = "--output " + file_ + ": " + error;
    return WriteResult::Failed;
  }
  for (std::size_t written = 0; written < text.size();) {
    const ssize_t n = write(STDOUT_FILENO, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EPIPE) return WriteResult::ReaderGone;
    if (n < 0) {
      error = std::string("cannot write the line: ") + std::strerror(errno);
      return WriteResult::Failed;
    }
    written += static_cast<std::size_t>(n);
  }
  return WriteResult::Written;
}

}  // namespace feedline::host
