// The watch and the verification views at full size: a "watch.zzz" of 6000 new reports
// against 500 points of interest, and the verification map and continuity check over a
// full store whose 5000 stations each have 48 hours of archived reports on disk.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/local_file_system.h"
#include "core/settings.h"
#include "core/time_stamp.h"
#include "map/plots.h"
#include "map/projection.h"
#include "obs/decoded_observation.h"
#include "obs/observation_store.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_reporter.h"
#include "watch/verification_map.h"
#include "watch/verification_views.h"
#include "watch/watch.h"

namespace {

using namespace norvane;

const std::int32_t kNow = StampToMinutes("202507030000");

std::string Identifier(int i) {
  std::string id = "K000";
  for (int p = 3; p >= 1; --p, i /= 36)
    id[static_cast<std::size_t>(p)] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[i % 36];
  return id;
}

// A decoded text whose weather varies with n: thunder, hail, peak winds, snow, or none.
std::string DecodedFor(int n) {
  std::string d(DecodedTemplate());
  switch (n % 5) {
    case 0: d[7] = '1'; break;                  // TS
    case 1: d[15] = '1'; break;                 // GR
    case 2: d.replace(60, 3, "035"); break;     // peak wind
    case 3: d.replace(53, 3, "004"); break;     // snow depth
    default: break;
  }
  return d;
}

std::string ReportFor(const std::string& id, int n) {
  return id + " " + std::to_string(100000 + n % 800000) + "Z 27012KT 10SM FEW050CB 12/M03 A2992 RMK LTG DSNT N" +
         std::to_string(n) + " ";
}

// Positions over the continental United States.
struct UsPositions {
  std::mt19937 random{7};
  std::int16_t Latitude() { return static_cast<std::int16_t>(std::uniform_int_distribution<>(2500, 4900)(random)); }
  std::int16_t Longitude() { return static_cast<std::int16_t>(std::uniform_int_distribution<>(-12400, -6700)(random)); }
};

void BM_WatchHandOffFile(benchmark::State& state) {
  UsPositions us;
  PointList points;
  for (int k = 0; k < 500; ++k) points.push_back({"Point " + std::to_string(k), us.Latitude(), us.Longitude()});
  std::string handOff;
  for (int n = 0; n < 6000; ++n) {
    const std::string id = Identifier(n % 3000);
    handOff += FormatWatchRecord({us.Latitude(), us.Longitude(), ReportFor(id, n), DecodedFor(n), kNow - n % 60});
  }
  testing::MemoryFileSystem fs;
  fs.files[kWatchFile] = handOff;
  testing::RecordingReporter reporter;
  int notices = 0;
  for (auto _ : state) {
    fs.files.erase(kVerificationFile);
    WatchBox box;
    WatchContext context{fs, reporter, points, 15, 3440, box};
    notices = WatchHandOffFile(context).notices;
    benchmark::DoNotOptimize(box.Text().data());
  }
  state.counters["notices"] = notices;
}
BENCHMARK(BM_WatchHandOffFile)->Unit(benchmark::kMillisecond);

// A full store (6001 stations, six hourly slots each) and, for 5000 of them, an archive
// of the 42 older hourly reports of the last 48 hours.
struct ArchivedStore {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "norvane_bench_watch";
  ObservationStore store;

  ArchivedStore() {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / kArchiveFolder);
    LocalFileSystem fs(folder);
    UsPositions us;
    for (int i = 0; i <= kStoreLastIndex; ++i) {
      StationObservations& e = store[i];
      e.identifier = Identifier(i);
      e.latitude = us.Latitude();
      e.longitude = us.Longitude();
      for (int k = 0; k < kStationSlots; ++k)
        e.reports[static_cast<std::size_t>(k)] = {kNow - 60 * k, ReportFor(e.identifier, i + k), DecodedFor(i + k)};
      if (i >= 5000) continue;
      StationArchive archive;
      for (int h = kStationSlots; h < 48; ++h)
        archive.push_back({kNow - 60 * h, ReportFor(e.identifier, i + h), DecodedFor(i + h)});
      fs.WriteAll(ArchiveFileName(e.identifier), FormatArchive(archive));
    }
  }
  ~ArchivedStore() { std::filesystem::remove_all(folder); }
};

// Counts what would be drawn.
class CountingCanvas : public Canvas {
 public:
  long long ops = 0;
  int Width() const override { return 1600; }
  int Height() const override { return 1000; }
  void Resize(int, int) override {}
  void Clear(Color) override { ++ops; }
  void Line(double, double, double, double, Color, int) override { ++ops; }
  void Circle(double, double, double, Color, bool) override { ++ops; }
  void Point(double, double, Color) override { ++ops; }
  void Text(double, double, std::string_view, const Font&, Color) override { ++ops; }
  double TextWidth(std::string_view, const Font&) const override { return 0; }
  double TextHeight(std::string_view, const Font&) const override { return 0; }
  void Picture(double, double, const Image&, Color) override { ++ops; }
};

void BM_VerificationMap(benchmark::State& state) {
  ArchivedStore archived;
  LocalFileSystem fs(archived.folder);
  MapProjection projection = MapProjection::FromSettings(DefaultSettings(), 1600, 1000);
  VerificationMapHost host;
  host.updateScale = [&](int w, int h) { return projection.UpdateScale(w, h); };
  host.place = ProjectionPlacer(projection);
  // Every criterion over the whole 48 hours the store holds.
  const VerificationRequest request{":W030:T:S002:Z:L:C:R:F:H", "202507010000", "202507030000"};
  CountingCanvas canvas;
  for (auto _ : state) {
    DrawVerificationMap(canvas, request, archived.store, fs, host, Rgb(255, 255, 255));
  }
  state.counters["ops"] = static_cast<double>(canvas.ops) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_VerificationMap)->Unit(benchmark::kMillisecond);

void BM_ContinuityCheck(benchmark::State& state) {
  ArchivedStore archived;
  LocalFileSystem fs(archived.folder);
  for (auto _ : state) {
    const ContinuityCounts counts = CountContinuity(archived.store, fs, kNow);
    benchmark::DoNotOptimize(ContinuityListing(counts, "202507030000"));
  }
}
BENCHMARK(BM_ContinuityCheck)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
