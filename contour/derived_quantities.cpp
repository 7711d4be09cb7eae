#include "contour/derived_quantities.h"

#include <algorithm>
#include <cmath>

namespace norvane {
namespace {

constexpr double kKnotsToMetres = 0.51;

double Checked(double result) { return std::isfinite(result) ? result : MissingValue; }

// Density of dry air at standard pressure and temperature t, kg per cubic metre.
double AirDensity(double t) { return 101325 / ((t + 273) * 287); }

// A neighbour's wind term counts only when every number in it is a real value.
bool Counts(double a, double b, double c, double d) {
  return std::fabs(a) < 9E+296 && std::fabs(b) < 9E+296 && std::fabs(c) < 9E+296 && std::fabs(d) < 9E+296;
}

}  // namespace

double SaturationVapourPressure(double t) {
  if (!IsUsable(t)) return MissingValue;
  return Checked(6.11 * std::pow(10.0, 7.5 * t / (t + 237.7)));
}

double RelativeHumidity(double t, double td) {
  if (!IsUsable(t) || !IsUsable(td)) return MissingValue;
  const double e = SaturationVapourPressure(td), es = SaturationVapourPressure(t);
  if (!IsUsable(e) || !IsUsable(es)) return MissingValue;
  // The ratio first, so equal temperature and dew point give exactly 100.
  return Checked(100 * (e / es));
}

double MixingRatio(double t, double td) {
  if (!IsUsable(t) || !IsUsable(td)) return MissingValue;
  const double svp = SaturationVapourPressure(td);
  if (!IsUsable(svp)) return MissingValue;
  const double vapour = svp * 100 / ((td + 273) * 461.5) * 1000;
  return Checked(vapour / AirDensity(t));
}

double WindChill(double t, double knots) {
  if (!IsUsable(t) || !IsUsable(knots)) return MissingValue;
  if (!(knots >= 0)) return MissingValue;
  // The formula holds only in wind of about 3 mph and more, at about 10 C and below;
  // elsewhere, and wherever it would come out warmer, the chill is the air itself.
  constexpr double kLightestKnots = 3 * 0.868976, kWarmestCelsius = 10;
  if (knots < kLightestKnots || t > kWarmestCelsius) return Checked(t);
  const double w = knots * kKnotsToMetres;
  return Checked(std::min(t, 33 + (t - 33) * (0.55 + 0.417 * std::sqrt(w) - 0.0454 * w)));
}

ConvergenceValues Convergence(const Grid& grid, int row, int column) {
  ConvergenceValues out;
  const GridCell& here = grid.At(row, column);
  const double t = here.Temperature, td = here.DewPoint;
  if (!IsUsable(t) || !IsUsable(td)) return out;
  const double q = MixingRatio(t, td);
  const double rho = AirDensity(t);
  if (!IsUsable(q) || !std::isfinite(rho)) return out;
  const double s0 = here.WindSpeed * kKnotsToMetres, n0 = here.DirNorth, e0 = here.DirEast;
  const int nLat = grid.size.rows - 1, nLon = grid.size.columns - 1;

  struct Neighbour {
    int row, column;
    bool north;  // true: the term uses the north components, else the east ones
    double sign; // the point's own component enters with this sign, the neighbour's with the other
  };
  // Each term is the wind along the line to the neighbour flowing towards the middle of the pair.
  const Neighbour neighbours[] = {
      {row + 1, column, true, -1}, {row - 1, column, true, 1}, {row, column - 1, false, 1}, {row, column + 1, false, -1}};
  double sum = 0, largest = MissingValue;
  int count = 0;
  for (const Neighbour& nb : neighbours) {
    if (nb.row < 0 || nb.row > nLat || nb.column < 0 || nb.column > nLon) continue;
    const GridCell& there = grid.At(nb.row, nb.column);
    const double s1 = there.WindSpeed * kKnotsToMetres;
    const double own = nb.north ? n0 : e0;
    const double other = nb.north ? there.DirNorth : there.DirEast;
    if (!Counts(s0, s1, own, other)) continue;
    const double term = s0 * nb.sign * own - s1 * nb.sign * other;
    if (!std::isfinite(term)) continue;
    sum += term;
    if (term > largest) largest = term;
    ++count;
  }
  if (count != 4) return out;
  out.massConvergence = Checked(sum / 3 * rho);
  out.moistureConvergence = Checked(sum / 3 * q);
  out.bestMassConvergence = Checked(largest * rho);
  out.bestMoistureConvergence = Checked(largest * q);
  return out;
}

}  // namespace norvane
