#pragma once
// Contour lines through a field: every cell is split into four triangles around
// its centre, and each level that crosses a triangle gives a straight piece. The
// pieces are handed one by one to a sink; nothing is joined into lines.
#include <cstdint>
#include <optional>

#include "contour/contour_field.h"
#include "map/plots.h"

namespace norvane {

// More levels than this in one call is a typing slip, not a chart.
constexpr int kMaxContourLevels = 10000;

// The levels of one call: level k is start + k * interval, rounded to single
// precision, for k = 0 .. count - 1.
struct ContourLevels {
  float start = 0;
  float interval = 0;
  int count = 0;
  float At(int k) const {
    return static_cast<float>(static_cast<double>(start) + static_cast<double>(k) * static_cast<double>(interval));
  }
};

// Nothing when the levels are illegal: an interval running against the direction
// from start to end, an interval of 0 with start and end apart, a number that is
// not finite in single precision, or more than kMaxContourLevels levels. Equal start
// and end give exactly one level whatever the interval.
std::optional<ContourLevels> LevelsOf(double start, double end, double interval);

// Labels replace every n-th outer piece, n from the size of the map picture; 0
// (a picture smaller than 50 units across both sides) means no labels.
int LabelSpacing(int width, int height);

enum class PieceKind {
  Spoke,  // between two spokes of a triangle (drawn once from each spoke)
  Outer,  // ending on the cell's side
  Label,  // an outer piece replaced by its level's value
};

// A piece of level `level` in cell (row, column) (its K1 corner), in window units.
struct ContourPiece {
  PieceKind kind = PieceKind::Spoke;
  int row = 0;
  int column = 0;
  float level = 0;
  ScreenPoint from;
  ScreenPoint to;
};

class ContourSink {
 public:
  virtual ~ContourSink() = default;
  // Before the cells of each row (1 .. rows - 1); a drawing sink lets events run here.
  virtual void BeginRow(int /*row*/) {}
  virtual void Piece(const ContourPiece& piece) = 0;
};

// Walks the cells row by row. A crossing point that `place` hides ends the cell for
// its remaining levels. Levels are visited in their order, but only those strictly
// between the lowest and highest of a cell's corner and centre values.
void TraceContours(const ContourField& field, const ContourLevels& levels, const StationPlacer& place,
                   int labelSpacing, ContourSink& sink);

}  // namespace norvane
