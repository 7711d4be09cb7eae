// The decoder's rules: fixed-offset pattern matches around a few anchor words.
#include <array>

#include "core/lenient_number.h"
#include "obs/decoder_window.h"

namespace norvane::decoder {
namespace {

// Writes a temperature pair: T at column 41, Td at column 44.
void WritePair(Columns& d, const Piece& t, const Piece& td) {
  d.Write(41, t);
  d.Write(44, td);
}

Piece Zero(const Piece& piece) { return Piece{}.Add('0').Add(piece); }

// The three shapes of a temperature group "tt/dd ", "tt/ddd ", "ttt/ddd " starting at
// `start`; the first shape that fits is written. Returns whether one fitted.
//
// Between groups there is one blank, so only one shape can fit there. A pair ending the
// report is followed by two blanks (its own and the working text's), where "tt/dd" fits
// both the first and the second shape and the second would write "dd " as the dew
// point; the first fit therefore always wins.
bool TryTemperatureShapes(const Working& p, int start, Columns& d) {
  if (p.Ch(start + 2) == '/' && p.Ch(start + 5) == ' ') {
    WritePair(d, Zero(p.At(start, 2)), Zero(p.At(start + 3, 2)));
    return true;
  }
  if (p.Ch(start + 2) == '/' && p.Ch(start + 6) == ' ') {
    WritePair(d, Zero(p.At(start, 2)), p.At(start + 3, 3));
    return true;
  }
  if (p.Ch(start + 3) == '/' && p.Ch(start + 7) == ' ') {
    WritePair(d, p.At(start, 3), p.At(start + 4, 3));
    return true;
  }
  return false;
}

// The sky-step anchors; the cover words are numbered as their column-35 digits.
enum class SkyWord { kNone = 0, kFew = 1, kScattered = 2, kBroken = 3, kOvercast = 4, kClear, kVertical, kRemarks };

SkyWord SkyWordAt(const Working& p, int g) {
  const char a = p.Ch(g);
  const char b = p.Ch(g + 1);
  const char c = p.Ch(g + 2);
  switch (a) {
    case 'V':
      return b == 'V' ? SkyWord::kVertical : SkyWord::kNone;
    case 'C':
      return (b == 'L' && c == 'R') ? SkyWord::kClear : SkyWord::kNone;
    case 'S':
      if (b == 'K' && c == 'C') return SkyWord::kClear;
      return (b == 'C' && c == 'T') ? SkyWord::kScattered : SkyWord::kNone;
    case 'F':
      return (b == 'E' && c == 'W') ? SkyWord::kFew : SkyWord::kNone;
    case 'B':
      return (b == 'K' && c == 'N') ? SkyWord::kBroken : SkyWord::kNone;
    case 'O':
      return (b == 'V' && c == 'C') ? SkyWord::kOvercast : SkyWord::kNone;
    case 'R':
      return (b == 'M' && c == 'K') ? SkyWord::kRemarks : SkyWord::kNone;
    default:
      return SkyWord::kNone;
  }
}

// The weather-flag column of every pair of capital letters, looked up once per pair of
// the weather part.
struct FlagTable {
  std::array<std::uint8_t, 26 * 26> columns{};
};

FlagTable BuildFlagTable() {
  FlagTable table;
  for (char a = 'A'; a <= 'Z'; ++a) {
    for (char b = 'A'; b <= 'Z'; ++b) {
      const char code[2] = {a, b};
      table.columns[static_cast<std::size_t>((a - 'A') * 26 + (b - 'A'))] =
          static_cast<std::uint8_t>(WeatherFlagColumn(std::string_view(code, 2)));
    }
  }
  return table;
}

int FlagColumnOf(char a, char b) {
  static const FlagTable table = BuildFlagTable();
  if (a < 'A' || a > 'Z' || b < 'A' || b > 'Z') return 0;
  return table.columns[static_cast<std::size_t>((a - 'A') * 26 + (b - 'A'))];
}

constexpr std::array<char, 4> kCoverDigit = {'1', '2', '3', '4'};

}  // namespace

long long PieceValue(const Piece& piece) { return RoundHalfEven(LenientNumber(piece.View())); }

void ApplyCavokRule(const Working& p, Columns& d) {
  for (int k = p.Find("CAVOK", 10); k != 0 && k <= p.Length() - 5; k = p.Find("CAVOK", k + 1)) {
    // Only the first shape that fits counts; none fitting goes on to the next CAVOK.
    if (TryTemperatureShapes(p, k + 6, d)) return;
  }
}

int ApplyWindRule(const Working& p, Columns& d) {
  const int k = p.Find("KT ", 19);
  if (k == 0) return 0;
  // Every shape that fits is written, a later one over an earlier one.
  if (p.Ch(k - 3) == 'G' && p.Ch(k - 9) == ' ') {  // dddffGggKT
    d.Write(47, Piece{}.Add(p.At(k - 8, 3)).Add('0').Add(p.At(k - 5, 2)));
  }
  if (p.Ch(k - 4) == 'G' && p.Ch(k - 10) == ' ') {  // dddffGgggKT
    d.Write(47, Piece{}.Add(p.At(k - 9, 3)).Add('0').Add(p.At(k - 6, 2)));
  }
  if (p.Ch(k - 4) == 'G' && p.Ch(k - 11) == ' ') {  // dddfffGgggKT
    d.Write(47, p.At(k - 10, 6));
  }
  if (p.Ch(k - 6) == ' ') {  // dddffKT
    d.Write(47, Piece{}.Add(p.At(k - 5, 3)).Add('0').Add(p.At(k - 2, 2)));
  }
  if (p.Ch(k - 7) == ' ') {  // dddfffKT
    d.Write(47, p.At(k - 6, 6));
  }
  return k + 3;
}

std::int16_t PeakWindOf(const Working& p) {
  long long m = 0;
  bool gustFound = false;
  bool peakFound = false;
  // Visits the "KT " and "PK WND" anchors from position 5 on in the order they occur,
  // each kind only while it is still wanted.
  int nextWind = p.Find("KT ", 5);
  int nextPeak = p.Find("PK WND", 5);
  while (!(gustFound && peakFound)) {
    const int wind = gustFound ? 0 : nextWind;
    const int peak = peakFound ? 0 : nextPeak;
    if (wind == 0 && peak == 0) break;
    if (wind != 0 && (peak == 0 || wind < peak)) {
      const int n = wind;
      if (p.Ch(n - 3) == 'G') {
        m = PieceValue(p.At(n - 2, 2));
        gustFound = true;
      } else if (p.Ch(n - 4) == 'G') {
        m = PieceValue(p.At(n - 3, 3));
        gustFound = true;
      } else if (p.Ch(n - 6) == ' ') {
        m = PieceValue(p.At(n - 2, 2));
        gustFound = true;
      } else if (p.Ch(n - 7) == ' ') {
        m = PieceValue(p.At(n - 3, 3));
        gustFound = true;
      }
      nextWind = p.Find("KT ", n + 1);
    } else {
      const int n = peak;
      if (p.Ch(n + 12) == '/' && p.Ch(n + 6) == ' ') {  // PK WND dddff/hhmm
        m = PieceValue(p.At(n + 10, 2));
        peakFound = gustFound = true;
      } else if (p.Ch(n + 13) == '/' && p.Ch(n + 6) == ' ') {  // PK WND dddfff/hhmm
        m = PieceValue(p.At(n + 10, 3));
        peakFound = gustFound = true;
      }
      nextPeak = p.Find("PK WND", n + 1);
    }
  }
  // The values come from at most three characters, so they always fit 16 bits.
  return static_cast<std::int16_t>(m);
}

void ApplyPeakWindRule(const Working& p, Columns& d) {
  int m = PeakWindOf(p);
  // Above 128 knots is taken as a garbled group; a negative value ("G-5KT") is one too.
  if (m > 128 || m < 0) m = 0;
  char digits[4] = {};
  int size = 0;
  do {
    digits[size++] = static_cast<char>('0' + m % 10);
    m /= 10;
  } while (m > 0);
  for (int i = 0; i < size; ++i) d.Write(63 - i, std::string_view(&digits[i], 1));
}

void ApplyLayerTemperatureRule(const Working& p, int g, Columns& d) {
  if (TryTemperatureShapes(p, g + 7, d)) return;
  if (p.Is(g + 6, "CB") && TryTemperatureShapes(p, g + 9, d)) return;
  if (p.Is(g + 6, "TCU")) TryTemperatureShapes(p, g + 10, d);
}

void ApplyRemarksScan(const Working& p, int g, Columns& d) {
  for (int k = g; k <= p.Length() - 1; ++k) {
    const char c = p.Ch(k);
    if (c == ' ') {
      if (p.Is(k, " SLP") && p.Ch(k + 7) == ' ') {
        const Piece x = p.At(k + 4, 3);
        d.Write(36, Piece{}.Add(PieceValue(x) > 650 ? "09" : "10").Add(x));
      }
      if (p.Is(k, " 4/") && p.Ch(k + 6) == ' ') d.Write(54, p.At(k + 3, 3));
      if (p.Is(k, " 6") && p.Ch(k + 6) == ' ') d.Write(57, p.At(k + 2, 4));
    } else if (c == 'S' && p.Is(k, "SNINCR")) {
      d.Write(53, "1");
    }
  }
}

int ApplySkyAndRemarksRules(const Working& p, int windEnd, Columns& d) {
  bool ceilingSet = false;
  int weatherEnd = 0;
  for (int g = windEnd; g <= p.Length(); ++g) {
    const SkyWord word = SkyWordAt(p, g);
    if (word == SkyWord::kNone) continue;
    if (word == SkyWord::kRemarks) {
      ApplyRemarksScan(p, g, d);
      break;
    }
    if (weatherEnd == 0) weatherEnd = g - 1;
    if (word == SkyWord::kVertical) {
      d.Write(32, Piece{}.Add(p.At(g + 2, 3)).Add('5'));
      TryTemperatureShapes(p, g + 6, d);
      continue;
    }
    if (!ceilingSet && (word == SkyWord::kBroken || word == SkyWord::kOvercast)) {
      d.Write(32, p.At(g + 3, 3));
      ceilingSet = true;
    }
    if (word == SkyWord::kClear) {
      d.Write(35, "0");
      TryTemperatureShapes(p, g + 4, d);
    } else {
      d.Write(35, std::string_view(&kCoverDigit[static_cast<std::size_t>(word) - 1], 1));
      ApplyLayerTemperatureRule(p, g, d);
    }
  }
  return weatherEnd;
}

void ApplyWeatherRule(const Working& p, int windEnd, int weatherEnd, Columns& d) {
  if (weatherEnd == 0 || weatherEnd < windEnd) return;
  // Q: the weather part without its intensity signs. It is bounded by the report, but
  // only pairs of it matter, so it is scanned in place rather than copied.
  char previous = '\0';
  bool havePrevious = false;
  for (int i = windEnd; i < weatherEnd; ++i) {
    const char c = p.Ch(i);
    if (c == '+') {
      d.Write(1, "3");
    } else if (c == '-') {
      if (d.Get(1) != '3') d.Write(1, "1");
    } else {
      if (havePrevious) {
        const int column = FlagColumnOf(previous, c);
        if (column != 0) d.Write(column, "1");
      }
      previous = c;
      havePrevious = true;
    }
  }
  if (d.Get(1) == '0') d.Write(1, "2");
}

}  // namespace norvane::decoder
