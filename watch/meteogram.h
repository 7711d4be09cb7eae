#pragma once
// A station's meteogram: its reports of the last hours, from the store's slots and the
// station's archive, on one UTC time axis. The model is built from the files and drawn
// through the canvas; a window only shows the picture.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "map/station_model.h"
#include "map/symbol_table.h"
#include "obs/observation_store.h"
#include "platform/canvas.h"
#include "platform/file_system.h"

namespace norvane {

constexpr int kMeteogramDefaultHours = 48;
constexpr int kMeteogramMaxHours = 240;

struct MeteogramReport {
  std::int32_t time = 0;        // absolute minutes
  bool special = false;         // off the station's routine minutes: drawn at its own time
  bool afterGap = true;         // no line joins it to the report before
  StationModelInput values;     // temperature, dew point, pressure, wind, weather, visibility
  std::optional<int> gust;      // knots, when above the wind speed
  std::optional<int> ceiling;   // hundreds of feet
};

struct Meteogram {
  std::string identifier;
  std::string place;            // name and region from "main.stn", when known
  int hours = kMeteogramDefaultHours;
  std::int32_t start = 0, end = 0;  // the axis, absolute minutes
  std::vector<MeteogramReport> reports;  // oldest first
  std::string note;             // why the picture is empty or the hours were changed
};

// Reports further apart than this leave a gap.
constexpr int kMeteogramGapMinutes = 90;

Meteogram BuildMeteogram(const FileSystem& fs, const ObservationStore& store, std::string_view identifier,
                         double hours, std::int32_t now);

// Paints the whole meteogram over the canvas at its present size.
void DrawMeteogram(Canvas& canvas, const Meteogram& meteogram, bool useCelsius, const SymbolTable* symbols);

}  // namespace norvane
