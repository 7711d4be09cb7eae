#pragma once
// The made-up atmosphere behind the sample bulletins: a few travelling lows with
// fronts, highs, a climate by latitude and season, a daily cycle by longitude and
// steady habits per station. Everything is a pure function of the time and the
// station, so the same hour always gives the same weather.
#include <string>
#include <vector>

#include "obs/station_tables.h"

namespace norvane {

// A low (negative strength) or a high where it stands at one moment.
struct PressureSystem {
  double latitude = 0, longitude = 0;  // degrees
  double strength = 0;                 // hPa at the centre, negative for a low
  double radius = 0;                   // degrees of arc: the width of its bell
  bool fronts = false;                 // a travelling low with a cold and a warm front
};

struct SampleAtmosphere {
  double hours = 0;      // since 1998-12-31 00:00 UTC
  double dayOfYear = 0;  // 0 at 1 January
  std::vector<PressureSystem> systems;
};

// What one station sees, ready to be written as a report.
struct SampleObservation {
  double temperature = 0, dewPoint = 0;  // degrees Celsius
  double pressure = 1013;                // sea level, hPa
  int windDirection = 0;                 // degrees the wind comes from, in tens; 0 when calm
  int windSpeed = 0;                     // knots
  int gust = 0;                          // knots, 0 when none
  int peakWind = 0;                      // knots worth a remark, 0 when none
  bool variableWind = false;
  double visibility = 10;         // statute miles
  std::string weather;            // present-weather groups ("-RA BR"), empty when none
  std::string sky;                // cloud groups ("FEW040 BKN250", "VV002", "CLR")
  int sixHourPrecipitation = -1;  // hundredths of an inch, -1 when not reported
  bool distantLightning = false;
};

// The systems of the hour `hours` (since 1998-12-31 00:00 UTC, fractions allowed).
SampleAtmosphere AtmosphereAt(double hours);

// Sea-level pressure of the systems and the background at a point.
double SamplePressure(const SampleAtmosphere& air, double latitude, double longitude);

SampleObservation ObserveSample(const SampleAtmosphere& air, const StationPosition& station);

}  // namespace norvane
