#pragma once
#include <string>
#include <vector>

#include "obs/station_tables.h"

namespace norvane {

// Generated observations for trying Norvane without an outside server: a low
// travels east across the map from hour to hour, winds turn around it,
// temperatures fall poleward, a rain band (snow on its cold side, thunder near
// the centre) trails it, fog sits in the calm far from it, and a few stations
// miss groups. Each station's METAR ends with "=" CR LF, in WMO-style bulletins
// of at most 20 reports with a header and an ETX.
std::string SampleBulletin(const std::vector<StationPosition>& stations, int year, int month, int day, int hour);

}  // namespace norvane
