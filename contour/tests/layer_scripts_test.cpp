// The contour, grid and change scripts shipped in data/scripts, run as the redraw
// runs them: through the script runner and the command interpreter into the displays.
#include <gtest/gtest.h>

#include <cmath>

#include "commands/command_interpreter.h"
#include "contour/grid_display.h"
#include "contour/tests/contour_test_support.h"
#include "core/local_file_system.h"
#include "platform/help_viewer.h"
#include "script/script_interpreter.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_process_starter.h"
#include "tests/fakes/fake_random.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/recording_reporter.h"
#include "tests/fakes/scripted_dialogs.h"

namespace norvane {
namespace {

struct NoHelp : HelpViewer {
  void ShowHelp(const std::string&, const std::string&) override {}
};

struct Host : ScriptHost {
  CommandInterpreter& exec;
  testing::RecordingReporter& log;
  Host(CommandInterpreter& e, testing::RecordingReporter& l) : exec(e), log(l) {}
  void Exec(const std::string& line, const std::string& suffix) override { exec.Exec(line, suffix); }
  void ShowMessage(const std::string& text) override { log.ShowMessage(text); }
  void LogProcessMessage(const std::string& text) override { log.LogProcessMessage(text); }
  void ProcessEvents() override {}
  bool StopRequested() override { return false; }
  // The main program's own constant: the hours the change grids span.
  std::optional<std::string> Constant(const std::string& name) override {
    return name == "DIFFHOURS" ? std::optional<std::string>("3") : std::nullopt;
  }
};

// 21 x 21 points over the plains: temperature falling northward, moist air, pressure
// rising north-east, ceilings lifting northward and winds blowing in towards the middle.
Grid Weather(double warming, double moistening, double rising) {
  // Coefficients off round numbers: a level through grid points or cell centres exactly draws nothing there.
  return testing::MakeGrid(21, 21, [&](GridCell& c, int i, int j) {
    c.Temperature = 30.13 - 1.21 * i + 0.31 * j - warming * i;
    c.DewPoint = c.Temperature - 3.07 - 0.53 * j + moistening * j;
    c.Pressure = 1000.17 + 0.83 * i + 0.51 * j - rising * (j + 0.37 * i);
    c.Ceiling = 3.3 + 2.11 * i + 0.37 * j;
    c.WindSpeed = 5.2 + 2.13 * i + 0.17 * j;
    c.PeakWind = c.WindSpeed + 15;
    const double r = std::hypot(i - 10, j - 10);
    c.DirNorth = r == 0 ? 0 : (i - 10) / r;
    c.DirEast = r == 0 ? 0 : (j - 10) / r;
  }, 30, -110);
}

struct World {
  testing::MemoryFileSystem files;
  testing::RecordingReporter log;
  testing::RecordingCanvas canvas;
  testing::ScriptedDialogs dialogs;
  testing::FakeProcessStarter starter;
  NoHelp help;
  testing::FakeClock clock;
  testing::FakeRandom random;
  GlobalVariables globals;
  std::vector<std::string> labels;
  GridDisplayContext display{files, log, canvas,
                             [](double lat, double lon) -> std::optional<ScreenPoint> {
                               return ScreenPoint{400 + 20 * (lon + 100), 300 - 20 * (lat - 40)};
                             },
                             1, true, {}};
  CommandInterpreter exec{CommandContext{log, dialogs, starter, help, files}, CommandHooks{}};
  Host host{exec, log};
  ScriptRunner runner{host, files, clock, random, globals};

  World() {
    CommandHooks& hooks = exec.Hooks();
    hooks.addLabel = [this](const std::string& text) { labels.push_back(text); };
    hooks.showGrid = [this](const std::string& n, const std::string& f, int rgb, const std::string& fmt) {
      ShowGridCommand(display, n, f, rgb, fmt);
    };
    hooks.drawContours = [this](const std::string& n, const std::string& n2, const std::string& f, double s, double e,
                                double i, int rgb, int t, const std::string& fmt) {
      DrawContoursCommand(display, n, n2, f, s, e, i, rgb, t, fmt);
    };
    files.files["now.nv1"] = EncodeGrid(Weather(0, 0, 0));
    files.files["past3.nv1"] = EncodeGrid(Weather(-0.3, 0.25, 0.2));
  }
};

TEST(LayerScripts, EachDrawsItsLayerAndAddsALabel) {
  // The 3-hour change of each quantity (1 to 3), then every script that draws the current grids.
  std::vector<std::pair<std::string, std::string>> cases = {{"change", "1"}, {"change", "2"}, {"change", "3"}};
  for (const char* name : {"contour_temp", "contour_dp", "contour_slp", "contour_cigs", "contour_wsavg",
                           "contour_wsmax", "contour_windchill", "contour_moist_conv", "contour_mixing_ratio",
                           "contour_rh",
                           "grid_cigs", "grid_dp", "grid_temp", "grid_wbarb", "grid_wsavg", "grid_wsmax", "grid_slp"})
    cases.push_back({name + std::string(".nvs"), ""});
  for (const auto& [script, quantity] : cases) {
    World w;
    const std::string file = script.ends_with(".nvs") ? script : script + ".nvs";
    w.files.files["scripts/" + file] = LocalFileSystem(NORVANE_SOURCE_DIR "/data/scripts").ReadAll(file).value_or("");
    w.runner.RunScript(script, {quantity.empty() ? "" : "3", quantity});
    EXPECT_EQ(w.log.shown, std::vector<std::string>{}) << file << " " << quantity;
    EXPECT_EQ(w.labels.size(), 1u) << file << " " << quantity;
    using Kind = testing::RecordingCanvas::Kind;
    EXPECT_GT(w.canvas.OfKind(Kind::Line).size() + w.canvas.OfKind(Kind::Text).size(), 10u) << file << " " << quantity;
  }
}

}  // namespace
}  // namespace norvane
