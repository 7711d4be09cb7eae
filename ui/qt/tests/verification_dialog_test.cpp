// The verification dialog, the text window and the picture window, driven offscreen.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/scripted_dialogs.h"
#include "ui/qt/picture_window.h"
#include "ui/qt/qt_app_windows.h"
#include "ui/qt/verification_dialog.h"
#include "ui/qt/verification_text_window.h"

namespace {

TEST(VerificationWindow, QuickPeriodAndChecksGiveTheRequest) {
  norvane::testing::ScriptedDialogs dialogs;
  norvane::VerificationWindow dialog("202403011000", dialogs, nullptr);
  dialog.show();
  auto box = [&](const char* name) {
    auto* b = dialog.findChild<QLineEdit*>(name);
    EXPECT_TRUE(b) << name;
    return b;
  };
  auto type = [&](const char* name, const char* text) {
    box(name)->clear();
    QTest::keyClicks(box(name), text);
  };
  auto press = [&](const char* name) { dialog.findChild<QPushButton*>(name)->click(); };
  EXPECT_EQ(box("txtStartTime")->text(), "2200");
  press("cmdQuick5");  // 24 hours
  QTest::mouseClick(dialog.findChild<QCheckBox*>("chkWind"), Qt::LeftButton);
  type("txtWind", "0");
  press("cmdOk");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Valid wind values are from 1 to 999.");
  EXPECT_EQ(dialog.focusWidget(), box("txtWind"));

  type("txtWind", "45");
  dialog.findChild<QCheckBox*>("chkHail")->click();
  dialog.findChild<QCheckBox*>("chkThunder")->click();
  press("cmdOk");
  ASSERT_TRUE(dialog.Result());
  EXPECT_EQ(dialog.Result()->criteria, ":W045:T:H");
  EXPECT_EQ(dialog.Result()->start, "202402291000");
  EXPECT_EQ(dialog.Result()->end, "202403011000");
}

TEST(VerificationTextWindow, AskingAgainRefreshesTheOneWindow) {
  norvane::testing::MemoryFileSystem fs;
  norvane::testing::ScriptedDialogs dialogs;
  QWidget main;
  norvane::QtAppWindows windows(fs, dialogs, &main);
  windows.ShowVerificationText("Hail -- (3.1 Home) \r\n KXYZ 011200Z\r\n\r\n");
  windows.ShowVerificationText("Nothing to be verified...");
  const auto open = main.findChildren<norvane::VerificationTextWindow*>();
  ASSERT_EQ(open.size(), 1);
  EXPECT_TRUE(open[0]->isVisible());
  EXPECT_EQ(open[0]->findChild<QPlainTextEdit*>("txtOut")->toPlainText(), "Nothing to be verified...");
}

// A meteogram's window shows the picture painted at its own size and prints what it shows.
TEST(PictureWindow, ShowsThePaintedPictureAndPrintsIt) {
  norvane::testing::MemoryFileSystem fs;
  norvane::testing::ScriptedDialogs dialogs;
  QWidget main;
  norvane::QtAppWindows windows(fs, dialogs, &main);
  norvane::WindowPicture picture;
  picture.title = "Meteogram KDFW";
  picture.draw = [](norvane::Canvas& c) { c.Clear(norvane::Rgb(10, 20, 30)); };
  std::optional<norvane::Image> printed;
  picture.print = [&](const norvane::Image& image) { printed = image; };
  windows.ShowPicture(picture);
  auto* window = main.findChild<norvane::PictureWindow*>("frmPicture");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Meteogram KDFW");
  const QLabel* shown = window->findChild<QLabel*>("picPicture");
  ASSERT_TRUE(shown && !shown->pixmap().isNull());
  window->findChild<QPushButton*>("cmdPrint")->click();
  ASSERT_TRUE(printed);
  EXPECT_EQ(printed->width, shown->width());
  EXPECT_EQ(printed->pixels.front(), norvane::Rgb(10, 20, 30));
}

}  // namespace
