// A day of the main program on its own: "cron.nvs" fetches every hour, every
// download is followed by two grid builds and redraws, and the children run in this
// process on a real working folder. Afterwards the folder must hold exactly what
// the age limit allows, nothing half-written, and the program must not have grown.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

#include "app/tests/app_harness.h"
#include "commands/scheduler.h"
#include "core/local_file_system.h"
#include "core/record_file.h"
#include "downloader/sample_bulletins.h"
#include "grid/grid_file.h"
#include "obs/station_tables.h"
#include "tests/fakes/in_process_children.h"

#if defined(__SANITIZE_ADDRESS__)
#define NORVANE_SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NORVANE_SOAK_ASAN 1
#endif
#endif
#ifdef NORVANE_SOAK_ASAN
// From the sanitizer runtime (GCC ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace norvane::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadSourceFile(const std::string& relative) {
  std::ifstream in(fs::path(NORVANE_SOURCE_DIR) / relative, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// What the process holds: open files, resident pages and live heap bytes (the
// sanitizer's count excludes its quarantine, which fills up over any long run).
struct Usage {
  long openFiles = 0, residentKb = 0;
  long long heapBytes = 0;
};
Usage MeasureUsage() {
  Usage u;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++u.openFiles;
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  u.residentKb = resident * (sysconf(_SC_PAGESIZE) / 1024);
#ifdef NORVANE_SOAK_ASAN
  u.heapBytes = static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
  u.heapBytes = static_cast<long long>(mallinfo2().uordblks);
#endif
  return u;
}

// Keeps only what the last picture holds, so the test itself does not grow.
class LastPictureCanvas : public Canvas {
 public:
  int clears = 0;
  int lines = 0;                   // since the last clear
  std::vector<std::string> texts;  // since the last clear
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void Resize(int w, int h) override { width_ = std::max(1, w), height_ = std::max(1, h); }
  void Clear(Color) override { ++clears, lines = 0, texts.clear(); }
  void Line(double, double, double, double, Color, int) override { ++lines; }
  void Circle(double, double, double, Color, bool) override {}
  void Point(double, double, Color) override {}
  void Text(double, double, std::string_view t, const Font&, Color) override { texts.emplace_back(t); }
  double TextWidth(std::string_view t, const Font& f) const override { return 0.6 * f.pointSize * static_cast<double>(t.size()); }
  double TextHeight(std::string_view, const Font& f) const override { return 1.5 * f.pointSize; }
  void Picture(double, double, const Image&, Color) override {}

 private:
  int width_ = 800, height_ = 600;
};

// Sees every message as it is logged; keeps the ones that mean trouble.
struct WatchfulView : AppView {
  int messages = 0;
  std::vector<std::string> trouble;
  void OutputChanged(const std::string& text) override {
    ++messages;
    const std::string newest = text.substr(0, text.find("\r\n"));
    for (const char* sign : {"!!!", "Unable", "unable", "not loaded", "damaged", "cannot", "Error", "timeout"})
      if (newest.find(sign) != std::string::npos && trouble.size() < 20) trouble.push_back(newest);
  }
};

// One line of a station archive or store slot, read strictly.
struct Line {
  std::string report;
  std::int32_t time = 0;
};
// Every record complete and well formed, up to the very end of the file.
std::optional<std::vector<Line>> ParseArchiveWhole(const std::string& bytes, const std::string& identifier) {
  std::vector<Line> lines;
  RecordReader reader(bytes);
  while (!reader.AtEnd()) {
    Line line;
    auto report = reader.NextText();
    auto decoded = reader.NextText();
    auto time = reader.NextNumber();
    if (!report || !decoded || !time || !reader.LastEndedLine()) return std::nullopt;
    if (report->rfind(identifier + " ", 0) != 0 || decoded->size() != 63) return std::nullopt;
    lines.push_back({*report, static_cast<std::int32_t>(*time)});
  }
  return lines;
}

// The scripted clock: minutes from the start, local time equal to UTC.
void SetClock(FakeClock& clock, std::chrono::sys_seconds at) {
  using namespace std::chrono;
  const sys_days day = floor<days>(at);
  const year_month_day ymd(day);
  const hh_mm_ss time(at - day);
  clock.Set(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())), static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count()));
  clock.seconds = static_cast<double>(time.to_duration().count());
}

struct SoakFolder {
  fs::path root;
  // Memory-backed where it can be: a real file system without the disk's cost of thousands of twins.
  SoakFolder() {
    std::error_code error;
    std::string pattern = (fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path()) /
                          "norvane-soak-XXXXXX";
    root = mkdtemp(pattern.data());
  }
  ~SoakFolder() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
};

TEST(Soak, ADayOfHourlyDownloadsGridsAndRedrawsLeavesABoundedFolderAndAFlatProgram) {
  const std::vector<StationPosition> table = ParseLatLong(ReadSourceFile("data/latlong.stn"));
  const std::string shippedCron = ReadSourceFile("data/scripts/cron.nvs");
  ASSERT_FALSE(table.empty()) << "data/latlong.stn not found under " << NORVANE_SOURCE_DIR;
  const std::string shippedAfterDownload = ReadSourceFile("data/scripts/after_varnex.nvs");
  ASSERT_NE(shippedCron.find("AT XX10 GETOBS"), std::string::npos) << "the shipped cron.nvs no longer fetches hourly";
  for (const char* line : {"LOADOBS", "REDRAW", "BUILDGRID now "})
    ASSERT_NE(shippedAfterDownload.find(line), std::string::npos) << "the shipped after_varnex.nvs has no " << line;

  // Every twelfth station of the grid box and a sprinkling of the rest of the world
  // (about 250, to keep the day short under the sanitizers); a few others reported
  // only in the previous session and must age out of the store.
  std::vector<StationPosition> stations, gone;
  int inBoxSeen = 0;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const StationPosition& s = table[i];
    const bool inBox = s.latitude >= 2000 && s.latitude <= 5500 && s.longitude >= -13000 && s.longitude <= -6000;
    if (inBox ? inBoxSeen++ % 12 == 0 : i % 100 == 0) stations.push_back(s);
    else if (!inBox && i % 100 == 1 && gone.size() < 5) gone.push_back(s);
  }
  std::vector<StationPosition> before = stations;
  before.insert(before.end(), gone.begin(), gone.end());

  SoakFolder folder;
  LocalFileSystem files(folder.root);
  FakeClock clock;
  FakeRandom random;
  ScriptedDialogs dialogs;
  NoEvents events;
  NoHelpViewer help;
  LastPictureCanvas canvas;
  ScriptedWindows windows;
  WatchfulView view;
  RecordingPrinter printer;
  FakeProgramRunner runner;
  const std::vector<StationPosition>* served = &before;
  int fetches = 0;
  InProcessChildren children(files, clock, [&](const std::string& address) -> std::optional<std::string> {
    ++fetches;
    const std::size_t at = address.rfind('/');
    if (at == std::string::npos || address.size() < at + 11) return std::nullopt;
    const std::string hour = address.substr(at + 1, 10);
    return SampleBulletin(*served, std::stoi(hour.substr(0, 4)), std::stoi(hour.substr(4, 2)),
                          std::stoi(hour.substr(6, 2)), std::stoi(hour.substr(8, 2)));
  });

  Settings settings = DefaultSettings();
  settings.ObServers[1] = "http://127.0.0.1:9/%Y%m%d%h_metar";  // answered in-process, never dialled
  settings.ActiveObServer = 1;
  files.WriteAll(kSettingsFile, WriteSettingsText(settings));
  files.WriteAll("latlong.stn", FormatLatLong(before));
  files.WriteAll("user.map", EncodeMapFile({{2500, -12500}, {5000, -12500}, {5000, -6500}, {2500, -6500}}));
  files.WriteAll("watch.dat", ReadSourceFile("data/watch.dat"));
  files.CreateFolder("scripts");
  files.CreateFolder("symbols");
  for (const auto& entry : fs::directory_iterator(fs::path(NORVANE_SOURCE_DIR) / "data/symbols"))
    fs::copy_file(entry.path(), folder.root / "symbols" / entry.path().filename());
  for (const char* shipped : {"cron.nvs", "after_buildgrid.nvs", "startup.nvs", "contour_temp.nvs", "grid_temp.nvs"})
    files.WriteAll(std::string("scripts/") + shipped, ReadSourceFile(std::string("data/scripts/") + shipped));
  // The shipped grid of the current hour; a grid of three hours back exists, so it is
  // rebuilt beside NOW after every download.
  files.WriteAll("scripts/after_varnex.nvs", shippedAfterDownload);
  files.WriteAll("past3.nv1", "");

  // The previous session, 66 to 20 hours before the start: the five silent stations
  // report in its first seven downloads only. Its hand-off files stay behind.
  using namespace std::chrono;
  const sys_seconds start = sys_days{2026y / November / 30} + 6h;
  const std::vector<hours> previousSession = {66h, 62h, 58h, 54h, 50h, 46h, 42h, 30h, 20h};
  int previous = 31000;
  for (hours back : previousSession) {
    if (back == 30h) {
      served = &stations;
      files.WriteAll("latlong.stn", FormatLatLong(stations));
    }
    SetClock(clock, start - back + 10min);
    const std::string pid = std::to_string(++previous);
    files.WriteAll(kLockFile, RecordWriter().Text(pid).EndRecord().Take());
    const std::string stamp = NowStamp(clock);
    ASSERT_TRUE(children.Start("varnex http://127.0.0.1:9/" + stamp.substr(0, 10) + "_metar " + pid,
                               WindowMode::MinimisedNoFocus));
    children.RunToEnd();
    ASSERT_EQ(children.ended.back().finalStatus, kDownloadSuccessful) << stamp;
  }
  children.ended.clear();

  SetClock(clock, start);
  MainProgram program{AppPlatform{files, clock, random, dialogs, children, events, help, canvas, windows, view,
                                  printer, runner, [] { return Image{1, 1, {0xFFFFFF}}; }}};
  program.Start(1600, 1000);

  // One tick a minute for a day, from 06:00 on the last day of November; the
  // children get one second of their own after every tick.
  constexpr int kMinutes = 24 * 60;
  Usage atHalfDay;
  bool layersOn = false;
  for (int minute = 0; minute < kMinutes; ++minute) {
    SetClock(clock, start + minutes(minute));
    program.Tick();
    children.Step();
    // The user turns the temperature layers on once there is a grid to draw.
    if (!layersOn && files.Exists("now.nv1") && !program.BackgroundWorkPending()) {
      ASSERT_TRUE(program.Choose("mnuC_Temp"));
      ASSERT_TRUE(program.Choose("mnuG_Temp"));
      layersOn = true;
    }
    if (minute % 60 == 59) {
      ASSERT_FALSE(program.BackgroundWorkPending()) << "work still pending at " << NowStamp(clock);
      ASSERT_FALSE(children.Running()) << NowStamp(clock);
    }
    if (minute == kMinutes / 2 - 1) atHalfDay = MeasureUsage();
  }
  const Usage atEnd = MeasureUsage();
  const std::int32_t lastDownload = StampToMinutes("202612010511");  // the fetch completes a minute after XX10
  const std::int32_t cutoff = lastDownload - 60 * 48;

  // Every child ran alone and ended well: the start-up fetch, 24 hourly ones, two grids each.
  EXPECT_EQ(children.overlaps, 0);
  EXPECT_TRUE(children.refused.empty());
  EXPECT_EQ(fetches, static_cast<int>(previousSession.size()) + 25);
  int downloads = 0, grids = 0;
  for (const auto& outcome : children.ended) {
    if (outcome.commandLine.rfind("varnex", 0) == 0) {
      ++downloads;
      EXPECT_EQ(outcome.finalStatus, kDownloadSuccessful) << outcome.commandLine;
    } else {
      ++grids;
      EXPECT_NE(outcome.finalStatus.find("' complete"), std::string::npos) << outcome.commandLine << ": "
                                                                         << outcome.finalStatus;
    }
  }
  EXPECT_EQ(downloads, 25);
  EXPECT_EQ(grids, 50);
  EXPECT_TRUE(view.trouble.empty()) << view.trouble.front();
  EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front().text;
  EXPECT_LE(program.Log().Text().size(), OutputLog::kLimit);
  EXPECT_GT(view.messages, 1000);

  // Nothing half-written or handed off is left (the archives' kept twins are checked below).
  for (const char* leftover : {"temp.wad", "obsfolder/temp.obs", "temp.out", "lock.zzz", "watch.zzz"})
    EXPECT_FALSE(files.Exists(leftover)) << leftover;
  for (const auto& [where, pattern] : std::vector<std::pair<std::string, std::string>>{
           {"", "*.pid"}, {"", "*.tmp"}, {"scripts", "*.tmp"}})
    EXPECT_TRUE(files.List(where, pattern).empty()) << where << "/" << pattern;

  // The store: every station of the table, six reports of the last 48 hours each,
  // newest first; the stations that fell silent are gone. The program holds the same.
  const std::string storeText = files.ReadAll(kStoreFile).value_or("");
  ObservationStore stored;
  const LoadResult load = ParseStore(storeText, stored);
  EXPECT_TRUE(load.sawExit && load.problem.empty()) << load.problem;
  ASSERT_EQ(load.stations, static_cast<int>(stations.size()));
  std::set<std::string> expected;
  for (const auto& s : stations) expected.insert(s.identifier);
  const ObservationStore& held = program.Store();
  for (int i = 0; i < load.stations; ++i) {
    const StationObservations& entry = stored[i];
    SCOPED_TRACE(entry.identifier);
    EXPECT_EQ(expected.erase(entry.identifier), 1u);
    EXPECT_EQ(held[i].identifier, entry.identifier);
    for (int k = 0; k < kStationSlots; ++k) {
      const ObservationRecord& slot = entry.reports[static_cast<std::size_t>(k)];
      ASSERT_FALSE(slot.Empty()) << "slot " << k;
      EXPECT_GE(slot.time, cutoff);
      if (k > 0) {
        EXPECT_LT(slot.time, entry.reports[static_cast<std::size_t>(k - 1)].time);
      }
      EXPECT_EQ(held[i].reports[static_cast<std::size_t>(k)].report, slot.report);
    }
  }
  EXPECT_EQ(held[load.stations].identifier, kEndIdentifier);

  // The archives: each parses to its last byte. A reporting station's holds the rest
  // of its reports inside the age limit: 24 of today and the one of 20 hours before
  // the start, less the six in the slots.
  // Beside each archive at most its kept twin: the folder stays bounded.
  const auto archives = files.List("obsfolder", "*.obs");
  EXPECT_EQ(archives.size(), stations.size() + gone.size());
  for (const std::string& name : files.List("obsfolder", "*")) {
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0) {
      EXPECT_TRUE(files.Exists("obsfolder/" + name.substr(0, name.size() - 4))) << name;
    } else {
      EXPECT_EQ(name.compare(name.size() - 4, 4, ".obs"), 0) << name;
    }
  }
  for (const std::string& name : archives) {
    SCOPED_TRACE(name);
    const std::string identifier = name.substr(0, name.size() - 4);
    const auto lines = ParseArchiveWhole(files.ReadAll("obsfolder/" + name).value_or(""), identifier);
    ASSERT_TRUE(lines) << "does not parse whole";
    const int entry = stored.Find(identifier);
    if (entry < 0) continue;  // a silent station's archive stays until flushed
    EXPECT_EQ(lines->size(), 19u);
    std::int32_t newer = stored[entry].reports[kStationSlots - 1].time;
    for (const Line& line : *lines) {
      EXPECT_LT(line.time, newer);
      EXPECT_GE(line.time, cutoff);
      newer = line.time;
    }
  }

  // The significant-weather record keeps its own age limit.
  if (auto verify = files.ReadAll(kVerificationFile)) {
    const VerificationRead read = ReadVerification(*verify);
    EXPECT_FALSE(read.misaligned || read.tornTail);
    for (const auto& e : read.entries) EXPECT_LE(lastDownload - e.time, 60 * settings.ClearVerificationTime);
  }
  for (const char* grid : {"now.nv1", "past3.nv1"}) EXPECT_TRUE(ReadGridFile(files, grid).grid) << grid;

  // The last picture has the plots and the contour layer.
  EXPECT_GE(canvas.clears, 3 * 24);
  EXPECT_GT(canvas.lines, 100);
  std::cout << "[ soak     ] last picture: " << canvas.lines << " lines, " << canvas.texts.size() << " texts\n";
  EXPECT_GT(canvas.texts.size(), stations.size() / 4);

  // Flat from the middle of the day to its end: no file left open, no growth
  // beyond allocator noise.
  std::cout << "[ soak     ] open files " << atHalfDay.openFiles << " -> " << atEnd.openFiles << ", resident "
            << atHalfDay.residentKb << " -> " << atEnd.residentKb << " kB, heap " << atHalfDay.heapBytes << " -> "
            << atEnd.heapBytes << " bytes\n";
  EXPECT_LE(atEnd.openFiles, atHalfDay.openFiles);
  EXPECT_LE(atEnd.heapBytes, atHalfDay.heapBytes + 256 * 1024);
  EXPECT_LE(atEnd.residentKb, atHalfDay.residentKb + 64 * 1024);
}

}  // namespace
}  // namespace norvane::testing
