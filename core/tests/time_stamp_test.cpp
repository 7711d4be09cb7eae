#include "core/time_stamp.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/fakes/fake_clock.h"

namespace norvane {
namespace {

TEST(TimeStamp, MinutesFromTheEpochAcrossCenturyAndLeapRules) {
  EXPECT_EQ(StampToMinutes("199812310000"), 0);
  EXPECT_EQ(StampToMinutes("1999010112XX"), 1440 + 12 * 60);  // a non-numeric field reads as zero
  EXPECT_EQ(StampToMinutes(""), StampToMinutes("000000000000"));
  struct Span { const char *from, *to; int minutes; };
  for (const Span& s : {Span{"200002280000", "200003010000", 2880}, {"190002280000", "190003010000", 1440},
                        {"200402280000", "200403010000", 2880}, {"210002280000", "210003010000", 1440},
                        {"200001010000", "200101010000", 366 * 1440}}) {
    EXPECT_EQ(StampToMinutes(s.to) - StampToMinutes(s.from), s.minutes) << s.from << " to " << s.to;
  }
  for (auto [m, y, days] : {std::tuple{2, 2100, 28}, {2, 2400, 29}, {2, 2024, 29}, {4, 2024, 30}, {13, 2024, 0}})
    EXPECT_EQ(DaysInMonth(m, y), days) << m << "/" << y;
  testing::FakeClock clock;
  clock.Set(2001, 3, 4, 5, 6);
  EXPECT_EQ(NowStamp(clock), "200103040506");
  EXPECT_EQ(MinutesNow(clock), StampToMinutes("200103040506"));
}

TEST(TimeStamp, AddHoursCarriesDayMonthAndYear) {
  struct Case { const char* from; int hours; const char* to; };
  const Case cases[] = {
      {"200001010030", -1, "199912312330"}, {"200002282300", 1, "200002290000"},
      {"200102282300", 1, "200103010000"},  {"200112312300", 2, "200201010100"},
      {"200103011500", -24 * 365, "200003011500"}, {"199901010000", 48, "199901030000"},
  };
  for (const Case& c : cases) EXPECT_EQ(StampAddHours(c.from, c.hours), c.to) << c.from << " " << c.hours;
  EXPECT_EQ(StampAddHours("200013010000", 30).size(), 12u);  // a garbage month must not loop for ever
}

}  // namespace
}  // namespace norvane
