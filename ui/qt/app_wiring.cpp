#include "ui/qt/app_wiring.h"

#include <QCoreApplication>
#include <set>

#include "core/time_stamp.h"
#include "obs/observation_store.h"
#include "script/at_command.h"
#include "script/script_interpreter.h"
#include "ui/qt/main_window.h"
#include "ui/qt/script_dialog.h"
#include "ui/qt/special_download_dialog.h"

namespace norvane {

namespace {

// Scripts talk to the rest of the program through the command interpreter and the log.
class WindowScriptHost : public ScriptHost {
 public:
  WindowScriptHost(MainWindow& w, bool& stop) : window_(w), stop_(stop) {}
  void Exec(const std::string& line, const std::string& suffix) override { window_.exec().Exec(line, suffix); }
  void ShowMessage(const std::string& text) override { window_.log().ShowMessage(text); }
  void LogProcessMessage(const std::string& text) override { window_.log().LogProcessMessage(text); }
  void ProcessEvents() override { window_.events().ProcessEvents(); }
  bool StopRequested() override { return stop_; }

 private:
  MainWindow& window_;
  bool& stop_;
};

}  // namespace

struct AppWiring::State {
  explicit State(MainWindow& w)
      : host(w, stopRequested), scripts(host, w.files(), w.clock(), w.random(), globals) {}
  bool redrawRunning = false;
  bool stopRequested = false;
  std::set<std::string> handled;
  GlobalVariables globals;
  WindowScriptHost host;
  ScriptRunner scripts;
  ObservationStore store;
  std::int32_t lastCronMinute = 0;
};

AppWiring::AppWiring(MainWindow& window) : window_(window), state_(new State(window)) {
  State& s = *state_;
  CommandHooks& h = window.exec().Hooks();
  h.runScript = [this](const std::string& name, const CommandWords& w, const std::string&) {
    ScriptArguments args;
    for (int k = 0; k < 9; ++k) args[static_cast<std::size_t>(k)] = w[k + 2];
    RunScript(name, args);
  };
  h.atHolds = [this](const std::string& spec) { return AtConditionHolds(spec, MinutesNow(window_.clock())); };
  h.loadObs = [this] {
    FileSystem& fs = window_.files();
    // A child may be replacing the store right now: never read it then.
    if (fs.Exists("lock.zzz") || !fs.List("", "*.pid").empty()) {
      window_.log().LogProcessMessage("Observations not loaded - a background process is running");
      return;
    }
    window_.log().LogProcessMessage("Loading observations");
    const LoadResult r = LoadStore(fs, state_->store);
    if (!r.problem.empty()) window_.log().ShowMessage(r.problem);
  };
  s.handled = {"mnuRunScript", "mnuRefreshNow", "mnuRefreshNow1", "mnuRefreshStatus", "mnuWatchProcess"};
}

AppWiring::~AppWiring() { delete state_; }

void AppWiring::RunScript(const std::string& name, const ScriptArguments& args) {
  // Escape stops the script that is running now, not the next one.
  if (state_->scripts.Depth() == 0) state_->stopRequested = false;
  state_->scripts.RunScript(name, args);
}

void AppWiring::LoadAtStartup() { state_->store.Clear(); }

void AppWiring::RunStartupScript() { RunScript("startup.nvs", {}); }

void AppWiring::Tick() {
  State& s = *state_;
  const std::int32_t minute = MinutesNow(window_.clock());
  if (minute != s.lastCronMinute) {
    s.lastCronMinute = minute;
    RunScript("cron.nvs", {});
  }
}

void AppWiring::Redraw(bool) {}

void AppWiring::RequestStop() {
  if (state_->scripts.Depth() > 0) state_->stopRequested = true;
}

bool AppWiring::RedrawRunning() const { return state_->redrawRunning; }

void AppWiring::MenuChosen(const std::string& name) {
  if (name == "mnuRunScript") {
    ScriptDialog dialog(window_.files(), window_.dialogs(), &window_);
    if (dialog.exec() == QDialog::Accepted && !dialog.Result().empty()) window_.RunCommand(dialog.Result());
  } else if (name == "mnuRefreshNow" || name == "mnuRefreshNow1") {
    QCoreApplication::processEvents();
    Redraw(true);
  } else if (name == "mnuRefreshStatus") {
    QAction* a = window_.action("mnuRefreshStatus");
    window_.settings().AutoRefresh = a->isChecked();
    a->setText(a->isChecked() ? "Auto Refresh is ON" : "Auto Refresh is OFF");
    window_.SaveSettingsNow();
    Redraw(false);
  }
}

bool AppWiring::Handles(const std::string& name) const { return state_->handled.count(name) > 0; }

}  // namespace norvane
