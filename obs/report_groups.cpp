// ReadObservation: a report read group by group, each kind of group by its own small rule.
#include <algorithm>
#include <cmath>

#include "obs/decoded_observation.h"
#include "obs/observation_reading.h"

namespace norvane {
namespace {

using Group = std::string_view;

constexpr double kKnotsPerMetrePerSecond = 1.943844;
constexpr double kKnotsPerKilometrePerHour = 0.5399568;
constexpr double kMetresPerStatuteMile = 1609.344;
constexpr double kHectopascalsPerInch = 33.8639;
// Longer groups are never METAR groups; lower-case ones are read upper-cased in a
// buffer of this size.
constexpr std::size_t kLongestGroup = 24;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(Group g) {
  return !g.empty() && std::all_of(g.begin(), g.end(), IsDigit);
}

// The value of a run of digits (the caller has checked them; at most a few).
int DigitsValue(Group g) {
  int v = 0;
  for (char c : g) v = v * 10 + (c - '0');
  return v;
}

bool AllSlashes(Group g) {
  return !g.empty() && std::all_of(g.begin(), g.end(), [](char c) { return c == '/'; });
}

bool IsDayTimeGroup(Group g) {
  if (g.size() == 7 && g[6] == 'Z') g.remove_suffix(1);
  return g.size() == 6 && AllDigits(g);
}

// Signed whole degrees: "M05" or "05" (a lone digit is accepted: "M5").
std::optional<int> DegreesOf(Group g) {
  bool minus = false;
  if (!g.empty() && g[0] == 'M') {
    minus = true;
    g.remove_prefix(1);
  }
  if (g.empty() || g.size() > 2 || !AllDigits(g)) return std::nullopt;
  const int v = DigitsValue(g);
  return minus ? -v : v;
}

// The flag column of every pair of capital letters, built once.
struct FlagTable {
  std::array<std::uint8_t, 26 * 26> columns{};
  FlagTable() {
    for (char a = 'A'; a <= 'Z'; ++a) {
      for (char b = 'A'; b <= 'Z'; ++b) {
        const char code[2] = {a, b};
        columns[static_cast<std::size_t>((a - 'A') * 26 + (b - 'A'))] =
            static_cast<std::uint8_t>(WeatherFlagColumn(std::string_view(code, 2)));
      }
    }
  }
};

int FlagColumnOf(char a, char b) {
  static const FlagTable table;
  if (a < 'A' || a > 'Z' || b < 'A' || b > 'Z') return 0;
  return table.columns[static_cast<std::size_t>((a - 'A') * 26 + (b - 'A'))];
}

// ---- The rules of the body. Each returns whether the group was one of its kind. ----

// dddff(f)[Gff(f)]KT, MPS or KMH; VRB for the direction; "/////KT" is a missing wind.
bool ReadWindGroup(Group g, ObservationReading& r) {
  double factor = 1;
  if (g.ends_with("KT")) {
    g.remove_suffix(2);
  } else if (g.ends_with("MPS")) {
    g.remove_suffix(3);
    factor = kKnotsPerMetrePerSecond;
  } else if (g.ends_with("KMH")) {
    g.remove_suffix(3);
    factor = kKnotsPerKilometrePerHour;
  } else {
    return false;
  }
  if (g.size() < 5) return false;
  const Group direction = g.substr(0, 3);
  Group rest = g.substr(3);
  Group speed = rest.substr(0, rest.find('G'));
  Group gust = speed.size() < rest.size() ? rest.substr(speed.size() + 1) : Group();
  if (speed.starts_with('P')) speed.remove_prefix(1);  // "P99": more than the code can say
  if (gust.starts_with('P')) gust.remove_prefix(1);
  const bool directionKnown = AllDigits(direction) || direction == "VRB";
  if (!directionKnown && !AllSlashes(direction)) return false;
  if (!AllDigits(speed)) {
    // "/////KT" and the like: the wind group is there but says nothing.
    if (!AllSlashes(speed) || speed.size() > 3) return false;
    return true;
  }
  if (speed.size() < 2 || speed.size() > 3) return false;
  if (rest.size() > speed.size() && !(gust.size() >= 2 && gust.size() <= 3 && AllDigits(gust)) && !AllSlashes(gust))
    return false;
  if (!directionKnown) return true;
  const int degrees = direction == "VRB" ? 0 : DigitsValue(direction);
  if (degrees > 360) return false;
  const auto knots = [factor](Group digits) { return static_cast<int>(std::lround(DigitsValue(digits) * factor)); };
  const int speedKnots = knots(speed);
  if (speedKnots > 999) return false;
  r.windVariable = direction == "VRB";
  if (!r.windVariable) r.windDirection = degrees;
  r.windSpeed = speedKnots;
  if (AllDigits(gust) && knots(gust) <= 999) r.windGust = knots(gust);
  return true;
}

// Metres ("9999", "0800", "4000NDV", "2000SW"), statute miles ("10SM", "M1/4SM",
// "P6SM", and "1" followed by "1/2SM"), or CAVOK. `next` is the following group.
bool ReadVisibilityGroup(Group g, Group next, ObservationReading& r, bool& usedNext) {
  usedNext = false;
  if (g == "CAVOK") {
    r.cavok = true;
    r.visibilityMetres = 10000;
    r.visibilityAtLeast = true;
    return true;
  }
  if (g.size() >= 4 && AllDigits(g.substr(0, 4))) {
    const Group tail = g.substr(4);
    const bool direction = tail.empty() || tail == "NDV" ||
                           (tail.size() <= 2 && tail.find_first_not_of("NSEW") == Group::npos);
    if (!direction) return false;
    const int metres = DigitsValue(g.substr(0, 4));
    r.visibilityMetres = metres == 9999 ? 10000 : metres;
    r.visibilityAtLeast = metres == 9999;
    r.visibilityBelow = metres == 0;
    return true;
  }
  // A whole number of miles standing before a fraction group.
  if (g.size() <= 2 && AllDigits(g) && next.ends_with("SM") && next.find('/') != Group::npos &&
      AllDigits(next.substr(0, next.find('/')))) {
    ObservationReading fraction;
    bool unused = false;
    if (!ReadVisibilityGroup(next, {}, fraction, unused)) return false;
    r.visibilityMetres = DigitsValue(g) * kMetresPerStatuteMile + *fraction.visibilityMetres;
    usedNext = true;
    return true;
  }
  if (!g.ends_with("SM")) return false;
  g.remove_suffix(2);
  bool below = false;
  bool atLeast = false;
  if (g.starts_with('M')) below = true;
  if (g.starts_with('P')) atLeast = true;
  if (below || atLeast) g.remove_prefix(1);
  double miles = 0;
  const std::size_t slash = g.find('/');
  if (slash == Group::npos) {
    if (!AllDigits(g) || g.size() > 3) return false;
    miles = DigitsValue(g);
  } else {
    const Group top = g.substr(0, slash);
    const Group bottom = g.substr(slash + 1);
    if (!AllDigits(top) || !AllDigits(bottom) || top.size() > 2 || bottom.size() > 2 || DigitsValue(bottom) == 0)
      return false;
    miles = static_cast<double>(DigitsValue(top)) / DigitsValue(bottom);
  }
  r.visibilityMetres = miles * kMetresPerStatuteMile;
  r.visibilityBelow = below;
  r.visibilityAtLeast = atLeast;
  return true;
}

// [+|-][VC] followed by two-letter codes of the flag table ("-SHRA", "VCFG", "+TSGRRA").
// Recent weather (RE...) and "//" are not present weather and are left alone.
bool ReadWeatherGroup(Group g, ObservationReading& r) {
  const Group written = g;
  char sign = '2';
  if (g.starts_with('+') || g.starts_with('-')) {
    sign = g[0] == '+' ? '3' : '1';
    g.remove_prefix(1);
  }
  const bool vicinity = g.starts_with("VC");
  if (vicinity) g.remove_prefix(2);
  if (g.empty() || g.size() % 2 != 0 || g.size() > 10) return false;
  std::uint32_t flags = 0;
  for (std::size_t i = 0; i < g.size(); i += 2) {
    const int column = FlagColumnOf(g[i], g[i + 1]);
    // VC has its own column and never stands after the intensity.
    if (column == 0 || (g[i] == 'V' && g[i + 1] == 'C')) return false;
    flags |= std::uint32_t{1} << column;
  }
  // Near the station only the vicinity column is set, so no plot draws the weather at
  // the station; thunder is the exception, since it is heard at the station.
  if (vicinity) flags = (std::uint32_t{1} << WeatherFlagColumn("VC")) | (flags & (std::uint32_t{1} << WeatherFlagColumn("TS")));
  r.weatherFlags |= flags;
  if (sign == '3' || (sign == '1' && r.intensity != '3') || r.intensity == '0') r.intensity = sign;
  if (r.presentWeatherCount < static_cast<int>(r.presentWeather.size())) {
    WeatherGroup& kept = r.presentWeather[static_cast<std::size_t>(r.presentWeatherCount++)];
    kept.size = static_cast<std::uint8_t>(std::min(written.size(), kept.chars.size()));
    std::copy_n(written.begin(), kept.size, kept.chars.begin());
    kept.vicinity = vicinity;
  }
  return true;
}

// What the cloud groups of the body have said so far.
struct SkySeen {
  int mostCover = -1;
  std::optional<int> lowestCeiling;
};

// FEW/SCT/BKN/OVC + height (or "///") [+ CB, TCU or "///"], VV + height, CLR, SKC, NCD.
// NSC and CAVOK say nothing of clouds above 5000 ft, so they give no sky cover.
bool ReadSkyGroup(Group g, SkySeen& sky) {
  if (g == "CLR" || g == "SKC" || g == "NCD") {
    sky.mostCover = std::max(sky.mostCover, 0);
    return true;
  }
  if (g == "NSC") return true;
  int cover = 0;
  Group height;
  if (g.starts_with("VV")) {
    cover = 5;
    height = g.substr(2);
    if (height.size() != 3) return false;
  } else {
    if (g.size() < 6) return false;
    const Group word = g.substr(0, 3);
    if (word == "FEW") cover = 1;
    else if (word == "SCT") cover = 2;
    else if (word == "BKN") cover = 3;
    else if (word == "OVC") cover = 4;
    else return false;
    height = g.substr(3, 3);
    const Group type = g.substr(6);
    // CB and TCU, or "///"; some military stations name other cloud types ("SC", "AC").
    const bool typeLetters = type.size() >= 2 && type.size() <= 3 &&
                             std::all_of(type.begin(), type.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    if (!type.empty() && !typeLetters && !AllSlashes(type)) return false;
  }
  const bool known = AllDigits(height);
  if (!known && height != "///") return false;
  sky.mostCover = std::max(sky.mostCover, cover);
  // A layer of unknown height still covers the sky but sets no ceiling.
  if (known && cover >= 3) {
    const int h = DigitsValue(height);
    if (!sky.lowestCeiling || h < *sky.lowestCeiling) sky.lowestCeiling = h;
  }
  return true;
}

// tt/dd with "M" for minus; "tt/", "tt//", "tt///" have no dew point.
bool ReadTemperatureGroup(Group g, ObservationReading& r) {
  const std::size_t slash = g.find('/');
  if (slash == Group::npos) return false;
  // "/////" is a missing pair, or the missing wind of an automatic station: either way
  // it says nothing, and a pair after it is still read.
  if (AllSlashes(g)) return false;
  const Group t = g.substr(0, slash);
  const Group td = g.substr(slash + 1);
  const std::optional<int> temperature = DegreesOf(t);
  if (!temperature || t.size() < 2) return false;
  std::optional<int> dewPoint;
  if (!td.empty() && !AllSlashes(td)) {
    dewPoint = DegreesOf(td);
    if (!dewPoint || td.size() < 2) return false;
  } else if (td.size() > 3) {
    return false;
  }
  r.temperature = temperature;
  r.dewPoint = dewPoint;
  r.temperatureBelowZero = t[0] == 'M';
  r.dewPointBelowZero = dewPoint && td[0] == 'M';
  return true;
}

// Q followed by hectopascals or A by hundredths of an inch of mercury; "Q////" says nothing.
bool ReadPressureGroup(Group g, std::optional<double>& setting, PressureSource& source) {
  if (g.size() < 5 || (g[0] != 'Q' && g[0] != 'A')) return false;
  // Some stations add tenths and the inches: "Q1022.3/30.18".
  if (g.size() > 5 && g[5] != '.') return false;
  const double tenths = (g[0] == 'Q' && g.size() > 6 && IsDigit(g[6])) ? (g[6] - '0') / 10.0 : 0;
  g = g.substr(0, 5);
  const Group digits = g.substr(1);
  if (AllSlashes(digits)) return true;
  if (!AllDigits(digits)) return false;
  const double hectopascals =
      g[0] == 'Q' ? DigitsValue(digits) + tenths : DigitsValue(digits) / 100.0 * kHectopascalsPerInch;
  // Beyond anything measured at the surface: a garbled group.
  if (hectopascals < 850 || hectopascals > 1090) return false;
  setting = hectopascals;
  source = g[0] == 'Q' ? PressureSource::kQnh : PressureSource::kAltimeter;
  return true;
}

// ---- The remarks. ----

// What the remarks have said; the body's values win over the T-group's.
struct RemarksSeen {
  std::optional<double> seaLevelPressure;
  std::optional<double> temperature;  // degrees
  std::optional<double> dewPoint;
  bool temperatureGroupSeen = false;
  bool peakWaiting = false;  // "PK" seen, "WND" may follow
  bool peakWindNext = false; // "PK WND" seen: the next group is the peak wind
};

// SLPppp: tenths of a hectopascal, 900s above 650 and 1000s up to it.
bool ReadSeaLevelRemark(Group g, RemarksSeen& seen) {
  if (g.size() != 6 || !g.starts_with("SLP") || !AllDigits(g.substr(3))) return false;
  const int tenths = DigitsValue(g.substr(3));
  if (!seen.seaLevelPressure) seen.seaLevelPressure = (tenths > 650 ? 9000 + tenths : 10000 + tenths) / 10.0;
  return true;
}

// Tsnnnsnnn: temperature and dew point in tenths, s = 1 for minus; the dew point may be
// left off.
bool ReadTemperatureRemark(Group g, RemarksSeen& seen) {
  if ((g.size() != 9 && g.size() != 5) || g[0] != 'T' || !AllDigits(g.substr(1))) return false;
  const auto degrees = [](Group part) -> std::optional<double> {
    if (part[0] != '0' && part[0] != '1') return std::nullopt;
    const double v = DigitsValue(part.substr(1)) / 10.0;
    return part[0] == '1' ? -v : v;
  };
  if (seen.temperatureGroupSeen) return true;
  seen.temperatureGroupSeen = true;
  seen.temperature = degrees(g.substr(1, 4));
  if (g.size() == 9) seen.dewPoint = degrees(g.substr(5, 4));
  return true;
}

// dddff/hhmm or dddfff/hhmm after "PK WND": the peak wind in knots.
bool ReadPeakWindRemark(Group g, ObservationReading& r) {
  const std::size_t slash = g.find('/');
  if (slash != 5 && slash != 6) return false;
  if (!AllDigits(g.substr(0, slash))) return false;
  if (!r.peakWind) r.peakWind = DigitsValue(g.substr(3, slash - 3));
  return true;
}

// 5appp: the characteristic and amount of the three-hour pressure change.
bool ReadPressureTendencyRemark(Group g, ObservationReading& r) {
  if (g.size() != 5 || g[0] != '5' || !AllDigits(g) || g[1] > '8') return false;
  if (r.pressureTendency) return true;
  const int a = g[1] - '0';
  const double amount = DigitsValue(g.substr(2)) / 10.0;
  r.pressureTendency = PressureTendency{a, a >= 5 ? -amount : amount};
  return true;
}

void ReadRemark(Group g, ObservationReading& r, RemarksSeen& seen) {
  if (seen.peakWindNext) {
    seen.peakWindNext = false;
    if (ReadPeakWindRemark(g, r)) return;
  }
  if (g == "PK") {
    seen.peakWaiting = true;
    return;
  }
  if (seen.peakWaiting && g == "WND") {
    seen.peakWaiting = false;
    seen.peakWindNext = true;
    return;
  }
  seen.peakWaiting = false;
  if (g.size() >= 6 && g.find("SNINCR") != Group::npos) r.snowIncreasing = true;
  if (ReadSeaLevelRemark(g, seen) || ReadTemperatureRemark(g, seen) || ReadPressureTendencyRemark(g, r)) return;
  if (g.size() == 5 && g.starts_with("4/") && AllDigits(g.substr(2))) {
    if (!r.snowDepth) r.snowDepth = DigitsValue(g.substr(2));
  } else if (g.size() == 5 && g[0] == '6' && AllDigits(g)) {
    if (!r.sixHourPrecipitation) r.sixHourPrecipitation = DigitsValue(g.substr(1));
  }
}

bool IsTrendWord(Group g) {
  return g == "TEMPO" || g == "BECMG" || g == "NOSIG" || g == "INTER";
}

// The groups of a report one by one; lower-case groups are handed out upper-cased.
class GroupReader {
 public:
  explicit GroupReader(std::string_view text) : text_(text) {}

  // The next group, or an empty one at the end.
  Group Next() {
    while (at_ < text_.size() && text_[at_] == ' ') ++at_;
    const std::size_t start = at_;
    bool lower = false;
    for (; at_ < text_.size() && text_[at_] != ' '; ++at_) lower = lower || (text_[at_] >= 'a' && text_[at_] <= 'z');
    Group g = text_.substr(start, at_ - start);
    // A report cut from a bulletin may keep its end sign on the last group.
    if (g.size() > 1 && g.ends_with('=')) g.remove_suffix(1);
    if (!lower || g.size() > kLongestGroup) return g;
    std::array<char, kLongestGroup>& buffer = buffers_[flip_ ^= 1];
    std::transform(g.begin(), g.end(), buffer.begin(), [](char c) {
      return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return {buffer.data(), g.size()};
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  // Two buffers, so that a group and the one after it can both be looked at.
  std::array<std::array<char, kLongestGroup>, 2> buffers_{};
  int flip_ = 0;
};

}  // namespace

double ReduceQnhToSeaLevel(double qnh, double elevationMetres, std::optional<int> temperature) {
  constexpr double kLapse = 0.0065;      // K per metre, standard atmosphere
  constexpr double kStandardKelvin = 288.15;
  constexpr double kExponent = 5.25588;  // g / (R lapse)
  constexpr double kGravityOverGasConstant = 9.80665 / 287.05;
  // Back to the pressure at the station along the standard atmosphere that defines QNH,
  // then down to sea level through a column at the station's own temperature.
  const double station = qnh * std::pow(1 - kLapse * elevationMetres / kStandardKelvin, kExponent);
  const double stationKelvin = temperature ? *temperature + 273.15 : kStandardKelvin - kLapse * elevationMetres;
  const double columnKelvin = stationKelvin + kLapse * elevationMetres / 2;
  return station * std::exp(kGravityOverGasConstant * elevationMetres / columnKelvin);
}

std::optional<double> VisibilityStatuteMiles(const ObservationReading& reading) {
  if (!reading.visibilityMetres) return std::nullopt;
  return *reading.visibilityMetres / kMetresPerStatuteMile;
}

ObservationReading ReadObservation(std::string_view cleanedReport, std::optional<double> elevationMetres) {
  ObservationReading r;
  GroupReader groups(cleanedReport);
  // The identifier, then the day-hour-minute group among the next two (after COR); a
  // text without one is no METAR (an SAO report, a fragment) and reads as nothing.
  groups.Next();
  Group g = groups.Next();
  if (!IsDayTimeGroup(g)) g = groups.Next();
  if (!IsDayTimeGroup(g)) return r;

  bool windSeen = false;
  bool visibilitySeen = false;
  bool temperatureSeen = false;
  bool pressureSeen = false;
  std::optional<double> setting;
  SkySeen sky;
  RemarksSeen remarks;
  enum class Section { kBody, kTrend, kRemarks } section = Section::kBody;

  g = groups.Next();
  while (!g.empty()) {
    Group next = groups.Next();
    if (g == "RMK") {
      section = Section::kRemarks;
    } else if (section == Section::kRemarks) {
      ReadRemark(g, r, remarks);
    } else if (section == Section::kTrend) {
      // Forecast changes, not the present: nothing to read until the remarks.
    } else if (IsTrendWord(g)) {
      section = Section::kTrend;
    } else if (!windSeen && ReadWindGroup(g, r)) {
      windSeen = true;
    } else if (bool usedNext = false; !visibilitySeen && ReadVisibilityGroup(g, next, r, usedNext)) {
      visibilitySeen = true;
      if (usedNext) next = groups.Next();
    } else if (ReadSkyGroup(g, sky)) {
    } else if (!temperatureSeen && ReadTemperatureGroup(g, r)) {
      temperatureSeen = true;
    } else if (!pressureSeen && ReadPressureGroup(g, setting, r.pressureSource)) {
      pressureSeen = true;
    } else if (!g.starts_with("RE")) {
      ReadWeatherGroup(g, r);
    }
    g = next;
  }

  if (sky.mostCover >= 0) r.skyCover = sky.mostCover;
  r.ceiling = sky.lowestCeiling;
  if (!temperatureSeen) {
    const auto whole = [](std::optional<double> v) -> std::optional<int> {
      if (!v) return std::nullopt;
      return static_cast<int>(std::lround(*v));
    };
    r.temperature = whole(remarks.temperature);
    r.dewPoint = whole(remarks.dewPoint);
    r.temperatureBelowZero = remarks.temperature && *remarks.temperature < 0;
    r.dewPointBelowZero = remarks.dewPoint && *remarks.dewPoint < 0;
  }
  if (remarks.seaLevelPressure) {
    r.seaLevelPressure = remarks.seaLevelPressure;
    r.pressureSource = PressureSource::kSeaLevelRemark;
  } else if (setting) {
    r.seaLevelPressure = elevationMetres ? ReduceQnhToSeaLevel(*setting, *elevationMetres, r.temperature) : *setting;
  } else {
    r.pressureSource = PressureSource::kNone;
  }
  return r;
}

}  // namespace norvane
