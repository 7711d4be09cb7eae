// Decoding speed over the world reports (target: 2,000,000 reports per second, one core).
#include <benchmark/benchmark.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "obs/decoded_observation.h"
#include "obs/report_cleaning.h"

namespace {

std::vector<std::string> WorldReports() {
  std::vector<std::string> reports;
  std::ifstream in(std::string(NORVANE_SHARED_DATA) + "/world_reports.txt", std::ios::binary);
  std::string line;
  while (std::getline(in, line)) reports.push_back(norvane::CleanReport(line));
  return reports;
}

void BM_DecodeWorldReports(benchmark::State& state) {
  const std::vector<std::string> reports = WorldReports();
  if (reports.empty()) {
    state.SkipWithError("world_reports.txt not found in NORVANE_SHARED_DATA");
    return;
  }
  for (auto _ : state) {
    for (const std::string& report : reports) {
      norvane::DecodedObservation decoded = norvane::DecodeReport(report);
      benchmark::DoNotOptimize(decoded.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(reports.size()));
}
BENCHMARK(BM_DecodeWorldReports);

void BM_DecodeWorldReportsIntoBuffer(benchmark::State& state) {
  const std::vector<std::string> reports = WorldReports();
  if (reports.empty()) {
    state.SkipWithError("world_reports.txt not found in NORVANE_SHARED_DATA");
    return;
  }
  std::array<char, norvane::kDecodedColumns> buffer{};
  for (auto _ : state) {
    for (const std::string& report : reports) {
      norvane::DecodeReportInto(report, buffer);
      benchmark::DoNotOptimize(buffer.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(reports.size()));
}
BENCHMARK(BM_DecodeWorldReportsIntoBuffer);

}  // namespace

BENCHMARK_MAIN();
