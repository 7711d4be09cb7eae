#include "commands/command_words.h"

#include "core/number_text.h"

namespace norvane {

CommandWords::CommandWords(std::string_view line, bool keepCase) {
  std::string text = keepCase ? TrimBlanks(line) : ToUpper(TrimBlanks(line));
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  int k = 0;
  for (char c : text) {
    if (c != ' ' && c != '\t') {
      words_[static_cast<std::size_t>(k)].push_back(c);
    } else if (!words_[static_cast<std::size_t>(k)].empty()) {
      if (++k == kMaxWords) break;
    }
  }
  for (int i = 0; i < kMaxWords; ++i) {
    std::string& w = words_[static_cast<std::size_t>(i)];
    // A back-quoted word keeps a lower-case form through the upper-casing.
    if (!w.empty() && w[0] == '`') w = ToLower(std::string_view(w).substr(1));
  }
}

const std::string& CommandWords::operator[](int k) const {
  if (k < 0 || k > kMaxWords) return words_[kMaxWords];
  return words_[static_cast<std::size_t>(k)];
}

std::string CommandWords::JoinFrom(int first) const {
  std::string out;
  for (int k = first; k < kMaxWords; ++k)
    if (!(*this)[k].empty()) out += (*this)[k] + " ";
  return out;
}

std::string CommandWords::JoinUntilEmpty(int first) const {
  std::string out;
  for (int k = first; k < kMaxWords && !(*this)[k].empty(); ++k) out += (*this)[k] + " ";
  return out;
}

std::string CleanCommandLine(std::string_view text) {
  std::string s = TrimBlanks(text);
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return TrimBlanks(s);
}

}  // namespace norvane
