#include "watch/meteogram.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <map>

#include "core/lenient_number.h"
#include "core/number_text.h"
#include "obs/decoded_observation.h"
#include "obs/station_tables.h"

namespace norvane {
namespace {

// Routine reports come at the same minutes of every hour; a report at any other minute
// is a special one. Minutes taken by at least a third as many reports as the commonest
// count as routine, so stations reporting every half hour have two.
void MarkSpecials(std::vector<MeteogramReport>& reports) {
  std::map<int, int> counts;
  int most = 0;
  for (const MeteogramReport& r : reports) most = std::max(most, ++counts[r.time % 60]);
  for (MeteogramReport& r : reports) r.special = counts[r.time % 60] * 3 < most;
}

}  // namespace

Meteogram BuildMeteogram(const FileSystem& fs, const ObservationStore& store, std::string_view identifier,
                         double hours, std::int32_t now) {
  Meteogram m;
  m.identifier = ToUpper(identifier);
  if (!(hours >= 1)) {
    m.note = "A meteogram covers at least 1 hour; showing 1";
    hours = 1;
  } else if (hours > kMeteogramMaxHours) {
    m.note = "A meteogram covers at most " + std::to_string(kMeteogramMaxHours) + " hours; showing " +
             std::to_string(kMeteogramMaxHours);
    hours = kMeteogramMaxHours;
  }
  m.hours = static_cast<int>(std::floor(hours));
  m.end = now;
  m.start = now - 60 * m.hours;
  m.place = StationPlaceName(fs, m.identifier);

  std::vector<ObservationRecord> records;
  if (const int index = store.Find(m.identifier); index >= 0)
    for (const ObservationRecord& r : store[index].reports)
      if (!r.Empty()) records.push_back(r);
  for (ObservationRecord& r : ReadArchive(fs, m.identifier)) records.push_back(std::move(r));
  std::erase_if(records, [&](const ObservationRecord& r) { return r.time < m.start || r.time > m.end; });
  std::sort(records.begin(), records.end(), [](const ObservationRecord& a, const ObservationRecord& b) {
    return a.time != b.time ? a.time < b.time : a.report < b.report;
  });
  records.erase(std::unique(records.begin(), records.end(),
                            [](const ObservationRecord& a, const ObservationRecord& b) {
                              return a.time == b.time && a.report == b.report;
                            }),
                records.end());

  for (const ObservationRecord& r : records) {
    MeteogramReport report;
    report.time = r.time;
    report.values = ModelInputFromDecoded(r.decoded, r.report);
    report.ceiling = DecodedCeiling(r.decoded);
    const int peak = DecodedPeakWind(r.decoded);
    if (report.values.windSpeed && peak > *report.values.windSpeed) report.gust = peak;
    report.afterGap = m.reports.empty() || r.time - m.reports.back().time > kMeteogramGapMinutes;
    m.reports.push_back(report);
  }
  MarkSpecials(m.reports);
  if (m.reports.empty() && m.note.empty())
    m.note = "No reports of " + m.identifier + " in the last " + std::to_string(m.hours) +
             (m.hours == 1 ? " hour" : " hours");
  return m;
}

namespace {

const Color kInk = Rgb(0, 0, 0);
const Color kGrid = Rgb(222, 222, 222);
const Color kFrame = Rgb(128, 128, 128);
const Font kLabelFont{"Arial", 8, false};
const Font kPanelFont{"Arial", 9, true};
const Font kTitleFont{"Arial", 11, true};

struct Box {
  double left, top, width, height;
  double Right() const { return left + width; }
  double Bottom() const { return top + height; }
};

struct Range {
  double low, high;
};

// A range of whole steps around the values, at least `least` wide.
Range NiceRange(const std::vector<double>& values, double step, double least) {
  const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
  double low = std::floor(*lo / step) * step, high = std::ceil(*hi / step) * step;
  while (high - low < least) {
    low -= step;
    high += step;
  }
  return {low, high};
}

std::optional<double> Widened(std::optional<int> value) {
  if (!value) return std::nullopt;
  return *value;
}

class Painter {
 public:
  Painter(Canvas& canvas, const Meteogram& m, Box plot) : c_(canvas), m_(m), plot_(plot) { ChooseTimeSteps(); }

  double X(std::int32_t t) const {
    const double span = std::max(1, m_.end - m_.start);
    return plot_.left + (t - m_.start) / span * plot_.width;
  }
  static double Y(const Box& b, Range r, double v) {
    return b.Bottom() - (v - r.low) / (r.high - r.low) * b.height;
  }

  void Text(double x, double y, const std::string& text, const Font& font, Color color, bool right = false,
            bool middle = true) {
    const double w = c_.TextWidth(text, font), h = c_.TextHeight(text, font);
    c_.Text(right ? x - w : x, middle ? y - h / 2 : y, text, font, color);
  }

  // The panel's frame and title; returns the box its values are drawn in, below the title.
  Box Frame(const Box& b, const std::string& title) {
    for (int step : times_) c_.Line(X(step), b.top, X(step), b.Bottom(), kGrid, 1);
    c_.Line(b.left, b.top, b.Right(), b.top, kFrame, 1);
    c_.Line(b.left, b.Bottom(), b.Right(), b.Bottom(), kFrame, 1);
    c_.Line(b.left, b.top, b.left, b.Bottom(), kFrame, 1);
    c_.Line(b.Right(), b.top, b.Right(), b.Bottom(), kFrame, 1);
    c_.Text(b.left + 4, b.top + 2, title, kPanelFont, kInk);
    return {b.left, b.top + 20, b.width, std::max(10.0, b.height - 26)};
  }

  void YAxis(const Box& b, Range r, double step, Color color, bool right = false) {
    for (double v = r.low; v <= r.high + step / 1000; v += step) {
      const double y = Y(b, r, v);
      if (!right) c_.Line(b.left, y, b.Right(), y, kGrid, 1);
      Text(right ? b.Right() + 4 : b.left - 4, y, TrimmedNumberText(v), kLabelFont, color, !right);
    }
  }

  void Empty(const Box& b, const std::string& what) {
    Text(b.left + b.width / 2 - c_.TextWidth(what, kLabelFont) / 2, b.top + b.height / 2, what, kLabelFont, kFrame);
  }

  // A series: lines between neighbours that no gap parts, a dot at each value (open for
  // special reports).
  void Series(const Box& b, Range r, Color color, const std::function<std::optional<double>(const MeteogramReport&)>& of,
              bool joined = true) {
    std::optional<std::pair<double, double>> last;
    for (const MeteogramReport& report : m_.reports) {
      const auto v = of(report);
      if (report.afterGap) last.reset();
      if (!v) {
        last.reset();
        continue;
      }
      const double x = X(report.time), y = Y(b, r, std::clamp(*v, r.low, r.high));
      if (joined && last) c_.Line(last->first, last->second, x, y, color, 2);
      c_.Circle(x, y, 2.5, color, !report.special);
      last = std::make_pair(x, y);
    }
  }

  // Grid lines and labels every few hours, whatever the span.
  void ChooseTimeSteps() {
    const double span = std::max(1, m_.end - m_.start);
    step_ = 1440;
    for (int candidate : {10, 15, 30, 60, 120, 180, 360, 720, 1440})
      if (candidate / span * plot_.width >= 48) {
        step_ = candidate;
        break;
      }
    for (std::int32_t t = (m_.start + step_ - 1) / step_ * step_; t <= m_.end; t += step_) times_.push_back(t);
  }

  void TimeAxis(double y) {
    using namespace std::chrono;
    for (std::int32_t t : times_) {
      const int minute = t % 1440;
      char text[16];
      std::snprintf(text, sizeof text, "%02dZ", minute / 60);
      std::string label = text;
      if (minute % 60 != 0) {
        std::snprintf(text, sizeof text, "%02d%02dZ", minute / 60, minute % 60);
        label = text;
      }
      Text(X(t) - c_.TextWidth(label, kLabelFont) / 2, y + 8, label, kLabelFont, kInk);
      if (minute == 0 || step_ >= 1440) {
        const year_month_day day{sys_days{1998y / December / 31} + days{t / 1440}};
        std::snprintf(text, sizeof text, "%02u/%02u", static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
        Text(X(t) - c_.TextWidth(text, kLabelFont) / 2, y + 22, text, kLabelFont, kInk);
      }
    }
    for (const MeteogramReport& r : m_.reports)
      if (r.special) Text(X(r.time) - 3, y - 8, "S", kLabelFont, Rgb(160, 0, 160));
  }

  Canvas& c_;
  const Meteogram& m_;
  Box plot_;
  int step_ = 60;
  std::vector<int> times_;
};

template <typename Of>
std::vector<double> Values(const Meteogram& m, Of of) {
  std::vector<double> values;
  for (const MeteogramReport& r : m.reports)
    if (const auto v = of(r)) values.push_back(*v);
  return values;
}

}  // namespace

void DrawMeteogram(Canvas& canvas, const Meteogram& m, bool useCelsius, const SymbolTable* symbols) {
  canvas.Clear(Rgb(255, 255, 255));
  const double width = canvas.Width(), height = canvas.Height();
  const double left = 56, right = 44, top = 40, bottom = 52;
  const Box plot{left, top, std::max(10.0, width - left - right), std::max(50.0, height - top - bottom)};
  Painter p(canvas, m, plot);

  std::string title = "Meteogram " + m.identifier;
  if (!m.place.empty()) title += "  " + m.place;
  title += "  -  last " + std::to_string(m.hours) + (m.hours == 1 ? " hour" : " hours") + " (UTC)";
  canvas.Text(left, 8, title, kTitleFont, kInk);
  if (!m.note.empty()) canvas.Text(left, 24, m.note, kLabelFont, Rgb(192, 0, 0));

  // Panels top to bottom, as shares of the height.
  const double shares[] = {0.28, 0.17, 0.24, 0.18, 0.13};
  std::vector<Box> boxes;
  double y = plot.top;
  for (double share : shares) {
    const double h = plot.height * share;
    boxes.push_back({plot.left, y + 3, plot.width, h - 6});
    y += h;
  }

  const auto unit = [useCelsius](std::optional<int> c) {
    const std::optional<double> value = Widened(c);
    return value && !useCelsius ? std::optional<double>(*value * 1.8 + 32) : value;
  };

  // Temperature and dew point.
  {
    const Box& b = boxes[0];
    const Box in = p.Frame(b, std::string("Temperature and dew point (") + (useCelsius ? "C" : "F") + ")");
    auto t = [&](const MeteogramReport& r) { return unit(r.values.temperature); };
    auto d = [&](const MeteogramReport& r) { return unit(r.values.dewPoint); };
    std::vector<double> all = Values(m, t), dews = Values(m, d);
    all.insert(all.end(), dews.begin(), dews.end());
    if (all.empty()) {
      p.Empty(b, "No temperature or dew point reported");
    } else {
      const Range r = NiceRange(all, 5, 10);
      p.YAxis(in, r, (r.high - r.low) > 40 ? 10 : 5, kInk);
      p.Series(in, r, Rgb(0, 140, 0), d);
      p.Series(in, r, Rgb(210, 0, 0), t);
    }
  }
  // Sea-level pressure.
  {
    const Box& b = boxes[1];
    const Box in = p.Frame(b, "Sea-level pressure (hPa)");
    auto s = [](const MeteogramReport& r) { return r.values.seaLevelPressure; };
    const std::vector<double> all = Values(m, s);
    if (all.empty()) {
      p.Empty(b, "No sea-level pressure reported");
    } else {
      const Range r = NiceRange(all, 2, 4);
      p.YAxis(in, r, (r.high - r.low) > 12 ? 4 : 2, kInk);
      p.Series(in, r, Rgb(0, 0, 170), s);
    }
  }
  // Wind speed and gust, with barbs along the bottom of the panel.
  {
    const Box& b = boxes[2];
    const Box in = p.Frame(b, "Wind speed and gust (knots)");
    auto speed = [](const MeteogramReport& r) { return Widened(r.values.windSpeed); };
    auto gust = [](const MeteogramReport& r) { return Widened(r.gust); };
    std::vector<double> all = Values(m, speed), gusts = Values(m, gust);
    all.insert(all.end(), gusts.begin(), gusts.end());
    if (all.empty()) {
      p.Empty(b, "No wind reported");
    } else {
      const double barbRow = 40;
      const Box lines{in.left, in.top, in.width, std::max(10.0, in.height - barbRow)};
      all.push_back(0);
      const Range r = NiceRange(all, 10, 20);
      p.YAxis(lines, {0, r.high}, r.high > 60 ? 20 : 10, kInk);
      p.Series(lines, {0, r.high}, Rgb(0, 90, 200), speed);
      p.Series(lines, {0, r.high}, Rgb(220, 120, 0), gust, false);
      double lastX = -1e9;
      const double barbY = b.Bottom() - barbRow / 2 - 1;
      for (const MeteogramReport& report : m.reports) {
        const double x = p.X(report.time);
        if (x - lastX < 18 || !report.values.windKnown) continue;
        StationModelLayout small;
        small.x = x;
        small.y = barbY;
        small.radius = 2;
        small.barb = LayoutWindBarb(x, barbY, small.radius, report.values, false, 0.65);
        if (!small.barb.drawn && !small.barb.calm) continue;
        small.font = kLabelFont;
        DrawStationModel(canvas, small, nullptr);
        lastX = x;
      }
    }
  }
  // Ceiling and visibility.
  {
    const Box& b = boxes[3];
    const Box inner = p.Frame(b, "Ceiling (100s of feet, bars) and visibility (miles, right)");
    auto ceiling = [](const MeteogramReport& r) { return Widened(r.ceiling); };
    auto visibility = [](const MeteogramReport& r) { return r.values.visibility; };
    const std::vector<double> ceilings = Values(m, ceiling), visibilities = Values(m, visibility);
    if (ceilings.empty() && visibilities.empty()) p.Empty(b, "No ceiling or visibility reported");
    if (!ceilings.empty()) {
      std::vector<double> all = ceilings;
      all.push_back(0);
      const Range r = NiceRange(all, 10, 20);
      p.YAxis(inner, {0, std::min(r.high, 250.0)}, r.high > 100 ? 50 : 10, kInk);
      for (const MeteogramReport& report : m.reports) {
        if (!report.ceiling) continue;
        const double x = p.X(report.time);
        const double top = Painter::Y(inner, {0, std::min(r.high, 250.0)}, std::min<double>(*report.ceiling, 250));
        for (double dx = -2; dx <= 2; dx += 1) canvas.Line(x + dx, inner.Bottom(), x + dx, top, Rgb(120, 120, 200), 1);
      }
    } else {
      p.Text(b.left + 8, b.top + 24, "No ceiling reported", kLabelFont, kFrame, false);
    }
    if (!visibilities.empty()) {
      p.YAxis(inner, {0, 10}, 5, Rgb(110, 0, 150), true);
      p.Series(inner, {0, 10}, Rgb(110, 0, 150), visibility);
    } else {
      p.Text(b.Right() - 8, b.top + 8, "No visibility in these reports", kLabelFont, kFrame, true);
    }
  }
  // Present weather.
  {
    const Box& b = boxes[4];
    const Box in = p.Frame(b, "Present weather");
    double lastX = -1e9;
    bool any = false;
    for (const MeteogramReport& report : m.reports) {
      if (report.values.weatherSymbol == 0) continue;
      any = true;
      const double x = p.X(report.time);
      const Image* image = symbols ? symbols->Find(report.values.weatherSymbol) : nullptr;
      if (!image || x - lastX < image->width) continue;
      canvas.Picture(x - image->width / 2.0, in.top + in.height / 2 - image->height / 2.0, *image, Rgb(255, 255, 255));
      lastX = x;
    }
    if (!any) p.Empty(b, "No present weather reported");
  }
  p.TimeAxis(plot.Bottom());
}

}  // namespace norvane
