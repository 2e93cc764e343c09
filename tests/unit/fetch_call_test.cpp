#include "plugin/fetch_call.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "tests/unit/bytes.h"

namespace feedline {
namespace {

const std::string kFeed =
    "<rss><channel><title>Chan</title><link>c</link>"
    "<item><title>one</title><link>1</link></item>"
    "<item><title>two</title><link>2</link></item>"
    "<item><title>three</title><link>3</link></item>"
    "</channel></rss>";

constexpr DateTime kLoadTime = 46366.5;  // 2026-12-10 12:00 local
constexpr DateTime kHour = 1.0 / 24;

// FetchRSS over a settable clock and a scripted download.
class Rotation : public testing::Test {
 protected:
  Rotation() {
    env_.now = [this] { return now_; };
    env_.download = [this](const char* url, DownloadReport& report) -> std::optional<std::string> {
      urls_.push_back(url);
      if (!serve_) return std::nullopt;
      report.complete = true;
      report.wireBytes = document_.size();
      return document_;
    };
    state_ = MakeLoadedState(+[] { return kLoadTime; });
  }

  std::string Call(const char* count, const char* minutes, const char* seconds,
                   const char* url = "http://feed") {
    return RunFetch(state_, {url, count, minutes, seconds}, env_);
  }

  DateTime now_ = kLoadTime;
  bool serve_ = true;
  std::string document_ = kFeed;
  std::vector<std::string> urls_;
  Environment env_;
  FeedState state_;
};

// A live feed whose size and item count change at every download is told once; a change of kind
// (a failure, another status, no items) is told again.
TEST_F(Rotation, ToldOncePerKindOfOutcome) {
  std::vector<std::string> told;
  env_.tell = [&](std::string_view line) { told.emplace_back(line); };
  const std::string fewer = "<rss><item><title>one</title><link>1</link></item></rss>";
  for (int i = 0; i < 6; ++i) {
    document_ = i % 2 == 0 ? kFeed : fewer;
    Call("3", "0", "0");
  }
  serve_ = false;
  Call("3", "0", "0");
  Call("3", "0", "0");
  serve_ = true;
  document_ = "<html>no items</html>";
  Call("3", "0", "0");
  ASSERT_EQ(told.size(), 3u) << testing::PrintToString(told);
  EXPECT_EQ(told[0], "http://feed: 200 bytes, 3 items");
  EXPECT_EQ(told[1], "http://feed: download failed: download failed");
  EXPECT_EQ(told[2], "http://feed: 21 bytes, no items: no <item> element");
}

TEST_F(Rotation, FirstCallDownloadsAndShowsFirstItem) {
  now_ += 1.0 / 86400;
  EXPECT_EQ(Call("5", "30", "10"), "one%l1");
  EXPECT_EQ(urls_, std::vector<std::string>{"http://feed"});
  EXPECT_FALSE(state_.FirstCall);
  EXPECT_EQ(state_.LastFetchTime, kLoadTime) << "the first-call download does not move it";
  EXPECT_EQ(Call("5", "30", "10"), "one%l1");
  EXPECT_EQ(urls_.size(), 1u);
}

TEST_F(Rotation, ZeroRefreshIntervalDownloadsTwiceOnFirstCallThenOnEveryCall) {
  Call("5", "0", "10");
  EXPECT_EQ(urls_.size(), 2u);
  Call("5", "0", "10");
  EXPECT_EQ(urls_.size(), 3u);
}

TEST_F(Rotation, CountOfThreeWrapsFromTheFirstCall) {
  std::vector<std::string> shown;
  for (int i = 0; i < 5; ++i) shown.push_back(Call("3", "30", "0"));
  EXPECT_EQ(shown, (std::vector<std::string>{"two%l2", "three%l3", "one%l1", "two%l2",
                                             "three%l3"}));
}

TEST_F(Rotation, CountOfOneOrLessAlwaysShowsFirstItem) {
  for (const char* count : {"1", "0", "-5"}) {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Call(count, "30", "0"), "one%l1") << count;
  }
}

TEST_F(Rotation, RefreshIsDueExactlyAtItsLimit) {
  Call("5", "30", "3600");
  const DateTime limit = AddInterval(kLoadTime, 30, kDaysPerMinute);
  now_ = std::nextafter(limit, 0.0);
  Call("5", "30", "3600");
  EXPECT_EQ(urls_.size(), 1u);
  now_ = limit;
  Call("5", "30", "3600");
  EXPECT_EQ(urls_.size(), 2u);
  EXPECT_EQ(state_.LastFetchTime, limit);
}

TEST_F(Rotation, AdvanceIsDueExactlyAtItsLimit) {
  const DateTime limit = AddInterval(kLoadTime, 10, kDaysPerSecond);
  now_ = std::nextafter(limit, 0.0);
  EXPECT_EQ(Call("5", "30", "10"), "one%l1");
  now_ = limit;
  EXPECT_EQ(Call("5", "30", "10"), "two%l2");
  EXPECT_EQ(state_.LastRotateTime, limit);
  EXPECT_EQ(Call("5", "30", "10"), "two%l2") << "advances at most once per interval";
}

TEST_F(Rotation, ClockSetBackDelaysBothByThatHour) {
  now_ = kLoadTime - kHour + 50.0 / 1440;  // an hour back, then 50 minutes on
  EXPECT_EQ(Call("5", "30", "10"), "one%l1");
  EXPECT_EQ(urls_.size(), 1u);
  now_ = kLoadTime + 31.0 / 1440;
  EXPECT_EQ(Call("5", "30", "10"), "two%l2");
  EXPECT_EQ(urls_.size(), 2u);
}

TEST_F(Rotation, ClockSetForwardMakesBothDueAtNextCall) {
  now_ = kLoadTime + kHour;
  EXPECT_EQ(Call("5", "30", "600"), "two%l2");
  EXPECT_EQ(urls_.size(), 2u) << "first-call download plus the refresh";
}

TEST_F(Rotation, EmptyCacheKeepsPreviousLineAndIndexGrowsUnwrapped) {
  serve_ = false;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Call("2", "30", "0"), "");
  EXPECT_EQ(state_.ItemIndex, 5);
  serve_ = true;
  EXPECT_EQ(Call("2", "0", "0"), "one%l1") << "index past count falls back to 1";
}

TEST_F(Rotation, ItemIndexStopsAtLargestValue) {
  serve_ = false;
  state_.ItemIndex = INT_MAX - 1;
  for (int i = 0; i < 3; ++i) Call("5", "30", "0");
  EXPECT_EQ(state_.ItemIndex, INT_MAX);
}

TEST_F(Rotation, MalformedParameterEndsCallKeepingEarlierSteps) {
  // A bad refresh interval on the first call: the download stays done, nothing is shown yet.
  EXPECT_EQ(Call("5", "soon", "0"), "");
  EXPECT_EQ(urls_.size(), 1u);
  EXPECT_EQ(state_.ItemIndex, 1);

  EXPECT_EQ(Call("5", "30", "0"), "two%l2");
  // A bad rotation interval after a due refresh: the refresh happened, the line stays.
  now_ += kHour;
  EXPECT_EQ(Call("5", "30", "1.5"), "two%l2");
  EXPECT_EQ(urls_.size(), 2u);
  EXPECT_EQ(state_.ItemIndex, 2);
  // A bad count: the advance happened, the line stays.
  EXPECT_EQ(Call(nullptr, "30", "0"), "two%l2");
  EXPECT_EQ(state_.ItemIndex, 3);
  EXPECT_EQ(Call("5", "30", "0"), "%l") << "position 4 of a three-item feed";
}

TEST_F(Rotation, NullAddressIsDownloadedAsEmptyText) {
  serve_ = false;
  EXPECT_EQ(Call("5", "30", "10", nullptr), "");
  EXPECT_EQ(urls_, std::vector<std::string>{""});
}

TEST_F(Rotation, ZeroBytesInTitleCutTheReturnedText) {
  document_ = Bytes("<item><title>ab\0cd</title><link>l</link></item>");
  const char* line = RunFetch(state_, {"u", "5", "30", "10"}, env_);
  EXPECT_STREQ(line, "ab");
  EXPECT_EQ(state_.ResultText, Bytes("ab\0cd%ll"));
}

TEST(DateTime, CountsDaysSince18991230) {
  EXPECT_EQ(DateTimeFromLocalFields(1899, 12, 30, 0, 0, 0, 0), 0.0);
  EXPECT_EQ(DateTimeFromLocalFields(1900, 1, 1, 0, 0, 0, 0), 2.0);
  EXPECT_EQ(DateTimeFromLocalFields(2026, 12, 10, 12, 0, 0, 0), 46366.5);
  EXPECT_DOUBLE_EQ(DateTimeFromLocalFields(2026, 12, 10, 0, 0, 1, 500), 46366 + 1.5 / 86400);
}

}  // namespace
}  // namespace feedline
