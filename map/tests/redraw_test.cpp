#include <gtest/gtest.h>

#include <tuple>

#include "map/plot_menu.h"
#include "map/redraw.h"
#include "obs/decoded_observation.h"
#include "tests/fakes/recording_canvas.h"

namespace norvane {
namespace {

using testing::RecordingCanvas;

struct Harness {
  std::vector<std::string> calls;
  RedrawState state;
  RedrawHost host;
  RedrawInputs in;
  ObservationStore store;
  RecordingCanvas canvas;
  double scale = 1;

  Harness() {
    store.Clear();
    store[0].identifier = "KAAA";
    store[0].reports[0] = {1000, "KAAA 011200Z ", std::string(DecodedTemplate())};
    store[1].identifier = "end";
    in.store = &store;
    in.now = 1000;
    in.nowStamp = "202612070614";
    in.scriptLayers = DefaultScriptLayers();
    host.logProcessMessage = [this](const std::string& m) { calls.push_back("log " + m); };
    host.redrawScriptExists = [](const std::string&) { return true; };
    host.runScript = [this](const std::string& n, const std::array<std::string, 9>& a) {
      calls.push_back("run " + n + (a[0].empty() ? "" : " " + a[0] + " " + a[1]));
    };
    host.exec = [this](const std::string& line) {
      calls.push_back(line);
      if (line.rfind("label ", 0) == 0) state.labels.Add(line.substr(6));
    };
    host.updateScale = [this](int, int) { return scale; };
    host.drawMap = [this](Canvas&) { calls.push_back("map"); };
    host.place = [](double, double) { return std::optional<ScreenPoint>(ScreenPoint{5, 5}); };
  }
};

// The marked items in the order of the switches.
std::string Marks(const PlotSwitches& p) {
  std::string m;
  for (auto [on, name] : {std::pair{p.points, "points "}, {p.stations, "stations "}, {p.dewPoint, "dew "},
                          {p.temperature, "temp "}, {p.ceilings, "cigs "}, {p.weather, "wx "}, {p.winds, "winds "},
                          {p.humidity, "rh "}, {p.windBarbs, "barbs "}, {p.windsAndWeather, "both "}})
    if (on) m += name;
  return m;
}

TEST(RedrawTest, LayersInFixedOrderThenLabelsAndValidTime) {
  Harness h;
  h.in.plots = {true, true, true, true, true, true, true, true, true, false};
  h.in.scriptLayers[0].checked = true;
  h.in.scriptLayers[13].checked = true;  // 3-hour dew point change
  ASSERT_TRUE(Redraw(h.state, h.in, h.host, h.canvas));
  const std::vector<std::string> expected = {
      "log Redrawing", "map", "run redraw.nvs", "label point plots", "label station plots",
      "label plotted dew points", "label plotted temperatures", "label plotted ceilings", "label plotted weather",
      "label plotted wind gust", "label plotted relative humidity", "label plotted wind barbs",
      "run contour_cigs.nvs", "run change 3 2"};
  EXPECT_EQ(h.calls, expected);
  const auto texts = h.canvas.OfKind(RecordingCanvas::Kind::Text);
  ASSERT_GE(texts.size(), 10u);
  const auto& first = texts[texts.size() - 10];
  EXPECT_EQ(std::tie(first.text, first.y1), std::tuple("point plots", 600.0 - 22));
  EXPECT_EQ(std::tie(texts.back().text, texts.back().y1, texts.back().font.bold),
            std::tuple("Valid: 12 / 07 / 2026  -  0614 GMT", 600.0 - 15 * 9 - 22, true));
  EXPECT_FALSE(h.state.running);
}

TEST(RedrawTest, BusyForceAndAutoRefreshRules) {
  Harness h;
  auto redraw = [&h] { return Redraw(h.state, h.in, h.host, h.canvas); };
  h.state.running = true;
  EXPECT_FALSE(redraw());
  h.state.running = h.in.autoRefresh = false;
  EXPECT_FALSE(redraw());
  EXPECT_TRUE(h.canvas.ops.empty());
  h.state.force = true;
  EXPECT_TRUE(redraw());
  EXPECT_FALSE(h.state.force);
  h.in.autoRefresh = h.in.resizing = true;
  EXPECT_FALSE(redraw());
  // A nested request from a script returns without drawing.
  Harness n;
  int nested = 0;
  n.host.drawMap = [&](Canvas&) { nested += Redraw(n.state, n.in, n.host, n.canvas) ? 1 : 0; };
  EXPECT_TRUE(Redraw(n.state, n.in, n.host, n.canvas));
  EXPECT_EQ(nested, 0);
}

TEST(RedrawTest, NoSizeAndNoLabelsAndLabelLimit) {
  Harness h, v;
  h.scale = 0;
  ASSERT_TRUE(Redraw(h.state, h.in, h.host, h.canvas));
  EXPECT_EQ(h.canvas.ops.size(), 1u);  // cleared only
  Redraw(v.state, v.in, v.host, v.canvas);
  EXPECT_DOUBLE_EQ(v.canvas.OfKind(RecordingCanvas::Kind::Text).back().y1, 600 - 22);
  PlotLabels labels;  // the last label takes the place of the twentieth
  for (int i = 1; i <= 25; ++i) labels.Add("l" + std::to_string(i));
  EXPECT_EQ(std::tuple(labels.Count(), labels.At(19), labels.At(20)), std::tuple(20, "l19", "l25"));
}

TEST(RedrawTest, ClearPlotsKeepsStationsClearMapClearsScriptLayers) {
  PlotSwitches plots{true, true, true, true, true, true, true, true, true, true};
  auto layers = DefaultScriptLayers();
  layers[3].checked = true;
  ClearPlotSwitches(plots);
  EXPECT_EQ(Marks(plots) + (layers[3].checked ? "layer" : ""), "stations layer");
  plots.points = true;
  ClearAllSwitches(plots, layers);
  EXPECT_EQ(Marks(plots) + (layers[3].checked ? "layer" : ""), "stations ");
}

TEST(PlotMenuTest, MarksFollowTheMenuRules) {
  using enum PlotItem;
  // "click" is a menu click; "on", "off" and "" are PLOT ... ON, OFF and no word. One value plot at a
  // time; with winds and weather both marked a click of the pair clears all three; ON twice stays on.
  struct Step { PlotItem item; std::string how; const char* marks; };
  const Step steps[] = {
      {Temperature, "click", "stations temp "}, {DewPoint, "click", "stations dew "},
      {Winds, "click", "stations winds "}, {Weather, "click", "stations wx winds both "},
      {WindsAndWeather, "click", "stations "}, {WindsAndWeather, "click", "stations wx winds both "},
      {Ceilings, "click", "stations cigs "}, {Temperature, "on", "stations temp "},
      {Temperature, "on", "stations temp "}, {Temperature, "off", "stations "}, {Points, "", "points stations "},
  };
  PlotSwitches p;
  p.stations = true;
  for (const Step& s : steps) {
    if (s.how == "click") ChoosePlotItem(p, s.item);
    else SetPlotItem(p, s.item, s.how.empty() ? std::nullopt : std::optional<bool>(s.how == "on"));
    EXPECT_EQ(Marks(p), s.marks) << static_cast<int>(s.item) << " " << s.how;
  }
}

}  // namespace
}  // namespace norvane
