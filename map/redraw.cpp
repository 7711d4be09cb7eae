#include "map/redraw.h"

#include <utility>

#include "map/station_model.h"

namespace norvane {

void PlotLabels::Add(const std::string& text, Color colour) {
  if (count_ < kMaxLabels) ++count_;
  texts_[static_cast<std::size_t>(count_ - 1)] = text;
  colours_[static_cast<std::size_t>(count_ - 1)] = colour;
}

std::vector<ScriptLayer> DefaultScriptLayers() {
  std::vector<ScriptLayer> layers;
  const std::pair<const char*, const char*> current[] = {
      {"contour_cigs.nvs", "mnuC_Cigs"}, {"contour_dp.nvs", "mnuC_DP"},       {"contour_temp.nvs", "mnuC_Temp"},
      {"contour_wsavg.nvs", "mnuC_WSavg"}, {"contour_wsmax.nvs", "mnuC_WSmax"}, {"contour_slp.nvs", "mnuC_SLP"},
      {"grid_cigs.nvs", "mnuG_Cigs"},    {"grid_dp.nvs", "mnuG_DP"},          {"grid_temp.nvs", "mnuG_Temp"},
      {"grid_wbarb.nvs", "mnuG_WBarb"},  {"grid_wsavg.nvs", "mnuG_WSavg"},    {"grid_wsmax.nvs", "mnuG_WSmax"},
      {"grid_slp.nvs", "mnuG_SLP"}};
  for (const auto& [script, control] : current) layers.push_back({script, "", "", false, control});
  const std::pair<const char*, const char*> quantities[] = {{"2", "_DP"}, {"3", "_SLP"}, {"1", "_Temp"}};
  for (const char* period : {"3", "6", "12", "24"}) {
    for (const auto& [quantity, suffix] : quantities)
      layers.push_back({"change", period, quantity, false, std::string("mnuC") + period + suffix});
  }
  const std::pair<const char*, const char*> derived[] = {{"contour_windchill.nvs", "mnuWindChill"},
                                                         {"contour_moist_conv.nvs", "mnuMoistConv"},
                                                         {"contour_mixing_ratio.nvs", "mnuMixingRatio"},
                                                         {"contour_rh.nvs", "mnuRelativeHumidity"}};
  for (const auto& [script, control] : derived) layers.push_back({script, "", "", false, control});
  return layers;
}

const std::vector<PlotLayer>& BuiltInLayers() {
  using In = const RedrawInputs&;
  static const std::vector<PlotLayer> kLayers = {
      {&PlotSwitches::points, [](Canvas& c, const ShownList&, In in, const StationPlacer& p) { PlotPoints(c, in.points, p); },
       "label point plots"},
      {&PlotSwitches::stations,
       [](Canvas& c, const ShownList& l, In in, const StationPlacer& p) { PlotStationDots(c, l, p, in.now); },
       "label station plots"},
      {&PlotSwitches::model,
       [](Canvas& c, const ShownList& l, In in, const StationPlacer& p) {
         PlotStationModels(c, l, p, in.modelSize, in.useCelsius, in.symbols, in.plottedWx);
       },
       "label station models"},
      {&PlotSwitches::dewPoint,
       [](Canvas& c, const ShownList& l, In in, const StationPlacer& p) { Plot_DPs(c, l, p, in.useCelsius); },
       "label plotted dew points"},
      {&PlotSwitches::temperature,
       [](Canvas& c, const ShownList& l, In in, const StationPlacer& p) { Plot_Temps(c, l, p, in.useCelsius); },
       "label plotted temperatures"},
      {&PlotSwitches::ceilings, [](Canvas& c, const ShownList& l, In, const StationPlacer& p) { Plot_CIGs(c, l, p); },
       "label plotted ceilings"},
      {&PlotSwitches::weather,
       [](Canvas& c, const ShownList& l, In in, const StationPlacer& p) {
         static const SymbolTable kNone;
         PlotWeather(c, l, p, in.symbols ? *in.symbols : kNone, in.plottedWx);
       },
       "label plotted weather"},
      {&PlotSwitches::winds,
       [](Canvas& c, const ShownList& l, In in, const StationPlacer& p) { PlotPeakWinds(c, l, p, in.minWind); },
       "label plotted wind gust"},
      {&PlotSwitches::humidity, [](Canvas& c, const ShownList& l, In, const StationPlacer& p) { Plot_RH(c, l, p); },
       "label plotted relative humidity"},
      {&PlotSwitches::windBarbs,
       [](Canvas& c, const ShownList& l, In, const StationPlacer& p) { PlotWindLines(c, l, p); },
       "label plotted wind barbs"},
  };
  return kLayers;
}

std::string ValidTimeText(const std::string& stamp) {
  std::string s = stamp;
  s.resize(12, '0');
  return "Valid: " + s.substr(4, 2) + " / " + s.substr(6, 2) + " / " + s.substr(0, 4) + "  -  " + s.substr(8, 4) +
         " GMT";
}

bool Redraw(RedrawState& state, const RedrawInputs& in, RedrawHost& host, Canvas& canvas) {
  if (state.running) return false;
  state.running = true;
  if (state.force) {
    state.force = false;
  } else if (!in.autoRefresh || in.resizing) {
    state.running = false;
    return false;
  }
  if (host.logProcessMessage) host.logProcessMessage("Redrawing");
  if (host.setStatus) host.setStatus("Please Wait", true);
  if (host.processEvents) host.processEvents();

  static const ObservationStore kEmptyStore;
  ShownList shown = BuildShownList(in.store ? *in.store : kEmptyStore, in.now, in.obClearTime, in.plots.model);

  canvas.Clear(in.background);
  state.labels.Clear();
  const int width = canvas.Width();
  const int height = canvas.Height();
  const double scale = host.updateScale ? host.updateScale(width, height) : 0.0;
  if (scale != 0.0) {
    // After the scale is set: thinning needs the stations' pixels.
    if (in.thinning) ThinShownList(shown, host.place, *in.thinning);
    if (host.drawMap) host.drawMap(canvas);
    const std::array<std::string, 9> noArgs{};
    if (host.redrawScriptExists && host.runScript && host.redrawScriptExists("scripts/redraw.nvs")) {
      host.runScript("redraw.nvs", noArgs);
    }
    for (const PlotLayer& layer : BuiltInLayers()) {
      if (!(in.plots.*layer.enabled)) continue;
      layer.draw(canvas, shown, in, host.place);
      if (host.exec) host.exec(layer.labelCommand);
    }
    for (const ScriptLayer& layer : in.scriptLayers) {
      if (!layer.checked || !host.runScript) continue;
      std::array<std::string, 9> args{};
      args[0] = layer.period;
      args[1] = layer.quantity;
      host.runScript(layer.script, args);
    }
    const Font labelFont{"MS Sans Serif", 8, false};
    for (int k = 1; k <= state.labels.Count(); ++k) {
      const double y = height - 15.0 * (k - 1) - 22;
      canvas.Point(10, y, Rgb(255, 255, 255));
      canvas.Text(10, y, state.labels.At(k), labelFont, state.labels.ColourAt(k));
    }
    const double y = height - 15.0 * state.labels.Count() - 22;
    canvas.Point(10, y, Rgb(255, 255, 255));
    canvas.Text(10, y, ValidTimeText(in.nowStamp), Font{"MS Sans Serif", 10, true}, Rgb(0, 0, 0));
  }
  if (host.setStatus) host.setStatus("", false);
  state.running = false;
  return true;
}

void ClearPlotSwitches(PlotSwitches& plots) {
  const bool stations = plots.stations;
  plots = PlotSwitches{};
  plots.stations = stations;
}

void ClearAllSwitches(PlotSwitches& plots, std::vector<ScriptLayer>& layers) {
  ClearPlotSwitches(plots);
  for (ScriptLayer& layer : layers) layer.checked = false;
}

}  // namespace norvane
