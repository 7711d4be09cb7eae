#include "obs/station_queries.h"

#include <cmath>

#include "core/great_circle.h"
#include "core/lenient_number.h"
#include "core/number_text.h"
#include "core/record_file.h"
#include "obs/observation_store.h"
#include "obs/station_tables.h"

namespace norvane {

QueryAnswer StationReportListing(const FileSystem& fs, const ObservationStore& store,
                                 std::string_view identifier, std::string_view hoursWord,
                                 std::int32_t nowMinutes) {
  QueryAnswer answer;
  answer.messages.push_back(kSeparator);
  std::string listing;
  int index = -1;
  for (int i = 0; i <= kStoreLastIndex; ++i) {
    if (store[i].identifier == identifier) { index = i; break; }
  }
  if (index >= 0) {
    double hours = LenientNumber(hoursWord);
    if (hours == 0) hours = 48;
    const double limit = hours * 60;
    auto recent = [&](const ObservationRecord& r) {
      return static_cast<double>(nowMinutes) - static_cast<double>(r.time) <= limit;
    };
    for (const ObservationRecord& slot : store[index].reports) {
      if (slot.Empty() || !recent(slot)) break;
      listing += "  " + slot.report + "\r\n* ";
    }
    const std::string id = store[index].identifier;
    if (fs.Exists(ArchiveFileName(id))) {
      for (const ObservationRecord& line : ReadArchive(fs, id)) {
        if (recent(line)) listing += "  " + line.report + "\r\n* ";
      }
    }
  }
  if (!listing.empty()) {
    answer.messages.push_back(listing);
  } else {
    answer.messages.push_back("ICAO was not found.");
  }
  return answer;
}

QueryAnswer StationDescription(const FileSystem& fs, std::string_view identifier) {
  QueryAnswer answer;
  answer.messages.push_back(kSeparator);
  auto entry = FindMainStation(fs, identifier);
  if (!entry) {
    answer.messages.push_back("ICAO was not found");
    return answer;
  }
  // Messages are pushed bottom line first so that the log reads top-down.
  if (!entry->elevation.empty()) {
    const double metres = LenientNumber(entry->elevation);
    const long long feet = RoundHalfEven(metres * 3.28);
    answer.messages.push_back("Elevation: " + entry->elevation + "M" + " / " +
                              TrimmedNumberText(static_cast<double>(feet)) + "Ft");
  }
  std::string position = TrimmedNumberText(std::abs(entry->latitude) / 100.0) + (entry->latitude >= 1 ? "N, " : "S, ");
  position += TrimmedNumberText(std::abs(entry->longitude) / 100.0) + (entry->longitude < 1 ? "W" : "E");
  answer.messages.push_back(position);
  answer.messages.push_back(entry->region1.empty() ? entry->region2 : entry->region1 + ", " + entry->region2);
  answer.messages.push_back(entry->identifier + " - " + entry->name);
  return answer;
}

QueryAnswer NearbyStations(const FileSystem& fs, std::string_view w1, std::string_view w2,
                           std::string_view w3, int watchDistance, double earthRadius) {
  QueryAnswer answer;
  answer.messages.push_back(kSeparator);
  double lat = 0;
  double lon = 0;
  std::string_view radiusWord;
  if (LenientNumber(w1) == 0 && w1.size() == 4) {
    auto entry = FindMainStation(fs, w1);
    if (!entry || entry->latitude == 0 || entry->longitude == 0) {
      answer.replaceOutput = "ICAO was not found in database.";
      return answer;
    }
    lat = entry->latitude / 100.0;
    lon = entry->longitude / 100.0;
    radiusWord = w2;
  } else {
    lat = LenientNumber(w1);
    lon = LenientNumber(w2);
    if (lat == 0 || lon == 0) {
      answer.messages.push_back(
          "Invalid use of the 'NEAR' command.  Refer to Help > Help for information on its use.");
      return answer;
    }
    if (std::fabs(lat) > 90 || std::fabs(lon) > 180) {
      answer.messages.push_back("Invalid Lat/Long entry.  Refer to Help > Help for more information.");
      return answer;
    }
    radiusWord = w3;
  }
  const double radiusValue = LenientNumber(radiusWord);
  const double radius = (radiusValue > 0 && radiusValue <= 600)
                            ? static_cast<double>(RoundHalfEven(radiusValue))
                            : static_cast<double>(watchDistance);
  auto bytes = fs.ReadAll(kMainStationFile);
  if (!bytes) return answer;
  for (const StationEntry& s : ParseMainStations(*bytes)) {
    const double d = GreatCircleDistance(lat, lon, s.latitude / 100.0, s.longitude / 100.0, earthRadius);
    if (d <= radius) {
      answer.messages.push_back(TrimmedNumberText(std::floor(d * 10) / 10) + " " + s.identifier +
                                " - " + s.name);
    }
  }
  return answer;
}

}  // namespace norvane
