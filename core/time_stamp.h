#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace norvane {

// A 12-digit UTC time text YYYYMMDDHHMM.
using TimeStamp = std::string;

struct StampFields {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// Fields read by fixed position, each leniently (non-numeric reads 0), held as 16 bits.
StampFields ReadStamp(std::string_view stamp);
TimeStamp MakeStamp(int year, int month, int day, int hour, int minute);

TimeStamp NowStamp(const Clock& clock);
// Minutes since 1998-12-31 00:00 UTC (1999-01-01 00:00 is 1440).
std::int32_t StampToMinutes(std::string_view stamp);
std::int32_t MinutesNow(const Clock& clock);
TimeStamp StampAddHours(std::string_view stamp, int hours);
int DaysInMonth(int month, int year);

}  // namespace norvane
