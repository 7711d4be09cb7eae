#include "commands/server_trial.h"

namespace norvane {

void ServerTrial::Try(int slot, ProcessQueue& queue, const Settings& settings, const Clock& clock,
                      RandomSource& random, Dialogs& dialogs, Reporter& reporter) {
  number_.clear();
  Settings one = settings;
  one.ActiveObServer = slot;
  if (slot >= 1 && slot <= 4 && settings.ObServers[static_cast<std::size_t>(slot)].empty()) {
    line_ = "Server " + std::to_string(slot) + " has no address";
    return;
  }
  // The options dialog is already open: no second one when there is no server.
  if (!QueueDownload(queue, one, "", clock, random, dialogs, reporter, {})) {
    line_ = "The download could not be queued";
    return;
  }
  number_ = queue.Row(queue.Count() - 1).processNumber;
  line_ = "Trying server " + (slot == 5 ? std::string("picked at random") : std::to_string(slot)) + " (PID " +
          number_ + ")...";
}

std::string ServerTrial::Line(const Scheduler& scheduler) const {
  const auto& last = scheduler.LastDownload();
  if (number_.empty() || !last || last->processNumber != number_) return line_;
  const std::string line = DownloadOutcomeLine(*last, scheduler.LastDownloadTime());
  if (!last->error) return line;
  return "T" + line.substr(1);
}

}  // namespace norvane
