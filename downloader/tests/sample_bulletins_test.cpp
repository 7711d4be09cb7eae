#include "downloader/sample_bulletins.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "downloader/bulletin_cutter.h"
#include "downloader/report_dating.h"
#include "obs/decoded_observation.h"
#include "obs/report_cleaning.h"

namespace norvane {
namespace {

std::vector<StationPosition> ShippedStations() {
  std::ifstream in(std::string(NORVANE_SOURCE_DIR) + "/data/latlong.stn", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return ParseLatLong(bytes.str());
}

std::vector<std::string> Reports(const std::string& bulletin) {
  std::vector<std::string> reports;
  CutBulletin(bulletin, [&](const RawReport& r) { reports.push_back(CleanReport(r.text)); });
  return reports;
}

bool IsSkyGroup(const std::string& group) {
  for (const char* cover : {"CLR", "VV", "FEW", "SCT", "BKN", "OVC"})
    if (group.rfind(cover, 0) == 0) return true;
  return false;
}

// The groups between the visibility and the first sky group, as a user reads them.
std::string WeatherText(const std::string& report) {
  std::istringstream groups(report.substr(report.find("SM ") + 3));
  std::string group, text;
  while (groups >> group && !IsSkyGroup(group)) text += group + " ";
  return text;
}

// Every report of the bulletin at 00 UTC is dated the day before, at 53 past 23.
TEST(SampleBulletin, CutsIntoReportsObservedBeforeTheBulletinHour) {
  const auto stations = ShippedStations();
  ASSERT_GT(stations.size(), 5000u);
  const std::string bulletin = SampleBulletin(stations, 2027, 1, 1, 0);
  const auto reports = Reports(bulletin);
  ASSERT_EQ(reports.size(), static_cast<std::size_t>(std::count_if(stations.begin(), stations.end(), [](const auto& s) {
              return s.identifier.size() == 4;
            })));
  std::string all;
  for (const auto& r : reports) {
    EXPECT_EQ(DateReport(r, CivilTime{2027, 1, 1, 0, 10, 0}), "202612312353") << r;
    EXPECT_NE(r.find(" RMK"), std::string::npos) << r;  // K reports without it are not filed
    all += r;
  }
  EXPECT_NE(all.find("/////KT"), std::string::npos);  // some stations miss groups
  EXPECT_EQ(bulletin, SampleBulletin(stations, 2027, 1, 1, 0));
  EXPECT_NE(bulletin, SampleBulletin(stations, 2027, 1, 1, 1));
}

// Decoded bulletins over a winter day: weather at a believable share of stations, of
// many kinds, never one report copied over a region, and the rare significant kinds
// somewhere in the day.
TEST(SampleBulletin, DecodesIntoAVariedBelievableDay) {
  const auto stations = ShippedStations();
  std::map<std::string, int> dayCounts;
  for (int hour = 0; hour < 24; hour += 3) {
    const auto reports = Reports(SampleBulletin(stations, 2027, 1, 1, hour));
    const double n = static_cast<double>(reports.size());
    std::map<std::string, int> counts, weatherTexts, bodies;
    int withWeather = 0, temperatures = 0, ceilings = 0;
    std::map<int, int> temperatureValues;
    for (const std::string& r : reports) {
      const DecodedObservation d = DecodeReport(r);
      bool any = false;
      for (int column = 2; column <= 31; ++column) any = any || DecodedWeatherFlag(d, column);
      for (const char* code : {"BR", "SN", "RA", "DZ", "TS", "GR"})
        if (DecodedHasWeather(d, code)) ++counts[code];
      if (DecodedHasWeather(d, "FZ") && (DecodedHasWeather(d, "RA") || DecodedHasWeather(d, "DZ"))) ++counts["FZ"];
      if (DecodedPeakWind(d) >= 40) ++counts["G40"];
      if (const auto t = DecodedTemperature(d)) ++temperatures, ++temperatureValues[*t];
      if (DecodedCeiling(d)) ++ceilings;
      if (any) ++withWeather, ++weatherTexts[WeatherText(r)];
      ++bodies[r.substr(r.find("Z ") + 2, r.find(" A") - r.find("Z ") - 2)];
    }
    SCOPED_TRACE("hour " + std::to_string(hour));
    EXPECT_GT(temperatures, 0.95 * n);
    EXPECT_GT(ceilings, 0.2 * n);
    EXPECT_GT(temperatureValues.size(), 50u);
    EXPECT_GT(withWeather, 0.08 * n);
    EXPECT_LT(withWeather, 0.25 * n);
    EXPECT_LT(counts["BR"], 0.12 * n);
    EXPECT_GT(counts["SN"], 0.005 * n);
    EXPECT_GT(counts["RA"] + counts["DZ"], 0.005 * n);
    int topWeather = 0, topBody = 0;
    for (const auto& [text, c] : weatherTexts) topWeather = std::max(topWeather, c);
    for (const auto& [text, c] : bodies) topBody = std::max(topBody, c);
    EXPECT_LT(topWeather, 0.6 * withWeather);
    EXPECT_LT(topBody, 0.02 * n);
    for (const auto& [code, c] : counts) dayCounts[code] += c;
    EXPECT_GT(weatherTexts.size(), 15u);
  }
  for (const char* rare : {"TS", "GR", "FZ", "G40"}) EXPECT_GT(dayCounts[rare], 0) << rare;
}

}  // namespace
}  // namespace norvane
