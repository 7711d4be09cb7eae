#pragma once
#include "platform/clock.h"

namespace norvane::testing {

// A clock that shows whatever time the test sets.
class FakeClock : public Clock {
 public:
  CivilTime utc{2026, 12, 7, 12, 0, 0};
  CivilTime local{2026, 12, 7, 12, 0, 0};
  double seconds = 43200;
  CivilTime UtcNow() const override { return utc; }
  CivilTime LocalNow() const override { return local; }
  double SecondsSinceMidnight() const override { return seconds; }
  void Set(int y, int mo, int d, int h, int mi) { utc = local = CivilTime{y, mo, d, h, mi, 0}; }
};

}  // namespace norvane::testing
