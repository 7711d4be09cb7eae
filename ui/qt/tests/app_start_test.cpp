// Starts the real NorvaneApp headless in a scratch working folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/settings.h"

namespace fs = std::filesystem;

namespace {

const fs::path kApp = fs::path(NORVANE_BINARY_DIR) / "bin/NorvaneApp";

pid_t StartApp(const fs::path& folder) {
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    execl(kApp.c_str(), "NorvaneApp", static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

template <typename Pred>
bool WaitFor(Pred pred, int millis) {
  for (int waited = 0; waited < millis; waited += 50) {
    if (pred()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return pred();
}

void Stop(pid_t pid) {
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

struct ScratchFolder {
  fs::path path = fs::temp_directory_path() /
                  ("norvane-app-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  ScratchFolder() {
    fs::create_directories(path);
    std::ofstream(path / "norvane.ini", std::ios::binary) << norvane::WriteSettingsText(norvane::DefaultSettings());
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::permissions(path, fs::perms::owner_all, ec);
    fs::remove_all(path, ec);
  }
};

TEST(NorvaneApp, StartsCleansHandOffFilesAndRefusesASecondCopy) {
  if (!fs::exists(kApp)) GTEST_SKIP() << "NorvaneApp was not built";
  ScratchFolder dir;
  fs::create_directories(dir.path / "scripts");
  std::ofstream(dir.path / "lock.zzz") << "\"3\"\r\n";
  std::ofstream(dir.path / "d3.pid") << "#FALSE#,#FALSE#,\"12\"\r\n";
  std::ofstream(dir.path / "scripts/redraw.nvs") << "\"PLOT RH\"\r\n";
  std::ofstream(dir.path / "scripts/keep.nvs") << "\"ECHO HI\"\r\n";

  pid_t first = StartApp(dir.path);
  ASSERT_TRUE(WaitFor([&] { return fs::exists(dir.path / "obsfolder") && !fs::exists(dir.path / "lock.zzz"); }, 20000));
  EXPECT_TRUE(WaitFor([&] { return !fs::exists(dir.path / "d3.pid"); }, 2000));
  EXPECT_FALSE(fs::exists(dir.path / "scripts/redraw.nvs"));
  EXPECT_TRUE(fs::exists(dir.path / "scripts/keep.nvs"));

  // A second copy in the same folder must leave everything alone.
  std::ofstream(dir.path / "lock.zzz") << "\"4\"\r\n";
  pid_t second = StartApp(dir.path);
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  EXPECT_TRUE(fs::exists(dir.path / "lock.zzz"));
  Stop(second);
  Stop(first);
}

TEST(NorvaneApp, ReadOnlyWorkingFolderIsRefused) {
  if (!fs::exists(kApp)) GTEST_SKIP() << "NorvaneApp was not built";
  if (geteuid() == 0) GTEST_SKIP() << "root can write into read-only folders";
  ScratchFolder dir;
  fs::permissions(dir.path, fs::perms::owner_read | fs::perms::owner_exec);
  pid_t app = StartApp(dir.path);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_FALSE(fs::exists(dir.path / "obsfolder"));
  Stop(app);
}

}  // namespace
