#include "watch/points_of_interest.h"

#include "core/record_file.h"
#include "core/replace_file.h"
#include "watch/record_lines.h"

namespace norvane {

std::string CleanPointName(std::string_view name) {
  std::string clean;
  for (char c : name) {
    if (c != '"' && static_cast<unsigned char>(c) >= 32) clean.push_back(c);
  }
  return clean;
}

PointsRead ReadPoints(std::string_view bytes, int capacity) {
  PointsRead read;
  // Editors that save in UTF-8 may put a byte-order mark first; it is no part of a name.
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  RecordReader reader(bytes);
  while (auto line = NextRecordLine(reader, bytes)) {
    const auto latitude = line->fields.size() == 3 ? NumberField(line->fields[1], -9000, 9000, false) : std::nullopt;
    const auto longitude = line->fields.size() == 3 ? NumberField(line->fields[2], -18000, 18000, false) : std::nullopt;
    if (!latitude || !longitude) {
      ++read.skipped;
      continue;
    }
    if (static_cast<int>(read.points.size()) >= capacity) {
      ++read.ignored;
      continue;
    }
    read.points.push_back({CleanPointName(line->fields[0]), static_cast<std::int16_t>(*latitude),
                           static_cast<std::int16_t>(*longitude)});
  }
  return read;
}

PointList LoadPoints(const FileSystem& fs, Reporter& reporter) {
  reporter.LogProcessMessage("Loading points of interest");
  auto bytes = fs.ReadAll(kPointsFile);
  if (!bytes) {
    reporter.LogProcessMessage("No point of interest to load");
    return {};
  }
  PointsRead read = ReadPoints(*bytes);
  if (read.skipped > 0)
    reporter.ShowMessage("Skipped " + std::to_string(read.skipped) +
                         " unreadable points of interest in 'watch.dat'");
  if (read.ignored > 0)
    reporter.ShowMessage("Only the first " + std::to_string(kMaxPoints) + " points of interest were loaded; " +
                         std::to_string(read.ignored) + " more in 'watch.dat' were ignored");
  return std::move(read.points);
}

std::string FormatPoints(const PointList& points) {
  RecordWriter out;
  for (const PointOfInterest& p : points) out.Text(p.name).Integer(p.latitude).Integer(p.longitude).EndRecord();
  return out.Take();
}

bool SavePoints(FileSystem& fs, const PointList& points) {
  return ReplaceFile(fs, kPointsFile, FormatPoints(points), "watch.tmp");
}

std::vector<PlotPoint> ToPlotPoints(const PointList& points) {
  std::vector<PlotPoint> out;
  out.reserve(points.size());
  for (const PointOfInterest& p : points) out.push_back({p.latitude, p.longitude});
  return out;
}

}  // namespace norvane
