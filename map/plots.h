#pragma once
// The station plots: one element of each recent report drawn beside its station, each
// element with its own colour scale.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "map/projection.h"
#include "map/symbol_table.h"
#include "obs/observation_store.h"
#include "platform/canvas.h"

namespace norvane {

struct ScreenPoint {
  double x = 0;
  double y = 0;
};

// Places a position (degrees, north and east positive) on the window; nothing when the
// point is on the far side of the globe.
using StationPlacer = std::function<std::optional<ScreenPoint>(double latitude, double longitude)>;

// The placer of a view: ProjectPoint, then ToWindow when visible. The projection must
// outlive the placer.
StationPlacer ProjectionPlacer(const MapProjection& projection);
// The same over a copy of the view taken now, for work that lets events run.
StationPlacer FrozenProjectionPlacer(const MapProjection& projection);

// One entry of the shown list: what the plots need of a store entry.
struct ShownStation {
  std::int16_t latitude = 0;   // hundredths of a degree
  std::int16_t longitude = 0;
  std::int32_t time = 0;       // slot-0 time, absolute minutes
  bool shown = false;
  std::string decoded;         // copy of slot 0's decoded text (shown entries only)
  std::string report;          // slot 0's report text, when the list was built with it
  int peakWind = 0;
};
using ShownList = std::vector<ShownStation>;

// Every entry up to the "end" entry; shown when now - slot-0 time <= obClearTime minutes.
// `withReports` also copies the report texts, for layers that read more than the columns.
ShownList BuildShownList(const ObservationStore& store, std::int32_t now, int obClearTime, bool withReports = false);

// A point of interest, for the "&Points" layer.
struct PlotPoint {
  std::int16_t latitude = 0;
  std::int16_t longitude = 0;
};

// Colour scales (exposed so the options and legend can show them).
Color TemperatureColor(int celsius);
Color DewPointColor(int celsius);
Color HumidityColor(int percent);
Color CeilingColor(int hundredsOfFeet);
// Relative humidity in percent from temperature and dew point in degrees Celsius.
int RelativeHumidity(int temperature, int dewPoint);
// The three-character ceiling label.
std::string CeilingLabel(int hundredsOfFeet);
// Whole numbers as the map prints them: a blank in place of the sign when not negative.
std::string PlotNumber(long long value);

void Plot_Temps(Canvas& canvas, const ShownList& list, const StationPlacer& place, bool useCelsius);
void Plot_DPs(Canvas& canvas, const ShownList& list, const StationPlacer& place, bool useCelsius);
void Plot_RH(Canvas& canvas, const ShownList& list, const StationPlacer& place);
void Plot_CIGs(Canvas& canvas, const ShownList& list, const StationPlacer& place);
void PlotPeakWinds(Canvas& canvas, const ShownList& list, const StationPlacer& place, int minWind);
void PlotWindLines(Canvas& canvas, const ShownList& list, const StationPlacer& place);
void PlotWeather(Canvas& canvas, const ShownList& list, const StationPlacer& place, const SymbolTable& symbols,
                 std::string_view plottedWx);
void DrawWeatherSymbol(Canvas& canvas, int index, const ShownStation& station, const StationPlacer& place,
                       const SymbolTable& symbols, std::string_view plottedWx);
void PlotPoints(Canvas& canvas, const std::vector<PlotPoint>& points, const StationPlacer& place);
// Every entry, shown or not, fading with the age of its slot-0 report.
void PlotStationDots(Canvas& canvas, const ShownList& list, const StationPlacer& place, std::int32_t now);

}  // namespace norvane
