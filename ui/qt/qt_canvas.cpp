#include "ui/qt/qt_canvas.h"

#include <QFontMetricsF>

namespace norvane {

QColor ToQColor(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
Color FromQColor(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

QFont ToQFont(const Font& font) {
  QFont f(QString::fromStdString(font.family));
  f.setPointSizeF(font.pointSize > 0 ? font.pointSize : 8);
  f.setBold(font.bold);
  return f;
}

void QtCanvas::Resize(int width, int height) {
  painter_.reset();
  image_ = QImage(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
  image_.fill(Qt::white);
}

QPainter& QtCanvas::Painter() {
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(&image_);
    painter_->setRenderHint(QPainter::Antialiasing, true);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
  }
  return *painter_;
}

void QtCanvas::Clear(Color background) {
  painter_.reset();
  image_.fill(ToQColor(background));
}

void QtCanvas::Line(double x1, double y1, double x2, double y2, Color color, int thickness) {
  QPen pen(ToQColor(color));
  pen.setWidthF(std::max(1, thickness));
  Painter().setPen(pen);
  Painter().drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void QtCanvas::Circle(double x, double y, double radius, Color color, bool filled) {
  Painter().setPen(ToQColor(color));
  Painter().setBrush(filled ? QBrush(ToQColor(color)) : Qt::NoBrush);
  Painter().drawEllipse(QPointF(x, y), radius, radius);
  Painter().setBrush(Qt::NoBrush);
}

void QtCanvas::Point(double x, double y, Color color) {
  Painter().setPen(ToQColor(color));
  Painter().drawPoint(QPointF(x, y));
}

void QtCanvas::Text(double x, double y, std::string_view text, const Font& font, Color color) {
  const QFont f = ToQFont(font);
  Painter().setFont(f);
  Painter().setPen(ToQColor(color));
  // (x, y) is the top-left corner of the text, as the plot offsets are measured.
  QFontMetricsF m(f);
  Painter().drawText(QPointF(x, y + m.ascent()), QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

double QtCanvas::TextWidth(std::string_view text, const Font& font) const {
  return QFontMetricsF(ToQFont(font)).horizontalAdvance(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

double QtCanvas::TextHeight(std::string_view, const Font& font) const { return QFontMetricsF(ToQFont(font)).height(); }

void QtCanvas::Picture(double x, double y, const Image& image, Color transparent) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() < static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
    return;
  QImage img(image.width, image.height, QImage::Format_ARGB32);
  for (int row = 0; row < image.height; ++row)
    for (int col = 0; col < image.width; ++col) {
      const Color c = image.pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(col)];
      img.setPixel(col, row, c == transparent ? qRgba(0, 0, 0, 0) : qRgb(RedOf(c), GreenOf(c), BlueOf(c)));
    }
  Painter().drawImage(QPointF(x, y), img);
}

}  // namespace norvane
