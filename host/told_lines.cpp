#include "host/told_lines.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>

#include "plugin/download_outcome.h"

namespace feedline::host {
namespace {

// A line longer than this is passed on cut: a plug-in's own lines are far shorter.
inline constexpr std::size_t kMaxToldLineBytes = 16 * 1024;

}  // namespace

ToldLines::ToldLines() {
  int ends[2];
  if (unshare(CLONE_FILES) != 0 || pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
  if (dup2(ends[1], STDERR_FILENO) < 0) {
    close(ends[0]);
    close(ends[1]);
    return;
  }
  close(ends[1]);
  pipe_ = ends[0];
}

ToldLines::~ToldLines() {
  if (pipe_ >= 0) close(pipe_);
}

std::vector<std::string> ToldLines::Take() {
  std::vector<std::string> lines;
  if (pipe_ < 0) return lines;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(pipe_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    partial_.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = partial_.find('\n')) != std::string::npos;) {
      lines.push_back(partial_.substr(0, std::min(end, kMaxToldLineBytes)));
      partial_.erase(0, end + 1);
    }
    if (partial_.size() > kMaxToldLineBytes) {
      lines.push_back(partial_.substr(0, kMaxToldLineBytes));
      partial_.clear();
    }
  }
  return lines;
}

std::string TaggedToldLine(std::string_view label, std::string_view shownAddress,
                           std::string_view line) {
  constexpr std::string_view kPrefix = "feedline: ";
  if (line.starts_with(kPrefix)) line.remove_prefix(kPrefix.size());
  const std::string rest = EscapeForLine(line);
  if (!label.empty()) return std::string(kPrefix) + EscapeForLine(label) + ": " + rest;
  const std::string address = std::string(shownAddress) + ": ";
  if (rest.starts_with(address)) return std::string(kPrefix) + rest;
  return std::string(kPrefix) + address + rest;
}

}  // namespace feedline::host
