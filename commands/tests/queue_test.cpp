#include <gtest/gtest.h>

#include "commands/process_queue.h"
#include "core/record_file.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_process_starter.h"
#include "tests/fakes/fake_random.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_reporter.h"
#include "tests/fakes/scripted_dialogs.h"

namespace norvane {
namespace {

using testing::RecordingReporter;
using Lines = std::vector<std::string>;

std::string Status(bool error, bool final, const std::string& text) {
  return RecordWriter().Bool(error).Bool(final).Text(text).EndRecord().Take();
}

// A queue, a working folder with a child's lock and the ends of the status-file watch.
struct Harness {
  ProcessQueue q;
  testing::MemoryFileSystem fs;
  testing::FakeProcessStarter starter;
  RecordingReporter rep;
  WatchdogState state;
  Lines ran;
  int finishes = 0;
  ChildEndHandlers handlers{[this](const std::string& s) { ran.push_back(s); }, [this] { ++finishes; }, {}};
  void Poll() { PollStatusFile(state, fs, rep, handlers); }
  void Queue(std::initializer_list<const char*> lines) {
    for (const char* line : lines) QueueGridBuild(q, line, rep);
    rep = RecordingReporter();
  }
};
struct QueueTest : ::testing::Test, Harness {};

TEST_F(QueueTest, FillsInOrderAndRefusesTheRow102) {
  for (int i = 0; i < 101; ++i) ASSERT_TRUE(QueueGridBuild(q, "tessal g" + std::to_string(i) + " ", rep));
  EXPECT_EQ(q.Count(), 101);
  EXPECT_EQ(rep.logged.back(), "PID 101 is number 100 in the queue");
  EXPECT_FALSE(QueueGridBuild(q, "tessal late ", rep));
  EXPECT_EQ(rep.shown.back(),
            "!!! !!! PID 102 is was unable to be queued - queue is full!!!  Edit your script files for less "
            "processing time");
  q.RemoveAt(0);
  EXPECT_EQ(q.Row(0).commandLine, "tessal g1 2");
  EXPECT_TRUE(q.Row(100).commandLine.empty());
  // The number of the refused request was used up.
  EXPECT_TRUE(QueueGridBuild(q, "tessal next ", rep));
  EXPECT_EQ(q.Row(100).processNumber, "103");
}

TEST(ProcessQueue, NumbersWrapAfter32000) {
  ProcessQueue q;
  for (int i = 1; i < 32000; ++i) q.TakeProcessNumber();
  EXPECT_EQ(q.TakeProcessNumber(), "32000");
  EXPECT_EQ(q.TakeProcessNumber(), "0");
  EXPECT_EQ(q.TakeProcessNumber(), "1");
}

TEST(ServerTemplate, Expansion) {
  struct Case { const char* tmpl; const char* stamp; const char* want; } cases[] = {
      {"http://h/%Y%m%d/%h.txt", "200103041500", "http://h/20010304/15.txt"},
      {"http://h/%y-%q%h", "200103041500", "http://h/01-15"}, {"http://h/x%", "200103041500", "http://h/x"},
      {"%%Y", "200103041500", "Y"}, {"%h", "20", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandServerTemplate(c.tmpl, c.stamp), c.want) << c.tmpl;
}

TEST(QueueDownload, ServerChoice) {
  testing::FakeClock clock;
  clock.Set(2001, 3, 4, 15, 22);
  struct Case { int active; std::array<const char*, 4> servers; std::vector<double> draws; const char* want; };
  const Case cases[] = {
      {2, {"a/%h", "b/%h", "", ""}, {}, "varnex b/15 1"},
      {5, {"", "", "c/%Y%m%d/%h.txt", ""}, {0.1, 0.3, 0.99, 0.6}, "varnex c/20010304/15.txt 1"},
      {5, {"", "", "c/%h", ""}, {0.0}, nullptr},  // 10000 draws of server 1 find nothing
      {7, {"a", "b", "c", "d"}, {}, nullptr}, {0, {"a", "b", "c", "d"}, {}, nullptr}, {3, {"a", "b", "", "d"}, {}, nullptr},
  };
  for (const auto& c : cases) {
    Settings s;
    s.ActiveObServer = c.active;
    for (int i = 0; i < 4; ++i) s.ObServers[static_cast<std::size_t>(i + 1)] = c.servers[static_cast<std::size_t>(i)];
    ProcessQueue q;
    testing::FakeRandom rnd;
    rnd.values = c.draws;
    testing::ScriptedDialogs dialogs;
    RecordingReporter rep;
    int optionsOpened = 0;
    const bool queued = QueueDownload(q, s, "", clock, rnd, dialogs, rep, [&] { ++optionsOpened; });
    EXPECT_EQ(queued, c.want != nullptr) << c.active;
    EXPECT_EQ(optionsOpened, c.want ? 0 : 1) << c.active;
    EXPECT_EQ(q.Count() ? q.Row(0).commandLine : "", c.want ? c.want : "") << c.active;
    const std::string refusal = "Unable to select a server.  Make sure there is a server by going into options";
    EXPECT_EQ(rep.shown, c.want ? Lines{} : Lines{refusal});
    EXPECT_EQ(q.TakeProcessNumber(), c.want ? "2" : "1");  // a refusal uses no process number
  }
}

TEST_F(QueueTest, StartNextWritesLockThenStartsMinimised) {
  Queue({"tessal a ", "tessal b "});
  StartNextProcess(q, fs, starter, rep);
  ASSERT_EQ(starter.started.size(), 1u);
  EXPECT_EQ(starter.started[0].commandLine, "tessal a 1");
  EXPECT_EQ(starter.started[0].mode, WindowMode::MinimisedNoFocus);
  EXPECT_EQ(RecordReader(fs.files.at("lock.zzz")).NextText(), "1");
  EXPECT_EQ(rep.logged.back(), "There are 1 processes left in the queue");
  // A child that cannot start must not leave its lock behind.
  starter.succeed = false;
  StartNextProcess(q, fs, starter, rep);
  EXPECT_FALSE(fs.Exists("lock.zzz"));
  EXPECT_EQ(rep.shown.back(), "Unable to start 'tessal b 2'");
  EXPECT_EQ(q.Count(), 0);
}

TEST(PollStatusFile, StatusRules) {
  const std::string timeout =
      "Observation download timeout - ending download - if you see this more then 3 times you may want to switch "
      "servers";
  struct Case { std::string file, contents; Lines shown, logged, scripts; int finishes; bool lockLeft; };
  const Case cases[] = {
      {"d12.pid", Status(false, false, "1234"), {}, {}, {}, 0, true},
      {"d12.pid", Status(false, false, "Ob - 12 Kb -- PID 12"), {}, {"PID(12) - Ob - 12 Kb -- PID 12"}, {}, 0, true},
      {"d12.pid", Status(true, true, timeout), {"PID(12) - " + timeout}, {}, {"after_varnex.nvs"}, 1, false},
      {"d12.pid", Status(false, true, timeout), {}, {"PID(12) - " + timeout}, {"after_varnex.nvs"}, 1, false},
      {"d.pid", Status(true, true, "Invalid command line switches for observation downloader"),
       {"PID() - Invalid command line switches for observation downloader"}, {}, {"after_varnex.nvs"}, 1, false},
      {"g7.pid", Status(false, true, "Grid build is complete"), {}, {"PID(7) - Grid build is complete"},
       {"after_buildgrid.nvs"}, 0, false},
      {"x7.pid", Status(false, true, "Something else ended"), {}, {"PID(7) - Something else ended"}, {}, 0, true},
      {"d12.pid", "#TRUE#,#TR", {}, {}, {}, 0, true},
      {"d12.pid", std::string("\0\xff\x01garbage", 10), {}, {}, {}, 0, true},
      {"d12.pid", "", {}, {}, {}, 0, true},
  };
  for (const auto& c : cases) {
    Harness h;
    h.fs.files["lock.zzz"] = "\"12\"\r\n";
    h.fs.files[c.file] = c.contents;
    h.Poll();
    EXPECT_EQ(h.rep.shown, c.shown) << c.contents;
    EXPECT_EQ(h.rep.logged, c.logged) << c.contents;
    EXPECT_EQ(h.ran, c.scripts) << c.contents;
    EXPECT_EQ(h.finishes, c.finishes) << c.contents;
    EXPECT_EQ(h.fs.Exists("lock.zzz"), c.lockLeft) << c.contents;
    const bool final = c.contents.find("#,#TRUE#") != std::string::npos;
    EXPECT_EQ(h.fs.Exists(c.file), !final) << c.contents;
  }
}

TEST_F(QueueTest, WatchdogStopsAStalledChildAfter31Ticks) {
  fs.files["lock.zzz"] = "\"3\"\r\n";
  fs.files["d3.pid"] = Status(false, false, "17");
  Poll();  // the first read is a change: the counter restarts
  for (int tick = 1; tick <= 30; ++tick) {
    Poll();
    ASSERT_TRUE(fs.Exists("lock.zzz")) << tick;
  }
  Poll();
  EXPECT_FALSE(fs.Exists("lock.zzz"));
  EXPECT_EQ(state.stallCounter, 0);

  // Heartbeats keep a healthy child alive.
  fs.files["lock.zzz"] = "\"3\"\r\n";
  for (int tick = 0; tick < 100; ++tick) {
    fs.files["d3.pid"] = Status(false, false, std::to_string(tick));
    Poll();
  }
  EXPECT_TRUE(fs.Exists("lock.zzz"));

  // A lock without a status file counts toward the stall too.
  fs.files.erase("d3.pid");
  for (int tick = 0; tick < 31; ++tick) Poll();
  EXPECT_FALSE(fs.Exists("lock.zzz"));
}

TEST_F(QueueTest, AStatusFileThatCannotBeDeletedIsHandledOnce) {
  fs.files["lock.zzz"] = "\"3\"\r\n";
  fs.files["d3.pid"] = Status(false, true, "Observation download successful");
  fs.failRemoves = true;
  for (int tick = 0; tick < 5; ++tick) Poll();
  EXPECT_EQ(ran, Lines{"after_varnex.nvs"});
  ASSERT_FALSE(rep.shown.empty());
  EXPECT_EQ(rep.shown.back(), "Unable to delete the status file 'd3.pid'");
}

// A child that ends between the poll and the idle check (while "cron.nvs" runs).
TEST_F(QueueTest, FinalStatusLeftAfterThePollIsHandledBeforeTheNextStart) {
  Queue({"tessal next "});
  fs.files["d5.pid"] = Status(false, true, "Observation download successful");
  StartNextIfIdle(q, state, fs, starter, rep, handlers);
  EXPECT_EQ(ran, Lines{"after_varnex.nvs"});
  EXPECT_EQ(finishes, 1);
  EXPECT_FALSE(fs.Exists("d5.pid"));
  ASSERT_EQ(starter.started.size(), 1u);
  EXPECT_TRUE(fs.Exists("lock.zzz"));
}

TEST(KillProcesses, Forms) {
  struct Case { std::string word; Lines left; bool lockLeft; };
  const Case cases[] = {
      {"", {"1", "2", "3", "4"}, true}, {"ALL", {}, true}, {"cur", {"1", "2", "3", "4"}, false},
      {"CURRENT", {"1", "2", "3", "4"}, false}, {"GRIDS", {"1", "3"}, true}, {"dl", {"2", "4"}, true},
      {"DOWNLOADS", {"2", "4"}, true}, {"3", {"1", "2", "4"}, true}, {"12", {"1", "2", "3", "4"}, true},
  };
  for (const auto& c : cases) {
    Harness h;
    h.fs.files["lock.zzz"] = "\"9\"\r\n";
    h.Queue({"varnex a ", "TESSAL b ", "Varnex.exe c ", "tessal d "});
    KillProcesses(h.q, c.word, h.fs, h.rep);
    Lines left;
    for (int i = 0; i < h.q.Count(); ++i) left.push_back(h.q.Row(i).processNumber);
    EXPECT_EQ(left, c.left) << c.word;
    EXPECT_EQ(h.fs.Exists("lock.zzz"), c.lockLeft) << c.word;
    // No word kills nothing and says nothing; every other form answers with the queue.
    EXPECT_EQ(h.rep.all.empty(), c.word.empty()) << c.word;
    EXPECT_EQ(h.rep.shown.empty() ? "" : h.rep.shown.back(),
              c.word.empty() ? "" : "The queue has " + std::to_string(c.left.size()) + " processes...");
  }
}

TEST_F(QueueTest, ListWritesBackwardsSoTheBoxReadsInStartOrder) {
  Queue({"tessal a ", "tessal b "});
  ListQueue(q, rep);
  EXPECT_EQ(rep.shown, (Lines{"-----=====-----=====-----", "PID (2) - 'tessal b 2'", "PID (1) - 'tessal a 1'",
                              "The queue has 2 processes..."}));
}

}  // namespace
}  // namespace norvane
