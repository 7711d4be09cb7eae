// norvane-sample-server [PORT] [--max-requests N] [--replay FILE [--layout wmo|cycle|lines]]
// Serves hourly bulletins on 127.0.0.1: generated ones for the stations of
// "latlong.stn" in the current folder, or with --replay the reports of FILE (one a
// line) retimed to the requested hour and written in the chosen layout. The hour
// comes from the digits of the requested file name (yymmddhh or YYYYmmddhh, as the
// server templates make them); a cycle-file name ("07Z.TXT") means the latest 07 UTC.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fstream>
#include <sstream>
#include <vector>

#include "core/local_file_system.h"
#include "core/system_clock.h"
#include "core/time_stamp.h"
#include "downloader/replay_bulletin.h"
#include "downloader/sample_bulletins.h"
#include "obs/station_tables.h"

namespace {

bool HourFromPath(const std::string& path, int& year, int& month, int& day, int& hour) {
  const std::size_t slash = path.rfind('/');
  std::string digits;
  for (std::size_t i = slash == std::string::npos ? 0 : slash + 1; i < path.size() && std::isdigit(static_cast<unsigned char>(path[i])); ++i)
    digits.push_back(path[i]);
  if (digits.size() == 8) digits = "20" + digits;
  if (digits.size() < 10) return false;
  year = std::atoi(digits.substr(0, 4).c_str());
  month = std::atoi(digits.substr(4, 2).c_str());
  day = std::atoi(digits.substr(6, 2).c_str());
  hour = std::atoi(digits.substr(8, 2).c_str());
  return month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour >= 0 && hour <= 23;
}

// The latest hour `hour` UTC that has begun: today's, or yesterday's when it is still to come.
void LatestHour(int hour, int& year, int& month, int& day) {
  const norvane::SystemClock clock;
  norvane::TimeStamp now = norvane::NowStamp(clock);
  if (std::atoi(now.substr(8, 2).c_str()) < hour) now = norvane::StampAddHours(now, -24);
  const norvane::StampFields f = norvane::ReadStamp(now);
  year = f.year;
  month = f.month;
  day = f.day;
}

void Send(int fd, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int port = 8642;
  long maxRequests = -1;
  const char* replay = nullptr;
  norvane::ReplayLayout layout = norvane::ReplayLayout::kWmo;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--max-requests") == 0 && i + 1 < argc) {
      maxRequests = std::atol(argv[++i]);
    } else if (std::strcmp(argv[i], "--replay") == 0 && i + 1 < argc) {
      replay = argv[++i];
    } else if (std::strcmp(argv[i], "--layout") == 0 && i + 1 < argc) {
      const auto chosen = norvane::ParseReplayLayout(argv[++i]);
      if (!chosen) {
        std::fprintf(stderr, "norvane-sample-server: --layout is wmo, cycle or lines\n");
        return 2;
      }
      layout = *chosen;
    } else {
      port = std::atoi(argv[i]);
    }
  }
  std::vector<std::string> reports;
  norvane::StationTable table;
  if (replay) {
    std::ifstream in(replay, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    reports = norvane::ReadReplayReports(text.str());
    if (reports.empty()) {
      std::fprintf(stderr, "norvane-sample-server: no reports in %s\n", replay);
      return 1;
    }
  } else {
    norvane::LocalFileSystem files(".");
    table = norvane::StationTable::Load(files);
    if (table.Stations().empty()) std::fprintf(stderr, "norvane-sample-server: no stations in latlong.stn here\n");
  }

  const int server = ::socket(AF_INET, SOCK_STREAM, 0);
  int yes = 1;
  ::setsockopt(server, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never reachable from outside this machine
  if (::bind(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(server, 8) != 0) {
    std::perror("norvane-sample-server");
    return 1;
  }
  if (replay)
    std::printf("Replaying %zu reports of %s on http://127.0.0.1:%d/\n", reports.size(), replay, port);
  else
    std::printf("Sample bulletins on http://127.0.0.1:%d/ (%zu stations)\n", port, table.Stations().size());
  std::fflush(stdout);
  for (long served = 0; maxRequests < 0 || served < maxRequests; ++served) {
    const int client = ::accept(server, nullptr, nullptr);
    if (client < 0) continue;
    timeval timeout{5, 0};
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string request;
    char buf[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
      const ssize_t n = ::recv(client, buf, sizeof buf, 0);
      if (n <= 0) break;
      request.append(buf, static_cast<std::size_t>(n));
    }
    std::string path;
    if (request.rfind("GET ", 0) == 0) path = request.substr(4, request.find(' ', 4) - 4);
    int y = 0, m = 0, d = 0, h = 0;
    const auto cycleHour = norvane::CycleFileHour(path);
    if (cycleHour) {
      h = *cycleHour;
      LatestHour(h, y, m, d);
    }
    if (cycleHour || HourFromPath(path, y, m, d, h)) {
      const std::string body = replay ? norvane::ReplayBulletin(reports, y, m, d, h, layout)
                                      : norvane::SampleBulletin(table.Stations(), y, m, d, h);
      Send(client, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
                       "\r\nConnection: close\r\n\r\n" + body);
    } else {
      const std::string body = "No bulletin for that address\n";
      Send(client, "HTTP/1.1 404 Not Found\r\nContent-Length: " + std::to_string(body.size()) +
                       "\r\nConnection: close\r\n\r\n" + body);
    }
    ::close(client);
  }
  ::close(server);
  return 0;
}
