#pragma once

namespace norvane {

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct LayoutInput {
  int innerWidth = 0;
  int innerHeight = 0;
  int textHeight = 130;      // `TextHeight`
  double textWidth = 0.7;    // `TextWidth`
  bool zoomControlsShown = false;
  int commandHeight = 24;
  int latLongWidth = 120;
  int controlLeft = 0, controlWidth = 161, controlHeight = 105;
};

struct WindowLayout {
  Rect plot, command, ob, watch, control, latLong;
};

// Places the map, the command line, the output and watch boxes and the zoom
// controls for a window of the given inner size. No size comes out negative.
WindowLayout LayoutWindow(const LayoutInput& in);

// The text-box menus: height +/- 10 pixels (not below 0), width share +/- 0.05 within 0.2..0.8.
int EnlargedTextHeight(int height);
int ShrunkTextHeight(int height);
double IncreasedTextWidth(double width);
double DecreasedTextWidth(double width);

}  // namespace norvane
