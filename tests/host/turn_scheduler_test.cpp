// Whose turn it is among several feeds, step by step on an injected clock.
#include <gtest/gtest.h>

#include "host/turn_scheduler.h"

namespace feedline::host {
namespace {

using Clock = TurnScheduler::Clock;
using Passed = std::vector<std::pair<std::size_t, PassReason>>;
constexpr auto I = FeedLine::Item;
constexpr auto W = FeedLine::NotReady;  // waiting for a call
constexpr auto D = FeedLine::NoDocument;
constexpr auto E = FeedLine::EmptyPosition;

// One Decide: at `seconds`, with the feeds in these states, this is decided.
struct Step {
  double seconds;
  std::vector<FeedLine> feeds;
  std::optional<std::size_t> shown;
  bool turnStarts;
  std::vector<std::size_t> advance;
  Passed passed = {};
};

struct Scenario {
  std::string name;
  std::vector<Step> steps;  // turns of 10 s, polls of 1 s
};

class Turns : public testing::TestWithParam<Scenario> {};

TEST_P(Turns, FollowRoundRobin) {
  TurnScheduler scheduler(std::chrono::seconds(10), std::chrono::seconds(1));
  const Clock::time_point start{};
  for (const Step& step : GetParam().steps) {
    const auto now =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(step.seconds));
    const TurnDecision decision = scheduler.Decide(now, step.feeds);
    SCOPED_TRACE(testing::Message() << "at " << step.seconds << " s");
    EXPECT_EQ(decision.shown, step.shown);
    EXPECT_EQ(decision.turnStarts, step.turnStarts);
    EXPECT_EQ(decision.advance, step.advance);
    EXPECT_EQ(decision.passed, step.passed);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Scheduler, Turns,
    testing::Values(
        Scenario{"InTurnEachForOneTurnLength",
                 {{0, {I, I, I}, 0, true, {0}},
                  {9.9, {I, I, I}, 0, false, {}},
                  {10, {I, I, I}, 1, true, {1}},
                  {20, {I, I, I}, 2, true, {2}},
                  {30, {I, I, I}, 0, true, {0}}}},
        // The first turn waits up to 3 s for the feeds before it, then goes on without them.
        Scenario{"FirstTurnWaitsForEarlierFeeds",
                 {{0, {W, W}, std::nullopt, false, {}},
                  {0.5, {W, I}, std::nullopt, false, {}},
                  {1, {I, I}, 0, true, {0}}}},
        Scenario{"FirstTurnGoesOnWithoutASilentFeed",
                 {{0, {W, I}, std::nullopt, false, {}},
                  {3, {W, I}, 1, true, {1}}}},
        Scenario{"NothingToShowAtAll",
                 {{0, {D, D}, std::nullopt, false, {},
                   {{0, PassReason::NoDocument}, {1, PassReason::NoDocument}}}}},
        // A feed that is downloading (or not yet moved on) is passed over without a word.
        Scenario{"BusyFeedIsPassedOver",
                 {{0, {I, I, I}, 0, true, {0}},
                  {10, {I, W, I}, 2, true, {2}},
                  {20, {I, I, I}, 0, true, {0}}}},
        Scenario{"FeedWithoutDocumentIsPassedOverAndSaid",
                 {{0, {I, D, I}, 0, true, {0}},
                  {10, {I, D, I}, 2, true, {2}, {{1, PassReason::NoDocument}}},
                  {20, {I, D, I}, 0, true, {0}}}},
        // Alone with something to show, a feed takes turn after turn; with nothing ready, the
        // line stays as it is and the next call decides again.
        Scenario{"NoOtherFeedReady",
                 {{0, {I, D}, 0, true, {0}},
                  {10, {W, D}, 0, false, {}, {{1, PassReason::NoDocument}}},
                  {10.2, {I, D}, 0, true, {0}, {{1, PassReason::NoDocument}}},
                  {15, {I, D}, 0, false, {}}}},
        // An empty position moves on whenever seen, once per poll at most, turn or not.
        Scenario{"EmptyPositionMovesOnBetweenTurns",
                 {{0, {E, I}, 1, true, {0, 1}, {{0, PassReason::EmptyPosition}}},
                  {0.5, {E, I}, 1, false, {}},
                  {1, {E, I}, 1, false, {0}, {{0, PassReason::EmptyPosition}}},
                  {2, {I, I}, 1, false, {}},
                  {10, {I, I}, 0, true, {0}}}}),
    [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

}  // namespace
}  // namespace feedline::host
