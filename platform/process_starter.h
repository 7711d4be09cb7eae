#pragma once
#include <string>

namespace norvane {

enum class WindowMode { NormalWithFocus, MinimisedNoFocus };

// Starts a program from a command line (program name, then blank-separated arguments).
class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // False when the program could not be started.
  virtual bool Start(const std::string& commandLine, WindowMode mode) = 0;
};

}  // namespace norvane
