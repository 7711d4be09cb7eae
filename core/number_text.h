#pragma once
#include <string>
#include <string_view>

namespace norvane {

// The plain number-to-text conversion used in messages and scripts: up to 15
// significant digits, no leading zero between -1 and 1 (".5", "-.25"), exponent
// form for very large or small values ("1E+20", "1E-05").
// `NumberText` gives positives (and zero) a leading blank; `TrimmedNumberText` does not.
std::string TrimmedNumberText(double value);
std::string NumberText(double value);

// Single-precision reals written with up to 7 significant digits, no leading blank
// (the grid-build numbers of a command line).
std::string SingleText(float value);

// Formats with a short pattern: "0" a digit always shown, "#" a digit shown only
// when significant, "." the decimal point, "%" multiplies by 100 and appends "%".
// Examples: "0.#", "0.0%", "##0", "#.0". Rounds halves away from zero.
std::string FormatNumber(double value, std::string_view pattern);

std::string TrimBlanks(std::string_view text);
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);

}  // namespace norvane
