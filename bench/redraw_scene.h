#pragma once
// The synthetic scene of the full-redraw benchmarks: 5000 stations with temperatures,
// dew points, peak winds and weather symbols over the central United States, the real
// symbol bitmaps, and an outline. Every benchmark that paints a full map uses it, so
// their figures compare like with like.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/local_file_system.h"
#include "map/draw_map.h"
#include "map/map_file.h"
#include "map/projected_outline.h"
#include "map/redraw.h"
#include "obs/decoded_observation.h"

namespace norvane::bench {

constexpr int kSceneWidth = 1600;
constexpr int kSceneHeight = 1000;
constexpr int kSceneStations = 5000;

// Holds the inputs and the host of one redraw. The host's placer refers to the
// projection member, so a scene stays where it was made.
// A decoded three-column field, zero-filled ("015").
inline std::string ThreeDigits(unsigned value) {
  const char digits[] = {static_cast<char>('0' + value / 100 % 10), static_cast<char>('0' + value / 10 % 10),
                         static_cast<char>('0' + value % 10)};
  return std::string(digits, 3);
}

struct RedrawScene {
  ObservationStore store;
  SymbolTable symbols;
  RedrawInputs in;
  MapProjection projection;
  std::vector<MapRecord> mapPoints;
  ProjectedOutline outline;
  RedrawHost host;
  RedrawState redraw;

  RedrawScene() {
    store.Clear();
    std::mt19937 random(7);
    const char* weather[] = {"RA", "SN", "TS", "BR", "FG", "DZ", "HZ", "SH"};
    for (int i = 0; i < kSceneStations; ++i) {
      auto& e = store[i];
      e.identifier = 'K' + std::to_string(i);
      e.latitude = static_cast<std::int16_t>(2500 + static_cast<int>(random() % 2500));
      e.longitude = static_cast<std::int16_t>(-12000 + static_cast<int>(random() % 5000));
      std::string d(DecodedTemplate());
      d[0] = static_cast<char>('1' + random() % 3);
      d[static_cast<std::size_t>(WeatherFlagColumn(weather[random() % 8]) - 1)] = '1';
      d.replace(40, 3, ThreeDigits(10 + random() % 20));
      d.replace(43, 3, ThreeDigits(10 + random() % 10));
      d.replace(46, 6, "270015");
      d.replace(60, 3, ThreeDigits(10 + random() % 60));
      e.reports[0] = {1000, e.identifier + " 011200Z ", d};
    }
    store[kSceneStations].identifier = "end";

    LocalFileSystem fs(std::string(NORVANE_SOURCE_DIR) + "/data");
    symbols.Load(fs, "", nullptr);

    in.store = &store;
    in.now = 1000;
    in.nowStamp = "202612070600";
    in.plottedWx = std::string(46, '1');
    in.symbols = &symbols;
    in.plots.temperature = true;  // the value plots are exclusive in the menus, but the
    in.plots.dewPoint = true;     // benchmarks paint both to measure the worst case
    in.plots.winds = true;
    in.plots.weather = true;

    host.updateScale = [this](int w, int h) { return projection.UpdateScale(w, h); };
    host.drawMap = [](Canvas& c) {
      // Stand-in outline: 40000 short segments, about a detailed continent.
      for (int i = 0; i < 40000; ++i) c.Line(i % 1600, (i * 7) % 1000, i % 1600 + 3, (i * 7) % 1000 + 2, 0, 1);
    };
    host.exec = [](const std::string&) {};
    host.place = ProjectionPlacer(projection);
  }
  RedrawScene(const RedrawScene&) = delete;
  RedrawScene& operator=(const RedrawScene&) = delete;

  // Replaces the stand-in with the real world outline (data/world.map) drawn by
  // Draw_Map, projected once as a view change does.
  bool UseWorldOutline() {
    LocalFileSystem fs(std::string(NORVANE_SOURCE_DIR) + "/data");
    mapPoints = LoadMap(fs, "world.map").points;
    if (mapPoints.empty()) return false;
    outline = ProjectMap(projection, mapPoints);
    host.drawMap = [this](Canvas& c) { Draw_Map(c, projection, outline, Rgb(0, 0, 0)); };
    return true;
  }
};

}  // namespace norvane::bench
