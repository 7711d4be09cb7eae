#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace norvane {

// The folder of the running program (from /proc/self/exe), or empty when unknown.
std::filesystem::path ThisProgramFolder();

// Where the shipped data (station tables, maps, symbols, scripts, help) is for a
// program in `programFolder`: "../share/norvane" beside an installed program, or
// `sourceData` when the program is the one built into `buildProgramFolder`. An
// installed copy never reaches into a source tree, which may have moved or changed.
std::optional<std::filesystem::path> FindShippedData(const std::filesystem::path& programFolder,
                                                     const std::filesystem::path& buildProgramFolder,
                                                     const std::filesystem::path& sourceData);
// The same for this build's own folders.
std::optional<std::filesystem::path> FindShippedData(const std::filesystem::path& programFolder);

struct ReadyFolderResult {
  bool ok = false;
  int dataFiles = 0;  // shipped data files copied in
  std::string error;  // why the folder is not ready, when !ok
};

// Makes `folder` a working folder in which a first start shows a working window:
// "obsfolder", "scripts", the station tables, "world.map", the symbols, the help,
// the default scripts and points of interest, "norvane.ini" and a "user.map" of
// the default region. Shipped tables, maps, symbols and help are refreshed; the
// user's settings, scripts and points of interest are never overwritten. When
// `server` is not empty (e.g. "http://127.0.0.1:8642"), a new "norvane.ini" takes
// the first server template from it and makes that server the active one; a `server`
// holding "%" is a whole template and is taken as it is.
ReadyFolderResult MakeReadyFolder(const std::filesystem::path& folder, const std::filesystem::path& data,
                                  const std::string& server);

// The command line of norvane-workdir: FOLDER [SERVER-ADDRESS], or --help.
struct WorkdirArguments {
  bool help = false;
  std::string folder, server;
  std::string error;  // why the command line was refused
};
WorkdirArguments ParseWorkdirArguments(const std::vector<std::string>& args);
std::string WorkdirUsage();

}  // namespace norvane
