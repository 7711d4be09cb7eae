#pragma once
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace norvane {

// The 12-character stamp of a cleaned report dated from today's local date: the
// report carries only its day, so a day more than 15 away from today belongs to
// the previous or next month (crossing the year where needed). The day is kept as
// written even where that month is shorter. Empty when the day, hour or minute is
// out of any calendar's range, so the report is dropped.
std::string DateReport(std::string_view cleanedReport, const CivilTime& today);

}  // namespace norvane
