// DecodeReport: a report read group by group, written into the 63 columns.
#include <algorithm>
#include <cmath>

#include "obs/decoded_observation.h"
#include "obs/observation_reading.h"

namespace norvane {
namespace {

// Writes `value` as `width` digits ending at column `last`, left-filled with "0".
void WriteDigits(std::span<char, kDecodedColumns> out, int last, int width, int value) {
  for (int i = 0; i < width; ++i, value /= 10) out[static_cast<std::size_t>(last - 1 - i)] = static_cast<char>('0' + value % 10);
}

// "0" and two digits, or "M" and two digits for minus ("M00" just below zero).
void WriteDegrees(std::span<char, kDecodedColumns> out, int first, int degrees, bool belowZero) {
  if (degrees < -99 || degrees > 99) return;
  WriteDigits(out, first + 2, 3, std::abs(degrees));
  if (degrees < 0 || belowZero) out[static_cast<std::size_t>(first - 1)] = 'M';
}

void WriteColumns(const ObservationReading& r, std::span<char, kDecodedColumns> out) {
  out[0] = r.intensity;
  for (int column = 2; column <= 31; ++column) {
    if (r.weatherFlags & (std::uint32_t{1} << column)) out[static_cast<std::size_t>(column - 1)] = '1';
  }
  if (r.ceiling) WriteDigits(out, 34, 3, std::clamp(*r.ceiling, 0, 998));
  if (r.skyCover) out[34] = static_cast<char>('0' + *r.skyCover);
  if (r.seaLevelPressure) {
    const long tenths = std::lround(*r.seaLevelPressure * 10);
    if (tenths > 0 && tenths <= 99999) WriteDigits(out, 40, 5, static_cast<int>(tenths));
  }
  if (r.temperature) WriteDegrees(out, 41, *r.temperature, r.temperatureBelowZero);
  if (r.dewPoint) WriteDegrees(out, 44, *r.dewPoint, r.dewPointBelowZero);
  // A missing wind keeps the template: the columns have no other way to say it.
  if (r.windSpeed) {
    if (r.windVariable) std::copy_n("VRB", 3, out.begin() + 46);
    else WriteDigits(out, 49, 3, r.windDirection.value_or(0));
    WriteDigits(out, 52, 3, *r.windSpeed);
  }
  if (r.snowIncreasing) out[52] = '1';
  if (r.snowDepth) WriteDigits(out, 56, 3, *r.snowDepth);
  if (r.sixHourPrecipitation) WriteDigits(out, 60, 4, *r.sixHourPrecipitation);
  const int peak = r.peakWind.value_or(r.windGust.value_or(r.windSpeed.value_or(0)));
  if (peak >= 0 && peak <= 999) WriteDigits(out, 63, 3, peak);
}

}  // namespace

void DecodeReportInto(std::string_view cleanedReport, std::span<char, kDecodedColumns> out,
                      std::optional<double> elevationMetres) {
  const std::string_view blank = DecodedTemplate();
  std::copy(blank.begin(), blank.end(), out.begin());
  WriteColumns(ReadObservation(cleanedReport, elevationMetres), out);
}

DecodedObservation DecodeReport(std::string_view cleanedReport, std::optional<double> elevationMetres) {
  DecodedObservation decoded(static_cast<std::size_t>(kDecodedColumns), '0');
  DecodeReportInto(cleanedReport, std::span<char, kDecodedColumns>(decoded.data(), kDecodedColumns),
                   elevationMetres);
  return decoded;
}

std::int16_t FindPeakWind(std::string_view cleanedReport) {
  const ObservationReading r = ReadObservation(cleanedReport);
  return static_cast<std::int16_t>(r.peakWind.value_or(r.windGust.value_or(r.windSpeed.value_or(0))));
}

}  // namespace norvane
