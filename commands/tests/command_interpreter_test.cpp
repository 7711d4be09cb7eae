#include "commands/command_interpreter.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "commands/command_history.h"
#include "commands/output_log.h"
#include "tests/fakes/fake_process_starter.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_reporter.h"
#include "tests/fakes/scripted_dialogs.h"
#include "platform/help_viewer.h"

namespace norvane {
namespace {

struct RecordingHelp : HelpViewer {
  std::string file, keyword;
  void ShowHelp(const std::string& f, const std::string& k) override { file = f; keyword = k; }
};

struct Fixture {
  testing::RecordingReporter log;
  testing::ScriptedDialogs dialogs;
  testing::FakeProcessStarter starter;
  RecordingHelp help;
  testing::MemoryFileSystem files;
  CommandInterpreter exec{CommandContext{log, dialogs, starter, help, files}, CommandHooks{}};
  std::string Last() const { return log.all.empty() ? "" : log.all.back(); }
};

TEST(CommandInterpreter, ArgumentErrorsCarryTheSuffix) {
  struct Case { const char* line; const char* message; };
  const Case cases[] = {
      {"plot nothing", "Invalid use of the PLOT command in x at line 3;  refer to help > help or press F1 for more intformation."},
      {"AT 12 ECHO HI", "Invalid use of the AT command in x at line 3;  refer to help > help or press F1 for more intformation."},
      {"clear everything", "CLEAR EVERYTHING is not understood - please refer to Help > Help for more information in x at line 3"},
      {"RUN", "Invalid use of 'R' - need script name to run - refer to Help > Help for more information in x at line 3"},
      {"BUILDGRID A 1 2 3 4 5 6 7 8", "Invalid number of command line parameters in x at line 3"},
      {"REDRAW ADD", "Invalid number of command line parameters in x at line 3"},
      {"GRID NONE T 1 2 3", "Grid 'NONE' cannot be located in x at line 3"},
      {"frobnicate now", "'FROBNICATE' is an invalid command in x at line 3 - refer to Help > Help or press F1 for more information"},
      {"GRID temp T 256 0 0", "Invalid red color in x at line 3"},
      {"GRID temp T 0 -1 0", "Invalid green color in x at line 3"},
      {"GRID temp T 0 0 300", "Invalid blue color in x at line 3"},
      {"DRAW temp T 0 100 4 0 0 0 -1", "Invalid thickness in x at line 3"},
      {"DRAW temp T 0 100 4 0 0 0 5", "Invalid thickness in x at line 3"},
      {"DRAWDIFF temp old T 0 100 4 0 0 0 9", "Invalid thickness in x at line 3"},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.files.files["temp.nv1"] = "x";
    f.exec.Exec(c.line, " in x at line 3");
    EXPECT_EQ(f.Last(), c.message) << c.line;
  }
}

TEST(CommandInterpreter, ContourArgumentsReachTheirOwner) {
  Fixture f;
  f.files.files["temp.nv1"] = "x";
  std::ostringstream got;
  f.exec.Hooks().drawContours = [&](const std::string& n, const std::string& n2, const std::string& field, double s,
                                    double e, double i, int rgb, int t, const std::string& fmt) {
    got << n << "|" << n2 << "|" << field << "|" << s << "|" << e << "|" << i << "|" << rgb << "|" << t << "|" << fmt
        << " ";
  };
  f.exec.Exec("DRAWDIFF TEMP OLD T -10 10 2.5 1 2 3 4 0.0", "");
  f.exec.Exec("DRAW TEMP T 0 10 2 0 0 0 1", "");
  // Colour 1 + 256 * 2 + 65536 * 3.
  EXPECT_EQ(got.str(), "TEMP|OLD|T|-10|10|2.5|197121|4|0.0 TEMP||T|0|10|2|0|1|0.# ");
}

TEST(CommandInterpreter, OwnCommands) {
  Fixture f;
  f.exec.Exec("F2C 212", "");
  // Messages go in front, so the screen reads them from the last written down.
  EXPECT_EQ(f.log.shown, (std::vector<std::string>{kSeparator, " 100 Celsius.", "212 Fahrenheit = "}));
  f.exec.Exec("C2F -40", "");
  EXPECT_EQ(f.log.shown[4], "-40 Fahrenheit.");

  f.exec.Exec("MSG `hello world", "");
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(std::tie(f.dialogs.shown[0].title, f.dialogs.shown[0].text), std::tuple("Norvane v1.02", "hello WORLD "));

  f.exec.Exec("echo a  b\tc", "");
  EXPECT_EQ(f.log.logged.back(), "A B C ");
  f.exec.Exec("ECHO! shown", "");
  EXPECT_EQ(f.log.shown.back(), "SHOWN ");

  // Sixty words: only the first fifty count, and nothing reads past the list.
  std::string line = "ECHO";
  for (int i = 1; i < 60; ++i) line += " w" + std::to_string(i);
  f.exec.Exec(line, "");
  EXPECT_EQ(f.log.logged.back().find("W50"), std::string::npos);
  EXPECT_NE(f.log.logged.back().find("W49 "), std::string::npos);

  f.exec.Exec("HELP", "");
  EXPECT_EQ(std::tie(f.help.file, f.help.keyword), std::tuple("norvane.hlp", "The Command Interpreter"));

  const auto before = f.log.all.size();
  f.exec.Exec("RMK AO2 SLP123", "");
  f.exec.Exec("   ", "");
  f.exec.Exec(std::string(10000, 'x') + "\x01\x02\"unbalanced", "");
  EXPECT_EQ(f.log.all.size(), before + 2);  // only the long garbage line answers (separator + message)
}

TEST(CommandInterpreter, ShellKeepsLetterCaseAndReportsFailure) {
  Fixture f;
  f.exec.Exec("SHELL gedit Notes.txt", "");
  f.exec.Exec("shellmin xterm", "");
  ASSERT_EQ(f.starter.started.size(), 2u);
  EXPECT_EQ(f.starter.started[0].mode, WindowMode::NormalWithFocus);
  EXPECT_EQ(std::tie(f.starter.started[1].commandLine, f.starter.started[1].mode),
            std::tuple("xterm", WindowMode::MinimisedNoFocus));
  f.starter.succeed = false;
  f.exec.Exec("SHELL nosuchprogram", " in s at line 1");
  EXPECT_EQ(f.Last(), "Problem executing a 'shell' command in s at line 1");
}

TEST(CommandInterpreter, HandsOverToOwners) {
  Fixture f;
  std::vector<std::string> calls;
  auto& h = f.exec.Hooks();
  h.plot = [&](const std::string& l, const std::string& o) { calls.push_back("plot " + l + " " + o); return true; };
  h.savePicture = [&](const std::string& n, const std::string& q) { calls.push_back("pic " + n + " " + q); };
  h.kill = [&](const std::string& w) { calls.push_back("kill " + w); };
  h.listQueue = [&] { calls.push_back("queue"); };
  h.runScript = [&](const std::string& s, const CommandWords& w, const std::string&) { calls.push_back("run " + s + " " + w[2]); };
  h.forceRedraw = [&] { calls.push_back("redraw"); };
  h.atHolds = [&](const std::string& when) { return when == "XX10"; };
  for (const char* line : {"plot temperature on", "PLOT TEMPERATURE", "SAVEPIC", "SAVEPIC MAP 150", "SAVEPIC `map 85.7",
                           "KILL 12", "R test ARG", "RUN other.nvs", "AT XX10 PLOT WIND", "AT XX11 PLOT RH",
                           "REDRAW ADDQUIET PLOT RH", "REDRAW"}) {
    f.exec.Exec(line, "");
  }
  const std::vector<std::string> expected = {
      "plot TEMPERATURE ON", "plot TEMPERATURE ", "pic out 70", "pic map 70", "pic map 85", "kill 12",
      "run TEST.NVS ARG", "run OTHER.NVS ", "plot WIND ", "redraw"};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(f.files.files["scripts/redraw.nvs"], "\"PLOT RH \"\r\n");
  EXPECT_EQ(f.log.logged.back(), "'PLOT RH ' added to 'redraw.nvs'");
  // A keyword whose owner is not wired answers plainly.
  f.exec.Exec("GETOBS", "");
  EXPECT_EQ(f.Last(), "'GETOBS' is not available in this version yet");
}

TEST(OutputLog, NewestFirstAndCutAt20000) {
  OutputLog log;
  std::string box;
  log.onRefresh = [&](const std::string& t) { box = t; };
  log.ShowMessage("one");
  log.ShowMessage("two");
  EXPECT_EQ(box, "* two\r\n* one\r\n");
  log.watchProcess = false;
  log.LogProcessMessage("quiet");
  EXPECT_EQ(box, "* two\r\n* one\r\n");
  EXPECT_EQ(log.Text(), "* quiet\r\n* two\r\n* one\r\n");
  for (int i = 0; i < 3000; ++i) log.ShowMessage("message " + std::to_string(i));
  EXPECT_EQ(log.Text().size(), OutputLog::kLimit);
  EXPECT_EQ(log.Text().substr(0, 16), "* message 2999\r\n");
}

TEST(CommandHistory, FiftyLinesAndCursorLimits) {
  CommandHistory h;
  for (int i = 1; i <= 60; ++i) h.Store("line " + std::to_string(i));
  bool limit = false;
  EXPECT_EQ(h.Older(limit), "line 60");
  EXPECT_FALSE(limit);
  for (int i = 0; i < 49; ++i) h.Older(limit);
  EXPECT_EQ(h.Entry(50), "line 11");
  EXPECT_EQ(h.Older(limit), "line 11");
  EXPECT_TRUE(limit);
  h.ResetCursor();
  EXPECT_EQ(h.Newer(limit), "");
  EXPECT_TRUE(limit);
  EXPECT_EQ(CleanCommandLine("  echo\r\nhi  "), "echo  hi");
}

}  // namespace
}  // namespace norvane
