#include <gtest/gtest.h>

#include <cmath>

#include "map/station_model.h"
#include "obs/decoded_observation.h"

namespace norvane {
namespace {

StationModelInput Wind(int direction, int speed) {
  StationModelInput in;
  in.windKnown = true;
  in.windSpeed = speed;
  if (direction > 0) in.windDirection = direction;
  return in;
}

// Feathers and pennants by speed; the shaft towards the wind's origin; the feathers on
// the clockwise side of the shaft in the north and the other side in the south.
TEST(StationModel, WindBarbsCountFeathersAndPennantsOnTheHemisphereSide) {
  struct Case {
    int speed, direction;
    bool southern, calm;
    int pennants, full, half;
  };
  const Case cases[] = {
      {0, 270, false, true, 0, 0, 0},   {3, 90, false, false, 0, 0, 1},  {5, 180, true, false, 0, 0, 1},
      {10, 360, false, false, 0, 1, 0}, {25, 45, false, false, 0, 2, 1}, {50, 270, true, false, 1, 0, 0},
      {65, 315, false, false, 1, 1, 1}, {105, 200, true, false, 2, 0, 1}, {105, 20, false, false, 2, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.speed) + " kt from " + std::to_string(c.direction) + (c.southern ? " S" : " N"));
    const WindBarb b = LayoutWindBarb(100, 100, 5, Wind(c.direction, c.speed), c.southern, 1);
    EXPECT_EQ(b.calm, c.calm);
    if (c.calm) {
      EXPECT_FALSE(b.drawn);
      continue;
    }
    ASSERT_TRUE(b.drawn);
    EXPECT_EQ(b.pennants.size(), static_cast<std::size_t>(c.pennants));
    EXPECT_EQ(b.fullFeathers, c.full);
    EXPECT_EQ(b.halfFeathers, c.half);
    EXPECT_EQ(b.feathers.size(), static_cast<std::size_t>(c.full + c.half));
    // The shaft leaves the circle's edge towards the origin (north up, y down).
    const double a = c.direction * 3.14159265358979 / 180;
    EXPECT_NEAR(b.shaft.x1, 100 + 5 * std::sin(a), 1e-9);
    EXPECT_NEAR(b.shaft.y1, 100 - 5 * std::cos(a), 1e-9);
    EXPECT_GT((b.shaft.x2 - 100) * std::sin(a) - (b.shaft.y2 - 100) * std::cos(a), 25);
    const double ux = b.shaft.x2 - b.shaft.x1, uy = b.shaft.y2 - b.shaft.y1;
    const int side = c.southern ? -1 : 1;
    auto sideOf = [&](double x1, double y1, double x2, double y2) { return ux * (y2 - y1) - uy * (x2 - x1) > 0 ? 1 : -1; };
    for (const ModelLine& f : b.feathers) EXPECT_EQ(sideOf(f.x1, f.y1, f.x2, f.y2), side);
    for (const ModelTriangle& t : b.pennants) EXPECT_EQ(sideOf(t.x1, t.y1, t.x3, t.y3), side);
  }
  // A west wind in the north carries its feathers on the north side of the shaft.
  const WindBarb west = LayoutWindBarb(0, 0, 5, Wind(270, 20), false, 1);
  for (const ModelLine& f : west.feathers) EXPECT_LT(f.y2, f.y1);
  // Variable or unknown directions draw no barb; nothing known draws nothing.
  StationModelInput variable = Wind(0, 4);
  variable.windVariable = true;
  EXPECT_FALSE(LayoutWindBarb(0, 0, 5, variable, false, 1).drawn);
  EXPECT_FALSE(LayoutWindBarb(0, 0, 5, StationModelInput{}, false, 1).calm);
}

const ModelText* Find(const StationModelLayout& m, ModelPart part) {
  for (const ModelText& t : m.texts)
    if (t.part == part) return &t;
  return nullptr;
}

// Decoded reports, missing groups included, laid out around a station at (200, 200).
TEST(StationModel, LayoutPlacesEachGroupOfTheReportAndLeavesOutTheMissing) {
  struct Case {
    const char* report;
    bool celsius;
    std::optional<int> sky;  // sky cover read
    const char *temperature, *dewPoint, *pressure;  // nullptr: left out
    bool barb, calm;
    int symbol;
    const char* visibility;  // nullptr: left out (10 miles and more, "9999", or none given)
    bool tendency;
  };
  const Case cases[] = {
      {"KDFW 081253Z 18012KT 10SM FEW250 24/18 A2992 RMK AO2 SLP132 ", false, 1, "75", "64", "132", true, false, 0, nullptr, false},
      // Visibility under 10 miles from the report's own text; the tendency from its 5appp remark.
      {"KDFW 081253Z 18012KT 3SM BR SCT010 12/11 A2992 RMK AO2 SLP132 52012 ", true, 2, "12", "11", "132", true, false, 18, "3", true},
      {"CYYZ 081300Z 00000KT 15SM OVC020 M05/M09 RMK SLP982 ", false, 4, "23", "16", "982", false, true, 0, nullptr, false},
      {"CYYZ 081300Z 00000KT 15SM OVC020 M05/M09 RMK SLP982 ", true, 4, "-5", "-9", "982", false, true, 0, nullptr, false},
      // Without an SLP remark the pressure comes from the altimeter or QNH group.
      {"KAUS 081253Z VRB03KT 10SM CLR 30/M02 A3000 ", true, 0, "30", "-2", "159", false, false, 0, nullptr, false},
      {"SBGR 081300Z 27015G30KT 9999 -RA BKN015 18/17 Q1012 ", true, 3, "18", "17", "120", true, false, 6, nullptr, false},
      // No knot wind group: the decoder stops, so sky and wind are unknown, not clear and calm.
      {"KXYZ 081253Z AUTO 10SM ", true, std::nullopt, nullptr, nullptr, nullptr, false, false, 0, nullptr, false},
      // A 250-knot wind is a damaged report: left out.
      {"KXXX 081253Z 270250KT 10SM SCT010 10/05 ", true, 2, "10", "5", nullptr, false, false, 0, nullptr, false},
      {"KXXX 081253Z 27010KT 1/2SM FG VV002 ///// ", true, 5, nullptr, nullptr, nullptr, true, false, 19, "1/2", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.report);
    const StationModelInput in = ModelInputFromDecoded(DecodeReport(c.report), c.report);
    EXPECT_EQ(in.skyCover, c.sky);
    const bool southern = std::string(c.report).rfind("SB", 0) == 0;
    const StationModelLayout m = LayoutStationModel(in, 200, 200, southern, 1, c.celsius);
    EXPECT_EQ(m.barb.drawn, c.barb);
    EXPECT_EQ(m.barb.calm, c.calm);
    EXPECT_EQ(m.filledCircle, c.sky == 4);
    EXPECT_EQ(m.symbol, c.symbol);
    if (c.symbol) {
      EXPECT_LE(m.symbolX, 200 - m.radius);
    }
    struct Expect {
      ModelPart part;
      const char* text;
      bool left, above;
    };
    for (const Expect& e : {Expect{ModelPart::Temperature, c.temperature, true, true},
                            Expect{ModelPart::DewPoint, c.dewPoint, true, false},
                            Expect{ModelPart::Pressure, c.pressure, false, true}}) {
      const ModelText* t = Find(m, e.part);
      if (!e.text) {
        EXPECT_EQ(t, nullptr) << static_cast<int>(e.part);
        continue;
      }
      ASSERT_NE(t, nullptr) << e.text;
      EXPECT_EQ(t->text, e.text);
      // Left-hand texts end at the circle's left, right-hand ones start at its right.
      EXPECT_EQ(t->h, e.left ? HAnchor::Right : HAnchor::Left);
      EXPECT_EQ(t->x < 200 - m.radius, e.left);
      EXPECT_EQ(t->x > 200 + m.radius, !e.left);
      EXPECT_EQ(t->v, e.above ? VAnchor::Bottom : VAnchor::Top);
      EXPECT_EQ(t->y < 200, e.above);
    }
    const ModelText* visibility = Find(m, ModelPart::Visibility);
    EXPECT_EQ(visibility ? visibility->text : "(none)", c.visibility ? c.visibility : "(none)");
    EXPECT_EQ(Find(m, ModelPart::Tendency) != nullptr, c.tendency);
  }

  // Visibility far left (under 10 miles only), the tendency lower right.
  StationModelInput in;
  in.weatherSymbol = 18;
  in.visibility = 2.5;
  in.tendencyCharacter = 2;
  in.tendencyChange = 1.2;
  const StationModelLayout m = LayoutStationModel(in, 200, 200, false, 1, true);
  const ModelText* vis = Find(m, ModelPart::Visibility);
  ASSERT_NE(vis, nullptr);
  EXPECT_EQ(vis->text, "2 1/2");
  EXPECT_LT(vis->x, m.symbolX - 15);
  const ModelText* tendency = Find(m, ModelPart::Tendency);
  ASSERT_NE(tendency, nullptr);
  EXPECT_EQ(tendency->text, "+12");
  EXPECT_TRUE(tendency->x > 200 && tendency->y > 200);
  in.visibility = 10;
  EXPECT_EQ(Find(LayoutStationModel(in, 200, 200, false, 1, true), ModelPart::Visibility), nullptr);
  EXPECT_EQ(VisibilityText(0.25), "1/4");
  EXPECT_EQ(VisibilityText(3), "3");
  // Zoomed in the model grows, but only a little.
  EXPECT_EQ(StationModelSize(6000), 1);
  EXPECT_GT(StationModelSize(1000), 1.2);
  EXPECT_LE(StationModelSize(100), 1.5);
  EXPECT_EQ(StationModelSize(60000), 1);
}

}  // namespace
}  // namespace norvane
