#include "map/draw_map.h"

namespace norvane {

void Draw_Map(Canvas& canvas, const MapProjection& projection, const ProjectedOutline& outline, Color foreColor) {
  if (projection.Scale == 0) return;
  bool penDown = false;
  WindowPoint current;
  for (const ProjectedPoint& p : outline.points) {
    if (!p.visible || p.x < -31999) {
      penDown = false;
      continue;
    }
    const WindowPoint pixel = projection.ToWindow(p.x, p.y);
    if (!penDown) {
      canvas.Point(pixel.x, pixel.y, foreColor);
      penDown = true;
    } else {
      canvas.Line(current.x, current.y, pixel.x, pixel.y, foreColor, 1);
    }
    current = pixel;
  }
}

}  // namespace norvane
