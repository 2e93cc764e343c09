#pragma once

#include <cstdint>

namespace feedline {

// A local wall-clock moment as days since 1899-12-30 00:00; the fraction is the time of day.
using DateTime = double;

// Builds a DateTime from local calendar fields (month 1-12, day 1-31, millisecond 0-999).
DateTime DateTimeFromLocalFields(int year, int month, int day, int hour, int minute, int second,
                                 int millisecond);

// Reads the platform's local wall clock; one implementation per platform.
DateTime LocalNow();

// Adds an interval of `amount` units, each `unitReciprocal` days long, rounded to a double.
inline DateTime AddInterval(DateTime start, std::int32_t amount, double unitReciprocal) {
  return start + static_cast<double>(amount) * unitReciprocal;
}

inline constexpr double kDaysPerMinute = 1.0 / 1440.0;
inline constexpr double kDaysPerSecond = 1.0 / 86400.0;

}  // namespace feedline
