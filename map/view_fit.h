#pragma once
// After a new region is made, the view moves to it: centred on the region, with the
// closest zoom at which the whole region stays on the map picture.
#include "core/settings.h"
#include "map/map_file.h"

namespace norvane {

void FitViewToRegion(Settings& settings, const MapRegion& region, int width, int height);

}  // namespace norvane
