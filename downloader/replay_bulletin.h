#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvane {

// How a server writes its reports: WMO collectives (each report ends "=", bulletins of
// 20 between SOH and ETX), the hourly cycle file (a date line, the report, an empty
// line) or one report a line.
enum class ReplayLayout { kWmo, kCycle, kLines };
std::optional<ReplayLayout> ParseReplayLayout(std::string_view word);

// The lines of a file of reports (one a line) that begin with an identifier, a blank
// and a day-hour-minute group ending in "Z"; blanks at the ends are trimmed.
std::vector<std::string> ReadReplayReports(std::string_view fileText);

// The reports retimed to the hour before `hour` of the given day (each keeps its own
// minute), as a server of the layout would send them for that hour.
std::string ReplayBulletin(const std::vector<std::string>& reports, int year, int month, int day, int hour,
                           ReplayLayout layout);

// The hour (0-23) of a cycle-file name ("/any/path/07Z.TXT", any case), or nothing.
std::optional<int> CycleFileHour(std::string_view path);

}  // namespace norvane
