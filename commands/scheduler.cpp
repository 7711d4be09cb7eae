#include "commands/scheduler.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "core/number_text.h"
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
  handlers.downloadEnded = [this](const DownloadEnd& end) {
    lastDownload_ = end;
    lastDownloadTime_ = NowStamp(*services_.clock).substr(8, 2) + ":" + NowStamp(*services_.clock).substr(10, 2);
  };
  return handlers;
}

std::string Scheduler::DownloadProblem() const {
  if (!lastDownload_ || !lastDownload_->error) return {};
  return DownloadOutcomeLine(*lastDownload_, lastDownloadTime_);
}

std::string DownloadOutcomeLine(const DownloadEnd& end, const std::string& hhmm) {
  if (!end.error) return end.detail.empty() ? end.text : end.detail;
  std::string host = end.address;
  if (const std::size_t scheme = host.find("://"); scheme != std::string::npos) host.erase(0, scheme + 3);
  host = host.substr(0, host.find('/'));
  if (host.empty()) host = "the server";
  // The downloader's texts end in advice that does not fit a one-line status.
  std::string reason = end.detail;
  if (reason.empty()) {
    reason = end.text.substr(0, end.text.find(" - if you see"));
    const std::string failed = "Observation download failed - ";
    if (reason.rfind(failed, 0) == 0) reason.erase(0, failed.size());
  }
  return "the download from " + host + " failed at " + hhmm + " (" + reason + ")";
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

namespace {

// A field that must end its line: nothing when the input ends first, or when a comma
// follows it (the framing is lost).
enum class FieldState { kOk, kMissing, kMisplaced };
FieldState LineField(RecordReader& reader, std::string& out) {
  auto field = reader.NextText();
  if (!field) return FieldState::kMissing;
  out = std::move(*field);
  return reader.LastEndedLine() ? FieldState::kOk : FieldState::kMisplaced;
}

}  // namespace

VerificationRead ReadVerification(std::string_view contents) {
  VerificationRead read;
  RecordReader reader(contents);
  while (!reader.AtEnd()) {
    std::string fields[4];
    FieldState state = FieldState::kOk;
    for (int k = 0; k < 4 && state == FieldState::kOk; ++k) state = LineField(reader, fields[k]);
    if (state == FieldState::kMissing) {
      read.tornTail = true;
      break;
    }
    std::size_t end = reader.Offset();
    // The last record of a complete entry ends with its line end; one cut short does not.
    if (state == FieldState::kOk && end >= contents.size()) {
      read.tornTail = true;
      break;
    }
    const std::string timeText = TrimBlanks(fields[0]);
    double number = 0;
    const auto [ptr, ec] = std::from_chars(timeText.data(), timeText.data() + timeText.size(), number);
    if (state == FieldState::kMisplaced || ec != std::errc() || ptr != timeText.data() + timeText.size() ||
        timeText.empty() || !fields[1].empty()) {
      read.misaligned = true;
      break;
    }
    if (end < contents.size() && contents[end] == '\r') ++end;
    if (end < contents.size() && contents[end] == '\n') ++end;
    read.validEnd = end;
    using Minutes = std::numeric_limits<std::int32_t>;
    if (!std::isfinite(number) || number != std::floor(number) || number < Minutes::min() || number > Minutes::max()) {
      ++read.skipped;
      continue;
    }
    read.entries.push_back({static_cast<std::int32_t>(number), std::move(fields[1]), std::move(fields[2]),
                            std::move(fields[3])});
  }
  return read;
}

std::string FormatVerificationEntry(const VerificationEntry& entry) {
  RecordWriter out;
  out.Integer(entry.time).EndRecord().Text(entry.empty).EndRecord().Text(entry.report).EndRecord();
  out.Text(entry.event).EndRecord();
  return out.Take();
}

std::string TrimmedVerification(const VerificationRead& read, std::int32_t now, int hours) {
  std::string out;
  const double keepMinutes = 60.0 * hours;
  for (const VerificationEntry& entry : read.entries) {
    if (static_cast<double>(now) - entry.time <= keepMinutes) out += FormatVerificationEntry(entry);
  }
  return out;
}

bool CleanVerification(FileSystem& fs, Reporter& reporter, std::int32_t now, int hours) {
  reporter.LogProcessMessage("Cleaning old data from verification file");
  auto contents = fs.ReadAll(kVerificationFile);
  if (!contents) return !fs.Exists(kVerificationFile);
  const VerificationRead read = ReadVerification(*contents);
  if (read.misaligned) {
    reporter.ShowMessage("The verification file 'verify.out' is damaged after entry " +
                         std::to_string(read.entries.size() + static_cast<std::size_t>(read.skipped)) +
                         "; it was left as it is");
    return false;
  }
  if (read.skipped > 0)
    reporter.ShowMessage("Removed " + std::to_string(read.skipped) +
                         " entries with an unreadable time from 'verify.out'");
  if (read.tornTail) reporter.ShowMessage("Removed the cut-short last entry of 'verify.out'");
  const std::string kept = TrimmedVerification(read, now, hours);
  if (kept == *contents) return true;
  // Renamed over the old file, never deleted first: a failure keeps every entry.
  if (!ReplaceFile(fs, kVerificationFile, kept, "temp.out")) {
    reporter.ShowMessage("Unable to clean the verification file 'verify.out'");
    return false;
  }
  return true;
}

void Scheduler::FinishDownload() {
  Reporter& reporter = *services_.reporter;
  FileSystem& fs = *services_.fs;
  if (minuteClock_ == 0) minuteClock_ = MinutesNow(*services_.clock);
  CleanVerification(fs, reporter, minuteClock_, settings_.ClearVerificationTime);
  reporter.LogProcessMessage("Checking for significant weather near points of interest");
  if (services_.setStatusLabel) services_.setStatusLabel("Check Wx");
  if (services_.pumpEvents) services_.pumpEvents();
  if (fs.Exists("watch.zzz")) {
    if (services_.watchNewReports) services_.watchNewReports();
    fs.Remove("watch.zzz");
  }
  if (services_.setStatusLabel) services_.setStatusLabel("");
  reporter.LogProcessMessage("Idle...");
}

}  // namespace norvane
