#include "host/link_opener.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <strings.h>

#include <cstring>

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

  // Detached: a session of its own (a bar's signal to our group does not reach it), the
  // standard streams on /dev/null (a browser's chatter must not become the bar's text), and
  // signals as a fresh program expects them, whatever this host ignores or blocks.
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_t streams;
  posix_spawnattr_init(&attributes);
  posix_spawn_file_actions_init(&streams);
  sigset_t all;
  sigset_t none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  posix_spawn_file_actions_addopen(&streams, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&streams, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&streams, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, program.c_str(), &streams, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&streams);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) {
    error = "cannot start " + program + ": " + std::strerror(spawned);
    return false;
  }
  return true;  // never waited for: the host's SIGCHLD handler reaps it
}

}  // namespace feedline::host
