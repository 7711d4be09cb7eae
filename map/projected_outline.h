#pragma once
#include <vector>

#include "map/map_file.h"
#include "map/projection.h"

namespace norvane {

// The outline projected for one view: one entry per map record, (-32000, -32000) for
// breaks and for points at or beyond the limb. Made once per view change; a redraw
// only turns the stored points into pixels.
struct ProjectedOutline {
  std::vector<ProjectedPoint> points;
};

ProjectedOutline ProjectMap(const MapProjection& projection, const std::vector<MapRecord>& mapPoints);

}  // namespace norvane
