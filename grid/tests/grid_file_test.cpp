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

Grid SmallGrid() {
  Grid g;
  g.header.StartLatitude = 30;
  g.header.EndLatitude = 31;
  g.header.StartLongitude = -100;
  g.header.EndLongitude = -98;
  g.header.LatitudeStep = 1;
  g.header.LongitudeStep = 1;
  g.size = *SizeOfGrid(g.header);
  g.cells.resize(static_cast<std::size_t>(g.size.rows) * g.size.columns);
  for (std::size_t k = 0; k < g.cells.size(); ++k) g.cells[k].Temperature = static_cast<double>(k);
  return g;
}

TEST(GridFile, RecordsAreLaidOutByteForByte) {
  Grid g = SmallGrid();
  g.header.LatitudeStep = 0.1f;  // a 32-bit step widened, as the builder writes it
  g.header.EndLatitude = 30.1f;
  g.size = *SizeOfGrid(g.header);
  ASSERT_EQ(g.size.rows, 2);
  ASSERT_EQ(g.size.columns, 3);
  g.cells.assign(6, GridCell{});
  g.At(1, 2) = GridCell{1, 2, 3, 4, 5, 6, 7, 8};
  const std::string bytes = EncodeGrid(g);
  ASSERT_EQ(bytes.size(), 7u * 64);
  // Header: EndLongitude, StartLongitude, two reserved zeros, EndLatitude, StartLatitude, steps.
  const double header[8] = {-98, -100, 0, 0, static_cast<double>(30.1f), 30, 0.10000000149011612, 1};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(DoubleAt(bytes, 8 * k), header[k]) << "header field " << k;
  // Record (nLon + 1) * i + j + 2 holds cell (i, j): row 1, column 2 is record 7 at byte 384.
  for (int k = 0; k < 8; ++k) EXPECT_EQ(DoubleAt(bytes, 384 + 8 * k), k + 1.0);
  // Cells without data: every field missing but the ceiling, which holds 999.
  EXPECT_EQ(DoubleAt(bytes, 64), MissingValue);
  EXPECT_EQ(DoubleAt(bytes, 64 + 40), 999);
  const unsigned char little[8] = {0x9a, 0x99, 0x99, 0x99, 0x99, 0x99, 0xb9, 0x3f};  // 0.1 as a double
  double tenth = 0.1;
  EXPECT_EQ(std::memcmp(&tenth, little, 8), 0) << "grid files are little-endian";
}

TEST(GridFile, SizesComeFromTheHeaderInSinglePrecision) {
  struct Case { float start, end, step; int rows; };
  const Case cases[] = {
      {20, 50, 0.1f, 300},  // 0.1f widened is just above a tenth: 299 whole steps
      {20, 21, 1, 2},       // exactly one step gives two rows
      {20, 21.5f, 1, 2},    // a part step is dropped
      {0, 1, 0.01f, 101},
  };
  for (const Case& c : cases) {
    GridHeader h;
    h.StartLatitude = c.start;
    h.EndLatitude = c.end;
    h.LatitudeStep = c.step;
    h.StartLongitude = 0;
    h.EndLongitude = 1;
    h.LongitudeStep = 1;
    auto size = SizeOfGrid(h);
    ASSERT_TRUE(size) << c.end;
    EXPECT_EQ(size->rows, c.rows) << c.start << ".." << c.end << " step " << c.step;
  }
}

TEST(GridFile, ReaderRefusesUntrustworthyBytes) {
  const std::string good = EncodeGrid(SmallGrid());
  auto withHeader = [&](auto change) {
    Grid g = SmallGrid();
    change(g.header);
    return EncodeGrid(g).substr(0, 64) + good.substr(64);
  };
  struct Case { const char* what; std::string bytes; };
  const Case cases[] = {
      {"empty", ""},
      {"shorter than a header", good.substr(0, 63)},
      {"cut short in the cells", good.substr(0, good.size() - 1)},
      {"step below 0.01", withHeader([](GridHeader& h) { h.LatitudeStep = 0.0099; })},
      {"zero step", withHeader([](GridHeader& h) { h.LongitudeStep = 0; })},
      {"negative step", withHeader([](GridHeader& h) { h.LongitudeStep = -1; })},
      {"NaN corner", withHeader([](GridHeader& h) { h.EndLatitude = std::nan(""); })},
      {"end before start", withHeader([](GridHeader& h) { h.EndLatitude = 10; })},
      {"more than 32767 records", withHeader([](GridHeader& h) {
         h.StartLatitude = 0; h.EndLatitude = 50; h.StartLongitude = 0; h.EndLongitude = 50;
         h.LatitudeStep = h.LongitudeStep = 0.1f; })},
  };
  for (const Case& c : cases) {
    const auto result = DecodeGrid(c.bytes);
    EXPECT_FALSE(result.grid) << c.what;
    EXPECT_FALSE(result.error.empty()) << c.what;
  }
  // Stale records after the grid (left by a larger grid) are ignored.
  const auto stale = DecodeGrid(good + std::string(128, '\x7f'));
  ASSERT_TRUE(stale.grid);
  EXPECT_EQ(stale.grid->cells.size(), 6u);
  EXPECT_EQ(stale.grid->At(1, 2).Temperature, 5);
}

TEST(GridFile, WriteReplacesWholeOrLeavesTheOldGrid) {
  testing::MemoryFileSystem fs;
  Grid big = SmallGrid();
  ASSERT_TRUE(WriteGridFile(fs, "t.nv1", big));
  const std::string before = fs.files["t.nv1"];
  Grid small = big;
  small.header.EndLongitude = -99;
  small.size = *SizeOfGrid(small.header);
  small.cells.resize(4);
  fs.failWrites = true;
  fs.writeBudget = 100;
  EXPECT_FALSE(WriteGridFile(fs, "t.nv1", small));
  EXPECT_EQ(fs.files["t.nv1"], before);
  fs.failWrites = false;
  fs.failRenames = true;
  EXPECT_FALSE(WriteGridFile(fs, "t.nv1", small));
  EXPECT_EQ(fs.files["t.nv1"], before);
  fs.failRenames = false;
  ASSERT_TRUE(WriteGridFile(fs, "t.nv1", small));
  EXPECT_EQ(fs.files["t.nv1"].size(), 5u * 64) << "a smaller grid leaves no stale records";
  const auto back = ReadGridFile(fs, "t.nv1");
  ASSERT_TRUE(back.grid) << back.error;
  EXPECT_EQ(back.grid->size.columns, 2);
}

TEST(GridFile, MissingThresholdAndQuantityNames) {
  EXPECT_TRUE(IsMissing(MissingValue));
  EXPECT_TRUE(IsMissing(-9E+296));
  EXPECT_FALSE(IsMissing(-8.9E+296));
  EXPECT_FALSE(IsMissing(-999));
  const GridCell cell{1, 2, 3, 4, 5, 6, 7, 8};
  const char* names[] = {"temperature", "DEWPOINT", "wind", "peak", "pressure", "ceiling", "dirnorth", "direast"};
  for (int k = 0; k < 8; ++k) {
    auto q = QuantityByName(names[k]);
    ASSERT_TRUE(q) << names[k];
    EXPECT_EQ(CellValue(cell, *q), k + 1.0);
  }
  EXPECT_FALSE(QuantityByName("humidity"));
}

}  // namespace
}  // namespace norvane
