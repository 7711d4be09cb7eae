#include "downloader/sample_bulletins.h"

#include <gtest/gtest.h>

#include "downloader/replay_bulletin.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <sstream>
#include <string_view>

#include "downloader/bulletin_cutter.h"
#include "downloader/report_dating.h"
#include "obs/decoded_observation.h"
#include "obs/report_cleaning.h"

namespace norvane {
namespace {

std::vector<StationPosition> ShippedStations() {
  std::ifstream in(std::string(NORVANE_SOURCE_DIR) + "/data/latlong.stn", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return ParseLatLong(bytes.str());
}

std::vector<std::string> Reports(const std::string& bulletin) {
  std::vector<std::string> reports;
  CutBulletin(bulletin, [&](const RawReport& r) { reports.push_back(CleanReport(r.text)); });
  return reports;
}

bool AllOf(std::string_view text, int (*test)(int)) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [&](char c) { return test(static_cast<unsigned char>(c)) != 0; });
}

bool OneOf(std::string_view code, std::span<const std::string_view> codes) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}
bool OneOf(std::string_view code, std::initializer_list<std::string_view> codes) {
  return OneOf(code, std::span<const std::string_view>(codes.begin(), codes.size()));
}

constexpr std::string_view kDescriptors[] = {"MI", "PR", "BC", "DR", "BL", "SH", "TS", "FZ"};
constexpr std::string_view kFalling[] = {"DZ", "RA", "SN", "SG", "IC", "PL", "GR", "GS", "UP"};
constexpr std::string_view kHiding[] = {"BR", "FG", "FU", "VA", "DU", "SA", "HZ", "PY"};
constexpr std::string_view kOther[] = {"PO", "SQ", "FC", "SS", "DS"};

// A group made only of weather codes, whether or not they are put together as the
// code allows ("FZIC" is one that is not).
bool LooksLikeWeather(std::string_view g) {
  if (!g.empty() && (g[0] == '-' || g[0] == '+')) g.remove_prefix(1);
  if (g.size() < 2 || g.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < g.size(); i += 2) {
    const std::string_view code = g.substr(i, 2);
    if (code != "VC" && !OneOf(code, kDescriptors) && !OneOf(code, kFalling) && !OneOf(code, kHiding) &&
        !OneOf(code, kOther))
      return false;
  }
  return true;
}

// The present-weather groups the METAR code allows: intensity only for what falls (and
// +FC, +SS, +DS), one descriptor with the codes it may qualify, VC only before what can
// be seen at a distance.
bool StandardWeather(std::string_view g) {
  std::string_view sign, descriptor;
  if (!g.empty() && (g[0] == '-' || g[0] == '+')) sign = g.substr(0, 1), g.remove_prefix(1);
  const bool vicinity = g.substr(0, 2) == "VC";
  if (vicinity) g.remove_prefix(2);
  if (g.size() >= 2 && OneOf(g.substr(0, 2), kDescriptors)) descriptor = g.substr(0, 2), g.remove_prefix(2);
  if (vicinity && !sign.empty()) return false;
  if (g.empty()) return sign.empty() && (descriptor == "TS" || (vicinity && descriptor == "SH"));
  std::vector<std::string_view> codes;
  for (std::size_t i = 0; i + 1 < g.size(); i += 2) codes.push_back(g.substr(i, 2));
  auto all = [&](std::initializer_list<std::string_view> allowed) {
    return std::all_of(codes.begin(), codes.end(), [&](std::string_view c) { return OneOf(c, allowed); });
  };
  if (std::all_of(codes.begin(), codes.end(), [](std::string_view c) { return OneOf(c, kFalling); })) {
    if (codes.size() > 3 || vicinity || std::set<std::string_view>(codes.begin(), codes.end()).size() != codes.size())
      return false;
    if (descriptor == "SH" || descriptor == "TS") return all({"RA", "SN", "PL", "GS", "GR", "UP"});
    if (descriptor == "FZ") return all({"DZ", "RA", "UP"});
    if (descriptor == "DR" || descriptor == "BL") return codes.size() == 1 && codes[0] == "SN" && sign.empty();
    return descriptor.empty();
  }
  if (codes.size() != 1) return false;
  const std::string_view c = codes[0];
  if (OneOf(c, kHiding)) {
    if (!sign.empty()) return false;
    if (c == "FG") return descriptor.empty() || OneOf(descriptor, {"MI", "PR", "BC", "FZ"});
    if (c == "DU" || c == "SA") return descriptor.empty() || OneOf(descriptor, {"DR", "BL"});
    return descriptor.empty() || (c == "PY" && descriptor == "BL");
  }
  if (!descriptor.empty()) return false;
  return sign.empty() || (sign == "+" && OneOf(c, {"FC", "SS", "DS"}));
}

std::vector<std::string> Groups(const std::string& report) {
  std::istringstream in(report);
  std::vector<std::string> groups;
  for (std::string g; in >> g;) groups.push_back(g);
  return groups;
}

// The weather groups of a report, as a user reads them.
std::string WeatherText(const std::string& report) {
  std::string text;
  for (const std::string& g : Groups(report)) {
    if (g.rfind("RMK", 0) == 0) break;
    if (LooksLikeWeather(g)) text += g + " ";
  }
  return text;
}

double Median(std::vector<double> values) {
  if (values.empty()) return std::nan("");
  std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
  return values[values.size() / 2];
}

double Share(int count, int of) { return of ? static_cast<double>(count) / of : std::nan(""); }

// What a reader notices first in one hour of reports, counted from the texts
// themselves so that real reports and generated ones are measured alike.
struct HourFigures {
  int reports = 0;
  double weather = 0, usWeather = 0, calm = 0, medianWind = 0;
  std::string topKind;
  double topKindShare = 0;
  double qGroupsAbroad = 0, metresAbroad = 0, slpBesideQ = 0;
  double icelandTemperature = 0, icelandWind = 0;
  double coastMinusInland = 0;     // Britain and Ireland against central Russia, the same latitudes
  double rainPressureGap = 0;      // median pressure where rain, drizzle or snow falls, minus elsewhere
  std::vector<std::string> nonStandard;
};

HourFigures Measure(const std::vector<std::string>& reports) {
  HourFigures f;
  std::vector<double> winds, icelandTemperatures, icelandWinds, coast, inland, wetPressure, dryPressure;
  std::map<std::string, int> kinds;
  int us = 0, abroad = 0, weather = 0, usWeather = 0, calm = 0, qGroups = 0, metres = 0, withQ = 0, slpBesideQ = 0;
  for (const std::string& report : reports) {
    const std::vector<std::string> groups = Groups(report);
    if (groups.size() < 3) continue;
    const std::string& id = groups[0];
    auto in = [&](std::initializer_list<std::string_view> prefixes) {
      return std::any_of(prefixes.begin(), prefixes.end(), [&](std::string_view p) { return id.rfind(p, 0) == 0; });
    };
    const bool northAmerica = in({"K", "C", "P", "M", "T"}), iceland = in({"BI"});
    ++f.reports, us += in({"K"}), abroad += !northAmerica;
    std::set<std::string> seen;
    std::optional<double> wind, temperature, pressure;
    bool hasQ = false, hasSlp = false, hasMetres = false, falls = false, remarks = false;
    for (std::size_t i = 2; i < groups.size(); ++i) {
      const std::string& g = groups[i];
      const std::string_view digits = g.size() == 5 ? std::string_view(g).substr(1) : "";
      remarks = remarks || g.rfind("RMK", 0) == 0 || OneOf(g, {"NOSIG", "TEMPO", "BECMG"});
      if (remarks) {
        hasSlp = hasSlp || (g.size() == 6 && g.rfind("SLP", 0) == 0);
        continue;
      }
      const std::size_t kt = g.find("KT"), mps = g.find("MPS"), unit = std::min(kt, mps);
      if (!wind && unit != std::string::npos && unit >= 5 &&
          AllOf(g.substr(3, std::min(g.find('G'), unit) - 3), isdigit))
        wind = std::stod(g.substr(3)) * (unit == mps ? 1.944 : 1);
      if (g[0] == 'Q' && AllOf(digits, isdigit)) hasQ = true, pressure = std::stod(g.substr(1));
      if (g[0] == 'A' && AllOf(digits, isdigit)) pressure = std::stod(g.substr(1)) / 2.953;
      hasMetres = hasMetres || (g.size() == 4 && AllOf(g, isdigit)) || g == "CAVOK";
      const std::size_t slash = g.find('/');
      if (!temperature && (slash == 2 || (slash == 3 && g[0] == 'M')) && AllOf(g.substr(slash - 2, 2), isdigit))
        temperature = (g[0] == 'M' ? -1 : 1) * std::stod(g.substr(slash - 2, 2));
      if (!LooksLikeWeather(g)) continue;
      if (!StandardWeather(g)) f.nonStandard.push_back(id + " " + g);
      const std::string kind = g[0] == '-' || g[0] == '+' ? g.substr(1) : g;
      seen.insert(kind);
      falls = falls || kind.find("RA") != std::string::npos || kind.find("SN") != std::string::npos ||
              kind.find("DZ") != std::string::npos;
    }
    if (!seen.empty()) ++weather, usWeather += in({"K"});
    for (const std::string& kind : seen) ++kinds[kind];
    if (wind) {
      winds.push_back(*wind), calm += *wind == 0;
      if (iceland) icelandWinds.push_back(*wind);
    }
    if (!northAmerica) qGroups += hasQ, metres += hasMetres;
    withQ += hasQ, slpBesideQ += hasQ && hasSlp;
    if (temperature && iceland) icelandTemperatures.push_back(*temperature);
    if (temperature && in({"EG", "EI"})) coast.push_back(*temperature);
    if (temperature && in({"UU", "UW"})) inland.push_back(*temperature);
    if (pressure) {
      (falls ? wetPressure : dryPressure).push_back(*pressure);
    }
  }
  f.weather = Share(weather, f.reports);
  f.usWeather = Share(usWeather, us);
  f.calm = Share(calm, static_cast<int>(winds.size()));
  f.medianWind = Median(winds);
  for (const auto& [kind, count] : kinds)
    if (Share(count, f.reports) > f.topKindShare) f.topKind = kind, f.topKindShare = Share(count, f.reports);
  f.qGroupsAbroad = Share(qGroups, abroad);
  f.metresAbroad = Share(metres, abroad);
  f.slpBesideQ = Share(slpBesideQ, withQ);
  f.icelandTemperature = Median(icelandTemperatures);
  f.icelandWind = Median(icelandWinds);
  f.coastMinusInland = Median(coast) - Median(inland);
  f.rainPressureGap = Median(wetPressure) - Median(dryPressure);
  return f;
}

std::string Describe(const HourFigures& f) {
  char text[600];
  std::snprintf(text, sizeof text,
                "%d reports: weather %.1f%% (US %.1f%%), commonest kind %s %.1f%%, calm %.1f%%, median wind %.0f kt, "
                "outside North America Q groups %.1f%% and metres %.1f%%, SLP remark beside Q %.1f%%, Iceland "
                "median %.0f C and %.0f kt, Britain minus central Russia %.0f C, pressure under rain or snow minus "
                "elsewhere %.1f hPa, %zu non-standard weather groups",
                f.reports, 100 * f.weather, 100 * f.usWeather, f.topKind.c_str(), 100 * f.topKindShare, 100 * f.calm,
                f.medianWind, 100 * f.qGroupsAbroad, 100 * f.metresAbroad, 100 * f.slpBesideQ, f.icelandTemperature,
                f.icelandWind, f.coastMinusInland, f.rainPressureGap, f.nonStandard.size());
  return text;
}

// Every report of the bulletin at 00 UTC is dated the day before, at 53 past 23.
TEST(SampleBulletin, CutsIntoReportsObservedBeforeTheBulletinHour) {
  const auto stations = ShippedStations();
  ASSERT_GT(stations.size(), 5000u);
  const std::string bulletin = SampleBulletin(stations, 2027, 1, 1, 0);
  const auto reports = Reports(bulletin);
  ASSERT_EQ(reports.size(), static_cast<std::size_t>(std::count_if(stations.begin(), stations.end(), [](const auto& s) {
              return s.identifier.size() == 4;
            })));
  std::string all;
  for (const auto& r : reports) {
    EXPECT_EQ(DateReport(r, CivilTime{2027, 1, 1, 0, 10, 0}), "202612312353") << r;
    EXPECT_NE(r.find(" RMK"), std::string::npos) << r;  // K reports without it are not filed
    all += r;
  }
  EXPECT_NE(all.find("/////KT"), std::string::npos);  // some stations miss groups
  EXPECT_EQ(bulletin, SampleBulletin(stations, 2027, 1, 1, 0));
  EXPECT_NE(bulletin, SampleBulletin(stations, 2027, 1, 1, 1));
}

// Decoded bulletins over a winter day: weather at a believable share of stations over
// the day (an hour under wide highs may be drier), of many kinds, never one report
// copied over a region, every group one the code allows, and the rare significant kinds
// somewhere in the day.
TEST(SampleBulletin, DecodesIntoAVariedBelievableDay) {
  const auto stations = ShippedStations();
  std::map<std::string, int> dayCounts;
  int dayReports = 0, dayWithWeather = 0;
  for (int hour = 0; hour < 24; hour += 3) {
    const auto reports = Reports(SampleBulletin(stations, 2027, 1, 1, hour));
    const double n = static_cast<double>(reports.size());
    std::map<std::string, int> counts, weatherTexts, bodies;
    int withWeather = 0, temperatures = 0, ceilings = 0;
    std::map<int, int> temperatureValues;
    for (const std::string& r : reports) {
      const DecodedObservation d = DecodeReport(r);
      bool any = false;
      for (int column = 2; column <= 31; ++column) any = any || DecodedWeatherFlag(d, column);
      for (const char* code : {"BR", "SN", "RA", "DZ", "TS", "GR"})
        if (DecodedHasWeather(d, code)) ++counts[code];
      if (DecodedHasWeather(d, "FZ") && (DecodedHasWeather(d, "RA") || DecodedHasWeather(d, "DZ"))) ++counts["FZ"];
      if (DecodedPeakWind(d) >= 40) ++counts["G40"];
      if (const auto t = DecodedTemperature(d)) ++temperatures, ++temperatureValues[*t];
      if (DecodedCeiling(d)) ++ceilings;
      if (any) ++withWeather, ++weatherTexts[WeatherText(r)];
      ++bodies[r.substr(r.find("Z ") + 2, r.find(" A") - r.find("Z ") - 2)];
    }
    SCOPED_TRACE("hour " + std::to_string(hour));
    EXPECT_GT(temperatures, 0.95 * n);
    EXPECT_GT(ceilings, 0.2 * n);
    EXPECT_GT(temperatureValues.size(), 50u);
    EXPECT_GT(withWeather, 0.05 * n);
    EXPECT_LT(withWeather, 0.25 * n);
    dayReports += static_cast<int>(n), dayWithWeather += withWeather;
    const std::vector<std::string> odd = Measure(reports).nonStandard;
    EXPECT_TRUE(odd.empty()) << odd.front();
    EXPECT_LT(counts["BR"], 0.12 * n);
    EXPECT_GT(counts["SN"], 0.005 * n);
    EXPECT_GT(counts["RA"] + counts["DZ"], 0.005 * n);
    int topWeather = 0, topBody = 0;
    for (const auto& [text, c] : weatherTexts) topWeather = std::max(topWeather, c);
    for (const auto& [text, c] : bodies) topBody = std::max(topBody, c);
    EXPECT_LT(topWeather, 0.6 * withWeather);
    EXPECT_LT(topBody, 0.02 * n);
    for (const auto& [code, c] : counts) dayCounts[code] += c;
    EXPECT_GT(weatherTexts.size(), 15u);
  }
  EXPECT_GT(dayWithWeather, 0.08 * dayReports);
  for (const char* rare : {"TS", "GR", "FZ", "G40"}) EXPECT_GT(dayCounts[rare], 0) << rare;
}

// The late-evening bulletin of a December day read as a user reads it, against what real
// reports show; the worldwide rows hold for the real corpus too, so the bounds are those
// of real weather and not of this generator.
TEST(SampleBulletin, AWinterEveningLooksLikeRealReports) {
  const HourFigures generated = Measure(Reports(SampleBulletin(ShippedStations(), 2026, 12, 7, 23)));
  std::printf("generated 2026-12-07 23 UTC: %s\n", Describe(generated).c_str());
  std::optional<HourFigures> real;
  if (std::ifstream corpus(std::string(NORVANE_SHARED_DATA) + "/world_reports.txt"); corpus) {
    std::vector<std::string> lines;
    for (std::string line; std::getline(corpus, line);) lines.push_back(line);
    real = Measure(lines);
    std::printf("real reports: %s\n", Describe(*real).c_str());
  } else {
    std::printf("real reports not found under %s: only the generated hour is checked\n", NORVANE_SHARED_DATA);
  }
  struct Bound {
    const char* what;
    double HourFigures::*value;
    double low, high;
    bool worldwide;  // also true of the real corpus, which mixes seasons and hours
  };
  const Bound bounds[] = {
      {"share of stations with weather", &HourFigures::weather, 0.10, 0.25, true},
      {"share of US stations with weather", &HourFigures::usWeather, 0.10, 0.25, true},
      {"share of the commonest weather kind", &HourFigures::topKindShare, 0, 0.08, true},
      {"share of calm winds", &HourFigures::calm, 0.05, 0.20, true},
      {"median wind (knots)", &HourFigures::medianWind, 5, 11, true},
      {"Q groups outside North America", &HourFigures::qGroupsAbroad, 0.9, 1, true},
      {"visibility in metres outside North America", &HourFigures::metresAbroad, 0.9, 1, true},
      {"SLP remark beside every Q group", &HourFigures::slpBesideQ, 1, 1, false},
      {"Iceland's median temperature (C)", &HourFigures::icelandTemperature, -5, 5, false},
      {"Iceland's median wind (knots)", &HourFigures::icelandWind, 8, 35, false},
      {"Britain warmer than central Russia (C)", &HourFigures::coastMinusInland, 5, 30, false},
      {"pressure under rain or snow below the rest (hPa)", &HourFigures::rainPressureGap, -40, -3, false},
  };
  for (const Bound& b : bounds) {
    EXPECT_GE(generated.*b.value, b.low) << b.what;
    EXPECT_LE(generated.*b.value, b.high) << b.what;
    if (real && b.worldwide) {
      EXPECT_GE((*real).*b.value, b.low) << b.what << " (real)";
      EXPECT_LE((*real).*b.value, b.high) << b.what << " (real)";
    }
  }
  EXPECT_TRUE(generated.nonStandard.empty()) << generated.nonStandard.front();
  // The checker itself knows the code: real reports hold almost no oddities.
  if (real) {
    EXPECT_LT(real->nonStandard.size(), 10u) << real->nonStandard.front();
  }
  EXPECT_FALSE(StandardWeather("FZIC"));
}

}  // namespace
}  // namespace norvane

namespace norvane {
namespace {

TEST(ReplayServer, CycleFileNamesGiveTheirHour) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"/data/observations/metar/cycles/07Z.TXT", 7}, {"/23z.txt", 23}, {"00Z.TXT", 0},
      {"/24Z.TXT", std::nullopt}, {"/7Z.TXT", std::nullopt}, {"/07Z.TXT.gz", std::nullopt},
      {"/26120712_metar", std::nullopt}, {"", std::nullopt}};
  for (const auto& [path, hour] : cases) EXPECT_EQ(CycleFileHour(path), hour) << path;
}

}  // namespace
}  // namespace norvane
