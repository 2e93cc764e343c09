#include <ctime>

#include "plugin/date_time.h"

namespace feedline {

DateTime LocalNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return DateTimeFromLocalFields(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                 local.tm_hour, local.tm_min, local.tm_sec,
                                 static_cast<int>(now.tv_nsec / 1000000));
}

}  // namespace feedline
