#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "obs/decoded_observation.h"
#include "obs/description.h"

namespace norvane {
namespace {

// The template with the given (first column, text) runs written in.
std::string Decoded(std::initializer_list<std::pair<int, std::string>> runs) {
  std::string d(DecodedTemplate());
  for (const auto& [first, text] : runs) d.replace(static_cast<std::size_t>(first - 1), text.size(), text);
  return d;
}

TEST(DescribeObservationTest, WholeLine) {
  const std::string d = Decoded({{35, "3"}, {36, "10132"}, {41, "M05"}, {44, "M10"}, {47, "310012"}, {11, "1"}, {19, "1"}});
  EXPECT_EQ(DescribeObservation(d, false),
            "Sky: Mostly Cloudy    Wind: NW@12kts    Temp: 23F    Dew Pt: 14F"
            "    Pressure(SLP): 1013.2mb    Weather: Rain + Mist (light fog)");
  EXPECT_EQ(DescribeObservation(d, true),
            "Sky: Mostly Cloudy    Wind: NW@12kts    Temp: -05C    Dew Pt: -10C"
            "    Pressure(SLP): 1013.2mb    Weather: Rain + Mist (light fog)");
  EXPECT_EQ(DescribeObservation(DecodedTemplate(), false),
            "Sky:     Wind: Calm    Temp: Missing    Dew Pt: Missing    Pressure(SLP):Missing    Weather: None");
}

TEST(DescribeObservationTest, Parts) {
  struct Case { std::string decoded; bool celsius; std::string expectedPart; };
  const Case cases[] = {
      {Decoded({{35, "0"}}), false, "Sky: Clear Below 12000FT    "}, {Decoded({{35, "5"}}), false, "Sky: Obscured    "},
      {Decoded({{47, "000025"}}), false, "Wind: Calm    "}, {Decoded({{47, "VRB003"}}), false, "Wind: Variable@3kts    "},
      {Decoded({{47, "360010"}}), false, "Wind: N@10kts    "}, {Decoded({{47, "022005"}}), false, "Wind: N@5kts    "},
      {Decoded({{47, "023005"}}), false, "Wind: NE@5kts    "}, {Decoded({{47, "202005"}}), false, "Wind: S@5kts    "},
      {Decoded({{47, "203005"}}), false, "Wind: SW@5kts    "}, {Decoded({{47, "400005"}}), false, "Wind: @5kts    "},
      {Decoded({{41, "015"}}), false, "Temp: 59F    "}, {Decoded({{41, "016"}}), false, "Temp: 60.8F    "},
      {Decoded({{41, "016"}}), true, "Temp: 16C    "}, {Decoded({{41, "999"}}), true, "Temp: Missing    "},
      {Decoded({{44, "M02"}}), true, "Dew Pt: -02C    "}, {Decoded({{36, "09000"}}), false, "Pressure(SLP):Missing    "},
      {Decoded({{36, "09999"}}), false, "Pressure(SLP): 999.9mb    "},
      {Decoded({{8, "1"}, {22, "1"}}), false, "Weather: Vicinity Thunder"},
      {Decoded({{8, "1"}, {11, "1"}}), false, "Weather: Thunder + Rain"},
      {Decoded({{9, "1"}, {11, "1"}}), false, "Weather: Freezing rain"},
      {Decoded({{9, "1"}, {10, "1"}}), false, "Weather: Freezing drizzle"},
      {Decoded({{11, "1"}, {12, "1"}}), false, "Weather: Rain/snow mix"},
      {Decoded({{1, "3"}, {29, "1"}}), false, "Weather: TORNADO!!!"},
      {Decoded({{1, "2"}, {29, "1"}}), false, "Weather: FUNNEL CLOUD!!!"},
      {Decoded({{6, "1"}, {12, "1"}}), false, "Weather: Snow + Blowing snow"},
      {Decoded({{6, "1"}, {23, "1"}, {24, "1"}}), false, "Weather: Blowing sand"},
      {Decoded({{6, "1"}}), false, "Weather: None"}, {Decoded({{20, "1"}, {25, "1"}}), false, "Weather: Dense fog"},
      {Decoded({{28, "1"}, {16, "1"}, {21, "1"}}), false, "Weather: Squall (strong winds) + Large hail + Smoke"},
  };
  for (const Case& c : cases) {
    const std::string text = DescribeObservation(c.decoded, c.celsius);
    EXPECT_NE(text.find(c.expectedPart), std::string::npos) << c.expectedPart << " in " << text;
  }
}

TEST(DescribeObservationTest, DamagedTextNeverFails) {
  for (const std::string& d : {std::string(), std::string("3"), std::string(200, '\x01'), std::string(63, 'Z')}) {
    EXPECT_EQ(DescribeObservation(d, false).substr(0, 5), "Sky: ");
  }
}

}  // namespace
}  // namespace norvane
