// The real varnex fetching a generated bulletin of every station in "latlong.stn"
// (5634 reports) from the sample server on 127.0.0.1 and filing it into a store
// whose six slots and archives are already full, so every report moves one into its archive.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/record_file.h"
#include "core/settings.h"
#include "tests/fakes/child_programs.h"

namespace {

namespace fs = std::filesystem;
const fs::path kBin = fs::path(NORVANE_BINARY_DIR) / "bin";

using norvane::testing::HourFile;
using norvane::testing::Slurp;
using norvane::testing::Spawn;

class DownloadBench {
 public:
  DownloadBench() {
    fs::create_directories(folder_ / "obsfolder");
    std::ofstream(folder_ / "norvane.ini", std::ios::binary) << norvane::WriteSettingsText(norvane::DefaultSettings());
    fs::copy_file(fs::path(NORVANE_SOURCE_DIR) / "data/latlong.stn", folder_ / "latlong.stn",
                  fs::copy_options::overwrite_existing);
    server_ = Spawn(folder_, {(kBin / "norvane-sample-server").string(), port_, "--max-requests", "40"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  ~DownloadBench() {
    kill(server_, SIGKILL);
    waitpid(server_, nullptr, 0);
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  // One whole varnex run; its final status text.
  std::string Run(int hoursAgo) {
    const std::string number = std::to_string(++runs_);
    std::ofstream(folder_ / "lock.zzz", std::ios::binary) << "\"" + number + "\"\r\n";
    const pid_t child = Spawn(folder_, {(kBin / "varnex").string(),
                                        "http://127.0.0.1:" + port_ + "/data/ldm/data/surface/metar/" +
                                            HourFile(hoursAgo), number});
    waitpid(child, nullptr, 0);
    const std::string statusFile = Slurp(folder_ / ("d" + number + ".pid"));
    norvane::RecordReader status(statusFile);
    status.NextBool();
    status.NextBool();
    return status.NextText().value_or("(no status)");
  }
  std::size_t StoreBytes() const {
    std::error_code ec;
    return fs::file_size(folder_ / "obs.wad", ec);
  }

 private:
  fs::path folder_ = fs::temp_directory_path() / ("norvane-bench-download-" + std::to_string(getpid()));
  std::string port_ = std::to_string(20000 + getpid() % 20000);
  pid_t server_ = -1;
  int runs_ = 0;
};

void BM_VarnexIntoAFullStore(benchmark::State& state) {
  if (!fs::exists(kBin / "varnex") || !fs::exists(kBin / "norvane-sample-server")) {
    state.SkipWithError("varnex or the sample server was not built");
    return;
  }
  DownloadBench bench;
  // Six earlier hours fill every station's six slots; two more make every archive and
  // the twin it keeps, as a store that has run for a while has them.
  for (int hoursAgo = 14; hoursAgo >= 7; --hoursAgo) {
    const std::string status = bench.Run(hoursAgo);
    if (status != "Observation download successful") {
      state.SkipWithError(("filling the store: " + status).c_str());
      return;
    }
  }
  int hoursAgo = 7;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const std::string status = bench.Run(--hoursAgo);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (status != "Observation download successful") {
      state.SkipWithError(status.c_str());
      return;
    }
  }
  state.counters["store bytes"] = static_cast<double>(bench.StoreBytes());
}
BENCHMARK(BM_VarnexIntoAFullStore)->Iterations(4)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
