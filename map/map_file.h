#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialogs.h"
#include "platform/file_system.h"

namespace norvane {

// A latitude value of this marks a break: the line ends and the next record starts a new one.
inline constexpr std::int16_t kMapBreak = -32000;

// One 4-byte record of a map file: hundredths of a degree, north and east positive.
struct MapRecord {
  std::int16_t lat100 = kMapBreak;
  std::int16_t lon100 = kMapBreak;
  bool IsBreak() const { return lat100 == kMapBreak; }
  friend bool operator==(const MapRecord&, const MapRecord&) = default;
};

struct MapLoadResult {
  std::vector<MapRecord> points;
  // Records outside +-90 / +-180 degrees that were read as breaks.
  int rejected = 0;
  // Bytes past the last whole record that were ignored.
  int trailingBytes = 0;
};

// Decodes the records of a map file. Only whole records are read (length / 4, rounded
// down); a value out of range other than the break becomes a break, so a garbled record
// never joins a line across the map.
MapLoadResult ParseMapFile(std::string_view bytes);
std::string EncodeMapFile(const std::vector<MapRecord>& points);

// Reads "user.map" (or another map file); a missing or unreadable file gives no points.
MapLoadResult LoadMap(const FileSystem& fs, const std::string& name = "user.map");

// The region of the rubber band, hundredths of a degree, bounds included.
struct MapRegion {
  int latMin = -9000, latMax = 9000, lonMin = -18000, lonMax = 18000;
};

// Cuts the region out of the world outline: records inside are kept unchanged; any run
// of records outside (or breaks) becomes one break. Before the first record the last
// kept record counts as not a break.
std::vector<MapRecord> CutRegion(const std::vector<MapRecord>& world, const MapRegion& region);

// The rubber band of the region dialog over the 720 x 360 world picture.
struct RubberBand {
  int x1 = 0, y1 = 0, x2 = 720, y2 = 360;
  // A press of the left button starts a new band at the pixel.
  void Press(double x, double y);
  // Dragging with the button held moves the second corner.
  void Drag(double x, double y);
  // Limits every corner to 0-719 and 0-359.
  void Clamp();
};

// The region of a band, corners ordered; nothing when less than 5 degrees wide or high.
std::optional<MapRegion> BandToRegion(const RubberBand& band);

enum class MakeMapResult { Made, AreaTooSmall, WorldMissing, WriteFailed };

// "Make Map": refuses a band under 5 degrees ("Area too small..."), and a missing or
// empty "world.map" (both files stay untouched); otherwise writes "user.map" through
// ReplaceFile. Messages are titled "ERROR".
MakeMapResult MakeMap(FileSystem& fs, Dialogs& dialogs, const RubberBand& band);
// The same cut for a region already checked (the REGION command), without messages.
MakeMapResult MakeRegionMap(FileSystem& fs, const MapRegion& region);
// The message of a failed cut ("" for Made and AreaTooSmall).
std::string MakeMapProblem(MakeMapResult result);

}  // namespace norvane
