#include <gtest/gtest.h>

#include "commands/scheduler.h"
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
  std::function<void()> duringCron;
  int cronRuns = 0, watchRuns = 0;
  bool watchKept = true;
  Scheduler scheduler{queue, settings, Services()};

  SchedulerServices Services() {
    SchedulerServices s;
    s.fs = &fs;
    s.clock = &clock;
    s.starter = &starter;
    s.reporter = &rep;
    s.runScript = [this](const std::string& name) {
      cronRuns += name == "cron.nvs";
      if (name == "cron.nvs" && duringCron) duringCron();
    };
    s.watchNewReports = [this] {
      ++watchRuns;
      return watchKept;
    };
    return s;
  }
};

TEST_F(SchedulerFixture, CronRunsOnTheFirstTickThenOncePerMinute) {
  clock.Set(2026, 12, 7, 12, 30);
  scheduler.Tick();
  scheduler.Tick();
  EXPECT_EQ(cronRuns, 1);
  EXPECT_EQ(scheduler.MinuteClock(), MinutesNow(clock));
  clock.Set(2026, 12, 7, 12, 31);
  scheduler.Tick();
  EXPECT_EQ(cronRuns, 2);
}

TEST_F(SchedulerFixture, ChildQueuedByCronStartsInTheSameTick) {
  duringCron = [this] { QueueGridBuild(queue, "varnex http://127.0.0.1/x ", rep); };
  scheduler.Tick();
  ASSERT_EQ(starter.started.size(), 1u);
  EXPECT_EQ(starter.started[0].commandLine, "varnex http://127.0.0.1/x 1");
  EXPECT_TRUE(fs.Exists("lock.zzz"));
}

// The trimming rules themselves are tested with the verification file.
TEST_F(SchedulerFixture, FinishDownloadTrimsVerificationAndHandsOnTheWatchFile) {
  clock.Set(2026, 12, 7, 12, 0);
  scheduler.Tick();
  const int now = scheduler.MinuteClock();
  settings.ClearVerificationTime = 24;
  const std::string kept = FormatVerificationEntry({now - 10, "", "  KABC 071200Z", "TS -- Home"});
  const std::string old = FormatVerificationEntry({now - 24 * 60 - 1, "", "  KABC 061200Z", "TS -- Home"}) + kept;
  for (bool failRenames : {false, true}) {
    fs.failRenames = failRenames;  // a trim that cannot be written keeps the whole file
    fs.files["verify.out"] = old;
    fs.files["watch.zzz"] = "short";
    scheduler.FinishDownload();
    EXPECT_EQ(fs.files.at("verify.out"), failRenames ? old : kept);
    EXPECT_FALSE(fs.Exists("watch.zzz"));
  }
  EXPECT_EQ(watchRuns, 2);
  // Notices that could not be written stay in "watch.zzz" for the next download.
  watchKept = false;
  fs.failRenames = false;
  fs.files["watch.zzz"] = "short";
  scheduler.FinishDownload();
  EXPECT_TRUE(fs.Exists("watch.zzz"));
  EXPECT_EQ(rep.logged.back(), "Idle...");
}

}  // namespace
}  // namespace norvane
