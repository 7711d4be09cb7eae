#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>

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
      {"obsfolder/KABC.obs.tmp", EIO, 1, failed + "'obsfolder/KABC.obs.tmp' (Input/output error)" + tail, {}},
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

namespace norvane {
namespace {

std::string Gzip(const std::string& text) {
  z_stream z{};
  deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, static_cast<uLong>(text.size())) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// Bodies as public servers send them, good and bad: each ends with a clear final
// status, and the store changes only when reports were filed.
TEST_F(DriverFixture, BodiesOfEveryShape) {
  const std::string pad = "\n" + std::string(1100, ' ') + "\n";
  const std::string kabc = "KABC 071151Z 27010KT 10SM CLR 05/M02 A3001 RMK AO2";
  const std::string egll = "EGLL 071150Z 24008KT 9999 FEW020 08/04 Q1012";
  const std::string cycle = "2026/12/07 11:51\n" + kabc + "\n\n2026/12/07 11:50\n" + egll + "\n\n";
  const std::string csv = "No errors\nNo warnings\n2 results\nraw_text,station_id,observation_time\n\"" + kabc +
                          "\",KABC,2026-12-07T11:51:00Z\n" + egll + ",EGLL,2026-12-07T11:50:00Z\n";
  struct Case { const char* name; std::string body; const char* status; std::vector<std::string> stored; };
  const Case cases[] = {
      {"cycle file", pad + cycle, kDownloadSuccessful, {"KABC", "EGLL"}},
      {"cut short in mid-line", pad + cycle + "2026/12/07 11:50\nLFPG 07115", kDownloadSuccessful,
       {"KABC", "EGLL"}},
      {"date lines without reports", pad + "2026/12/07 11:51\n\n2026/12/07 11:50\n\n", kNoReports, {}},
      {"longer than a line", pad + kabc.substr(0, 30) + "\n     " + kabc.substr(30) + "\n" + egll + "\n",
       kDownloadSuccessful, {"KABC", "EGLL"}},
      {"a line of 100,000 characters", pad + "LFPG 071150Z " + std::string(100000, '9') + "\n" + egll + "\n",
       kDownloadSuccessful, {"EGLL"}},
      {"NUL bytes", pad + std::string(1, '\0') + kabc + std::string(1, '\0') + "\n" + egll, kDownloadSuccessful,
       {"KABC", "EGLL"}},
      {"CR-only line ends", pad + kabc + "\r" + egll + "\r", kDownloadSuccessful, {"KABC", "EGLL"}},
      {"an HTML error page", "<!DOCTYPE html><html><head><title>503 Service Unavailable</title></head><body>" +
                                 std::string(1200, ' ') + "</body></html>\n", kNoReports, {}},
      {"gzip CSV", Gzip(csv + pad), kDownloadSuccessful, {"KABC", "EGLL"}},
      {"damaged gzip", Gzip(csv + pad).substr(0, 40), kUnreadableBody, {}},
      {"gzip garbage", "\x1f\x8b" + std::string(2000, 'x'), kUnreadableBody, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs.files["lock.zzz"] = "\"5\"\r\n";
    fs.files["obs.wad"] = "old store";
    FakeFetch f;
    f.chunks = {c.body};
    DownloadDriver d(fs, f, clock, random, DriverHost{});
    d.Start("http://127.0.0.1/x 5");
    d.OnFetchComplete();
    EXPECT_EQ(Final(), c.status);
    ObservationStore store;
    if (c.stored.empty()) {
      EXPECT_EQ(fs.files["obs.wad"], "old store");
      continue;
    }
    LoadStore(fs, store);
    std::vector<std::string> ids;
    for (int i = 0; store[i].identifier != kEndIdentifier; ++i) ids.push_back(store[i].identifier);
    std::sort(ids.begin(), ids.end());
    std::vector<std::string> want = c.stored;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(ids, want);
  }
}

// A cycle file is rewritten every hour, so it can still hold the same hour of
// yesterday: those reports are dated yesterday, and go with the age limit.
TEST_F(DriverFixture, YesterdaysReportsOfACycleFileAreDatedYesterday) {
  const std::string body = "\n" + std::string(1100, ' ') +
                           "\n2026/12/06 12:20\nEGLL 061220Z 24008KT 9999 FEW020 08/04 Q1012\n\n"
                           "2026/12/07 12:20\nLFPG 071220Z 18005KT 9999 FEW020 08/04 Q1012\n\n";
  for (int maxAge : {12, 48}) {
    SCOPED_TRACE(maxAge);
    fs.files.erase("obs.wad");
    fs.files.erase("watch.zzz");
    fs.files["lock.zzz"] = "\"5\"\r\n";
    fs.files["norvane.ini"] = "\"[MAX OB AGE]\"," + std::to_string(maxAge) + "\r\n";
    FakeFetch f;
    f.chunks = {body};
    DownloadDriver d(fs, f, clock, random, DriverHost{});
    d.Start("http://127.0.0.1/x 5");
    d.OnFetchComplete();
    ASSERT_EQ(Final(), kDownloadSuccessful);
    ObservationStore store;
    LoadStore(fs, store);
    EXPECT_EQ(store[0].identifier, maxAge == 12 ? "LFPG" : "EGLL");
    if (maxAge == 48) {
      EXPECT_EQ(store[0].reports[0].time, StampToMinutes("202612061220"));
    }
  }
}

}  // namespace
}  // namespace norvane

namespace norvane {
namespace {

// Writes, syncs and renames in the order they reach the disk.
struct RecordingFileSystem : testing::MemoryFileSystem {
  std::vector<std::string> ops;
  bool WriteAll(const std::string& n, const std::string& b) override {
    ops.push_back("write " + n);
    return MemoryFileSystem::WriteAll(n, b);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    ops.push_back("rename " + from + " " + to);
    return MemoryFileSystem::Rename(from, to);
  }
  bool Exchange(const std::string& a, const std::string& b) override {
    const bool swapped = MemoryFileSystem::Exchange(a, b);
    if (swapped) ops.push_back("exchange " + a + " " + b);
    return swapped;
  }
  bool Append(const std::string& n, const std::string& b) override {
    ops.push_back("append " + n);
    return MemoryFileSystem::Append(n, b);
  }
  bool SyncFile(const std::string& n) override {
    ops.push_back("sync " + n);
    return true;
  }
  bool SyncFolder(const std::string& n) override {
    ops.push_back("sync folder " + n);
    return true;
  }
  bool SyncAll() override {
    ops.push_back("sync all");
    return true;
  }
};

// A power cut at any moment leaves every archive and the store whole: each twin's data
// is on the disk before its switch, the archives' in one sync for the whole batch. A
// second download rewrites the archives' twins kept from the first and swaps them in.
TEST_F(DriverFixture, TwinsAreSyncedBeforeTheyAreRenamed) {
  RecordingFileSystem disk;
  disk.files = fs.files;
  disk.files.erase("obs.wad");
  // Thirty reports a station: both archives fill. Then the same hour an hour on.
  std::string later = Bulletin();
  for (std::size_t at = 0; (at = later.find(" 0712", at)) != std::string::npos;) later.replace(at, 5, " 0713");
  const std::vector<std::string> first = {
      "append watch.zzz", "write obsfolder/EGLL.obs.tmp", "write obsfolder/KABC.obs.tmp", "sync all",
      "rename obsfolder/EGLL.obs.tmp obsfolder/EGLL.obs", "rename obsfolder/KABC.obs.tmp obsfolder/KABC.obs",
      "sync folder obsfolder", "write temp.wad", "sync temp.wad", "rename temp.wad obs.wad", "sync folder "};
  const std::vector<std::string> second = {
      "append watch.zzz", "write obsfolder/EGLL.obs.tmp", "write obsfolder/KABC.obs.tmp", "sync all",
      "exchange obsfolder/EGLL.obs.tmp obsfolder/EGLL.obs", "exchange obsfolder/KABC.obs.tmp obsfolder/KABC.obs",
      "sync folder obsfolder", "write temp.wad", "sync temp.wad", "rename temp.wad obs.wad", "sync folder "};
  for (int run = 0; run < 2; ++run) {
    const std::vector<std::string>& want = run == 0 ? first : second;
    if (run == 1) {
      clock.Set(2026, 12, 7, 13, 30);
      disk.files["lock.zzz"] = "\"5\"\r\n";
      disk.ops.clear();
    }
    const std::string before = disk.ReadAll("obsfolder/KABC.obs").value_or("");
    FakeFetch f;
    f.chunks = {run == 0 ? Bulletin() : later};
    DownloadDriver d(disk, f, clock, random, DriverHost{});
    d.Start("http://127.0.0.1/x 5");
    d.OnFetchComplete();
    fs.files["d5.pid"] = disk.files["d5.pid"];
    ASSERT_EQ(Final(), kDownloadSuccessful);
    // The status file's own writes are no part of the store.
    std::vector<std::string> ops;
    bool statusWrite = false;
    for (const std::string& op : disk.ops) {
      if (op.find(".pid") != std::string::npos) statusWrite = true;
      else if (!std::exchange(statusWrite, false) || op != "sync folder ") ops.push_back(op);
    }
    EXPECT_EQ(ops, want);
    if (run == 1) {
      // The kept twin holds the archive as it was; the archive got the new hour.
      EXPECT_EQ(disk.files["obsfolder/KABC.obs.tmp"], before);
      EXPECT_EQ(ReadArchive(disk, "KABC").front().time, StampToMinutes("202612071323"));
    }
  }
  EXPECT_EQ(ReadWatchRecords(disk.files["watch.zzz"]).size(), 120u);
}

}  // namespace
}  // namespace norvane
