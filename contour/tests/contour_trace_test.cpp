#include "contour/contour_trace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <set>

#include "contour/tests/contour_test_support.h"

namespace norvane {
namespace {

using testing::MakeGrid;
using testing::PlainPlace;
using testing::RecordingSink;

constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<float> LevelValues(const std::optional<ContourLevels>& levels) {
  std::vector<float> out;
  for (int k = 0; levels && k < levels->count; ++k) out.push_back(levels->At(k));
  return out;
}

TEST(ContourLevels, CountedOnceFromStartEndAndInterval) {
  struct Case { double start, end, interval; std::vector<float> want; };  // empty: refused
  const Case cases[] = {
      {10, 10, 0, {10}}, {10, 10, -3, {10}},
      {1000000, 1000000, 0, {1000000}},  // 0.01 added in single precision would never move on
      {30, 0, -5, {30, 25, 20, 15, 10, 5, 0}}, {0, 30, 4, {0, 4, 8, 12, 16, 20, 24, 28}},
      {-1, 1.5, 0.5, {-1, -0.5, 0, 0.5, 1, 1.5}}, {0, 30, -5, {}}, {0, 10, 0, {}}, {0, 1000000000, 1, {}},
      {kInf, 10, 1, {}}, {0, std::nan(""), 1, {}}, {0, 1e39, 1e38, {}},  // beyond single precision
  };
  for (const Case& c : cases)
    EXPECT_EQ(LevelValues(LevelsOf(c.start, c.end, c.interval)), c.want) << c.start << c.end << c.interval;
  // The rounding of single precision must not lose the last level.
  EXPECT_EQ(LevelValues(LevelsOf(0, 1, 0.1)).back(), 1.0f);
  EXPECT_EQ(LevelValues(LevelsOf(0, 999, 0.1)).size(), 9991u);
}

TEST(ContourTrace, PiecesLieOnTheLevelsOfALinearField) {
  struct Case { double a, b, start, end, interval; };  // value = a * row + b * column
  const Case cases[] = {{1, 0, 0.25, 4.75, 0.5}, {0, 1, 4.85, 0.1, -0.3}, {2, 3, 1.35, 20, 1.1}};
  for (const Case& c : cases) {
    const double lat0 = 40, lon0 = -100;
    const Grid g = MakeGrid(
        6, 6, [&](GridCell& cell, int i, int j) { cell.Temperature = c.a * i + c.b * j; }, lat0, lon0);
    RecordingSink sink;
    const auto levels = LevelValues(LevelsOf(c.start, c.end, c.interval));
    TraceContours(FieldOf(g, ContourCode::Temperature), *LevelsOf(c.start, c.end, c.interval), PlainPlace, 0, sink);
    EXPECT_EQ(sink.rows, 5) << c.a;
    std::set<std::tuple<int, int, float>> drawn;  // cell and level
    for (const ContourPiece& p : sink.pieces) {
      for (const ScreenPoint& end : {p.from, p.to})
        EXPECT_NEAR(c.a * (end.y - lat0) + c.b * (end.x - lon0), p.level, 1e-5) << c.a;
      drawn.insert({p.row, p.column, p.level});
    }
    // Every level strictly inside a cell's range is drawn in that cell, and no other.
    for (int i = 1; i < 6; ++i)
      for (int j = 1; j < 6; ++j)
        for (float level : levels) {
          const bool inside = level > c.a * (i - 1) + c.b * (j - 1) && level < c.a * i + c.b * j;
          EXPECT_EQ(drawn.count({i, j, level}), inside ? 1u : 0u) << c.a << " " << level << " " << i << "," << j;
        }
  }
}

TEST(ContourTrace, EveryNthOuterPieceIsALabelStartingWithTheFirst) {
  const Grid g = MakeGrid(8, 8, [](GridCell& cell, int i, int j) { cell.Pressure = 1000 + i * 1.3 + j * 0.7; });
  for (int spacing : {0, 1, 16}) {
    RecordingSink sink;
    TraceContours(FieldOf(g, ContourCode::Pressure), *LevelsOf(1000, 1020, 1), PlainPlace, spacing, sink);
    int outer = 0;
    for (const ContourPiece& p : sink.pieces) {
      if (p.kind == PieceKind::Spoke) continue;
      const bool label = spacing > 0 && outer % spacing == 0;
      EXPECT_EQ(p.kind, label ? PieceKind::Label : PieceKind::Outer) << "spacing " << spacing << " piece " << outer;
      ++outer;
    }
    EXPECT_GT(outer, 16);
  }
  EXPECT_EQ(LabelSpacing(500, 300), 16);
  EXPECT_EQ(LabelSpacing(30, 19), 0);
}

TEST(ContourTrace, AMissingValueEmptiesTheFourCellsAroundIt) {
  using Pieces = std::vector<std::tuple<float, double, double, double, double>>;
  // Pieces by cell, labels counted as outer pieces (removing cells shifts the label count).
  auto byCell = [](const Grid& g) {
    RecordingSink sink;
    TraceContours(FieldOf(g, ContourCode::DewPoint), *LevelsOf(-18, 18, 1.5), PlainPlace, 7, sink);
    std::map<std::pair<int, int>, Pieces> cells;
    for (const ContourPiece& p : sink.pieces)
      cells[{p.row, p.column}].emplace_back(p.level, p.from.x, p.from.y, p.to.x, p.to.y);
    return cells;
  };
  const Grid full =
      MakeGrid(7, 7, [](GridCell& c, int i, int j) { c.DewPoint = 10 * std::sin(i * 0.7) + 8 * std::cos(j * 0.5); });
  const auto whole = byCell(full);
  for (double hole : {MissingValue, std::nan(""), kInf, 1e300}) {
    Grid g = full;
    g.At(3, 4).DewPoint = hole;
    auto cells = byCell(g);
    for (const auto& [cell, pieces] : whole) {
      const bool around = (cell.first == 3 || cell.first == 4) && (cell.second == 4 || cell.second == 5);
      EXPECT_EQ(cells[cell], around ? Pieces{} : pieces) << hole << " cell " << cell.first << "," << cell.second;
    }
  }
}

TEST(ContourTrace, AHiddenCrossingEndsItsCellAndACornerAtTheLevelDrawsNothing) {
  // Points east of longitude 2.6 are hidden: the cells they reach stop at the first level crossing there.
  const Grid g = MakeGrid(3, 5, [](GridCell& cell, int, int j) { cell.Temperature = j; });
  RecordingSink sink;
  auto place = [](double lat, double lon) { return lon > 2.6 ? std::nullopt : std::optional(ScreenPoint{lon, lat}); };
  TraceContours(FieldOf(g, ContourCode::Temperature), *LevelsOf(0.25, 3.75, 0.5), place, 0, sink);
  EXPECT_FALSE(sink.pieces.empty());
  for (const ContourPiece& p : sink.pieces) EXPECT_TRUE(p.level <= 2.25f && p.column <= 3) << p.level;
  RecordingSink flat;  // a flat cell at the level crosses no spoke
  const Grid level = MakeGrid(2, 2, [](GridCell& cell, int, int) { cell.Temperature = 5; });
  TraceContours(FieldOf(level, ContourCode::Temperature), *LevelsOf(5, 5, 0), PlainPlace, 1, flat);
  EXPECT_TRUE(flat.pieces.empty());
}

}  // namespace
}  // namespace norvane

namespace norvane::testing {
namespace {

// A damaged header can put grid points near the largest real: points between them
// overflow to infinity and count as hidden, never as pieces that are not numbers.
TEST(ContourTrace, PointsOfAHugeHeaderNeverReachTheSinkAsNonNumbers) {
  Grid g = MakeGrid(3, 3, [](GridCell& c, int i, int j) { c.Temperature = i + 2 * j; });
  g.header.StartLatitude = -3e38;
  g.header.LatitudeStep = 3e38;
  g.header.StartLongitude = -3e38;
  g.header.LongitudeStep = 3e38;
  RecordingSink sink;
  TraceContours(FieldOf(g, ContourCode::Temperature), *LevelsOf(0.5, 5.5, 1), PlainPlace, 3, sink);
  for (const ContourPiece& p : sink.pieces)
    EXPECT_TRUE(std::isfinite(p.from.x) && std::isfinite(p.from.y) && std::isfinite(p.to.x) && std::isfinite(p.to.y));
}

}  // namespace
}  // namespace norvane::testing
