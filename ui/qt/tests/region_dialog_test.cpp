// The region dialog, driven with the mouse offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "map/map_file.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/scripted_dialogs.h"
#include "ui/qt/region_dialog.h"

namespace {

using norvane::MapRecord;

void Drag(QWidget* picture, QPoint from, QPoint to) {
  QTest::mousePress(picture, Qt::LeftButton, {}, from);
  // QTest's move carries no buttons; send the event the way a held drag does.
  QMouseEvent move(QEvent::MouseMove, QPointF(to), picture->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(picture, &move);
  QTest::mouseRelease(picture, Qt::LeftButton, {}, to);
}

TEST(SelectRegionDialog, DraggedBandMakesTheUserMapAndSmallBandsStartAgain) {
  norvane::testing::MemoryFileSystem fs;
  norvane::testing::ScriptedDialogs dialogs;
  // Two points in North America, one in Europe, so the cut keeps the first two.
  fs.files["world.map"] = norvane::EncodeMapFile({{4000, -10000}, {4100, -9900}, {5000, 1000}, {}});
  fs.files["user.map"] = "old";

  norvane::SelectRegionDialog dialog(fs, dialogs, nullptr);
  dialog.show();
  QWidget* picture = dialog.findChild<QWidget*>("picMap");
  auto* make = dialog.findChild<QPushButton*>("cmdMake");
  ASSERT_TRUE(picture && make);
  EXPECT_EQ(picture->size(), QSize(720, 360));

  // Nine pixels wide is under five degrees: refused, and the band is the whole world again.
  Drag(picture, {100, 100}, {109, 150});
  make->click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Area too small...");
  EXPECT_EQ(dialog.Band().x2, 720);
  EXPECT_EQ(fs.files["user.map"], "old");

  // Dragged from the lower right to the upper left, and past the picture's edge.
  Drag(picture, {200, 120}, {-30, 60});  // 80 W..180 W, 60 N..30 N
  EXPECT_EQ(dialog.Band().x2, 0);
  make->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const auto cut = norvane::ParseMapFile(fs.files["user.map"]).points;
  ASSERT_EQ(cut.size(), 3u);
  EXPECT_EQ(cut[1], (MapRecord{4100, -9900}));
}

}  // namespace
