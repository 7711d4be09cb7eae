#include <gtest/gtest.h>

#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_reporter.h"
#include "tests/fakes/scripted_dialogs.h"
#include "watch/points_editor.h"
#include "watch/points_of_interest.h"

namespace norvane {
namespace {

using testing::MemoryFileSystem;
using testing::RecordingReporter;
using testing::ScriptedDialogs;

std::vector<std::string> Names(const PointList& points) {
  std::vector<std::string> names;
  for (const PointOfInterest& p : points) names.push_back(p.name);
  return names;
}

PointList Numbered(int count) {
  PointList points;
  for (int k = 0; k < count; ++k) points.push_back({"P" + std::to_string(k + 1000), 4000, -9000});
  return points;
}

TEST(PointsFileTest, ReadsEveryReadablePointUpToTheCapacity) {
  struct Case { std::string bytes; std::vector<std::string> names; int skipped, ignored; };
  const Case cases[] = {
      {"\"end\",100,200\r\n\"Zed\",-4500,17999\r\n", {"end", "Zed"}, 0, 0},  // "end" is an ordinary name
      {"\"A\",9001,0\r\n\"B\",0,-18001\r\n\"C\",x,1\r\n\"D\",1\r\n\"E\",1,2\r\n", {"E"}, 4, 0},
      {"\"A\",1e300,0\r\n\"B\",nan,0\r\n\"C\",1,2,3\r\n\"F\",10,20", {"F"}, 3, 0},  // last line without CR LF
      {"\"A\",1,1\r\n\"B\",2,2\r\n\"C\",3,3\r\n\"D\",4,4\r\n", {"A", "B", "C"}, 0, 1},
      {"", {}, 0, 0},
      {"\xEF\xBB\xBF\"Home\",4198,-8790\r\n", {"Home"}, 0, 0},  // saved with a byte-order mark
  };
  for (const Case& c : cases) {
    const PointsRead read = ReadPoints(c.bytes, 3);
    EXPECT_EQ(Names(read.points), c.names) << c.bytes;
    EXPECT_EQ(read.skipped, c.skipped) << c.bytes;
    EXPECT_EQ(read.ignored, c.ignored) << c.bytes;
  }
}

TEST(PointsFileTest, SavedPointsReadBackWithoutTheirQuotes) {
  MemoryFileSystem fs;
  PointList points{{"Joe's \"Farm\", north", 4198, -8790}, {"end", -1, 1}, {"Zed", 0, 0}};
  ASSERT_TRUE(SavePoints(fs, points));
  RecordingReporter reporter;
  const PointList loaded = LoadPoints(fs, reporter);
  EXPECT_EQ(Names(loaded), (std::vector<std::string>{"Joe's Farm, north", "end", "Zed"}));
  EXPECT_EQ(loaded[1], (PointOfInterest{"end", -1, 1}));

  fs.failRenames = true;
  EXPECT_FALSE(SavePoints(fs, {}));
  EXPECT_EQ(LoadPoints(fs, reporter).size(), 3u);
  EXPECT_FALSE(fs.Exists("watch.tmp"));
}

TEST(PointsFileTest, LoadReportsMissingFileAndIgnoredPoints) {
  MemoryFileSystem fs;
  RecordingReporter reporter;
  EXPECT_TRUE(LoadPoints(fs, reporter).empty());
  EXPECT_EQ(reporter.logged, (std::vector<std::string>{"Loading points of interest", "No point of interest to load"}));

  fs.files["watch.dat"] = FormatPoints(Numbered(kMaxPoints + 2)) + "\"bad\",99999,0\r\n";
  reporter = {};
  EXPECT_EQ(LoadPoints(fs, reporter).size(), static_cast<std::size_t>(kMaxPoints));
  EXPECT_EQ(reporter.shown.size(), 2u);  // one unreadable, two beyond the table
}

struct EditorFixture {
  MemoryFileSystem fs;
  ScriptedDialogs dialogs;
  explicit EditorFixture(const PointList& points) { fs.files["watch.dat"] = FormatPoints(points); }
};

TEST(PointsEditorTest, RowsFollowTheScrollBarAndTheCurrentRowIsHighlighted) {
  EditorFixture f(Numbered(20));
  PointsEditor editor(f.fs, f.dialogs);
  EXPECT_TRUE(editor.ScrollShown());
  EXPECT_EQ(editor.ScrollMax(), 5);
  editor.SelectRow(2);
  EXPECT_EQ(editor.Row(2).background, kCurrentRowBackground);
  editor.Row(2).name = "Home";
  editor.Row(2).latitude = "41.984";
  EXPECT_TRUE(editor.Scroll(5));
  EXPECT_EQ(editor.Points()[2], (PointOfInterest{"Home", 4198, -9000}));
  EXPECT_EQ(editor.Row(14).name, "P1019");
  EXPECT_FALSE(editor.CurrentPoint());

  EXPECT_TRUE(editor.Scroll(2));
  editor.SelectRow(0);  // point 2
  editor.Row(0).longitude = "-180.5";
  EXPECT_FALSE(editor.LeaveCoordinate(0));
  EXPECT_FALSE(editor.Scroll(0));  // the row must be mended first
  EXPECT_EQ(editor.ScrollValue(), 2);
  EXPECT_EQ(editor.FocusRow(), 0);
  editor.Row(0).latitude = "-90.5";
  EXPECT_FALSE(editor.LeaveName(0));
  ASSERT_EQ(f.dialogs.shown.size(), 3u);
  EXPECT_EQ(f.dialogs.shown[0].text, "Longitude values must be between -180 and 180.");
  EXPECT_EQ(f.dialogs.shown[2].text, "Latitude values must be between -90 and 90.");
  EXPECT_EQ(editor.Points()[2].latitude, 4198);
}

TEST(PointsEditorTest, AddAndRemoveKeepTheTableAndTheCurrentRowInBounds) {
  EditorFixture f(Numbered(15));
  PointsEditor editor(f.fs, f.dialogs);
  EXPECT_FALSE(editor.ScrollShown());
  ASSERT_TRUE(editor.Add());
  EXPECT_EQ(editor.ScrollValue(), 1);
  EXPECT_EQ(editor.Row(14).background, kCurrentRowBackground);

  // Removing the last point while it is current.
  f.dialogs.answers = {BoxAnswer::No, BoxAnswer::Yes};
  EXPECT_FALSE(editor.Remove());
  EXPECT_EQ(editor.PointCount(), 16);
  EXPECT_TRUE(editor.Remove());
  EXPECT_EQ(editor.PointCount(), 15);
  EXPECT_EQ(editor.ScrollMax(), 0);
  EXPECT_EQ(editor.ScrollValue(), 0);
  EXPECT_FALSE(editor.CurrentPoint());
  EXPECT_FALSE(editor.Remove());  // nothing current: no question
  EXPECT_EQ(f.dialogs.shown.size(), 2u);

  EditorFixture full(Numbered(kMaxPoints));
  PointsEditor fullEditor(full.fs, full.dialogs);
  EXPECT_FALSE(fullEditor.Add());
  EXPECT_EQ(fullEditor.PointCount(), kMaxPoints);
  EXPECT_EQ(full.dialogs.shown.size(), 1u);
}

TEST(PointsEditorTest, OkSortsByNameAndAFailedWriteKeepsTheDialogOpen) {
  EditorFixture f({{"b", 1, 1}, {"B", 2, 2}, {"a", 3, 3}});
  PointsEditor editor(f.fs, f.dialogs);
  editor.SelectRow(0);
  editor.Row(0).name = "Zed \"the\" place";
  f.fs.failRenames = true;
  const std::string old = f.fs.files.at("watch.dat");
  EXPECT_FALSE(editor.Ok(f.fs));
  EXPECT_EQ(f.fs.files.at("watch.dat"), old);
  EXPECT_EQ(f.dialogs.shown.size(), 1u);
  f.fs.failRenames = false;
  EXPECT_TRUE(editor.Ok(f.fs));
  EXPECT_EQ(Names(ReadPoints(f.fs.files.at("watch.dat")).points),
            (std::vector<std::string>{"B", "Zed the place", "a"}));
}

}  // namespace
}  // namespace norvane
