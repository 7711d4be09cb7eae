#pragma once
// The station queries of the command interpreter (S, WHOIS, NEAR) as pure functions:
// each returns the messages in the order they are to be passed to ShowMessage (the
// output log shows the newest on top, so the last message reads first).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/reporter.h"
#include "platform/file_system.h"

namespace norvane {

class ObservationStore;



struct QueryAnswer {
  std::vector<std::string> messages;        // ShowMessage calls, in order
  std::optional<std::string> replaceOutput; // replaces the output box text (not logged)
};

// S / SA / SL / OB: the station's reports of the last `hoursWord` hours (48 when 0 or
// not a number) from the store slots and its archive.
QueryAnswer StationReportListing(const FileSystem& fs, const ObservationStore& store,
                                 std::string_view identifier, std::string_view hoursWord,
                                 std::int32_t nowMinutes);

// WHOIS: name, region, position and elevation from "main.stn".
QueryAnswer StationDescription(const FileSystem& fs, std::string_view identifier);

// NEAR w1 [w2 [w3]]: stations of "main.stn" within the radius of a station or position.
QueryAnswer NearbyStations(const FileSystem& fs, std::string_view w1, std::string_view w2,
                           std::string_view w3, int watchDistance, double earthRadius);

}  // namespace norvane
