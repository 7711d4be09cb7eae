#pragma once
// The box the map's grids are built over: the region of the last Make Map, or what
// the view shows when that region is the whole world, with a spacing near the
// stations' own and within the grid file's record limit.
#include <string>

#include "map/map_file.h"
#include "map/projection.h"
#include "obs/observation_store.h"

namespace norvane {

bool IsWholeWorld(const MapRegion& region);

// The latitude and longitude box of the part of the globe the map picture shows.
// A view across the date line (or over a pole) takes every longitude, since a grid
// box cannot wrap.
MapRegion VisibleRegion(const MapProjection& view);

// The region grids follow: the made region, or the view when it is the whole world.
MapRegion GridRegion(const MapRegion& made, const MapProjection& view);

int StationsInside(const ObservationStore& store, const MapRegion& region);

struct MapGridBox {
  double south = 0, west = 0, north = 0, east = 0;  // degrees
  double step = 1;                                  // both axes, degrees
  int radius = 150;                                 // radius of influence, unit of the earth radius
  // "south west north east step step", the six box words of BUILDGRID.
  std::string Words() const;
};

// A step from a short list of round values near the mean distance between the
// stations inside (so grids built at different times mesh), raised until the grid
// fits the file; the radius reaches about two and a half steps.
MapGridBox GridBoxFor(const MapRegion& region, int stationsInside, double earthRadius);

}  // namespace norvane
