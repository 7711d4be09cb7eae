#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/color.h"

namespace norvane {

class FileSystem;
class Dialogs;

constexpr const char* kProductName = "Norvane";
constexpr const char* kVersion = "1.02";
constexpr const char* kSettingsFile = "norvane.ini";
constexpr const char* kZoomsFile = "zooms.ini";

struct ZoomSlot {
  std::string name;
  double latitude = 0;
  double longitude = 0;
  double zoom = 0;  // ScreenDistance / 1000
};

struct Settings {
  int ObClearTime = 120;
  int MinWind = 28;
  std::string PlottedWx = std::string(46, '1');
  int ClearVerificationTime = 48;
  int MaxObAge = 48;
  int WatchDistance = 15;
  bool UseCelsius = true;
  bool DecodeMetar = true;
  double TextWidth = 0.7;
  int TextHeight = 130;
  bool AutoRefresh = true;
  double EarthRadius = 3440;
  double CenterLatitude = 38.5;
  double CenterLongitude = -97;
  double EyeDistance = 0.0003;
  double ScreenDistance = 6000;
  double DotScale = 0.00000015;
  std::array<std::string, 5> ObServers;  // 1..4 used
  int ActiveObServer = 1;  // the hourly cycle file of every report worldwide
  Color MapForeColor = Rgb(180, 180, 200);
  Color TextForeColor = Rgb(0, 0, 0);
  Color TextBackColor = Rgb(255, 255, 255);
  std::array<ZoomSlot, 8> Zooms;
  // The band of the last Make Map, hundredths of a degree; the grids follow it.
  int RegionSouth = -9000;
  int RegionWest = -18000;
  int RegionNorth = 9000;
  int RegionEast = 18000;
};

// The default address templates (hosts are ours to choose; the paths are fixed).
std::array<std::string, 5> DefaultObServers();
Settings DefaultSettings();

// Reads "norvane.ini" text leniently: keys matched without regard to case, values
// converted leniently; integers outside 16 bits keep their default.
void ReadSettingsText(std::string_view text, Settings& settings);
std::string WriteSettingsText(const Settings& settings);
void ReadZoomsText(std::string_view text, Settings& settings);
std::string WriteZoomsText(const Settings& settings);

// The child programs' one-key readers: an item equal to `key` exactly, then its value.
// Nothing when the key is absent.
std::optional<std::string> ReadOneKey(std::string_view text, std::string_view key);

}  // namespace norvane

namespace norvane {
class Reporter;

// Start-up read of the settings: defaults, then "norvane.ini" (or, when it is
// missing, the "MISSING INI" box and a fresh file), then "zooms.ini".
void LoadSettings(FileSystem& fs, Dialogs& dialogs, Reporter& log, Settings& settings);
// Writes "norvane.ini" and "zooms.ini", each through a temporary twin. False on failure.
bool SaveSettings(FileSystem& fs, Reporter& log, const Settings& settings);
}  // namespace norvane
