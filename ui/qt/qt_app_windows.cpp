#include "ui/qt/qt_app_windows.h"

#include "ui/qt/coordinates_dialog.h"
#include "ui/qt/options_dialog.h"
#include "ui/qt/picture_window.h"
#include "ui/qt/points_editor_dialog.h"
#include "ui/qt/print_dialog.h"
#include "ui/qt/region_dialog.h"
#include "ui/qt/script_dialog.h"
#include "ui/qt/special_download_dialog.h"
#include "ui/qt/verification_dialog.h"
#include "ui/qt/verification_text_window.h"
#include "ui/qt/zoom_editor_dialog.h"

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

std::optional<MapRegion> QtAppWindows::SelectRegion() {
  SelectRegionDialog dialog(files_, dialogs_, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return BandToRegion(dialog.Band());
}

bool QtAppWindows::EnterCoordinates(Settings& settings) {
  CoordinatesDialog dialog(settings, dialogs_, parent_);
  return dialog.exec() == QDialog::Accepted;
}

bool QtAppWindows::EditZoomSlots(Settings& settings) {
  ZoomEditorDialog dialog(settings, dialogs_, parent_);
  return dialog.exec() == QDialog::Accepted;
}

AppWindows::OptionsResult QtAppWindows::EditOptions(Settings& settings, OptionsPage page, Reporter& log,
                                                    const ServerTryHooks& tryHooks) {
  OptionsDialog dialog(settings, page, files_, dialogs_, log, parent_, tryHooks);
  dialog.exec();
  return dialog.Result();
}

std::optional<PrintChoice> QtAppWindows::ChoosePrinter(Printer& printer) {
  PrintDialog dialog(printer, dialogs_, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

void QtAppWindows::EditPoints() {
  PointsEditorDialog dialog(files_, dialogs_, parent_);
  dialog.exec();
}

std::optional<VerificationRequest> QtAppWindows::ChooseVerification(const std::string& nowStamp) {
  VerificationWindow dialog(nowStamp, dialogs_, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Result();
}

void QtAppWindows::ShowVerificationText(const std::string& text) {
  // One window: asking again refreshes the one already open.
  auto* window = parent_ ? parent_->findChild<VerificationTextWindow*>("frmTextVerify", Qt::FindDirectChildrenOnly)
                         : nullptr;
  if (!window) {
    window = new VerificationTextWindow(parent_);
    window->setAttribute(Qt::WA_DeleteOnClose);
  }
  window->SetText(text);
  window->show();
  window->raise();
  window->activateWindow();
}

void QtAppWindows::ShowPicture(const WindowPicture& picture) {
  auto* window = new PictureWindow(files_, dialogs_, picture, parent_);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace norvane
