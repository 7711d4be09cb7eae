#pragma once
// The complete redraw of the map: clear, then every layer in a fixed order, then the
// labels the layers announced and the valid time.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "map/plots.h"
#include "map/station_thinning.h"

namespace norvane {

constexpr int kMaxLabels = 20;

// Labels live for one redraw; the 21st and later replace label 20.
class PlotLabels {
 public:
  void Add(const std::string& text, Color colour = Rgb(0, 0, 0));
  void Clear() { count_ = 0; }
  int Count() const { return count_; }
  const std::string& At(int k) const { return texts_[static_cast<std::size_t>(k - 1)]; }  // 1-based
  Color ColourAt(int k) const { return colours_[static_cast<std::size_t>(k - 1)]; }

 private:
  std::array<std::string, kMaxLabels> texts_{};
  std::array<Color, kMaxLabels> colours_{};
  int count_ = 0;
};

// The check marks of the built-in plot items.
struct PlotSwitches {
  bool points = false, stations = false, dewPoint = false, temperature = false, ceilings = false;
  bool weather = false, winds = false, humidity = false, windBarbs = false, windsAndWeather = false;
  bool model = false;  // the station model
};

// One script layer of the "Contours" and "Grid" menus.
struct ScriptLayer {
  std::string script;
  std::string period;    // change layers only
  std::string quantity;  // change layers only
  bool checked = false;
  std::string control;   // the menu item that switches it, e.g. "mnuC_Temp"
};
// The script layers in the order they are painted, all unchecked.
std::vector<ScriptLayer> DefaultScriptLayers();

struct RedrawState {
  bool running = false;  // `RedrawRunning`
  bool force = false;    // `ForceRedraw`
  PlotLabels labels;
};

// What the redraw needs from the rest of the program.
struct RedrawHost {
  std::function<void(const std::string&)> logProcessMessage;
  std::function<void(const std::string& text, bool busy)> setStatus;  // "Please Wait" in red while busy
  std::function<void()> processEvents;
  std::function<bool(const std::string&)> redrawScriptExists;
  std::function<void(const std::string& name, const std::array<std::string, 9>& args)> runScript;
  std::function<void(const std::string& line)> exec;
  std::function<double(int width, int height)> updateScale;  // 0 for a surface of no size
  std::function<void(Canvas&)> drawMap;
  StationPlacer place;
};

struct RedrawInputs {
  const ObservationStore* store = nullptr;
  std::int32_t now = 0;            // absolute minutes, as the scheduler keeps it
  std::string nowStamp;            // "yyyymmddhhmm" UTC
  int obClearTime = 120;
  bool useCelsius = false;
  int minWind = 0;
  std::string plottedWx;
  bool autoRefresh = true;
  bool resizing = false;
  PlotSwitches plots;
  std::vector<ScriptLayer> scriptLayers;
  std::vector<PlotPoint> points;
  const SymbolTable* symbols = nullptr;
  Color background = Rgb(255, 255, 255);
  // How big station models are drawn (StationModelSize of the view).
  double modelSize = 1;
  // Station thinning; nothing (the default) plots every shown station.
  std::optional<PlotFootprint> thinning;
};

// One built-in layer: its switch, its painter and the label it announces.
struct PlotLayer {
  bool PlotSwitches::*enabled;
  std::function<void(Canvas&, const ShownList&, const RedrawInputs&, const StationPlacer&)> draw;
  std::string labelCommand;
};
const std::vector<PlotLayer>& BuiltInLayers();

// "Valid: mm / dd / yyyy  -  hhmm GMT" from a 12-character stamp.
std::string ValidTimeText(const std::string& stamp);

// Returns true when it painted (false when busy, or not forced with auto refresh off).
bool Redraw(RedrawState& state, const RedrawInputs& inputs, RedrawHost& host, Canvas& canvas);

// "Clear Plots": every plot mark except "&Stations".
void ClearPlotSwitches(PlotSwitches& plots);
// "Clear Map": the same, and every script layer.
void ClearAllSwitches(PlotSwitches& plots, std::vector<ScriptLayer>& layers);

}  // namespace norvane
