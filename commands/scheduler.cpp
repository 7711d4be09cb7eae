#include "commands/scheduler.h"

#include <cmath>
#include <utility>

#include "core/record_file.h"
#include "core/replace_file.h"
#include "core/time_stamp.h"

namespace norvane {

Scheduler::Scheduler(ProcessQueue& queue, const Settings& settings, SchedulerServices services)
    : queue_(queue), settings_(settings), services_(std::move(services)) {}

ChildEndHandlers Scheduler::Handlers() {
  ChildEndHandlers handlers;
  handlers.runScript = services_.runScript;
  handlers.finishDownload = [this] { FinishDownload(); };
  return handlers;
}

void Scheduler::Tick() {
  minuteClock_ = MinutesNow(*services_.clock);
  const ChildEndHandlers handlers = Handlers();
  PollStatusFile(watchdog_, *services_.fs, *services_.reporter, handlers);
  if (minuteClock_ != lastMinuteRun_) {
    lastMinuteRun_ = minuteClock_;
    if (services_.runScript) services_.runScript("cron.nvs");
  }
  StartNextIfIdle(queue_, watchdog_, *services_.fs, *services_.starter, *services_.reporter, handlers);
}

std::string TrimmedVerification(const std::string& contents, std::int32_t now, int hours) {
  RecordReader reader(contents);
  RecordWriter out;
  const double keepMinutes = 60.0 * hours;
  // A cut-short last entry is dropped rather than copied half.
  while (!reader.AtEnd()) {
    auto time = reader.NextNumber();
    auto empty = reader.NextText();
    auto report = reader.NextText();
    auto event = reader.NextText();
    if (!time || !empty || !report || !event) break;
    if (!std::isfinite(*time)) continue;
    if (now - *time <= keepMinutes) {
      out.Integer(static_cast<long long>(std::llround(*time))).EndRecord();
      out.Text(*empty).EndRecord().Text(*report).EndRecord().Text(*event).EndRecord();
    }
  }
  return out.Take();
}

void Scheduler::TrimVerification() {
  FileSystem& fs = *services_.fs;
  auto contents = fs.ReadAll("verify.out");
  if (!contents) return;
  // Renamed over the old file, never deleted first: a failure keeps every entry.
  if (!ReplaceFile(fs, "verify.out", TrimmedVerification(*contents, minuteClock_, settings_.ClearVerificationTime),
                   "temp.out"))
    services_.reporter->ShowMessage("Unable to clean the verification file 'verify.out'");
}

void Scheduler::FinishDownload() {
  Reporter& reporter = *services_.reporter;
  FileSystem& fs = *services_.fs;
  if (minuteClock_ == 0) minuteClock_ = MinutesNow(*services_.clock);
  reporter.LogProcessMessage("Cleaning old data from verification file");
  TrimVerification();
  reporter.LogProcessMessage("Checking for significant weather near points of interest");
  if (services_.setStatusLabel) services_.setStatusLabel("Check Wx");
  if (services_.pumpEvents) services_.pumpEvents();
  if (fs.Exists("watch.zzz")) {
    const auto length = fs.Length("watch.zzz").value_or(0);
    if (length >= 21 && services_.watch) {
      const std::string bytes = fs.ReadAll("watch.zzz").value_or("");
      RecordReader reader(bytes);
      while (!reader.AtEnd()) {
        auto lat = reader.NextNumber();
        auto lon = reader.NextNumber();
        auto report = reader.NextText();
        auto decoded = reader.NextText();
        auto time = reader.NextNumber();
        if (!lat || !lon || !report || !decoded || !time) break;
        WatchHandOff record{*lat / 100.0, *lon / 100.0, *report, *decoded,
                            static_cast<std::int32_t>(std::isfinite(*time) && std::fabs(*time) < 2e9 ? *time : 0)};
        services_.watch(record);
      }
    }
    fs.Remove("watch.zzz");
  }
  if (services_.setStatusLabel) services_.setStatusLabel("");
  reporter.LogProcessMessage("Idle...");
}

}  // namespace norvane
