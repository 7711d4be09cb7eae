#include <gtest/gtest.h>

#include <cstdio>

#include <string>
#include <vector>

#include "script/at_command.h"
#include "script/script_constants.h"
#include "script/script_interpreter.h"
#include "script/tests/recording_host.h"

namespace norvane::testing {
namespace {

std::string Ended(const std::string& text, int line, const std::string& name = "T.nvs") {
  return text + std::to_string(line) + " in the script '" + name + "' - must end script !!!";
}

// Script text in, ECHO texts out: substitution, number texts, arithmetic, conditions, jumps.
TEST(RunScript, StatementsProduceTheseEchoes) {
  struct Case {
    const char* script;
    std::vector<std::string> echoes;
  };
  const std::vector<Case> cases = {
      {"SET &X 2\nMUL &X [X] 3\nECHO [X]", {"6"}},
      {"SET &X 1\nDIV &X [X] 2\nECHO [X]", {".5"}},
      {"SET &X -1\nDIV &X [X] 4\nECHO [X]", {"-.25"}},
      {"PWR &X 10 20\nECHO [X]", {"1E+20"}},
      {"PWR &X 10 15\nECHO [X]", {"1E+15"}},
      {"SUB &X 0 999999999999999\nECHO [X]", {"-999999999999999"}},
      {"MUL &X 0 -1\nECHO [X]", {"0"}},
      {"DIV &X 1 3\nECHO [X]", {".333333333333333"}},
      {"MOD &M -7 3\nECHO [M]", {"-1"}},
      {"MOD &M 2.5 2\nECHO [M]", {"0"}},
      {"MOD &M 3.5 2\nECHO [M]", {"0"}},
      {"INT &A -2.5\nFIX &B -2.5\nECHO [A] [B]", {"-3 -2"}},
      {"SGN &A -4\nSGN &B 0\nABS &C -4\nSQR &D 16\nECHO [A] [B] [C] [D]", {"-1 0 4 4"}},
      {"LOG &A 1000\nLN &B 1\nEXP &C 0\nECHO [A] [B] [C]", {"3 0 1"}},
      {"ADD &A 1\nSUB &B 5 7\nECHO [A] [B]", {"1 -2"}},
      {"SET &A 12ABC\nECHO [A]", {"12"}},
      {"IF> 3 2\nECHO A\nECHO B\nECHO C", {"A", "C"}},
      {"IF< 3 2\nECHO A\nECHO B\nECHO C", {"B", "C"}},
      {"IFR 10 11 1\nECHO NEAR\nECHO FAR", {"NEAR"}},
      {"IF<> 1 1\nECHO A\nECHO B", {"B"}},
      {"IF<= 1 1\nECHO A\nECHO B", {"A"}},
      {"IF>= 0 1\nECHO A\nECHO B", {"B"}},
      {"ECHO [[X]] {{Y}} <<Z> ~~", {"[X]] {Y}} <Z> ~"}},
      {"SET &I 0\nLBL LOOP\nADD &I [I] 1\nIF< [I] 3\nJMP LOOP\nNIL\nECHO [I]", {"3"}},
      {"JMP ON\nECHO SKIPPED\nLBL ON\nECHO AFTER", {"AFTER"}},
      {"IF= 1 2\nNIL\nJMP X\nECHO NO\nLBL X\nECHO YES", {"YES"}},
      {"ECHO A\nEND\nECHO B", {"A"}},
      {"RMK ECHO NO\n\nNIL\nECHO YES", {"YES"}},
      {"SET &X 1\nKILLVAR &X\nSET &Y 2\nECHO [Y]", {"2"}},
      {"SET *G 4\nECHO {G}", {"4"}},
      {"ECHO DRAW T1 T 0 5 100 <RED> 2", {"DRAW T1 T 0 5 100 255 0 0 2"}},
      {"ECHO <PI>", {"3.1415926535898"}},
  };
  for (const Case& c : cases) {
    ScriptBench b;
    b.Write("T.nvs", c.script);
    EXPECT_EQ(b.Run("T").echoes, c.echoes) << c.script;
  }
}

TEST(RunScript, EveryErrorEndsTheRunWithItsText) {
  struct Case {
    const char* script;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"ECHO [X", Ended("!!! Improper variable format at line ", 1)},
      {"ECHO []", Ended("!!! Improper variable format at line ", 1)},
      {"ECHO {X", Ended("!!! Improper global variable format at line ", 1)},
      {"ECHO  <PI", Ended("!!! Improper constant format at line ", 1)},
      {"ECHO [NOPE]", Ended("!!! Variable 'NOPE' is not defined at line ", 1)},
      {"NIL\nECHO {NOPE}", Ended("!!! Global Variable 'NOPE' is not defined at line ", 2)},
      {"ECHO <ORANGE>", Ended("!!! Constant 'ORANGE' is not defined at line ", 1)},
      {"ECHO ~0", Ended("!!! Command line variable '' is not defined at line ", 1)},
      {"ECHO ~", Ended("!!! Command line variable '' is not defined at line ", 1)},
      {"SET X 1", Ended("!!! Improper SET format at line ", 1)},
      {"ADD", Ended("!!! Improper ADD format at line ", 1)},
      {"KILLVAR X", Ended("!!! Invalid use of the KILL command at line ", 1)},
      {"SET & 1", Ended("!!! Improper variable format at line ", 1)},
      {"IF= 1 1\nIF= 2 2", Ended("!!! Embedded if statements are not allowed - error at line ", 2)},
      {"IF= 1 2\nNIL\nIF= 2 2", Ended("!!! Embedded if statements are not allowed - error at line ", 3)},
      {"JMP LOOP\nLBL  LOOP", Ended("!!! Label 'LOOP' is not defined - error at line ", 1)},
      {"JMP", Ended("!!! Label '' is not defined - error at line ", 1)},
      {"DIV &X 1 0", Ended("!!! Error at line ", 1)},
      {"LN &X 0", Ended("!!! Error at line ", 1)},
      {"LOG &X -1", Ended("!!! Error at line ", 1)},
      {"SQR &X -1", Ended("!!! Error at line ", 1)},
      {"PWR &X 10 400", Ended("!!! Error at line ", 1)},
      {"EXP &X 1000", Ended("!!! Error at line ", 1)},
      {"MOD &X 5 0", Ended("!!! Error at line ", 1)},
      {"MOD &X 1E12 3", Ended("!!! Error at line ", 1)},
  };
  for (const Case& c : cases) {
    ScriptBench b;
    b.Write("T.nvs", std::string(c.script) + "\nECHO AFTER");
    RecordingHost& h = b.Run("T");
    EXPECT_TRUE(h.HasMessage(c.message)) << c.script << "\n got: " << (h.messages.empty() ? "" : h.messages.back());
    EXPECT_TRUE(h.echoes.empty()) << c.script;
    EXPECT_FALSE(h.HasMessage("The script 'T.nvs' is complete")) << c.script;
  }
}

TEST(RunScript, TablesFullReportTheirStack) {
  std::string locals, globals;
  for (int i = 0; i <= 501; ++i) {
    locals += "SET &V" + std::to_string(i) + " 1\n";
    globals += "SET *V" + std::to_string(i) + " 1\n";
  }
  ScriptBench b;
  b.Write("L.nvs", locals);
  b.Write("G.nvs", globals);
  EXPECT_TRUE(b.Run("L").HasMessage(Ended("!!! Variable stack is full at line ", 502, "L.nvs")));
  EXPECT_TRUE(b.Run("G").HasMessage(Ended("!!! Global variable stack is full at line ", 502, "G.nvs")));
}

TEST(RunScript, GlobalsOutliveARunLocalsDoNot) {
  ScriptBench b;
  b.Write("A.nvs", "SET *TOTAL 5\nSET &TOTAL 7");
  b.Write("B.nvs", "ECHO {TOTAL}\nECHO [TOTAL]");
  b.Run("A");
  RecordingHost& h = b.Run("B");
  EXPECT_EQ(h.echoes, std::vector<std::string>{"5"});
  EXPECT_TRUE(h.HasMessage(Ended("!!! Variable 'TOTAL' is not defined at line ", 2, "B.nvs")));
}

TEST(RunScript, ArgumentsNamesAndSuffixes) {
  ScriptBench b;
  b.Write("test.nvs", "ADD &A ~1 10\nECHO [A] ~2 X~9Y\nPLOT   temperature   on");
  b.Write("OUTER.nvs", "R TEST 5 `HI");
  RecordingHost& h = b.Run("OUTER.NVS");
  EXPECT_EQ(h.echoes, std::vector<std::string>{"15 `HI XY"});
  ASSERT_EQ(h.execs.size(), 3u);
  EXPECT_EQ(h.execs[0].suffix, " in OUTER.NVS at line 1");
  EXPECT_EQ(h.execs[1].suffix, " in TEST.nvs at line 2");
  EXPECT_EQ(h.execs[2].line, "PLOT TEMPERATURE ON ");
  EXPECT_EQ(h.messages.front(), "The script 'OUTER.NVS' has started");
  EXPECT_EQ(h.messages.back(), "The script 'OUTER.NVS' is complete");

  b.Run("NOSUCH");
  EXPECT_EQ(h.messages.back(), "The script 'NOSUCH.nvs' cannot be found");
  EXPECT_TRUE(b.files.folders.count("scripts"));
}

TEST(RunScript, FileFieldsBecomeLines) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"draw x, y\r\n  echo  a  \n", {"DRAW X ", "Y ", "ECHO  A "}},
      {"\"echo a, b\",nil\n", {"ECHO A, B ", "NIL "}},
      {"\"echo a\" junk, b", {"ECHO A ", "B "}},
      {"\"unclosed, quote\nnext", {"UNCLOSED, QUOTE ", "NEXT "}},
      {"a\n\nb", {"A ", " ", "B "}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadScriptLines(c.text), c.lines) << c.text;

  std::string big;
  for (int i = 1; i <= 6000; ++i) big += "ECHO " + std::to_string(i) + "\n";
  ScriptBench b;
  b.Write("BIG.nvs", big);
  RecordingHost& h = b.Run("BIG");
  ASSERT_EQ(h.echoes.size(), 5000u);
  EXPECT_EQ(h.echoes.back(), "5000");
}

TEST(RunScript, BadInputEndsCleanly) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 131 + 7) % 256));
  std::string manyWords = "ECHO";
  for (int i = 1; i <= 150; ++i) manyWords += " W" + std::to_string(i);
  const std::string longLine = "ECHO " + std::string(100000, 'A');

  ScriptBench b;
  b.Write("EMPTY.nvs", "");
  b.Write("GARBAGE.nvs", garbage);
  b.Write("WORDS.nvs", manyWords);
  b.Write("LONG.nvs", longLine + "\nECHO [" + std::string(100000, 'B'));
  EXPECT_EQ(b.Run("EMPTY").messages.back(), "The script 'EMPTY.nvs' is complete");
  b.Run("GARBAGE");  // must simply end, with whatever message
  b.host.execs.clear();
  b.Run("WORDS");
  ASSERT_EQ(b.host.execs.size(), 1u);
  EXPECT_EQ(b.host.execs[0].line.rfind("W50 "), b.host.execs[0].line.size() - 4);  // words 0 to 50 only
  b.host.echoes.clear();
  b.Run("LONG");
  ASSERT_EQ(b.host.echoes.size(), 1u);
  EXPECT_EQ(b.host.echoes[0].size(), 100000u);
  EXPECT_EQ(b.host.messages.back(), Ended("!!! Improper variable format at line ", 2, "LONG.nvs"));
}

TEST(RunScript, RunawayScriptIsStoppedAndEventsRun) {
  ScriptBench b;
  b.host.stopAfterEventCalls = 50;
  b.Write("LOOP2.nvs", "SET &N 0\nLBL A\nADD &N [N] 1\nJMP A");
  b.Write("OUTER2.nvs", "R LOOP2\nECHO NEVER");
  b.Run("OUTER2");
  EXPECT_EQ(b.host.eventCalls, 50);
  EXPECT_TRUE(b.host.echoes.empty());
  EXPECT_TRUE(b.host.HasMessage(Ended("!!! The script was stopped by the user at line ", 4, "LOOP2.nvs")));
  EXPECT_TRUE(b.host.HasMessage(Ended("!!! The script was stopped by the user at line ", 1, "OUTER2.nvs")));
  // The request is spent: the next run goes through.
  b.Write("OK.nvs", "ECHO FINE");
  EXPECT_EQ(b.Run("OK").echoes, std::vector<std::string>{"FINE"});
}

TEST(RunScript, SelfRunningScriptStopsAtTheNestingLimit) {
  ScriptBench b;
  b.Write("SELF.nvs", "ECHO IN\nR SELF");
  b.Run("SELF");
  EXPECT_EQ(b.host.echoes.size(), static_cast<std::size_t>(ScriptRunner::kMaxNesting));
  EXPECT_TRUE(b.host.HasMessage("!!! Scripts may nest at most 20 deep - not started in the script 'SELF.nvs' - must end script !!!"));
  EXPECT_EQ(b.runner.Depth(), 0);
}

TEST(LookupConstant, ColoursTimesAndConstants) {
  FakeClock clock;
  clock.utc = CivilTime{2001, 2, 3, 9, 5, 7};
  FakeRandom random;
  random.values = {0.25};
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"RED", "255 0 0"},       {"RED8", "255 0 0"},      {"RED7", "224 0 0"},       {"REDA", "255 64 64"},
      {"GREEN2", "0 64 0"},     {"YELLOW5", "160 160 0"}, {"CYANB", "128 255 255"},  {"MAGENTAC", "255 192 255"},
      {"BLUE1", "0 0 32"},      {"MAGENTA", "255 0 255"}, {"GRAY6", "192 192 192"},  {"GRAY8", "255 255 255"},
      {"WHITE", "255 255 255"}, {"BLACK", "0 0 0"},       {"TIME", "0905"},          {"HOUR", "09"},
      {"MINUTE", "05"},         {"SECOND", "07"},         {"DAY", "03"},             {"MONTH", "02"},
      {"YEAR", "2001"},         {"YEAR2", "01"},          {"PI", "3.1415926535898"}, {"E", "2.718281828459"},
      {"C", "299792458"},       {"G", "9.80665"},         {"R", "287"},              {"RANDOM", ".25"},
      {"ORANGE", "missing"},    {"GRAYA", "missing"},     {"red", "missing"},        {"RED9", "missing"},
      {"GRAY", "missing"},      {"REDAA", "missing"},     {"", "missing"},
  };
  for (const auto& [name, text] : cases) EXPECT_EQ(LookupConstant(name, clock, random), text) << name;
  clock.utc = CivilTime{2001, 2, 3, 0, 0, 0};
  EXPECT_EQ(LookupConstant("TIME", clock, random), "0000");
}

TEST(AtCommand, TimeWords) {
  // 1440 is 1999-01-01 00:00; add 12:30.
  const std::int32_t at1230 = 1440 + 12 * 60 + 30;
  const std::vector<std::tuple<const char*, std::int32_t, bool>> cases = {
      {"XX30", at1230, true},  {"XX05", at1230, false}, {"XX00", 1440, true},
      {"@015", at1230, true},  {"@015", at1230 + 1, false}, {"@001", at1230 + 7, true},
      {"@000", at1230, false}, {"@ABC", at1230, false}, {"@-05", at1230, false},
      {"1230", at1230, true},  {"1230", at1230 + 1, false}, {"0000", 1440 * 5, true},
      {"ABCD", at1230, false},
  };
  for (const auto& [when, minutes, holds] : cases) EXPECT_EQ(AtConditionHolds(when, minutes), holds) << when << " " << minutes;
}

TEST(ScriptDialogHelpers, ListAndCommands) {
  MemoryFileSystem fs;
  fs.files["scripts/a.nvs"] = "";
  fs.files["scripts/b.txt"] = "";
  fs.files["other.nvs"] = "";
  EXPECT_EQ(ListScripts(fs), (std::vector<std::string>{"a.nvs", "b.txt"}));
  EXPECT_EQ(ScriptRunCommand("a.nvs", ""), "r a.nvs");
  EXPECT_EQ(ScriptRedrawCommand("a.nvs", "5 6"), "redraw add r a.nvs 5 6");
}

}  // namespace
}  // namespace norvane::testing

namespace norvane::testing {
namespace {

// The scripts a new working folder gets must run without a script error.
TEST(ShippedScripts, RunAsTheirCommentsSay) {
  ScriptBench b;
  for (const char* name : {"startup.nvs", "example_loop.nvs", "example_condition.nvs", "example_globals_set.nvs",
                           "example_globals_show.nvs", "example_constants.nvs"}) {
    const std::string path = std::string(NORVANE_SOURCE_DIR) + "/data/scripts/" + name;
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr) << path;
    std::string text;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
    std::fclose(f);
    b.Write(name, text);
  }
  b.clock.utc = CivilTime{2026, 12, 7, 6, 5, 0};
  b.Run("STARTUP");
  ASSERT_EQ(b.host.echoes.size(), 2u);
  EXPECT_EQ(b.host.echoes[0], "NORVANE IS READY - THE TIME IS 0605 UTC ON 2026-12-07");
  EXPECT_EQ(b.host.execs.back().line, "REDRAW ");
  b.host.echoes.clear();
  b.Run("EXAMPLE_LOOP");
  EXPECT_EQ(b.host.echoes, (std::vector<std::string>{"COUNT 1", "COUNT 2", "COUNT 3", "COUNT 4", "COUNT 5",
                                                      "THE LOOP IS DONE"}));
  b.host.echoes.clear();
  b.Run("EXAMPLE_CONDITION", {"7"});
  b.Run("EXAMPLE_CONDITION", {"4"});
  EXPECT_EQ(b.host.echoes, (std::vector<std::string>{"7 IS MORE THAN 5", "7 IS ODD", "4 IS 5 OR LESS", "4 IS EVEN"}));
  b.host.echoes.clear();
  b.Run("EXAMPLE_GLOBALS_SET");
  for (int i = 0; i < 3; ++i) b.Run("EXAMPLE_GLOBALS_SHOW");
  EXPECT_EQ(b.host.echoes, (std::vector<std::string>{"THE VISIT COUNTER IS RESET", "VISIT 1 OF 3", "VISIT 2 OF 3",
                                                      "VISIT 3 OF 3", "THE LIMIT IS REACHED"}));
  b.host.echoes.clear();
  b.Run("EXAMPLE_CONSTANTS");
  ASSERT_EQ(b.host.echoes.size(), 6u);
  EXPECT_EQ(b.host.echoes[2], "RED IS 255 0 0 - LIGHT RED IS 255 128 128 - DARK RED IS 128 0 0");
  for (const std::string& m : b.host.messages) EXPECT_EQ(m.find("!!!"), std::string::npos) << m;
}

}  // namespace
}  // namespace norvane::testing
