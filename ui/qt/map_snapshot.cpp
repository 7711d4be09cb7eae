#include "ui/qt/map_snapshot.h"

namespace norvane {

Image FromQImage(const QImage& picture) {
  // A picture painted for a high-density screen is saved and printed at the size the
  // map has on screen, as on any other.
  const QImage rgb = (picture.devicePixelRatio() == 1.0
                          ? picture
                          : picture.scaled(picture.deviceIndependentSize().toSize(), Qt::IgnoreAspectRatio,
                                           Qt::SmoothTransformation))
                         .convertToFormat(QImage::Format_RGB32);
  Image image;
  image.width = rgb.width();
  image.height = rgb.height();
  image.pixels.reserve(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) image.pixels.push_back(Rgb(qRed(line[x]), qGreen(line[x]), qBlue(line[x])));
  }
  return image;
}

}  // namespace norvane
