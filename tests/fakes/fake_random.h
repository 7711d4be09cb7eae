#pragma once
#include <cstddef>
#include <vector>

#include "platform/random_source.h"

namespace norvane::testing {

// Returns the scripted values in turn (cycling), or 0 when none are given.
class FakeRandom : public RandomSource {
 public:
  std::vector<double> values;
  std::size_t next = 0;
  std::uint32_t lastSeed = 0;
  void Seed(std::uint32_t seed) override { lastSeed = seed; }
  double Next() override {
    if (values.empty()) return 0;
    return values[next++ % values.size()];
  }
};

}  // namespace norvane::testing
