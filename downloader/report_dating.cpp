#include "downloader/report_dating.h"

#include <cctype>

#include "core/lenient_number.h"

namespace norvane {

namespace {
bool Digits(std::string_view s) {
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}
}  // namespace

std::string DateReport(std::string_view r, const CivilTime& today) {
  if (r.size() < 11) return {};
  const std::string_view dayText = r.substr(5, 2);
  const std::string_view hourMinute = r.substr(7, 4);
  if (!Digits(dayText) || !Digits(hourMinute)) return {};
  const int d = static_cast<int>(LenientNumber(dayText));
  int year = today.year;
  int month = today.month;
  if (today.day - d > 15) {
    if (++month > 12) { month = 1; ++year; }
  } else if (d - today.day > 15) {
    if (--month < 1) { month = 12; --year; }
  }
  // A day, hour or minute that no calendar has would turn into some other time. A day
  // past the end of the month it was moved to (31 November) is kept: the minute count
  // carries it into the next month, as the stamp arithmetic does everywhere else.
  const int hour = (hourMinute[0] - '0') * 10 + (hourMinute[1] - '0');
  const int minute = (hourMinute[2] - '0') * 10 + (hourMinute[3] - '0');
  if (d < 1 || d > 31 || hour > 23 || minute > 59) return {};
  std::string stamp = std::to_string(static_cast<long long>(year) * 10000 + month * 100 + d);
  stamp += hourMinute;
  if (stamp.size() != 12) return {};
  return stamp;
}

}  // namespace norvane
