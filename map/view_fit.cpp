#include "map/view_fit.h"

#include <algorithm>
#include <vector>

#include "map/projection.h"

namespace norvane {
namespace {

struct Extent {
  bool fits = true;
  double size = 0;  // the larger side of the region's box on the picture, in pixels
};

Extent ExtentAt(const Settings& settings, const std::vector<std::pair<double, double>>& border, int width, int height) {
  const MapProjection view = MapProjection::FromSettings(settings, width, height);
  Extent e;
  double left = 1e300, right = -1e300, top = 1e300, bottom = -1e300;
  for (const auto& [lat, lon] : border) {
    const ProjectedPoint p = view.ProjectPoint(lat, lon);
    if (!p.visible) {
      e.fits = false;
      continue;
    }
    const WindowPoint w = view.ToWindow(p.x, p.y);
    left = std::min(left, w.x), right = std::max(right, w.x);
    top = std::min(top, w.y), bottom = std::max(bottom, w.y);
  }
  if (left > right) return {false, 0};
  e.fits = e.fits && left >= 0 && top >= 0 && right <= width && bottom <= height;
  e.size = std::max(right - left, bottom - top);
  return e;
}

}  // namespace

void FitViewToRegion(Settings& settings, const MapRegion& region, int width, int height) {
  const double latMin = region.latMin / 100.0, latMax = region.latMax / 100.0;
  const double lonMin = region.lonMin / 100.0, lonMax = region.lonMax / 100.0;
  settings.CenterLatitude = (latMin + latMax) / 2;
  settings.CenterLongitude = (lonMin + lonMax) / 2;
  if (width <= 0 || height <= 0) return;
  std::vector<std::pair<double, double>> border;
  constexpr int kSteps = 8;
  for (int k = 0; k <= kSteps; ++k) {
    const double f = static_cast<double>(k) / kSteps;
    border.emplace_back(latMin, lonMin + f * (lonMax - lonMin));
    border.emplace_back(latMax, lonMin + f * (lonMax - lonMin));
    border.emplace_back(latMin + f * (latMax - latMin), lonMin);
    border.emplace_back(latMin + f * (latMax - latMin), lonMax);
  }
  // The zoom buttons' range in their own steps: the best fit is the largest picture
  // of the region that still fits; a region too large for any is shown as small as it gets.
  Settings trial = settings;
  double bestFit = 0, bestFitSize = -1, smallest = 0, smallestSize = 1e300;
  for (double s = 100; s <= 100000 * 1.0001; s *= 1.1) {
    trial.ScreenDistance = s;
    const Extent e = ExtentAt(trial, border, width, height);
    if (e.fits && e.size > bestFitSize) bestFit = s, bestFitSize = e.size;
    if (e.size > 0 && e.size < smallestSize) smallest = s, smallestSize = e.size;
  }
  if (bestFitSize > 0) settings.ScreenDistance = bestFit;
  else if (smallest > 0) settings.ScreenDistance = smallest;
}

}  // namespace norvane
