#include "ui/qt/command_box.h"

#include <QKeyEvent>

#include "commands/command_words.h"

namespace norvane {

CommandBox::CommandBox(CommandHistory& history, QWidget* parent) : QLineEdit(parent), history_(history) {
  setObjectName("txtCmd");
}

void CommandBox::keyPressEvent(QKeyEvent* event) {
  bool atLimit = false;
  switch (event->key()) {
    case Qt::Key_Up:
      setText(QString::fromStdString(history_.Older(atLimit)));
      if (atLimit && onBeep) onBeep();
      return;
    case Qt::Key_Down:
      setText(QString::fromStdString(history_.Newer(atLimit)));
      if (atLimit && onBeep) onBeep();
      return;
    case Qt::Key_Escape:
      if (onEscape) onEscape();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      history_.ResetCursor();
      const std::string raw = text().toStdString();
      if (raw.size() <= 2) return;
      const std::string line = CleanCommandLine(raw);
      history_.Store(line);
      clear();
      if (onExecute) onExecute(line);
      return;
    }
    default:
      history_.ResetCursor();
      QLineEdit::keyPressEvent(event);
  }
}

void CommandBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (onFocusChanged) onFocusChanged(true);
}

void CommandBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (onFocusChanged) onFocusChanged(false);
}

}  // namespace norvane
