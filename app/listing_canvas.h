#pragma once
// A canvas in front of another that writes down every drawing call since the last
// clear, in a stable text form that tests and scripts can compare:
//   CLEAR c | LINE x1 y1 x2 y2 c thickness | CIRCLE x y r c filled | POINT x y c
//   TEXT x y c size bold "text" | PICTURE x y width height
// Coordinates have two decimals; colours are red + 256 x green + 65536 x blue.
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace norvane {

class ListingCanvas : public Canvas {
 public:
  // With `fixedMetrics`, text measures 0.6 x point size per character wide and
  // 1.5 x point size high, so a listing does not depend on the installed fonts.
  ListingCanvas(Canvas& inner, bool fixedMetrics) : inner_(inner), fixedMetrics_(fixedMetrics) {}

  const std::vector<std::string>& Lines() const { return lines_; }
  std::string Text() const;

  int Width() const override { return inner_.Width(); }
  int Height() const override { return inner_.Height(); }
  void Resize(int width, int height) override { inner_.Resize(width, height); }
  void Clear(Color background) override;
  void Line(double x1, double y1, double x2, double y2, Color color, int thickness) override;
  void Circle(double x, double y, double radius, Color color, bool filled) override;
  void Point(double x, double y, Color color) override;
  void Text(double x, double y, std::string_view text, const Font& font, Color color) override;
  double TextWidth(std::string_view text, const Font& font) const override;
  double TextHeight(std::string_view text, const Font& font) const override;
  void Picture(double x, double y, const Image& image, Color transparent) override;
  bool KeepPicture(int slot) override;
  // The listing then holds what the kept picture was painted with.
  bool ShowKeptPicture(int slot) override;
  void ForgetKeptPictures() override {
    inner_.ForgetKeptPictures();
    kept_.clear();
  }

 private:
  Canvas& inner_;
  bool fixedMetrics_;
  std::vector<std::string> lines_;
  std::vector<std::vector<std::string>> kept_;  // the listing of each kept picture
};

}  // namespace norvane
