#include "core/window_layout.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/working_folder.h"
#include "tests/fakes/memory_file_system.h"

namespace norvane {
namespace {

TEST(WindowLayout, BoxesShareTheWidthAndNeverGoNegative) {
  LayoutInput in;
  in.innerWidth = 1000;
  in.innerHeight = 800;
  WindowLayout l = LayoutWindow(in);
  const int plot = 800 - 130 - 24 - 4;
  EXPECT_EQ(std::tie(l.ob.width, l.watch.width, l.watch.left, l.command.width, l.plot.height, l.command.top, l.ob.top),
            std::tuple(698, 298, 700, 998, plot, plot + 2, plot + 28));
  in.zoomControlsShown = true;
  l = LayoutWindow(in);
  // The output box: (1000 - 161 - 12) * 0.7 - 5, rounded.
  EXPECT_EQ(std::tie(l.ob.left, l.ob.width, l.watch.left), std::tuple(169, 574, 169 + 574 + 5));
  in.innerHeight = 50;
  in.innerWidth = 3;
  l = LayoutWindow(in);
  EXPECT_EQ(l.plot.height, 0);
  EXPECT_GE(l.ob.width, 0);
  EXPECT_GE(l.watch.width, 0);
  int h = 25;
  for (int i = 0; i < 5; ++i) h = ShrunkTextHeight(h);
  EXPECT_EQ(h, 0);
  double w = 0.7;
  for (int i = 0; i < 5; ++i) w = IncreasedTextWidth(w);
  EXPECT_DOUBLE_EQ(w, 0.8);
  for (int i = 0; i < 20; ++i) w = DecreasedTextWidth(w);
  EXPECT_DOUBLE_EQ(w, 0.2);
}

TEST(WorkingFolder, StartUpRemovesHandOffFilesOnly) {
  testing::MemoryFileSystem fs;
  const char* handOffs[] = {"lock.zzz", "d12.pid", "G7.PID", "scripts/redraw.nvs"};
  const char* kept[] = {"scripts/startup.nvs", "obsfolder/KMCI.obs"};
  for (const char* name : handOffs) fs.files[name] = "x";
  for (const char* name : kept) fs.files[name] = "keep";
  EXPECT_TRUE(PrepareWorkingFolder(fs));
  EXPECT_TRUE(fs.folders.count("obsfolder") && fs.folders.count("scripts"));
  for (const char* name : handOffs) EXPECT_FALSE(fs.Exists(name)) << name;
  for (const char* name : kept) EXPECT_EQ(fs.files[name], "keep") << name;
}

}  // namespace
}  // namespace norvane
