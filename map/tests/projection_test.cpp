#include "map/projection.h"

#include <cmath>

#include <gtest/gtest.h>

namespace norvane {
namespace {

constexpr double kPi = 3.141592654;

MapProjection View(double lat, double lon, int w = 1024, int h = 768) {
  Settings s;
  s.CenterLatitude = lat;
  s.CenterLongitude = lon;
  return MapProjection::FromSettings(s, w, h);
}

TEST(ProjectionTest, ScaleFromSurface) {
  MapProjection p;
  EXPECT_FLOAT_EQ(p.UpdateScale(1024, 768), 0.00000015f);
  EXPECT_FLOAT_EQ(p.UpdateScale(100, 2048), 0.000000075f);
  // A minimised window: no scale, no NaN anywhere.
  for (auto [w, h] : {std::pair{0, 0}, {0, 500}, {500, 0}, {-3, 10}}) {
    EXPECT_EQ(p.UpdateScale(w, h), 0.0) << w << "x" << h;
    const WindowPoint px = p.ToWindow(0.00001, -0.00002);
    EXPECT_TRUE(std::isfinite(px.x) && std::isfinite(px.y));
    EXPECT_FALSE(p.WindowToLatLong(0, 0).has_value());
  }
}

TEST(ProjectionTest, CentreAndKnownPoint) {
  const MapProjection p = View(38.5, -97);
  const ProjectedPoint c = p.ProjectPoint(38.5, -97);
  ASSERT_TRUE(c.visible);
  EXPECT_NEAR(c.x, 0, 1e-12);
  EXPECT_NEAR(c.y, 0, 1e-12);
  const WindowPoint mid = p.ToWindow(c.x, c.y);
  EXPECT_DOUBLE_EQ(mid.x, 512);
  EXPECT_DOUBLE_EQ(mid.y, 384);

  // On the centre's parallel, east offset x = 1000: about (0.0000488, 0.0000058), which
  // is about 325 pixels right of and 39 pixels above the middle.
  const double r = 3440 * std::cos(38.5 * kPi / 180);
  const double dl = std::asin(1000 / r) * 180 / kPi;
  const ProjectedPoint q = p.ProjectPoint(38.5, -97 + dl);
  ASSERT_TRUE(q.visible);
  EXPECT_NEAR(q.x, 0.0000488, 0.0000005);
  EXPECT_NEAR(q.y, 0.0000058, 0.0000002);
  const WindowPoint px = p.ToWindow(q.x, q.y);
  EXPECT_NEAR(px.x - 512, 325, 2);
  EXPECT_NEAR(384 - px.y, 39, 1.5);
}

TEST(ProjectionTest, LimbVisibility) {
  const MapProjection p = View(0, 0);
  // 90 degrees away on the equator: depth 0, hidden for data and outline.
  EXPECT_FALSE(p.ProjectPoint(0, 90).visible);
  EXPECT_FALSE(p.ProjectOutlinePoint(0, 90).visible);
  // Depth 50: a station is hidden, an outline point drawn.
  const double lon50 = std::acos(50.0 / 3440) * 180 / kPi;
  EXPECT_FALSE(p.ProjectPoint(0, lon50).visible);
  EXPECT_TRUE(p.ProjectOutlinePoint(0, lon50).visible);
  // The far side and the antipode.
  EXPECT_FALSE(p.ProjectPoint(0, 180).visible);
  EXPECT_FALSE(p.ProjectOutlinePoint(10, -170).visible);
  EXPECT_EQ(p.ProjectPoint(0, 180).x, kHiddenPoint);
}

TEST(ProjectionTest, RoundTrips) {
  struct Case { double centreLat, centreLon, lat, lon; };
  const Case cases[] = {
      {38.5, -97, 38.5, -97},  {38.5, -97, 40.6, -73.8}, {38.5, -97, 33.9, -118.4}, {38.5, -97, 25, -80},
      {0, 0, -5, 6},           {-33, 151, -37.8, 144.9},  {60, 179, 62, -178},       {60, -179, 58, 178},
      {85, 0, 87, 10},        {-80, 30, -85, 10},
  };
  for (const Case& c : cases) {
    const MapProjection p = View(c.centreLat, c.centreLon);
    const ProjectedPoint q = p.ProjectPoint(c.lat, c.lon);
    ASSERT_TRUE(q.visible) << c.lat << "," << c.lon;
    const WindowPoint px = p.ToWindow(q.x, q.y);
    const auto back = p.WindowToLatLong(px.x, px.y);
    ASSERT_TRUE(back.has_value()) << c.lat << "," << c.lon;
    EXPECT_NEAR(back->lat100, c.lat * 100, 15) << c.centreLat << "," << c.centreLon;
    EXPECT_NEAR(back->lon100, c.lon * 100, 15) << c.lat << "," << c.lon;
    EXPECT_GE(back->lon100, -18000);
    EXPECT_LE(back->lon100, 18000);
  }
}

TEST(ProjectionTest, PicksOffTheGlobeAndAwkwardViews) {
  const MapProjection p = View(38.5, -97);
  EXPECT_FALSE(p.WindowToLatLong(-1e6, 384).has_value());
  EXPECT_FALSE(p.WindowToLatLong(512, 1e7).has_value());
  // Centred on a pole, or a 1x1 window: nothing crashes, nothing is NaN.
  for (const MapProjection& v : {View(90, 0), View(-90, 45), View(0, 180), View(38.5, -97, 1, 1)}) {
    for (double lat = -90; lat <= 90; lat += 15) {
      for (double lon = -180; lon <= 180; lon += 30) {
        const ProjectedPoint q = v.ProjectPoint(lat, lon);
        EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y));
        const WindowPoint px = v.ToWindow(q.x, q.y);
        EXPECT_TRUE(std::isfinite(px.x) && std::isfinite(px.y));
      }
    }
    for (int x = -5; x < 1100; x += 37) {
      const auto pick = v.WindowToLatLong(x, x * 0.7);
      if (pick) {
        EXPECT_TRUE(std::isfinite(pick->lat100) && std::isfinite(pick->lon100));
      }
    }
  }
}

}  // namespace
}  // namespace norvane
