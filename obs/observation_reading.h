#pragma once
// What a forecaster reads from one report, group by group: the values behind the 63
// decoded columns, and those the columns have no room for (visibility, the pressure
// tendency, the present-weather groups as written).
//
// The store keeps each report's text beside its decoded columns, so a reader that wants
// more than the columns calls ReadObservation on the stored text.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace norvane {

// One present-weather group as written ("-SHRA", "VCTS", "+FC").
struct WeatherGroup {
  std::array<char, 12> chars{};
  std::uint8_t size = 0;
  bool vicinity = false;  // a VC group: near the station, not at it
  std::string_view Text() const { return {chars.data(), size}; }
};

// The three-hour pressure tendency of a "5appp" remark.
struct PressureTendency {
  int characteristic = 0;  // a of the group, 0..8 (0-3 rising, 4 steady, 5-8 falling)
  double change = 0;       // hectopascals, signed by the characteristic
};

enum class PressureSource { kNone, kSeaLevelRemark, kQnh, kAltimeter };

struct ObservationReading {
  // Wind. No direction or speed when the group is missing or "/////KT" (not calm).
  std::optional<int> windDirection;  // degrees from north; nothing for VRB
  bool windVariable = false;         // VRB
  std::optional<int> windSpeed;      // knots
  std::optional<int> windGust;       // knots
  std::optional<int> peakWind;       // knots, from a "PK WND" remark

  // Prevailing visibility in metres (statute miles converted). `visibilityBelow` for an
  // "M" group and "0000", `visibilityAtLeast` for "P" groups, "9999" and CAVOK.
  std::optional<double> visibilityMetres;
  bool visibilityBelow = false;
  bool visibilityAtLeast = false;
  bool cavok = false;

  std::optional<int> temperature;  // whole degrees Celsius
  std::optional<int> dewPoint;
  // Reported with "M": below zero, also when it rounds to 0 ("M00").
  bool temperatureBelowZero = false;
  bool dewPointBelowZero = false;

  // Sea-level pressure in hectopascals and where it came from: the "SLP" remark, else
  // the Q or A group reduced with the station's elevation when one was given.
  std::optional<double> seaLevelPressure;
  PressureSource pressureSource = PressureSource::kNone;
  std::optional<PressureTendency> pressureTendency;

  std::optional<int> ceiling;   // hundreds of feet: lowest broken, overcast or vertical visibility
  std::optional<int> skyCover;  // 0 clear, 1 few, 2 scattered, 3 broken, 4 overcast, 5 obscured

  // Present weather: column-1 intensity ('0' none, '1' light, '2' moderate, '3' heavy),
  // the set flag columns 2..31 as bits, and the groups themselves.
  char intensity = '0';
  std::uint32_t weatherFlags = 0;  // bit c set for flag column c
  std::array<WeatherGroup, 4> presentWeather{};
  int presentWeatherCount = 0;

  // Remarks of the US code.
  bool snowIncreasing = false;
  std::optional<int> snowDepth;                  // inches
  std::optional<int> sixHourPrecipitation;       // hundredths of an inch
};

// Reads a cleaned report (identifier, day-hour-minute group, groups separated by
// blanks). Groups before TEMPO, BECMG, NOSIG, INTER or RMK describe the present; trend
// groups are skipped; the remarks give SLP, T-group, PK WND, 5appp and the snow and
// precipitation groups. A group that does not read cleanly is ignored, and a repeated
// group never replaces the first one. `elevationMetres` (the station's, when the tables
// give it) reduces a Q or A group to sea level; without it the setting is taken as it is.
ObservationReading ReadObservation(std::string_view cleanedReport,
                                   std::optional<double> elevationMetres = std::nullopt);

// The visibility in statute miles, as US station models show it.
std::optional<double> VisibilityStatuteMiles(const ObservationReading& reading);

// Sea-level pressure from an altimeter setting (QNH, hPa) at a station `elevationMetres`
// high with air at `temperature` degrees Celsius (standard when not known).
double ReduceQnhToSeaLevel(double qnh, double elevationMetres, std::optional<int> temperature);

}  // namespace norvane
