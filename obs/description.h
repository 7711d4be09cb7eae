#pragma once
// A plain-language, one-line description of a report's decoded text.
#include <string>
#include <string_view>

namespace norvane {

// Sky, wind, temperature, dew point, pressure and weather words, joined without other
// separators. Damaged or short decoded texts read as "not reported" columns.
std::string DescribeObservation(std::string_view decoded, bool useCelsius);

}  // namespace norvane
