#include <gtest/gtest.h>

#include "commands/scheduler.h"
#include "core/record_file.h"
#include "core/time_stamp.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_process_starter.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_reporter.h"

namespace norvane {
namespace {

using testing::FakeClock;
using testing::FakeProcessStarter;
using testing::MemoryFileSystem;
using testing::RecordingReporter;

struct SchedulerFixture : ::testing::Test {
  MemoryFileSystem fs;
  FakeClock clock;
  FakeProcessStarter starter;
  RecordingReporter rep;
  Settings settings;
  ProcessQueue queue;
  std::vector<std::string> scripts;
  std::function<void()> duringCron;
  int watchRuns = 0;
  Scheduler scheduler{queue, settings, Services()};

  SchedulerServices Services() {
    SchedulerServices s;
    s.fs = &fs;
    s.clock = &clock;
    s.starter = &starter;
    s.reporter = &rep;
    s.runScript = [this](const std::string& name) {
      scripts.push_back(name);
      if (name == "cron.nvs" && duringCron) duringCron();
    };
    s.watchNewReports = [this] { ++watchRuns; };
    return s;
  }
  int Count(const std::string& name) const { return static_cast<int>(std::count(scripts.begin(), scripts.end(), name)); }
};

TEST_F(SchedulerFixture, CronRunsOnTheFirstTickThenOncePerMinute) {
  clock.Set(2026, 12, 7, 12, 30);
  scheduler.Tick();
  scheduler.Tick();
  EXPECT_EQ(Count("cron.nvs"), 1);
  EXPECT_EQ(scheduler.MinuteClock(), MinutesNow(clock));
  clock.Set(2026, 12, 7, 12, 31);
  scheduler.Tick();
  EXPECT_EQ(Count("cron.nvs"), 2);
}

TEST_F(SchedulerFixture, ChildQueuedByCronStartsInTheSameTick) {
  duringCron = [this] { QueueGridBuild(queue, "varnex http://127.0.0.1/x ", rep); };
  scheduler.Tick();
  ASSERT_EQ(starter.started.size(), 1u);
  EXPECT_EQ(starter.started[0].commandLine, "varnex http://127.0.0.1/x 1");
  EXPECT_TRUE(fs.Exists("lock.zzz"));
}

TEST_F(SchedulerFixture, FinalStatusWrittenDuringCronIsHandledOnce) {
  fs.files["lock.zzz"] = "\"4\"\r\n";
  fs.files["d4.pid"] = RecordWriter().Bool(false).Bool(false).Text("123").EndRecord().Take();
  // The child finishes while the tick runs "cron.nvs": after the poll, before the idle check.
  duringCron = [this] {
    fs.files["d4.pid"] =
        RecordWriter().Bool(false).Bool(true).Text("Observation download successful").EndRecord().Take();
    fs.files.erase("lock.zzz");
  };
  scheduler.Tick();
  duringCron = nullptr;
  for (int i = 0; i < 3; ++i) scheduler.Tick();
  EXPECT_EQ(Count("after_varnex.nvs"), 1);
  EXPECT_NE(std::find(rep.logged.begin(), rep.logged.end(), "PID(4) - Observation download successful"),
            rep.logged.end());
  EXPECT_NE(std::find(rep.logged.begin(), rep.logged.end(), "Idle..."), rep.logged.end());
}

TEST_F(SchedulerFixture, FinishDownloadTrimsVerificationAndHandsOnTheWatchFile) {
  clock.Set(2026, 12, 7, 12, 0);
  scheduler.Tick();
  const int now = scheduler.MinuteClock();
  settings.ClearVerificationTime = 48;
  RecordWriter v;
  for (int age : {10, 48 * 60, 48 * 60 + 1, 5000})
    v.Integer(now - age).EndRecord().Text("").EndRecord().Text("  KABC 071200Z").EndRecord().Text("TS -- Home").EndRecord();
  fs.files["verify.out"] = v.str() + "123\r\n\"\"";  // a cut-short last entry
  fs.files["watch.zzz"] =
      RecordWriter().Integer(4512).Integer(-9350).Text("KMSP 071153Z 27010KT RMK").Text("decoded").Integer(now).EndRecord().Take();
  scheduler.FinishDownload();

  RecordReader r(fs.files.at("verify.out"));
  std::vector<double> kept;
  while (!r.AtEnd()) {
    kept.push_back(r.NextNumber().value_or(-1));
    r.NextText(); r.NextText(); r.NextText();
  }
  EXPECT_EQ(kept, (std::vector<double>{now - 10.0, now - 48.0 * 60}));
  EXPECT_FALSE(fs.Exists("temp.out"));
  EXPECT_EQ(watchRuns, 1);
  EXPECT_FALSE(fs.Exists("watch.zzz"));
  EXPECT_EQ(rep.logged.back(), "Idle...");
}

TEST_F(SchedulerFixture, AFailedTrimKeepsTheWholeVerificationFile) {
  const std::string old = RecordWriter().Integer(1).EndRecord().Text("").EndRecord().Text("  X").EndRecord().Text("e").EndRecord().Take();
  fs.files["verify.out"] = old;
  fs.files["watch.zzz"] = "short";
  fs.failRenames = true;
  scheduler.FinishDownload();
  EXPECT_EQ(fs.files.at("verify.out"), old);
  EXPECT_FALSE(fs.Exists("watch.zzz"));
}

}  // namespace
}  // namespace norvane
