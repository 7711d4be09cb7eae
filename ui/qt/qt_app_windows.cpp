#include "ui/qt/qt_app_windows.h"

#include "ui/qt/region_dialog.h"
#include "ui/qt/script_dialog.h"
#include "ui/qt/special_download_dialog.h"

namespace norvane {

std::optional<std::string> QtAppWindows::ChooseScript() {
  ScriptDialog dialog(files_, dialogs_, parent_);
  if (dialog.exec() != QDialog::Accepted || dialog.Result().empty()) return std::nullopt;
  return dialog.Result();
}

std::optional<std::string> QtAppWindows::ChooseDownloadHour(const std::string& nowStamp, std::int32_t minuteClock) {
  SpecialDownloadDialog dialog(nowStamp, minuteClock, dialogs_, parent_);
  if (dialog.exec() != QDialog::Accepted || dialog.Result().empty()) return std::nullopt;
  return dialog.Result();
}

bool QtAppWindows::SelectRegion() {
  SelectRegionDialog dialog(files_, dialogs_, parent_);
  return dialog.exec() == QDialog::Accepted;
}

bool QtAppWindows::EnterCoordinates(Settings&) { return false; }
bool QtAppWindows::EditZoomSlots(Settings&) { return false; }
AppWindows::OptionsResult QtAppWindows::EditOptions(Settings&, OptionsPage, Reporter&) { return OptionsResult::Cancelled; }
std::optional<PrintChoice> QtAppWindows::ChoosePrinter(Printer&) { return std::nullopt; }
void QtAppWindows::EditPoints() {}
std::optional<VerificationRequest> QtAppWindows::ChooseVerification(const std::string&) { return std::nullopt; }
void QtAppWindows::ShowVerificationText(const std::string&) {}

}  // namespace norvane
