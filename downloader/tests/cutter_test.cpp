#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "downloader/bulletin_cutter.h"
#include "downloader/report_dating.h"
#include "obs/report_cleaning.h"

namespace norvane {
namespace {

std::vector<std::string> Cut(std::string_view b) {
  std::vector<std::string> out;
  CutBulletin(b, [&](const RawReport& r) { out.push_back(CleanReport(r.text)); });
  return out;
}

TEST(CutBulletin, SyntheticRules) {
  struct Case { std::string bulletin; std::vector<std::string> want; } cases[] = {
      {"\x01\r\r\nSAUS70 KWBC 081400\r\r\nMETAR\r\r\nKSPS 081352Z 10015KT RMK AO2\r\r\n   SLP036=\r\r\n\x03",
       {"KSPS 081352Z 10015KT RMK AO2 SLP036 "}},
      {"KSPS 081352Z 10015KT=\r\n", {}},                                 // header too close to the start
      {"\nX KSPS 001352Z 10015KT=\r\n", {}},                             // day-hour-minute not above 9999
      {"\nABCD 081352Z open" + std::string(1200, 'x') + "=\r\n", {}},  // no end within 1000 characters
      {"\r\nABCD 081352Z A\x03 \r\nEFGH 081353Z B=\nrest", {"ABCD 081352Z A ", "EFGH 081353Z B "}},
      {std::string("\0\xff\x80Z Z Z ", 9), {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Cut(c.bulletin), c.want) << c.bulletin;
}

TEST(CutBulletin, GarbageIsCutInBoundedSteps) {
  std::string b(5'000'000, 'Z');
  for (std::size_t i = 1; i < b.size(); i += 2) b[i] = ' ';
  b += "\nABCD 081352Z OK=\r\n";
  auto got = Cut(b);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], "ABCD 081352Z OK ");
}

TEST(CutBulletin, RealBulletins) {
  const std::filesystem::path dir = std::filesystem::path(NORVANE_SHARED_DATA) / "bulletins";
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "shared bulletins not found at " << dir;
  auto read = [&](const char* name) {
    std::ifstream in(dir / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str() + "=\r\n";
  };
  auto collective = Cut(read("pyiem_collective2.txt"));
  ASSERT_FALSE(collective.empty());
  EXPECT_EQ(collective[0], "KDMH 312354Z AUTO 00/M06 A3012 RMK AO1 SLP198 T00001061 10028 20000 55008 ");
  for (const auto& r : collective) EXPECT_EQ(r.find_first_of("\",\r\n"), std::string::npos) << r;
  auto nul = Cut(read("pyiem_nullbyte.txt"));
  ASSERT_EQ(nul.size(), 1u);
  EXPECT_EQ(nul[0].rfind("KNZY 231401Z AUTO 17004KT", 0), 0u);
  auto first = Cut(read("pyiem_first.txt"));
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[1].substr(0, 12), "KALO 010001Z");
}

TEST(DateReport, MonthAndYearRollOver) {
  struct Case { const char* report; CivilTime today; const char* want; } cases[] = {
      {"KABC 071200Z ", {2026, 12, 7, 12, 0, 0}, "202612071200"},
      {"KABC 312354Z ", {2026, 1, 1, 0, 10, 0}, "202512312354"},   // previous month and year
      {"KABC 010005Z ", {2026, 12, 31, 23, 0, 0}, "202701010005"},  // next month and year
      {"KABC 302354Z ", {2026, 3, 1, 0, 0, 0}, "202602302354"},    // 30 February: counted on into March
      {"KABC 311200Z ", {2026, 12, 7, 12, 0, 0}, "202611311200"},  // 31 November
      {"KABC 321200Z ", {2026, 12, 7, 12, 0, 0}, ""},
      {"KABC 291200Z ", {2024, 3, 2, 0, 0, 0}, "202402291200"},
      {"KABC 07126 Z ", {2026, 12, 7, 12, 0, 0}, ""},
      {"KABC 072460Z ", {2026, 12, 7, 12, 0, 0}, ""},
      {"KABC", {2026, 12, 7, 12, 0, 0}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DateReport(c.report, c.today), c.want) << c.report;
}

}  // namespace
}  // namespace norvane
