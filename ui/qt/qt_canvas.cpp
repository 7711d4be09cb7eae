#include "ui/qt/qt_canvas.h"

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
}  // namespace

void QtCanvas::Resize(int width, int height) {
  EndPainting();
  image_ = QImage(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
  image_.fill(Qt::white);
}

void QtCanvas::EndPainting() {
  painter_.reset();
  painterFont_ = nullptr;
}

QPainter& QtCanvas::Painter() {
  if (!painter_) {
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
  image_.fill(ToQColor(background));
}

void QtCanvas::Line(double x1, double y1, double x2, double y2, Color color, int thickness) {
  QPen pen(ToQColor(color));
  pen.setWidthF(std::max(1, thickness));
  Painter().setPen(pen);
  Painter().drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void QtCanvas::Circle(double x, double y, double radius, Color color, bool filled) {
  Painter().setPen(ToQColor(color));
  Painter().setBrush(filled ? QBrush(ToQColor(color)) : Qt::NoBrush);
  Painter().drawEllipse(QPointF(x, y), radius, radius);
  Painter().setBrush(Qt::NoBrush);
}

void QtCanvas::Point(double x, double y, Color color) {
  Painter().setPen(ToQColor(color));
  Painter().drawPoint(QPointF(x, y));
}

void QtCanvas::Text(double x, double y, std::string_view text, const Font& font, Color color) {
  const PreparedFont& f = Prepare(font);
  QPainter& painter = Painter();
  if (painterFont_ != &f) {
    painter.setFont(f.qfont);
    painterFont_ = &f;
  }
  painter.setPen(ToQColor(color));
  // (x, y) is the top-left corner of the text, as the plot offsets are measured.
  auto& texts = f.texts;
  if (texts.size() >= kMaxLaidOutTexts) texts.clear();
  auto [it, added] = texts.try_emplace(std::string(text));
  if (added) {
    it->second.setText(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
    it->second.setTextFormat(Qt::PlainText);
    it->second.setPerformanceHint(QStaticText::AggressiveCaching);
    it->second.prepare(QTransform(), f.qfont);
  }
  painter.drawStaticText(QPointF(x, y), it->second);
}

double QtCanvas::TextWidth(std::string_view text, const Font& font) const {
  return Prepare(font).metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

double QtCanvas::TextHeight(std::string_view, const Font& font) const { return Prepare(font).metrics.height(); }

const QImage& QtCanvas::Convert(const Image& image, Color transparent) {
  const auto found = pictures_.find(&image);
  if (found != pictures_.end()) {
    const ConvertedPicture& c = found->second;
    if (c.width == image.width && c.height == image.height && c.transparent == transparent && c.pixels == image.pixels)
      return c.image;
  } else if (pictures_.size() >= kMaxConvertedPictures) {
    pictures_.clear();
  }
  ConvertedPicture& c = pictures_[&image];
  c.width = image.width;
  c.height = image.height;
  c.transparent = transparent;
  c.pixels = image.pixels;
  c.image = ToQImage(image, transparent);
  return c.image;
}

void QtCanvas::Picture(double x, double y, const Image& image, Color transparent) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() < static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
    return;
  Painter().drawImage(QPointF(x, y), Convert(image, transparent));
}

}  // namespace norvane
