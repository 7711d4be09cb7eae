#include "commands/print_chart.h"

#include <cmath>

#include "core/lenient_number.h"
#include "obs/observation_store.h"
#include "obs/station_queries.h"
#include "obs/station_tables.h"

namespace norvane {
namespace {

bool Failed(Printer& printer, Dialogs& dialogs) {
  printer.CancelDocument();
  dialogs.MessageBox("There was a problem printing.  Cannot continue.", "PRINT ERROR", BoxStyle::Critical);
  return false;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = text.find_first_not_of(' ', pos);
    if (start == std::string_view::npos) break;
    std::size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    words.push_back(text.substr(start, end - start));
    pos = end;
  }
  return words;
}

}  // namespace

PrintRequest ParsePrintRequest(const CommandWords& w) {
  PrintRequest request;
  int id = 1;
  if (w[1] == "CHART") id = 2;
  if (w[id].empty()) {
    request.kind = PrintRequest::Kind::Map;
    return request;
  }
  if (w[id].size() != 4) return request;
  request.kind = PrintRequest::Kind::Station;
  request.identifier = w[id];
  request.hours = LenientNumber(w[id + 1]) == 0 ? "48" : w[id + 1];
  return request;
}

StationChart StationChartLines(const FileSystem& fs, const ObservationStore& store, const PrintRequest& request,
                               std::int32_t now) {
  StationChart chart;
  const int index = store.Find(request.identifier);
  if (request.kind != PrintRequest::Kind::Station || index < 0) return chart;
  chart.heading.push_back(request.identifier + "'s observations for the last " + request.hours + " hour(s)...");
  chart.heading.push_back("");
  if (FindMainStation(fs, request.identifier)) {
    // The WHOIS answer, which comes bottom line first, less its separator.
    const QueryAnswer who = StationDescription(fs, request.identifier);
    for (auto it = who.messages.rbegin(); it + 1 < who.messages.rend(); ++it) chart.heading.push_back(*it);
  }
  chart.heading.push_back("");
  const double limit = LenientNumber(request.hours) * 60;
  auto recent = [&](const ObservationRecord& r) { return static_cast<double>(now) - r.time <= limit; };
  for (const ObservationRecord& r : store[index].reports) {
    if (r.Empty()) break;
    if (recent(r)) chart.reports.push_back(r.report);
  }
  if (fs.Exists(ArchiveFileName(request.identifier))) {
    for (const ObservationRecord& r : ReadArchive(fs, request.identifier))
      if (recent(r)) chart.reports.push_back(r.report);
  }
  return chart;
}

std::vector<std::string> BreakReport(std::string_view report, const std::function<double(std::string_view)>& width) {
  if (width(report) <= kOneLineReport) return {std::string(report)};
  std::vector<std::string> pieces;
  const std::vector<std::string_view> words = Words(report);
  std::size_t k = 0;
  while (k < words.size()) {
    std::string piece(words[k++]);  // at least one word, however wide
    while (k < words.size()) {
      const std::string longer = piece + " " + std::string(words[k]);
      if (width(longer) > kReportPieceWidth) break;
      piece = longer;
      ++k;
    }
    pieces.push_back(pieces.empty() ? piece : "\t" + piece);
  }
  return pieces;
}

PagePlacement PlaceMapOnPage(double pageWidth, double pageHeight, int imageWidth, int imageHeight) {
  PagePlacement p;
  if (imageWidth <= 0 || imageHeight <= 0) return p;
  const double aspect = static_cast<double>(imageHeight) / imageWidth;
  p.width = std::max(0.0, pageWidth - kPageMargin);
  p.height = p.width * aspect;
  if (p.height > pageHeight - kPageMargin) {
    p.height = std::max(0.0, pageHeight - kPageMargin);
    p.width = p.height / aspect;
  }
  p.left = (pageWidth - p.width) / 2;
  p.top = kPageMargin / 2;
  return p;
}

bool PrintMap(Printer& printer, const PrintChoice& choice, const Image& picture, Dialogs& dialogs) {
  if (picture.width <= 0 || picture.height <= 0 || picture.pixels.empty()) {
    dialogs.MessageBox("There is no map picture to print.", "PRINT ERROR", BoxStyle::Exclamation);
    return false;
  }
  if (!printer.BeginDocument(choice.setup)) return Failed(printer, dialogs);
  const PagePlacement at = PlaceMapOnPage(printer.PageWidth(), printer.PageHeight(), picture.width, picture.height);
  if (!(at.width > 0 && at.height > 0)) return Failed(printer, dialogs);
  for (int copy = 0; copy < choice.copies; ++copy) {
    if (copy > 0 && !printer.NewPage()) return Failed(printer, dialogs);
    if (!printer.DrawPicture(picture, at.left, at.top, at.width, at.height)) return Failed(printer, dialogs);
  }
  if (!printer.EndDocument()) return Failed(printer, dialogs);
  return true;
}

bool PrintStationChart(Printer& printer, const PrintChoice& choice, const StationChart& chart, Dialogs& dialogs) {
  if (chart.Empty()) return false;
  if (!printer.BeginDocument(choice.setup)) return Failed(printer, dialogs);
  printer.SetFontSize(12);
  const auto width = [&printer](std::string_view text) { return printer.TextWidth(text); };
  for (int copy = 0; copy < choice.copies; ++copy) {
    if (copy > 0 && !printer.NewPage()) return Failed(printer, dialogs);
    for (const std::string& line : chart.heading)
      if (!printer.PrintLine(line)) return Failed(printer, dialogs);
    for (const std::string& report : chart.reports) {
      for (const std::string& piece : BreakReport(report, width))
        if (!printer.PrintLine(piece)) return Failed(printer, dialogs);
    }
  }
  if (!printer.EndDocument()) return Failed(printer, dialogs);
  return true;
}

}  // namespace norvane
