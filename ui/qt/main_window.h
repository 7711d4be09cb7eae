#pragma once
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <map>
#include <set>
#include <memory>

#include "commands/command_history.h"
#include "commands/command_interpreter.h"
#include "commands/output_log.h"
#include "core/local_file_system.h"
#include "core/settings.h"
#include "core/system_clock.h"
#include "ui/qt/qt_canvas.h"
#include "ui/qt/qt_platform.h"

namespace norvane {

class CommandBox;
class MapWidget;
class AppWiring;

// `frmMain`: the map window, its text boxes and menus. The work behind the
// controls lives in the area libraries; this class only connects them.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(const std::filesystem::path& workingFolder);
  ~MainWindow() override;
  // Start-up steps after the single-instance check (folders, settings, map, ...).
  void Start();

  // Pieces the wiring needs.
  Settings& settings() { return settings_; }
  OutputLog& log() { return log_; }
  LocalFileSystem& files() { return files_; }
  SystemClock& clock() { return clock_; }
  StandardRandom& random() { return random_; }
  QtDialogs& dialogs() { return dialogs_; }
  QtProcessStarter& starter() { return starter_; }
  QtEventPump& events() { return events_; }
  CommandInterpreter& exec() { return *exec_; }
  QtCanvas& canvas() { return canvas_; }
  MapWidget* map() { return picPlot_; }
  QAction* action(const std::string& name) { return actions_.count(name) ? actions_[name] : nullptr; }
  QLabel* statusLabel() { return lblNum_; }
  QLabel* latLongLabel() { return lblLatLong_; }
  QPlainTextEdit* watchBox() { return txtWatch_; }
  void Layout();
  void SaveSettingsNow();
  void RepaintMap();
  // Shows a text in the output box without adding it to the log (NEAR's not-found answer).
  void ReplaceOutputBox(const std::string& text);
  // Runs a command line as the command box does (also used by menus).
  void RunCommand(const std::string& line);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  QAction* Item(QMenu* menu, const QString& caption, const std::string& name, std::function<void()> handler = {});
  void DrawStartupNotice();
  void Tick();
  void KeepFocus();
  void ApplyTextColours();

  LocalFileSystem files_;
  SystemClock clock_;
  StandardRandom random_;
  QtDialogs dialogs_{this};
  QtProcessStarter starter_;
  QtEventPump events_;
  QtHelpViewer help_{this};
  Settings settings_;
  OutputLog log_;
  CommandHistory history_;
  std::unique_ptr<CommandInterpreter> exec_;
  std::unique_ptr<AppWiring> wiring_;
  QtCanvas canvas_;

  MapWidget* picPlot_ = nullptr;
  CommandBox* txtCmd_ = nullptr;
  QPlainTextEdit* txtOb_ = nullptr;
  QPlainTextEdit* txtWatch_ = nullptr;
  QGroupBox* fraControl_ = nullptr;
  QLabel* lblLatLong_ = nullptr;
  QLabel* lblNum_ = nullptr;
  QPushButton* cmdRedraw_ = nullptr;
  QTimer tmrDL_;
  std::map<std::string, QAction*> actions_;
  std::set<std::string> directItems_;  // items whose work is done by the window itself
  std::vector<QMenu*> topMenus_;

  bool windowActive_ = false;
  bool commandHasFocus_ = false;
  bool resizing_ = false;
  bool started_ = false;
};

}  // namespace norvane
