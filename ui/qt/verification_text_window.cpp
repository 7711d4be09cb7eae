#include "ui/qt/verification_text_window.h"

#include <QKeySequence>
#include <QShortcut>
#include <QVBoxLayout>

namespace norvane {

VerificationTextWindow::VerificationTextWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("frmTextVerify");
  setWindowTitle("Verification");
  txtOut_ = new QPlainTextEdit(this);
  txtOut_->setObjectName("txtOut");
  txtOut_->setReadOnly(true);
  txtOut_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(txtOut_);
  resize(640, 400);
  // Escape closes it, as it does a dialog.
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  close->setContext(Qt::WindowShortcut);
  connect(close, &QShortcut::activated, this, &QWidget::close);
}

void VerificationTextWindow::SetText(const std::string& text) {
  QString t = QString::fromStdString(text);
  t.replace("\r\n", "\n");
  txtOut_->setPlainText(t);
}

}  // namespace norvane
