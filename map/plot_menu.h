#pragma once
// The check marks of the "Plots" menu: at most one value plot at a time, while peak
// winds and weather may be shown together.
#include <optional>

#include "map/redraw.h"

namespace norvane {

enum class PlotItem {
  Temperature, DewPoint, Humidity, Ceilings, WindBarbs, Model, Winds, Weather, WindsAndWeather, Points, Stations
};

// Applies one click of a menu item to the marks (the caller then asks for a redraw).
void ChoosePlotItem(PlotSwitches& plots, PlotItem item);

// The PLOT command: ON and OFF give that state, no word toggles. The item's mark is set
// to the opposite of the wanted state and then clicked, so the click leaves it wanted.
void SetPlotItem(PlotSwitches& plots, PlotItem item, std::optional<bool> wanted);

}  // namespace norvane
