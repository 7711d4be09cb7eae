#include "core/great_circle.h"

#include <cmath>

namespace norvane {

double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2, double earthRadius) {
  constexpr double k = 3.141592654 / 180;
  const double R = earthRadius;
  const double z1 = R * std::sin(lat1 * k), x1 = R * std::cos(lat1 * k) * std::sin(lon1 * k),
               y1 = R * std::cos(lat1 * k) * std::cos(lon1 * k);
  const double z2 = R * std::sin(lat2 * k), x2 = R * std::cos(lat2 * k) * std::sin(lon2 * k),
               y2 = R * std::cos(lat2 * k) * std::cos(lon2 * k);
  const double chord = std::sqrt((x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2) + (z1 - z2) * (z1 - z2));
  if (static_cast<float>(2 * R) <= chord) return R * 3.141592654;
  const double a = std::atan(chord / (2 * std::sqrt(R * R - chord * chord / 4)));
  return R * 6.283185308 * a / 3.141592654;
}

}  // namespace norvane
