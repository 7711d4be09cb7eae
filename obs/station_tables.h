#pragma once
// The station files "latlong.stn", "main.stn" and "unkn.stn" and the lookups on them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace norvane {

struct StationObservations;
class ObservationStore;

inline constexpr const char* kLatLongFile = "latlong.stn";
inline constexpr const char* kMainStationFile = "main.stn";
inline constexpr const char* kUnknownStationFile = "unkn.stn";
constexpr int kStationTableLastIndex = 6000;

// One record of "latlong.stn".
struct StationPosition {
  std::string identifier;
  std::int16_t latitude = 0;   // hundredths of a degree
  std::int16_t longitude = 0;
  bool operator==(const StationPosition&) const = default;
};

// One record of "main.stn" (fourteen items; the unused ones are kept for round trips).
struct StationEntry {
  std::string identifier;      // 1
  std::string unused2;         // 2
  std::string unused3;         // 3
  std::string name;            // 4
  std::string region1;         // 5 state or province, may be empty
  std::string region2;         // 6 country
  std::string unused7;         // 7
  std::int16_t latitude = 0;   // 8
  std::int16_t longitude = 0;  // 9
  long long unused10 = 0;      // 10
  long long unused11 = 0;      // 11
  std::string elevation;       // 12 metres, may be empty
  std::string unused13;        // 13
  std::string unused14;        // 14
  bool operator==(const StationEntry&) const = default;
};

struct StationReadResult {
  int records = 0;
  int skipped = 0;             // records with out-of-range numbers
  bool truncated = false;      // more than 6001 records: the rest ignored
  std::string problem;         // plain words, empty when none
};

// Parses "latlong.stn" bytes: at most 6001 records (indices 0..6000); records with a
// latitude outside +-9000 or a longitude outside +-18000 are skipped.
std::vector<StationPosition> ParseLatLong(std::string_view bytes, StationReadResult* result = nullptr);
std::string FormatLatLong(const std::vector<StationPosition>& stations);

// Parses "main.stn" bytes (all records; out-of-range positions skipped).
std::vector<StationEntry> ParseMainStations(std::string_view bytes, StationReadResult* result = nullptr);
std::string FormatMainStations(const std::vector<StationEntry>& stations);
// Reads "main.stn" in order until the identifier matches.
std::optional<StationEntry> FindMainStation(const FileSystem& fs, std::string_view identifier);

// The downloader's station table, loaded from "latlong.stn".
class StationTable {
 public:
  StationTable() = default;
  explicit StationTable(std::vector<StationPosition> stations) : stations_(std::move(stations)) {}
  static StationTable Load(const FileSystem& fs, StationReadResult* result = nullptr);
  const StationPosition* Find(std::string_view identifier) const;
  const std::vector<StationPosition>& Stations() const { return stations_; }

 private:
  std::vector<StationPosition> stations_;
};

// Looks `identifier` up for store entry `index`: fills the entry's identifier and
// position when known. Unknown stations are appended once to "unkn.stn".
bool Whois(FileSystem& fs, const StationTable& table, std::string_view identifier,
           ObservationStore& store, int index);

// name + ", " + region (item 5 when not empty, else item 6); empty when not found.
std::string StationPlaceName(const FileSystem& fs, std::string_view identifier);

}  // namespace norvane
