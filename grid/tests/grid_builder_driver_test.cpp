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

  void SetUp() override { Reset(); }
  // A fresh working folder, also for the next case of a loop.
  void Reset() {
    fs = {};
    onEvents = nullptr;
    fs.files = {{"obs.wad", StoreText(MinutesNow(clock) - 30)},
                {"norvane.ini", "\"[EARTH RADIUS]\",3440\r\n"},
                {"lock.zzz", "\"12\"\r\n"}};
    random.values = {0.5};
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
    return r.grid ? std::optional(r.grid->At(0, 0).Temperature) : std::nullopt;
  }
};

TEST(GridCommandLine, WordsAreSplitOnSingleBlanksAndNumbersChecked) {
  // A double blank shifts the words; the twelfth is ignored.
  EXPECT_THAT(SplitGridCommandWords("a 1  3 4 5 6 7 8 9 10 11 twelve"),
              ElementsAre("a", "1", "", "3", "4", "5", "6", "7", "8", "9", "10"));
  // Non-numeric text converts to 0, the exponent is floored, minutes back held in 32 bits without wrapping.
  const auto p = ConvertGridWords(SplitGridCommandWords("g 20.5 x -60 55 .25 0.5 150.9 -2.5 99999999999 7"));
  EXPECT_EQ(std::tuple(p.startLatitude, p.startLongitude, p.latitudeStep, p.radius, p.exponent, p.minutesBack),
            std::tuple(20.5f, 0.0f, 0.25f, 150, -3, 2147483647));
  const std::array<float, 6> box = {20, -130, 55, -60, 0.1f, 1};
  auto ok = GridBuildCommandLine("temps", box, 150.7, 2, 180, "9");
  EXPECT_EQ(ok.line.value_or(""), "tessal temps 20 -130 55 -60 .1 1 150 2 180 9");
  // The line the main program forms is the line the child reads back.
  EXPECT_EQ(ConvertGridWords(SplitGridCommandWords(ok.line->substr(7))).latitudeStep, 0.1f);
  struct Case { double radius, exponent, minutesBack; const char* message; };
  const Case cases[] = {{40000, 2, 0, "Invalid radius of influence"}, {-32769, 2, 0, "Invalid radius of influence"},
                        {150, 32768, 0, "Invalid weighting exponent"}, {150, 2, 3e9, "Invalid minutes back"}};
  for (const Case& c : cases) {
    auto r = GridBuildCommandLine("g", box, c.radius, c.exponent, c.minutesBack, "1");
    EXPECT_EQ(std::pair(r.line.has_value(), r.message), std::pair(false, std::string(c.message)));
  }
}

TEST(GridStore, ReadsTheStoreLikeTheBuilder) {
  const auto s = ReadGridStore(StoreText(5000));
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(std::tuple(s[0].identifier, s[0].latitude, s[0].reports[0].time, s[1].identifier),
            std::tuple("KAAA", 3000, 5000, "end"));
  // "[EXIT]" inside a block drops that station; an unknown marker uses up a slot.
  const auto cut = ReadGridStore(
      "\"[START]\"\r\n\"KBBB\",1,2\r\n\"junk\"\r\n\"[DATA]\"\r\n\"r\",\"d\",7\r\n\"[END]\"\r\n"
      "\"[START]\"\r\n\"KCCC\",1,2\r\n\"[EXIT]\"\r\n");
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(std::tuple(cut[0].reports[0].time, cut[0].reports[1].time, cut[1].identifier), std::tuple(0, 7, "end"));
  for (const char* garbage : {"", "\"[START]\"", "\"[START]\",\"[START]\",\"[DATA]\"", "\x01\x02,,,\"\"\"", "[DATA]"})
    EXPECT_LE(ReadGridStore(garbage).size(), 2u);
  const auto archive = ReadGridArchive("\"r1\",\"d1\",100\r\n\"r2\",\"d2\",90\r\n\"r3\",\"d3");
  ASSERT_EQ(archive.size(), 2u) << "a cut-short record is dropped";
  EXPECT_EQ(std::pair(archive[1].time, archive[1].decoded), std::pair(90, std::string("d2")));
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
    for (const auto& [name, text] : {std::pair{"obs.wad", c.store}, {"norvane.ini", c.ini}}) {
      if (text) fs.files[name] = *text;
      else fs.files.erase(name);
    }
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
    if (*lock) fs.files["lock.zzz"] = lock;
    else fs.files.erase("lock.zzz");
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
  EXPECT_TRUE(d->Ended() && !fs.files.count("t.nv1"));
  EXPECT_EQ(StatusIn("g12.pid"), "status Building grid 't'");
}

TEST_F(DriverTest, TimeoutAndEndButton) {
  auto d = Make();
  d->Start();
  // A station that never finishes: the watch timer ticks on inside the build.
  onEvents = [&] { for (int k = 0; k < 101 && !d->Ended(); ++k) d->Tick(1000); };
  d->Tick(1500);
  EXPECT_TRUE(d->Ended() && !fs.files.count("t.nv1"));
  EXPECT_EQ(StatusIn("g12.pid"), "error final Grid builder timeout - ending program");
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
