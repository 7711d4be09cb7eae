#include "contour/contour_trace.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace norvane {
namespace {

struct LatLon {
  double lat = 0;
  double lon = 0;
};

// -1, 0 or 1: the sign of level - value, where equality is a sign of its own.
int Side(float level, float value) { return (level > value) - (level < value); }

// A point a fraction of the way from `a` towards `b`.
LatLon Toward(const LatLon& a, const LatLon& b, double fraction) {
  return {a.lat - fraction * (a.lat - b.lat), a.lon - fraction * (a.lon - b.lon)};
}

// First k in [0, count) for which `pred` holds, for a predicate false up to some k and true after.
template <typename Pred>
int FirstWhere(int count, Pred pred) {
  int lo = 0, hi = count;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (pred(mid)) hi = mid;
    else lo = mid + 1;
  }
  return lo;
}

// The two corners that share a triangle with corner k (1-based), in drawing order.
constexpr int kNeighbours[5][2] = {{0, 0}, {2, 4}, {1, 3}, {2, 4}, {1, 3}};

class CellTracer {
 public:
  CellTracer(const ContourLevels& levels, const StationPlacer& place, int labelSpacing, ContourSink& sink)
      : levels_(levels), place_(place), labelSpacing_(labelSpacing), sink_(sink) {}

  // Corner values z[1..4] (z[0] is the centre) and positions k[0..4] (k[0] the centre).
  void Trace(int row, int column, const float (&z)[5], const LatLon (&k)[5]) {
    const float lo = *std::min_element(z, z + 5), hi = *std::max_element(z, z + 5);
    if (!(lo < hi)) return;
    // Only a level strictly inside the cell's range crosses a spoke, and every piece starts on a crossed spoke.
    int first = 0, last = 0;
    if (levels_.interval >= 0 || levels_.count == 1) {
      first = FirstWhere(levels_.count, [&](int n) { return levels_.At(n) > lo; });
      last = FirstWhere(levels_.count, [&](int n) { return levels_.At(n) >= hi; });
    } else {
      first = FirstWhere(levels_.count, [&](int n) { return levels_.At(n) < hi; });
      last = FirstWhere(levels_.count, [&](int n) { return levels_.At(n) <= lo; });
    }
    for (int n = first; n < last; ++n)
      if (!TraceLevel(row, column, levels_.At(n), z, k)) return;
  }

 private:
  struct Spoke {
    bool known = false;
    std::optional<ScreenPoint> at;
  };

  // False when a crossing point is hidden, which ends the cell.
  bool TraceLevel(int row, int column, float level, const float (&z)[5], const LatLon (&k)[5]) {
    Spoke spokes[5];
    // Where the level meets spoke m: the corner itself when the corner holds the level.
    auto spokePoint = [&](int m) -> const std::optional<ScreenPoint>& {
      Spoke& s = spokes[m];
      if (!s.known) {
        s.known = true;
        const LatLon p = level == z[m] ? k[m]
                                       : Toward(k[0], k[m], (static_cast<double>(z[0]) - level) /
                                                                (static_cast<double>(z[0]) - z[m]));
        s.at = Place(p.lat, p.lon);
      }
      return s.at;
    };
    const int centreSide = Side(level, z[0]);
    for (int s = 1; s <= 4; ++s) {
      if (centreSide == 0 || Side(level, z[s]) == 0 || Side(level, z[s]) == centreSide) continue;
      const std::optional<ScreenPoint>& p = spokePoint(s);
      if (!p) return false;
      for (int m : kNeighbours[s]) {
        if (Side(level, z[s]) != Side(level, z[m])) {
          const double fraction = (static_cast<double>(z[s]) - level) / (static_cast<double>(z[s]) - z[m]);
          const LatLon q = Toward(k[s], k[m], fraction);
          if (const auto at = Place(q.lat, q.lon)) {
            const bool label = labelSpacing_ > 0 && outerCount_ % labelSpacing_ == 0;
            ++outerCount_;
            sink_.Piece({label ? PieceKind::Label : PieceKind::Outer, row, column, level, *p, *at});
          }
        }
        if (Side(level, z[m]) != centreSide) {
          if (const auto& at = spokePoint(m)) sink_.Piece({PieceKind::Spoke, row, column, level, *p, *at});
        }
      }
    }
    return true;
  }

  const ContourLevels& levels_;
  // A point of a damaged grid header can lie at infinity: it counts as hidden, so no
  // piece ever reaches the canvas with a coordinate that is not a number.
  std::optional<ScreenPoint> Place(double lat, double lon) const {
    if (!std::isfinite(lat) || !std::isfinite(lon)) return std::nullopt;
    const auto at = place_(lat, lon);
    if (!at || !std::isfinite(at->x) || !std::isfinite(at->y)) return std::nullopt;
    return at;
  }
  const StationPlacer& place_;
  int labelSpacing_;
  ContourSink& sink_;
  std::int64_t outerCount_ = 0;  // outer pieces drawn or labelled so far in this call
};

}  // namespace

std::optional<ContourLevels> LevelsOf(double start, double end, double interval) {
  const auto s = static_cast<float>(start), e = static_cast<float>(end), i = static_cast<float>(interval);
  if (!std::isfinite(s) || !std::isfinite(e) || !std::isfinite(i)) return std::nullopt;
  if (s == e) return ContourLevels{s, i == 0 ? 0.01f : i, 1};
  if (i == 0 || (e > s) != (i > 0)) return std::nullopt;
  const double steps = (static_cast<double>(e) - s) / i;
  if (!(steps < kMaxContourLevels)) return std::nullopt;
  // Counted once, with room for the rounding of the three single-precision numbers,
  // so 0 to 1 by 0.1 keeps its last level.
  const double slack = FLT_EPSILON * ((std::fabs(s) + std::fabs(e)) / std::fabs(i) + steps);
  const int count = static_cast<int>(std::floor(steps + slack)) + 1;
  if (count > kMaxContourLevels) return std::nullopt;
  return ContourLevels{s, i, count};
}

int LabelSpacing(int width, int height) {
  const long long sum = static_cast<long long>(width) + height;
  return sum < 50 ? 0 : static_cast<int>(sum / 50);
}

void TraceContours(const ContourField& field, const ContourLevels& levels, const StationPlacer& place,
                   int labelSpacing, ContourSink& sink) {
  if (levels.count <= 0 || !place) return;
  const auto lat0 = static_cast<float>(field.header.StartLatitude);
  const auto lon0 = static_cast<float>(field.header.StartLongitude);
  const auto latStep = static_cast<float>(field.header.LatitudeStep);
  const auto lonStep = static_cast<float>(field.header.LongitudeStep);
  // Positions in single precision, as the grid file's readers place their rows and columns.
  auto latOf = [&](float r) { return static_cast<double>(lat0 + r * latStep); };
  auto lonOf = [&](float s) { return static_cast<double>(lon0 + s * lonStep); };
  CellTracer tracer(levels, place, labelSpacing, sink);
  for (int i = 1; i < field.rows; ++i) {
    sink.BeginRow(i);
    const double lat = latOf(static_cast<float>(i)), latBelow = latOf(static_cast<float>(i - 1));
    const double latMiddle = latOf(static_cast<float>(i) - 0.5f);
    for (int j = 1; j < field.columns; ++j) {
      float z[5] = {0, field.At(i, j), field.At(i, j - 1), field.At(i - 1, j - 1), field.At(i - 1, j)};
      if (std::isnan(z[1]) || std::isnan(z[2]) || std::isnan(z[3]) || std::isnan(z[4])) continue;
      z[0] = static_cast<float>((static_cast<double>(z[1]) + z[2] + z[3] + z[4]) / 4);
      const double lon = lonOf(static_cast<float>(j)), lonWest = lonOf(static_cast<float>(j - 1));
      const LatLon k[5] = {{latMiddle, lonOf(static_cast<float>(j) - 0.5f)},
                           {lat, lon},
                           {lat, lonWest},
                           {latBelow, lonWest},
                           {latBelow, lon}};
      tracer.Trace(i, j, z, k);
    }
  }
}

}  // namespace norvane
