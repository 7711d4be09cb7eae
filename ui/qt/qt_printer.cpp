#include "ui/qt/qt_printer.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

#include "ui/qt/qt_canvas.h"

namespace norvane {
namespace {

constexpr double kTwipsPerInch = 1440;
// Tab stops every half inch, far enough apart for a continued report to stand out.
constexpr double kTabStopTwips = 720;

int Resolution(PrintQuality quality) {
  switch (quality) {
    case PrintQuality::High: return 600;
    case PrintQuality::Medium: return 300;
    case PrintQuality::Low: return 150;
  }
  return 300;
}

QPageLayout::Orientation ToQt(PageOrientation o) {
  return o == PageOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// Measures text in twips when no document is open: an image whose inch holds 1440 dots.
const QPaintDevice& TwipRuler() {
  static const QImage ruler = [] {
    QImage image(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(kTwipsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
  }();
  return ruler;
}

bool Finite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

QtPrinter::QtPrinter() : font_("Arial") {
  font_.setStyleHint(QFont::SansSerif);
  font_.setPointSizeF(10);
}

QtPrinter::~QtPrinter() { CancelDocument(); }

std::vector<std::string> QtPrinter::DeviceNames() const {
  std::vector<std::string> names;
  for (const QString& name : QPrinterInfo::availablePrinterNames()) names.push_back(name.toStdString());
  names.emplace_back(kPdfPrinter);
  return names;
}

std::string QtPrinter::DefaultDevice() const {
  const QString name = QPrinterInfo::defaultPrinterName();
  return name.isEmpty() ? std::string(kPdfPrinter) : name.toStdString();
}

bool QtPrinter::BeginDocument(const PrinterSetup& setup) {
  CancelDocument();
  monochrome_ = setup.colorMode == PrintColorMode::Monochrome;
  const QPageLayout::Orientation orientation = ToQt(setup.orientation);
  if (setup.device == kPdfPrinter) {
    if (setup.fileName.empty()) return false;
    pdfFile_ = std::make_unique<QSaveFile>(QString::fromStdString(setup.fileName));
    if (!pdfFile_->open(QIODevice::WriteOnly)) {
      pdfFile_.reset();
      return false;
    }
    pdf_ = std::make_unique<QPdfWriter>(pdfFile_.get());
    pdf_->setCreator("Norvane");
    pdf_->setResolution(Resolution(setup.quality));
    pdf_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(36, 36, 36, 36)));
    device_ = pdf_.get();
  } else {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(setup.device));
    if (info.isNull()) return false;
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer_->setResolution(Resolution(setup.quality));
    printer_->setPageOrientation(orientation);
    printer_->setColorMode(monochrome_ ? QPrinter::GrayScale : QPrinter::Color);
    printer_->setDocName("Norvane");
    device_ = printer_.get();
  }
  if (!painter_.begin(device_)) {
    Close();
    return false;
  }
  painter_.setFont(font_);
  painter_.setPen(Qt::black);
  nextLine_ = 0;
  return true;
}

double QtPrinter::DevicePerTwip() const { return device_ ? device_->logicalDpiX() / kTwipsPerInch : 1; }

double QtPrinter::PageWidth() const { return device_ ? device_->width() / DevicePerTwip() : 0; }

double QtPrinter::PageHeight() const { return device_ ? device_->height() / DevicePerTwip() : 0; }

void QtPrinter::SetFontSize(double points) {
  if (!std::isfinite(points) || points <= 0 || points > 1000) return;
  font_.setPointSizeF(points);
  if (painter_.isActive()) painter_.setFont(font_);
}

double QtPrinter::TextWidth(std::string_view text) const {
  const QString q = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  if (!device_) return QFontMetricsF(font_, &TwipRuler()).horizontalAdvance(q);
  return QFontMetricsF(font_, device_).horizontalAdvance(q) / DevicePerTwip();
}

bool QtPrinter::PrintLine(std::string_view text) {
  if (!Healthy()) return false;
  const QFontMetricsF metrics(font_, device_);
  // A line taller than a whole page still goes on a page of its own rather than
  // asking for new pages for ever.
  if (nextLine_ > 0 && nextLine_ + metrics.height() > device_->height()) {
    if (!NewPage()) return false;
  }
  const double tab = kTabStopTwips * DevicePerTwip();
  const double baseline = nextLine_ + metrics.ascent();
  double x = 0;
  std::string_view rest = text;
  for (;;) {
    const std::size_t cut = rest.find('\t');
    const std::string_view piece = rest.substr(0, cut);
    const QString q = QString::fromUtf8(piece.data(), static_cast<qsizetype>(piece.size()));
    painter_.drawText(QPointF(x, baseline), q);
    if (cut == std::string_view::npos) break;
    x += metrics.horizontalAdvance(q);
    x = (std::floor(x / tab) + 1) * tab;
    rest.remove_prefix(cut + 1);
  }
  nextLine_ += metrics.lineSpacing();
  return Healthy();
}

bool QtPrinter::DrawPicture(const Image& image, double left, double top, double width, double height) {
  if (!Healthy()) return false;
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
    return false;
  if (!Finite({left, top, width, height}) || width <= 0 || height <= 0) return false;
  QImage picture = ToQImage(image);
  if (monochrome_) picture = picture.convertToFormat(QImage::Format_Grayscale8);
  const double k = DevicePerTwip();
  painter_.setRenderHint(QPainter::SmoothPixmapTransform);
  painter_.drawImage(QRectF(left * k, top * k, width * k, height * k), picture);
  return Healthy();
}

bool QtPrinter::NewPage() {
  if (!Healthy() || !device_->newPage()) return false;
  nextLine_ = 0;
  return Healthy();
}

bool QtPrinter::EndDocument() {
  if (!device_) return false;
  bool ok = Healthy() && painter_.end();
  if (printer_) ok = ok && printer_->printerState() != QPrinter::Error;
  if (pdfFile_) {
    pdf_.reset();  // the writer finishes the file when the painter ends
    ok = ok && pdfFile_->commit();
  }
  Close();
  return ok;
}

void QtPrinter::CancelDocument() {
  if (!device_) return;
  if (printer_) printer_->abort();
  // A PDF twin that is never committed is removed with its QSaveFile.
  if (painter_.isActive()) painter_.end();
  Close();
}

bool QtPrinter::Healthy() const {
  if (!device_ || !painter_.isActive()) return false;
  if (printer_ && (printer_->printerState() == QPrinter::Error || printer_->printerState() == QPrinter::Aborted))
    return false;
  if (pdfFile_ && pdfFile_->error() != QFileDevice::NoError) return false;
  return true;
}

void QtPrinter::Close() {
  device_ = nullptr;
  pdf_.reset();
  printer_.reset();
  if (pdfFile_ && pdfFile_->isOpen()) pdfFile_->cancelWriting();
  pdfFile_.reset();
  nextLine_ = 0;
}

}  // namespace norvane
