#include "grid/grid_builder_driver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/record_file.h"
#include "core/time_stamp.h"
#include "grid/tests/grid_test_support.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_random.h"
#include "tests/fakes/memory_file_system.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;

constexpr const char* kGoodLine = "t 30 -100 31 -99 1 1 100 1 0 12";

std::string StoreText(std::int32_t time) {
  RecordWriter w;
  w.Text("[START]").EndRecord().Text("KAAA").Integer(3000).Integer(-10000).EndRecord();
  w.Text("[DATA]").EndRecord().Text("KAAA 071200Z ").Text(testing::Decoded({.temperature = "015"})).Integer(time);
  w.EndRecord().Text("[END]").EndRecord().Text("[EXIT]").EndRecord();
  return w.Take();
}

struct DriverTest : ::testing::Test {
  testing::MemoryFileSystem fs;
  testing::FakeClock clock;
  testing::FakeRandom random;
  std::vector<std::string> captions;
  int waits = 0;
  std::function<void()> onEvents;

  void SetUp() override {
    fs.files["obs.wad"] = StoreText(MinutesNow(clock) - 30);
    fs.files["norvane.ini"] = "\"[EARTH RADIUS]\",3440\r\n";
    fs.files["lock.zzz"] = "\"12\"\r\n";
    random.values = {0.5};
  }
  // A fresh working folder for the next case of a loop.
  void Reset() {
    fs = {};
    onEvents = nullptr;
    SetUp();
  }
  std::unique_ptr<GridBuilderDriver> Make(const std::string& line = kGoodLine) {
    GridBuilderDriver::Hooks hooks;
    hooks.caption = [this](const std::string& t) { captions.push_back(t); };
    hooks.processEvents = [this] { if (onEvents) onEvents(); };
    hooks.shortWait = [this] { ++waits; };
    return std::make_unique<GridBuilderDriver>(fs, clock, random, line, std::move(hooks));
  }
  // The status record as "error|status [final] <text>"; empty when there is no file.
  std::string StatusIn(const std::string& name) {
    if (!fs.files.count(name)) return "";
    RecordReader r(fs.files[name]);
    std::string s = r.NextBool().value_or(false) ? "error " : "status ";
    if (r.NextBool().value_or(false)) s += "final ";
    return s + r.NextText().value_or("");
  }
  std::optional<double> FirstTemperature() {
    const auto r = ReadGridFile(fs, "t.nv1");
    if (!r.grid) return std::nullopt;
    return r.grid->At(0, 0).Temperature;
  }
};

TEST(GridCommandWords, SplitsOnSingleBlanks) {
  // A double blank shifts the words; the twelfth is ignored.
  EXPECT_THAT(SplitGridCommandWords("a 1  3 4 5 6 7 8 9 10 11 twelve"),
              ElementsAre("a", "1", "", "3", "4", "5", "6", "7", "8", "9", "10"));
  const auto p = ConvertGridWords(SplitGridCommandWords("g 20.5 x -60 55 .25 0.5 150.9 -2.5 99999999999 7"));
  EXPECT_EQ(p.startLatitude, 20.5f);
  EXPECT_EQ(p.startLongitude, 0) << "non-numeric text converts to 0";
  EXPECT_EQ(p.latitudeStep, 0.25f);
  EXPECT_EQ(p.radius, 150);
  EXPECT_EQ(p.exponent, -3) << "floored";
  EXPECT_EQ(p.minutesBack, 2147483647) << "held in 32 bits without wrapping";
}

TEST(GridCommandLine, FormatsAndRefusesOutOfRangeNumbers) {
  const std::array<float, 6> box = {20, -130, 55, -60, 0.1f, 1};
  auto ok = GridBuildCommandLine("temps", box, 150.7, 2, 180, "9");
  ASSERT_TRUE(ok.line);
  EXPECT_EQ(*ok.line, "tessal temps 20 -130 55 -60 .1 1 150 2 180 9");
  struct Case { double radius, exponent, minutesBack; const char* message; };
  const Case cases[] = {
      {40000, 2, 0, "Invalid radius of influence"},
      {-32769, 2, 0, "Invalid radius of influence"},
      {150, 32768, 0, "Invalid weighting exponent"},
      {150, 2, 3e9, "Invalid minutes back"},
  };
  for (const Case& c : cases) {
    auto r = GridBuildCommandLine("g", box, c.radius, c.exponent, c.minutesBack, "1");
    EXPECT_FALSE(r.line) << c.message;
    EXPECT_EQ(r.message, c.message);
  }
  // The line the main program forms is the line the child reads back.
  const auto p = ConvertGridWords(SplitGridCommandWords(ok.line->substr(7)));
  EXPECT_EQ(p.latitudeStep, 0.1f);
  EXPECT_EQ(p.radius, 150);
}

TEST(GridStore, ReadsTheStoreLikeTheBuilder) {
  const auto stations = ReadGridStore(StoreText(5000));
  ASSERT_EQ(stations.size(), 2u);
  EXPECT_EQ(stations[0].identifier, "KAAA");
  EXPECT_EQ(stations[0].latitude, 3000);
  EXPECT_EQ(stations[0].reports[0].time, 5000);
  EXPECT_EQ(stations[1].identifier, "end");
  // "[EXIT]" inside a block drops that station; an unknown marker uses up a slot.
  const auto cut = ReadGridStore("\"[START]\"\r\n\"KBBB\",1,2\r\n\"junk\"\r\n\"[DATA]\"\r\n\"r\",\"d\",7\r\n\"[END]\"\r\n"
                                 "\"[START]\"\r\n\"KCCC\",1,2\r\n\"[EXIT]\"\r\n");
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(cut[0].reports[0].time, 0);
  EXPECT_EQ(cut[0].reports[1].time, 7);
  EXPECT_EQ(cut[1].identifier, "end");
  for (const char* garbage : {"", "\"[START]\"", "\"[START]\",\"[START]\",\"[DATA]\"", "\x01\x02,,,\"\"\"", "[DATA]"})
    EXPECT_LE(ReadGridStore(garbage).size(), 2u);
  const auto archive = ReadGridArchive("\"r1\",\"d1\",100\r\n\"r2\",\"d2\",90\r\n\"r3\",\"d3");
  ASSERT_EQ(archive.size(), 2u) << "a cut-short record is dropped";
  EXPECT_EQ(archive[1].time, 90);
  EXPECT_EQ(archive[1].decoded, "d2");
}

TEST_F(DriverTest, StartUpFailuresEndWithTheirStatusInGPid) {
  const std::string store = fs.files["obs.wad"], ini = fs.files["norvane.ini"];
  const std::string noCount = "Unable to build grib because observation count is zero";
  const std::string noData = "Grid build cannot proceed - missing data in 'norvane.ini'";
  const std::string badLine = "Invalid command line switches for grid builder";
  struct Case { const char* what; std::optional<std::string> store, ini; std::string line, message; };  // {}: absent
  const Case cases[] = {
      {"no store", {}, {}, kGoodLine, noCount},
      {"empty store", "", ini, kGoodLine, noCount},
      {"no settings", store, {}, kGoodLine, "Grid build cannot proceed - missing 'norvane.ini' file"},
      {"key in other case", store, "\"[Earth Radius]\",3440\r\n", kGoodLine, noData},
      {"radius 0", store, "\"[EARTH RADIUS]\",0\r\n", kGoodLine, noData},
      {"negative radius", store, "\"[EARTH RADIUS]\",-5\r\n", kGoodLine, noData},
      {"ten words", store, ini, "t 30 -100 31 -99 1 1 100 1 0", badLine},
      {"double blank", store, ini, "t 30  -100 31 -99 1 1 100 1 0 12", badLine},
  };
  for (const Case& c : cases) {
    Reset();
    if (c.store) fs.files["obs.wad"] = *c.store; else fs.files.erase("obs.wad");
    if (c.ini) fs.files["norvane.ini"] = *c.ini; else fs.files.erase("norvane.ini");
    auto d = Make(c.line);
    d->Start();
    EXPECT_TRUE(d->Ended()) << c.what;
    EXPECT_EQ(StatusIn("g.pid"), "error final " + c.message) << c.what;
    EXPECT_FALSE(fs.files.count("lock.zzz") || fs.files.count("t.nv1")) << c.what;
  }
}

TEST_F(DriverTest, BuildsOnTheStartTimerWithHeartbeats) {
  auto d = Make(kGoodLine + std::string(" extra"));
  d->Start();
  ASSERT_FALSE(d->Ended());
  d->Tick(1000);
  EXPECT_EQ(StatusIn("g12.pid"), "status 16000");
  EXPECT_FALSE(fs.files.count("t.nv1")) << "nothing before 1.5 s";
  d->Tick(500);
  EXPECT_TRUE(d->Ended());
  EXPECT_EQ(StatusIn("g12.pid"), "status final Grid 't' complete");
  EXPECT_FALSE(fs.files.count("lock.zzz"));
  EXPECT_EQ(FirstTemperature(), 15);
  EXPECT_THAT(captions, ElementsAre("Grid - 0.0% -- PID 12", "Grid - 100.0% -- PID 12"));
}

TEST_F(DriverTest, LockGoneOrTakenEndsSilently) {
  for (const char* lock : {"", "\"13\"\r\n"}) {
    Reset();
    if (*lock) fs.files["lock.zzz"] = lock; else fs.files.erase("lock.zzz");
    auto d = Make();
    d->Start();
    d->Tick(1000);
    EXPECT_TRUE(d->Ended());
    EXPECT_FALSE(fs.files.count("g12.pid")) << "nothing written";
    EXPECT_EQ(fs.files.count("lock.zzz"), *lock ? 1u : 0u) << "nothing deleted";
  }
  // Deleting the lock while the grid builds stops the build without a grid or a status.
  Reset();
  auto d = Make();
  onEvents = [&] { fs.files.erase("lock.zzz"); d->Tick(1000); };
  d->Start();
  d->Tick(1500);
  EXPECT_TRUE(d->Ended());
  EXPECT_FALSE(fs.files.count("t.nv1"));
  EXPECT_EQ(StatusIn("g12.pid"), "status Building grid 't'");
}

TEST_F(DriverTest, TimeoutAndEndButton) {
  auto d = Make();
  d->Start();
  // A station that never finishes: the watch timer ticks on inside the build.
  onEvents = [&] { for (int k = 0; k < 101 && !d->Ended(); ++k) d->Tick(1000); };
  d->Tick(1500);
  EXPECT_TRUE(d->Ended());
  EXPECT_EQ(StatusIn("g12.pid"), "error final Grid builder timeout - ending program");
  EXPECT_FALSE(fs.files.count("t.nv1"));

  Reset();
  auto e = Make();
  e->Start();
  e->EndButton();
  EXPECT_EQ(StatusIn("g12.pid"), "status final Grib build terminated by user");
  EXPECT_FALSE(fs.files.count("lock.zzz"));
}

TEST_F(DriverTest, SharingErrorsAreRetriedAFewTimes) {
  auto d = Make();
  d->Start();
  fs.failRenames = true;  // the status file stays held by the reader
  d->Tick(1000);
  EXPECT_EQ(waits, kMaxSharingRetries);
  EXPECT_TRUE(d->Ended()) << "gives up rather than wait for ever";
  EXPECT_FALSE(fs.files.count("lock.zzz"));
}

TEST_F(DriverTest, PastGridReadsArchivesOnlyWhenNeeded) {
  const std::string decoded = testing::Decoded({.temperature = "007"});
  fs.files["obsfolder/KAAA.obs"] = "\"r\",\"" + decoded + "\"," + std::to_string(MinutesNow(clock) - 200) + "\r\n";
  auto d = Make("t 30 -100 31 -99 1 1 100 1 180 12");
  d->Start();
  d->Tick(1500);
  EXPECT_TRUE(fs.folders.count("obsfolder"));
  EXPECT_EQ(FirstTemperature(), 7);
}

}  // namespace
}  // namespace norvane
