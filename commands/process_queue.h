#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/reporter.h"
#include "core/settings.h"
#include "core/time_stamp.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/process_starter.h"
#include "platform/random_source.h"

namespace norvane {

// One row of the process queue; an empty command line marks a free row.
struct QueueEntry {
  std::string commandLine;
  std::string processNumber;
};

// The 101 rows of waiting background work. Used rows are contiguous from row 0,
// which is the next process to start.
class ProcessQueue {
 public:
  static constexpr int kRows = 101;

  // The next process number: 1 ... 32000, then 0, 1, ... Consumed even when the
  // queue turns out to be full.
  std::string TakeProcessNumber();
  // Stores the entry in the first free row; its position, or -1 when full.
  int Add(const std::string& commandLine, const std::string& processNumber);
  void RemoveAt(int position);
  int Count() const;
  const QueueEntry& Row(int position) const { return rows_[static_cast<std::size_t>(position)]; }
  void Clear();

 private:
  std::array<QueueEntry, kRows> rows_{};
  std::int16_t counter_ = 0;
};

// What the main program remembers of the running child between ticks.
struct WatchdogState {
  int stallCounter = 0;
  std::string lastStatus;
  // A final status already acted on, by file name and contents, so that a status
  // file that refuses to be deleted is not handled again on every tick.
  std::string handledFinal;
  // The command line of the child started last, for telling what a download fetched.
  std::string runningCommand;
};

// The end of a download as its final status told it.
struct DownloadEnd {
  std::string processNumber;
  std::string address;  // word 2 of the command line
  bool error = false;
  std::string text;
  std::string detail;  // what it brought ("4,312 reports cut, ...") or why it failed; may be empty
};

inline constexpr int kStallLimit = 30;
inline constexpr const char* kLockFile = "lock.zzz";

// What a final status leads to: the after-process scripts and FinishDownload.
struct ChildEndHandlers {
  std::function<void(const std::string& script)> runScript;
  std::function<void()> finishDownload;
  // Runs before `finishDownload`; may be empty.
  std::function<void(const DownloadEnd&)> downloadEnded;
};

// Replaces each "%Y", "%y", "%m", "%d", "%h" of a server template by its part of
// the stamp; any other "%x" pair (or a trailing "%") disappears.
std::string ExpandServerTemplate(const std::string& serverTemplate, const std::string& stamp);

// The active server's template, or "" when there is none usable. ActiveObServer 5
// picks at random among the filled templates; values outside 1..5 count as none.
std::string ChooseServerTemplate(const Settings& settings, const Clock& clock, RandomSource& random);

// Queues a download of the hour of `stamp` (the current hour when empty).
// `openOptions` opens the options dialog when no server can be chosen.
// Returns true when a row was taken.
bool QueueDownload(ProcessQueue& queue, const Settings& settings, const std::string& stamp,
                   const Clock& clock, RandomSource& random, Dialogs& dialogs, Reporter& reporter,
                   const std::function<void()>& openOptions);

// Queues a grid build. `commandLine` is the whole line up to the process number,
// "tessal " + name + " " + nine numbers each followed by a blank.
bool QueueGridBuild(ProcessQueue& queue, const std::string& commandLine, Reporter& reporter);
void StartNextProcess(ProcessQueue& queue, FileSystem& fs, ProcessStarter& starter, Reporter& reporter);
void PollStatusFile(WatchdogState& state, FileSystem& fs, Reporter& reporter, const ChildEndHandlers& handlers);
void StartNextIfIdle(ProcessQueue& queue, WatchdogState& state, FileSystem& fs, ProcessStarter& starter,
                     Reporter& reporter, const ChildEndHandlers& handlers);

// QUEUE / PID: lists the queue (reads top-down: count, entries in start order, separator).
void ListQueue(const ProcessQueue& queue, Reporter& reporter);
// KILL with its first word; lists the queue afterwards unless the word is empty.
void KillProcesses(ProcessQueue& queue, const std::string& word, FileSystem& fs, Reporter& reporter);

}  // namespace norvane
