#include "grid/grid_builder_driver.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/lenient_number.h"
#include "core/number_text.h"
#include "core/record_file.h"
#include "core/replace_file.h"
#include "core/settings.h"
#include "core/time_stamp.h"

namespace norvane {
namespace {

constexpr const char* kStoreFile = "obs.wad";
constexpr const char* kLockFile = "lock.zzz";
constexpr const char* kArchiveFolder = "obsfolder";
constexpr std::size_t kMaxStations = 6001;
constexpr int kStartIntervalMs = 1500;
constexpr int kCheckIntervalMs = 1000;
constexpr int kIdleLimit = 100;

template <typename Int>
Int FlooredTo(double value) {
  if (!std::isfinite(value)) return 0;
  const double floored = std::floor(value);
  return static_cast<Int>(std::clamp(floored, static_cast<double>(std::numeric_limits<Int>::min()),
                                     static_cast<double>(std::numeric_limits<Int>::max())));
}

std::int16_t Held16(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<std::int16_t>(RoundHalfEven(std::clamp(value, -32768.0, 32767.0)));
}

std::int32_t Held32(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<std::int32_t>(RoundHalfEven(std::clamp(value, -2147483648.0, 2147483647.0)));
}

}  // namespace

std::array<std::string, 11> SplitGridCommandWords(std::string_view commandLine) {
  std::array<std::string, 11> words;
  std::size_t word = 0;
  for (char c : commandLine) {
    if (c == ' ') {
      if (++word == words.size()) break;
    } else {
      words[word] += c;
    }
  }
  return words;
}

GridBuildParameters ConvertGridWords(const std::array<std::string, 11>& w) {
  GridBuildParameters p;
  p.name = w[0];
  p.startLatitude = static_cast<float>(LenientNumber(w[1]));
  p.startLongitude = static_cast<float>(LenientNumber(w[2]));
  p.endLatitude = static_cast<float>(LenientNumber(w[3]));
  p.endLongitude = static_cast<float>(LenientNumber(w[4]));
  p.latitudeStep = static_cast<float>(LenientNumber(w[5]));
  p.longitudeStep = static_cast<float>(LenientNumber(w[6]));
  p.radius = FlooredTo<std::int16_t>(LenientNumber(w[7]));
  p.exponent = FlooredTo<std::int16_t>(LenientNumber(w[8]));
  p.minutesBack = FlooredTo<std::int32_t>(LenientNumber(w[9]));
  return p;
}

GridCommandLineResult GridBuildCommandLine(std::string_view name, const std::array<float, 6>& box, double radius,
                                           double exponent, double minutesBack, std::string_view processNumber) {
  auto whole = [](double v) { return std::isfinite(v) ? std::trunc(v) : v; };
  const double r = whole(radius), e = whole(exponent), m = whole(minutesBack);
  if (!(r >= -32768 && r <= 32767)) return {std::nullopt, "Invalid radius of influence"};
  if (!(e >= -32768 && e <= 32767)) return {std::nullopt, "Invalid weighting exponent"};
  if (!(m >= -2147483648.0 && m <= 2147483647.0)) return {std::nullopt, "Invalid minutes back"};
  std::string line = "tessal " + std::string(name) + " ";
  for (float value : box) line += SingleText(value) + " ";
  line += std::to_string(static_cast<long long>(r)) + " " + std::to_string(static_cast<long long>(e)) + " " +
          std::to_string(static_cast<long long>(m)) + " " + std::string(processNumber);
  return {std::move(line), ""};
}

std::vector<GridStation> ReadGridStore(std::string_view text) {
  std::vector<GridStation> stations;
  RecordReader reader(text);
  while (stations.size() < kMaxStations - 1) {
    auto item = reader.NextText();
    if (!item) return stations;  // no end marker: the table simply has no "end" entry
    if (*item == "[EXIT]") break;
    if (*item != "[START]") continue;
    GridStation station;
    station.identifier = reader.NextText().value_or("");
    station.latitude = Held16(reader.NextNumber().value_or(0));
    station.longitude = Held16(reader.NextNumber().value_or(0));
    std::size_t slot = 0;
    bool exit = false;
    for (int marker = 0; marker < 6; ++marker) {
      auto m = reader.NextText();
      if (!m || *m == "[END]") break;
      if (*m == "[EXIT]") { exit = true; break; }
      if (*m == "[DATA]") {
        reader.NextText();  // the raw report is not needed for gridding
        station.reports[slot].decoded = reader.NextText().value_or("");
        station.reports[slot].time = Held32(reader.NextNumber().value_or(0));
      }
      ++slot;
    }
    if (exit) break;
    stations.push_back(std::move(station));
  }
  GridStation end;
  end.identifier = "end";
  stations.push_back(std::move(end));
  return stations;
}

std::vector<GridReport> ReadGridArchive(std::string_view text) {
  std::vector<GridReport> records;
  RecordReader reader(text);
  while (!reader.AtEnd()) {
    auto raw = reader.NextText();
    auto decoded = reader.NextText();
    auto time = reader.NextNumber();
    if (!raw || !decoded || !time) break;  // a cut-short last record is dropped
    records.push_back(GridReport{Held32(*time), std::move(*decoded)});
  }
  return records;
}

GridBuilderDriver::GridBuilderDriver(FileSystem& fs, const Clock& clock, RandomSource& random,
                                     std::string commandLine, Hooks hooks)
    : fs_(fs), clock_(clock), random_(random), commandLine_(std::move(commandLine)), hooks_(std::move(hooks)) {}

void GridBuilderDriver::Wait() {
  if (hooks_.shortWait) {
    hooks_.shortWait();
    return;
  }
  // Polls the clock without serving events; passing midnight restarts the wait.
  double start = clock_.SecondsSinceMidnight();
  for (;;) {
    const double now = clock_.SecondsSinceMidnight();
    if (now < start) start = now;
    if (now - start >= 0.3) return;
  }
}

std::optional<std::string> GridBuilderDriver::ReadShared(const std::string& name) {
  // A file that exists but cannot be read is held by another program: retry.
  for (int attempt = 0; attempt <= kMaxSharingRetries; ++attempt) {
    if (auto text = fs_.ReadAll(name)) return text;
    if (!fs_.Exists(name)) return std::nullopt;
    if (attempt < kMaxSharingRetries) Wait();
  }
  return std::nullopt;
}

bool GridBuilderDriver::WriteStatus(bool error, bool final, const std::string& text) {
  RecordWriter record;
  record.Bool(error).Bool(final).Text(text).EndRecord();
  const std::string name = "g" + processNumber_ + ".pid";
  for (int attempt = 0; attempt <= kMaxSharingRetries; ++attempt) {
    if (ReplaceFile(fs_, name, record.str())) return true;
    if (attempt < kMaxSharingRetries) Wait();
  }
  return false;
}

void GridBuilderDriver::Abort() {
  if (fs_.Exists(kLockFile)) fs_.Remove(kLockFile);
  End();
}

void GridBuilderDriver::Report(bool error, const std::string& text, bool final) {
  if (ended_) return;
  if (!WriteStatus(error, final, text)) {
    Abort();
    return;
  }
  if (final) Abort();
}

void GridBuilderDriver::Start() {
  if (started_) return;
  started_ = true;
  if (!fs_.Exists(kStoreFile)) {
    Error("Unable to build grib because observation count is zero", true);
    return;
  }
  const auto store = ReadShared(kStoreFile);
  if (!store) {
    Abort();
    return;
  }
  stations_ = ReadGridStore(*store);
  // An empty or garbage store grids nothing: say so rather than write a grid of
  // missing values.
  if (stations_.empty() || stations_.front().identifier == "end") {
    Error("Unable to build grib because observation count is zero", true);
    return;
  }
  if (!fs_.Exists(kSettingsFile)) {
    Error("Grid build cannot proceed - missing 'norvane.ini' file", true);
    return;
  }
  const auto settings = ReadShared(kSettingsFile);
  earthRadius_ = -1;
  if (settings)
    if (auto value = ReadOneKey(*settings, "[EARTH RADIUS]")) earthRadius_ = static_cast<float>(LenientNumber(*value));
  // Below 1 the distances divide by zero or turn negative: treat as missing.
  if (!(earthRadius_ >= 1)) {
    Error("Grid build cannot proceed - missing data in 'norvane.ini'", true);
    return;
  }
  nowMinutes_ = MinutesNow(clock_);
  words_ = SplitGridCommandWords(commandLine_);
  for (const std::string& word : words_) {
    if (word.empty()) {
      Error("Invalid command line switches for grid builder", true);
      return;
    }
  }
  processNumber_ = TrimBlanks(words_[10]);
}

void GridBuilderDriver::StartTimerTick() {
  if (ended_ || startFired_) return;
  startFired_ = true;
  GridBuildParameters parameters = ConvertGridWords(words_);
  GridBuildContext context;
  context.earthRadius = earthRadius_;
  context.nowMinutes = nowMinutes_;
  context.stations = stations_;
  context.processNumber = processNumber_;
  BuildGrid(parameters, context, *this, *this, fs_);
  // BuildGrid ends the program in every way it returns.
  if (!ended_) Abort();
}

void GridBuilderDriver::CheckTimerTick() {
  if (ended_) return;
  ++idle_;
  if (!fs_.Exists(kLockFile)) {
    End();
    return;
  }
  const auto lock = ReadShared(kLockFile);
  if (!lock) {
    if (hooks_.messageBox) hooks_.messageBox("Grid builder could not read 'lock.zzz' - ending program");
    End();
    return;
  }
  RecordReader reader(*lock);
  if (reader.NextText().value_or("") != processNumber_) {
    End();
    return;
  }
  random_.Seed(static_cast<std::uint32_t>(clock_.SecondsSinceMidnight() * 1000));
  const int beat = std::clamp(static_cast<int>(random_.Next() * 32000), 0, 31999);
  if (!WriteStatus(false, false, std::to_string(beat))) {
    Abort();
    return;
  }
  if (idle_ > kIdleLimit) Error("Grid builder timeout - ending program", true);
}

void GridBuilderDriver::EndButton() { Status("Grib build terminated by user", true); }

void GridBuilderDriver::Tick(int milliseconds) {
  elapsed_ += milliseconds;
  while (!ended_) {
    if (!startFired_ && kStartIntervalMs <= elapsed_ && kStartIntervalMs <= nextCheck_) {
      StartTimerTick();
      continue;
    }
    if (nextCheck_ <= elapsed_) {
      nextCheck_ += kCheckIntervalMs;
      CheckTimerTick();
      continue;
    }
    break;
  }
}

void GridBuilderDriver::Caption(const std::string& text) {
  if (hooks_.caption) hooks_.caption(text);
}

bool GridBuilderDriver::BeforeStation() {
  idle_ = 0;
  if (hooks_.processEvents) hooks_.processEvents();
  return !ended_;
}

std::vector<GridReport> GridBuilderDriver::ArchiveReports(const std::string& identifier) {
  if (!fs_.Exists(kArchiveFolder)) fs_.CreateFolder(kArchiveFolder);
  const auto text = ReadShared(std::string(kArchiveFolder) + "/" + identifier + ".obs");
  if (!text) return {};
  return ReadGridArchive(*text);
}

}  // namespace norvane
