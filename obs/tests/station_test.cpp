#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "core/local_file_system.h"

#include "obs/observation_store.h"
#include "obs/station_queries.h"
#include "obs/station_tables.h"
#include "tests/fakes/memory_file_system.h"

namespace norvane {
namespace {

using testing::MemoryFileSystem;

const char* kMain =
    "\"KORD\",\"\",\"\",\"Chicago O'Hare\",\"IL\",\"United States\",\"\",4198,-8790,0,0,\"205\",\"\",\"\"\r\n"
    "\"KBAD\",\"\",\"\",\"Bad\",\"\",\"X\",\"\",40000,0,0,0,\"\",\"\",\"\"\r\n"
    "\"EGLL\",\"\",\"\",\"London Heathrow\",\"\",\"United Kingdom\",\"\",5148,-45,0,0,\"\",\"\",\"\"\r\n"
    "\"KMDW\",\"\",\"\",\"Chicago Midway\",\"IL\",\"United States\",\"\",4178,-8775,0,0,\"\",\"\",\"\"\r\n";

TEST(StationTablesTest, LatLongReaderSkipsBadRecordsAndStopsAtLimit) {
  StationReadResult result;
  auto stations = ParseLatLong("\"KORD\",4198,-8790\r\n\"KBAD\",40000,0\r\n\"EGLL\",5148,-45\r\n\"KX", &result);
  ASSERT_EQ(stations.size(), 2u);
  EXPECT_EQ(stations[1], (StationPosition{"EGLL", 5148, -45}));
  EXPECT_EQ(result.skipped, 1);
  EXPECT_FALSE(result.problem.empty());
  EXPECT_EQ(ParseLatLong(FormatLatLong(stations)), stations);

  std::vector<StationPosition> many;
  for (int i = 0; i < 6100; ++i) many.push_back({"S" + std::to_string(i), 1, 2});
  stations = ParseLatLong(FormatLatLong(many), &result);
  EXPECT_EQ(stations.size(), 6001u);
  EXPECT_TRUE(result.truncated);
  EXPECT_TRUE(ParseLatLong("").empty());
}

TEST(StationTablesTest, MainStationsAndPlaceNames) {
  MemoryFileSystem fs;
  EXPECT_EQ(StationPlaceName(fs, "KORD"), "");
  fs.files["main.stn"] = kMain;
  EXPECT_EQ(StationPlaceName(fs, "KORD"), "Chicago O'Hare, IL");
  EXPECT_EQ(StationPlaceName(fs, "EGLL"), "London Heathrow, United Kingdom");
  EXPECT_EQ(StationPlaceName(fs, "KBAD"), "");
  const auto stations = ParseMainStations(kMain);
  ASSERT_EQ(stations.size(), 3u);
  EXPECT_EQ(ParseMainStations(FormatMainStations(stations)), stations);
}

TEST(StationTablesTest, WhoisFillsEntryAndListsUnknownOnce) {
  MemoryFileSystem fs;
  StationTable table{{{"KORD", 4198, -8790}}};
  ObservationStore store;
  EXPECT_TRUE(Whois(fs, table, "KORD", store, 3));
  EXPECT_EQ(store[3].identifier, "KORD");
  EXPECT_EQ(store[3].longitude, -8790);
  EXPECT_FALSE(Whois(fs, table, "ZZZZ", store, 4));
  EXPECT_FALSE(Whois(fs, table, "ZZZZ", store, 4));
  EXPECT_EQ(fs.files["unkn.stn"], "\"ZZZZ\"\r\n");
  EXPECT_FALSE(Whois(fs, table, "KORD", store, 6001));
}

TEST(StationQueriesTest, WhoisAndNear) {
  MemoryFileSystem fs;
  fs.files["main.stn"] = kMain;
  auto answer = StationDescription(fs, "KORD");
  EXPECT_EQ(answer.messages, (std::vector<std::string>{kSeparator, "Elevation: 205M / 672Ft",
                                                       "41.98N, 87.9W", "IL, United States",
                                                       "KORD - Chicago O'Hare"}));
  EXPECT_EQ(StationDescription(fs, "EGLL").messages[1], "51.48N, .45W");
  EXPECT_EQ(StationDescription(fs, "NONE").messages.back(), "ICAO was not found");

  answer = NearbyStations(fs, "KORD", "50", "", 15, 3440);
  ASSERT_EQ(answer.messages.size(), 3u);
  EXPECT_EQ(answer.messages[1], "0 KORD - Chicago O'Hare");
  EXPECT_EQ(answer.messages[2].substr(answer.messages[2].find(' ')), " KMDW - Chicago Midway");
  EXPECT_EQ(NearbyStations(fs, "NONE", "", "", 15, 3440).replaceOutput, "ICAO was not found in database.");
  EXPECT_EQ(NearbyStations(fs, "0", "45", "", 15, 3440).messages.back(),
            "Invalid use of the 'NEAR' command.  Refer to Help > Help for information on its use.");
  EXPECT_EQ(NearbyStations(fs, "95", "10", "", 15, 3440).messages.back(),
            "Invalid Lat/Long entry.  Refer to Help > Help for more information.");
  // Radius 700 is out of range, so the watch distance (1) applies: only KORD itself.
  EXPECT_EQ(NearbyStations(fs, "KORD", "700", "", 1, 3440).messages.size(), 2u);
}

TEST(StationQueriesTest, ReportListing) {
  MemoryFileSystem fs;
  ObservationStore store;
  store[0].identifier = "KORD";
  store[0].reports[0] = {10000, "KORD 1Z A ", "d"};
  store[0].reports[1] = {10000 - 50 * 60, "KORD 2Z B ", "d"};
  store[0].reports[2] = {9990, "KORD 3Z C ", "d"};  // after a stop: not listed
  store[1].identifier = "end";
  fs.files["obsfolder/KORD.obs"] = FormatArchive({{1, "KORD 9Z OLD ", "d"}, {9000, "KORD 4Z D ", "d"}});
  auto answer = StationReportListing(fs, store, "KORD", "", 10000);
  EXPECT_EQ(answer.messages, (std::vector<std::string>{kSeparator, "  KORD 1Z A \r\n*   KORD 4Z D \r\n* "}));
  answer = StationReportListing(fs, store, "KORD", "100", 10000);
  EXPECT_EQ(answer.messages[1], "  KORD 1Z A \r\n*   KORD 2Z B \r\n*   KORD 3Z C \r\n*   KORD 4Z D \r\n* ");
  EXPECT_EQ(StationReportListing(fs, store, "EGLL", "", 10000).messages.back(), "ICAO was not found.");
}

TEST(StationTablesTest, ShippedTablesAreCompleteAndAgree) {
  LocalFileSystem fs(std::filesystem::path(NORVANE_SOURCE_DIR) / "data");
  if (!fs.Exists("latlong.stn")) GTEST_SKIP() << "data/latlong.stn is not generated";
  StationReadResult latlong, main;
  const StationTable table = StationTable::Load(fs, &latlong);
  const auto stations = ParseMainStations(*fs.ReadAll("main.stn"), &main);
  EXPECT_EQ(latlong.problem + main.problem, "");
  EXPECT_GT(stations.size(), 1000u);
  EXPECT_LE(stations.size(), 6001u);
  ASSERT_EQ(stations.size(), table.Stations().size());
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const StationPosition& p = table.Stations()[i];
    ASSERT_EQ(std::tie(stations[i].identifier, stations[i].latitude), std::tie(p.identifier, p.latitude));
    ASSERT_TRUE(i == 0 || table.Stations()[i - 1].identifier < p.identifier) << p.identifier;
  }
  const StationPosition* ord = table.Find("KORD");
  ASSERT_NE(ord, nullptr);
  EXPECT_LT(std::abs(ord->latitude - 4198) + std::abs(ord->longitude + 8790), 10);
}

}  // namespace
}  // namespace norvane
