#include "commands/special_download.h"

#include "core/lenient_number.h"
#include "core/time_stamp.h"

namespace norvane {

SpecialDownloadCheck CheckSpecialDownload(const std::string& year, const std::string& month, const std::string& day,
                                          const std::string& hour, std::int32_t minuteClock) {
  using Box = SpecialDownloadCheck::Box;
  auto whole = [](const std::string& t) {
    const double v = LenientNumber(t);
    return v > 1e6 || v < -1e6 ? -1LL : RoundHalfEven(v);
  };
  const long long y = whole(year), m = whole(month), d = whole(day), h = whole(hour);
  SpecialDownloadCheck r;
  if (m < 1 || m > 12) return {false, "", "Invalid month.", Box::Month};
  if (y < 1999 || y > 6000) return {false, "", "Years are from 1999 to 6000.", Box::Year};
  if (h < 0 || h > 23) return {false, "", "Hours are from 00 to 23.", Box::Hour};
  if (d < 1 || d > DaysInMonth(static_cast<int>(m), static_cast<int>(y)))
    return {false, "", "Illegal days for year and month.", Box::Day};
  const std::string stamp = MakeStamp(static_cast<int>(y), static_cast<int>(m), static_cast<int>(d), static_cast<int>(h), 0);
  const std::int32_t minutes = StampToMinutes(stamp);
  if (minutes < minuteClock - 2940) return {false, "", "Cannot retrieve observations over 48 hours old.", Box::Day};
  if (minutes >= minuteClock + 1) return {false, "", "Cannot retrieve observations from the future.", Box::Day};
  r.ok = true;
  r.stamp = stamp.substr(0, 10);
  return r;
}

}  // namespace norvane
