#include "commands/output_log.h"

namespace norvane {

void OutputLog::Add(const std::string& text) {
  std::string entry;
  entry.reserve(text.size() + 4 + text_.size());
  entry += "* ";
  entry += text;
  entry += "\r\n";
  entry += text_;
  if (entry.size() > kLimit) entry.resize(kLimit);
  text_ = std::move(entry);
}

void OutputLog::ShowMessage(const std::string& text) {
  Add(text);
  if (onRefresh) onRefresh(text_);
}

void OutputLog::LogProcessMessage(const std::string& text) {
  Add(text);
  if (watchProcess && onRefresh) onRefresh(text_);
}

}  // namespace norvane
