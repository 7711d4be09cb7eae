#include "commands/special_download.h"

#include <gtest/gtest.h>

#include "core/time_stamp.h"

namespace norvane {
namespace {

TEST(SpecialDownload, AcceptsTheLast48HoursOnly) {
  const std::int32_t now = StampToMinutes("200103041230");
  struct Case { const char *y, *m, *d, *h; bool ok; const char* message; };
  const Case cases[] = {
      {"2001", "03", "04", "12", true, ""},
      {"2001", "03", "02", "12", true, ""},   // 2910 minutes back
      {"2001", "03", "04", "13", false, "Cannot retrieve observations from the future."},
      {"2001", "03", "02", "11", false, "Cannot retrieve observations over 48 hours old."},
      {"2001", "13", "02", "11", false, "Invalid month."},
      {"1998", "12", "31", "11", false, "Years are from 1999 to 6000."},
      {"2001", "03", "02", "24", false, "Hours are from 00 to 23."},
      {"2001", "02", "29", "10", false, "Illegal days for year and month."},
      {"abc", "x", "", "", false, "Invalid month."},
  };
  for (const Case& c : cases) {
    auto r = CheckSpecialDownload(c.y, c.m, c.d, c.h, now);
    EXPECT_EQ(r.ok, c.ok) << c.d << " " << c.h;
    EXPECT_EQ(r.message, c.message) << c.d << " " << c.h;
  }
  EXPECT_EQ(CheckSpecialDownload("2001", "3", "4", "9", now).stamp, "2001030409");
  // 29 February only in a leap year.
  EXPECT_TRUE(CheckSpecialDownload("2000", "2", "29", "12", StampToMinutes("200003011200")).ok);
}

}  // namespace
}  // namespace norvane
