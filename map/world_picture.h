#pragma once
#include <vector>

#include "map/map_file.h"
#include "platform/canvas.h"

namespace norvane {

inline constexpr int kWorldPictureWidth = 720;
inline constexpr int kWorldPictureHeight = 360;

// The region dialog's picture of the whole world: plate carree at 2 pixels per degree
// (x 0 is 180 W, y 0 is 90 N), the outline of "world.map" in `ink` on `paper`.
// Consecutive points more than half the picture apart (a line across the date line)
// are not joined.
Image MakeWorldPicture(const std::vector<MapRecord>& world, Color paper, Color ink);

}  // namespace norvane
