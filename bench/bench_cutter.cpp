// Cutting a 10 MB bulletin of 50,000 reports in each layout a server may use; the
// target is under 100 ms for any of them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "downloader/bulletin_cutter.h"
#include "downloader/replay_bulletin.h"

namespace {

// 50,000 reports of about 200 characters.
std::vector<std::string> Reports() {
  std::vector<std::string> reports;
  char id[8];
  for (int i = 0; i < 50000; ++i) {
    std::snprintf(id, sizeof id, "K%03d", i % 1000);
    std::string r = std::string(id) + " 071151Z AUTO 27010G18KT 10SM -RA BR FEW020 SCT045 BKN110 OVC250 05/M02 A3001 "
                                      "RMK AO2 PK WND 28031/1120 SLP163 P0002 60005 T00501017 10061 20044 58012 "
                                      "TSNO $ CIG 018V024 VIS 3/4V1 1/2 FROPA";
    reports.push_back(r);
  }
  return reports;
}

void BM_CutBulletin(benchmark::State& state) {
  const auto layout = static_cast<norvane::ReplayLayout>(state.range(0));
  const std::string bulletin = "\n" + norvane::ReplayBulletin(Reports(), 2026, 12, 7, 12, layout) + "=\r\n";
  std::size_t cut = 0;
  for (auto _ : state) {
    cut = 0;
    norvane::CutBulletin(bulletin, [&](const norvane::RawReport&) { ++cut; });
    benchmark::DoNotOptimize(cut);
  }
  state.counters["reports"] = static_cast<double>(cut);
  state.counters["MB"] = static_cast<double>(bulletin.size()) / 1e6;
}
BENCHMARK(BM_CutBulletin)
    ->Arg(static_cast<int>(norvane::ReplayLayout::kWmo))
    ->Arg(static_cast<int>(norvane::ReplayLayout::kCycle))
    ->Arg(static_cast<int>(norvane::ReplayLayout::kLines))
    ->ArgName("layout")
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
