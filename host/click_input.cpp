#include "host/click_input.h"

#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>

namespace feedline::host {

bool ClickInput::Wait(double seconds, const volatile int& stop, const sigset_t& stopSignals,
                      bool watchOutput, const std::function<void(int)>& onButton, int wakeFd) {
  using Clock = std::chrono::steady_clock;
  const auto until = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(seconds));
  // The stop signals are held back from the check of `stop` until ppoll, which lets them in
  // only while it waits: one that comes between the check and the wait ends the wait at once
  // instead of being noticed after it.
  sigset_t outside;
  if (sigprocmask(SIG_BLOCK, &stopSignals, &outside) != 0) return false;
  bool readerGone = false;
  while (!stop) {
    const auto left = until - Clock::now();
    if (left <= Clock::duration::zero()) break;
    const auto whole = std::chrono::duration_cast<std::chrono::seconds>(left);
    const timespec timeout{static_cast<time_t>(whole.count()),
                           static_cast<long>((left - whole) / std::chrono::nanoseconds(1))};
    // Without anything to watch, ppoll serves as an interruptible sleep. Standard output is
    // watched for no event: a pipe whose reader closed reports POLLERR all the same.
    pollfd watched[3];
    nfds_t count = 0;
    if (watchOutput) watched[count++] = {STDOUT_FILENO, 0, 0};
    const nfds_t clicksAt = count;
    if (watching_) watched[count++] = {STDIN_FILENO, POLLIN, 0};
    const nfds_t wakeAt = count;
    if (wakeFd >= 0) watched[count++] = {wakeFd, POLLIN, 0};
    if (ppoll(watched, count, &timeout, &outside) <= 0) continue;
    if (watchOutput && (watched[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
      readerGone = true;
      break;
    }
    if (watching_ && watched[clicksAt].revents != 0) ReadAvailable(onButton);
    if (wakeFd >= 0 && watched[wakeAt].revents != 0) {
      std::uint64_t wakes = 0;
      [[maybe_unused]] const auto got = read(wakeFd, &wakes, sizeof wakes);
      break;
    }
  }
  sigprocmask(SIG_SETMASK, &outside, nullptr);
  return readerGone;
}

void ClickInput::ReadAvailable(const std::function<void(int)>& onButton) {
  char buffer[256];
  const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (n <= 0) {
    watching_ = false;  // end of input or not readable: stop listening, keep running
    return;
  }
  pending_.append(buffer, static_cast<std::size_t>(n));
  for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
    const std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    char* stop = nullptr;
    const long button = std::strtol(line.c_str(), &stop, 10);
    if (stop != line.c_str() && button > 0 && button < 100) onButton(static_cast<int>(button));
  }
  if (pending_.size() > 1024) pending_.clear();  // not click lines: drop them
}

}  // namespace feedline::host
