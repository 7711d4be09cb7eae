#include "script/at_command.h"

#include <cstdio>
#include <string>

#include "core/lenient_number.h"

namespace norvane {

bool AtConditionHolds(std::string_view when, std::int32_t minutesNow) {
  // Minute counts start at a midnight, so the remainders give the time of day and hour.
  const std::int64_t m = minutesNow;
  const std::int64_t minuteOfHour = ((m % 60) + 60) % 60;
  if (when.substr(0, 2) == "XX") {
    const double wanted = LenientNumber(when.substr(2, 2));
    return wanted == static_cast<double>(minuteOfHour);
  }
  if (when.substr(0, 1) == "@") {
    const double period = LenientNumber(when.substr(1, 3));
    if (!(period >= 1) || period > 1e9) return false;
    const std::int64_t n = RoundHalfEven(period);
    if (n <= 0) return false;
    return m % n == 0;
  }
  const std::int64_t minuteOfDay = ((m % 1440) + 1440) % 1440;
  char hhmm[8];
  std::snprintf(hhmm, sizeof hhmm, "%02d%02d", static_cast<int>(minuteOfDay / 60), static_cast<int>(minuteOfDay % 60));
  return when == hhmm;
}

}  // namespace norvane
