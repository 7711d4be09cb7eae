#include "map/projected_outline.h"

namespace norvane {

ProjectedOutline ProjectMap(const MapProjection& projection, const std::vector<MapRecord>& mapPoints) {
  ProjectedOutline out;
  out.points.resize(mapPoints.size());
  for (std::size_t i = 0; i < mapPoints.size(); ++i) {
    const MapRecord& rec = mapPoints[i];
    if (rec.IsBreak()) continue;  // stays hidden
    out.points[i] = projection.ProjectOutlinePoint(rec.lat100 / 100.0, rec.lon100 / 100.0);
  }
  return out;
}

}  // namespace norvane
