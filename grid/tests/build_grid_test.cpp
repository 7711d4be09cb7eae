#include "grid/build_grid.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

#include "core/great_circle.h"
#include "grid/tests/grid_test_support.h"
#include "tests/fakes/memory_file_system.h"

namespace norvane {
namespace {

using testing::Decoded;
using testing::DecodedFields;
using testing::Station;

constexpr std::int32_t kNow = 14'000'000;

struct FakeHooks : GridBuildHooks {
  std::vector<std::string> captions;
  std::vector<std::string> archiveAsks;
  std::map<std::string, std::vector<GridReport>> archives;
  int stations = 0;
  int stopAt = -1;
  void Caption(const std::string& text) override { captions.push_back(text); }
  bool BeforeStation() override { return stations++ != stopAt; }
  std::vector<GridReport> ArchiveReports(const std::string& id) override {
    archiveAsks.push_back(id);
    return archives[id];
  }
};

struct RecordingSink : GridStatusSink {
  std::vector<std::string> lines;
  void Status(const std::string& t, bool f) override { lines.push_back("status " + t + (f ? " final" : "")); }
  void Error(const std::string& t, bool f) override { lines.push_back("error " + t + (f ? " final" : "")); }
  void Abort() override { lines.push_back("abort"); }
};

GridBuildParameters Box(float lat1, float lon1, float lat2, float lon2, float step, int radius = 100,
                        int exponent = 1, int minutesBack = 0) {
  GridBuildParameters p;
  p.name = "t";
  p.startLatitude = lat1;
  p.startLongitude = lon1;
  p.endLatitude = lat2;
  p.endLongitude = lon2;
  p.latitudeStep = p.longitudeStep = step;
  p.radius = static_cast<std::int16_t>(radius);
  p.exponent = static_cast<std::int16_t>(exponent);
  p.minutesBack = minutesBack;
  return p;
}

Grid Grid_(const GridBuildParameters& p, const std::vector<GridStation>& stations, FakeHooks& hooks) {
  GridBuildContext ctx;
  ctx.nowMinutes = kNow;
  ctx.stations = stations;
  ctx.processNumber = "7";
  GridOutcome out = ComputeGrid(p, ctx, hooks);
  if (auto* r = std::get_if<GridRefusal>(&out)) ADD_FAILURE() << r->message;
  return std::holds_alternative<Grid>(out) ? std::get<Grid>(out) : Grid{};
}

Grid Grid_(const GridBuildParameters& p, const std::vector<GridStation>& stations) {
  FakeHooks hooks;
  return Grid_(p, stations, hooks);
}

TEST(BuildGrid, BoxIsOrderedAndCheckedInOrder) {
  struct Case { GridBuildParameters p; std::string refusal; };
  auto steps = [](GridBuildParameters p, float lat, float lon) { p.latitudeStep = lat; p.longitudeStep = lon; return p; };
  const Case cases[] = {
      {Box(30, -100, 30, -90, 1), "Cannot make grid because start latitude = end latitude"},
      {Box(30, -100, 40, -100, 1), "Cannot make grid because start Longitude = end longitude"},
      {steps(Box(30, -100, 40, -90, 1), 1, 0.0099f), "Cannot make grid because step interval for longitude is < 0.01"},
      {steps(Box(30, -100, 40, -90, 1), 0.0099f, 1), "Cannot make grid because step interval for latitude is < 0.01"},
      {steps(Box(30, -100, 40, -90, 1), 0, -1), "Cannot make grid because step interval for longitude is < 0.01"},
      {steps(Box(0, 0, 400, 1, 1), 0.01f, 1), "Cannot make grid because latitude grid is too large"},
      {steps(Box(0, 0, 1, 400, 1), 1, 0.01f), "Cannot make grid because longitude grid is too large"},
      {Box(30, -100, 30.5f, -90, 1), "Cannot make grid because latitude grid is too small"},
      {Box(30, -100, 40, -99.5f, 1), "Cannot make grid because longitude grid is too small"},
      // 501 x 501 cells pass both per-axis checks but cannot be numbered in 16 bits.
      {Box(0, 0, 50, 50, 0.1f), "Cannot make grid because grid is too large"},
      {Box(0, 0, 180, 182, 1), "Cannot make grid because grid is too large"},
      {Box(30, -100, 40, -90, INFINITY), "Cannot make grid because latitude grid is too small"},
  };
  for (const Case& c : cases) {
    auto r = OrderedGridBox(c.p);
    ASSERT_TRUE(std::holds_alternative<GridRefusal>(r)) << c.refusal;
    EXPECT_EQ(std::get<GridRefusal>(r).message, c.refusal);
  }
  // North-to-south and east-to-west boxes are ordered; steps of exactly 0.01 pass.
  auto ordered = OrderedGridBox(Box(40, -90, 30, -100, 1));
  ASSERT_TRUE(std::holds_alternative<GridHeader>(ordered));
  const GridHeader h = std::get<GridHeader>(ordered);
  EXPECT_EQ(h.StartLatitude, 30);
  EXPECT_EQ(h.EndLatitude, 40);
  EXPECT_EQ(h.StartLongitude, -100);
  EXPECT_EQ(h.EndLongitude, -90);
  EXPECT_TRUE(std::holds_alternative<GridHeader>(OrderedGridBox(Box(30, -100, 30.5f, -99.5f, 0.01f))));
  // One step wide gives two rows; a 182-row box of 181 columns stays under the limit.
  EXPECT_EQ(Grid_(Box(30, -100, 31, -99, 1), {}).size.rows, 2);
  EXPECT_EQ(Grid_(Box(-90, -90, 90, 90, 1), {}).cells.size(), 181u * 181u);
}

TEST(BuildGrid, EachQuantityOfOneReport) {
  DecodedFields f;
  f.temperature = "M05";
  f.dewPoint = "012";
  f.pressure = "10132";
  f.direction = "090";
  f.speed = "010";
  f.cover = "4";
  f.ceiling = "025";
  f.peak = "025";
  const Grid g = Grid_(Box(30, -100, 31, -99, 1), {Station("KAAA", 30, -100, kNow - 30, f)});
  const GridCell& c = g.At(0, 0);
  EXPECT_EQ(c.Temperature, -5);
  EXPECT_EQ(c.DewPoint, 12);
  EXPECT_NEAR(c.Pressure, 1013.2, 1e-9);
  EXPECT_EQ(c.WindSpeed, 10);
  EXPECT_NEAR(c.DirNorth, 0, 1e-6);
  EXPECT_NEAR(c.DirEast, 1, 1e-9);
  EXPECT_EQ(c.Ceiling, 25);
  EXPECT_EQ(c.PeakWind, 25);
}

TEST(BuildGrid, UnusableFieldsLeaveTheirQuantitiesMissing) {
  struct Case { const char* what; DecodedFields f; GridQuantity q; double expected; };
  DecodedFields base;
  auto with = [&](auto change) { DecodedFields f = base; change(f); return f; };
  const Case cases[] = {
      {"temperature 999", base, GridQuantity::Temperature, MissingValue},
      {"M then 00 is zero", with([](DecodedFields& f) { f.temperature = "M00"; }), GridQuantity::Temperature, 0},
      {"dew point 999", base, GridQuantity::DewPoint, MissingValue},
      {"pressure at 9640", with([](DecodedFields& f) { f.pressure = "09640"; }), GridQuantity::Pressure, MissingValue},
      {"pressure above 9640", with([](DecodedFields& f) { f.pressure = "09641"; }), GridQuantity::Pressure, 964.1},
      {"scattered sky has no ceiling", with([](DecodedFields& f) { f.cover = "2"; f.ceiling = "010"; }),
       GridQuantity::Ceiling, 999},
      {"overcast ceiling", with([](DecodedFields& f) { f.cover = "5"; f.ceiling = "010"; }), GridQuantity::Ceiling, 10},
      {"speed 100 is unusable", with([](DecodedFields& f) { f.speed = "100"; f.direction = "180"; }),
       GridQuantity::WindSpeed, MissingValue},
      {"no direction, no direction fields", with([](DecodedFields& f) { f.speed = "012"; }), GridQuantity::DirNorth,
       MissingValue},
      {"calm speed is still a speed", with([](DecodedFields& f) { f.speed = "012"; }), GridQuantity::WindSpeed, 12},
      {"peak 100 is unusable", with([](DecodedFields& f) { f.peak = "100"; }), GridQuantity::PeakWind, MissingValue},
      {"peak 099", with([](DecodedFields& f) { f.peak = "099"; }), GridQuantity::PeakWind, 99},
  };
  for (const Case& c : cases) {
    const Grid g = Grid_(Box(30, -100, 31, -99, 1), {Station("KAAA", 30, -100, kNow, c.f)});
    const double v = CellValue(g.At(0, 0), c.q);
    if (IsMissing(c.expected)) EXPECT_TRUE(IsMissing(v)) << c.what << ": " << v;
    else EXPECT_NEAR(v, c.expected, 1e-9) << c.what;
  }
  // A short or empty decoded text reads as blanks, never outside the text.
  GridStation shortText = Station("KSHT", 30, -100, kNow, base);
  shortText.reports[0].decoded = "KSHT";
  const Grid g = Grid_(Box(30, -100, 31, -99, 1), {shortText});
  EXPECT_EQ(g.At(0, 0).Ceiling, 999);
}

TEST(BuildGrid, WeightsFallToZeroAtTheRadius) {
  DecodedFields a, b;
  a.temperature = "010";
  b.temperature = "020";
  // Station A on the grid point, B 0.5 degrees north of it.
  const std::vector<GridStation> stations = {Station("KAAA", 30, -100, kNow, a), Station("KBBB", 30.5, -100, kNow, b)};
  const float dB = static_cast<float>(GreatCircleDistance(30.5f, -100.0f, 30.0f, -100.0f, 3440.0f));
  for (int exponent : {0, 1, 2, 30}) {
    const Grid g = Grid_(Box(30, -100, 31, -99, 1, 100, exponent), stations);
    const double wA = std::pow(100.0, exponent), wB = std::pow(100.0 - dB, exponent);
    EXPECT_NEAR(g.At(0, 0).Temperature, (10 * wA + 20 * wB) / (wA + wB), 1e-4) << "exponent " << exponent;
  }
  EXPECT_EQ(Grid_(Box(30, -100, 31, -99, 1, 100, 0), stations).At(0, 0).Temperature, 15) << "exponent 0 weighs all alike";
  // Radius 0 reaches nothing; a radius just short of B's distance leaves only A.
  EXPECT_TRUE(IsMissing(Grid_(Box(30, -100, 31, -99, 1, 0), stations).At(0, 0).Temperature));
  EXPECT_EQ(Grid_(Box(30, -100, 31, -99, 1, static_cast<int>(dB)), stations).At(0, 0).Temperature, 10);
  // An exponent whose weights leave the double range is refused before gridding.
  GridBuildContext ctx;
  FakeHooks hooks;
  auto out = ComputeGrid(Box(30, -100, 31, -99, 1, 150, 200), ctx, hooks);
  ASSERT_TRUE(std::holds_alternative<GridRefusal>(out));
  EXPECT_EQ(hooks.stations, 0);
}

TEST(BuildGrid, DirectedWindsCountTwiceInTheMeanSpeed) {
  DecodedFields calm, east;
  calm.speed = "012";
  east.speed = "006";
  east.direction = "090";
  const Grid g =
      Grid_(Box(30, -100, 31, -99, 1), {Station("KAAA", 30, -100, kNow, calm), Station("KBBB", 30, -100, kNow, east)});
  EXPECT_DOUBLE_EQ(g.At(0, 0).WindSpeed, (12.0 + 6 + 6) / 3);
  EXPECT_NEAR(g.At(0, 0).DirEast, 1, 1e-9);
  EXPECT_NEAR(g.At(0, 0).DirNorth, 0, 1e-6);
}

TEST(BuildGrid, ReportChoiceForNowAndForAPastTime) {
  DecodedFields f;
  f.temperature = "001";
  struct Case {
    const char* what;
    int minutesBack;
    std::vector<std::int32_t> slotAges;     // minutes before now, slot 0 first
    std::vector<std::int32_t> archiveAges;  // minutes before now, in file order
    int usedAge;                            // -1 when no report counts
    bool archiveAsked;
  };
  const Case cases[] = {
      {"current, 119 old", 0, {119}, {}, 119, false},
      {"current, exactly 120 old", 0, {120}, {10}, -1, false},
      {"past: slot exactly 120 before the target", 60, {10, 180}, {}, 180, false},
      {"past: first fitting slot wins", 60, {10, 70, 90}, {}, 70, false},
      {"past: archive only when no slot fits", 60, {10, 200}, {180, 150, 100}, 150, true},
      {"past: archive record 120 before the target is too old", 60, {}, {180}, -1, true},
      {"past: archive record newer than the target", 60, {}, {30}, -1, true},
  };
  for (const Case& c : cases) {
    GridStation s = Station("KAAA", 30, -100, 0, f);
    for (std::size_t k = 0; k < c.slotAges.size(); ++k) {
      s.reports[k].time = kNow - c.slotAges[k];
      s.reports[k].decoded = Decoded(f);
      s.reports[k].decoded[42] = static_cast<char>('0' + k + 1);  // slot k reads k + 1 degrees
    }
    if (c.slotAges.empty()) s.reports[0].time = 0;
    FakeHooks hooks;
    for (std::size_t k = 0; k < c.archiveAges.size(); ++k) {
      std::string d = Decoded(f);
      d[42] = static_cast<char>('5' + k);  // archive record k reads 5 + k degrees
      hooks.archives["KAAA"].push_back(GridReport{kNow - c.archiveAges[k], d});
    }
    const Grid g = Grid_(Box(30, -100, 31, -99, 1, 100, 1, c.minutesBack), {s}, hooks);
    const double t = g.At(0, 0).Temperature;
    if (c.usedAge < 0) {
      EXPECT_TRUE(IsMissing(t)) << c.what;
    } else {
      double expected = -1;
      for (std::size_t k = 0; k < c.slotAges.size(); ++k)
        if (c.slotAges[k] == c.usedAge && expected < 0) expected = static_cast<double>(k + 1);
      for (std::size_t k = 0; k < c.archiveAges.size(); ++k)
        if (c.archiveAges[k] == c.usedAge && hooks.archiveAsks.size() && expected < 0) expected = 5.0 + k;
      EXPECT_EQ(t, expected) << c.what;
    }
    EXPECT_EQ(!hooks.archiveAsks.empty(), c.archiveAsked) << c.what;
  }
}

TEST(BuildGrid, StationsNearAPoleReachTheWholeRow) {
  DecodedFields f;
  f.temperature = "M20";
  auto p = Box(85, -180, 89, 170, 10, 400);
  p.latitudeStep = 1;
  const Grid g = Grid_(p, {Station("POLE", 90, 0, kNow, f)});
  ASSERT_EQ(g.size.columns, 36);
  for (int i = 0; i < g.size.rows; ++i)
    for (int j = 0; j < g.size.columns; ++j)
      EXPECT_EQ(g.At(i, j).Temperature, -20) << "row " << i << " column " << j;
}

TEST(BuildGrid, ProgressCaptionsAndStopping) {
  FakeHooks none;
  const Grid empty = Grid_(Box(30, -100, 31, -99, 1), {}, none);
  EXPECT_THAT(none.captions, ::testing::ElementsAre("Grid - 0.0% -- PID 7"));
  EXPECT_TRUE(IsMissing(empty.At(1, 1).Temperature));

  DecodedFields f;
  std::vector<GridStation> stations(4, Station("KAAA", 30, -100, kNow, f));
  stations.push_back(GridStation{"end", 0, 0, {}});
  stations.push_back(Station("KZZZ", 30, -100, kNow, f));  // after "end": never read
  FakeHooks hooks;
  Grid_(Box(30, -100, 31, -99, 1), stations, hooks);
  EXPECT_THAT(hooks.captions, ::testing::ElementsAre("Grid - 0.0% -- PID 7", "Grid - 25.0% -- PID 7",
                                                     "Grid - 50.0% -- PID 7", "Grid - 75.0% -- PID 7",
                                                     "Grid - 100.0% -- PID 7"));
  EXPECT_EQ(hooks.stations, 5);

  GridBuildContext ctx;
  ctx.stations = stations;
  FakeHooks stopping;
  stopping.stopAt = 2;
  EXPECT_TRUE(std::holds_alternative<GridStopped>(ComputeGrid(Box(30, -100, 31, -99, 1), ctx, stopping)));
}

// A smooth field sampled by stations every half degree: the grid reproduces it
// inside the station cover and is missing beyond every station's radius.
TEST(BuildGrid, ReproducesAKnownLinearField) {
  auto temperature = [](double lat, double lon) { return 10 + 0.8 * (lat - 38.5) - 0.4 * (lon + 97); };
  auto pressure = [](double lat, double lon) { return 1010 + 0.6 * (lat - 38.5) + 0.3 * (lon + 97); };
  std::vector<GridStation> stations;
  for (double lat = 30; lat <= 45; lat += 0.5) {
    for (double lon = -110; lon <= -85; lon += 0.5) {
      DecodedFields f;
      const long t = std::lround(temperature(lat, lon));
      char buf[8];
      std::snprintf(buf, sizeof buf, "%c%02d", t < 0 ? 'M' : '0', static_cast<int>(std::labs(t) % 100));
      f.temperature = buf;
      std::snprintf(buf, sizeof buf, "%05ld", std::lround(pressure(lat, lon) * 10));
      f.pressure = buf;
      stations.push_back(Station("K" + std::to_string(stations.size()), lat, lon, kNow, f));
    }
  }
  stations.push_back(GridStation{"end", 0, 0, {}});
  const int radius = 100;
  const Grid g = Grid_(Box(20, -125, 55, -70, 1, radius, 2), stations);
  int inside = 0, outside = 0;
  for (int i = 0; i < g.size.rows; ++i) {
    for (int j = 0; j < g.size.columns; ++j) {
      const double lat = g.LatitudeOf(i), lon = g.LongitudeOf(j);
      const GridCell& c = g.At(i, j);
      double nearest = 1e9;
      for (const auto& s : stations)
        if (s.identifier != "end")
          nearest = std::min(nearest, GreatCircleDistance(s.latitude / 100.0, s.longitude / 100.0, lat, lon, 3440));
      if (nearest > radius + 1) {
        EXPECT_TRUE(IsMissing(c.Temperature) && IsMissing(c.Pressure)) << lat << " " << lon;
        ++outside;
      } else if (lat >= 32 && lat <= 43 && lon >= -108 && lon <= -87) {
        // Temperatures are whole degrees in the reports, so half a degree of
        // rounding comes on top of the weighting's own error.
        EXPECT_NEAR(c.Temperature, temperature(lat, lon), 0.6) << lat << " " << lon;
        EXPECT_NEAR(c.Pressure, pressure(lat, lon), 0.1) << lat << " " << lon;
        ++inside;
      }
    }
  }
  EXPECT_GT(inside, 200);
  EXPECT_GT(outside, 1000);
}

TEST(BuildGrid, WindowedLoopMatchesVisitingEveryPoint) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> lat(15, 60), lon(-135, -55), value(0, 40);
  std::vector<GridStation> stations;
  for (int k = 0; k < 300; ++k) {
    DecodedFields f;
    f.temperature = "0" + std::to_string(10 + static_cast<int>(value(rng)) % 80).substr(0, 2);
    f.speed = "0" + std::to_string(10 + static_cast<int>(value(rng)));
    f.direction = std::to_string(100 + static_cast<int>(value(rng)));
    stations.push_back(Station("K" + std::to_string(k), lat(rng), lon(rng), kNow, f));
  }
  GridBuildContext ctx;
  ctx.nowMinutes = kNow;
  ctx.stations = stations;
  FakeHooks h1, h2;
  const auto p = Box(20, -130, 55, -60, 1, 150, 2);
  const Grid windowed = std::get<Grid>(ComputeGrid(p, ctx, h1));
  const Grid every = std::get<Grid>(ComputeGridEveryPoint(p, ctx, h2));
  ASSERT_EQ(windowed.cells.size(), every.cells.size());
  int differences = 0;
  for (std::size_t k = 0; k < windowed.cells.size(); ++k) {
    const std::string a = EncodeGrid(Grid{{}, {1, 1}, {windowed.cells[k]}}).substr(64);
    const std::string b = EncodeGrid(Grid{{}, {1, 1}, {every.cells[k]}}).substr(64);
    if (a != b && ++differences < 5)
      ADD_FAILURE() << "cell " << k << " temperature " << windowed.cells[k].Temperature << " vs "
                    << every.cells[k].Temperature;
  }
  EXPECT_EQ(differences, 0);
}

TEST(BuildGrid, WritesTheGridFileAndReports) {
  testing::MemoryFileSystem fs;
  DecodedFields f;
  f.temperature = "015";
  const std::vector<GridStation> stations = {Station("KAAA", 30, -100, kNow, f)};
  GridBuildContext ctx;
  ctx.nowMinutes = kNow;
  ctx.stations = stations;
  FakeHooks hooks;
  RecordingSink sink;
  BuildGrid(Box(31, -99, 30, -100, 1), ctx, hooks, sink, fs);
  EXPECT_THAT(sink.lines, ::testing::ElementsAre("status Building grid 't'", "status Grid 't' complete final"));
  const auto back = ReadGridFile(fs, "t.nv1");
  ASSERT_TRUE(back.grid) << back.error;
  EXPECT_EQ(back.grid->At(0, 0).Temperature, 15);
  EXPECT_EQ(back.grid->header.StartLatitude, 30);

  RecordingSink refused;
  BuildGrid(Box(0, 0, 50, 50, 0.1f), ctx, hooks, refused, fs);
  EXPECT_THAT(refused.lines, ::testing::ElementsAre("status Building grid 't'",
                                                    "error Cannot make grid because grid is too large final"));
  EXPECT_EQ(fs.files.size(), 1u) << "a refusal writes nothing";

  RecordingSink failing;
  fs.failRenames = true;
  const std::string before = fs.files["t.nv1"];
  BuildGrid(Box(30, -100, 32, -98, 1), ctx, hooks, failing, fs);
  EXPECT_THAT(failing.lines, ::testing::ElementsAre("status Building grid 't'", "abort"));
  EXPECT_EQ(fs.files["t.nv1"], before) << "a failed write leaves the old grid whole";
}

}  // namespace
}  // namespace norvane
