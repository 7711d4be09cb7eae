#pragma once
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QStaticText>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/canvas.h"

namespace norvane {

// Coverage (0-255) of one small shape, cut to the pixels it touches; `left` and `top`
// are where its first pixel falls from the whole pixel the shape was anchored at.
struct CoverageMask {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int stride = 0;  // the width padded to a multiple of four with no coverage
  std::vector<std::uint8_t> coverage;
};

// The map's drawing surface: an image the map widget shows, painted with QPainter.
//
// A full map is tens of thousands of tiny shapes: short outline segments, 2-pixel
// circles and 2-3 character values. QPainter spends far longer setting up each of them
// than painting its few pixels, so the canvas paints them itself onto the image's
// pixels with the same coverage QPainter would give:
// - thin lines with the same fixed-point stepping as Qt's antialiased cosmetic pen;
// - circles and short texts from coverage masks that QPainter drew once (a circle's
//   mask per sixteenth of a pixel of its centre; a text's per distinct placement of its
//   glyphs, which Qt snaps to a 1/64-pixel grid);
// - pictures copied at the pixel Qt would place them at.
// Anything else (thick lines, big circles, long texts) goes through QPainter.
//
// On a high-density screen the image holds the screen's own pixels (`ratio` of them
// per map pixel, which all drawing calls keep using): outlines stay one screen pixel
// wide, circles, texts and symbols are painted at the full density. The shortcuts
// above work in screen pixels at whole ratios; other ratios go through QPainter.
class QtCanvas : public Canvas {
 public:
  // Empties the picture.
  void SetDevicePixelRatio(double ratio);
  double DevicePixelRatio() const { return ratio_; }
  void Resize(int width, int height) override;
  const QImage& Picture() const { return image_; }
  // Whoever may change the image gets it with no painting in progress.
  QImage& Picture() {
    EndPainting();
    return image_;
  }

  int Width() const override { return mapWidth_; }
  int Height() const override { return mapHeight_; }
  void Clear(Color background) override;
  void Line(double x1, double y1, double x2, double y2, Color color, int thickness) override;
  void Circle(double x, double y, double radius, Color color, bool filled) override;
  void Point(double x, double y, Color color) override;
  void Text(double x, double y, std::string_view text, const Font& font, Color color) override;
  double TextWidth(std::string_view text, const Font& font) const override;
  double TextHeight(std::string_view text, const Font& font) const override;
  void Picture(double x, double y, const Image& image, Color transparent) override;
  // Kept pictures share the image's pixels until the next painting; each then costs
  // one picture's memory, up to a limit past which nothing more is kept.
  bool KeepPicture(int slot) override;
  bool ShowKeptPicture(int slot) override;
  void ForgetKeptPictures() override { kept_.clear(); }

 private:
  using Mask = CoverageMask;
  // Qt places a text's glyphs at 1/64 pixel and draws each at one of a few horizontal
  // phases, and its rows at whole pixels, so the 64 horizontal and 64 vertical fractions
  // of a position fall into a handful of classes that look the same. Those classes are
  // found once per text by drawing it at every fraction; a mask per pair of classes is
  // then drawn the first time it is needed.
  struct TextMasks {
    bool usable = false;  // false: the text is drawn by QPainter
    int margin = 0;       // the whole-pixel offset of the anchor in the masks
    int width = 0;        // the size of the image a mask is drawn in
    int height = 0;
    std::array<std::uint8_t, 64> columnClass{};
    std::array<std::uint8_t, 64> rowClass{};
    std::vector<int> columnFraction;  // a fraction of each class, to draw its masks at
    std::vector<int> rowFraction;
    std::vector<std::optional<Mask>> masks;  // column class + row class * columns
  };
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  struct LaidOutText {
    QStaticText text;
    std::unique_ptr<TextMasks> masks;
  };
  // A Font turned into Qt's terms once: a redraw writes thousands of values in two or
  // three fonts, and a QFont with its metrics built for each value is wasted work.
  struct PreparedFont {
    Font font;
    QFont qfont;
    QFontMetricsF metrics{QFont()};
    // A map repeats the same few hundred values thousands of times.
    mutable std::unordered_map<std::string, LaidOutText, TextHash, std::equal_to<>> texts;
  };
  // A picture converted to premultiplied pixels once. The source pixels are kept to tell
  // the same picture from a new one that happens to live at a freed picture's address.
  struct ConvertedPicture {
    int width = 0;
    int height = 0;
    Color transparent = 0;
    std::vector<Color> pixels;
    QImage image;
    // The stretches of each row that are not `transparent`: the only pixels to copy.
    struct Run {
      int row;
      int start;
      int length;
    };
    std::vector<Run> runs;
  };
  // The masks of one circle size, one per sixteenth of a pixel of the centre in x and y:
  // the antialiased rim then differs from an exact one by a shade or two, which no eye tells.
  static constexpr int kCircleSteps = 16;
  struct CircleMasks {
    double radius = 0;
    bool filled = false;
    std::array<std::optional<Mask>, kCircleSteps * kCircleSteps> masks;
  };

  QPainter& Painter();
  void EndPainting();
  const PreparedFont& Prepare(const Font& font) const;
  const ConvertedPicture& Convert(const Image& image, Color transparent);

  // Painting straight onto the pixels; all of them clip to the image.
  void BlendMask(const Mask& mask, int x, int y, Color color);
  void ThinLine(double x1, double y1, double x2, double y2, Color color);
  void BlitPicture(int x, int y, const ConvertedPicture& picture);

  const Mask& CircleMask(double radius, bool filled, int fractionX, int fractionY);
  Mask DrawCircleMask(double radius, bool filled, double x, double y) const;
  TextMasks FindTextMasks(const PreparedFont& font, const QString& text) const;
  const Mask& TextMask(const PreparedFont& font, LaidOutText& text, int fractionX, int fractionY) const;
  QImage NewCoverageImage(int width, int height) const;

  QImage image_{1, 1, QImage::Format_RGB32};
  int mapWidth_ = 1, mapHeight_ = 1;  // in map pixels
  double ratio_ = 1;
  int scale_ = 1;      // the ratio when it is whole
  bool fast_ = true;   // the shortcuts apply (a whole ratio)
  std::unique_ptr<QPainter> painter_;
  // The image's pixels while painting (fetched before the painter starts, so both write
  // to the same buffer); width_ and height_ count screen pixels.
  std::uint32_t* pixels_ = nullptr;
  qsizetype pixelsPerLine_ = 0;
  int width_ = 0;
  int height_ = 0;
  mutable std::vector<std::unique_ptr<PreparedFont>> fonts_;
  mutable const PreparedFont* painterFont_ = nullptr;  // the font set on painter_, to skip setting it again
  std::unordered_map<const Image*, ConvertedPicture> pictures_;
  std::vector<std::unique_ptr<CircleMasks>> circles_;
  std::vector<QImage> kept_;
};

QColor ToQColor(Color c);
// The picture as a QImage; pixels of the `transparent` colour, when given, become clear.
// The pixels must hold width x height values.
QImage ToQImage(const Image& image, std::optional<Color> transparent = std::nullopt);
Color FromQColor(const QColor& c);
QFont ToQFont(const Font& font);

}  // namespace norvane
