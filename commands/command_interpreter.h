#pragma once
#include <functional>
#include <optional>
#include <string>

#include "commands/command_words.h"
#include "core/reporter.h"

namespace norvane {

class Reporter;
class Dialogs;
class ProcessStarter;
class HelpViewer;
class Clock;
class FileSystem;
struct Settings;

// The work behind the commands that other areas own. The interpreter checks the
// arguments and calls these; a command whose hook is not set answers that it is
// not available in this build.
struct CommandHooks {
  // PLOT: the layer keyword (WEATHER, WIND, ...) and "ON", "OFF" or "".
  std::function<bool(const std::string& layer, const std::string& onOff)> plot;
  std::function<void(const std::string& which)> clear;           // ALL, PLOTS, CONTOURS, GRID, REDRAW
  std::function<void(const std::string& text)> addLabel;
  std::function<void()> forceRedraw;                             // REDRAW
  std::function<void()> loadObs;
  std::function<void(const std::string& hour)> getObs;  // "" for the current hour, else YYYYMMDDHH
  std::function<void(const CommandWords& w, const std::string& suffix)> buildGrid;
  std::function<void(const std::string& script, const CommandWords& w, const std::string& suffix)> runScript;
  std::function<void()> listQueue;
  std::function<void(const std::string& which)> kill;
  std::function<void(const CommandWords& w)> stationListing;    // S, SA, SL, OB
  std::function<void(const std::string& id)> whois;
  // METEOGRAM: the identifier and the hours asked for (48 when not given).
  std::function<void(const std::string& id, double hours, const std::string& suffix)> meteogram;
  std::function<void(const CommandWords& w)> near;
  // GRID, DRAW, DRAWDIFF after the interpreter's own checks.
  std::function<void(const std::string& name, const std::string& field, int rgb, const std::string& format)> showGrid;
  std::function<void(const std::string& name, const std::string& name2, const std::string& field, double start,
                     double end, double interval, int rgb, int thickness, const std::string& format)> drawContours;
  std::function<void(const CommandWords& w)> print;
  std::function<void(const std::string& name, const std::string& quality)> savePicture;
  // LOOP: the hours to play (checked, 2 to 48), or 0 for LOOP OFF.
  std::function<void(int hours)> loop;
  // AT: true when the time word holds now.
  std::function<bool(const std::string& when)> atHolds;
  // VIEW: the centre and, when given, the zoom factor (checked as the coordinates dialog does).
  std::function<void(double lat, double lon, std::optional<double> zoom)> view;
  // REGION: Make Map of the band, hundredths of a degree, corners ordered and checked.
  std::function<void(int latMin, int lonMin, int latMax, int lonMax, const std::string& suffix)> region;
  // MENU: chooses the item named (ON/OFF for the check mark, "" toggles); the empty
  // name lists the items. False when no item has that name.
  std::function<bool(const std::string& name, const std::string& onOff)> menu;
};

struct CommandContext {
  Reporter& log;
  Dialogs& dialogs;
  ProcessStarter& starter;
  HelpViewer& help;
  FileSystem& files;
};

// `Exec`: one command line, with the suffix that argument errors carry
// (" in " + script + " at line " + n for script lines, empty from the command box).
class CommandInterpreter {
 public:
  CommandInterpreter(CommandContext context, CommandHooks hooks) : ctx_(context), hooks_(std::move(hooks)) {}
  void Exec(const std::string& line, const std::string& suffix);
  CommandHooks& Hooks() { return hooks_; }

 private:
  void NotAvailable(const std::string& keyword, const std::string& suffix);
  void GridCommand(const CommandWords& w, const std::string& suffix);
  void MapCommand(const CommandWords& w, const std::string& suffix);
  void Shell(const std::string& line, const std::string& suffix, bool minimised);
  CommandContext ctx_;
  CommandHooks hooks_;
};


}  // namespace norvane
