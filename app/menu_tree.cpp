#include "app/menu_tree.h"

#include <functional>

namespace norvane {
namespace {

MenuEntry Item(std::string caption, std::string name, bool checkable = false) {
  return {MenuEntry::Kind::Item, std::move(caption), std::move(name), checkable, {}, ""};
}
MenuEntry WithShortcut(MenuEntry item, std::string key) {
  item.shortcut = std::move(key);
  return item;
}
MenuEntry Separator() { return {MenuEntry::Kind::Separator, "", "", false, {}, ""}; }
MenuEntry Submenu(std::string caption, std::string name, std::vector<MenuEntry> children) {
  return {MenuEntry::Kind::Submenu, std::move(caption), std::move(name), false, std::move(children), ""};
}

std::vector<MenuEntry> ChangeMenu(int hours) {
  const std::string group = "mnuC" + std::to_string(hours);
  std::vector<MenuEntry> items = {Item("Dew Point", group + "_DP", true), Item("Pressure", group + "_SLP", true),
                                  Item("Temperature", group + "_Temp", true), Separator()};
  // Every group offers all four builds; the item names carry the group they sit in.
  for (int g : {3, 6, 12, 24})
    items.push_back(Item("Build " + std::to_string(g) + "hr Grid",
                         "mnuC" + std::to_string(g) + "_Build@" + std::to_string(hours)));
  return items;
}

std::vector<MenuEntry> BuildTree() {
  std::vector<MenuEntry> contours = {
      Item("Current Ceilings", "mnuC_Cigs", true),      Item("Current Dew Point", "mnuC_DP", true),
      Item("Current Sea Level Pressure", "mnuC_SLP", true), Item("Current Temperature", "mnuC_Temp", true),
      Item("Current Wind Speed (Avg)", "mnuC_WSavg", true), Item("Current Wind Speed (Max)", "mnuC_WSmax", true),
      Item("Mixing Ratio", "mnuMixingRatio", true),     Item("Moisture Convergence", "mnuMoistConv", true),
      Item("Relative Humidity", "mnuRelativeHumidity", true), Item("Wind Chill", "mnuWindChill", true)};
  for (int hours : {3, 6, 12, 24})
    contours.push_back(Submenu(std::to_string(hours) + " Hour Change", "mnuC" + std::to_string(hours), ChangeMenu(hours)));
  contours.push_back(Separator());
  contours.push_back(Item("Clear Contours", "mnuC_Clear"));

  std::vector<MenuEntry> zoom = {Item("&Enter Coordinates", "mnuEnterCoord"), Item("&Zoom Controls", "mnuZoomControls", true),
                                 Separator()};
  for (int slot = 0; slot < 8; ++slot) zoom.push_back(Item("Zoom " + std::to_string(slot + 1), "mnuZoom" + std::to_string(slot)));
  zoom.push_back(Separator());
  zoom.push_back(Item("&Zoom Editor", "mnuZoomEditor"));

  return {
      Submenu("&File", "mnuFile",
              {Item("&Print Chart", "mnuPrint"), Item("&Download Obs Now", "mnuDL"),
               Item("&Special Download", "mnuSpecialDownload"), Item("Check Ob Conti&nuity", "mnuContinuity"),
               Item("End &Current Process", "mnuKill"), Separator(), Item("E&xit", "mnuExit")}),
      Submenu("&Map", "mnuMap",
              {Submenu("Plots", "mnuPlots",
                       {Item("&Winds", "mnuWinds", true), Item("W&eather", "mnuWeather", true),
                        Item("Winds and Weather", "mnuWindsWeather", true), Item("&Relative Humidity", "mnuRH", true),
                        Item("&Ceilings", "mnuCIG", true), Item("&Dew Point", "mnuDP", true),
                        Item("&Temperature", "mnuTemp", true), Item("Wind &Barbs", "mnuWindBarbs", true), Item("Station &Model", "mnuModel", true),
                        Item("&Points", "mnuPoints", true), Item("&Stations", "mnuStations", true), Separator(),
                        Item("T&hin Crowded Stations", "mnuThin", true), Item("Clear Plots", "mnuClearPlots")}),
               Submenu("Contours", "mnuContours", contours),
               Submenu("Grid", "mnuGrid",
                       {Item("Current Ceilings", "mnuG_Cigs", true), Item("Current Dew Point", "mnuG_DP", true),
                        Item("Current Sea Level Pressure", "mnuG_SLP", true),
                        Item("Current Temperature", "mnuG_Temp", true), Item("Current Wind Barbs", "mnuG_WBarb", true),
                        Item("Current Wind Speed (Avg)", "mnuG_WSavg", true),
                        Item("Current Wind Speed (Max)", "mnuG_WSmax", true), Separator(),
                        Item("Clear Grids", "mnuG_Clear")}),
               Separator(), Item("Auto Refresh is ON", "mnuRefreshStatus", true), Item("Refresh Now", "mnuRefreshNow"),
               Item("&Run Script", "mnuRunScript"), Item("S&top Running Script", "mnuStopScript"),
               Item("Clear Auto Redraw Script", "mnuRemoveRedraw"), Item("Clear Map", "mnuClearAll")}),
      Submenu("&View", "mnuView",
              {Item("E&nlarge Text Boxes", "mnuEnlarge"), Item("S&hrink Text Boxes", "mnuShrink"),
               Item("&Increase Ob Box Width", "mnuIncrease"), Item("Decrease O&b Box Width", "mnuDecrease"),
               Separator(), Item("&Refresh Now", "mnuRefreshNow1"), Item("Redefine &Map", "mnuDefineMap"),
               Item("&Loop Last Hours", "mnuLoop", true),
               Submenu("Colors", "mnuColors",
                       {Item("Map Foreground", "mnuMapForeColor"), Item("Text Foreground", "mnuTextForeColor"),
                        Item("Text Background", "mnuTextBackColor")}),
               Item("&View Process Output", "mnuWatchProcess", true), Item("&Options", "mnuOptions")}),
      Submenu("&Zoom", "mnuZoom", zoom),
      Submenu("&Tools", "mnuTools",
              {Item("&Graphical Verification", "mnuGraphicalVerification"),
               Item("&Verification Text", "mnuVerificationText"), Item("&Points Editor", "mnuPointsEditor"),
               Item("Station &Meteogram", "mnuMeteogram")}),
      Submenu("&Help", "mnuHelpMenu", {WithShortcut(Item("&Help", "mnuHelp"), "F1"), Item("&About", "mnuAbout")}),
  };
}

}  // namespace

const std::vector<MenuEntry>& MainMenuTree() {
  static const std::vector<MenuEntry> tree = BuildTree();
  return tree;
}

const std::vector<std::string>& MenuModel::TopMenus() {
  static const std::vector<std::string> names = {"mnuFile", "mnuMap", "mnuView", "mnuZoom", "mnuTools", "mnuHelpMenu"};
  return names;
}

MenuModel::MenuModel() {
  std::function<void(const std::vector<MenuEntry>&)> add = [&](const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& e : entries) {
      if (e.kind == MenuEntry::Kind::Separator) continue;
      MenuItemState& s = items_[e.name];
      s.caption = e.caption;
      s.checkable = e.checkable;
      add(e.children);
    }
  };
  add(MainMenuTree());
}

bool MenuModel::Checked(const std::string& name) const {
  const auto it = items_.find(name);
  return it != items_.end() && it->second.checked;
}

void MenuModel::SetChecked(const std::string& name, bool checked) {
  const auto it = items_.find(name);
  if (it != items_.end()) it->second.checked = checked;
}

}  // namespace norvane
