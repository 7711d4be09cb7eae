#pragma once
#include <QWidget>

#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/help_viewer.h"
#include "platform/process_starter.h"

namespace norvane {

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent) : parent_(parent) {}
  BoxAnswer MessageBox(const std::string& text, const std::string& title, BoxStyle style) override;
  void Beep() override;
  std::optional<Color> ChooseColor(Color preset) override;

 private:
  QWidget* parent_;
};

// Starts programs detached; the working folder's programs are found there first.
class QtProcessStarter : public ProcessStarter {
 public:
  bool Start(const std::string& commandLine, WindowMode mode) override;
};

class QtEventPump : public EventPump {
 public:
  void ProcessEvents() override;
};

// Shows "norvane.hlp" in a window, scrolled to the topic that starts with the keyword.
class QtHelpViewer : public HelpViewer {
 public:
  explicit QtHelpViewer(QWidget* parent) : parent_(parent) {}
  void ShowHelp(const std::string& helpFile, const std::string& keyword) override;

 private:
  QWidget* parent_;
};

}  // namespace norvane
