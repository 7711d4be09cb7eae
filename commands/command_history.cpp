#include "commands/command_history.h"

namespace norvane {

void CommandHistory::Store(const std::string& line) {
  for (std::size_t k = 50; k >= 2; --k) entries_[k] = std::move(entries_[k - 1]);
  entries_[1] = line;
  entries_[0].clear();
}

const std::string& CommandHistory::Older(bool& atLimit) {
  atLimit = cursor_ >= 50;
  if (!atLimit) ++cursor_;
  return entries_[static_cast<std::size_t>(cursor_)];
}

const std::string& CommandHistory::Newer(bool& atLimit) {
  atLimit = cursor_ <= 0;
  if (!atLimit) --cursor_;
  return entries_[static_cast<std::size_t>(cursor_)];
}

}  // namespace norvane
