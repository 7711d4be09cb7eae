#pragma once
#include <string>
#include <vector>

#include "core/reporter.h"

namespace norvane::testing {

// Keeps every message in the order it was written (the output box shows them reversed).
class RecordingReporter : public Reporter {
 public:
  std::vector<std::string> shown;    // ShowMessage
  std::vector<std::string> logged;   // LogProcessMessage
  std::vector<std::string> all;      // both, in order
  void ShowMessage(const std::string& t) override { shown.push_back(t); all.push_back(t); }
  void LogProcessMessage(const std::string& t) override { logged.push_back(t); all.push_back(t); }
};

}  // namespace norvane::testing
