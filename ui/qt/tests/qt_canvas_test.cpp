// QtCanvas paints small shapes onto the pixels itself; these compare it with QPainter
// painting the same shapes the plain way, at awkward fractions of a pixel and across
// the image's edges.
#include <gtest/gtest.h>

#include <QPainter>
#include <QStaticText>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>

#include "ui/qt/map_snapshot.h"
#include "ui/qt/qt_canvas.h"

namespace norvane {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 100;

QImage WithQPainter(const std::function<void(QPainter&)>& paint) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  paint(p);
  return image;
}

struct Difference {
  int worst = 0;     // the largest channel difference
  long over40 = 0;   // pixels with a channel more than 40 off
};

Difference Compare(const QImage& a, const QImage& b) {
  Difference d;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      const int w = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
      d.worst = std::max(d.worst, w);
      if (w > 40) ++d.over40;
    }
  }
  return d;
}

TEST(QtCanvasDrawing, ThinLinesMatchQPainterPixelForPixel) {
  struct Case {
    const char* name;
    double x1, y1, x2, y2;
  };
  const Case cases[] = {
      {"shallow", 10.3, 20.7, 60.2, 31.1},      {"steep", 40.6, 5.2, 47.9, 90.4},
      {"right to left", 120.8, 50.5, 70.1, 44.4}, {"shorter than a pixel", 30.2, 30.2, 30.9, 30.5},
      {"diagonal", 5, 5, 95, 95},                {"one point", 80.4, 60.6, 80.4, 60.6},
      {"over the left edge", -20.5, 40.3, 15.2, 52.8}, {"over the bottom edge", 100.1, 80.2, 108.7, 130.9},
      {"along the top row", 3.5, 0.2, 150.5, 0.4}, {"far outside", -1e7, 50, 1e7, 51},
      {"wholly outside", -30, -30, -5, -8},
  };
  for (const Case& c : cases) {
    QtCanvas canvas;
    canvas.Resize(kWidth, kHeight);
    canvas.Line(c.x1, c.y1, c.x2, c.y2, Rgb(200, 30, 90), 1);
    const QImage expected = WithQPainter([&](QPainter& p) {
      p.setPen(QColor(200, 30, 90));
      p.drawLine(QPointF(c.x1, c.y1), QPointF(c.x2, c.y2));
    });
    EXPECT_EQ(Compare(canvas.Picture(), expected).worst, 0) << c.name;
  }
}

TEST(QtCanvasDrawing, ShortTextsMatchQPainterWhereverTheyFall) {
  const Font fonts[] = {{"MS Sans Serif", 8, false}, {"Arial", 10, true}};
  const char* texts[] = {" 72", "-15", "005"};
  std::mt19937 random(11);
  std::uniform_real_distribution<double> x(-12, kWidth + 2), y(-10, kHeight + 2);
  for (const Font& font : fonts) {
    for (const char* text : texts) {
      QtCanvas canvas;
      canvas.Resize(kWidth, kHeight);
      QStaticText laidOut(QString::fromUtf8(text));
      laidOut.prepare(QTransform(), ToQFont(font));
      std::vector<QPointF> at;
      for (int k = 0; k < 60; ++k) at.emplace_back(x(random), y(random));
      for (const QPointF& p : at) canvas.Text(p.x(), p.y(), text, font, Rgb(0, 120, 40));
      auto painted = [&](QPointF shift) {
        return WithQPainter([&](QPainter& p) {
          p.setFont(ToQFont(font));
          p.setPen(QColor(0, 120, 40));
          for (const QPointF& q : at) p.drawStaticText(q + shift, laidOut);
        });
      };
      // Some fonts' glyph coverage rounds a shade differently in the cache than in
      // QPainter; a text a pixel out of place differs by far more than that.
      constexpr int kShade = 4;
      EXPECT_LE(Compare(canvas.Picture(), painted({0, 0})).worst, kShade) << text << " in " << font.family;
      EXPECT_GT(Compare(canvas.Picture(), painted({1, 0})).worst, 10 * kShade) << text << " in " << font.family;
    }
  }
}

TEST(QtCanvasDrawing, CirclesAndPicturesMatchQPainter) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> x(-4, kWidth + 4), y(-4, kHeight + 4);
  struct Circle {
    double x, y, radius;
    bool filled;
  };
  std::vector<Circle> circles;
  for (int k = 0; k < 300; ++k) circles.push_back({x(random), y(random), k % 3 == 0 ? 1.0 : 2.0, k % 5 == 0});
  Image symbol{3, 2, {Rgb(255, 255, 255), Rgb(10, 20, 30), Rgb(255, 255, 255), Rgb(1, 2, 3), Rgb(4, 5, 6),
                      Rgb(255, 255, 255)}};
  const QPointF symbolsAt[] = {{20.5, 30.49}, {-1.5, 10.2}, {158.7, 99.6}, {70.2, -1.7}};

  QtCanvas canvas;
  canvas.Resize(kWidth, kHeight);
  for (const Circle& c : circles) canvas.Circle(c.x, c.y, c.radius, Rgb(90, 60, 200), c.filled);
  for (const QPointF& p : symbolsAt) canvas.Picture(p.x(), p.y(), symbol, Rgb(255, 255, 255));
  const QImage expected = WithQPainter([&](QPainter& p) {
    for (const Circle& c : circles) {
      p.setPen(QColor(90, 60, 200));
      p.setBrush(c.filled ? QBrush(QColor(90, 60, 200)) : Qt::NoBrush);
      p.drawEllipse(QPointF(c.x, c.y), c.radius, c.radius);
    }
    for (const QPointF& q : symbolsAt) p.drawImage(q, ToQImage(symbol, Rgb(255, 255, 255)));
  });
  // A circle's centre is taken to a sixteenth of a pixel: its rim may be a shade off.
  const Difference d = Compare(canvas.Picture(), expected);
  EXPECT_EQ(d.over40, 0);
  EXPECT_LE(d.worst, 40);
}

// At a device-pixel ratio of 2 the map is painted in the screen's own pixels: what
// QPainter paints on a picture of that density, not a half-size picture enlarged.
// A saved or printed map keeps the size it has on screen.
TEST(QtCanvasDrawing, PaintsAtTwiceTheDensityOnADenseScreen) {
  Image symbol{3, 2, {Rgb(255, 255, 255), Rgb(10, 20, 30), Rgb(255, 255, 255), Rgb(1, 2, 3), Rgb(4, 5, 6),
                      Rgb(255, 255, 255)}};
  const Font font{"MS Sans Serif", 8, false};
  QtCanvas canvas;
  canvas.SetDevicePixelRatio(2);
  canvas.Resize(kWidth, kHeight);
  ASSERT_EQ(canvas.Width(), kWidth);
  ASSERT_EQ(canvas.Picture().width(), 2 * kWidth);
  auto paint = [&](Canvas& c) {
    c.Line(10.3, 20.7, 150.2, 81.1, Rgb(200, 30, 90), 1);
    for (int k = 0; k < 12; ++k) {
      c.Circle(12.3 + 11.7 * k, 50.6, 2, Rgb(90, 60, 200), k % 2 == 0);
      c.Text(14.1 + 11.7 * k, 52.2, "-15", font, Rgb(0, 120, 40));
    }
    c.Picture(30.4, 80.6, symbol, Rgb(255, 255, 255));
  };
  paint(canvas);

  QImage expected(2 * kWidth, 2 * kHeight, QImage::Format_RGB32);
  expected.setDevicePixelRatio(2);
  expected.fill(Qt::white);
  {
    QPainter p(&expected);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    QPen hairline(QColor(200, 30, 90));
    hairline.setCosmetic(true);
    p.setPen(hairline);
    p.drawLine(QPointF(10.3, 20.7), QPointF(150.2, 81.1));
    p.setFont(ToQFont(font));
    QStaticText laidOut("-15");
    laidOut.prepare(QTransform(), ToQFont(font));
    for (int k = 0; k < 12; ++k) {
      p.setPen(QColor(90, 60, 200));
      p.setBrush(k % 2 == 0 ? QBrush(QColor(90, 60, 200)) : Qt::NoBrush);
      p.drawEllipse(QPointF(12.3 + 11.7 * k, 50.6), 2, 2);
      p.setPen(QColor(0, 120, 40));
      p.drawStaticText(QPointF(14.1 + 11.7 * k, 52.2), laidOut);
    }
    p.drawImage(QPointF(30, 81), ToQImage(symbol, Rgb(255, 255, 255)));
  }
  long off = 0, unlikeNeighbours = 0;
  for (int y = 0; y < 2 * kHeight; ++y) {
    for (int x = 0; x < 2 * kWidth; ++x) {
      const QRgb a = canvas.Picture().pixel(x, y), b = expected.pixel(x, y);
      if (std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))}) > 40)
        ++off;
      // An enlarged picture would repeat every pixel in the one to its right.
      if (x % 2 == 0 && a != canvas.Picture().pixel(x + 1, y)) ++unlikeNeighbours;
    }
  }
  EXPECT_EQ(off, 0);  // a circle's rim may be a shade off, no more
  EXPECT_GT(unlikeNeighbours, 200);

  const Image saved = FromQImage(canvas.Picture());
  EXPECT_EQ(saved.width, kWidth);
  EXPECT_EQ(saved.height, kHeight);
}

}  // namespace
}  // namespace norvane
