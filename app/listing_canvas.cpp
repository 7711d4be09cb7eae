#include "app/listing_canvas.h"

#include <cstdio>

namespace norvane {
namespace {

std::string Fixed(double v) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.2f", v);
  // "-0.00" and "0.00" are the same place.
  return std::string(buffer) == "-0.00" ? "0.00" : buffer;
}

}  // namespace

std::string ListingCanvas::Text() const {
  std::string out;
  for (const std::string& line : lines_) out += line + "\n";
  return out;
}

void ListingCanvas::Clear(Color background) {
  lines_.clear();
  lines_.push_back("CLEAR " + std::to_string(background));
  inner_.Clear(background);
}

void ListingCanvas::Line(double x1, double y1, double x2, double y2, Color color, int thickness) {
  lines_.push_back("LINE " + Fixed(x1) + " " + Fixed(y1) + " " + Fixed(x2) + " " + Fixed(y2) + " " +
                   std::to_string(color) + " " + std::to_string(thickness));
  inner_.Line(x1, y1, x2, y2, color, thickness);
}

void ListingCanvas::Circle(double x, double y, double radius, Color color, bool filled) {
  lines_.push_back("CIRCLE " + Fixed(x) + " " + Fixed(y) + " " + Fixed(radius) + " " + std::to_string(color) + " " +
                   (filled ? "1" : "0"));
  inner_.Circle(x, y, radius, color, filled);
}

void ListingCanvas::Point(double x, double y, Color color) {
  lines_.push_back("POINT " + Fixed(x) + " " + Fixed(y) + " " + std::to_string(color));
  inner_.Point(x, y, color);
}

void ListingCanvas::Text(double x, double y, std::string_view text, const Font& font, Color color) {
  lines_.push_back("TEXT " + Fixed(x) + " " + Fixed(y) + " " + std::to_string(color) + " " +
                   std::to_string(font.pointSize) + " " + (font.bold ? "1" : "0") + " \"" + std::string(text) + "\"");
  inner_.Text(x, y, text, font, color);
}

double ListingCanvas::TextWidth(std::string_view text, const Font& font) const {
  if (fixedMetrics_) return 0.6 * font.pointSize * static_cast<double>(text.size());
  return inner_.TextWidth(text, font);
}

double ListingCanvas::TextHeight(std::string_view text, const Font& font) const {
  if (fixedMetrics_) return 1.5 * font.pointSize;
  return inner_.TextHeight(text, font);
}

void ListingCanvas::Picture(double x, double y, const Image& image, Color transparent) {
  lines_.push_back("PICTURE " + Fixed(x) + " " + Fixed(y) + " " + std::to_string(image.width) + " " +
                   std::to_string(image.height));
  inner_.Picture(x, y, image, transparent);
}

bool ListingCanvas::KeepPicture(int slot) {
  if (slot < 0 || !inner_.KeepPicture(slot)) return false;
  if (kept_.size() <= static_cast<std::size_t>(slot)) kept_.resize(static_cast<std::size_t>(slot) + 1);
  kept_[static_cast<std::size_t>(slot)] = lines_;
  return true;
}

bool ListingCanvas::ShowKeptPicture(int slot) {
  if (slot < 0 || static_cast<std::size_t>(slot) >= kept_.size() || !inner_.ShowKeptPicture(slot)) return false;
  lines_ = kept_[static_cast<std::size_t>(slot)];
  return true;
}

}  // namespace norvane
