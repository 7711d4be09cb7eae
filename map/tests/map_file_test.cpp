#include "map/map_file.h"

#include <gtest/gtest.h>

#include <array>

#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/scripted_dialogs.h"

namespace norvane {
namespace {

using testing::MemoryFileSystem;
using testing::ScriptedDialogs;

const MapRecord kBreak{};

std::string Bytes(const std::vector<MapRecord>& v) { return EncodeMapFile(v); }

RubberBand Band(double x1, double y1, double x2, double y2) {
  RubberBand band;
  band.Press(x1, y1);
  band.Drag(x2, y2);
  return band;
}

std::array<int, 4> Box(const MapRegion& r) { return {r.latMin, r.latMax, r.lonMin, r.lonMax}; }

TEST(MapFileTest, ParsesWholeRecordsAndRejectsGarbage) {
  struct Case { std::string name, bytes; std::vector<MapRecord> expect; int rejected; };
  const std::string two = Bytes({{4000, -9700}, {-1234, 17999}});
  const Case cases[] = {
      {"empty", "", {}, 0},
      {"two records", two, {{4000, -9700}, {-1234, 17999}}, 0},
      // A partial record at the end is ignored, never read past the end.
      {"odd size 9", two + "\x01", {{4000, -9700}, {-1234, 17999}}, 0},
      {"odd size 11", two + "\x01\x02\x03", {{4000, -9700}, {-1234, 17999}}, 0},
      {"three bytes", "\x10\x20\x30", {}, 0},
      {"break", Bytes({{100, 200}, kBreak, {300, 400}}), {{100, 200}, kBreak, {300, 400}}, 0},
      {"break with other longitude", std::string("\x00\x83\x05\x00", 4), {kBreak}, 0},
      {"limits", Bytes({{9000, 18000}, {-9000, -18000}}), {{9000, 18000}, {-9000, -18000}}, 0},
      {"out of range", Bytes({{9001, 0}, {0, -18001}, {-32768, 0}, {100, 100}}), {kBreak, kBreak, kBreak, {100, 100}}, 3},
  };
  for (const Case& c : cases) {
    const MapLoadResult r = ParseMapFile(c.bytes);
    EXPECT_EQ(r.points, c.expect) << c.name;
    EXPECT_EQ(r.rejected, c.rejected) << c.name;
  }
}

TEST(MapFileTest, LoadMapOfMissingOrTenRecordFile) {
  MemoryFileSystem fs;
  EXPECT_TRUE(LoadMap(fs).points.empty());
  std::vector<MapRecord> ten(10, MapRecord{100, 100});
  ten[4] = kBreak;
  fs.files["user.map"] = Bytes(ten);
  EXPECT_EQ(LoadMap(fs).points, ten);
}

TEST(MapFileTest, CutRegion) {
  const MapRegion box{0, 1000, 0, 1000};
  struct Case { std::string name; std::vector<MapRecord> world, expect; };
  const Case cases[] = {
      {"starts outside", {{2000, 0}, {500, 500}}, {kBreak, {500, 500}}},
      {"starts inside", {{500, 500}, {600, 600}}, {{500, 500}, {600, 600}}},
      {"bounds included", {{0, 0}, {1000, 1000}}, {{0, 0}, {1000, 1000}}},
      {"leaves and returns", {{100, 100}, {2000, 0}, {3000, 0}, {200, 200}}, {{100, 100}, kBreak, {200, 200}}},
      {"break then outside", {{100, 100}, kBreak, {-5, 5}, {200, 200}}, {{100, 100}, kBreak, {200, 200}}},
      {"nothing inside", {{2000, 0}, kBreak, {3000, 0}}, {kBreak}},
  };
  for (const Case& c : cases) EXPECT_EQ(CutRegion(c.world, box), c.expect) << c.name;
}

TEST(MapFileTest, RubberBand) {
  EXPECT_EQ(BandToRegion(RubberBand{}).value().lonMax, 18000);
  const RubberBand band = Band(100.4, 50.6, -20, 400);  // dragged past the edge of the picture
  EXPECT_EQ((std::array{band.x1, band.y1, band.x2, band.y2}), (std::array{100, 51, 0, 359}));
  const auto a = BandToRegion(band), b = BandToRegion(Band(0, 359, 100, 51));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(Box(*a), Box(*b));  // the drag direction does not matter
  EXPECT_EQ(Box(*a), (std::array{(180 - 359) * 50, (180 - 51) * 50, -18000, (100 - 360) * 50}));
  // 9 pixels (4.5 degrees) is too small, 10 pixels (5 degrees) is accepted.
  for (auto [w, ok] : {std::pair{9, false}, {10, true}}) {
    EXPECT_EQ(BandToRegion(Band(300, 100, 300 + w, 200)).has_value(), ok) << w;
    EXPECT_EQ(BandToRegion(Band(300, 100, 400, 100 + w)).has_value(), ok) << w;
  }
}

TEST(MapFileTest, MakeMapKeepsFilesWhenWorldIsMissing) {
  const RubberBand band = Band(100, 50, 200, 150);
  for (const char* world : {"", "\x01\x02"}) {
    MemoryFileSystem fs;
    ScriptedDialogs dialogs;
    fs.files["user.map"] = "keep";
    if (*world) fs.files["world.map"] = world;
    EXPECT_EQ(MakeMap(fs, dialogs, band), MakeMapResult::WorldMissing);
    EXPECT_EQ(fs.files["user.map"], "keep");
    EXPECT_EQ(fs.files.count("world.map"), *world ? 1u : 0u);
    EXPECT_EQ(dialogs.shown.at(0).title, "ERROR");
  }
}

TEST(MapFileTest, MakeMapWritesTheCut) {
  MemoryFileSystem fs;
  ScriptedDialogs dialogs;
  fs.files["user.map"] = "old";
  fs.files["world.map"] = Bytes({{4000, -9700}, {-4000, 10000}, {4100, -9600}});
  const RubberBand band = Band(100, 50, 200, 150);  // lon -130..-80, lat 15..65
  EXPECT_EQ(MakeMap(fs, dialogs, band), MakeMapResult::Made);
  EXPECT_EQ(LoadMap(fs).points, (std::vector<MapRecord>{{4000, -9700}, kBreak, {4100, -9600}}));
  EXPECT_TRUE(dialogs.shown.empty());

  const std::string before = fs.files["user.map"];
  EXPECT_EQ(MakeMap(fs, dialogs, Band(100, 50, 105, 150)), MakeMapResult::AreaTooSmall);
  EXPECT_EQ(dialogs.shown.at(0).text, "Area too small...");
  // Too small, or a failed write: the old "user.map" stays whole.
  fs.failRenames = true;
  EXPECT_EQ(MakeMap(fs, dialogs, band), MakeMapResult::WriteFailed);
  EXPECT_EQ(fs.files["user.map"], before);
}

}  // namespace
}  // namespace norvane
