#pragma once
// The station model: a station's whole report drawn around its circle, as on a
// forecaster's surface chart. The layout is a pure function of the report's values and
// the view's size; drawing it is a separate step through the canvas.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "map/plots.h"
#include "map/station_thinning.h"
#include "map/symbol_table.h"
#include "platform/canvas.h"

namespace norvane {

// What one report gives the model; every group the report lacks stays empty.
struct StationModelInput {
  std::optional<int> skyCover;          // 0 clear, 1 few, 2 scattered, 3 broken, 4 overcast, 5 obscured
  bool windKnown = false;               // a wind group was decoded
  bool windVariable = false;            // "VRB": no direction to draw
  std::optional<int> windDirection;     // degrees from north the wind blows from, 1..360
  std::optional<int> windSpeed;         // knots
  std::optional<int> temperature;       // whole degrees Celsius
  std::optional<int> dewPoint;
  std::optional<double> seaLevelPressure;  // hectopascals
  int weatherSymbol = 0;                // 1..46, 0 none
  std::optional<double> visibility;     // statute miles
  bool visibilityAtLeast = false;       // "P6SM", "9999", CAVOK: no limit the report gives
  std::optional<int> tendencyCharacter; // 0..8, the shape of the last three hours' pressure
  std::optional<double> tendencyChange; // hectopascals over three hours, signed
};

// The one place a decoded report becomes the model's input: the columns, and from the
// report's own text what they have no room for (visibility, the pressure tendency).
StationModelInput ModelInputFromDecoded(std::string_view decoded, std::string_view report = {});

struct ModelLine {
  double x1, y1, x2, y2;
};
struct ModelTriangle {
  double x1, y1, x2, y2, x3, y3;
};

// A wind barb from the edge of the station circle towards the wind's origin: pennants
// of 50 knots at the outer end, then feathers of 10, then a half feather of 5, on the
// clockwise side of the shaft north of the equator and the other side south of it.
struct WindBarb {
  bool calm = false;        // drawn as a second circle instead
  bool drawn = false;       // false when direction or speed is unknown
  ModelLine shaft{};
  std::vector<ModelLine> feathers;  // full and half feathers
  std::vector<ModelTriangle> pennants;
  int fullFeathers = 0, halfFeathers = 0;
  int side = 0;             // +1 feathers clockwise of the shaft (seen from above), -1 the other way
};
WindBarb LayoutWindBarb(double x, double y, double circleRadius, const StationModelInput& input, bool southern,
                        double size);

enum class ModelPart { Temperature, DewPoint, Pressure, Tendency, Visibility };
enum class HAnchor { Left, Right };      // the given x is the text's left or right edge
enum class VAnchor { Top, Middle, Bottom };

struct ModelText {
  ModelPart part;
  double x, y;
  HAnchor h;
  VAnchor v;
  std::string text;
  Color color;
};

struct StationModelLayout {
  double x = 0, y = 0, radius = 0;
  Font font;
  std::vector<ModelLine> lines;  // sky fill, the missing-sky "M", tendency glyph
  bool filledCircle = false;     // overcast
  WindBarb barb;
  std::vector<ModelText> texts;
  int symbol = 0;                // weather symbol, its right edge at symbolX and middle at y
  double symbolX = 0;
};

// How much bigger the model is drawn at a view's `ScreenDistance`: 1 at the default
// zoom and wider, growing slowly to 1.5 when zoomed far in.
double StationModelSize(double screenDistance);
// The box one model takes, for thinning.
PlotFootprint StationModelFootprint(double size);

StationModelLayout LayoutStationModel(const StationModelInput& input, double x, double y, bool southern,
                                      double size, bool useCelsius);
void DrawStationModel(Canvas& canvas, const StationModelLayout& layout, const SymbolTable* symbols);

// "1/4", "1/2", "3/4", "1", "1 1/2", "7": visibility as charts write it.
std::string VisibilityText(double miles);

// The "Station Model" layer: every shown station's model.
void PlotStationModels(Canvas& canvas, const ShownList& list, const StationPlacer& place, double size,
                       bool useCelsius, const SymbolTable* symbols, std::string_view plottedWx);

}  // namespace norvane
