#include <gtest/gtest.h>

#include <climits>

#include "core/lenient_number.h"
#include "core/number_text.h"

namespace norvane {
namespace {

TEST(LenientNumber, LongestLeadingNumberAndRounding) {
  const std::pair<const char*, double> numbers[] = {
      {"35", 35}, {"  -12.5abc", -12.5}, {"abc", 0}, {"", 0}, {".", 0}, {".5", 0.5}, {"1.5E-07", 1.5e-7},
      {"3E", 3}, {"1e999", 0} /* overflow is no number */};
  for (const auto& [text, value] : numbers) EXPECT_EQ(LenientNumber(text), value) << text;
  EXPECT_FALSE(LenientInt16("40000"));
  EXPECT_EQ(*LenientInt16("-32768"), -32768);
  EXPECT_EQ(*LenientInt16("2.5"), 2);
  // Halves go to the even neighbour; a huge value saturates.
  for (auto [v, r] : {std::pair{2.5, 2LL}, {3.5, 4LL}, {-2.5, -2LL}, {2.6, 3LL}, {1e300, LLONG_MAX}}) {
    EXPECT_EQ(RoundHalfEven(v), r) << v;
  }
}

TEST(NumberText, PlainAndPatterned) {
  const std::pair<double, const char*> trimmed[] = {
      {100, "100"}, {0.5, ".5"}, {-0.25, "-.25"}, {1e20, "1E+20"}, {1.5e-7, "1.5E-07"}, {0, "0"},
      {1.0 / 3, ".333333333333333"}, {123456789012345.0, "123456789012345"}};
  for (const auto& [v, text] : trimmed) EXPECT_EQ(TrimmedNumberText(v), text) << v;
  EXPECT_EQ(NumberText(100), " 100");
  EXPECT_EQ(NumberText(-3), "-3");
  EXPECT_EQ(SingleText(0.1f), ".1");
  struct Case { double v; const char* pattern; const char* text; };
  const Case cases[] = {
      {12.34, "0.#", "12.3"}, {12.0, "0.#", "12"}, {0.25, "0.#", "0.3"}, {-3.04, "0.#", "-3"},
      {0.456, "0.0%", "45.6%"}, {0, "0.0%", "0.0%"}, {5.4, "##0", "5"}, {1234.5, "##0", "1235"},
      {38.54, "#.0", "38.5"}, {0.5, "#.0", ".5"}, {-97.25, "#.0", "-97.3"}, {7, "00", "07"}, {1013.25, "0", "1013"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatNumber(c.v, c.pattern), c.text) << c.v << " " << c.pattern;
}

}  // namespace
}  // namespace norvane
