#include "host/stop_signals.h"

#include <errno.h>
#include <sys/wait.h>
#include <unistd.h>

#include <initializer_list>

namespace feedline::host {

volatile sig_atomic_t g_stop = 0;
volatile sig_atomic_t g_busy = 0;

namespace {

void OnStopSignal(int) {
  g_stop = 1;
  if (g_busy) _exit(0);
}

// Openers are never waited for in the loop; each is reaped here when it ends.
void OnChildEnded(int) {
  const int saved = errno;
  while (waitpid(-1, nullptr, WNOHANG) > 0) {
  }
  errno = saved;
}

}  // namespace

sigset_t HandleSignals() {
  struct sigaction stop {};
  stop.sa_handler = OnStopSignal;
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    sigaction(signal, &stop, nullptr);
    sigaddset(&stopSignals, signal);
  }
  struct sigaction child {};
  child.sa_handler = OnChildEnded;
  child.sa_flags = SA_RESTART | SA_NOCLDSTOP;
  sigaction(SIGCHLD, &child, nullptr);
  signal(SIGPIPE, SIG_IGN);
  return stopSignals;
}

}  // namespace feedline::host
