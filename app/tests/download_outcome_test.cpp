// What a download brought, as the user sees it: the log line of its counts, the
// failure kept in the status label until a download succeeds, and "Try" on the
// options dialog's servers page.
#include <gtest/gtest.h>

#include "app/tests/app_harness.h"
#include "core/record_file.h"

namespace norvane::testing {
namespace {

// The downloader started by the last tick ends with this final status.
void EndDownload(AppHarness& app, bool error, const std::string& text, const std::string& detail) {
  ASSERT_FALSE(app.starter.started.empty());
  const std::string& line = app.starter.started.back().commandLine;
  const std::string number = line.substr(line.rfind(' ') + 1);
  app.files.files["d" + number + ".pid"] = RecordWriter().Bool(error).Bool(true).Text(text).Text(detail).EndRecord().Take();
  app.files.files.erase(kLockFile);
}

std::string HourMinute(const FakeClock& clock) {
  const std::string now = NowStamp(clock);
  return now.substr(8, 2) + ":" + now.substr(10, 2);
}

TEST(DownloadOutcome, AFailureStaysInTheStatusLabelUntilADownloadSucceeds) {
  AppHarness app;
  app.Start();
  app.program.Exec("GETOBS");
  app.program.Tick();
  EndDownload(app, true, "Observation download problems - if you see this more then 3 times try switching "
                         "observation servers", "Connection refused");
  app.program.Tick();
  const std::string failed = "the download from 127.0.0.1:9 failed at " + HourMinute(app.clock) + " (Connection refused)";
  EXPECT_EQ(app.program.StatusText(), "No reports yet: " + failed);
  EXPECT_TRUE(app.Logged("PID(1) - Connection refused"));
  app.program.Redraw(true);  // the redraw's "Please Wait" goes, the failure stays
  EXPECT_EQ(app.program.StatusText(), "No reports yet: " + failed);
  app.program.Exec("LOADOBS");
  app.program.Redraw(true);
  EXPECT_EQ(app.program.StatusText(), "Last download: " + failed);

  app.program.Exec("GETOBS");
  app.program.Tick();
  EndDownload(app, false, "Observation download successful", "4,312 reports cut, 3,960 filed, 352 of unknown stations");
  app.program.Tick();
  EXPECT_TRUE(app.Logged("PID(2) - 4,312 reports cut, 3,960 filed, 352 of unknown stations"));
  EXPECT_EQ(app.program.StatusText(), "");
}

// "Try" queues one download of the chosen server and the page follows it to its end.
TEST(DownloadOutcome, TryOnTheServersPageShowsWhatTheServerGave) {
  AppHarness app;
  std::vector<std::string> lines;
  app.windows.servers = [&](const ServerTryHooks& page) {
    page.tryServer(3);  // no address there
    lines.push_back(page.line());
    page.tryServer(1);
    lines.push_back(page.line());
    app.program.Tick();  // the main timer runs on while the dialog is open
    lines.push_back(page.line());
    EndDownload(app, true, "Observation download failed - the server's file holds no reports", "");
    app.program.Tick();
    lines.push_back(page.line());
    page.tryServer(1);
    app.program.Tick();
    EndDownload(app, false, "Observation download successful", "1,987 reports cut, 1,987 filed, 0 of unknown stations");
    app.program.Tick();
    lines.push_back(page.line());
  };
  Settings settings = DefaultSettings();
  settings.ObServers[1] = "http://127.0.0.1:9/cycles/%hZ.TXT";
  settings.ObServers[3] = "";
  app.files.files[kSettingsFile] = WriteSettingsText(settings);
  app.Start();
  app.program.Choose("mnuOptions");
  const std::string hour = NowStamp(app.clock).substr(8, 2);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "Server 3 has no address", "Trying server 1 (PID 1)...", "Trying server 1 (PID 1)...",
                       "The download from 127.0.0.1:9 failed at " + HourMinute(app.clock) +
                           " (the server's file holds no reports)",
                       "1,987 reports cut, 1,987 filed, 0 of unknown stations"}));
  ASSERT_EQ(app.starter.started.size(), 2u);
  EXPECT_EQ(app.starter.started[0].commandLine, "varnex http://127.0.0.1:9/cycles/" + hour + "Z.TXT 1");
}

}  // namespace
}  // namespace norvane::testing
