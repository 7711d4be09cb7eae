#pragma once
#include <string>

namespace norvane {

// Written before the output of many commands.
inline constexpr const char* kSeparator = "-----=====-----=====-----";

// Where the main program's Parts report to the user: the output log.
// `ShowMessage` always refreshes the output box; `LogProcessMessage` only when
// the watch-process switch is on.
class Reporter {
 public:
  virtual ~Reporter() = default;
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void LogProcessMessage(const std::string& text) = 0;
};

}  // namespace norvane
