#pragma once
// The loop of the last hours: the hours it plays, the frame on the map, whether it
// plays or waits, and what the keys do. The main program paints the frames; this
// only keeps count.
#include <cstdint>
#include <string>
#include <vector>

#include "core/time_stamp.h"

namespace norvane {

struct LoopHour {
  TimeStamp stamp;          // "yyyymmddhh00"
  std::int32_t minutes = 0;  // absolute minutes
};
// The `count` whole hours ending with the last whole hour at or before `nowStamp`,
// oldest first.
std::vector<LoopHour> LastWholeHours(const TimeStamp& nowStamp, int count);

class HourLoop {
 public:
  enum class Key { Left, Right, Space, Escape };

  void Start(std::vector<LoopHour> hours);
  void End();
  bool Running() const { return !hours_.empty(); }
  bool Paused() const { return paused_; }
  int Frame() const { return frame_; }  // 0 the oldest
  int FrameCount() const { return static_cast<int>(hours_.size()); }
  const LoopHour& Hour(int frame) const { return hours_[static_cast<std::size_t>(frame)]; }
  const std::vector<LoopHour>& Hours() const { return hours_; }
  // "Frame 3 of 6" (with "  -  paused" while it waits).
  std::string CounterText() const;

  // One tick of the one-second timer: the next frame, the first again after the
  // last, unless paused. True when the frame changed.
  bool Tick();
  // Left and Right step one frame (wrapping round) and hold it there; Space pauses
  // or plays on; Escape ends the loop. True when the frame changed or the loop ended.
  bool Press(Key key);
  // Goes to a given frame, playing or paused as it was.
  void GoTo(int frame);

 private:
  void Step(int by);
  std::vector<LoopHour> hours_;
  int frame_ = 0;
  bool paused_ = false;
};

}  // namespace norvane
