#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "core/settings.h"
#include "tools/ready_folder.h"

namespace fs = std::filesystem;

namespace norvane {
namespace {

struct Scratch {
  fs::path path = fs::temp_directory_path() /
                  ("norvane-ready-" + std::to_string(getpid()) + "-" +
                   std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  Scratch() { fs::create_directories(path); }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(WorkdirArguments, HelpAndOptionsNeverBecomeFolders) {
  struct Case { std::vector<std::string> args; bool help; std::string folder, server; bool refused; };
  const Case cases[] = {
      {{"--help"}, true, "", "", false},
      {{"-h"}, true, "", "", false},
      {{"--frobnicate"}, false, "", "", true},
      {{}, false, "", "", true},
      {{"demo"}, false, "demo", "http://127.0.0.1:8642", false},
      {{"demo", "http://127.0.0.1:9000"}, false, "demo", "http://127.0.0.1:9000", false},
      {{"demo", "http://a", "extra"}, false, "", "", true},
  };
  for (const Case& c : cases) {
    const WorkdirArguments a = ParseWorkdirArguments(c.args);
    EXPECT_EQ(std::tuple(a.help, a.folder, a.server, !a.error.empty()), std::tuple(c.help, c.folder, c.server, c.refused))
        << (c.args.empty() ? "" : c.args[0]);
  }
  EXPECT_TRUE(WorkdirUsage().starts_with("usage: norvane-workdir FOLDER"));
}

TEST(FindShippedData, InstalledBesideTheProgramOrTheSourceTreeOnlyFromTheBuildFolder) {
  Scratch s;
  const fs::path source = s.path / "src/data", build = s.path / "build/bin";
  const fs::path installed = s.path / "usr/bin", bare = s.path / "opt/bin";
  Write(source / "main.stn", "x");
  Write(s.path / "usr/share/norvane/main.stn", "x");
  fs::create_directories(build);
  fs::create_directories(bare);
  struct Case {
    fs::path program;
    std::optional<fs::path> data;
  } cases[] = {
      {installed, s.path / "usr/share/norvane"},
      {build, source},
      {bare, std::nullopt},  // installed without its data: never the source tree
      {fs::path(), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(FindShippedData(c.program, build, source), c.data) << c.program;
}

TEST(MakeReadyFolder, FillsANewFolderThenRefreshesOnlyOurFiles) {
  Scratch s;
  const fs::path data = s.path / "data", work = s.path / "work";
  for (const char* name : {"latlong.stn", "main.stn", "norvane.hlp", "watch.dat", "symbols/ra.bmp", "scripts/startup.nvs"})
    Write(data / name, std::string("shipped ") + name);
  fs::copy_file(fs::path(NORVANE_SOURCE_DIR) / "data/world.map", data / "world.map");

  ReadyFolderResult first = MakeReadyFolder(work, data, "http://127.0.0.1:9");
  ASSERT_TRUE(first.ok) << first.error;
  EXPECT_EQ(first.dataFiles, 7);
  EXPECT_TRUE(fs::is_directory(work / "obsfolder"));
  EXPECT_EQ(Read(work / "symbols/ra.bmp"), "shipped symbols/ra.bmp");
  EXPECT_GT(fs::file_size(work / "user.map"), 0u);
  EXPECT_TRUE(fs::exists(work / "zooms.ini"));
  Settings settings;
  ReadSettingsText(Read(work / "norvane.ini"), settings);
  EXPECT_EQ(settings.ObServers[1], "http://127.0.0.1:9/data/ldm/data/surface/metar/%y%m%d%h_metar");
  EXPECT_EQ(settings.ActiveObServer, 1);

  // The user's edits survive a second run; a new version's tables and scripts come in.
  Write(work / "scripts/startup.nvs", "mine");
  Write(work / "watch.dat", "my points");
  Write(work / "norvane.ini", "mine");
  Write(data / "main.stn", "newer");
  Write(data / "scripts/cron.nvs", "shipped cron");
  ReadyFolderResult second = MakeReadyFolder(work, data, "");
  ASSERT_TRUE(second.ok) << second.error;
  for (const auto& [name, text] : {std::pair{"scripts/startup.nvs", "mine"}, {"watch.dat", "my points"},
                                   {"norvane.ini", "mine"}, {"main.stn", "newer"}, {"scripts/cron.nvs", "shipped cron"}})
    EXPECT_EQ(Read(work / name), text) << name;
  for (const auto& entry : fs::recursive_directory_iterator(work))
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

TEST(MakeReadyFolder, DefaultServersWithoutAnAddressAndAnErrorForAFolderThatCannotBeMade) {
  Scratch s;
  Write(s.path / "data/main.stn", "x");
  ASSERT_TRUE(MakeReadyFolder(s.path / "home", s.path / "data", "").ok);
  Settings settings;
  ReadSettingsText(Read(s.path / "home/norvane.ini"), settings);
  EXPECT_EQ(settings.ObServers, DefaultSettings().ObServers);
  EXPECT_EQ(settings.ActiveObServer, DefaultSettings().ActiveObServer);

  Write(s.path / "file", "not a folder");
  const ReadyFolderResult blocked = MakeReadyFolder(s.path / "file/work", s.path / "data", "");
  EXPECT_FALSE(blocked.ok);
  EXPECT_NE(blocked.error.find("file/work"), std::string::npos) << blocked.error;
}

}  // namespace
}  // namespace norvane
