#pragma once
#include <QImage>
#include <QPainter>
#include <memory>

#include "ui/platform/canvas.h"

namespace norvane {

// The map's drawing surface: an image the map widget shows, painted with QPainter.
class QtCanvas : public Canvas {
 public:
  void Resize(int width, int height);
  const QImage& Picture() const { return image_; }
  QImage& Picture() { return image_; }

  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }
  void Clear(Color background) override;
  void Line(double x1, double y1, double x2, double y2, Color color, int thickness) override;
  void Circle(double x, double y, double radius, Color color, bool filled) override;
  void Point(double x, double y, Color color) override;
  void Text(double x, double y, std::string_view text, const Font& font, Color color) override;
  double TextWidth(std::string_view text, const Font& font) const override;
  double TextHeight(std::string_view text, const Font& font) const override;
  void Picture(double x, double y, const Image& image, Color transparent) override;

 private:
  QPainter& Painter();
  QImage image_{1, 1, QImage::Format_RGB32};
  std::unique_ptr<QPainter> painter_;
};

QColor ToQColor(Color c);
Color FromQColor(const QColor& c);
QFont ToQFont(const Font& font);

}  // namespace norvane
