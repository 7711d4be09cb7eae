#include "contour/derived_quantities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "contour/tests/contour_test_support.h"

namespace norvane {
namespace {

TEST(DerivedQuantities, KnownValuesAndMissingInputs) {
  struct Case { const char* what; double got, want, tolerance; };
  const Case cases[] = {
      {"vapour pressure at 0 C", SaturationVapourPressure(0), 6.11, 0},
      {"saturated air", RelativeHumidity(20.0, 20.0), 100, 0},
      {"dew point above temperature", RelativeHumidity(10.0, 12.0) > 100 ? 1.0 : 0.0, 1, 0},
      {"mixing ratio 20/10", MixingRatio(20, 10), 7.80, 0.01},  // 12.27 hPa of vapour at 10 C over dry air at 20 C
      {"calm wind chill", WindChill(-10, 0), -10, 0},
      {"wind chill in wind under 3 mph", WindChill(-10, 2.5), -10, 0},
      {"wind chill above 10 C", WindChill(15, 40), 15, 0},
      {"wind chill at 33 C", WindChill(33, 40), 33, 0},
      {"wind chill in a cold wind", WindChill(-10, 20), 33 - 43 * (0.55 + 0.417 * std::sqrt(10.2) - 0.0454 * 10.2), 1e-12},
      {"wind chill never above the air", WindChill(5, 3), 5, 0},
      {"missing temperature", RelativeHumidity(MissingValue, 5.0), MissingValue, 0},
      {"missing dew point", MixingRatio(5, -9.5E+296), MissingValue, 0},
      {"missing peak wind", WindChill(5, MissingValue), MissingValue, 0},
      {"not-a-number input", RelativeHumidity(std::nan(""), 5.0), MissingValue, 0},
      {"infinite input", WindChill(std::numeric_limits<double>::infinity(), 5), MissingValue, 0},
      {"pole of the vapour formula", SaturationVapourPressure(-240), MissingValue, 0},
      {"negative wind", WindChill(0, -4), MissingValue, 0},
  };
  for (const Case& c : cases) EXPECT_NEAR(c.got, c.want, c.tolerance) << c.what;
}

TEST(DerivedQuantities, ConvergenceOfAPointAndItsNeighbours) {
  // 3 x 3 calm points at 20 C / 10 C; `wind` changes them.
  auto grid = [](const std::function<void(GridCell&, int, int)>& wind) {
    return testing::MakeGrid(3, 3, [&](GridCell& c, int i, int j) { c = {20, 10, 0, 0, 0, 0, 0, 0}, wind(c, i, j); });
  };
  constexpr double m = MissingValue;
  const double rho = 101325 / (293.0 * 287), q = MixingRatio(20, 10);
  struct Case { const char* what; Grid g; int row, column; double dc, bdc; };
  const Case cases[] = {
      {"calm", grid([](GridCell&, int, int) {}), 1, 1, 0, 0},
      {"same wind everywhere", grid([](GridCell& c, int, int) { c.WindSpeed = 10, c.DirNorth = 1; }), 1, 1, 0, 0},
      // Only the north neighbour blows, from the north: 10 knots towards the point.
      {"inflow from the north", grid([](GridCell& c, int i, int j) {
         if (i == 2 && j == 1) c.WindSpeed = 10, c.DirNorth = 1;
       }), 1, 1, 5.1 / 3 * rho, 5.1 * rho},
      {"border point", grid([](GridCell&, int, int) {}), 0, 1, m, m},
      {"missing neighbour wind", grid([](GridCell& c, int i, int) { if (i == 0) c.DirNorth = m; }), 1, 1, m, m},
      {"missing dew point", grid([](GridCell& c, int i, int j) { if (i == 1 && j == 1) c.DewPoint = m; }), 1, 1, m, m},
  };
  auto moist = [&](double d) { return IsMissing(d) ? d : d / rho * q; };
  for (const Case& c : cases) {
    const ConvergenceValues v = Convergence(c.g, c.row, c.column);
    const double got[] = {v.massConvergence, v.moistureConvergence, v.bestMassConvergence, v.bestMoistureConvergence};
    const double want[] = {c.dc, moist(c.dc), c.bdc, moist(c.bdc)};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(got[k], want[k], 1e-12) << c.what << " " << k;
  }
}

}  // namespace
}  // namespace norvane
