#include "script/script_constants.h"

#include <array>
#include <cstdio>

#include "core/number_text.h"

namespace norvane {

namespace {

struct Hue {
  std::string_view name;
  bool red, green, blue;
};

constexpr std::array<Hue, 6> kHues{{{"RED", true, false, false},
                                    {"GREEN", false, true, false},
                                    {"BLUE", false, false, true},
                                    {"YELLOW", true, true, false},
                                    {"CYAN", false, true, true},
                                    {"MAGENTA", true, false, true}}};

std::string Rgb(int r, int g, int b) {
  return std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b);
}

// The level's full and empty component values, or false for an unknown level.
bool HueLevel(std::string_view level, int& full, int& empty) {
  empty = 0;
  if (level.empty()) {
    full = 255;
    return true;
  }
  if (level.size() != 1) return false;
  const char c = level[0];
  if (c >= '1' && c <= '7') {
    full = 32 * (c - '0');
    return true;
  }
  full = 255;
  switch (c) {
    case '8': return true;
    case 'A': empty = 64; return true;
    case 'B': empty = 128; return true;
    case 'C': empty = 192; return true;
    default: return false;
  }
}

std::string Padded(int value, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  return buf;
}

}  // namespace

std::string LookupConstant(std::string_view name, const Clock& clock, RandomSource& random) {
  for (const Hue& hue : kHues) {
    if (name.substr(0, hue.name.size()) != hue.name) continue;
    int full = 0, empty = 0;
    if (!HueLevel(name.substr(hue.name.size()), full, empty)) continue;
    return Rgb(hue.red ? full : empty, hue.green ? full : empty, hue.blue ? full : empty);
  }
  if (name == "WHITE") return Rgb(255, 255, 255);
  if (name == "BLACK") return Rgb(0, 0, 0);
  if (name.size() == 5 && name.substr(0, 4) == "GRAY" && name[4] >= '1' && name[4] <= '8') {
    const int v = name[4] == '8' ? 255 : 32 * (name[4] - '0');
    return Rgb(v, v, v);
  }
  if (name == "PI") return "3.1415926535898";
  if (name == "E") return "2.718281828459";
  if (name == "C") return "299792458";
  if (name == "G") return "9.80665";
  if (name == "R") return "287";
  if (name == "RANDOM") return SingleText(static_cast<float>(random.Next()));

  // The clock is read afresh at every lookup so that a long script sees time pass.
  const bool isTime = name == "YEAR" || name == "YEAR2" || name == "MONTH" || name == "DAY" ||
                      name == "TIME" || name == "HOUR" || name == "MINUTE" || name == "SECOND";
  if (!isTime) return "missing";
  const CivilTime t = clock.UtcNow();
  if (name == "YEAR") return Padded(t.year, 4);
  if (name == "YEAR2") return Padded(t.year % 100, 2);
  if (name == "MONTH") return Padded(t.month, 2);
  if (name == "DAY") return Padded(t.day, 2);
  if (name == "TIME") return Padded(t.hour * 100 + t.minute, 4);
  if (name == "HOUR") return Padded(t.hour, 2);
  if (name == "MINUTE") return Padded(t.minute, 2);
  return Padded(t.second, 2);
}

}  // namespace norvane
