#include <ctime>

#include "plugin/date_time.h"

namespace feedline {

DateTime LocalNow() {
  // Should the system fail to tell the time, the last time it told stands: intervals then wait
  // instead of being judged against a time that is not one.
  static DateTime last = 0;  // one thread calls at a time
  timespec now{};
  tm local{};
  if (clock_gettime(CLOCK_REALTIME, &now) != 0 || localtime_r(&now.tv_sec, &local) == nullptr) {
    return last;
  }
  last = DateTimeFromLocalFields(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                 local.tm_hour, local.tm_min, local.tm_sec,
                                 static_cast<int>(now.tv_nsec / 1000000));
  return last;
}

}  // namespace feedline
