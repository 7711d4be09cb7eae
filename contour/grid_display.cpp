#include "contour/grid_display.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "contour/derived_quantities.h"
#include "core/number_text.h"

namespace norvane {
namespace {

constexpr const char* kDefaultFormat = "0.#";
constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kBlack = Rgb(0, 0, 0);
const Font kMapFont{"MS Sans Serif", 8, false};

std::string FormatOrDefault(const std::string& format) { return format.empty() ? kDefaultFormat : format; }

std::string GridFileOf(const GridDisplayContext& ctx, const std::string& name) {
  return ctx.files.Resolve(name + ".nv1");
}

// `display` is "grid" or "contour", as the messages name what could not be shown.
bool GridExists(GridDisplayContext& ctx, const std::string& name, const std::string& display) {
  if (ctx.files.Exists(GridFileOf(ctx, name))) return true;
  ctx.log.ShowMessage("Cannot show " + display + " because the grid '" + name + "' cannot be found");
  return false;
}

void CannotRead(GridDisplayContext& ctx, const std::string& name, const std::string& display) {
  ctx.log.ShowMessage("Cannot show " + display + " because the grid '" + name + "' cannot be read");
}

std::optional<Grid> LoadGrid(GridDisplayContext& ctx, const std::string& name, const std::string& display) {
  auto read = ReadGridFile(ctx.files, GridFileOf(ctx, name));
  if (!read.grid) CannotRead(ctx, name, display);
  return std::move(read.grid);
}

void UnknownField(GridDisplayContext& ctx, const std::string& display, const std::string& field) {
  ctx.log.ShowMessage("Cannot show " + display + " because '" + field + "' for type is not recognized");
}

void IllegalInterval(GridDisplayContext& ctx, double start, double end, double interval) {
  // An interval that runs the right way but too finely is a different slip.
  const bool rightWay = std::isfinite(start) && std::isfinite(end) && std::isfinite(interval) && interval != 0 &&
                        (end > start) == (interval > 0);
  ctx.log.ShowMessage(rightWay ? "Cannot show contour because there are too many levels from start to end (at most " +
                                     std::to_string(kMaxContourLevels) + ")"
                               : std::string("Cannot show contour because the interval is illegal for start and end"));
}

// What ShowGrid prints at a point: the value in the pattern, or for "U" the wind line.
enum class GridCode { Ceiling, DewPoint, Temperature, DewPointF, TemperatureF, Pressure, WindSpeed, PeakWind, Wind };

std::optional<GridCode> GridCodeOf(const std::string& field) {
  static const std::pair<const char*, GridCode> kCodes[] = {
      {"CIG", GridCode::Ceiling},     {"D", GridCode::DewPoint},   {"T", GridCode::Temperature},
      {"DF", GridCode::DewPointF},    {"TF", GridCode::TemperatureF}, {"SLP", GridCode::Pressure},
      {"WS", GridCode::WindSpeed},    {"WM", GridCode::PeakWind},  {"U", GridCode::Wind}};
  for (const auto& [code, value] : kCodes)
    if (field == code) return value;
  return std::nullopt;
}

double GridValue(const GridCell& cell, GridCode code) {
  switch (code) {
    case GridCode::Ceiling: return cell.Ceiling;
    case GridCode::DewPoint: return cell.DewPoint;
    case GridCode::Temperature: return cell.Temperature;
    case GridCode::DewPointF: return IsUsable(cell.DewPoint) ? CelsiusToFahrenheit(cell.DewPoint) : MissingValue;
    case GridCode::TemperatureF:
      return IsUsable(cell.Temperature) ? CelsiusToFahrenheit(cell.Temperature) : MissingValue;
    case GridCode::Pressure: return cell.Pressure;
    case GridCode::WindSpeed: return cell.WindSpeed;
    case GridCode::PeakWind: return cell.PeakWind;
    case GridCode::Wind: return IsUsable(cell.WindSpeed) ? 2 * cell.WindSpeed : MissingValue;
  }
  return MissingValue;
}

void DrawWindLine(Canvas& canvas, ScreenPoint at, const GridCell& cell, double value, Color color) {
  if (!IsUsable(cell.DirNorth) || !IsUsable(cell.DirEast)) return;
  const double length = std::min(value, 30.0);
  canvas.Circle(at.x, at.y, 1, kBlack, false);
  // Towards the direction the wind blows from.
  canvas.Line(at.x, at.y, at.x + cell.DirEast * length, at.y - cell.DirNorth * length, color, 1);
}

// `shown` on a white point, placed as if `measured` were centred on (cx, cy).
void CentredLabel(Canvas& canvas, double cx, double cy, const std::string& measured, const std::string& shown,
                  Color color) {
  const double x = cx - canvas.TextWidth(measured, kMapFont) / 2;
  const double y = cy - canvas.TextHeight(measured, kMapFont) / 2;
  canvas.Point(x, y, kWhite);
  canvas.Text(x, y, shown, kMapFont, color);
}

// The boxes of the values printed so far in one display. A value whose box would touch
// one of them is left out, as thinning leaves out stations: numbers printed over each
// other read as neither, and the later digits hide the earlier minus signs.
class PrintedBoxes {
 public:
  bool Claim(double left, double top, double width, double height) {
    constexpr double kGap = 1;
    const Box box{left - kGap, top, left + width + kGap, top + height};
    const auto [c0, r0] = Cell(box.left, box.top);
    const auto [c1, r1] = Cell(box.right, box.bottom);
    for (long long r = r0; r <= r1; ++r)
      for (long long c = c0; c <= c1; ++c) {
        const auto found = cells_.find(Key(c, r));
        if (found == cells_.end()) continue;
        for (const Box& other : found->second)
          if (box.left < other.right && other.left < box.right && box.top < other.bottom && other.top < box.bottom)
            return false;
      }
    for (long long r = r0; r <= r1; ++r)
      for (long long c = c0; c <= c1; ++c) cells_[Key(c, r)].push_back(box);
    return true;
  }

 private:
  struct Box {
    double left, top, right, bottom;
  };
  static constexpr double kCell = 32;
  static std::pair<long long, long long> Cell(double x, double y) {
    return {static_cast<long long>(std::floor(x / kCell)), static_cast<long long>(std::floor(y / kCell))};
  }
  static long long Key(long long c, long long r) { return r * 1000003 + c; }
  std::unordered_map<long long, std::vector<Box>> cells_;
};

void PrintValue(Canvas& canvas, PrintedBoxes& printed, ScreenPoint at, double value, GridCode code, bool useCelsius,
                Color color, const std::string& format) {
  const std::string text = FormatNumber(value, format);
  const bool toFahrenheit = !useCelsius && (code == GridCode::Temperature || code == GridCode::DewPoint);
  const std::string shown = toFahrenheit ? FormatNumber(CelsiusToFahrenheit(value), format) : text;
  // The box is measured on the Celsius text even when the Fahrenheit value is printed.
  const double left = at.x - canvas.TextWidth(text, kMapFont) / 2;
  const double top = at.y - canvas.TextHeight(text, kMapFont) / 2;
  if (!std::isfinite(left) || !std::isfinite(top) ||
      !printed.Claim(left, top, canvas.TextWidth(shown, kMapFont), canvas.TextHeight(shown, kMapFont)))
    return;
  CentredLabel(canvas, at.x, at.y, text, shown, color);
}

void DrawLevels(GridDisplayContext& ctx, const ContourField& field, const ContourLevels& levels, Color color,
                int thickness, const std::string& format) {
  CanvasContourSink sink(ctx.canvas, color, thickness, format, ctx.processEvents);
  TraceContours(field, levels, ctx.place, LabelSpacing(ctx.canvas.Width(), ctx.canvas.Height()), sink);
}

}  // namespace

CanvasContourSink::CanvasContourSink(Canvas& canvas, Color color, int thickness, std::string format,
                                     std::function<void()> processEvents)
    : canvas_(canvas),
      color_(color),
      thickness_(std::max(thickness, 0)),
      format_(FormatOrDefault(format)),
      processEvents_(std::move(processEvents)) {}

void CanvasContourSink::BeginRow(int) {
  if (processEvents_) processEvents_();
}

void CanvasContourSink::Piece(const ContourPiece& piece) {
  const ScreenPoint p = piece.from, q = piece.to;
  if (piece.kind == PieceKind::Label) {
    const std::string text = FormatNumber(piece.level, format_);
    CentredLabel(canvas_, (p.x + q.x) / 2, (p.y + q.y) / 2, text, text, color_);
    return;
  }
  canvas_.Line(p.x, p.y, q.x, q.y, color_, 1);
  // Extra thickness: the same line shifted half a unit further each way per step.
  for (int n = 1; n <= thickness_; ++n) {
    const double d = 0.5 * n;
    canvas_.Line(p.x + d, p.y, q.x + d, q.y, color_, 1);
    canvas_.Line(p.x, p.y + d, q.x, q.y + d, color_, 1);
    canvas_.Line(p.x - d, p.y, q.x - d, q.y, color_, 1);
    canvas_.Line(p.x, p.y - d, q.x, q.y - d, color_, 1);
  }
  canvas_.Point(p.x, p.y, color_);
  canvas_.Point(q.x, q.y, color_);
}

void ShowGrid(GridDisplayContext& ctx, const std::string& name, const std::string& field, Color color,
              const std::string& format) {
  const std::string pattern = FormatOrDefault(format);
  ctx.log.LogProcessMessage("Showing grid '" + field + "' from " + name);
  if (!GridExists(ctx, name, "grid")) return;
  const auto grid = LoadGrid(ctx, name, "grid");
  if (!grid || !ctx.place) return;
  const auto code = GridCodeOf(field);
  PrintedBoxes printed;
  for (int i = 0; i < grid->size.rows; ++i) {
    if (ctx.processEvents) ctx.processEvents();
    for (int j = 0; j < grid->size.columns; ++j) {
      const auto at = ctx.place(grid->LatitudeOf(i), grid->LongitudeOf(j));
      if (!at) continue;
      // The code is looked at only where a point is visible: a grid wholly out of view says nothing.
      if (!code) return UnknownField(ctx, "grid", field);
      if (ctx.scale == 0) return;
      const GridCell& cell = grid->At(i, j);
      const double value = GridValue(cell, *code);
      if (!IsUsable(value)) continue;
      if (*code == GridCode::Wind) DrawWindLine(ctx.canvas, *at, cell, value, color);
      else PrintValue(ctx.canvas, printed, *at, value, *code, ctx.useCelsius, color, pattern);
    }
  }
}

void DrawContours(GridDisplayContext& ctx, const std::string& name, const std::string& field, double start,
                  double end, double interval, Color color, int thickness, const std::string& format) {
  const std::string pattern = FormatOrDefault(format);
  ctx.log.LogProcessMessage("Drawing contour '" + field + "' from " + name);
  const auto levels = LevelsOf(start, end, interval);
  if (!levels) return IllegalInterval(ctx, start, end, interval);
  if (!GridExists(ctx, name, "contour")) return;
  const auto grid = LoadGrid(ctx, name, "contour");
  if (!grid) return;
  const auto code = ContourCodeOf(field);
  if (!code) return UnknownField(ctx, "contour", field);
  if (ctx.scale == 0) return;
  DrawLevels(ctx, FieldOf(*grid, *code), *levels, color, thickness, pattern);
}

void DrawContourDifference(GridDisplayContext& ctx, const std::string& name1, const std::string& name2,
                           const std::string& field, double start, double end, double interval, Color color,
                           int thickness, const std::string& format) {
  const std::string pattern = FormatOrDefault(format);
  ctx.log.LogProcessMessage("Drawing contour difference '" + field + "' from '" + name1 + "' and '" + name2 + "'");
  const auto levels = LevelsOf(start, end, interval);
  if (!levels) return IllegalInterval(ctx, start, end, interval);
  if (!GridExists(ctx, name1, "contour") || !GridExists(ctx, name2, "contour")) return;
  const auto first = LoadGrid(ctx, name1, "contour");
  if (!first) return;
  // The second header is compared before its cells are read, so a grid of another
  // box is refused as such even when it is also cut short.
  const auto bytes = ctx.files.ReadAll(GridFileOf(ctx, name2));
  if (bytes && bytes->size() >= static_cast<std::size_t>(kGridRecordBytes)) {
    GridHeader header;
    std::memcpy(&header, bytes->data(), kGridRecordBytes);
    if (!SameBox(first->header, header)) {
      ctx.log.ShowMessage("Cannot show contour because the headers of grid '" + name1 + "' and '" + name2 +
                          "' are different");
      return;
    }
  }
  const auto second = bytes ? DecodeGrid(*bytes).grid : std::nullopt;
  if (!second) return CannotRead(ctx, name2, "contour");
  const auto code = DifferenceCodeOf(field);
  if (!code) return UnknownField(ctx, "contour", field);
  const DifferenceField difference = DifferenceOf(*first, *second, *code);
  if (ctx.scale != 0) DrawLevels(ctx, difference.field, *levels, color, thickness, pattern);

  const double ratio = difference.mesh.Ratio();
  const std::string meshed = "Grids meshed at " + FormatNumber(ratio, "0.0%");
  if (ratio < 0.5) {
    ctx.log.ShowMessage(meshed);
    ctx.log.ShowMessage(
        "Such a low mesh value means the observation count for one or both of the grids was low.  Try special "
        "downloading for one of the grids you are comparing");
  } else {
    ctx.log.LogProcessMessage(meshed);
  }
}

void ShowGridCommand(GridDisplayContext& ctx, const std::string& name, const std::string& field, int rgb,
                     const std::string& format) {
  ShowGrid(ctx, name, field, static_cast<Color>(rgb), format);
}

void DrawContoursCommand(GridDisplayContext& ctx, const std::string& name, const std::string& name2,
                         const std::string& field, double start, double end, double interval, int rgb, int thickness,
                         const std::string& format) {
  if (name2.empty())
    DrawContours(ctx, name, field, start, end, interval, static_cast<Color>(rgb), thickness, format);
  else
    DrawContourDifference(ctx, name, name2, field, start, end, interval, static_cast<Color>(rgb), thickness, format);
}

}  // namespace norvane
