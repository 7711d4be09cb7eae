#pragma once
// The present-weather symbols of the station plot: the 46 fixed bitmap names and the
// decision list that picks one symbol for a decoded report.
#include <string_view>

namespace norvane {

constexpr int kWeatherSymbolCount = 46;

// "symbols/fc.bmp" for index 1 ... "symbols/rasn.bmp" for 46; empty outside 1..46.
std::string_view WeatherSymbolFile(int index);
// The options-dialog caption of a symbol ("FC", "(+)TSRA", ...); empty outside 1..46.
std::string_view WeatherSymbolCaption(int index);

// The symbol index 1..46 for a decoded text, or 0 when none applies. First match wins;
// a step whose flags match but none of whose intensity cases does passes on.
int ChooseWeatherSymbol(std::string_view decoded);

// Whether character `index` of the user's symbol filter is "1". A filter shorter than
// 46 characters (hand-edited settings) treats the missing characters as not "1".
bool WeatherSymbolWanted(std::string_view plottedWx, int index);

// Drizzle, rain or unknown precipitation at a temperature of 0 or below ("000" or a
// leading "M"): the station gets the freezing mark whatever symbol is drawn.
bool NeedsFreezingMark(std::string_view decoded);

}  // namespace norvane
