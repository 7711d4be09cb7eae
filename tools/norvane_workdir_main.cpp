// norvane-workdir FOLDER [SERVER-ADDRESS]
// Fills FOLDER with what the programs need at start: "norvane.ini" (the first
// server template pointing at SERVER-ADDRESS, by default the local sample
// bulletin server), the station tables, "world.map", the weather symbols, the
// default scripts and points of interest and the help file. The user's settings,
// scripts and points of interest are left alone; shipped data files are refreshed.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/ready_folder.h"

int main(int argc, char** argv) {
  const norvane::WorkdirArguments args = norvane::ParseWorkdirArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (args.help) {
    std::fputs(norvane::WorkdirUsage().c_str(), stdout);
    return 0;
  }
  if (!args.error.empty()) {
    std::fprintf(stderr, "norvane-workdir: %s\n%s", args.error.c_str(), norvane::WorkdirUsage().c_str());
    return 2;
  }
  const std::string& folder = args.folder;
  const std::string& server = args.server;
  const auto data = norvane::FindShippedData(norvane::ThisProgramFolder());
  if (!data) {
    std::fprintf(stderr, "norvane-workdir: the shipped data (share/norvane beside this program) is missing\n");
    return 1;
  }
  const norvane::ReadyFolderResult ready = norvane::MakeReadyFolder(folder, *data, server);
  if (!ready.ok) {
    std::fprintf(stderr, "norvane-workdir: %s\n", ready.error.c_str());
    return 1;
  }
  std::printf("Working folder ready: %s (%d data files from %s)\n", folder.c_str(), ready.dataFiles,
              data->c_str());
  return 0;
}
