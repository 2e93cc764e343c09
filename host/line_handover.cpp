#include "host/line_handover.h"

namespace feedline::host {

void LineHandover::AskForPoll() {
  {
    std::lock_guard lock(mutex_);
    pollWanted_ = true;
  }
  requested_.notify_one();
}

void LineHandover::AskForAdvance() {
  {
    std::lock_guard lock(mutex_);
    advanceWanted_ = true;
  }
  requested_.notify_one();
}

void LineHandover::AskToStop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  requested_.notify_one();
}

LineHandover::View LineHandover::Take() {
  std::lock_guard lock(mutex_);
  View view;
  view.answered = answered_;
  view.busy = busy_;
  view.advancePending = advanceWanted_ || busyAdvancing_;
  view.line = last_.line;
  view.facts = last_.facts;
  view.told = std::move(last_.told);
  last_.told.clear();
  return view;
}

std::optional<bool> LineHandover::WaitForRequest() {
  std::unique_lock lock(mutex_);
  requested_.wait(lock, [&] { return stop_ || pollWanted_ || advanceWanted_; });
  if (stop_) return std::nullopt;
  // A move to the next item is a poll as well: both are one call.
  const bool advance = advanceWanted_;
  pollWanted_ = advanceWanted_ = false;
  busy_ = true;
  busyAdvancing_ = advance;
  return advance;
}

void LineHandover::Deliver(FeedCall call) {
  std::lock_guard lock(mutex_);
  busy_ = busyAdvancing_ = false;
  answered_ = true;
  last_.line = std::move(call.line);
  last_.facts = std::move(call.facts);
  // Lines not yet taken are kept, in order.
  for (auto& line : call.told) last_.told.push_back(std::move(line));
}

}  // namespace feedline::host
