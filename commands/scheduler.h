#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/process_queue.h"
#include "core/reporter.h"
#include "core/settings.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/process_starter.h"

namespace norvane {

// One record of "watch.zzz": a report newly filed by the downloader.
struct WatchHandOff {
  double latitude = 0;   // degrees
  double longitude = 0;  // degrees
  std::string report;
  std::string decoded;
  std::int32_t time = 0;
};

// What the tick needs from the rest of the main program.
struct SchedulerServices {
  FileSystem* fs = nullptr;
  const Clock* clock = nullptr;
  ProcessStarter* starter = nullptr;
  Reporter* reporter = nullptr;
  std::function<void(const std::string& script)> runScript;
  // The significant-weather check of the new reports in "watch.zzz", which the
  // scheduler deletes afterwards; may be empty.
  std::function<bool()> watchNewReports;  // false when the notices could not be kept
  // The status label (`lblNum`); may be empty.
  std::function<void(const std::string&)> setStatusLabel;
  // Lets pending events run; may be empty.
  std::function<void()> pumpEvents;
};

// The main program's one-second driver.
class Scheduler {
 public:
  Scheduler(ProcessQueue& queue, const Settings& settings, SchedulerServices services);

  // Minute clock, status poll with watchdog, "cron.nvs" once a minute, next process.
  void Tick();
  // The main program's share of the end of a download.
  void FinishDownload();

  std::int32_t MinuteClock() const { return minuteClock_; }
  // The last download that ended, and the minute of the day ("HH:MM") it ended at.
  const std::optional<DownloadEnd>& LastDownload() const { return lastDownload_; }
  const std::string& LastDownloadTime() const { return lastDownloadTime_; }
  // "the download from HOST failed at HH:MM (reason)" while the last download failed;
  // "" once one has succeeded.
  std::string DownloadProblem() const;
  WatchdogState& Watchdog() { return watchdog_; }

 private:
  ChildEndHandlers Handlers();

  ProcessQueue& queue_;
  const Settings& settings_;
  SchedulerServices services_;
  WatchdogState watchdog_;
  std::int32_t minuteClock_ = 0;
  std::int32_t lastMinuteRun_ = 0;
  std::optional<DownloadEnd> lastDownload_;
  std::string lastDownloadTime_;
};

// What a download brought (its counts) or, for a failure, the line of
// `DownloadProblem` with the time `hhmm`.
std::string DownloadOutcomeLine(const DownloadEnd& end, const std::string& hhmm);

inline constexpr const char* kVerificationFile = "verify.out";

// One entry of "verify.out": four records, one a line.
struct VerificationEntry {
  std::int32_t time = 0;  // absolute minutes
  std::string empty;      // written empty
  std::string report;     // two blanks + report text
  std::string event;      // event text + " -- " + the points
};

// "verify.out" read entry by entry. An entry is four lines: a whole number of minutes,
// an empty text, and two texts. A line that does not fit is damaged: reading passes
// over it, line by line, to the next entry that reads whole.
struct VerificationRead {
  std::vector<VerificationEntry> entries;
  std::size_t validEnd = 0;  // bytes up to the end of the last complete entry read
  int skipped = 0;           // damaged parts passed over
  bool tornTail = false;     // the last entry was cut short and is left out
  bool misaligned = false;   // some damaged part was passed over
};
VerificationRead ReadVerification(std::string_view contents);
std::string FormatVerificationEntry(const VerificationEntry& entry);

// The entries of `read` that are at most `hours` hours old at `now`, as file text.
std::string TrimmedVerification(const VerificationRead& read, std::int32_t now, int hours);

// `CleanVerification`: keeps the entries of "verify.out" at most `hours` hours old.
// The file is replaced in one step through "temp.out", or left as it is when it is
// misaligned or the write fails; each problem is reported. False when the file could
// not be cleaned.
bool CleanVerification(FileSystem& fs, Reporter& reporter, std::int32_t now, int hours);

}  // namespace norvane
