#include "map/station_model.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/lenient_number.h"
#include "map/weather_symbol.h"
#include "obs/decoded_observation.h"
#include "obs/observation_reading.h"

namespace norvane {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFeatherAngle = 70;  // degrees between the shaft and a feather
constexpr int kSymbolSize = 21;       // the shipped bitmaps

const Color kInk = Rgb(0, 0, 0);

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct Vec {
  double x, y;
};
// The screen direction of a compass bearing (y grows downwards).
Vec Bearing(double degrees) {
  const double a = degrees * kPi / 180;
  return {std::sin(a), -std::cos(a)};
}

void AddScanFill(std::vector<ModelLine>& lines, double x, double y, double r, int quarters) {
  // Quarters fill clockwise from north: north-east, south-east, south-west, north-west.
  for (double dy = -r + 0.5; dy < r; dy += 1.0) {
    const double half = std::sqrt(std::max(0.0, r * r - dy * dy));
    const bool north = dy < 0;
    const bool right = quarters >= (north ? 1 : 2);
    const bool left = quarters >= (north ? 4 : 3);
    if (right) lines.push_back({x, y + dy, x + half, y + dy});
    if (left) lines.push_back({x - half, y + dy, x, y + dy});
  }
}

void AddTendencyGlyph(std::vector<ModelLine>& lines, int character, double left, double top, double w, double h) {
  // The shape of the last three hours' trace, in a unit box with y down.
  static const std::vector<std::vector<Vec>> kShapes = {
      {{0, 1}, {0.5, 0}, {1, 0.5}},  {{0, 1}, {0.5, 0}, {1, 0}}, {{0, 1}, {1, 0}},
      {{0, 0.5}, {0.5, 1}, {1, 0}},  {{0, 0.5}, {1, 0.5}},       {{0, 0}, {0.5, 1}, {1, 0.5}},
      {{0, 0}, {0.5, 1}, {1, 1}},    {{0, 0}, {1, 1}},           {{0, 0.5}, {0.5, 0}, {1, 1}}};
  if (character < 0 || character > 8) return;
  const auto& shape = kShapes[static_cast<std::size_t>(character)];
  for (std::size_t k = 1; k < shape.size(); ++k)
    lines.push_back({left + shape[k - 1].x * w, top + shape[k - 1].y * h, left + shape[k].x * w, top + shape[k].y * h});
}

// A temperature field read only when its two digits are digits: "0//" from a "/////"
// group would otherwise read as 0 degrees.
std::optional<int> WholeDegrees(std::string_view decoded, int first, std::optional<int> value) {
  const std::string field = DecodedField(decoded, first, 3);
  if (!AllDigits(std::string_view(field).substr(1))) return std::nullopt;
  return value;
}

std::string ShownTemperature(int celsius, bool useCelsius) {
  return std::to_string(useCelsius ? celsius : RoundHalfEven(celsius * 1.8 + 32));
}

}  // namespace

StationModelInput ModelInputFromDecoded(std::string_view decoded, std::string_view report) {
  StationModelInput in;
  if (!report.empty()) {
    const ObservationReading reading = ReadObservation(report);
    in.visibility = VisibilityStatuteMiles(reading);
    in.visibilityAtLeast = reading.visibilityAtLeast;
    if (reading.pressureTendency) {
      in.tendencyCharacter = reading.pressureTendency->characteristic;
      in.tendencyChange = reading.pressureTendency->change;
    }
  }
  in.skyCover = DecodedSkyCover(decoded);
  in.temperature = WholeDegrees(decoded, 41, DecodedTemperature(decoded));
  in.dewPoint = WholeDegrees(decoded, 44, DecodedDewPoint(decoded));
  if (const auto slp = DecodedSeaLevelPressure(decoded); slp && *slp >= 870 && *slp <= 1090) in.seaLevelPressure = slp;
  in.weatherSymbol = ChooseWeatherSymbol(decoded);

  const std::string direction = DecodedWindDirectionText(decoded);
  const std::string speedText = DecodedField(decoded, 50, 3);
  const bool variable = direction == "VRB";
  if ((AllDigits(direction) || variable) && AllDigits(speedText)) {
    const int speed = DecodedWindSpeed(decoded);
    // The decoder stops before the sky when a report has no knot wind group, so an
    // all-zero wind with nothing decoded after it is no wind group at all, not calm.
    const bool decodedPastWind = in.skyCover || in.seaLevelPressure || DecodedCeiling(decoded) ||
                                 DecodedIntensity(decoded) != 0 || DecodedSixHourPrecipitation(decoded) ||
                                 DecodedSnowDepth(decoded);
    const bool zero = direction == "000" && speed == 0;
    // Speeds beyond any surface wind are a damaged report.
    if ((!zero || decodedPastWind) && speed <= 200) {
      in.windKnown = true;
      in.windVariable = variable;
      in.windSpeed = speed;
      const int degrees = DecodedWindDirection(decoded);
      if (!variable && degrees >= 1 && degrees <= 360) in.windDirection = degrees;
    }
  }
  return in;
}

WindBarb LayoutWindBarb(double x, double y, double circleRadius, const StationModelInput& in, bool southern,
                        double size) {
  WindBarb barb;
  if (!in.windKnown || !in.windSpeed) return barb;
  if (*in.windSpeed == 0) {
    barb.calm = true;
    return barb;
  }
  if (!in.windDirection) return barb;  // variable: no direction to point at
  barb.drawn = true;
  barb.side = southern ? -1 : 1;
  const double rounded = 5 * std::floor((*in.windSpeed + 2.5) / 5);
  int fives = static_cast<int>(rounded / 5);
  const int pennants = fives / 10;
  fives %= 10;
  barb.fullFeathers = fives / 2;
  barb.halfFeathers = fives % 2;

  const Vec u = Bearing(*in.windDirection);
  const Vec v = Bearing(*in.windDirection + barb.side * kFeatherAngle);
  const double shaft = 24 * size, feather = 10 * size, spacing = 3.5 * size, base = 4 * size;
  const double outer = circleRadius + shaft;
  barb.shaft = {x + circleRadius * u.x, y + circleRadius * u.y, x + outer * u.x, y + outer * u.y};
  auto at = [&](double along) { return Vec{x + along * u.x, y + along * u.y}; };
  double p = outer;
  for (int k = 0; k < pennants; ++k) {
    const Vec a = at(p), b = at(p - base);
    barb.pennants.push_back({a.x, a.y, b.x, b.y, a.x + feather * v.x, a.y + feather * v.y});
    p -= base;
  }
  if (pennants > 0) p -= spacing * 0.5;
  for (int k = 0; k < barb.fullFeathers; ++k) {
    const Vec a = at(p);
    barb.feathers.push_back({a.x, a.y, a.x + feather * v.x, a.y + feather * v.y});
    p -= spacing;
  }
  if (barb.halfFeathers) {
    // A half feather alone stands in from the tip, so it cannot be read as a whole one.
    if (pennants == 0 && barb.fullFeathers == 0) p -= spacing;
    const Vec a = at(p);
    barb.feathers.push_back({a.x, a.y, a.x + feather / 2 * v.x, a.y + feather / 2 * v.y});
  }
  return barb;
}

double StationModelSize(double screenDistance) {
  if (!(screenDistance > 0)) return 1;
  return std::clamp(std::pow(6000 / screenDistance, 0.2), 1.0, 1.5);
}

PlotFootprint StationModelFootprint(double size) { return PlotFootprint{60 * size, 38 * size}; }

StationModelLayout LayoutStationModel(const StationModelInput& in, double x, double y, bool southern, double size,
                                      bool useCelsius) {
  StationModelLayout m;
  m.x = x;
  m.y = y;
  m.radius = 4.5 * size;
  m.font = Font{"Arial", static_cast<int>(std::lround(8 * size)), false};
  const double r = m.radius, gap = 3 * size, row = 7 + 2 * (size - 1);

  if (!in.skyCover) {
    // Missing: an "M" inside the circle.
    const double w = r * 0.55, h = r * 0.55;
    m.lines.push_back({x - w, y + h, x - w, y - h});
    m.lines.push_back({x - w, y - h, x, y});
    m.lines.push_back({x, y, x + w, y - h});
    m.lines.push_back({x + w, y - h, x + w, y + h});
  } else if (*in.skyCover == 5) {
    const double d = r * 0.7071;
    m.lines.push_back({x - d, y - d, x + d, y + d});
    m.lines.push_back({x - d, y + d, x + d, y - d});
  } else if (*in.skyCover == 4) {
    m.filledCircle = true;
  } else if (*in.skyCover >= 1) {
    AddScanFill(m.lines, x, y, r, *in.skyCover);
  }

  m.barb = LayoutWindBarb(x, y, r, in, southern, size);

  const double leftEdge = x - r - gap, rightEdge = x + r + gap;
  if (in.temperature)
    m.texts.push_back({ModelPart::Temperature, leftEdge, y - row, HAnchor::Right, VAnchor::Bottom,
                       ShownTemperature(*in.temperature, useCelsius), Rgb(200, 0, 0)});
  if (in.dewPoint)
    m.texts.push_back({ModelPart::DewPoint, leftEdge, y + row, HAnchor::Right, VAnchor::Top,
                       ShownTemperature(*in.dewPoint, useCelsius), Rgb(0, 130, 0)});
  if (in.seaLevelPressure) {
    const long long tenths = RoundHalfEven(*in.seaLevelPressure * 10) % 1000;
    std::string digits = std::to_string(tenths);
    digits.insert(0, 3 - std::min<std::size_t>(3, digits.size()), '0');
    m.texts.push_back({ModelPart::Pressure, rightEdge, y - row, HAnchor::Left, VAnchor::Bottom, digits, Rgb(0, 0, 170)});
  }
  if (in.tendencyChange) {
    const long long tenths = RoundHalfEven(std::abs(*in.tendencyChange) * 10);
    const std::string sign = *in.tendencyChange < 0 ? "-" : "+";
    const double glyph = 7 * size;
    if (in.tendencyCharacter) AddTendencyGlyph(m.lines, *in.tendencyCharacter, rightEdge, y + row + 2, glyph, glyph);
    m.texts.push_back({ModelPart::Tendency, rightEdge + (in.tendencyCharacter ? glyph + 2 : 0), y + row,
                       HAnchor::Left, VAnchor::Top, sign + (tenths < 10 ? "0" : "") + std::to_string(tenths),
                       Rgb(0, 0, 170)});
  }
  if (in.weatherSymbol >= 1 && in.weatherSymbol <= kWeatherSymbolCount) {
    m.symbol = in.weatherSymbol;
    // The bitmaps keep a few pixels of paper around their mark.
    m.symbolX = leftEdge + 3;
  }
  // "10 km or more" is no restriction a reader needs to see.
  if (in.visibility && !in.visibilityAtLeast && *in.visibility >= 0 && *in.visibility < 10) {
    const double right = m.symbol ? m.symbolX - kSymbolSize + 2 : leftEdge;
    m.texts.push_back({ModelPart::Visibility, right, y, HAnchor::Right, VAnchor::Middle, VisibilityText(*in.visibility),
                       Rgb(110, 0, 150)});
  }
  return m;
}

void DrawStationModel(Canvas& canvas, const StationModelLayout& m, const SymbolTable* symbols) {
  canvas.Circle(m.x, m.y, m.radius, kInk, m.filledCircle);
  if (m.filledCircle) canvas.Circle(m.x, m.y, m.radius, kInk, false);
  for (const ModelLine& l : m.lines) canvas.Line(l.x1, l.y1, l.x2, l.y2, kInk, 1);
  const WindBarb& b = m.barb;
  if (b.calm) canvas.Circle(m.x, m.y, m.radius * 1.6, kInk, false);
  if (b.drawn) {
    canvas.Line(b.shaft.x1, b.shaft.y1, b.shaft.x2, b.shaft.y2, kInk, 1);
    for (const ModelLine& l : b.feathers) canvas.Line(l.x1, l.y1, l.x2, l.y2, kInk, 1);
    for (const ModelTriangle& t : b.pennants) {
      // Filled by lines from the apex to the base, half a pixel apart.
      const double length = std::hypot(t.x2 - t.x1, t.y2 - t.y1);
      const int steps = std::max(1, static_cast<int>(std::ceil(length * 2)));
      for (int k = 0; k <= steps; ++k) {
        const double f = static_cast<double>(k) / steps;
        canvas.Line(t.x3, t.y3, t.x1 + f * (t.x2 - t.x1), t.y1 + f * (t.y2 - t.y1), kInk, 1);
      }
    }
  }
  if (m.symbol && symbols) {
    if (const Image* image = symbols->Find(m.symbol))
      canvas.Picture(m.symbolX - image->width, m.y - image->height / 2.0, *image, Rgb(255, 255, 255));
  }
  for (const ModelText& t : m.texts) {
    double x = t.x, y = t.y;
    if (t.h == HAnchor::Right) x -= canvas.TextWidth(t.text, m.font);
    const double h = canvas.TextHeight(t.text, m.font);
    if (t.v == VAnchor::Bottom) y -= h;
    if (t.v == VAnchor::Middle) y -= h / 2;
    canvas.Text(x, y, t.text, m.font, t.color);
  }
}

std::string VisibilityText(double miles) {
  if (!(miles >= 0)) return "";
  const long long quarters = std::llround(miles * 4);
  const long long whole = quarters / 4;
  static const char* const kFractions[] = {"", "1/4", "1/2", "3/4"};
  const char* fraction = kFractions[quarters % 4];
  if (whole == 0) return *fraction ? fraction : "0";
  return std::to_string(whole) + (*fraction ? std::string(" ") + fraction : "");
}

void PlotStationModels(Canvas& canvas, const ShownList& list, const StationPlacer& place, double size,
                       bool useCelsius, const SymbolTable* symbols, std::string_view plottedWx) {
  if (!place) return;
  for (const ShownStation& station : list) {
    if (!station.shown) continue;
    const auto at = place(station.latitude / 100.0, station.longitude / 100.0);
    if (!at) continue;
    StationModelInput in = ModelInputFromDecoded(station.decoded, station.report);
    if (!WeatherSymbolWanted(plottedWx, in.weatherSymbol)) in.weatherSymbol = 0;
    DrawStationModel(canvas, LayoutStationModel(in, at->x, at->y, station.latitude < 0, size, useCelsius), symbols);
  }
}

}  // namespace norvane
