#pragma once
// The verification map: every station in view whose reports in the period met the
// criteria gets its marks, drawn over the map outline under a header with the period.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "map/plots.h"
#include "obs/observation_store.h"
#include "platform/canvas.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "watch/verification_dialog.h"

namespace norvane {

// The minutes examined: from 15 minutes before the entered start to 5 after the end.
struct VerificationPeriod {
  std::int32_t first = 0;
  std::int32_t last = 0;
  bool Holds(std::int32_t time) const { return first <= time && time <= last; }
};
VerificationPeriod PeriodOf(const VerificationRequest& request);

// "Valid: mm/dd/yyyy hhmm - mm/dd/yyyy hhmm", the period as entered.
std::string VerificationHeader(const VerificationRequest& request);

// What one station's reports in the period showed.
struct StationFindings {
  int peakWind = 0;                // largest peak wind
  std::optional<int> snowDepth;    // largest reported snow depth
  bool thunder = false, hail = false, tornado = false, funnel = false, freezing = false;
  bool lightning = false, cb = false;  // only looked for when asked
};

// A station's archive for the verification views; an identifier that could name a file
// outside "obsfolder" (it comes from the store file) reads as no archive.
StationArchive VerificationArchive(const FileSystem& fs, std::string_view identifier);

// Examines the station's slots, then its archive (newest first: lines newer than the
// period are passed over, the first line older ends the reading).
StationFindings ExamineStation(const StationObservations& station, const StationArchive& archive,
                               const VerificationPeriod& period, const VerificationCriteria& criteria);

// The marks of one station at its window point, in their fixed order.
void DrawVerificationMarks(Canvas& canvas, ScreenPoint at, const StationFindings& findings,
                           const VerificationCriteria& criteria);

// What the map needs from the main program.
struct VerificationMapHost {
  std::function<double(int width, int height)> updateScale;  // 0 when there is no picture
  std::function<void(Canvas&)> drawMap;                      // `Draw_Map`
  std::function<void(bool shown)> busy;                      // `frmBusy`; may be empty
  std::function<void()> processEvents;                       // may be empty
  StationPlacer place;                                       // visible test and window point
};

// Draws the verification map of a confirmed request. The scale is brought up to date
// first; with no picture only the header is drawn. Archives come from "obsfolder".
void DrawVerificationMap(Canvas& canvas, const VerificationRequest& request, const ObservationStore& store,
                         FileSystem& fs, VerificationMapHost& host, Color background);

// After the map: "Print Chart?"; on Yes `print` runs, and a failure is announced.
void AskPrintChart(Dialogs& dialogs, const std::function<bool()>& print);

}  // namespace norvane
