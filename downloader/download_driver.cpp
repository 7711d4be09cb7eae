#include "downloader/download_driver.h"

#include <cmath>
#include <utility>

#include "core/lenient_number.h"
#include "core/number_text.h"
#include "core/record_file.h"
#include "core/replace_file.h"
#include "core/time_stamp.h"
#include "downloader/archive_batch.h"
#include "downloader/body_decoding.h"
#include "downloader/bulletin_cutter.h"
#include "downloader/report_dating.h"
#include "obs/decoded_observation.h"
#include "obs/report_cleaning.h"

namespace norvane {

DownloaderWords SplitCommandLine(const std::string& arguments) {
  std::string words[2];
  int w = 0;
  for (char c : arguments) {
    if (c == ' ') {
      if (++w >= 2) break;
      continue;
    }
    words[w] += c;
  }
  return {words[0], TrimBlanks(words[1])};
}

std::string DownloadSummary(int cut, int filed, int unknown) {
  auto count = [](int n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
  };
  return count(cut) + " reports cut, " + count(filed) + " filed, " + count(unknown) + " of unknown stations";
}

int ReadMaxObAge(std::string_view settingsText) {
  RecordReader reader(settingsText);
  while (auto item = reader.NextText()) {
    if (*item == "[MAX OB AGE]") {
      auto value = reader.NextText();
      if (!value) return 48;
      auto age = LenientInt16(*value);
      return age ? *age : 48;
    }
  }
  return 48;
}

DownloadDriver::DownloadDriver(FileSystem& fs, HttpFetch& fetch, const Clock& clock, RandomSource& random,
                               DriverHost host)
    : fs_(fs), tracked_(fs), fetch_(fetch), clock_(clock), random_(random), host_(std::move(host)) {}

void DownloadDriver::Caption(const std::string& text) {
  if (host_.setCaption) host_.setCaption(text);
}

bool DownloadDriver::LockIsOurs() const {
  auto bytes = fs_.ReadAll("lock.zzz");
  if (!bytes) return false;
  RecordReader reader(*bytes);
  auto number = reader.NextText();
  return number && *number == processNumber_;
}

void DownloadDriver::WriteStatus(bool error, bool final, const std::string& text, const std::string& detail) {
  RecordWriter writer;
  writer.Bool(error).Bool(final).Text(text);
  if (!detail.empty()) writer.Text(detail);
  const std::string record = writer.EndRecord().Take();
  const std::string name = "d" + processNumber_ + ".pid";
  // The main program may be reading the file; a few short retries, never endless.
  for (int attempt = 0; attempt <= kSharingRetries; ++attempt) {
    if (ReplaceFile(fs_, name, record)) return;
    if (attempt < kSharingRetries && host_.wait) host_.wait(1.32);
  }
}

void DownloadDriver::CancelFetch() {
  fetchCancelled_ = true;
  fetch_.Cancel();
}

// The main program has stopped this download (KILL CUR, the watchdog) or started
// another: anything written now would be taken for the other process's.
void DownloadDriver::EndSilently() {
  if (ended_) return;
  ended_ = true;
  CancelFetch();
  if (host_.quit) host_.quit();
}

void DownloadDriver::Finish(bool error, const std::string& text, const std::string& detail) {
  if (ended_) return;
  // Without a process number the lock cannot be told apart; the main program
  // removes it after reading this status.
  if (!processNumber_.empty() && !LockIsOurs()) {
    EndSilently();
    return;
  }
  ended_ = true;
  WriteStatus(error, true, text, detail);
  if (!processNumber_.empty() && LockIsOurs()) fs_.Remove("lock.zzz");
  if (host_.quit) host_.quit();
}

// After a failed write in `tracked_`: true when another program seems to hold the
// file and the write may be tried again, after the sharing status and a pause.
bool DownloadDriver::MayRetryWrite(int statement, int& attempts) {
  if (ended_ || !IsSharingError(tracked_.ErrorNumber()) || attempts >= kSharingRetries) return false;
  ++attempts;
  WriteStatus(true, false, SharingStatusText(tracked_.ErrorNumber(), statement));
  if (host_.wait) host_.wait(1.32);
  tracked_.Reset();
  return !ended_;
}

void DownloadDriver::Start(const std::string& arguments) {
  idle_ = 0;
  DownloaderWords words = SplitCommandLine(arguments);
  if (words.address.empty() || words.processNumber.empty()) {
    Finish(true, kInvalidSwitches);
    return;
  }
  processNumber_ = words.processNumber;
  fetch_.Start(words.address);
}

void DownloadDriver::Tick() {
  if (ended_ || timerStopped_) return;
  idle_ = std::min(idle_ + 1, 32767);
  if (!LockIsOurs()) {
    EndSilently();
    return;
  }
  random_.Seed(static_cast<std::uint32_t>(clock_.SecondsSinceMidnight() * 1000.0));
  WriteStatus(false, false, std::to_string(static_cast<int>(random_.Next() * 32000)));
  if (idle_ > kIdleLimit) {
    CancelFetch();
    Finish(true, kDownloadTimeout);
  }
}

void DownloadDriver::OnFetchFailed() {
  if (ended_ || fetchCancelled_) return;
  CancelFetch();
  Finish(true, kDownloadProblems, fetch_.FailureReason());
}

void DownloadDriver::OnFetchComplete() {
  if (ended_ || completing_ || fetchCancelled_) return;
  completing_ = true;
  // Only a 2xx answer carries a bulletin; an error page is no observation data.
  const int status = fetch_.StatusCode();
  if (status < 200 || status > 299) {
    Finish(true, kDownloadProblems, "the server answered " + std::to_string(status));
    return;
  }
  random_.Seed(static_cast<std::uint32_t>(clock_.SecondsSinceMidnight() * 1000.0));
  for (;;) {
    const auto size = static_cast<std::size_t>(random_.Next() * 512) + 512;
    auto part = fetch_.ReadChunk(size);
    if (!part) {
      Finish(true, kDownloadProblems);
      return;
    }
    if (part->empty()) break;
    bulletin_ += *part;
    Caption("Ob - " + FormatNumber(static_cast<double>(bulletin_.size()) / 1024.0, "##0") + " Kb -- PID " +
            processNumber_);
    if (host_.pumpEvents) host_.pumpEvents();
    if (ended_) return;
    idle_ = 0;
  }
  DecodedBody body = DecodeBody(std::move(bulletin_));
  if (!body.problem.empty()) {
    Finish(true, kUnreadableBody, body.problem);
    return;
  }
  bulletin_ = std::move(body.text);
  bulletin_ += "=\r\n";
  if (bulletin_.size() < 1024) {
    Finish(true, kDownloadTooSmall);
    return;
  }
  // A file that begins with a report (one report a line) needs a line break before it.
  bulletin_.insert(0, 1, '\n');
  FileBulletin();
}

void DownloadDriver::FileBulletin() {
  auto settingsText = fs_.ReadAll("norvane.ini");
  if (!settingsText) {
    Finish(true, kMissingIni);
    return;
  }
  const StationTable stations = StationTable::Load(fs_);
  ObservationStore store;
  LoadStore(fs_, store);
  const int maxAge = ReadMaxObAge(*settingsText);
  const std::int32_t now = MinutesNow(clock_);
  const std::int32_t cutoff = StoreCutoff(now, maxAge);
  int attempts = 0;
  // Archives and the lines of "watch.zzz" are held until every report is filed, then
  // written in one batch.
  ArchiveBatch archives(tracked_, kArchiveFolder, kWatchFile);
  StoreContext context{archives, stations, [](std::string_view r) { return DecodeReport(r); }, cutoff,
                       host_.pumpEvents, [&](const std::string&) { return MayRetryWrite(5, attempts); }};
  const CivilTime today = clock_.LocalNow();
  const double length = static_cast<double>(bulletin_.size());
  CutBulletin(
      bulletin_,
      [&](const RawReport& raw) {
        if (ended_) return;
        ++cut_;
        const std::string report = CleanReport(raw.text);
        const std::string stamp = DateReport(report, today);
        if (stamp.empty()) return;
        Caption("Ob - " + FormatNumber(static_cast<double>(raw.zPosition + 1) / length, "0.0%") + " -- PID " +
                processNumber_);
        const std::int32_t time = StampToMinutes(stamp);
        if (time >= now + 10) return;
        // Filing the same report again is dropped as a duplicate, so one filing
        // stands for every "RMK" of a US report.
        if (report[0] == 'K' && report.find("RMK") == std::string::npos) return;
        tracked_.Reset();
        attempts = 0;
        switch (StoreReport(context, store, report, time)) {
          case StoreOutcome::kFileError:
            Finish(true, FileFailureText(tracked_.Failed() ? tracked_.FailedFile() : kWatchFile,
                                         tracked_.ErrorNumber()));
            return;
          case StoreOutcome::kAddedNewStation:
          case StoreOutcome::kAddedToSlots:
          case StoreOutcome::kArchivedOnly: ++filed_; break;
          case StoreOutcome::kUnknownStation: ++unknown_; break;
          default: break;
        }
      },
      [&](std::size_t) { idle_ = 0; });
  if (ended_) return;
  // An error page or a file of some other kind would otherwise pass for a quiet hour.
  if (cut_ == 0) {
    Finish(true, kNoReports);
    return;
  }
  const std::string brought = DownloadSummary(cut_, filed_, unknown_);
  for (int flushAttempts = 0;;) {
    if (!LockIsOurs()) {
      EndSilently();
      return;
    }
    tracked_.Reset();
    if (archives.Flush()) break;
    if (!MayRetryWrite(5, flushAttempts)) {
      if (!ended_) Finish(true, FileFailureText(tracked_.FailedFile(), tracked_.ErrorNumber()));
      return;
    }
  }

  if (host_.stopTimer) host_.stopTimer();
  timerStopped_ = true;
  // With the timer stopped nothing else checks the lock: check it before every
  // attempt, so a downloader that the main program gave up on never puts an old
  // store over a newer one.
  for (int saveAttempts = 0;;) {
    if (!LockIsOurs()) {
      EndSilently();
      return;
    }
    tracked_.Reset();
    if (SaveStore(tracked_, store, cutoff)) {
      Finish(false, kDownloadSuccessful, brought);
      return;
    }
    if (!MayRetryWrite(6, saveAttempts)) break;
  }
  if (ended_) return;
  // "obs.wad" stays as it was.
  Finish(true, FileFailureText(tracked_.Failed() ? tracked_.FailedFile() : kStoreTwin, tracked_.ErrorNumber()));
}

void DownloadDriver::StopByUser() {
  if (ended_) return;
  CancelFetch();
  Finish(false, kDownloadStopped);
}

}  // namespace norvane
