#pragma once
// `frmMain` without its window: the state of the main program, its start-up, the
// one-second tick, the redraw and every menu action by the name of its control.
// The Qt window and norvane-batch both drive this one object.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/app_platform.h"
#include "app/hour_loop.h"
#include "app/menu_tree.h"
#include "commands/command_interpreter.h"
#include "commands/output_log.h"
#include "commands/process_queue.h"
#include "commands/scheduler.h"
#include "commands/server_trial.h"
#include "core/settings.h"
#include "core/window_layout.h"
#include "map/map_file.h"
#include "map/projected_outline.h"
#include "map/projection.h"
#include "map/redraw.h"
#include "map/symbol_table.h"
#include "obs/hour_reports.h"
#include "obs/observation_store.h"
#include "script/script_interpreter.h"
#include "watch/points_of_interest.h"
#include "watch/watch.h"

namespace norvane {

class MainProgram {
 public:
  explicit MainProgram(AppPlatform platform);
  ~MainProgram();
  MainProgram(const MainProgram&) = delete;
  MainProgram& operator=(const MainProgram&) = delete;

  // Start-up after the single-instance check, for a window of the given inner size:
  // folders, leftovers, settings, map, symbols, layout, the timer, "startup.nvs".
  void Start(int innerWidth, int innerHeight, bool runStartupScript = true);
  // Keeps the map picture at this size whatever the text boxes take (norvane-batch).
  void FixMapSize(int width, int height);
  // The one-second timer `tmrDL`.
  void Tick();
  // A line typed into the command box.
  void Exec(const std::string& line);
  // A menu item or button chosen, by its control name ("mnuTemp", "cmdRedraw", ...).
  // False when no control of that name has work behind it.
  bool Choose(const std::string& control);
  // The window's inner size changed.
  void Resize(int innerWidth, int innerHeight);
  // `Redraw`, forced or not.
  void Redraw(bool force);
  // Escape or "Stop Running Script".
  void RequestStop();

  // The mouse on the map picture (`picPlot`), in its pixels.
  void MouseOverMap(int x, int y);
  // The left button released where it was pressed lists the nearest stations; moved
  // further than a few pixels, it drags the map.
  enum class MouseButton { Left, Right, Middle };
  void MapPressed(int x, int y, MouseButton button);
  void MapReleased(int x, int y);
  // The wheel turned by `angleDelta` eighths of a degree (positive away from the user).
  void MapWheel(int angleDelta);

  // Keyboard focus rules: the command box takes the keyboard back when the user returns.
  void WindowActivated(bool active);
  void CommandBoxFocus(bool hasFocus);
  void MouseMovedOverWindow();
  void OutputBoxPressed();

  // The loop of the last hours (LOOP, "Loop Last Hours"). While it runs the map
  // shows its frames and redraws wait until it ends.
  const HourLoop& Loop() const { return loop_; }
  // "Left", "Right", "Space" or "Escape" while the loop runs, with what the command
  // box holds; false when the key is not the loop's (it then goes where it would have
  // gone). A line being typed keeps its arrows and blanks; Escape always ends the loop.
  bool LoopKey(const std::string& key, const std::string& commandText = "");
  // Shows one frame of the loop (0 the oldest).
  void ShowLoopFrame(int frame);

  // What the window shows.
  const MenuModel& Menus() const { return menus_; }
  const WindowLayout& Layout() const { return layout_; }
  const Settings& CurrentSettings() const { return settings_; }
  const OutputLog& Log() const { return log_; }
  const std::string& StatusText() const { return statusText_; }
  bool Started() const { return started_; }
  bool TimerEnabled() const { return timerEnabled_; }
  bool RedrawRunning() const { return redraw_.running; }
  const ProcessQueue& Queue() const { return queue_; }
  const ObservationStore& Store() const { return store_; }
  const MapProjection& Projection() const { return projection_; }
  const std::string& WatchText() const { return watchBox_.Text(); }
  const PointList& Points() const { return points_; }
  bool Thinning() const { return thinning_; }
  // True while a child process runs or waits in the queue.
  bool BackgroundWorkPending() const;
  // Every control name with work behind it.
  const std::vector<std::string>& HandledControls() const { return handled_; }

 private:
  class Host;
  void BuildHooks();
  void BuildActions();
  void RunScript(const std::string& name, const ScriptArguments& args = {});
  struct GridDisplayContext GridContext();
  void SetStatus(const std::string& text, bool busy);
  void QueueDownloadFor(const std::string& stamp);
  void QueueGridBuild(const CommandWords& words, const std::string& suffix);
  void LoadOutline();
  void ProjectView();
  void LayoutWindow();
  void DrawStartupNotice();
  void SaveSettingsNow();
  void MenusChanged();
  bool ChoosePlot(const std::string& control);
  bool ChooseLayer(const std::string& control);
  void ClearPlots(bool everything);
  void ClearScriptLayers(char which);
  void TextBoxesResized(bool saveSettings);
  void NoteLayerColour(int rgb);
  void KeepFocus();
  void ApplyViewChange();
  bool ChooseView(const std::string& control);
  void LoadPointsOfInterest();
  bool WatchNewReports();
  void Verify();
  void Print(const CommandWords& words);
  void SavePictureNow(const std::string& name, const std::string& quality);
  void ZoomItemsChanged();
  void OpenOptions(OptionsPage page);
  void ShowMeteogram(const std::string& identifier, double hours, const std::string& suffix);
  std::optional<std::string> StationAt(int x, int y, double pixels) const;
  RedrawInputs CurrentRedrawInputs();
  void StartLoop(int hours);
  void EndLoop(const std::string& why);
  void DrawLoopFrame();  // the frame the loop is at, with its counter
  void PaintLoopFrame(int frame);
  // The map's region, the commands that do the map menus' work and the grids that
  // follow the region (map_commands.cpp).
  void BuildMapHooks();
  void RegionMade(const MapRegion& region);
  bool MenuCommand(const std::string& name, const std::string& onOff);
  struct MapGridBox MapGrid();
  std::optional<std::string> ProgramConstant(const std::string& name);
  void RebuildPastGrids(const std::string& nowLine);
  void NoteDiffHours(const std::string& name1, const std::string& name2);

  AppPlatform p_;
  using Action = std::function<void(const std::string& control)>;
  std::map<std::string, Action> actions_;
  std::vector<std::string> handled_;
  Settings settings_;
  OutputLog log_;
  MenuModel menus_;
  std::unique_ptr<Host> host_;
  GlobalVariables globals_;
  std::unique_ptr<ScriptRunner> scripts_;
  std::unique_ptr<CommandInterpreter> exec_;
  ObservationStore store_;
  ProcessQueue queue_;
  std::unique_ptr<Scheduler> scheduler_;
  SymbolTable symbols_;
  std::vector<MapRecord> mapPoints_;
  MapProjection projection_;
  ProjectedOutline outline_;
  RedrawState redraw_;
  bool redrawOwed_ = false;                // a view change arrived while a redraw ran
  const MapProjection* redrawView_ = nullptr;  // the running redraw's own view
  // Work that reads or paints the map picture, asked for while a redraw ran (a menu
  // chosen or SAVEPIC typed while the redraw let events run): it waits for that redraw.
  std::vector<std::function<void()>> afterRedraw_;
  bool DeferWhileRedrawing(std::function<void()> work);
  HourLoop loop_;
  StationHistories loopHistories_;
  std::unique_ptr<ObservationStore> loopStore_;
  struct LoopFrame {
    bool kept = false;  // the canvas holds its picture
    int stations = 0;   // with a report for the hour
  };
  std::vector<LoopFrame> loopFrames_;
  PointList points_;
  std::vector<PlotPoint> plotPoints_;
  WatchBox watchBox_;
  bool thinning_ = false;
  int wheelCarry_ = 0;
  std::optional<WindowPoint> leftPress_;
  std::string pickedStation_;  // the nearest station of the last pick-up, for "Station Meteogram"
  PlotSwitches plots_;
  std::vector<ScriptLayer> layers_;
  WindowLayout layout_;
  int innerWidth_ = 0, innerHeight_ = 0;
  int fixedMapWidth_ = 0, fixedMapHeight_ = 0;
  std::string statusText_;
  bool stopRequested_ = false;
  bool resizing_ = false;
  bool started_ = false;
  bool timerEnabled_ = false;
  bool windowActive_ = false;
  bool commandHasFocus_ = false;
  ServerTrial serverTrial_;
  std::string diffHours_ = "unknown";  // hours between the grids of the last DRAWDIFF
  std::optional<Color> labelColour_;   // the first colour drawn since the last LABEL
};

}  // namespace norvane
