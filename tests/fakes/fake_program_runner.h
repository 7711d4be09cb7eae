#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/program_runner.h"

namespace norvane::testing {

// Records every run and answers with `outcome`; `effect` stands in for what the
// program would do (for example write its output file).
class FakeProgramRunner : public ProgramRunner {
 public:
  struct Ran {
    std::string program;
    std::vector<std::string> arguments;
    double timeoutSeconds;
  };
  std::vector<Ran> ran;
  ProgramOutcome outcome{ProgramOutcome::Status::Exited, 0};
  std::function<void(const std::vector<std::string>&)> effect;

  ProgramOutcome Run(const std::string& program, const std::vector<std::string>& arguments,
                     double timeoutSeconds) override {
    ran.push_back({program, arguments, timeoutSeconds});
    if (effect && outcome.status != ProgramOutcome::Status::NotStarted) effect(arguments);
    return outcome;
  }
};

}  // namespace norvane::testing
