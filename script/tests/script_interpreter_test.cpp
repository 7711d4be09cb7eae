#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "script/at_command.h"
#include "script/script_constants.h"
#include "script/script_interpreter.h"
#include "script/tests/recording_host.h"

namespace norvane::testing {
namespace {

using Texts = std::vector<std::string>;

std::string Ended(const std::string& text, int line, const std::string& name = "T.nvs") {
  return "!!! " + text + " at line " + std::to_string(line) + " in the script '" + name + "' - must end script !!!";
}

// Script text in, ECHO texts out: substitution, number texts, arithmetic, conditions, jumps.
TEST(RunScript, StatementsProduceTheseEchoes) {
  const std::pair<const char*, Texts> cases[] = {
      {"SET &X -1\nDIV &X [X] 4\nMUL &X [X] 3\nECHO [X]", {"-.75"}},
      {"PWR &X 10 15\nECHO [X]", {"1E+15"}},           {"SUB &X 0 999999999999999\nECHO [X]", {"-999999999999999"}},
      {"MUL &X 0 -1\nECHO [X]", {"0"}},
      {"MOD &M -7 3\nMOD &N 2.5 2\nMOD &O 3.5 2\nECHO [M] [N] [O]", {"-1 0 0"}},
      {"INT &A -2.5\nFIX &B -2.5\nECHO [A] [B]", {"-3 -2"}},
      {"SGN &A -4\nSGN &B 0\nABS &C -4\nSQR &D 16\nECHO [A] [B] [C] [D]", {"-1 0 4 4"}},
      {"LOG &A 1000\nLN &B 1\nEXP &C 0\nECHO [A] [B] [C]", {"3 0 1"}},
      {"ADD &A 1\nSUB &B 5 7\nECHO [A] [B]", {"1 -2"}}, {"SET &A 12ABC\nECHO [A]", {"12"}},
      {"IF> 3 2\nECHO A\nECHO B\nECHO C", {"A", "C"}}, {"IF< 3 2\nECHO A\nECHO B\nECHO C", {"B", "C"}},
      {"IFR 10 11 1\nECHO NEAR\nECHO FAR", {"NEAR"}},  {"IF<> 1 1\nECHO A\nECHO B", {"B"}},
      {"IF<= 1 1\nECHO A\nECHO B\nIF>= 0 1\nECHO C\nECHO D", {"A", "D"}},
      {"ECHO [[X]] {{Y}} <<Z> ~~", {"[X]] {Y}} <Z> ~"}},
      {"SET &I 0\nLBL LOOP\nADD &I [I] 1\nIF< [I] 3\nJMP LOOP\nNIL\nECHO [I]", {"3"}},
      {"JMP ON\nECHO SKIPPED\nLBL ON\nECHO AFTER", {"AFTER"}},
      {"IF= 1 2\nNIL\nJMP X\nECHO NO\nLBL X\nECHO YES", {"YES"}},
      {"ECHO A\nEND\nECHO B", {"A"}},                  {"RMK ECHO NO\n\nNIL\nECHO YES", {"YES"}},
      {"SET &X 1\nKILLVAR &X\nSET &Y 2\nECHO [Y]", {"2"}}, {"ECHO <PI>", {"3.1415926535898"}},
      {"ECHO DRAW T1 T 0 5 100 <RED> 2", {"DRAW T1 T 0 5 100 255 0 0 2"}},
  };
  for (const auto& [script, echoes] : cases) {
    ScriptBench b;
    b.Write("T.nvs", script);
    EXPECT_EQ(b.Run("T").echoes, echoes) << script;
  }
}

TEST(RunScript, EveryErrorEndsTheRunWithItsText) {
  const std::string variable = "Improper variable format", undefined = "Command line variable '' is not defined";
  const std::string embedded = "Embedded if statements are not allowed - error", error = "Error";
  auto sets = [](const char* prefix) {  // one variable more than a table holds
    std::string text;
    for (int i = 0; i <= 501; ++i) text += prefix + std::to_string(i) + " 1\n";
    return text;
  };
  struct Case { std::string script; std::string text; int line; };
  const Case cases[] = {
      {sets("SET &V"), "Variable stack is full", 502}, {sets("SET *V"), "Global variable stack is full", 502},
      {"ECHO [X", variable, 1},    {"SET & 1", variable, 1},      {"ECHO ~0", undefined, 1},
      {"ADD", "Improper ADD format", 1},
      {"SET X 1", "Improper SET format", 1},                      {"ECHO  <PI", "Improper constant format", 1},
      {"ECHO {X", "Improper global variable format", 1},          {"ECHO [NOPE]", "Variable 'NOPE' is not defined", 1},
      {"NIL\nECHO {NOPE}", "Global Variable 'NOPE' is not defined", 2},
      {"ECHO <ORANGE>", "Constant 'ORANGE' is not defined", 1},   {"KILLVAR X", "Invalid use of the KILL command", 1},
      {"IF= 1 1\nIF= 2 2", embedded, 2},                          {"IF= 1 2\nNIL\nIF= 2 2", embedded, 3},
      {"JMP LOOP\nLBL  LOOP", "Label 'LOOP' is not defined - error", 1},
      {"DIV &X 1 0", error, 1},    {"LN &X 0", error, 1},      {"LOG &X -1", error, 1},  {"SQR &X -1", error, 1},
      {"PWR &X 10 400", error, 1}, {"EXP &X 1000", error, 1}, {"MOD &X 5 0", error, 1}, {"MOD &X 1E12 3", error, 1},
  };
  for (const Case& c : cases) {
    ScriptBench b;
    b.Write("T.nvs", c.script + "\nECHO AFTER");
    RecordingHost& h = b.Run("T");
    EXPECT_TRUE(h.HasMessage(Ended(c.text, c.line))) << c.script.substr(0, 40) << "\n got: " << h.messages.back();
    EXPECT_TRUE(h.echoes.empty()) << c.script.substr(0, 40);
  }
}

TEST(RunScript, ArgumentsNamesSuffixesAndGlobals) {
  ScriptBench b;
  b.Write("test.nvs", "ADD &A ~1 10\nECHO [A] ~2 X~9Y\nPLOT   temperature   on");
  b.Write("OUTER.nvs", "R TEST 5 `HI");
  RecordingHost& h = b.Run("OUTER.NVS");
  EXPECT_EQ(h.echoes, Texts{"15 `HI XY"});
  ASSERT_EQ(h.execs.size(), 3u);
  EXPECT_EQ(h.execs[0].suffix, " in OUTER.NVS at line 1");
  EXPECT_EQ(h.execs[1].suffix, " in TEST.nvs at line 2");
  EXPECT_EQ(h.execs[2].line, "PLOT TEMPERATURE ON ");
  EXPECT_EQ(h.messages.back(), "The script 'OUTER.NVS' is complete");

  b.Run("NOSUCH");
  EXPECT_EQ(h.messages.back(), "The script 'NOSUCH.nvs' cannot be found");
  EXPECT_TRUE(b.files.folders.count("scripts"));

  // Globals outlive a run, locals do not.
  b.Write("A.nvs", "SET *TOTAL 5\nSET &TOTAL 7");
  b.Write("B.nvs", "ECHO {TOTAL}\nECHO [TOTAL]");
  b.Run("A");
  h.echoes.clear();
  EXPECT_EQ(b.Run("B").echoes, Texts{"5"});
  EXPECT_TRUE(h.HasMessage(Ended("Variable 'TOTAL' is not defined", 2, "B.nvs")));
}

TEST(RunScript, FileFieldsBecomeLines) {
  const std::pair<const char*, Texts> cases[] = {
      {"draw x, y\r\n  echo  a  \n", {"DRAW X ", "Y ", "ECHO  A "}},
      {"\"echo a, b\",nil\n", {"ECHO A, B ", "NIL "}},
      {"\"echo a\" junk, b", {"ECHO A ", "B "}},
      {"\"unclosed, quote\nnext", {"UNCLOSED, QUOTE ", "NEXT "}},
      {"a\n\nb", {"A ", " ", "B "}},
      {"", {}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(ReadScriptLines(text), lines) << text;

  std::string big;
  for (int i = 1; i <= 6000; ++i) big += "ECHO " + std::to_string(i) + "\n";
  ScriptBench b;
  b.Write("BIG.nvs", big);
  RecordingHost& h = b.Run("BIG");
  ASSERT_EQ(h.echoes.size(), 5000u);
  EXPECT_EQ(h.echoes.back(), "5000");
}

TEST(RunScript, BadInputEndsCleanly) {
  std::string garbage, manyWords = "ECHO";
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 131 + 7) % 256));
  for (int i = 1; i <= 150; ++i) manyWords += " W" + std::to_string(i);
  ScriptBench b;
  b.Write("EMPTY.nvs", "");
  b.Write("GARBAGE.nvs", garbage);
  b.Write("WORDS.nvs", manyWords);
  b.Write("LONG.nvs", "ECHO " + std::string(100000, 'A') + "\nECHO [" + std::string(100000, 'B'));
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
  EXPECT_EQ(b.host.messages.back(), Ended("Improper variable format", 2, "LONG.nvs"));
}

TEST(RunScript, RunawayAndSelfRunningScriptsAreStopped) {
  ScriptBench b;
  b.host.stopAfterEventCalls = 50;
  b.Write("LOOP2.nvs", "SET &N 0\nLBL A\nADD &N [N] 1\nJMP A");
  b.Write("OUTER2.nvs", "R LOOP2\nECHO NEVER");
  b.Run("OUTER2");
  EXPECT_EQ(b.host.eventCalls, 50);
  EXPECT_TRUE(b.host.echoes.empty());
  EXPECT_TRUE(b.host.HasMessage(Ended("The script was stopped by the user", 4, "LOOP2.nvs")));
  EXPECT_TRUE(b.host.HasMessage(Ended("The script was stopped by the user", 1, "OUTER2.nvs")));
  // The request is spent: the next run goes through, up to the nesting limit.
  b.Write("SELF.nvs", "ECHO IN\nR SELF");
  b.Run("SELF");
  EXPECT_EQ(b.host.echoes.size(), static_cast<std::size_t>(ScriptRunner::kMaxNesting));
  EXPECT_TRUE(b.host.HasMessage(
      "!!! Scripts may nest at most 20 deep - not started in the script 'SELF.nvs' - must end script !!!"));
  EXPECT_EQ(b.runner.Depth(), 0);
}

TEST(LookupConstant, ColoursTimesAndConstants) {
  FakeClock clock;
  clock.utc = CivilTime{2001, 2, 3, 9, 5, 7};
  FakeRandom random;
  random.values = {0.25};
  const std::pair<const char*, const char*> cases[] = {
      {"RED", "255 0 0"},       {"RED8", "255 0 0"},      {"RED7", "224 0 0"},      {"REDA", "255 64 64"},
      {"GREEN2", "0 64 0"},     {"YELLOW5", "160 160 0"}, {"CYANB", "128 255 255"}, {"MAGENTAC", "255 192 255"},
      {"BLUE1", "0 0 32"},      {"GRAY6", "192 192 192"}, {"BLACK", "0 0 0"},       {"TIME", "0905"},
      {"HOUR", "09"},
      {"MINUTE", "05"},         {"SECOND", "07"},         {"DAY", "03"},            {"MONTH", "02"},
      {"YEAR", "2001"},         {"YEAR2", "01"},          {"E", "2.718281828459"},  {"C", "299792458"},
      {"G", "9.80665"},         {"R", "287"},             {"RANDOM", ".25"},        {"ORANGE", "missing"},
      {"GRAYA", "missing"},     {"red", "missing"},       {"RED9", "missing"},      {"GRAY", "missing"},
      {"REDAA", "missing"},     {"", "missing"},
  };
  for (const auto& [name, text] : cases) EXPECT_EQ(LookupConstant(name, clock, random), text) << name;
}

TEST(AtCommand, TimeWords) {
  // 1440 is 1999-01-01 00:00; add 12:30.
  const std::int32_t at1230 = 1440 + 12 * 60 + 30;
  const std::tuple<const char*, std::int32_t, bool> cases[] = {
      {"XX30", at1230, true},     {"XX05", at1230, false},     {"XX00", 1440, true},       {"@015", at1230, true},
      {"@015", at1230 + 1, false}, {"@001", at1230 + 7, true}, {"@000", at1230, false},    {"@ABC", at1230, false},
      {"@-05", at1230, false},    {"1230", at1230, true},      {"1230", at1230 + 1, false}, {"0000", 1440 * 5, true},
      {"ABCD", at1230, false},
  };
  for (const auto& [when, minutes, holds] : cases)
    EXPECT_EQ(AtConditionHolds(when, minutes), holds) << when << " " << minutes;
}

TEST(ScriptDialogHelpers, Commands) {
  EXPECT_EQ(ScriptRunCommand("a.nvs", ""), "r a.nvs");
  EXPECT_EQ(ScriptRedrawCommand("a.nvs", "5 6"), "redraw add r a.nvs 5 6");
}

// The scripts a new working folder gets must run without a script error.
TEST(ShippedScripts, RunAsTheirCommentsSay) {
  ScriptBench b;
  for (const char* name : {"startup.nvs", "example_loop.nvs", "example_condition.nvs", "example_globals_set.nvs",
                           "example_globals_show.nvs", "example_constants.nvs"}) {
    std::ifstream in(std::string(NORVANE_SOURCE_DIR) + "/data/scripts/" + name, std::ios::binary);
    ASSERT_TRUE(in) << name;
    b.Write(name, (std::ostringstream() << in.rdbuf()).str());
  }
  // The ECHO texts of the runs in turn, each with its first argument.
  auto echoes = [&](const std::vector<std::pair<const char*, const char*>>& runs) {
    b.host.echoes.clear();
    for (const auto& [name, argument] : runs) b.Run(name, {argument});
    return b.host.echoes;
  };
  b.clock.utc = CivilTime{2026, 12, 7, 6, 5, 0};
  EXPECT_EQ(echoes({{"STARTUP", ""}}), (Texts{"NORVANE IS READY - THE TIME IS 0605 UTC ON 2026-12-07",
                                                "TRY R EXAMPLE_LOOP OR R EXAMPLE_CONDITION 7 OR R EXAMPLE_CONSTANTS"}));
  EXPECT_EQ(b.host.execs.back().line, "REDRAW ");
  EXPECT_EQ(echoes({{"EXAMPLE_LOOP", ""}}),
            (Texts{"COUNT 1", "COUNT 2", "COUNT 3", "COUNT 4", "COUNT 5", "THE LOOP IS DONE"}));
  EXPECT_EQ(echoes({{"EXAMPLE_CONDITION", "7"}, {"EXAMPLE_CONDITION", "4"}}),
            (Texts{"7 IS MORE THAN 5", "7 IS ODD", "4 IS 5 OR LESS", "4 IS EVEN"}));
  const char* show = "EXAMPLE_GLOBALS_SHOW";
  EXPECT_EQ(echoes({{"EXAMPLE_GLOBALS_SET", ""}, {show, ""}, {show, ""}, {show, ""}}),
            (Texts{"THE VISIT COUNTER IS RESET", "VISIT 1 OF 3", "VISIT 2 OF 3", "VISIT 3 OF 3", "THE LIMIT IS REACHED"}));
  const Texts constants = echoes({{"EXAMPLE_CONSTANTS", ""}});
  ASSERT_EQ(constants.size(), 6u);
  EXPECT_EQ(constants[2], "RED IS 255 0 0 - LIGHT RED IS 255 128 128 - DARK RED IS 128 0 0");
  for (const std::string& m : b.host.messages) EXPECT_EQ(m.find("!!!"), std::string::npos) << m;
}

}  // namespace
}  // namespace norvane::testing
