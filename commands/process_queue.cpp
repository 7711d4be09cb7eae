#include "commands/process_queue.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "core/number_text.h"
#include "core/record_file.h"
#include "core/replace_file.h"

namespace norvane {

std::string ProcessQueue::TakeProcessNumber() {
  int next = counter_ + 1;
  if (next > 32000) next = 0;
  counter_ = static_cast<std::int16_t>(next);
  return std::to_string(next);
}

int ProcessQueue::Add(const std::string& commandLine, const std::string& processNumber) {
  for (int i = 0; i < kRows; ++i) {
    auto& row = rows_[static_cast<std::size_t>(i)];
    if (row.commandLine.empty()) {
      row = QueueEntry{commandLine, processNumber};
      return i;
    }
  }
  return -1;
}

void ProcessQueue::RemoveAt(int position) {
  if (position < 0 || position >= kRows) return;
  for (int i = position; i + 1 < kRows; ++i) rows_[static_cast<std::size_t>(i)] = rows_[static_cast<std::size_t>(i + 1)];
  rows_[kRows - 1] = QueueEntry{};
}

int ProcessQueue::Count() const {
  return static_cast<int>(std::count_if(rows_.begin(), rows_.end(),
                                        [](const QueueEntry& e) { return !e.commandLine.empty(); }));
}

void ProcessQueue::Clear() { rows_.fill(QueueEntry{}); }

std::string ExpandServerTemplate(const std::string& serverTemplate, const std::string& stamp) {
  auto part = [&](std::size_t from, std::size_t count) {
    return from < stamp.size() ? stamp.substr(from, count) : std::string();
  };
  std::string out;
  for (std::size_t i = 0; i < serverTemplate.size(); ++i) {
    char c = serverTemplate[i];
    if (c != '%') {
      out += c;
      continue;
    }
    char k = i + 1 < serverTemplate.size() ? serverTemplate[i + 1] : '\0';
    ++i;
    switch (k) {
      case 'Y': out += part(0, 4); break;
      case 'y': out += part(2, 2); break;
      case 'm': out += part(4, 2); break;
      case 'd': out += part(6, 2); break;
      case 'h': out += part(8, 2); break;
      default: break;
    }
  }
  return out;
}

std::string ChooseServerTemplate(const Settings& settings, const Clock& clock, RandomSource& random) {
  const int active = settings.ActiveObServer;
  if (active >= 1 && active <= 4) return settings.ObServers[static_cast<std::size_t>(active)];
  if (active != 5) return {};
  random.Seed(static_cast<std::uint32_t>(clock.SecondsSinceMidnight() * 1000.0));
  for (int draw = 0; draw < 10000; ++draw) {
    int pick = static_cast<int>(random.Next() * 4) + 1;
    pick = std::clamp(pick, 1, 4);
    const auto& t = settings.ObServers[static_cast<std::size_t>(pick)];
    if (!t.empty()) return t;
  }
  return {};
}

namespace {

bool QueueWithNumber(ProcessQueue& queue, const std::string& commandPrefix, const std::string& number,
                     Reporter& reporter) {
  const int position = queue.Add(commandPrefix + number, number);
  if (position >= 0) {
    reporter.LogProcessMessage("PID " + number + " is number " + std::to_string(position) + " in the queue");
    return true;
  }
  reporter.ShowMessage("!!! !!! PID " + number +
                       " is was unable to be queued - queue is full!!!  Edit your script files for less "
                       "processing time");
  return false;
}



struct StatusRecord {
  bool error = false;
  bool final = false;
  std::string text = "getout";
  std::string detail;
};

// A status file being rewritten, cut short or holding garbage reads as "getout".
StatusRecord ReadStatus(const FileSystem& fs, const std::string& name) {
  StatusRecord status;
  auto bytes = fs.ReadAll(name);
  if (!bytes) return status;
  RecordReader reader(*bytes);
  auto error = reader.NextBool();
  auto final = reader.NextBool();
  auto text = reader.NextText();
  if (!error || !final || !text) return status;
  status.error = *error;
  status.final = *final;
  status.text = *text;
  // Only a final status of the downloader carries a fourth field.
  if (!reader.LastEndedLine()) status.detail = reader.NextText().value_or("");
  return status;
}

// Deletes every status file, trying a few times before giving up so that a file
// held open elsewhere never freezes the tick.
bool RemoveStatusFiles(FileSystem& fs, Reporter& reporter) {
  bool all = true;
  for (const auto& name : fs.List("", "*.pid")) {
    bool removed = false;
    for (int attempt = 0; attempt < 3 && !removed; ++attempt) removed = fs.Remove(name) || !fs.Exists(name);
    if (!removed) reporter.ShowMessage("Unable to delete the status file '" + name + "'");
    all = all && removed;
  }
  return all;
}

// Acts on one status file; returns true when it held a final status.
bool HandleStatusFile(WatchdogState& state, FileSystem& fs, Reporter& reporter, const ChildEndHandlers& handlers,
                      const std::string& name, bool countsTowardStall) {
  if (countsTowardStall) ++state.stallCounter;
  StatusRecord status = ReadStatus(fs, name);
  if (status.text == "getout") return false;
  const std::string number = name.size() >= 5 ? name.substr(1, name.size() - 5) : std::string();
  const char kind = name.empty() ? '\0' : static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
  if (status.final) {
    const std::string key = name + '\n' + fs.ReadAll(name).value_or("");
    if (key == state.handledFinal) {
      // Already acted on; only the deletion is tried again.
      if (RemoveStatusFiles(fs, reporter)) state.handledFinal.clear();
      return true;
    }
    state.handledFinal = key;
  }
  if (status.text.size() > 10) {
    const std::string message = "PID(" + number + ") - " + status.text;
    if (status.error) reporter.ShowMessage(message);
    else reporter.LogProcessMessage(message);
  }
  if (status.final && !status.detail.empty()) {
    const std::string message = "PID(" + number + ") - " + status.detail;
    if (status.error) reporter.ShowMessage(message);
    else reporter.LogProcessMessage(message);
  }
  if (status.final) {
    if (RemoveStatusFiles(fs, reporter)) state.handledFinal.clear();
    if (kind == 'g') {
      if (fs.Exists(kLockFile)) fs.Remove(kLockFile);
      if (handlers.runScript) handlers.runScript("after_buildgrid.nvs");
    } else if (kind == 'd') {
      if (fs.Exists(kLockFile)) fs.Remove(kLockFile);
      if (handlers.downloadEnded) {
        DownloadEnd end{number, "", status.error, status.text, status.detail};
        // "varnex " + address + " " + number, when it is this download's line.
        const std::string& line = state.runningCommand;
        const std::size_t blank = line.find(' '), last = line.rfind(' ');
        if (blank != last && line.substr(last + 1) == number) end.address = line.substr(blank + 1, last - blank - 1);
        handlers.downloadEnded(end);
      }
      if (handlers.finishDownload) handlers.finishDownload();
      if (handlers.runScript) handlers.runScript("after_varnex.nvs");
    }
    return true;
  }
  if (status.text != state.lastStatus) {
    state.lastStatus = status.text;
    state.stallCounter = 0;
  }
  return false;
}

}  // namespace

bool QueueDownload(ProcessQueue& queue, const Settings& settings, const std::string& stamp, const Clock& clock,
                   RandomSource& random, Dialogs& dialogs, Reporter& reporter,
                   const std::function<void()>& openOptions) {
  const std::string serverTemplate = ChooseServerTemplate(settings, clock, random);
  if (serverTemplate.empty()) {
    dialogs.MessageBox("There seems to be no valid observation servers to choose from.", "ERROR",
                       BoxStyle::Information);
    reporter.ShowMessage("Unable to select a server.  Make sure there is a server by going into options");
    if (openOptions) openOptions();
    return false;
  }
  const std::string hour = stamp.empty() ? NowStamp(clock) : stamp;
  const std::string address = ExpandServerTemplate(serverTemplate, hour);
  const std::string number = queue.TakeProcessNumber();
  reporter.LogProcessMessage("Queuing download as PID " + number);
  return QueueWithNumber(queue, "varnex " + address + " ", number, reporter);
}

bool QueueGridBuild(ProcessQueue& queue, const std::string& commandLine, Reporter& reporter) {
  const std::string number = queue.TakeProcessNumber();
  reporter.LogProcessMessage("Queuing grid as PID " + number);
  return QueueWithNumber(queue, commandLine, number, reporter);
}

void StartNextProcess(ProcessQueue& queue, FileSystem& fs, ProcessStarter& starter, Reporter& reporter) {
  if (queue.Row(0).commandLine.empty()) return;
  const QueueEntry entry = queue.Row(0);
  queue.RemoveAt(0);
  // The lock exists before the child starts, so its first check finds its own number.
  const std::string lock = RecordWriter().Text(entry.processNumber).EndRecord().Take();
  if (!ReplaceFile(fs, kLockFile, lock)) {
    reporter.ShowMessage("Unable to write 'lock.zzz' for '" + entry.commandLine + "'");
  } else if (!starter.Start(entry.commandLine, WindowMode::MinimisedNoFocus)) {
    // A lock nobody owns would stop all background work for good.
    fs.Remove(kLockFile);
    reporter.ShowMessage("Unable to start '" + entry.commandLine + "'");
  } else {
    reporter.LogProcessMessage("Started '" + entry.commandLine + "' from the queue");
  }
  const int left = queue.Count();
  if (left > 0) reporter.LogProcessMessage("There are " + std::to_string(left) + " processes left in the queue");
}

void PollStatusFile(WatchdogState& state, FileSystem& fs, Reporter& reporter, const ChildEndHandlers& handlers) {
  const auto files = fs.List("", "*.pid");
  if (files.empty()) {
    // A child that died before its first status must not hold the lock for ever.
    if (fs.Exists(kLockFile)) ++state.stallCounter;
    else state.stallCounter = 0;
  } else {
    HandleStatusFile(state, fs, reporter, handlers, files.front(), true);
  }
  if (state.stallCounter > kStallLimit) {
    if (fs.Exists(kLockFile)) fs.Remove(kLockFile);
    state.stallCounter = 0;
  }
}

void StartNextIfIdle(ProcessQueue& queue, WatchdogState& state, FileSystem& fs, ProcessStarter& starter,
                     Reporter& reporter, const ChildEndHandlers& handlers) {
  if (fs.Exists(kLockFile)) return;
  // A child may have written its final status after this tick's poll (for
  // instance while "cron.nvs" ran): act on it before the file goes.
  for (const auto& name : fs.List("", "*.pid")) {
    if (ReadStatus(fs, name).final) HandleStatusFile(state, fs, reporter, handlers, name, false);
  }
  if (RemoveStatusFiles(fs, reporter)) state.handledFinal.clear();
  state.stallCounter = 0;
  if (!queue.Row(0).commandLine.empty()) state.runningCommand = queue.Row(0).commandLine;
  StartNextProcess(queue, fs, starter, reporter);
}

void ListQueue(const ProcessQueue& queue, Reporter& reporter) {
  // The output box shows the newest message first, so the listing is written backwards.
  reporter.ShowMessage(kSeparator);
  for (int i = ProcessQueue::kRows - 1; i >= 0; --i) {
    const auto& row = queue.Row(i);
    if (!row.commandLine.empty())
      reporter.ShowMessage("PID (" + row.processNumber + ") - '" + row.commandLine + "'");
  }
  reporter.ShowMessage("The queue has " + std::to_string(queue.Count()) + " processes...");
}

void KillProcesses(ProcessQueue& queue, const std::string& word, FileSystem& fs, Reporter& reporter) {
  if (word.empty()) return;
  const std::string w = ToLower(word);
  auto removeWhere = [&](auto predicate) {
    for (int i = 0; i < ProcessQueue::kRows;) {
      const auto& row = queue.Row(i);
      if (!row.commandLine.empty() && predicate(row)) queue.RemoveAt(i);
      else ++i;
    }
  };
  auto startsWith = [](const std::string& line, const std::string& program) {
    return ToLower(line).rfind(program, 0) == 0;
  };
  if (w == "all") {
    queue.Clear();
  } else if (w == "cur" || w == "current") {
    if (fs.Exists(kLockFile)) fs.Remove(kLockFile);
    reporter.ShowMessage(kSeparator);
    reporter.ShowMessage("Killing current process");
  } else if (w == "grids") {
    removeWhere([&](const QueueEntry& e) { return startsWith(e.commandLine, "tessal"); });
  } else if (w == "downloads" || w == "dl") {
    removeWhere([&](const QueueEntry& e) { return startsWith(e.commandLine, "varnex"); });
  } else {
    for (int i = 0; i < ProcessQueue::kRows; ++i) {
      if (!queue.Row(i).commandLine.empty() && queue.Row(i).processNumber == word) {
        queue.RemoveAt(i);
        break;
      }
    }
  }
  ListQueue(queue, reporter);
}

}  // namespace norvane
