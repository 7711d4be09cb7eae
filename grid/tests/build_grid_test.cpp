#include "grid/build_grid.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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
using ::testing::ElementsAre;
using Q = GridQuantity;

constexpr std::int32_t kNow = 14'000'000;

struct FakeHooks : GridBuildHooks {
  std::vector<std::string> captions, archiveAsks;
  std::map<std::string, std::vector<GridReport>> archives;
  int stations = 0, stopAt = -1;
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
                        int exponent = 1, int minutesBack = 0, float latStep = 0) {
  return {"t", lat1, lon1, lat2, lon2, latStep ? latStep : step, step, static_cast<std::int16_t>(radius),
          static_cast<std::int16_t>(exponent), minutesBack};
}

// The 2 x 2 grid whose south-west point is at 30 N 100 W, where the stations below stand.
GridBuildParameters Cell(int radius = 100, int exponent = 1, int minutesBack = 0) {
  return Box(30, -100, 31, -99, 1, radius, exponent, minutesBack);
}

GridBuildContext Context(const std::vector<GridStation>& stations) { return {3440, kNow, stations, "7"}; }

Grid Grid_(const GridBuildParameters& p, const std::vector<GridStation>& stations, FakeHooks* hooks = nullptr) {
  FakeHooks own;
  GridOutcome out = ComputeGrid(p, Context(stations), hooks ? *hooks : own);
  if (auto* r = std::get_if<GridRefusal>(&out)) ADD_FAILURE() << r->message;
  return std::holds_alternative<Grid>(out) ? std::get<Grid>(out) : Grid{};
}

// `expected` exactly (within rounding), or missing when `expected` is missing.
bool Same(double value, double expected) {
  return IsMissing(expected) ? IsMissing(value) : std::fabs(value - expected) < 1e-9;
}

TEST(BuildGrid, BoxIsOrderedAndCheckedInOrder) {
  const std::pair<GridBuildParameters, std::string> cases[] = {
      {Box(30, -100, 30, -90, 1), "start latitude = end latitude"},
      {Box(30, -100, 40, -100, 1), "start Longitude = end longitude"},
      {Box(30, -100, 40, -90, 0.0099f, 100, 1, 0, 1), "step interval for longitude is < 0.01"},
      {Box(30, -100, 40, -90, 1, 100, 1, 0, 0.0099f), "step interval for latitude is < 0.01"},
      {Box(30, -100, 40, -90, -1, 100, 1, 0, 0.0099f), "step interval for longitude is < 0.01"},
      {Box(0, 0, 400, 1, 1, 100, 1, 0, 0.01f), "latitude grid is too large"},
      {Box(0, 0, 1, 400, 0.01f, 100, 1, 0, 1), "longitude grid is too large"},
      {Box(30, -100, 30.5f, -90, 1), "latitude grid is too small"},
      {Box(30, -100, 40, -99.5f, 1), "longitude grid is too small"},
      // 501 x 501 cells pass both per-axis checks but cannot be numbered in 16 bits.
      {Box(0, 0, 50, 50, 0.1f), "grid is too large"},
      {Box(0, 0, 180, 182, 1), "grid is too large"},
      {Box(30, -100, 40, -90, INFINITY), "latitude grid is too small"},
  };
  for (const auto& [p, refusal] : cases) {
    auto r = OrderedGridBox(p);
    ASSERT_TRUE(std::holds_alternative<GridRefusal>(r)) << refusal;
    EXPECT_EQ(std::get<GridRefusal>(r).message, "Cannot make grid because " + refusal);
  }
  // North-to-south and east-to-west boxes are ordered; steps of exactly 0.01 pass.
  const GridHeader h = std::get<GridHeader>(OrderedGridBox(Box(40, -90, 30, -100, 1)));
  EXPECT_THAT((std::vector{h.StartLatitude, h.EndLatitude, h.StartLongitude, h.EndLongitude}),
              ElementsAre(30, 40, -100, -90));
  EXPECT_TRUE(std::holds_alternative<GridHeader>(OrderedGridBox(Box(30, -100, 30.5f, -99.5f, 0.01f))));
  // One step wide gives two rows; a 182-row box of 181 columns stays under the limit.
  EXPECT_EQ(Grid_(Cell(), {}).size.rows, 2);
  EXPECT_EQ(Grid_(Box(-90, -90, 90, 90, 1), {}).cells.size(), 181u * 181u);
}

TEST(BuildGrid, QuantitiesOfReportsAndUnusableFields) {
  // The grid point under stations reporting `f` (and `g`, when given).
  auto onStation = [](const DecodedFields& f, std::optional<DecodedFields> g = {}) {
    std::vector<GridStation> s{Station("KAAA", 30, -100, kNow, f)};
    if (g) s.push_back(Station("KBBB", 30, -100, kNow, *g));
    return Grid_(Cell(), s).At(0, 0);
  };
  const GridCell all = onStation({.ceiling = "025", .cover = "4", .pressure = "10132", .temperature = "M05",
                                  .dewPoint = "012", .direction = "090", .speed = "010", .peak = "025"});
  const double expected[] = {-5, 12, 10, 25, 1013.2, 25, 0, 1};  // in record order
  for (int k = 0; k < 8; ++k) EXPECT_NEAR(CellValue(all, Q(k)), expected[k], 1e-6) << QuantityName(Q(k));
  struct Case { const char* what; DecodedFields f; Q q; double expected; };
  const Case cases[] = {
      {"temperature 999", {}, Q::Temperature, MissingValue},
      {"M then 00 is zero", {.temperature = "M00"}, Q::Temperature, 0},
      {"dew point 999", {}, Q::DewPoint, MissingValue},
      {"pressure at 9640", {.pressure = "09640"}, Q::Pressure, MissingValue},
      {"pressure above 9640", {.pressure = "09641"}, Q::Pressure, 964.1},
      {"scattered sky has no ceiling", {.ceiling = "010", .cover = "2"}, Q::Ceiling, 999},
      {"overcast ceiling", {.ceiling = "010", .cover = "5"}, Q::Ceiling, 10},
      {"speed 100 is unusable", {.direction = "180", .speed = "100"}, Q::WindSpeed, MissingValue},
      {"no direction, no direction fields", {.speed = "012"}, Q::DirNorth, MissingValue},
      {"calm speed is still a speed", {.speed = "012"}, Q::WindSpeed, 12},
      {"peak 100 is unusable", {.peak = "100"}, Q::PeakWind, MissingValue},
      {"peak 099", {.peak = "099"}, Q::PeakWind, 99},
  };
  for (const Case& c : cases) EXPECT_TRUE(Same(CellValue(onStation(c.f), c.q), c.expected)) << c.what;
  // A directed wind counts twice in the mean speed.
  const GridCell two = onStation({.speed = "012"}, DecodedFields{.direction = "090", .speed = "006"});
  EXPECT_DOUBLE_EQ(two.WindSpeed, (12.0 + 6 + 6) / 3);
  EXPECT_NEAR(two.DirEast, 1, 1e-9);
  EXPECT_NEAR(two.DirNorth, 0, 1e-6);
  // A short or empty decoded text reads as blanks, never outside the text.
  GridStation shortText = Station("KSHT", 30, -100, kNow);
  shortText.reports[0].decoded = "KSHT";
  EXPECT_EQ(Grid_(Cell(), {shortText}).At(0, 0).Ceiling, 999);
}

TEST(BuildGrid, WeightsFallToZeroAtTheRadius) {
  // Station A on the grid point, B 0.5 degrees north of it.
  const std::vector<GridStation> stations = {Station("KAAA", 30, -100, kNow, {.temperature = "010"}),
                                             Station("KBBB", 30.5, -100, kNow, {.temperature = "020"})};
  const float dB = static_cast<float>(GreatCircleDistance(30.5f, -100.0f, 30.0f, -100.0f, 3440.0f));
  for (int exponent : {0, 1, 2, 30}) {
    const double wA = std::pow(100.0, exponent), wB = std::pow(100.0 - dB, exponent);
    EXPECT_NEAR(Grid_(Cell(100, exponent), stations).At(0, 0).Temperature, (10 * wA + 20 * wB) / (wA + wB), 1e-4)
        << "exponent " << exponent;
  }
  // Radius 0 reaches nothing; a radius just short of B's distance leaves only A.
  EXPECT_TRUE(IsMissing(Grid_(Cell(0), stations).At(0, 0).Temperature));
  EXPECT_EQ(Grid_(Cell(static_cast<int>(dB)), stations).At(0, 0).Temperature, 10);
  // An exponent whose weights leave the double range is refused before gridding.
  FakeHooks hooks;
  EXPECT_TRUE(std::holds_alternative<GridRefusal>(ComputeGrid(Cell(150, 200), Context({}), hooks)));
  EXPECT_EQ(hooks.stations, 0);
}

TEST(BuildGrid, ReportChoiceForNowAndForAPastTime) {
  // Ages in minutes before now: slot k reads k + 1 degrees, archive record k (in file order) 5 + k degrees.
  struct Case { const char* what; int back; std::vector<std::int32_t> slotAges, archiveAges; double used; bool asked; };
  const Case cases[] = {
      {"current, 119 old", 0, {119}, {}, 1, false},
      {"current, exactly 120 old", 0, {120}, {10}, MissingValue, false},
      {"past: slot exactly 120 before the target", 60, {10, 180}, {}, 2, false},
      {"past: first fitting slot wins", 60, {10, 70, 90}, {}, 2, false},
      {"past: archive only when no slot fits", 60, {10, 200}, {180, 150, 100}, 6, true},
      {"past: archive record 120 before the target is too old", 60, {}, {180}, MissingValue, true},
      {"past: archive record newer than the target", 60, {}, {30}, MissingValue, true},
  };
  auto reading = [](std::size_t degrees) { return Decoded({.temperature = "00" + std::to_string(degrees)}); };
  for (const Case& c : cases) {
    GridStation s{"KAAA", 3000, -10000, {}};
    for (std::size_t k = 0; k < c.slotAges.size(); ++k) s.reports[k] = {kNow - c.slotAges[k], reading(k + 1)};
    FakeHooks hooks;
    for (std::size_t k = 0; k < c.archiveAges.size(); ++k)
      hooks.archives["KAAA"].push_back({kNow - c.archiveAges[k], reading(5 + k)});
    EXPECT_TRUE(Same(Grid_(Cell(100, 1, c.back), {s}, &hooks).At(0, 0).Temperature, c.used)) << c.what;
    EXPECT_EQ(!hooks.archiveAsks.empty(), c.asked) << c.what;
  }
}

TEST(BuildGrid, StationsNearAPoleReachTheWholeRow) {
  const Grid g = Grid_(Box(85, -180, 89, 170, 10, 400, 1, 0, 1), {Station("P", 90, 0, kNow, {.temperature = "M20"})});
  ASSERT_EQ(g.size.columns, 36);
  for (const GridCell& c : g.cells) EXPECT_EQ(c.Temperature, -20);
}

TEST(BuildGrid, ProgressCaptionsAndStopping) {
  FakeHooks none;
  EXPECT_TRUE(IsMissing(Grid_(Cell(), {}, &none).At(1, 1).Temperature));
  EXPECT_THAT(none.captions, ElementsAre("Grid - 0.0% -- PID 7"));
  std::vector<GridStation> stations(4, Station("KAAA", 30, -100, kNow));
  stations.push_back(GridStation{"end", 0, 0, {}});
  stations.push_back(Station("KZZZ", 30, -100, kNow));  // after "end": never read
  FakeHooks hooks, stopping;
  Grid_(Cell(), stations, &hooks);
  EXPECT_THAT(hooks.captions, ElementsAre("Grid - 0.0% -- PID 7", "Grid - 25.0% -- PID 7", "Grid - 50.0% -- PID 7",
                                          "Grid - 75.0% -- PID 7", "Grid - 100.0% -- PID 7"));
  EXPECT_EQ(hooks.stations, 5);
  stopping.stopAt = 2;
  EXPECT_TRUE(std::holds_alternative<GridStopped>(ComputeGrid(Cell(), Context(stations), stopping)));
}

// A smooth field sampled by stations every half degree: the grid reproduces it
// inside the station cover and is missing beyond every station's radius.
TEST(BuildGrid, ReproducesAKnownLinearField) {
  auto temperature = [](double lat, double lon) { return 10 + 0.8 * (lat - 38.5) - 0.4 * (lon + 97); };
  auto pressure = [](double lat, double lon) { return 1010 + 0.6 * (lat - 38.5) + 0.3 * (lon + 97); };
  std::vector<GridStation> stations;
  for (double lat = 30; lat <= 45; lat += 0.5)
    for (double lon = -110; lon <= -85; lon += 0.5) {
      const long t = std::lround(temperature(lat, lon));
      char text[48];  // temperature, blank, pressure in tenths
      std::snprintf(text, sizeof text, "%c%02ld %05ld", t < 0 ? 'M' : '0', std::labs(t),
                    std::lround(10 * pressure(lat, lon)));
      stations.push_back(Station("K", lat, lon, kNow, {.pressure = text + 4, .temperature = std::string(text, 3)}));
    }
  const int radius = 100;
  const Grid g = Grid_(Box(20, -125, 55, -70, 1, radius, 2), stations);
  int inside = 0, outside = 0;
  for (int i = 0; i < g.size.rows; ++i)
    for (int j = 0; j < g.size.columns; ++j) {
      const double lat = g.LatitudeOf(i), lon = g.LongitudeOf(j);
      const GridCell& c = g.At(i, j);
      double nearest = 1e9;
      for (const auto& s : stations)
        nearest = std::min(nearest, GreatCircleDistance(s.latitude / 100.0, s.longitude / 100.0, lat, lon, 3440));
      if (nearest > radius + 1) {
        EXPECT_TRUE(IsMissing(c.Temperature) && IsMissing(c.Pressure)) << lat << " " << lon;
        ++outside;
      } else if (lat >= 32 && lat <= 43 && lon >= -108 && lon <= -87) {
        // Whole degrees in the reports: half a degree of rounding on top of the weighting's own error.
        EXPECT_NEAR(c.Temperature, temperature(lat, lon), 0.6) << lat << " " << lon;
        EXPECT_NEAR(c.Pressure, pressure(lat, lon), 0.1) << lat << " " << lon;
        ++inside;
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
    const std::string t = "0" + std::to_string(10 + static_cast<int>(value(rng)) % 80).substr(0, 2);
    const std::string s = "0" + std::to_string(10 + static_cast<int>(value(rng)));
    const std::string d = std::to_string(100 + static_cast<int>(value(rng)));
    stations.push_back(Station("K", lat(rng), lon(rng), kNow, {.temperature = t, .direction = d, .speed = s}));
  }
  FakeHooks h1, h2;
  const auto p = Box(20, -130, 55, -60, 1, 150, 2);
  const Grid windowed = std::get<Grid>(ComputeGrid(p, Context(stations), h1));
  const Grid every = std::get<Grid>(ComputeGridEveryPoint(p, Context(stations), h2));
  ASSERT_EQ(windowed.cells.size(), every.cells.size());
  int differences = 0;
  for (std::size_t k = 0; k < windowed.cells.size(); ++k)
    differences += std::memcmp(&windowed.cells[k], &every.cells[k], sizeof(GridCell)) != 0;
  EXPECT_EQ(differences, 0);
}

TEST(BuildGrid, WritesTheGridFileAndReports) {
  testing::MemoryFileSystem fs;
  const std::vector<GridStation> stations = {Station("KAAA", 30, -100, kNow, {.temperature = "015"})};
  const GridBuildContext ctx = Context(stations);  // refers to the stations
  FakeHooks hooks;
  RecordingSink sink, refused, failing;
  BuildGrid(Box(31, -99, 30, -100, 1), ctx, hooks, sink, fs);
  EXPECT_THAT(sink.lines, ElementsAre("status Building grid 't'", "status Grid 't' complete final"));
  const auto back = ReadGridFile(fs, "t.nv1");
  ASSERT_TRUE(back.grid) << back.error;
  EXPECT_EQ(back.grid->At(0, 0).Temperature, 15);
  EXPECT_EQ(back.grid->header.StartLatitude, 30);

  BuildGrid(Box(0, 0, 50, 50, 0.1f), ctx, hooks, refused, fs);
  EXPECT_THAT(refused.lines,
              ElementsAre("status Building grid 't'", "error Cannot make grid because grid is too large final"));
  EXPECT_EQ(fs.files.size(), 1u) << "a refusal writes nothing";

  fs.failRenames = true;
  const std::string before = fs.files["t.nv1"];
  BuildGrid(Box(30, -100, 32, -98, 1), ctx, hooks, failing, fs);
  EXPECT_THAT(failing.lines, ElementsAre("status Building grid 't'", "abort"));
  EXPECT_EQ(fs.files["t.nv1"], before) << "a failed write leaves the old grid whole";
}

}  // namespace
}  // namespace norvane
