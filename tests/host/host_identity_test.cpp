#include "host/host_identity.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace feedline::host {
namespace {

TEST(OwnerLine, ReadsBackWhatItWritesAndNothingElse) {
  const HostIdentity host{4242, 987654, 123456789012345};
  EXPECT_EQ(ParseOwnerLine(OwnerLine(host)), host);
  for (const char* line : {"", "host", "host 1 2", "host 1 2 3 4", "host -1 2 3", "host 0 2 3",
                           "host 1 2 3\r", "https://a.example/", "host 99999999999 2 3"}) {
    EXPECT_EQ(ParseOwnerLine(line), std::nullopt) << line;
  }
}

TEST(StartTicksInStat, TheTwentySecondFieldAfterTheName) {
  const std::string fields = " S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 777 19 20";
  const struct {
    std::string stat;
    std::optional<std::uint64_t> ticks;
  } cases[] = {
      {"12 (feedline-host)" + fields, 777},
      // A command name may hold blanks and parentheses of its own.
      {"12 (a) b (c) d)" + fields, 777},
      {"12 (feedline-host) S 1 2", std::nullopt},
      {"no name at all", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(StartTicksInStat(c.stat), c.ticks) << c.stat;
}

TEST(HostIdentity, ThisHostRunsAndANewerOneIsNewer) {
  const HostIdentity self = ThisHost();
  EXPECT_EQ(self.pid, getpid());
  EXPECT_TRUE(IsRunning(self));
  HostIdentity reused = self;  // the same process id with another start time: another process
  reused.startTicks += 1;
  EXPECT_FALSE(IsRunning(reused));
  const HostIdentity older{200, 1, 1000};
  const HostIdentity newer{100, 1, 2000};
  const HostIdentity sameInstant{300, 1, 1000};
  EXPECT_TRUE(IsNewer(newer, older));
  EXPECT_FALSE(IsNewer(older, newer));
  EXPECT_TRUE(IsNewer(sameInstant, older));
  EXPECT_FALSE(IsNewer(older, sameInstant));
}

}  // namespace
}  // namespace feedline::host
