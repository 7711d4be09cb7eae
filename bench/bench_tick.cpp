// The main program's one-second tick with an idle queue and no child, on a real
// working folder: the status poll, the minute clock and the queue check.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "commands/scheduler.h"
#include "core/local_file_system.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_process_starter.h"
#include "tests/fakes/recording_reporter.h"

namespace {

namespace fs = std::filesystem;

struct IdleMainProgram {
  fs::path folder = fs::temp_directory_path() / ("norvane-bench-tick-" + std::to_string(getpid()));
  norvane::LocalFileSystem files{(fs::create_directories(folder), folder.string())};
  norvane::testing::FakeClock clock;
  norvane::testing::FakeProcessStarter starter;
  norvane::testing::RecordingReporter reporter;
  norvane::Settings settings;
  norvane::ProcessQueue queue;
  long cronRuns = 0;
  norvane::Scheduler scheduler{queue, settings, Services()};

  norvane::SchedulerServices Services() {
    norvane::SchedulerServices s;
    s.fs = &files;
    s.clock = &clock;
    s.starter = &starter;
    s.reporter = &reporter;
    s.runScript = [this](const std::string&) { ++cronRuns; };
    return s;
  }
  ~IdleMainProgram() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
};

// The same minute every tick: "cron.nvs" has run once and the tick only polls.
void BM_IdleTick(benchmark::State& state) {
  IdleMainProgram app;
  app.scheduler.Tick();
  for (auto _ : state) app.scheduler.Tick();
  state.counters["cron runs"] = static_cast<double>(app.cronRuns);
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kMicrosecond);

// A new minute every tick: the minute clock moves and the cron hand-off is made
// (the script itself is measured by the script benchmarks).
void BM_TickOnANewMinute(benchmark::State& state) {
  IdleMainProgram app;
  int minute = 0;
  for (auto _ : state) {
    minute = (minute + 1) % (24 * 60);
    app.clock.Set(2026, 12, 7, minute / 60, minute % 60);
    app.scheduler.Tick();
  }
  state.counters["cron runs"] = static_cast<double>(app.cronRuns);
}
BENCHMARK(BM_TickOnANewMinute)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
