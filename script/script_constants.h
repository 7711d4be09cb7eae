#pragma once
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/random_source.h"

namespace norvane {

// The text that replaces <name> in a script line: a colour as "r g b", the UTC
// date and time in fixed-width fields, a few constants, or a new random number.
// The name is compared exactly; an unknown name gives "missing".
std::string LookupConstant(std::string_view name, const Clock& clock, RandomSource& random);

}  // namespace norvane
