#pragma once
// The eight named zoom slots: choosing one, the zoom-slot editor's checks, and keeping
// what comes from "zooms.ini" usable. The file itself is read and written with the
// settings (ReadZoomsText / WriteZoomsText, SaveSettings through the replace helper).
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings.h"
#include "platform/dialogs.h"

namespace norvane {

constexpr int kZoomSlots = 8;

// A slot name as it is kept: the file format has no way to write a double quote, and
// a line break would split the slot's record, so both are dropped.
std::string StoredSlotName(std::string_view name);

// After "zooms.ini" has been read: names cleaned as above, and a slot whose numbers do
// not describe a view (not finite) is emptied, so that no garbage file can send the
// view into nonsense when the slot is chosen.
void SanitizeZoomSlots(std::array<ZoomSlot, kZoomSlots>& slots);

// The "&Zoom" menu item of slot k: false (nothing changes) for an unnamed slot or k
// outside 0..7. The caller runs ApplyViewChange either way. Values are kept within the
// limits of the coordinates dialog.
bool ChooseZoomSlot(Settings& settings, int k);

// One row of the editor ("frmZoom").
struct ZoomEditorRow {
  std::string txtZoomName;
  std::string txtCenterLat;
  std::string txtCenterLong;
  std::string txtZoomFactor;
};
using ZoomEditorRows = std::array<ZoomEditorRow, kZoomSlots>;

enum class ZoomEditorField { txtZoomName, txtCenterLat, txtCenterLong, txtZoomFactor };
struct ZoomEditorFocus {
  int row = 0;
  ZoomEditorField field = ZoomEditorField::txtCenterLat;
  bool operator==(const ZoomEditorFocus&) const = default;
};

ZoomEditorRows OpenZoomEditor(const Settings& settings);
// `cmdUseCurrent` of one row.
void UseCurrentView(ZoomEditorRow& row, const Settings& settings);
// `cmdOk`: rows 0 to 7 in turn (an unnamed row has its number boxes emptied first);
// the first failure shows its "ERROR" box and returns the box to focus, with nothing
// stored. On success every slot takes its row and nothing is returned; the caller
// then renames the menu items, calls SaveSettings and closes the dialog.
std::optional<ZoomEditorFocus> AcceptZoomEditor(ZoomEditorRows& rows, Settings& settings, Dialogs& dialogs);

}  // namespace norvane
