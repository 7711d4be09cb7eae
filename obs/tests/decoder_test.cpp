#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "obs/decoded_observation.h"
#include "obs/observation_reading.h"
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

// Texts that are no METAR (SAO reports, fragments, an identifier alone) keep every
// template value.
TEST(DecodeReport, TemplateForTextsThatAreNoReport) {
  const std::string blank(DecodedTemplate());
  EXPECT_EQ(blank, "000000000000000000000000000000099990000099999900000009999999000");
  for (const char* report : {"", " ", "KJFK ", "SVBC 020002Z AUTO NIL ", "KJFK 011200Z",
                             "WXL SA 1400 AUTO8 M M M M/19/06/1806/M/     M 75MM",
                             "WZR SA 1400 AUTO8 M M M 046/01/00/0401/M/M 1005 6-4MM",
                             "BOS SA 1450 15 SCT M25 OVC 4R- 132/45/41/0515/992"}) {
    EXPECT_EQ(DecodeReport(report), blank) << report;
    EXPECT_EQ(Decode(report), blank) << report;
  }
}

// What a forecaster reads from real reports of the shared data, one or two per kind of
// group. Columns: 1 intensity, 2-31 flags, 32-34 ceiling, 35 sky, 36-40 pressure,
// 41-46 temperature and dew point, 47-52 wind, 61-63 peak wind.
TEST(DecodeReport, RealReportsAsAForecasterReadsThem) {
  auto flags = [](std::initializer_list<int> columns) {
    std::string f(30, '0');
    for (int c : columns) f[static_cast<std::size_t>(c - 2)] = '1';
    return f;
  };
  const std::vector<Case> cases = {
      // Winds in metres per second and kilometres per hour, converted to knots.
      {"metres per second", "LBPD 262100Z 27005MPS 9999 -RA SCT040 OVC060 12/11 Q1014 NOSIG",
       {{1, "1" + flags({11})}, {32, "0604101400120112700100"}, {61, "010"}}},
      {"mps with CAVOK and runway state", "UAOO 180730Z 03004MPS 020V080 CAVOK M04/M09 Q1027 R06/CLRD70 NOSIG",
       {{32, "999910270M04M09030008"}}},
      {"missing wind is not calm", "CYBQ 230043Z AUTO /////KT 9SM -SN OVC066 M03/M05 A2985 RMK WIND MISG SLP129",
       {{32, "066410129M03M05000000"}, {61, "000"}}},
      {"three-digit gust", "PATL 230023Z AUTO 07007G130KT 010V080 10SM BKN003 OVC026 00/00 A2990 RMK AO2 SLP140",
       {{47, "070007"}, {61, "130"}}},
      // Temperature wherever it stands; a missing dew point or pair stays missing.
      {"after NCD", "BGSF 180750Z AUTO 08011KT 9999NDV NCD M27/M31 Q1003",
       {{32, "999010030M27M31080011"}}},
      {"after NSC, weather kept", "DAON 230000Z 20012KT 8000 NSC 20/M05 Q1017", {{35, "910170020M05"}}},
      {"no cloud group", "CWEE 221800Z AUTO 17/06 RMK AO1 SLP118 T01680063 52004", {{35, "910118017006"}}},
      {"unknown layer heights", "BGBW 231050Z AUTO 21001KT 9999NDV FEW065/// BKN100/// BKN120/// 02/00 Q1004",
       {{32, "100310040002000"}}},
      {"dew point missing", "CWFD 262129Z AUTO 01003KT 1/8SM OVC014 M05/ A2945", {{32, "014409973M05999"}}},
      {"dew point slashes", "ESNG 220220Z AUTO 21007KT 9999 OVC006/// 01/// Q1004", {{41, "001999"}}},
      {"pair missing", "CFOX 231100Z AUTO ///// ////SM FEW007 BKN046 BKN065 M04/M04 A2942",
       {{32, "046309963M04M04000000"}}},
      {"T-group when the body has no pair", "CAHR 020000Z AUTO 16016G23KT RMK AO1 T01070086", {{41, "011009"}}},
      // Trends are no present weather.
      {"tempo", "LFOK 231130Z AUTO 18012KT CAVOK 21/16 Q1008 TEMPO 2000 TSRA BKN060CB",
       {{1, "0" + flags({})}, {32, "9999100800210161800120"}}},
      {"becmg", "EKCH 231120Z 24009KT 220V280 9999 BKN009 13/11 Q1014 BECMG SCT008", {{32, "0093"}}},
      // Missing heights give no ceiling.
      {"broken without height", "RJCC 220230Z 21014KT 9999 FEW025 BKN/// 20/11 Q1010", {{32, "99931010"}}},
      {"vertical visibility missing", "EGPC 220220Z AUTO 11012KT 0250 FG VV/// 12/12 Q1001",
       {{1, "2" + flags({20}) + "9995"}}},
      // Sky cover is the most cover of the body's layers.
      {"trailing CB layer", "FKKD 220200Z VRB01KT 8000 BKN013 FEW016CB 24/24 Q1010 NOSIG",
       {{32, "0133"}, {47, "VRB001"}}},
      {"cloud types named", "LOXZ 262050Z 04004KT 30KM -SHRA FEW030SC BKN060SC 09/08 Q1024 RMK BKN", {{32, "0603"}}},
      {"runway state is no sky", "UATG 262130Z 33006MPS 9999 BKN033CB BKN100 12/07 Q1010 R32/CLRD70 NOSIG",
       {{32, "0333"}}},
      // Vicinity weather is not at the station; thunder is heard there.
      {"fog nearby", "OITL 230000Z 18004KT 8000 VCFG SCT004 BKN030 FEW040CB BKN070 08/08 Q1026",
       {{1, "2" + flags({22}) + "0303"}}},
      {"rain nearby", "MDAB 262100Z 00000KT 8000 VCRA FEW016CB SCT017 SCT300 30/26 Q1010", {{1, "2" + flags({22})}}},
      {"thunder nearby", "GOTT 230000Z 06008KT 9999 VCTS SCT013 FEW026CB 27/25 Q1014", {{1, "2" + flags({8, 22})}}},
      {"no sand storm in pellets and snow",
       "RJBT 180714Z 34009KT 300V020 9999 -SHGSSN FEW005 BKN020 01/M03 Q1024 RMK 1ST005 5CU020 A3026 SNOW PELLETS",
       {{1, "1" + flags({7, 12, 17}) + "0203"}}},
      {"recent weather is past", "BIRK 180700Z 00000KT 9999 -SHSN SCT019 BKN026 M01/M02 Q0964 RESHSN R19/490248",
       {{1, "1" + flags({7, 12}) + "0263"}}},
      // Pressure: the SLP remark, else the Q or A group.
      {"altimeter without remark", "K0S9 231135Z AUTO 00000KT M1/4SM FG OVC001 02/02 A2998 RMK AO2",
       {{32, "0014101520020020000000"}}},
      {"remark wins over altimeter", "BGTL 180658Z AUTO 09010KT 9999 CLR M29/M32 A2968 RMK AO2 SLP044 T12911322",
       {{32, "999010044M29M32090010"}}},
      {"Q group missing", "GOOG 262100Z 24003KT 8000 VCTS FEW023CB 31/27 Q////", {{36, "00000031027"}}},
      // The remarks keep their groups as before.
      {"snow and precipitation remarks", "KMWN 012351Z 29039G44KT 1/16SM FG VV000 02/02 RMK 60004 4/007 10047",
       {{32, "00050000000200229003900070004044"}}},
  };
  for (const Case& c : cases) ExpectFields(c);
}

// What the columns have no room for.
TEST(ReadObservation, VisibilityTendencyAndWeatherGroups) {
  struct Visibility { const char* report; double metres; bool below; bool atLeast; };
  const std::vector<Visibility> visibilities = {
      {"CYSC 180750Z AUTO 29005KT 1 3/4SM -SN BKN005 OVC010 M00/M00 A2969 RMK SLP064", 1.75 * 1609.344, false, false},
      {"K0S9 231135Z AUTO 00000KT M1/4SM FG OVC001 02/02 A2998 RMK AO2", 0.25 * 1609.344, true, false},
      {"KXYZ 011200Z 27010KT P6SM SKC 20/10 A3000", 6 * 1609.344, false, true},
      {"EDDN 230020Z AUTO 12004KT 9999 1000 R10/P2000N BR NSC 09/09 Q1019", 10000, false, true},
      {"LOAN 231100Z 10006KT 0400 FG VV002", 400, false, false},
      {"EDDM 221850Z AUTO 11003KT 040V150 CAVOK 13/12 Q1020 BECMG 1200 BCFG", 10000, false, true},
  };
  for (const Visibility& v : visibilities) {
    const ObservationReading r = ReadObservation(CleanReport(v.report));
    ASSERT_TRUE(r.visibilityMetres) << v.report;
    EXPECT_NEAR(*r.visibilityMetres, v.metres, 0.01) << v.report;
    EXPECT_EQ(std::pair(r.visibilityBelow, r.visibilityAtLeast), std::pair(v.below, v.atLeast)) << v.report;
  }
  EXPECT_FALSE(ReadObservation("CFOX 231100Z AUTO ///// ////SM FEW007 M04/M04 A2942 ").visibilityMetres);

  const ObservationReading r =
      ReadObservation("KDMA 012358Z AUTO 28012G17KT 10SM -RA VCTS CLR 36/M05 A2989 RMK AO2 SLP077 56014 ");
  EXPECT_NEAR(*VisibilityStatuteMiles(r), 10, 1e-9);
  ASSERT_TRUE(r.pressureTendency);
  EXPECT_EQ(r.pressureTendency->characteristic, 6);
  EXPECT_DOUBLE_EQ(r.pressureTendency->change, -1.4);
  EXPECT_EQ(r.pressureSource, PressureSource::kSeaLevelRemark);
  ASSERT_EQ(r.presentWeatherCount, 2);
  EXPECT_EQ(r.presentWeather[0].Text(), "-RA");
  EXPECT_TRUE(r.presentWeather[1].vicinity);
  EXPECT_EQ(std::tuple(*r.windDirection, *r.windSpeed, *r.windGust, *r.temperature, *r.dewPoint),
            std::tuple(280, 12, 17, 36, -5));

  // A high station's altimeter setting reduced with its elevation and temperature.
  const char* denver = "KDEN 011200Z 27010KT 10SM CLR 20/M05 A3000 ";
  EXPECT_NEAR(*ReadObservation(denver).seaLevelPressure, 1015.9, 0.05);
  EXPECT_NEAR(*ReadObservation(denver, 1656.0).seaLevelPressure, 1005.2, 0.5);
  EXPECT_EQ(ReadObservation(denver, 1656.0).pressureSource, PressureSource::kAltimeter);
  EXPECT_NEAR(ReduceQnhToSeaLevel(1013.25, 0, std::nullopt), 1013.25, 1e-9);
}

// Damaged, cut, repeated, odd and mixed groups: a bad group never takes a good one's value.
TEST(DecodeReport, BadInput) {
  std::string twoHundred = "KXYZ 011200Z 27010KT 10SM BKN020 15/10 A3000";
  for (int i = 0; i < 200; ++i) twoHundred += " FEW300";
  const std::vector<Case> cases = {
      {"identifier only", "EGLL", {{1, std::string(DecodedTemplate())}}},
      {"cut inside the wind group", "EGLL 011200Z 2701", {{1, std::string(DecodedTemplate())}}},
      {"cut inside the pair", "EGLL 011200Z 27010KT 9999 FEW020 15/1", {{35, "1"}, {41, "999999"}}},
      {"repeated groups: the first wins", "EGLL 011200Z 27010KT 18030KT 9999 FEW020 15/10 02/01 Q1020 Q0990",
       {{36, "10200015010270010"}}},
      {"malformed groups ignored", "EGLL 011200Z 2701XKT 27010KT 9999 BKNXYZ OVC01 1X/10 15/10 Q10X0 Q1020",
       {{32, "99991020001501027001"}}},
      {"direction over 360", "EGLL 011200Z 99910KT 9999 15/10", {{47, "000000"}}},
      {"pressure beyond the possible", "EGLL 011200Z 27010KT 9999 15/10 Q0100", {{36, "00000"}}},
      {"lower case", "lbpd 262100z 27005mps 9999 -ra sct040 ovc060 12/11 q1014 nosig",
       {{1, "1"}, {11, "1"}, {32, "0604101400120112700100"}}},
      {"mixed units", "UUWW 011200Z 09036KMH 3/4SM 1500 BKN010 M02/M04 A2992 Q1000", {{32, "010310132M02M04090019"}}},
      {"two hundred groups", twoHundred, {{32, "020310159015010270010"}}},
      {"tenths and inches after Q", "OPRN 180700Z 23006KT 1000 HZ SKC 15/05 Q1022.3/30.18", {{36, "10223"}}},
      {"just below zero", "CYSC 180750Z AUTO 29005KT 1 3/4SM -SN BKN005 OVC010 M00/M00 A2969", {{41, "M00M00"}}},
      {"end sign", "EGLL 011200Z 27010KT 9999 15/10 Q1020=", {{36, "10200"}}},
  };
  for (const Case& c : cases) ExpectFields(c);
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
  const std::string d = Decode("KBOS 011456Z VRB12KT 1SM -FZRA BR OVC008 M01/02 A2990 RMK SLP982 SNINCR 4/005 60015");
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
