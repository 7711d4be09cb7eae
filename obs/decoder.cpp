// DecodeReport: the rules applied in their fixed order over one report.
#include <algorithm>

#include "obs/decoded_observation.h"
#include "obs/decoder_window.h"

namespace norvane {

void DecodeReportInto(std::string_view cleanedReport, std::span<char, kDecodedColumns> out) {
  const std::string_view blank = DecodedTemplate();
  std::copy(blank.begin(), blank.end(), out.begin());
  const decoder::Working p(cleanedReport);
  decoder::Columns d(out);
  decoder::ApplyCavokRule(p, d);
  const int windEnd = decoder::ApplyWindRule(p, d);
  decoder::ApplyPeakWindRule(p, d);
  // Without a knots wind group there is no anchor for the sky and weather groups.
  if (windEnd == 0) return;
  const int weatherEnd = decoder::ApplySkyAndRemarksRules(p, windEnd, d);
  decoder::ApplyWeatherRule(p, windEnd, weatherEnd, d);
}

DecodedObservation DecodeReport(std::string_view cleanedReport) {
  DecodedObservation decoded(static_cast<std::size_t>(kDecodedColumns), '0');
  DecodeReportInto(cleanedReport, std::span<char, kDecodedColumns>(decoded.data(), kDecodedColumns));
  return decoded;
}

std::int16_t FindPeakWind(std::string_view cleanedReport) {
  return decoder::PeakWindOf(decoder::Working(cleanedReport));
}

}  // namespace norvane
