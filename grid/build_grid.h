#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "grid/grid_file.h"
#include "platform/file_system.h"

namespace norvane {

// One report as the grid builder sees it: its time and its 63-column decoded text.
struct GridReport {
  std::int32_t time = 0;  // absolute minutes
  std::string decoded;
};

// One entry of the station table: position in hundredths of a degree and the
// six most recent reports, slot 0 the newest. The identifier "end" ends the table.
struct GridStation {
  std::string identifier;
  std::int16_t latitude = 0;
  std::int16_t longitude = 0;
  std::array<GridReport, 6> reports;
};

struct GridBuildParameters {
  std::string name;
  float startLatitude = 0, startLongitude = 0, endLatitude = 0, endLongitude = 0;
  float latitudeStep = 0, longitudeStep = 0;
  std::int16_t radius = 0;
  std::int16_t exponent = 0;
  std::int32_t minutesBack = 0;  // 0 for the current hour
};

struct GridBuildContext {
  float earthRadius = 3440;
  std::int32_t nowMinutes = 0;
  std::span<const GridStation> stations;  // up to the "end" entry, or all of it
  std::string processNumber;
};

// What the builder asks of the program around it.
class GridBuildHooks {
 public:
  virtual ~GridBuildHooks() = default;
  // Progress text for the window caption.
  virtual void Caption(const std::string& text) = 0;
  // Once per station: clear the idle counter and let pending events run.
  // False when the program has ended meanwhile (lock gone, end button, time-out).
  virtual bool BeforeStation() = 0;
  // Records of the station's archive "obsfolder/<id>.obs" in file order; asked
  // only for past grids and only for stations without a fitting slot.
  virtual std::vector<GridReport> ArchiveReports(const std::string& identifier) = 0;
};

// The quantities of one decoded report, read once per station.
struct ReportValues {
  bool hasTemperature = false, hasDewPoint = false, hasPressure = false, hasSpeed = false;
  bool hasCeiling = false, hasDirection = false, hasPeak = false;
  double temperature = 0, dewPoint = 0, pressure = 0, speed = 0, ceiling = 0, peak = 0;
  double dirNorth = 0, dirEast = 0;  // cos and sin of the direction times the rounded speed
  double speedWeight = 0;            // the rounded speed, weight factor of the direction fields
};
ReportValues ReadReportValues(std::string_view decoded);

// The report that counts for a station, or nothing. Archives are asked only when
// minutesBack is not 0 and no slot fits.
std::optional<GridReport> PickReport(const GridStation& station, std::int32_t nowMinutes, std::int32_t minutesBack,
                                     GridBuildHooks& hooks);

struct GridRefusal {
  std::string message;
};
struct GridStopped {};
using GridOutcome = std::variant<Grid, GridRefusal, GridStopped>;

// Orders and checks the box; the refusal message of the first failing check.
std::variant<GridHeader, GridRefusal> OrderedGridBox(const GridBuildParameters& parameters);

// The gridding itself: the box checks, the station loop and the finishing of
// every point. Writes nothing.
GridOutcome ComputeGrid(const GridBuildParameters& parameters, const GridBuildContext& context, GridBuildHooks& hooks);

// The same grid by visiting every grid point for every station in reach; kept to
// compare the windowed loop against.
GridOutcome ComputeGridEveryPoint(const GridBuildParameters& parameters, const GridBuildContext& context,
                                  GridBuildHooks& hooks);

// Status sink of the builder: `final` statuses end the program.
class GridStatusSink {
 public:
  virtual ~GridStatusSink() = default;
  virtual void Status(const std::string& text, bool final) = 0;
  virtual void Error(const std::string& text, bool final) = 0;
  // An unexpected failure: delete the lock and end without a status.
  virtual void Abort() = 0;
};

// `BuildGrid`: reports "Building grid '<name>'", grids, writes name + ".nv1"
// through a temporary twin and reports "Grid '<name>' complete".
void BuildGrid(const GridBuildParameters& parameters, const GridBuildContext& context, GridBuildHooks& hooks,
               GridStatusSink& status, FileSystem& fs);

}  // namespace norvane
