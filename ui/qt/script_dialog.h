#pragma once
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <string>

namespace norvane {

class Dialogs;
class FileSystem;

// `frmOpenScript`: pick a script to run now, or to run at every redraw, or delete it.
// `Result()` is the command handed back ("r NAME ARGS" or "redraw add r NAME ARGS"),
// empty when cancelled.
class ScriptDialog : public QDialog {
  Q_OBJECT
 public:
  ScriptDialog(FileSystem& files, Dialogs& dialogs, QWidget* parent);
  const std::string& Result() const { return result_; }

 private:
  void Fill();
  std::string CurrentEntry() const;
  FileSystem& files_;
  Dialogs& dialogs_;
  QListWidget* lstScripts_;
  QLineEdit* txtArgument_;
  QPushButton *cmdOpen_, *cmdRedraw_, *cmdDelete_;
  std::string result_;
};

}  // namespace norvane
