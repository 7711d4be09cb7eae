#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/script_host.h"
#include "script/script_variables.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/random_source.h"

namespace norvane {

using ScriptArguments = std::array<std::string, 9>;

// Splits a script file into its lines: fields separated by commas or line ends,
// a field that starts with a double quote runs to the closing quote (commas kept,
// quotes dropped; an unclosed quote ends at its line end so that it cannot swallow
// the rest of the file), blanks around unquoted fields dropped. Each line is stored
// upper-cased, trimmed, with one blank appended; at most `maxLines` are read.
// `asWritten`, when given, receives the same lines trimmed but in their own case.
std::vector<std::string> ReadScriptLines(std::string_view text, std::size_t maxLines = 5000,
                                         std::vector<std::string>* asWritten = nullptr);

// Runs scripts from "scripts/". One runner serves the whole program, so that nested
// runs (a script line "R OTHER" re-entering through the host's Exec) share the
// nesting count and the stop request.
class ScriptRunner {
 public:
  static constexpr int kMaxNesting = 20;
  static constexpr std::size_t kMaxLines = 5000;
  // Statements between two calls of ScriptHost::ProcessEvents.
  static constexpr std::uint64_t kEventInterval = 1000;

  ScriptRunner(ScriptHost& host, FileSystem& files, const Clock& clock, RandomSource& random,
               GlobalVariables& globals);

  // Runs the script to its end (END, its last line or its first error).
  void RunScript(const std::string& name, const ScriptArguments& arguments = {});

  int Depth() const { return depth_; }

 private:
  ScriptHost& host_;
  FileSystem& files_;
  const Clock& clock_;
  RandomSource& random_;
  GlobalVariables& globals_;
  int depth_ = 0;
  // Set when the user asked to stop; every run of the nest ends, the outermost clears it.
  bool stopping_ = false;
};

// The script file names of "scripts/" for the script dialog's list.
std::vector<std::string> ListScripts(const FileSystem& files);
// The command the script dialog hands back to run an entry with its argument text.
std::string ScriptRunCommand(std::string_view entry, std::string_view argument);
// The command that adds that run to the redraw script.
std::string ScriptRedrawCommand(std::string_view entry, std::string_view argument);

}  // namespace norvane
