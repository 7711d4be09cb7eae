#include <gtest/gtest.h>

#include <tuple>

#include "map/plots.h"
#include "obs/decoded_observation.h"
#include "tests/fakes/recording_canvas.h"

namespace norvane {
namespace {

using testing::RecordingCanvas;
using Kind = RecordingCanvas::Kind;

// Places every station at (100 + longitude, 100 - latitude); longitudes past 90 are hidden.
std::optional<ScreenPoint> FlatPlace(double lat, double lon) {
  if (lon > 90) return std::nullopt;
  return ScreenPoint{100 + lon, 100 - lat};
}

ShownStation Station(std::initializer_list<std::pair<int, const char*>> fields, int peak = 0) {
  std::string d(DecodedTemplate());
  for (const auto& [column, text] : fields) d.replace(static_cast<std::size_t>(column - 1), std::string(text).size(), text);
  ShownStation s;
  s.latitude = 1000, s.longitude = 2000, s.shown = true, s.decoded = d, s.peakWind = peak;
  return s;
}

TEST(PlotsTest, TemperatureValuesColoursAndUnits) {
  struct Case { const char* field; bool celsius; const char* text; Color color; };
  const Case cases[] = {
      {"M05", true, "-5", Rgb(0, 0, 224)}, {"M05", false, " 23", Rgb(0, 0, 224)},
      {"010", true, " 10", Rgb(64, 192, 96)}, {"036", true, " 36", Rgb(224, 0, 0)},
      {"M31", true, "-31", Rgb(224, 0, 144)}, {"999", true, nullptr, 0}, {"///", true, nullptr, 0},
  };
  for (const Case& c : cases) {
    RecordingCanvas canvas;
    Plot_Temps(canvas, {Station({{41, c.field}})}, FlatPlace, c.celsius);
    const auto texts = canvas.OfKind(Kind::Text), dots = canvas.OfKind(Kind::Circle);
    ASSERT_EQ(canvas.ops.size(), c.text ? 2u : 0u) << c.field;
    if (!c.text) continue;
    ASSERT_EQ(texts.size(), 1u) << c.field;
    const RecordingCanvas::Op& t = texts[0];
    EXPECT_EQ(std::tie(t.text, t.color, t.x1, t.y1), std::tuple(std::string(c.text), c.color, 120.0, 90.0)) << c.field;
    EXPECT_EQ(std::tie(t.font.family, t.font.pointSize), std::tuple(std::string("MS Sans Serif"), 8));
    EXPECT_EQ(std::tie(dots[0].radius, dots[0].color), std::tuple(2.0, c.color)) << c.field;
  }
}

TEST(PlotsTest, ScalesOfEveryValuePlot) {
  for (auto [dew, color] :
       {std::pair{-31, Rgb(0, 0, 144)}, {0, Rgb(128, 0, 144)}, {12, Rgb(0, 255, 0)}, {26, Rgb(0, 32, 0)}}) {
    EXPECT_EQ(DewPointColor(dew), color) << dew;
  }
  EXPECT_EQ(RelativeHumidity(0, 0), 100);
  EXPECT_EQ(HumidityColor(100), Rgb(0, 96, 0));
  EXPECT_EQ(HumidityColor(9), Rgb(64, 64, 0));
  EXPECT_NEAR(RelativeHumidity(20, 10), 53, 1);
  struct Cig { const char* field; Color color; const char* label; };
  for (const Cig& c : {Cig{"005", Rgb(192, 0, 0), "005"}, Cig{"025", Rgb(0, 0, 192), "025"},
                       Cig{"050", Rgb(0, 192, 0), "050"}, Cig{"150", Rgb(128, 128, 128), "150"}}) {
    RecordingCanvas canvas;
    Plot_CIGs(canvas, {Station({{32, c.field}})}, FlatPlace);
    const auto texts = canvas.OfKind(Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(std::pair(texts[0].color, texts[0].text), std::pair(c.color, std::string(c.label))) << c.field;
  }
  RecordingCanvas none;
  Plot_CIGs(none, {Station({{32, "999"}})}, FlatPlace);
  Plot_RH(none, {Station({{41, "010"}, {44, "999"}})}, FlatPlace);
  EXPECT_TRUE(none.ops.empty());
}

TEST(PlotsTest, PeakWindClassesAndPasses) {
  const ShownList list = {Station({}, 20), Station({}, 60), Station({}, 30), Station({}, 40), Station({}, 36)};
  RecordingCanvas canvas;
  PlotPeakWinds(canvas, list, FlatPlace, 28);
  const auto texts = canvas.OfKind(Kind::Text);
  ASSERT_EQ(texts.size(), 4u);
  // Weak winds first, strong ones drawn over them.
  EXPECT_EQ(std::tie(texts[0].text, texts[0].color, texts[0].font.bold),
            std::tuple(std::string(" 30"), Rgb(92, 92, 92), false));
  EXPECT_EQ(std::tie(texts[1].text, texts[1].color, texts[1].font.bold, texts[1].font.pointSize),
            std::tuple(std::string(" 60"), Rgb(0, 0, 200), true, 10));
  EXPECT_EQ(texts[2].color, Rgb(200, 0, 0));
  RecordingCanvas high;  // a strong wind shows even below the minimum
  PlotPeakWinds(high, {Station({}, 36)}, FlatPlace, 40);
  EXPECT_EQ(high.OfKind(Kind::Text).at(0).color, Rgb(200, 0, 0));
}

TEST(PlotsTest, WindLines) {
  RecordingCanvas canvas;
  PlotWindLines(canvas, {Station({{47, "360"}, {50, "010"}}), Station({{47, "000"}, {50, "000"}}),
                         Station({{47, "VRB"}, {50, "005"}}), Station({{47, "090"}, {50, "080"}})},
                FlatPlace);
  const auto lines = canvas.OfKind(Kind::Line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NEAR(lines[0].x2, 120, 1e-6);
  EXPECT_NEAR(lines[0].y2, 90 - 13, 1e-6);  // 10 knots north: 13 long
  EXPECT_EQ(lines[0].color, Rgb(192, 128, 169));
  EXPECT_NEAR(lines[1].x2, 120 + 30, 1e-6);  // speed capped at 30 knots
  EXPECT_EQ(canvas.OfKind(Kind::Circle)[0].radius, 1);
}

TEST(PlotsTest, WeatherSymbolsFilterHiddenStationsAndFreezingMark) {
  SymbolTable symbols;  // nothing loaded: symbols draw as nothing, the mark still shows
  const ShownStation s = Station({{1, "2"}, {11, "1"}, {41, "000"}});  // rain at zero degrees
  RecordingCanvas canvas;
  PlotWeather(canvas, {s}, FlatPlace, symbols, std::string(46, '1'));
  ASSERT_EQ(canvas.ops.size(), 1u);
  EXPECT_EQ(canvas.OfKind(Kind::Circle).at(0).color, Rgb(15, 15, 225));

  ShownStation hidden = s, old = s;
  hidden.longitude = 9500, old.shown = false;
  RecordingCanvas none;
  PlotWeather(none, {hidden, old}, FlatPlace, symbols, std::string(46, '1'));
  EXPECT_TRUE(none.ops.empty());
}

TEST(PlotsTest, ShownListAgeLimitAndStationDots) {
  ObservationStore store;
  store.Clear();
  for (int i = 0; i < 2; ++i) {
    store[i].identifier = "K" + std::to_string(i);
    store[i].reports[0] = {1000 - 120 - i, "KAAA 011200Z ", std::string(DecodedTemplate())};
  }
  store[2].identifier = "end";
  const ShownList list = BuildShownList(store, 1000, 120);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(std::pair(list[0].shown, list[1].shown), std::pair(true, false));
  RecordingCanvas canvas;
  PlotStationDots(canvas, list, FlatPlace, 1000);
  const auto dots = canvas.OfKind(Kind::Circle);
  ASSERT_EQ(dots.size(), 2u);  // older dots are paler: 121 minutes give 121 * 1.2 + 96 = 241.2
  EXPECT_EQ(std::pair(dots[0].color, dots[1].color), std::pair(Rgb(128, 240, 240), Rgb(128, 241, 241)));
}

}  // namespace
}  // namespace norvane
