#include <gtest/gtest.h>

#include "downloader/bulletin_cutter.h"
#include "downloader/report_dating.h"
#include "downloader/sample_bulletins.h"
#include "obs/report_cleaning.h"

namespace norvane {
namespace {

std::vector<StationPosition> Grid() {
  std::vector<StationPosition> stations;
  int n = 0;
  for (int lat = 2500; lat <= 5500; lat += 150)
    for (int lon = -12500; lon <= -6500; lon += 150) {
      char id[8];
      std::snprintf(id, sizeof id, "K%03d", n++ % 1000);
      stations.push_back({id, static_cast<std::int16_t>(lat), static_cast<std::int16_t>(lon)});
    }
  return stations;
}

// The bulletin must cut into one report per station, dated before the bulletin's hour
// (the day before at 00), and hold the weather a new user is meant to see.
TEST(SampleBulletin, CutsIntoDatedReportsWithVariedWeather) {
  const auto stations = Grid();
  const std::string bulletin = SampleBulletin(stations, 2027, 1, 1, 0);
  std::vector<std::string> reports;
  CutBulletin(bulletin, [&](const RawReport& r) { reports.push_back(CleanReport(r.text)); });
  ASSERT_EQ(reports.size(), stations.size());
  std::string all;
  for (const auto& r : reports) {
    EXPECT_EQ(DateReport(r, CivilTime{2027, 1, 1, 0, 10, 0}), "202612312353") << r;
    all += r;
  }
  for (const char* weather : {" RA ", " SN ", "TSRA", " FG ", "/////KT", "G", "SLP"})
    EXPECT_NE(all.find(weather), std::string::npos) << weather;
  EXPECT_NE(SampleBulletin(stations, 2027, 1, 1, 6), SampleBulletin(stations, 2027, 1, 1, 7));
}

}  // namespace
}  // namespace norvane
