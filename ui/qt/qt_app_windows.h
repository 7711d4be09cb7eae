#pragma once
#include <QWidget>

#include "app/app_platform.h"
#include "ui/qt/qt_printer.h"
#include "ui/qt/qt_program_runner.h"

namespace norvane {

// The program's own dialogs, opened modally over the main window. Each hands the
// user's entries to the checks of the libraries and returns what they accepted.
class QtAppWindows : public AppWindows {
 public:
  QtAppWindows(FileSystem& files, Dialogs& dialogs, QWidget* parent) : files_(files), dialogs_(dialogs), parent_(parent) {}
  std::optional<std::string> ChooseScript() override;
  std::optional<std::string> ChooseDownloadHour(const std::string& nowStamp, std::int32_t minuteClock) override;
  std::optional<MapRegion> SelectRegion() override;
  bool EnterCoordinates(Settings& settings) override;
  bool EditZoomSlots(Settings& settings) override;
  OptionsResult EditOptions(Settings& settings, OptionsPage page, Reporter& log,
                            const ServerTryHooks& tryHooks) override;
  std::optional<PrintChoice> ChoosePrinter(Printer& printer) override;
  void EditPoints() override;
  std::optional<VerificationRequest> ChooseVerification(const std::string& nowStamp) override;
  void ShowVerificationText(const std::string& text) override;
  void ShowPicture(const WindowPicture& picture) override;

 private:
  FileSystem& files_;
  Dialogs& dialogs_;
  QWidget* parent_;
};

}  // namespace norvane
