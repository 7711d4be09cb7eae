#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

#include "map/map_file.h"
#include "map/projected_outline.h"

namespace {

// Projecting the whole shipped world outline for a new view (target: under 20 ms).
void BM_ProjectWorldOutline(benchmark::State& state) {
  std::ifstream in(NORVANE_SOURCE_DIR "/data/world.map", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto world = norvane::ParseMapFile(bytes).points;
  if (world.empty()) {
    state.SkipWithError("data/world.map not found");
    return;
  }
  norvane::MapProjection view;
  view.UpdateScale(1600, 1000);
  double lon = -97;
  for (auto _ : state) {
    view.CenterLongitude = lon;
    lon = lon > 170 ? -170 : lon + 1;
    benchmark::DoNotOptimize(norvane::ProjectMap(view, world));
  }
  state.counters["points"] = static_cast<double>(world.size());
}
BENCHMARK(BM_ProjectWorldOutline)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
