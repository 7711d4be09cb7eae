#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "downloader/file_errors.h"
#include "obs/observation_store.h"
#include "obs/station_tables.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/random_source.h"

namespace norvane {

// The HTTP GET under the downloader. The program layer reports the end of a
// request through DownloadDriver::OnFetchFailed / OnFetchComplete.
class HttpFetch {
 public:
  virtual ~HttpFetch() = default;
  virtual void Start(const std::string& address) = 0;
  virtual void Cancel() = 0;
  // The response's status code (0 when there was no response).
  virtual int StatusCode() const = 0;
  // The next part of the body, at most `maxBytes`; "" when the body is exhausted,
  // nothing when the read failed.
  virtual std::optional<std::string> ReadChunk(std::size_t maxBytes) = 0;
  // Why the request failed, in a few words ("Connection refused"); may be empty.
  virtual std::string FailureReason() const { return {}; }
};

// What the driver asks of its window and event loop; every member may be empty.
struct DriverHost {
  std::function<void(const std::string&)> setCaption;
  std::function<void()> pumpEvents;
  std::function<void()> stopTimer;
  // Waits about `seconds` while letting events run (the sharing-retry pause).
  std::function<void(double seconds)> wait;
  // The program must end now (the driver has written whatever it had to).
  std::function<void()> quit;
};

inline constexpr int kIdleLimit = 100;
inline constexpr int kSharingRetries = 3;  // well under the main program's 31-tick watchdog

inline constexpr const char* kDownloadSuccessful = "Observation download successful";
inline constexpr const char* kDownloadStopped = "Download terminated by user";
inline constexpr const char* kInvalidSwitches = "Invalid command line switches for observation downloader";
inline constexpr const char* kDownloadProblems =
    "Observation download problems - if you see this more then 3 times try switching observation servers";
inline constexpr const char* kDownloadTooSmall = "Observation download was too small to process";
inline constexpr const char* kMissingIni = "Observation download cannot proceed - missing 'norvane.ini' file";
inline constexpr const char* kNoReports = "Observation download failed - the server's file holds no reports";
inline constexpr const char* kUnreadableBody = "Observation download failed - the server's file cannot be read";
inline constexpr const char* kDownloadTimeout =
    "Observation download timeout - ending download - if you see this more then 3 times you may want to switch "
    "servers";

struct DownloaderWords {
  std::string address;
  std::string processNumber;
};
// Splits at single blanks into at most two words (the split stops at a third).
DownloaderWords SplitCommandLine(const std::string& arguments);

// "4,312 reports cut, 3,960 filed, 352 of unknown stations".
std::string DownloadSummary(int cut, int filed, int unknown);

// The item after the first "[MAX OB AGE]" of the settings text; 48 when absent.
int ReadMaxObAge(std::string_view settingsText);

// One download: the logic of `varnex` without its window.
class DownloadDriver {
 public:
  DownloadDriver(FileSystem& fs, HttpFetch& fetch, const Clock& clock, RandomSource& random, DriverHost host);

  // `arguments` is the command line after the program name.
  void Start(const std::string& arguments);
  // The one-second timer.
  void Tick();
  void OnFetchFailed();
  void OnFetchComplete();
  // `cmdEnd`, closing the window, or the window's termination.
  void StopByUser();

  bool Ended() const { return ended_; }
  const std::string& ProcessNumber() const { return processNumber_; }
  int IdleCounter() const { return idle_; }
  int ReportsFiled() const { return filed_; }
  int ReportsCut() const { return cut_; }
  int ReportsOfUnknownStations() const { return unknown_; }

 private:
  bool LockIsOurs() const;
  void WriteStatus(bool error, bool final, const std::string& text, const std::string& detail = {});
  // `detail` rides in the final status after its text: what the download brought,
  // or why it failed, for the main program's log.
  void Finish(bool error, const std::string& text, const std::string& detail = {});
  void EndSilently();
  void CancelFetch();
  bool MayRetryWrite(int statement, int& attempts);
  void FileBulletin();
  void Caption(const std::string& text);

  FileSystem& fs_;
  // The same folder for filing and saving, where a failure must be told apart.
  ErrorTrackingFileSystem tracked_;
  HttpFetch& fetch_;
  const Clock& clock_;
  RandomSource& random_;
  DriverHost host_;
  std::string processNumber_;
  std::string bulletin_;
  int idle_ = 0;
  int filed_ = 0;
  int cut_ = 0;
  int unknown_ = 0;
  bool ended_ = false;
  bool timerStopped_ = false;
  bool completing_ = false;
  // Set before the fetch is cancelled: the fetch may answer a cancel with a failure
  // event, which is no failure of the download.
  bool fetchCancelled_ = false;
};

}  // namespace norvane
