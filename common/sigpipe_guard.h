#pragma once

#include <pthread.h>
#include <signal.h>

#include <ctime>

namespace feedline {

// Keeps a SIGPIPE raised while it lives (by the TLS library on a closed connection, or by a write
// to a closed standard error) away from the host: blocked, consumed if it arrived, and the
// caller's mask restored.
class SigpipeGuard {
 public:
  SigpipeGuard() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &saved_);
  }
  ~SigpipeGuard() {
    sigset_t pending;
    sigpending(&pending);
    if (!wasPending_ && sigismember(&pending, SIGPIPE) == 1) {
      const timespec noWait{0, 0};
      sigtimedwait(&pipe_, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
  }
  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;

 private:
  sigset_t pipe_{};
  sigset_t saved_{};
  bool wasPending_ = false;
};

}  // namespace feedline
