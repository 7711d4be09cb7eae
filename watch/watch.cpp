#include "watch/watch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <unordered_set>

#include "core/number_text.h"
#include "core/replace_file.h"
#include "obs/observation_store.h"
#include "watch/record_lines.h"
#include "watch/significant_weather.h"

namespace norvane {
namespace {

struct SpherePoint {
  float x = 0, y = 0, z = 0;
};

// All in 32-bit reals, each step stored as one, so that distances at the limit come
// out as they always have.
SpherePoint OnSphere(float phi, float lambda, float radius) {
  const auto z = static_cast<float>(radius * std::sin(phi));
  const auto r = static_cast<float>(radius * std::cos(phi));
  const auto y = static_cast<float>(r * std::sin(lambda));
  const auto x = static_cast<float>(r * std::cos(lambda));
  return {x, y, z};
}

SpherePoint StationOnSphere(double latitude, double longitude, float radius) {
  constexpr double kRadians = 0.017453292522222223;
  return OnSphere(static_cast<float>(latitude * kRadians), static_cast<float>(longitude * kRadians), radius);
}

SpherePoint PointOnSphere(const PointOfInterest& point, float radius) {
  constexpr double kRadiansPerDegree = 3.141592654 / 180;
  const auto latitude = static_cast<float>(point.latitude / 100.0);
  const auto longitude = static_cast<float>(point.longitude / 100.0);
  return OnSphere(static_cast<float>(kRadiansPerDegree * latitude), static_cast<float>(kRadiansPerDegree * longitude),
                  radius);
}

float ChordSquared(const SpherePoint& a, const SpherePoint& b) {
  const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return dx * dx + dy * dy + dz * dz;
}

float DistanceFromChordSquared(float chordSquared, float radius) {
  const float chord = std::sqrt(chordSquared);
  const float diameter = 2 * radius;
  if (chord == diameter) return 9999;
  const auto half = chord / 2;
  const auto root = static_cast<float>(std::sqrt(radius * radius - half * half));
  return static_cast<float>(diameter * std::atan(chord / (2 * root)));
}

// The points of a batch, placed on the sphere once and ordered by z, with a chord
// beyond which no point can be within the watch distance (a little generous; the exact
// test decides). A station then looks only at the points whose z is within that chord.
class PointSphere {
 public:
  PointSphere(const PointList& points, int watchDistance, double earthRadius)
      : points_(points), radius_(static_cast<float>(earthRadius)), watchDistance_(watchDistance) {
    sphere_.reserve(points.size());
    for (const PointOfInterest& p : points) sphere_.push_back(PointOnSphere(p, radius_));
    const double halfAngle = watchDistance / (2 * earthRadius);
    if (earthRadius > 0 && std::isfinite(earthRadius) && halfAngle >= 0 && halfAngle < std::numbers::pi / 2) {
      const double chord = 2 * earthRadius * std::sin(halfAngle) * 1.001 + 1e-3;
      chordLimit_ = static_cast<float>(chord);
    }
    byZ_.resize(sphere_.size());
    for (std::size_t k = 0; k < byZ_.size(); ++k) byZ_[k] = {sphere_[k].z, k};
    std::sort(byZ_.begin(), byZ_.end());
  }

  std::string Nearby(double latitude, double longitude) const {
    const SpherePoint station = StationOnSphere(latitude, longitude, radius_);
    const float chordSquaredLimit = chordLimit_ * chordLimit_;
    std::vector<std::pair<std::size_t, float>> found;  // point index, distance
    const auto first = std::lower_bound(byZ_.begin(), byZ_.end(), std::pair{station.z - chordLimit_, std::size_t{0}});
    for (auto it = first; it != byZ_.end() && it->first <= station.z + chordLimit_; ++it) {
      const float chordSquared = ChordSquared(station, sphere_[it->second]);
      if (chordSquared > chordSquaredLimit) continue;
      const float d = DistanceFromChordSquared(chordSquared, radius_);
      if (d <= static_cast<float>(watchDistance_)) found.emplace_back(it->second, d);
    }
    std::sort(found.begin(), found.end());  // list order
    std::string list;
    for (const auto& [k, d] : found) list += "(" + WatchDistanceText(d) + " " + points_[k].name + ") ";
    return list;
  }

 private:
  const PointList& points_;
  std::vector<SpherePoint> sphere_;
  std::vector<std::pair<float, std::size_t>> byZ_;
  float radius_;
  int watchDistance_;
  float chordLimit_ = std::numeric_limits<float>::infinity();
};

std::string WatchKey(std::int32_t time, std::string_view report) {
  return std::to_string(time) + '\n' + std::string(report);
}

// "verify.out" as found, with the reports it already holds.
struct VerificationState {
  std::string contents;
  VerificationRead read;
  std::unordered_set<std::string> seen;
};

VerificationState ReadVerificationState(const FileSystem& fs) {
  VerificationState state;
  state.contents = fs.ReadAll(kVerificationFile).value_or("");
  state.read = ReadVerification(state.contents);
  for (const VerificationEntry& entry : state.read.entries) {
    std::string_view report = entry.report;
    if (report.starts_with("  ")) report.remove_prefix(2);
    state.seen.insert(WatchKey(entry.time, report));
  }
  return state;
}

bool AddVerificationEntries(FileSystem& fs, Reporter& reporter, VerificationState& state,
                            const std::string& entries) {
  std::string contents = std::move(state.contents);
  if (state.read.misaligned || state.read.tornTail) {
    // Written again from the entries that read whole, so that the new ones are read too.
    contents.clear();
    for (const VerificationEntry& entry : state.read.entries) contents += FormatVerificationEntry(entry);
    if (state.read.misaligned) reporter.ShowMessage("Removed the damaged parts of 'verify.out'");
    if (state.read.tornTail) reporter.ShowMessage("Removed the cut-short last entry of 'verify.out'");
  } else if (!contents.empty() && contents.back() != '\n') {
    contents += "\r\n";  // a whole last entry without its line end
  }
  contents += entries;
  if (ReplaceFile(fs, kVerificationFile, contents, "temp.out")) return true;
  reporter.ShowMessage("Unable to add to the verification file 'verify.out'");
  return false;
}

}  // namespace

void WatchBox::AddWatchLine(std::string_view line) {
  std::string text;
  text.reserve(line.size() + 2 + text_.size());
  text.append(line).append("\r\n").append(text_);
  if (text.size() > kWatchBoxLimit) text.resize(kWatchBoxLimit);
  text_ = std::move(text);
}

float PointDistance(double latitude, double longitude, const PointOfInterest& point, double earthRadius) {
  const auto radius = static_cast<float>(earthRadius);
  return DistanceFromChordSquared(
      ChordSquared(StationOnSphere(latitude, longitude, radius), PointOnSphere(point, radius)), radius);
}

std::string WatchDistanceText(float distance) {
  const float tenths = std::floor(distance * 10);
  return TrimmedNumberText(static_cast<double>(tenths) / 10);
}

std::string NearbyPoints(double latitude, double longitude, const PointList& points, int watchDistance,
                         double earthRadius) {
  return PointSphere(points, watchDistance, earthRadius).Nearby(latitude, longitude);
}

WatchSummary WatchReports(WatchContext& context, std::span<const WatchHandOff> reports) {
  WatchSummary summary;
  if (context.points.empty()) {
    summary.reports = static_cast<int>(reports.size());
    return summary;
  }
  const PointSphere sphere(context.points, context.watchDistance, context.earthRadius);
  std::optional<VerificationState> verification;  // read at the first notice
  std::string entries;
  for (const WatchHandOff& report : reports) {
    ++summary.reports;
    const std::string_view event = SignificantEvent(report.report, report.decoded);
    if (event.empty()) continue;
    const std::string list = sphere.Nearby(report.latitude, report.longitude);
    if (list.empty()) continue;
    if (!verification) verification = ReadVerificationState(context.fs);
    if (!verification->seen.insert(WatchKey(report.time, report.report)).second) {
      ++summary.repeats;
      continue;
    }
    const std::string eventLine = std::string(event) + " -- " + list;
    context.box.AddWatchLine("");
    context.box.AddWatchLine(" " + report.report);
    context.box.AddWatchLine(eventLine);
    entries += FormatVerificationEntry({report.time, "", "  " + report.report, eventLine});
    ++summary.notices;
  }
  if (!entries.empty())
    summary.verificationWritten = AddVerificationEntries(context.fs, context.reporter, *verification, entries);
  return summary;
}

WatchSummary Watch(WatchContext& context, const WatchHandOff& report) {
  return WatchReports(context, std::span<const WatchHandOff>(&report, 1));
}

HandOffsRead ReadHandOffs(std::string_view bytes) {
  HandOffsRead read;
  RecordReader reader(bytes);
  while (auto line = NextRecordLine(reader, bytes)) {
    auto& f = line->fields;
    const bool complete = line->terminated && f.size() == 5;
    const auto latitude = complete ? NumberField(f[0], -9000, 9000, true) : std::nullopt;
    const auto longitude = complete ? NumberField(f[1], -18000, 18000, true) : std::nullopt;
    const auto time = complete ? NumberField(f[4], std::numeric_limits<std::int32_t>::min(),
                                             std::numeric_limits<std::int32_t>::max(), true)
                               : std::nullopt;
    if (!latitude || !longitude || !time) {
      ++read.skipped;
      continue;
    }
    read.records.push_back({static_cast<double>(*latitude) / 100, static_cast<double>(*longitude) / 100,
                            std::move(f[2]), std::move(f[3]), static_cast<std::int32_t>(*time)});
  }
  return read;
}

WatchSummary WatchHandOffFile(WatchContext& context) {
  FileSystem& fs = context.fs;
  // A missing file has no length, so it is passed over with the short ones.
  if (fs.Length(kWatchFile).value_or(0) < 21) return {};
  auto bytes = fs.ReadAll(kWatchFile);
  if (!bytes) {
    context.reporter.ShowMessage("Unable to read 'watch.zzz'");
    return {};
  }
  const HandOffsRead read = ReadHandOffs(*bytes);
  if (read.skipped > 0)
    context.reporter.ShowMessage("Skipped " + std::to_string(read.skipped) + " damaged records of 'watch.zzz'");
  return WatchReports(context, read.records);
}

}  // namespace norvane
