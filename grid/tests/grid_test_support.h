#pragma once
#include <string>
#include <utility>

#include "grid/build_grid.h"

namespace norvane::testing {

// Decoded-report fields the grid builder reads, as their texts; Decoded places
// each at its columns of a 63-column text of zeros.
struct DecodedFields {
  std::string ceiling = "999", cover = "0", pressure = "00000", temperature = "999", dewPoint = "999",
              direction = "000", speed = "000", peak = "999";
};

inline std::string Decoded(const DecodedFields& f) {
  std::string t(63, '0');
  const std::pair<std::size_t, const std::string*> fields[] = {
      {32, &f.ceiling},  {35, &f.cover},     {36, &f.pressure}, {41, &f.temperature},
      {44, &f.dewPoint}, {47, &f.direction}, {50, &f.speed},    {61, &f.peak}};
  for (const auto& [column, text] : fields) t.replace(column - 1, text->size(), *text);
  return t;
}

inline GridStation Station(std::string id, double lat, double lon, std::int32_t time, const DecodedFields& f = {}) {
  auto hundredths = [](double v) { return static_cast<std::int16_t>(v * 100 + (v < 0 ? -0.5 : 0.5)); };
  return {std::move(id), hundredths(lat), hundredths(lon), {GridReport{time, Decoded(f)}}};
}

}  // namespace norvane::testing
