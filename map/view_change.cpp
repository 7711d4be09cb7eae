#include "map/view_change.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/lenient_number.h"
#include "core/number_text.h"
#include "map/draw_map.h"
#include "map/plots.h"

namespace norvane {
namespace {

constexpr int kWheelNotch = 120;

double FoldLongitude(double lon) {
  if (lon > 180) lon -= 360;
  if (lon < -180) lon += 360;
  return lon;
}

}  // namespace

std::optional<ViewStep> ButtonStep(std::string_view control) {
  if (control == "cmdZoom") return ViewStep::ZoomIn;
  if (control == "cmdUnzoom") return ViewStep::ZoomOut;
  if (control == "cmdUp") return ViewStep::Up;
  if (control == "cmdDown") return ViewStep::Down;
  if (control == "cmdLeft") return ViewStep::Left;
  if (control == "cmdRight") return ViewStep::Right;
  return std::nullopt;
}

void StepView(Settings& s, ViewStep step) {
  // The pan step grows with the zoom so that one press moves the picture by about
  // the same share of the screen at every zoom.
  const double pan = s.ScreenDistance / 1500;
  switch (step) {
    case ViewStep::ZoomIn:
      s.ScreenDistance *= 0.909090909090909;
      if (s.ScreenDistance < kMinScreenDistance) s.ScreenDistance = kMinScreenDistance;
      break;
    case ViewStep::ZoomOut:
      s.ScreenDistance *= 1.1;
      if (s.ScreenDistance > kMaxScreenDistance) s.ScreenDistance = kMaxScreenDistance;
      break;
    case ViewStep::Up:
      s.CenterLatitude = std::min(90.0, s.CenterLatitude + pan);
      break;
    case ViewStep::Down:
      s.CenterLatitude = std::max(-90.0, s.CenterLatitude - pan);
      break;
    case ViewStep::Right:
      s.CenterLongitude += pan;
      if (s.CenterLongitude > 180) s.CenterLongitude -= 360;
      break;
    case ViewStep::Left:
      s.CenterLongitude -= pan;
      if (s.CenterLongitude < -180) s.CenterLongitude += 360;
      break;
  }
}

int WheelNotches(int angleDelta, int& carry) {
  // Kept in a wide type: a wheel driver may report any delta.
  const long long total = static_cast<long long>(carry) + angleDelta;
  const long long notches = total / kWheelNotch;  // towards zero, so the rest keeps its sign
  carry = static_cast<int>(total - notches * kWheelNotch);
  return static_cast<int>(std::clamp<long long>(notches, -1000, 1000));
}

void WheelZoom(Settings& settings, int notches) {
  // Beyond the limits further steps change nothing; no need to walk them all.
  const int steps = std::min(std::abs(notches), 200);
  for (int k = 0; k < steps; ++k) StepView(settings, notches > 0 ? ViewStep::ZoomIn : ViewStep::ZoomOut);
}

bool DragPan(Settings& settings, const MapProjection& view, WindowPoint from, WindowPoint to) {
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  if (dx == 0 && dy == 0) return false;
  const auto centre = view.WindowToLatLong(view.Width / 2.0 - dx, view.Height / 2.0 - dy);
  if (!centre) return false;
  const double lat = centre->lat100 / 100;
  const double lon = centre->lon100 / 100;
  if (!std::isfinite(lat) || !std::isfinite(lon)) return false;
  settings.CenterLatitude = std::clamp(lat, -90.0, 90.0);
  settings.CenterLongitude = FoldLongitude(lon);
  return true;
}

void RedrawView::Bind(RedrawHost& host, Color mapForeColor) {
  host.updateScale = [this](int width, int height) { return projection_.UpdateScale(width, height); };
  host.drawMap = [this, mapForeColor](Canvas& canvas) { Draw_Map(canvas, projection_, outline_, mapForeColor); };
  host.place = ProjectionPlacer(projection_);
}

std::string ZoomFactorText(double screenDistance) { return FormatNumber(screenDistance / 1000, "0.###"); }

CoordinatesBoxes OpenCoordinates(const Settings& s) {
  return {TrimmedNumberText(s.CenterLatitude), TrimmedNumberText(s.CenterLongitude), ZoomFactorText(s.ScreenDistance)};
}

CoordinatesFocus AcceptCoordinates(const CoordinatesBoxes& boxes, Settings& settings, Dialogs& dialogs) {
  const double lat = LenientNumber(boxes.txtLat);
  const double lon = LenientNumber(boxes.txtLong);
  const double factor = LenientNumber(boxes.txtScale);
  // Written as "not within" so that a box that reads as infinity is refused too.
  if (!(std::fabs(lat) <= 90)) {
    dialogs.MessageBox("Latitude values must be between -90 and 90.", "ERROR", BoxStyle::Exclamation);
    return CoordinatesFocus::txtLat;
  }
  if (!(std::fabs(lon) <= 180)) {
    dialogs.MessageBox("Longitude values must be between -180 and 180.", "ERROR", BoxStyle::Exclamation);
    return CoordinatesFocus::txtLong;
  }
  if (!(factor >= 0.1 && factor <= 100)) {
    dialogs.MessageBox("Zoom factor values must be between 0.1 and 100.", "ERROR", BoxStyle::Exclamation);
    return CoordinatesFocus::txtScale;
  }
  settings.CenterLatitude = lat;
  settings.CenterLongitude = lon;
  settings.ScreenDistance = factor * 1000;
  return CoordinatesFocus::None;
}

std::string PositionReadout(const MapProjection& view, double x, double y) {
  const auto p = view.WindowToLatLong(x, y);
  if (!p) return "No Lock...";
  const double lat = p->lat100 / 100;
  const double lon = p->lon100 / 100;
  return FormatNumber(std::fabs(lat), "#.0") + (lat < 0 ? "S, " : "N, ") + FormatNumber(std::fabs(lon), "#.0") +
         (lon < 0 ? "W" : "E");
}

}  // namespace norvane
