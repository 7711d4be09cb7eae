#include "map/projection.h"

#include <algorithm>
#include <cmath>

namespace norvane {
namespace {

constexpr double kDegToRad = 3.141592654 / 180;

// Roots of a*t^2 + b*t + c = 0 as the reverse conversion takes them: the larger root
// when positive, else the smaller; nothing when there is no usable root.
std::optional<double> PositiveRoot(double a, double b, double c) {
  if (a == 0) return std::nullopt;
  const double disc = b * b - 4 * a * c;
  if (disc < 0 || !std::isfinite(disc)) return std::nullopt;
  const double root = std::sqrt(disc);
  double t = (-b + root) / (2 * a);
  if (!(t > 0)) {
    t = (-b - root) / (2 * a);
    if (t == 0) return std::nullopt;
  }
  if (t < 0 || !std::isfinite(t)) return std::nullopt;
  return t;
}

}  // namespace

MapProjection MapProjection::FromSettings(const Settings& settings, int width, int height) {
  MapProjection p;
  p.CenterLatitude = settings.CenterLatitude;
  p.CenterLongitude = settings.CenterLongitude;
  p.EarthRadius = settings.EarthRadius;
  p.EyeDistance = settings.EyeDistance;
  p.ScreenDistance = settings.ScreenDistance;
  p.DotScale = settings.DotScale;
  p.UpdateScale(width, height);
  return p;
}

double MapProjection::UpdateScale(int width, int height) {
  Width = std::max(width, 0);
  Height = std::max(height, 0);
  // A minimised window has a surface of no size: no scale, so nothing is drawn.
  const int side = std::max(width, height);
  Scale = (width > 0 && height > 0) ? static_cast<float>(DotScale * 1024.0 / side) : 0.0;
  if (!std::isfinite(Scale)) Scale = 0;
  return Scale;
}

static ProjectedPoint Project(const MapProjection& p, double lat, double lon, double depthLimit) {
  const double R = p.EarthRadius;
  const double h = R * std::sin(lat * kDegToRad);
  const double r = R * std::cos(lat * kDegToRad);
  const double dl = (lon - p.CenterLongitude) * kDegToRad;
  const double x = r * std::sin(dl);
  const double y = r * std::cos(dl);
  const double c = std::cos(-p.CenterLatitude * kDegToRad);
  const double s = std::sin(-p.CenterLatitude * kDegToRad);
  const double d = c * y - s * h;
  const double v = s * y + c * h;
  ProjectedPoint out;
  if (!(d > depthLimit)) return out;
  const double denom = R - d + p.ScreenDistance + p.EyeDistance;
  if (denom == 0) return out;
  const double f = p.EyeDistance / denom;
  const double px = static_cast<float>(f * x), py = static_cast<float>(f * v);
  if (!std::isfinite(px) || !std::isfinite(py)) return out;
  out.x = px;
  out.y = py;
  out.visible = true;
  return out;
}

ProjectedPoint MapProjection::ProjectPoint(double lat, double lon) const { return Project(*this, lat, lon, 100); }

ProjectedPoint MapProjection::ProjectOutlinePoint(double lat, double lon) const {
  return Project(*this, lat, lon, 1);
}

WindowPoint MapProjection::ToWindow(double x, double y) const {
  if (Scale == 0) return {Width / 2.0, Height / 2.0};
  return {x / Scale + Width / 2.0, -y / Scale + Height / 2.0};
}

std::optional<PickedPoint> MapProjection::WindowToLatLong(double px, double py) const {
  if (Scale == 0) return std::nullopt;
  const double R = EarthRadius, E = EyeDistance, S = ScreenDistance;
  const double X = (px - Width / 2.0) * Scale;
  const double Y = -(py - Height / 2.0) * Scale;
  // First depth, from the horizontal ray.
  const double K = S + R + E;
  const auto t = PositiveRoot(X * X + E * E, -2 * X * X * K, X * X * K * K - E * E * R * R);
  if (!t) return std::nullopt;
  // Second depth, from the vertical ray, with t in place of the radius.
  const double K2 = *t + S + E;
  const auto d = PositiveRoot(E * E + Y * Y, -2 * Y * Y * K2, Y * Y * K2 * K2 - E * E * *t * *t);
  if (!d || *d < 2500) return std::nullopt;
  const double v = (R - *d + S + E) * Y / E;
  const double x3 = (R - *d + S + E) * X / E;
  const double c = std::cos(-CenterLatitude * kDegToRad);
  const double s = std::sin(-CenterLatitude * kDegToRad);
  const double cs = c * c + s * s;
  if (cs == 0) return std::nullopt;
  const double h = (c * v - s * *d) / cs;
  const double u = h / R;
  if (u == 1 || u == -1 || !std::isfinite(u)) return std::nullopt;
  const double phi = std::atan(u / std::sqrt(std::fabs(1 - u * u)));
  const double r = R * std::cos(phi);
  if (r == 0) return std::nullopt;
  const double w = x3 / r;
  if (w == 1 || w == -1 || !std::isfinite(w)) return std::nullopt;
  const double lam = std::atan(w / std::sqrt(std::fabs(1 - w * w))) + CenterLongitude * kDegToRad;
  const double lat = phi / kDegToRad;
  double lon = lam / kDegToRad;
  if (lon < -180) lon = 180 - (-180 - lon);
  if (lon > 180) lon = lon - 360;
  if (!std::isfinite(lat) || !std::isfinite(lon)) return std::nullopt;
  return PickedPoint{100 * lat, 100 * lon};
}

}  // namespace norvane
