// The Points Editor driven with the mouse and keys over a real "watch.dat".
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "core/local_file_system.h"
#include "tests/fakes/scripted_dialogs.h"
#include "ui/qt/points_editor_dialog.h"
#include "watch/points_of_interest.h"

namespace {

using norvane::PointOfInterest;

class PointsEditorDialogTest : public ::testing::Test {
 protected:
  QLineEdit* Box(const char* name, int row) {
    auto* box = dialog_->findChild<QLineEdit*>(name + QString::number(row));
    EXPECT_TRUE(box) << name << row;
    return box;
  }
  // A click moves the focus as the user's would; the check of the box left runs after.
  void Enter(QLineEdit* box) {
    QTest::mouseClick(box, Qt::LeftButton);
    QCoreApplication::sendPostedEvents();
  }
  void Type(QLineEdit* box, const char* text) {
    Enter(box);
    box->selectAll();
    QTest::keyClicks(box, text);
  }
  void Press(const char* name) { dialog_->findChild<QPushButton*>(name)->click(); }

  QTemporaryDir folder_;
  norvane::LocalFileSystem fs_{folder_.path().toStdString()};
  norvane::testing::ScriptedDialogs dialogs_;
  std::unique_ptr<norvane::PointsEditorDialog> dialog_;
};

TEST_F(PointsEditorDialogTest, AddsEditsRemovesAndSavesSortedPoints) {
  ASSERT_TRUE(fs_.WriteAll("watch.dat", "\"Home\",3850,-9700\r\n\"Town\",4000,-9500\r\n"));
  dialog_ = std::make_unique<norvane::PointsEditorDialog>(fs_, dialogs_, nullptr);
  dialog_->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
  EXPECT_EQ(Box("txtLat", 0)->text(), "38.5");
  EXPECT_FALSE(Box("txtName", 2)->isEnabled());

  // A bad latitude is refused on leaving the row and the focus goes back to it.
  Type(Box("txtLat", 1), "95");
  EXPECT_EQ(Box("txtLat", 1)->palette().color(QPalette::Base), QColor(255, 255, 190));  // the current row
  Enter(Box("txtName", 0));
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, "Latitude values must be between -90 and 90.");
  EXPECT_EQ(QApplication::focusWidget(), Box("txtLat", 1));

  Type(Box("txtLat", 1), "41.25");
  Press("cmdAdd");
  EXPECT_TRUE(Box("txtName", 2)->isEnabled());
  EXPECT_EQ(QApplication::focusWidget(), Box("txtName", 2));
  Type(Box("txtName", 2), "Airfield");
  Type(Box("txtLat", 2), "39");
  Type(Box("txtLong", 2), "-96.004");

  Enter(Box("txtName", 0));
  dialogs_.answers = {norvane::BoxAnswer::Yes};
  Press("cmdRemove");
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_EQ(Box("txtName", 0)->text(), "Town");

  Press("cmdOk");
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  const auto saved = fs_.ReadAll("watch.dat");
  ASSERT_TRUE(saved);
  const std::vector<PointOfInterest> expected{{"Airfield", 3900, -9600}, {"Town", 4125, -9500}};
  EXPECT_EQ(norvane::ReadPoints(*saved).points, expected);
}

}  // namespace
