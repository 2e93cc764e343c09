#pragma once

#include <signal.h>
#include <unistd.h>

namespace feedline::host {

// Set by SIGTERM (a bar shutting down), SIGINT and SIGHUP.
extern volatile sig_atomic_t g_stop;
// Set while the host is inside a call that may block for long (a download in FetchRSS, a write
// to a full pipe): a stop signal then ends the process at once instead of waiting for it.
extern volatile sig_atomic_t g_busy;

// Installs the handlers: the stop signals end the loop, or the process at once inside a long
// call; ended openers are reaped; SIGPIPE is ignored (a closed reader shows up as EPIPE on a
// write, or as an error on standard output while waiting). Returns the stop signals.
sigset_t HandleSignals();

// Runs `call` with a stop signal ending the process at once, since the call itself cannot be
// interrupted.
template <typename Call>
auto ExitingOnStopSignal(Call call) {
  g_busy = 1;
  if (g_stop) _exit(0);  // a signal that came just before
  auto result = call();
  g_busy = 0;
  return result;
}

}  // namespace feedline::host
