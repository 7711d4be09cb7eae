#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "map/station_thinning.h"

namespace {

// Thinning the stations of a full store spread over a large window (target: under 2 ms
// for 5,000 stations).
void BM_ThinStations(benchmark::State& state) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> x(0, 1600), y(0, 1000);
  std::uniform_int_distribution<int> time(0, 180);
  std::vector<norvane::ThinningCandidate> stations;
  for (int k = 0; k < state.range(0); ++k) stations.push_back({x(random), y(random), time(random)});
  std::size_t kept = 0;
  for (auto _ : state) {
    const std::vector<bool> keep = norvane::ThinStations(stations, norvane::PlotFootprint{});
    kept = static_cast<std::size_t>(std::count(keep.begin(), keep.end(), true));
    benchmark::DoNotOptimize(kept);
  }
  state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_ThinStations)->Arg(5000)->Arg(6001)->Unit(benchmark::kMillisecond);

// The worst crowding: every station on a few pixels, so each one checks the kept ones
// around it.
void BM_ThinStationsCrowded(benchmark::State& state) {
  std::mt19937 random(12);
  std::uniform_real_distribution<double> near(0, 40);
  std::vector<norvane::ThinningCandidate> stations;
  for (int k = 0; k < 5000; ++k) stations.push_back({near(random), near(random), k % 60});
  for (auto _ : state) benchmark::DoNotOptimize(norvane::ThinStations(stations, norvane::PlotFootprint{}));
}
BENCHMARK(BM_ThinStationsCrowded)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
