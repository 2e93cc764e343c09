#include "host/host_identity.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace feedline::host {
namespace {

constexpr char kBoot[] = "0f0e3b6a-8c1d-4d2e-9f3a-5b6c7d8e9f01";

TEST(OwnerLine, ReadsBackWhatItWritesAndNothingElse) {
  const HostIdentity host{4242, 987654, 123456789012345, kBoot};
  EXPECT_EQ(ParseOwnerLine(OwnerLine(host)), host);
  const HostIdentity noBootId{4242, 987654, 123456789012345, ""};
  EXPECT_EQ(ParseOwnerLine(OwnerLine(noBootId)), noBootId);
  const std::string boot = kBoot;
  for (const std::string& line : std::vector<std::string>{
           "", "host", "host 1 2", "host 1 2 3", "host -1 2 3 " + boot,
        "host 0 2 3 " + boot, "host 1 2 3 " + boot + "\r", "host 1 2 3 " + boot + " 5",
        "host 1 2 3 0F0E3B6A-8C1D-4D2E-9F3A-5B6C7D8E9F01", "https://a.example/",
        "host 99999999999 2 3 " + boot}) {
    EXPECT_EQ(ParseOwnerLine(line), std::nullopt) << line;
  }
}

// A record holds a name only for a process of this boot that runs this program.
TEST(HostIdentity, RecordOfAnotherBootOrProgramHoldsNothing) {
  const HostIdentity self = ThisHost();
  ASSERT_TRUE(IsBootId(self.bootId)) << "no boot id here: " << self.bootId;
  HostIdentity otherBoot = self;
  otherBoot.bootId = kBoot;
  EXPECT_FALSE(IsRunning(otherBoot));
  // The parent process (the test runner's shell or ctest): running, of this boot, another program.
  HostIdentity parent = self;
  parent.pid = getppid();
  std::ifstream stat("/proc/" + std::to_string(parent.pid) + "/stat");
  const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  parent.startTicks = StartTicksInStat(text).value_or(0);
  ASSERT_NE(parent.startTicks, 0u);
  EXPECT_FALSE(IsRunning(parent));
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
  const HostIdentity older{200, 1, 1000, kBoot};
  const HostIdentity newer{100, 1, 2000, kBoot};
  const HostIdentity sameInstant{300, 1, 1000, kBoot};
  EXPECT_TRUE(IsNewer(newer, older));
  EXPECT_FALSE(IsNewer(older, newer));
  EXPECT_TRUE(IsNewer(sameInstant, older));
  EXPECT_FALSE(IsNewer(older, sameInstant));
}

}  // namespace
}  // namespace feedline::host
