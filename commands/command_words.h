#pragma once
#include <array>
#include <string>
#include <string_view>

namespace norvane {

// The words of one command line: word 0 the keyword, 1..49 its arguments. One
// more always-empty slot sits behind word 49, so "word k+1" never reads past the list.
class CommandWords {
 public:
  static constexpr int kMaxWords = 50;
  // `keepCase` leaves the letters as typed (SHELL starts programs by their real names).
  explicit CommandWords(std::string_view line, bool keepCase = false);
  const std::string& operator[](int k) const;
  // Non-empty words from `first` up to the last, each followed by one blank.
  std::string JoinFrom(int first) const;
  // Words from `first` up to the first empty one, each followed by one blank.
  std::string JoinUntilEmpty(int first) const;

 private:
  std::array<std::string, kMaxWords + 1> words_;
};

// The line as the command box hands it over: trimmed, CR and LF made blanks, trimmed again.
std::string CleanCommandLine(std::string_view text);

}  // namespace norvane
