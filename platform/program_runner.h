#pragma once
#include <string>
#include <vector>

namespace norvane {

struct ProgramOutcome {
  enum class Status { NotStarted, TimedOut, Exited };
  Status status = Status::NotStarted;
  int exitCode = -1;  // when Exited
  bool Succeeded() const { return status == Status::Exited && exitCode == 0; }
};

// Runs a program and waits for it to end. The arguments go to the program as they
// are, one by one, never through a shell, so no text in them can start anything else.
class ProgramRunner {
 public:
  virtual ~ProgramRunner() = default;
  // Starts `program` minimised without focus and waits at most `timeoutSeconds`,
  // letting events run meanwhile. A program still running at the limit is ended.
  virtual ProgramOutcome Run(const std::string& program, const std::vector<std::string>& arguments,
                             double timeoutSeconds) = 0;
};

}  // namespace norvane
