// The map's region and the commands that do the map menus' work: VIEW, REGION and
// MENU; the grids that follow the region; the hours a change field really spans.
#include <cctype>
#include <cmath>
#include <cstring>
#include <functional>

#include "app/main_program.h"
#include "core/number_text.h"
#include "core/time_stamp.h"
#include "grid/grid_file.h"
#include "map/grid_region.h"
#include "map/view_fit.h"

namespace norvane {
namespace {

constexpr int kChangeHours[] = {3, 6, 12, 24};

// The name MENU accepts for a control: without "mnu", and for the build items without
// the group they sit in ("C3_BUILD" for every "mnuC3_Build@n").
std::string MenuWord(const std::string& control) {
  std::string word = control.substr(0, control.find('@'));
  for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return word.rfind("MNU", 0) == 0 ? word.substr(3) : word;
}

struct FoundItem {
  const MenuEntry* entry = nullptr;
  std::string path;
};

// Every item of the menu bar in menu order, with the captions that lead to it.
void WalkMenus(const std::vector<MenuEntry>& entries, const std::string& path,
               const std::function<void(const MenuEntry&, const std::string&)>& visit) {
  for (const MenuEntry& e : entries) {
    if (e.kind == MenuEntry::Kind::Separator) continue;
    std::string caption;
    for (char c : e.caption)
      if (c != '&') caption += c;
    const std::string here = path.empty() ? caption : path + " > " + caption;
    if (e.kind == MenuEntry::Kind::Submenu) WalkMenus(e.children, here, visit);
    else visit(e, here);
  }
}

}  // namespace

void MainProgram::BuildMapHooks() {
  CommandHooks& h = exec_->Hooks();
  h.view = [this](double lat, double lon, std::optional<double> zoom) {
    settings_.CenterLatitude = lat;
    settings_.CenterLongitude = lon;
    if (zoom) settings_.ScreenDistance = *zoom * 1000;
    ApplyViewChange();
  };
  h.region = [this](int latMin, int lonMin, int latMax, int lonMax, const std::string& suffix) {
    const MapRegion region{latMin, latMax, lonMin, lonMax};
    const MakeMapResult made = MakeRegionMap(p_.files, region);
    if (made != MakeMapResult::Made) return log_.ShowMessage(MakeMapProblem(made) + suffix);
    RegionMade(region);
  };
  h.menu = [this](const std::string& name, const std::string& onOff) { return MenuCommand(name, onOff); };
}

void MainProgram::RegionMade(const MapRegion& region) {
  settings_.RegionSouth = region.latMin;
  settings_.RegionNorth = region.latMax;
  settings_.RegionWest = region.lonMin;
  settings_.RegionEast = region.lonMax;
  LoadOutline();
  // Stations over a blank page help nobody: show the new region whole.
  FitViewToRegion(settings_, region, layout_.plot.width, layout_.plot.height);
  log_.LogProcessMessage("The view moved to the new region (centre " + TrimmedNumberText(settings_.CenterLatitude) +
                         ", " + TrimmedNumberText(settings_.CenterLongitude) + ")");
  ApplyViewChange();  // saves the settings, region included
}

bool MainProgram::MenuCommand(const std::string& name, const std::string& onOff) {
  if (name.empty()) {
    // Reads top-down: the items of the Map menu with their names and marks.
    std::vector<std::string> lines;
    for (const MenuEntry& top : MainMenuTree()) {
      if (top.name != "mnuMap") continue;
      WalkMenus(top.children, "", [&](const MenuEntry& e, const std::string& path) {
        if (e.name.find('@') != std::string::npos && e.name.substr(e.name.find('@') + 1) != e.name.substr(4, e.name.find('_') - 4))
          return;  // each build item once
        lines.push_back(MenuWord(e.name) + " - " + path + (e.checkable ? (menus_.Checked(e.name) ? " (ON)" : " (OFF)") : ""));
      });
    }
    log_.ShowMessage(kSeparator);
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) log_.ShowMessage(*it);
    log_.ShowMessage("MENU name [ON|OFF] chooses an item of the Map menu (any other menu's too):");
    return true;
  }
  const std::string wanted = MenuWord(name);
  std::string control;
  bool checkable = false;
  WalkMenus(MainMenuTree(), "", [&](const MenuEntry& e, const std::string&) {
    if (control.empty() && MenuWord(e.name) == wanted) control = e.name, checkable = e.checkable;
  });
  if (control.empty()) return false;
  // ON and OFF give that state; an item already there is left alone.
  if (checkable && !onOff.empty() && menus_.Checked(control) == (onOff == "ON")) return true;
  Choose(control);
  return true;
}

MapGridBox MainProgram::MapGrid() {
  const MapRegion made{settings_.RegionSouth, settings_.RegionNorth, settings_.RegionWest, settings_.RegionEast};
  MapProjection view = projection_;
  view.UpdateScale(layout_.plot.width, layout_.plot.height);
  const MapRegion region = GridRegion(made, view);
  return GridBoxFor(region, StationsInside(store_, region), settings_.EarthRadius);
}

std::optional<std::string> MainProgram::ProgramConstant(const std::string& name) {
  if (name == "MAPGRID") return MapGrid().Words();
  if (name == "MAPRADIUS") return std::to_string(MapGrid().radius);
  if (name == "DIFFHOURS") return diffHours_;
  return std::nullopt;
}

void MainProgram::RebuildPastGrids(const std::string& nowLine) {
  // "tessal now a b c d e f radius exponent 0 ": every past grid that exists is built
  // again with NOW's box for its own hour, so a change field compares what it says.
  const std::size_t back = nowLine.rfind(' ', nowLine.size() - 2);
  const std::size_t nameEnd = nowLine.find(' ', 7);
  if (back == std::string::npos || nameEnd == std::string::npos) return;
  for (int hours : kChangeHours) {
    const std::string name = "past" + std::to_string(hours);
    if (!p_.files.Exists(p_.files.Resolve(name + ".nv1"))) continue;
    const std::string line = "tessal " + name + nowLine.substr(nameEnd, back + 1 - nameEnd) + std::to_string(hours * 60) + " ";
    bool queued = false;
    for (int k = 0; k < queue_.Count(); ++k) queued = queued || queue_.Row(k).commandLine.rfind(line, 0) == 0;
    if (!queued) norvane::QueueGridBuild(queue_, line, log_);
  }
}

void MainProgram::NoteDiffHours(const std::string& name1, const std::string& name2) {
  auto validTime = [this](const std::string& name) -> std::optional<std::int32_t> {
    const auto bytes = p_.files.ReadAll(p_.files.Resolve(ToLower(name) + ".nv1"));
    if (!bytes || bytes->size() < sizeof(GridHeader)) return std::nullopt;
    GridHeader header;
    std::memcpy(&header, bytes->data(), sizeof header);
    return GridValidTime(header);
  };
  const auto t1 = validTime(name1), t2 = validTime(name2);
  diffHours_ = t1 && t2 ? FormatNumber(std::abs(*t1 - *t2) / 60.0, "0.#") : "unknown";
}

}  // namespace norvane
