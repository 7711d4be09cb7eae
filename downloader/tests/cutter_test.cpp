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

// Files without "=": cycle files (date line, report, empty line) and one report a line,
// with continuation lines that begin with blanks.
TEST(CutBulletin, LayoutsWithoutEndMarks) {
  struct Case { const char* name; std::string bulletin; std::vector<std::string> want; } cases[] = {
      {"cycle file", "2026/12/08 13:51\nKABC 081351Z 27010KT\n\n2026/12/08 13:50\nEGLL 081350Z 24008KT Q1012\n\n",
       {"KABC 081351Z 27010KT ", "EGLL 081350Z 24008KT Q1012 "}},
      {"one a line", "\nKABC 081351Z 27010KT\nEGLL 081350Z 24008KT\r\nMETAR LFPG 081350Z 18005KT\n=\r\n",
       {"KABC 081351Z 27010KT ", "EGLL 081350Z 24008KT ", "LFPG 081350Z 18005KT "}},
      {"continuation lines", "\nKABC 081351Z 27010KT\n     RMK AO2\n\tSLP036\nEGLL 081350Z 24008KT\n",
       {"KABC 081351Z 27010KT RMK AO2 SLP036 "}},
      {"a stray line ends nothing", "\nKABC 081351Z 27010KT\nstray\n\nEGLL 081350Z 9999=\r\n",
       {"KABC 081351Z 27010KT ", "EGLL 081350Z 9999 "}},
      {"CR-only line ends", "\rKABC 081351Z 27010KT\rEGLL 081350Z 24008KT\r\r",
       {"KABC 081351Z 27010KT ", "EGLL 081350Z 24008KT "}},
      {"a date line without its report", "\n2026/12/08 13:51\n\n2026/12/08 13:50\nKABC 081350Z 9999\n\n",
       {"KABC 081350Z 9999 "}},
      {"cut short in mid-line", "\n2026/12/08 13:51\nKABC 081351Z 27010KT\n\n2026/12/08 13:50\nEGLL 0813", 
       {"KABC 081351Z 27010KT "}},
      {"a line longer than the search", "\nKABC 081351Z " + std::string(100000, 'x') + "\nEGLL 081350Z 9999\n\n",
       {"EGLL 081350Z 9999 "}},
      {"NUL bytes", std::string("\nKABC 081351Z 27\0""010KT\n\nEGLL 081350Z 9999\n\n", 43),
       {"KABC 081351Z 27 010KT ", "EGLL 081350Z 9999 "}},
  };
  for (const auto& c : cases) EXPECT_EQ(Cut(c.bulletin), c.want) << c.name;
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
