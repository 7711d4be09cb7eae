#pragma once
// Helpers for tests and benchmarks that run Norvane's own programs as children
// against servers on 127.0.0.1.
#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace norvane::testing {

// Starts argv[0] (a full path) in `folder`, headless.
inline pid_t Spawn(const std::filesystem::path& folder, const std::vector<std::string>& argv) {
  const pid_t pid = fork();
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

inline std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The server file name of the hour `hoursAgo` before now, as the templates make it.
inline std::string HourFile(int hoursAgo) {
  const std::time_t t = std::time(nullptr) - static_cast<std::time_t>(hoursAgo) * 3600;
  std::tm utc{};
  gmtime_r(&t, &utc);
  char name[32];
  std::strftime(name, sizeof name, "%y%m%d%H_metar", &utc);
  return name;
}

}  // namespace norvane::testing
