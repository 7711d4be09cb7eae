#include <gtest/gtest.h>

#include <deque>

#include "core/record_file.h"
#include "downloader/download_driver.h"
#include "obs/station_tables.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_random.h"
#include "tests/fakes/memory_file_system.h"

namespace norvane {
namespace {

struct FakeFetch : HttpFetch {
  std::string started;
  int status = 200;
  std::deque<std::optional<std::string>> chunks;
  int cancels = 0;
  void Start(const std::string& a) override { started = a; }
  void Cancel() override { ++cancels; }
  int StatusCode() const override { return status; }
  std::optional<std::string> ReadChunk(std::size_t) override {
    if (chunks.empty()) return std::string();
    auto c = chunks.front();
    chunks.pop_front();
    return c;
  }
};

struct DriverFixture : ::testing::Test {
  testing::MemoryFileSystem fs;
  testing::FakeClock clock;
  testing::FakeRandom random;
  FakeFetch fetch;
  DownloadDriver driver{fs, fetch, clock, random, DriverHost{}};
  DriverFixture() {
    clock.Set(2026, 12, 7, 12, 30);
    fs.files["lock.zzz"] = "\"5\"\r\n";
    fs.files["norvane.ini"] = "\"[MAX OB AGE]\",48\r\n";
    fs.files["latlong.stn"] = FormatLatLong({{"KABC", 4500, -9300}, {"EGLL", 5148, -45}});
    fs.files["obs.wad"] = "old store";
  }
  std::optional<std::string> Final(const std::string& name = "d5.pid") {
    auto bytes = fs.ReadAll(name);
    if (!bytes) return std::nullopt;
    RecordReader r(*bytes);
    r.NextBool();
    if (!r.NextBool().value_or(false)) return std::nullopt;
    return r.NextText();
  }
  static std::string Bulletin(int reports) {
    std::string b = "\x01\r\r\n123 \r\r\nSAUS70 KWBC 071200\r\r\nMETAR\r\r\n";
    for (int i = 0; i < reports; ++i) {
      b += "KABC 0712" + std::string(i < 10 ? "0" : "") + std::to_string(i % 60) +
           "Z 27010KT 10SM CLR 05/M02 A3001 RMK AO2=\r\r\n";
      b += "EGLL 0712" + std::string(i < 10 ? "0" : "") + std::to_string(i % 60) + "Z 24008KT 9999 FEW020 08/04 Q1012=\r\r\n";
    }
    return b + "\x03";
  }
};

TEST_F(DriverFixture, FailureStatuses) {
  struct Case { int status; std::vector<std::optional<std::string>> chunks; const char* want; };
  const Case cases[] = {
      {404, {Bulletin(30)}, kDownloadProblems},
      {500, {Bulletin(30)}, kDownloadProblems},
      {200, {}, kDownloadTooSmall},
      {200, {std::string(1020, 'x')}, kDownloadTooSmall},
      {200, {std::string("abc"), std::nullopt}, kDownloadProblems},
  };
  for (const auto& c : cases) {
    FakeFetch f;
    f.status = c.status;
    f.chunks.assign(c.chunks.begin(), c.chunks.end());
    fs.files["lock.zzz"] = "\"5\"\r\n";
    DownloadDriver d(fs, f, clock, random, DriverHost{});
    d.Start("http://127.0.0.1/x 5");
    d.OnFetchComplete();
    EXPECT_TRUE(d.Ended());
    EXPECT_EQ(Final(), c.want) << c.status;
    EXPECT_EQ(fs.files["obs.wad"], "old store");
    EXPECT_FALSE(fs.Exists("lock.zzz"));
  }
}

TEST_F(DriverFixture, RefusedConnectionAndBadCommandLine) {
  driver.Start("http://127.0.0.1:1/x 5");
  driver.OnFetchFailed();
  EXPECT_EQ(Final(), kDownloadProblems);

  fs.files["lock.zzz"] = "\"5\"\r\n";
  DownloadDriver d(fs, fetch, clock, random, DriverHost{});
  d.Start("http://only-one-word");
  EXPECT_EQ(Final("d.pid"), kInvalidSwitches);
}

TEST_F(DriverFixture, StallEndsWithTheTimeoutOn101stTick) {
  driver.Start("http://127.0.0.1/x 5");
  for (int t = 0; t < 100; ++t) driver.Tick();
  EXPECT_FALSE(driver.Ended());
  EXPECT_FALSE(Final().has_value());  // heartbeats only
  driver.Tick();
  EXPECT_EQ(Final(), kDownloadTimeout);
}

TEST_F(DriverFixture, LostOrForeignLockEndsSilently) {
  for (const char* lock : {"", "\"6\"\r\n"}) {
    fs.files.erase("d5.pid");
    if (*lock) fs.files["lock.zzz"] = lock; else fs.files.erase("lock.zzz");
    DownloadDriver d(fs, fetch, clock, random, DriverHost{});
    d.Start("http://127.0.0.1/x 5");
    d.Tick();
    EXPECT_TRUE(d.Ended());
    EXPECT_FALSE(fs.Exists("d5.pid"));
    EXPECT_EQ(fs.Exists("lock.zzz"), *lock != '\0');
  }
}

TEST_F(DriverFixture, SuccessFilesReportsAndRunsTwiceWithoutDuplicates) {
  fs.files.erase("obs.wad");
  fetch.chunks = {Bulletin(30)};
  driver.Start("http://127.0.0.1/x 5");
  driver.Tick();
  driver.OnFetchComplete();
  ASSERT_EQ(Final(), kDownloadSuccessful);
  EXPECT_NE(fs.files["obs.wad"].find("KABC 071229Z"), std::string::npos);
  EXPECT_NE(fs.files["obs.wad"].find("EGLL 071229Z"), std::string::npos);
  const std::string watch = fs.files["watch.zzz"];
  EXPECT_FALSE(watch.empty());

  fs.files["lock.zzz"] = "\"5\"\r\n";
  FakeFetch again;
  again.chunks = {Bulletin(30)};
  DownloadDriver d(fs, again, clock, random, DriverHost{});
  d.Start("http://127.0.0.1/x 5");
  d.OnFetchComplete();
  EXPECT_EQ(Final(), kDownloadSuccessful);
  EXPECT_EQ(fs.files["watch.zzz"], watch);
}

TEST_F(DriverFixture, LockTakenBeforeSaveLeavesTheStoreAlone) {
  fetch.chunks = {Bulletin(30)};
  DriverHost host;
  host.stopTimer = [this] { fs.files["lock.zzz"] = "\"9\"\r\n"; };  // the watchdog moved on meanwhile
  DownloadDriver d(fs, fetch, clock, random, host);
  d.Start("http://127.0.0.1/x 5");
  d.OnFetchComplete();
  EXPECT_TRUE(d.Ended());
  EXPECT_EQ(fs.files["obs.wad"], "old store");
  EXPECT_FALSE(Final().has_value());
}

TEST_F(DriverFixture, UserStop) {
  driver.Start("http://127.0.0.1/x 5");
  driver.StopByUser();
  EXPECT_EQ(Final(), kDownloadStopped);
  EXPECT_FALSE(fs.Exists("lock.zzz"));
  EXPECT_EQ(fs.files["obs.wad"], "old store");
}

}  // namespace
}  // namespace norvane
