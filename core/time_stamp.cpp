#include "core/time_stamp.h"

#include <cmath>
#include <cstdio>

#include "core/lenient_number.h"

namespace norvane {

namespace {

// One fixed-position field, read leniently and held as 16 bits.
int Field(std::string_view stamp, std::size_t first, std::size_t count) {
  if (first >= stamp.size()) return 0;
  std::string_view part = stamp.substr(first, count);
  if (!part.empty() && part[0] == ' ') return 0;
  double v = LenientNumber(part);
  if (v < -32768 || v > 32767) return 0;
  return static_cast<int>(v);
}

std::string Two(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

}  // namespace

StampFields ReadStamp(std::string_view s) {
  return {Field(s, 0, 4), Field(s, 4, 2), Field(s, 6, 2), Field(s, 8, 2), Field(s, 10, 2)};
}

TimeStamp MakeStamp(int year, int month, int day, int hour, int minute) {
  return std::to_string(year) + Two(month) + Two(day) + Two(hour) + Two(minute);
}

TimeStamp NowStamp(const Clock& clock) {
  CivilTime t = clock.UtcNow();
  return MakeStamp(t.year, t.month, t.day, t.hour, t.minute);
}

std::int32_t StampToMinutes(std::string_view stamp) {
  static constexpr int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const StampFields f = ReadStamp(stamp);
  const double y1 = f.year - 1;
  double days = std::floor(y1 / 4) + 365 * y1 - std::floor(y1 / 100) + std::floor(y1 / 400);
  if (f.month >= 1 && f.month <= 12) days += kDaysBefore[f.month - 1];
  if (f.year % 4 == 0 && f.month > 2) {
    if (f.year % 100 != 0) days += 1;
    if (f.year % 400 == 0) days += 1;
  }
  days += f.day;
  const double minutes = 60.0 * f.hour + 288.0 * (5 * days - 3648770) + f.minute;
  return static_cast<std::int32_t>(RoundHalfEven(minutes));
}

std::int32_t MinutesNow(const Clock& clock) { return StampToMinutes(NowStamp(clock)); }

int DaysInMonth(int month, int year) {
  switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12: return 31;
    case 4: case 6: case 9: case 11: return 30;
    case 2: return (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 29 : 28;
    default: return 0;
  }
}

TimeStamp StampAddHours(std::string_view stamp, int hours) {
  StampFields f = ReadStamp(stamp);
  long hour = static_cast<long>(f.hour) + hours;
  // A month outside 1..12 has no days; stop carrying rather than loop for ever.
  while (hour < 0) {
    hour += 24;
    if (--f.day < 1) {
      if (--f.month < 1) { --f.year; f.month = 12; }
      f.day = DaysInMonth(f.month, f.year);
    }
  }
  while (hour > 23) {
    hour -= 24;
    if (++f.day > DaysInMonth(f.month, f.year)) {
      f.day = 1;
      if (++f.month > 12) { f.month = 1; ++f.year; }
    }
  }
  return MakeStamp(f.year, f.month, f.day, static_cast<int>(hour), f.minute);
}

}  // namespace norvane
