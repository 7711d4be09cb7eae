// The options and print dialogs driven through their widgets offscreen.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_printer.h"
#include "tests/fakes/recording_reporter.h"
#include "tests/fakes/scripted_dialogs.h"
#include "ui/qt/options_dialog.h"
#include "ui/qt/print_dialog.h"

namespace {

using norvane::AppWindows;
using norvane::BoxAnswer;
using norvane::OptionsPage;

template <typename W>
W* Child(QWidget& dialog, const char* name) {
  W* w = dialog.findChild<W*>(name);
  EXPECT_TRUE(w) << name;
  return w;
}

QString Page(QWidget& dialog) { return dialog.findChild<QStackedWidget*>()->currentWidget()->objectName(); }

struct OptionsDialogTest : ::testing::Test {
  norvane::testing::MemoryFileSystem fs;
  norvane::testing::ScriptedDialogs dialogs;
  norvane::testing::RecordingReporter log;
  norvane::Settings settings = norvane::DefaultSettings();
};

TEST_F(OptionsDialogTest, OkStoresTheBoxesAndSavesWhileServerAddressesStay) {
  // Alternate ticks show that every box is tied to its own character.
  for (std::size_t k = 0; k < settings.PlottedWx.size(); ++k) settings.PlottedWx[k] = k % 3 ? '1' : '0';
  const std::string servers = settings.ObServers[1];
  norvane::OptionsDialog dialog(settings, OptionsPage::PlottedWx, fs, dialogs, log, nullptr);
  dialog.show();
  EXPECT_EQ(Page(dialog), "fraPlottedWx");
  EXPECT_EQ(dialog.findChildren<QCheckBox*>(QRegularExpression("^chkWx\\d+$")).size(), 46);
  Child<QCheckBox>(dialog, "chkWx18")->click();
  Child<QPushButton>(dialog, "cmdServer")->click();
  EXPECT_EQ(Page(dialog), "fraServers");
  Child<QRadioButton>(dialog, "optServ5")->click();
  Child<QPushButton>(dialog, "cmdMisc")->click();
  Child<QLineEdit>(dialog, "txtWinds")->setText("25");
  Child<QLineEdit>(dialog, "txtUnits")->setText("6371");
  Child<QLineEdit>(dialog, "txtClearVerify")->setText("30.5");
  Child<QRadioButton>(dialog, "optF")->click();
  Child<QRadioButton>(dialog, "optMETAR")->click();
  Child<QPushButton>(dialog, "cmdOk")->click();

  EXPECT_EQ(dialog.Result(), AppWindows::OptionsResult::Stored);
  EXPECT_TRUE(dialogs.shown.empty());
  std::string wanted(46, '0');
  for (std::size_t k = 0; k < wanted.size(); ++k) wanted[k] = k % 3 && k != 17 ? '1' : '0';
  EXPECT_EQ(settings.PlottedWx, wanted);
  EXPECT_EQ(settings.MinWind, 25);
  EXPECT_EQ(settings.EarthRadius, 6371);
  EXPECT_EQ(settings.ClearVerificationTime, 30);
  EXPECT_EQ(settings.ActiveObServer, 5);
  EXPECT_FALSE(settings.UseCelsius || settings.DecodeMetar);
  EXPECT_EQ(settings.ObServers[1], servers);
  EXPECT_EQ(fs.files[norvane::kSettingsFile], norvane::WriteSettingsText(settings));
}

// Opened and confirmed without a touch, the dialog stores what it was given, whichever
// pair of units and formats the user had.
TEST_F(OptionsDialogTest, OkWithoutChangesKeepsEverySetting) {
  for (const bool celsius : {false, true}) {
    for (const bool decoded : {false, true}) {
      settings.UseCelsius = celsius;
      settings.DecodeMetar = decoded;
      const std::string before = norvane::WriteSettingsText(settings);
      norvane::OptionsDialog dialog(settings, OptionsPage::Misc, fs, dialogs, log, nullptr);
      dialog.show();
      EXPECT_TRUE(Child<QRadioButton>(dialog, celsius ? "optC" : "optF")->isChecked()) << celsius << decoded;
      EXPECT_TRUE(Child<QRadioButton>(dialog, decoded ? "optDecoded" : "optMETAR")->isChecked()) << celsius << decoded;
      Child<QPushButton>(dialog, "cmdOk")->click();
      EXPECT_EQ(norvane::WriteSettingsText(settings), before) << celsius << decoded;
    }
  }
}

TEST_F(OptionsDialogTest, RefusedBoxKeepsTheDialogOpenWithTheFocusInIt) {
  struct Case {
    const char *box, *text, *message, *title;
  };
  const Case cases[] = {
      {"txtWinds", "0", "Valid windspeeds are 1 to 999.", "ILLEGAL WINDS"},
      {"txtDump", "200", "Valid clear observation times are 12 to 168 hour.", "ILLEGAL TIME"},
      {"txtUnits", "abc", "Units must be >= 1.", "ILLEGAL UNIT"},
  };
  const std::string before = norvane::WriteSettingsText(settings);
  for (const Case& c : cases) {
    dialogs.shown.clear();
    norvane::OptionsDialog dialog(settings, OptionsPage::Servers, fs, dialogs, log, nullptr);
    dialog.show();
    Child<QLineEdit>(dialog, c.box)->setText(c.text);
    Child<QCheckBox>(dialog, "chkWx1")->click();
    Child<QPushButton>(dialog, "cmdOk")->click();
    ASSERT_EQ(dialogs.shown.size(), 1u) << c.box;
    EXPECT_EQ(dialogs.shown[0].text + " " + dialogs.shown[0].title, std::string(c.message) + " " + c.title);
    EXPECT_EQ(Page(dialog), "fraMisc");
    EXPECT_EQ(dialog.focusWidget(), Child<QLineEdit>(dialog, c.box)) << c.box;
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(norvane::WriteSettingsText(settings), before);
    EXPECT_FALSE(fs.files.count(norvane::kSettingsFile));
  }
}

TEST_F(OptionsDialogTest, FlushClosesOnlyWhenTheObservationsWereErased) {
  fs.folders.insert("obsfolder");
  fs.files["obs.wad"] = "x";
  dialogs.answers = {BoxAnswer::No, BoxAnswer::Yes};
  norvane::OptionsDialog dialog(settings, OptionsPage::Misc, fs, dialogs, log, nullptr);
  dialog.show();
  Child<QLineEdit>(dialog, "txtWinds")->setText("50");  // never stored: OK was not pressed
  auto* flush = Child<QPushButton>(dialog, "cmdFlush");
  flush->click();
  EXPECT_TRUE(dialog.isVisible());
  flush->click();
  EXPECT_EQ(dialog.Result(), AppWindows::OptionsResult::Flushed);
  EXPECT_FALSE(dialog.isVisible() || fs.files.count("obs.wad"));
  EXPECT_EQ(settings.MinWind, norvane::DefaultSettings().MinWind);
  EXPECT_EQ(fs.files[norvane::kSettingsFile], norvane::WriteSettingsText(settings));
}

TEST(PrintDialog, PdfFileNeedsANameAndHandsBackTheChosenSetup) {
  norvane::testing::RecordingPrinter printer;
  norvane::testing::ScriptedDialogs dialogs;
  norvane::PrintDialog dialog(printer, dialogs, nullptr);
  dialog.show();
  auto* file = Child<QLineEdit>(dialog, "txtPdfFile");
  EXPECT_FALSE(file->isVisible());
  Child<QComboBox>(dialog, "cmbPrinter")->setCurrentText(norvane::kPdfPrinter);
  EXPECT_TRUE(file->isVisible());
  Child<QLineEdit>(dialog, "txtCopies")->setText("2.7");
  auto* print = Child<QPushButton>(dialog, "cmdPrint");
  print->click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].title, "PRINTER ERROR");
  EXPECT_EQ(dialog.focusWidget(), file);
  EXPECT_FALSE(dialog.Choice());

  file->setText("chart.pdf");
  QTest::mouseClick(Child<QWidget>(dialog, "imgLandscape"), Qt::LeftButton);
  Child<QRadioButton>(dialog, "optLowQual")->click();
  Child<QCheckBox>(dialog, "chkColor")->click();
  print->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_TRUE(dialog.Choice());
  const norvane::PrintChoice& choice = *dialog.Choice();
  EXPECT_EQ(choice.copies, 2);
  EXPECT_EQ(choice.setup.device, norvane::kPdfPrinter);
  EXPECT_EQ(choice.setup.fileName, "chart.pdf");
  EXPECT_EQ(choice.setup.orientation, norvane::PageOrientation::Landscape);
  EXPECT_EQ(choice.setup.quality, norvane::PrintQuality::Low);
  EXPECT_EQ(choice.setup.colorMode, norvane::PrintColorMode::Monochrome);
}

}  // namespace
