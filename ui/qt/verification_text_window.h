#pragma once
#include <QPlainTextEdit>
#include <QWidget>
#include <string>

namespace norvane {

// `frmTextVerify`: the collected watch notices, newest first, in one text box `txtOut`.
// Modeless: one window, shown again with the new text each time it is asked for.
class VerificationTextWindow : public QWidget {
  Q_OBJECT  // found again among the main window's children by type

 public:
  explicit VerificationTextWindow(QWidget* parent);
  void SetText(const std::string& text);

 private:
  QPlainTextEdit* txtOut_;
};

}  // namespace norvane
