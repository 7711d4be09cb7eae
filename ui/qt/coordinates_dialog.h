#pragma once
#include <QDialog>
#include <QLineEdit>

namespace norvane {

class Dialogs;
struct Settings;

// `frmCoordinates`: an exact centre and zoom factor for the view. Ok stores them in the
// settings when the checks of `AcceptCoordinates` pass; Cancel leaves them alone.
class CoordinatesDialog : public QDialog {
 public:
  CoordinatesDialog(Settings& settings, Dialogs& dialogs, QWidget* parent);

 private:
  void Ok();
  Settings& settings_;
  Dialogs& dialogs_;
  QLineEdit *txtLat_, *txtLong_, *txtScale_;
};

}  // namespace norvane
