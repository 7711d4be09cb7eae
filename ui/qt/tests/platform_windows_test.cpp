// The small windows of the platform layer as a user meets them: message boxes, the
// help window and the verification text.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/scripted_dialogs.h"
#include "ui/qt/qt_app_windows.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/verification_text_window.h"

namespace {

using norvane::BoxAnswer;
using norvane::BoxStyle;

// A plain error has only OK to press; only a question offers Yes and No.
TEST(QtDialogs, OnlyQuestionsOfferYesAndNo) {
  struct Case { BoxStyle style; QMessageBox::StandardButtons buttons; BoxAnswer answer; };
  const Case cases[] = {
      {BoxStyle::Exclamation, QMessageBox::Ok, BoxAnswer::Ok},
      {BoxStyle::Information, QMessageBox::Ok, BoxAnswer::Ok},
      {BoxStyle::Critical, QMessageBox::Ok, BoxAnswer::Ok},
      {BoxStyle::YesNoQuestion, QMessageBox::Yes | QMessageBox::No, BoxAnswer::No},
  };
  for (const Case& c : cases) {
    QWidget main;
    norvane::QtDialogs dialogs(&main);
    QMessageBox::StandardButtons seen;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      seen = box->standardButtons();
      box->button(seen.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok)->click();
    });
    const BoxAnswer answer = dialogs.MessageBox("Latitude values must be between -90 and 90.", "ERROR", c.style);
    EXPECT_EQ(seen, c.buttons) << static_cast<int>(c.style);
    EXPECT_EQ(answer, c.answer) << static_cast<int>(c.style);
  }
}

TEST(QtHelpViewer, AskingAgainUsesTheOneWindow) {
  QWidget main;
  norvane::QtHelpViewer help(&main);
  help.ShowHelp("no-such-help-file.hlp", "GRID");
  help.ShowHelp("no-such-help-file.hlp", "DRAW");
  const auto open = main.findChildren<QDialog*>("frmHelp");
  ASSERT_EQ(open.size(), 1);
  EXPECT_TRUE(open[0]->isVisible());
}

TEST(VerificationTextWindow, EscapeClosesIt) {
  norvane::testing::MemoryFileSystem fs;
  norvane::testing::ScriptedDialogs dialogs;
  QWidget main;
  norvane::QtAppWindows windows(fs, dialogs, &main);
  windows.ShowVerificationText("Nothing to be verified...");
  auto* window = main.findChild<norvane::VerificationTextWindow*>();
  ASSERT_TRUE(window && window->isVisible());
  window->activateWindow();
  QApplication::setActiveWindow(window);
  auto* text = window->findChild<QPlainTextEdit*>("txtOut");
  text->setFocus();
  QTest::keyClick(text, Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
