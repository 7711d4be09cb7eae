#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace norvane {

// Marks a grid value that no usable report reaches. Readers take anything at or
// below -9E+296 as missing, so a value that passed through text keeps its meaning.
constexpr double MissingValue = -9E+297;
constexpr bool IsMissing(double value) { return value <= -9E+296; }

// Record numbers of a grid file are 16-bit signed: the header and 32766 cells at most.
constexpr int kMaxGridRecords = 32767;
constexpr int kGridRecordBytes = 64;

// First record of a grid file: eight little-endian IEEE doubles in this order.
// `Reserved1` holds the time the grid is valid for (absolute minutes + 1, so that the
// 0 of a grid written without it reads as unknown); change fields state their hours
// from it.
struct GridHeader {
  double EndLongitude = 0;
  double StartLongitude = 0;
  double Reserved1 = 0;
  double Reserved2 = 0;
  double EndLatitude = 0;
  double StartLatitude = 0;
  double LatitudeStep = 0;
  double LongitudeStep = 0;
};

constexpr double GridValidTimeField(std::int32_t minutes) { return static_cast<double>(minutes) + 1; }
// The valid time of a grid in absolute minutes; nothing for a grid that does not say.
std::optional<std::int32_t> GridValidTime(const GridHeader& header);

// The eight quantities of one grid point, in record order.
struct GridCell {
  double Temperature = MissingValue;
  double DewPoint = MissingValue;
  double WindSpeed = MissingValue;
  double PeakWind = MissingValue;
  double Pressure = MissingValue;
  double Ceiling = 999;
  double DirNorth = MissingValue;
  double DirEast = MissingValue;
};

static_assert(sizeof(GridHeader) == kGridRecordBytes && sizeof(GridCell) == kGridRecordBytes);

enum class GridQuantity { Temperature, DewPoint, WindSpeed, PeakWind, Pressure, Ceiling, DirNorth, DirEast };
double CellValue(const GridCell& cell, GridQuantity quantity);
// "temperature", "dewpoint", "wind", "peak", "pressure", "ceiling", "dirnorth", "direast"
// (without regard to case); nothing for other names.
std::optional<GridQuantity> QuantityByName(std::string_view name);
const char* QuantityName(GridQuantity quantity);

// Rows and columns as the writer and every reader compute them from a header.
// The builder widens its single-precision box to double before dividing, exactly
// as the header stores it, so both sides get the same counts (a 30-degree extent
// with step 0.1 gives 300 rows: 0.1 widened is slightly above a tenth).
struct GridSize {
  int rows = 0;
  int columns = 0;
  long long Records() const { return 1 + static_cast<long long>(rows) * columns; }
};
// Nothing when the header cannot describe a grid (step below 0.01, not finite,
// end before start, or a count beyond the record limit).
std::optional<GridSize> SizeOfGrid(const GridHeader& header);

struct Grid {
  GridHeader header;
  GridSize size;
  std::vector<GridCell> cells;  // row-major, rows south to north, columns west to east
  const GridCell& At(int row, int column) const { return cells[static_cast<std::size_t>(row) * size.columns + column]; }
  GridCell& At(int row, int column) { return cells[static_cast<std::size_t>(row) * size.columns + column]; }
  double LatitudeOf(int row) const;
  double LongitudeOf(int column) const;
};

// The file bytes of a grid: the header, then every cell, 64 bytes each.
std::string EncodeGrid(const Grid& grid);

struct GridReadResult {
  std::optional<Grid> grid;
  std::string error;  // why the bytes were refused
};
// Reads grid bytes without trusting them. Records beyond the grid (left by an
// older, larger grid written in place) are ignored.
GridReadResult DecodeGrid(std::string_view bytes);
GridReadResult ReadGridFile(const FileSystem& fs, const std::string& fileName);
// Writes through a temporary twin and a rename, so a reader sees the old grid or
// the new one, never a mixture. False when the write or the rename failed.
bool WriteGridFile(FileSystem& fs, const std::string& fileName, const Grid& grid);

}  // namespace norvane
