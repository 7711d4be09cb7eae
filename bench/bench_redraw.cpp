// Full redraw of a 1600 x 1000 map with 5000 stations: temperatures, dew points, peak
// winds and weather symbols over a synthetic outline, painted onto a plain raster.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "bench/redraw_scene.h"

namespace {

using norvane::Canvas;
using norvane::Color;
using norvane::Font;
using norvane::Image;

// A simple 32-bit raster: enough work per primitive to stand in for a real painter.
class RasterCanvas : public Canvas {
 public:
  long texts = 0;
  long pictures = 0;
  RasterCanvas(int w, int h) : w_(w), h_(h), pixels_(static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) {}
  int Width() const override { return w_; }
  int Height() const override { return h_; }
  void Resize(int w, int h) override {
    w_ = std::max(1, w);
    h_ = std::max(1, h);
    pixels_.assign(static_cast<std::size_t>(w_) * static_cast<std::size_t>(h_), 0);
  }
  void Clear(Color c) override { std::fill(pixels_.begin(), pixels_.end(), c); }
  void Line(double x1, double y1, double x2, double y2, Color c, int) override {
    const int steps = static_cast<int>(std::max(std::abs(x2 - x1), std::abs(y2 - y1))) + 1;
    for (int i = 0; i <= steps; ++i) {
      Put(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps, c);
    }
  }
  void Circle(double x, double y, double r, Color c, bool) override {
    for (int k = 0; k < 16; ++k) Put(x + r * std::cos(k * 0.3927), y + r * std::sin(k * 0.3927), c);
  }
  void Point(double x, double y, Color c) override { Put(x, y, c); }
  void Text(double x, double y, std::string_view t, const Font& f, Color c) override {
    ++texts;
    // A filled box per glyph approximates the cost of text.
    for (std::size_t i = 0; i < t.size(); ++i) {
      for (int dy = 0; dy < f.pointSize; ++dy) Put(x + static_cast<double>(i) * 6, y + dy, c);
    }
  }
  double TextWidth(std::string_view t, const Font& f) const override { return 0.6 * f.pointSize * static_cast<double>(t.size()); }
  double TextHeight(std::string_view, const Font& f) const override { return 1.5 * f.pointSize; }
  void Picture(double x, double y, const Image& img, Color transparent) override {
    ++pictures;
    for (int r = 0; r < img.height; ++r) {
      for (int col = 0; col < img.width; ++col) {
        const Color c = img.pixels[static_cast<std::size_t>(r * img.width + col)];
        if (c != transparent) Put(x + col, y + r, c);
      }
    }
  }

 private:
  void Put(double x, double y, Color c) {
    const int ix = static_cast<int>(x);
    const int iy = static_cast<int>(y);
    if (ix >= 0 && iy >= 0 && ix < w_ && iy < h_) pixels_[static_cast<std::size_t>(iy * w_ + ix)] = c;
  }
  int w_, h_;
  std::vector<Color> pixels_;
};

void BM_FullRedraw(benchmark::State& state) {
  norvane::bench::RedrawScene scene;
  RasterCanvas canvas(norvane::bench::kSceneWidth, norvane::bench::kSceneHeight);
  for (auto _ : state) {
    norvane::Redraw(scene.redraw, scene.in, scene.host, canvas);
    benchmark::ClobberMemory();
  }
  // Per redraw: how many station texts and symbols were really painted.
  state.counters["texts"] = static_cast<double>(canvas.texts) / static_cast<double>(state.iterations());
  state.counters["symbols"] = static_cast<double>(canvas.pictures) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
