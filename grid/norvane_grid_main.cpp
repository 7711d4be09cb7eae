// norvane-grid: prints a grid file's header and one quantity as a table or CSV.
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/local_file_system.h"
#include "core/number_text.h"
#include "grid/grid_file.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: norvane-grid <file.nv1> [quantity] [--csv]\n"
               "quantities: temperature dewpoint wind peak pressure ceiling dirnorth direast\n");
  return 2;
}

std::string ValueText(double value) { return norvane::IsMissing(value) ? "M" : norvane::FormatNumber(value, "0.#"); }

}  // namespace

int main(int argc, char** argv) {
  std::string file, quantityName = "temperature";
  bool csv = false;
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--csv") csv = true;
    else if (arg == "--help" || arg == "-h") return Usage();
    else if (positional == 0) { file = arg; ++positional; }
    else if (positional == 1) { quantityName = arg; ++positional; }
    else return Usage();
  }
  if (file.empty()) return Usage();
  const auto quantity = norvane::QuantityByName(quantityName);
  if (!quantity) {
    std::fprintf(stderr, "unknown quantity '%s'\n", quantityName.c_str());
    return Usage();
  }
  const std::filesystem::path path(file);
  norvane::LocalFileSystem fs(path.has_parent_path() ? path.parent_path() : std::filesystem::path("."));
  const auto result = norvane::ReadGridFile(fs, path.filename().string());
  if (!result.grid) {
    std::fprintf(stderr, "%s: %s\n", file.c_str(), result.error.c_str());
    return 1;
  }
  const norvane::Grid& g = *result.grid;
  const auto& h = g.header;
  if (csv) {
    std::printf("latitude,longitude,%s\n", norvane::QuantityName(*quantity));
    for (int i = 0; i < g.size.rows; ++i)
      for (int j = 0; j < g.size.columns; ++j)
        std::printf("%.4f,%.4f,%s\n", g.LatitudeOf(i), g.LongitudeOf(j),
                    norvane::IsMissing(norvane::CellValue(g.At(i, j), *quantity))
                        ? ""
                        : norvane::TrimmedNumberText(norvane::CellValue(g.At(i, j), *quantity)).c_str());
    return 0;
  }
  std::printf("latitude  %.4f to %.4f step %.6g (%d rows)\n", h.StartLatitude, h.EndLatitude, h.LatitudeStep,
              g.size.rows);
  std::printf("longitude %.4f to %.4f step %.6g (%d columns)\n", h.StartLongitude, h.EndLongitude,
              h.LongitudeStep, g.size.columns);
  std::printf("quantity  %s (M = missing)\n\n%9s", norvane::QuantityName(*quantity), "lat\\lon");
  for (int j = 0; j < g.size.columns; ++j) std::printf(" %7.2f", g.LongitudeOf(j));
  std::printf("\n");
  // North at the top, as on a map.
  for (int i = g.size.rows - 1; i >= 0; --i) {
    std::printf("%9.2f", g.LatitudeOf(i));
    for (int j = 0; j < g.size.columns; ++j)
      std::printf(" %7s", ValueText(norvane::CellValue(g.At(i, j), *quantity)).c_str());
    std::printf("\n");
  }
  return 0;
}
