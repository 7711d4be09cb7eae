#include "downloader/replay_bulletin.h"

#include <cctype>
#include <cstdio>

#include "core/time_stamp.h"

namespace norvane {

namespace {

bool Digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

bool StartsWithHeader(std::string_view r) {
  if (r.size() < 13 || r[4] != ' ' || r[11] != 'Z' || (r.size() > 12 && r[12] != ' ')) return false;
  for (std::size_t k = 5; k < 11; ++k)
    if (!Digit(r[k])) return false;
  return r.find(' ') == 4;
}

}  // namespace

std::optional<ReplayLayout> ParseReplayLayout(std::string_view word) {
  if (word == "wmo") return ReplayLayout::kWmo;
  if (word == "cycle") return ReplayLayout::kCycle;
  if (word == "lines") return ReplayLayout::kLines;
  return std::nullopt;
}

std::vector<std::string> ReadReplayReports(std::string_view text) {
  std::vector<std::string> reports;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.remove_suffix(1);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front()))) line.remove_prefix(1);
    if (StartsWithHeader(line)) reports.emplace_back(line);
  }
  return reports;
}

std::string ReplayBulletin(const std::vector<std::string>& reports, int year, int month, int day, int hour,
                           ReplayLayout layout) {
  const StampFields at = ReadStamp(StampAddHours(MakeStamp(year, month, day, hour, 0), -1));
  std::string out;
  char buf[64];
  int inBulletin = 0, bulletin = 0;
  for (const std::string& original : reports) {
    std::string r = original;
    std::snprintf(buf, sizeof buf, "%02d%02d", at.day, at.hour);
    r.replace(5, 4, buf);
    switch (layout) {
      case ReplayLayout::kWmo:
        if (inBulletin == 0) {
          std::snprintf(buf, sizeof buf, "\x01\r\r\n%03d \r\r\nSAXX%02d KWBC %02d%02d00\r\r\nMETAR\r\r\n",
                        bulletin % 1000, bulletin % 100, day, hour);
          out += buf;
        }
        out += r + "=\r\r\n";
        if (++inBulletin == 20) {
          out += "\r\r\n\x03";
          inBulletin = 0;
          ++bulletin;
        }
        break;
      case ReplayLayout::kCycle:
        std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%s\n", at.year, at.month, at.day, at.hour,
                      r.substr(9, 2).c_str());
        out += buf + r + "\n\n";
        break;
      case ReplayLayout::kLines: out += r + "\n"; break;
    }
  }
  if (layout == ReplayLayout::kWmo && inBulletin) out += "\r\r\n\x03";
  return out;
}

std::optional<int> CycleFileHour(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.size() != 7 || !Digit(name[0]) || !Digit(name[1])) return std::nullopt;
  if (std::toupper(static_cast<unsigned char>(name[2])) != 'Z') return std::nullopt;
  std::string rest;
  for (char c : name.substr(3)) rest += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const int hour = (name[0] - '0') * 10 + (name[1] - '0');
  if (rest != ".TXT" || hour > 23) return std::nullopt;
  return hour;
}

}  // namespace norvane
