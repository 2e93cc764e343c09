#pragma once

#include <signal.h>

#include <functional>
#include <string>

namespace feedline::host {

// Clicks that i3blocks sends a persist block on standard input: one line per click holding the
// button number. Reading stops for good at the end of input or on an error, without a busy loop.
class ClickInput {
 public:
  explicit ClickInput(bool watch) : watching_(watch) {}

  // Waits up to `seconds`, or less when `stop` becomes set by one of `stopSignals`, calling `onButton` with
  // each button number that arrives meanwhile. With `watchOutput`, also watches standard output
  // and returns true at once when its reader has gone (a bar that closed the pipe), so that a
  // line that never changes does not keep an orphan running. A `wakeFd` (an eventfd, or -1)
  // that becomes readable ends the wait early, read empty.
  bool Wait(double seconds, const volatile int& stop, const sigset_t& stopSignals,
            bool watchOutput,
            const std::function<void(int)>& onButton, int wakeFd = -1);

 private:
  void ReadAvailable(const std::function<void(int)>& onButton);

  bool watching_;
  std::string pending_;  // a line not yet ended
};

}  // namespace feedline::host
