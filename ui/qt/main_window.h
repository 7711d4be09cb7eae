#pragma once
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <map>
#include <memory>

#include "app/app_platform.h"
#include "app/main_program.h"
#include "commands/command_history.h"
#include "core/local_file_system.h"
#include "core/system_clock.h"
#include "ui/qt/qt_app_windows.h"
#include "ui/qt/qt_canvas.h"
#include "ui/qt/qt_platform.h"

namespace norvane {

class CommandBox;
class MapWidget;

// `frmMain`: builds the controls, hands every event to the main program by the
// control's name and shows what the program says.
class MainWindow : public QMainWindow, private AppView {
  Q_OBJECT
 public:
  explicit MainWindow(const std::filesystem::path& workingFolder);
  ~MainWindow() override;
  // Start-up after the single-instance check.
  void Start();

  MainProgram& program() { return *program_; }
  const OutputLog& log() const { return program_->Log(); }
  QAction* action(const std::string& name) { return actions_.count(name) ? actions_[name] : nullptr; }
  // Runs a command line as the command box does.
  void RunCommand(const std::string& line) { program_->Exec(line); }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What the program says.
  void OutputChanged(const std::string& text) override;
  void StatusChanged(const std::string& text, bool busy) override;
  void MapChanged() override;
  void WatchChanged(const std::string& text) override;
  void PositionChanged(const std::string& text) override;
  void PopUpMenu(const std::string& menu, int x, int y) override;
  void MenusChanged() override;
  void LayoutChanged() override;
  void FocusCommandBox() override;
  void BusyChanged(bool shown) override;
  void Quit() override;

  void BuildControls();
  void BuildMenus(QMenu* parent, const std::vector<MenuEntry>& entries);
  void Choose(const std::string& control);

  LocalFileSystem files_;
  SystemClock clock_;
  StandardRandom random_;
  QtDialogs dialogs_{this};
  QtProcessStarter starter_;
  QtEventPump events_;
  QtHelpViewer help_{this};
  QtCanvas canvas_;
  QtPrinter printer_;
  QtProgramRunner runner_;
  QtAppWindows windows_;
  CommandHistory history_;
  std::unique_ptr<MainProgram> program_;

  MapWidget* picPlot_ = nullptr;
  CommandBox* txtCmd_ = nullptr;
  QPlainTextEdit* txtOb_ = nullptr;
  QPlainTextEdit* txtWatch_ = nullptr;
  QGroupBox* fraControl_ = nullptr;
  QLabel* lblLatLong_ = nullptr;
  QLabel* lblNum_ = nullptr;
  QPushButton* cmdRedraw_ = nullptr;
  QWidget* frmBusy_ = nullptr;
  QTimer tmrDL_;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, QMenu*> menus_;
};

}  // namespace norvane
