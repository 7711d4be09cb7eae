#pragma once
#include <cstdint>
#include <string_view>

namespace norvane {

// The time test of the AT command for a 4-character time word and the current minute
// count (minutes since 1998-12-31 00:00 UTC):
//   "XXmm"  every hour at minute mm;
//   "@nnn"  every nnn minutes (a period of 0, a negative or a non-numeric one is
//           never due, rather than dividing by zero);
//   "HHMM"  once a day at that UTC time.
// The caller checks the length of the time word and reports a wrong one.
bool AtConditionHolds(std::string_view when, std::int32_t minutesNow);

}  // namespace norvane
