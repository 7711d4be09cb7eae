#include "ui/qt/qt_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace norvane {

QColor ToQColor(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

QImage ToQImage(const Image& image, std::optional<Color> transparent) {
  // Every pixel is either fully opaque or fully clear, so premultiplied values are the plain ones.
  QImage out(image.width, image.height, transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  for (int row = 0; row < image.height; ++row) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(row));
    const Color* source = image.pixels.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(image.width);
    for (int col = 0; col < image.width; ++col) {
      const Color p = source[col];
      line[col] = p == transparent ? qRgba(0, 0, 0, 0) : qRgb(RedOf(p), GreenOf(p), BlueOf(p));
    }
  }
  return out;
}
Color FromQColor(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

QFont ToQFont(const Font& font) {
  QFont f(QString::fromStdString(font.family));
  f.setPointSizeF(font.pointSize > 0 ? font.pointSize : 8);
  f.setBold(font.bold);
  return f;
}

namespace {
// Pictures drawn from short-lived images would otherwise pile up; the symbol table
// holds 46, so this leaves room for those and a few others.
constexpr std::size_t kMaxConvertedPictures = 128;
constexpr std::size_t kMaxPreparedFonts = 16;
constexpr std::size_t kMaxLaidOutTexts = 4096;
constexpr std::size_t kMaxCircleSizes = 8;
// Values and short labels are repeated all over a map; a longer text is rare enough
// that finding its masks would cost more than it saves.
constexpr std::size_t kMaxMaskedTextLength = 8;
constexpr double kMaxMaskedCircleRadius = 16;
// A loop of 48 hours at 1600 x 1000 keeps about 300 MB; beyond this the frames are
// painted again each time instead.
constexpr int kMaxKeptPictures = 64;
constexpr qsizetype kMaxKeptBytes = qsizetype{640} << 20;
// Positions beyond this are far off any image; they go through QPainter, which clips them.
constexpr double kMaxMaskedPosition = 1 << 20;

std::uint32_t Opaque(Color c) {
  return 0xff000000u | static_cast<std::uint32_t>(RedOf(c) << 16 | GreenOf(c) << 8 | BlueOf(c));
}

// x * a / 255 for the four channels at once, rounded as Qt's drawing code rounds it.
[[gnu::always_inline]] inline std::uint32_t ByteMul(std::uint32_t x, std::uint32_t a) {
  std::uint32_t t = (x & 0xff00ff) * a;
  t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
  x = ((x >> 8) & 0xff00ff) * a;
  x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
  return x | t;
}

// An opaque colour over a pixel with the given coverage, as Qt's antialiased pens do it
// (for an opaque colour, ByteMul(c, a) has alpha a).
[[gnu::always_inline]] inline std::uint32_t Over(std::uint32_t pixel, std::uint32_t opaqueColor,
                                                 std::uint32_t coverage) {
  return ByteMul(opaqueColor, coverage) + ByteMul(pixel, 255 - coverage);
}

// Over() for four pixels side by side.
[[gnu::always_inline]] inline void OverFour(std::uint32_t* pixels, const std::uint8_t* coverage,
                                            std::uint32_t opaqueColor) {
#ifdef __SSE2__
  // Each channel in 16 bits, so that x * a and its rounding fit without carrying over.
  const __m128i zero = _mm_setzero_si128();
  const __m128i half = _mm_set1_epi16(0x80);
  const __m128i full = _mm_set1_epi16(255);
  const __m128i color = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(opaqueColor)), zero);
  std::int32_t four;
  std::memcpy(&four, coverage, sizeof four);
  __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero);  // a0 a1 a2 a3 in 16 bits
  a = _mm_unpacklo_epi16(a, a);                                   // a0 a0 a1 a1 a2 a2 a3 a3
  const __m128i a01 = _mm_unpacklo_epi32(a, a), a23 = _mm_unpackhi_epi32(a, a);
  auto mul = [&](__m128i x, __m128i by) {
    const __m128i t = _mm_mullo_epi16(x, by);
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half), 8);
  };
  const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
  const __m128i lo = _mm_add_epi16(mul(color, a01), mul(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(full, a01)));
  const __m128i hi = _mm_add_epi16(mul(color, a23), mul(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(full, a23)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm_packus_epi16(lo, hi));
#else
  for (int k = 0; k < 4; ++k) pixels[k] = Over(pixels[k], opaqueColor, coverage[k]);
#endif
}

// Cuts the line (u1, v1)-(u2, v2) to lo <= u <= hi, moving v along; false when
// nothing of it is left. Called for x, then with the axes swapped for y.
bool ClipAxis(double& u1, double& v1, double& u2, double& v2, double lo, double hi) {
  if (u1 < lo) {
    if (u2 <= lo) return false;
    v1 += (v2 - v1) / (u2 - u1) * (lo - u1);
    u1 = lo;
  } else if (u1 > hi) {
    if (u2 >= hi) return false;
    v1 += (v2 - v1) / (u2 - u1) * (hi - u1);
    u1 = hi;
  }
  if (u2 < lo) {
    v2 += (v2 - v1) / (u2 - u1) * (lo - u2);
    u2 = lo;
  } else if (u2 > hi) {
    v2 += (v2 - v1) / (u2 - u1) * (hi - u2);
    u2 = hi;
  }
  return true;
}

int FloorDiv(int a, int b) { return a / b - (a % b < 0 ? 1 : 0); }

bool Maskable(double x, double y) {
  return std::isfinite(x) && std::isfinite(y) && std::abs(x) < kMaxMaskedPosition &&
         std::abs(y) < kMaxMaskedPosition;
}

// The pixels an ARGB32 coverage image covers, cut to their bounding box; `anchorX` and
// `anchorY` become the mask's origin.
CoverageMask CutMask(const QImage& image, int top, int height, int anchorX, int anchorY) {
  int minX = image.width(), maxX = -1, minY = height, maxY = -1;
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(top + y));
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(line[x]) == 0) continue;
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
      minY = std::min(minY, y);
      maxY = std::max(maxY, y);
    }
  }
  CoverageMask mask;
  if (maxX < 0) return mask;
  mask.left = minX - anchorX;
  mask.top = minY - anchorY;
  mask.width = maxX - minX + 1;
  mask.height = maxY - minY + 1;
  mask.stride = (mask.width + 3) / 4 * 4;
  mask.coverage.resize(static_cast<std::size_t>(mask.stride) * static_cast<std::size_t>(mask.height));
  for (int y = 0; y < mask.height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(top + minY + y));
    for (int x = 0; x < mask.width; ++x) {
      mask.coverage[static_cast<std::size_t>(y * mask.stride + x)] = static_cast<std::uint8_t>(qAlpha(line[minX + x]));
    }
  }
  return mask;
}

// True when a band of a coverage image has nothing on its outermost pixels, that is
// when the shape drawn in it was not cut by the band's edges.
bool ClearEdges(const QImage& image, int top, int height) {
  const int w = image.width();
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(top + y));
    if (y == 0 || y == height - 1) {
      for (int x = 0; x < w; ++x) {
        if (qAlpha(line[x]) != 0) return false;
      }
    } else if (qAlpha(line[0]) != 0 || qAlpha(line[w - 1]) != 0) {
      return false;
    }
  }
  return true;
}

// Which of the bands starting at `classTops` looks the same as the one at `top`, adding
// it as a new class when none does.
int ClassOf(const QImage& sheet, int top, int height, std::vector<int>& classTops) {
  const auto bytes = static_cast<std::size_t>(sheet.width()) * sizeof(QRgb);
  for (std::size_t k = 0; k < classTops.size(); ++k) {
    bool same = true;
    for (int y = 0; y < height && same; ++y) {
      same = std::memcmp(sheet.constScanLine(top + y), sheet.constScanLine(classTops[k] + y), bytes) == 0;
    }
    if (same) return static_cast<int>(k);
  }
  classTops.push_back(top);
  return static_cast<int>(classTops.size()) - 1;
}
}  // namespace

void QtCanvas::SetDevicePixelRatio(double ratio) {
  if (!(ratio > 0 && ratio <= 8)) ratio = 1;
  if (ratio == ratio_) return;
  ratio_ = ratio;
  scale_ = std::max(1, static_cast<int>(std::lround(ratio)));
  fast_ = ratio == scale_;
  // Masks and pictures made for the old density would come out at the wrong size.
  circles_.clear();
  fonts_.clear();
  painterFont_ = nullptr;
  pictures_.clear();
  kept_.clear();
  Resize(mapWidth_, mapHeight_);
}

void QtCanvas::Resize(int width, int height) {
  EndPainting();
  mapWidth_ = std::max(1, width);
  mapHeight_ = std::max(1, height);
  image_ = QImage(static_cast<int>(std::ceil(mapWidth_ * ratio_)), static_cast<int>(std::ceil(mapHeight_ * ratio_)),
                  QImage::Format_RGB32);
  image_.setDevicePixelRatio(ratio_);
  image_.fill(Qt::white);
}

void QtCanvas::EndPainting() {
  painter_.reset();
  painterFont_ = nullptr;
  pixels_ = nullptr;
  pixelsPerLine_ = 0;
  width_ = height_ = 0;
}

QPainter& QtCanvas::Painter() {
  if (!painter_) {
    if (image_.format() != QImage::Format_RGB32 && image_.format() != QImage::Format_ARGB32_Premultiplied) {
      image_ = image_.convertToFormat(QImage::Format_RGB32);
    }
    pixels_ = reinterpret_cast<std::uint32_t*>(image_.bits());
    pixelsPerLine_ = image_.bytesPerLine() / 4;
    width_ = image_.width();
    height_ = image_.height();
    painter_ = std::make_unique<QPainter>(&image_);
    painter_->setRenderHint(QPainter::Antialiasing, true);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    painterFont_ = nullptr;
  }
  return *painter_;
}

const QtCanvas::PreparedFont& QtCanvas::Prepare(const Font& font) const {
  for (const auto& f : fonts_) {
    if (f->font.pointSize == font.pointSize && f->font.bold == font.bold && f->font.family == font.family) return *f;
  }
  if (fonts_.size() >= kMaxPreparedFonts) {
    fonts_.clear();
    painterFont_ = nullptr;
  }
  auto f = std::make_unique<PreparedFont>();
  f->font = font;
  f->qfont = ToQFont(font);
  f->metrics = QFontMetricsF(f->qfont);
  fonts_.push_back(std::move(f));
  return *fonts_.back();
}

void QtCanvas::Clear(Color background) {
  EndPainting();
  // A kept picture shares the pixels: start on fresh ones rather than copy those first.
  if (!image_.isDetached()) {
    QImage fresh(image_.size(), image_.format());
    fresh.setDotsPerMeterX(image_.dotsPerMeterX());
    fresh.setDotsPerMeterY(image_.dotsPerMeterY());
    fresh.setDevicePixelRatio(image_.devicePixelRatio());
    image_ = fresh;
  }
  image_.fill(ToQColor(background));
}

bool QtCanvas::KeepPicture(int slot) {
  if (slot < 0 || slot >= kMaxKeptPictures) return false;
  EndPainting();
  qsizetype bytes = image_.sizeInBytes();
  for (const QImage& k : kept_) bytes += k.sizeInBytes();
  if (bytes > kMaxKeptBytes) return false;
  if (kept_.size() <= static_cast<std::size_t>(slot)) kept_.resize(static_cast<std::size_t>(slot) + 1);
  kept_[static_cast<std::size_t>(slot)] = image_;
  return true;
}

bool QtCanvas::ShowKeptPicture(int slot) {
  if (slot < 0 || static_cast<std::size_t>(slot) >= kept_.size()) return false;
  const QImage& kept = kept_[static_cast<std::size_t>(slot)];
  if (kept.isNull() || kept.size() != image_.size() || kept.devicePixelRatio() != image_.devicePixelRatio())
    return false;
  EndPainting();
  image_ = kept;
  return true;
}

// Qt's antialiased cosmetic pen, step for step: the ends in 26.6 fixed point, a square
// cap of half a pixel on each end, and each column (or row) shared between the two
// pixels nearest the line in proportion to its distance from them.
void QtCanvas::ThinLine(double x1, double y1, double x2, double y2, Color color) {
  const std::uint32_t c = Opaque(color);
  const int w = width_, h = height_;
  if (QPointF(x1, y1) == QPointF(x2, y2)) {
    if (!Maskable(x1, y1)) return;
    const int x = qRound(x1), y = qRound(y1);
    if (x >= 0 && y >= 0 && x < w && y < h) pixels_[static_cast<qsizetype>(y) * pixelsPerLine_ + x] = c;
    return;
  }
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;

  // Clipped to a pixel beyond the image in floating point first, where nothing overflows.
  if (!ClipAxis(x1, y1, x2, y2, -1, w + 1) || !ClipAxis(y1, x1, y2, x2, -1, h + 1)) return;

  if (!std::isfinite(x1 + y1 + x2 + y2)) return;  // a clip of a line from far away overflowed

  int a1 = static_cast<int>(x1 * 64), b1 = static_cast<int>(y1 * 64);
  int a2 = static_cast<int>(x2 * 64), b2 = static_cast<int>(y2 * 64);
  const bool steep = std::abs(a2 - a1) < std::abs(b2 - b1);
  // Walk along the major axis (u) and interpolate the minor one (v).
  if (steep) {
    std::swap(a1, b1);
    std::swap(a2, b2);
  }
  const int du = a2 - a1, dv = b2 - b1;
  if (du == 0) return;
  const int vStep =
      std::abs(dv) > 0x7fff ? static_cast<int>((static_cast<long long>(dv) << 16) / du) : (dv * 65536) / du;
  if (a1 > a2) {
    std::swap(a1, a2);
    std::swap(b1, b2);
  }
  int v = (b1 - 32) * 1024;  // 16.16, measured from pixel centres
  v -= (((a1 & 63) - 32) * vStep) >> 6;
  a1 -= 32;  // the caps
  v -= vStep >> 1;
  a2 += 32;

  int u = a1 >> 6;
  const int uEnd = a2 >> 6;
  int startShare = 0, endShare = 0;  // in 64ths of a pixel
  if (u == uEnd) {
    startShare = a2 - a1;
  } else {
    startShare = 64 - (a1 & 63);
    endShare = a2 & 63;
  }
  // Along the major axis a step is `majorStep` pixels in memory, across it `minorStep`.
  const qsizetype perLine = pixelsPerLine_;
  const qsizetype majorStep = steep ? perLine : 1, minorStep = steep ? 1 : perLine;
  // Every pixel touched lies within a pixel and a half of the ends (the caps add half a pixel).
  const bool inside = std::min(x1, x2) >= 2 && std::max(x1, x2) <= w - 3 && std::min(y1, y2) >= 2 &&
                      std::max(y1, y2) <= h - 3;
  std::uint32_t* const pixels = pixels_;
  const auto plot = [&](int major, int minor, unsigned coverage) {
    if (!inside) {
      const int x = steep ? minor : major, y = steep ? major : minor;
      if (x < 0 || y < 0 || x >= w || y >= h) return;
    }
    std::uint32_t& d = pixels[minor * minorStep + major * majorStep];
    d = Over(d, c, coverage);
  };
  const auto column = [&](int major, unsigned share) {
    const unsigned fraction = static_cast<std::uint8_t>(v >> 8);
    plot(major, v >> 16, (255 - fraction) * share >> 6);
    plot(major, (v >> 16) + 1, fraction * share >> 6);
  };
  column(u, static_cast<unsigned>(startShare));
  v += vStep;
  for (++u; u < uEnd; ++u) {
    column(u, 64);
    v += vStep;
  }
  if (endShare) column(u, static_cast<unsigned>(endShare));
}

void QtCanvas::Line(double x1, double y1, double x2, double y2, Color color, int thickness) {
  if (thickness <= 1 && fast_) {
    Painter();
    ThinLine(x1 * scale_, y1 * scale_, x2 * scale_, y2 * scale_, color);
    return;
  }
  QPen pen(ToQColor(color));
  pen.setWidthF(thickness);
  pen.setCosmetic(thickness <= 1);  // as the shortcut draws it: one screen pixel wide
  Painter().setPen(pen);
  Painter().drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

QImage QtCanvas::NewCoverageImage(int width, int height) const {
  QImage out(width * scale_, height * scale_, QImage::Format_ARGB32_Premultiplied);
  // The same resolution and density as the map, so that shapes and fonts come out the same size.
  out.setDotsPerMeterX(image_.dotsPerMeterX());
  out.setDotsPerMeterY(image_.dotsPerMeterY());
  out.setDevicePixelRatio(scale_);
  out.fill(Qt::transparent);
  return out;
}

void QtCanvas::BlendMask(const Mask& mask, int x, int y, Color color) {
  const std::uint32_t c = Opaque(color);
  const int left = x + mask.left, top = y + mask.top;
  if (left >= 0 && top >= 0 && left + mask.stride <= width_ && top + mask.height <= height_) {
    // Wholly inside, padding included: four pixels at a time (no coverage leaves a pixel as it was).
    for (int row = 0; row < mask.height; ++row) {
      const std::uint8_t* coverage = mask.coverage.data() + static_cast<std::size_t>(row * mask.stride);
      std::uint32_t* line = pixels_ + static_cast<qsizetype>(top + row) * pixelsPerLine_ + left;
      for (int col = 0; col < mask.stride; col += 4) {
        std::uint32_t four;
        std::memcpy(&four, coverage + col, sizeof four);
        if (four != 0) OverFour(line + col, coverage + col, c);
      }
    }
    return;
  }
  const int fromX = std::max(0, -left), toX = std::min(mask.width, width_ - left);
  const int fromY = std::max(0, -top), toY = std::min(mask.height, height_ - top);
  for (int row = fromY; row < toY; ++row) {
    const std::uint8_t* coverage = mask.coverage.data() + static_cast<std::size_t>(row * mask.stride);
    std::uint32_t* line = pixels_ + static_cast<qsizetype>(top + row) * pixelsPerLine_ + left;
    for (int col = fromX; col < toX; ++col) {
      if (coverage[col] != 0) line[col] = Over(line[col], c, coverage[col]);
    }
  }
}

QtCanvas::Mask QtCanvas::DrawCircleMask(double radius, bool filled, double x, double y) const {
  const int reach = static_cast<int>(std::ceil(radius)) + 3;  // the pen's width and the antialiasing
  QImage image = NewCoverageImage(2 * reach + 1, 2 * reach + 1);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QColor(Qt::white));
    p.setBrush(filled ? QBrush(Qt::white) : Qt::NoBrush);
    p.drawEllipse(QPointF(reach + x, reach + y), radius, radius);
  }
  return CutMask(image, 0, image.height(), reach * scale_, reach * scale_);
}

const QtCanvas::Mask& QtCanvas::CircleMask(double radius, bool filled, int fractionX, int fractionY) {
  auto kind = std::find_if(circles_.begin(), circles_.end(),
                           [&](const auto& k) { return k->radius == radius && k->filled == filled; });
  if (kind == circles_.end()) {
    if (circles_.size() >= kMaxCircleSizes) circles_.clear();
    auto k = std::make_unique<CircleMasks>();
    k->radius = radius;
    k->filled = filled;
    circles_.push_back(std::move(k));
    kind = circles_.end() - 1;
  }
  std::optional<Mask>& mask = (*kind)->masks[static_cast<std::size_t>(fractionX + kCircleSteps * fractionY)];
  if (!mask) mask = DrawCircleMask(radius, filled, fractionX / double{kCircleSteps}, fractionY / double{kCircleSteps});
  return *mask;
}

void QtCanvas::Circle(double x, double y, double radius, Color color, bool filled) {
  if (radius > 0 && radius <= kMaxMaskedCircleRadius && fast_ && Maskable(x, y)) {
    Painter();
    const auto cx = static_cast<int>(std::lround(x * kCircleSteps));
    const auto cy = static_cast<int>(std::lround(y * kCircleSteps));
    const int wholeX = FloorDiv(cx, kCircleSteps), wholeY = FloorDiv(cy, kCircleSteps);
    BlendMask(CircleMask(radius, filled, cx - wholeX * kCircleSteps, cy - wholeY * kCircleSteps), wholeX * scale_,
              wholeY * scale_, color);
    return;
  }
  Painter().setPen(ToQColor(color));
  Painter().setBrush(filled ? QBrush(ToQColor(color)) : Qt::NoBrush);
  Painter().drawEllipse(QPointF(x, y), radius, radius);
  Painter().setBrush(Qt::NoBrush);
}

void QtCanvas::Point(double x, double y, Color color) {
  Painter().setPen(ToQColor(color));
  Painter().drawPoint(QPointF(x, y));
}

QtCanvas::TextMasks QtCanvas::FindTextMasks(const PreparedFont& font, const QString& text) const {
  TextMasks out;
  QStaticText laidOut(text);
  laidOut.setTextFormat(Qt::PlainText);
  laidOut.prepare(QTransform(), font.qfont);
  // Room around the text for glyphs that reach past their advance or line.
  out.margin = static_cast<int>(std::ceil(font.metrics.height() / 2)) + 2;
  out.width = static_cast<int>(std::ceil(font.metrics.horizontalAdvance(text))) + 2 * out.margin;
  out.height = static_cast<int>(std::ceil(font.metrics.height())) + 2 * out.margin;

  // One band per fraction of a screen pixel: 64 across, then 64 down; `band` screen rows each.
  const double step = 64.0 * scale_;
  QImage sheet = NewCoverageImage(out.width, 128 * out.height);
  const int band = out.height * scale_, margin = out.margin * scale_;
  {
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(font.qfont);
    p.setPen(QColor(Qt::white));
    for (int k = 0; k < 64; ++k) {
      p.drawStaticText(QPointF(out.margin + k / step, k * out.height + out.margin), laidOut);
      p.drawStaticText(QPointF(out.margin, (64 + k) * out.height + out.margin + k / step), laidOut);
    }
  }
  for (int k = 0; k < 128; ++k) {
    if (!ClearEdges(sheet, k * band, band)) return out;
  }
  std::vector<int> columnTops, rowTops;
  for (int k = 0; k < 64; ++k) {
    const int column = ClassOf(sheet, k * band, band, columnTops);
    out.columnClass[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(column);
    if (column == static_cast<int>(out.columnFraction.size())) out.columnFraction.push_back(k);
    const int row = ClassOf(sheet, (64 + k) * band, band, rowTops);
    out.rowClass[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(row);
    if (row == static_cast<int>(out.rowFraction.size())) out.rowFraction.push_back(k);
  }
  // The bands already drawn are the masks of fraction 0 on the other axis.
  const std::size_t columnCount = columnTops.size();
  out.masks.resize(columnCount * rowTops.size());
  for (std::size_t k = 0; k < columnTops.size(); ++k) {
    out.masks[k + columnCount * out.rowClass[0]] = CutMask(sheet, columnTops[k], band, margin, margin);
  }
  for (std::size_t k = 0; k < rowTops.size(); ++k) {
    out.masks[out.columnClass[0] + columnCount * k] = CutMask(sheet, rowTops[k], band, margin, margin);
  }
  out.usable = true;
  return out;
}

const QtCanvas::Mask& QtCanvas::TextMask(const PreparedFont& font, LaidOutText& text, int fractionX,
                                         int fractionY) const {
  TextMasks& m = *text.masks;
  const std::size_t column = m.columnClass[static_cast<std::size_t>(fractionX)];
  const std::size_t row = m.rowClass[static_cast<std::size_t>(fractionY)];
  std::optional<Mask>& mask = m.masks[column + m.columnFraction.size() * row];
  if (!mask) {
    QImage image = NewCoverageImage(m.width, m.height);
    {
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setRenderHint(QPainter::TextAntialiasing, true);
      p.setFont(font.qfont);
      p.setPen(QColor(Qt::white));
      const double step = 64.0 * scale_;
      p.drawStaticText(QPointF(m.margin + m.columnFraction[column] / step, m.margin + m.rowFraction[row] / step),
                       text.text);
    }
    mask = CutMask(image, 0, m.height * scale_, m.margin * scale_, m.margin * scale_);
  }
  return *mask;
}

void QtCanvas::Text(double x, double y, std::string_view text, const Font& font, Color color) {
  const PreparedFont& f = Prepare(font);
  auto& texts = f.texts;
  auto it = texts.find(text);
  if (it == texts.end()) {
    if (texts.size() >= kMaxLaidOutTexts) texts.clear();
    it = texts.try_emplace(std::string(text)).first;
    LaidOutText& added = it->second;
    const QString s = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
    added.text.setText(s);
    added.text.setTextFormat(Qt::PlainText);
    added.text.setPerformanceHint(QStaticText::AggressiveCaching);
    added.text.prepare(QTransform(), f.qfont);
    if (text.size() <= kMaxMaskedTextLength) added.masks = std::make_unique<TextMasks>(FindTextMasks(f, s));
  }
  LaidOutText& laidOut = it->second;
  QPainter& painter = Painter();
  if (laidOut.masks && laidOut.masks->usable && fast_ && Maskable(x, y)) {
    // (x, y) is the top-left corner of the text; Qt takes it in 64ths of a screen
    // pixel, cut toward zero.
    const int fx = static_cast<int>(x * scale_ * 64), fy = static_cast<int>(y * scale_ * 64);
    BlendMask(TextMask(f, laidOut, fx & 63, fy & 63), fx >> 6, fy >> 6, color);
    return;
  }
  if (painterFont_ != &f) {
    painter.setFont(f.qfont);
    painterFont_ = &f;
  }
  painter.setPen(ToQColor(color));
  painter.drawStaticText(QPointF(x, y), laidOut.text);
}

double QtCanvas::TextWidth(std::string_view text, const Font& font) const {
  return Prepare(font).metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

double QtCanvas::TextHeight(std::string_view, const Font& font) const { return Prepare(font).metrics.height(); }

const QtCanvas::ConvertedPicture& QtCanvas::Convert(const Image& image, Color transparent) {
  const auto found = pictures_.find(&image);
  if (found != pictures_.end()) {
    const ConvertedPicture& c = found->second;
    if (c.width == image.width && c.height == image.height && c.transparent == transparent && c.pixels == image.pixels)
      return c;
  } else if (pictures_.size() >= kMaxConvertedPictures) {
    pictures_.clear();
  }
  ConvertedPicture& c = pictures_[&image];
  c.width = image.width;
  c.height = image.height;
  c.transparent = transparent;
  c.pixels = image.pixels;
  c.image = ToQImage(image, transparent);
  // A bitmap has no finer pixels to show: on a dense screen each of its pixels
  // becomes a sharp square rather than a blur.
  if (scale_ != 1) {
    c.image = c.image.scaled(c.width * scale_, c.height * scale_, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    c.image.setDevicePixelRatio(scale_);
  }
  c.runs.clear();
  for (int row = 0; row < c.image.height(); ++row) {
    const auto* source = reinterpret_cast<const QRgb*>(c.image.constScanLine(row));
    for (int col = 0; col < c.image.width();) {
      if (qAlpha(source[col]) == 0) {
        ++col;
        continue;
      }
      const int start = col;
      while (col < c.image.width() && qAlpha(source[col]) != 0) ++col;
      c.runs.push_back({row, start, col - start});
    }
  }
  return c;
}

void QtCanvas::BlitPicture(int x, int y, const ConvertedPicture& picture) {
  for (const ConvertedPicture::Run& run : picture.runs) {
    const int row = y + run.row;
    if (row < 0 || row >= height_) continue;
    const int from = std::max(x + run.start, 0), to = std::min(x + run.start + run.length, width_);
    if (from >= to) continue;
    const auto* source = reinterpret_cast<const std::uint32_t*>(picture.image.constScanLine(run.row));
    std::memcpy(pixels_ + static_cast<qsizetype>(row) * pixelsPerLine_ + from, source + (from - x),
                static_cast<std::size_t>(to - from) * sizeof(std::uint32_t));
  }
}

void QtCanvas::Picture(double x, double y, const Image& image, Color transparent) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() < static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
    return;
  const ConvertedPicture& picture = Convert(image, transparent);
  QPainter& painter = Painter();
  if (fast_ && Maskable(x, y)) {
    // Where Qt puts an unscaled image: at the nearest whole pixel.
    BlitPicture(qRound(x) * scale_, qRound(y) * scale_, picture);
    return;
  }
  painter.drawImage(QPointF(x, y), picture.image);
}

}  // namespace norvane
