#pragma once
// The significant-weather watch: every report a download added ("watch.zzz") is checked
// for significant weather; one near a point of interest gives a notice in the watch box
// and an entry in "verify.out".
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "commands/scheduler.h"
#include "core/reporter.h"
#include "platform/file_system.h"
#include "watch/points_of_interest.h"

namespace norvane {

constexpr std::size_t kWatchBoxLimit = 4196;

// The watch box `txtWatch`: newest notices on top, never longer than the limit.
class WatchBox {
 public:
  // `AddWatchLine`: the line, CR LF and the old text, cut to the limit.
  void AddWatchLine(std::string_view line);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// Great-circle distance from a station (degrees) to a point, in the unit of
// `earthRadius`, computed in 32-bit reals as the watch always has: a point exactly at
// the watch distance must stay listed.
float PointDistance(double latitude, double longitude, const PointOfInterest& point, double earthRadius);
// A distance as the notice shows it: truncated to one decimal, no blanks ("12.3", ".5").
std::string WatchDistanceText(float distance);

// "(d name) " for every point within `watchDistance`, in list order.
std::string NearbyPoints(double latitude, double longitude, const PointList& points, int watchDistance,
                         double earthRadius);

// What one watch run did.
struct WatchSummary {
  int reports = 0;     // reports examined
  int repeats = 0;     // reports already watched (an earlier copy, or an entry in "verify.out")
  int notices = 0;     // notices written
  bool verificationWritten = true;  // false when "verify.out" could not be updated
};

// Everything the watch needs from the main program.
struct WatchContext {
  FileSystem& fs;
  Reporter& reporter;
  const PointList& points;
  int watchDistance = 15;      // `WatchDistance`
  double earthRadius = 3440;   // `EarthRadius`
  WatchBox& box;
};

// `Watch` over a batch of new reports, in order. A report already watched (the same
// time and text earlier in the batch, or already in "verify.out") is passed over: a
// download that failed before replacing "obs.wad" files its reports again at the next
// one. The new entries are added to "verify.out" by replacing the file in one step.
WatchSummary WatchReports(WatchContext& context, std::span<const WatchHandOff> reports);
// `Watch` of one report (the scheduler's per-record hand-off).
WatchSummary Watch(WatchContext& context, const WatchHandOff& report);

// The records of "watch.zzz" (positions already in degrees). A record whose position
// or time is not a whole number in range, or that was cut short, is skipped.
struct HandOffsRead {
  std::vector<WatchHandOff> records;
  int skipped = 0;
};
HandOffsRead ReadHandOffs(std::string_view bytes);

// Reads "watch.zzz" as the end of a download finds it (files shorter than 21 bytes
// hold nothing) and watches every record; damaged records are skipped and reported.
// The file itself is left for the caller to delete.
WatchSummary WatchHandOffFile(WatchContext& context);

}  // namespace norvane
