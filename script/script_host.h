#pragma once
#include <optional>
#include <string>

namespace norvane {

// What a running script needs from the main program: the command interpreter,
// the output log, and a way to stay responsive during long runs.
class ScriptHost {
 public:
  virtual ~ScriptHost() = default;
  // A script line that is not a statement of the script language.
  virtual void Exec(const std::string& line, const std::string& suffix) = 0;
  // Errors of a script (shown at once in the output box).
  virtual void ShowMessage(const std::string& text) = 0;
  // Progress ("has started", "is complete").
  virtual void LogProcessMessage(const std::string& text) = 0;
  // Lets pending user and timer events run; called every few thousand statements.
  virtual void ProcessEvents() = 0;
  // True once after the user asked to stop the running scripts; the host forgets
  // the request when it has answered true.
  virtual bool StopRequested() = 0;
  // Constants that only the program knows (the map's grid box, the hours of the last
  // change field); nothing for the names of the fixed table.
  virtual std::optional<std::string> Constant(const std::string& /*name*/) { return std::nullopt; }
};

}  // namespace norvane
