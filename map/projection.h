#pragma once
#include <optional>

#include "core/settings.h"

namespace norvane {

// The marker for a point that cannot be drawn (a break or a point on the far side).
inline constexpr double kHiddenPoint = -32000.0;

// Result of projecting one point onto the screen plane (projected units, not pixels).
struct ProjectedPoint {
  double x = kHiddenPoint;
  double y = kHiddenPoint;
  bool visible = false;
};

// A window pixel.
struct WindowPoint {
  double x = 0;
  double y = 0;
};

// Result of a reverse conversion from a pixel, in hundredths of a degree.
struct PickedPoint {
  double lat100 = 0;
  double lon100 = 0;
};

// The perspective view of a spherical globe: the centre point faces the viewer, the
// eye stands on the axis through it at R + S + E from the globe's centre and the
// screen plane lies E in front of the eye. A plain value; copy it freely.
struct MapProjection {
  double CenterLatitude = 38.5;
  double CenterLongitude = -97;
  double EarthRadius = 3440;
  double EyeDistance = 0.0003;
  double ScreenDistance = 6000;
  double DotScale = 0.00000015;
  // Projected units per window pixel; 0 for a surface of no size (nothing is drawn).
  double Scale = 0;
  // Inner size of the drawing surface in pixels, set by UpdateScale.
  int Width = 0;
  int Height = 0;

  // Takes the view fields from the settings and the scale from the surface size.
  static MapProjection FromSettings(const Settings& settings, int width, int height);

  // Scale = DotScale * 1024 / max(width, height); 0 when either side is not positive.
  // Returns the new Scale.
  double UpdateScale(int width, int height);

  // Projects one station/data point; hidden when its depth is 100 or less.
  ProjectedPoint ProjectPoint(double lat, double lon) const;
  // Same projection with the outline's visibility limit (depth above 1).
  ProjectedPoint ProjectOutlinePoint(double lat, double lon) const;
  // Window pixel of a projected point. With Scale 0 the result is the middle of the
  // surface (never NaN or infinity); callers draw nothing when Scale is 0.
  WindowPoint ToWindow(double x, double y) const;
  // Reverse conversion of a window pixel; nothing when the pixel is off the globe
  // or Scale is 0.
  std::optional<PickedPoint> WindowToLatLong(double x, double y) const;
};

}  // namespace norvane
