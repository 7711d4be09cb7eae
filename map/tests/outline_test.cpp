#include <cmath>

#include <gtest/gtest.h>

#include "core/local_file_system.h"
#include "map/draw_map.h"
#include "map/world_picture.h"
#include "tests/fakes/recording_canvas.h"

namespace norvane {
namespace {

using Kind = testing::RecordingCanvas::Kind;

MapProjection View(double lat, double lon, int w, int h) {
  Settings s;
  s.CenterLatitude = lat;
  s.CenterLongitude = lon;
  return MapProjection::FromSettings(s, w, h);
}

TEST(OutlineTest, BreaksAndLimbLiftThePen) {
  const MapProjection p = View(0, 0, 800, 600);
  const std::vector<MapRecord> map = {
      {0, 0}, {100, 100}, {}, {200, 200}, {0, 17000} /* far side */, {300, 300}, {400, 400},
  };
  const ProjectedOutline outline = ProjectMap(p, map);
  ASSERT_EQ(outline.points.size(), map.size());
  EXPECT_EQ(outline.points[2].x, kHiddenPoint);
  EXPECT_EQ(outline.points[4].y, kHiddenPoint);

  testing::RecordingCanvas canvas;
  const Color fore = Rgb(180, 180, 200);
  Draw_Map(canvas, p, outline, fore);
  std::vector<Kind> kinds;
  for (const auto& op : canvas.ops) {
    kinds.push_back(op.kind);
    EXPECT_EQ(op.color, fore);
  }
  EXPECT_EQ(kinds, (std::vector<Kind>{Kind::Point, Kind::Line, Kind::Point, Kind::Point, Kind::Line}));
  EXPECT_EQ(std::pair(canvas.ops[0].x1, canvas.ops[0].y1), std::pair(400.0, 300.0));  // the centre
}

TEST(OutlineTest, NoLineLongerThanTheGlobeForAnyView) {
  // A ring of points round the world at 60 N: whatever the view, no drawn line may be
  // longer than the globe's disc, nothing is NaN, and a surface of no size gets nothing.
  std::vector<MapRecord> ring;
  for (int lon = -18000; lon <= 18000; lon += 500) ring.push_back({6000, static_cast<std::int16_t>(lon)});
  for (auto [lat, lon] : {std::pair{38.5, -97.0}, {90.0, 0.0}, {-90.0, 0.0}, {-38.5, 83.0}, {60.0, 180.0}}) {
    for (auto [w, h] : {std::pair{800, 600}, {1, 1}, {0, 0}}) {
      const MapProjection p = View(lat, lon, w, h);
      testing::RecordingCanvas canvas;
      Draw_Map(canvas, p, ProjectMap(p, ring), 1);
      if (w == 0) {
        EXPECT_TRUE(canvas.ops.empty()) << lat << "," << lon;
      }
      for (const auto& op : canvas.ops) {
        ASSERT_TRUE(std::isfinite(op.x1) && std::isfinite(op.y1) && std::isfinite(op.x2) && std::isfinite(op.y2));
        if (op.kind == Kind::Line) {
          EXPECT_LT(std::hypot(op.x2 - op.x1, op.y2 - op.y1), 2 * std::max(w, h));
        }
      }
    }
  }
}

TEST(WorldPictureTest, TwoColoursPlateCarree) {
  const Color paper = Rgb(0, 0, 128), ink = Rgb(255, 255, 255);
  // A line along the equator from 10 W to 10 E, and one across the date line that
  // must not be joined the long way round.
  const std::vector<MapRecord> world = {{0, -1000}, {0, 1000}, {}, {4500, 17900}, {4500, -17900}, {9000, 18000}};
  const Image img = MakeWorldPicture(world, paper, ink);
  ASSERT_EQ(img.width, 720);
  ASSERT_EQ(img.height, 360);
  auto at = [&](int x, int y) { return img.pixels[static_cast<std::size_t>(y) * 720 + x]; };
  for (int x = 340; x <= 380; ++x) EXPECT_EQ(at(x, 180), ink) << x;
  for (auto [x, y] : {std::pair{339, 180}, {360, 90}}) EXPECT_EQ(at(x, y), paper) << x << "," << y;
  for (auto [x, y] : {std::pair{718, 90}, {2, 90}, {719, 0}}) EXPECT_EQ(at(x, y), ink) << x << "," << y;
  int inked = 0;
  for (Color c : img.pixels) {
    ASSERT_TRUE(c == ink || c == paper);
    inked += c == ink;
  }
  EXPECT_LT(inked, 60);
}

TEST(WorldPictureTest, ShippedWorldMapLoads) {
  const auto bytes = LocalFileSystem(std::string(NORVANE_SOURCE_DIR) + "/data").ReadAll("world.map");
  if (!bytes) GTEST_SKIP() << "data/world.map not found";
  const MapLoadResult world = ParseMapFile(*bytes);
  EXPECT_GT(world.points.size(), 10000u);
  EXPECT_EQ(world.rejected, 0);
  // The default region cut from it holds North American outline points.
  EXPECT_GT(CutRegion(world.points, MapRegion{2000, 5500, -13000, -6500}).size(), 1000u);
}

}  // namespace
}  // namespace norvane
