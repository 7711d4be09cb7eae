#include "commands/scheduler.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>
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
    const TimeStamp now = NowStamp(*services_.clock);
    lastDownloadTime_ = now.substr(8, 2) + ":" + now.substr(10, 2);
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

// One line of "verify.out" without its line end, and where the next line starts.
struct TextLine {
  std::string_view text;
  std::size_t next = 0;
  bool ended = false;  // a line end followed it
};

std::vector<TextLine> SplitLines(std::string_view contents) {
  std::vector<TextLine> lines;
  std::size_t at = 0;
  while (at < contents.size()) {
    const std::size_t lf = contents.find('\n', at);
    const bool ended = lf != std::string_view::npos;
    std::string_view text = contents.substr(at, (ended ? lf : contents.size()) - at);
    if (text.ends_with('\r')) text.remove_suffix(1);
    at = ended ? lf + 1 : contents.size();
    lines.push_back({text, at, ended});
  }
  return lines;
}

std::optional<std::int32_t> TimeLine(std::string_view line) {
  const std::string text = TrimBlanks(std::string(line));
  std::int32_t value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

// A text record alone on its line: quoted, with no quote inside (the writer drops them).
std::optional<std::string> TextRecord(std::string_view line) {
  if (line.size() < 2 || line.front() != '"' || line.back() != '"') return std::nullopt;
  const std::string_view inner = line.substr(1, line.size() - 2);
  if (inner.find('"') != std::string_view::npos) return std::nullopt;
  return std::string(inner);
}

}  // namespace

VerificationRead ReadVerification(std::string_view contents) {
  VerificationRead read;
  const std::vector<TextLine> lines = SplitLines(contents);
  bool inDamage = false;
  std::size_t i = 0;
  while (i < lines.size()) {
    const auto time = TimeLine(lines[i].text);
    std::optional<std::string> fields[3];
    bool whole = time.has_value() && i + 3 < lines.size();
    for (std::size_t k = 0; whole && k < 3; ++k) whole = (fields[k] = TextRecord(lines[i + 1 + k].text)).has_value();
    if (whole && fields[0]->empty()) {
      read.entries.push_back({*time, std::move(*fields[0]), std::move(*fields[1]), std::move(*fields[2])});
      read.validEnd = lines[i + 3].next;
      inDamage = false;
      i += 4;
      continue;
    }
    // An entry that starts well but runs into the end of the file was cut short.
    if (time && i + 4 >= lines.size() && !lines.back().ended) {
      bool fits = true;
      for (std::size_t k = i + 1; k + 1 < lines.size(); ++k) fits = fits && TextRecord(lines[k].text).has_value();
      if (fits) {
        read.tornTail = true;
        break;
      }
    }
    if (time && i + 3 >= lines.size()) {
      read.tornTail = true;
      break;
    }
    // A damaged record: pass over line by line to the next entry that reads whole.
    if (!inDamage) ++read.skipped;
    inDamage = true;
    read.misaligned = true;
    ++i;
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
  if (read.misaligned)
    reporter.ShowMessage("Removed " + std::to_string(read.skipped) +
                         " damaged parts of 'verify.out'; the entries around them are kept");
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
    // Notices that could not be kept are watched again after the next download.
    const bool kept = !services_.watchNewReports || services_.watchNewReports();
    if (kept) fs.Remove("watch.zzz");
  }
  if (services_.setStatusLabel) services_.setStatusLabel("");
  reporter.LogProcessMessage("Idle...");
}

}  // namespace norvane
