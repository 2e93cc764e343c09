#include "host/turn_scheduler.h"

#include <algorithm>

namespace feedline::host {

TurnDecision TurnScheduler::Decide(Clock::time_point now, std::span<const FeedLine> feeds) {
  TurnDecision decision;
  decision.shown = current_;
  movedOn_.resize(feeds.size());
  for (std::size_t feed = 0; feed < feeds.size(); ++feed) {
    if (feeds[feed] != FeedLine::EmptyPosition) continue;
    if (movedOn_[feed] && now < *movedOn_[feed] + poll_) continue;
    movedOn_[feed] = now;
    decision.passed.emplace_back(feed, PassReason::EmptyPosition);
    decision.advance.push_back(feed);
  }
  if (current_ && now < turnEnds_) return decision;
  if (!started_) started_ = now;
  const bool someNotReady = std::ranges::find(feeds, FeedLine::NotReady) != feeds.end();
  if (!current_ && someNotReady && now < *started_ + std::min<Clock::duration>(turnLength_, kFirstTurnWait)) {
    return decision;
  }
  // The feeds after the current one in order, the current one last: alone, it takes its own
  // next turn.
  const std::size_t start = current_ ? *current_ + 1 : 0;
  for (std::size_t step = 0; step < feeds.size(); ++step) {
    const std::size_t feed = (start + step) % feeds.size();
    switch (feeds[feed]) {
      case FeedLine::NotReady:
      case FeedLine::EmptyPosition:  // moving on above
        break;
      case FeedLine::NoDocument:
        // Not moved on: when its download succeeds it starts at its first item.
        decision.passed.emplace_back(feed, PassReason::NoDocument);
        break;
      case FeedLine::Item:
        current_ = feed;
        turnEnds_ = now + turnLength_;
        decision.shown = feed;
        decision.turnStarts = true;
        decision.advance.push_back(feed);
        return decision;
    }
  }
  return decision;
}

std::optional<TurnScheduler::Clock::time_point> TurnScheduler::TurnEnds() const {
  if (!current_) return std::nullopt;
  return turnEnds_;
}

}  // namespace feedline::host
