#pragma once
#include "platform/printer.h"

namespace norvane {

// The platform's printers through Qt's printing support, and "PDF file".
class QtPrinter : public Printer {
 public:
  std::vector<std::string> DeviceNames() const override { return {kPdfPrinter}; }
  std::string DefaultDevice() const override { return kPdfPrinter; }
  bool BeginDocument(const PrinterSetup&) override { return false; }
  double PageWidth() const override { return 0; }
  double PageHeight() const override { return 0; }
  void SetFontSize(double) override {}
  double TextWidth(std::string_view) const override { return 0; }
  bool PrintLine(std::string_view) override { return false; }
  bool DrawPicture(const Image&, double, double, double, double) override { return false; }
  bool NewPage() override { return false; }
  bool EndDocument() override { return false; }
  void CancelDocument() override {}
};

}  // namespace norvane
