#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/print_chart.h"
#include "commands/print_dialog.h"
#include "obs/observation_store.h"
#include "obs/station_tables.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_printer.h"
#include "tests/fakes/scripted_dialogs.h"

namespace norvane {
namespace {

using testing::MemoryFileSystem;
using testing::RecordingPrinter;
using testing::ScriptedDialogs;

TEST(PrintDialog, CopiesAndPrinterChecks) {
  // `message` is empty when the copies are printed.
  struct Case { std::string copies; std::vector<BoxAnswer> answers; std::string message; int copiesPrinted; };
  const std::vector<Case> cases = {
      {"2.7", {}, "", 2},
      {"0", {}, "Must print more than zero copies.", 0},
      {"", {}, "Must print more than zero copies.", 0},
      {"10", {}, "", 10},
      {"11", {BoxAnswer::No}, "You have choosen to print 11 documents.  Are you sure you want to continue?", 0},
      {"11", {BoxAnswer::Yes}, "You have choosen to print 11 documents.  Are you sure you want to continue?", 11},
      {"99999999999", {}, "Cannot print more than 999 copies.", 0},
  };
  RecordingPrinter printer;
  printer.defaultDevice = kPdfPrinter;
  for (const Case& c : cases) {
    ScriptedDialogs dialogs;
    dialogs.answers.assign(c.answers.begin(), c.answers.end());
    PrintDialogModel model = OpenPrintDialog(printer);
    model.selected = 0;
    model.txtCopies = c.copies;
    const PrintPress press = PressPrint(model, dialogs);
    EXPECT_EQ(dialogs.shown.empty() ? "" : dialogs.shown[0].text, c.message) << c.copies;
    EXPECT_EQ(press.choice ? press.choice->copies : 0, c.copiesPrinted) << c.copies;
    EXPECT_EQ(press.focus, press.choice ? PrintDialogFocus::None : PrintDialogFocus::txtCopies);
  }

  RecordingPrinter none;
  none.devices.clear();
  ScriptedDialogs dialogs;
  PrintDialogModel model = OpenPrintDialog(none);
  const PrintPress press = PressPrint(model, dialogs);
  EXPECT_FALSE(press.choice);
  EXPECT_EQ(press.focus, PrintDialogFocus::cmbPrinter);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].title, "PRINTER ERROR");
}

TEST(PrintRequest, WhatThePrintWordsAskFor) {
  struct Case {
    const char* line;
    PrintRequest::Kind kind;
    const char* identifier;
    const char* hours;
  };
  using K = PrintRequest::Kind;
  const Case cases[] = {
      {"print", K::Map, "", ""},           {"print chart", K::Map, "", ""},
      {"print chart kbos", K::Station, "KBOS", "48"}, {"print chart kbos 0", K::Station, "KBOS", "48"},
      {"print chart kbos 12", K::Station, "KBOS", "12"}, {"print kbos 6", K::Station, "KBOS", "6"},
      {"print chart kbo", K::Nothing, "", ""},
  };
  for (const Case& c : cases) {
    const PrintRequest r = ParsePrintRequest(CommandWords(c.line));
    EXPECT_EQ(r.kind, c.kind) << c.line;
    EXPECT_EQ(r.identifier, c.identifier) << c.line;
    EXPECT_EQ(r.hours, c.hours) << c.line;
  }
}

TEST(PrintChart, LongReportsBreakAtBlanksAndNeverLoop) {
  // 100 twips a character: the line holds 108 characters, a piece 94.
  const auto width = [](std::string_view t) { return 100.0 * static_cast<double>(t.size()); };
  const std::string fits(108, 'x');
  EXPECT_EQ(BreakReport(fits, width), std::vector<std::string>{fits});

  const std::string word(40, 'w');
  const std::string report = word + " " + word + " " + word + " END";  // 124 characters
  EXPECT_EQ(BreakReport(report, width), (std::vector<std::string>{word + " " + word, "\t" + word + " END"}));

  const std::string huge(200, 'h');  // one word wider than any line
  EXPECT_EQ(BreakReport("KBOS " + huge + " RMK", width), (std::vector<std::string>{"KBOS", "\t" + huge, "\tRMK"}));
}

TEST(PrintChart, MapPlacementKeepsTheProportions) {
  const PagePlacement wide = PlaceMapOnPage(11520, 15120, 800, 600);
  EXPECT_DOUBLE_EQ(wide.width, 11220);
  EXPECT_DOUBLE_EQ(wide.height, 8415);
  const PagePlacement tall = PlaceMapOnPage(11520, 15120, 300, 600);
  EXPECT_DOUBLE_EQ(tall.height, 14820);
  EXPECT_DOUBLE_EQ(tall.width, 7410);
  EXPECT_DOUBLE_EQ(tall.left, (11520 - 7410) / 2.0);
}

TEST(PrintChart, MapCopiesAndFailures) {
  Image picture{800, 600, std::vector<Color>(800 * 600)};
  PrintChoice choice;
  choice.copies = 2;
  RecordingPrinter good;
  ScriptedDialogs dialogs;
  EXPECT_TRUE(PrintMap(good, choice, picture, dialogs));
  EXPECT_EQ(good.pictures.size(), 2u);
  EXPECT_TRUE(good.ended);
  EXPECT_FALSE(PrintMap(good, choice, Image{}, dialogs));  // no picture: nothing begun
  EXPECT_EQ(good.begun.size(), 1u);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  for (bool refuseBegin : {true, false}) {
    RecordingPrinter printer;
    printer.refuseBegin = refuseBegin;
    printer.failAfter = 1;  // the second copy fails
    dialogs.shown.clear();
    EXPECT_FALSE(PrintMap(printer, choice, picture, dialogs));
    EXPECT_TRUE(printer.cancelled);
    EXPECT_FALSE(printer.ended);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "There was a problem printing.  Cannot continue.");
    EXPECT_EQ(dialogs.shown[0].style, BoxStyle::Critical);
  }
}

TEST(PrintChart, StationChart) {
  MemoryFileSystem fs;
  ObservationStore store;
  store.Clear();
  store[0].identifier = "KBOS";
  store[0].reports[0] = {10000, "KBOS 071200Z 27010KT 10SM FEW250 05/M03 A3012 ", ""};
  store[0].reports[1] = {10000 - 60 * 13, "KBOS 062300Z 27010KT 10SM CLR 06/M02 A3010 ", ""};
  store[1].identifier = "end";
  fs.folders.insert(kArchiveFolder);
  fs.files[ArchiveFileName("KBOS")] =
      FormatArchive({{10000 - 60 * 2, "KBOS 071000Z 26008KT 10SM CLR 04/M03 A3011 ", ""},
                     {10000 - 60 * 30, "KBOS 060600Z 00000KT 10SM CLR 02/M04 A3011 ", ""}});
  fs.files[kMainStationFile] = "\"KBOS\",\"\",\"\",\"Boston\",\"MA\",\"US\",\"\",4236,-7101,0,0,\"\",\"\",\"\"\r\n";

  const PrintRequest request = ParsePrintRequest(CommandWords("print chart kbos 12"));
  const StationChart chart = StationChartLines(fs, store, request, 10000);
  EXPECT_EQ(chart.heading, (std::vector<std::string>{"KBOS's observations for the last 12 hour(s)...", "",
                                                     "KBOS - Boston", "MA, US", "42.36N, 71.01W", ""}));
  EXPECT_EQ(chart.reports, (std::vector<std::string>{"KBOS 071200Z 27010KT 10SM FEW250 05/M03 A3012 ",
                                                     "KBOS 071000Z 26008KT 10SM CLR 04/M03 A3011 "}));
  EXPECT_TRUE(StationChartLines(fs, store, ParsePrintRequest(CommandWords("print chart kjfk")), 10000).Empty());

  // 240 twips a character at 12 points: the first report (47 characters) is too wide.
  RecordingPrinter printer;
  ScriptedDialogs dialogs;
  PrintChoice two;
  two.copies = 2;
  EXPECT_TRUE(PrintStationChart(printer, two, chart, dialogs));
  EXPECT_EQ(printer.fontSize, 12);
  ASSERT_EQ(printer.pages.size(), 2u);
  std::vector<std::string> page = chart.heading;
  page.insert(page.end(), {"KBOS 071200Z 27010KT 10SM FEW250 05/M03", "\tA3012",
                           "KBOS 071000Z 26008KT 10SM CLR 04/M03 A3011 "});
  EXPECT_EQ(printer.pages[0], page);
  EXPECT_EQ(printer.pages[1], page);
}

}  // namespace
}  // namespace norvane
