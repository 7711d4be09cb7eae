#pragma once
// The printers the platform offers. Lengths on the page are in twips (1440 to the inch),
// measured from the top left of the printable area.
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

namespace norvane {

// The printer choice that writes a PDF file instead of paper; it needs a file name.
inline constexpr const char* kPdfPrinter = "PDF file";

enum class PageOrientation { Portrait = 1, Landscape = 2 };
enum class PrintQuality { High = -4, Medium = -3, Low = -2 };
enum class PrintColorMode { Monochrome = 1, Color = 2 };

struct PrinterSetup {
  std::string device;    // one of DeviceNames()
  PageOrientation orientation = PageOrientation::Portrait;
  PrintQuality quality = PrintQuality::High;
  PrintColorMode colorMode = PrintColorMode::Color;
  std::string fileName;  // for kPdfPrinter only
};

class Printer {
 public:
  virtual ~Printer() = default;
  // The installed printers in the platform's order (kPdfPrinter among them when offered).
  virtual std::vector<std::string> DeviceNames() const = 0;
  // The default printer's device name; empty when there is none.
  virtual std::string DefaultDevice() const = 0;

  // Selects the printer and its settings and starts a document. False when it cannot.
  virtual bool BeginDocument(const PrinterSetup& setup) = 0;
  // Size of the printable area of the current page.
  virtual double PageWidth() const = 0;
  virtual double PageHeight() const = 0;
  virtual void SetFontSize(double points) = 0;
  virtual double TextWidth(std::string_view text) const = 0;
  // Prints one line at the left margin below the previous one (a tab moves to the
  // next tab stop), going on to a new page when the line would not fit. False when
  // printing failed.
  virtual bool PrintLine(std::string_view text) = 0;
  // Draws the image scaled into the rectangle.
  virtual bool DrawPicture(const Image& image, double left, double top, double width, double height) = 0;
  virtual bool NewPage() = 0;
  virtual bool EndDocument() = 0;
  // Throws the document away; nothing of it is printed.
  virtual void CancelDocument() = 0;
};

}  // namespace norvane
