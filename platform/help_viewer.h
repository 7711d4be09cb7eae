#pragma once
#include <string>

namespace norvane {

class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  virtual void ShowHelp(const std::string& helpFile, const std::string& keyword) = 0;
};

}  // namespace norvane
