#include "obs/description.h"

#include "core/number_text.h"
#include "obs/decoded_observation.h"

namespace norvane {
namespace {

std::string SkyWord(char c) {
  switch (c) {
    case '0': return "Clear Below 12000FT";
    case '1': return "Fair";
    case '2': return "Mostly Sunny";
    case '3': return "Mostly Cloudy";
    case '4': return "Overcast";
    case '5': return "Obscured";
    default: return "";
  }
}

std::string CompassWord(double d) {
  if (d >= 1 && d <= 22) return "N";
  if (d >= 23 && d <= 67) return "NE";
  if (d >= 68 && d <= 112) return "E";
  if (d >= 113 && d <= 157) return "SE";
  if (d >= 158 && d <= 202) return "S";
  if (d >= 203 && d <= 247) return "SW";
  if (d >= 248 && d <= 292) return "W";
  if (d >= 293 && d <= 337) return "NW";
  if (d >= 338 && d <= 360) return "N";
  return "";
}

std::string WindWords(std::string_view decoded) {
  const std::string direction = DecodedField(decoded, 47, 3);
  if (direction == "000") return "Calm";
  std::string word = direction == "VRB" ? "Variable" : CompassWord(DecodedNumber(decoded, 47, 3));
  return word + "@" + TrimmedNumberText(DecodedNumber(decoded, 50, 3)) + "kts";
}

// Temperature or dew point: sign column `first`, digits in the next two.
std::string DegreesWords(std::string_view decoded, int first, bool useCelsius) {
  const char sign = DecodedColumn(decoded, first);
  const std::string digits = DecodedField(decoded, first + 1, 2);
  if (sign != 'M' && sign != '0') return "Missing";
  if (useCelsius) return (sign == 'M' ? "-" : "") + digits + "C";
  double value = DecodedNumber(decoded, first + 1, 2);
  if (sign == 'M') value = -value;
  return TrimmedNumberText(value * 1.8 + 32) + "F";
}

bool Flag(std::string_view decoded, int column) { return DecodedColumn(decoded, column) == '1'; }

std::string WeatherWords(std::string_view d) {
  std::string storms;
  if (Flag(d, 30)) storms = "Sand storm";
  if (Flag(d, 31)) storms = "Dust storm";
  if (Flag(d, 8) && Flag(d, 22)) storms = "Vicinity Thunder";
  else if (Flag(d, 8) && DecodedColumn(d, 22) == '0') storms = "Thunder";
  if (Flag(d, 28)) storms = "Squall (strong winds)";
  if (Flag(d, 29)) storms = DecodedColumn(d, 1) == '3' ? "TORNADO!!!" : "FUNNEL CLOUD!!!";

  std::string precipitation;
  if (Flag(d, 14)) precipitation = "Ice crystals";
  if (Flag(d, 10)) precipitation = "Drizzle";
  if (Flag(d, 11)) precipitation = "Rain";
  if (Flag(d, 12)) precipitation = "Snow";
  if (Flag(d, 11) && Flag(d, 12)) precipitation = "Rain/snow mix";
  if (Flag(d, 18)) precipitation = "Unknown precip";
  if (Flag(d, 13)) precipitation = "Snow grains";
  if (Flag(d, 15)) precipitation = "Ice pellets/sleet";
  if (Flag(d, 17)) precipitation = "Small hail";
  if (Flag(d, 9) && Flag(d, 10)) precipitation = "Freezing drizzle";
  if (Flag(d, 9) && Flag(d, 11)) precipitation = "Freezing rain";
  if (Flag(d, 16)) precipitation = "Large hail";

  std::string obscuration;
  if (Flag(d, 25)) obscuration = "Hazy";
  if (Flag(d, 21)) obscuration = "Smoke";
  if (Flag(d, 19)) obscuration = "Mist (light fog)";
  if (Flag(d, 20)) obscuration = "Dense fog";
  if (Flag(d, 6)) {
    if (Flag(d, 24)) obscuration = "Blowing sand";
    else if (Flag(d, 23)) obscuration = "Blowing dust";
    else if (Flag(d, 12)) obscuration = "Blowing snow";
  }

  std::string text = "    Weather: " + storms;
  for (const std::string* word : {&precipitation, &obscuration}) {
    if (word->empty()) continue;
    if (!text.ends_with(": ")) text += " + ";
    text += *word;
  }
  if (storms.empty() && precipitation.empty() && obscuration.empty()) text += "None";
  return text;
}

}  // namespace

std::string DescribeObservation(std::string_view decoded, bool useCelsius) {
  std::string text = "Sky: " + SkyWord(DecodedColumn(decoded, 35));
  text += "    Wind: " + WindWords(decoded);
  text += "    Temp: " + DegreesWords(decoded, 41, useCelsius);
  text += "    Dew Pt: " + DegreesWords(decoded, 44, useCelsius);
  text += "    Pressure(SLP):";
  const double pressure = DecodedNumber(decoded, 36, 5);
  text += pressure > 9000 ? NumberText(pressure / 10) + "mb" : std::string("Missing");
  text += WeatherWords(decoded);
  return text;
}

}  // namespace norvane
