// Any bytes as a script: the interpreter ends every run with a message, never
// crashes, and cannot loop for ever (the host stops it after a bounded number of
// statements). Lines starting R run the same script nested, to reach the nesting limit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/script_interpreter.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_random.h"
#include "tests/fakes/memory_file_system.h"

namespace {

class FuzzHost : public norvane::ScriptHost {
 public:
  norvane::ScriptRunner* runner = nullptr;
  int eventCalls = 0;
  int runs = 0;
  void Exec(const std::string& line, const std::string&) override {
    if (line.rfind("R ", 0) == 0 && runner && runs < 200) {
      ++runs;
      runner->RunScript("FUZZ", {"1", "2", "X"});
    }
  }
  void ShowMessage(const std::string&) override {}
  void LogProcessMessage(const std::string&) override {}
  void ProcessEvents() override { ++eventCalls; }
  // At most about 20000 statements in all, counted in blocks of 1000.
  bool StopRequested() override { return eventCalls >= 20; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  norvane::testing::MemoryFileSystem files;
  files.files["scripts/fuzz.nvs"] = std::string(reinterpret_cast<const char*>(data), size);
  norvane::testing::FakeClock clock;
  norvane::testing::FakeRandom random;
  random.values = {0.5, 0.125};
  norvane::GlobalVariables globals;
  FuzzHost host;
  norvane::ScriptRunner runner(host, files, clock, random, globals);
  host.runner = &runner;
  runner.RunScript("FUZZ");
  return 0;
}
