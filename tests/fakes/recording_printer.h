#pragma once
#include <string>
#include <vector>

#include "platform/printer.h"

namespace norvane::testing {

// Records the document instead of printing it. Text is measured at 20 twips per
// point of font size and character (so 240 per character at 12 points); `failAfter`
// makes the n-th print operation (lines and pictures) fail.
class RecordingPrinter : public Printer {
 public:
  struct Picture { int imageWidth, imageHeight; double left, top, width, height; };
  std::vector<std::string> devices = {"Office", kPdfPrinter};
  std::string defaultDevice = "Office";
  double pageWidth = 11520, pageHeight = 15120;  // 8 x 10.5 inches
  bool refuseBegin = false;
  int failAfter = -1;

  std::vector<PrinterSetup> begun;
  std::vector<std::vector<std::string>> pages;  // lines of each page
  std::vector<Picture> pictures;
  double fontSize = 8;
  bool ended = false, cancelled = false;

  std::vector<std::string> DeviceNames() const override { return devices; }
  std::string DefaultDevice() const override { return defaultDevice; }
  bool BeginDocument(const PrinterSetup& setup) override {
    if (refuseBegin) return false;
    begun.push_back(setup);
    pages.assign(1, {});
    return true;
  }
  double PageWidth() const override { return pageWidth; }
  double PageHeight() const override { return pageHeight; }
  void SetFontSize(double points) override { fontSize = points; }
  double TextWidth(std::string_view text) const override { return 20 * fontSize * static_cast<double>(text.size()); }
  bool PrintLine(std::string_view text) override {
    if (Fails()) return false;
    pages.back().emplace_back(text);
    return true;
  }
  bool DrawPicture(const Image& image, double left, double top, double width, double height) override {
    if (Fails()) return false;
    pictures.push_back({image.width, image.height, left, top, width, height});
    return true;
  }
  bool NewPage() override {
    pages.emplace_back();
    return true;
  }
  bool EndDocument() override {
    ended = true;
    return true;
  }
  void CancelDocument() override { cancelled = true; }

 private:
  bool Fails() { return failAfter >= 0 && operations_++ >= failAfter; }
  int operations_ = 0;
};

}  // namespace norvane::testing
