// Any bytes as "latlong.stn", "main.stn" and "unkn.stn": the readers and lookups never fail.
#include <cstddef>
#include <cstdint>
#include <string>

#include "obs/observation_store.h"
#include "obs/station_queries.h"
#include "obs/station_tables.h"
#include "tests/fakes/memory_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  norvane::testing::MemoryFileSystem fs;
  fs.files["latlong.stn"] = bytes;
  fs.files["main.stn"] = bytes;
  fs.files["unkn.stn"] = bytes;
  const norvane::StationTable table = norvane::StationTable::Load(fs);
  (void)norvane::ParseMainStations(bytes);
  norvane::ObservationStore store;
  (void)norvane::Whois(fs, table, "KORD", store, 0);
  (void)norvane::StationPlaceName(fs, "KORD");
  (void)norvane::StationDescription(fs, "KORD");
  (void)norvane::NearbyStations(fs, "41", "-87", "600", 15, 3440);
  return 0;
}
