#include "grid/grid_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/fakes/memory_file_system.h"

namespace norvane {
namespace {

double DoubleAt(const std::string& bytes, std::size_t offset) {
  double v;
  std::memcpy(&v, bytes.data() + offset, 8);
  return v;
}

// A grid over `header` (2 x 3 points by default) whose cell k holds temperature k.
Grid SmallGrid(GridHeader header = {.EndLongitude = -98, .StartLongitude = -100, .EndLatitude = 31,
                                    .StartLatitude = 30, .LatitudeStep = 1, .LongitudeStep = 1}) {
  Grid g{header, *SizeOfGrid(header), {}};
  g.cells.resize(static_cast<std::size_t>(g.size.rows) * g.size.columns);
  for (std::size_t k = 0; k < g.cells.size(); ++k) g.cells[k].Temperature = static_cast<double>(k);
  return g;
}

TEST(GridFile, RecordsAreLaidOutByteForByte) {
  // A 32-bit latitude step widened, as the builder writes it.
  Grid g = SmallGrid({.EndLongitude = -98, .StartLongitude = -100, .EndLatitude = 30.1f, .StartLatitude = 30,
                      .LatitudeStep = 0.1f, .LongitudeStep = 1});
  ASSERT_EQ(g.cells.size(), 6u);
  g.cells.assign(6, GridCell{});
  g.At(1, 2) = GridCell{1, 2, 3, 4, 5, 6, 7, 8};
  const std::string bytes = EncodeGrid(g);
  ASSERT_EQ(bytes.size(), 7u * 64);
  // Header: EndLongitude, StartLongitude, two reserved zeros, EndLatitude, StartLatitude, steps.
  const double header[8] = {-98, -100, 0, 0, static_cast<double>(30.1f), 30, 0.10000000149011612, 1};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(DoubleAt(bytes, 8 * k), header[k]) << "header field " << k;
  EXPECT_EQ(bytes.substr(48, 8), std::string("\x00\x00\x00\xa0\x99\x99\xb9\x3f", 8)) << "little-endian step";
  // Record (nLon + 1) * i + j + 2 holds cell (i, j): row 1, column 2 is record 7 at byte 384.
  for (int k = 0; k < 8; ++k) EXPECT_EQ(DoubleAt(bytes, 384 + 8 * k), k + 1.0);
  // Cells without data: every field missing but the ceiling, which holds 999.
  EXPECT_EQ(DoubleAt(bytes, 64), MissingValue);
  EXPECT_EQ(DoubleAt(bytes, 64 + 40), 999);
}

TEST(GridFile, SizesComeFromTheHeaderInSinglePrecision) {
  // 0.1f widened is just above a tenth: 299 whole steps; exactly one step gives two rows; a part step is dropped.
  struct Case { float start, end, step; int rows; };
  const Case cases[] = {{20, 50, 0.1f, 300}, {20, 21, 1, 2}, {20, 21.5f, 1, 2}, {0, 1, 0.01f, 101}};
  for (const Case& c : cases) {
    auto size = SizeOfGrid({.EndLongitude = 1, .EndLatitude = c.end, .StartLatitude = c.start,
                            .LatitudeStep = c.step, .LongitudeStep = 1});
    EXPECT_EQ(size ? size->rows : 0, c.rows) << c.start << ".." << c.end << " step " << c.step;
  }
}

TEST(GridFile, ReaderRefusesUntrustworthyBytes) {
  const std::string good = EncodeGrid(SmallGrid());
  auto withHeader = [&](auto change) {
    GridHeader h = SmallGrid().header;
    change(h);
    return std::string(reinterpret_cast<const char*>(&h), 64) + good.substr(64);
  };
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""}, {"shorter than a header", good.substr(0, 63)}, {"cut short", good.substr(0, good.size() - 1)},
      {"step below 0.01", withHeader([](GridHeader& h) { h.LatitudeStep = 0.0099; })},
      {"zero step", withHeader([](GridHeader& h) { h.LongitudeStep = 0; })},
      {"negative step", withHeader([](GridHeader& h) { h.LongitudeStep = -1; })},
      {"NaN corner", withHeader([](GridHeader& h) { h.EndLatitude = std::nan(""); })},
      {"end before start", withHeader([](GridHeader& h) { h.EndLatitude = 10; })},
      {"more than 32767 records", withHeader([](GridHeader& h) {
         h = {.EndLongitude = 50, .EndLatitude = 50, .LatitudeStep = 0.1f, .LongitudeStep = 0.1f}; })},
  };
  for (const auto& [what, bytes] : cases) {
    const auto result = DecodeGrid(bytes);
    EXPECT_TRUE(!result.grid && !result.error.empty()) << what;
  }
  // Stale records after the grid (left by a larger grid) are ignored.
  const auto stale = DecodeGrid(good + std::string(128, '\x7f'));
  ASSERT_TRUE(stale.grid);
  EXPECT_EQ(std::pair(stale.grid->cells.size(), stale.grid->At(1, 2).Temperature), std::pair(std::size_t{6}, 5.0));
}

TEST(GridFile, WriteReplacesWholeOrLeavesTheOldGrid) {
  testing::MemoryFileSystem fs;
  ASSERT_TRUE(WriteGridFile(fs, "t.nv1", SmallGrid()));
  const std::string before = fs.files["t.nv1"];
  GridHeader h = SmallGrid().header;
  h.EndLongitude = -99;
  fs.failWrites = true;
  fs.writeBudget = 100;
  EXPECT_FALSE(WriteGridFile(fs, "t.nv1", SmallGrid(h)));
  EXPECT_EQ(fs.files["t.nv1"], before) << "a cut-short write leaves the old grid";
  fs.failWrites = false;
  ASSERT_TRUE(WriteGridFile(fs, "t.nv1", SmallGrid(h)));
  EXPECT_EQ(fs.files["t.nv1"].size(), 5u * 64) << "a smaller grid leaves no stale records";
  EXPECT_EQ(ReadGridFile(fs, "t.nv1").grid.value().size.columns, 2);
}

TEST(GridFile, MissingThresholdAndQuantityNames) {
  EXPECT_TRUE(IsMissing(MissingValue) && IsMissing(-9E+296));
  EXPECT_FALSE(IsMissing(-8.9E+296) || IsMissing(-999));
  const char* names[] = {"temperature", "DEWPOINT", "wind", "peak", "pressure", "ceiling", "dirnorth", "direast"};
  for (int k = 0; k < 8; ++k)
    EXPECT_EQ(CellValue(GridCell{1, 2, 3, 4, 5, 6, 7, 8}, QuantityByName(names[k]).value()), k + 1.0) << names[k];
  EXPECT_FALSE(QuantityByName("humidity"));
}

}  // namespace
}  // namespace norvane
