#include "grid/build_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/great_circle.h"
#include "core/lenient_number.h"
#include "core/number_text.h"

namespace norvane {
namespace {

constexpr float kMinimumStep = 0.01f;
constexpr std::int32_t kReportWindowMinutes = 120;

// Characters first..last (1-based, inclusive) of a decoded text; fewer or none
// past its end, so a short or damaged text never reads outside itself.
std::string_view Columns(std::string_view text, std::size_t first, std::size_t last) {
  if (first > text.size()) return {};
  return text.substr(first - 1, std::min(last, text.size()) - first + 1);
}

double ColumnValue(std::string_view text, std::size_t first, std::size_t last) {
  return LenientNumber(Columns(text, first, last));
}

// A value held in a 16-bit integer: rounded half to even, clamped to the range.
double Rounded16(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<double>(RoundHalfEven(std::clamp(value, -32768.0, 32767.0)));
}

// A temperature-like field: "M" in its first column marks a negative value, the
// magnitude is in the two columns after it, 999 marks it missing.
bool SignedField(std::string_view text, std::size_t first, double& value) {
  if (ColumnValue(text, first, first + 2) == 999) return false;
  value = ColumnValue(text, first + 1, first + 2);
  if (Columns(text, first, first) == "M") value = -value;
  return true;
}

float Distance(float lat1, float lon1, float lat2, float lon2, float earthRadius) {
  return static_cast<float>(GreatCircleDistance(lat1, lon1, lat2, lon2, earthRadius));
}

struct Box {
  GridHeader header;
  int nLat = 0, nLon = 0;
  float startLat = 0, startLon = 0, endLat = 0, endLon = 0, latStep = 0, lonStep = 0;
};

std::variant<Box, GridRefusal> CheckBox(const GridBuildParameters& p) {
  Box b;
  b.startLat = p.startLatitude;
  b.endLat = p.endLatitude;
  b.startLon = p.startLongitude;
  b.endLon = p.endLongitude;
  b.latStep = p.latitudeStep;
  b.lonStep = p.longitudeStep;
  if (b.startLat == b.endLat) return GridRefusal{"Cannot make grid because start latitude = end latitude"};
  if (b.endLat < b.startLat) std::swap(b.startLat, b.endLat);
  if (b.startLon == b.endLon) return GridRefusal{"Cannot make grid because start Longitude = end longitude"};
  if (b.endLon < b.startLon) std::swap(b.startLon, b.endLon);
  if (b.lonStep < kMinimumStep) return GridRefusal{"Cannot make grid because step interval for longitude is < 0.01"};
  if (b.latStep < kMinimumStep) return GridRefusal{"Cannot make grid because step interval for latitude is < 0.01"};
  // A quotient that is not a finite number (an infinite or NaN corner or step)
  // counts as too large, so nothing below ever converts it to an integer.
  // Widened to double like the header, so readers compute the same counts.
  const double qLat = std::floor((static_cast<double>(b.endLat) - b.startLat) / b.latStep);
  const double qLon = std::floor((static_cast<double>(b.endLon) - b.startLon) / b.lonStep);
  if (!(qLat <= 32000)) return GridRefusal{"Cannot make grid because latitude grid is too large"};
  if (!(qLon <= 32000)) return GridRefusal{"Cannot make grid because longitude grid is too large"};
  b.nLat = static_cast<int>(qLat);
  b.nLon = static_cast<int>(qLon);
  if (b.nLat < 1) return GridRefusal{"Cannot make grid because latitude grid is too small"};
  if (b.nLon < 1) return GridRefusal{"Cannot make grid because longitude grid is too small"};
  // Record numbers are 16-bit: the header and every cell must fit in 32767 records.
  if (1 + static_cast<long long>(b.nLat + 1) * (b.nLon + 1) > kMaxGridRecords)
    return GridRefusal{"Cannot make grid because grid is too large"};
  b.header.EndLongitude = b.endLon;
  b.header.StartLongitude = b.startLon;
  b.header.EndLatitude = b.endLat;
  b.header.StartLatitude = b.startLat;
  b.header.LatitudeStep = b.latStep;
  b.header.LongitudeStep = b.lonStep;
  return b;
}

// Working sums of one grid point, laid out like GridCell.
struct Sums {
  std::array<double, 8> value{};
  std::array<double, 8> weight{};
};
enum Field { kTemperature, kDewPoint, kWindSpeed, kPeakWind, kPressure, kCeiling, kDirNorth, kDirEast };

void AddReport(Sums& s, const ReportValues& r, double w) {
  if (r.hasDewPoint) { s.value[kDewPoint] += w * r.dewPoint; s.weight[kDewPoint] += w; }
  if (r.hasTemperature) { s.value[kTemperature] += w * r.temperature; s.weight[kTemperature] += w; }
  if (r.hasPressure) { s.value[kPressure] += w * r.pressure; s.weight[kPressure] += w; }
  if (r.hasSpeed) { s.value[kWindSpeed] += w * r.speed; s.weight[kWindSpeed] += w; }
  if (r.hasCeiling) { s.value[kCeiling] += w * r.ceiling; s.weight[kCeiling] += w; }
  if (r.hasDirection) {
    s.value[kDirNorth] += w * r.dirNorth;
    s.value[kDirEast] += w * r.dirEast;
    s.weight[kDirNorth] += r.speedWeight * w;
    s.value[kWindSpeed] += w * r.speed;
    s.weight[kWindSpeed] += w;
  }
  if (r.hasPeak) { s.value[kPeakWind] += w * r.peak; s.weight[kPeakWind] += w; }
}

GridCell Finish(const Sums& s) {
  auto mean = [&](int f) { return s.weight[f] > 0 ? s.value[f] / s.weight[f] : MissingValue; };
  GridCell c;
  c.Temperature = mean(kTemperature);
  c.DewPoint = mean(kDewPoint);
  c.WindSpeed = mean(kWindSpeed);
  c.PeakWind = mean(kPeakWind);
  c.Pressure = mean(kPressure);
  c.Ceiling = s.weight[kCeiling] > 0 ? s.value[kCeiling] / s.weight[kCeiling] : 999;
  const double dirWeight = s.weight[kDirNorth];
  c.DirNorth = dirWeight > 0 ? s.value[kDirNorth] / dirWeight : MissingValue;
  c.DirEast = dirWeight > 0 ? s.value[kDirEast] / dirWeight : MissingValue;
  return c;
}

// (radius - d) to the power of the exponent, held in single precision like the
// rest of the builder; a weight beyond single range stays in double instead of
// becoming infinite, so large exponents still give finite means.
double Weight(float radius, float d, int exponent) {
  const double w = std::pow(static_cast<double>(radius - d), exponent);
  const float held = static_cast<float>(w);
  return std::isfinite(held) ? static_cast<double>(held) : w;
}

struct Window {
  long long rowLo, rowHi, colLo, colHi;
};

// The grid points a station can reach, clipped to the grid. The spans are those
// of the spherical cap of the radius around the station, measured from the
// station itself rather than from the corner of its cell, so a station near the
// east or north edge of a coarse cell still reaches every point within the radius.
// A cap that holds a pole or crosses the date line takes the whole row.
Window StationWindow(const Box& b, float lat, float lon, float radius, float earthRadius) {
  constexpr double kPi = 3.14159265358979323846;
  constexpr double kMargin = 0.01;  // degrees, for the single-precision distances
  const Window none{0, -1, 0, -1};
  if (!(radius > 0)) return none;
  const double angle = static_cast<double>(radius) / earthRadius;  // radians
  Window w{0, b.nLat, 0, b.nLon};
  if (angle >= kPi) return w;
  const double spanLat = angle * 180 / kPi + kMargin;
  auto index = [](double offset, double step, bool up) {
    const double q = up ? std::ceil(offset / step) : std::floor(offset / step);
    return static_cast<long long>(std::clamp(q, -1e9, 1e9));
  };
  w.rowLo = std::max(0LL, index(lat - spanLat - b.startLat, b.latStep, false));
  w.rowHi = std::min<long long>(b.nLat, index(lat + spanLat - b.startLat, b.latStep, true));
  const double cosLat = std::cos(lat * kPi / 180);
  if (std::fabs(lat) + spanLat >= 90 || cosLat <= 0) return w;
  const double s = std::sin(angle) / cosLat;
  if (s >= 1) return w;
  const double spanLon = std::asin(s) * 180 / kPi + kMargin;
  if (lon - spanLon < -180 || lon + spanLon > 180) return w;
  w.colLo = std::max(0LL, index(lon - spanLon - b.startLon, b.lonStep, false));
  w.colHi = std::min<long long>(b.nLon, index(lon + spanLon - b.startLon, b.lonStep, true));
  return w;
}

std::size_t StationCount(std::span<const GridStation> stations) {
  for (std::size_t k = 0; k < stations.size(); ++k)
    if (stations[k].identifier == "end") return k;
  return stations.size();
}

template <typename VisitWindow>
GridOutcome Compute(const GridBuildParameters& p, const GridBuildContext& ctx, GridBuildHooks& hooks,
                    VisitWindow windowOf) {
  auto checked = CheckBox(p);
  if (auto* refusal = std::get_if<GridRefusal>(&checked)) return *refusal;
  const Box& b = std::get<Box>(checked);
  const float radius = p.radius;
  const float R = ctx.earthRadius;
  if (radius > 1 && !std::isfinite(std::pow(static_cast<double>(radius), p.exponent) * 1e8))
    return GridRefusal{"Cannot make grid because weighting exponent is too large"};

  const float cLat = (b.startLat + b.endLat) / 2, cLon = (b.startLon + b.endLon) / 2;
  const float reach = radius + std::max(Distance(cLat, cLon, b.startLat, b.startLon, R),
                                        Distance(cLat, cLon, b.endLat, b.endLon, R));
  const int rows = b.nLat + 1, cols = b.nLon + 1;
  std::vector<Sums> sums(static_cast<std::size_t>(rows) * cols);
  std::vector<float> rowLat(rows), colLon(cols);
  for (int i = 0; i < rows; ++i) rowLat[i] = b.startLat + static_cast<float>(i) * b.latStep;
  for (int j = 0; j < cols; ++j) colLon[j] = b.startLon + static_cast<float>(j) * b.lonStep;

  const std::size_t count = StationCount(ctx.stations);
  std::string lastCaption;
  for (std::size_t k = 0; k <= count; ++k) {
    // With no stations at all the fraction is shown as 0 rather than divided by zero.
    const double fraction = count > 0 ? static_cast<double>(k) / static_cast<double>(count) : 0.0;
    std::string caption = "Grid - " + FormatNumber(fraction, "0.0%") + " -- PID " + ctx.processNumber;
    if (caption != lastCaption) {
      hooks.Caption(caption);
      lastCaption = std::move(caption);
    }
    if (!hooks.BeforeStation()) return GridStopped{};
    if (k == count) break;
    const GridStation& st = ctx.stations[k];
    const float lat = static_cast<float>(st.latitude) / 100, lon = static_cast<float>(st.longitude) / 100;
    if (!(Distance(lat, lon, cLat, cLon, R) <= reach)) continue;
    const auto report = PickReport(st, ctx.nowMinutes, p.minutesBack, hooks);
    if (!report) continue;
    const ReportValues values = ReadReportValues(report->decoded);
    const Window w = windowOf(b, lat, lon, radius, R);
    for (long long i = w.rowLo; i <= w.rowHi; ++i) {
      for (long long j = w.colLo; j <= w.colHi; ++j) {
        const float d = Distance(lat, lon, rowLat[i], colLon[j], R);
        if (!(d < radius)) continue;
        AddReport(sums[static_cast<std::size_t>(i) * cols + j], values, Weight(radius, d, p.exponent));
      }
    }
  }

  Grid grid;
  grid.header = b.header;
  grid.size = GridSize{rows, cols};
  grid.cells.reserve(sums.size());
  for (const Sums& s : sums) grid.cells.push_back(Finish(s));
  return grid;
}

}  // namespace

ReportValues ReadReportValues(std::string_view t) {
  ReportValues r;
  r.hasDewPoint = SignedField(t, 44, r.dewPoint);
  r.hasTemperature = SignedField(t, 41, r.temperature);
  const double pressure = ColumnValue(t, 36, 40);
  if (pressure > 9640) { r.hasPressure = true; r.pressure = pressure / 10; }
  r.speed = ColumnValue(t, 50, 52);
  r.hasSpeed = r.speed < 100;
  const auto cover = Columns(t, 35, 35);
  if (cover == "3" || cover == "4" || cover == "5") { r.hasCeiling = true; r.ceiling = ColumnValue(t, 32, 34); }
  const double direction = ColumnValue(t, 47, 49);
  if (direction > 0 && r.speed < 100) {
    r.hasDirection = true;
    r.speedWeight = Rounded16(r.speed);
    const double radians = direction * 0.017453292522222223;
    r.dirNorth = std::cos(radians) * r.speedWeight;
    r.dirEast = std::sin(radians) * r.speedWeight;
  }
  r.peak = Rounded16(ColumnValue(t, 61, 63));
  r.hasPeak = r.peak < 100;
  return r;
}

std::optional<GridReport> PickReport(const GridStation& station, std::int32_t nowMinutes, std::int32_t minutesBack,
                                     GridBuildHooks& hooks) {
  // 64-bit so that extreme minutes back cannot overflow the window arithmetic.
  const long long now = nowMinutes;
  if (minutesBack == 0) {
    if (station.reports[0].time > now - kReportWindowMinutes) return station.reports[0];
    return std::nullopt;
  }
  const long long target = now - minutesBack;
  for (const GridReport& slot : station.reports)
    if (slot.time <= target && target - slot.time <= kReportWindowMinutes) return slot;
  for (GridReport& record : hooks.ArchiveReports(station.identifier))
    if (target - kReportWindowMinutes < record.time && record.time <= target) return std::move(record);
  return std::nullopt;
}

std::variant<GridHeader, GridRefusal> OrderedGridBox(const GridBuildParameters& parameters) {
  auto checked = CheckBox(parameters);
  if (auto* refusal = std::get_if<GridRefusal>(&checked)) return *refusal;
  return std::get<Box>(checked).header;
}

GridOutcome ComputeGrid(const GridBuildParameters& parameters, const GridBuildContext& context,
                        GridBuildHooks& hooks) {
  return Compute(parameters, context, hooks, StationWindow);
}

GridOutcome ComputeGridEveryPoint(const GridBuildParameters& parameters, const GridBuildContext& context,
                                  GridBuildHooks& hooks) {
  return Compute(parameters, context, hooks, [](const Box& b, float, float, float, float) {
    return Window{0, b.nLat, 0, b.nLon};
  });
}

void BuildGrid(const GridBuildParameters& parameters, const GridBuildContext& context, GridBuildHooks& hooks,
               GridStatusSink& status, FileSystem& fs) {
  status.Status("Building grid '" + parameters.name + "'", false);
  GridOutcome outcome = ComputeGrid(parameters, context, hooks);
  if (auto* refusal = std::get_if<GridRefusal>(&outcome)) {
    status.Error(refusal->message, true);
    return;
  }
  if (std::holds_alternative<GridStopped>(outcome)) return;
  Grid& grid = std::get<Grid>(outcome);
  grid.header.Reserved1 = GridValidTimeField(context.nowMinutes - parameters.minutesBack);
  if (!WriteGridFile(fs, parameters.name + ".nv1", grid)) {
    status.Abort();
    return;
  }
  status.Status("Grid '" + parameters.name + "' complete", true);
}

}  // namespace norvane
