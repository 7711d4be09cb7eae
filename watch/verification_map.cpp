#include "watch/verification_map.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

#include "core/number_text.h"
#include "obs/decoded_observation.h"
#include "watch/significant_weather.h"

namespace norvane {
namespace {

struct Offset {
  int dx, dy;
};

// One part of a mark, in pixels from the station point (y downwards).
struct MarkPart {
  enum class Kind { kPath, kBox, kPoint, kLine } kind;
  std::vector<Offset> at;
};

struct Mark {
  Color color;
  std::vector<MarkPart> parts;
};

using K = MarkPart::Kind;

const Mark kFreezingMark{Rgb(255, 64, 64),
                         {{K::kPath, {{-4, 4}, {-8, 0}, {-4, -4}, {4, 4}, {8, 0}, {4, -4}}},
                          {K::kPoint, {{-4, 0}}},
                          {K::kPoint, {{4, 0}}}}};
const Mark kTornadoMark{Rgb(255, 64, 64),
                        {{K::kBox, {{-4, -5}, {4, -3}}},
                         {K::kBox, {{-3, -2}, {3, 0}}},
                         {K::kBox, {{-2, 1}, {2, 2}}},
                         {K::kBox, {{-1, 3}, {1, 4}}},
                         {K::kPoint, {{0, 5}}}}};
const Mark kFunnelMark{Rgb(255, 64, 64),
                       {{K::kPoint, {{-3, -5}}}, {K::kPoint, {{-2, -5}}}, {K::kPoint, {{3, -5}}},
                        {K::kPoint, {{4, -5}}}, {K::kPoint, {{-3, 5}}}, {K::kPoint, {{-2, 5}}},
                        {K::kPoint, {{3, 5}}}, {K::kPoint, {{4, 5}}}, {K::kLine, {{-1, -4}, {-1, 5}}}}};
const Mark kHailMark{Rgb(64, 64, 255),
                     {{K::kBox, {{-1, -3}, {1, -2}}},
                      {K::kBox, {{-2, -1}, {2, 0}}},
                      {K::kBox, {{-3, 1}, {3, 2}}},
                      {K::kBox, {{-4, 3}, {4, 4}}},
                      {K::kPoint, {{0, -4}}}}};
const Mark kThunderMark{Rgb(255, 32, 32),
                        {{K::kPath, {{-2, 4}, {-2, -4}, {-4, -4}, {4, -4}, {-2, 0}, {4, 4}, {4, 2}, {4, 4}}}}};
const Mark kLightningMark{Rgb(255, 32, 32), {{K::kPath, {{2, -4}, {-2, 0}, {2, 4}, {2, 2}, {2, 4}, {0, 4}}}}};
const Mark kCbMark{Rgb(255, 32, 32),
                   {{K::kPath, {{-4, 0}, {-4, 3}, {4, 3}, {4, 0}, {3, -1}, {-3, -1}, {-4, 0}}},
                    {K::kPath, {{-2, -1}, {-2, -3}, {-1, -4}, {1, -4}, {2, -3}, {2, -1}}}}};

void DrawMark(Canvas& canvas, ScreenPoint p, const Mark& mark) {
  for (const MarkPart& part : mark.parts) {
    const auto x = [&](std::size_t k) { return p.x + part.at[k].dx; };
    const auto y = [&](std::size_t k) { return p.y + part.at[k].dy; };
    switch (part.kind) {
      case K::kPath:
        canvas.Point(x(0), y(0), mark.color);
        for (std::size_t k = 1; k < part.at.size(); ++k) canvas.Line(x(k - 1), y(k - 1), x(k), y(k), mark.color, 1);
        break;
      case K::kBox:
        for (int dy = part.at[0].dy; dy <= part.at[1].dy; ++dy)
          canvas.Line(x(0), p.y + dy, x(1), p.y + dy, mark.color, 1);
        break;
      case K::kPoint: canvas.Point(x(0), y(0), mark.color); break;
      case K::kLine: canvas.Line(x(0), y(0), x(1), y(1), mark.color, 1); break;
    }
  }
}

void Examine(StationFindings& f, const ObservationRecord& report, const VerificationCriteria& criteria) {
  const std::string_view d = report.decoded;
  f.peakWind = std::max(f.peakWind, DecodedPeakWind(d));
  if (const auto depth = DecodedSnowDepth(d)) f.snowDepth = std::max(f.snowDepth.value_or(*depth), *depth);
  f.thunder = f.thunder || DecodedFlag(d, 8);
  f.hail = f.hail || DecodedFlag(d, 16);
  f.tornado = f.tornado || HasTornado(d);
  f.funnel = f.funnel || HasFunnelCloud(d);
  f.freezing = f.freezing || HasFreezingPrecipitation(d);
  if (criteria.lightning || criteria.cb) {
    const TextMarks marks = ReportTextMarks(report.report);
    f.lightning = f.lightning || marks.lightning;
    f.cb = f.cb || marks.cb;
  }
}

}  // namespace

StationArchive VerificationArchive(const FileSystem& fs, std::string_view identifier) {
  const bool plain = !identifier.empty() && identifier.find_first_of("/\\:") == std::string_view::npos &&
                     identifier != "." && identifier != "..";
  return plain ? ReadArchive(fs, identifier) : StationArchive{};
}

VerificationPeriod PeriodOf(const VerificationRequest& request) {
  return {StampToMinutes(request.start) - 15, StampToMinutes(request.end) + 5};
}

std::string VerificationHeader(const VerificationRequest& request) {
  const auto part = [](const TimeStamp& stamp) {
    std::string s = stamp;
    s.resize(12, '0');
    return s.substr(4, 2) + "/" + s.substr(6, 2) + "/" + s.substr(0, 4) + " " + s.substr(8, 4);
  };
  return "Valid: " + part(request.start) + " - " + part(request.end);
}

StationFindings ExamineStation(const StationObservations& station, const StationArchive& archive,
                               const VerificationPeriod& period, const VerificationCriteria& criteria) {
  StationFindings findings;
  for (const ObservationRecord& slot : station.reports) {
    if (!slot.Empty() && period.Holds(slot.time)) Examine(findings, slot, criteria);
  }
  for (const ObservationRecord& line : archive) {
    if (line.time > period.last) continue;
    if (line.time < period.first) break;
    Examine(findings, line, criteria);
  }
  return findings;
}

void DrawVerificationMarks(Canvas& canvas, ScreenPoint at, const StationFindings& f,
                           const VerificationCriteria& c) {
  if (c.wind && f.peakWind >= *c.wind) {
    canvas.Point(at.x - 3, at.y - 3, Rgb(255, 255, 255));
    canvas.Text(at.x - 3, at.y - 3, TrimmedNumberText(f.peakWind), Font{"MS Sans Serif", 8, true}, Rgb(0, 0, 0));
  }
  if (c.snow && f.snowDepth && *f.snowDepth >= *c.snow) {
    canvas.Point(at.x - 4, at.y - 4, Rgb(255, 255, 255));
    canvas.Text(at.x - 4, at.y - 4, TrimmedNumberText(*f.snowDepth), Font{"MS Sans Serif", 10, true},
                Rgb(255, 64, 255));
  }
  if (c.freezing && f.freezing) DrawMark(canvas, at, kFreezingMark);
  // One weather mark only, the most severe asked for and found.
  const std::initializer_list<std::pair<bool, const Mark*>> marks = {
      {c.tornado && f.tornado, &kTornadoMark}, {c.funnel && f.funnel, &kFunnelMark},
      {c.hail && f.hail, &kHailMark},          {c.thunder && f.thunder, &kThunderMark},
      {c.lightning && f.lightning, &kLightningMark}, {c.cb && f.cb, &kCbMark}};
  for (const auto& [met, mark] : marks) {
    if (!met) continue;
    DrawMark(canvas, at, *mark);
    break;
  }
}

void DrawVerificationMap(Canvas& canvas, const VerificationRequest& request, const ObservationStore& store,
                         FileSystem& fs, VerificationMapHost& host, Color background) {
  const VerificationCriteria criteria = ParseCriteria(request.criteria);
  const VerificationPeriod period = PeriodOf(request);
  // The scale follows the surface before anything is placed on it.
  const double scale = host.updateScale ? host.updateScale(canvas.Width(), canvas.Height()) : 0.0;
  canvas.Clear(background);
  if (host.busy) host.busy(true);
  if (host.processEvents) host.processEvents();
  if (scale != 0.0 && host.drawMap) host.drawMap(canvas);
  canvas.Text(10, canvas.Height() - 30, VerificationHeader(request), Font{"MS Sans Serif", 10, true},
              Rgb(255, 255, 255) ^ background);
  if (scale != 0.0 && host.place) {
    if (!fs.Exists(kArchiveFolder)) fs.CreateFolder(kArchiveFolder);
    const int end = store.EndIndex();
    for (int i = 0; i < end && i <= kStoreLastIndex; ++i) {
      const StationObservations& station = store[i];
      if (station.identifier.empty()) continue;
      const auto at = host.place(station.latitude / 100.0, station.longitude / 100.0);
      if (!at) continue;
      DrawVerificationMarks(canvas, *at,
                            ExamineStation(station, VerificationArchive(fs, station.identifier), period, criteria),
                            criteria);
    }
  }
  if (host.busy) host.busy(false);
  if (host.processEvents) host.processEvents();
}

void AskPrintChart(Dialogs& dialogs, const std::function<bool()>& print) {
  if (dialogs.MessageBox("Print Chart?", "PRINT", BoxStyle::YesNoQuestion) != BoxAnswer::Yes) return;
  if (!print || !print())
    dialogs.MessageBox("There was a problem printing.  Cannot continue.", "PRINT ERROR", BoxStyle::Critical);
}

}  // namespace norvane
