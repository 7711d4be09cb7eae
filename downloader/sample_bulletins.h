#pragma once
#include <string>
#include <vector>

#include "obs/station_tables.h"

namespace norvane {

// Generated observations for trying Norvane without an outside server: the weather of
// sample_weather.h written as one METAR per station (ending "=" CR LF), in WMO-style
// bulletins of at most 20 reports with a header and an ETX. The reports are observed
// at 53 minutes past the hour before the bulletin's; the same hour always gives the
// same text.
std::string SampleBulletin(const std::vector<StationPosition>& stations, int year, int month, int day, int hour);

}  // namespace norvane
