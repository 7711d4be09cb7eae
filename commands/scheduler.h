#pragma once
#include <cstdint>
#include <functional>
#include <string>

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
  // The significant-weather check of one new report; may be empty.
  std::function<void(const WatchHandOff&)> watch;
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
  WatchdogState& Watchdog() { return watchdog_; }

 private:
  ChildEndHandlers Handlers();
  void TrimVerification();

  ProcessQueue& queue_;
  const Settings& settings_;
  SchedulerServices services_;
  WatchdogState watchdog_;
  std::int32_t minuteClock_ = 0;
  std::int32_t lastMinuteRun_ = 0;
};

// Keeps the entries of "verify.out" (four records each, the first the time in
// minutes) that are at most `hours` hours old at `now`.
std::string TrimmedVerification(const std::string& contents, std::int32_t now, int hours);

}  // namespace norvane
