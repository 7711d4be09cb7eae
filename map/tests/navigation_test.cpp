#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/settings.h"
#include "map/projection.h"
#include "map/station_pickup.h"
#include "map/view_fit.h"
#include "map/view_change.h"
#include "map/zoom_slots.h"
#include "obs/station_tables.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/scripted_dialogs.h"

namespace norvane {
namespace {

using testing::MemoryFileSystem;
using testing::ScriptedDialogs;

TEST(ViewSteps, LimitsAndFolding) {
  Settings s;
  for (int k = 0; k < 100; ++k) StepView(s, ViewStep::ZoomIn);
  EXPECT_EQ(s.ScreenDistance, 100);
  for (int k = 0; k < 200; ++k) StepView(s, ViewStep::ZoomOut);
  EXPECT_EQ(s.ScreenDistance, 100000);

  s.ScreenDistance = 6000;  // pan step 4
  s.CenterLatitude = 88;
  StepView(s, ViewStep::Up);
  EXPECT_EQ(s.CenterLatitude, 90);
  s.CenterLongitude = 179.5;
  StepView(s, ViewStep::Right);
  EXPECT_NEAR(s.CenterLongitude, -176.5, 1e-9);
  StepView(s, ViewStep::Left);
  EXPECT_NEAR(s.CenterLongitude, 179.5, 1e-9);
}

TEST(ViewSteps, WheelUsesTheButtonSteps) {
  Settings byWheel, byButton;
  int carry = 0;
  EXPECT_EQ(WheelNotches(60, carry), 0);  // half a notch of a fine wheel waits
  const int notches = WheelNotches(60 + 240, carry);
  EXPECT_EQ(notches, 3);
  EXPECT_EQ(carry, 0);
  WheelZoom(byWheel, notches);
  for (int k = 0; k < 3; ++k) StepView(byButton, *ButtonStep("cmdZoom"));
  EXPECT_EQ(byWheel.ScreenDistance, byButton.ScreenDistance);
  EXPECT_EQ(WheelNotches(-130, carry), -1);
  EXPECT_EQ(carry, -10);
}

TEST(ViewSteps, DragMovesTheGrabbedPointWithThePointer) {
  Settings s;
  MapProjection view = MapProjection::FromSettings(s, 800, 600);
  // The point 100 px left of the middle is dragged to the middle: it becomes the centre.
  const auto target = view.WindowToLatLong(300, 300);
  ASSERT_TRUE(target);
  ASSERT_TRUE(DragPan(s, view, {300, 300}, {400, 300}));
  EXPECT_NEAR(s.CenterLatitude, target->lat100 / 100, 1e-6);
  EXPECT_NEAR(s.CenterLongitude, target->lon100 / 100, 1e-6);
  EXPECT_LT(s.CenterLongitude, -97);

  Settings far;
  MapProjection wide = MapProjection::FromSettings(far, 800, 600);
  EXPECT_FALSE(DragPan(far, wide, {0, 0}, {100000, 0}));  // the new centre would be off the globe
  EXPECT_EQ(far.CenterLongitude, -97);
}

TEST(RedrawView, ARunningRedrawKeepsPaintingTheViewItCopied) {
  Settings s;
  MapProjection live = MapProjection::FromSettings(s, 800, 600);
  const ProjectedOutline outline;
  RedrawView view(live, outline);
  RedrawHost host;
  view.Bind(host, Rgb(0, 0, 0));
  ASSERT_GT(host.updateScale(800, 600), 0);
  const auto before = host.place(40, -95);

  StepView(s, ViewStep::ZoomIn);
  StepView(s, ViewStep::Left);
  live = MapProjection::FromSettings(s, 800, 600);
  const auto after = host.place(40, -95);
  ASSERT_TRUE(before && after);
  EXPECT_EQ(before->x, after->x);
  EXPECT_EQ(before->y, after->y);
}

TEST(CoordinatesDialog, ChecksInOrder) {
  struct Case {
    CoordinatesBoxes boxes;
    CoordinatesFocus focus;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"90", "-180", "0.1"}, CoordinatesFocus::None, ""},
      {{"90.1", "500", "0"}, CoordinatesFocus::txtLat, "Latitude values must be between -90 and 90."},
      {{"10", "180.5", "1"}, CoordinatesFocus::txtLong, "Longitude values must be between -180 and 180."},
      {{"10", "10", "0.05"}, CoordinatesFocus::txtScale, "Zoom factor values must be between 0.1 and 100."},
  };
  for (const Case& c : cases) {
    Settings s;
    ScriptedDialogs dialogs;
    EXPECT_EQ(AcceptCoordinates(c.boxes, s, dialogs), c.focus) << c.boxes.txtLat;
    if (c.focus == CoordinatesFocus::None) {
      EXPECT_TRUE(dialogs.shown.empty());
      EXPECT_EQ(s.CenterLatitude, 90);
      EXPECT_EQ(s.ScreenDistance, 100);
    } else {
      ASSERT_EQ(dialogs.shown.size(), 1u);
      EXPECT_EQ(dialogs.shown[0].text, c.message);
      EXPECT_EQ(dialogs.shown[0].title, "ERROR");
      EXPECT_EQ(s.CenterLatitude, 38.5);
    }
  }
  Settings s;
  ScriptedDialogs dialogs;
  EXPECT_EQ(AcceptCoordinates(OpenCoordinates(s), s, dialogs), CoordinatesFocus::None);
  EXPECT_EQ(s.ScreenDistance, 6000);
}

TEST(PositionReadout, HemispheresAndNoLock) {
  Settings s;
  MapProjection view = MapProjection::FromSettings(s, 800, 600);
  EXPECT_EQ(PositionReadout(view, 400, 300), "38.5N, 97.0W");
  s.ScreenDistance = 60000;  // the whole disc is on the map: its corners are off the globe
  EXPECT_EQ(PositionReadout(MapProjection::FromSettings(s, 800, 600), 0, 0), "No Lock...");
  s.CenterLatitude = -0.5;
  s.CenterLongitude = 150;
  view = MapProjection::FromSettings(s, 800, 600);
  EXPECT_EQ(PositionReadout(view, 400, 300), ".5S, 150.0E");
}

TEST(ZoomSlots, EditorChecksAndStores) {
  Settings s;
  ScriptedDialogs dialogs;
  ZoomEditorRows rows = OpenZoomEditor(s);
  UseCurrentView(rows[0], s);
  EXPECT_EQ(rows[0].txtZoomName, "38.5 / -97.0");
  EXPECT_EQ(rows[0].txtZoomFactor, "6");
  rows[1] = {"", "", "", "0"};                      // unnamed: factor not checked
  rows[2] = {"The \"Plains\"", "40", "-100", "3"};  // the quote cannot be written to the file
  EXPECT_EQ(AcceptZoomEditor(rows, s, dialogs), std::nullopt);
  EXPECT_EQ(s.Zooms[0].name, "38.5 / -97.0");
  EXPECT_EQ(s.Zooms[1].name, "");
  EXPECT_EQ(s.Zooms[2].name, "The Plains");

  Settings back;
  ReadZoomsText(WriteZoomsText(s), back);
  SanitizeZoomSlots(back.Zooms);
  EXPECT_EQ(back.Zooms[2].name, "The Plains");
  EXPECT_EQ(back.Zooms[3].name, "");  // the record after it was not swallowed
  EXPECT_EQ(back.Zooms[2].zoom, 3);

  struct Case {
    ZoomEditorRow row;
    ZoomEditorFocus focus;
    std::string message;
  };
  const std::vector<Case> refused = {
      {{"A", "91", "0", "1"}, {4, ZoomEditorField::txtCenterLat}, "Latitudes must be between -90 and 90."},
      {{"A", "0", "-181", "1"}, {4, ZoomEditorField::txtCenterLong}, "Longitudes must be between -180 and 180."},
      {{"A", "0", "0", "0.05"}, {4, ZoomEditorField::txtZoomFactor}, "Legal zoom factor values are from 0.1 to 100."},
      {{"\"", "0", "0", "0"}, {}, ""},  // a name of quotes only is no name
  };
  for (const Case& c : refused) {
    Settings t = s;
    ScriptedDialogs d;
    ZoomEditorRows r = OpenZoomEditor(t);
    r[4] = c.row;
    const auto focus = AcceptZoomEditor(r, t, d);
    if (c.message.empty()) {
      EXPECT_EQ(focus, std::nullopt);
      EXPECT_EQ(t.Zooms[4].name, "");
      continue;
    }
    ASSERT_TRUE(focus);
    EXPECT_EQ(*focus, c.focus);
    ASSERT_EQ(d.shown.size(), 1u);
    EXPECT_EQ(d.shown[0].text, c.message);
    EXPECT_EQ(t.Zooms[0].name, s.Zooms[0].name);
    EXPECT_EQ(t.Zooms[4].name, "");  // nothing stored
  }
}

TEST(ZoomSlots, ChoosingAndGarbageFiles) {
  Settings s;
  s.Zooms[3] = {"Gulf", 28, -90, 2};
  EXPECT_TRUE(ChooseZoomSlot(s, 3));
  EXPECT_EQ(s.ScreenDistance, 2000);
  EXPECT_EQ(s.CenterLatitude, 28);
  EXPECT_FALSE(ChooseZoomSlot(s, 4));
  EXPECT_FALSE(ChooseZoomSlot(s, 8));

  for (const std::string& garbage : {std::string("\"A\",1e999,nan,1\r\n\"B\""), std::string("\x01\x02,,\"", 5),
                                    std::string("\"Hand\",95,200,0\r\n")}) {
    Settings t;
    ReadZoomsText(garbage, t);
    SanitizeZoomSlots(t.Zooms);
    for (int k = 0; k < kZoomSlots; ++k) {
      if (!ChooseZoomSlot(t, k)) continue;
      EXPECT_TRUE(std::isfinite(t.ScreenDistance));
      EXPECT_LE(std::fabs(t.CenterLatitude), 90);
      EXPECT_GE(t.ScreenDistance, 100);
    }
  }
}

class PickupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store.Clear();
    // Centre 40N 100W; one degree of latitude is about 60 units.
    Add(0, "KFAR", 4075, -10000, "KFAR 011200Z 18005KT 10SM CLR 20/10 A3000 ");  // ~45 units
    Add(1, "KNEA", 4050, -10000, "KNEA 011100Z 18005KT 10SM CLR 21/11 A3001 ");  // ~30 units
    Add(2, "KOUT", 4300, -10000, "KOUT 011200Z 18005KT 10SM CLR 22/12 A3002 ");  // ~180 units
    store[1].reports[1] = {700, "KNEA 010900Z 00000KT 10SM CLR 19/10 A3001 ", store[1].reports[0].decoded};
    store[3].identifier = "end";
    StationEntry e;
    e.identifier = "KNEA";
    e.name = "Nearby";
    e.region1 = "KS";
    e.region2 = "US";
    e.latitude = 4050;
    e.longitude = -10000;
    fs.files[kMainStationFile] = FormatMainStations({e});
  }
  void Add(int i, const std::string& id, std::int16_t lat, std::int16_t lon, const std::string& report) {
    store[i].identifier = id;
    store[i].latitude = lat;
    store[i].longitude = lon;
    store[i].reports[0] = {i == 1 ? 900 : 1000, report, std::string(63, ' ')};
  }
  ObservationStore store;
  MemoryFileSystem fs;
};

TEST_F(PickupTest, NearestFirstWithinTheLimit) {
  const auto near = NearestStations(store, 40, -100, 3440);
  ASSERT_EQ(near.size(), 2u);
  EXPECT_EQ(near[0].index, 1);
  EXPECT_EQ(near[1].index, 0);
  EXPECT_TRUE(NearestStations(store, 10, 10, 3440).empty());
  EXPECT_EQ(StationPickupText(fs, store, 10, 10, {}), "");
}

TEST_F(PickupTest, RawAndDecodedListings) {
  PickupOptions raw;
  raw.decodeMetar = false;
  raw.now = 1000;
  EXPECT_EQ(StationPickupText(fs, store, 40, -100, raw),
            "---==> 30.0 <==---\r\n"
            "  KNEA 011100Z 18005KT 10SM CLR 21/11 A3001 \r\n"
            "  [OLD] KNEA 010900Z 00000KT 10SM CLR 19/10 A3001 \r\n"
            "---==> 45.0 <==---\r\n"
            "  KFAR 011200Z 18005KT 10SM CLR 20/10 A3000 \r\n");

  PickupOptions decoded;
  decoded.now = 1000;
  const std::string text = StationPickupText(fs, store, 40, -100, decoded);
  EXPECT_EQ(text.rfind("-- 30.0 Nearby, KS [KNEA] --\r\n   011100Z ", 0), 0u) << text;
  EXPECT_NE(text.find("-- 45.0  [KFAR] --\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("010900Z"), std::string::npos);  // only the newest report is described
}

}  // namespace
}  // namespace norvane

namespace norvane {
namespace {

// A new region fills the picture: centred, wholly on it, and no zoom step closer fits.
TEST(FitViewToRegion, CentresAndShowsTheWholeRegion) {
  struct Case { MapRegion region; int width, height; };
  const Case cases[] = {{{3500, 7000, -1000, 4000}, 1600, 870},  // Europe
                        {{1500, 6000, -14000, -5000}, 1600, 870},
                        {{-4500, -1000, 11000, 16000}, 800, 800}};
  for (const Case& c : cases) {
    Settings s = DefaultSettings();
    FitViewToRegion(s, c.region, c.width, c.height);
    EXPECT_DOUBLE_EQ(s.CenterLatitude, (c.region.latMin + c.region.latMax) / 200.0);
    EXPECT_DOUBLE_EQ(s.CenterLongitude, (c.region.lonMin + c.region.lonMax) / 200.0);
    const MapProjection view = MapProjection::FromSettings(s, c.width, c.height);
    for (double lat : {c.region.latMin / 100.0, c.region.latMax / 100.0})
      for (double lon : {c.region.lonMin / 100.0, c.region.lonMax / 100.0}) {
        const ProjectedPoint p = view.ProjectPoint(lat, lon);
        ASSERT_TRUE(p.visible);
        const WindowPoint w = view.ToWindow(p.x, p.y);
        EXPECT_TRUE(w.x >= 0 && w.x <= c.width && w.y >= 0 && w.y <= c.height) << lat << " " << lon;
      }
  }
}

}  // namespace
}  // namespace norvane
