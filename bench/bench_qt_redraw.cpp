// Full redraw of the 1600 x 1000, 5000-station map through the real Qt painter
// (QtCanvas onto its QImage, offscreen): the cost a user waits for after every change.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

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

void RunRedraws(benchmark::State& state, norvane::bench::RedrawScene& scene) {
  CountingQtCanvas canvas;
  canvas.Resize(norvane::bench::kSceneWidth, norvane::bench::kSceneHeight);
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
