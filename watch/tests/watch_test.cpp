#include <gtest/gtest.h>

#include <cmath>

#include "obs/decoded_observation.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_reporter.h"
#include "watch/significant_weather.h"
#include "watch/watch.h"

namespace norvane {
namespace {

using testing::MemoryFileSystem;
using testing::RecordingReporter;

// The "not reported" template with some columns changed: {{column, text}, ...}.
std::string Decoded(std::initializer_list<std::pair<int, std::string_view>> columns) {
  std::string d(DecodedTemplate());
  for (const auto& [column, text] : columns) d.replace(static_cast<std::size_t>(column - 1), text.size(), text);
  return d;
}

constexpr std::string_view kPlain = "KORD 071151Z 27010KT 10SM FEW050 12/03 A2992 ";

TEST(WatchEventTest, FirstRowThatHoldsNamesTheEvent) {
  struct Case { std::string report, decoded; std::string_view event; };
  const std::string both = "KORD 071151Z TSGR RMK LTG DSNT CB ";
  const Case cases[] = {
      {both, Decoded({{29, "1"}, {16, "1"}, {8, "1"}}), "Funnel Cloud / Tornado"},
      {both, Decoded({{16, "1"}, {8, "1"}}), "Hail"},  // hail and thunder: the earlier row wins
      {both, Decoded({{53, "1"}, {8, "1"}}), "Snow Increasing Rapidly"},
      {both, Decoded({{8, "1"}, {61, "045"}}), "Thunder"},
      {both, Decoded({{61, "030"}, {9, "1"}, {11, "1"}}), "Winds >= 30kts"},
      {both, Decoded({{61, "029"}, {9, "1"}, {10, "1"}}), "Freezing Precip"},
      {both, Decoded({{9, "1"}, {13, "1"}}), "Snow Grains"},  // FZ without DZ or RA is no freezing precip
      {both, Decoded({{15, "1"}, {17, "1"}}), "Ice Pellets"},
      {both, Decoded({{17, "1"}, {27, "1"}}), "Small Hail"},
      {both, Decoded({{27, "1"}, {28, "1"}}), "Well Developed Dust-Devil"},
      {both, Decoded({{28, "1"}, {57, "0101"}}), "Squall"},
      {both, Decoded({{57, "0101"}, {54, "002"}}), "Heavy Precip Possibility ( >1 Inch In 6-Group)"},
      {both, Decoded({{57, "0100"}, {54, "002"}}), ">= 2 Inches Snow"},
      {both, Decoded({{57, "9999"}, {54, "001"}}), "LTG Carried"},
      {both, Decoded({{54, "999"}}), "LTG Carried"},
      {"KORD 071151Z FEW030CB RMK LTG DSNT ", Decoded({}), "CB Carried"},  // the earlier position decides
      {"KORD 071151Z RMK LTG DATA MSG ", Decoded({}), ""},
      {"KORD 071151Z RMK LTG DATA MISG CB ", Decoded({}), "CB Carried"},  // CB as the last group
      {"KORD 071151Z RMK LTGICCG ", Decoded({}), "LTG Carried"},
      {std::string(kPlain), Decoded({}), ""},
      {"KORD 071151Z RMK", Decoded({{16, "1"}}).substr(0, 12), ""},  // a cut-short decoded text
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SignificantEvent(c.report, c.decoded), c.event) << c.report << " / " << c.decoded;
  }
}

TEST(WatchDistanceTest, PointsUpToTheWatchDistanceAreListedWithTruncatedDistances) {
  const PointOfInterest home{"Home", 4198, -8790};
  // Identical positions are 0 apart: listed even with a watch distance of 0.
  EXPECT_EQ(NearbyPoints(41.98, -87.9, {home}, 0, 3440), "(0 Home) ");
  EXPECT_EQ(NearbyPoints(41.99, -87.9, {home}, 0, 3440), "");
  // Just inside and just outside 15 (the latitude where the distance crosses it).
  double nearLat = 41.98, farLat = 42.5;
  for (int k = 0; k < 200; ++k) {
    const double mid = (nearLat + farLat) / 2;
    (PointDistance(mid, -87.9, home, 3440) <= 15.0f ? nearLat : farLat) = mid;
  }
  ASSERT_NEAR(PointDistance(nearLat, -87.9, home, 3440), 15.0f, 1e-3);
  EXPECT_EQ(NearbyPoints(nearLat, -87.9, {home}, 15, 3440),
            "(" + WatchDistanceText(PointDistance(nearLat, -87.9, home, 3440)) + " Home) ");
  EXPECT_EQ(NearbyPoints(farLat, -87.9, {home}, 15, 3440), "");

  const std::pair<float, std::string_view> shown[] = {{12.36f, "12.3"}, {12.0f, "12"}, {0.55f, ".5"}, {0.04f, "0"}};
  for (const auto& [d, text] : shown) EXPECT_EQ(WatchDistanceText(d), text) << d;
}

struct WatchFixture {
  MemoryFileSystem fs;
  RecordingReporter reporter;
  PointList points{{"Airport", 4198, -8790}, {"Downtown", 4188, -8763}, {"Far", 3000, -9000}};
  WatchBox box;
  WatchContext context{fs, reporter, points, 15, 3440, box};
};

TEST(WatchTest, NoticeGoesOnTopOfTheBoxAndIntoVerifyOut) {
  WatchFixture f;
  f.box.AddWatchLine("older");
  const WatchHandOff hail{41.95, -87.80, "KORD 071151Z GR ", Decoded({{16, "1"}}), 12345};
  const WatchHandOff farAway{20.0, -150.0, "PHNL 071151Z GR ", Decoded({{16, "1"}}), 12346};
  const WatchHandOff quiet{41.95, -87.80, std::string(kPlain), Decoded({}), 12347};
  const WatchHandOff batch[] = {farAway, hail, quiet};
  const WatchSummary summary = WatchReports(f.context, batch);

  EXPECT_EQ(summary.notices, 1);
  const std::string list = NearbyPoints(41.95, -87.80, f.points, 15, 3440);
  EXPECT_EQ(list.rfind("(", 0), 0u);
  EXPECT_NE(list.find(" Airport) ("), std::string::npos);  // list order
  EXPECT_NE(list.find(" Downtown) "), std::string::npos);
  EXPECT_EQ(f.box.Text(), "Hail -- " + list + "\r\n KORD 071151Z GR \r\n\r\nolder\r\n");
  EXPECT_EQ(f.fs.files.at("verify.out"),
            "12345\r\n\"\"\r\n\"  KORD 071151Z GR \"\r\n\"Hail -- " + list + "\"\r\n");
}

TEST(WatchTest, BoxKeepsTheNewestTextWithinItsLimit) {
  WatchBox box;
  for (int k = 0; k < 200; ++k) box.AddWatchLine("line " + std::to_string(k) + std::string(30, '.'));
  EXPECT_EQ(box.Text().size(), kWatchBoxLimit);
  EXPECT_EQ(box.Text().rfind("line 199", 0), 0u);
}

TEST(WatchTest, ReportsFiledAgainAfterAFailedDownloadAreWatchedOnce) {
  WatchFixture f;
  const WatchHandOff ts{41.95, -87.80, "KORD 071151Z TS ", Decoded({{8, "1"}}), 500};
  const WatchHandOff later{41.95, -87.80, "KORD 071251Z TS ", Decoded({{8, "1"}}), 560};
  const WatchHandOff first[] = {ts};
  WatchReports(f.context, first);
  const std::string afterFirst = f.fs.files.at("verify.out");
  // The failed download left its records in "watch.zzz"; the next one files them again.
  const WatchHandOff second[] = {ts, later, later};
  const WatchSummary summary = WatchReports(f.context, second);
  EXPECT_EQ(summary.notices, 1);
  EXPECT_EQ(summary.repeats, 2);
  EXPECT_EQ(f.fs.files.at("verify.out").substr(0, afterFirst.size()), afterFirst);
  EXPECT_EQ(ReadVerification(f.fs.files.at("verify.out")).entries.size(), 2u);
}

TEST(WatchTest, FailedWriteKeepsVerifyOutAndIsReported) {
  WatchFixture f;
  f.fs.files["verify.out"] = FormatVerificationEntry({1, "", "  X ", "Hail -- (1 A) "});
  const std::string old = f.fs.files["verify.out"];
  f.fs.failRenames = true;
  const WatchHandOff ts[] = {{41.95, -87.80, "KORD 071151Z TS ", Decoded({{8, "1"}}), 500}};
  EXPECT_FALSE(WatchReports(f.context, ts).verificationWritten);
  EXPECT_EQ(f.fs.files.at("verify.out"), old);
  EXPECT_EQ(f.reporter.shown.size(), 1u);
}

TEST(WatchTest, HandOffFileSkipsDamagedRecords) {
  const std::string good = FormatWatchRecord({4198, -8790, "KORD 071151Z TS ", Decoded({{8, "1"}}), 500});
  struct Case { std::string bytes; std::size_t records; int skipped; };
  const Case cases[] = {
      {good + good, 2, 0},
      {"9100,-8790,\"KORD 1Z \",\"d\",500\r\n" + good, 1, 1},           // latitude out of range
      {"4198,-18001,\"KORD 1Z \",\"d\",500\r\n" + good, 1, 1},          // longitude out of range
      {"4198,-8790,\"KORD 1Z \",\"d\",99999999999\r\n" + good, 1, 1},   // time beyond 32 bits
      {"4198,-8790,\"KORD 1Z \",\"d\",abc\r\n" + good, 1, 1},           // garbage time
      {"4198,\"KORD 1Z \",\"d\",500\r\n" + good, 1, 1},                 // a field missing
      {good + good.substr(0, good.size() - 4), 1, 1},                   // cut short
      {"\x01\xff,,,\r\n\r\n", 0, 1},
  };
  for (const Case& c : cases) {
    const HandOffsRead read = ReadHandOffs(c.bytes);
    EXPECT_EQ(read.records.size(), c.records) << c.bytes;
    EXPECT_EQ(read.skipped, c.skipped) << c.bytes;
  }

  WatchFixture f;
  f.fs.files["watch.zzz"] = "4198,-8790,\"KORD 1Z \",\"d\",abc\r\n" + good;
  EXPECT_EQ(WatchHandOffFile(f.context).notices, 1);
  EXPECT_EQ(f.reporter.shown, (std::vector<std::string>{"Skipped 1 damaged records of 'watch.zzz'"}));
}

}  // namespace
}  // namespace norvane
