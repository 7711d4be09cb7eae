#include "watch/significant_weather.h"

#include <array>

#include "obs/decoded_observation.h"

namespace norvane {
namespace {

// The text at 1-based position k, when it fits in the report.
bool TextAt(std::string_view report, std::size_t k, std::string_view text) {
  return k >= 1 && k - 1 + text.size() <= report.size() && report.substr(k - 1, text.size()) == text;
}

struct EventRow {
  bool (*holds)(std::string_view decoded);
  std::string_view text;
};

// The rows are tried in this order; the first that holds names the event.
constexpr std::array<EventRow, 13> kEventRows{{
    {[](std::string_view d) { return DecodedFlag(d, 29); }, "Funnel Cloud / Tornado"},
    {[](std::string_view d) { return DecodedFlag(d, 16); }, "Hail"},
    {[](std::string_view d) { return DecodedFlag(d, 53); }, "Snow Increasing Rapidly"},
    {[](std::string_view d) { return DecodedFlag(d, 8); }, "Thunder"},
    {[](std::string_view d) { return DecodedNumber(d, 61, 3) > 29; }, "Winds >= 30kts"},
    {HasFreezingPrecipitation, "Freezing Precip"},
    {[](std::string_view d) { return DecodedFlag(d, 13); }, "Snow Grains"},
    {[](std::string_view d) { return DecodedFlag(d, 15); }, "Ice Pellets"},
    {[](std::string_view d) { return DecodedFlag(d, 17); }, "Small Hail"},
    {[](std::string_view d) { return DecodedFlag(d, 27); }, "Well Developed Dust-Devil"},
    {[](std::string_view d) { return DecodedFlag(d, 28); }, "Squall"},
    {[](std::string_view d) { return DecodedField(d, 57, 4) != "9999" && DecodedNumber(d, 57, 4) > 100; },
     "Heavy Precip Possibility ( >1 Inch In 6-Group)"},
    {[](std::string_view d) { return DecodedField(d, 54, 3) != "999" && DecodedNumber(d, 54, 3) >= 2; },
     ">= 2 Inches Snow"},
}};

}  // namespace

bool DecodedFlag(std::string_view decoded, int column) { return DecodedColumn(decoded, column) == '1'; }

bool HasFreezingPrecipitation(std::string_view decoded) {
  return DecodedFlag(decoded, 9) && (DecodedFlag(decoded, 10) || DecodedFlag(decoded, 11));
}

bool HasTornado(std::string_view decoded) { return DecodedFlag(decoded, 29) && DecodedColumn(decoded, 1) == '3'; }

bool HasFunnelCloud(std::string_view decoded) {
  return DecodedFlag(decoded, 29) && DecodedColumn(decoded, 1) != '3';
}

TextMarks ReportTextMarks(std::string_view report) {
  TextMarks marks;
  // "CB " may be the report's last group (it ends with one blank), so the scan runs
  // up to the last position where three characters still fit.
  for (std::size_t k = 12; k + 2 <= report.size(); ++k) {
    bool lightning = false;
    bool cb = false;
    if (TextAt(report, k, " LTG")) {
      lightning = !TextAt(report, k, " LTG DATA MSG") && !TextAt(report, k, " LTG DATA MISG");
      if (!lightning) continue;  // a missing-data remark decides nothing at its position
    } else {
      cb = TextAt(report, k, "CB ");
    }
    if (!lightning && !cb) continue;
    if (marks.first == TextMarks::First::kNone)
      marks.first = lightning ? TextMarks::First::kLightning : TextMarks::First::kCb;
    marks.lightning = marks.lightning || lightning;
    marks.cb = marks.cb || cb;
    if (marks.lightning && marks.cb) break;
  }
  return marks;
}

std::string_view SignificantEvent(std::string_view report, std::string_view decoded) {
  for (const EventRow& row : kEventRows) {
    if (row.holds(decoded)) return row.text;
  }
  switch (ReportTextMarks(report).first) {
    case TextMarks::First::kLightning: return "LTG Carried";
    case TextMarks::First::kCb: return "CB Carried";
    case TextMarks::First::kNone: break;
  }
  return {};
}

}  // namespace norvane
