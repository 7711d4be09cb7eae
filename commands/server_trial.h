#pragma once
// "Try" on the options dialog's servers page: one download of the current hour from
// the chosen server, queued like any other, and what it brought or why it failed.
#include <string>

#include "commands/process_queue.h"
#include "commands/scheduler.h"

namespace norvane {

class ServerTrial {
 public:
  // Queues the download from server `slot` (1-4, or 5 to pick as downloads do).
  void Try(int slot, ProcessQueue& queue, const Settings& settings, const Clock& clock, RandomSource& random,
           Dialogs& dialogs, Reporter& reporter);
  // What the page shows: "" before the first try, a waiting line while the download
  // is queued or runs, then its counts or its failure.
  std::string Line(const Scheduler& scheduler) const;

 private:
  std::string number_;
  std::string line_;
};

}  // namespace norvane
