#pragma once
// The values a contour is drawn through: one field of a grid (stored, converted or
// derived), or the difference of one field between two grids of the same box.
#include <optional>
#include <string_view>
#include <vector>

#include "grid/grid_file.h"

namespace norvane {

enum class ContourCode {
  Ceiling,                  // "CIG"
  DewPoint,                 // "D", degrees C
  Temperature,              // "T", degrees C
  DewPointF,                // "DF"
  TemperatureF,             // "TF"
  Pressure,                 // "SLP"
  WindSpeed,                // "WS"
  PeakWind,                 // "WM"
  RelativeHumidity,         // "RH"
  MixingRatio,              // "MR"
  WindChill,                // "WC"
  MassConvergence,          // "DC"
  MoistureConvergence,      // "MC"
  BestMassConvergence,      // "BDC"
  BestMoistureConvergence,  // "BMC"
};

// Codes are compared exactly: the interpreter delivers them upper-cased.
std::optional<ContourCode> ContourCodeOf(std::string_view code);
// A change field takes only "T", "D", "TF", "DF" and "SLP".
std::optional<ContourCode> DifferenceCodeOf(std::string_view code);

constexpr double CelsiusToFahrenheit(double celsius) { return celsius * 1.8 + 32; }

// Values at the grid points, in single precision because levels are compared with
// them in 32 bits. NaN marks a missing value (missing in the file, not finite, or
// beyond single precision).
struct ContourField {
  GridHeader header;
  int rows = 0;
  int columns = 0;
  std::vector<float> values;  // row-major like Grid::cells
  float At(int row, int column) const { return values[static_cast<std::size_t>(row) * columns + column]; }
};

ContourField FieldOf(const Grid& grid, ContourCode code);

// Cell corners (four per cell, so an inner point counts four times) where at least
// one of two grids has a value, and where both have.
struct MeshCount {
  long long either = 0;
  long long both = 0;
  // 0 when no corner has a value in either grid.
  double Ratio() const { return either == 0 ? 0.0 : static_cast<double>(both) / static_cast<double>(either); }
};

struct DifferenceField {
  ContourField field;
  MeshCount mesh;
};

// The box and steps of two headers are equal to the bit (the reserved fields are not compared).
bool SameBox(const GridHeader& a, const GridHeader& b);

// first - second at every point, missing where either is; "TF" and "DF" give the
// change in degrees F (times 1.8, no 32 added). The grids must have the same box
// and `code` must be a difference code.
DifferenceField DifferenceOf(const Grid& first, const Grid& second, ContourCode code);

}  // namespace norvane
