#include "core/lenient_number.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace norvane {

double LenientNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') { ++i; ++digits; }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') { ++i; ++digits; }
  }
  if (digits == 0) return 0;
  std::size_t end = i;
  // An exponent counts only when digits follow it.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    std::size_t expDigits = 0;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') { ++j; ++expDigits; }
    if (expDigits > 0) end = j;
  }
  std::string number(text.substr(start, end - start));
  double value = std::strtod(number.c_str(), nullptr);
  if (!std::isfinite(value)) return 0;
  return value;
}

long long RoundHalfEven(double value) {
  if (!std::isfinite(value)) return 0;
  if (value >= 9.2e18) return std::numeric_limits<long long>::max();
  if (value <= -9.2e18) return std::numeric_limits<long long>::min();
  double r = std::nearbyint(value);  // default rounding mode rounds halves to even
  return static_cast<long long>(r);
}

std::optional<std::int16_t> LenientInt16(std::string_view text) {
  double v = LenientNumber(text);
  if (v < -32768.5 || v > 32767.5) return std::nullopt;
  long long r = RoundHalfEven(v);
  if (r < -32768 || r > 32767) return std::nullopt;
  return static_cast<std::int16_t>(r);
}

std::optional<std::int32_t> LenientInt32(std::string_view text) {
  double v = LenientNumber(text);
  if (v < -2147483648.5 || v > 2147483647.5) return std::nullopt;
  long long r = RoundHalfEven(v);
  if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(r);
}

}  // namespace norvane
