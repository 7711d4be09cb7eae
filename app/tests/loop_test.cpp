#include <gtest/gtest.h>

#include "app/tests/app_harness.h"

namespace norvane::testing {
namespace {

// LOOP words the program refuses, and a store with nothing in the hours asked for.
TEST(Loop, RefusesWhatItCannotPlayWithAClearMessage) {
  AppHarness app;
  app.Start();
  for (const char* line : {"LOOP 0", "LOOP 1", "LOOP 1000", "LOOP 2.5", "LOOP SOON"}) {
    SCOPED_TRACE(line);
    app.program.Exec(line);
    EXPECT_TRUE(app.Logged("LOOP takes a whole number of hours from 2 to 48"));
    EXPECT_FALSE(app.program.Loop().Running());
  }
  app.program.Exec("LOOP");  // the store is not loaded yet
  EXPECT_TRUE(app.Logged("No station reports within 30 minutes of the last 6 hours"));
  EXPECT_FALSE(app.program.Loop().Running());
}

// KMCI reported every hour at ten to; KTUL only in the last hour.
void AddHourlyReports(AppHarness& app) {
  StationArchive archive;
  for (int hour = 10; hour >= 6; --hour) {
    const std::string hh = (hour < 10 ? "0" : "") + std::to_string(hour);
    const std::string report = "KMCI 07" + hh + "52Z 18010KT 10SM CLR " + hh + "/05 A3001 ";
    archive.push_back({StampToMinutes("20261207" + hh + "52"), report, DecodeReport(report)});
  }
  app.files.files[ArchiveFileName("KMCI")] = FormatArchive(archive);
}

TEST(Loop, PlaysTheHoursOldestFirstAndPutsTheMapBack) {
  AppHarness app;
  AddHourlyReports(app);
  app.Start();
  app.program.Exec("LOADOBS");
  app.program.Exec("PLOT TEMPERATURE ON");
  app.program.Choose("mnuLoop");  // the menu item asks for the default six hours
  const HourLoop& loop = app.program.Loop();
  ASSERT_TRUE(loop.Running());
  EXPECT_TRUE(app.program.Menus().Checked("mnuLoop"));
  ASSERT_EQ(loop.FrameCount(), 6);
  // 07:00 is served by the report of 06:52 (8 minutes off), and its value is plotted.
  EXPECT_TRUE(app.Drew("Valid: 12 / 07 / 2026  -  0700 GMT"));
  EXPECT_TRUE(app.Drew("Frame 1 of 6"));
  EXPECT_TRUE(app.Drew(" 6"));

  app.program.Tick();
  EXPECT_TRUE(app.Drew("Valid: 12 / 07 / 2026  -  0800 GMT"));
  EXPECT_TRUE(app.Drew("Frame 2 of 6"));
  EXPECT_TRUE(app.program.LoopKey("Left"));
  EXPECT_TRUE(app.Drew("Frame 1 of 6  -  paused"));
  app.program.Tick();  // held
  EXPECT_EQ(loop.Frame(), 0);
  app.program.LoopKey("Left");  // round to the newest
  EXPECT_TRUE(app.Drew("Valid: 12 / 07 / 2026  -  1200 GMT"));
  app.program.LoopKey("Space");
  app.program.Tick();
  EXPECT_EQ(loop.Frame(), 0);
  EXPECT_FALSE(app.program.LoopKey("Up"));
  EXPECT_FALSE(app.program.LoopKey("Space", "LOOP"));  // typing a line: the blank is the line's

  // A download lands: the loop keeps its frames and the map waits for the loop to end.
  const std::size_t clears = app.Clears();
  app.program.Exec("LOADOBS");
  app.program.Exec("REDRAW");
  EXPECT_EQ(app.Clears(), clears);
  EXPECT_TRUE(app.Drew("Valid: 12 / 07 / 2026  -  0700 GMT"));

  EXPECT_TRUE(app.program.LoopKey("Escape"));
  EXPECT_FALSE(loop.Running());
  EXPECT_FALSE(app.program.Menus().Checked("mnuLoop"));
  EXPECT_TRUE(app.Drew("Valid: 12 / 07 / 2026  -  1200 GMT"));
  EXPECT_FALSE(app.Drew("Frame 1 of 6"));
  EXPECT_FALSE(app.program.LoopKey("Escape"));  // the key is the window's again

  // A new size ends a loop: its frames were made for the old one.
  app.program.Exec("LOOP 3");
  ASSERT_TRUE(loop.Running());
  app.program.Resize(1200, 800);
  EXPECT_FALSE(loop.Running());
  EXPECT_TRUE(app.Logged("The loop ended - the map changed size"));
}

}  // namespace
}  // namespace norvane::testing
