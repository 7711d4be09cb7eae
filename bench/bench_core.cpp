// Start-up costs of the core helpers: settings round trip, time arithmetic, the
// command interpreter's tokenising.
#include <benchmark/benchmark.h>

#include "commands/command_words.h"
#include "core/number_text.h"
#include "core/settings.h"
#include "core/time_stamp.h"

namespace {

void BM_SettingsRoundTrip(benchmark::State& state) {
  const norvane::Settings defaults = norvane::DefaultSettings();
  for (auto _ : state) {
    norvane::Settings s = norvane::DefaultSettings();
    norvane::ReadSettingsText(norvane::WriteSettingsText(defaults), s);
    benchmark::DoNotOptimize(s.MinWind);
  }
}
BENCHMARK(BM_SettingsRoundTrip);

void BM_StampToMinutes(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(norvane::StampToMinutes("202612071230"));
}
BENCHMARK(BM_StampToMinutes);

void BM_StampAddHours(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(norvane::StampAddHours("202612310030", -49));
}
BENCHMARK(BM_StampAddHours);

void BM_TokeniseCommand(benchmark::State& state) {
  for (auto _ : state) {
    norvane::CommandWords w("DRAW `temp T -40 40 2 255 0 0 1 0.#");
    benchmark::DoNotOptimize(w[9]);
  }
}
BENCHMARK(BM_TokeniseCommand);

void BM_NumberText(benchmark::State& state) {
  double v = 0.1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(norvane::TrimmedNumberText(v));
    v += 1.25;
  }
}
BENCHMARK(BM_NumberText);

}  // namespace

BENCHMARK_MAIN();
