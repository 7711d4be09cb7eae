#pragma once
// The command line of norvane-batch: the main program without a window.
#include <optional>
#include <string>
#include <vector>

namespace norvane {

struct BatchStep {
  enum class Kind { Command, Wait, Frames };
  Kind kind = Kind::Command;
  std::string command;  // a line as typed into the command box; Frames: the folder
  int seconds = 0;      // Wait: at most this long for the queue and the running child
};

struct BatchOptions {
  int mapWidth = 0, mapHeight = 0;  // 0: the map picture of a 1600 x 1000 window
  bool runStartup = true;
  bool fixedMetrics = false;
  bool help = false;
  std::string pngFile, primitivesFile, logFile, watchFile;
  std::vector<BatchStep> steps;  // in the order given
};

struct BatchParse {
  std::optional<BatchOptions> options;
  std::string error;  // why the command line was refused
};

BatchParse ParseBatchOptions(const std::vector<std::string>& args);
std::string BatchUsage();

// How long to wait after the last step for work still queued or running: a --wait
// given before the command that queued the work still holds for it (the longest one
// given). 0 when the last step was itself a wait, or none was given.
int BatchWaitAtEnd(const BatchOptions& options);
// Exit status and message when work is still queued or running at the end.
inline constexpr int kBatchWorkLeft = 3;
std::string BatchWorkLeftMessage(const BatchOptions& options, int queued);

}  // namespace norvane
