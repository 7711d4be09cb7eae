#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/lenient_number.h"
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
}

TEST(ViewSteps, WheelUsesTheButtonSteps) {
  Settings byWheel, byButton;
  int carry = 0;
  EXPECT_EQ(WheelNotches(60, carry), 0);  // half a notch of a fine wheel waits
  EXPECT_EQ(WheelNotches(60 + 240, carry), 3);
  WheelZoom(byWheel, 3);
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
  ASSERT_TRUE(target && DragPan(s, view, {300, 300}, {400, 300}));
  EXPECT_NEAR(s.CenterLatitude, target->lat100 / 100, 1e-6);
  EXPECT_NEAR(s.CenterLongitude, target->lon100 / 100, 1e-6);
  EXPECT_LT(s.CenterLongitude, -97);
  EXPECT_FALSE(DragPan(s, view, {0, 0}, {100000, 0}));  // the new centre would be off the globe
  EXPECT_NEAR(s.CenterLongitude, target->lon100 / 100, 1e-6);
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
  EXPECT_EQ(std::pair(before->x, before->y), std::pair(after->x, after->y));
}

TEST(CoordinatesDialog, ChecksInOrder) {
  struct Case { CoordinatesBoxes boxes; CoordinatesFocus focus; std::string message; };
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
    const bool ok = c.focus == CoordinatesFocus::None;
    EXPECT_EQ(dialogs.shown.size(), ok ? 0u : 1u);
    if (!ok) { EXPECT_EQ(dialogs.shown[0].text + " " + dialogs.shown[0].title, c.message + " ERROR"); }
    EXPECT_EQ(std::pair(s.CenterLatitude, s.ScreenDistance), ok ? std::pair(90.0, 100.0) : std::pair(38.5, 6000.0));
  }
  Settings s;
  ScriptedDialogs dialogs;
  EXPECT_EQ(AcceptCoordinates(OpenCoordinates(s), s, dialogs), CoordinatesFocus::None);
  EXPECT_EQ(s.ScreenDistance, 6000);
}

// After the wheel has zoomed, both dialogs offer the factor as a user would type it,
// close enough to bring the same view back.
TEST(CoordinatesDialog, ShowsTheZoomFactorAsTyped) {
  Settings s;
  for (const int notches : {1, 1, 3, -2, -7}) {
    WheelZoom(s, notches);
    const std::string shown = OpenCoordinates(s).txtScale;
    EXPECT_LE(shown.size(), 6u) << shown;
    EXPECT_NEAR(LenientNumber(shown) * 1000, s.ScreenDistance, 0.5) << shown;
    ZoomEditorRow row;
    UseCurrentView(row, s);
    EXPECT_EQ(row.txtZoomFactor, shown);
  }
  s.ScreenDistance = 2500;
  EXPECT_EQ(OpenCoordinates(s).txtScale, "2.5");
}

TEST(PositionReadout, HemispheresAndNoLock) {
  Settings s;
  EXPECT_EQ(PositionReadout(MapProjection::FromSettings(s, 800, 600), 400, 300), "38.5N, 97.0W");
  s.ScreenDistance = 60000;  // the whole disc is on the map: its corners are off the globe
  EXPECT_EQ(PositionReadout(MapProjection::FromSettings(s, 800, 600), 0, 0), "No Lock...");
  s.CenterLatitude = -0.5;
  s.CenterLongitude = 150;
  EXPECT_EQ(PositionReadout(MapProjection::FromSettings(s, 800, 600), 400, 300), ".5S, 150.0E");
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

  struct Case { ZoomEditorRow row; ZoomEditorFocus focus; std::string message; };
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
    EXPECT_EQ(focus, c.message.empty() ? std::nullopt : std::optional(c.focus)) << c.message;
    EXPECT_EQ(d.shown.size(), c.message.empty() ? 0u : 1u);
    if (!c.message.empty()) { EXPECT_EQ(d.shown[0].text, c.message); }
    EXPECT_EQ(t.Zooms[0].name + "|" + t.Zooms[4].name, s.Zooms[0].name + "|");  // nothing stored
  }
}

TEST(ZoomSlots, ChoosingAndGarbageFiles) {
  Settings s;
  s.Zooms[3] = {"Gulf", 28, -90, 2};
  EXPECT_TRUE(ChooseZoomSlot(s, 3));
  EXPECT_EQ(std::pair(s.ScreenDistance, s.CenterLatitude), std::pair(2000.0, 28.0));
  EXPECT_FALSE(ChooseZoomSlot(s, 4) || ChooseZoomSlot(s, 8));

  for (const std::string& garbage : {std::string("\"A\",1e999,nan,1\r\n\"B\""), std::string("\x01\x02,,\"", 5),
                                    std::string("\"Hand\",95,200,0\r\n")}) {
    Settings t;
    ReadZoomsText(garbage, t);
    SanitizeZoomSlots(t.Zooms);
    for (int k = 0; k < kZoomSlots; ++k) {
      EXPECT_TRUE(!ChooseZoomSlot(t, k) ||
                  (std::isfinite(t.ScreenDistance) && std::fabs(t.CenterLatitude) <= 90 && t.ScreenDistance >= 100));
    }
  }
}

class PickupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store.Clear();
    // Centre 40N 100W; one degree of latitude is about 60 units: about 45, 30 and 180 units away.
    const std::pair<std::int16_t, const char*> stations[] = {{4075, "KFAR 011200Z 18005KT 10SM CLR 20/10 A3000 "},
                                                             {4050, "KNEA 011100Z 18005KT 10SM CLR 21/11 A3001 "},
                                                             {4300, "KOUT 011200Z 18005KT 10SM CLR 22/12 A3002 "}};
    for (int i = 0; i < 3; ++i) {
      store[i] = {std::string(stations[i].second, 4), stations[i].first, -10000, {}};
      store[i].reports[0] = {i == 1 ? 900 : 1000, stations[i].second, std::string(63, ' ')};
    }
    store[1].reports[1] = {700, "KNEA 010900Z 00000KT 10SM CLR 19/10 A3001 ", store[1].reports[0].decoded};
    store[3].identifier = "end";
    StationEntry e;
    e.identifier = "KNEA", e.name = "Nearby", e.region1 = "KS", e.region2 = "US";
    e.latitude = 4050, e.longitude = -10000;
    fs.files[kMainStationFile] = FormatMainStations({e});
  }
  ObservationStore store;
  MemoryFileSystem fs;
};

TEST_F(PickupTest, NearestFirstWithinTheLimit) {
  const auto near = NearestStations(store, 40, -100, 3440);
  ASSERT_EQ(near.size(), 2u);
  EXPECT_EQ(std::pair(near[0].index, near[1].index), std::pair(1, 0));
  EXPECT_TRUE(NearestStations(store, 10, 10, 3440).empty());
  EXPECT_EQ(StationPickupText(fs, store, 10, 10, {}), "");
}

TEST_F(PickupTest, RawAndDecodedListings) {
  PickupOptions options;
  options.decodeMetar = false;
  options.now = 1000;
  EXPECT_EQ(StationPickupText(fs, store, 40, -100, options),
            "---==> 30.0 <==---\r\n"
            "  KNEA 011100Z 18005KT 10SM CLR 21/11 A3001 \r\n"
            "  [OLD] KNEA 010900Z 00000KT 10SM CLR 19/10 A3001 \r\n"
            "---==> 45.0 <==---\r\n"
            "  KFAR 011200Z 18005KT 10SM CLR 20/10 A3000 \r\n");

  options.decodeMetar = true;
  const std::string text = StationPickupText(fs, store, 40, -100, options);
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
