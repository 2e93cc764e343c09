#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace feedline::host {

// What a feed has to show when its turn comes, as far as the main loop knows.
enum class FeedLine {
  NotReady,       // its first call, or the move to its next item, has not ended yet
  NoDocument,     // no download has delivered a document (the plug-in returns no text)
  EmptyPosition,  // a document, but its position holds no item (past the feed's last one)
  Item,           // an item to show
};

// Why a feed's turn went to the next feed.
enum class PassReason { NoDocument, EmptyPosition };

struct TurnDecision {
  // The feed whose line is on the bar; nothing while no feed has had anything to show.
  std::optional<std::size_t> shown;
  // Whether `shown`'s turn starts now: its line is taken and shown, and it moves on to its
  // next item (listed in `advance`) ready for its next turn.
  bool turnStarts = false;
  std::vector<std::size_t> advance;  // feeds to move to their next item now
  std::vector<std::pair<std::size_t, PassReason>> passed;  // feeds whose turn went on
};

// Whose turn it is, round robin: each feed's item for one turn length, then the next feed's.
// A feed that is not ready at its turn (downloading) is passed over without a word; one without
// a document is passed over and said. A feed on an empty position (past its last item) moves on
// whenever it is seen there, at most once per poll, so that it has wrapped to its first item by
// its turn. When no feed can take the turn the shown line stays. The first turn waits a moment
// (kFirstTurnWait, or one turn if shorter) for every feed's first call, so that the line starts
// with the first feed rather than with whichever answered first.
class TurnScheduler {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::seconds kFirstTurnWait{3};

  TurnScheduler(Clock::duration turnLength, Clock::duration poll)
      : turnLength_(turnLength), poll_(poll) {}

  TurnDecision Decide(Clock::time_point now, std::span<const FeedLine> feeds);

  // When the shown feed's turn ends; nothing while nothing is shown.
  std::optional<Clock::time_point> TurnEnds() const;

 private:
  Clock::duration turnLength_;
  Clock::duration poll_;
  std::optional<std::size_t> current_;
  std::optional<Clock::time_point> started_;  // the first Decide
  // Each feed's last move off an empty position.
  std::vector<std::optional<Clock::time_point>> movedOn_;
  Clock::time_point turnEnds_{};
};

}  // namespace feedline::host
