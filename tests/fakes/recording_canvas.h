#pragma once
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace norvane::testing {

// Records what was drawn where, in which colour and font. Text is measured as
// 0.6 x point size per character wide and 1.5 x point size high.
class RecordingCanvas : public Canvas {
 public:
  enum class Kind { Clear, Line, Circle, Point, Text, Picture };
  struct Op {
    Kind kind;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends, or position (x1, y1)
    double radius = 0;
    bool filled = false;
    int thickness = 0;
    Color color = 0;
    std::string text;
    Font font;
    int imageWidth = 0, imageHeight = 0;
  };
  std::vector<Op> ops;
  int width = 800, height = 600;

  int Width() const override { return width; }
  int Height() const override { return height; }
  void Resize(int w, int h) override {
    width = w < 1 ? 1 : w;
    height = h < 1 ? 1 : h;
  }
  void Clear(Color c) override { ops.push_back({Kind::Clear, 0, 0, 0, 0, 0, false, 0, c, {}, {}, 0, 0}); }
  void Line(double x1, double y1, double x2, double y2, Color c, int t) override {
    ops.push_back({Kind::Line, x1, y1, x2, y2, 0, false, t, c, {}, {}, 0, 0});
  }
  void Circle(double x, double y, double r, Color c, bool f) override {
    ops.push_back({Kind::Circle, x, y, 0, 0, r, f, 0, c, {}, {}, 0, 0});
  }
  void Point(double x, double y, Color c) override { ops.push_back({Kind::Point, x, y, 0, 0, 0, false, 0, c, {}, {}, 0, 0}); }
  void Text(double x, double y, std::string_view t, const Font& f, Color c) override {
    ops.push_back({Kind::Text, x, y, 0, 0, 0, false, 0, c, std::string(t), f, 0, 0});
  }
  double TextWidth(std::string_view t, const Font& f) const override { return 0.6 * f.pointSize * static_cast<double>(t.size()); }
  double TextHeight(std::string_view, const Font& f) const override { return 1.5 * f.pointSize; }
  void Picture(double x, double y, const Image& img, Color) override {
    ops.push_back({Kind::Picture, x, y, 0, 0, 0, false, 0, 0, {}, {}, img.width, img.height});
  }
  std::vector<Op> OfKind(Kind k) const {
    std::vector<Op> out;
    for (const auto& op : ops) if (op.kind == k) out.push_back(op);
    return out;
  }
};

}  // namespace norvane::testing
