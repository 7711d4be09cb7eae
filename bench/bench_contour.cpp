// Contouring speed over the largest grid a grid file can hold (181 x 181 points),
// 100 levels into a sink that only counts, through the real map projection.
// Targets: "T" under 20 ms, "MC" (moisture convergence) under 60 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

#include "contour/contour_trace.h"
#include "map/plots.h"

namespace {

struct CountingSink : norvane::ContourSink {
  long long pieces = 0;
  void Piece(const norvane::ContourPiece&) override { ++pieces; }
};

// 181 x 181 points at 0.2 degrees over the middle of the continent, with a smooth
// temperature field, moist air and winds that turn across the box.
norvane::Grid LargestGrid() {
  norvane::Grid g;
  g.header = {.EndLongitude = -97 + 18.1, .StartLongitude = -97 - 18, .EndLatitude = 38 + 18.1,
              .StartLatitude = 38 - 18, .LatitudeStep = 0.2f, .LongitudeStep = 0.2f};
  g.size = *norvane::SizeOfGrid(g.header);
  g.cells.resize(static_cast<std::size_t>(g.size.rows) * g.size.columns);
  for (int i = 0; i < g.size.rows; ++i)
    for (int j = 0; j < g.size.columns; ++j) {
      norvane::GridCell& c = g.At(i, j);
      c.Temperature = 35 - 0.25 * i + 4 * std::sin(j * 0.05) * std::cos(i * 0.03);
      c.DewPoint = c.Temperature - 5 - 3 * std::cos(j * 0.04);
      c.WindSpeed = 12 + 8 * std::sin(i * 0.07 + j * 0.02);
      const double from = 0.02 * (i + j);
      c.DirNorth = std::cos(from);
      c.DirEast = std::sin(from);
    }
  return g;
}

void Contour(benchmark::State& state, norvane::ContourCode code) {
  const norvane::Grid grid = LargestGrid();
  norvane::MapProjection view;
  view.CenterLatitude = 38;
  view.UpdateScale(1200, 900);
  const norvane::StationPlacer place = norvane::ProjectionPlacer(view);
  // 100 levels across the field's range.
  const auto sample = norvane::FieldOf(grid, code);
  float lo = INFINITY, hi = -INFINITY;
  for (float v : sample.values)
    if (!std::isnan(v)) lo = std::min(lo, v), hi = std::max(hi, v);
  const auto levels = norvane::LevelsOf(lo, hi, (hi - lo) / 99.5);
  if (!levels || levels->count != 100) {
    state.SkipWithError("levels");
    return;
  }
  long long pieces = 0;
  for (auto _ : state) {
    CountingSink sink;
    norvane::TraceContours(norvane::FieldOf(grid, code), *levels, place, norvane::LabelSpacing(1200, 900), sink);
    pieces = sink.pieces;
  }
  state.counters["pieces"] = static_cast<double>(pieces);
  state.counters["points"] = static_cast<double>(grid.cells.size());
}

void BM_ContourTemperature(benchmark::State& s) { Contour(s, norvane::ContourCode::Temperature); }
void BM_ContourMoistureConvergence(benchmark::State& s) { Contour(s, norvane::ContourCode::MoistureConvergence); }

BENCHMARK(BM_ContourTemperature)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContourMoistureConvergence)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
