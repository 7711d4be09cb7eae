#pragma once
#include <functional>
#include <string>

#include "core/reporter.h"

namespace norvane {

// The output log behind the output box: newest message first, each as
// "* " + text + CR LF, cut to the first 20000 characters so the oldest fall off.
class OutputLog : public Reporter {
 public:
  static constexpr std::size_t kLimit = 20000;
  // Called with the whole log whenever the output box must show it again.
  std::function<void(const std::string&)> onRefresh;
  bool watchProcess = true;  // the check mark of "&View Process Output"

  void ShowMessage(const std::string& text) override;
  void LogProcessMessage(const std::string& text) override;
  const std::string& Text() const { return text_; }

 private:
  void Add(const std::string& text);
  std::string text_;
};

}  // namespace norvane
