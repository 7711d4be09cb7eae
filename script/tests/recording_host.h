#pragma once
#include <sstream>
#include <string>
#include <vector>

#include "script/script_host.h"
#include "script/script_interpreter.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_random.h"
#include "tests/fakes/memory_file_system.h"

namespace norvane::testing {

// Stands in for the command interpreter: records every command line, answers ECHO
// and ECHO! into one message list, and runs R/RUN through the runner as Exec does.
class RecordingHost : public ScriptHost {
 public:
  struct Call {
    std::string line, suffix;
  };
  std::vector<Call> execs;
  std::vector<std::string> messages;  // every message, oldest first
  std::vector<std::string> echoes;    // only the ECHO texts, trimmed
  int eventCalls = 0;
  int stopAfterEventCalls = -1;  // answer StopRequested once when eventCalls reaches it
  ScriptRunner* runner = nullptr;

  void Exec(const std::string& line, const std::string& suffix) override {
    execs.push_back({line, suffix});
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    if (w.empty()) return;
    if (w[0] == "ECHO" || w[0] == "ECHO!") {
      std::string text;
      for (std::size_t i = 1; i < w.size(); ++i) text += (i > 1 ? " " : "") + w[i];
      echoes.push_back(text);
      messages.push_back(text);
    } else if ((w[0] == "R" || w[0] == "RUN") && runner && w.size() > 1) {
      ScriptArguments args;
      for (std::size_t i = 2; i < w.size() && i < 11; ++i) args[i - 2] = w[i];
      runner->RunScript(w[1], args);
    }
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void LogProcessMessage(const std::string& text) override { messages.push_back(text); }
  void ProcessEvents() override { ++eventCalls; }
  bool StopRequested() override { return eventCalls == stopAfterEventCalls; }

  bool HasMessage(const std::string& text) const {
    for (const auto& m : messages)
      if (m == text) return true;
    return false;
  }
};

// A runner over an in-memory working folder, ready for scripts under "scripts/".
struct ScriptBench {
  MemoryFileSystem files;
  FakeClock clock;
  FakeRandom random;
  GlobalVariables globals;
  RecordingHost host;
  ScriptRunner runner{host, files, clock, random, globals};
  ScriptBench() { host.runner = &runner; }
  void Write(const std::string& name, const std::string& text) { files.files["scripts/" + name] = text; }
  RecordingHost& Run(const std::string& name, ScriptArguments args = {}) {
    runner.RunScript(name, args);
    return host;
  }
};

}  // namespace norvane::testing
