#pragma once
// Weather quantities computed from the values of a grid point (and, for the
// convergence fields, its four neighbours). Each is missing (MissingValue) when an
// input it needs is missing or not finite, or when its result is not finite.
#include <limits>

#include "grid/grid_file.h"

namespace norvane {

// A grid value that can enter a formula: finite and not marked missing.
constexpr bool IsUsable(double value) {
  return value > -9E+296 && value <= std::numeric_limits<double>::max();  // false for NaN too
}

double SaturationVapourPressure(double t);          // hPa, t in degrees C
double RelativeHumidity(double t, double td);       // percent, neither rounded nor limited to 100
double MixingRatio(double t, double td);            // grams of vapour per kilogram of air
double WindChill(double t, double knots);           // degrees C

struct ConvergenceValues {
  double massConvergence = MissingValue;          // "DC"
  double moistureConvergence = MissingValue;      // "MC"
  double bestMassConvergence = MissingValue;      // "BDC"
  double bestMoistureConvergence = MissingValue;  // "BMC"
};
// The inflow of a point with its four neighbours; missing on the border of the
// grid, where a neighbour does not exist.
ConvergenceValues Convergence(const Grid& grid, int row, int column);

}  // namespace norvane
