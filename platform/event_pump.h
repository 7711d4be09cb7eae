#pragma once

namespace norvane {

// Lets pending user and timer events run from inside a long operation.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void ProcessEvents() = 0;
};

}  // namespace norvane
