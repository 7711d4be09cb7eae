#pragma once
#include <functional>
#include <vector>

#include "contour/contour_trace.h"

namespace norvane::testing {

// A grid of rows x columns points starting at (lat0, lon0) with steps of 1 degree;
// `fill` sets each cell from its row and column.
inline Grid MakeGrid(int rows, int columns, const std::function<void(GridCell&, int, int)>& fill, double lat0 = 0,
                     double lon0 = 0) {
  Grid g;
  g.header = {.EndLongitude = lon0 + columns - 1, .StartLongitude = lon0, .EndLatitude = lat0 + rows - 1,
              .StartLatitude = lat0, .LatitudeStep = 1, .LongitudeStep = 1};
  g.size = *SizeOfGrid(g.header);
  g.cells.resize(static_cast<std::size_t>(rows) * columns);
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < columns; ++j) fill(g.At(i, j), i, j);
  return g;
}

// Window x = longitude, y = latitude, everything visible.
inline std::optional<ScreenPoint> PlainPlace(double lat, double lon) { return ScreenPoint{lon, lat}; }

struct RecordingSink : ContourSink {
  std::vector<ContourPiece> pieces;
  int rows = 0;
  void BeginRow(int) override { ++rows; }
  void Piece(const ContourPiece& p) override { pieces.push_back(p); }
};

}  // namespace norvane::testing
