// The main program as a user meets it: typed commands and menu choices, then the
// picture, the marks and the log.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/local_file_system.h"

#include "app/tests/app_harness.h"

namespace norvane::testing {
namespace {

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(MainProgram, StartLeavesTheNoticeAndLayingOutDoesNotRedraw) {
  AppHarness app("\"ECHO! STARTED\"\r\n");
  app.Start();
  EXPECT_TRUE(app.Logged("STARTED"));
  for (const char* step : {"Converting 3D coordinates to 2D coordinates", "Loading weather symbols"})
    EXPECT_TRUE(app.Logged(step)) << step;
  // The layout at the end of start-up must not wipe the notice: no forced redraw is pending.
  EXPECT_TRUE(app.Drew("Updating..."));
  EXPECT_EQ(app.Clears(), 1u);
  EXPECT_TRUE(app.program.TimerEnabled());
  EXPECT_TRUE(app.program.Menus().Checked("mnuRefreshStatus"));

  // Resizing and the zoom controls lay the window out again without redrawing.
  app.program.Resize(1200, 800);
  app.program.Choose("mnuZoomControls");
  EXPECT_EQ(app.Clears(), 1u);
  EXPECT_EQ(app.program.Layout().plot.width, 1200);
}

// At most one value plot at a time, whether chosen from the menu or typed.
TEST(MainProgram, PlotMenuRulesDecideWhatIsDrawn) {
  struct Case {
    const char* name;
    std::vector<std::string> steps;  // "mnu..." chosen, anything else typed
    std::vector<const char*> checked, unchecked;
  };
  const Case cases[] = {
      {"dew point replaces temperature", {"PLOT TEMPERATURE ON", "PLOT DEWPOINT ON"}, {"mnuDP"}, {"mnuTemp"}},
      {"the same from the menu", {"mnuTemp", "mnuDP"}, {"mnuDP"}, {"mnuTemp"}},
      {"winds keep weather", {"mnuTemp", "mnuWinds", "mnuWeather"}, {"mnuWinds", "mnuWeather", "mnuWindsWeather"}, {"mnuTemp"}},
      {"winds and weather together", {"mnuCIG", "mnuWindsWeather"}, {"mnuWinds", "mnuWeather", "mnuWindsWeather"}, {"mnuCIG"}},
      {"winds and weather twice clears both", {"mnuWindsWeather", "mnuWindsWeather"}, {}, {"mnuWinds", "mnuWeather"}},
      {"a value plot clears winds", {"mnuWindsWeather", "mnuRH"}, {"mnuRH"}, {"mnuWinds", "mnuWeather", "mnuWindsWeather"}},
      {"stations stay on", {"PLOT STATIONS ON", "mnuTemp", "mnuClearPlots"}, {"mnuStations"}, {"mnuTemp"}},
      {"PLOT without a word toggles", {"PLOT BARB", "PLOT BARB"}, {}, {"mnuWindBarbs"}},
      {"the model replaces a value plot", {"PLOT TEMPERATURE ON", "PLOT MODEL ON"}, {"mnuModel"}, {"mnuTemp"}},
      {"weather replaces the model", {"mnuModel", "mnuWeather", "mnuPoints"}, {"mnuWeather", "mnuPoints"}, {"mnuModel"}},
      {"the model keeps stations and points", {"mnuStations", "mnuPoints", "PLOT MODEL ON"},
       {"mnuModel", "mnuStations", "mnuPoints"}, {}},
      {"grids clear alone", {"mnuC_Temp", "mnuG_SLP", "CLEAR GRID"}, {"mnuC_Temp"}, {"mnuG_SLP"}},
      {"contours clear together", {"mnuC_Temp", "mnuC6_DP", "CLEAR CONTOURS"}, {}, {"mnuC_Temp", "mnuC6_DP"}},
      {"clear all keeps stations", {"mnuStations", "mnuTemp", "mnuClearAll"}, {"mnuStations"}, {"mnuTemp"}},
  };
  for (const Case& c : cases) {
    AppHarness app;
    app.Start();
    app.program.Exec("LOADOBS");
    for (const std::string& step : c.steps) {
      if (step.rfind("mnu", 0) == 0) app.program.Choose(step);
      else app.program.Exec(step);
    }
    for (const char* item : c.checked) EXPECT_TRUE(app.program.Menus().Checked(item)) << c.name << ": " << item;
    for (const char* item : c.unchecked) EXPECT_FALSE(app.program.Menus().Checked(item)) << c.name << ": " << item;
  }
}

// A right click on a station opens its meteogram, elsewhere the map menu; the Tools item
// takes the station last clicked.
TEST(MainProgram, MeteogramsOpenFromTheStationUnderTheMouse) {
  AppHarness app;
  app.Start();
  app.program.Exec("LOADOBS");
  app.program.Exec("REDRAW");
  ASSERT_TRUE(app.program.Choose("mnuMeteogram"));
  EXPECT_TRUE(app.windows.pictures.empty());
  EXPECT_TRUE(app.Logged("Click a station on the map first"));
  const auto place = ProjectionPlacer(app.program.Projection());
  const auto kmci = place(39.30, -94.72), ktul = place(36.20, -95.89);
  ASSERT_TRUE(kmci && ktul);
  app.program.MapPressed(static_cast<int>(kmci->x) + 3, static_cast<int>(kmci->y), MainProgram::MouseButton::Right);
  app.program.MapPressed(static_cast<int>(kmci->x) + 60, static_cast<int>(kmci->y), MainProgram::MouseButton::Right);
  EXPECT_EQ(app.windows.pictures, std::vector<std::string>{"Meteogram KMCI"});
  EXPECT_TRUE(app.Logged("Meteogram of KMCI: 1 reports in 48 hours"));
  app.program.MapPressed(static_cast<int>(ktul->x), static_cast<int>(ktul->y), MainProgram::MouseButton::Left);
  app.program.MapReleased(static_cast<int>(ktul->x), static_cast<int>(ktul->y));
  app.program.Choose("mnuMeteogram");
  app.program.Exec("METEOGRAM KTUL 1000");
  EXPECT_EQ(app.windows.pictures.back(), "Meteogram KTUL");
  EXPECT_EQ(app.windows.pictures.size(), 3u);
  EXPECT_TRUE(app.Logged("A meteogram covers at most 240 hours; showing 240"));
}

TEST(MainProgram, DewPointsAfterTemperaturesDrawOnlyDewPoints) {
  AppHarness app;
  app.Start();
  for (const char* line : {"LOADOBS", "PLOT TEMPERATURE ON", "PLOT DEWPOINT ON", "REDRAW"}) app.program.Exec(line);
  // Dew points 12 and 18, temperatures 21 and 25.
  EXPECT_TRUE(app.Drew(" 12") && app.Drew(" 18"));
  EXPECT_FALSE(app.Drew(" 21") || app.Drew(" 25"));
  EXPECT_TRUE(app.Drew("PLOTTED DEW POINTS "));
}

TEST(MainProgram, RedrawScriptRunsDuringEveryRedraw) {
  AppHarness app;
  app.Start();
  app.program.Exec("REDRAW ADD ECHO `hello");
  app.program.Exec("CLS");
  app.program.Exec("REDRAW");
  EXPECT_TRUE(app.Logged("hello"));
  // "Clear Auto Redraw Script" and "Clear All" take it away again.
  app.program.Choose("mnuRemoveRedraw");
  EXPECT_FALSE(app.files.Exists("scripts/redraw.nvs"));
  app.program.Exec("REDRAW ADD ECHO X");
  app.program.Choose("mnuClearAll");
  EXPECT_FALSE(app.files.Exists("scripts/redraw.nvs"));
}

TEST(MainProgram, AutoRefreshOffLeavesOnlyForcedRedraws) {
  AppHarness app;
  app.Start();
  app.program.Choose("mnuRefreshStatus");
  EXPECT_FALSE(app.program.Menus().Checked("mnuRefreshStatus"));
  EXPECT_EQ(app.program.Menus().Items().at("mnuRefreshStatus").caption, "Auto Refresh is OFF");
  EXPECT_NE(app.files.files[kSettingsFile].find("\"[AUTO REFRESH]\"\r\n\"0\""), std::string::npos);
  const std::size_t before = app.Clears();
  app.program.Choose("cmdRedraw");
  app.program.Choose("mnuTemp");
  EXPECT_EQ(app.Clears(), before);
  app.program.Choose("mnuRefreshNow");
  EXPECT_EQ(app.Clears(), before + 1);
  app.program.Exec("REDRAW");
  EXPECT_EQ(app.Clears(), before + 2);
}

TEST(MainProgram, KillListsTheQueueOnce) {
  AppHarness app;
  app.Start();
  app.program.Exec("GETOBS");
  app.program.Exec("KILL DL");
  EXPECT_EQ(Count(app.program.Log().Text(), "The queue has"), 1);
  EXPECT_TRUE(app.Logged("The queue has 0 processes..."));
  app.program.Choose("mnuKill");
  EXPECT_EQ(Count(app.program.Log().Text(), "The queue has"), 2);
}

// SHELL starts a program by the name as written, typed or from a script; a
// back-quoted word is lower case in both.
TEST(MainProgram, ShellKeepsTheWrittenCaseAndBackQuotesLowerIt) {
  AppHarness app;
  app.files.files["scripts/tools.nvs"] = "shell MyTool `NAME Keep\r\nSHELLMIN `VARNEX x\r\n";
  app.Start();
  app.program.Exec("R tools");
  app.program.Exec("shell Other `ARG");
  std::vector<std::string> lines;
  for (const auto& s : app.starter.started) lines.push_back(s.commandLine);
  EXPECT_EQ(lines, (std::vector<std::string>{"MyTool name Keep", "varnex x", "Other arg"}));
}

TEST(MainProgram, GridBuildsAreCheckedBeforeTheyAreQueued) {
  AppHarness app;
  app.Start();
  app.program.Exec("BUILDGRID now 20 -130 55 -60 1 1 150 2 0");
  app.program.Exec("BUILDGRID bad 20 -130 55 -60 1 1 99999 2 0");
  ASSERT_EQ(app.program.Queue().Count(), 1);
  EXPECT_EQ(app.program.Queue().Row(0).commandLine, "tessal now 20 -130 55 -60 1 1 150 2 0 1");
}

// A zoom pressed while a redraw lets events run is drawn as soon as that redraw ends.
TEST(MainProgram, AViewChangeDuringARedrawIsDrawnWhenItEnds) {
  struct ZoomOnce : EventPump {
    MainProgram* program = nullptr;
    int zooms = 0;
    void ProcessEvents() override {
      if (program && program->RedrawRunning() && zooms++ == 0) program->Choose("cmdZoom");
    }
  };
  AppHarness app;
  app.Start();
  ZoomOnce pump;
  const double before = app.program.CurrentSettings().ScreenDistance;
  const std::size_t clears = app.Clears();
  // The harness pump is inert; swap in the one that zooms by running a redraw through it.
  app.events.onProcess = [&] { pump.program = &app.program; pump.ProcessEvents(); };
  app.program.Exec("REDRAW");
  EXPECT_EQ(pump.zooms, 2);  // the second redraw let events run too, without zooming again
  EXPECT_EQ(app.Clears(), clears + 2);
  EXPECT_LT(app.program.CurrentSettings().ScreenDistance, before);
  EXPECT_DOUBLE_EQ(app.program.Projection().ScreenDistance, app.program.CurrentSettings().ScreenDistance);
}

// SAVEPIC from the redraw script cannot wait for the redraw below it: it runs as
// soon as that redraw ends, on the finished picture.
TEST(MainProgram, SavePictureDuringARedrawRunsWhenItEnds) {
  AppHarness app;
  app.runner.effect = [&](const std::vector<std::string>& args) {
    for (std::size_t k = 0; k + 1 < args.size(); ++k)
      if (args[k] == "-outfile") app.files.files[args[k + 1]] = "JPEG";
  };
  app.Start();
  app.program.Exec("REDRAW ADDQUIET SAVEPIC `map 80");
  app.program.Exec("REDRAW");
  ASSERT_EQ(app.runner.ran.size(), 1u);
  EXPECT_EQ(app.runner.ran[0].program, "cjpeg");
  EXPECT_TRUE(app.Logged("The picture 'map' is saved when the redraw ends"));
  EXPECT_EQ(app.files.files["map.jpg"], "JPEG");
  EXPECT_FALSE(app.files.Exists("map.bmp"));
  // A name that is not a plain picture name never reaches the encoder.
  app.program.Exec("SAVEPIC `../evil");
  EXPECT_EQ(app.runner.ran.size(), 1u);
}

// With no server filled in, a download opens the options at the servers page; what the
// user stores there is kept, a cancel leaves the settings as they were.
TEST(MainProgram, NoServerOpensTheOptionsAtTheServers) {
  AppHarness app;
  Settings noServers = DefaultSettings();
  noServers.ObServers = {};
  app.files.files[kSettingsFile] = WriteSettingsText(noServers);
  std::vector<OptionsPage> pages;
  app.windows.options = [&](Settings& s, OptionsPage page) {
    pages.push_back(page);
    s.MinWind = 40;
    return pages.size() == 1 ? AppWindows::OptionsResult::Cancelled : AppWindows::OptionsResult::Stored;
  };
  app.Start();
  app.program.Exec("GETOBS");
  ASSERT_EQ(pages, (std::vector<OptionsPage>{OptionsPage::Servers}));
  EXPECT_NE(app.program.CurrentSettings().MinWind, 40);  // cancelled
  app.program.Choose("lblNum");
  EXPECT_EQ(pages.back(), OptionsPage::PlottedWx);
  EXPECT_EQ(app.program.CurrentSettings().MinWind, 40);
}

TEST(MainProgram, DialogsHandBackCommands) {
  AppHarness app;
  app.Start();
  app.windows.script = "r hello";
  app.files.files["scripts/hello.nvs"] = "\"ECHO! FROM THE DIALOG\"\r\n";
  app.program.Choose("mnuRunScript");
  EXPECT_TRUE(app.Logged("FROM THE DIALOG"));
  app.windows.hour = "2026120706";
  app.program.Choose("mnuSpecialDownload");
  ASSERT_EQ(app.program.Queue().Count(), 1);
  EXPECT_EQ(app.program.Queue().Row(0).commandLine, "varnex http://127.0.0.1:9/26120706_metar 1");
  // A new region moves the view there and says so.
  app.windows.regionMade = MapRegion{3500, 7000, -1000, 4000};
  app.program.Choose("mnuDefineMap");
  EXPECT_EQ(Count(app.program.Log().Text(), "Loading map values"), 2);
  EXPECT_DOUBLE_EQ(app.program.CurrentSettings().CenterLatitude, 52.5);
  EXPECT_DOUBLE_EQ(app.program.CurrentSettings().CenterLongitude, 15);
  EXPECT_NE(app.files.files[kSettingsFile].find("52.5"), std::string::npos);
}

}  // namespace
}  // namespace norvane::testing

namespace norvane::testing {
namespace {

// Every script shipped in data/scripts runs, from start-up on, without a line the
// interpreter refuses (a comma in a comment line would start a new line); the help
// says what the commands take.
TEST(MainProgram, ShippedScriptsHoldOnlyCommandsAndTheHelpMatches) {
  AppHarness app;
  const std::filesystem::path folder = std::filesystem::path(NORVANE_SOURCE_DIR) / "data/scripts";
  LocalFileSystem shipped(folder);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (!name.ends_with(".nvs")) continue;
    names.push_back(name.substr(0, name.size() - 4));
    app.files.files["scripts/" + name] = shipped.ReadAll(name).value_or("");
  }
  ASSERT_GT(names.size(), 20u);
  app.Start();
  for (const std::string& name : names) app.program.Exec("R " + name + " 3 1");
  EXPECT_FALSE(app.Logged("invalid command")) << app.program.Log().Text();
  // The help names BUILDGRID's last word as the grid builder reads it.
  const std::string help = LocalFileSystem(folder.parent_path()).ReadAll("norvane.hlp").value_or("");
  const std::size_t entry = help.find("\nBUILDGRID ");
  ASSERT_NE(entry, std::string::npos);
  const std::string usage = help.substr(entry + 1, help.find('\n', entry + 1) - entry - 1);
  EXPECT_TRUE(usage.ends_with(" exponent minutes")) << usage;
}

// What the user sees after each of these menu choices: the busy window around the long
// ones, a new picture after the options close either way, and labels inside a picture
// that changed size.
TEST(MainProgram, MenuChoicesShowTheirWork) {
  AppHarness app;
  app.Start();
  app.windows.verification = VerificationRequest{":T", NowStamp(app.clock), NowStamp(app.clock)};
  for (const char* control : {"mnuContinuity", "mnuGraphicalVerification"}) {
    app.view.busy.clear();
    app.program.Choose(control);
    EXPECT_EQ(app.view.busy, (std::vector<bool>{true, false})) << control;
  }
  for (const auto result : {AppWindows::OptionsResult::Cancelled, AppWindows::OptionsResult::Stored}) {
    app.windows.options = [result](Settings&, OptionsPage) { return result; };
    const std::size_t clears = app.Clears();
    app.program.Choose("mnuOptions");
    EXPECT_EQ(app.Clears(), clears + 1) << static_cast<int>(result);
  }
  app.program.Exec("PLOT TEMPERATURE ON");
  for (const char* control : {"mnuEnlarge", "mnuEnlarge", "mnuShrink", "mnuIncrease", "mnuDecrease"}) {
    app.program.Choose(control);
    const int height = app.program.Layout().plot.height;
    ASSERT_EQ(app.canvas.Height(), height) << control;
    double lowest = 0;
    bool sawValid = false;
    for (const auto& op : app.canvas.ops) {
      if (op.kind == RecordingCanvas::Kind::Clear) lowest = 0, sawValid = false;
      if (op.kind != RecordingCanvas::Kind::Text) continue;
      lowest = std::max(lowest, op.y1 + 15);
      sawValid = sawValid || op.text.rfind("Valid: ", 0) == 0;
    }
    EXPECT_TRUE(sawValid) << control;
    EXPECT_LE(lowest, height) << control;
  }
}

}  // namespace
}  // namespace norvane::testing
