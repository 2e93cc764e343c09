#include "plugin/date_time.h"

#include <chrono>

namespace feedline {

DateTime DateTimeFromLocalFields(int year, int month, int day, int hour, int minute, int second,
                                 int millisecond) {
  using namespace std::chrono;
  constexpr sys_days kEpoch = sys_days{1899y / December / 30};
  const sys_days date = sys_days{std::chrono::year{year} / month / day};
  const double dayCount = static_cast<double>((date - kEpoch).count());
  const double millisOfDay = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond;
  return dayCount + millisOfDay / 86400000.0;
}

}  // namespace feedline
