#pragma once
#include <array>
#include <string>

namespace norvane {

class MainWindow;

// Connects the command hooks, menus and the one-second tick of the main window
// to the area libraries (store, scripts, queue, map). One instance per window.
class AppWiring {
 public:
  explicit AppWiring(MainWindow& window);
  ~AppWiring();
  // Loaders of the start-up sequence that follow the settings (map, symbols, points).
  void LoadAtStartup();
  // The last start-up step: "startup.nvs".
  void RunStartupScript();
  void Tick();
  void Redraw(bool force);
  void RequestStop();
  bool RedrawRunning() const;
  // A menu item of the main window was chosen (actions named after their controls).
  void MenuChosen(const std::string& name);
  bool Handles(const std::string& name) const;

 private:
  void RunScript(const std::string& name, const std::array<std::string, 9>& args);
  void SetStatus(const std::string& text, bool busy);
  void QueueDownloadFor(const std::string& stamp);
  void ProjectView();
  // Reads "user.map" and projects it for the current view.
  void LoadOutline();
  struct State;
  MainWindow& window_;
  State* state_;
};

}  // namespace norvane
