#include "ui/qt/qt_platform.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTextCursor>
#include <QVBoxLayout>

#include "ui/qt/qt_canvas.h"

namespace norvane {

BoxAnswer QtDialogs::MessageBox(const std::string& text, const std::string& title, BoxStyle style) {
  const QString t = QString::fromStdString(title), m = QString::fromStdString(text);
  switch (style) {
    case BoxStyle::Information: QMessageBox::information(parent_, t, m); return BoxAnswer::Ok;
    case BoxStyle::Critical: QMessageBox::critical(parent_, t, m); return BoxAnswer::Ok;
    // A plain error or warning has nothing to answer: OK only. Questions ask Yes or No.
    case BoxStyle::Exclamation: QMessageBox::warning(parent_, t, m); return BoxAnswer::Ok;
    case BoxStyle::YesNoQuestion: {
      QMessageBox box(QMessageBox::Question, t, m, QMessageBox::Yes | QMessageBox::No, parent_);
      return box.exec() == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
    }
  }
  return BoxAnswer::Ok;
}

void QtDialogs::Beep() { QApplication::beep(); }

std::optional<Color> QtDialogs::ChooseColor(Color preset) {
  QColor c = QColorDialog::getColor(ToQColor(preset), parent_);
  if (!c.isValid()) return std::nullopt;
  return FromQColor(c);
}

bool QtProcessStarter::Start(const std::string& commandLine, WindowMode) {
  QStringList parts = QProcess::splitCommand(QString::fromStdString(commandLine));
  if (parts.isEmpty()) return false;
  QString program = parts.takeFirst();
  // Our own programs sit beside NorvaneApp (or in the working folder).
  for (const QString& dir : {QDir::currentPath(), QCoreApplication::applicationDirPath()}) {
    QFileInfo candidate(QDir(dir).filePath(program));
    if (!program.contains('/') && candidate.isFile() && candidate.isExecutable()) {
      program = candidate.absoluteFilePath();
      break;
    }
  }
  // Minimised children of ours run without a window of their own on a desktop
  // that has no such notion; they show progress in their status files.
  return QProcess::startDetached(program, parts, QDir::currentPath());
}

void QtEventPump::ProcessEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); }

void QtHelpViewer::ShowHelp(const std::string& helpFile, const std::string& keyword) {
  QFile file(QString::fromStdString(helpFile));
  QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll())
                                                : QString("The help file '%1' could not be opened.").arg(QString::fromStdString(helpFile));
  // One help window: asking again brings it forward at the new keyword.
  auto* dialog = parent_ ? parent_->findChild<QDialog*>("frmHelp", Qt::FindDirectChildrenOnly) : nullptr;
  QPlainTextEdit* view = dialog ? dialog->findChild<QPlainTextEdit*>() : nullptr;
  if (!dialog || !view) {
    dialog = new QDialog(parent_);
    dialog->setObjectName("frmHelp");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle("Norvane Help");
    dialog->resize(760, 600);
    view = new QPlainTextEdit(dialog);
    view->setReadOnly(true);
    view->setFont(QFont("DejaVu Sans Mono", 10));
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(view);
  }
  view->setPlainText(text);
  // Scroll to the topic heading of the keyword.
  QTextCursor found = view->document()->find(QString::fromStdString(keyword));
  if (!found.isNull()) {
    view->setTextCursor(found);
    view->centerCursor();
  }
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

}  // namespace norvane
