// Feeds arbitrary bytes to the grid file reader: it must refuse or accept them
// without reading outside the input.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "grid/grid_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto result = norvane::DecodeGrid(std::string_view(reinterpret_cast<const char*>(data), size));
  if (result.grid) {
    double sum = 0;
    for (int i = 0; i < result.grid->size.rows; ++i)
      for (int j = 0; j < result.grid->size.columns; ++j) sum += result.grid->At(i, j).Temperature;
    static_cast<void>(sum);
  }
  return 0;
}
