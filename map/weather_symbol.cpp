#include "map/weather_symbol.h"

#include <array>
#include <cstdint>
#include <string>

#include "obs/decoded_observation.h"

namespace norvane {
namespace {

struct SymbolName {
  std::string_view file;
  std::string_view caption;
};

constexpr std::array<SymbolName, kWeatherSymbolCount> kSymbols = {{
    {"symbols/fc.bmp", "FC"},           {"symbols/-shsn.bmp", "-SHSN"},
    {"symbols/-shra.bmp", "-SHRA"},     {"symbols/-shrasn.bmp", "-SHRASN"},
    {"symbols/-shgs.bmp", "-SHGS"},     {"symbols/-ra.bmp", "-RA"},
    {"symbols/ra.bmp", "RA"},           {"symbols/+ra.bmp", "+RA"},
    {"symbols/+dz.bmp", "+DZ"},         {"symbols/-dz.bmp", "-DZ"},
    {"symbols/dz.bmp", "DZ"},           {"symbols/sn.bmp", "SN"},
    {"symbols/-sn.bmp", "-SN"},         {"symbols/+sn.bmp", "+SN"},
    {"symbols/+fc.bmp", "+FC"},         {"symbols/blsa.bmp", "PO/SS/DS/  SA/DU"},
    {"symbols/blsn.bmp", "BLSN/DRSN"},  {"symbols/br.bmp", "BR"},
    {"symbols/fg.bmp", "FG"},           {"symbols/fu.bmp", "FU"},
    {"symbols/fzdz.bmp", "(+)FZDZ"},    {"symbols/-fzdz.bmp", "-FZDZ"},
    {"symbols/fzra.bmp", "(+)FZRA"},    {"symbols/-fzra.bmp", "-FZRA"},
    {"symbols/hz.bmp", "HZ"},           {"symbols/ic.bmp", "IC/SG"},
    {"symbols/pl.bmp", "PL/PE"},        {"symbols/shgr.bmp", "(+)SHGR"},
    {"symbols/-shgr.bmp", "-SHGR"},     {"symbols/shgs.bmp", "(+)SHGS"},
    {"symbols/shra.bmp", "(+)SHRA"},    {"symbols/shrasn.bmp", "(+)SHRASN"},
    {"symbols/shsn.bmp", "(+)SHSN"},    {"symbols/sq.bmp", "SQ"},
    {"symbols/ts.bmp", "TS"},           {"symbols/tsgr.bmp", "TSGR"},
    {"symbols/tsgs.bmp", "TSGS"},       {"symbols/tsra.bmp", "(+)TSRA"},
    {"symbols/-tsra.bmp", "-TSRA"},     {"symbols/tsrasn.bmp", "(+)TSRASN"},
    {"symbols/-tsrasn.bmp", "-TSRASN"}, {"symbols/tssn.bmp", "(+)TSSN"},
    {"symbols/-tssn.bmp", "-TSSN"},     {"symbols/up.bmp", "UP"},
    {"symbols/-rasn.bmp", "-RASN"},     {"symbols/rasn.bmp", "(+)RASN"},
}};

// The flag column of every two-letter code, looked up once: the decision list asks
// a dozen codes of each of thousands of stations at every redraw.
int FlagColumn(std::string_view code) {
  static const std::array<std::uint8_t, 26 * 26> kColumns = [] {
    std::array<std::uint8_t, 26 * 26> columns{};
    for (char a = 'A'; a <= 'Z'; ++a)
      for (char b = 'A'; b <= 'Z'; ++b)
        columns[static_cast<std::size_t>((a - 'A') * 26 + (b - 'A'))] =
            static_cast<std::uint8_t>(WeatherFlagColumn(std::string{a, b}));
    return columns;
  }();
  if (code.size() != 2 || code[0] < 'A' || code[0] > 'Z' || code[1] < 'A' || code[1] > 'Z') return 0;
  return kColumns[static_cast<std::size_t>((code[0] - 'A') * 26 + (code[1] - 'A'))];
}

// The weather flags of a decoded text as bits by column.
std::uint32_t WeatherFlags(std::string_view decoded) {
  std::uint32_t flags = 0;
  for (int column = 2; column <= 31; ++column)
    if (DecodedWeatherFlag(decoded, column)) flags |= std::uint32_t{1} << column;
  return flags;
}

// One pass of the decision list; each step returns 0 to pass on to the next.
class SymbolChooser {
 public:
  explicit SymbolChooser(std::string_view decoded)
      : flags_(WeatherFlags(decoded)), intensity_(DecodedColumn(decoded, 1)) {}

  int Choose() const {
    if (flags_ == 0) return 0;
    using Step = int (SymbolChooser::*)() const;
    static constexpr Step kSteps[] = {
        &SymbolChooser::FunnelCloud, &SymbolChooser::Squall,    &SymbolChooser::Freezing,
        &SymbolChooser::Thunder,     &SymbolChooser::Hail,      &SymbolChooser::IcePellets,
        &SymbolChooser::SmallHail,   &SymbolChooser::Showers,   &SymbolChooser::Rain,
        &SymbolChooser::Snow,        &SymbolChooser::Drizzle,   &SymbolChooser::Obscurations,
    };
    for (Step step : kSteps) {
      if (const int index = (this->*step)(); index != 0) return index;
    }
    return 0;
  }

 private:
  bool Has(std::string_view code) const { return (flags_ >> FlagColumn(code) & 1) != 0; }
  bool Light() const { return intensity_ == '1'; }
  int ByIntensity(int light, int moderate, int heavy) const {
    switch (intensity_) {
      case '1': return light;
      case '2': return moderate;
      case '3': return heavy;
      default: return 0;
    }
  }

  int FunnelCloud() const { return Has("FC") ? (intensity_ == '3' ? 15 : 1) : 0; }
  int Squall() const { return Has("SQ") ? 34 : 0; }
  int Freezing() const {
    if (!Has("FZ")) return 0;
    if (Has("RA")) return Light() ? 24 : 23;
    if (Has("DZ")) return Light() ? 22 : 21;
    return 0;
  }
  int Thunder() const {
    if (!Has("TS")) return 0;
    if (Has("GR")) return 36;
    if (Has("GS")) return 37;
    const bool rain = Has("RA");
    const bool snow = Has("SN");
    if (!rain && !snow) return 35;
    if (snow && !rain) return Light() ? 43 : 42;
    if (rain && !snow) return Light() ? 39 : 38;
    return Light() ? 41 : 40;
  }
  int Hail() const { return Has("GR") ? (Light() ? 29 : 28) : 0; }
  int IcePellets() const { return Has("PL") ? 27 : 0; }
  int SmallHail() const { return Has("GS") ? (Light() ? 5 : 30) : 0; }
  int Showers() const {
    if (!Has("SH")) return 0;
    if (Has("RA")) {
      if (!Has("SN")) return Light() ? 3 : 31;
      return Light() ? 4 : 32;
    }
    if (Has("SN")) return Light() ? 2 : 33;
    return 0;
  }
  int Rain() const {
    if (!Has("RA")) return 0;
    if (Has("SN")) return Light() ? 45 : 46;
    return ByIntensity(6, 7, 8);
  }
  int Snow() const {
    if (!Has("SN")) return 0;
    if (intensity_ == '3') return 14;
    if (Has("BL") || Has("DR")) return 17;
    return ByIntensity(13, 12, 0);
  }
  int Drizzle() const { return Has("DZ") ? ByIntensity(10, 11, 9) : 0; }
  int Obscurations() const {
    if (Has("UP")) return 44;
    if (Has("DU") || Has("SA") || Has("SS") || Has("DS") || Has("PO")) return 16;
    if (Has("SG") || Has("IC")) return 26;
    if (Has("FG")) return 19;
    if (Has("BR")) return 18;
    if (Has("FU")) return 20;
    if (Has("HZ")) return 25;
    return 0;
  }

  std::uint32_t flags_;
  char intensity_;
};

}  // namespace

std::string_view WeatherSymbolFile(int index) {
  if (index < 1 || index > kWeatherSymbolCount) return {};
  return kSymbols[static_cast<std::size_t>(index - 1)].file;
}

std::string_view WeatherSymbolCaption(int index) {
  if (index < 1 || index > kWeatherSymbolCount) return {};
  return kSymbols[static_cast<std::size_t>(index - 1)].caption;
}

int ChooseWeatherSymbol(std::string_view decoded) { return SymbolChooser(decoded).Choose(); }

bool WeatherSymbolWanted(std::string_view plottedWx, int index) {
  if (index < 1 || static_cast<std::size_t>(index) > plottedWx.size()) return false;
  return plottedWx[static_cast<std::size_t>(index - 1)] == '1';
}

bool NeedsFreezingMark(std::string_view decoded) {
  const bool precipitation =
      DecodedHasWeather(decoded, "DZ") || DecodedHasWeather(decoded, "RA") || DecodedHasWeather(decoded, "UP");
  if (!precipitation) return false;
  return DecodedField(decoded, 41, 3) == "000" || DecodedColumn(decoded, 41) == 'M';
}

}  // namespace norvane
