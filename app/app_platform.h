#pragma once
// What the main program needs from the window (or from its absence, in norvane-batch).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "commands/options_checks.h"
#include "commands/print_dialog.h"
#include "core/settings.h"
#include "map/map_file.h"
#include "platform/canvas.h"
#include "watch/verification_dialog.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/file_system.h"
#include "platform/help_viewer.h"
#include "platform/process_starter.h"
#include "platform/printer.h"
#include "platform/program_runner.h"
#include "platform/random_source.h"

namespace norvane {

// Notices of what changed, so a window can show it. Each has nothing to do by
// default: a program without a window ignores them.
class AppView {
 public:
  virtual ~AppView() = default;
  virtual void OutputChanged(const std::string& /*text*/) {}        // the output box shows this text
  virtual void StatusChanged(const std::string& /*text*/, bool /*busy*/) {}  // `lblNum`
  virtual void MapChanged() {}                                       // the map picture was painted
  virtual void WatchChanged(const std::string& /*text*/) {}          // the watch box `txtWatch`
  virtual void PositionChanged(const std::string& /*text*/) {}       // `lblLatLong`
  // The right and middle buttons open the "&Map" and "&Zoom" menus at the pointer.
  virtual void PopUpMenu(const std::string& /*menu*/, int /*x*/, int /*y*/) {}
  virtual void MenusChanged() {}                                     // captions, marks, enabled items
  virtual void LayoutChanged() {}                                    // the control places or text colours
  virtual void FocusCommandBox() {}
  virtual void BusyChanged(bool /*shown*/) {}                       // `frmBusy` ("Please Wait...")
  virtual void Quit() {}
};

// A picture that lives in its own window (a station's meteogram): `draw` paints it over
// a canvas of any size, `print` prints a picture of it like the map.
struct WindowPicture {
  std::string title;
  int width = 960, height = 720;  // the size it is first shown and saved at
  std::function<void(Canvas&)> draw;
  std::function<void(const Image&)> print;
};

// The program's own dialogs. Each returns what the dialog hands back, or nothing when
// the user cancels; the checks inside them live in the libraries.
// The servers page's "Try" button: starts one download from server `slot` (1-5);
// `line` is what the page shows of it, asked again while the dialog stays open.
struct ServerTryHooks {
  std::function<void(int slot)> tryServer;
  std::function<std::string()> line;
};

class AppWindows {
 public:
  virtual ~AppWindows() = default;
  // `frmOpenScript`: a command to run ("r NAME ARGS" or "redraw add r NAME ARGS").
  virtual std::optional<std::string> ChooseScript() = 0;
  // `frmSpecialDownload`: the ten-character hour stamp to fetch.
  virtual std::optional<std::string> ChooseDownloadHour(const std::string& nowStamp, std::int32_t minuteClock) = 0;
  // `frmSelectRegion`: the region of the new "user.map"; nothing when none was written.
  virtual std::optional<MapRegion> SelectRegion() = 0;
  // `frmCoordinates`: the boxes as the user left them, checked by `AcceptCoordinates`
  // against `settings` (which it changes); false when cancelled.
  virtual bool EnterCoordinates(Settings& settings) = 0;
  // `frmZoomEditor`: the eight slots, checked by `AcceptZoomEditor`; false when cancelled.
  virtual bool EditZoomSlots(Settings& settings) = 0;
  // `frmOptions` opened at a page: the checks of `AcceptOptions` change `settings`.
  // The result says whether the user stored them, cancelled, or flushed the
  // observations (`FlushObservations` already ran and saved).
  enum class OptionsResult { Cancelled, Stored, Flushed };
  virtual OptionsResult EditOptions(Settings& settings, OptionsPage page, Reporter& log,
                                    const ServerTryHooks& tryHooks) = 0;
  // `frmPrint`: the printer and copies chosen through `PressPrint`; nothing when cancelled.
  virtual std::optional<PrintChoice> ChoosePrinter(Printer& printer) = 0;
  // `frmPoints`: the Points Editor over "watch.dat" (a `PointsEditor`); it has
  // saved the file itself when the user pressed Ok and the checks passed.
  virtual void EditPoints() = 0;
  // `frmVerify`: the criteria and period of a verification (a `VerificationDialog`);
  // nothing when cancelled.
  virtual std::optional<VerificationRequest> ChooseVerification(const std::string& nowStamp) = 0;
  // `frmVerifyText`: shows the verification text in its own window.
  virtual void ShowVerificationText(const std::string& text) = 0;
  // A meteogram window (or, with no windows, the picture norvane-batch writes).
  virtual void ShowPicture(const WindowPicture& /*picture*/) {}
};

struct AppPlatform {
  FileSystem& files;
  const Clock& clock;
  RandomSource& random;
  Dialogs& dialogs;
  ProcessStarter& starter;
  EventPump& events;
  HelpViewer& help;
  Canvas& canvas;  // the map picture `picPlot`
  AppWindows& windows;
  AppView& view;
  Printer& printer;
  ProgramRunner& runner;  // the outside picture encoder
  // The map picture as it stands, for printing and export.
  std::function<Image()> mapSnapshot;
};

}  // namespace norvane
