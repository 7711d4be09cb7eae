#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "obs/decoded_observation.h"
#include "obs/report_cleaning.h"

namespace norvane {
namespace {

// One expectation on a decoded text: the run of columns starting at `first`.
struct Field { int first; std::string text; };
struct Case { const char* name; std::string report; std::vector<Field> fields; };

std::string Decode(const std::string& raw) { return DecodeReport(CleanReport(raw)); }

void ExpectFields(const Case& c) {
  const std::string decoded = Decode(c.report);
  ASSERT_EQ(decoded.size(), 63u) << c.name;
  for (const Field& f : c.fields) {
    EXPECT_EQ(decoded.substr(static_cast<std::size_t>(f.first - 1), f.text.size()), f.text)
        << c.name << " at column " << f.first << ": " << decoded;
  }
}

// Reports without a "KT " group (SAO reports among them) keep every template value, beyond a
// CAVOK pair and a peak-wind remark.
TEST(DecodeReport, TemplateForReportsWithoutAnchors) {
  const std::string blank(DecodedTemplate());
  EXPECT_EQ(blank, "000000000000000000000000000000099990000099999900000009999999000");
  for (const char* report : {"", " ", "KJFK ", "SVBC 020002Z AUTO NIL ", "KJFK 011200Z",
                             "KASE 012353Z COR 20010G19 10SM FEW120 22/M07 A3005 RMK AO2 SLP064 ",
                             "WXL SA 1400 AUTO8 M M M M/19/06/1806/M/     M 75MM",
                             "WZR SA 1400 AUTO8 M M M 046/01/00/0401/M/M 1005 6-4MM",
                             "BOS SA 1450 15 SCT M25 OVC 4R- 132/45/41/0515/992"}) {
    EXPECT_EQ(DecodeReport(report), blank) << report;
    EXPECT_EQ(Decode(report), blank) << report;
  }
  EXPECT_EQ(Decode("BOS SA 1450 CLR 15 132/45/41/2815G25/992 PK WND 28045/1430").substr(60), "045");
}

// Synthetic reports for what the hand-checked real reports below do not show.
TEST(DecodeReport, SyntheticReports) {
  auto flags = [](std::initializer_list<int> columns) {
    std::string f(30, '0');
    for (int c : columns) f[static_cast<std::size_t>(c - 2)] = '1';
    return f;
  };
  const std::vector<Case> cases = {
      // CAVOK pairs; in metres per second there is no knots group, yet the pair is still read.
      {"two and two", "EGLL 011200Z 24010KT CAVOK 15/08 Q1020", {{41, "015008"}, {35, "9"}}},
      {"two and minus", "EGLL 011200Z 24010KT CAVOK 05/M03 Q1020", {{41, "005M03"}}},
      {"both minus", "UUEE 011200Z 05005KT CAVOK M05/M10 Q1030", {{41, "M05M10"}}},
      {"no knots", "UUEE 011200Z 05005MPS CAVOK M12/M15 Q1030", {{41, "M12M15"}, {47, "000000"}, {61, "000"}}},
      {"no pair", "EGLL 011200Z 24010KT CAVOK Q1020", {{41, "999999"}}},
      // Wind groups and the peak wind.
      {"three-digit speed", "KXYZ 011200Z 270120KT 10SM CLR 20/10", {{47, "270120"}, {61, "120"}}},
      {"three-digit gust", "KXYZ 011200Z 27015G105KT 10SM CLR 20/10", {{47, "270015"}, {61, "105"}}},
      {"both three-digit, gust over 128", "KXYZ 011200Z 270115G130KT 10SM CLR", {{47, "270115"}, {61, "000"}}},
      {"three-digit speed, two-digit gust", "KXYZ 011200Z 270115G25KT 10SM CLR", {{47, "000000"}, {61, "025"}}},
      {"variable", "KXYZ 011200Z VRB03KT 10SM CLR 20/10", {{47, "VRB003"}, {61, "003"}}},
      {"peak wind three digits", "KXYZ 011200Z 27015G25KT 10SM CLR 20/10 RMK PK WND 280105/1630", {{61, "105"}}},
      // A garbled negative gust is no peak wind; it must not write a minus sign.
      {"negative gust", "KXYZ 011200Z 27015G-5KT 10SM CLR", {{47, "270015"}, {61, "000"}}},
      // Sky cover, ceiling and the temperature pair after the layers.
      {"broken then overcast", "KXYZ 011200Z 27010KT 10SM BKN030 OVC100 20/10", {{32, "0304"}, {41, "020010"}}},
      {"no ceiling", "KXYZ 011200Z 27010KT 10SM FEW010 SCT020 20/10", {{32, "9992"}}},
      {"clear, pair after it", "KXYZ 011200Z 27010KT 10SM CLR M05/M10 A3000", {{32, "9990"}, {41, "M05M10"}}},
      {"sky clear", "KXYZ 011200Z 27010KT 9999 SKC 20/10 Q1010", {{35, "0"}, {41, "020010"}}},
      // A pair ending the report is followed by two blanks; its dew point must not take one.
      {"pair at the end after clear", "KXYZ 011200Z 27010KT 9999 SKC 20/10", {{41, "020010"}}},
      {"pair at the end after VV", "KXYZ 011200Z 27010KT 1/4SM FG VV002 01/01", {{41, "001001"}}},
      {"unknown layer height", "BGBW 012350Z AUTO 22008KT 9999NDV BKN055/// 04/M03 Q1018", {{32, "0553"}}},
      {"pair after TCU", "XXXX 220200Z 36012KT 9999 SCT030TCU 30/M04 Q1007", {{35, "2"}, {41, "030M04"}}},
      // Remarks.
      {"threshold 650", "KXYZ 011200Z 27010KT 10SM CLR RMK SLP650", {{36, "10650"}}},
      {"just over 650", "KXYZ 011200Z 27010KT 10SM CLR RMK SLP651", {{36, "09651"}}},
      {"no pressure", "KXYZ 011200Z 27010KT 10SM CLR RMK SLPNO T01230456", {{36, "00000"}}},
      {"pressure only after RMK", "KXYZ 011200Z 27010KT 10SM CLR SLP132 RMK AO2", {{36, "00000"}}},
      // Weather, its intensity and flags.
      {"heavy thunderstorm", "KXYZ 011200Z 27010KT 1SM +TSRA OVC010", {{1, "3" + flags({8, 11})}}},
      {"heavy wins over light", "KXYZ 011200Z 27010KT 1SM +RA -SN OVC010", {{1, "3"}}},
      {"every pair", "KXYZ 011200Z 27010KT 1SM TSGR OVC010", {{1, "2" + flags({8, 13, 16})}}},
      {"recent weather", "KXYZ 011200Z 27010KT 9999 REBR FEW010", {{1, "2" + flags({19})}}},
      {"vicinity", "KXYZ 011200Z 27010KT 9999 VCSH FEW010", {{1, "2" + flags({7, 22})}}},
      {"pellets share a column", "KXYZ 011200Z 27010KT 9999 PE PL FEW010", {{1, "2" + flags({15})}}},
      {"visibility only", "KXYZ 011200Z 27010KT 9999 FEW010", {{1, "2" + flags({})}}},
      {"no sky group", "KXYZ 011200Z 27010KT 9999 -RA 15/10 Q1010", {{1, "0" + flags({})}}},
      {"sky group right after wind", "KXYZ 011200Z 27010KT FEW020 15/10", {{1, "0"}, {35, "1"}}},
  };
  for (const Case& c : cases) ExpectFields(c);
  EXPECT_EQ(FindPeakWind("KXYZ 011200Z 270115G130KT "), 130);
  EXPECT_EQ(FindPeakWind("KXYZ 011200Z 05005MPS "), 0);
  // Without the trailing blank of a cleaned report the wind group still ends the text.
  EXPECT_EQ(DecodeReport("KXYZ 011200Z 27010KT").substr(46), "27001009999999010");
}

// Real reports from the shared data, every column worked out by hand.
TEST(DecodeReport, HandCheckedRealReports) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"CAHR 020000Z AUTO 16016G23KT 11/09 RMK AO1 PK WND 17024/2317 SLP103 T01070086 58042",
       "000000000000000000000000000000099991010399999916001609999999024"},
      {"KDMA 012358Z AUTO 28012G17KT 10SM CLR 36/M05 A2989 RMK AO2 SLP077 T03621051 10368 20343 56014 FZRANO $",
       "2000000000000000000000000000000999010077036M0528001209999999017"},
      {"ESGT 020020Z AUTO 14002KT 0100 R15/0375D R33/0500N FG VV001 03/02 Q1000",
       "200000000000000000010000000000000150000000300214000209999999002"},
      {"ETAR 012356Z 25005KT 9999 FEW029 06/06 A2973 RMK AO2A SLP074 60005 T00580058 10125 20051 52015 FZRANO",
       "200000000000000000000000000000099911007400600625000509990005005"},
      {"KMWN 012351Z 29039G44KT 1/16SM FG VV000 02/02 RMK 60004 4/007 10047 20006",
       "200000000000000000010000000000000050000000200229003900070004044"},
      {"MSLP 020011Z 33007KT 260V010 3400 TSRA FEW013 BKN017 BKN033CB OVC047 23/23 Q1011 NOSIG",
       "200000010010000000000000000000001740000002302333000709999999007"},
      {"CWSW 020000Z 17007KT 120V240 20SM SCT076CB SCT090TCU BKN100 14/M02 A3007 RMK CB3TCU1AC1 CB S AND SW "
       "SLP197 DENSITY ALT 4400FT",
       "2000000000000000000000000000000100310197014M0217000709999999007"},
      {"GABS 020000Z 09009KT 050V110 9999 TS FEW030 FEW033CB 33/17 Q1015 TEMPO 04020G35KT 3500 TSRA",
       "200000010000000000000000000000099910000003301709000909999999009"},
      // A special report with freezing rain, snow remarks and a peak wind.
      {"KBOS 011456Z 04012G22KT 1SM -FZRA BR OVC008 M01/M02 A2990 RMK AO2 PK WND 05032/1430 SLP127 SNINCR "
       "4/005 P0003 T10061017",
       "1000000010100000001000000000000008410127M01M0204001210059999032"},
  };
  for (const auto& [report, expected] : cases) EXPECT_EQ(Decode(report), expected) << report;
}

TEST(CleanReport, CleansAsTheDownloaderFilesReports) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", " "}, {"KXYZ 011200Z", "KXYZ 011200Z "}, {"KXYZ  011200Z\r\n27010KT  ", "KXYZ 011200Z 27010KT "},
      {"RMK \"NW,E\"", "RMK 'NW;E' "}, {std::string("A\0B\tC", 5), "A B C "},
  };
  for (const auto& [raw, cleaned] : cases) EXPECT_EQ(CleanReport(raw), cleaned);
}

TEST(DecodedAccessors, FieldsAsReadersConvertThemAndShortTextIsNotReported) {
  EXPECT_EQ(DecodedColumn("", 41), '9');
  EXPECT_EQ(DecodedField(std::string("12\0", 3), 1, 4), "1200");
  EXPECT_EQ(DecodedColumn(DecodedTemplate(), 0), '0');
  EXPECT_EQ(DecodedColumn(DecodedTemplate(), 64), '0');
  const std::string d = Decode("KBOS 011456Z VRB12KT 1SM -FZRA BR OVC008 M01/002 A2990 RMK SLP982 SNINCR 4/005 60015");
  EXPECT_EQ(std::tuple(DecodedIntensity(d), DecodedHasWeather(d, "FZ"), DecodedHasWeather(d, "SN"),
                       DecodedWindVariable(d), DecodedWindDirection(d), DecodedWindSpeed(d), DecodedPeakWind(d),
                       DecodedSnowIncreasing(d)),
            std::tuple(1, true, false, true, 0, 12, 12, true));
  EXPECT_EQ(std::tuple(DecodedCeiling(d), DecodedSkyCover(d), DecodedTemperature(d), DecodedDewPoint(d),
                       DecodedSnowDepth(d)),
            std::tuple(8, 4, -1, 2, 5));
  EXPECT_DOUBLE_EQ(*DecodedSeaLevelPressure(d), 998.2);
  EXPECT_DOUBLE_EQ(*DecodedSixHourPrecipitation(d), 0.15);
  for (const std::string_view blank : {DecodedTemplate(), std::string_view()}) {
    EXPECT_FALSE(DecodedCeiling(blank) || DecodedSkyCover(blank) || DecodedSeaLevelPressure(blank) ||
                 DecodedTemperature(blank) || DecodedDewPoint(blank) || DecodedSnowDepth(blank) ||
                 DecodedSixHourPrecipitation(blank));
  }
  EXPECT_EQ(WeatherFlagColumn("VC"), 22);
  EXPECT_EQ(WeatherFlagColumn("XX"), 0);
}

TEST(DecodeReport, EverySharedReportDecodesToSixtyThreeColumns) {
  const std::string folder = NORVANE_SHARED_DATA;
  int files = 0;
  for (const char* name : {"sample_reports.txt", "world_reports.txt", "sao_reports.txt"}) {
    std::ifstream in(folder + "/" + name, std::ios::binary);
    if (!in) continue;
    ++files;
    std::string line;
    while (std::getline(in, line)) {
      ASSERT_EQ(Decode(line).size(), 63u) << line;
      // Every prefix too: truncated reports must never read outside the text.
      for (std::size_t n = 0; n < line.size(); n += 7) ASSERT_EQ(DecodeReport(line.substr(0, n)).size(), 63u);
    }
  }
  if (files == 0) GTEST_SKIP() << "shared observation data not found in " << folder;
}

}  // namespace
}  // namespace norvane
