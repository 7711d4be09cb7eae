// Fixed scenes painted through the real redraw path onto QtCanvas and compared with the
// pictures under ui/qt/tests/reference. A missing picture (or NORVANE_UPDATE_REFERENCES=1)
// is written from the current drawing and the test is skipped; look at it before committing.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFont>
#include <QFontDatabase>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/local_file_system.h"
#include "core/replace_file.h"
#include "map/draw_map.h"
#include "map/map_file.h"
#include "map/projected_outline.h"
#include "map/redraw.h"
#include "obs/decoded_observation.h"
#include "obs/report_cleaning.h"
#include "ui/qt/qt_canvas.h"

namespace fs = std::filesystem;

namespace norvane {
namespace {

const fs::path kReferences = fs::path(NORVANE_SOURCE_DIR) / "ui/qt/tests/reference";
const fs::path kFailures = fs::path(NORVANE_BINARY_DIR) / "reference-failures";

// The plot fonts resolve to whatever the machine has; DejaVu Sans (fonts-dejavu-core)
// is on every machine Norvane is built on, so the pictures pin both plot fonts to it.
bool PinFonts() {
  static const bool pinned = [] {
    const char* file = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!fs::exists(file)) return false;
    QFont::insertSubstitution("Arial", "DejaVu Sans");
    QFont::insertSubstitution("MS Sans Serif", "DejaVu Sans");
    // Adding a font also drops the fonts Qt resolved before the substitutions.
    return QFontDatabase::addApplicationFont(file) >= 0;
  }();
  return pinned;
}

struct Report {
  double latitude, longitude;
  const char* text;
};

// Reports decoded by the real decoder, placed over the central United States.
const Report kReports[] = {
    {39.30, -94.71, "KMCI 071153Z 18012G25KT 10SM -TSRA BKN030CB 24/19 A2992"},
    {41.30, -95.89, "KOMA 071152Z 32008KT 3SM BR OVC008 12/11 A3001"},
    {39.86, -104.67, "KDEN 071153Z 02015KT 1SM SN OVC004 M02/M04 A3010"},
    {35.39, -97.60, "KOKC 071152Z 17018G30KT 10SM SCT050 29/21 A2985 RMK PK WND 18041/1130"},
    {38.75, -90.37, "KSTL 071151Z 09005KT 2SM RA BR OVC015 15/14 A2995"},
    {44.88, -93.22, "KMSP 071153Z 35010KT 1/2SM FZRA OVC005 M01/M02 A3005"},
    {41.53, -93.66, "KDSM 071154Z 30006KT 1/4SM FG VV002 08/08 A3000"},
    {37.65, -97.43, "KICT 071153Z 20020G28KT 10SM CLR 27/15 A2988 RMK PK WND 20052/1120"},
    {36.20, -95.89, "KTUL 071153Z 19015KT 2SM +TSRA OVC012 22/21 A2990"},
    {35.04, -89.98, "KMEM 071153Z 00000KT 10SM FEW250 31/18 A2996"},
    {-33.95, 151.18, "YSSY 071200Z 16010KT CAVOK 18/09 Q1015"},  // far side of every view here
};

// A store, a view and an outline, redrawn as the program does it.
struct Scene {
  ObservationStore store;
  SymbolTable symbols;
  RedrawInputs in;
  MapProjection projection;
  ProjectedOutline outline;
  RedrawState redraw;
  RedrawHost host;
  QtCanvas canvas;

  Scene(double latitude, double longitude, double dotScale, const std::vector<MapRecord>& map) {
    store.Clear();
    int i = 0;
    for (const Report& r : kReports) {
      StationObservations& e = store[i++];
      const std::string report = CleanReport(r.text);
      e.identifier = report.substr(0, 4);
      e.latitude = static_cast<std::int16_t>(std::lround(r.latitude * 100));
      e.longitude = static_cast<std::int16_t>(std::lround(r.longitude * 100));
      e.reports[0] = {1000, report, DecodeReport(report)};
    }
    store[i].identifier = "end";
    symbols.Load(LocalFileSystem(fs::path(NORVANE_SOURCE_DIR) / "data"), "", nullptr);
    in.store = &store;
    in.now = 1000;
    in.nowStamp = "202612071200";
    in.plottedWx = std::string(46, '1');
    in.symbols = &symbols;
    projection.CenterLatitude = latitude;
    projection.CenterLongitude = longitude;
    projection.DotScale = dotScale;
    outline = ProjectMap(projection, map);
    host.updateScale = [this](int w, int h) { return projection.UpdateScale(w, h); };
    host.drawMap = [this](Canvas& c) { Draw_Map(c, projection, outline, Rgb(0, 0, 0)); };
    host.place = ProjectionPlacer(projection);
    // The LABEL command as the interpreter runs it.
    host.exec = [this](const std::string& line) {
      std::string text = line.substr(6);
      for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      redraw.labels.Add(text);
    };
  }

  const QImage& Draw(int width, int height) {
    canvas.Resize(width, height);
    redraw.force = true;
    EXPECT_TRUE(Redraw(redraw, in, host, canvas));
    return canvas.Picture();
  }
};

std::vector<MapRecord> RegionOutline() {
  const MapLoadResult world = LoadMap(LocalFileSystem(fs::path(NORVANE_SOURCE_DIR) / "data"), "world.map");
  return CutRegion(world.points, MapRegion{2400, 5200, -11500, -7500});
}

// Meridians every 30 degrees and parallels every 30 degrees, one line each, so that
// every line of the far hemisphere crosses the limb.
std::vector<MapRecord> Graticule() {
  std::vector<MapRecord> lines;
  auto point = [&](int lat, int lon) {
    lines.push_back({static_cast<std::int16_t>(lat * 100), static_cast<std::int16_t>(lon * 100)});
  };
  for (int lon = -180; lon < 180; lon += 30) {
    for (int lat = -90; lat <= 90; lat += 3) point(lat, lon);
    lines.push_back({});
  }
  for (int lat = -60; lat <= 60; lat += 30) {
    for (int lon = -180; lon <= 180; lon += 3) point(lat, lon);
    lines.push_back({});
  }
  return lines;
}

// Pixels with a channel more than 40 counts off, and a picture of them in red over
// the reference.
struct Comparison {
  long badPixels = 0;
  QImage diff;
};

Comparison Compare(const QImage& actualImage, const QImage& expectedImage) {
  const QImage actual = actualImage.convertToFormat(QImage::Format_RGB32);
  const QImage expected = expectedImage.convertToFormat(QImage::Format_RGB32);
  Comparison out;
  out.diff = expected;
  for (int y = 0; y < actual.height(); ++y) {
    for (int x = 0; x < actual.width(); ++x) {
      const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
      const int worst = std::max({std::abs(qRed(a) - qRed(e)), std::abs(qGreen(a) - qGreen(e)),
                                  std::abs(qBlue(a) - qBlue(e))});
      if (worst > 40) {
        ++out.badPixels;
        out.diff.setPixel(x, y, qRgb(255, 0, 0));
      } else {
        out.diff.setPixel(x, y, qRgb(128 + qRed(e) / 2, 128 + qGreen(e) / 2, 128 + qBlue(e) / 2));
      }
    }
  }
  return out;
}

// One in 4000 pixels: room for a few glyph edges that a newer font library shades
// differently, while a symbol moved by a pixel (about 100 pixels off on 480 x 320), one
// value missing (about 60) or one digit changed (about 40) is more.
long AllowedBadPixels(const QImage& image) { return static_cast<long>(image.width()) * image.height() / 4000; }

bool SavePng(const QImage& image, const fs::path& path) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return false;
  fs::create_directories(path.parent_path());
  LocalFileSystem files(path.parent_path());
  return ReplaceFile(files, path.filename().string(), bytes.toStdString());
}

void ExpectMatchesReference(const QImage& actual, const std::string& name) {
  const fs::path reference = kReferences / (name + ".png");
  const char* update = std::getenv("NORVANE_UPDATE_REFERENCES");
  if ((update && std::string(update) == "1") || !fs::exists(reference)) {
    ASSERT_TRUE(SavePng(actual, reference)) << reference;
    GTEST_SKIP() << "wrote " << reference << "; look at it before committing";
  }
  const QImage expected(QString::fromStdString(reference.string()));
  ASSERT_FALSE(expected.isNull()) << "unreadable reference " << reference;
  ASSERT_EQ(expected.size(), actual.size()) << name;
  const Comparison c = Compare(actual, expected);
  if (c.badPixels <= AllowedBadPixels(actual)) return;
  const fs::path actualFile = kFailures / (name + "-actual.png");
  const fs::path diffFile = kFailures / (name + "-diff.png");
  SavePng(actual, actualFile);
  SavePng(c.diff, diffFile);
  ADD_FAILURE() << name << ": " << c.badPixels << " pixels differ (at most " << AllowedBadPixels(actual)
                << " may); the drawing is in " << actualFile << ", the differences in red in " << diffFile
                << ". Rerun with NORVANE_UPDATE_REFERENCES=1 if the change is wanted.";
}

TEST(ReferenceImage, RegionPlotsMatchTheirPictures) {
  if (!PinFonts()) GTEST_SKIP() << "DejaVu Sans is missing (fonts-dejavu-core)";
  const std::vector<MapRecord> map = RegionOutline();
  ASSERT_FALSE(map.empty()) << "data/world.map is missing";
  Scene scene(38.5, -96, 0.00000006, map);
  struct Case {
    const char* name;
    bool PlotSwitches::*first;
    bool PlotSwitches::*second;
  };
  const Case cases[] = {
      {"region_temperatures", &PlotSwitches::temperature, &PlotSwitches::stations},
      {"region_ceilings", &PlotSwitches::ceilings, &PlotSwitches::stations},
      {"region_winds_weather", &PlotSwitches::winds, &PlotSwitches::weather},
  };
  for (const Case& c : cases) {
    scene.in.plots = {};
    scene.in.plots.*c.first = scene.in.plots.*c.second = true;
    ExpectMatchesReference(scene.Draw(480, 320), c.name);
  }

  // The tolerance must not hide a fault: one station's wind and symbol moved by two
  // pixels (a tenth of a degree) is over it.
  const QImage expected = scene.Draw(480, 320).copy();
  scene.store[2].longitude += 10;  // KDEN
  EXPECT_GT(Compare(scene.Draw(480, 320), expected).badPixels, AllowedBadPixels(expected));
}

TEST(ReferenceImage, OutlineBreaksAtTheLimb) {
  if (!PinFonts()) GTEST_SKIP() << "DejaVu Sans is missing (fonts-dejavu-core)";
  Scene scene(40, -97, 0.00000032, Graticule());
  scene.in.plots.temperature = true;
  ExpectMatchesReference(scene.Draw(360, 360), "globe_limb");
}

TEST(ReferenceImage, TinyAndEmptySurfacesDrawWithoutFailing) {
  Scene scene(39.5, -96, 0.00000006, RegionOutline());
  scene.in.plots.winds = scene.in.plots.weather = scene.in.plots.stations = true;
  EXPECT_EQ(scene.Draw(1, 1).size(), QSize(1, 1));
  // A minimised window: the surface keeps one pixel, the view has no scale, and
  // nothing but the background is painted.
  scene.in.background = Rgb(10, 20, 30);
  scene.host.updateScale = [&](int, int) { return scene.projection.UpdateScale(0, 0); };
  const QImage& empty = scene.Draw(0, 0);
  ASSERT_EQ(empty.size(), QSize(1, 1));
  EXPECT_EQ(empty.pixel(0, 0), qRgb(10, 20, 30));
}

// The canvas keeps converted pictures; one changed in place must not draw the old pixels.
TEST(QtCanvasPictures, APictureChangedInPlaceDrawsItsNewPixels) {
  QtCanvas canvas;
  canvas.Resize(4, 1);
  Image image{1, 1, {Rgb(255, 0, 0)}};
  canvas.Picture(0, 0, image, Rgb(255, 255, 255));
  image.pixels[0] = Rgb(0, 0, 255);
  canvas.Picture(2, 0, image, Rgb(255, 255, 255));
  image.pixels[0] = Rgb(255, 255, 255);  // now all paper
  canvas.Picture(3, 0, image, Rgb(255, 255, 255));
  const QImage& p = canvas.Picture();
  EXPECT_EQ(p.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(p.pixel(2, 0), qRgb(0, 0, 255));
  EXPECT_EQ(p.pixel(3, 0), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace norvane
