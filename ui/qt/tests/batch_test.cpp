// norvane-batch as a user with a timer meets it: a ready working folder fed by the
// sample bulletin server on 127.0.0.1, typed commands, a picture and a listing.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>
#include <sys/wait.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <map>
#include <filesystem>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "core/time_stamp.h"
#include "obs/decoded_observation.h"
#include "obs/observation_store.h"
#include "tests/fakes/canned_server.h"
#include "tests/fakes/child_programs.h"

namespace fs = std::filesystem;
using norvane::testing::Slurp;
using norvane::testing::Spawn;

namespace {

const fs::path kBin = fs::path(NORVANE_BINARY_DIR) / "bin";

struct ReadyFolder {
  fs::path path = fs::temp_directory_path() /
                  ("norvane-batch-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::string port = std::to_string(21000 + getpid() % 20000);
  ReadyFolder() {
    const pid_t pid = Spawn(fs::temp_directory_path(),
                            {(kBin / "norvane-workdir").string(), path.string(), "http://127.0.0.1:" + port});
    waitpid(pid, nullptr, 0);
  }
  ~ReadyFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

int RunBatch(const fs::path& folder, std::vector<std::string> args) {
  args.insert(args.begin(), (kBin / "norvane-batch").string());
  int status = 0;
  waitpid(Spawn(folder, args), &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A collective of the last hour: the given reports (without their time), then quiet
// reports from stations far apart for a bulletin of useful size.
std::string LastHourBulletin(const std::vector<std::string>& reports) {
  const std::time_t hourAgo = std::time(nullptr) - 3600;
  std::tm utc{};
  gmtime_r(&hourAgo, &utc);
  char stamp[16];
  std::strftime(stamp, sizeof stamp, "%d%H53Z", &utc);
  std::string bulletin = "\x01\r\r\n001 \r\r\nSAUS01 KWBC 000000\r\r\n";
  for (const std::string& report : reports) {
    const std::size_t identifierEnd = report.find(' ');
    bulletin += "METAR " + report.substr(0, identifierEnd) + " " + stamp + report.substr(identifierEnd) + "=\r\n";
  }
  for (const char* quiet : {"KATL", "KBOS", "KORD", "KDEN", "KLAX", "KSEA", "KMIA", "KPHX", "KMSP", "KSTL", "KJFK",
                            "KSFO", "KIAH", "KMCI", "KTUL", "KSLC", "KPDX", "KBNA", "KCLT", "KDTW"})
    bulletin += std::string("METAR ") + quiet + " " + stamp + " 18005KT 10SM CLR 12/03 A3010 RMK AO2=\r\n";
  return bulletin + "\r\r\n\x03";
}

// Points the folder's first server at a canned server instead of the sample server.
void ServeFrom(const ReadyFolder& dir, const norvane::testing::CannedServer& server) {
  const std::string port = server.Address("").substr(std::string("http://127.0.0.1:").size());
  std::string ini = Slurp(dir.path / "norvane.ini");
  const std::size_t at = ini.find(":" + dir.port + "/");
  ASSERT_NE(at, std::string::npos);
  ini.replace(at + 1, dir.port.size(), port);
  std::ofstream(dir.path / "norvane.ini", std::ios::binary) << ini;
}

TEST(NorvaneBatch, DownloadsPlotsAndWritesThePictureTheListingAndTheLog) {
  for (const char* program : {"norvane-batch", "norvane-workdir", "norvane-sample-server", "varnex"})
    if (!fs::exists(kBin / program)) GTEST_SKIP() << program << " was not built";
  ReadyFolder dir;
  ASSERT_TRUE(fs::exists(dir.path / "norvane.ini"));
  const pid_t server = Spawn(dir.path, {(kBin / "norvane-sample-server").string(), dir.port, "--max-requests", "4"});
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  const int status = RunBatch(dir.path, {"--no-startup", "--fixed-metrics", "--size", "900x600", "GETOBS", "--wait", "60",
                                    "LOADOBS", "PLOT TEMPERATURE ON", "PLOT DEWPOINT ON", "REDRAW",
                                    "REDRAW ADD ECHO `hello", "REDRAW", "BUILDGRID now 20 -130 55 -60 1 1 150 2 0",
                                    "--wait", "60", "DRAW NOW T -40 40 2 255 0 0 0", "SAVEPIC `map 80", "--png", "map.png", "--primitives",
                                    "map.txt", "--log", "log.txt"});
  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);
  ASSERT_EQ(status, 0);
  const std::string log = Slurp(dir.path / "log.txt");
  EXPECT_NE(log.find("Observation download successful"), std::string::npos) << log;
  // The redraw script ran: its lines are read in upper case, as every script's.
  EXPECT_NE(log.find("* HELLO \r\n"), std::string::npos);
  const std::string listing = Slurp(dir.path / "map.txt");
  EXPECT_EQ(listing.rfind("CLEAR ", 0), 0u);
  EXPECT_NE(listing.find("\"PLOTTED DEW POINTS \""), std::string::npos);
  EXPECT_EQ(listing.find("\"PLOTTED TEMPERATURES \""), std::string::npos);
  // Hundreds of stations, each a dot and a value.
  std::size_t texts = 0;
  for (std::size_t at = listing.find("\nTEXT "); at != std::string::npos; at = listing.find("\nTEXT ", at + 1)) ++texts;
  EXPECT_GT(texts, 300u);
  EXPECT_GT(fs::file_size(dir.path / "map.png"), 10000u);
  // Isotherms in red over the map, after the grid build.
  EXPECT_NE(log.find("Grid 'now' complete"), std::string::npos) << log;
  std::size_t red = 0;
  std::istringstream lines(listing);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string kind, x1, y1, x2, y2, colour;
    words >> kind >> x1 >> y1 >> x2 >> y2 >> colour;
    if (kind == "LINE" && colour == "255") ++red;
  }
  EXPECT_GT(red, 100u);
  // SAVEPIC through the outside encoder: a JPEG of the picture's size, no bitmap left.
  if (system("command -v cjpeg > /dev/null") == 0) {
    const std::string jpeg = Slurp(dir.path / "map.jpg");
    const std::size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos) << log;
    auto word = [&](std::size_t at) { return (static_cast<unsigned char>(jpeg[at]) << 8) | static_cast<unsigned char>(jpeg[at + 1]); };
    EXPECT_EQ(word(sof + 7), 900);
    EXPECT_EQ(word(sof + 5), 600);
    EXPECT_FALSE(fs::exists(dir.path / "map.bmp"));
  }
}

// A thunderstorm with a 45-knot gust at Dallas-Fort Worth, one of the example points:
// the download's watch names the event, the report and the point, and keeps it.
TEST(NorvaneBatch, WatchesEveryDownloadForSignificantWeatherNearThePoints) {
  for (const char* program : {"norvane-batch", "norvane-workdir", "varnex"})
    if (!fs::exists(kBin / program)) GTEST_SKIP() << program << " was not built";
  norvane::testing::CannedServer server({norvane::testing::Response(
      "200 OK", "", LastHourBulletin({"KDFW 24020G45KT 2SM +TSRA BKN010CB 24/21 A2990 RMK AO2",
                                      "KOKC 18005KT 10SM CLR 12/03 A3010 RMK AO2"}))});
  ReadyFolder dir;
  ServeFrom(dir, server);
  ASSERT_EQ(RunBatch(dir.path, {"--no-startup", "GETOBS", "--wait", "60", "--watch", "watch.txt", "--log", "log.txt"}), 0);
  const std::string watch = Slurp(dir.path / "watch.txt");
  for (const char* part : {"Dallas-Fort Worth", "KDFW", "+TSRA"})
    EXPECT_NE(watch.find(part), std::string::npos) << watch << Slurp(dir.path / "log.txt");
  const std::string verify = Slurp(dir.path / "verify.out");
  EXPECT_NE(verify.find("KDFW"), std::string::npos) << verify;
  EXPECT_FALSE(fs::exists(dir.path / "watch.zzz"));
}

// The station models over the map, then a station's meteogram written as the picture.
TEST(NorvaneBatch, DrawsStationModelsAndWritesAMeteogram) {
  for (const char* program : {"norvane-batch", "norvane-workdir", "varnex"})
    if (!fs::exists(kBin / program)) GTEST_SKIP() << program << " was not built";
  norvane::testing::CannedServer server({norvane::testing::Response(
      "200 OK", "", LastHourBulletin({"KDFW 27065KT 2SM +TSRA BKN010CB 24/21 A2990 RMK AO2 SLP132",
                                      "KOKC 00000KT 10SM CLR M05/M09 A3010 RMK AO2"}))});
  ReadyFolder dir;
  ServeFrom(dir, server);
  ASSERT_EQ(RunBatch(dir.path, {"--no-startup", "--fixed-metrics", "GETOBS", "--wait", "60", "LOADOBS",
                                "PLOT MODEL ON", "REDRAW", "METEOGRAM KDFW", "--png", "kdfw.png", "--primitives",
                                "map.txt", "--log", "log.txt"}),
            0);
  const std::string log = Slurp(dir.path / "log.txt");
  EXPECT_NE(log.find("Meteogram of KDFW: 1 reports in 48 hours"), std::string::npos) << log;
  // Both models: temperatures, dew points, the pressure's three digits, the label.
  const std::string listing = Slurp(dir.path / "map.txt");
  for (const char* text : {"\"24\"", "\"21\"", "\"132\"", "\"-5\"", "\"-9\"", "\"STATION MODELS \""})
    EXPECT_NE(listing.find(text), std::string::npos) << text;
  // The picture is the meteogram's, not the map's.
  const std::string png = Slurp(dir.path / "kdfw.png");
  ASSERT_GT(png.size(), 24u);
  auto word = [&](std::size_t k) {
    return (static_cast<unsigned char>(png[k]) << 24) | (static_cast<unsigned char>(png[k + 1]) << 16) |
           (static_cast<unsigned char>(png[k + 2]) << 8) | static_cast<unsigned char>(png[k + 3]);
  };
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(word(16), 960u);
  EXPECT_EQ(word(20), 720u);
}

TEST(NorvaneBatch, RefusesBadUseAndASecondCopy) {
  if (!fs::exists(kBin / "norvane-batch")) GTEST_SKIP() << "norvane-batch was not built";
  ReadyFolder dir;
  EXPECT_EQ(RunBatch(dir.path, {"--size", "wide"}), 2);
  EXPECT_EQ(RunBatch(dir.path, {"--frobnicate"}), 2);
  // A copy that waits holds the folder; the second is refused. The server takes the
  // connection and never answers, so the download keeps the first copy waiting.
  const int silent = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(std::stoi(dir.port)));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const int one = 1;
  setsockopt(silent, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(silent, 4), 0);
  const pid_t first = Spawn(dir.path, {(kBin / "norvane-batch").string(), "--no-startup", "GETOBS", "--wait", "8"});
  std::this_thread::sleep_for(std::chrono::milliseconds(3000));
  EXPECT_EQ(RunBatch(dir.path, {"--no-startup"}), 1);
  int status = 0;
  waitpid(first, &status, 0);
  close(silent);
  // Its download was still running when its wait ran out: it says so.
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 3);
  EXPECT_EQ(RunBatch(dir.path, {"--no-startup"}), 0);
}

// A download queued last is waited for when a --wait was given anywhere, and ends the
// program with status 3 when none was.
TEST(NorvaneBatch, WorkQueuedAtTheEndIsWaitedForOrReported) {
  for (const char* program : {"norvane-batch", "norvane-workdir", "norvane-sample-server", "varnex"})
    if (!fs::exists(kBin / program)) GTEST_SKIP() << program << " was not built";
  ReadyFolder dir;
  const pid_t server = Spawn(dir.path, {(kBin / "norvane-sample-server").string(), dir.port, "--max-requests", "3"});
  for (int tries = 0; tries < 100; ++tries) {  // until the server listens
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(std::stoi(dir.port)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool up = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    if (up) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(RunBatch(dir.path, {"--no-startup", "--wait", "60", "GETOBS", "--log", "log.txt"}), 0);
  EXPECT_NE(Slurp(dir.path / "log.txt").find("Observation download successful"), std::string::npos)
      << Slurp(dir.path / "log.txt");
  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);
  EXPECT_EQ(RunBatch(dir.path, {"--no-startup", "GETOBS"}), 3);
}

// A station that reported at eight minutes to every hour of the last six, each hour
// a degree warmer: a loop writes one picture per hour, and an unwritable folder is
// refused.
TEST(NorvaneBatch, WritesTheFramesOfALoop) {
  if (!fs::exists(kBin / "norvane-batch")) GTEST_SKIP() << "norvane-batch was not built";
  ReadyFolder dir;
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  const std::string hour = norvane::MakeStamp(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, 0);
  norvane::ObservationStore store;
  store.Clear();
  store[0].identifier = "KMCI";
  store[0].latitude = 3930;
  store[0].longitude = -9472;
  for (int k = 0; k < 6; ++k) {
    const std::string stamp = norvane::StampAddHours(hour, -k);
    const std::string report = "KMCI " + stamp.substr(6, 2) + stamp.substr(8, 2) + "52Z 18010KT 10SM CLR " +
                               std::to_string(20 - k) + "/05 A3001 ";
    store[0].reports[static_cast<std::size_t>(k)] = {norvane::StampToMinutes(stamp) - 8, report,
                                                     norvane::DecodeReport(report)};
  }
  store[1].identifier = "end";
  std::ofstream(dir.path / "obs.wad", std::ios::binary) << norvane::FormatStore(store, 0);

  EXPECT_EQ(RunBatch(dir.path, {"--no-startup", "--size", "480x320", "LOADOBS", "PLOT TEMPERATURE ON", "--frames",
                                "frames", "LOOP 6", "--png", "after.png"}),
            0);
  std::vector<std::string> frames;
  for (int k = 1; k <= 6; ++k) {
    const fs::path file = dir.path / "frames" / ("frame-0" + std::to_string(k) + ".png");
    ASSERT_TRUE(fs::exists(file)) << file;
    frames.push_back(Slurp(file));
    EXPECT_EQ(frames.back().substr(1, 3), "PNG");
  }
  EXPECT_FALSE(fs::exists(dir.path / "frames" / "frame-07.png"));
  EXPECT_NE(frames[0], frames[5]);
  EXPECT_TRUE(fs::exists(dir.path / "after.png"));  // the loop ended and the map came back

  std::ofstream(dir.path / "plain-file") << "x";
  EXPECT_EQ(RunBatch(dir.path, {"--no-startup", "LOADOBS", "--frames", "plain-file/frames", "LOOP 6"}), 1);
  EXPECT_EQ(RunBatch(dir.path, {"--frames"}), 2);
}

}  // namespace

// Europe made by command, one download from the sample server: every Contours and Grid
// layer draws inside the picture, each in its own colour.
TEST(NorvaneBatch, EveryContourAndGridLayerDrawsOverARegionMadeByCommand) {
  for (const char* program : {"norvane-batch", "norvane-workdir", "norvane-sample-server", "varnex", "tessal"})
    if (!fs::exists(kBin / program)) GTEST_SKIP() << program << " was not built";
  ReadyFolder dir;
  const pid_t server = Spawn(dir.path, {(kBin / "norvane-sample-server").string(), dir.port, "--max-requests", "2"});
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  const int status = RunBatch(dir.path, {"--no-startup", "--fixed-metrics", "--size", "900x600", "REGION 35 -25 72 45",
                                         "GETOBS", "--wait", "120", "--primitives", "outline.txt", "--log", "log.txt"});
  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);
  ASSERT_EQ(status, 0);
  ASSERT_NE(Slurp(dir.path / "log.txt").find("Grid 'now' complete"), std::string::npos) << Slurp(dir.path / "log.txt");
  // What a layer adds to the outline: its lines and texts inside the picture, by colour.
  auto drawnInside = [](const std::string& listing) {
    std::map<std::string, int> byColour;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
      std::istringstream words(line);
      std::string kind;
      double x = 0, y = 0, x2 = 0, y2 = 0;
      std::string colour;
      words >> kind >> x >> y;
      if (kind == "LINE") words >> x2 >> y2 >> colour;
      else if (kind == "TEXT") words >> colour;
      else continue;
      if (x >= 0 && x <= 900 && y >= 0 && y <= 600) ++byColour[colour];
    }
    return byColour;
  };
  const auto outline = drawnInside(Slurp(dir.path / "outline.txt"));
  std::map<std::string, std::string> colourOf;
  for (const char* item : {"C_CIGS", "C_DP", "C_TEMP", "C_WSAVG", "C_WSMAX", "C_SLP", "MIXINGRATIO", "MOISTCONV",
                           "RELATIVEHUMIDITY", "WINDCHILL", "G_CIGS", "G_DP", "G_SLP", "G_TEMP", "G_WBARB", "G_WSAVG",
                           "G_WSMAX"}) {
    ASSERT_EQ(RunBatch(dir.path, {"--no-startup", "--fixed-metrics", "--size", "900x600", std::string("MENU ") + item + " ON",
                                  "--primitives", "layer.txt"}),
              0);
    std::string added;
    int count = 0;
    for (const auto& [colour, n] : drawnInside(Slurp(dir.path / "layer.txt"))) {
      const int before = outline.count(colour) ? outline.at(colour) : 0;
      if (n - before > count && colour != "0") added = colour, count = n - before;
    }
    EXPECT_GT(count, 10) << item << " draws nothing inside the picture";
    EXPECT_EQ(colourOf.count(added), 0u) << item << " shares its colour with " << colourOf[added];
    colourOf[added] = item;
  }
}
