#include "map/world_picture.h"

#include <cmath>
#include <cstdlib>

namespace norvane {
namespace {

struct Pixel {
  int x, y;
};

Pixel ToPicture(const MapRecord& rec) {
  int x = static_cast<int>(std::floor((rec.lon100 + 18000) / 50.0));
  int y = static_cast<int>(std::floor((9000 - rec.lat100) / 50.0));
  x = x < 0 ? 0 : (x >= kWorldPictureWidth ? kWorldPictureWidth - 1 : x);
  y = y < 0 ? 0 : (y >= kWorldPictureHeight ? kWorldPictureHeight - 1 : y);
  return {x, y};
}

void Plot(Image& image, Pixel p, Color ink) { image.pixels[static_cast<std::size_t>(p.y) * image.width + p.x] = ink; }

// Integer line between two picture pixels.
void Join(Image& image, Pixel a, Pixel b, Color ink) {
  const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
  const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    Plot(image, a, ink);
    if (a.x == b.x && a.y == b.y) return;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      a.x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      a.y += sy;
    }
  }
}

}  // namespace

Image MakeWorldPicture(const std::vector<MapRecord>& world, Color paper, Color ink) {
  Image image;
  image.width = kWorldPictureWidth;
  image.height = kWorldPictureHeight;
  image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, paper);
  bool penDown = false;
  Pixel last{0, 0};
  for (const MapRecord& rec : world) {
    if (rec.IsBreak() || std::abs(rec.lat100) > 9000 || std::abs(rec.lon100) > 18000) {
      penDown = false;
      continue;
    }
    const Pixel p = ToPicture(rec);
    if (penDown && std::abs(p.x - last.x) < kWorldPictureWidth / 2) {
      Join(image, last, p, ink);
    } else {
      Plot(image, p, ink);
    }
    penDown = true;
    last = p;
  }
  return image;
}

}  // namespace norvane
