#pragma once
// A left click on the map: the nearest stations with their latest reports, shown in
// the output box in place of the log (the log itself is not changed).
#include <cstdint>
#include <string>
#include <vector>

#include "obs/observation_store.h"
#include "platform/file_system.h"

namespace norvane {

constexpr int kPickedStations = 4;
constexpr double kPickDistanceLimit = 100;  // distance units; farther stations are not listed

struct NearStation {
  int index = 0;          // store entry
  double distance = 0;    // unit of the earth radius
};

// The up to four nearest entries (slot 0 not empty) closer than the limit, nearest
// first; among equal distances the earlier entry comes first.
std::vector<NearStation> NearestStations(const ObservationStore& store, double latitude, double longitude,
                                         double earthRadius);

struct PickupOptions {
  bool decodeMetar = true;   // DescribeObservation of the newest report, else the raw reports
  bool useCelsius = true;
  double earthRadius = 3440;
  std::int32_t now = 0;      // absolute minutes
};

// The text for the output box; empty when no station lies within the limit. The place
// names come from "main.stn".
std::string StationPickupText(const FileSystem& fs, const ObservationStore& store, double latitude, double longitude,
                              const PickupOptions& options);

}  // namespace norvane
