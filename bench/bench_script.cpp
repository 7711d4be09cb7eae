// Script interpreter speed: a counting loop of a million iterations (arithmetic, IF
// and JMP each time round, with events still processed), and loading plus running a
// 5000-line script of plain statements.
#include <benchmark/benchmark.h>

#include <string>

#include "script/script_interpreter.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_random.h"
#include "tests/fakes/memory_file_system.h"

namespace {

class CountingHost : public norvane::ScriptHost {
 public:
  long long execs = 0, events = 0;
  std::string last;
  void Exec(const std::string& line, const std::string&) override {
    ++execs;
    last = line;
  }
  void ShowMessage(const std::string& text) override { last = text; }
  void LogProcessMessage(const std::string& text) override { last = text; }
  void ProcessEvents() override { ++events; }
  bool StopRequested() override { return false; }
};

struct Fixture {
  norvane::testing::MemoryFileSystem files;
  norvane::testing::FakeClock clock;
  norvane::testing::FakeRandom random;
  norvane::GlobalVariables globals;
  CountingHost host;
  norvane::ScriptRunner runner{host, files, clock, random, globals};
};

void BM_CountingLoopMillion(benchmark::State& state) {
  Fixture f;
  f.files.files["scripts/count.nvs"] =
      "SET &I 0\nLBL LOOP\nADD &I [I] 1\nIF< [I] 1000000\nJMP LOOP\nNIL\nECHO [I]\n";
  for (auto _ : state) {
    f.runner.RunScript("COUNT");
    benchmark::DoNotOptimize(f.host.last);
  }
  if (f.host.last != "The script 'COUNT.nvs' is complete") state.SkipWithError(f.host.last.c_str());
  state.counters["events"] = static_cast<double>(f.host.events) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CountingLoopMillion)->Unit(benchmark::kMillisecond);

void BM_FiveThousandPlainLines(benchmark::State& state) {
  Fixture f;
  std::string text;
  for (int i = 0; i < 5000; ++i) {
    switch (i % 4) {
      case 0: text += "set &v" + std::to_string(i % 50) + " " + std::to_string(i) + "\r\n"; break;
      case 1: text += "add *total {total} [v" + std::to_string((i - 1) % 50) + "]\r\n"; break;
      case 2: text += "echo line " + std::to_string(i) + " total {total}\r\n"; break;
      default: text += "rmk a comment, with a comma\r\n"; break;
    }
  }
  f.files.files["scripts/plain.nvs"] = text;
  f.globals.Store("TOTAL", 0);
  for (auto _ : state) {
    f.runner.RunScript("PLAIN");
    benchmark::DoNotOptimize(f.host.last);
  }
  if (f.host.last != "The script 'PLAIN.nvs' is complete") state.SkipWithError(f.host.last.c_str());
}
BENCHMARK(BM_FiveThousandPlainLines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
