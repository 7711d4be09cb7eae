#include "core/settings.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <variant>
#include <vector>

#include "core/lenient_number.h"
#include "core/number_text.h"
#include "core/record_file.h"
#include "core/replace_file.h"
#include "core/reporter.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"

namespace norvane {

std::array<std::string, 5> DefaultObServers() {
  // Server 1 is the public hourly cycle file (every report of the hour worldwide,
  // rewritten each hour); 2-4 keep the older bulletin archives. A folder's existing
  // "norvane.ini" keeps whatever it holds.
  return {"",
          "https://tgftp.nws.noaa.gov/data/observations/metar/cycles/%hZ.TXT",
          "https://thredds.ucar.edu/data/ldm/data/surface/metar/%y%m%d%h_metar",
          "https://weather.cod.edu/weather/observations/airways/%y%m%d%h_sao.wmo",
          "https://mesonet.agron.iastate.edu/Data/archive/surface/sao/%Y%m%d%h_sao.wmo"};
}

Settings DefaultSettings() {
  Settings s;
  s.ObServers = DefaultObServers();
  return s;
}

namespace {

// A settings field by its type: whole numbers, reals, colours, flags and texts are
// each read and written in their own way.
using FieldRef = std::variant<int*, double*, Color*, bool*, std::string*>;

struct Key {
  const char* name;
  FieldRef (*field)(Settings&);
};

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// Settings reals are 32-bit in the file: write the shortest text that reads back
// to the same single-precision value, in plain decimal (never exponent form).
std::string RealText(double v) {
  if (!std::isfinite(v)) return "0";
  char buf[128];
  auto r = std::to_chars(buf, buf + sizeof buf, static_cast<float>(v), std::chars_format::fixed);
  if (r.ec != std::errc()) return TrimmedNumberText(v);
  return std::string(buf, r.ptr);
}

const std::vector<Key>& Keys() {
  static const std::vector<Key> keys = {
      {"[OB CLEAR TIME]", [](Settings& s) -> FieldRef { return &s.ObClearTime; }},
      {"[MIN WIND]", [](Settings& s) -> FieldRef { return &s.MinWind; }},
      {"[PLOTTED WX]", [](Settings& s) -> FieldRef { return &s.PlottedWx; }},
      {"[CLEAR VERIFICATION TIME]", [](Settings& s) -> FieldRef { return &s.ClearVerificationTime; }},
      {"[MAX OB AGE]", [](Settings& s) -> FieldRef { return &s.MaxObAge; }},
      {"[WATCH DISTANCE]", [](Settings& s) -> FieldRef { return &s.WatchDistance; }},
      {"[USE CELCIUS]", [](Settings& s) -> FieldRef { return &s.UseCelsius; }},
      {"[DECODE METAR]", [](Settings& s) -> FieldRef { return &s.DecodeMetar; }},
      {"[TEXT WIDTH]", [](Settings& s) -> FieldRef { return &s.TextWidth; }},
      {"[TEXT HEIGHT]", [](Settings& s) -> FieldRef { return &s.TextHeight; }},
      {"[AUTO REFRESH]", [](Settings& s) -> FieldRef { return &s.AutoRefresh; }},
      {"[EARTH RADIUS]", [](Settings& s) -> FieldRef { return &s.EarthRadius; }},
      {"[CENTER LATITUDE]", [](Settings& s) -> FieldRef { return &s.CenterLatitude; }},
      {"[CENTER LONGITUDE]", [](Settings& s) -> FieldRef { return &s.CenterLongitude; }},
      {"[EYE DISTANCE]", [](Settings& s) -> FieldRef { return &s.EyeDistance; }},
      {"[SCREEN DISTANCE]", [](Settings& s) -> FieldRef { return &s.ScreenDistance; }},
      {"[DOT SCALE]", [](Settings& s) -> FieldRef { return &s.DotScale; }},
      {"[OB SERVER 1]", [](Settings& s) -> FieldRef { return &s.ObServers[1]; }},
      {"[OB SERVER 2]", [](Settings& s) -> FieldRef { return &s.ObServers[2]; }},
      {"[OB SERVER 3]", [](Settings& s) -> FieldRef { return &s.ObServers[3]; }},
      {"[OB SERVER 4]", [](Settings& s) -> FieldRef { return &s.ObServers[4]; }},
      {"[ACTIVE OB SERVER]", [](Settings& s) -> FieldRef { return &s.ActiveObServer; }},
      {"[MAP FORE]", [](Settings& s) -> FieldRef { return &s.MapForeColor; }},
      {"[TEXT FORE]", [](Settings& s) -> FieldRef { return &s.TextForeColor; }},
      {"[TEXT BACK]", [](Settings& s) -> FieldRef { return &s.TextBackColor; }},
      {"[REGION SOUTH]", [](Settings& s) -> FieldRef { return &s.RegionSouth; }},
      {"[REGION WEST]", [](Settings& s) -> FieldRef { return &s.RegionWest; }},
      {"[REGION NORTH]", [](Settings& s) -> FieldRef { return &s.RegionNorth; }},
      {"[REGION EAST]", [](Settings& s) -> FieldRef { return &s.RegionEast; }},
  };
  return keys;
}

void Assign(const Key& key, const std::string& value, Settings& s) {
  const double number = LenientNumber(value);
  std::visit(Overloaded{
                 [&](int* field) {
                   // A number outside 16 bits keeps the default rather than wrapping.
                   if (auto v = LenientInt16(value)) *field = *v;
                 },
                 [&](double* field) {
                   if (std::isfinite(number)) *field = number;
                 },
                 [&](Color* field) {
                   const long long v = RoundHalfEven(number);
                   if (v >= std::numeric_limits<std::int32_t>::min() && v <= 0xFFFFFFFFLL)
                     *field = static_cast<Color>(static_cast<std::uint32_t>(v)) & 0xFFFFFFu;
                 },
                 [&](bool* field) { *field = number == 1; },
                 [&](std::string* field) { *field = value; },
             },
             key.field(s));
}

}  // namespace

void ReadSettingsText(std::string_view text, Settings& settings) {
  RecordReader reader(text);
  std::optional<std::string> previous;
  while (auto item = reader.NextText()) {
    if (previous) {
      const std::string key = ToUpper(*previous);
      for (const Key& k : Keys())
        if (key == k.name) {
          Assign(k, *item, settings);
          break;
        }
    }
    previous = std::move(item);
  }
}

std::string WriteSettingsText(const Settings& settings) {
  Settings copy = settings;
  RecordWriter w;
  w.Text("[VERSION]").EndRecord().Text(kVersion).EndRecord();
  for (const Key& k : Keys()) {
    w.Text(k.name).EndRecord();
    std::visit(Overloaded{
                   [&](int* field) { w.Integer(*field); },
                   [&](double* field) { w.Bare(RealText(*field)); },
                   [&](Color* field) { w.Integer(*field); },
                   [&](bool* field) { w.Text(*field ? "1" : "0"); },
                   [&](std::string* field) { w.Text(*field); },
               },
               k.field(copy));
    w.EndRecord();
  }
  return w.Take();
}

void ReadZoomsText(std::string_view text, Settings& settings) {
  RecordReader reader(text);
  for (ZoomSlot& slot : settings.Zooms) {
    auto name = reader.NextText();
    auto lat = reader.NextNumber();
    auto lon = reader.NextNumber();
    auto zoom = reader.NextNumber();
    if (!name || !lat || !lon || !zoom) break;  // a file cut short leaves the rest empty
    slot = ZoomSlot{*name, *lat, *lon, *zoom};
  }
}

std::string WriteZoomsText(const Settings& settings) {
  RecordWriter w;
  for (const ZoomSlot& slot : settings.Zooms) {
    if (slot.name.empty())
      w.Text("").Integer(0).Integer(0).Integer(0);
    else
      w.Text(slot.name).Number(slot.latitude).Number(slot.longitude).Number(slot.zoom);
    w.EndRecord();
  }
  return w.Take();
}

std::optional<std::string> ReadOneKey(std::string_view text, std::string_view key) {
  RecordReader reader(text);
  std::optional<std::string> found;
  while (auto item = reader.NextText()) {
    if (*item == key) {
      auto value = reader.NextText();
      if (value) found = value;
    }
  }
  return found;
}

void LoadSettings(FileSystem& fs, Dialogs& dialogs, Reporter& log, Settings& settings) {
  log.LogProcessMessage("Loading ini");
  settings = DefaultSettings();
  auto text = fs.ReadAll(kSettingsFile);
  if (!text) {
    dialogs.MessageBox("The initialization file is missing.\nBuilding a new one.", "MISSING INI", BoxStyle::Information);
    SaveSettings(fs, log, settings);
  } else {
    ReadSettingsText(*text, settings);
  }
  if (auto zooms = fs.ReadAll(kZoomsFile)) ReadZoomsText(*zooms, settings);
}

bool SaveSettings(FileSystem& fs, Reporter& log, const Settings& settings) {
  log.LogProcessMessage("Saving ini");
  bool ok = ReplaceFile(fs, kSettingsFile, WriteSettingsText(settings));
  ok = ReplaceFile(fs, kZoomsFile, WriteZoomsText(settings)) && ok;
  if (!ok) log.ShowMessage("Unable to save the settings to 'norvane.ini' - your changes are kept for this run only");
  return ok;
}

}  // namespace norvane
