// The system's clock failing: this program defines clock_gettime itself (the executable's
// definition wins over the C library's) and fails the wall clock when asked to.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <time.h>

#include "plugin/date_time.h"

namespace {
bool wallClockFails = false;
}  // namespace

extern "C" int clock_gettime(clockid_t clock, timespec* now) {
  using ClockGettime = int (*)(clockid_t, timespec*);
  static const auto real = reinterpret_cast<ClockGettime>(dlsym(RTLD_NEXT, "clock_gettime"));
  if (clock == CLOCK_REALTIME && wallClockFails) return -1;
  return real(clock, now);
}

namespace feedline {
namespace {

TEST(LocalNow, KeepsTheLastTimeWhenTheClockFails) {
  const DateTime before = LocalNow();
  ASSERT_GT(before, 40000.0);  // after 2009: a real reading
  wallClockFails = true;
  const DateTime during = LocalNow();
  wallClockFails = false;
  EXPECT_EQ(during, before);  // not a time made of an unread clock
  EXPECT_GE(LocalNow(), before);
}

}  // namespace
}  // namespace feedline
