// Runs the real varnex against the sample bulletin server on 127.0.0.1.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/record_file.h"
#include "core/settings.h"

namespace fs = std::filesystem;

namespace {

const fs::path kBin = fs::path(NORVANE_BINARY_DIR) / "bin";

pid_t Spawn(const fs::path& folder, const std::vector<std::string>& argv) {
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  return pid;
}

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(VarnexEndToEnd, FetchesAGeneratedBulletinIntoTheStore) {
  if (!fs::exists(kBin / "varnex") || !fs::exists(kBin / "norvane-sample-server"))
    GTEST_SKIP() << "varnex or the sample server was not built";
  const fs::path dir = fs::temp_directory_path() / ("norvane-e2e-" + std::to_string(getpid()));
  fs::create_directories(dir / "obsfolder");
  std::ofstream(dir / "norvane.ini", std::ios::binary) << norvane::WriteSettingsText(norvane::DefaultSettings());
  fs::copy_file(fs::path(NORVANE_SOURCE_DIR) / "data/latlong.stn", dir / "latlong.stn");
  std::ofstream(dir / "lock.zzz", std::ios::binary) << "\"7\"\r\n";

  const std::string port = std::to_string(20000 + getpid() % 20000);
  pid_t server = Spawn(dir, {(kBin / "norvane-sample-server").string(), port, "--max-requests", "2"});
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  pid_t child = Spawn(dir, {(kBin / "varnex").string(),
                            "http://127.0.0.1:" + port + "/data/ldm/data/surface/metar/26120706_metar", "7"});

  // The child ends by itself after its final status; give it a bounded time.
  bool ended = false;
  for (int waited = 0; waited < 90000 && !ended; waited += 200) {
    int status = 0;
    ended = waitpid(child, &status, WNOHANG) == child;
    if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  if (!ended) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);
  ASSERT_TRUE(ended) << "varnex did not end";

  const std::string statusText = Slurp(dir / "d7.pid");
  norvane::RecordReader status(statusText);
  const auto error = status.NextBool();
  const auto final = status.NextBool();
  const auto text = status.NextText();
  ASSERT_TRUE(error && final && text);
  EXPECT_FALSE(*error);
  EXPECT_TRUE(*final);
  EXPECT_EQ(*text, "Observation download successful");
  EXPECT_FALSE(fs::exists(dir / "lock.zzz"));
  const std::string store = Slurp(dir / "obs.wad");
  EXPECT_GT(store.size(), 100000u);
  EXPECT_NE(store.find("KMCI"), std::string::npos);
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
