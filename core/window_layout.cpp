#include "core/window_layout.h"

#include <algorithm>

#include "core/lenient_number.h"

namespace norvane {

namespace {
int NotNegative(double v) { return static_cast<int>(std::max<long long>(0, RoundHalfEven(v))); }
}  // namespace

WindowLayout LayoutWindow(const LayoutInput& in) {
  WindowLayout l;
  l.plot.width = std::max(0, in.innerWidth);
  l.ob.height = l.watch.height = std::max(0, in.textHeight);
  l.plot.height = std::max(0, in.innerHeight - l.ob.height - in.commandHeight - 4);
  l.control = Rect{in.controlLeft, l.plot.height + 4, in.controlWidth, in.controlHeight};
  l.ob.top = l.plot.height + in.commandHeight + 4;
  l.watch.top = l.ob.top;
  if (in.zoomControlsShown) {
    l.ob.left = in.controlLeft + in.controlWidth + 8;
    const double w = std::max(0, l.plot.width - (in.controlLeft + in.controlWidth) - 12);
    l.ob.width = NotNegative(w * in.textWidth - 5);
    l.watch.width = NotNegative(w * (1 - in.textWidth) - 5);
    l.watch.left = l.ob.left + l.ob.width + 5;
  } else {
    l.ob.left = 0;
    l.ob.width = NotNegative(l.plot.width * in.textWidth - 2);
    l.watch.width = NotNegative(l.plot.width * (1 - in.textWidth) - 2);
    l.watch.left = l.ob.left + l.ob.width + 2;
  }
  l.command = Rect{l.ob.left, l.plot.height + 2, l.ob.width + l.watch.width + 2, in.commandHeight};
  l.latLong = Rect{l.plot.width - in.latLongWidth - 8, l.plot.height - 25, in.latLongWidth, 20};
  return l;
}

int EnlargedTextHeight(int height) { return height + 10; }
int ShrunkTextHeight(int height) { return std::max(0, height - 10); }
double IncreasedTextWidth(double width) { return std::min(0.8, width + 0.05); }
double DecreasedTextWidth(double width) { return std::max(0.2, width - 0.05); }

}  // namespace norvane
