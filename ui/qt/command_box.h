#pragma once
#include <QLineEdit>
#include <functional>

#include "commands/command_history.h"

namespace norvane {

// `txtCmd`: Enter runs the line (when it holds more than 2 characters), Up and
// Down walk the history, Escape asks a running script to stop.
class CommandBox : public QLineEdit {
  Q_OBJECT
 public:
  CommandBox(CommandHistory& history, QWidget* parent);
  std::function<void(const std::string& line)> onExecute;
  std::function<void()> onEscape;
  std::function<void()> onBeep;
  std::function<void(bool)> onFocusChanged;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  CommandHistory& history_;
};

}  // namespace norvane
