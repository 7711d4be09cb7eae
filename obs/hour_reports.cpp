#include "obs/hour_reports.h"

#include <algorithm>
#include <cstdlib>

namespace norvane {

int NearestReportTo(std::span<const ObservationRecord> reports, std::int32_t hour) {
  int best = -1;
  std::int32_t bestDistance = kHourReach + 1;
  for (std::size_t k = 0; k < reports.size(); ++k) {
    const ObservationRecord& r = reports[k];
    if (r.Empty()) continue;
    const std::int64_t distance = std::llabs(static_cast<std::int64_t>(r.time) - hour);
    if (distance > kHourReach) continue;
    const auto d = static_cast<std::int32_t>(distance);
    if (d < bestDistance || (d == bestDistance && r.time > reports[static_cast<std::size_t>(best)].time)) {
      best = static_cast<int>(k);
      bestDistance = d;
    }
  }
  return best;
}

StationHistories ReadStationHistories(const FileSystem& fs, const ObservationStore& store, std::int32_t from,
                                      std::int32_t to) {
  StationHistories out;
  const int end = std::min(store.EndIndex(), kStoreEntries);
  const auto within = [&](const ObservationRecord& r) {
    return !r.Empty() && r.time >= from - kHourReach && r.time <= to + kHourReach;
  };
  for (int i = 0; i < end; ++i) {
    const StationObservations& e = store[i];
    StationHistory& h = out.stations.emplace_back();
    h.identifier = e.identifier;
    h.latitude = e.latitude;
    h.longitude = e.longitude;
    if (e.identifier.empty()) continue;
    for (const ObservationRecord& r : e.reports)
      if (within(r)) h.reports.push_back(r);
    // Archive lines are older than the slots: with six slots filled and the oldest
    // already before the first hour's reach, the archive has nothing to add.
    const ObservationRecord& oldest = e.reports[kStationSlots - 1];
    if (oldest.Empty() || oldest.time >= from - kHourReach) {
      for (ObservationRecord& r : ReadArchive(fs, e.identifier))
        if (within(r)) h.reports.push_back(std::move(r));
    }
    out.count += static_cast<int>(h.reports.size());
  }
  return out;
}

int FillStoreAtHour(const StationHistories& histories, std::int32_t hour, ObservationStore& frame) {
  int found = 0;
  const int end = std::min(static_cast<int>(histories.stations.size()), kStoreEntries);
  for (int i = 0; i < end; ++i) {
    const StationHistory& h = histories.stations[static_cast<std::size_t>(i)];
    StationObservations& f = frame[i];
    f.identifier = h.identifier;
    f.latitude = h.latitude;
    f.longitude = h.longitude;
    f.ClearSlots();
    const int k = NearestReportTo(h.reports, hour);
    if (k < 0) continue;
    f.reports[0] = h.reports[static_cast<std::size_t>(k)];
    ++found;
  }
  frame[end].identifier = kEndIdentifier;
  return found;
}

}  // namespace norvane
