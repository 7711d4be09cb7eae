#include <gtest/gtest.h>

#include "commands/scheduler.h"
#include "core/time_stamp.h"
#include "obs/decoded_observation.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/recording_reporter.h"
#include "tests/fakes/scripted_dialogs.h"
#include "watch/verification_dialog.h"
#include "watch/verification_map.h"
#include "watch/verification_views.h"

namespace norvane {
namespace {

using testing::MemoryFileSystem;
using testing::RecordingCanvas;
using testing::RecordingReporter;
using testing::ScriptedDialogs;
using Kind = RecordingCanvas::Kind;

std::string Decoded(std::initializer_list<std::pair<int, std::string_view>> columns) {
  std::string d(DecodedTemplate());
  for (const auto& [column, text] : columns) d.replace(static_cast<std::size_t>(column - 1), text.size(), text);
  return d;
}

std::string Entry(std::int32_t time, const std::string& event = "Hail -- (1 A) ") {
  return FormatVerificationEntry({time, "", "  KORD 071151Z GR ", event});
}

TEST(CleanVerificationTest, KeepsEntriesUpToTheAgeAndPassesOverDamage) {
  const int now = 100000;
  struct Case { std::string contents, after; bool cleaned; std::size_t messages; };
  const std::string kept = Entry(now - 48 * 60) + Entry(now);
  const Case cases[] = {
      {Entry(now - 48 * 60 - 1) + kept, kept, true, 0},                  // a minute too old
      {kept + Entry(now).substr(0, 12), kept, true, 1},                  // cut-short last entry
      {kept + Entry(now).substr(0, Entry(now).size() - 2), kept + Entry(now), true, 0},  // whole, without its end
      {kept + Entry(now).substr(0, Entry(now).size() - 4), kept, true, 1},  // cut inside its last text
      {"1.5\r\n\"\"\r\n\"  X\"\r\n\"e\"\r\n" + kept, kept, true, 1},     // a time that is no minute
      {kept + "\"\"\r\n" + kept, kept + kept, true, 1},                  // a stray record: read on past it
      {kept + "12,\"\"\r\n\"\"\r\n\"a\"\r\n\"b\"\r\n" + kept, kept + kept, true, 1},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    RecordingReporter reporter;
    fs.files["verify.out"] = c.contents;
    EXPECT_EQ(CleanVerification(fs, reporter, now, 48), c.cleaned) << c.contents;
    EXPECT_EQ(fs.files.at("verify.out"), c.after) << c.contents;
    EXPECT_EQ(reporter.shown.size(), c.messages) << c.contents;
    EXPECT_EQ(reporter.logged, (std::vector<std::string>{"Cleaning old data from verification file"}));
  }

  MemoryFileSystem fs;
  RecordingReporter reporter;
  fs.files["verify.out"] = Entry(1) + kept;
  fs.failWrites = true;
  EXPECT_FALSE(CleanVerification(fs, reporter, now, 48));
  EXPECT_EQ(fs.files.at("verify.out"), Entry(1) + kept);
  EXPECT_FALSE(fs.Exists("temp.out"));
  EXPECT_EQ(reporter.shown, (std::vector<std::string>{"Unable to clean the verification file 'verify.out'"}));
}

std::string Text(const DateFields& f) { return f.year + "-" + f.month + "-" + f.day + " " + f.time; }

TEST(VerificationDialogTest, OpensOnTwelveHoursAndQuickButtonsCountBackFromTheEnd) {
  VerificationDialog dialog("202603010130");
  EXPECT_EQ(Text(dialog.end), "2026-03-01 0130");
  EXPECT_EQ(Text(dialog.start), "2026-02-28 1330");
  ScriptedDialogs boxes;
  dialog.end = FieldsOfStamp("202501010000");
  ASSERT_TRUE(dialog.Quick(24, boxes));
  EXPECT_EQ(Text(dialog.start), "2024-12-31 0000");
  dialog.end.month = "13";
  EXPECT_FALSE(dialog.Quick(6, boxes));
  EXPECT_EQ(Text(dialog.start), "2024-12-31 0000");
  EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST(VerificationDialogTest, OkChecksEveryFieldAndWritesTheCriteriaInOrder) {
  struct Case { DateFields start; std::string wind, message /* empty when accepted */, focus; };
  const DateFields good{"28", "2", "2024", "930"};
  const std::string time = "Valid hours for time are from 00 to 23 and\r\nvalid minutes for time are from 00 to 59.";
  const std::string wind = "Valid wind values are from 1 to 999.";
  const Case cases[] = {
      {{"29", "02", "2024", "0000"}, "30", "", ""},
      {{"29", "02", "2023", "0000"}, "30", "Valid days for month and year are from 1 to 28.", "txtStartDay"},
      {{"1", "1", "1999", "0000"}, "30", "Valid year numbers are from 2000 to 6000.", "txtStartYear"},
      {{"1", "0", "2024", "0000"}, "30", "Valid month numbers are from 1 to 12.", "txtStartMonth"},
      {{"1", "1", "2024", "2360"}, "30", time, "txtStartTime"},
      {{"1", "1", "2024", "2400"}, "30", time, "txtStartTime"},
      {good, "0", wind, "txtWind"}, {good, "1000", wind, "txtWind"},
  };
  for (const Case& c : cases) {
    VerificationDialog dialog("202403011200");
    ScriptedDialogs boxes;
    dialog.start = c.start;
    dialog.txtWind = c.wind;
    dialog.checks.chkWind = dialog.checks.chkHail = dialog.checks.chkThunder = dialog.checks.chkSnow = true;
    const auto request = dialog.Ok(boxes);
    EXPECT_EQ(request.has_value(), c.message.empty()) << c.message;
    EXPECT_EQ(dialog.Focus(), c.focus);
    EXPECT_EQ(boxes.shown.empty() ? "" : boxes.shown[0].text + " " + boxes.shown[0].title,
              c.message.empty() ? "" : c.message + " ERROR");
  }
  VerificationDialog dialog("202403011200");
  ScriptedDialogs boxes;
  dialog.start = good;
  dialog.txtWind = "45";
  dialog.checks = {true, true, true, true, true, true, true, true, true};
  const auto request = dialog.Ok(boxes);
  ASSERT_TRUE(request);
  EXPECT_EQ(request->criteria, ":W045:T:S002:Z:L:C:R:F:H");
  EXPECT_EQ(request->start, "202402280930");
  EXPECT_EQ(request->end, "202403011200");
  EXPECT_TRUE(VerificationDialog::Cancel().Cancelled());
}

// One station in the period 12:00 to 18:00 (examined 11:45 to 18:05).
struct Station {
  VerificationRequest request{":W030:T:S002:Z:L:C:R:F:H", "202403011200", "202403011800"};
  VerificationPeriod period = PeriodOf(request);
  StationObservations entry;
  StationArchive archive;
  void Slot(int k, std::int32_t time, std::string decoded, std::string report = "KORD 011200Z ") {
    entry.reports[static_cast<std::size_t>(k)] = {time, std::move(report), std::move(decoded)};
  }
  StationFindings Findings() const { return ExamineStation(entry, archive, period, ParseCriteria(request.criteria)); }
};

TEST(VerificationMapTest, PeriodReachesFifteenMinutesBeforeAndFiveAfter) {
  Station s;
  const std::int32_t start = StampToMinutes("202403011200"), end = StampToMinutes("202403011800");
  const std::string hail = Decoded({{16, "1"}});
  const std::pair<std::int32_t, bool> cases[] = {
      {start - 15, true}, {start - 16, false}, {end + 5, true}, {end + 6, false}};
  for (const auto& [time, examined] : cases) {
    s.Slot(0, time, hail);
    EXPECT_EQ(s.Findings().hail, examined) << time - start;
  }
  // The archive is newest first: the first line older than the period ends the reading.
  s.Slot(0, end + 60, hail);
  s.archive = {{end + 30, "A ", hail}, {end, "B ", Decoded({{61, "040"}})}, {start - 20, "C ", hail},
               {start, "D ", Decoded({{8, "1"}})}};
  const StationFindings f = s.Findings();
  EXPECT_EQ(f.peakWind, 40);
  EXPECT_FALSE(f.hail);
  EXPECT_FALSE(f.thunder);
}

TEST(VerificationMapTest, EachCriterionDrawsItsMarkAndOnlyTheFirstWeatherMark) {
  // The texts drawn, and the colour of the last line or point drawn (0 when none).
  struct Case { std::string criteria, decoded, report; std::vector<std::string> texts; Color markColor; };
  const std::string plain = "KORD 011200Z ";
  const Color red = Rgb(255, 64, 64), blue = Rgb(64, 64, 255), bright = Rgb(255, 32, 32);
  const Case cases[] = {
      {":W030", Decoded({{61, "030"}}), plain, {"30"}, Rgb(255, 255, 255)},
      {":W031", Decoded({{61, "030"}}), plain, {}, 0},
      {":S002", Decoded({{54, "002"}}), plain, {"2"}, Rgb(255, 255, 255)},
      {":S001", Decoded({{54, "999"}}), plain, {}, 0},
      {":Z", Decoded({{9, "1"}, {11, "1"}}), plain, {}, red},
      {":Z", Decoded({{9, "1"}}), plain, {}, 0},
      {":R:F", Decoded({{1, "3"}, {29, "1"}}), plain, {}, red},
      {":F", Decoded({{1, "3"}, {29, "1"}}), plain, {}, 0},
      {":F", Decoded({{1, "2"}, {29, "1"}}), plain, {}, red},
      {":T:H", Decoded({{8, "1"}, {16, "1"}}), plain, {}, blue},
      {":T", Decoded({{8, "1"}, {16, "1"}}), plain, {}, bright},
      {":L", Decoded({}), "KORD 011200Z RMK LTG DATA MSG ", {}, 0},
      {":L", Decoded({}), "KORD 011200Z RMK CB LTG DSNT ", {}, bright},
      {":C", Decoded({}), "KORD 011200Z RMK LTG DSNT CB ", {}, bright},
      {":H", Decoded({}), plain, {}, 0},
  };
  for (const Case& c : cases) {
    Station s;
    s.request.criteria = c.criteria;
    s.Slot(0, StampToMinutes("202403011300"), c.decoded, c.report);
    RecordingCanvas canvas;
    DrawVerificationMarks(canvas, {100, 100}, s.Findings(), ParseCriteria(c.criteria));
    std::vector<std::string> texts;
    Color last = 0;
    for (const auto& op : canvas.ops) {
      if (op.kind == Kind::Text) texts.push_back(op.text);
      if (op.kind == Kind::Line || op.kind == Kind::Point) last = op.color;
    }
    EXPECT_EQ(texts, c.texts) << c.criteria << " " << c.decoded;
    EXPECT_EQ(last, c.markColor) << c.criteria << " " << c.decoded;
  }
}

TEST(VerificationMapTest, UpdatesTheScaleFirstAndDrawsOnlyTheHeaderWithoutAPicture) {
  ObservationStore store;
  store.Clear();
  store[0] = StationObservations{"KORD", 4198, -8790, {}, false};
  store[0].reports[0] = {StampToMinutes("202403011300"), "KORD 011300Z ", Decoded({{16, "1"}})};
  store[1].identifier = "end";
  MemoryFileSystem fs;
  const VerificationRequest request{":H", "202403011200", "202403011800"};
  for (double scale : {0.0, 1.0}) {
    RecordingCanvas canvas;
    std::string calls;
    VerificationMapHost host;
    host.updateScale = [&](int, int) { calls += "scale "; return scale; };
    host.drawMap = [&](Canvas&) { calls += "map"; };
    host.place = [](double, double) { return std::optional<ScreenPoint>(ScreenPoint{50, 60}); };
    DrawVerificationMap(canvas, request, store, fs, host, Rgb(0, 0, 64));
    const auto texts = canvas.OfKind(Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "Valid: 03/01/2024 1200 - 03/01/2024 1800");
    EXPECT_EQ(calls, scale == 0 ? "scale " : "scale map");
    EXPECT_EQ(canvas.OfKind(Kind::Line).empty(), scale == 0);
  }
}

TEST(ContinuityTest, CountsReportsPerHourAndListsAcrossMidnightAndMonthEnd) {
  const std::int32_t now = StampToMinutes("202403010040");
  const std::int32_t hour = StampToMinutes("202403010000");
  ObservationStore store;
  store.Clear();
  store[0].identifier = "KORD";
  store[1].identifier = "end";
  const std::int32_t times[] = {hour + 15, hour + 16, hour - 45, hour - 44, hour - 48 * 60 + 15,
                                hour - 48 * 60 - 46};
  for (std::size_t k = 0; k < std::size(times); ++k)
    store[0].reports[k] = {times[k], "KORD x ", std::string(DecodedTemplate())};
  MemoryFileSystem fs;
  fs.files["obsfolder/KORD.obs"] = FormatArchive({{hour - 60, "KORD y ", "d"}, {hour - 61, "KORD z ", "d"}});
  const ContinuityCounts counts = CountContinuity(store, fs, now);
  EXPECT_EQ(counts[0], 2);   // 15 past this hour, 16 past the previous one
  EXPECT_EQ(counts[1], 3);   // 15 past the previous hour, and the archive's two
  EXPECT_EQ(counts[48], 1);
  int total = 0;
  for (int c : counts) total += c;
  EXPECT_EQ(total, 6);       // 16 past this hour is not yet counted; 49 hours back is not

  const std::string listing = ContinuityListing(counts, "202403010040");
  EXPECT_EQ(listing.rfind("1 / 3 / 2024 0Z  -  2 observations\r\n*  29 / 2 / 2024 23Z  -  3 observations\r\n", 0), 0u);
  EXPECT_NE(listing.find("*  28 / 2 / 2024 0Z  -  1 observations\r\n*  "), std::string::npos);
  EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), kContinuityHours);
}

TEST(TextVerificationTest, ShowsNewestFirstOrNothing) {
  MemoryFileSystem fs;
  RecordingReporter reporter;
  EXPECT_EQ(VerificationText(fs, reporter), kNothingToVerify);
  fs.files["verify.out"] = "1\r\n\"\"\r\n\"  x\"\r\n\"e\"\r\n";
  EXPECT_EQ(VerificationText(fs, reporter), kNothingToVerify);  // under 20 bytes
  fs.files["verify.out"] = Entry(1, "Hail -- (1 A) ") + "3,\"\"\r\n" + Entry(2, "Thunder -- (2 B) ");
  EXPECT_EQ(VerificationText(fs, reporter),
            "Thunder -- (2 B) \r\n  KORD 071151Z GR \r\n\r\nHail -- (1 A) \r\n  KORD 071151Z GR \r\n\r\n");
  EXPECT_EQ(reporter.shown.size(), 1u);  // the damaged record
}

}  // namespace
}  // namespace norvane
