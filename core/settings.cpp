#include "core/settings.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
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
  // Hosts are the defaults a new user can change in the options; the paths are fixed
  // by the servers' archive layouts and the downloader's cutting rules.
  return {"",
          "https://thredds.ucar.edu/data/ldm/data/surface/metar/%y%m%d%h_metar",
          "https://weather.cod.edu/weather/observations/airways/%y%m%d%h_sao.wmo",
          "https://mesonet.agron.iastate.edu/Data/archive/surface/sao/%Y%m%d%h_sao.wmo",
          "https://www.atmos.illinois.edu/weather/data1/surface/sao/%y%m%d%h_sao.wmo"};
}

Settings DefaultSettings() {
  Settings s;
  s.ObServers = DefaultObServers();
  return s;
}

namespace {

enum class KeyType { Integer, Real, Text, Flag, Colour };

struct Key {
  const char* name;
  KeyType type;
  std::function<void*(Settings&)> field;
};

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
      {"[OB CLEAR TIME]", KeyType::Integer, [](Settings& s) -> void* { return &s.ObClearTime; }},
      {"[MIN WIND]", KeyType::Integer, [](Settings& s) -> void* { return &s.MinWind; }},
      {"[PLOTTED WX]", KeyType::Text, [](Settings& s) -> void* { return &s.PlottedWx; }},
      {"[CLEAR VERIFICATION TIME]", KeyType::Integer, [](Settings& s) -> void* { return &s.ClearVerificationTime; }},
      {"[MAX OB AGE]", KeyType::Integer, [](Settings& s) -> void* { return &s.MaxObAge; }},
      {"[WATCH DISTANCE]", KeyType::Integer, [](Settings& s) -> void* { return &s.WatchDistance; }},
      {"[USE CELCIUS]", KeyType::Flag, [](Settings& s) -> void* { return &s.UseCelsius; }},
      {"[DECODE METAR]", KeyType::Flag, [](Settings& s) -> void* { return &s.DecodeMetar; }},
      {"[TEXT WIDTH]", KeyType::Real, [](Settings& s) -> void* { return &s.TextWidth; }},
      {"[TEXT HEIGHT]", KeyType::Integer, [](Settings& s) -> void* { return &s.TextHeight; }},
      {"[AUTO REFRESH]", KeyType::Flag, [](Settings& s) -> void* { return &s.AutoRefresh; }},
      {"[EARTH RADIUS]", KeyType::Real, [](Settings& s) -> void* { return &s.EarthRadius; }},
      {"[CENTER LATITUDE]", KeyType::Real, [](Settings& s) -> void* { return &s.CenterLatitude; }},
      {"[CENTER LONGITUDE]", KeyType::Real, [](Settings& s) -> void* { return &s.CenterLongitude; }},
      {"[EYE DISTANCE]", KeyType::Real, [](Settings& s) -> void* { return &s.EyeDistance; }},
      {"[SCREEN DISTANCE]", KeyType::Real, [](Settings& s) -> void* { return &s.ScreenDistance; }},
      {"[DOT SCALE]", KeyType::Real, [](Settings& s) -> void* { return &s.DotScale; }},
      {"[OB SERVER 1]", KeyType::Text, [](Settings& s) -> void* { return &s.ObServers[1]; }},
      {"[OB SERVER 2]", KeyType::Text, [](Settings& s) -> void* { return &s.ObServers[2]; }},
      {"[OB SERVER 3]", KeyType::Text, [](Settings& s) -> void* { return &s.ObServers[3]; }},
      {"[OB SERVER 4]", KeyType::Text, [](Settings& s) -> void* { return &s.ObServers[4]; }},
      {"[ACTIVE OB SERVER]", KeyType::Integer, [](Settings& s) -> void* { return &s.ActiveObServer; }},
      {"[MAP FORE]", KeyType::Colour, [](Settings& s) -> void* { return &s.MapForeColor; }},
      {"[TEXT FORE]", KeyType::Colour, [](Settings& s) -> void* { return &s.TextForeColor; }},
      {"[TEXT BACK]", KeyType::Colour, [](Settings& s) -> void* { return &s.TextBackColor; }},
  };
  return keys;
}

void Assign(const Key& key, const std::string& value, Settings& s) {
  void* field = key.field(s);
  const double number = LenientNumber(value);
  switch (key.type) {
    case KeyType::Integer: {
      // A number outside 16 bits keeps the default rather than wrapping.
      if (auto v = LenientInt16(value)) *static_cast<int*>(field) = *v;
      break;
    }
    case KeyType::Real:
      if (std::isfinite(number)) *static_cast<double*>(field) = number;
      break;
    case KeyType::Colour: {
      long long v = RoundHalfEven(number);
      if (v >= std::numeric_limits<std::int32_t>::min() && v <= 0xFFFFFFFFLL)
        *static_cast<Color*>(field) = static_cast<Color>(static_cast<std::uint32_t>(v)) & 0xFFFFFFu;
      break;
    }
    case KeyType::Flag:
      *static_cast<bool*>(field) = number == 1;
      break;
    case KeyType::Text:
      *static_cast<std::string*>(field) = value;
      break;
  }
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
    void* field = k.field(copy);
    switch (k.type) {
      case KeyType::Integer: w.Integer(*static_cast<int*>(field)); break;
      case KeyType::Real: w.Bare(RealText(*static_cast<double*>(field))); break;
      case KeyType::Colour: w.Integer(*static_cast<Color*>(field)); break;
      case KeyType::Flag: w.Text(*static_cast<bool*>(field) ? "1" : "0"); break;
      case KeyType::Text: w.Text(*static_cast<std::string*>(field)); break;
    }
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
