#pragma once
// What the main program needs from the window (or from its absence, in norvane-batch).
#include <cstdint>
#include <optional>
#include <string>

#include "platform/canvas.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/file_system.h"
#include "platform/help_viewer.h"
#include "platform/process_starter.h"
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
  virtual void MenusChanged() {}                                     // captions, marks, enabled items
  virtual void LayoutChanged() {}                                    // the control places or text colours
  virtual void FocusCommandBox() {}
  virtual void Quit() {}
};

// The program's own dialogs. Each returns what the dialog hands back, or nothing when
// the user cancels; the checks inside them live in the libraries.
class AppWindows {
 public:
  virtual ~AppWindows() = default;
  // `frmOpenScript`: a command to run ("r NAME ARGS" or "redraw add r NAME ARGS").
  virtual std::optional<std::string> ChooseScript() = 0;
  // `frmSpecialDownload`: the ten-character hour stamp to fetch.
  virtual std::optional<std::string> ChooseDownloadHour(const std::string& nowStamp, std::int32_t minuteClock) = 0;
  // `frmSelectRegion`: true when a new "user.map" was written.
  virtual bool SelectRegion() = 0;
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
};

}  // namespace norvane
