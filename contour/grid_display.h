#pragma once
// The GRID, DRAW and DRAWDIFF displays: grid values, contours and change fields
// drawn on the map picture from grid files, after the interpreter's own checks.
#include <functional>
#include <string>

#include "contour/contour_trace.h"
#include "core/reporter.h"
#include "platform/canvas.h"
#include "platform/file_system.h"

namespace norvane {

// What a display needs of the main program. Every call reads its own copy of the
// grid files; nothing is kept between calls.
struct GridDisplayContext {
  const FileSystem& files;
  Reporter& log;
  Canvas& canvas;
  StationPlacer place;  // degrees -> window point of the map picture, nothing when hidden
  double scale = 0;     // the projection's Scale; 0 before the first redraw: checks and messages only
  bool useCelsius = false;
  std::function<void()> processEvents;  // once per grid row, so a long display keeps the window alive
};

// GRID name field r g b [format]: the value of `field` at every visible grid point,
// or for "U" a line pointing into the wind.
void ShowGrid(GridDisplayContext& ctx, const std::string& name, const std::string& field, Color color,
              const std::string& format);

// DRAW name field start end interval r g b thickness [format].
void DrawContours(GridDisplayContext& ctx, const std::string& name, const std::string& field, double start,
                  double end, double interval, Color color, int thickness, const std::string& format);

// DRAWDIFF name name2 field start end interval r g b thickness [format]: contours of
// name - name2, then how well the two grids overlap.
void DrawContourDifference(GridDisplayContext& ctx, const std::string& name1, const std::string& name2,
                           const std::string& field, double start, double end, double interval, Color color,
                           int thickness, const std::string& format);

// The interpreter's hooks: `showGrid` and `drawContours` (DRAW when name2 is empty,
// DRAWDIFF otherwise).
void ShowGridCommand(GridDisplayContext& ctx, const std::string& name, const std::string& field, int rgb,
                     const std::string& format);
void DrawContoursCommand(GridDisplayContext& ctx, const std::string& name, const std::string& name2,
                         const std::string& field, double start, double end, double interval, int rgb, int thickness,
                         const std::string& format);

// Draws the pieces on the map picture: lines with the extra thickness, and labels
// with the level's value in `format`.
class CanvasContourSink : public ContourSink {
 public:
  CanvasContourSink(Canvas& canvas, Color color, int thickness, std::string format,
                    std::function<void()> processEvents = {});
  void BeginRow(int row) override;
  void Piece(const ContourPiece& piece) override;

 private:
  Canvas& canvas_;
  Color color_;
  int thickness_;
  std::string format_;
  std::function<void()> processEvents_;
};

}  // namespace norvane
