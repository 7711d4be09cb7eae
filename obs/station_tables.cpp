#include "obs/station_tables.h"

#include <charconv>

#include "core/record_file.h"
#include "obs/observation_store.h"

namespace norvane {
namespace {

// A whole-number item parsed wide; nothing when not a number or outside [low, high].
std::optional<long long> Whole(const std::optional<std::string>& text, long long low, long long high) {
  if (!text || text->empty()) return std::nullopt;
  long long value = 0;
  const char* begin = text->data();
  const char* end = begin + text->size();
  auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end || value < low || value > high) return std::nullopt;
  return value;
}

}  // namespace

std::vector<StationPosition> ParseLatLong(std::string_view bytes, StationReadResult* result) {
  StationReadResult local;
  StationReadResult& r = result ? *result : local;
  r = StationReadResult{};
  std::vector<StationPosition> stations;
  RecordReader reader(bytes);
  while (!reader.AtEnd()) {
    auto id = reader.NextText();
    auto lat = reader.NextText();
    auto lon = reader.NextText();
    if (!id || !lat || !lon) {
      r.problem = "The station file ends in the middle of a record.";
      break;
    }
    auto la = Whole(lat, -9000, 9000);
    auto lo = Whole(lon, -18000, 18000);
    if (!la || !lo || id->empty() || *id == "end") {
      ++r.skipped;
      continue;
    }
    if (static_cast<int>(stations.size()) > kStationTableLastIndex) {
      r.truncated = true;
      r.problem = "The station file holds more than 6001 stations; the rest are treated as unknown.";
      break;
    }
    stations.push_back({std::move(*id), static_cast<std::int16_t>(*la), static_cast<std::int16_t>(*lo)});
  }
  if (r.skipped > 0 && r.problem.empty()) {
    r.problem = std::to_string(r.skipped) + " station records with impossible positions were skipped.";
  }
  r.records = static_cast<int>(stations.size());
  return stations;
}

std::string FormatLatLong(const std::vector<StationPosition>& stations) {
  RecordWriter writer;
  for (const StationPosition& s : stations) {
    writer.Text(s.identifier).Integer(s.latitude).Integer(s.longitude).EndRecord();
  }
  return writer.Take();
}

namespace {

// Reads one fourteen-item record; nothing at the end of the input. `valid` tells
// whether its numbers are usable.
std::optional<StationEntry> NextMainRecord(RecordReader& reader, bool& valid) {
  std::optional<std::string> items[14];
  for (auto& item : items) {
    item = reader.NextText();
    if (!item) return std::nullopt;
  }
  StationEntry e;
  e.identifier = *items[0];
  e.unused2 = *items[1];
  e.unused3 = *items[2];
  e.name = *items[3];
  e.region1 = *items[4];
  e.region2 = *items[5];
  e.unused7 = *items[6];
  auto lat = Whole(items[7], -9000, 9000);
  auto lon = Whole(items[8], -18000, 18000);
  auto u10 = Whole(items[9], -1000000000LL, 1000000000LL);
  auto u11 = Whole(items[10], -1000000000LL, 1000000000LL);
  e.elevation = *items[11];
  e.unused13 = *items[12];
  e.unused14 = *items[13];
  valid = lat && lon;
  if (valid) {
    e.latitude = static_cast<std::int16_t>(*lat);
    e.longitude = static_cast<std::int16_t>(*lon);
  }
  e.unused10 = u10.value_or(0);
  e.unused11 = u11.value_or(0);
  return e;
}

}  // namespace

std::vector<StationEntry> ParseMainStations(std::string_view bytes, StationReadResult* result) {
  StationReadResult local;
  StationReadResult& r = result ? *result : local;
  r = StationReadResult{};
  std::vector<StationEntry> stations;
  RecordReader reader(bytes);
  while (!reader.AtEnd()) {
    bool valid = false;
    auto entry = NextMainRecord(reader, valid);
    if (!entry) {
      r.problem = "The station file ends in the middle of a record.";
      break;
    }
    if (!valid) {
      ++r.skipped;
      continue;
    }
    stations.push_back(std::move(*entry));
  }
  if (r.skipped > 0 && r.problem.empty()) {
    r.problem = std::to_string(r.skipped) + " station records with impossible positions were skipped.";
  }
  r.records = static_cast<int>(stations.size());
  return stations;
}

std::string FormatMainStations(const std::vector<StationEntry>& stations) {
  RecordWriter writer;
  for (const StationEntry& e : stations) {
    writer.Text(e.identifier).Text(e.unused2).Text(e.unused3).Text(e.name).Text(e.region1)
        .Text(e.region2).Text(e.unused7).Integer(e.latitude).Integer(e.longitude)
        .Integer(e.unused10).Integer(e.unused11).Text(e.elevation).Text(e.unused13)
        .Text(e.unused14).EndRecord();
  }
  return writer.Take();
}

std::optional<StationEntry> FindMainStation(const FileSystem& fs, std::string_view identifier) {
  auto bytes = fs.ReadAll(kMainStationFile);
  if (!bytes) return std::nullopt;
  RecordReader reader(*bytes);
  while (!reader.AtEnd()) {
    bool valid = false;
    auto entry = NextMainRecord(reader, valid);
    if (!entry) return std::nullopt;
    if (valid && entry->identifier == identifier) return entry;
  }
  return std::nullopt;
}

StationTable StationTable::Load(const FileSystem& fs, StationReadResult* result) {
  auto bytes = fs.ReadAll(kLatLongFile);
  if (!bytes) {
    if (result) {
      *result = StationReadResult{};
      result->problem = "The station file \"latlong.stn\" is missing; every station is unknown.";
    }
    return StationTable{};
  }
  return StationTable(ParseLatLong(*bytes, result));
}

const StationPosition* StationTable::Find(std::string_view identifier) const {
  for (const StationPosition& s : stations_) {
    if (s.identifier == identifier) return &s;
  }
  return nullptr;
}

bool Whois(FileSystem& fs, const StationTable& table, std::string_view identifier,
           ObservationStore& store, int index) {
  if (index < 0 || index > kStoreLastIndex) return false;
  if (auto unknown = fs.ReadAll(kUnknownStationFile)) {
    RecordReader reader(*unknown);
    while (auto item = reader.NextText()) {
      if (*item == identifier) return false;
    }
  }
  if (const StationPosition* found = table.Find(identifier)) {
    StationObservations& entry = store[index];
    entry.identifier = found->identifier;
    entry.latitude = found->latitude;
    entry.longitude = found->longitude;
    return true;
  }
  RecordWriter writer;
  writer.Text(identifier).EndRecord();
  fs.Append(kUnknownStationFile, writer.str());
  return false;
}

std::string StationPlaceName(const FileSystem& fs, std::string_view identifier) {
  auto entry = FindMainStation(fs, identifier);
  if (!entry) return "";
  return entry->name + ", " + (entry->region1.empty() ? entry->region2 : entry->region1);
}

}  // namespace norvane
