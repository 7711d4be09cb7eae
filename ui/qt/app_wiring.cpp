#include "ui/qt/app_wiring.h"

#include <set>

#include "ui/qt/main_window.h"

namespace norvane {

struct AppWiring::State {
  bool redrawRunning = false;
  bool stopRequested = false;
  std::set<std::string> handled;
};

AppWiring::AppWiring(MainWindow& window) : window_(window), state_(new State) {}

AppWiring::~AppWiring() { delete state_; }

void AppWiring::LoadAtStartup() {}

void AppWiring::RunStartupScript() {}

void AppWiring::Tick() {}

void AppWiring::Redraw(bool) {}

void AppWiring::RequestStop() { state_->stopRequested = true; }

bool AppWiring::RedrawRunning() const { return state_->redrawRunning; }

void AppWiring::MenuChosen(const std::string&) {}

bool AppWiring::Handles(const std::string& name) const { return state_->handled.count(name) > 0; }

}  // namespace norvane
