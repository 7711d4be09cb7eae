#pragma once
// What counts as significant weather in one report: the watch's event table and the
// report-text tests the verification shares with it.
#include <string_view>

namespace norvane {

// Lightning and cumulonimbus carried in the report text (remarks such as " LTG DSNT"
// or "CB " after a cloud group). Positions from 12 on, so the identifier and the time
// group never count; " LTG DATA MSG" and " LTG DATA MISG" (no lightning data) do not.
struct TextMarks {
  bool lightning = false;
  bool cb = false;
  // Which mark the earliest position shows: the watch reports that one only.
  enum class First { kNone, kLightning, kCb } first = First::kNone;
};
TextMarks ReportTextMarks(std::string_view report);

// The event text of the first row of the watch table that the report meets; empty
// when it meets none.
std::string_view SignificantEvent(std::string_view report, std::string_view decoded);

// Column tests shared with the verification (a flag is a column holding "1").
bool DecodedFlag(std::string_view decoded, int column);
bool HasFreezingPrecipitation(std::string_view decoded);  // FZ with DZ or RA
bool HasTornado(std::string_view decoded);                // FC, heavy
bool HasFunnelCloud(std::string_view decoded);            // FC, not heavy

}  // namespace norvane
