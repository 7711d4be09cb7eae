#include "ui/qt/app_wiring.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <map>
#include <memory>
#include <set>

#include "commands/process_queue.h"
#include "commands/scheduler.h"
#include "core/lenient_number.h"
#include "core/number_text.h"
#include "core/time_stamp.h"
#include "grid/grid_builder_driver.h"
#include "map/draw_map.h"
#include "map/map_file.h"
#include "map/projected_outline.h"
#include "map/projection.h"
#include "map/redraw.h"
#include "map/symbol_table.h"
#include "obs/observation_store.h"
#include "obs/station_queries.h"
#include "script/at_command.h"
#include "script/script_interpreter.h"
#include "ui/qt/main_window.h"
#include "ui/qt/map_widget.h"
#include "ui/qt/region_dialog.h"
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

// PLOT layer words and the menu items that carry their check marks.
const std::map<std::string, std::string> kPlotItems = {
    {"WEATHER", "mnuWeather"}, {"WIND", "mnuWinds"},      {"CEILING", "mnuCIG"},        {"TEMPERATURE", "mnuTemp"},
    {"DEWPOINT", "mnuDP"},     {"BARB", "mnuWindBarbs"}, {"RH", "mnuRH"},             {"STATIONS", "mnuStations"},
    {"POINTS", "mnuPoints"}};

// The script layers in redraw order, by the menu item that switches each.
const char* const kScriptLayerItems[] = {
    "mnuC_Cigs",  "mnuC_DP",    "mnuC_Temp",  "mnuC_WSavg",  "mnuC_WSmax",  "mnuC_SLP",    "mnuG_Cigs",
    "mnuG_DP",    "mnuG_Temp",  "mnuG_WBarb", "mnuG_WSavg",  "mnuG_WSmax",  "mnuG_SLP",    "mnuC3_DP",
    "mnuC3_SLP",  "mnuC3_Temp", "mnuC6_DP",   "mnuC6_SLP",   "mnuC6_Temp",  "mnuC12_DP",   "mnuC12_SLP",
    "mnuC12_Temp", "mnuC24_DP", "mnuC24_SLP", "mnuC24_Temp", "mnuWindChill", "mnuMoistConv", "mnuMixingRatio",
    "mnuRelativeHumidity"};

}  // namespace

struct AppWiring::State {
  explicit State(MainWindow& w)
      : host(w, stopRequested),
        scripts(host, w.files(), w.clock(), w.random(), globals) {}
  bool stopRequested = false;
  std::set<std::string> handled;
  GlobalVariables globals;
  WindowScriptHost host;
  ScriptRunner scripts;
  ObservationStore store;
  ProcessQueue queue;
  std::unique_ptr<Scheduler> scheduler;
  SymbolTable symbols;
  std::vector<MapRecord> mapPoints;
  MapProjection projection;
  ProjectedOutline outline;
  RedrawState redraw;
};

AppWiring::AppWiring(MainWindow& window) : window_(window), state_(new State(window)) {
  State& s = *state_;
  MainWindow& w = window_;
  SchedulerServices services;
  services.fs = &w.files();
  services.clock = &w.clock();
  services.starter = &w.starter();
  services.reporter = &w.log();
  services.runScript = [this](const std::string& name) { RunScript(name, {}); };
  services.setStatusLabel = [this](const std::string& text) { SetStatus(text, false); };
  services.pumpEvents = [this] { window_.events().ProcessEvents(); };
  s.scheduler = std::make_unique<Scheduler>(s.queue, w.settings(), services);
  // The random pick of a server and the script constant RANDOM start from the clock.
  w.random().Seed(static_cast<std::uint32_t>(w.clock().SecondsSinceMidnight() * 1000));

  CommandHooks& h = w.exec().Hooks();
  h.runScript = [this](const std::string& name, const CommandWords& words, const std::string&) {
    ScriptArguments args;
    for (int k = 0; k < 9; ++k) args[static_cast<std::size_t>(k)] = words[k + 2];
    RunScript(name, args);
  };
  h.atHolds = [this](const std::string& when) { return AtConditionHolds(when, MinutesNow(window_.clock())); };
  h.loadObs = [this] {
    FileSystem& fs = window_.files();
    // A child may be replacing the store right now: never read it then.
    if (fs.Exists(kLockFile) || !fs.List("", "*.pid").empty()) {
      window_.log().LogProcessMessage("Observations not loaded - a background process is running");
      return;
    }
    window_.log().LogProcessMessage("Loading observations");
    const LoadResult r = LoadStore(fs, state_->store);
    if (!r.problem.empty()) window_.log().ShowMessage(r.problem);
  };
  auto answer = [this](const QueryAnswer& a) {
    for (const std::string& m : a.messages) window_.log().ShowMessage(m);
    if (a.replaceOutput) window_.ReplaceOutputBox(*a.replaceOutput);
  };
  h.stationListing = [this, answer](const CommandWords& words) {
    answer(StationReportListing(window_.files(), state_->store, words[1], words[2], MinutesNow(window_.clock())));
  };
  h.whois = [this, answer](const std::string& id) { answer(StationDescription(window_.files(), id)); };
  h.near = [this, answer](const CommandWords& words) {
    answer(NearbyStations(window_.files(), words[1], words[2], words[3], window_.settings().WatchDistance,
                          window_.settings().EarthRadius));
  };
  h.getObs = [this] { QueueDownloadFor(""); };
  h.listQueue = [this] { ListQueue(state_->queue, window_.log()); };
  h.kill = [this](const std::string& which) { KillProcesses(state_->queue, which, window_.files(), window_.log()); };
  h.buildGrid = [this](const CommandWords& words, const std::string& suffix) {
    std::array<float, 6> box{};
    for (int k = 0; k < 6; ++k) box[static_cast<std::size_t>(k)] = static_cast<float>(LenientNumber(words[k + 2]));
    // Check the numbers before a process number is used up.
    const auto checked = GridBuildCommandLine(ToLower(words[1]), box, LenientNumber(words[8]), LenientNumber(words[9]),
                                              LenientNumber(words[10]), "0");
    if (!checked.line) {
      window_.log().ShowMessage(checked.message + suffix);
      return;
    }
    const std::string number = state_->queue.TakeProcessNumber();
    const auto line = GridBuildCommandLine(ToLower(words[1]), box, LenientNumber(words[8]), LenientNumber(words[9]),
                                           LenientNumber(words[10]), number);
    window_.log().LogProcessMessage("Queuing grid as PID " + number);
    const int position = state_->queue.Add(*line.line, number);
    if (position >= 0)
      window_.log().LogProcessMessage("PID " + number + " is number " + std::to_string(position) + " in the queue");
    else
      window_.log().ShowMessage("!!! !!! PID " + number +
                                " is was unable to be queued - queue is full!!!  Edit your script files for less processing time");
  };
  h.plot = [this](const std::string& layer, const std::string& onOff) {
    QAction* a = window_.action(kPlotItems.at(layer));
    if (!a) return false;
    // ON clears the mark and OFF sets it, so that the click that follows gives that state.
    if (onOff == "ON") a->setChecked(false);
    if (onOff == "OFF") a->setChecked(true);
    a->trigger();
    return true;
  };
  h.addLabel = [this](const std::string& text) { state_->redraw.labels.Add(text); };
  h.forceRedraw = [this] { Redraw(true); };
  h.clear = [this](const std::string& which) {
    static const std::map<std::string, std::string> items = {
        {"ALL", "mnuClearAll"}, {"PLOTS", "mnuClearPlots"}, {"CONTOURS", "mnuC_Clear"}, {"GRID", "mnuG_Clear"},
        {"REDRAW", "mnuRemoveRedraw"}};
    MenuChosen(items.at(which));
  };

  s.handled = {"mnuRunScript", "mnuRefreshNow", "mnuRefreshNow1", "mnuRefreshStatus", "mnuDL", "mnuSpecialDownload",
               "mnuClearPlots", "mnuClearAll", "mnuC_Clear", "mnuG_Clear", "mnuRemoveRedraw", "mnuWindsWeather",
               "mnuMapForeColor", "mnuDefineMap"};
  for (const auto& [word, item] : kPlotItems) s.handled.insert(item);
  for (const char* item : kScriptLayerItems) s.handled.insert(item);
  for (int g : {3, 6, 12, 24})
    for (int hours : {3, 6, 12, 24}) s.handled.insert("mnuC" + std::to_string(g) + "_Build@" + std::to_string(hours));
}

AppWiring::~AppWiring() { delete state_; }

void AppWiring::SetStatus(const std::string& text, bool busy) {
  QLabel* label = window_.statusLabel();
  label->setText(QString::fromStdString(text));
  label->setStyleSheet(busy ? "background-color: rgb(255,80,80);" : "");
  label->setVisible(!text.empty());
}

void AppWiring::QueueDownloadFor(const std::string& stamp) {
  QueueDownload(state_->queue, window_.settings(), stamp, window_.clock(), window_.random(), window_.dialogs(),
                window_.log(), [this] {
                  window_.log().ShowMessage("Set the observation server templates in 'norvane.ini' (\"[OB SERVER 1]\" "
                                            "to \"[OB SERVER 4]\" and \"[ACTIVE OB SERVER]\")");
                });
}

void AppWiring::RunScript(const std::string& name, const ScriptArguments& args) {
  // Escape stops the script that is running now, not the next one.
  if (state_->scripts.Depth() == 0) state_->stopRequested = false;
  state_->scripts.RunScript(name, args);
}

void AppWiring::ProjectView() {
  State& s = *state_;
  s.projection = MapProjection::FromSettings(window_.settings(), window_.map()->width(), window_.map()->height());
  s.outline = ProjectMap(s.projection, s.mapPoints);
}

void AppWiring::LoadOutline() {
  window_.log().LogProcessMessage("Loading map values");
  state_->mapPoints = LoadMap(window_.files()).points;
  ProjectView();
}

void AppWiring::LoadAtStartup() {
  State& s = *state_;
  FileSystem& fs = window_.files();
  s.store.Clear();
  LoadOutline();
  s.symbols.Load(fs, "", [this](const std::string& m) { window_.log().ShowMessage(m); });
}

void AppWiring::RunStartupScript() { RunScript("startup.nvs", {}); }

void AppWiring::Tick() { state_->scheduler->Tick(); }

void AppWiring::Redraw(bool force) {
  State& s = *state_;
  MainWindow& w = window_;
  if (force) s.redraw.force = true;
  if (s.redraw.running) return;
  const Settings& settings = w.settings();
  auto checked = [&](const char* item) {
    QAction* a = w.action(item);
    return a && a->isChecked();
  };
  RedrawInputs in;
  in.store = &s.store;
  in.now = MinutesNow(w.clock());
  in.nowStamp = NowStamp(w.clock());
  in.obClearTime = settings.ObClearTime;
  in.useCelsius = settings.UseCelsius;
  in.minWind = settings.MinWind;
  in.plottedWx = settings.PlottedWx;
  in.autoRefresh = checked("mnuRefreshStatus");
  in.plots.points = checked("mnuPoints");
  in.plots.stations = checked("mnuStations");
  in.plots.dewPoint = checked("mnuDP");
  in.plots.temperature = checked("mnuTemp");
  in.plots.ceilings = checked("mnuCIG");
  in.plots.weather = checked("mnuWeather");
  in.plots.winds = checked("mnuWinds");
  in.plots.humidity = checked("mnuRH");
  in.plots.windBarbs = checked("mnuWindBarbs");
  in.scriptLayers = DefaultScriptLayers();
  for (std::size_t k = 0; k < in.scriptLayers.size() && k < std::size(kScriptLayerItems); ++k)
    in.scriptLayers[k].checked = checked(kScriptLayerItems[k]);
  in.symbols = &s.symbols;

  const int width = w.map()->width(), height = w.map()->height();
  if (w.canvas().Width() != std::max(1, width) || w.canvas().Height() != std::max(1, height))
    w.canvas().Resize(width, height);
  s.projection.Width = width;
  s.projection.Height = height;
  RedrawHost host;
  host.logProcessMessage = [&w](const std::string& m) { w.log().LogProcessMessage(m); };
  host.setStatus = [this](const std::string& text, bool busy) { SetStatus(text, busy); };
  host.processEvents = [&w] { w.events().ProcessEvents(); };
  host.redrawScriptExists = [&w](const std::string& name) { return w.files().Exists(w.files().Resolve("scripts/" + name)); };
  host.runScript = [this](const std::string& name, const std::array<std::string, 9>& args) { RunScript(name, args); };
  host.exec = [&w](const std::string& line) { w.exec().Exec(line, ""); };
  host.updateScale = [&s](int wd, int ht) { return s.projection.UpdateScale(wd, ht); };
  host.drawMap = [&s, &settings](Canvas& c) { Draw_Map(c, s.projection, s.outline, settings.MapForeColor); };
  host.place = ProjectionPlacer(s.projection);
  if (norvane::Redraw(s.redraw, in, host, w.canvas())) w.RepaintMap();
}

void AppWiring::RequestStop() {
  if (state_->scripts.Depth() > 0) state_->stopRequested = true;
}

bool AppWiring::RedrawRunning() const { return state_->redraw.running; }

void AppWiring::MenuChosen(const std::string& name) {
  MainWindow& w = window_;
  auto uncheck = [&w](std::initializer_list<const char*> items) {
    for (const char* item : items)
      if (QAction* a = w.action(item)) a->setChecked(false);
  };
  const char* plotMarks[] = {"mnuCIG", "mnuRH", "mnuWinds", "mnuWeather", "mnuDP", "mnuTemp", "mnuWindBarbs", "mnuPoints"};
  if (name == "mnuRunScript") {
    ScriptDialog dialog(w.files(), w.dialogs(), &w);
    if (dialog.exec() == QDialog::Accepted && !dialog.Result().empty()) w.RunCommand(dialog.Result());
  } else if (name == "mnuRefreshNow" || name == "mnuRefreshNow1") {
    QCoreApplication::processEvents();
    Redraw(true);
  } else if (name == "mnuRefreshStatus") {
    QAction* a = w.action("mnuRefreshStatus");
    w.settings().AutoRefresh = a->isChecked();
    a->setText(a->isChecked() ? "Auto Refresh is ON" : "Auto Refresh is OFF");
    w.SaveSettingsNow();
    Redraw(false);
  } else if (name == "mnuDL") {
    QueueDownloadFor("");
  } else if (name == "mnuSpecialDownload") {
    SpecialDownloadDialog dialog(NowStamp(w.clock()), MinutesNow(w.clock()), w.dialogs(), &w);
    if (dialog.exec() == QDialog::Accepted && !dialog.Result().empty()) QueueDownloadFor(dialog.Result() + "00");
  } else if (name == "mnuClearPlots" || name == "mnuClearAll") {
    for (const char* item : plotMarks) uncheck({item});
    if (name == "mnuClearAll") {
      for (const char* item : kScriptLayerItems) uncheck({item});
      w.files().Remove(w.files().Resolve("scripts/redraw.nvs"));
      QCoreApplication::processEvents();
    }
    Redraw(true);
  } else if (name == "mnuC_Clear" || name == "mnuG_Clear") {
    const char prefix = name == "mnuC_Clear" ? 'C' : 'G';
    for (const char* item : kScriptLayerItems) {
      const std::string n = item;
      const bool contour = n.rfind("mnuG_", 0) != 0;
      if ((prefix == 'C') == contour) uncheck({item});
    }
    Redraw(true);
  } else if (name == "mnuRemoveRedraw") {
    w.files().Remove(w.files().Resolve("scripts/redraw.nvs"));
    Redraw(true);
  } else if (name == "mnuWindsWeather") {
    for (const char* item : {"mnuWinds", "mnuWeather"})
      if (QAction* a = w.action(item)) a->setChecked(true);
    Redraw(false);
  } else if (name == "mnuDefineMap") {
    SelectRegionDialog dialog(w.files(), w.dialogs(), &w);
    if (dialog.exec() == QDialog::Accepted) LoadOutline();
    Redraw(true);
  } else if (name == "mnuMapForeColor") {
    if (auto c = w.dialogs().ChooseColor(w.settings().MapForeColor)) w.settings().MapForeColor = *c;
    w.SaveSettingsNow();
    Redraw(true);
  } else if (name.rfind("mnuC", 0) == 0 && name.find("_Build@") != std::string::npos) {
    const std::string hours = name.substr(4, name.find('_') - 4);
    ScriptArguments args;
    args[0] = hours;
    RunScript("buildgrid.nvs", args);
  } else {
    // Plot and layer items: the check mark has already toggled; draw the new state.
    Redraw(false);
  }
}

bool AppWiring::Handles(const std::string& name) const { return state_->handled.count(name) > 0; }

}  // namespace norvane
