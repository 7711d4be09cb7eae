#pragma once
// The user's points of interest and their file "watch.dat": one record a point, the
// quoted name, then latitude and longitude in hundredths of a degree.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/reporter.h"
#include "map/plots.h"
#include "platform/file_system.h"

namespace norvane {

inline constexpr const char* kPointsFile = "watch.dat";
// The size of the point table; files with more points are read up to it.
constexpr int kMaxPoints = 6000;

struct PointOfInterest {
  std::string name;
  std::int16_t latitude = 0;   // hundredths of a degree, north positive
  std::int16_t longitude = 0;  // hundredths of a degree, east positive
  bool operator==(const PointOfInterest&) const = default;
};

// The points are held with their count, so any name (even "end") is an ordinary point.
using PointList = std::vector<PointOfInterest>;

// A name as the file keeps it: without double quotes (the file's text delimiter) and
// control characters (its record end).
std::string CleanPointName(std::string_view name);

struct PointsRead {
  PointList points;
  int skipped = 0;   // records with a missing, garbled or out-of-range position
  int ignored = 0;   // records beyond the table's capacity
};

// Reads "watch.dat" bytes: at most `capacity` points, in file order. A record whose
// position is not a whole number in range (|latitude| <= 9000, |longitude| <= 18000)
// is skipped; a cut-short last record is skipped.
PointsRead ReadPoints(std::string_view bytes, int capacity = kMaxPoints);

// `LoadPoints`: the main program's point list from "watch.dat", with the status
// messages; skipped and ignored records are reported.
PointList LoadPoints(const FileSystem& fs, Reporter& reporter);

std::string FormatPoints(const PointList& points);
// Replaces "watch.dat" in one step; false when it could not (the old file then stays).
bool SavePoints(FileSystem& fs, const PointList& points);

// The "&Points" plot layer's list.
std::vector<PlotPoint> ToPlotPoints(const PointList& points);

}  // namespace norvane
