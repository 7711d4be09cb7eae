// Gridding speed: the windowed station loop against visiting every grid point
// for every station, over the default region.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "grid/build_grid.h"
#include "map/grid_region.h"

namespace {

constexpr std::int32_t kNow = 14'000'000;

struct QuietHooks : norvane::GridBuildHooks {
  void Caption(const std::string&) override {}
  bool BeforeStation() override { return true; }
  std::vector<norvane::GridReport> ArchiveReports(const std::string&) override { return {}; }
};

std::vector<norvane::GridStation> Stations(int count) {
  std::mt19937 rng(1);
  std::uniform_int_distribution<int> lat(2000, 5500), lon(-13000, -6000), t(0, 35), p(9900, 10300), s(0, 40),
      dir(0, 36);
  std::vector<norvane::GridStation> out;
  for (int k = 0; k < count; ++k) {
    norvane::GridStation st;
    st.identifier = std::string("K").append(std::to_string(k));
    st.latitude = static_cast<std::int16_t>(lat(rng));
    st.longitude = static_cast<std::int16_t>(lon(rng));
    char d[160];
    std::snprintf(d, sizeof d, "%-31s%03d4%05d%03d%03d%03d%03d00000000%03d", "0", 30, p(rng) * 10 % 100000, t(rng),
                  t(rng) / 2, dir(rng) * 10, s(rng), s(rng) + 5);
    st.reports[0] = norvane::GridReport{kNow - 30, d};
    out.push_back(std::move(st));
  }
  norvane::GridStation end;
  end.identifier = "end";
  out.push_back(end);
  return out;
}

norvane::GridBuildParameters Box(float step, float endLongitude) {
  norvane::GridBuildParameters p;
  p.name = "bench";
  p.startLatitude = 20;
  p.endLatitude = 55;
  p.startLongitude = -130;
  p.endLongitude = endLongitude;
  p.latitudeStep = p.longitudeStep = step;
  p.radius = 150;
  p.exponent = 2;
  return p;
}

template <bool Windowed>
void Grid(benchmark::State& state, float step, float endLongitude, int stations) {
  const auto table = Stations(stations);
  norvane::GridBuildContext ctx;
  ctx.nowMinutes = kNow;
  ctx.stations = table;
  QuietHooks hooks;
  const auto p = Box(step, endLongitude);
  for (auto _ : state) {
    auto out = Windowed ? norvane::ComputeGrid(p, ctx, hooks) : norvane::ComputeGridEveryPoint(p, ctx, hooks);
    benchmark::DoNotOptimize(out);
  }
}

// The default region at 1 degree, 2000 stations (target: under 50 ms).
void BM_Continental_Windowed(benchmark::State& s) { Grid<true>(s, 1, -60, 2000); }
void BM_Continental_EveryPoint(benchmark::State& s) { Grid<false>(s, 1, -60, 2000); }
// A quarter degree, 5000 stations (target: under 500 ms). The full box would need
// 39621 records, beyond the 32767 a grid file can number, so the box ends at 75 W.
void BM_Fine_Windowed(benchmark::State& s) { Grid<true>(s, 0.25f, -75, 5000); }
void BM_Fine_EveryPoint(benchmark::State& s) { Grid<false>(s, 0.25f, -75, 5000); }

// A full store of 6000 stations over the whole world, gridded over the box and step
// that BUILDGRID name MAP picks for Europe and for the whole world (target: under 2 s).
std::vector<norvane::GridStation> WorldStations() {
  auto table = Stations(6000);
  std::mt19937 rng(2);
  std::uniform_int_distribution<int> lat(-6000, 7500), lon(-18000, 18000);
  for (auto& st : table)
    if (st.identifier != "end") st.latitude = static_cast<std::int16_t>(lat(rng)), st.longitude = static_cast<std::int16_t>(lon(rng));
  return table;
}
void MapGrid(benchmark::State& state, const norvane::MapRegion& region) {
  const auto table = WorldStations();
  norvane::ObservationStore store;
  store.Clear();
  for (std::size_t k = 0; k < table.size(); ++k) {
    store[static_cast<int>(k)].identifier = table[k].identifier;
    store[static_cast<int>(k)].latitude = table[k].latitude;
    store[static_cast<int>(k)].longitude = table[k].longitude;
  }
  const auto box = norvane::GridBoxFor(region, norvane::StationsInside(store, region), 3440);
  norvane::GridBuildParameters p;
  p.name = "bench";
  p.startLatitude = static_cast<float>(box.south), p.endLatitude = static_cast<float>(box.north);
  p.startLongitude = static_cast<float>(box.west), p.endLongitude = static_cast<float>(box.east);
  p.latitudeStep = p.longitudeStep = static_cast<float>(box.step);
  p.radius = static_cast<std::int16_t>(box.radius);
  p.exponent = 2;
  norvane::GridBuildContext ctx;
  ctx.nowMinutes = kNow;
  ctx.stations = table;
  QuietHooks hooks;
  for (auto _ : state) benchmark::DoNotOptimize(norvane::ComputeGrid(p, ctx, hooks));
  state.counters["step"] = box.step;
  state.counters["radius"] = box.radius;
}
void BM_MapRegion_Europe(benchmark::State& s) { MapGrid(s, norvane::MapRegion{3500, 7200, -2500, 4500}); }
void BM_MapRegion_World(benchmark::State& s) { MapGrid(s, norvane::MapRegion{}); }

BENCHMARK(BM_MapRegion_Europe)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRegion_World)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Continental_Windowed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Continental_EveryPoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fine_Windowed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fine_EveryPoint)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
