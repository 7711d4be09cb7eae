#include "contour/contour_field.h"

#include <cmath>
#include <limits>
#include <string_view>

#include "contour/derived_quantities.h"

namespace norvane {
namespace {

struct CodeEntry {
  std::string_view code;
  ContourCode value;
  bool difference;
};
constexpr CodeEntry kCodes[] = {
    {"CIG", ContourCode::Ceiling, false},
    {"D", ContourCode::DewPoint, true},
    {"T", ContourCode::Temperature, true},
    {"DF", ContourCode::DewPointF, true},
    {"TF", ContourCode::TemperatureF, true},
    {"SLP", ContourCode::Pressure, true},
    {"WS", ContourCode::WindSpeed, false},
    {"WM", ContourCode::PeakWind, false},
    {"RH", ContourCode::RelativeHumidity, false},
    {"MR", ContourCode::MixingRatio, false},
    {"WC", ContourCode::WindChill, false},
    {"DC", ContourCode::MassConvergence, false},
    {"MC", ContourCode::MoistureConvergence, false},
    {"BDC", ContourCode::BestMassConvergence, false},
    {"BMC", ContourCode::BestMoistureConvergence, false},
};

constexpr float kMissing = std::numeric_limits<float>::quiet_NaN();

// Narrows a usable value to single precision; NaN when it is missing or too large.
float Narrow(double value) {
  if (!IsUsable(value)) return kMissing;
  const auto narrow = static_cast<float>(value);
  return std::isfinite(narrow) ? narrow : kMissing;
}

// The stored field a code reads (the derived codes read several).
double StoredValue(const GridCell& cell, ContourCode code) {
  switch (code) {
    case ContourCode::Ceiling: return cell.Ceiling;
    case ContourCode::DewPoint:
    case ContourCode::DewPointF: return cell.DewPoint;
    case ContourCode::Temperature:
    case ContourCode::TemperatureF: return cell.Temperature;
    case ContourCode::Pressure: return cell.Pressure;
    case ContourCode::WindSpeed: return cell.WindSpeed;
    case ContourCode::PeakWind: return cell.PeakWind;
    default: return MissingValue;
  }
}

bool InFahrenheit(ContourCode code) { return code == ContourCode::TemperatureF || code == ContourCode::DewPointF; }

double PointValue(const Grid& grid, int row, int column, ContourCode code) {
  const GridCell& cell = grid.At(row, column);
  switch (code) {
    case ContourCode::RelativeHumidity: return RelativeHumidity(cell.Temperature, cell.DewPoint);
    case ContourCode::MixingRatio: return MixingRatio(cell.Temperature, cell.DewPoint);
    case ContourCode::WindChill: return WindChill(cell.Temperature, cell.PeakWind);
    case ContourCode::MassConvergence: return Convergence(grid, row, column).massConvergence;
    case ContourCode::MoistureConvergence: return Convergence(grid, row, column).moistureConvergence;
    case ContourCode::BestMassConvergence: return Convergence(grid, row, column).bestMassConvergence;
    case ContourCode::BestMoistureConvergence: return Convergence(grid, row, column).bestMoistureConvergence;
    default: break;
  }
  const double value = StoredValue(cell, code);
  if (!IsUsable(value)) return MissingValue;
  return InFahrenheit(code) ? CelsiusToFahrenheit(value) : value;
}

ContourField EmptyField(const Grid& grid) {
  ContourField field;
  field.header = grid.header;
  field.rows = grid.size.rows;
  field.columns = grid.size.columns;
  field.values.assign(static_cast<std::size_t>(field.rows) * field.columns, kMissing);
  return field;
}

}  // namespace

std::optional<ContourCode> ContourCodeOf(std::string_view code) {
  for (const auto& entry : kCodes)
    if (entry.code == code) return entry.value;
  return std::nullopt;
}

std::optional<ContourCode> DifferenceCodeOf(std::string_view code) {
  for (const auto& entry : kCodes)
    if (entry.difference && entry.code == code) return entry.value;
  return std::nullopt;
}

ContourField FieldOf(const Grid& grid, ContourCode code) {
  ContourField field = EmptyField(grid);
  // Each point once: the derived values (the convergence reads five points) are the
  // same for every cell the point is a corner of.
  for (int i = 0; i < field.rows; ++i)
    for (int j = 0; j < field.columns; ++j)
      field.values[static_cast<std::size_t>(i) * field.columns + j] = Narrow(PointValue(grid, i, j, code));
  return field;
}

bool SameBox(const GridHeader& a, const GridHeader& b) {
  return a.StartLatitude == b.StartLatitude && a.StartLongitude == b.StartLongitude &&
         a.EndLatitude == b.EndLatitude && a.EndLongitude == b.EndLongitude && a.LatitudeStep == b.LatitudeStep &&
         a.LongitudeStep == b.LongitudeStep;
}

DifferenceField DifferenceOf(const Grid& first, const Grid& second, ContourCode code) {
  DifferenceField out{EmptyField(first), {}};
  ContourField& field = out.field;
  if (second.size.rows != first.size.rows || second.size.columns != first.size.columns) return out;
  std::vector<unsigned char> present(field.values.size(), 0);  // bit 0: first grid, bit 1: second
  for (int i = 0; i < field.rows; ++i)
    for (int j = 0; j < field.columns; ++j) {
      const double a = StoredValue(first.At(i, j), code), b = StoredValue(second.At(i, j), code);
      const std::size_t at = static_cast<std::size_t>(i) * field.columns + j;
      present[at] = static_cast<unsigned char>((IsUsable(a) ? 1 : 0) | (IsUsable(b) ? 2 : 0));
      if (present[at] == 3) field.values[at] = Narrow(InFahrenheit(code) ? (a - b) * 1.8 : a - b);
    }
  // The corners of every cell, so the inside of the grid weighs more than its edges.
  for (int i = 1; i < field.rows; ++i)
    for (int j = 1; j < field.columns; ++j)
      for (const auto& [r, s] : {std::pair{i, j}, std::pair{i, j - 1}, std::pair{i - 1, j - 1}, std::pair{i - 1, j}}) {
        const unsigned char p = present[static_cast<std::size_t>(r) * field.columns + s];
        if (p != 0) ++out.mesh.either;
        if (p == 3) ++out.mesh.both;
      }
  return out;
}

}  // namespace norvane
