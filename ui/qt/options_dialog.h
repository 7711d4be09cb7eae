#pragma once
#include <QDialog>
#include <array>
#include <string>

#include "app/app_platform.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class QStackedWidget;

namespace norvane {

// The about box: the same text from the options dialog and from the Help menu.

// `frmSettings`, captioned "Options": three pages over an `OptionsModel`. OK runs
// `AcceptOptions` and, when the boxes pass, saves the settings and closes; a refused
// box keeps the dialog open with the focus in it. "Flush Obs" closes only when the
// observations were flushed (the caller then ends the program).
class OptionsDialog : public QDialog {
  Q_OBJECT
 public:
  OptionsDialog(Settings& settings, OptionsPage page, FileSystem& fs, Dialogs& dialogs, Reporter& log,
                QWidget* parent, ServerTryHooks tryHooks = {});
  AppWindows::OptionsResult Result() const { return result_; }

 private:
  QWidget* BuildPlottedWxPage();
  QWidget* BuildServersPage();
  QWidget* BuildMiscPage();
  void ShowPage(OptionsPage page);
  void ReadControls();
  void Ok();
  void Flush();

  Settings& settings_;
  const Settings settingsBefore_;
  FileSystem& fs_;
  Dialogs& dialogs_;
  Reporter& log_;
  ServerTryHooks tryHooks_;
  OptionsModel model_;
  AppWindows::OptionsResult result_ = AppWindows::OptionsResult::Cancelled;

  QStackedWidget* pages_;
  std::array<QCheckBox*, kPlottedWxSymbols> chkWx_{};  // by symbol index - 1
  QButtonGroup* servers_;                              // ids 1..5
  QLineEdit *txtWinds_, *txtDLTime_, *txtClearTime_, *txtClearVerify_, *txtDist_, *txtUnits_, *txtDump_;
  QRadioButton *optF_, *optC_, *optDecoded_, *optMETAR_;
};

}  // namespace norvane
