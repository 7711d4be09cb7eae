#pragma once
#include <cstdint>
#include <random>

#include "platform/clock.h"
#include "platform/random_source.h"

namespace norvane {

// The real clocks, from the C++ standard library.
class SystemClock : public Clock {
 public:
  CivilTime UtcNow() const override;
  CivilTime LocalNow() const override;
  double SecondsSinceMidnight() const override;
};

class StandardRandom : public RandomSource {
 public:
  void Seed(std::uint32_t seed) override { engine_.seed(seed); }
  double Next() override { return std::uniform_real_distribution<double>(0.0, 1.0)(engine_); }

 private:
  std::mt19937 engine_{12345};
};

}  // namespace norvane
