#include "map/bmp_image.h"

#include <cstdint>

namespace norvane {
namespace {

// Larger pictures are not symbols or maps; refusing them keeps garbage sizes from
// asking for gigabytes.
constexpr std::int64_t kMaxSide = 16384;

std::uint32_t Le(std::string_view b, std::size_t at, int size) {
  std::uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

void PutLe(std::string& out, std::uint32_t v, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 255));
}

std::optional<Image> Fail(std::string* error, const char* why) {
  if (error) *error = why;
  return std::nullopt;
}

}  // namespace

std::optional<Image> ReadBmp(std::string_view b, std::string* error) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return Fail(error, "not a bitmap file");
  const std::uint32_t dataOffset = Le(b, 10, 4);
  const std::uint32_t headerSize = Le(b, 14, 4);
  if (headerSize < 40 || 14 + static_cast<std::uint64_t>(headerSize) > b.size()) return Fail(error, "truncated bitmap header");
  const auto width = static_cast<std::int32_t>(Le(b, 18, 4));
  const auto rawHeight = static_cast<std::int32_t>(Le(b, 22, 4));
  const std::uint32_t bits = Le(b, 28, 2);
  const std::uint32_t compression = Le(b, 30, 4);
  if (compression != 0) return Fail(error, "compressed bitmaps are not supported");
  if (bits != 24 && bits != 8) return Fail(error, "only 24-bit and 8-bit bitmaps are supported");
  const bool topDown = rawHeight < 0;
  const std::int64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return Fail(error, "bitmap size out of range");

  std::vector<Color> palette;
  if (bits == 8) {
    std::uint32_t colours = Le(b, 46, 4);
    if (colours == 0 || colours > 256) colours = 256;
    const std::uint64_t paletteAt = 14 + static_cast<std::uint64_t>(headerSize);
    if (paletteAt + 4ull * colours > b.size()) return Fail(error, "truncated bitmap palette");
    for (std::uint32_t i = 0; i < colours; ++i) {
      const std::size_t at = static_cast<std::size_t>(paletteAt + 4ull * i);
      palette.push_back(Rgb(static_cast<unsigned char>(b[at + 2]), static_cast<unsigned char>(b[at + 1]),
                            static_cast<unsigned char>(b[at])));
    }
  }
  const std::uint64_t rowBytes = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
  if (dataOffset + rowBytes * static_cast<std::uint64_t>(height) > b.size()) return Fail(error, "truncated bitmap data");

  Image image;
  image.width = width;
  image.height = static_cast<int>(height);
  image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::int64_t row = 0; row < height; ++row) {
    const std::int64_t y = topDown ? row : height - 1 - row;
    const std::size_t rowAt = static_cast<std::size_t>(dataOffset + rowBytes * static_cast<std::uint64_t>(row));
    for (std::int32_t x = 0; x < width; ++x) {
      Color c = 0;
      if (bits == 24) {
        const std::size_t at = rowAt + 3 * static_cast<std::size_t>(x);
        c = Rgb(static_cast<unsigned char>(b[at + 2]), static_cast<unsigned char>(b[at + 1]),
                static_cast<unsigned char>(b[at]));
      } else {
        const auto entry = static_cast<unsigned char>(b[rowAt + static_cast<std::size_t>(x)]);
        c = entry < palette.size() ? palette[entry] : 0;
      }
      image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = c;
    }
  }
  return image;
}

std::string WriteBmp24(const Image& image) {
  const int width = image.width > 0 ? image.width : 0;
  const int height = image.height > 0 ? image.height : 0;
  const std::uint32_t rowBytes = ((static_cast<std::uint32_t>(width) * 24 + 31) / 32) * 4;
  const std::uint32_t dataSize = rowBytes * static_cast<std::uint32_t>(height);
  std::string out;
  out.reserve(54 + dataSize);
  out += "BM";
  PutLe(out, 54 + dataSize, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<std::uint32_t>(width), 4);
  PutLe(out, static_cast<std::uint32_t>(height), 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);
  PutLe(out, dataSize, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (int row = height - 1; row >= 0; --row) {
    for (int x = 0; x < width; ++x) {
      const std::size_t i = static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
      const Color c = i < image.pixels.size() ? image.pixels[i] : 0;
      out.push_back(static_cast<char>(BlueOf(c)));
      out.push_back(static_cast<char>(GreenOf(c)));
      out.push_back(static_cast<char>(RedOf(c)));
    }
    for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace norvane
