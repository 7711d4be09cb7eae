#include <cstddef>
#include <cstdint>
#include <string_view>

#include "map/map_file.h"
#include "map/projected_outline.h"
#include "map/world_picture.h"

// Any bytes as a map file: parse, cut, project and picture them without a crash.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parsed = norvane::ParseMapFile(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto cut = norvane::CutRegion(parsed.points, norvane::MapRegion{0, 6000, -13000, -6000});
  norvane::MapProjection view;
  view.UpdateScale(size % 7, 600);
  (void)norvane::ProjectMap(view, cut);
  (void)norvane::MakeWorldPicture(parsed.points, 0, 1);
  return 0;
}
