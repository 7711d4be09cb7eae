// The coordinates dialog and the zoom-slot editor, typed into offscreen.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/settings.h"
#include "tests/fakes/scripted_dialogs.h"
#include "ui/qt/coordinates_dialog.h"
#include "ui/qt/zoom_editor_dialog.h"

namespace {

QLineEdit* Box(QWidget& dialog, const char* name) {
  auto* box = dialog.findChild<QLineEdit*>(name);
  EXPECT_TRUE(box) << name;
  return box;
}

void Type(QLineEdit* box, const char* text) {
  box->clear();
  QTest::keyClicks(box, text);
}

void Press(QWidget& dialog, const char* name) {
  auto* button = dialog.findChild<QPushButton*>(name);
  ASSERT_TRUE(button) << name;
  button->click();
}

TEST(CoordinatesDialog, RefusesABoxOutOfRangeThenStoresTheLimits) {
  norvane::Settings settings;
  norvane::testing::ScriptedDialogs dialogs;
  norvane::CoordinatesDialog dialog(settings, dialogs, nullptr);
  dialog.show();
  EXPECT_EQ(Box(dialog, "txtLat")->text(), "38.5");

  // One refused box keeps the dialog open with the focus in that box.
  Type(Box(dialog, "txtLat"), "90");
  Type(Box(dialog, "txtLong"), "180.5");
  Press(dialog, "cmdOk");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Longitude values must be between -180 and 180.");
  EXPECT_EQ(dialog.focusWidget(), Box(dialog, "txtLong"));
  EXPECT_EQ(settings.CenterLatitude, 38.5);

  Type(Box(dialog, "txtLong"), "-180");
  Type(Box(dialog, "txtScale"), "0.1");
  Press(dialog, "cmdOk");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(settings.CenterLatitude, 90);
  EXPECT_EQ(settings.CenterLongitude, -180);
  EXPECT_DOUBLE_EQ(settings.ScreenDistance, 100);
}

TEST(ZoomEditorDialog, UseCurrentNamesARowAndABadFactorKeepsEverySlot) {
  norvane::Settings settings;
  norvane::testing::ScriptedDialogs dialogs;
  norvane::ZoomEditorDialog dialog(settings, dialogs, nullptr);
  dialog.show();

  Press(dialog, "cmdUseCurrent0");

  Type(Box(dialog, "txtZoomName1"), "Coast");
  Type(Box(dialog, "txtCenterLat1"), "45");
  Type(Box(dialog, "txtZoomFactor1"), "0.05");
  Press(dialog, "cmdOk");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Legal zoom factor values are from 0.1 to 100.");
  EXPECT_EQ(dialog.focusWidget(), Box(dialog, "txtZoomFactor1"));
  EXPECT_TRUE(settings.Zooms[0].name.empty());

  Type(Box(dialog, "txtZoomFactor1"), "2");
  Press(dialog, "cmdOk");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(settings.Zooms[0].name, "38.5 / -97.0");
  EXPECT_DOUBLE_EQ(settings.Zooms[0].latitude, 38.5);
  EXPECT_EQ(settings.Zooms[1].name, "Coast");
  EXPECT_DOUBLE_EQ(settings.Zooms[1].zoom, 2);
}

// After a drag the view sits at an odd place; the row filled from it shows every value whole.
TEST(ZoomEditorDialog, BoxesShowTheirWholeValues) {
  norvane::Settings settings;
  settings.CenterLatitude = -33.86712345678;
  settings.CenterLongitude = -151.20987654321;
  settings.ScreenDistance = 5454.545454545;
  norvane::testing::ScriptedDialogs dialogs;
  norvane::ZoomEditorDialog dialog(settings, dialogs, nullptr);
  dialog.show();
  Press(dialog, "cmdUseCurrent0");
  for (const char* name : {"txtCenterLat0", "txtCenterLong0", "txtZoomFactor0"}) {
    QLineEdit* box = Box(dialog, name);
    EXPECT_TRUE(box->text().startsWith('-') || std::string(name) == "txtZoomFactor0") << name;
    EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()) + 8, box->width())
        << name << " " << box->text().toStdString();
  }
}

}  // namespace
