#pragma once
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QStaticText>
#include <string>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/canvas.h"

namespace norvane {

// The map's drawing surface: an image the map widget shows, painted with QPainter.
class QtCanvas : public Canvas {
 public:
  void Resize(int width, int height) override;
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
  // A Font turned into Qt's terms once: a redraw writes thousands of values in two or
  // three fonts, and a QFont with its metrics built for each value is wasted work.
  struct PreparedFont {
    Font font;
    QFont qfont;
    QFontMetricsF metrics{QFont()};
    // Laid-out texts: a map repeats the same few hundred values thousands of times.
    mutable std::unordered_map<std::string, QStaticText> texts;
  };
  // A picture converted to a QImage once. The source pixels are kept to tell the same
  // picture from a new one that happens to live at a freed picture's address.
  struct ConvertedPicture {
    int width = 0;
    int height = 0;
    Color transparent = 0;
    std::vector<Color> pixels;
    QImage image;
  };

  QPainter& Painter();
  void EndPainting();
  const PreparedFont& Prepare(const Font& font) const;
  const QImage& Convert(const Image& image, Color transparent);

  QImage image_{1, 1, QImage::Format_RGB32};
  std::unique_ptr<QPainter> painter_;
  mutable std::vector<std::unique_ptr<PreparedFont>> fonts_;
  mutable const PreparedFont* painterFont_ = nullptr;  // the font set on painter_, to skip setting it again
  std::unordered_map<const Image*, ConvertedPicture> pictures_;
};

QColor ToQColor(Color c);
// The picture as a QImage; pixels of the `transparent` colour, when given, become clear.
// The pixels must hold width x height values.
QImage ToQImage(const Image& image, std::optional<Color> transparent = std::nullopt);
Color FromQColor(const QColor& c);
QFont ToQFont(const Font& font);

}  // namespace norvane
