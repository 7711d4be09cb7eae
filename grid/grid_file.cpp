#include "grid/grid_file.h"

#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>

#include "core/replace_file.h"

namespace norvane {
namespace {

static_assert(std::endian::native == std::endian::little,
              "grid files are little-endian; add byte swapping for this platform");

constexpr float kMinimumStep = 0.01f;

struct QuantityEntry {
  const char* name;
  GridQuantity quantity;
};
constexpr QuantityEntry kQuantities[] = {
    {"temperature", GridQuantity::Temperature}, {"dewpoint", GridQuantity::DewPoint},
    {"wind", GridQuantity::WindSpeed},          {"peak", GridQuantity::PeakWind},
    {"pressure", GridQuantity::Pressure},       {"ceiling", GridQuantity::Ceiling},
    {"dirnorth", GridQuantity::DirNorth},       {"direast", GridQuantity::DirEast},
};

// Number of whole steps in an extent, computed in double precision from the
// widened single-precision values, as the builder does; nothing when
// it is not finite or would exceed the record limit.
std::optional<int> StepsIn(double start, double end, double step) {
  if (!std::isfinite(start) || !std::isfinite(end) || !std::isfinite(step)) return std::nullopt;
  if (step < kMinimumStep || end < start) return std::nullopt;
  const double q = std::floor((end - start) / step);
  if (!(q >= 0) || q > kMaxGridRecords) return std::nullopt;
  return static_cast<int>(q);
}

}  // namespace

double CellValue(const GridCell& cell, GridQuantity quantity) {
  switch (quantity) {
    case GridQuantity::Temperature: return cell.Temperature;
    case GridQuantity::DewPoint: return cell.DewPoint;
    case GridQuantity::WindSpeed: return cell.WindSpeed;
    case GridQuantity::PeakWind: return cell.PeakWind;
    case GridQuantity::Pressure: return cell.Pressure;
    case GridQuantity::Ceiling: return cell.Ceiling;
    case GridQuantity::DirNorth: return cell.DirNorth;
    case GridQuantity::DirEast: return cell.DirEast;
  }
  return MissingValue;
}

std::optional<GridQuantity> QuantityByName(std::string_view name) {
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const auto& entry : kQuantities)
    if (lower == entry.name) return entry.quantity;
  return std::nullopt;
}

const char* QuantityName(GridQuantity quantity) {
  for (const auto& entry : kQuantities)
    if (entry.quantity == quantity) return entry.name;
  return "";
}

std::optional<GridSize> SizeOfGrid(const GridHeader& header) {
  const auto nLat = StepsIn(header.StartLatitude, header.EndLatitude, header.LatitudeStep);
  const auto nLon = StepsIn(header.StartLongitude, header.EndLongitude, header.LongitudeStep);
  if (!nLat || !nLon) return std::nullopt;
  GridSize size{*nLat + 1, *nLon + 1};
  if (size.Records() > kMaxGridRecords) return std::nullopt;
  return size;
}

std::optional<std::int32_t> GridValidTime(const GridHeader& header) {
  const double v = header.Reserved1;
  // A damaged header may hold anything: only a whole minute in range is a time.
  if (!(v >= 1 && v <= 2e9) || v != std::floor(v)) return std::nullopt;
  return static_cast<std::int32_t>(v - 1);
}

double Grid::LatitudeOf(int row) const {
  return static_cast<float>(header.StartLatitude) + static_cast<float>(row) * static_cast<float>(header.LatitudeStep);
}

double Grid::LongitudeOf(int column) const {
  return static_cast<float>(header.StartLongitude) +
         static_cast<float>(column) * static_cast<float>(header.LongitudeStep);
}

std::string EncodeGrid(const Grid& grid) {
  std::string bytes(kGridRecordBytes * (1 + grid.cells.size()), '\0');
  std::memcpy(bytes.data(), &grid.header, kGridRecordBytes);
  if (!grid.cells.empty()) std::memcpy(bytes.data() + kGridRecordBytes, grid.cells.data(), kGridRecordBytes * grid.cells.size());
  return bytes;
}

GridReadResult DecodeGrid(std::string_view bytes) {
  GridReadResult result;
  if (bytes.size() < static_cast<std::size_t>(kGridRecordBytes)) {
    result.error = "grid file is too short to hold a header";
    return result;
  }
  Grid grid;
  std::memcpy(&grid.header, bytes.data(), kGridRecordBytes);
  const auto size = SizeOfGrid(grid.header);
  if (!size) {
    result.error = "grid header does not describe a grid of at most 32767 records with steps of at least 0.01";
    return result;
  }
  const std::size_t records = bytes.size() / kGridRecordBytes;
  if (static_cast<long long>(records) < size->Records()) {
    result.error = "grid file holds " + std::to_string(records) + " records but its header needs " +
                   std::to_string(size->Records());
    return result;
  }
  grid.size = *size;
  grid.cells.resize(static_cast<std::size_t>(size->rows) * size->columns);
  std::memcpy(grid.cells.data(), bytes.data() + kGridRecordBytes, kGridRecordBytes * grid.cells.size());
  result.grid = std::move(grid);
  return result;
}

GridReadResult ReadGridFile(const FileSystem& fs, const std::string& fileName) {
  const auto bytes = fs.ReadAll(fileName);
  if (!bytes) return GridReadResult{std::nullopt, "cannot read '" + fileName + "'"};
  return DecodeGrid(*bytes);
}

bool WriteGridFile(FileSystem& fs, const std::string& fileName, const Grid& grid) {
  return ReplaceFile(fs, fileName, EncodeGrid(grid));
}

}  // namespace norvane
