#include "core/number_text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace norvane {

namespace {

// Digits and decimal exponent of |value| rounded to `significant` digits.
struct Decimal {
  std::string digits;  // no trailing zeros, at least one digit
  int exponent = 0;    // value = 0.d1d2d3... * 10^(exponent+1), i.e. d1 is at 10^exponent
};

Decimal ToDecimal(double magnitude, int significant) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", significant - 1, magnitude);
  // buf looks like d.ddddde[+-]xx
  Decimal d;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (std::isdigit(static_cast<unsigned char>(*p))) d.digits.push_back(*p);
  if (*p == 'e') d.exponent = std::atoi(p + 1);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

std::string PlainText(double value, int significant, int largeExponent, int smallExponent) {
  if (!std::isfinite(value)) return "0";
  if (value == 0) return "0";
  std::string sign = value < 0 ? "-" : "";
  Decimal d = ToDecimal(std::fabs(value), significant);
  if (d.digits == "0") return "0";
  std::string out = sign;
  if (d.exponent >= largeExponent || d.exponent < smallExponent) {
    out += d.digits.substr(0, 1);
    if (d.digits.size() > 1) out += "." + d.digits.substr(1);
    char e[16];
    std::snprintf(e, sizeof e, "E%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
    return out + e;
  }
  if (d.exponent < 0) {
    out += ".";
    out += std::string(static_cast<std::size_t>(-d.exponent - 1), '0');
    return out + d.digits;
  }
  const std::size_t intDigits = static_cast<std::size_t>(d.exponent) + 1;
  if (d.digits.size() <= intDigits) return out + d.digits + std::string(intDigits - d.digits.size(), '0');
  return out + d.digits.substr(0, intDigits) + "." + d.digits.substr(intDigits);
}

}  // namespace

std::string TrimmedNumberText(double value) { return PlainText(value, 15, 15, -4); }

std::string NumberText(double value) {
  std::string t = TrimmedNumberText(value);
  return t[0] == '-' ? t : " " + t;
}

std::string SingleText(float value) { return PlainText(static_cast<double>(value), 7, 7, -4); }

std::string FormatNumber(double value, std::string_view pattern) {
  if (!std::isfinite(value)) value = 0;
  bool percent = pattern.find('%') != std::string_view::npos;
  if (percent) value *= 100;
  const std::size_t point = pattern.find('.');
  std::string_view intPart = pattern.substr(0, point);
  std::string_view fracPart = point == std::string_view::npos ? std::string_view{} : pattern.substr(point + 1);
  int fracZeros = 0, fracHashes = 0, intZeros = 0;
  for (char c : fracPart) {
    if (c == '0') ++fracZeros;
    else if (c == '#') ++fracHashes;
  }
  for (char c : intPart)
    if (c == '0') ++intZeros;
  const int fracDigits = fracZeros + fracHashes;
  // Round halves away from zero at the last shown digit.
  const double scale = std::pow(10.0, fracDigits);
  double scaled = std::round(std::fabs(value) * scale + 1e-9 * std::fabs(value) * scale);
  if (std::fabs(value) * scale > 9e15) scaled = std::fabs(value) * scale;
  const bool negative = value < 0 && scaled != 0;
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.0f", scaled);
  std::string digits = buf;
  if (static_cast<int>(digits.size()) <= fracDigits)
    digits = std::string(static_cast<std::size_t>(fracDigits) + 1 - digits.size(), '0') + digits;
  std::string whole = digits.substr(0, digits.size() - static_cast<std::size_t>(fracDigits));
  std::string frac = digits.substr(digits.size() - static_cast<std::size_t>(fracDigits));
  // Optional fraction digits drop off while they are zero.
  int optional = fracHashes;
  while (optional > 0 && !frac.empty() && frac.back() == '0') { frac.pop_back(); --optional; }
  // Leading zeros of the whole part are shown only as far as the pattern has "0"s.
  while (whole.size() > 1 && whole[0] == '0') whole.erase(0, 1);
  if (whole == "0" && intZeros == 0) whole.clear();
  while (static_cast<int>(whole.size()) < intZeros) whole.insert(0, "0");
  std::string out = negative ? "-" : "";
  out += whole;
  if (!frac.empty()) out += "." + frac;
  if (out.empty() || out == "-") out += "0";
  if (percent) out += "%";
  return out;
}

std::string TrimBlanks(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  return std::string(text.substr(b, e - b));
}

std::string ToUpper(std::string_view text) {
  std::string s(text);
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string ToLower(std::string_view text) {
  std::string s(text);
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace norvane
