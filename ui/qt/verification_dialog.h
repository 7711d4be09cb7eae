#pragma once
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <optional>
#include <string>

#include "watch/verification_dialog.h"

namespace norvane {

class Dialogs;

// `frmVerify`: the criteria and the period of a verification. The boxes and check boxes
// feed a `VerificationDialog`; `Result()` is its request, nothing when cancelled.
class VerificationWindow : public QDialog {
 public:
  VerificationWindow(const std::string& nowStamp, Dialogs& dialogs, QWidget* parent);
  const std::optional<VerificationRequest>& Result() const { return result_; }

 private:
  struct DateBoxes {
    QLineEdit *day, *month, *year, *time;
  };
  QLineEdit* Box(const char* name, std::string& field);
  QCheckBox* Check(const char* name, const char* caption, bool& field);
  void Show();
  void FocusFailed();
  void Quick(int hours);
  void Ok();

  VerificationDialog model_;
  Dialogs& dialogs_;
  DateBoxes start_{}, end_{};
  QLineEdit *txtWind_, *txtSnow_;
  std::optional<VerificationRequest> result_;
};

}  // namespace norvane
