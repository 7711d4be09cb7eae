// norvane-workdir FOLDER [SERVER-ADDRESS]
// Fills FOLDER with what the programs need at start: "norvane.ini" (the first
// server template pointing at SERVER-ADDRESS, by default the local sample
// bulletin server), the station tables, "world.map", the weather symbols, the
// default scripts and the help file. Existing user files are left alone, except
// that shipped data files are refreshed.
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/local_file_system.h"
#include "core/replace_file.h"
#include "core/settings.h"
#include "map/map_file.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: norvane-workdir FOLDER [SERVER-ADDRESS]\n");
    return 2;
  }
  const fs::path folder = argv[1];
  const std::string server = argc > 2 ? argv[2] : "http://127.0.0.1:8642";
  const fs::path data = fs::path(NORVANE_SOURCE_DIR) / "data";
  std::error_code ec;
  fs::create_directories(folder / "scripts", ec);
  fs::create_directories(folder / "obsfolder", ec);
  if (ec) {
    std::fprintf(stderr, "norvane-workdir: cannot create %s: %s\n", folder.c_str(), ec.message().c_str());
    return 1;
  }
  int copied = 0;
  for (const char* name : {"latlong.stn", "main.stn", "unkn.stn", "world.map", "watch.dat", "norvane.hlp"}) {
    const fs::path from = data / name;
    if (!fs::exists(from)) continue;
    fs::copy_file(from, folder / name, fs::copy_options::overwrite_existing, ec);
    if (!ec) ++copied;
  }
  if (fs::exists(data / "symbols")) {
    fs::copy(data / "symbols", folder / "symbols", fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  }
  // Scripts are the user's: only missing ones are added.
  if (fs::exists(data / "scripts"))
    for (const auto& entry : fs::directory_iterator(data / "scripts", ec))
      if (!fs::exists(folder / "scripts" / entry.path().filename()))
        fs::copy_file(entry.path(), folder / "scripts" / entry.path().filename(), ec);

  norvane::LocalFileSystem files(folder);
  if (!files.Exists(norvane::kSettingsFile)) {
    norvane::Settings settings = norvane::DefaultSettings();
    settings.ObServers[1] = server + "/data/ldm/data/surface/metar/%y%m%d%h_metar";
    settings.ActiveObServer = 1;
    if (!norvane::ReplaceFile(files, norvane::kSettingsFile, norvane::WriteSettingsText(settings)) ||
        !norvane::ReplaceFile(files, norvane::kZoomsFile, norvane::WriteZoomsText(settings))) {
      std::fprintf(stderr, "norvane-workdir: cannot write the settings into %s\n", folder.c_str());
      return 1;
    }
  }
  // The outline of the default region (North America), so the first start shows a map.
  if (!files.Exists("user.map") && files.Exists("world.map")) {
    const auto world = norvane::LoadMap(files, "world.map");
    const norvane::MapRegion region{1500, 6000, -14000, -5000};
    const auto cut = norvane::CutRegion(world.points, region);
    if (!norvane::ReplaceFile(files, "user.map", norvane::EncodeMapFile(cut)))
      std::fprintf(stderr, "norvane-workdir: cannot write user.map\n");
  }
  std::printf("Working folder ready: %s (%d data files)\n", folder.c_str(), copied);
  return 0;
}
