#pragma once
#include <cstdint>

namespace norvane {

// A seedable source of numbers in [0, 1).
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void Seed(std::uint32_t seed) = 0;
  virtual double Next() = 0;
};

}  // namespace norvane
