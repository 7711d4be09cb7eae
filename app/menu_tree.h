#pragma once
// The menu bar of the map window as data: captions, control names and check marks.
// The window builds its menus from this tree and shows the states the program keeps.
#include <map>
#include <string>
#include <vector>

namespace norvane {

struct MenuEntry {
  enum class Kind { Item, Separator, Submenu };
  Kind kind = Kind::Item;
  std::string caption;
  std::string name;  // the control name, e.g. "mnuTemp"
  bool checkable = false;
  std::vector<MenuEntry> children;  // submenus only
  std::string shortcut;             // a key that chooses the item anywhere in the window ("F1")
};

// "&File", "&Map", "&View", "&Zoom", "&Tools", "&Help" with everything under them.
const std::vector<MenuEntry>& MainMenuTree();

// What the window shows of one item.
struct MenuItemState {
  std::string caption;
  bool checkable = false;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
};

// The states of every item and top-level menu, by control name.
class MenuModel {
 public:
  MenuModel();
  MenuItemState& operator[](const std::string& name) { return items_[name]; }
  bool Checked(const std::string& name) const;
  void SetChecked(const std::string& name, bool checked);
  bool Has(const std::string& name) const { return items_.count(name) > 0; }
  const std::map<std::string, MenuItemState>& Items() const { return items_; }
  // The six menus of the bar (disabled while the program loads).
  static const std::vector<std::string>& TopMenus();

 private:
  std::map<std::string, MenuItemState> items_;
};

}  // namespace norvane
