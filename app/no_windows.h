#pragma once
// The program's dialogs where there is nobody to answer them (norvane-batch, the
// benchmarks): every one is cancelled.
#include "app/app_platform.h"

namespace norvane {

class NoWindows : public AppWindows {
 public:
  std::optional<std::string> ChooseScript() override { return std::nullopt; }
  std::optional<std::string> ChooseDownloadHour(const std::string&, std::int32_t) override { return std::nullopt; }
  std::optional<MapRegion> SelectRegion() override { return std::nullopt; }
  bool EnterCoordinates(Settings&) override { return false; }
  bool EditZoomSlots(Settings&) override { return false; }
  OptionsResult EditOptions(Settings&, OptionsPage, Reporter&, const ServerTryHooks&) override {
    return OptionsResult::Cancelled;
  }
  std::optional<PrintChoice> ChoosePrinter(Printer&) override { return std::nullopt; }
  void EditPoints() override {}
  std::optional<VerificationRequest> ChooseVerification(const std::string&) override { return std::nullopt; }
  void ShowVerificationText(const std::string&) override {}
};

}  // namespace norvane
