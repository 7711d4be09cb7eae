// Full redraw of the 1600 x 1000, 5000-station map through the real Qt painter
// (QtCanvas onto its QImage, offscreen): the cost a user waits for after every change.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "core/local_file_system.h"
#include "map/station_model.h"
#include "watch/meteogram.h"

#include "bench/redraw_scene.h"
#include "ui/qt/qt_canvas.h"

namespace {

// Counts what the plots really painted, so the figures can be read against the raster benchmark.
class CountingQtCanvas : public norvane::QtCanvas {
 public:
  long texts = 0;
  long pictures = 0;
  using QtCanvas::Picture;
  void Text(double x, double y, std::string_view t, const norvane::Font& f, norvane::Color c) override {
    ++texts;
    QtCanvas::Text(x, y, t, f, c);
  }
  void Picture(double x, double y, const norvane::Image& img, norvane::Color transparent) override {
    ++pictures;
    QtCanvas::Picture(x, y, img, transparent);
  }
};

// The canvas lives as long as the window, so a redraw finds the masks it keeps for
// circles and short texts made by the ones before; the first redraw, which makes them,
// is left out here and measured by BM_QtFirstRedraw.
void RunRedraws(benchmark::State& state, norvane::bench::RedrawScene& scene) {
  CountingQtCanvas canvas;
  canvas.Resize(norvane::bench::kSceneWidth, norvane::bench::kSceneHeight);
  norvane::Redraw(scene.redraw, scene.in, scene.host, canvas);
  canvas.texts = canvas.pictures = 0;
  for (auto _ : state) {
    norvane::Redraw(scene.redraw, scene.in, scene.host, canvas);
    benchmark::DoNotOptimize(canvas.Picture().constBits());
    benchmark::ClobberMemory();
  }
  state.counters["texts"] = static_cast<double>(canvas.texts) / static_cast<double>(state.iterations());
  state.counters["symbols"] = static_cast<double>(canvas.pictures) / static_cast<double>(state.iterations());
}

// The same scene as BM_FullRedraw (stand-in outline of 40000 segments).
void BM_QtFullRedraw(benchmark::State& state) {
  norvane::bench::RedrawScene scene;
  RunRedraws(state, scene);
}
BENCHMARK(BM_QtFullRedraw)->Unit(benchmark::kMillisecond);

// The real world outline through Draw_Map in place of the stand-in.
void BM_QtFullRedrawWorldOutline(benchmark::State& state) {
  norvane::bench::RedrawScene scene;
  if (!scene.UseWorldOutline()) {
    state.SkipWithError("data/world.map is missing");
    return;
  }
  RunRedraws(state, scene);
}
BENCHMARK(BM_QtFullRedrawWorldOutline)->Unit(benchmark::kMillisecond);

// Panning and zooming: every redraw moves the centre and changes the scale, so no
// station lands where it was and the canvas can reuse nothing tied to a position.
void BM_QtRedrawWhilePanningAndZooming(benchmark::State& state) {
  norvane::bench::RedrawScene scene;
  CountingQtCanvas canvas;
  canvas.Resize(norvane::bench::kSceneWidth, norvane::bench::kSceneHeight);
  norvane::Redraw(scene.redraw, scene.in, scene.host, canvas);
  const double dotScale = scene.projection.DotScale;
  long step = 0;
  for (auto _ : state) {
    ++step;
    scene.projection.CenterLongitude += 0.0137;
    scene.projection.CenterLatitude += step % 2 == 0 ? 0.0071 : -0.0053;
    scene.projection.DotScale = dotScale * (1 + 0.0009 * static_cast<double>(step % 50));
    norvane::Redraw(scene.redraw, scene.in, scene.host, canvas);
    benchmark::DoNotOptimize(canvas.Picture().constBits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_QtRedrawWhilePanningAndZooming)->Unit(benchmark::kMillisecond);

// The first redraw of a new canvas, which draws the masks of every circle size and
// short text it meets.
void BM_QtFirstRedraw(benchmark::State& state) {
  norvane::bench::RedrawScene scene;
  for (auto _ : state) {
    CountingQtCanvas canvas;
    canvas.Resize(norvane::bench::kSceneWidth, norvane::bench::kSceneHeight);
    norvane::Redraw(scene.redraw, scene.in, scene.host, canvas);
    benchmark::DoNotOptimize(canvas.Picture().constBits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_QtFirstRedraw)->Unit(benchmark::kMillisecond);

// The shipped start: station models of every station, thinned at the default zoom, over
// the real outline.
void BM_QtRedrawStationModelsThinned(benchmark::State& state) {
  norvane::bench::RedrawScene scene;
  if (!scene.UseWorldOutline()) {
    state.SkipWithError("data/world.map is missing");
    return;
  }
  scene.in.plots = norvane::PlotSwitches{};
  scene.in.plots.model = true;
  scene.in.modelSize = norvane::StationModelSize(scene.projection.ScreenDistance);
  scene.in.thinning = norvane::StationModelFootprint(scene.in.modelSize);
  RunRedraws(state, scene);
}
BENCHMARK(BM_QtRedrawStationModelsThinned)->Unit(benchmark::kMillisecond);

// A station's 48-hour meteogram as the window shows it: the slots and the archive read
// from disk, then painted at the window's size.
void BM_QtMeteogram48Hours(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() /
                          ("norvane-bench-meteogram-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(folder / "obsfolder");
  norvane::LocalFileSystem files(folder.string());
  constexpr std::int32_t kNow = 14700000;
  norvane::ObservationStore store;
  store.Clear();
  store[0].identifier = "KDFW";
  store[1].identifier = "end";
  norvane::StationArchive archive;
  for (int hour = 0; hour < 48; ++hour) {
    const std::int32_t time = kNow - 60 * hour - 7;
    const int minute = time % 1440;
    char text[128];
    std::snprintf(text, sizeof text, "KDFW 08%02d%02dZ %03d%02dG%02dKT 10SM -RA BKN%03d %02d/%02d A2992 RMK SLP%03d ",
                  minute / 60, minute % 60, 10 + 7 * hour, 5 + hour % 20, 25 + hour % 20, 10 + hour, 10 + hour % 15,
                  5 + hour % 5, 100 + hour);
    const norvane::ObservationRecord record{time, text, norvane::DecodeReport(text)};
    if (hour < 6) store[0].reports[static_cast<std::size_t>(hour)] = record;
    else archive.push_back(record);
  }
  files.WriteAll(norvane::ArchiveFileName("KDFW"), norvane::FormatArchive(archive));
  norvane::SymbolTable symbols;
  symbols.Load(norvane::LocalFileSystem(std::string(NORVANE_SOURCE_DIR) + "/data"), "", nullptr);
  norvane::QtCanvas canvas;
  canvas.Resize(960, 720);
  std::size_t reports = 0;
  for (auto _ : state) {
    const norvane::Meteogram m = norvane::BuildMeteogram(files, store, "KDFW", 48, kNow);
    norvane::DrawMeteogram(canvas, m, false, &symbols);
    reports = m.reports.size();
    benchmark::DoNotOptimize(canvas.Picture().constBits());
  }
  state.counters["reports"] = static_cast<double>(reports);
  std::error_code ec;
  fs::remove_all(folder, ec);
}
BENCHMARK(BM_QtMeteogram48Hours)->Unit(benchmark::kMillisecond);

// A loop frame change: six frames painted and kept, then each shown again with its
// frame counter written over it, as the loop's timer and keys do.
void BM_QtLoopFrameChange(benchmark::State& state) {
  norvane::bench::RedrawScene scene;
  norvane::QtCanvas canvas;
  canvas.Resize(norvane::bench::kSceneWidth, norvane::bench::kSceneHeight);
  constexpr int kFrames = 6;
  for (int k = 0; k < kFrames; ++k) {
    scene.in.now = 1000 + k;  // a different picture each
    norvane::Redraw(scene.redraw, scene.in, scene.host, canvas);
    if (!canvas.KeepPicture(k)) {
      state.SkipWithError("the canvas kept no frame");
      return;
    }
  }
  const norvane::Font counterFont{"MS Sans Serif", 10, true};
  int frame = 0;
  for (auto _ : state) {
    frame = (frame + 1) % kFrames;
    canvas.ShowKeptPicture(frame);
    canvas.Text(10, 36, "Frame " + std::to_string(frame + 1) + " of 6", counterFont, norvane::Rgb(0, 0, 0));
    benchmark::DoNotOptimize(canvas.Picture().constBits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_QtLoopFrameChange)->Unit(benchmark::kMillisecond);

// The full redraw on a screen of device-pixel ratio 2: four times the pixels.
void BM_QtFullRedrawAtRatio2(benchmark::State& state) {
  norvane::bench::RedrawScene scene;
  if (!scene.UseWorldOutline()) {
    state.SkipWithError("data/world.map is missing");
    return;
  }
  norvane::QtCanvas canvas;
  canvas.SetDevicePixelRatio(2);
  canvas.Resize(norvane::bench::kSceneWidth, norvane::bench::kSceneHeight);
  norvane::Redraw(scene.redraw, scene.in, scene.host, canvas);
  for (auto _ : state) {
    norvane::Redraw(scene.redraw, scene.in, scene.host, canvas);
    benchmark::DoNotOptimize(canvas.Picture().constBits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_QtFullRedrawAtRatio2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // No display is needed: QImage painting works on the offscreen platform.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
