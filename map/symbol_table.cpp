#include "map/symbol_table.h"

#include "map/bmp_image.h"

namespace norvane {

void SymbolTable::Load(const FileSystem& fs, const std::string& folderPrefix,
                       const std::function<void(const std::string&)>& report) {
  for (int index = 1; index <= kWeatherSymbolCount; ++index) {
    auto& slot = images_[static_cast<std::size_t>(index - 1)];
    slot.reset();
    const std::string name = folderPrefix + std::string(WeatherSymbolFile(index));
    const std::optional<std::string> bytes = fs.ReadAll(name);
    if (!bytes) {
      if (report) report("Weather symbol '" + name + "' is missing and will not be drawn");
      continue;
    }
    std::string why;
    slot = ReadBmp(*bytes, &why);
    if (!slot && report) report("Weather symbol '" + name + "' cannot be read (" + why + ") and will not be drawn");
  }
}

const Image* SymbolTable::Find(int index) const {
  if (index < 1 || index > kWeatherSymbolCount) return nullptr;
  const auto& slot = images_[static_cast<std::size_t>(index - 1)];
  return slot ? &*slot : nullptr;
}

}  // namespace norvane
