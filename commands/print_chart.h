#pragma once
// What the PRINT command prints: the map picture scaled onto the page, or one station's
// reports of the last hours.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/command_words.h"
#include "commands/print_dialog.h"
#include "platform/canvas.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/printer.h"

namespace norvane {

class ObservationStore;

// Widths on the page in twips.
constexpr double kPageMargin = 300;         // the map is as wide as the page less this
constexpr double kOneLineReport = 10800;    // a report up to this width prints on one line
constexpr double kReportPieceWidth = 9400;  // longer ones break into pieces this wide

// PRINT and PRINT CHART alone print the map; PRINT CHART id [hours] and PRINT id
// [hours] print the station's reports (hours "48" when absent or 0). An identifier
// that is not four characters long prints nothing.
struct PrintRequest {
  enum class Kind { Nothing, Map, Station };
  Kind kind = Kind::Nothing;
  std::string identifier;
  std::string hours;
};
PrintRequest ParsePrintRequest(const CommandWords& words);

// A station chart: the heading line, an empty line, the station's description from
// "main.stn" when it is there and an empty line; then its reports not older than the
// hours (store slots newest first, then the archive). Empty when the station is not
// in the store.
struct StationChart {
  std::vector<std::string> heading;
  std::vector<std::string> reports;
  bool Empty() const { return heading.empty(); }
};
StationChart StationChartLines(const FileSystem& fs, const ObservationStore& store, const PrintRequest& request,
                               std::int32_t nowMinutes);

// One report as printed lines: whole when it fits kOneLineReport, else the longest runs
// of whole words within kReportPieceWidth, every piece after the first starting with a
// tab. A piece always holds at least one word, so a word wider than the line gets a
// line of its own instead of stopping the printout.
std::vector<std::string> BreakReport(std::string_view report, const std::function<double(std::string_view)>& width);

// Where the map goes on a page: the printable width less the margin, or the printable
// height less the margin when the picture would not fit, keeping its proportions;
// centred across, half the margin from the top.
struct PagePlacement {
  double left = 0, top = 0, width = 0, height = 0;
};
PagePlacement PlaceMapOnPage(double pageWidth, double pageHeight, int imageWidth, int imageHeight);

// The print runs. Any failure shows "There was a problem printing.  Cannot continue."
// (critical, "PRINT ERROR") and cancels the document. A picture of no size shows a
// message and prints nothing. True when the document was ended normally.
bool PrintMap(Printer& printer, const PrintChoice& choice, const Image& picture, Dialogs& dialogs);
// The chart at font size 12, the reports broken by BreakReport, each copy on its own
// page. Prints nothing for an empty chart.
bool PrintStationChart(Printer& printer, const PrintChoice& choice, const StationChart& chart, Dialogs& dialogs);

}  // namespace norvane
