#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <utility>

#include "core/record_file.h"
#include "core/time_stamp.h"
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
  bool running = true;
  // A real fetch answers the cancel of a running request at once with its failure event.
  std::function<void()> onCancel;
  void Start(const std::string& a) override { started = a; }
  void Cancel() override {
    ++cancels;
    if (!std::exchange(running, false)) return;
    if (onCancel) onCancel();
  }
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
    fs.files["latlong.stn"] = FormatLatLong({{"KABC", 4500, -9300}, {"EGLL", 5148, -45}, {"LFPG", 4901, 255}});
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
  // Thirty reports of KABC and of EGLL, 12:00 to 12:29.
  static std::string Bulletin() {
    std::string b = "\x01\r\r\n123 \r\r\nSAUS70 KWBC 071200\r\r\nMETAR\r\r\n";
    for (int i = 0; i < 30; ++i) {
      const std::string time = (i < 10 ? "07120" : "0712") + std::to_string(i) + "Z ";
      b += "KABC " + time + "27010KT 10SM CLR 05/M02 A3001 RMK AO2=\r\r\n";
      b += "EGLL " + time + "24008KT 9999 FEW020 08/04 Q1012=\r\r\n";
    }
    return b + "\x03";
  }
};

// Error answers, an empty body and a refused connection are run end to end with varnex.
TEST_F(DriverFixture, FailureStatuses) {
  struct Case { std::vector<std::optional<std::string>> chunks; const char* want; };
  const Case cases[] = {{{std::string(1020, 'x')}, kDownloadTooSmall},
                        {{std::string("abc"), std::nullopt}, kDownloadProblems}};
  for (const auto& c : cases) {
    FakeFetch f;
    f.chunks.assign(c.chunks.begin(), c.chunks.end());
    fs.files["lock.zzz"] = "\"5\"\r\n";
    DownloadDriver d(fs, f, clock, random, DriverHost{});
    d.Start("http://127.0.0.1/x 5");
    d.OnFetchComplete();
    EXPECT_TRUE(d.Ended());
    EXPECT_EQ(Final(), c.want);
    EXPECT_EQ(fs.files["obs.wad"], "old store");
    EXPECT_FALSE(fs.Exists("lock.zzz"));
  }
  fs.files["lock.zzz"] = "\"5\"\r\n";
  driver.Start("http://only-one-word");
  EXPECT_EQ(Final("d.pid"), kInvalidSwitches);
}

// However a running fetch is stopped, cancelling it is no failure of the download,
// and a lock that names another process is never touched.
TEST_F(DriverFixture, StopsDuringTheFetch) {
  enum Stop { kTicks, kUser };
  struct Case { const char* lock; Stop stop; int ticks; std::optional<std::string> want; const char* lockAfter; };
  const Case cases[] = {
      {"", kTicks, 1, std::nullopt, ""},                              // KILL CUR or the watchdog
      {"\"6\"\r\n", kTicks, 1, std::nullopt, "\"6\"\r\n"},          // a newer process runs
      {"\"5\"\r\n", kTicks, 100, std::nullopt, "\"5\"\r\n"},         // heartbeats only
      {"\"5\"\r\n", kTicks, 101, kDownloadTimeout, ""},
      {"\"5\"\r\n", kUser, 0, kDownloadStopped, ""},
      {"\"6\"\r\n", kUser, 0, std::nullopt, "\"6\"\r\n"},
  };
  for (const auto& c : cases) {
    fs.files.erase("d5.pid");
    if (*c.lock) fs.files["lock.zzz"] = c.lock; else fs.files.erase("lock.zzz");
    FakeFetch f;
    DownloadDriver d(fs, f, clock, random, DriverHost{});
    f.onCancel = [&d] { d.OnFetchFailed(); };
    d.Start("http://127.0.0.1/x 5");
    for (int t = 0; t < c.ticks; ++t) d.Tick();
    if (c.stop == kUser) d.StopByUser();
    const std::string lockAfter = fs.Exists("lock.zzz") ? fs.files["lock.zzz"] : "";
    SCOPED_TRACE(std::string(c.lock) + " after " + std::to_string(c.ticks) + " ticks");
    EXPECT_EQ(d.Ended(), c.ticks != 100);
    EXPECT_EQ(Final(), c.want);
    if (!c.want && c.ticks != 100) {
      EXPECT_FALSE(fs.Exists("d5.pid"));
    }
    EXPECT_EQ(lockAfter, c.lockAfter);
    EXPECT_EQ(fs.files["obs.wad"], "old store");
  }
}

TEST_F(DriverFixture, SuccessFilesReportsAndRunsTwiceWithoutDuplicates) {
  fs.files.erase("obs.wad");
  // Fetched on 7 December, day 31 belongs to November, whose 31st is 1 December.
  fetch.chunks = {Bulletin() + "LFPG 311200Z 24008KT 9999 FEW020 08/04 Q1012=\r\n"};
  driver.Start("http://127.0.0.1/x 5");
  driver.Tick();
  driver.OnFetchComplete();
  ASSERT_EQ(Final(), kDownloadSuccessful);
  EXPECT_NE(fs.files["obs.wad"].find("KABC 071229Z"), std::string::npos);
  EXPECT_NE(fs.files["obs.wad"].find("EGLL 071229Z"), std::string::npos);
  const std::string watch = fs.files["watch.zzz"];
  const auto records = ReadWatchRecords(watch);
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.back().report.substr(0, 12), "LFPG 311200Z");
  EXPECT_EQ(records.back().time, StampToMinutes("202612011200"));

  fs.files["lock.zzz"] = "\"5\"\r\n";
  FakeFetch again;
  again.chunks = {Bulletin()};
  DownloadDriver d(fs, again, clock, random, DriverHost{});
  d.Start("http://127.0.0.1/x 5");
  d.OnFetchComplete();
  EXPECT_EQ(Final(), kDownloadSuccessful);
  EXPECT_EQ(fs.files["watch.zzz"], watch);
}

TEST_F(DriverFixture, LockTakenBeforeSaveLeavesTheStoreAlone) {
  fetch.chunks = {Bulletin()};
  DriverHost host;
  host.stopTimer = [this] { fs.files["lock.zzz"] = "\"9\"\r\n"; };  // the watchdog moved on meanwhile
  DownloadDriver d(fs, fetch, clock, random, host);
  d.Start("http://127.0.0.1/x 5");
  d.OnFetchComplete();
  EXPECT_TRUE(d.Ended());
  EXPECT_EQ(fs.files["obs.wad"], "old store");
  EXPECT_FALSE(Final().has_value());
}

// Fails writes of one file (a twin or a rename's target) with a system error.
struct FlakyFileSystem : testing::MemoryFileSystem {
  std::string failing;
  int error = 0;
  int failuresLeft = 0;
  bool Fail(const std::string& name) {
    if (name != failing || failuresLeft == 0) return false;
    --failuresLeft;
    errno = error;
    return true;
  }
  bool WriteAll(const std::string& n, const std::string& b) override {
    return !Fail(n) && MemoryFileSystem::WriteAll(n, b);
  }
  bool Append(const std::string& n, const std::string& b) override {
    return !Fail(n) && MemoryFileSystem::Append(n, b);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    return !Fail(to) && MemoryFileSystem::Rename(from, to);
  }
};

// Another program holding a file is waited for a few times; any other failure ends
// the download with a status that names it, and the store stays as it was.
TEST_F(DriverFixture, FileErrorsWhileFilingAndSaving) {
  const std::string failed = "Observation download failed - could not write ";
  const std::string tail = " - the observation store was not changed";
  const std::string denied5 = "Error 70 - Permission denied occurred at line 5";
  const std::string denied6 = "Error 70 - Permission denied occurred at line 6";
  struct Case { const char* file; int error; int failures; std::string want; std::vector<std::string> retries; };
  const Case cases[] = {
      {"watch.zzz", EACCES, 2, kDownloadSuccessful, {denied5, denied5}},
      {"obs.wad", EBUSY, 1, kDownloadSuccessful, {"Error 75 - Path/File access error occurred at line 6"}},
      {"watch.zzz", ENOSPC, 1, failed + "'watch.zzz' (No space left on device)" + tail, {}},
      {"obsfolder/temp.obs", EIO, 1, failed + "'obsfolder/temp.obs' (Input/output error)" + tail, {}},
      {"temp.wad", EACCES, 99, failed + "'temp.wad' (Permission denied)" + tail,
       std::vector<std::string>(kSharingRetries, denied6)},
  };
  for (const auto& c : cases) {
    FlakyFileSystem flaky;
    flaky.files = fs.files;
    flaky.failing = c.file;
    flaky.error = c.error;
    flaky.failuresLeft = c.failures;
    std::vector<std::string> retries;
    DriverHost host;
    host.wait = [&](double) {
      RecordReader r(flaky.files["d5.pid"]);
      if (r.NextBool().value_or(false) && !r.NextBool().value_or(true)) retries.push_back(r.NextText().value_or(""));
    };
    FakeFetch f;
    f.chunks = {Bulletin()};
    DownloadDriver d(flaky, f, clock, random, host);
    d.Start("http://127.0.0.1/x 5");
    d.OnFetchComplete();
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(d.Ended());
    RecordReader status(flaky.files["d5.pid"]);
    EXPECT_EQ(status.NextBool(), c.want != kDownloadSuccessful);
    EXPECT_EQ(status.NextBool(), true);
    EXPECT_EQ(status.NextText(), c.want);
    EXPECT_EQ(retries, c.retries);
    EXPECT_FALSE(flaky.Exists("lock.zzz"));
    if (c.want == kDownloadSuccessful) {
      // Every new report reached the watch, 30 of each station.
      EXPECT_EQ(ReadWatchRecords(flaky.files["watch.zzz"]).size(), 60u);
    } else {
      EXPECT_EQ(flaky.files["obs.wad"], "old store");
    }
  }
}

}  // namespace
}  // namespace norvane
