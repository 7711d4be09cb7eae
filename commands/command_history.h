#pragma once
#include <array>
#include <string>

namespace norvane {

// The last 50 executed command lines. Entry 0 is always the empty fresh line,
// entry 1 the newest, entry 50 the oldest kept.
class CommandHistory {
 public:
  void Store(const std::string& line);
  void ResetCursor() { cursor_ = 0; }
  // Moves the cursor and returns the entry to show; `atLimit` is set when the
  // cursor could not move (the caller beeps).
  const std::string& Older(bool& atLimit);
  const std::string& Newer(bool& atLimit);
  int Cursor() const { return cursor_; }
  const std::string& Entry(int k) const { return entries_[static_cast<std::size_t>(k)]; }

 private:
  std::array<std::string, 51> entries_;
  int cursor_ = 0;
};

}  // namespace norvane
