// norvane-workdir FOLDER [SERVER-ADDRESS]
// Fills FOLDER with what the programs need at start: "norvane.ini" (the first
// server template pointing at SERVER-ADDRESS, by default the local sample
// bulletin server), the station tables, "world.map", the weather symbols, the
// default scripts and points of interest and the help file. The user's settings,
// scripts and points of interest are left alone; shipped data files are refreshed.
#include <cstdio>
#include <string>

#include "tools/ready_folder.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: norvane-workdir FOLDER [SERVER-ADDRESS]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::string server = argc > 2 ? argv[2] : "http://127.0.0.1:8642";
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
