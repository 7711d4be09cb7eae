// The observation store's file work on the local disk: a full store saved and loaded,
// and one large bulletin filed into a full store with its archives and "watch.zzz".
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/local_file_system.h"
#include "obs/decoded_observation.h"
#include "obs/observation_store.h"
#include "obs/station_tables.h"

namespace {

using namespace norvane;

std::string Identifier(int i) {
  std::string id = "K000";
  for (int p = 3; p >= 1; --p, i /= 36) id[static_cast<std::size_t>(p)] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[i % 36];
  return id;
}

std::string ReportText(const std::string& id, int n) {
  return id + " " + std::to_string(100000 + n % 900000) + "Z 27012KT 10SM FEW050 12/M03 A2992 RMK SLP132 N" +
         std::to_string(n) + " ";
}

ObservationStore FullStore(int now) {
  ObservationStore store;
  const std::string decoded(DecodedTemplate());
  for (int i = 0; i <= kStoreLastIndex; ++i) {
    StationObservations& e = store[i];
    e.identifier = Identifier(i);
    e.latitude = static_cast<std::int16_t>(i % 9000);
    e.longitude = static_cast<std::int16_t>(-(i % 18000));
    for (int k = 0; k < kStationSlots; ++k) {
      e.reports[static_cast<std::size_t>(k)] = {now - 60 * k, ReportText(e.identifier, k), decoded};
    }
  }
  return store;
}

std::filesystem::path FreshFolder(const char* name) {
  auto path = std::filesystem::temp_directory_path() / name;
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  return path;
}

void BM_SaveAndLoadFullStore(benchmark::State& state) {
  const auto folder = FreshFolder("norvane_bench_store_save");
  LocalFileSystem fs(folder);
  const ObservationStore store = FullStore(100000);
  ObservationStore loaded;
  for (auto _ : state) {
    if (!SaveStore(fs, store, 0)) state.SkipWithError("SaveStore failed");
    const LoadResult result = LoadStore(fs, loaded);
    benchmark::DoNotOptimize(result.stations);
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveAndLoadFullStore)->Unit(benchmark::kMillisecond);

void BM_FileBulletinIntoFullStore(benchmark::State& state) {
  const int now = 100000;
  std::vector<StationPosition> positions;
  for (int i = 0; i <= kStoreLastIndex; ++i) positions.push_back({Identifier(i), 0, 0});
  const StationTable table(positions);
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const auto folder = FreshFolder("norvane_bench_store_file");
    LocalFileSystem fs(folder);
    ObservationStore store = FullStore(now);
    StoreContext context{fs, table,
                         [](std::string_view r) { return DecodeReport(r); }, now - 48 * 60, {}};
    ++round;
    state.ResumeTiming();
    // 5000 new reports spread over the table, each pushing slot 5 into an archive.
    for (int n = 0; n < 5000; ++n) {
      const int station = (n * 7919) % kStoreEntries;
      StoreReport(context, store, ReportText(Identifier(station), 1000 + n + round), now + 1 + n);
    }
    state.PauseTiming();
    std::filesystem::remove_all(folder);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FileBulletinIntoFullStore)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
