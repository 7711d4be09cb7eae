#pragma once
#include <QFont>
#include <QPainter>
#include <memory>

#include "platform/printer.h"

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;
class QSaveFile;

namespace norvane {

// The platform's printers through Qt's printing support, and "PDF file", which every
// machine has. A PDF is written to a twin that replaces the named file only when the
// document ends, so a cancelled or failed print leaves an older file as it was.
class QtPrinter : public Printer {
 public:
  QtPrinter();
  ~QtPrinter() override;
  QtPrinter(const QtPrinter&) = delete;
  QtPrinter& operator=(const QtPrinter&) = delete;

  std::vector<std::string> DeviceNames() const override;
  std::string DefaultDevice() const override;
  bool BeginDocument(const PrinterSetup& setup) override;
  double PageWidth() const override;
  double PageHeight() const override;
  void SetFontSize(double points) override;
  double TextWidth(std::string_view text) const override;
  bool PrintLine(std::string_view text) override;
  bool DrawPicture(const Image& image, double left, double top, double width, double height) override;
  bool NewPage() override;
  bool EndDocument() override;
  void CancelDocument() override;

 private:
  bool Healthy() const;
  double DevicePerTwip() const;
  void Close();

  std::unique_ptr<QSaveFile> pdfFile_;
  std::unique_ptr<QPdfWriter> pdf_;
  std::unique_ptr<QPrinter> printer_;
  QPagedPaintDevice* device_ = nullptr;  // pdf_ or printer_ while a document is open
  QPainter painter_;
  QFont font_;
  bool monochrome_ = false;
  double nextLine_ = 0;  // device units from the top of the printable area
};

}  // namespace norvane
