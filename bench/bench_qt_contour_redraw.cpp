// The whole main program redrawing 1600 x 1000 through the Qt canvas: station
// temperatures and six contour layers (temperature, dew point, pressure, ceilings,
// mean and peak wind) from a grid over the shipped grid-build box. Target: under 100 ms.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <filesystem>

#include "app/main_program.h"
#include "app/no_windows.h"
#include "bench/redraw_scene.h"
#include "core/local_file_system.h"
#include "core/replace_file.h"
#include "core/settings.h"
#include "core/system_clock.h"
#include "grid/grid_file.h"
#include "tests/fakes/fake_program_runner.h"
#include "tests/fakes/fake_process_starter.h"
#include "tests/fakes/recording_printer.h"
#include "tests/fakes/scripted_dialogs.h"
#include "ui/qt/qt_canvas.h"

namespace {

namespace fs = std::filesystem;
using namespace norvane;

struct NoEvents : EventPump {
  void ProcessEvents() override {}
};
struct NoHelp : HelpViewer {
  void ShowHelp(const std::string&, const std::string&) override {}
};

// The grid-build box of the shipped "buildgrid.nvs" (20N 130W to 55N 60W, one degree),
// with smooth fields that give every layer a few dozen lines.
std::string ShippedBoxGrid() {
  Grid g;
  g.header = {.EndLongitude = -60, .StartLongitude = -130, .EndLatitude = 55, .StartLatitude = 20,
              .LatitudeStep = 1, .LongitudeStep = 1};
  g.size = *SizeOfGrid(g.header);
  g.cells.resize(static_cast<std::size_t>(g.size.rows) * g.size.columns);
  for (int i = 0; i < g.size.rows; ++i)
    for (int j = 0; j < g.size.columns; ++j) {
      GridCell& c = g.At(i, j);
      c.Temperature = 30 - 1.1 * i + 5 * std::sin(j * 0.15);
      c.DewPoint = c.Temperature - 6 - 3 * std::cos(j * 0.1);
      c.Pressure = 1012 + 14 * std::sin(i * 0.12) * std::cos(j * 0.09);
      c.WindSpeed = 12 + 8 * std::sin(i * 0.2 + j * 0.05);
      c.PeakWind = c.WindSpeed + 10;
      c.Ceiling = 20 + 15 * std::cos(i * 0.3 + j * 0.2);
      c.DirNorth = std::cos(0.05 * (i + j));
      c.DirEast = std::sin(0.05 * (i + j));
    }
  return EncodeGrid(g);
}

void BM_QtRedrawWithSixContourLayers(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / "norvane-bench-contours";
  fs::remove_all(folder);
  fs::create_directories(folder / "scripts");
  for (const char* script : {"contour_temp.nvs", "contour_dp.nvs", "contour_slp.nvs", "contour_cigs.nvs",
                             "contour_wsavg.nvs", "contour_wsmax.nvs"})
    fs::copy_file(fs::path(NORVANE_SOURCE_DIR) / "data/scripts" / script, folder / "scripts" / script);
  for (const char* data : {"world.map", "symbols"})
    fs::copy(fs::path(NORVANE_SOURCE_DIR) / "data" / data, folder / (std::string(data) == "world.map" ? "user.map" : data),
             fs::copy_options::recursive);
  LocalFileSystem files(folder);
  ReplaceFile(files, kSettingsFile, WriteSettingsText(DefaultSettings()));
  ReplaceFile(files, "now.nv1", ShippedBoxGrid());
  {
    bench::RedrawScene scene;  // 5000 stations over the middle of the continent
    ReplaceFile(files, "obs.wad", FormatStore(scene.store, 0));
  }

  SystemClock clock;
  StandardRandom random;
  testing::ScriptedDialogs dialogs;
  testing::FakeProcessStarter starter;
  NoEvents events;
  NoHelp help;
  QtCanvas canvas;
  NoWindows windows;
  AppView view;
  testing::RecordingPrinter printer;
  testing::FakeProgramRunner runner;
  MainProgram program({files, clock, random, dialogs, starter, events, help, canvas, windows, view, printer, runner, {}});
  program.FixMapSize(1600, 1000);
  program.Start(1600, 1000, false);
  program.Exec("LOADOBS");
  program.Exec("PLOT TEMPERATURE ON");
  for (const char* layer : {"mnuC_Temp", "mnuC_DP", "mnuC_SLP", "mnuC_Cigs", "mnuC_WSavg", "mnuC_WSmax"})
    program.Choose(layer);
  program.Redraw(true);
  if (program.Log().Text().find("Drawing contour 'SLP' from NOW") == std::string::npos) {
    state.SkipWithError("the contour layers did not draw");
    return;
  }
  for (auto _ : state) program.Redraw(true);
  fs::remove_all(folder);
}
BENCHMARK(BM_QtRedrawWithSixContourLayers)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
