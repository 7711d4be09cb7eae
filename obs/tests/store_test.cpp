#include <gtest/gtest.h>

#include "obs/observation_store.h"
#include "obs/station_tables.h"
#include "tests/fakes/memory_file_system.h"

namespace norvane {
namespace {

using testing::MemoryFileSystem;

std::string FakeDecode(std::string_view report) {
  std::string d(63, '0');
  d[62] = report.empty() ? '0' : report[5];
  return d;
}

std::string Report(const std::string& id, int n) { return id + " " + std::to_string(100000 + n) + "Z A" + std::to_string(n) + " "; }

// One station block of "obs.wad" as bytes: position, then each (report, time) with decoded text "d".
std::string Block(const std::string& id, int lat, int lon, const std::vector<std::pair<std::string, int>>& reports = {}) {
  std::string b = "\"[START]\"\r\n\"" + id + "\"," + std::to_string(lat) + "," + std::to_string(lon) + "\r\n";
  for (const auto& [report, time] : reports) b += "\"[DATA]\"\r\n\"" + report + "\",\"d\"," + std::to_string(time) + "\r\n";
  return b + "\"[END]\"\r\n";
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
  EXPECT_EQ(f.store[0].identifier, "KORD");
  EXPECT_EQ(f.store[0].latitude, 4198);
  EXPECT_EQ(f.store[1].identifier, "end");
  EXPECT_EQ(f.File("KORD", 1, 2000), StoreOutcome::kDuplicate);
  EXPECT_EQ(f.File("XXXX", 1, 2000), StoreOutcome::kUnknownStation);
  EXPECT_EQ(f.File("XXXX", 2, 2000), StoreOutcome::kUnknownStation);
  EXPECT_EQ(f.fs.files["unkn.stn"], "\"XXXX\"\r\n");  // listed once
  EXPECT_EQ(f.store[1].identifier, "end");
  for (int n = 2; n <= 6; ++n) EXPECT_EQ(f.File("KORD", n, 2000 + n * 10), StoreOutcome::kAddedToSlots);
  EXPECT_EQ(f.store[0].reports[0].time, 2060);
  EXPECT_EQ(f.store[0].reports[5].time, 2000);
  EXPECT_FALSE(f.fs.Exists("obsfolder/KORD.obs"));
  // Seventh report: slot 5 goes to the top of a new archive.
  EXPECT_EQ(f.File("KORD", 7, 2070), StoreOutcome::kAddedToSlots);
  StationArchive archive = ReadArchive(f.fs, "KORD");
  ASSERT_EQ(archive.size(), 1u);
  EXPECT_EQ(archive[0].time, 2000);
  // Older than all six slots but recent: archive only, at its time position, no watch line.
  EXPECT_EQ(f.File("KORD", 8, 2005), StoreOutcome::kArchivedOnly);
  archive = ReadArchive(f.fs, "KORD");
  ASSERT_EQ(archive.size(), 2u);
  EXPECT_EQ(archive[0].time, 2005);
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
  const StationArchive archive = ReadArchive(f.fs, "KORD");
  ASSERT_EQ(archive.size(), 2u);  // stale line dropped
  EXPECT_EQ(archive[0].time, 2500);
  EXPECT_EQ(archive[1].time, 1500);
}

TEST(StoreReportTest, NewStationInReusedEntryStartsWithEmptySlots) {
  Fixture f;
  f.store[0].identifier = "end";
  f.store[0].reports[3] = {5000, "KMDW 1Z OLD ", "d"};
  EXPECT_EQ(f.File("KORD", 1, 2000), StoreOutcome::kAddedNewStation);
  EXPECT_TRUE(f.store[0].reports[3].Empty());
}

TEST(StoreReportTest, ArchiveAheadOfStoreGetsNoSecondCopyAndFailedArchiveWriteIsReported) {
  Fixture f, failing;
  f.FillSlots();
  // An aborted run archived slot 5 already, but obs.wad was never replaced.
  f.fs.files["obsfolder/KORD.obs"] = FormatArchive({f.store[0].reports[5]});
  EXPECT_EQ(f.File("KORD", 9, 3000), StoreOutcome::kAddedToSlots);
  EXPECT_EQ(ReadArchive(f.fs, "KORD").size(), 1u);
  failing.FillSlots();
  failing.fs.failRenames = true;
  EXPECT_EQ(failing.File("KORD", 9, 3000), StoreOutcome::kFileError);
}

TEST(StoreFileTest, RoundTripAndCutoff) {
  Fixture f;
  f.File("KORD", 1, 2000);
  f.File("KORD", 2, 2100);
  f.File("KMDW", 1, 1500);
  f.File("CYYZ", 1, 5000);
  MemoryFileSystem& fs = f.fs;
  ASSERT_TRUE(SaveStore(fs, f.store, 1800));
  EXPECT_FALSE(fs.Exists("temp.wad"));
  ObservationStore loaded;
  const LoadResult result = LoadStore(fs, loaded);
  EXPECT_TRUE(result.sawExit);
  EXPECT_TRUE(result.problem.empty());
  EXPECT_EQ(loaded[0].identifier, "KORD");
  EXPECT_EQ(loaded[0].reports[0], f.store[0].reports[0]);
  EXPECT_EQ(loaded[0].reports[1], f.store[0].reports[1]);
  EXPECT_EQ(loaded[1].identifier, "CYYZ");  // KMDW older than the cutoff
  EXPECT_EQ(loaded[1].latitude, 4367);
  EXPECT_EQ(loaded[2].identifier, "end");
  EXPECT_EQ(fs.files["obs.wad"].substr(0, 11), "\"[START]\"\r\n");
}

TEST(StoreFileTest, FailedSaveLeavesOldStoreUntouched) {
  Fixture f;
  f.File("KORD", 1, 2000);
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
  const std::string kord = Block("KORD", 4198, -8790);
  fs.files["obs.wad"] = kord + Block("KMDW", 4178, -8775, {{"KMDW 1Z A ", 10}, {"KMDW 2Z B ", 9}}) + "\"[EXIT]\"\r\n";
  ObservationStore store;
  LoadStore(fs, store);
  EXPECT_EQ(store[1].reports[1].time, 9);
  fs.files["obs.wad"] = kord + Block("CYYZ", 4367, -7963, {{"CYYZ 1Z A ", 10}}) + "\"[EXIT]\"\r\n";
  LoadStore(fs, store);
  EXPECT_EQ(store[1].identifier, "CYYZ");
  EXPECT_TRUE(store[1].reports[1].Empty());
}

TEST(StoreFileTest, DamagedFilesLoadWhatIsValid) {
  struct Case { const char* name; std::string bytes; int stations; bool problem; };
  const std::string block = Block("KORD", 4198, -8790, {{"KORD 1Z A ", 10}});
  const Case cases[] = {
      {"empty", "", 0, true},
      {"truncated", block + "\"[START]\"\r\n\"KMDW\",41", 1, true},
      {"exit inside block", block + "\"[START]\"\r\n\"KMDW\",1,2\r\n\"[EXIT]\"\r\n" + block, 1, false},
      {"latitude out of range", Block("KBAD", 40000, 0) + block + "\"[EXIT]\"", 1, true},
      {"garbage", "\x01\x02,,\"\"\"\"[START]\r\n\"[START]\"", 0, true},
      {"junk between blocks", "\"junk\",7\r\n" + block + "\"[EXIT]\"\r\n", 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ObservationStore store;
    const LoadResult result = ParseStore(c.bytes, store);
    EXPECT_EQ(result.stations, c.stations);
    EXPECT_EQ(!result.problem.empty(), c.problem) << result.problem;
    EXPECT_EQ(store[c.stations].identifier, "end");
    if (c.stations > 0) {
      EXPECT_EQ(store[0].identifier, "KORD");
    }
  }
}

TEST(StoreFileTest, MissingStoreMarksEntryZeroAndAgeLimitIsSane) {
  MemoryFileSystem fs;
  ObservationStore store;
  store[0].identifier = "KORD";
  EXPECT_FALSE(LoadStore(fs, store).fileFound);
  EXPECT_EQ(store[0].identifier, "end");
  EXPECT_EQ(StoreCutoff(10000, 0), 10000 - 48 * 60);
  EXPECT_EQ(StoreCutoff(10000, -3), 10000 - 48 * 60);
  EXPECT_EQ(StoreCutoff(10000, 12), 10000 - 12 * 60);
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
  const LoadResult result = ParseStore(text, loaded);
  EXPECT_EQ(result.stations, kStoreEntries);
  EXPECT_EQ(loaded[kStoreLastIndex].identifier, "S6000");
  EXPECT_EQ(loaded.EndIndex(), kStoreEntries);
}

}  // namespace
}  // namespace norvane
