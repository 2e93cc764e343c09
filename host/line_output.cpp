#include "host/line_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/atomic_file.h"

namespace feedline::host {

WriteResult LineOutput::Write(const std::string& line, std::string& error) {
  const std::string text = line + "\n";
  if (!file_.empty()) {
    if (ReplaceFileAtomically(file_, text)) return WriteResult::Written;
    error = "cannot write " + file_ + ": " + std::strerror(errno);
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
