#pragma once
#include <string>
#include <vector>

#include "platform/process_starter.h"

namespace norvane::testing {

class FakeProcessStarter : public ProcessStarter {
 public:
  struct Started { std::string commandLine; WindowMode mode; };
  std::vector<Started> started;
  bool succeed = true;
  bool Start(const std::string& commandLine, WindowMode mode) override {
    started.push_back({commandLine, mode});
    return succeed;
  }
};

}  // namespace norvane::testing
