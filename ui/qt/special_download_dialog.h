#pragma once
#include <QDialog>
#include <QLineEdit>
#include <cstdint>
#include <string>

namespace norvane {

class Dialogs;

// `frmSpecialDownload`: asks for the UTC year, month, day and hour of a bulletin to
// fetch. `Result()` is the ten-character stamp, empty when cancelled.
class SpecialDownloadDialog : public QDialog {
  Q_OBJECT
 public:
  SpecialDownloadDialog(const std::string& nowStamp, std::int32_t minuteClock, Dialogs& dialogs, QWidget* parent);
  const std::string& Result() const { return result_; }

 private:
  void Ok();
  std::int32_t minuteClock_;
  Dialogs& dialogs_;
  QLineEdit *txtYear_, *txtMonth_, *txtDay_, *txtHour_;
  std::string result_;
};

}  // namespace norvane
