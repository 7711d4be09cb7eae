#include "map/zoom_slots.h"

#include <algorithm>
#include <cmath>

#include "core/lenient_number.h"
#include "core/number_text.h"
#include "map/view_change.h"

namespace norvane {

std::string StoredSlotName(std::string_view name) {
  std::string kept;
  for (char c : name) {
    if (c != '"' && c != '\r' && c != '\n') kept += c;
  }
  return kept;
}

void SanitizeZoomSlots(std::array<ZoomSlot, kZoomSlots>& slots) {
  for (ZoomSlot& slot : slots) {
    slot.name = StoredSlotName(slot.name);
    if (!std::isfinite(slot.latitude) || !std::isfinite(slot.longitude) || !std::isfinite(slot.zoom)) slot = {};
  }
}

bool ChooseZoomSlot(Settings& settings, int k) {
  if (k < 0 || k >= kZoomSlots) return false;
  const ZoomSlot& slot = settings.Zooms[static_cast<std::size_t>(k)];
  if (slot.name.empty()) return false;
  // A hand-edited file may hold anything; keep the view within what the dialogs allow.
  settings.CenterLatitude = std::clamp(slot.latitude, -90.0, 90.0);
  settings.CenterLongitude = std::clamp(slot.longitude, -180.0, 180.0);
  settings.ScreenDistance = std::clamp(slot.zoom * 1000, kMinScreenDistance, kMaxScreenDistance);
  return true;
}

ZoomEditorRows OpenZoomEditor(const Settings& settings) {
  ZoomEditorRows rows;
  for (int k = 0; k < kZoomSlots; ++k) {
    const ZoomSlot& slot = settings.Zooms[static_cast<std::size_t>(k)];
    rows[static_cast<std::size_t>(k)] = {slot.name, TrimmedNumberText(slot.latitude),
                                         TrimmedNumberText(slot.longitude), TrimmedNumberText(slot.zoom)};
  }
  return rows;
}

void UseCurrentView(ZoomEditorRow& row, const Settings& s) {
  if (row.txtZoomName.empty())
    row.txtZoomName = FormatNumber(s.CenterLatitude, "0.0") + " / " + FormatNumber(s.CenterLongitude, "0.0");
  // Four decimals (about ten metres) are all a view needs, and fit the boxes.
  row.txtCenterLat = FormatNumber(s.CenterLatitude, "0.####");
  row.txtCenterLong = FormatNumber(s.CenterLongitude, "0.####");
  row.txtZoomFactor = ZoomFactorText(s.ScreenDistance);
}

std::optional<ZoomEditorFocus> AcceptZoomEditor(ZoomEditorRows& rows, Settings& settings, Dialogs& dialogs) {
  auto refuse = [&dialogs](const char* text, int row, ZoomEditorField field) {
    dialogs.MessageBox(text, "ERROR", BoxStyle::Exclamation);
    return ZoomEditorFocus{row, field};
  };
  for (int k = 0; k < kZoomSlots; ++k) {
    ZoomEditorRow& row = rows[static_cast<std::size_t>(k)];
    row.txtZoomName = StoredSlotName(row.txtZoomName);
    if (row.txtZoomName.empty()) row.txtCenterLat = row.txtCenterLong = row.txtZoomFactor = "";
    // "Not within" so that a box reading as infinity is refused as well.
    if (!(std::fabs(LenientNumber(row.txtCenterLat)) <= 90))
      return refuse("Latitudes must be between -90 and 90.", k, ZoomEditorField::txtCenterLat);
    if (!(std::fabs(LenientNumber(row.txtCenterLong)) <= 180))
      return refuse("Longitudes must be between -180 and 180.", k, ZoomEditorField::txtCenterLong);
    const double factor = LenientNumber(row.txtZoomFactor);
    if (!row.txtZoomName.empty() && !(factor >= 0.1 && factor <= 100))
      return refuse("Legal zoom factor values are from 0.1 to 100.", k, ZoomEditorField::txtZoomFactor);
  }
  for (int k = 0; k < kZoomSlots; ++k) {
    const ZoomEditorRow& row = rows[static_cast<std::size_t>(k)];
    settings.Zooms[static_cast<std::size_t>(k)] = {row.txtZoomName, LenientNumber(row.txtCenterLat),
                                                   LenientNumber(row.txtCenterLong), LenientNumber(row.txtZoomFactor)};
  }
  return std::nullopt;
}

}  // namespace norvane
