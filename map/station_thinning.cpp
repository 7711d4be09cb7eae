#include "map/station_thinning.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace norvane {
namespace {

// Cells as large as the footprint: a plot that overlaps another lies in the same cell
// or in one of the eight around it.
std::int64_t CellIndex(double value, double size) {
  const double cell = std::floor(value / size);
  return static_cast<std::int64_t>(std::clamp(cell, -1e9, 1e9));
}

std::uint64_t CellKey(std::int64_t cx, std::int64_t cy) {
  return (static_cast<std::uint64_t>(cx) << 32) ^ static_cast<std::uint64_t>(cy & 0xffffffff);
}

}  // namespace

std::vector<bool> ThinStations(std::span<const ThinningCandidate> candidates, PlotFootprint footprint) {
  const std::size_t n = candidates.size();
  std::vector<bool> keep(n, true);
  if (!(footprint.width > 0 && footprint.height > 0) || !std::isfinite(footprint.width) ||
      !std::isfinite(footprint.height))
    return keep;

  std::vector<std::uint32_t> order(n);
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return candidates[a].time > candidates[b].time; });

  // Kept stations per cell, as linked lists through `next`. The cells sit in a flat
  // table over the stations' extent when that is of a sensible size (the usual case:
  // a window's worth of stations), else in a hash table.
  constexpr std::uint32_t kNone = 0xffffffff;
  std::vector<std::uint32_t> next(n, kNone);
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool any = false;
  for (const ThinningCandidate& c : candidates) {
    if (!std::isfinite(c.x) || !std::isfinite(c.y)) continue;
    minX = any ? std::min(minX, c.x) : c.x;
    maxX = any ? std::max(maxX, c.x) : c.x;
    minY = any ? std::min(minY, c.y) : c.y;
    maxY = any ? std::max(maxY, c.y) : c.y;
    any = true;
  }
  if (!any) return keep;
  const double columns = std::floor((maxX - minX) / footprint.width) + 1;
  const double rows = std::floor((maxY - minY) / footprint.height) + 1;
  const bool flat = columns * rows <= 8.0 * static_cast<double>(n) + 4096;
  std::vector<std::uint32_t> table;
  std::unordered_map<std::uint64_t, std::uint32_t> hashed;
  if (flat)
    table.assign(static_cast<std::size_t>(columns * rows), kNone);
  else
    hashed.reserve(n * 2);
  const auto cols = static_cast<std::int64_t>(columns), rws = static_cast<std::int64_t>(rows);
  // The list head of a cell, or nothing for a cell outside the table.
  auto head = [&](std::int64_t cx, std::int64_t cy, bool create) -> std::uint32_t* {
    if (flat) {
      if (cx < 0 || cy < 0 || cx >= cols || cy >= rws) return nullptr;
      return &table[static_cast<std::size_t>(cy * cols + cx)];
    }
    const std::uint64_t key = CellKey(cx, cy);
    if (create) return &hashed.try_emplace(key, kNone).first->second;
    const auto it = hashed.find(key);
    return it == hashed.end() ? nullptr : &it->second;
  };

  for (std::uint32_t i : order) {
    const ThinningCandidate& c = candidates[i];
    if (!std::isfinite(c.x) || !std::isfinite(c.y)) continue;  // nowhere on the map: takes no room
    const std::int64_t cx = CellIndex(c.x - minX, footprint.width);
    const std::int64_t cy = CellIndex(c.y - minY, footprint.height);
    bool overlaps = false;
    for (std::int64_t dx = -1; dx <= 1 && !overlaps; ++dx) {
      for (std::int64_t dy = -1; dy <= 1 && !overlaps; ++dy) {
        const std::uint32_t* cell = head(cx + dx, cy + dy, false);
        if (!cell) continue;
        for (std::uint32_t k = *cell; k != kNone; k = next[k]) {
          if (std::fabs(candidates[k].x - c.x) < footprint.width && std::fabs(candidates[k].y - c.y) < footprint.height) {
            overlaps = true;
            break;
          }
        }
      }
    }
    if (overlaps) {
      keep[i] = false;
      continue;
    }
    std::uint32_t* cell = head(cx, cy, true);
    next[i] = *cell;
    *cell = i;
  }
  return keep;
}

void ThinShownList(ShownList& list, const StationPlacer& place, PlotFootprint footprint) {
  if (!place) return;
  std::vector<ThinningCandidate> candidates;
  std::vector<std::size_t> entries;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const ShownStation& s = list[i];
    if (!s.shown) continue;
    const auto at = place(s.latitude / 100.0, s.longitude / 100.0);
    if (!at) continue;
    candidates.push_back({at->x, at->y, s.time});
    entries.push_back(i);
  }
  const std::vector<bool> keep = ThinStations(candidates, footprint);
  for (std::size_t k = 0; k < entries.size(); ++k) {
    if (!keep[k]) list[entries[k]].shown = false;
  }
}

}  // namespace norvane
