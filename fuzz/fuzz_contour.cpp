// Contours, values and change fields of arbitrary grid bytes and levels: every
// path must end, stay inside the grid and draw only finite pieces.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "contour/grid_display.h"
#include "tests/fakes/memory_file_system.h"
#include "tests/fakes/recording_canvas.h"
#include "tests/fakes/recording_reporter.h"

namespace {

const char* const kCodes[] = {"CIG", "D", "T", "DF", "TF", "SLP", "WS", "WM", "RH", "MR",
                              "WC",  "DC", "MC", "BDC", "BMC", "U", "X"};

struct CheckingSink : norvane::ContourSink {
  void Piece(const norvane::ContourPiece& p) override {
    if (!std::isfinite(p.from.x) || !std::isfinite(p.from.y) || !std::isfinite(p.to.x) || !std::isfinite(p.to.y))
      std::abort();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Three single-precision levels numbers and a field code come first, the grid file after.
  if (size < 13) return 0;
  float start, end, interval;
  std::memcpy(&start, data, 4);
  std::memcpy(&end, data + 4, 4);
  std::memcpy(&interval, data + 8, 4);
  const char* code = kCodes[data[12] % (sizeof kCodes / sizeof *kCodes)];
  const std::string bytes(reinterpret_cast<const char*>(data + 13), size - 13);

  const auto levels = norvane::LevelsOf(start, end, interval);
  // Many levels over a grid of garbage is slow but not wrong; keep runs short.
  if (levels && levels->count > 64) return 0;

  norvane::testing::MemoryFileSystem files;
  files.files["G.nv1"] = bytes;
  norvane::testing::RecordingReporter log;
  norvane::testing::RecordingCanvas canvas;
  auto place = [](double lat, double lon) -> std::optional<norvane::ScreenPoint> {
    if (lat > 80) return std::nullopt;
    return norvane::ScreenPoint{lon, lat};
  };
  norvane::GridDisplayContext ctx{files, log, canvas, place, 1, true, {}};
  norvane::ShowGridCommand(ctx, "G", code, 0, "0.#");
  norvane::DrawContoursCommand(ctx, "G", "", code, start, end, interval, 0, 1, "");
  norvane::DrawContoursCommand(ctx, "G", "G", code, start, end, interval, 0, 0, "0.0");

  const auto grid = norvane::DecodeGrid(bytes).grid;
  const auto contourCode = norvane::ContourCodeOf(code);
  if (grid && contourCode && levels) {
    CheckingSink sink;
    norvane::TraceContours(norvane::FieldOf(*grid, *contourCode), *levels, place, 3, sink);
    const auto mesh = norvane::DifferenceOf(*grid, *grid, norvane::ContourCode::Temperature).mesh;
    if (mesh.both > mesh.either) std::abort();
  }
  return 0;
}
