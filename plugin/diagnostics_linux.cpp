// Diagnostic lines on standard error, only when the environment variable FEEDLINE_DEBUG is set to
// something other than "" or "0": a library in someone else's process writes nothing unasked.
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "common/sigpipe_guard.h"
#include "plugin/diagnostics.h"

namespace feedline {

void TellPerson(std::string_view line) {
  const char* asked = std::getenv("FEEDLINE_DEBUG");
  if (asked == nullptr || asked[0] == '\0' || std::string_view(asked) == "0") return;
  const std::string text = "feedline: " + std::string(line) + "\n";
  // Whole lines, so that they are not interleaved with the host's own output; a standard error
  // whose reader is gone must not kill the host with SIGPIPE.
  SigpipeGuard guard;
  for (std::string_view left = text; !left.empty();) {
    const ssize_t written = write(STDERR_FILENO, left.data(), left.size());
    if (written <= 0) return;  // a closed or full standard error loses the line, nothing more
    left.remove_prefix(static_cast<std::size_t>(written));
  }
}

}  // namespace feedline
