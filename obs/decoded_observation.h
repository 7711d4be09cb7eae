#pragma once
// The 63-column decoded text of a surface report and the accessors every reader uses.
//
// Columns are 1-based. A decoded text that is shorter than 63 columns, or holds a
// control character, reads as the template's "not reported" character there, so a
// damaged text in a file can never make a reader fail.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace norvane {

constexpr int kDecodedColumns = 63;

// The decoded text of a report: always kDecodedColumns characters when produced by
// DecodeReport; texts read back from files may be anything and go through the accessors.
using DecodedObservation = std::string;

// "000000000000000000000000000000099990000099999900000009999999000": every field
// "not reported".
std::string_view DecodedTemplate();

// The character at a 1-based column, or the template's character when the text has no
// usable character there (too short, control character). Columns outside 1..63 give '0'.
char DecodedColumn(std::string_view decoded, int column);
// The same for the run of `count` columns starting at `first`.
std::string DecodedField(std::string_view decoded, int first, int count);
// The lenient numeric value (leading number, 0 when none) of a run of columns, as every
// reader converts a field: "VRB" reads 0, "M05" reads 0.
double DecodedNumber(std::string_view decoded, int first, int count);

// Column 1: 0 no weather part, 1 light, 2 moderate (weather part without sign), 3 heavy.
int DecodedIntensity(std::string_view decoded);

// The flag column (2..31) of a two-letter weather code ("TS" -> 8; "PL"/"PE" -> 15,
// "VA"/"VC" -> 22), or 0 when the code has none.
int WeatherFlagColumn(std::string_view code);
// Whether a weather flag column (2..31) holds "1".
bool DecodedWeatherFlag(std::string_view decoded, int column);
// Whether the code's flag is set; false for unknown codes.
bool DecodedHasWeather(std::string_view decoded, std::string_view code);

// Columns 32-34: ceiling in hundreds of feet; nothing when "999" (not reported).
// Other texts read leniently ("///" reads 0), as the plots and grids read them.
std::optional<int> DecodedCeiling(std::string_view decoded);
// Column 35: 0 clear, 1 few, 2 scattered, 3 broken, 4 overcast, 5 sky obscured;
// nothing when "9" or not a digit.
std::optional<int> DecodedSkyCover(std::string_view decoded);
// Columns 36-40: sea-level pressure in hectopascals (tenths in the text); nothing when
// "00000".
std::optional<double> DecodedSeaLevelPressure(std::string_view decoded);
// Columns 41-43: temperature in whole degrees Celsius, "M" leading for minus; nothing
// when "999" or when the field does not start with "M" or a digit.
std::optional<int> DecodedTemperature(std::string_view decoded);
// Columns 44-46: dew point, as the temperature.
std::optional<int> DecodedDewPoint(std::string_view decoded);
// Columns 47-49 as written: degrees ("270"), "VRB", or "000" for calm/not reported.
std::string DecodedWindDirectionText(std::string_view decoded);
// Columns 47-49 read leniently (so "VRB" gives 0).
int DecodedWindDirection(std::string_view decoded);
bool DecodedWindVariable(std::string_view decoded);
// Columns 50-52: wind speed in knots.
int DecodedWindSpeed(std::string_view decoded);
// Column 53: snow increasing rapidly.
bool DecodedSnowIncreasing(std::string_view decoded);
// Columns 54-56: snow depth in inches; nothing when "999".
std::optional<int> DecodedSnowDepth(std::string_view decoded);
// Columns 57-60: six-hour precipitation in inches (hundredths in the text); nothing
// when "9999".
std::optional<double> DecodedSixHourPrecipitation(std::string_view decoded);
// Columns 61-63: peak wind in knots (0 when none).
int DecodedPeakWind(std::string_view decoded);

// Decodes a cleaned report (identifier, blank, day-hour-minute group ending in "Z",
// groups separated by blanks) into its 63 columns, from what ReadObservation reads
// (obs/observation_reading.h). Never rejects a report and never reads outside it: what
// it cannot read keeps the template's value. `elevationMetres` is the station's, when
// the tables give it, to reduce a Q or A pressure group to sea level.
DecodedObservation DecodeReport(std::string_view cleanedReport, std::optional<double> elevationMetres = std::nullopt);
// The same, writing into a caller's buffer without allocating (for the filing loop).
void DecodeReportInto(std::string_view cleanedReport, std::span<char, kDecodedColumns> out,
                      std::optional<double> elevationMetres = std::nullopt);

// The peak wind of a report (columns 61-63): the gust or speed of the body's wind
// group in knots, replaced by the speed of a "PK WND" remark.
std::int16_t FindPeakWind(std::string_view cleanedReport);

}  // namespace norvane
