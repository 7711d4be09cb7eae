#include "contour/grid_display.h"

#include <gtest/gtest.h>

#include <cmath>

#include "contour/tests/contour_test_support.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/recording_reporter.h"

namespace norvane {
namespace {

using testing::MakeGrid;
using Kind = testing::RecordingCanvas::Kind;

struct Display {
  testing::MemoryFileSystem files;
  testing::RecordingReporter log;
  testing::RecordingCanvas canvas;
  GridDisplayContext ctx{files, log, canvas,
                         [](double lat, double lon) -> std::optional<ScreenPoint> {
                           if (lat > 60) return std::nullopt;  // the far side of the globe
                           return ScreenPoint{100 + 10 * lon, 100 - 10 * lat};
                         },
                         1, false, {}};
  void Put(const std::string& name, const Grid& g) { files.files[name + ".nv1"] = EncodeGrid(g); }
};

Grid OnePoint(const std::function<void(GridCell&)>& fill) {
  return MakeGrid(1, 1, [&](GridCell& c, int, int) { fill(c); });
}

TEST(ShowGrid, PrintsValuesInThePatternCentredOnThePoint) {
  struct Case {
    std::string field;
    bool useCelsius;
    double value;  // put into every field
    std::string format, text;
    double x;  // left edge: centred by the Celsius text for "T" and "D" (4.8 units a character)
  };
  const Case cases[] = {
      {"T", false, 20, "", "68", 95.2},       {"T", false, 5, "", "41", 97.6},
      {"T", false, -1.5, "", "29.3", 90.4},   {"T", true, 20.25, "", "20.3", 90.4},
      {"D", false, 0, "0.0", "32.0", 92.8},   {"TF", true, 5, "", "41", 95.2},
      {"DF", true, -40, "", "-40", 92.8},     {"SLP", false, 1013.25, "0", "1013", 90.4},
      {"WS", false, 12, "", "12", 95.2},      {"WM", false, 7.5, "", "7.5", 92.8},
  };
  for (const Case& c : cases) {
    Display d;
    d.ctx.useCelsius = c.useCelsius;
    d.Put("NOW", OnePoint([&](GridCell& cell) { cell = {c.value, c.value, c.value, c.value, c.value, c.value}; }));
    ShowGridCommand(d.ctx, "NOW", c.field, Rgb(1, 2, 3), c.format);
    const auto texts = d.canvas.OfKind(Kind::Text);
    ASSERT_EQ(texts.size(), 1u) << c.field << " " << c.value;
    EXPECT_EQ(std::tuple(texts[0].text, texts[0].y1, texts[0].color), std::tuple(c.text, 94.0, Rgb(1, 2, 3)));
    EXPECT_NEAR(texts[0].x1, c.x, 1e-9) << c.field << " " << c.value;
    EXPECT_EQ(d.canvas.OfKind(Kind::Point).at(0).x1, c.x) << "white point at the text cursor";
  }
  // No ceiling reported prints 999; a missing or non-finite value prints nothing.
  Display d;
  d.ctx.place = [](double lat, double lon) { return std::optional<ScreenPoint>({100 + 40 * lon, 100 - 40 * lat}); };
  d.Put("G", MakeGrid(1, 4, [](GridCell& c, int, int j) {
    c.Temperature = j == 0 ? MissingValue : j == 1 ? std::nan("") : j == 2 ? INFINITY : 3;
  }));
  ShowGridCommand(d.ctx, "G", "CIG", 0, "");
  ShowGridCommand(d.ctx, "G", "T", 0, "");
  const auto texts = d.canvas.OfKind(Kind::Text);
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[0].text, "999");
  EXPECT_EQ(texts[4].text, "37.4");
}

// Points closer than their values are wide: every value printed stands clear of the
// others, whole, and the lattice is still covered.
TEST(ShowGrid, ValuesThatWouldOverlapAreLeftOut) {
  for (const double pixels : {4.0, 10.0, 30.0}) {
    Display d;
    d.ctx.useCelsius = true;
    d.ctx.place = [pixels](double lat, double lon) {
      return std::optional<ScreenPoint>({100 + pixels * lon, 400 - pixels * lat});
    };
    d.Put("NOW", MakeGrid(20, 20, [](GridCell& c, int i, int j) { c.Temperature = -10.25 - i - 0.5 * j; }));
    ShowGridCommand(d.ctx, "NOW", "T", 0, "");
    const auto texts = d.canvas.OfKind(Kind::Text);
    ASSERT_FALSE(texts.empty());
    // Five characters of 4.8 units by 12: at 30 units every point fits, closer in only some do.
    EXPECT_EQ(texts.size() == 400u, pixels == 30.0) << pixels;
    EXPECT_GE(texts.size() * 24 * 12, static_cast<std::size_t>(19 * 19 * pixels * pixels / 4)) << pixels;
    for (std::size_t a = 0; a < texts.size(); ++a) {
      EXPECT_EQ(texts[a].text.front(), '-');
      for (std::size_t b = a + 1; b < texts.size(); ++b) {
        const bool apart = texts[a].x1 + 0.6 * 8 * texts[a].text.size() <= texts[b].x1 ||
                           texts[b].x1 + 0.6 * 8 * texts[b].text.size() <= texts[a].x1 ||
                           std::abs(texts[a].y1 - texts[b].y1) >= 12;
        ASSERT_TRUE(apart) << pixels << ": " << texts[a].text << " and " << texts[b].text;
      }
    }
  }
}

TEST(ShowGrid, WindLinesPointIntoTheWindAtTwiceTheSpeedUpTo30) {
  struct Case { double speed, north, east, dx, dy; };  // line end from the point; NaN: nothing drawn
  const Case cases[] = {{20, 1, 0, 0, -30}, {5, 1, 0, 0, -10}, {5, 0, -1, -10, 0}, {5, MissingValue, 0, NAN, NAN},
                        {MissingValue, 1, 0, NAN, NAN}};
  for (const Case& c : cases) {
    Display d;
    d.Put("NOW", OnePoint([&](GridCell& p) { p.WindSpeed = c.speed, p.DirNorth = c.north, p.DirEast = c.east; }));
    ShowGridCommand(d.ctx, "NOW", "U", Rgb(0, 0, 255), "");
    const auto lines = d.canvas.OfKind(Kind::Line), circles = d.canvas.OfKind(Kind::Circle);
    if (std::isnan(c.dx)) {
      EXPECT_TRUE(d.canvas.ops.empty()) << c.speed;
      continue;
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(std::pair(lines[0].x2 - lines[0].x1, lines[0].y2 - lines[0].y1), std::pair(c.dx, c.dy));
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(std::pair(circles[0].radius, circles[0].color), std::pair(1.0, Rgb(0, 0, 0)));
  }
}

TEST(GridDisplay, ChecksAndTheirMessages) {
  const Grid rising = MakeGrid(4, 4, [](GridCell& c, int i, int j) {
    c.Temperature = i + 0.5 * j;
    c.DewPoint = MissingValue;
  });
  Grid otherStep = MakeGrid(4, 4, [](GridCell&, int, int) {});
  otherStep.header.LatitudeStep = 0.5;
  struct Case {
    const char* what;
    std::function<void(GridDisplayContext&)> run;
    std::vector<std::string> shown;
    std::string lastLogged;
    bool draws;
    double scale = 1;
  };
  const std::string notFound = "Cannot show contour because the grid 'NONE' cannot be found";
  const std::string lowMesh =
      "Such a low mesh value means the observation count for one or both of the grids was low.  Try special "
      "downloading for one of the grids you are comparing";
  auto draw = [](std::string n1, std::string n2, std::string field, double s, double e, double i) {
    return [=](GridDisplayContext& ctx) { DrawContoursCommand(ctx, n1, n2, field, s, e, i, 0, 0, ""); };
  };
  auto show = [](std::string name, std::string field) {
    return [=](GridDisplayContext& ctx) { ShowGridCommand(ctx, name, field, 0, ""); };
  };
  const Case cases[] = {
      {"grid found", show("now", "T"), {}, "Showing grid 'T' from now", true},
      {"grid missing", show("NONE", "T"), {"Cannot show grid because the grid 'NONE' cannot be found"},
       "Showing grid 'T' from NONE", false},
      {"grid cut short", show("SHORT", "T"), {"Cannot show grid because the grid 'SHORT' cannot be read"}, "", false},
      {"unknown grid field", show("NOW", "Q"), {"Cannot show grid because 'Q' for type is not recognized"}, "", false},
      {"unknown field out of view", show("FAR", "Q"), {}, "", false},
      {"contours", draw("NOW", "", "T", 0, 5, 0.25), {}, "Drawing contour 'T' from NOW", true},
      {"falling interval upwards", draw("NOW", "", "T", 0, 30, -5),
       {"Cannot show contour because the interval is illegal for start and end"}, "", false},
      {"over ten thousand levels", draw("NOW", "", "SLP", 900, 1100, 0.02),
       {"Cannot show contour because there are too many levels from start to end (at most 10000)"}, "", false},
      {"over ten thousand falling differences", draw("NOW", "NOW", "T", 30, -30, -0.005),
       {"Cannot show contour because there are too many levels from start to end (at most 10000)"}, "", false},
      {"contour file missing", draw("NONE", "", "T", 0, 5, 1), {notFound}, "", false},
      {"contour of unknown field", draw("NOW", "", "XX", 0, 5, 1),
       {"Cannot show contour because 'XX' for type is not recognized"}, "", false},
      {"contour before the first redraw", draw("NOW", "", "T", 0, 5, 0.25), {}, "", false, 0},
      {"unknown field before the first redraw", draw("NOW", "", "XX", 0, 5, 1),
       {"Cannot show contour because 'XX' for type is not recognized"}, "", false, 0},
      {"grid before the first redraw", show("NOW", "T"), {}, "", false, 0},
      {"difference with itself", draw("NOW", "NOW", "T", -5, 5, 1), {}, "Grids meshed at 100.0%", false},
      {"difference before the first redraw", draw("NOW", "NOW", "T", 0, 5, 1), {}, "Grids meshed at 100.0%", false, 0},
      {"difference without data", draw("NOW", "NOW", "D", -5, 5, 1), {"Grids meshed at 0.0%", lowMesh}, "", false},
      {"difference of another step", draw("NOW", "STEP", "T", -5, 5, 1),
       {"Cannot show contour because the headers of grid 'NOW' and 'STEP' are different"}, "", false},
      {"second grid missing", draw("NOW", "NONE", "T", 0, 5, 1), {notFound},
       "Drawing contour difference 'T' from 'NOW' and 'NONE'", false},
      {"difference of a derived field", draw("NOW", "NOW", "RH", 0, 5, 1),
       {"Cannot show contour because 'RH' for type is not recognized"}, "", false},
  };
  for (const Case& c : cases) {
    Display d;
    d.ctx.scale = c.scale;
    d.Put("NOW", rising);
    d.Put("FAR", MakeGrid(2, 2, [](GridCell& c, int, int) { c.Temperature = 1; }, 70));
    d.Put("STEP", otherStep);
    d.files.files["SHORT.nv1"] = EncodeGrid(rising).substr(0, 64 * 10);
    c.run(d.ctx);
    EXPECT_EQ(d.log.shown, c.shown) << c.what;
    if (!c.lastLogged.empty()) { EXPECT_EQ(d.log.logged.back(), c.lastLogged) << c.what; }
    EXPECT_EQ(!d.canvas.ops.empty(), c.draws) << c.what;
  }
}

TEST(GridDisplay, PiecesAreDrawnWithTheExtraThicknessAndLabelsCentred) {
  testing::RecordingCanvas canvas;
  CanvasContourSink sink(canvas, Rgb(9, 9, 9), 2, "");
  sink.Piece({PieceKind::Spoke, 1, 1, 3, {10, 20}, {30, 40}});
  std::vector<std::pair<double, double>> shifts;
  for (const auto& line : canvas.OfKind(Kind::Line)) {
    EXPECT_EQ(std::pair(line.x2 - line.x1, line.y2 - line.y1), std::pair(20.0, 20.0));
    shifts.emplace_back(line.x1 - 10, line.y1 - 20);
  }
  EXPECT_EQ(shifts, (std::vector<std::pair<double, double>>{
                        {0, 0}, {.5, 0}, {0, .5}, {-.5, 0}, {0, -.5}, {1, 0}, {0, 1}, {-1, 0}, {0, -1}}));
  const auto points = canvas.OfKind(Kind::Point);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(std::pair(points[1].x1, points[1].color), std::pair(30.0, Rgb(9, 9, 9)));

  canvas.ops.clear();
  sink.Piece({PieceKind::Label, 1, 1, 12.5f, {10, 20}, {30, 40}});
  const auto texts = canvas.OfKind(Kind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_TRUE(canvas.OfKind(Kind::Line).empty());
  EXPECT_EQ(std::tuple(texts[0].text, texts[0].x1, texts[0].y1), std::tuple("12.5", 20 - 9.6, 30 - 6.0));
}

TEST(ChangeField, MeshRatioCountsCellCornersAndFahrenheitScalesTheChange) {
  using Presence = std::function<bool(int, int)>;  // which points of a 5 x 6 grid hold data
  const Presence all = [](int, int) { return true; }, none = [](int, int) { return false; };
  const std::pair<Presence, Presence> cases[] = {
      {all, all}, {all, none}, {none, none},
      {[](int i, int j) { return (i + j) % 3 != 0; }, [](int i, int j) { return i * j % 2 == 0; }},
      {[](int i, int) { return i < 3; }, [](int i, int) { return i >= 2; }},
  };
  const int rows = 5, columns = 6;
  int n = 0;
  for (const auto& [first, second] : cases) {
    ++n;
    auto grid = [&](const Presence& present, double t) {
      return MakeGrid(rows, columns, [&](GridCell& cell, int i, int j) {
        cell.Temperature = present(i, j) ? t + i : (j % 2 ? MissingValue : std::nan(""));
      });
    };
    const DifferenceField diff = DifferenceOf(grid(first, 12), grid(second, 10), ContourCode::TemperatureF);
    long long either = 0, both = 0;
    for (int i = 0; i < rows; ++i)
      for (int j = 0; j < columns; ++j) {
        const int weight = ((i > 0) + (i < rows - 1)) * ((j > 0) + (j < columns - 1));  // cells it is a corner of
        either += (first(i, j) || second(i, j)) ? weight : 0;
        both += (first(i, j) && second(i, j)) ? weight : 0;
        // 2 degrees of change are 3.6 degrees Fahrenheit; NaN where either grid lacks data.
        EXPECT_TRUE(first(i, j) && second(i, j) ? diff.field.At(i, j) == 3.6f : std::isnan(diff.field.At(i, j))) << n;
      }
    EXPECT_EQ(std::pair(diff.mesh.either, diff.mesh.both), std::pair(either, both)) << n;
    EXPECT_EQ(diff.mesh.Ratio(), either ? static_cast<double>(both) / either : 0.0) << n;
  }
}

}  // namespace
}  // namespace norvane
