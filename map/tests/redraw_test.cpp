#include <gtest/gtest.h>

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
  EXPECT_EQ(texts[texts.size() - 10].text, "point plots");
  EXPECT_DOUBLE_EQ(texts[texts.size() - 10].y1, 600 - 22);
  EXPECT_EQ(texts.back().text, "Valid: 12 / 07 / 2026  -  0614 GMT");
  EXPECT_DOUBLE_EQ(texts.back().y1, 600 - 15 * 9 - 22);
  EXPECT_TRUE(texts.back().font.bold);
  EXPECT_FALSE(h.state.running);
}

TEST(RedrawTest, BusyForceAndAutoRefreshRules) {
  Harness h;
  h.state.running = true;
  EXPECT_FALSE(Redraw(h.state, h.in, h.host, h.canvas));
  h.state.running = false;
  h.in.autoRefresh = false;
  EXPECT_FALSE(Redraw(h.state, h.in, h.host, h.canvas));
  EXPECT_TRUE(h.canvas.ops.empty());
  h.state.force = true;
  EXPECT_TRUE(Redraw(h.state, h.in, h.host, h.canvas));
  EXPECT_FALSE(h.state.force);
  h.in.autoRefresh = true;
  h.in.resizing = true;
  EXPECT_FALSE(Redraw(h.state, h.in, h.host, h.canvas));
  // A nested request from a script returns without drawing.
  Harness n;
  int nested = 0;
  n.host.drawMap = [&](Canvas&) { nested += Redraw(n.state, n.in, n.host, n.canvas) ? 1 : 0; };
  EXPECT_TRUE(Redraw(n.state, n.in, n.host, n.canvas));
  EXPECT_EQ(nested, 0);
}

TEST(RedrawTest, NoSizeAndNoLabelsAndLabelLimit) {
  Harness h;
  h.scale = 0;
  ASSERT_TRUE(Redraw(h.state, h.in, h.host, h.canvas));
  ASSERT_EQ(h.canvas.ops.size(), 1u);  // cleared only
  Harness v;
  Redraw(v.state, v.in, v.host, v.canvas);
  EXPECT_DOUBLE_EQ(v.canvas.OfKind(RecordingCanvas::Kind::Text).back().y1, 600 - 22);
  PlotLabels labels;
  for (int i = 1; i <= 25; ++i) labels.Add("l" + std::to_string(i));
  EXPECT_EQ(labels.Count(), 20);
  EXPECT_EQ(labels.At(20), "l25");
  EXPECT_EQ(labels.At(19), "l19");
}

TEST(RedrawTest, ClearPlotsKeepsStationsClearMapClearsScriptLayers) {
  PlotSwitches plots{true, true, true, true, true, true, true, true, true, true};
  auto layers = DefaultScriptLayers();
  EXPECT_EQ(layers.size(), 29u);
  layers[3].checked = true;
  ClearPlotSwitches(plots);
  EXPECT_TRUE(plots.stations);
  EXPECT_FALSE(plots.points || plots.temperature || plots.windsAndWeather);
  EXPECT_TRUE(layers[3].checked);
  ClearAllSwitches(plots, layers);
  EXPECT_TRUE(plots.stations);
  EXPECT_FALSE(layers[3].checked);
}

}  // namespace
}  // namespace norvane

#include "map/plot_menu.h"

namespace norvane {
namespace {

TEST(PlotMenuTest, MarksFollowTheMenuRules) {
  PlotSwitches p;
  p.stations = true;
  ChoosePlotItem(p, PlotItem::Temperature);
  EXPECT_TRUE(p.temperature);
  ChoosePlotItem(p, PlotItem::DewPoint);  // one value plot at a time
  EXPECT_FALSE(p.temperature);
  EXPECT_TRUE(p.dewPoint);
  ChoosePlotItem(p, PlotItem::Winds);
  EXPECT_FALSE(p.dewPoint);
  EXPECT_FALSE(p.windsAndWeather);
  ChoosePlotItem(p, PlotItem::Weather);
  EXPECT_TRUE(p.winds && p.weather && p.windsAndWeather);
  ChoosePlotItem(p, PlotItem::WindsAndWeather);  // both marked: clears all three
  EXPECT_FALSE(p.winds || p.weather || p.windsAndWeather);
  ChoosePlotItem(p, PlotItem::WindsAndWeather);
  EXPECT_TRUE(p.winds && p.weather && p.windsAndWeather);
  ChoosePlotItem(p, PlotItem::Ceilings);
  EXPECT_TRUE(p.ceilings);
  EXPECT_FALSE(p.winds || p.weather || p.windsAndWeather);
  EXPECT_TRUE(p.stations);

  // PLOT ... ON twice stays on; no word toggles.
  SetPlotItem(p, PlotItem::Temperature, true);
  SetPlotItem(p, PlotItem::Temperature, true);
  EXPECT_TRUE(p.temperature);
  SetPlotItem(p, PlotItem::Temperature, false);
  EXPECT_FALSE(p.temperature);
  SetPlotItem(p, PlotItem::Points, std::nullopt);
  EXPECT_TRUE(p.points);
}

}  // namespace
}  // namespace norvane
