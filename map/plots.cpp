#include "map/plots.h"

#include <algorithm>
#include <cmath>

#include "core/lenient_number.h"
#include "map/weather_symbol.h"
#include "obs/decoded_observation.h"

namespace norvane {
namespace {

const Font kValueFont{"MS Sans Serif", 8, false};

std::optional<ScreenPoint> Place(const StationPlacer& place, std::int16_t latitude, std::int16_t longitude) {
  if (!place) return std::nullopt;
  return place(latitude / 100.0, longitude / 100.0);
}

// Missing or out-of-range values are not plotted.
std::optional<int> Plottable(std::optional<int> value) {
  if (!value || *value < -99 || *value > 99) return std::nullopt;
  return value;
}

int ToShownUnit(int celsius, bool useCelsius) {
  if (useCelsius) return celsius;
  return static_cast<int>(RoundHalfEven(celsius * 1.8 + 32));
}

void DotAndText(Canvas& canvas, ScreenPoint at, double radius, Color color, const std::string& text, const Font& font) {
  canvas.Circle(at.x, at.y, radius, color, false);
  canvas.Text(at.x, at.y, text, font, color);
}

template <typename ValueOf, typename ColorOf, typename TextOf>
void ValuePlot(Canvas& canvas, const ShownList& list, const StationPlacer& place, ValueOf valueOf, ColorOf colorOf,
               TextOf textOf) {
  for (const ShownStation& station : list) {
    if (!station.shown) continue;
    const std::optional<int> value = valueOf(station.decoded);
    if (!value) continue;
    const auto at = Place(place, station.latitude, station.longitude);
    if (!at) continue;
    DotAndText(canvas, *at, 2, colorOf(*value), textOf(*value), kValueFont);
  }
}

}  // namespace

namespace {
std::optional<ScreenPoint> Place(const MapProjection& projection, double latitude, double longitude) {
  const ProjectedPoint p = projection.ProjectPoint(latitude, longitude);
  if (!p.visible) return std::nullopt;
  const WindowPoint w = projection.ToWindow(p.x, p.y);
  return ScreenPoint{w.x, w.y};
}
}  // namespace

StationPlacer ProjectionPlacer(const MapProjection& projection) {
  return [&projection](double latitude, double longitude) { return Place(projection, latitude, longitude); };
}

StationPlacer FrozenProjectionPlacer(const MapProjection& projection) {
  return [projection](double latitude, double longitude) { return Place(projection, latitude, longitude); };
}

ShownList BuildShownList(const ObservationStore& store, std::int32_t now, int obClearTime, bool withReports) {
  ShownList list;
  const int end = store.EndIndex();
  list.reserve(static_cast<std::size_t>(end));
  for (int i = 0; i < end; ++i) {
    const StationObservations& entry = store[i];
    ShownStation s;
    s.latitude = entry.latitude;
    s.longitude = entry.longitude;
    s.time = entry.reports[0].time;
    s.shown = !entry.reports[0].Empty() &&
              static_cast<std::int64_t>(now) - entry.reports[0].time <= static_cast<std::int64_t>(obClearTime);
    if (s.shown) {
      s.decoded = entry.reports[0].decoded;
      s.peakWind = DecodedPeakWind(s.decoded);
      if (withReports) s.report = entry.reports[0].report;
    }
    list.push_back(std::move(s));
  }
  return list;
}

std::string PlotNumber(long long value) {
  return (value < 0 ? "" : " ") + std::to_string(value);
}

Color TemperatureColor(int t) {
  if (t < -30) return Rgb(224, 0, 144);
  if (t <= -26) return Rgb(192, 0, 144);
  if (t <= -21) return Rgb(144, 0, 144);
  if (t <= -16) return Rgb(128, 0, 144);
  if (t <= -11) return Rgb(96, 0, 160);
  if (t <= -6) return Rgb(64, 0, 224);
  if (t <= 0) return Rgb(0, 0, 224);
  if (t <= 5) return Rgb(0, 192, 192);
  if (t <= 10) return Rgb(64, 192, 96);
  if (t <= 15) return Rgb(96, 144, 64);
  if (t <= 20) return Rgb(144, 144, 32);
  if (t <= 25) return Rgb(192, 144, 0);
  if (t <= 30) return Rgb(192, 96, 0);
  if (t <= 35) return Rgb(224, 32, 0);
  return Rgb(224, 0, 0);
}

Color DewPointColor(int d) {
  if (d < -30) return Rgb(0, 0, 144);
  if (d <= -21) return Rgb(64, 0, 192);
  if (d <= -11) return Rgb(128, 0, 192);
  if (d <= 0) return Rgb(128, 0, 144);
  if (d <= 3) return Rgb(96, 96, 64);
  if (d <= 6) return Rgb(96, 96, 0);
  if (d <= 9) return Rgb(144, 192, 0);
  if (d <= 12) return Rgb(0, 255, 0);
  if (d <= 15) return Rgb(0, 192, 0);
  if (d <= 18) return Rgb(0, 144, 0);
  if (d <= 21) return Rgb(0, 128, 0);
  if (d <= 23) return Rgb(0, 96, 0);
  if (d <= 25) return Rgb(0, 64, 0);
  return Rgb(0, 32, 0);
}

Color HumidityColor(int rh) {
  if (rh < 10) return Rgb(64, 64, 0);
  if (rh < 20) return Rgb(96, 96, 0);
  if (rh < 30) return Rgb(128, 128, 0);
  if (rh < 40) return Rgb(144, 144, 0);
  if (rh < 50) return Rgb(192, 192, 0);
  if (rh < 60) return Rgb(128, 192, 0);
  if (rh < 70) return Rgb(64, 192, 0);
  if (rh < 80) return Rgb(0, 192, 0);
  if (rh < 90) return Rgb(0, 128, 0);
  return Rgb(0, 96, 0);
}

Color CeilingColor(int c) {
  if (c < 11) return Rgb(192, 0, 0);
  if (c <= 30) return Rgb(0, 0, 192);
  if (c <= 100) return Rgb(0, 192, 0);
  return Rgb(128, 128, 128);
}

int RelativeHumidity(int temperature, int dewPoint) {
  const auto e = [](double x) { return 6.11 * std::pow(10.0, 7.5 * x / (237.7 + x)); };
  return static_cast<int>(RoundHalfEven(e(dewPoint) / e(temperature) * 100));
}

std::string CeilingLabel(int c) {
  // Hundreds of feet, zero-filled on the left: "005" is 500 ft and "025" 2500 ft, so a
  // low ceiling is never mistaken for a higher one (appending zeros would show 25 as 250).
  std::string digits = std::to_string(std::clamp(c, 0, 999));
  while (digits.size() < 3) digits.insert(digits.begin(), '0');
  return digits;
}

void Plot_Temps(Canvas& canvas, const ShownList& list, const StationPlacer& place, bool useCelsius) {
  ValuePlot(
      canvas, list, place, [](std::string_view d) { return Plottable(DecodedTemperature(d)); }, TemperatureColor,
      [useCelsius](int t) { return PlotNumber(ToShownUnit(t, useCelsius)); });
}

void Plot_DPs(Canvas& canvas, const ShownList& list, const StationPlacer& place, bool useCelsius) {
  ValuePlot(
      canvas, list, place, [](std::string_view d) { return Plottable(DecodedDewPoint(d)); }, DewPointColor,
      [useCelsius](int t) { return PlotNumber(ToShownUnit(t, useCelsius)); });
}

void Plot_RH(Canvas& canvas, const ShownList& list, const StationPlacer& place) {
  ValuePlot(
      canvas, list, place,
      [](std::string_view d) -> std::optional<int> {
        const auto t = Plottable(DecodedTemperature(d));
        const auto td = Plottable(DecodedDewPoint(d));
        if (!t || !td) return std::nullopt;
        return RelativeHumidity(*t, *td);
      },
      HumidityColor, [](int rh) { return PlotNumber(rh); });
}

void Plot_CIGs(Canvas& canvas, const ShownList& list, const StationPlacer& place) {
  ValuePlot(
      canvas, list, place,
      [](std::string_view d) -> std::optional<int> {
        const auto c = DecodedCeiling(d);
        if (!c || *c >= 320) return std::nullopt;
        return c;
      },
      CeilingColor, CeilingLabel);
}

void PlotPeakWinds(Canvas& canvas, const ShownList& list, const StationPlacer& place, int minWind) {
  const Font weak{"Arial", 8, false};
  const Font strong{"Arial", 10, true};
  // Strong winds go in a second pass so that they are drawn over the weak ones.
  for (int pass = 1; pass <= 2; ++pass) {
    for (const ShownStation& station : list) {
      if (!station.shown) continue;
      const int v = station.peakWind;
      const bool take = pass == 1 ? (v >= minWind && v < 35) : v >= 35;
      if (!take) continue;
      const auto at = Place(place, station.latitude, station.longitude);
      if (!at) continue;
      const Color color = pass == 1 ? Rgb(92, 92, 92) : (v < 50 ? Rgb(200, 0, 0) : Rgb(0, 0, 200));
      DotAndText(canvas, *at, 2, color, PlotNumber(v), pass == 1 ? weak : strong);
    }
  }
}

void PlotWindLines(Canvas& canvas, const ShownList& list, const StationPlacer& place) {
  for (const ShownStation& station : list) {
    if (!station.shown) continue;
    const double a = DecodedWindDirection(station.decoded) * 3.14159265 / 180;
    const int s = std::min(DecodedWindSpeed(station.decoded), 30);
    const auto length = static_cast<double>(RoundHalfEven(s / 1.2 + 5));
    // Calm and variable winds (direction 0) are left out.
    if (!(static_cast<float>(length * a) > 1.0f)) continue;
    const auto at = Place(place, station.latitude, station.longitude);
    if (!at) continue;
    canvas.Circle(at->x, at->y, 1, Rgb(0, 0, 0), false);
    canvas.Line(at->x, at->y, at->x + length * std::sin(a), at->y - length * std::cos(a), Rgb(192, 128, 169), 1);
  }
}

void DrawWeatherSymbol(Canvas& canvas, int index, const ShownStation& station, const StationPlacer& place,
                       const SymbolTable& symbols, std::string_view plottedWx) {
  if (!WeatherSymbolWanted(plottedWx, index)) return;
  const auto at = Place(place, station.latitude, station.longitude);
  if (!at) return;
  const Image* image = symbols.Find(index);
  if (!image) return;
  // White is the paper of the bitmaps: the map shows through it.
  canvas.Picture(at->x + 2, at->y + 2, *image, Rgb(255, 255, 255));
}

void PlotWeather(Canvas& canvas, const ShownList& list, const StationPlacer& place, const SymbolTable& symbols,
                 std::string_view plottedWx) {
  for (const ShownStation& station : list) {
    if (!station.shown) continue;
    if (const int index = ChooseWeatherSymbol(station.decoded); index != 0) {
      DrawWeatherSymbol(canvas, index, station, place, symbols, plottedWx);
    }
    if (NeedsFreezingMark(station.decoded)) {
      if (const auto at = Place(place, station.latitude, station.longitude)) {
        canvas.Circle(at->x, at->y, 2, Rgb(15, 15, 225), false);
      }
    }
  }
}

void PlotPoints(Canvas& canvas, const std::vector<PlotPoint>& points, const StationPlacer& place) {
  const Color color = Rgb(255, 222, 168);
  for (const PlotPoint& point : points) {
    const auto at = Place(place, point.latitude, point.longitude);
    if (!at) continue;
    for (int dy = -2; dy <= 2; ++dy) canvas.Line(at->x - 2, at->y + dy, at->x + 2, at->y + dy, color, 1);
  }
}

void PlotStationDots(Canvas& canvas, const ShownList& list, const StationPlacer& place, std::int32_t now) {
  for (const ShownStation& station : list) {
    const auto at = Place(place, station.latitude, station.longitude);
    if (!at) continue;
    const double age = static_cast<double>(now) - station.time;
    const auto g = static_cast<int>(std::clamp<long long>(RoundHalfEven(age * 1.2 + 96), 0, 255));
    canvas.Circle(at->x, at->y, 1, Rgb(128, g, g), false);
  }
}

}  // namespace norvane
