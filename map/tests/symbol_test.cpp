#include <gtest/gtest.h>

#include <tuple>

#include "core/local_file_system.h"
#include "map/bmp_image.h"
#include "map/symbol_table.h"
#include "map/weather_symbol.h"
#include "obs/decoded_observation.h"
#include "tests/fakes/memory_file_system.h"

namespace norvane {
namespace {

// A decoded text with the given weather codes set and intensity in column 1.
std::string Decoded(char intensity, std::initializer_list<const char*> codes, const char* temperature = "015") {
  std::string d(DecodedTemplate());
  d[0] = intensity;
  for (const char* code : codes) d[static_cast<std::size_t>(WeatherFlagColumn(code) - 1)] = '1';
  d.replace(40, 3, temperature);
  return d;
}

TEST(WeatherSymbolTest, DecisionListPicksFirstMatch) {
  struct Case { char intensity; std::initializer_list<const char*> codes; int expected; };
  const Case cases[] = {
      {'3', {"FC"}, 15}, {'1', {"FC", "RA"}, 1}, {'2', {"SQ", "TS"}, 34},
      {'1', {"FZ", "RA"}, 24}, {'2', {"FZ", "RA"}, 23}, {'1', {"FZ", "DZ"}, 22}, {'3', {"FZ", "DZ"}, 21},
      {'2', {"FZ", "BR"}, 18},  // freezing alone passes on
      {'1', {"TS", "GR"}, 36}, {'1', {"TS", "GS"}, 37}, {'0', {"TS"}, 35}, {'1', {"TS", "SN"}, 43},
      {'2', {"TS", "SN"}, 42}, {'1', {"TS", "RA"}, 39}, {'3', {"TS", "RA"}, 38}, {'1', {"TS", "RA", "SN"}, 41},
      {'2', {"TS", "RA", "SN"}, 40}, {'1', {"GR"}, 29}, {'2', {"GR"}, 28}, {'2', {"PL"}, 27},
      {'1', {"GS"}, 5}, {'2', {"GS"}, 30}, {'1', {"SH", "RA"}, 3}, {'2', {"SH", "RA"}, 31},
      {'1', {"SH", "RA", "SN"}, 4}, {'3', {"SH", "RA", "SN"}, 32}, {'1', {"SH", "SN"}, 2}, {'2', {"SH", "SN"}, 33},
      {'1', {"RA", "SN"}, 45}, {'2', {"RA", "SN"}, 46}, {'1', {"RA"}, 6}, {'2', {"RA"}, 7}, {'3', {"RA"}, 8},
      {'0', {"RA", "BR"}, 18},  // rain without an intensity passes on
      {'3', {"SN"}, 14}, {'2', {"BL", "SN"}, 17}, {'2', {"SN"}, 12}, {'1', {"SN"}, 13},
      {'1', {"DZ"}, 10}, {'2', {"DZ"}, 11}, {'3', {"DZ"}, 9}, {'0', {"UP"}, 44}, {'0', {"PO"}, 16},
      {'0', {"DS"}, 16}, {'0', {"IC"}, 26}, {'0', {"FG", "BR"}, 19}, {'0', {"BR"}, 18}, {'0', {"FU"}, 20},
      {'0', {"HZ"}, 25}, {'0', {"SH"}, 0}, {'0', {}, 0},
  };
  for (const Case& c : cases) {
    const std::string d = Decoded(c.intensity, c.codes);
    EXPECT_EQ(ChooseWeatherSymbol(d), c.expected) << d;
  }
  EXPECT_EQ(ChooseWeatherSymbol(""), 0);
  EXPECT_EQ(ChooseWeatherSymbol("\x01\x02garbage"), 0);
}

TEST(WeatherSymbolTest, FilterTreatsMissingCharactersAsOff) {
  struct Case { std::string filter; int symbol; bool wanted; };
  for (const Case& c : {Case{std::string(46, '1'), 1, true}, {std::string(46, '1'), 46, true},
                        {std::string(46, '1'), 47, false}, {"111", 4, false}, {"", 1, false}, {"1101", 3, false}}) {
    EXPECT_EQ(WeatherSymbolWanted(c.filter, c.symbol), c.wanted) << c.filter << " " << c.symbol;
  }
  EXPECT_EQ(std::tuple(WeatherSymbolFile(1), WeatherSymbolFile(46), WeatherSymbolFile(0)),
            std::tuple("symbols/fc.bmp", "symbols/rasn.bmp", ""));
}

TEST(WeatherSymbolTest, FreezingMark) {
  struct Case { char intensity; const char* code; const char* temperature; bool mark; };
  for (const Case& c : {Case{'2', "RA", "000", true}, {'1', "DZ", "M02", true}, {'0', "UP", "M10", true},
                        {'2', "RA", "001", false}, {'2', "SN", "M05", false}}) {
    EXPECT_EQ(NeedsFreezingMark(Decoded(c.intensity, {c.code}, c.temperature)), c.mark) << c.code << " " << c.temperature;
  }
}

TEST(BmpImageTest, RoundTripAndGarbage) {
  Image image{3, 2, {Rgb(1, 2, 3), Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255), Rgb(9, 9, 9), Rgb(200, 100, 50)}};
  const std::string bytes = WriteBmp24(image);
  const auto back = ReadBmp(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(std::tie(back->width, back->height, back->pixels), std::tie(image.width, image.height, image.pixels));
  std::string error;
  for (std::size_t cut : {std::size_t{0}, std::size_t{10}, std::size_t{53}, bytes.size() - 1})
    EXPECT_TRUE(!ReadBmp(bytes.substr(0, cut), &error) && !error.empty()) << cut;
  std::string huge = bytes;
  huge[21] = 0x7f;  // width far beyond any picture
  EXPECT_FALSE(ReadBmp(huge));
}

TEST(BmpImageTest, ReadsEightBitWithPalette) {
  std::string b = WriteBmp24(Image{1, 1, {0}});
  // Header of a 2x1 8-bit picture with a two-colour palette.
  b.resize(54);
  b[10] = static_cast<char>(54 + 8), b[18] = 2, b[28] = 8, b[46] = 2;  // data offset, width, bits, colours
  b += std::string("\x00\x00\xff\x00\xff\x00\x00\x00" "\x01\x00\x00\x00", 12);  // red, blue (BGR0); pixels 1, 0
  EXPECT_EQ(ReadBmp(b).value().pixels, (std::vector<Color>{Rgb(0, 0, 255), Rgb(255, 0, 0)}));
}

TEST(SymbolTableTest, MissingAndBrokenBitmapsReportedOnceAndDrawNothing) {
  testing::MemoryFileSystem fs;
  fs.WriteAll("symbols/fc.bmp", WriteBmp24(Image{2, 2, std::vector<Color>(4, 0)}));
  fs.WriteAll("symbols/ra.bmp", "garbage");
  std::vector<std::string> messages;
  SymbolTable table;
  table.Load(fs, "", [&](const std::string& m) { messages.push_back(m); });
  EXPECT_EQ(messages.size(), 45u);
  EXPECT_EQ(table.Find(1) ? table.Find(1)->width : 0, 2);
  for (int i : {7, 0, 47}) EXPECT_EQ(table.Find(i), nullptr) << i;
}

// The bitmaps shipped in data/symbols must all load, so a plotted symbol is never lost.
TEST(SymbolTableTest, ShippedSymbolsAllLoad) {
  LocalFileSystem fs(std::string(NORVANE_SOURCE_DIR) + "/data");
  if (!fs.Exists("symbols/fc.bmp")) GTEST_SKIP() << "data/symbols not present in this checkout";
  std::vector<std::string> messages;
  SymbolTable table;
  table.Load(fs, "", [&](const std::string& m) { messages.push_back(m); });
  EXPECT_TRUE(messages.empty()) << messages.front();
  for (int i = 1; i <= kWeatherSymbolCount; ++i) EXPECT_EQ(table.Find(i) ? table.Find(i)->width : 0, 21) << i;
}

}  // namespace
}  // namespace norvane
