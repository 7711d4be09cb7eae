#include "downloader/sample_bulletins.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/time_stamp.h"

namespace norvane {

namespace {

constexpr double kPi = 3.14159265358979;

// A small repeatable hash so that a station's odd habits stay the same each hour.
unsigned Hash(const std::string& id, int salt) {
  unsigned h = 2166136261u ^ static_cast<unsigned>(salt);
  for (char c : id) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h;
}

std::string TempGroup(int t, int d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%s%02d/%s%02d", t < 0 ? "M" : "", std::min(std::abs(t), 99), d < 0 ? "M" : "",
                std::min(std::abs(d), 99));
  return buf;
}

// `obsDay` and `obsHour` are the observation time: 53 minutes past the hour before the bulletin's.
std::string Report(const StationPosition& s, int obsDay, int obsHour, double lowLat, double lowLon) {
  const double lat = s.latitude / 100.0, lon = s.longitude / 100.0;
  const double dLon = std::remainder(lon - lowLon, 360.0);
  const double dy = lat - lowLat, dx = dLon * std::cos(lat * kPi / 180);
  const double dist = std::sqrt(dx * dx + dy * dy);  // degrees from the low's centre
  const unsigned h = Hash(s.identifier, 0);
  // Pressure rises away from the centre; winds blow counter-clockwise, turned in a little.
  const double pressure = 1016 - 22 * std::exp(-dist * dist / 120.0);
  const double angle = std::atan2(dy, dx);
  const double windTo = angle + kPi / 2 + 0.35;
  int direction = static_cast<int>(std::lround(std::fmod(270 - windTo * 180 / kPi + 720, 360) / 10) * 10);
  if (direction == 0) direction = 360;
  int speed = static_cast<int>(std::lround(28 * std::exp(-std::pow(dist - 6, 2) / 60.0) + (h % 5)));
  // Warm south-east of the low, cold north-west of it, colder poleward.
  int temp = static_cast<int>(std::lround(31 - 0.7 * std::max(0.0, std::fabs(lat) - 12) + 5 * std::tanh(dx / 10) -
                                          3 * std::tanh(dy / 10)));
  const bool inBand = std::fabs(dy + 0.6 * dx) < 3.5 && dx > -12 && dx < 4;
  int spread = inBand ? 1 + static_cast<int>(h % 2) : 4 + static_cast<int>(h % 9);
  const bool fog = !inBand && dist > 18 && speed < 6 && h % 7 == 0;
  if (fog) spread = 0;
  const int dew = temp - spread;
  std::string weather, sky, visibility = "10SM";
  if (inBand) {
    const bool thunder = dist < 6 && temp > 10 && h % 3 == 0;
    const char* intensity = dist < 4 ? "+" : (dist > 9 ? "-" : "");
    weather = std::string(" ") + intensity + (thunder ? "TSRA" : temp <= 0 ? "SN" : temp <= 2 ? "FZRA" : "RA");
    visibility = dist < 4 ? "1SM" : "4SM";
    sky = thunder ? " BKN025CB OVC050" : " OVC0" + std::to_string(10 + static_cast<int>(h % 15));
  } else if (fog) {
    weather = " FG";
    visibility = "1/4SM";
    sky = " VV002";
  } else {
    sky = dist < 14 ? " BKN0" + std::to_string(30 + static_cast<int>(h % 50)) : (h % 2 ? " FEW250" : " CLR");
  }
  if (speed < 3) direction = 0, speed = 0;
  char wind[32];
  const bool gusty = speed >= 18;
  std::snprintf(wind, sizeof wind, "%03d%02d%sKT", direction, speed, gusty ? ("G" + std::to_string(speed + 10)).c_str() : "");
  char head[64];
  std::snprintf(head, sizeof head, "METAR %s %02d%02d53Z AUTO ", s.identifier.c_str(), obsDay, obsHour);
  const int slp = static_cast<int>(std::lround(pressure * 10)) % 1000;
  const int altimeter = static_cast<int>(std::lround(pressure * 2.953));
  char tail[96];
  std::snprintf(tail, sizeof tail, " A%04d RMK AO2%s SLP%03d T%d%03d%d%03d", altimeter,
                gusty ? (" PK WND " + std::to_string(direction) + std::to_string(speed + 14) + "/25").c_str() : "", slp,
                temp < 0 ? 1 : 0, std::abs(temp) * 10, dew < 0 ? 1 : 0, std::abs(dew) * 10);
  // A few stations leave groups out, as real ones do.
  const bool noTemps = h % 41 == 0, noWind = h % 53 == 0;
  std::string r = head;
  r += noWind ? "/////KT" : wind;
  r += " " + visibility + weather + sky;
  r += noTemps ? "" : " " + TempGroup(temp, dew);
  r += tail;
  return r + "=";
}

}  // namespace

std::string SampleBulletin(const std::vector<StationPosition>& stations, int year, int month, int day, int hour) {
  // The low's track: from the Rockies to the Atlantic over two days, then again.
  const int hoursIntoCycle = ((day * 24 + hour) % 48 + 48) % 48;
  const double lowLat = 36 + 10 * std::sin(hoursIntoCycle * kPi / 48);
  const double lowLon = -110 + 1.1 * hoursIntoCycle;
  // The reports were observed at 53 past the previous hour, which at 00 is the day before.
  const StampFields observed = ReadStamp(StampAddHours(MakeStamp(year, month, day, hour, 53), -1));
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
    out += Report(s, observed.day, observed.hour, lowLat, lowLon) + "\r\n";
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
