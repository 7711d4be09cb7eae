#pragma once
// The reports of past hours: for each whole hour, every station's report nearest to it,
// taken from the six slots and the station's archive. A loop of the last hours plays
// these one after the other.
#include <cstdint>
#include <span>
#include <vector>

#include "obs/observation_store.h"
#include "platform/file_system.h"

namespace norvane {

// How far from the hour a report may lie and still stand for it.
constexpr std::int32_t kHourReach = 30;  // minutes

// The index in `reports` of the report nearest to `hour` (absolute minutes) and no
// further than kHourReach from it; of two equally near, the later one. -1 when none.
// Empty records are never chosen.
int NearestReportTo(std::span<const ObservationRecord> reports, std::int32_t hour);

// One station's reports between two hours, slots and archive lines together.
struct StationHistory {
  std::string identifier;
  std::int16_t latitude = 0;
  std::int16_t longitude = 0;
  std::vector<ObservationRecord> reports;
};
// Every station of the store up to its "end" entry, with the reports it holds from
// `from` to `to` (absolute minutes) and within reach of them. A copy: the store may
// be reloaded while the histories are in use.
struct StationHistories {
  std::vector<StationHistory> stations;
  int count = 0;  // reports kept in all
};
StationHistories ReadStationHistories(const FileSystem& fs, const ObservationStore& store, std::int32_t from,
                                      std::int32_t to);

// `frame` becomes the stations of the histories, each with its report nearest to
// `hour` in slot 0 (the other slots empty; a station without one holds no report).
// Returns how many stations have a report for the hour.
int FillStoreAtHour(const StationHistories& histories, std::int32_t hour, ObservationStore& frame);

}  // namespace norvane
