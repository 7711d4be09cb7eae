#pragma once
// The 46 weather-symbol bitmaps, read once from the "symbols" folder and kept in memory
// so that a redraw of thousands of stations never touches the disk.
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "map/weather_symbol.h"
#include "platform/canvas.h"
#include "platform/file_system.h"

namespace norvane {

class SymbolTable {
 public:
  // Reads every bitmap named by WeatherSymbolFile relative to `folderPrefix` (the
  // working folder, "" or ending in "/"). A missing or unreadable bitmap is reported
  // once through `report` and that symbol then draws as nothing.
  void Load(const FileSystem& fs, const std::string& folderPrefix,
            const std::function<void(const std::string&)>& report);
  // The picture of symbol 1..46, or nullptr when it is absent.
  const Image* Find(int index) const;

 private:
  std::array<std::optional<Image>, kWeatherSymbolCount> images_{};
};

}  // namespace norvane
