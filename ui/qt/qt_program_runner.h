#pragma once
#include "platform/program_runner.h"

namespace norvane {

// Runs a program with QProcess (an argument list, never a shell) and waits for it,
// letting events run, so the one-second tick goes on while the encoder works.
class QtProgramRunner : public ProgramRunner {
 public:
  ProgramOutcome Run(const std::string& program, const std::vector<std::string>& arguments,
                     double timeoutSeconds) override;
};

}  // namespace norvane
