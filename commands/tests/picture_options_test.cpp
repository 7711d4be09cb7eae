#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/options_checks.h"
#include "commands/save_picture.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_program_runner.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_reporter.h"
#include "tests/fakes/scripted_dialogs.h"

namespace norvane {
namespace {

using testing::FakeClock;
using testing::FakeProgramRunner;
using testing::MemoryFileSystem;
using testing::RecordingReporter;
using testing::ScriptedDialogs;

struct PictureRig {
  MemoryFileSystem fs;
  FakeProgramRunner runner;
  FakeClock clock;
  RecordingReporter log;
  SavePictureHost host;
  PictureRig() {
    host.redrawRunning = [] { return false; };
    host.mapBitmap = [] { return std::optional<std::string>("BMdata"); };
    // The encoder writes the file named after -outfile.
    runner.effect = [this](const std::vector<std::string>& args) {
      for (std::size_t k = 0; k + 1 < args.size(); ++k)
        if (args[k] == "-outfile") fs.files[args[k + 1]] = "JPEG";
    };
    fs.files["out.jpg"] = "OLD";
  }
  bool Save(const std::string& name = "out", const std::string& quality = "70") {
    return SavePicture(fs, runner, clock, log, host, name, quality);
  }
};

TEST(SavePicture, WritesThroughTheTwinAndCleansUp) {
  PictureRig rig;
  ASSERT_TRUE(rig.Save());
  ASSERT_EQ(rig.runner.ran.size(), 1u);
  EXPECT_EQ(rig.runner.ran[0].program, "cjpeg");
  EXPECT_EQ(rig.runner.ran[0].arguments,
            (std::vector<std::string>{"-quality", "70", "-optimize", "-dct", "float", "-smooth", "20", "-outfile",
                                      "out.jpg.tmp", "out.bmp"}));
  EXPECT_EQ(rig.fs.files["out.jpg"], "JPEG");
  EXPECT_FALSE(rig.fs.Exists("out.bmp"));
  EXPECT_FALSE(rig.fs.Exists("out.jpg.tmp"));
  EXPECT_EQ(rig.log.logged.back(), "out.jpg was written to the harddrive");
}

TEST(SavePicture, FailuresKeepTheOldPictureAndTheBitmap) {
  using S = ProgramOutcome::Status;
  struct Case { ProgramOutcome outcome; bool writesNothing; std::string says; };
  const std::vector<Case> cases = {
      {{S::NotStarted, -1}, false, "could not be started"},
      {{S::TimedOut, -1}, false, "did not finish in time"},
      {{S::Exited, 1}, false, "'cjpeg' failed"},
      {{S::Exited, 0}, true, "wrote no picture"},
  };
  for (const Case& c : cases) {
    PictureRig rig;
    rig.runner.outcome = c.outcome;
    if (c.writesNothing) rig.runner.effect = [&rig](const std::vector<std::string>&) { rig.fs.files["out.jpg.tmp"] = ""; };
    EXPECT_FALSE(rig.Save());
    EXPECT_EQ(rig.fs.files["out.jpg"], "OLD") << c.says;
    EXPECT_TRUE(rig.fs.Exists("out.bmp")) << c.says;
    EXPECT_FALSE(rig.fs.Exists("out.jpg.tmp")) << c.says;
    ASSERT_EQ(rig.log.shown.size(), 1u);
    EXPECT_NE(rig.log.shown[0].find(c.says), std::string::npos) << rig.log.shown[0];
    EXPECT_NE(rig.log.shown[0].find("kept as out.bmp"), std::string::npos) << rig.log.shown[0];
  }
}

TEST(SavePicture, OnlyPlainNamesAndABoundedWaitForTheRedraw) {
  for (const std::string& bad : std::vector<std::string>{"../x", "a b", "c:pic", "x;rm", "", std::string(65, 'a')}) {
    PictureRig rig;
    EXPECT_FALSE(rig.Save(bad)) << bad;
    EXPECT_TRUE(rig.runner.ran.empty());
    EXPECT_EQ(rig.log.shown.size(), 1u);
  }
  PictureRig plain;
  EXPECT_TRUE(plain.Save("Map_2-b", "-quality"));
  EXPECT_EQ(plain.runner.ran[0].arguments[1], "70");

  // SAVEPIC from the redraw script: the redraw it waits for never ends under it.
  PictureRig stuck;
  int pumps = 0;
  stuck.host.redrawRunning = [] { return true; };
  stuck.host.processEvents = [&] { stuck.clock.seconds += 0.5, ++pumps; };
  EXPECT_FALSE(stuck.Save());
  EXPECT_EQ(pumps, 20);
  EXPECT_TRUE(stuck.runner.ran.empty());
}

// The Qt dialog's tests cover the winds, dump and units boxes and the stored values.
TEST(OptionsDialog, ChecksInOrderThenStores) {
  struct Case { std::string OptionsModel::*box; std::string value; OptionsField focus; std::string message, title; };
  const std::vector<Case> refused = {
      {&OptionsModel::txtClearTime, "29", OptionsField::txtClearTime, "Valid clear times are 30 to 180.",
       "ILLEGAL CLEAR TIME"},
      {&OptionsModel::txtClearVerify, "337", OptionsField::txtClearVerify, "Valid clear times are 24 to 336 hours.",
       "ILLEGAL TIME"},
      {&OptionsModel::txtDist, "abc", OptionsField::txtDist, "Valid ranges are 1 to 100 units.", "ILLEGAL DISTANCE"},
  };
  for (const Case& c : refused) {
    Settings s;
    ScriptedDialogs dialogs;
    OptionsModel m = OpenOptions(s);
    m.txtDump = "200";  // a later failure: the earlier one is reported
    m.*c.box = c.value;
    EXPECT_EQ(AcceptOptions(m, s, dialogs), c.focus);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text + " " + dialogs.shown[0].title, c.message + " " + c.title);
    EXPECT_EQ(m.page, OptionsPage::Misc);
  }
  Settings s = DefaultSettings();
  ScriptedDialogs dialogs;
  OptionsModel m = OpenOptions(s);
  m.txtWinds = "30.5";
  m.txtServ[0] = "edited";
  EXPECT_EQ(AcceptOptions(m, s, dialogs), OptionsField::None);
  EXPECT_EQ(s.MinWind, 30);
  EXPECT_EQ(s.ObServers[1], DefaultSettings().ObServers[1]);
}

// A child running, or started by the scheduler while the question is open, keeps the observations.
TEST(OptionsDialog, FlushObs) {
  struct Case { std::string child; bool startsDuringQuestion; FlushOutcome outcome; };
  const Case cases[] = {{"", false, FlushOutcome::Flushed}, {"lock.zzz", false, FlushOutcome::Refused},
                        {"D12.pid", false, FlushOutcome::Refused}, {"lock.zzz", true, FlushOutcome::Refused}};
  struct ChildStarter : ScriptedDialogs {
    MemoryFileSystem* fs = nullptr;
    std::string child;
    BoxAnswer MessageBox(const std::string& t, const std::string& title, BoxStyle style) override {
      if (!child.empty()) fs->files[child] = "3";
      return ScriptedDialogs::MessageBox(t, title, style);
    }
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    fs.folders.insert("obsfolder");
    for (const char* f : {"obsfolder/KBOS.obs", "obs.wad"}) fs.files[f] = "x";
    ChildStarter dialogs;
    dialogs.fs = &fs;
    dialogs.answers = {BoxAnswer::Yes};
    if (c.startsDuringQuestion) dialogs.child = c.child;
    else if (!c.child.empty()) fs.files[c.child] = "1";
    RecordingReporter log;
    EXPECT_EQ(FlushObservations(fs, dialogs, log, Settings{}), c.outcome) << c.child;
    ASSERT_EQ(dialogs.shown.size(), c.startsDuringQuestion ? 2u : 1u);
    EXPECT_EQ(dialogs.shown[0].title, "WARNING");
    const bool flushed = c.outcome == FlushOutcome::Flushed;
    EXPECT_EQ(fs.Exists("obs.wad"), !flushed);
    EXPECT_EQ(fs.Exists("obsfolder/KBOS.obs"), !flushed);
    EXPECT_EQ(fs.Exists("norvane.ini"), flushed);
  }
}

}  // namespace
}  // namespace norvane
