#include "map/station_pickup.h"

#include <algorithm>

#include "core/great_circle.h"
#include "core/number_text.h"
#include "obs/description.h"
#include "obs/station_tables.h"

namespace norvane {
namespace {

constexpr const char* kBreak = "\r\n";
constexpr std::int64_t kFreshMinutes = 121;

std::string AgeTag(const ObservationRecord& report, std::int32_t now) {
  return static_cast<std::int64_t>(now) - report.time < kFreshMinutes ? "  " : "  [OLD] ";
}

}  // namespace

std::vector<NearStation> NearestStations(const ObservationStore& store, double latitude, double longitude,
                                         double earthRadius) {
  std::vector<NearStation> nearest;
  const int end = store.EndIndex();
  for (int i = 0; i < end; ++i) {
    const StationObservations& entry = store[i];
    if (entry.reports[0].Empty()) continue;
    const double d =
        GreatCircleDistance(latitude, longitude, entry.latitude / 100.0, entry.longitude / 100.0, earthRadius);
    if (!(d < kPickDistanceLimit)) continue;
    // Inserted before the first greater distance, so the earlier of two equals stays first.
    const auto at = std::upper_bound(nearest.begin(), nearest.end(), d,
                                     [](double value, const NearStation& s) { return value < s.distance; });
    if (at - nearest.begin() >= kPickedStations) continue;
    nearest.insert(at, NearStation{i, d});
    if (nearest.size() > static_cast<std::size_t>(kPickedStations)) nearest.pop_back();
  }
  return nearest;
}

std::string StationPickupText(const FileSystem& fs, const ObservationStore& store, double latitude, double longitude,
                              const PickupOptions& options) {
  std::string text;
  for (const NearStation& near : NearestStations(store, latitude, longitude, options.earthRadius)) {
    const StationObservations& entry = store[near.index];
    const std::string distance = FormatNumber(near.distance, "0.0");
    if (options.decodeMetar) {
      text += "-- " + distance + " " + StationPlaceName(fs, entry.identifier) + " [" + entry.identifier + "] --" +
              kBreak;
      for (int slot = 0; slot < 3; ++slot) {
        const ObservationRecord& r = entry.reports[static_cast<std::size_t>(slot)];
        if (r.Empty()) continue;
        const std::string dayTime = r.report.size() > 5 ? r.report.substr(5, 7) : "";
        text += AgeTag(r, options.now) + " " + dayTime + " " + DescribeObservation(r.decoded, options.useCelsius) +
                kBreak + kBreak;
        break;
      }
    } else {
      text += "---==> " + distance + " <==---" + kBreak;
      for (int slot = 0; slot < 3; ++slot) {
        const ObservationRecord& r = entry.reports[static_cast<std::size_t>(slot)];
        if (!r.Empty()) text += AgeTag(r, options.now) + r.report + kBreak;
      }
    }
  }
  return text;
}

}  // namespace norvane
