#include "map/grid_region.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"

namespace norvane {
namespace {

// The grid file numbers its records in 16 bits: the header and 32766 points.
constexpr long long kMaxGridPoints = 32766;
constexpr double kSteps[] = {0.25, 0.5, 0.75, 1, 1.5, 2, 2.5, 3, 4, 5, 6, 8, 10};

long long PointsOf(const MapRegion& r, double step) {
  const long long rows = static_cast<long long>(std::floor((r.latMax - r.latMin) / 100.0 / step)) + 1;
  const long long columns = static_cast<long long>(std::floor((r.lonMax - r.lonMin) / 100.0 / step)) + 1;
  return rows * columns;
}

}  // namespace

bool IsWholeWorld(const MapRegion& r) {
  return r.latMin <= -9000 && r.latMax >= 9000 && r.lonMin <= -18000 && r.lonMax >= 18000;
}

MapRegion VisibleRegion(const MapProjection& view) {
  MapRegion whole;
  if (view.Width <= 0 || view.Height <= 0 || view.Scale == 0) return whole;
  double south = 1e9, north = -1e9, west = 1e9, east = -1e9;
  bool any = false;
  // Sample the picture: the edges closely (they carry the extremes), the inside coarsely
  // (a pole or the limb of the globe may lie there).
  constexpr int kSamples = 48;
  for (int i = 0; i <= kSamples; ++i) {
    for (int j = 0; j <= kSamples; ++j) {
      const double x = view.Width * static_cast<double>(i) / kSamples;
      const double y = view.Height * static_cast<double>(j) / kSamples;
      const auto p = view.WindowToLatLong(x, y);
      if (!p) continue;
      any = true;
      south = std::min(south, p->lat100), north = std::max(north, p->lat100);
      west = std::min(west, p->lon100), east = std::max(east, p->lon100);
    }
  }
  if (!any) return whole;
  MapRegion r;
  r.latMin = std::max(-9000, static_cast<int>(std::floor(south / 100)) * 100);
  r.latMax = std::min(9000, static_cast<int>(std::ceil(north / 100)) * 100);
  r.lonMin = std::max(-18000, static_cast<int>(std::floor(west / 100)) * 100);
  r.lonMax = std::min(18000, static_cast<int>(std::ceil(east / 100)) * 100);
  // Longitudes on both sides of the date line, or a pole in sight: every longitude.
  const bool crossesDateLine = west < -17000 && east > 17000;
  const auto pole = [&](double lat) {
    const ProjectedPoint p = view.ProjectPoint(lat, 0);
    if (!p.visible) return false;
    const WindowPoint w = view.ToWindow(p.x, p.y);
    return w.x >= 0 && w.y >= 0 && w.x <= view.Width && w.y <= view.Height;
  };
  if (crossesDateLine || pole(90) || pole(-90)) r.lonMin = -18000, r.lonMax = 18000;
  if (pole(90)) r.latMax = 9000;
  if (pole(-90)) r.latMin = -9000;
  return r;
}

MapRegion GridRegion(const MapRegion& made, const MapProjection& view) {
  return IsWholeWorld(made) ? VisibleRegion(view) : made;
}

int StationsInside(const ObservationStore& store, const MapRegion& r) {
  int count = 0;
  for (int i = 0; i < store.EndIndex(); ++i) {
    const StationObservations& s = store[i];
    if (s.identifier.empty()) continue;
    if (s.latitude >= r.latMin && s.latitude <= r.latMax && s.longitude >= r.lonMin && s.longitude <= r.lonMax) ++count;
  }
  return count;
}

std::string MapGridBox::Words() const {
  return TrimmedNumberText(south) + " " + TrimmedNumberText(west) + " " + TrimmedNumberText(north) + " " +
         TrimmedNumberText(east) + " " + TrimmedNumberText(step) + " " + TrimmedNumberText(step);
}

MapGridBox GridBoxFor(const MapRegion& region, int stationsInside, double earthRadius) {
  MapRegion r = region;
  // A grid needs at least one step each way.
  if (r.latMax - r.latMin < 100) r.latMax = std::min(9000, r.latMin + 100), r.latMin = r.latMax - 100;
  if (r.lonMax - r.lonMin < 100) r.lonMax = std::min(18000, r.lonMin + 100), r.lonMin = r.lonMax - 100;
  const double latSpan = (r.latMax - r.latMin) / 100.0, lonSpan = (r.lonMax - r.lonMin) / 100.0;
  const double midLat = (r.latMax + r.latMin) / 200.0;
  // Square degrees of the box, counted as on the ground (a degree of longitude shrinks
  // with the cosine of the latitude); without stations, a step of one degree.
  const double area = latSpan * lonSpan * std::max(0.2, std::cos(midLat * 3.141592653589793 / 180));
  const double spacing = stationsInside > 0 ? std::sqrt(area / stationsInside) : 1.0;
  std::size_t k = 0;
  while (k + 1 < std::size(kSteps) && kSteps[k + 1] <= spacing * 1.2) ++k;
  while (k + 1 < std::size(kSteps) && PointsOf(r, kSteps[k]) > kMaxGridPoints) ++k;
  MapGridBox box;
  box.south = r.latMin / 100.0, box.north = r.latMax / 100.0;
  box.west = r.lonMin / 100.0, box.east = r.lonMax / 100.0;
  box.step = kSteps[k];
  // Nautical miles per degree scale with the earth radius (60 at the default 3440).
  const double perDegree = 60 * (earthRadius > 0 ? earthRadius : 3440) / 3440;
  box.radius = static_cast<int>(std::clamp(std::round(2.5 * box.step * perDegree), 1.0, 32000.0));
  return box;
}

}  // namespace norvane
