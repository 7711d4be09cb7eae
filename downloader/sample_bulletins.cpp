#include "downloader/sample_bulletins.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/time_stamp.h"
#include "downloader/sample_weather.h"

namespace norvane {

namespace {

// A repeatable hash so that a station's odd habits stay the same each hour.
unsigned Hash(const std::string& id, unsigned salt) {
  unsigned h = 2166136261u ^ salt;
  for (char c : id) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h;
}

// Whole degrees as reports write them: "M" for minus, so -0.3 is "M00".
std::string Whole(int tenths) {
  const int whole = (std::abs(tenths) + 5) / 10;
  char buf[8];
  std::snprintf(buf, sizeof buf, "%s%02d", tenths < 0 ? "M" : "", std::min(whole, 99));
  return buf;
}

std::string VisibilityGroup(double miles) {
  struct Step {
    double upTo;
    const char* text;
  };
  static constexpr Step kSteps[] = {{0.2, "M1/4SM"}, {0.37, "1/4SM"},   {0.62, "1/2SM"},   {0.87, "3/4SM"},
                                    {1.12, "1SM"},   {1.37, "1 1/4SM"}, {1.62, "1 1/2SM"}, {1.87, "1 3/4SM"},
                                    {2.25, "2SM"},   {2.75, "2 1/2SM"}};
  for (const Step& s : kSteps)
    if (miles < s.upTo) return s.text;
  return std::to_string(std::min(static_cast<int>(std::lround(miles)), 10)) + "SM";
}

// Metres as the rest of the world reports them: 50 m steps below 800 m, 100 m steps
// below 5 km, whole kilometres above, and 9999 from 10 km on.
std::string MetresGroup(double miles) {
  const double metres = miles * 1609.344;
  const long steps = metres < 800 ? 50 * std::lround(metres / 50)
                     : metres < 5000 ? 100 * std::lround(metres / 100)
                                     : 1000 * static_cast<long>(metres / 1000);
  const std::string digits = std::to_string(std::clamp(steps, 0L, 9999L));
  return std::string(4 - digits.size(), '0') + digits;
}

// North America and a few neighbours report in inches of mercury and statute miles,
// with the long US remarks; the rest of the world in hectopascals and metres.
bool ReportsInInches(const std::string& id) {
  if (id[0] == 'K' || id[0] == 'C' || id[0] == 'P') return true;
  for (const char* prefix : {"MM", "MY", "MR", "TJ", "TI"})
    if (id.rfind(prefix, 0) == 0) return true;
  return false;
}

std::string Report(const StationPosition& s, const SampleAtmosphere& air, int obsDay, int obsHour) {
  const SampleObservation o = ObserveSample(air, s);
  const unsigned h = Hash(s.identifier, 0);
  const bool inches = ReportsInInches(s.identifier);
  const bool automatic = h % 5 != 0;
  char buf[160];
  std::snprintf(buf, sizeof buf, "METAR %s %02d%02d53Z%s ", s.identifier.c_str(), obsDay, obsHour,
                automatic ? " AUTO" : "");
  std::string r = buf;
  // A few stations leave groups out, as real ones do.
  if (h % 53 == 0) {
    r += "/////KT";
  } else {
    if (o.variableWind)
      std::snprintf(buf, sizeof buf, "VRB%02dKT", o.windSpeed);
    else
      std::snprintf(buf, sizeof buf, "%03d%02d", o.windDirection, o.windSpeed);
    r += buf;
    if (!o.variableWind) r += o.gust ? "G" + std::to_string(o.gust) + "KT" : "KT";
  }
  r += " " + (inches ? VisibilityGroup(o.visibility) : MetresGroup(o.visibility));
  if (!o.weather.empty()) r += " " + o.weather;
  r += " " + o.sky;
  const int t = static_cast<int>(std::lround(o.temperature * 10)), d = static_cast<int>(std::lround(o.dewPoint * 10));
  if (h % 41 != 0) r += " " + Whole(t) + "/" + Whole(d);
  // The sea-level pressure remark goes with the Q group too, so that isobars can be
  // drawn wherever reports give it.
  const int slp = static_cast<int>(std::lround(o.pressure * 10)) % 1000;
  if (!inches) {
    std::snprintf(buf, sizeof buf, " Q%04d RMK SLP%03d", static_cast<int>(std::floor(o.pressure)), slp);
    return r + buf + "=";
  }
  std::snprintf(buf, sizeof buf, " A%04d RMK%s", static_cast<int>(std::lround(o.pressure * 2.953)),
                automatic ? " AO2" : "");
  r += buf;
  if (o.peakWind && automatic && h % 53 != 0) {
    std::snprintf(buf, sizeof buf, " PK WND %03d%02d/%02d", o.windDirection, o.peakWind, static_cast<int>(h % 50));
    r += buf;
  }
  if (o.distantLightning) r += " LTG DSNT";
  std::snprintf(buf, sizeof buf, " SLP%03d", slp);
  r += buf;
  if (o.sixHourPrecipitation >= 0) {
    std::snprintf(buf, sizeof buf, " 6%04d", o.sixHourPrecipitation);
    r += buf;
  }
  if (h % 41 != 0) {
    std::snprintf(buf, sizeof buf, " T%d%03d%d%03d", t < 0, std::abs(t), d < 0, std::abs(d));
    r += buf;
  }
  return r + "=";
}

}  // namespace

std::string SampleBulletin(const std::vector<StationPosition>& stations, int year, int month, int day, int hour) {
  // The reports were observed at 53 past the previous hour, which at 00 is the day before.
  const TimeStamp observedAt = StampAddHours(MakeStamp(year, month, day, hour, 53), -1);
  const StampFields observed = ReadStamp(observedAt);
  const SampleAtmosphere air = AtmosphereAt(StampToMinutes(observedAt) / 60.0);
  std::string out;
  char header[64];
  int inBulletin = 0, bulletin = 0;
  for (const StationPosition& s : stations) {
    if (s.identifier.size() != 4) continue;
    if (inBulletin == 0) {
      std::snprintf(header, sizeof header, "\x01\r\r\n%03d \r\r\nSAUS%02d KWBC %02d%02d00\r\r\n", bulletin % 1000,
                    bulletin % 100, day, hour);
      out += header;
    }
    out += Report(s, air, observed.day, observed.hour) + "\r\n";
    if (++inBulletin == 20) {
      out += "\r\r\n\x03";
      inBulletin = 0;
      ++bulletin;
    }
  }
  if (inBulletin) out += "\r\r\n\x03";
  return out;
}

}  // namespace norvane
