#include "obs/decoded_observation.h"

#include "core/lenient_number.h"

namespace norvane {
namespace {

// Built from its fields so that each run of "not reported" values can be checked.
constexpr std::string_view kTemplate =
    "0000000000000000000000000000000"  // 1-31 intensity and weather flags
    "999"                              // 32-34 ceiling
    "9"                                // 35 sky cover
    "00000"                            // 36-40 sea-level pressure
    "999999"                           // 41-46 temperature, dew point
    "000000"                           // 47-52 wind direction and speed
    "0"                                // 53 snow increasing
    "999"                              // 54-56 snow depth
    "9999"                             // 57-60 six-hour precipitation
    "000";                             // 61-63 peak wind
static_assert(kTemplate.size() == kDecodedColumns);

struct FlagCode {
  char first;
  char second;
  int column;
};

constexpr FlagCode kFlagCodes[] = {
    {'M', 'I', 2},  {'P', 'R', 3},  {'B', 'C', 4},  {'D', 'R', 5},  {'B', 'L', 6},  {'S', 'H', 7},
    {'T', 'S', 8},  {'F', 'Z', 9},  {'D', 'Z', 10}, {'R', 'A', 11}, {'S', 'N', 12}, {'S', 'G', 13},
    {'I', 'C', 14}, {'P', 'L', 15}, {'P', 'E', 15}, {'G', 'R', 16}, {'G', 'S', 17}, {'U', 'P', 18},
    {'B', 'R', 19}, {'F', 'G', 20}, {'F', 'U', 21}, {'V', 'A', 22}, {'V', 'C', 22}, {'D', 'U', 23},
    {'S', 'A', 24}, {'H', 'Z', 25}, {'P', 'Y', 26}, {'P', 'O', 27}, {'S', 'Q', 28}, {'F', 'C', 29},
    {'S', 'S', 30}, {'D', 'S', 31},
};

// A temperature-like field: "M" and digits for minus, digits otherwise, "999" missing.
std::optional<int> SignedField(std::string_view decoded, int first) {
  const std::string field = DecodedField(decoded, first, 3);
  if (field == "999") return std::nullopt;
  if (field[0] == 'M') return -static_cast<int>(RoundHalfEven(LenientNumber(std::string_view(field).substr(1))));
  if (field[0] < '0' || field[0] > '9') return std::nullopt;
  return static_cast<int>(RoundHalfEven(LenientNumber(field)));
}

}  // namespace

std::string_view DecodedTemplate() { return kTemplate; }

char DecodedColumn(std::string_view decoded, int column) {
  if (column < 1 || column > kDecodedColumns) return '0';
  const auto index = static_cast<std::size_t>(column - 1);
  if (index < decoded.size() && static_cast<unsigned char>(decoded[index]) >= 32) return decoded[index];
  return kTemplate[index];
}

std::string DecodedField(std::string_view decoded, int first, int count) {
  std::string field;
  for (int c = first; c < first + count; ++c) field.push_back(DecodedColumn(decoded, c));
  return field;
}

double DecodedNumber(std::string_view decoded, int first, int count) {
  return LenientNumber(DecodedField(decoded, first, count));
}

int DecodedIntensity(std::string_view decoded) {
  const char c = DecodedColumn(decoded, 1);
  return (c >= '0' && c <= '3') ? c - '0' : 0;
}

int WeatherFlagColumn(std::string_view code) {
  if (code.size() != 2) return 0;
  for (const FlagCode& flag : kFlagCodes) {
    if (flag.first == code[0] && flag.second == code[1]) return flag.column;
  }
  return 0;
}

bool DecodedWeatherFlag(std::string_view decoded, int column) {
  return column >= 2 && column <= 31 && DecodedColumn(decoded, column) == '1';
}

bool DecodedHasWeather(std::string_view decoded, std::string_view code) {
  return DecodedWeatherFlag(decoded, WeatherFlagColumn(code));
}

std::optional<int> DecodedCeiling(std::string_view decoded) {
  if (DecodedField(decoded, 32, 3) == "999") return std::nullopt;
  return static_cast<int>(RoundHalfEven(DecodedNumber(decoded, 32, 3)));
}

std::optional<int> DecodedSkyCover(std::string_view decoded) {
  const char c = DecodedColumn(decoded, 35);
  if (c < '0' || c > '5') return std::nullopt;
  return c - '0';
}

std::optional<double> DecodedSeaLevelPressure(std::string_view decoded) {
  if (DecodedField(decoded, 36, 5) == "00000") return std::nullopt;
  return DecodedNumber(decoded, 36, 5) / 10.0;
}

std::optional<int> DecodedTemperature(std::string_view decoded) { return SignedField(decoded, 41); }

std::optional<int> DecodedDewPoint(std::string_view decoded) { return SignedField(decoded, 44); }

std::string DecodedWindDirectionText(std::string_view decoded) { return DecodedField(decoded, 47, 3); }

int DecodedWindDirection(std::string_view decoded) {
  return static_cast<int>(RoundHalfEven(DecodedNumber(decoded, 47, 3)));
}

bool DecodedWindVariable(std::string_view decoded) { return DecodedField(decoded, 47, 3) == "VRB"; }

int DecodedWindSpeed(std::string_view decoded) {
  return static_cast<int>(RoundHalfEven(DecodedNumber(decoded, 50, 3)));
}

bool DecodedSnowIncreasing(std::string_view decoded) { return DecodedColumn(decoded, 53) == '1'; }

std::optional<int> DecodedSnowDepth(std::string_view decoded) {
  if (DecodedField(decoded, 54, 3) == "999") return std::nullopt;
  return static_cast<int>(RoundHalfEven(DecodedNumber(decoded, 54, 3)));
}

std::optional<double> DecodedSixHourPrecipitation(std::string_view decoded) {
  if (DecodedField(decoded, 57, 4) == "9999") return std::nullopt;
  return DecodedNumber(decoded, 57, 4) / 100.0;
}

int DecodedPeakWind(std::string_view decoded) {
  return static_cast<int>(RoundHalfEven(DecodedNumber(decoded, 61, 3)));
}

}  // namespace norvane
