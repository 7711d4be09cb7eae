#include "map/plot_menu.h"

namespace norvane {
namespace {

bool& MarkOf(PlotSwitches& p, PlotItem item) {
  switch (item) {
    case PlotItem::Temperature: return p.temperature;
    case PlotItem::DewPoint: return p.dewPoint;
    case PlotItem::Humidity: return p.humidity;
    case PlotItem::Ceilings: return p.ceilings;
    case PlotItem::WindBarbs: return p.windBarbs;
    case PlotItem::Model: return p.model;
    case PlotItem::Winds: return p.winds;
    case PlotItem::Weather: return p.weather;
    case PlotItem::WindsAndWeather: return p.windsAndWeather;
    case PlotItem::Points: return p.points;
    case PlotItem::Stations: break;
  }
  return p.stations;
}

void ClearValuePlots(PlotSwitches& p) {
  // The station model holds every value at once, so it takes a value plot's place.
  p.temperature = p.dewPoint = p.humidity = p.ceilings = p.windBarbs = p.model = false;
}

}  // namespace

void ChoosePlotItem(PlotSwitches& p, PlotItem item) {
  switch (item) {
    case PlotItem::Temperature:
    case PlotItem::DewPoint:
    case PlotItem::Humidity:
    case PlotItem::Ceilings:
    case PlotItem::WindBarbs:
    case PlotItem::Model: {
      const bool mark = !MarkOf(p, item);
      ClearValuePlots(p);
      p.winds = p.weather = p.windsAndWeather = false;
      MarkOf(p, item) = mark;
      break;
    }
    case PlotItem::Winds:
    case PlotItem::Weather:
      MarkOf(p, item) = !MarkOf(p, item);
      ClearValuePlots(p);
      p.windsAndWeather = p.winds && p.weather;
      break;
    case PlotItem::WindsAndWeather: {
      const bool both = p.winds && p.weather;
      ClearValuePlots(p);
      p.winds = p.weather = p.windsAndWeather = !both;
      break;
    }
    case PlotItem::Points:
    case PlotItem::Stations:
      MarkOf(p, item) = !MarkOf(p, item);
      break;
  }
}

void SetPlotItem(PlotSwitches& p, PlotItem item, std::optional<bool> wanted) {
  if (wanted) MarkOf(p, item) = !*wanted;
  ChoosePlotItem(p, item);
}

}  // namespace norvane
