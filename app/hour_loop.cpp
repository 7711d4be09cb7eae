#include "app/hour_loop.h"

namespace norvane {

std::vector<LoopHour> LastWholeHours(const TimeStamp& nowStamp, int count) {
  TimeStamp last = nowStamp;
  last.resize(12, '0');
  last.replace(10, 2, "00");
  std::vector<LoopHour> hours;
  for (int k = count - 1; k >= 0; --k) {
    TimeStamp stamp = StampAddHours(last, -k);
    hours.push_back({stamp, StampToMinutes(stamp)});
  }
  return hours;
}

void HourLoop::Start(std::vector<LoopHour> hours) {
  hours_ = std::move(hours);
  frame_ = 0;
  paused_ = false;
}

void HourLoop::End() {
  hours_.clear();
  frame_ = 0;
  paused_ = false;
}

std::string HourLoop::CounterText() const {
  return "Frame " + std::to_string(frame_ + 1) + " of " + std::to_string(hours_.size()) +
         (paused_ ? "  -  paused" : "");
}

void HourLoop::Step(int by) {
  const int n = FrameCount();
  if (n == 0) return;
  frame_ = ((frame_ + by) % n + n) % n;
}

bool HourLoop::Tick() {
  if (!Running() || paused_) return false;
  Step(1);
  return true;
}

bool HourLoop::Press(Key key) {
  if (!Running()) return false;
  switch (key) {
    case Key::Left:
    case Key::Right:
      Step(key == Key::Left ? -1 : 1);
      paused_ = true;
      return true;
    case Key::Space:
      paused_ = !paused_;
      return true;  // the counter shows the change
    case Key::Escape:
      End();
      return true;
  }
  return false;
}

void HourLoop::GoTo(int frame) {
  if (frame >= 0 && frame < FrameCount()) frame_ = frame;
}

}  // namespace norvane
