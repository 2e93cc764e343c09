#include "host/link_opener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <strings.h>

extern char** environ;

namespace feedline::host {

bool IsOpenableLink(const std::string& link) {
  return strncasecmp(link.c_str(), "http://", 7) == 0 ||
         strncasecmp(link.c_str(), "https://", 8) == 0;
}

bool OpenLink(const std::string& program, const std::string& link, std::string& error) {
  if (!IsOpenableLink(link)) {
    error = "refusing to open '" + link + "': only http and https links are opened";
    return false;
  }
  std::string programArg = program;
  std::string linkArg = link;
  char* argv[] = {programArg.data(), linkArg.data(), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ);
  if (spawned != 0) {
    error = "cannot start " + program + ": " + std::strerror(spawned);
    return false;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    error = program + " failed to open " + link;
    return false;
  }
  return true;
}

}  // namespace feedline::host
