#pragma once
// Station thinning: on a crowded map, a station whose plot would overlap one already
// drawn is left out, the stations with the most recent report going first. Off (the
// default) the plots are drawn exactly as before.
#include <cstdint>
#include <span>
#include <vector>

#include "map/plots.h"

namespace norvane {

// The box a station plot covers on the window, in pixels. Every plot has the same
// box around its station, so two plots overlap when their stations are closer than
// the width across and the height down.
struct PlotFootprint {
  double width = 30;
  double height = 14;
};

struct ThinningCandidate {
  double x = 0;            // window pixel of the station
  double y = 0;
  std::int32_t time = 0;   // of the report plotted, absolute minutes
};

// Which candidates to draw (true) and which to leave out. Newer reports win; among
// equal times the earlier candidate wins. A footprint without area keeps every one.
std::vector<bool> ThinStations(std::span<const ThinningCandidate> candidates, PlotFootprint footprint);

// Clears `shown` of every shown entry that ThinStations leaves out, placing each entry
// with `place` (entries off the globe are not drawn anyway and take no room).
void ThinShownList(ShownList& list, const StationPlacer& place, PlotFootprint footprint);

}  // namespace norvane
