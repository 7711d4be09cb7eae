#include "core/settings.h"

#include <gtest/gtest.h>

#include "core/great_circle.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_reporter.h"
#include "tests/fakes/scripted_dialogs.h"

namespace norvane {
namespace {

TEST(Settings, FileLayoutBeginsAsDocumented) {
  const std::string text = WriteSettingsText(DefaultSettings());
  const std::string_view start =
      "\"[VERSION]\"\r\n\"1.02\"\r\n\"[OB CLEAR TIME]\"\r\n120\r\n\"[MIN WIND]\"\r\n28\r\n\"[PLOTTED WX]\"\r\n";
  EXPECT_EQ(text.substr(0, start.size()), start);
  for (const char* entry : {"\"[USE CELCIUS]\"\r\n\"1\"\r\n", "\"[DOT SCALE]\"\r\n0.00000015\r\n",
                            "\"[CENTER LONGITUDE]\"\r\n-97\r\n", "\"[MAP FORE]\"\r\n13153460\r\n"}) {
    EXPECT_NE(text.find(entry), std::string::npos) << entry;
  }
}

// Every field changed from its default must come back: the rewritten text is the same.
TEST(Settings, RoundTripReproducesEveryField) {
  Settings s = DefaultSettings();
  s.ObClearTime = 90; s.MinWind = 35; s.PlottedWx = std::string(45, '1') + "0";
  s.UseCelsius = false; s.TextWidth = 0.45; s.EarthRadius = 6371; s.CenterLatitude = -33.25;
  s.DotScale = 0.0000002; s.ObServers[3] = "http://127.0.0.1:8080/%Y%m%d%h.txt"; s.ActiveObServer = 5;
  s.TextBackColor = Rgb(1, 2, 3);
  s.Zooms[2] = ZoomSlot{"Plains", 38.5, -97, 6};
  Settings back = DefaultSettings();
  ReadSettingsText(WriteSettingsText(s), back);
  ReadZoomsText(WriteZoomsText(s), back);
  EXPECT_EQ(WriteSettingsText(back), WriteSettingsText(s));
  EXPECT_EQ(WriteZoomsText(back), WriteZoomsText(s));
  EXPECT_NE(WriteSettingsText(back), WriteSettingsText(DefaultSettings()));
}

TEST(Settings, LenientReader) {
  struct Case { const char* text; int minWind; bool celsius; };
  const Case cases[] = {
      {"\"[min wind]\"\r\n35\r\n", 35, true},                        // keys ignore case
      {"\"[USE CELCIUS]\"\r\n\"0\"\r\n", 28, false},
      {"\"[USE CELCIUS]\"\r\n\"yes\"\r\n", 28, false},               // not a number: false
      {"\"[MIN WIND]\"\r\n40000\r\n", 28, true},                     // outside 16 bits: default
      {"\"[MIN WIND]\"\r\n\"abc\"\r\n", 0, true},                    // no number reads 0
      {"\"[MIN WIND]\"", 28, true},                                  // cut short
      {"\x01\x02\xff garbage,,,\"\r\n\0\0", 28, true},
  };
  for (const Case& c : cases) {
    Settings s = DefaultSettings();
    ReadSettingsText(c.text, s);
    EXPECT_EQ(s.MinWind, c.minWind) << c.text;
    EXPECT_EQ(s.UseCelsius, c.celsius) << c.text;
  }
  // A value equal to a key name makes the next item that key's value.
  Settings s = DefaultSettings();
  ReadSettingsText("\"[OB SERVER 1]\"\r\n\"[MAP FORE]\"\r\n255\r\n", s);
  EXPECT_EQ(s.ObServers[1], "[MAP FORE]");
  EXPECT_EQ(s.MapForeColor, 255u);
}

TEST(Settings, MissingFileIsBuiltWithDefaultsAndChildKeysAreExact) {
  testing::MemoryFileSystem fs;
  testing::ScriptedDialogs dialogs;
  testing::RecordingReporter log;
  Settings s;
  for (int load = 0; load < 2; ++load) LoadSettings(fs, dialogs, log, s);  // the second load does not ask
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].title, "MISSING INI");
  EXPECT_EQ(dialogs.shown[0].text, "The initialization file is missing.\nBuilding a new one.");
  EXPECT_TRUE(fs.Exists("zooms.ini"));
  EXPECT_EQ(*ReadOneKey(fs.files["norvane.ini"], "[MAX OB AGE]"), "48");
  EXPECT_FALSE(ReadOneKey("\"[max ob age]\"\r\n12\r\n", "[MAX OB AGE]"));
}

TEST(GreatCircle, KnownDistances) {
  struct Case { double lat1, lon1, lat2, lon2, nmi, tolerance; };
  const Case cases[] = {
      {40, -100, 40, -100, 0, 1e-6},                     // same point
      {10, 20, -10, -160, 3440 * 3.141592654, 1e-6},     // antipodes
      {40, -100, 41, -100, 60, 0.1},                     // one degree of latitude
      {0, 179.5, 0, -179.5, 60, 0.1},                    // across the date line
      {51.47, -0.45, 40.64, -73.78, 2990, 20},           // London - New York
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(GreatCircleDistance(c.lat1, c.lon1, c.lat2, c.lon2, 3440), c.nmi, c.tolerance) << c.lat1;
  }
}

}  // namespace
}  // namespace norvane
