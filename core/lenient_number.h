#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace norvane {

// The longest leading decimal number of a text (blanks before it skipped,
// optional sign, digits, one period, optional exponent); 0 when there is none.
double LenientNumber(std::string_view text);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
long long RoundHalfEven(double value);

// LenientNumber rounded half-even and checked to fit 16 bits; nothing when it does not.
std::optional<std::int16_t> LenientInt16(std::string_view text);
// The same for 32 bits.
std::optional<std::int32_t> LenientInt32(std::string_view text);

}  // namespace norvane
