#include "downloader/sample_weather.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace norvane {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kRad = kPi / 180;
constexpr double kYear = 365.2425;

std::uint32_t Mix(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352du;
  x ^= x >> 15;
  x *= 0x846ca68bu;
  x ^= x >> 16;
  return x;
}

// A repeatable number in [0, 1) for a key and a purpose.
double Unit(std::uint32_t key, std::uint32_t purpose) {
  return Mix(key ^ Mix(purpose * 0x9e3779b9u + 0x7f4a7c15u)) / 4294967296.0;
}

std::uint32_t StationSeed(const std::string& id) {
  std::uint32_t h = 2166136261u;
  for (char c : id) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return Mix(h);
}

double Clamp01(double x) { return std::clamp(x, 0.0, 1.0); }

// 0 at `from`, 1 at `to` (either way round), smooth in between.
double Ramp(double from, double to, double x) {
  const double t = Clamp01((x - from) / (to - from));
  return t * t * (3 - 2 * t);
}

double Wrap180(double degrees) { return std::remainder(degrees, 360.0); }

// Value noise over latitude, longitude and time, so that neighbours share showers and
// clearings; `cell` degrees wide and renewed every `period` hours. Stretched to [0, 1].
double FieldNoise(double lat, double lon, double hours, double cell, double period, std::uint32_t salt) {
  const double a = lat / cell, b = lon / cell, c = hours / period;
  const double fa = std::floor(a), fb = std::floor(b), fc = std::floor(c);
  auto fade = [](double t) { return t * t * (3 - 2 * t); };
  const double ta = fade(a - fa), tb = fade(b - fb), tc = fade(c - fc);
  double sum = 0;
  for (int corner = 0; corner < 8; ++corner) {
    const int di = corner & 1, dj = (corner >> 1) & 1, dk = corner >> 2;
    const std::uint32_t key = static_cast<std::uint32_t>(static_cast<long long>(fa) + di) * 73856093u ^
                              static_cast<std::uint32_t>(static_cast<long long>(fb) + dj) * 19349663u ^
                              static_cast<std::uint32_t>(static_cast<long long>(fc) + dk) * 83492791u;
    sum += (di ? ta : 1 - ta) * (dj ? tb : 1 - tb) * (dk ? tc : 1 - tc) * Unit(key, salt);
  }
  return Ramp(0.2, 0.8, sum);  // interpolation crowds the values near 0.5
}

// A point seen from a system's centre, in degrees of arc east and north.
struct Offset {
  double x = 0, y = 0, r = 0;
};

Offset OffsetFrom(const PressureSystem& s, double lat, double lon) {
  const double x = Wrap180(lon - s.longitude) * std::cos((lat + s.latitude) * 0.5 * kRad);
  const double y = lat - s.latitude;
  return {x, y, std::hypot(x, y)};
}

// Subtropical highs near 33 degrees and subpolar lows near 63: westerlies between them,
// trade winds equatorward.
double BackgroundPressure(double lat) {
  const double a = std::fabs(lat);
  return 1011 + 7 * std::exp(-std::pow((a - 33) / 11, 2)) - 7 * std::exp(-std::pow((a - 63) / 10, 2));
}

// Where lows are born and roughly where they head; weights favour the regions with
// many stations.
struct Birthplace {
  double longitude, latitude;
  int weight;
};
constexpr Birthplace kNorthernBirthplaces[] = {
    {-105, 37, 2},  // lee of the Rockies
    {-113, 51, 2},  // Alberta
    {-80, 31, 1},   // off the Carolinas
    {-150, 44, 2},  // north-east Pacific, bound for the west coast
    {-52, 43, 2},   // western Atlantic
    {-35, 49, 2},   // mid-Atlantic, bound for Europe
    {-28, 55, 1},   // near Iceland
    {6, 42, 1},     // Gulf of Genoa
    {124, 34, 1},   // East China Sea
    {158, 41, 1},   // north-west Pacific
    {32, 38, 1},    // eastern Mediterranean
};
constexpr int kBirthWeights = 16;

struct TrackFamily {
  bool south;
  double period, life;  // hours between births, hours each one lives
  std::uint32_t salt;
};

void AddLows(SampleAtmosphere& air, const TrackFamily& family, double winter) {
  const long last = static_cast<long>(std::floor(air.hours / family.period));
  for (long k = last - static_cast<long>(family.life / family.period) - 2; k <= last; ++k) {
    const std::uint32_t seed = Mix(static_cast<std::uint32_t>(k) * 2654435761u ^ family.salt);
    const double age = air.hours - (k * family.period + 6 * Unit(seed, 1));
    if (age < 0 || age >= family.life) continue;
    double lat0, lon0;
    if (family.south) {
      lat0 = -47 + 8 * (Unit(seed, 2) - 0.5);
      lon0 = 360 * Unit(seed, 3);
    } else {
      int pick = static_cast<int>(Unit(seed, 2) * kBirthWeights);
      const Birthplace* place = kNorthernBirthplaces;
      while (pick >= place->weight) pick -= place++->weight;
      lat0 = place->latitude + 6 * (Unit(seed, 3) - 0.5);
      lon0 = place->longitude + 10 * (Unit(seed, 4) - 0.5);
    }
    const double drift = (0.02 + 0.06 * Unit(seed, 5)) * age + 2 * std::sin(age / 20 + 6 * Unit(seed, 6));
    const double lat = lat0 + (family.south ? -drift : drift);
    const double speed = 0.3 + 0.18 * Unit(seed, 7);  // degrees of arc an hour, about 35 to 55 km/h
    const double lon = Wrap180(lon0 + speed * age / std::cos(lat * kRad));
    const double depth =
        (8 + 16 * Unit(seed, 8)) * (0.8 + 0.3 * winter) * std::pow(std::sin(kPi * age / family.life), 0.7);
    air.systems.push_back({lat, lon, -depth, 5 + 3 * Unit(seed, 9) + 2 * age / family.life, true});
  }
}

void AddHighs(SampleAtmosphere& air, bool south, double period, std::uint32_t salt) {
  constexpr double life = 150;
  const long last = static_cast<long>(std::floor(air.hours / period));
  for (long k = last - static_cast<long>(life / period) - 2; k <= last; ++k) {
    const std::uint32_t seed = Mix(static_cast<std::uint32_t>(k) * 2246822519u ^ salt);
    const double age = air.hours - k * period;
    if (age < 0 || age >= life) continue;
    const double lat = (32 + 14 * Unit(seed, 1) - 0.02 * age) * (south ? -1 : 1);
    const double lon = Wrap180(360 * Unit(seed, 2) + 0.2 * age / std::cos(lat * kRad));
    const double strength = (5 + 8 * Unit(seed, 3)) * std::sqrt(std::sin(kPi * age / life));
    air.systems.push_back({lat, lon, strength, 11 + 5 * Unit(seed, 4), false});
  }
}

// Regions whose climate the latitude alone gets wrong; the first that holds a point wins.
struct Region {
  double south, north, west, east;
  double warmth;   // degrees added to the yearly mean
  double dryness;  // degrees added to the dew-point depression
  bool hazy;       // smoke and dust are common
};
constexpr Region kRegions[] = {
    {22, 35, -118, -103, 4, 8, false},   // south-western deserts
    {32, 49, -121, -103, 2, 5, false},   // the high West: sunny for its height
    {37, 60, -130, -121, 1.5, 0, false}, // Pacific coast of North America
    {25, 33, -98, -80, 1, -2, false},    // the Gulf coast
    {12, 36, -17, 62, 4, 9, true},       // Sahara and Arabia
    {30, 46, 60, 100, 0, 6, true},       // the high plateaus of Asia
    {5, 30, 62, 100, 3, 1, true},        // south Asia
    {22, 45, 100, 145, -1, 1, true},     // east Asia
    {-38, -18, 115, 148, 0, 7, false},   // inland Australia
    {-56, -38, -76, -56, -1, 2, false},  // Patagonia
};
constexpr Region kElsewhere{0, 0, 0, 0, 0, 0, false};

const Region& RegionAt(double lat, double lon) {
  for (const Region& r : kRegions)
    if (lat >= r.south && lat <= r.north && lon >= r.west && lon <= r.east) return r;
  return kElsewhere;
}

// Open water that tempers the land next to it, a few degrees off the coasts. Seas that
// freeze in winter (Hudson Bay, the Arctic, the northern Baltic) are left out: they
// temper nothing when it matters.
struct SeaPoint {
  float latitude, longitude;
};
constexpr SeaPoint kSeas[] = {
    // North-east Atlantic, North Sea and the Norwegian coast
    {64, -24}, {66.5, -14}, {63, -19}, {62, -7}, {58, -9}, {55, -6}, {53, -5.5}, {51, -11}, {49.5, -5}, {50.3, 0},
    {53, 3}, {56, 4}, {58.5, 6}, {62, 4}, {66, 10}, {69.5, 15}, {71, 25}, {71, 35}, {55, 17}, {57, 19},
    {59.8, 24}, {46, -5}, {43.8, -9.5}, {38.5, -10}, {36.3, -7}, {33, -11}, {28, -14.5}, {38, -27}, {32, -64},
    // Mediterranean, Black Sea
    {36, -2}, {39, 4}, {43.3, 7.5}, {41, 11}, {38.6, 13}, {43, 15.5}, {39, 19}, {38, 25}, {35, 25}, {34, 33},
    {32.5, 34.2}, {33, 21}, {37.5, 10.5}, {36.8, 3}, {31.8, 31.5}, {43, 34}, {44.2, 30}, {42, 50},
    // Africa, Arabia, India
    {21, -18}, {14, -18}, {8, -14}, {4.5, -5}, {5.5, 2}, {3, 8.5}, {-5, 11}, {-12, 13}, {-20, 12}, {-30, 16},
    {-35, 19.5}, {-34.5, 26}, {-30.5, 32}, {-25, 36}, {-18, 38.5}, {-10, 40.8}, {-4, 40.5}, {3, 46.5},
    {11.5, 52}, {12.5, 45}, {20, 39}, {27, 35}, {24.5, 58.5}, {26.5, 52}, {29, 49}, {24, 65}, {18.5, 71.5},
    {12, 74.5}, {7, 79.5}, {13, 81}, {19, 86.5}, {21, 90}, {-20, 50.5}, {-15, 51}, {-25, 45}, {-20.5, 57.8},
    // East and south-east Asia, Japan, the Pacific rim of Asia
    {15, 97}, {7, 99}, {1.2, 104.5}, {10, 108}, {17, 108.5}, {20.5, 108}, {21.5, 115}, {25, 120}, {30, 123},
    {35, 123}, {38.5, 120.5}, {36, 125.5}, {34.8, 129.5}, {38, 131}, {42, 135}, {34, 130}, {31, 131.5},
    {34, 136}, {34.5, 140}, {38, 142.5}, {41.5, 142}, {43.5, 140.5}, {43, 146}, {53, 160}, {12, 123},
    {15, 119.5}, {8, 127}, {-5, 107}, {-8.5, 115}, {3, 100}, {5, 113}, {-2, 118}, {-6, 147},
    // Australia, New Zealand, the islands
    {-12, 131}, {-11.5, 137}, {-16, 140}, {-11, 143}, {-17, 147}, {-23, 152}, {-28, 154}, {-34, 152},
    {-38.5, 150}, {-40, 145}, {-39.5, 141}, {-36, 136.5}, {-33, 132}, {-35.5, 118}, {-32, 115}, {-26, 112},
    {-21, 114}, {-18, 121}, {-14, 126}, {-43.5, 148}, {-41, 174.5}, {-37, 176}, {-45, 171}, {-38, 172},
    {21, -158}, {19.5, -155}, {13.5, 145}, {-18, 178}, {-9, 160}, {-14, -171},
    // North and Central America, the Caribbean
    {59, -145}, {57, -153}, {55, -164}, {56, -136}, {52, -131}, {48, -126}, {44, -125}, {40, -125},
    {36, -123}, {33, -119}, {28, -116}, {23, -110.5}, {26.5, -111}, {20, -106}, {16, -99}, {14, -93},
    {12, -88}, {9, -85.5}, {7, -80}, {23.5, -80}, {22, -86.5}, {20, -93}, {24, -97}, {27.8, -95.5},
    {29, -90}, {29.5, -86}, {27, -83.5}, {26, -79.6}, {30.5, -80.5}, {33, -78.5}, {35, -75}, {38, -74.5},
    {40.3, -72}, {42, -69.5}, {44, -66}, {44, -62}, {47, -60}, {49, -64}, {47, -52}, {50.5, -55},
    {19.5, -78}, {18, -66}, {17, -62}, {15, -75}, {13, -60}, {11.5, -70}, {11, -63}, {61, -46},
    // South America
    {4, -79}, {0, -81}, {-6, -81.5}, {-12, -78}, {-18, -72}, {-24, -71}, {-30, -72}, {-37, -74},
    {-43, -75}, {-50, -76}, {-55, -68}, {-52, -67}, {-46, -66}, {-41, -62}, {-37, -56}, {-34, -52},
    {-28, -47.5}, {-23.5, -42.5}, {-18, -38.5}, {-12, -37}, {-7, -34.5}, {-3, -38.5}, {0, -47}, {5, -52},
    {8, -58}, {11, -74.5},
};

// How far the mildness of the sea reaches a point: 0 on a coast facing the open sea, 1
// deep inland. Where the westerlies blow, the sea upwind counts for more than the sea
// the wind blows out to.
double Continentality(double lat, double lon) {
  const double westerlies = Ramp(25, 35, std::fabs(lat)) * Ramp(72, 62, std::fabs(lat));
  const double cosLat = std::cos(lat * kRad);
  double nearest = 1e9;
  for (const SeaPoint& sea : kSeas) {
    const double north = sea.latitude - lat;
    if (std::fabs(north) * 111 > nearest) continue;
    const double east = Wrap180(sea.longitude - lon) * cosLat;
    const double km = 111 * std::hypot(north, east);
    const double toEast = km > 0 ? east * 111 / km : 0;  // 1 when the sea lies due east
    nearest = std::min(nearest, km * (1 + westerlies * (0.4 + 0.6 * toEast)));
  }
  double c = std::pow(Clamp01(nearest / 1400), 0.75);
  // Coasts the wind mostly reaches from the land, and a sea nearly closed in.
  struct Floor {
    double south, north, west, east, least;
  };
  static constexpr Floor kFloors[] = {
      {24, 62, -100, -52, 0.65},  // eastern North America
      {28, 62, 105, 150, 0.65},   // east Asia and Japan
      {30, 46, -6, 42, 0.3},      // the Mediterranean
  };
  for (const Floor& f : kFloors)
    if (lat >= f.south && lat <= f.north && lon >= f.west && lon <= f.east) c = std::max(c, f.least);
  return c;
}

// The height of the ground in metres, roughly, where many stations stand high: the
// station tables give no heights.
double GroundHeight(double lat, double lon) {
  struct Upland {
    double south, north, west, east, metres;
  };
  static constexpr Upland kUplands[] = {
      {36, 49, -117, -104, 1500},  {31, 36, -112, -104, 1300}, {37, 44, -120, -117, 1300},
      {31, 49, -104, -100, 1000},  {31, 49, -100, -97.5, 550}, {49, 55, -115, -105, 850},
      {18, 25, -104, -97.5, 1900}, {14, 15.2, -91.5, -89.5, 1400}, {-23, -10, -72, -64, 3500},
      {-5, 7, -78.3, -73, 1800},   {-24, -12, -52, -43.5, 850}, {5, 15, 34, 42.5, 2000},
      {-10, 5, 29, 38, 1400},      {-28, -15, 24, 32, 1300},   {-20, -17, 46.5, 48.5, 1200},
      {27, 36.5, 46, 62, 1200},    {36.5, 39.5, 43, 48, 1400}, {37, 40.5, 29, 43, 1000},
      {39, 41.5, 43, 46.5, 1100},  {31, 37, 64, 72, 1600},     {28, 38, 78, 103, 3500},
      {42, 52, 88, 120, 1300},     {22, 28, 98, 105, 1800},    {12, 24, 74, 82, 550},
      {45.5, 47.5, 6, 14, 500},    {38.5, 42.5, -6, -1.5, 700}, {13, 21, 42, 45, 2000},
  };
  double metres = 0;
  for (const Upland& u : kUplands)
    if (lat >= u.south && lat <= u.north && lon >= u.west && lon <= u.east) metres = std::max(metres, u.metres);
  return metres;
}

// Degrees the yearly mean departs from that of the latitude: the North Atlantic Drift
// warms north-western Europe and Iceland far to the north, the cold pools of northern
// Canada and Siberia chill the lands around them.
double Warmth(double lat, double lon, const Region& region) {
  auto pool = [&](double plat, double plon, double degrees, double size) {
    const double x = Wrap180(lon - plon) * std::cos((lat + plat) * 0.5 * kRad), y = lat - plat;
    return degrees * std::exp(-(x * x + y * y) / (size * size));
  };
  const double driftWidth = 35 + 1.5 * std::max(lat - 50, 0.0);
  const double drift = (12.5 + 0.4 * std::max(lat - 60, 0.0)) * Ramp(35, 60, lat) *
                       std::exp(-std::pow(Wrap180(lon + 5) / driftWidth, 2));
  return region.warmth + drift + pool(60, -90, -6, 18) + pool(65, 120, -7, 20);
}

// What the travelling lows do at one point.
struct FrontalEffects {
  double warming = 0;      // degrees added to the temperature
  double drying = 0;       // degrees added to the dew-point depression
  double steady = 0;       // chance of widespread rain or snow
  double showers = 0;      // chance of showers
  double drizzle = 0;      // chance of drizzle from low stratus
  double forcing = 0;      // how strongly storms are set off
  double cloud = 0;        // expected cloud cover 0..1
  double coldAir = 0;      // behind a cold front: gusty, dry
  bool warmAloft = false;  // ahead of a warm front: rain falls from warm air into cold
};

FrontalEffects FrontsAt(const SampleAtmosphere& air, double lat, double lon) {
  FrontalEffects e;
  for (const PressureSystem& s : air.systems) {
    if (!s.fronts || std::fabs(lat - s.latitude) > 4 * s.radius) continue;
    const Offset p = OffsetFrom(s, lat, lon);
    if (p.r > 4 * s.radius) continue;
    // Southern lows turn the other way: their picture is the northern one mirrored.
    const double y = lat < 0 ? -p.y : p.y;
    const double bearing = std::atan2(p.x, y) / kRad;
    const double power = Clamp01(-s.strength / 16);
    // Fronts radiate from the centre and curve back with distance.
    const double coldBearing = 180 + std::min(3.5 * p.r, 55.0);
    const double warmBearing = 100 + std::min(1.5 * p.r, 25.0);
    auto across = [&](double frontBearing) {
      return p.r * std::sin(std::clamp(Wrap180(bearing - frontBearing), -90.0, 90.0) * kRad);
    };
    const double behindCold = across(coldBearing);  // negative ahead of it
    const double behindWarm = across(warmBearing);  // positive in the warm sector, negative ahead
    const double coldLength = 2.6 * s.radius, warmLength = 1.6 * s.radius;
    const double near = std::exp(-std::pow(p.r / (2.2 * s.radius), 2));
    const double warmSector =
        Ramp(-0.6, 0.6, behindWarm) * Ramp(0.6, -0.6, behindCold) * Ramp(coldLength + 4, coldLength - 2, p.r);
    const double coldSide = Ramp(-0.8, 0.8, behindCold) * (1 - warmSector);
    const double aheadWarm = Ramp(0.5, -0.5, behindWarm) * (1 - coldSide);
    const double westward = 0.4 + 0.6 * Ramp(0, -s.radius, p.x);
    e.warming += near * ((2 + 6 * power) * warmSector - (3 + 7 * power) * (coldSide * westward + 0.3 * aheadWarm));
    e.drying += near * (5 * coldSide - 3 * warmSector - 1.5 * aheadWarm);
    e.coldAir = std::max(e.coldAir, coldSide * near * power);

    // The rain shield ahead of the warm front, wrapping round the centre.
    const double ahead = -behindWarm;
    const double shield =
        power * Ramp(4, 1, ahead) * Ramp(-0.5, 0.3, ahead) * Ramp(warmLength + 1, warmLength - 2, p.r);
    const double head = power * 0.9 * std::exp(-std::pow(p.r / (0.55 * s.radius), 2));
    e.steady = std::max({e.steady, 0.6 * shield, 0.6 * head});
    if (shield > 0.2 && bearing > 20 && bearing < 140 && ahead < 5 && p.r > 0.4 * s.radius) e.warmAloft = true;
    // A narrow band of showers and storms along the cold front, scattered showers in the cold air.
    const double band = power * std::exp(-std::pow((behindCold - 0.4) / 1.0, 2)) *
                        Ramp(coldLength + 2, coldLength - 2, p.r) *
                        Ramp(100, 60, std::fabs(Wrap180(bearing - coldBearing)));
    const double preFrontal = power * warmSector * Ramp(4.5, 1, -behindCold);
    const double coldShowers =
        0.15 * power * coldSide * Ramp(0.8, 2, behindCold) * std::exp(-std::pow(p.r / (1.8 * s.radius), 2));
    e.showers = std::max({e.showers, band, coldShowers});
    e.forcing = std::max({e.forcing, band, 0.6 * preFrontal});
    e.drizzle = std::max(e.drizzle, 0.8 * power * warmSector * std::exp(-std::pow(p.r / (1.3 * s.radius), 2)));
    e.cloud = std::max({e.cloud, power * Ramp(10, 2, ahead) * Ramp(-0.5, 0.5, ahead), head / 0.9, band + 0.2,
                        0.75 * warmSector * near, 0.35 * coldSide * near});
  }
  return e;
}

// A visibility a little off the round values, as real sensors give.
double Visibility(double from, double to, double luck) { return from + (to - from) * luck; }

std::string Layer(const char* cover, double hundreds, const char* suffix = "") {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%s%03d%s", cover, std::clamp(static_cast<int>(std::lround(hundreds)), 1, 250),
                suffix);
  return buf;
}

}  // namespace

SampleAtmosphere AtmosphereAt(double hours) {
  SampleAtmosphere air;
  air.hours = hours;
  air.dayOfYear = std::fmod(hours / 24 - 1, kYear);
  if (air.dayOfYear < 0) air.dayOfYear += kYear;
  const double summerNorth = std::cos(2 * kPi * (air.dayOfYear - 199) / kYear);
  AddLows(air, {false, 16, 108, 0x5eed0001u}, -summerNorth);
  AddLows(air, {true, 26, 96, 0x5eed0002u}, summerNorth);
  AddHighs(air, false, 36, 0x5eed0003u);
  AddHighs(air, true, 50, 0x5eed0004u);
  // Highs that stay put: the winter highs of the continents (a heat low over Asia in
  // summer) and the subtropical highs over the oceans.
  const PressureSystem settled[] = {
      {50, 95, 4 - 14 * summerNorth, 16},
      {58, -108, 2 - 7 * summerNorth, 13},
      {36, -35, 6 + 4 * summerNorth, 15},
      {35, -145, 5 + 5 * summerNorth, 17},
      {-30, -10, 7, 16},
      {-32, 80, 7, 18},
      {-32, -100, 7, 16},
      // The Icelandic and Aleutian lows, deep in winter, gone by midsummer.
      {62, -33, -7 + 7 * summerNorth, 9},
      {52, -178, -5 + 5 * summerNorth, 14},
  };
  air.systems.insert(air.systems.end(), std::begin(settled), std::end(settled));
  // Lows born close together merge: the weaker one fades as it nears the stronger, so
  // each keeps a recognisable circulation and its own fronts. A high gives way to a deep
  // low coming upon it, so that the low's rain falls under falling pressure.
  std::vector<double> fade(air.systems.size(), 1.0);
  for (std::size_t i = 0; i < air.systems.size(); ++i)
    for (const PressureSystem& other : air.systems) {
      const PressureSystem& s = air.systems[i];
      if (!other.fronts) continue;
      const double apart = OffsetFrom(other, s.latitude, s.longitude).r;
      if (s.fronts && other.strength < s.strength) fade[i] = std::min(fade[i], Ramp(8, 16, apart));
      if (s.strength > 0 && other.strength < -6) fade[i] = std::min(fade[i], Ramp(6, 16, apart));
    }
  for (std::size_t i = 0; i < air.systems.size(); ++i) air.systems[i].strength *= fade[i];
  return air;
}

double SamplePressure(const SampleAtmosphere& air, double latitude, double longitude) {
  double p = BackgroundPressure(latitude);
  for (const PressureSystem& s : air.systems) {
    if (std::fabs(latitude - s.latitude) > 4 * s.radius) continue;
    const Offset o = OffsetFrom(s, latitude, longitude);
    if (o.r < 4 * s.radius) p += s.strength * std::exp(-o.r * o.r / (2 * s.radius * s.radius));
  }
  return p;
}

SampleObservation ObserveSample(const SampleAtmosphere& air, const StationPosition& station) {
  const double lat = station.latitude / 100.0, lon = station.longitude / 100.0;
  const std::uint32_t id = StationSeed(station.identifier);
  const auto hourKey = static_cast<std::uint32_t>(static_cast<long long>(std::floor(air.hours)));
  auto habit = [&](std::uint32_t n) { return Unit(id, n); };                // the same every hour
  auto luck = [&](std::uint32_t n) { return Unit(id ^ Mix(hourKey), n); };  // new every hour
  const bool south = lat < 0;
  const double summer = (south ? -1 : 1) * std::cos(2 * kPi * (air.dayOfYear - 199) / kYear);
  const Region& region = RegionAt(lat, lon);

  // The sun: the daily cycle follows local solar time.
  const double declination = 23.44 * std::sin(2 * kPi * (air.dayOfYear - 80) / kYear);
  const double localHour = std::fmod(std::fmod(air.hours, 24) + lon / 15 + 48, 24);
  const double sunHeight = std::sin(lat * kRad) * std::sin(declination * kRad) +
                           std::cos(lat * kRad) * std::cos(declination * kRad) * std::cos((localHour - 12) * 15 * kRad);
  const double daylight = Ramp(-0.05, 0.3, sunHeight);
  const double heating = std::cos(2 * kPi * (localHour - 15) / 24);  // +1 mid-afternoon, -1 before dawn
  const double noonSun = std::clamp(std::cos((lat - declination) * kRad), 0.15, 1.0);

  const FrontalEffects fronts = FrontsAt(air, lat, lon);

  // Pressure and the wind it drives: geostrophic, slowed and turned toward low pressure
  // by friction, with trade winds in the tropics.
  SampleObservation o;
  o.pressure = SamplePressure(air, lat, lon) + 1.2 * (habit(1) - 0.5);
  const double step = 0.5, cosLat = std::max(std::cos(lat * kRad), 0.1);
  const double dpdx =
      (SamplePressure(air, lat, lon + step / cosLat) - SamplePressure(air, lat, lon - step / cosLat)) / (2 * step);
  const double dpdy = (SamplePressure(air, lat + step, lon) - SamplePressure(air, lat - step, lon)) / (2 * step);
  const double coriolis = std::max(std::fabs(std::sin(lat * kRad)), 0.26) * (south ? -1 : 1);
  const double geostrophic = 13 * Ramp(6, 30, std::fabs(lat)) / coriolis;
  const double gu = -geostrophic * dpdy, gv = geostrophic * dpdx;
  const double turn = (25 + 12 * habit(2)) * kRad * (south ? -1 : 1);
  const double trades = std::exp(-std::pow((std::fabs(lat) - 13) / 9, 2));
  // Breezes the pressure map is too coarse to show: sea breezes, valley winds, eddies.
  const double stir = 4 + 6 * FieldNoise(lat, lon, air.hours, 2, 6, 5);
  const double stirToward = 4 * kPi * FieldNoise(lat, lon, air.hours, 3, 8, 6);
  const double u = gu * std::cos(turn) - gv * std::sin(turn) - 8 * trades + stir * std::sin(stirToward);
  const double v =
      gu * std::sin(turn) + gv * std::cos(turn) - 4 * trades * (south ? -1 : 1) + stir * std::cos(stirToward);
  const double continentality = Continentality(lat, lon);
  // Friction slows the wind most inland and at night, when the air near the ground
  // settles; the sheltered stations go calm first.
  const double exposure = (0.55 + 0.75 * habit(3)) * (1.2 - 0.4 * continentality);
  const double mixing =
      0.7 * (daylight + (1 - daylight) * std::min(0.4 + 0.5 * habit(10) + 0.35 * (1 - continentality), 1.0));
  double speed = std::hypot(u, v) * exposure * mixing * (0.85 + 0.3 * luck(1));
  const double from = std::atan2(u, v) / kRad + 180 + 40 * (luck(2) - 0.5);

  // Temperature: the yearly mean of the latitude and the region, a swing through the
  // seasons that the sea damps and the inland and Siberia widen, the height of the
  // ground, the fronts, the station's own site, and a daily swing damped by cloud and wind.
  // Summers are milder than winters are harsh.
  const double siberia = Ramp(90, 110, lon) * Ramp(150, 135, lon) * Ramp(45, 55, lat);
  const double swingOfYear = 0.32 * std::fabs(lat) * (1 + 0.35 * siberia) * (0.25 + 0.75 * continentality);
  const double season = swingOfYear * (summer > 0 ? 0.85 : 1) * summer;
  const double height = GroundHeight(lat, lon) * (0.6 + 0.8 * habit(11));
  const double daily = 27 - 0.0075 * lat * lat + Warmth(lat, lon, region) + season - 0.0055 * height +
                       3 * (habit(4) - 0.5) - 8 * std::pow(habit(5), 6) + fronts.warming;
  const double skyNoise = FieldNoise(lat, lon, air.hours, 3, 9, 1);
  // Coasts and the sea's neighbours are cloudier than the dry interiors.
  const double cloud = Clamp01(fronts.cloud * 0.85 + 0.55 * skyNoise - 0.1 + 0.15 * (1 - continentality));
  const double swing =
      (3 + 4 * continentality + 0.6 * region.dryness + 3 * habit(6)) * noonSun * (1 - 0.55 * cloud) *
      (1 - 0.35 * Ramp(8, 20, speed));
  double temperature = daily + 0.5 * swing * heating + 0.8 * (luck(3) - 0.5);
  // Dew point: follows the daily mean, so clear calm nights bring the air down to it.
  const double fogProne = std::pow(habit(7), 2);
  double depression = 4.5 + region.dryness + 3 * habit(8) + 4 * (FieldNoise(lat, lon, air.hours, 4, 18, 2) - 0.5) +
                      fronts.drying - 3 * fogProne;
  depression = std::max(depression, 0.5) * (0.45 + 0.55 * Ramp(-20, 10, daily) + 0.3 * Ramp(12, 24, daily));
  double dewPoint = daily - depression + 0.6 * (luck(4) - 0.5);

  // What falls. Patches shared by neighbours decide who is under the rain; the fronts
  // rain where the pressure is low, not where a high has filled their low in.
  const double lift = Ramp(4, -3, SamplePressure(air, lat, lon) - BackgroundPressure(lat));
  const double patch = 0.65 * FieldNoise(lat, lon, air.hours, 1.6, 5, 3) + 0.35 * luck(5);
  const double cell = 0.7 * FieldNoise(lat, lon, air.hours, 0.7, 2, 4) + 0.3 * luck(6);
  const double instability = Ramp(8, 17, dewPoint) * Ramp(14, 26, temperature);
  const double afternoon = Ramp(-0.2, 0.8, heating) * daylight;
  const double stratusDrizzle =
      lift * std::max(fronts.drizzle, 0.5 * Ramp(2, 0.5, temperature - dewPoint) * Ramp(0.6, 0.9, cloud) *
                                   (1 - 0.6 * afternoon) * (1 - Clamp01(2 * fronts.coldAir))) *
      (temperature < 0.5 ? 0.15 : 1);
  const double stormChance = instability * std::max(lift * fronts.forcing, 0.25 * afternoon * Ramp(16, 22, dewPoint));
  // Near the equator the showers of the converging trade winds go on night and day.
  const double doldrumsLatitude = 6 * std::cos(2 * kPi * (air.dayOfYear - 200) / kYear);
  const double doldrums = 0.7 * std::exp(-std::pow((lat - doldrumsLatitude) / 7, 2));
  const double showers = std::max(lift * fronts.showers, doldrums * FieldNoise(lat, lon, air.hours, 2.5, 6, 7));
  // Bitter dry air makes less of what a front brings.
  const double steady = lift * fronts.steady * (0.4 + 0.6 * Ramp(-22, -4, dewPoint));
  enum class Fall { None, Steady, Showers, Storm, Drizzle };
  Fall fall = Fall::None;
  double margin = 0;
  if (cell > 1 - 0.4 * stormChance) {
    fall = Fall::Storm;
  } else if (showers + 0.15 * stormChance > cell) {
    fall = Fall::Showers;
    margin = showers - cell;
  } else if (steady > patch) {
    fall = Fall::Steady;
    margin = steady - patch;
  } else if (stratusDrizzle > patch) {
    fall = Fall::Drizzle;
  }
  const int intensity = margin > 0.45 ? 2 : margin > 0.15 ? 1 : 0;  // light, moderate, heavy
  const char* sign = intensity == 0 ? "-" : intensity == 2 ? "+" : "";
  if (fall != Fall::None) {
    // Falling rain cools the air toward its wet-bulb temperature and moistens it;
    // storms bring down cooler air still.
    const double wetBulb = dewPoint + (temperature - dewPoint) / 3;
    const double gap = fall == Fall::Showers || fall == Fall::Storm ? 0.8 + 2.2 * luck(7) : 0.2 + 1.2 * luck(7);
    temperature = std::min(temperature, wetBulb + 0.6 * gap + (fall == Fall::Storm ? 0 : 1));
    dewPoint = temperature - gap;
  }
  dewPoint = std::min({dewPoint, temperature, 27.0});
  temperature = std::clamp(temperature, -55.0, 49.0);
  dewPoint = std::max(dewPoint, temperature - 45);
  const double spread = temperature - dewPoint;

  // Winds of showers and storms.
  if (fall == Fall::Storm) {
    speed = std::max(speed, 10 + 14 * luck(8));
    o.gust = static_cast<int>(std::lround(speed + 8 + 22 * luck(9) * luck(9)));
  } else if (speed >= 12 &&
             luck(10) < 0.2 + 0.4 * daylight + 0.4 * fronts.coldAir + (fall == Fall::Showers ? 0.3 : 0)) {
    o.gust = static_cast<int>(std::lround(speed + 8 + 9 * luck(11)));
  }
  o.windSpeed = static_cast<int>(std::lround(speed));
  if (o.windSpeed < 3) {
    o.windSpeed = 0, o.gust = 0;
  } else {
    o.variableWind = o.windSpeed < 7 && luck(12) < 0.3;
    o.windDirection = static_cast<int>(std::lround(std::fmod(from + 720, 360) / 10)) * 10;
    if (o.windDirection == 0) o.windDirection = 360;
  }
  if (o.gust >= 26 && luck(13) < 0.8) o.peakWind = o.gust + 1 + static_cast<int>(5 * luck(14));

  // Present weather, visibility and sky.
  const double cloudBase = std::clamp(4 * spread + 8 * luck(15), 8.0, 90.0);  // cumulus base, hundreds of feet
  const bool freezing = temperature <= 0.4;
  auto mistOr = [&](double vis) { return vis < 7 && spread <= 2 && luck(37) < 0.25 ? " BR" : ""; };
  switch (fall) {
    case Fall::Storm: {
      const bool hail = instability > 0.5 && luck(16) < 0.2;
      const bool heavy = hail || luck(17) < 0.3;
      o.weather = std::string(heavy            ? "+"
                              : luck(18) < 0.3 ? "-"
                                               : "") +
                  (temperature < 2 ? "TSSN" : "TSRA") + (hail ? (luck(19) < 0.6 ? "GR" : "GS") : "");
      o.visibility = heavy ? Visibility(0.5, 2, luck(20)) : Visibility(2, 7, luck(20));
      o.weather += mistOr(o.visibility);
      o.sky = Layer("FEW", 8 + 10 * luck(21)) + " " + Layer("BKN", 25 + 20 * luck(22), "CB") + " " +
              Layer("OVC", 70 + 40 * luck(23));
      break;
    }
    case Fall::Showers: {
      const bool snow = temperature < 1.5;
      if (margin < 0 && luck(24) < 0.6) {
        o.weather = "VCSH";
      } else {
        o.weather = std::string(intensity == 0   ? "-"
                                : intensity == 2 ? "+"
                                                 : "") +
                    (snow ? "SHSN" : "SHRA") + (!snow && temperature < 12 && luck(25) < 0.08 ? "GS" : "");
      }
      o.visibility = snow ? Visibility(0.75, 4, luck(20)) : Visibility(3, 10, luck(20));
      o.weather += mistOr(o.visibility);
      o.sky = Layer(luck(21) < 0.5 ? "SCT" : "FEW", cloudBase * 0.6) + " " +
              Layer("BKN", 25 + 25 * luck(22), luck(23) < 0.3 ? "TCU" : "") +
              (luck(24) < 0.5 ? " " + Layer("OVC", 80 + 60 * luck(25)) : "");
      break;
    }
    case Fall::Steady: {
      const bool icy = fronts.warmAloft && temperature > -4;
      if (temperature <= -1 && !icy) {
        o.weather = std::string(sign) + "SN";
        o.visibility = intensity == 2   ? Visibility(0.25, 0.5, luck(20))
                       : intensity == 1 ? Visibility(0.5, 1.5, luck(20))
                                        : Visibility(1, 5, luck(20));
        if (speed > 18 && temperature < -5) o.weather += " BLSN";
      } else if (freezing && icy) {
        o.weather = std::string(sign) + (temperature < -2 && luck(26) < 0.4 ? "PL"
                                         : intensity == 0 && luck(26) < 0.3 ? "FZDZ"
                                                                            : "FZRA");
        o.visibility = Visibility(1, 5, luck(20));
      } else if (temperature <= 2) {
        o.weather = std::string(sign) + (luck(26) < 0.5 ? "RASN" : "SNRA");
        o.visibility = Visibility(1, 4, luck(20));
      } else {
        o.weather = std::string(sign) + "RA";
        o.visibility = intensity == 2   ? Visibility(1, 3, luck(20))
                       : intensity == 1 ? Visibility(2, 6, luck(20))
                                        : Visibility(4, 10, luck(20));
      }
      o.weather += mistOr(o.visibility);
      const double ceiling = (intensity == 2 ? 4 : 8) + 12 * luck(21);
      o.sky = luck(22) < 0.5 ? Layer("OVC", ceiling)
                             : Layer("BKN", ceiling) + " " + Layer("OVC", ceiling + 10 + 30 * luck(23));
      break;
    }
    case Fall::Drizzle:
      // Too cold for drizzle, the stratus gives snow grains.
      o.weather = std::string(luck(26) < 0.7 ? "-" : "") + (temperature < -6 ? "SG" : freezing ? "FZDZ" : "DZ");
      o.visibility = Visibility(1.5, 6, luck(20));
      o.weather += mistOr(o.visibility);
      o.sky = Layer("OVC", 3 + 6 * luck(21));
      break;
    case Fall::None: {
      // Obscurations: fog where it is calm and saturated, mist where nearly so, haze and
      // dust where the air is dry and still.
      const double calm = Ramp(7, 2, speed);
      const double hazeChance = Ramp(0.5, 0.95, habit(9)) * (region.hazy ? 0.8 : 0.12);
      if (spread <= 0.6 && calm > 0.3 && luck(27) < 0.25 + 0.5 * fogProne) {
        o.visibility = Visibility(0.12, 0.6, luck(20));
        if (o.visibility > 0.45 && luck(28) < 0.5) {
          o.weather = std::string(luck(29) < 0.5 ? "BC" : "MI") + "FG";
          o.visibility = Visibility(2, 6, luck(20));
          o.sky = luck(21) < 0.5 ? "CLR" : Layer("SCT", 1 + 2 * luck(22));
        } else {
          o.weather = temperature < 0 ? "FZFG" : "FG";
          o.sky = luck(21) < 0.6 ? Layer("VV", 1 + 3 * luck(22)) : Layer("OVC", 1 + 3 * luck(22));
        }
      } else if (spread <= 1 + 0.8 * calm + 0.6 * cloud && luck(27) < 0.9 - 0.3 * continentality) {
        o.weather = "BR";
        o.visibility = Visibility(1.5, 6, Clamp01(spread / 1.8 * 0.7 + 0.3 * luck(20)));
        o.sky = luck(21) < 0.4 ? "CLR" : Layer(luck(22) < 0.5 ? "BKN" : "OVC", 3 + 12 * luck(23));
      } else if (spread >= 5 && speed < 14 &&
                 luck(27) < hazeChance * Ramp(-0.5, 0.5, heating + (region.hazy ? 0.8 : 0.3))) {
        o.weather = region.hazy && speed > 10 && luck(28) < 0.3 ? "BLDU" : luck(28) < 0.15 ? "FU" : "HZ";
        o.visibility = Visibility(2, 6, luck(20));
      } else if (spread <= 6 && stormChance > 0.1 && cell > 0.75 - 0.4 * stormChance) {
        // Storms in sight but not overhead.
        o.distantLightning = true;
      }
      if (o.sky.empty()) {
        const double cover = Clamp01(cloud + 0.25 * (luck(30) - 0.5) + 0.25 * afternoon * Ramp(6, 2, spread));
        const char* low = cover < 0.25   ? nullptr
                          : cover < 0.45 ? "FEW"
                          : cover < 0.62 ? "SCT"
                          : cover < 0.82 ? "BKN"
                                         : "OVC";
        const double base = fronts.cloud > 0.5 ? 15 + 60 * luck(31) : cloudBase;
        if (low) o.sky = Layer(low, base, o.distantLightning ? "CB" : "");
        if (fronts.cloud > 0.3 && cover < 0.82)
          o.sky += (o.sky.empty() ? "" : " ") + Layer(luck(32) < 0.5 ? "BKN" : "SCT", 120 + 130 * luck(33));
        else if (cover < 0.25 && luck(32) < 0.3)
          o.sky = Layer("FEW", 200 + 50 * luck(33));
        if (o.sky.empty()) o.sky = "CLR";
      }
      if (o.weather.empty() && o.visibility >= 10) o.visibility = luck(34) < 0.08 ? Visibility(6, 9, luck(35)) : 10;
      break;
    }
  }
  if (fall != Fall::None && o.weather.rfind("VC", 0) != 0 && (static_cast<long long>(std::floor(air.hours)) % 6 + 6) % 6 == 5) {
    const double inches = intensity == 2 || fall == Fall::Storm ? 0.3 + 1.2 * luck(36)
                          : intensity == 1                      ? 0.08 + 0.3 * luck(36)
                                                                : 0.01 + 0.1 * luck(36);
    o.sixHourPrecipitation = static_cast<int>(std::lround(inches * 100));
  }
  o.temperature = temperature;
  o.dewPoint = dewPoint;
  o.pressure = std::clamp(o.pressure, 966.0, 1060.0);  // the SLP remark cannot tell other values apart
  return o;
}

}  // namespace norvane
