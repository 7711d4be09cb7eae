#include <gtest/gtest.h>

#include "obs/observation_store.h"
#include "obs/station_tables.h"
#include "tests/fakes/memory_file_system.h"

namespace norvane {
namespace {

using testing::MemoryFileSystem;
using Times = std::vector<int>;

std::string FakeDecode(std::string_view report) {
  std::string d(63, '0');
  d[62] = report.empty() ? '0' : report[5];
  return d;
}

std::string Report(const std::string& id, int n) { return id + " " + std::to_string(100000 + n) + "Z A" + std::to_string(n) + " "; }

// The times of the filled slots of a station, or of the lines of an archive, in order.
template <typename Records>
Times TimesOf(const Records& records) {
  Times t;
  for (const ObservationRecord& r : records) if (!r.Empty()) t.push_back(r.time);
  return t;
}

// The identifiers before the "end" marker (all 6001 entries when there is none).
std::vector<std::string> Ids(const ObservationStore& store) {
  std::vector<std::string> ids;
  for (int i = 0; i < kStoreEntries && store[i].identifier != "end"; ++i) ids.push_back(store[i].identifier);
  return ids;
}

struct Fixture {
  MemoryFileSystem fs;
  StationTable table{{{"KORD", 4198, -8790}, {"KMDW", 4178, -8775}, {"CYYZ", 4367, -7963}}};
  ObservationStore store;
  StoreContext context{fs, table, FakeDecode, 1000, {}};
  Fixture() { store.Clear(); }
  StoreOutcome File(const std::string& id, int n, int time) { return StoreReport(context, store, Report(id, n), time); }
  void FillSlots() {
    for (int n = 0; n < 6; ++n) File("KORD", n, 2000 + n);
  }
};

TEST(StoreReportTest, FilesSlotsArchivesAndWatchRecords) {
  Fixture f;
  EXPECT_EQ(f.File("KORD", 1, 2000), StoreOutcome::kAddedNewStation);
  EXPECT_EQ(f.File("KORD", 1, 2000), StoreOutcome::kDuplicate);
  EXPECT_EQ(f.File("XXXX", 1, 2000), StoreOutcome::kUnknownStation);  // its listing is Whois's, tested there
  EXPECT_EQ(Ids(f.store), std::vector<std::string>{"KORD"});
  for (int n = 2; n <= 6; ++n) EXPECT_EQ(f.File("KORD", n, 2000 + n * 10), StoreOutcome::kAddedToSlots);
  EXPECT_EQ(TimesOf(f.store[0].reports), (Times{2060, 2050, 2040, 2030, 2020, 2000}));
  EXPECT_FALSE(f.fs.Exists("obsfolder/KORD.obs"));
  // Seventh report: slot 5 goes to the top of a new archive.
  EXPECT_EQ(f.File("KORD", 7, 2070), StoreOutcome::kAddedToSlots);
  EXPECT_EQ(TimesOf(ReadArchive(f.fs, "KORD")), Times{2000});
  // Older than all six slots but recent: archive only, at its time position, no watch line.
  EXPECT_EQ(f.File("KORD", 8, 2005), StoreOutcome::kArchivedOnly);
  EXPECT_EQ(TimesOf(ReadArchive(f.fs, "KORD")), (Times{2005, 2000}));
  EXPECT_EQ(f.File("KORD", 9, 900), StoreOutcome::kTooOld);
  // A report already in the archive is a duplicate.
  EXPECT_EQ(f.File("KORD", 8, 2005), StoreOutcome::kDuplicate);
  const auto watch = ReadWatchRecords(f.fs.files["watch.zzz"]);
  ASSERT_EQ(watch.size(), 7u);
  EXPECT_EQ(watch[0].latitude, 4198);
  EXPECT_EQ(watch[6].time, 2070);
  EXPECT_FALSE(f.fs.Exists("obsfolder/temp.obs"));
}

TEST(StoreReportTest, ArchiveDropsStaleLinesAndEqualTimesGoFirst) {
  Fixture f;
  f.fs.files["obsfolder/KORD.obs"] = FormatArchive({{1500, "KORD 1Z OLD ", "x"}, {500, "KORD 2Z STALE ", "y"}});
  f.fs.folders.insert("obsfolder");
  f.store[0].identifier = "KORD";
  for (int k = 0; k < 6; ++k) f.store[0].reports[static_cast<std::size_t>(k)] = {3000 - k * 100, Report("KORD", k), "d"};
  f.store[1].identifier = "end";
  EXPECT_EQ(f.File("KORD", 50, 3000), StoreOutcome::kAddedToSlots);
  EXPECT_EQ(f.store[0].reports[0].report, Report("KORD", 50));  // equal time goes before
  EXPECT_EQ(TimesOf(ReadArchive(f.fs, "KORD")), (Times{2500, 1500}));  // stale line dropped
}

TEST(StoreReportTest, NewStationInReusedEntryStartsWithEmptySlots) {
  Fixture f;
  f.store[0].identifier = "end";
  f.store[0].reports[3] = {5000, "KMDW 1Z OLD ", "d"};
  EXPECT_EQ(f.File("KORD", 1, 2000), StoreOutcome::kAddedNewStation);
  EXPECT_TRUE(f.store[0].reports[3].Empty());
}

TEST(StoreReportTest, ArchiveAheadOfStoreGetsNoSecondCopyAndFailedWritesAreReportedOrRetried) {
  Fixture f, failing;
  f.FillSlots();
  // An aborted run archived slot 5 already, but obs.wad was never replaced.
  f.fs.files["obsfolder/KORD.obs"] = FormatArchive({f.store[0].reports[5]});
  EXPECT_EQ(f.File("KORD", 9, 3000), StoreOutcome::kAddedToSlots);
  EXPECT_EQ(ReadArchive(f.fs, "KORD").size(), 1u);
  failing.FillSlots();
  failing.fs.failRenames = true;
  EXPECT_EQ(failing.File("KORD", 9, 3000), StoreOutcome::kFileError);
  // Retried writes that go through file the report and its watch line once.
  std::vector<std::string> retried;
  failing.context.retryWrite = [&](const std::string& file) {
    retried.push_back(file);
    failing.fs.failRenames = failing.fs.failWrites = false;
    return true;
  };
  EXPECT_EQ(failing.File("KORD", 9, 3000), StoreOutcome::kAddedToSlots);
  failing.fs.failWrites = true;
  EXPECT_EQ(failing.File("CYYZ", 1, 3000), StoreOutcome::kAddedNewStation);
  EXPECT_EQ(retried, (std::vector<std::string>{"obsfolder/KORD.obs", "watch.zzz"}));
  const auto watch = ReadWatchRecords(failing.fs.files["watch.zzz"]);
  ASSERT_FALSE(watch.empty());
  EXPECT_EQ(watch.back().report, Report("CYYZ", 1));
  EXPECT_EQ(ReadArchive(failing.fs, "KORD").size(), 1u);
}

TEST(StoreFileTest, RoundTripCutoffAndFailedSave) {
  Fixture f;
  f.File("KORD", 1, 2000);
  f.File("KORD", 2, 2100);
  f.File("KMDW", 1, 1500);
  f.File("CYYZ", 1, 5000);
  ASSERT_TRUE(SaveStore(f.fs, f.store, 1800));
  EXPECT_FALSE(f.fs.Exists("temp.wad"));
  EXPECT_EQ(f.fs.files["obs.wad"].substr(0, 11), "\"[START]\"\r\n");
  ObservationStore loaded;
  const LoadResult result = LoadStore(f.fs, loaded);
  EXPECT_TRUE(result.sawExit);
  EXPECT_TRUE(result.problem.empty());
  EXPECT_EQ(Ids(loaded), (std::vector<std::string>{"KORD", "CYYZ"}));  // KMDW older than the cutoff
  EXPECT_EQ(loaded[0].reports, f.store[0].reports);
  EXPECT_EQ(loaded[1].latitude, 4367);
  // A failed write or rename leaves the old store untouched.
  f.fs.files["obs.wad"] = "old";
  f.fs.writeBudget = 10;
  for (bool* failure : {&f.fs.failRenames, &f.fs.failWrites}) {
    *failure = true;
    EXPECT_FALSE(SaveStore(f.fs, f.store, 0));
    EXPECT_EQ(f.fs.files["obs.wad"], "old");
    *failure = false;
  }
}

TEST(StoreFileTest, ReloadClearsSlotsOfMovedStations) {
  MemoryFileSystem fs;
  const std::string kord = "\"[START]\"\r\n\"KORD\",4198,-8790\r\n\"[END]\"\r\n";
  fs.files["obs.wad"] = kord + "\"[START]\"\r\n\"KMDW\",4178,-8775\r\n\"[DATA]\"\r\n\"KMDW 1Z A \",\"d\",10\r\n"
                        "\"[DATA]\"\r\n\"KMDW 2Z B \",\"d\",9\r\n\"[END]\"\r\n\"[EXIT]\"\r\n";
  ObservationStore store;
  LoadStore(fs, store);
  EXPECT_EQ(store[1].reports[1].time, 9);
  fs.files["obs.wad"] = kord + "\"[START]\"\r\n\"CYYZ\",4367,-7963\r\n\"[DATA]\"\r\n\"CYYZ 1Z A \",\"d\",10\r\n\"[END]\"\r\n\"[EXIT]\"\r\n";
  LoadStore(fs, store);
  EXPECT_EQ(store[1].identifier, "CYYZ");
  EXPECT_TRUE(store[1].reports[1].Empty());
}

TEST(StoreFileTest, DamagedFilesLoadWhatIsValid) {
  struct Case { const char* name; std::string bytes; int stations; bool problem; };
  const std::string block = "\"[START]\"\r\n\"KORD\",4198,-8790\r\n\"[DATA]\"\r\n\"KORD 1Z A \",\"d\",10\r\n\"[END]\"\r\n";
  const Case cases[] = {
      {"empty", "", 0, true},
      {"truncated", block + "\"[START]\"\r\n\"KMDW\",41", 1, true},
      {"exit inside block", block + "\"[START]\"\r\n\"KMDW\",1,2\r\n\"[EXIT]\"\r\n" + block, 1, false},
      {"latitude out of range", "\"[START]\"\r\n\"KBAD\",40000,0\r\n\"[END]\"\r\n" + block + "\"[EXIT]\"", 1, true},
      {"garbage", "\x01\x02,,\"\"\"\"[START]\r\n\"[START]\"", 0, true},
      {"junk between blocks", "\"junk\",7\r\n" + block + "\"[EXIT]\"\r\n", 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ObservationStore store;
    const LoadResult result = ParseStore(c.bytes, store);
    EXPECT_EQ(result.stations, c.stations);
    EXPECT_EQ(!result.problem.empty(), c.problem) << result.problem;
    EXPECT_EQ(Ids(store), std::vector<std::string>(static_cast<std::size_t>(c.stations), "KORD"));
  }
}

TEST(StoreFileTest, MissingStoreMarksEntryZeroAndAgeLimitIsSane) {
  MemoryFileSystem fs;
  ObservationStore store;
  store[0].identifier = "KORD";
  EXPECT_FALSE(LoadStore(fs, store).fileFound);
  EXPECT_EQ(store[0].identifier, "end");
  for (auto [age, minutes] : {std::pair{0, 48 * 60}, {-3, 48 * 60}, {12, 12 * 60}}) {
    EXPECT_EQ(StoreCutoff(10000, age), 10000 - minutes) << age;
  }
}

TEST(StoreFileTest, FullStoreWritesNoExitAndReloads) {
  ObservationStore store;
  for (int i = 0; i <= kStoreLastIndex; ++i) {
    store[i].identifier = "S" + std::to_string(i);
    store[i].reports[0] = {100, "X 1Z A ", "d"};
  }
  const std::string text = FormatStore(store, 0);
  EXPECT_EQ(text.find("[EXIT]"), std::string::npos);
  ObservationStore loaded;
  EXPECT_EQ(ParseStore(text, loaded).stations, kStoreEntries);
  EXPECT_EQ(loaded[kStoreLastIndex].identifier, "S6000");
  EXPECT_EQ(loaded.EndIndex(), kStoreEntries);
}

}  // namespace
}  // namespace norvane
