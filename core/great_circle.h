#pragma once

namespace norvane {

// Great-circle distance between two points given in degrees, in the unit of
// `earthRadius` (3440 gives nautical miles): the chord between the two points in
// space turned into the central angle. Antipodal points give half the circumference.
double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2, double earthRadius);

}  // namespace norvane
