#include "map/map_file.h"

#include <cmath>

#include "core/replace_file.h"

namespace norvane {
namespace {

std::int16_t ReadInt16(std::string_view bytes, std::size_t at) {
  const auto lo = static_cast<unsigned char>(bytes[at]);
  const auto hi = static_cast<unsigned char>(bytes[at + 1]);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
}

void WriteInt16(std::string& out, std::int16_t value) {
  const auto u = static_cast<std::uint16_t>(value);
  out.push_back(static_cast<char>(u & 0xFF));
  out.push_back(static_cast<char>(u >> 8));
}

int ToPixel(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

MapLoadResult ParseMapFile(std::string_view bytes) {
  MapLoadResult result;
  const std::size_t count = bytes.size() / 4;  // whole records only
  result.trailingBytes = static_cast<int>(bytes.size() % 4);
  result.points.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    MapRecord rec{ReadInt16(bytes, 4 * i), ReadInt16(bytes, 4 * i + 2)};
    if (rec.IsBreak()) {
      rec = MapRecord{};  // breaks are kept as (-32000, -32000)
    } else if ((rec.lat100 < -9000 || rec.lat100 > 9000 || rec.lon100 < -18000 || rec.lon100 > 18000)) {
      ++result.rejected;
      rec = MapRecord{};
    }
    result.points.push_back(rec);
  }
  return result;
}

std::string EncodeMapFile(const std::vector<MapRecord>& points) {
  std::string out;
  out.reserve(points.size() * 4);
  for (const MapRecord& rec : points) {
    WriteInt16(out, rec.lat100);
    WriteInt16(out, rec.IsBreak() ? kMapBreak : rec.lon100);
  }
  return out;
}

MapLoadResult LoadMap(const FileSystem& fs, const std::string& name) {
  const auto bytes = fs.ReadAll(name);
  if (!bytes) return {};
  return ParseMapFile(*bytes);
}

std::vector<MapRecord> CutRegion(const std::vector<MapRecord>& world, const MapRegion& region) {
  std::vector<MapRecord> out;
  bool lastWasBreak = false;
  for (const MapRecord& rec : world) {
    const bool inside = !rec.IsBreak() && rec.lat100 >= region.latMin && rec.lat100 <= region.latMax &&
                        rec.lon100 >= region.lonMin && rec.lon100 <= region.lonMax;
    if (inside) {
      out.push_back(rec);
      lastWasBreak = false;
    } else if (!lastWasBreak) {
      out.push_back(MapRecord{});
      lastWasBreak = true;
    }
  }
  return out;
}

void RubberBand::Press(double x, double y) {
  x1 = x2 = ToPixel(x);
  y1 = y2 = ToPixel(y);
  Clamp();
}

void RubberBand::Drag(double x, double y) {
  x2 = ToPixel(x);
  y2 = ToPixel(y);
  Clamp();
}

void RubberBand::Clamp() {
  auto limit = [](int& v, int hi) { v = v < 0 ? 0 : (v > hi ? hi : v); };
  limit(x1, 719);
  limit(x2, 719);
  limit(y1, 359);
  limit(y2, 359);
}

std::optional<MapRegion> BandToRegion(const RubberBand& band) {
  const int lonA = (band.x1 - 360) * 50, lonB = (band.x2 - 360) * 50;
  const int latA = (180 - band.y1) * 50, latB = (180 - band.y2) * 50;
  MapRegion r{std::min(latA, latB), std::max(latA, latB), std::min(lonA, lonB), std::max(lonA, lonB)};
  if (r.lonMax / 10 - r.lonMin / 10 < 50 || r.latMax / 10 - r.latMin / 10 < 50) return std::nullopt;
  return r;
}

MakeMapResult MakeMap(FileSystem& fs, Dialogs& dialogs, const RubberBand& band) {
  const auto region = BandToRegion(band);
  if (!region) {
    dialogs.MessageBox("Area too small...", "ERROR", BoxStyle::Information);
    return MakeMapResult::AreaTooSmall;
  }
  const MakeMapResult made = MakeRegionMap(fs, *region);
  if (made != MakeMapResult::Made) dialogs.MessageBox(MakeMapProblem(made), "ERROR", BoxStyle::Critical);
  return made;
}

MakeMapResult MakeRegionMap(FileSystem& fs, const MapRegion& region) {
  // The world outline must be readable before "user.map" is touched at all.
  const auto world = fs.ReadAll("world.map");
  if (!world || world->size() < 4) return MakeMapResult::WorldMissing;
  const auto cut = CutRegion(ParseMapFile(*world).points, region);
  if (!ReplaceFile(fs, "user.map", EncodeMapFile(cut))) return MakeMapResult::WriteFailed;
  return MakeMapResult::Made;
}

std::string MakeMapProblem(MakeMapResult result) {
  switch (result) {
    case MakeMapResult::WorldMissing: return "The world outline \"world.map\" is missing or empty; the map was not changed.";
    case MakeMapResult::WriteFailed: return "Could not write \"user.map\"; the map was not changed.";
    default: return "";
  }
}

}  // namespace norvane
