#pragma once
#include "map/projected_outline.h"
#include "platform/canvas.h"

namespace norvane {

// Draws the projected outline in `foreColor`: a break or a hidden point lifts the pen,
// so no line joins points across a break or across the globe's limb. The first point
// after the pen is lifted is set as a single pixel. Nothing is drawn when Scale is 0.
void Draw_Map(Canvas& canvas, const MapProjection& projection, const ProjectedOutline& outline, Color foreColor);

}  // namespace norvane
