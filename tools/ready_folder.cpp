#include "tools/ready_folder.h"

#include <algorithm>
#include <vector>

#include "core/local_file_system.h"
#include "core/replace_file.h"
#include "core/settings.h"
#include "map/map_file.h"

namespace norvane {

namespace fs = std::filesystem;

namespace {

// Names (relative to the data folder) of the regular files in `sub`, sorted.
std::vector<std::string> FilesIn(const fs::path& data, const std::string& sub) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(data / sub, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec)) names.push_back(sub + "/" + it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Copies through a twin so a program reading the table meanwhile never sees half of it.
bool CopyIn(const LocalFileSystem& from, LocalFileSystem& to, const std::string& name) {
  const auto bytes = from.ReadAll(name);
  return bytes && ReplaceFile(to, name, *bytes);
}

}  // namespace

fs::path ThisProgramFolder() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : self.parent_path();
}

std::optional<fs::path> FindShippedData(const fs::path& programFolder, const fs::path& buildProgramFolder,
                                        const fs::path& sourceData) {
  std::error_code ec;
  if (programFolder.empty()) return std::nullopt;
  const fs::path installed = (programFolder / ".." / "share" / "norvane").lexically_normal();
  if (fs::is_regular_file(installed / "main.stn", ec)) return installed;
  if (!buildProgramFolder.empty() && fs::equivalent(programFolder, buildProgramFolder, ec) &&
      fs::is_regular_file(sourceData / "main.stn", ec))
    return sourceData;
  return std::nullopt;
}

std::optional<fs::path> FindShippedData(const fs::path& programFolder) {
  return FindShippedData(programFolder, NORVANE_BUILD_PROGRAM_DIR, fs::path(NORVANE_SOURCE_DIR) / "data");
}

ReadyFolderResult MakeReadyFolder(const fs::path& folder, const fs::path& data, const std::string& server) {
  ReadyFolderResult result;
  std::error_code ec;
  for (const char* sub : {"obsfolder", "scripts", "symbols"}) fs::create_directories(folder / sub, ec);
  if (ec || !fs::is_directory(folder / "scripts")) {
    result.error = "cannot create " + folder.string() + (ec ? ": " + ec.message() : "");
    return result;
  }
  const LocalFileSystem shipped(data);
  LocalFileSystem files(folder);

  // Tables, maps, symbols and help are ours and are refreshed with every new version.
  std::vector<std::string> refreshed = {"latlong.stn", "main.stn", "world.map", "norvane.hlp"};
  for (const std::string& symbol : FilesIn(data, "symbols")) refreshed.push_back(symbol);
  for (const std::string& name : refreshed) {
    if (!shipped.Exists(name)) continue;
    if (!CopyIn(shipped, files, name)) {
      result.error = "cannot write " + (folder / name).string();
      return result;
    }
    ++result.dataFiles;
  }
  // Scripts and points of interest are the user's once they are there: only missing ones are added.
  std::vector<std::string> usersOwn = FilesIn(data, "scripts");
  usersOwn.push_back("watch.dat");
  for (const std::string& name : usersOwn)
    if (shipped.Exists(name) && !files.Exists(name) && CopyIn(shipped, files, name)) ++result.dataFiles;

  if (!files.Exists(kSettingsFile)) {
    Settings settings = DefaultSettings();
    if (!server.empty()) {
      // A whole template ("...%hZ.TXT") is taken as it is; a bare address gets the bulletin path.
      settings.ObServers[1] =
          server.find('%') != std::string::npos ? server : server + "/data/ldm/data/surface/metar/%y%m%d%h_metar";
      settings.ActiveObServer = 1;
    }
    if (!ReplaceFile(files, kSettingsFile, WriteSettingsText(settings)) ||
        !ReplaceFile(files, kZoomsFile, WriteZoomsText(settings))) {
      result.error = "cannot write the settings into " + folder.string();
      return result;
    }
  }
  // The outline of the default region (North America), so the first start shows a map.
  if (!files.Exists("user.map") && files.Exists("world.map")) {
    const auto world = LoadMap(files, "world.map");
    const MapRegion region{1500, 6000, -14000, -5000};
    if (!ReplaceFile(files, "user.map", EncodeMapFile(CutRegion(world.points, region)))) {
      result.error = "cannot write " + (folder / "user.map").string();
      return result;
    }
  }
  result.ok = true;
  return result;
}

WorkdirArguments ParseWorkdirArguments(const std::vector<std::string>& args) {
  WorkdirArguments a;
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    a.help = true;
    return a;
  }
  if (args.empty() || args.size() > 2) {
    a.error = "a folder is needed, and at most one server address after it";
    return a;
  }
  // A folder called like an option is a slip: never make it.
  if (args[0].starts_with("-")) {
    a.error = "unknown option " + args[0];
    return a;
  }
  a.folder = args[0];
  a.server = args.size() > 1 ? args[1] : "http://127.0.0.1:8642";
  return a;
}

std::string WorkdirUsage() {
  return "usage: norvane-workdir FOLDER [SERVER-ADDRESS]\n"
         "Makes FOLDER a ready Norvane working folder: settings, station tables, world map,\n"
         "weather symbols, default scripts and points of interest, and the help file.\n"
         "The first server template points at SERVER-ADDRESS (default http://127.0.0.1:8642,\n"
         "the sample bulletin server). Your settings, scripts and points are never overwritten.\n";
}

}  // namespace norvane
