#pragma once
#include <string>

#include "grid/build_grid.h"

namespace norvane::testing {

// Decoded-report columns the grid builder reads, as their texts.
struct DecodedFields {
  std::string ceiling = "999";   // 32-34
  std::string cover = "0";       // 35
  std::string pressure = "00000";  // 36-40
  std::string temperature = "999";  // 41-43
  std::string dewPoint = "999";  // 44-46
  std::string direction = "000";  // 47-49
  std::string speed = "000";     // 50-52
  std::string peak = "999";      // 61-63
};

inline std::string Decoded(const DecodedFields& f) {
  std::string t(63, '0');
  auto put = [&](std::size_t column, const std::string& v) { t.replace(column - 1, v.size(), v); };
  put(32, f.ceiling);
  put(35, f.cover);
  put(36, f.pressure);
  put(41, f.temperature);
  put(44, f.dewPoint);
  put(47, f.direction);
  put(50, f.speed);
  put(61, f.peak);
  return t;
}

inline GridStation Station(std::string id, double lat, double lon, std::int32_t time, const DecodedFields& f) {
  GridStation s;
  s.identifier = std::move(id);
  s.latitude = static_cast<std::int16_t>(lat * 100 + (lat < 0 ? -0.5 : 0.5));
  s.longitude = static_cast<std::int16_t>(lon * 100 + (lon < 0 ? -0.5 : 0.5));
  s.reports[0] = GridReport{time, Decoded(f)};
  return s;
}

}  // namespace norvane::testing
