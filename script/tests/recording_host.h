#pragma once
#include <algorithm>
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
  struct Call { std::string line, suffix; };
  std::vector<Call> execs;
  std::vector<std::string> messages;  // every message, oldest first
  std::vector<std::string> echoes;    // only the ECHO texts, trimmed
  int eventCalls = 0;
  int stopAfterEventCalls = -1;  // answer StopRequested once when eventCalls reaches it
  ScriptRunner* runner = nullptr;

  void Exec(const std::string& line, const std::string& suffix) override {
    execs.push_back({line, suffix});
    std::istringstream in(line);
    std::string command, word, text;
    in >> command;
    if (command == "ECHO" || command == "ECHO!") {
      while (in >> word) text += (text.empty() ? "" : " ") + word;
      echoes.push_back(text);
      messages.push_back(text);
    } else if ((command == "R" || command == "RUN") && runner && in >> word) {
      ScriptArguments args;
      for (std::size_t k = 0; k < args.size() && in >> args[k]; ++k) {}
      runner->RunScript(word, args);
    }
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void LogProcessMessage(const std::string& text) override { messages.push_back(text); }
  void ProcessEvents() override { ++eventCalls; }
  bool StopRequested() override { return eventCalls == stopAfterEventCalls; }

  bool HasMessage(const std::string& text) const {
    return std::find(messages.begin(), messages.end(), text) != messages.end();
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
