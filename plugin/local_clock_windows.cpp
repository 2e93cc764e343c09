#include <windows.h>

#include "plugin/date_time.h"

namespace feedline {

DateTime LocalNow() {
  SYSTEMTIME local{};
  GetLocalTime(&local);
  return DateTimeFromLocalFields(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                                 local.wSecond, local.wMilliseconds);
}

}  // namespace feedline
