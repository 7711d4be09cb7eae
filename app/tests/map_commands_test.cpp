// Making any map by typed commands: REGION, VIEW and MENU; the grids that follow the
// region; change fields that say the hours they really span.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/tests/app_harness.h"
#include "grid/grid_file.h"

namespace norvane::testing {
namespace {

std::string QueueLines(const MainProgram& program) {
  std::string lines;
  for (int k = 0; k < program.Queue().Count(); ++k) lines += program.Queue().Row(k).commandLine + "\n";
  return lines;
}

TEST(MapCommands, RegionViewAndMenuDoTheMenusWorkAndGridsFollowTheRegion) {
  AppHarness app;
  // A world outline with a point in Europe and one in North America.
  app.files.files["world.map"] = EncodeMapFile({{5000, 1000}, {5100, 1100}, {MapRecord{}}, {3800, -9800}});
  app.Start();

  struct Case {
    const char* line;
    const char* logged;  // "" when the line must be accepted quietly
  };
  const Case refused[] = {
      {"VIEW 95 10", "Latitude values must be between -90 and 90."},
      {"VIEW 50 190", "Longitude values must be between -180 and 180."},
      {"VIEW 50 10 500", "Zoom factor values must be between 0.1 and 100."},
      {"REGION 40 10 43 20", "Area too small..."},
      {"REGION 40", "Invalid number of command line parameters"},
      {"MENU NOSUCH ON", "'NOSUCH' is not a menu item"},
  };
  for (const Case& c : refused) {
    app.program.Exec(c.line);
    EXPECT_TRUE(app.Logged(c.logged)) << c.line;
  }
  EXPECT_DOUBLE_EQ(app.program.CurrentSettings().CenterLatitude, 38.5);

  // Make Map of Europe, given corner to corner the other way round.
  app.program.Exec("REGION 72 45 35 -25");
  const auto outline = ParseMapFile(app.files.files["user.map"]).points;
  ASSERT_FALSE(outline.empty());
  EXPECT_EQ(outline.front(), (MapRecord{5000, 1000}));
  const Settings& s = app.program.CurrentSettings();
  EXPECT_EQ(std::vector<int>({s.RegionSouth, s.RegionWest, s.RegionNorth, s.RegionEast}),
            std::vector<int>({3500, -2500, 7200, 4500}));
  EXPECT_NEAR(s.CenterLatitude, 53.5, 1e-9);
  EXPECT_NE(app.files.files[kSettingsFile].find("[REGION NORTH]"), std::string::npos);

  // The grid after every download follows the region; an existing past grid is rebuilt
  // with it for its own hour, and a change item's build right after is not queued twice.
  app.files.files["past3.nv1"] = "";
  app.program.Exec("BUILDGRID now MAP");
  app.program.Exec("BUILDGRID past3 MAP 180");
  EXPECT_EQ(QueueLines(app.program),
            "tessal now 35 -25 72 45 1 1 150 2 0 1\ntessal past3 35 -25 72 45 1 1 150 2 180 2\n");

  app.program.Exec("VIEW 10 20 3");
  EXPECT_DOUBLE_EQ(s.CenterLatitude, 10);
  EXPECT_DOUBLE_EQ(s.ScreenDistance, 3000);

  // MENU sets a mark, leaves it alone when it is already there, and toggles without a word.
  for (const auto& [line, checked] : std::vector<std::pair<const char*, bool>>{
           {"MENU C_SLP ON", true}, {"MENU c_slp on", true}, {"MENU MNUC_SLP", false}, {"MENU C_SLP OFF", false}})
    EXPECT_EQ((app.program.Exec(line), app.program.Menus().Checked("mnuC_SLP")), checked) << line;
  app.program.Exec("MENU");
  EXPECT_TRUE(app.Logged("C3_SLP - Contours > 3 Hour Change > Pressure (OFF)"));

  // The whole world: the grid follows the view and stays within the grid file's records.
  app.program.Exec("REGION -90 -180 90 180");
  app.program.Exec("VIEW 0 0 100");
  app.program.Exec("KILL ALL");
  app.files.files.erase("past3.nv1");
  app.program.Exec("BUILDGRID now MAP");
  ASSERT_EQ(app.program.Queue().Count(), 1);
  std::istringstream words(app.program.Queue().Row(0).commandLine);
  std::string tessal, name;
  double south, west, north, east, step;
  words >> tessal >> name >> south >> west >> north >> east >> step;
  EXPECT_LE(((north - south) / step + 1) * ((east - west) / step + 1), 32766);
  EXPECT_LT(west, -30);
  EXPECT_GT(east, 30);
}

TEST(MapCommands, ChangeLabelsStateTheHoursBetweenTheGridsAndTakeTheLayersColour) {
  AppHarness app;
  app.Start();
  auto grid = [](std::int32_t minutes) {
    Grid g;
    g.header = GridHeader{-60, -70, GridValidTimeField(minutes), 0, 40, 30, 5, 5};
    g.size = *SizeOfGrid(g.header);
    g.cells.assign(static_cast<std::size_t>(g.size.rows) * g.size.columns, GridCell{});
    return EncodeGrid(g);
  };
  // PAST3 was built four hours before NOW: the change spans four hours, whatever it is called.
  app.files.files["now.nv1"] = grid(14'000'000);
  app.files.files["past3.nv1"] = grid(14'000'000 - 240);
  app.files.files["scripts/change.nvs"] =
      "DRAWDIFF NOW PAST~1 SLP 1 20 1 255 144 0 1 0\nLABEL Pressure change over <DIFFHOURS> hours\n";
  app.program.Exec("MENU C3_SLP ON");
  const auto texts = app.canvas.OfKind(RecordingCanvas::Kind::Text);
  const auto label = std::find_if(texts.begin(), texts.end(),
                                  [](const auto& op) { return op.text == "PRESSURE CHANGE OVER 4 HOURS "; });
  ASSERT_NE(label, texts.end()) << app.program.Log().Text();
  EXPECT_EQ(label->color, Rgb(255, 144, 0));
}

}  // namespace
}  // namespace norvane::testing
