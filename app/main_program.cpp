#include "app/main_program.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "core/lenient_number.h"
#include "core/number_text.h"
#include "core/time_stamp.h"
#include "commands/print_chart.h"
#include "commands/save_picture.h"
#include "commands/special_download.h"
#include "contour/grid_display.h"
#include "core/working_folder.h"
#include "grid/grid_builder_driver.h"
#include "map/bmp_image.h"
#include "map/draw_map.h"
#include "map/grid_region.h"
#include "map/station_pickup.h"
#include "map/view_change.h"
#include "map/view_fit.h"
#include "map/zoom_slots.h"
#include "map/plot_menu.h"
#include "map/station_model.h"
#include "obs/station_queries.h"
#include "script/at_command.h"
#include "watch/meteogram.h"
#include "watch/verification_map.h"
#include "watch/verification_views.h"

namespace norvane {

namespace {

constexpr const char* kRedrawScript = "scripts/redraw.nvs";

// PLOT words and the plot items they switch.
const std::map<std::string, PlotItem>& PlotWords() {
  static const std::map<std::string, PlotItem> words = {
      {"WEATHER", PlotItem::Weather},   {"WIND", PlotItem::Winds},   {"CEILING", PlotItem::Ceilings},
      {"TEMPERATURE", PlotItem::Temperature}, {"DEWPOINT", PlotItem::DewPoint}, {"BARB", PlotItem::WindBarbs},
      {"RH", PlotItem::Humidity},       {"STATIONS", PlotItem::Stations}, {"POINTS", PlotItem::Points},
      {"MODEL", PlotItem::Model}};
  return words;
}

// The plot items by control name, with the switch each mark mirrors.
struct PlotControl {
  const char* control;
  PlotItem item;
  bool PlotSwitches::*mark;
};
constexpr PlotControl kPlotControls[] = {
    {"mnuTemp", PlotItem::Temperature, &PlotSwitches::temperature},
    {"mnuDP", PlotItem::DewPoint, &PlotSwitches::dewPoint},
    {"mnuRH", PlotItem::Humidity, &PlotSwitches::humidity},
    {"mnuCIG", PlotItem::Ceilings, &PlotSwitches::ceilings},
    {"mnuWindBarbs", PlotItem::WindBarbs, &PlotSwitches::windBarbs},
    {"mnuModel", PlotItem::Model, &PlotSwitches::model},
    {"mnuWinds", PlotItem::Winds, &PlotSwitches::winds},
    {"mnuWeather", PlotItem::Weather, &PlotSwitches::weather},
    {"mnuWindsWeather", PlotItem::WindsAndWeather, &PlotSwitches::windsAndWeather},
    {"mnuPoints", PlotItem::Points, &PlotSwitches::points},
    {"mnuStations", PlotItem::Stations, &PlotSwitches::stations},
};

// A child (download or grid build) may be replacing the store while either exists.
bool ChildRunning(const FileSystem& fs) { return fs.Exists(kLockFile) || !fs.List("", "*.pid").empty(); }

void RemoveRedrawScript(FileSystem& fs) {
  const std::string path = fs.Resolve(kRedrawScript);
  if (fs.Exists(path)) fs.Remove(path);
}

}  // namespace

// Scripts reach the rest of the program through the command interpreter and the log.
class MainProgram::Host : public ScriptHost {
 public:
  explicit Host(MainProgram& program) : program_(program) {}
  void Exec(const std::string& line, const std::string& suffix) override { program_.exec_->Exec(line, suffix); }
  void ShowMessage(const std::string& text) override { program_.log_.ShowMessage(text); }
  void LogProcessMessage(const std::string& text) override { program_.log_.LogProcessMessage(text); }
  void ProcessEvents() override { program_.p_.events.ProcessEvents(); }
  bool StopRequested() override { return program_.stopRequested_; }
  std::optional<std::string> Constant(const std::string& name) override { return program_.ProgramConstant(name); }

 private:
  MainProgram& program_;
};

MainProgram::MainProgram(AppPlatform platform) : p_(platform), host_(std::make_unique<Host>(*this)) {
  layers_ = DefaultScriptLayers();
  log_.onRefresh = [this](const std::string& text) { p_.view.OutputChanged(text); };
  scripts_ = std::make_unique<ScriptRunner>(*host_, p_.files, p_.clock, p_.random, globals_);
  exec_ = std::make_unique<CommandInterpreter>(CommandContext{log_, p_.dialogs, p_.starter, p_.help, p_.files},
                                               CommandHooks{});
  SchedulerServices services;
  services.fs = &p_.files;
  services.clock = &p_.clock;
  services.starter = &p_.starter;
  services.reporter = &log_;
  services.runScript = [this](const std::string& name) { RunScript(name); };
  services.setStatusLabel = [this](const std::string& text) { SetStatus(text, false); };
  services.pumpEvents = [this] { p_.events.ProcessEvents(); };
  services.watchNewReports = [this] { return WatchNewReports(); };
  scheduler_ = std::make_unique<Scheduler>(queue_, settings_, services);
  BuildHooks();
  BuildActions();
  for (const auto& [name, state] : menus_.Items()) {
    if (actions_.count(name) == 0 &&
        std::find(MenuModel::TopMenus().begin(), MenuModel::TopMenus().end(), name) == MenuModel::TopMenus().end() &&
        !state.caption.empty() && name.rfind("mnuZoom", 0) != 0)
      menus_[name].enabled = false;
  }
  // Submenus of the bar stay usable; only items without work behind them are grey.
  for (const char* submenu : {"mnuPlots", "mnuContours", "mnuGrid", "mnuColors", "mnuC3", "mnuC6", "mnuC12", "mnuC24"})
    menus_[submenu].enabled = true;
  menus_.SetChecked("mnuWatchProcess", true);
}

MainProgram::~MainProgram() = default;

void MainProgram::BuildHooks() {
  CommandHooks& h = exec_->Hooks();
  h.runScript = [this](const std::string& name, const CommandWords& words, const std::string&) {
    ScriptArguments args;
    for (int k = 0; k < 9; ++k) args[static_cast<std::size_t>(k)] = words[k + 2];
    RunScript(name, args);
  };
  h.atHolds = [this](const std::string& when) { return AtConditionHolds(when, MinutesNow(p_.clock)); };
  h.loadObs = [this] {
    // A child may be replacing the store right now: never read it then.
    if (ChildRunning(p_.files)) {
      log_.LogProcessMessage("Observations not loaded - a background process is running");
      return;
    }
    log_.LogProcessMessage("Loading observations");
    const LoadResult r = LoadStore(p_.files, store_);
    if (!r.problem.empty()) log_.ShowMessage(r.problem);
  };
  auto answer = [this](const QueryAnswer& a) {
    for (const std::string& m : a.messages) log_.ShowMessage(m);
    if (a.replaceOutput) p_.view.OutputChanged(*a.replaceOutput);
  };
  h.stationListing = [this, answer](const CommandWords& words) {
    answer(StationReportListing(p_.files, store_, words[1], words[2], MinutesNow(p_.clock)));
  };
  h.meteogram = [this](const std::string& id, double hours, const std::string& suffix) {
    ShowMeteogram(id, hours, suffix);
  };
  h.whois = [this, answer](const std::string& id) { answer(StationDescription(p_.files, id)); };
  h.near = [this, answer](const CommandWords& words) {
    answer(NearbyStations(p_.files, words[1], words[2], words[3], settings_.WatchDistance, settings_.EarthRadius));
  };
  // GETOBS YYYYMMDDHH: the special download's work, with its checks.
  h.getObs = [this](const std::string& hour) {
    if (hour.empty()) return QueueDownloadFor("");
    const SpecialDownloadCheck check = CheckSpecialDownload(hour.substr(0, 4), hour.substr(std::min<std::size_t>(4, hour.size()), 2),
                                                            hour.substr(std::min<std::size_t>(6, hour.size()), 2),
                                                            hour.substr(std::min<std::size_t>(8, hour.size())), MinutesNow(p_.clock));
    if (!check.ok) return log_.ShowMessage(check.message);
    QueueDownloadFor(check.stamp + "00");
  };
  h.listQueue = [this] { ListQueue(queue_, log_); };
  // KILL lists the queue itself once the interpreter has run it.
  h.kill = [this](const std::string& which) { KillProcesses(queue_, which, p_.files, log_); };
  h.buildGrid = [this](const CommandWords& words, const std::string& suffix) { QueueGridBuild(words, suffix); };
  h.plot = [this](const std::string& layer, const std::string& onOff) {
    if (layer == "THIN") {
      thinning_ = onOff == "ON" ? true : onOff == "OFF" ? false : !thinning_;
      MenusChanged();
      Redraw(false);
      return true;
    }
    const auto it = PlotWords().find(layer);
    if (it == PlotWords().end()) return false;
    std::optional<bool> wanted;
    if (onOff == "ON") wanted = true;
    if (onOff == "OFF") wanted = false;
    SetPlotItem(plots_, it->second, wanted);
    MenusChanged();
    Redraw(false);
    return true;
  };
  h.showGrid = [this](const std::string& name, const std::string& field, int rgb, const std::string& format) {
    NoteLayerColour(rgb);
    GridDisplayContext context = GridContext();
    ShowGridCommand(context, name, field, rgb, format);
    p_.view.MapChanged();
  };
  h.drawContours = [this](const std::string& name, const std::string& name2, const std::string& field, double start,
                          double end, double interval, int rgb, int thickness, const std::string& format) {
    NoteLayerColour(rgb);
    if (!name2.empty()) NoteDiffHours(name, name2);
    GridDisplayContext context = GridContext();
    DrawContoursCommand(context, name, name2, field, start, end, interval, rgb, thickness, format);
    p_.view.MapChanged();
  };
  // A layer's label takes the colour the layer drew in, so the labels read as a legend.
  h.addLabel = [this](const std::string& text) {
    redraw_.labels.Add(text, labelColour_.value_or(Rgb(0, 0, 0)));
    labelColour_.reset();
  };
  h.print = [this](const CommandWords& words) { Print(words); };
  h.savePicture = [this](const std::string& name, const std::string& quality) { SavePictureNow(name, quality); };
  h.forceRedraw = [this] { Redraw(true); };
  h.loop = [this](int hours) { hours > 0 ? StartLoop(hours) : EndLoop(""); };
  h.clear = [this](const std::string& which) {
    static const std::map<std::string, std::string> items = {
        {"ALL", "mnuClearAll"}, {"PLOTS", "mnuClearPlots"}, {"CONTOURS", "mnuC_Clear"}, {"GRID", "mnuG_Clear"},
        {"REDRAW", "mnuRemoveRedraw"}};
    const auto it = items.find(which);
    if (it != items.end()) Choose(it->second);
  };
  BuildMapHooks();
}

GridDisplayContext MainProgram::GridContext() {
  // Each display works on its own copy of the view: a tick during its event passes
  // may change the live one.
  const MapProjection& view = redrawView_ ? *redrawView_ : projection_;
  return GridDisplayContext{p_.files, log_, p_.canvas, FrozenProjectionPlacer(view), view.Scale,
                            settings_.UseCelsius, [this] { p_.events.ProcessEvents(); }};
}

void MainProgram::RunScript(const std::string& name, const ScriptArguments& args) {
  // Escape stops the script that is running now, not the next one.
  if (scripts_->Depth() == 0) stopRequested_ = false;
  scripts_->RunScript(name, args);
}

void MainProgram::SetStatus(const std::string& text, bool busy) {
  statusText_ = text;
  // A failed download stays in view until one succeeds.
  if (text.empty() && !busy) {
    const std::string problem = scheduler_ ? scheduler_->DownloadProblem() : std::string();
    if (!problem.empty()) {
      statusText_ = store_[0].identifier == kEndIdentifier || store_[0].identifier.empty()
                        ? "No reports yet: " + problem
                        : "Last download: " + problem;
    }
  }
  p_.view.StatusChanged(statusText_, busy);
}

void MainProgram::QueueDownloadFor(const std::string& stamp) {
  QueueDownload(queue_, settings_, stamp, p_.clock, p_.random, p_.dialogs, log_,
                [this] { OpenOptions(OptionsPage::Servers); });
}

void MainProgram::OpenOptions(OptionsPage page) {
  const Settings before = settings_;
  ServerTryHooks tryHooks;
  tryHooks.tryServer = [this](int slot) {
    serverTrial_.Try(slot, queue_, settings_, p_.clock, p_.random, p_.dialogs, log_);
  };
  tryHooks.line = [this] { return serverTrial_.Line(*scheduler_); };
  switch (p_.windows.EditOptions(settings_, page, log_, tryHooks)) {
    case AppWindows::OptionsResult::Cancelled:
      settings_ = before;
      Redraw(false);
      break;
    case AppWindows::OptionsResult::Stored:
      // The dialog has saved them.
      Redraw(false);
      break;
    case AppWindows::OptionsResult::Flushed: p_.view.Quit(); break;
  }
}

void MainProgram::QueueGridBuild(const CommandWords& given, const std::string& suffix) {
  // BUILDGRID name MAP [minutes]: the box, step and radius of the map region.
  auto mapWords = [&] {
    const MapGridBox grid = MapGrid();
    return CommandWords("BUILDGRID " + given[1] + " " + grid.Words() + " " + std::to_string(grid.radius) + " 2 " +
                        (given[3].empty() ? "0" : given[3]));
  };
  const CommandWords words = given[2] == "MAP" ? mapWords() : given;
  std::array<float, 6> box{};
  for (int k = 0; k < 6; ++k) box[static_cast<std::size_t>(k)] = static_cast<float>(LenientNumber(words[k + 2]));
  const std::string name = ToLower(words[1]);
  const double radius = LenientNumber(words[8]), exponent = LenientNumber(words[9]), back = LenientNumber(words[10]);
  // Check the numbers before a process number is used up.
  const auto checked = GridBuildCommandLine(name, box, radius, exponent, back, "0");
  if (!checked.line) {
    log_.ShowMessage(checked.message + suffix);
    return;
  }
  const std::string line = checked.line->substr(0, checked.line->size() - 1);
  // The same build already waiting (a change item right after a download) is not queued twice.
  for (int k = 0; k < queue_.Count(); ++k)
    if (queue_.Row(k).commandLine.rfind(line, 0) == 0) return;
  norvane::QueueGridBuild(queue_, line, log_);
  if (name == "now" && back == 0) RebuildPastGrids(line);
}

bool MainProgram::BackgroundWorkPending() const {
  return queue_.Count() > 0 || ChildRunning(p_.files);
}

void MainProgram::ProjectView() {
  log_.LogProcessMessage("Converting 3D coordinates to 2D coordinates");
  projection_ = MapProjection::FromSettings(settings_, layout_.plot.width, layout_.plot.height);
  outline_ = ProjectMap(projection_, mapPoints_);
}

void MainProgram::LoadOutline() {
  log_.LogProcessMessage("Loading map values");
  mapPoints_ = LoadMap(p_.files).points;
  ProjectView();
}

void MainProgram::SaveSettingsNow() { SaveSettings(p_.files, log_, settings_); }

void MainProgram::MenusChanged() {
  for (const PlotControl& c : kPlotControls) menus_.SetChecked(c.control, plots_.*c.mark);
  for (const ScriptLayer& layer : layers_) menus_.SetChecked(layer.control, layer.checked);
  menus_.SetChecked("mnuThin", thinning_);
  menus_.SetChecked("mnuLoop", loop_.Running());
  p_.view.MenusChanged();
}

void MainProgram::DrawStartupNotice() {
  p_.canvas.Resize(layout_.plot.width, layout_.plot.height);
  p_.canvas.Clear(Rgb(255, 255, 255));
  const Font font{"Times New Roman", 48, false};
  p_.canvas.Text(0, 0, "Updating...", font, Rgb(16, 16, 192));
  p_.canvas.Text(0, p_.canvas.TextHeight("U", font), "This may take some time.", font, Rgb(16, 16, 192));
  p_.view.MapChanged();
}

void MainProgram::Start(int innerWidth, int innerHeight, bool runStartupScript) {
  innerWidth_ = innerWidth;
  innerHeight_ = innerHeight;
  if (!PrepareWorkingFolder(p_.files))
    log_.ShowMessage("Unable to create the folders 'obsfolder' and 'scripts' in the working folder");
  LayoutWindow();
  DrawStartupNotice();
  for (const std::string& menu : MenuModel::TopMenus()) menus_[menu].enabled = false;
  p_.view.MenusChanged();
  redraw_.running = redraw_.force = false;
  store_.Clear();
  LoadSettings(p_.files, p_.dialogs, log_, settings_);
  p_.view.LayoutChanged();  // text colours
  LoadOutline();
  log_.LogProcessMessage("Loading weather symbols");
  symbols_.Load(p_.files, "", [this](const std::string& m) { log_.ShowMessage(m); });
  LoadPointsOfInterest();
  windowActive_ = commandHasFocus_ = true;
  p_.view.FocusCommandBox();
  SanitizeZoomSlots(settings_.Zooms);
  ZoomItemsChanged();
  MenuItemState& refresh = menus_["mnuRefreshStatus"];
  refresh.checked = settings_.AutoRefresh;
  refresh.caption = settings_.AutoRefresh ? "Auto Refresh is ON" : "Auto Refresh is OFF";
  log_.ShowMessage(std::string(kProductName) + " v" + kVersion + " started");
  for (const std::string& menu : MenuModel::TopMenus()) menus_[menu].enabled = true;
  MenusChanged();
  started_ = true;
  LayoutWindow();
  timerEnabled_ = true;
  if (runStartupScript) RunScript("startup.nvs");
}

void MainProgram::FixMapSize(int width, int height) {
  fixedMapWidth_ = width;
  fixedMapHeight_ = height;
}

void MainProgram::LayoutWindow() {
  resizing_ = true;
  LayoutInput in;
  if (fixedMapWidth_ > 0 && fixedMapHeight_ > 0) {
    innerWidth_ = fixedMapWidth_;
    innerHeight_ = fixedMapHeight_ + settings_.TextHeight + in.commandHeight + 4;
  }
  in.innerWidth = innerWidth_;
  in.innerHeight = innerHeight_;
  in.textHeight = settings_.TextHeight;
  in.textWidth = settings_.TextWidth;
  in.zoomControlsShown = menus_.Checked("mnuZoomControls");
  in.latLongWidth = 150;
  layout_ = norvane::LayoutWindow(in);
  p_.view.LayoutChanged();
  // A layout only redraws when a forced redraw is pending.
  if (started_) Redraw(false);
  resizing_ = false;
}

void MainProgram::Resize(int innerWidth, int innerHeight) {
  innerWidth_ = std::max(0, innerWidth);
  innerHeight_ = std::max(0, innerHeight);
  LayoutWindow();
  // The frames were made for the old size.
  if (loop_.Running() && (p_.canvas.Width() != std::max(1, layout_.plot.width) ||
                          p_.canvas.Height() != std::max(1, layout_.plot.height)))
    EndLoop("The loop ended - the map changed size");
}

void MainProgram::Tick() {
  KeepFocus();
  if (loop_.Tick()) DrawLoopFrame();
  if (timerEnabled_) scheduler_->Tick();
}

void MainProgram::Exec(const std::string& line) { exec_->Exec(line, ""); }

void MainProgram::RequestStop() {
  if (scripts_->Depth() > 0) stopRequested_ = true;
}

RedrawInputs MainProgram::CurrentRedrawInputs() {
  RedrawInputs in;
  in.store = &store_;
  in.now = MinutesNow(p_.clock);
  in.nowStamp = NowStamp(p_.clock);
  in.obClearTime = settings_.ObClearTime;
  in.useCelsius = settings_.UseCelsius;
  in.minWind = settings_.MinWind;
  in.plottedWx = settings_.PlottedWx;
  in.plots = plots_;
  in.scriptLayers = layers_;
  in.symbols = &symbols_;
  in.points = plotPoints_;
  in.modelSize = StationModelSize(projection_.ScreenDistance);
  // Models take more room than one value: thinned, they keep clear of each other.
  if (thinning_) in.thinning = plots_.model ? StationModelFootprint(in.modelSize) : PlotFootprint{};
  return in;
}

void MainProgram::Redraw(bool force) {
  // The loop holds the map; ending it redraws with whatever changed meanwhile.
  if (loop_.Running()) return;
  if (force) redraw_.force = true;
  const bool autoRefresh = menus_.Checked("mnuRefreshStatus");
  // Only a redraw that will paint may resize the picture: a resize empties it.
  const bool willPaint = !redraw_.running && (redraw_.force || (autoRefresh && !resizing_));
  if (willPaint && (p_.canvas.Width() != std::max(1, layout_.plot.width) ||
                    p_.canvas.Height() != std::max(1, layout_.plot.height)))
    p_.canvas.Resize(layout_.plot.width, layout_.plot.height);

  RedrawInputs in = CurrentRedrawInputs();
  in.autoRefresh = autoRefresh;
  in.resizing = resizing_;

  RedrawHost host;
  host.logProcessMessage = [this](const std::string& m) { log_.LogProcessMessage(m); };
  host.setStatus = [this](const std::string& text, bool busy) { SetStatus(text, busy); };
  host.processEvents = [this] { p_.events.ProcessEvents(); };
  host.redrawScriptExists = [this](const std::string& name) { return p_.files.Exists(p_.files.Resolve(name)); };
  host.runScript = [this](const std::string& name, const ScriptArguments& args) { RunScript(name, args); };
  host.exec = [this](const std::string& line) { exec_->Exec(line, ""); };
  if (!willPaint) {
    norvane::Redraw(redraw_, in, host, p_.canvas);  // consumes nothing; returns at once
    return;
  }
  // The live view keeps its scale for commands typed between redraws; the redraw
  // paints from its own copy, so a view change while it lets events run cannot
  // mix two views in one picture.
  projection_.UpdateScale(layout_.plot.width, layout_.plot.height);
  labelColour_.reset();
  RedrawView view(projection_, outline_);
  view.Bind(host, settings_.MapForeColor);
  redrawView_ = &view.Projection();
  const bool painted = norvane::Redraw(redraw_, in, host, p_.canvas);
  redrawView_ = nullptr;
  if (painted) p_.view.MapChanged();
  if (redraw_.running) return;
  if (redrawOwed_) {
    redrawOwed_ = false;
    Redraw(true);
    if (redraw_.running) return;
  }
  auto owed = std::move(afterRedraw_);
  afterRedraw_.clear();
  for (auto& work : owed) work();
}

bool MainProgram::DeferWhileRedrawing(std::function<void()> work) {
  if (!redraw_.running) return false;
  afterRedraw_.push_back(std::move(work));
  return true;
}

void MainProgram::ApplyViewChange() {
  ProjectView();
  SaveSettingsNow();
  // The frames show the old view; the new one is drawn as the loop ends.
  if (loop_.Running()) return EndLoop("The loop ended - the view changed");
  // A redraw in progress would return at once: the new view is drawn when it ends.
  if (redraw_.running) {
    redrawOwed_ = true;
    return;
  }
  Redraw(true);
}

bool MainProgram::ChooseView(const std::string& c) {
  if (const auto step = ButtonStep(c)) {
    StepView(settings_, *step);
  } else if (c == "mnuEnterCoord" || c == "cmdEnterCoord") {
    p_.windows.EnterCoordinates(settings_);
  } else if (c.size() == 8 && c.rfind("mnuZoom", 0) == 0 && c[7] >= '0' && c[7] <= '7') {
    ChooseZoomSlot(settings_, c[7] - '0');
  } else if (c == "mnuZoomEditor") {
    if (p_.windows.EditZoomSlots(settings_)) {
      ZoomItemsChanged();
      SaveSettingsNow();
    }
    return true;
  } else {
    return false;
  }
  ApplyViewChange();
  return true;
}

void MainProgram::ZoomItemsChanged() {
  for (int slot = 0; slot < kZoomSlots; ++slot) {
    MenuItemState& item = menus_["mnuZoom" + std::to_string(slot)];
    item.caption = settings_.Zooms[static_cast<std::size_t>(slot)].name;
    item.visible = !item.caption.empty();
  }
  p_.view.MenusChanged();
}

void MainProgram::MouseOverMap(int x, int y) {
  KeepFocus();
  p_.view.PositionChanged(PositionReadout(projection_, x, y));
}

std::optional<std::string> MainProgram::StationAt(int x, int y, double pixels) const {
  const auto picked = projection_.WindowToLatLong(x, y);
  if (!picked) return std::nullopt;
  const auto near = NearestStations(store_, picked->lat100 / 100.0, picked->lon100 / 100.0, settings_.EarthRadius);
  if (near.empty()) return std::nullopt;
  const StationObservations& entry = store_[near.front().index];
  const auto at = ProjectionPlacer(projection_)(entry.latitude / 100.0, entry.longitude / 100.0);
  if (!at || std::hypot(at->x - x, at->y - y) > pixels) return std::nullopt;
  return entry.identifier;
}

void MainProgram::ShowMeteogram(const std::string& identifier, double hours, const std::string& suffix) {
  auto meteogram =
      std::make_shared<const Meteogram>(BuildMeteogram(p_.files, store_, identifier, hours, MinutesNow(p_.clock)));
  if (!meteogram->note.empty()) log_.ShowMessage(meteogram->note + suffix);
  log_.LogProcessMessage("Meteogram of " + meteogram->identifier + ": " + std::to_string(meteogram->reports.size()) +
                         " reports in " + std::to_string(meteogram->hours) + " hours");
  WindowPicture picture;
  picture.title = "Meteogram " + meteogram->identifier;
  picture.draw = [this, meteogram, celsius = settings_.UseCelsius](Canvas& canvas) {
    DrawMeteogram(canvas, *meteogram, celsius, &symbols_);
  };
  picture.print = [this](const Image& image) {
    if (const auto choice = p_.windows.ChoosePrinter(p_.printer)) PrintMap(p_.printer, *choice, image, p_.dialogs);
  };
  p_.windows.ShowPicture(picture);
}

void MainProgram::MapPressed(int x, int y, MouseButton button) {
  if (button == MouseButton::Right) {
    // On a station the right button opens its meteogram; elsewhere the "&Map" menu.
    constexpr double kStationPixels = 10;
    if (const auto id = StationAt(x, y, kStationPixels)) {
      pickedStation_ = *id;
      return Exec("METEOGRAM " + *id);
    }
    return p_.view.PopUpMenu("mnuMap", x, y);
  }
  if (button == MouseButton::Middle) return p_.view.PopUpMenu("mnuZoom", x, y);
  leftPress_ = WindowPoint{double(x), double(y)};
}

void MainProgram::MapReleased(int x, int y) {
  if (!leftPress_) return;
  const WindowPoint from = *leftPress_;
  leftPress_.reset();
  constexpr double kDragPixels = 5;
  if (std::abs(x - from.x) >= kDragPixels || std::abs(y - from.y) >= kDragPixels) {
    if (DragPan(settings_, projection_, from, WindowPoint{double(x), double(y)})) ApplyViewChange();
    return;
  }
  const auto picked = projection_.WindowToLatLong(from.x, from.y);
  if (!picked) return;
  PickupOptions options;
  options.decodeMetar = settings_.DecodeMetar;
  options.useCelsius = settings_.UseCelsius;
  options.earthRadius = settings_.EarthRadius;
  options.now = MinutesNow(p_.clock);
  const auto near = NearestStations(store_, picked->lat100 / 100.0, picked->lon100 / 100.0, settings_.EarthRadius);
  if (!near.empty()) pickedStation_ = store_[near.front().index].identifier;
  // The listing replaces what the box shows; the log itself is unchanged.
  p_.view.OutputChanged(
      StationPickupText(p_.files, store_, picked->lat100 / 100.0, picked->lon100 / 100.0, options));
}

void MainProgram::MapWheel(int angleDelta) {
  const int notches = WheelNotches(angleDelta, wheelCarry_);
  if (notches == 0) return;
  WheelZoom(settings_, notches);
  ApplyViewChange();
}

void MainProgram::LoadPointsOfInterest() {
  points_ = LoadPoints(p_.files, log_);
  plotPoints_ = ToPlotPoints(points_);
}

bool MainProgram::WatchNewReports() {
  WatchContext context{p_.files, log_, points_, settings_.WatchDistance, settings_.EarthRadius, watchBox_};
  const bool kept = WatchHandOffFile(context).verificationWritten;
  p_.view.WatchChanged(watchBox_.Text());
  return kept;
}

void MainProgram::Verify() {
  if (DeferWhileRedrawing([this] { Verify(); })) return;
  EndLoop("");  // the verification map takes the picture
  // The scheduler waits while the user chooses and the map is drawn.
  timerEnabled_ = false;
  if (const auto request = p_.windows.ChooseVerification(NowStamp(p_.clock))) {
    VerificationMapHost host;
    host.updateScale = [this](int w, int h) { return projection_.UpdateScale(w, h); };
    host.drawMap = [this](Canvas& c) { Draw_Map(c, projection_, outline_, settings_.MapForeColor); };
    host.processEvents = [this] { p_.events.ProcessEvents(); };
    host.busy = [this](bool shown) { p_.view.BusyChanged(shown); };
    host.place = ProjectionPlacer(projection_);
    if (p_.canvas.Width() != std::max(1, layout_.plot.width) || p_.canvas.Height() != std::max(1, layout_.plot.height))
      p_.canvas.Resize(layout_.plot.width, layout_.plot.height);
    DrawVerificationMap(p_.canvas, *request, store_, p_.files, host, Rgb(255, 255, 255));
    p_.view.MapChanged();
    // The chart printed is the verification map as it stands, marks included.
    AskPrintChart(p_.dialogs, [this] {
      const auto choice = p_.windows.ChoosePrinter(p_.printer);
      return !choice || PrintMap(p_.printer, *choice, p_.mapSnapshot ? p_.mapSnapshot() : Image{}, p_.dialogs);
    });
  }
  timerEnabled_ = true;
}

void MainProgram::Print(const CommandWords& words) {
  const PrintRequest request = ParsePrintRequest(words);
  if (request.kind == PrintRequest::Kind::Nothing) return;
  if (request.kind == PrintRequest::Kind::Station) {
    const StationChart chart = StationChartLines(p_.files, store_, request, MinutesNow(p_.clock));
    if (chart.Empty()) return;
    if (const auto choice = p_.windows.ChoosePrinter(p_.printer))
      PrintStationChart(p_.printer, *choice, chart, p_.dialogs);
    return;
  }
  if (DeferWhileRedrawing([this, words] { Print(words); })) return;
  const auto choice = p_.windows.ChoosePrinter(p_.printer);
  if (!choice) return;
  Redraw(true);
  PrintMap(p_.printer, *choice, p_.mapSnapshot ? p_.mapSnapshot() : Image{}, p_.dialogs);
}

void MainProgram::SavePictureNow(const std::string& name, const std::string& quality) {
  // A redraw below us on the stack cannot end while we wait: export once it has.
  if (DeferWhileRedrawing([this, name, quality] { SavePictureNow(name, quality); })) {
    log_.LogProcessMessage("The picture '" + name + "' is saved when the redraw ends");
    return;
  }
  SavePictureHost host;
  host.redrawRunning = [] { return false; };
  host.processEvents = [this] { p_.events.ProcessEvents(); };
  host.mapBitmap = [this]() -> std::optional<std::string> {
    if (!p_.mapSnapshot) return std::nullopt;
    const Image picture = p_.mapSnapshot();
    if (picture.width <= 0 || picture.height <= 0) return std::nullopt;
    return WriteBmp24(picture);
  };
  SavePicture(p_.files, p_.runner, p_.clock, log_, host, name, quality);
}

bool MainProgram::ChoosePlot(const std::string& control) {
  for (const PlotControl& c : kPlotControls) {
    if (control != c.control) continue;
    ChoosePlotItem(plots_, c.item);
    MenusChanged();
    Redraw(false);
    return true;
  }
  return false;
}

bool MainProgram::ChooseLayer(const std::string& control) {
  for (ScriptLayer& layer : layers_) {
    if (control != layer.control) continue;
    layer.checked = !layer.checked;
    MenusChanged();
    p_.events.ProcessEvents();
    Redraw(false);
    return true;
  }
  return false;
}

void MainProgram::ClearPlots(bool everything) {
  ClearPlotSwitches(plots_);
  if (everything) {
    ClearAllSwitches(plots_, layers_);
    RemoveRedrawScript(p_.files);
    MenusChanged();
    p_.events.ProcessEvents();
  }
  MenusChanged();
  Redraw(true);
}

void MainProgram::ClearScriptLayers(char which) {
  for (ScriptLayer& layer : layers_) {
    const bool grid = layer.control.rfind("mnuG_", 0) == 0;
    if ((which == 'G') == grid) layer.checked = false;
  }
  MenusChanged();
  p_.events.ProcessEvents();
  Redraw(true);
}

bool MainProgram::Choose(const std::string& control) {
  const auto it = actions_.find(control);
  if (it == actions_.end()) return false;
  it->second(control);
  return true;
}

// Every control name with the work behind it, so that each menu item is found in one place.
void MainProgram::BuildActions() {
  auto on = [this](std::initializer_list<std::string> names, const Action& work) {
    for (const std::string& name : names) actions_[name] = work;
  };
  for (const PlotControl& c : kPlotControls) on({c.control}, [this](const std::string& name) { ChoosePlot(name); });
  for (const ScriptLayer& layer : DefaultScriptLayers())
    on({layer.control}, [this](const std::string& name) { ChooseLayer(name); });
  on({"cmdUp", "cmdDown", "cmdLeft", "cmdRight", "cmdZoom", "cmdUnzoom", "mnuEnterCoord", "cmdEnterCoord",
      "mnuZoomEditor"},
     [this](const std::string& name) { ChooseView(name); });
  for (int slot = 0; slot < kZoomSlots; ++slot)
    on({"mnuZoom" + std::to_string(slot)}, [this](const std::string& name) { ChooseView(name); });
  for (int g : {3, 6, 12, 24})
    for (int hours : {3, 6, 12, 24})
      on({"mnuC" + std::to_string(g) + "_Build@" + std::to_string(hours)}, [this](const std::string& name) {
        ScriptArguments args;
        args[0] = name.substr(4, name.find('_') - 4);
        RunScript("buildgrid.nvs", args);
      });

  on({"cmdRedraw"}, [this](const std::string&) { Redraw(false); });
  on({"mnuRefreshNow", "mnuRefreshNow1"}, [this](const std::string&) {
    p_.events.ProcessEvents();
    Redraw(true);
  });
  on({"mnuRefreshStatus"}, [this](const std::string&) {
    MenuItemState& item = menus_["mnuRefreshStatus"];
    item.checked = !item.checked;
    item.caption = item.checked ? "Auto Refresh is ON" : "Auto Refresh is OFF";
    settings_.AutoRefresh = item.checked;
    SaveSettingsNow();
    MenusChanged();
    Redraw(false);
  });
  on({"mnuRunScript"}, [this](const std::string&) {
    if (auto command = p_.windows.ChooseScript(); command && !command->empty()) Exec(*command);
  });
  on({"mnuStopScript"}, [this](const std::string&) { RequestStop(); });
  on({"mnuDL"}, [this](const std::string&) { QueueDownloadFor(""); });
  on({"mnuSpecialDownload"}, [this](const std::string&) {
    if (auto hour = p_.windows.ChooseDownloadHour(NowStamp(p_.clock), MinutesNow(p_.clock)); hour && !hour->empty())
      QueueDownloadFor(*hour + "00");
  });
  on({"mnuKill"}, [this](const std::string&) { Exec("kill cur"); });
  on({"mnuExit"}, [this](const std::string&) { p_.view.Quit(); });
  on({"mnuClearPlots", "mnuClearAll"}, [this](const std::string& name) { ClearPlots(name == "mnuClearAll"); });
  on({"mnuC_Clear", "mnuG_Clear"},
     [this](const std::string& name) { ClearScriptLayers(name == "mnuC_Clear" ? 'C' : 'G'); });
  on({"mnuRemoveRedraw"}, [this](const std::string&) {
    RemoveRedrawScript(p_.files);
    Redraw(true);
  });
  on({"mnuDefineMap"}, [this](const std::string&) {
    if (const auto region = p_.windows.SelectRegion()) return RegionMade(*region);
    Redraw(true);
  });
  on({"mnuMapForeColor"}, [this](const std::string&) {
    settings_.MapForeColor = p_.dialogs.ChooseColor(settings_.MapForeColor).value_or(settings_.MapForeColor);
    SaveSettingsNow();
    Redraw(true);
  });
  on({"mnuTextForeColor", "mnuTextBackColor"}, [this](const std::string& name) {
    Color& colour = name == "mnuTextForeColor" ? settings_.TextForeColor : settings_.TextBackColor;
    colour = p_.dialogs.ChooseColor(colour).value_or(colour);
    p_.view.LayoutChanged();
    SaveSettingsNow();
  });
  on({"mnuEnlarge", "mnuShrink"}, [this](const std::string& name) {
    settings_.TextHeight =
        name == "mnuEnlarge" ? EnlargedTextHeight(settings_.TextHeight) : ShrunkTextHeight(settings_.TextHeight);
    TextBoxesResized(true);
  });
  on({"mnuIncrease", "mnuDecrease"}, [this](const std::string& name) {
    settings_.TextWidth =
        name == "mnuIncrease" ? IncreasedTextWidth(settings_.TextWidth) : DecreasedTextWidth(settings_.TextWidth);
    TextBoxesResized(false);
  });
  on({"mnuWatchProcess"}, [this](const std::string& name) {
    menus_.SetChecked(name, !menus_.Checked(name));
    log_.watchProcess = menus_.Checked(name);
    MenusChanged();
    if (log_.watchProcess) p_.view.OutputChanged(log_.Text());
  });
  on({"mnuZoomControls"}, [this](const std::string& name) {
    menus_.SetChecked(name, !menus_.Checked(name));
    MenusChanged();
    LayoutWindow();
  });
  on({"mnuThin"}, [this](const std::string&) { Exec("PLOT THIN"); });
  on({"mnuPointsEditor"}, [this](const std::string&) {
    p_.windows.EditPoints();
    LoadPointsOfInterest();
    Redraw(false);
  });
  on({"mnuMeteogram"}, [this](const std::string&) {
    if (pickedStation_.empty()) {
      log_.ShowMessage("Click a station on the map first (or type METEOGRAM and its identifier)");
      return;
    }
    Exec("METEOGRAM " + pickedStation_);
  });
  on({"mnuGraphicalVerification"}, [this](const std::string&) { Verify(); });
  on({"mnuVerificationText"},
     [this](const std::string&) { p_.windows.ShowVerificationText(VerificationText(p_.files, log_)); });
  on({"mnuContinuity"}, [this](const std::string&) {
    p_.view.BusyChanged(true);
    p_.events.ProcessEvents();
    log_.ShowMessage(ContinuityListing(CountContinuity(store_, p_.files, MinutesNow(p_.clock)), NowStamp(p_.clock)));
    p_.view.BusyChanged(false);
  });
  on({"mnuLoop"}, [this](const std::string&) { Exec(loop_.Running() ? "LOOP OFF" : "LOOP"); });
  on({"mnuPrint"}, [this](const std::string&) { Exec("print chart"); });
  on({"mnuOptions", "lblNum"}, [this](const std::string&) { OpenOptions(OptionsPage::PlottedWx); });
  on({"mnuHelp"}, [this](const std::string&) { Exec("HELP"); });
  on({"mnuAbout"},
     [this](const std::string&) { p_.dialogs.MessageBox(AboutBoxText(), AboutBoxCaption(), BoxStyle::Information); });

  for (const auto& entry : actions_) handled_.push_back(entry.first);
}

// The label after a layer takes the first colour the layer drew in.
void MainProgram::NoteLayerColour(int rgb) {
  if (!labelColour_) labelColour_ = static_cast<Color>(rgb);
}

void MainProgram::TextBoxesResized(bool save) {
  LayoutWindow();
  if (save) SaveSettingsNow();
  // The map picture changed size: drawn again, its labels stand inside it.
  Redraw(true);
}

void MainProgram::StartLoop(int hours) {
  if (redraw_.running) {
    log_.ShowMessage("The loop cannot start while the map is being drawn");
    return;
  }
  if (loop_.Running()) EndLoop("");
  std::vector<LoopHour> list = LastWholeHours(NowStamp(p_.clock), hours);
  log_.LogProcessMessage("Reading the reports of the last " + std::to_string(hours) + " hours");
  StationHistories histories = ReadStationHistories(p_.files, store_, list.front().minutes, list.back().minutes);
  if (histories.count == 0) {
    log_.ShowMessage("No station reports within 30 minutes of the last " + std::to_string(hours) +
                     " hours - nothing to loop (LOADOBS loads the store)");
    return;
  }
  loopHistories_ = std::move(histories);
  if (!loopStore_) loopStore_ = std::make_unique<ObservationStore>();
  loopFrames_.assign(list.size(), LoopFrame{});
  p_.canvas.ForgetKeptPictures();
  if (p_.canvas.Width() != std::max(1, layout_.plot.width) || p_.canvas.Height() != std::max(1, layout_.plot.height))
    p_.canvas.Resize(layout_.plot.width, layout_.plot.height);
  loop_.Start(std::move(list));
  log_.ShowMessage("Looping over the last " + std::to_string(hours) +
                   " hours: Left and Right step, Space pauses, Escape ends");
  MenusChanged();
  DrawLoopFrame();
}

void MainProgram::EndLoop(const std::string& why) {
  if (!loop_.Running()) return;
  loop_.End();
  loopHistories_ = {};
  loopStore_.reset();
  loopFrames_.clear();
  p_.canvas.ForgetKeptPictures();
  if (!why.empty()) log_.ShowMessage(why);
  MenusChanged();
  Redraw(true);
}

bool MainProgram::LoopKey(const std::string& key, const std::string& commandText) {
  if (!loop_.Running() || (key != "Escape" && !commandText.empty())) return false;
  static const std::map<std::string, HourLoop::Key> keys = {{"Left", HourLoop::Key::Left},
                                                            {"Right", HourLoop::Key::Right},
                                                            {"Space", HourLoop::Key::Space},
                                                            {"Escape", HourLoop::Key::Escape}};
  const auto it = keys.find(key);
  if (it == keys.end()) return false;
  if (it->second == HourLoop::Key::Escape) {
    EndLoop("");
    return true;
  }
  if (loop_.Press(it->second)) DrawLoopFrame();
  return true;
}

void MainProgram::ShowLoopFrame(int frame) {
  if (!loop_.Running()) return;
  loop_.GoTo(frame);
  DrawLoopFrame();
}

// Only the station plots move with the hours: the outline and the plot layers that are
// on, never the redraw script or the grid layers, which show the grids of now.
void MainProgram::PaintLoopFrame(int frame) {
  LoopFrame& f = loopFrames_[static_cast<std::size_t>(frame)];
  const LoopHour& hour = loop_.Hour(frame);
  f.stations = FillStoreAtHour(loopHistories_, hour.minutes, *loopStore_);
  RedrawInputs in = CurrentRedrawInputs();
  in.store = loopStore_.get();
  in.now = hour.minutes;
  in.nowStamp = hour.stamp;
  in.obClearTime = kHourReach;  // every report chosen lies within reach of its hour
  in.scriptLayers.clear();
  RedrawHost host;
  host.exec = [this](const std::string& line) { exec_->Exec(line, ""); };
  projection_.UpdateScale(layout_.plot.width, layout_.plot.height);
  RedrawView view(projection_, outline_);
  view.Bind(host, settings_.MapForeColor);
  redraw_.force = true;
  norvane::Redraw(redraw_, in, host, p_.canvas);
}

void MainProgram::DrawLoopFrame() {
  if (redraw_.running) return;  // a redraw below us lets events run; the next tick shows it
  const int frame = loop_.Frame();
  LoopFrame& f = loopFrames_[static_cast<std::size_t>(frame)];
  if (!(f.kept && p_.canvas.ShowKeptPicture(frame))) {
    PaintLoopFrame(frame);
    f.kept = p_.canvas.KeepPicture(frame);
  }
  const std::string counter = loop_.CounterText() + (f.stations == 0 ? "  -  no reports near this hour" : "");
  p_.canvas.Text(10, 36, counter, Font{"MS Sans Serif", 10, true}, Rgb(0, 0, 0));
  p_.view.MapChanged();
}

void MainProgram::KeepFocus() {
  if (windowActive_ && !commandHasFocus_) {
    p_.view.FocusCommandBox();
    commandHasFocus_ = true;
  }
}

void MainProgram::WindowActivated(bool active) { windowActive_ = active; }
void MainProgram::CommandBoxFocus(bool hasFocus) { commandHasFocus_ = hasFocus; }
void MainProgram::MouseMovedOverWindow() { KeepFocus(); }
void MainProgram::OutputBoxPressed() {
  // A click shows the whole log again and leaves the focus in the box for selecting.
  p_.view.OutputChanged(log_.Text());
  commandHasFocus_ = true;
}

}  // namespace norvane
