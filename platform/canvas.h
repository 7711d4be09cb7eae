#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/color.h"

namespace norvane {

struct Font {
  std::string family = "Arial";
  int pointSize = 8;
  bool bold = false;
};

// A decoded bitmap (for example a weather symbol), pixels row by row from the top.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<Color> pixels;
};

// The drawing surface of the map. Coordinates are window pixels, origin top left.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // A new size empties the surface (at least 1 x 1 pixel).
  virtual void Resize(int width, int height) = 0;
  virtual void Clear(Color background) = 0;
  virtual void Line(double x1, double y1, double x2, double y2, Color color, int thickness) = 0;
  virtual void Circle(double x, double y, double radius, Color color, bool filled) = 0;
  virtual void Point(double x, double y, Color color) = 0;
  virtual void Text(double x, double y, std::string_view text, const Font& font, Color color) = 0;
  virtual double TextWidth(std::string_view text, const Font& font) const = 0;
  virtual double TextHeight(std::string_view text, const Font& font) const = 0;
  // Draws the image with its top-left corner at (x, y); `transparent` pixels are skipped.
  virtual void Picture(double x, double y, const Image& image, Color transparent) = 0;

  // Whole pictures kept to be shown again without painting (the frames of a loop).
  // A surface that keeps none answers false, and the caller paints the picture again.
  virtual bool KeepPicture(int /*slot*/) { return false; }
  virtual bool ShowKeptPicture(int /*slot*/) { return false; }
  virtual void ForgetKeptPictures() {}
};

}  // namespace norvane
