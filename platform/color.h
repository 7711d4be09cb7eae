#pragma once
#include <cstdint>

namespace norvane {

// Colours are red + 256 * green + 65536 * blue, as stored in the settings file.
using Color = std::uint32_t;

constexpr Color Rgb(int red, int green, int blue) {
  return static_cast<Color>((red & 255) + 256 * (green & 255) + 65536 * (blue & 255));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 255); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 255); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 255); }

}  // namespace norvane
